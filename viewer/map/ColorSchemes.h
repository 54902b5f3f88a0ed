#pragma once
// The colour schemes of CScale.h in a variant given by the caller, for pictures that keep a
// colour variant and scheme of their own (the section window) beside the map's.
#include "runtime/Types.h"

// The single-hue and three-part ramps on the fraction t in variant colOpt.
Long ColorRampSingle(float t, Long colOpt);
Long ColorRampThirds(float t, Long colOpt);
// The colour of fraction t in scheme colorCode / 10 (1 single hue, 2 diverging, 3 three-part)
// and variant colOpt; false, color untouched, for another scheme.
bool SchemeColor(Long colorCode, Long colOpt, float t, Long& color);
