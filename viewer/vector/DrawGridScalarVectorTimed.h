#pragma once
// The animation of three picks on a regular grid: at every step the scalar as colour-filled
// cells, the arrows of the u/v pair over them, and the coastline on top.
#include "runtime/Types.h"

class Picture;

// Animates the three picks at CurLevel: the pair is a u component followed by a v component
// (FindTriplePair), the remaining pick the scalar. The last step drawn (the start step when
// none); -1 when there is no pair (after the message "Picked 3 items, but cannot determine
// which are vector", nothing drawn), or it stopped at the scale check, the window check or a
// read failure.
Long DrawGridTripleTimed(Picture& pic);
