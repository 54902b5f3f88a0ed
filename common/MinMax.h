#pragma once
// Larger and smaller of two or more numbers. A tie gives the second argument; a comparison
// with a NaN is unordered, so MaxS passes the NaN over (b) and MinS/MinD keep the first
// argument.
#include "runtime/Types.h"

Long MaxL(Long a, Long b);
Long MinL(Long a, Long b);

float MaxS(float a, float b);
float Max3S(float a, float b, float c);
float Max4S(float a, float b, float c, float d);

float MinS(float a, float b);
float Min3S(float a, float b, float c);
float Min4S(float a, float b, float c, float d);

double MinD(double a, double b);
