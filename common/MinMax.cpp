#include "common/MinMax.h"

#include <cmath>

Long MaxL(Long a, Long b) {
    return a > b ? a : b;
}

Long MinL(Long a, Long b) {
    return a < b ? a : b;
}

float MaxS(float a, float b) {
    return a > b ? a : b;
}

float Max3S(float a, float b, float c) {
    return MaxS(MaxS(a, b), c);
}

float Max4S(float a, float b, float c, float d) {
    return MaxS(MaxS(MaxS(a, b), c), d);
}

float MinS(float a, float b) {
    if (a < b || std::isnan(a) || std::isnan(b)) return a;
    return b;
}

float Min3S(float a, float b, float c) {
    return MinS(MinS(a, b), c);
}

float Min4S(float a, float b, float c, float d) {
    return MinS(MinS(MinS(a, b), c), d);
}

double MinD(double a, double b) {
    if (a < b || std::isnan(a) || std::isnan(b)) return a;
    return b;
}
