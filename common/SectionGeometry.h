#pragma once
// The geometry that the section drawings share: the plot transform from section coordinates
// (position along the section, minus the depth) to a picture, the squared picture distance of
// two world points, the nearest segment end, the crossing of a contour level with a triangle,
// the tick steps of the axes and the distance of two points on the earth. Every routine takes
// the transform it uses: nothing here keeps state.
#include "runtime/Types.h"

#include <vector>

// The world rectangle that a plot shows.
struct PlotWindow {
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// True when the window w has a width and a height (1e-10 or more) and a plot of pwidth by
// pheight units has a size (one side above 0 is enough); otherwise shows why in a box and
// gives false, so that no scale is ever divided by an empty extent.
bool PlotWindowUsable(const PlotWindow& w, Long pwidth, Long pheight);

// A world point (x, y) lies at X = (x - OrgX) * ScaleX + OffX and
// Y = PicHeight - ((y - OrgY) * ScaleY + OffY) in the picture: y grows upward in the world and
// downward in the picture, measured up from the line PicHeight.
struct PlotTransform {
    double OrgX = 0, OrgY = 0;
    double ScaleX = 0, ScaleY = 0;
    double OffX = 0, OffY = 0;
    float PicHeight = 0;
};

// The picture point of world point (x, y). X is rounded to a Single; the bracket of Y is rounded
// to a Single before it is taken from PicHeight, and the difference again.
void xy_scale(const PlotTransform& t, float x, float y, float& X, float& Y);

// (X1 - X2)^2 + (Y1 - Y2)^2 of the two world points mapped to the picture: the squared picture
// distance, without the root.
float SegDistance(const PlotTransform& t, float x1, float y1, float x2, float y2);

// A straight piece of a contour line, its two ends in world units.
struct ContourSegment {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// Among segments 1 .. n (segs[p - 1], state[p - 1]) whose state is minState or more, leaving out
// segment cur, the segment end nearest to the world point (x, y) by SegDistance, the segments'
// ends taken as Singles. dist is set to 1e20 first; each segment whose nearer end lies below
// dist sets idx = p and dist and endNo (1 or 2; end 2 when both ends are equally near). A tie
// between segments keeps the earlier one; when none qualifies, idx and endNo keep their values.
void NearestSegment(const PlotTransform& t, float x, float y, Long cur,
                    const std::vector<Integer>& state, const std::vector<ContourSegment>& segs,
                    Long n, Long& idx, Integer& endNo, float& dist, Integer minState);

// The piece of the triangle a, b, c (positions and values) on which the value equals level.
// An edge p-q is crossed when MinS(vp, vq) < level <= MaxS(vp, vq), at the point interpolated
// from p; an edge without a crossing keeps x = -999.9. Result (x1, y1)-(x2, y2): the c-a point
// to the a-b point when a-b is crossed and b-c is not; the a-b point to the b-c point when a-b
// and b-c are crossed and c-a is not; else the b-c point to the c-a point.
void TriangleLevelSegment(float xa, float xb, float xc, float ya, float yb, float yc, float va,
                          float vb, float vc, float level, float& x1, float& y1, float& x2,
                          float& y2);

// Tick steps for a span x (its size counts, not its sign): 0 for 0; 1, 2, 5, 10, 20, 100, 500
// from 1 up to 10000; else a fifth of a power of ten: NiceStep one decade above the span's
// (the depth axes), NiceStep2 the span's own decade (the distance axis). 0.3 gives 0.2 and
// 0.02, 25000 gives 20000 and 2000.
float NiceStep(float x);
float NiceStep2(float x);
// The smallest of 1, 2 and 5 times a power of ten that is at least x (x > 0): the step of an
// axis whose whole-number step would be 0. 0 for an x that is not above 0 or not finite.
double FractionalTickStep(double x);
// No axis draws more ticks than this, whatever its step.
constexpr Long kMaxTicks = 1000;

// The distance in metres between two points given in degrees, on a flat earth round their
// middle latitude (radius 6366191.357 m).
double GeoDistance(double lon1, double lat1, double lon2, double lat2);
