#pragma once
// The thin progress strip along the bottom edge of a picture during long drawings.
#include "runtime/Types.h"

class Picture;

// total > 0: the strip in light red up to done / total of the width; otherwise the whole
// strip in white (cleared).
void DrawProgressBar(Picture& pic, Long done, Long total);
