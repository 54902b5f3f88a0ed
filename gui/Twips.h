#pragma once
// Twips: the form unit of the program's windows. The screen is taken as 96 dots per inch,
// which makes 15 twips a pixel in both directions.
#include <cmath>

constexpr int kTwipsPerPixel = 15;

// The screen's twips per pixel, as the program reads them.
constexpr int TwipsPerPixelX() {
    return kTwipsPerPixel;
}
constexpr int TwipsPerPixelY() {
    return kTwipsPerPixel;
}

constexpr double twipsFromPixels(double pixels) {
    return pixels * kTwipsPerPixel;
}
constexpr double pixelsFromTwips(double twips) {
    return twips / kTwipsPerPixel;
}

// Whole pixels of a length in twips, to the nearest pixel (halves up).
// Lengths beyond the int range are held at its ends.
inline int wholePixelsFromTwips(double twips) {
    double p = std::floor(twips / kTwipsPerPixel + 0.5);
    if (std::isnan(p)) return 0;
    if (p < -2147483648.0) return -2147483647 - 1;
    if (p > 2147483647.0) return 2147483647;
    return static_cast<int>(p);
}
