#pragma once
// The picture's rasteriser: the pixels of lines, boxes, ellipses and polygons written into a
// picture's image under its raster operation, without antialiasing. Picture works out what to
// draw (colours, scale units, the current point, the primitive log) and hands the pixel
// positions here; PixelBoxes writes its boxes with the same pixel rules.
#include "gui/Picture.h"
#include "runtime/RuntimeError.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

// A position that is no finite number raises error 6.
inline void checkFinite(double v) {
    if (!std::isfinite(v)) throw RuntimeError(err::Overflow);
}

// The whole pixel nearest a position (halves up); error 6 beyond what a pixel number holds.
inline long long roundPixel(double v) {
    checkFinite(v);
    const double h = v + 0.5;
    if (h > 4e18 || h < -4e18) throw RuntimeError(err::Overflow);
    // floor(h) without a library call: every position drawn passes here.
    long long r = static_cast<long long>(h);
    if (static_cast<double>(r) > h) --r;
    return r;
}

// An ellipse in pixels round (cx, cy) with the radii rx across and ry down; with arc, only its
// part counter-clockwise from angle start to angle end (radians in [0, 2 pi)), and the radius
// to either end that was given as a negative angle.
struct Ellipse {
    long long cx = 0, cy = 0, rx = 0, ry = 0;
    bool arc = false;
    double start = 0, end = 0;
    bool radiusToStart = false, radiusToEnd = false;
    // Whether the point (dx, dy) from the centre lies on the arc (always for a whole ellipse).
    bool onArc(long long dx, long long dy) const;
};

// The ellipse of Circle (x, y), radius, start, end, aspect at k pixels a unit: aspect is
// height / width and the radius the larger axis. Error 6 for a position, size or angle that is
// no finite number, error 5 for an angle beyond 2 pi. An arc whose ends meet is the whole
// ellipse.
Ellipse EllipseOf(double x, double y, double radius, double k, std::optional<double> start,
                  std::optional<double> end, std::optional<double> aspect);

// One drawing call's pixels. Under the copy pen the pixels go straight to the image (a later
// pixel of the call overwrites an earlier one); under any other raster operation each pixel of
// the call is collected once, the last colour given to it winning, and combined with the image
// when the call ends, so that an outline and its fill, or two lines meeting at a corner, never
// invert or mask a pixel twice.
class Raster {
public:
    Raster(Picture& pic, int mode, int penWidth, int drawStyle);
    ~Raster() { flush(); }
    Raster(const Raster&) = delete;
    Raster& operator=(const Raster&) = delete;

    void setPen(int width, int style);
    // One pen dot: a pixel, or the round pen around it.
    void dot(long long x, long long y, std::uint32_t pen);
    // A line between pixel positions, both ends included, with the pen. The dash phase runs
    // on across the segments of one figure.
    void segment(double fx0, double fy0, double fx1, double fy1, std::uint32_t pen);
    // The same between device points, which need no rounding: the edges of polygons and
    // polylines. Far-off ends go the clipping way.
    void devicePointSegment(long long x0, long long y0, long long x1, long long y1,
                            std::uint32_t pen);

    // Line's BF form between pixel positions: the pixels whose centres lie inside the box, its
    // left and top edges in and its right and bottom edges out, outlined by a pen wider than a
    // pixel.
    void filledBox(double px1, double py1, double px2, double py2, std::uint32_t pen);
    // Line's B form: the outline through both corners, the inside painted by the fill style
    // (nothing when transparent).
    void outlinedBox(double px1, double py1, double px2, double py2, int fillStyle,
                     std::uint32_t fill, std::uint32_t pen);

    // The inside of the ellipse (or of its arc's sector) painted by the fill style.
    void fillEllipse(const Ellipse& e, int fillStyle, std::uint32_t fill);
    // The ellipse's outline (or its arc's), with the radii its arc asks for.
    void outlineEllipse(const Ellipse& e, std::uint32_t pen);

    // The inside of the polygon (even-odd at pixel centres) painted by the fill style, and its
    // closed outline.
    void fillPolygon(const PointApi* points, Long count, int fillStyle, std::uint32_t fill);
    void polygonOutline(const PointApi* points, Long count, std::uint32_t pen);

private:
    // Box corners in whole pixels, held just outside the image so that far-off boxes stay
    // cheap.
    struct Corners {
        long long xa, ya, xb, yb;
    };
    Corners cornersOf(double px1, double py1, double px2, double py2) const;
    void boxOutline(const Corners& b, std::uint32_t pen);
    void plot(long long x, long long y, std::uint32_t pen);
    void pixelSegment(long long x0, long long y0, long long x1, long long y1, std::uint32_t pen);
    void flush();
    bool dashOn();
    int penMargin() const { return penWidth_ + 2; }

    // On/off run lengths of the dashed styles (pixels).
    struct DashPattern {
        const int* runs = nullptr;
        int count = 0;
    };
    static DashPattern dashPattern(int style);

    Picture& pic_;
    int mode_;
    int w_, h_;
    std::uint32_t* bits_ = nullptr;
    int stride_ = 0;
    bool direct_ = true;
    int penWidth_ = 1;
    bool invisible_ = false;
    DashPattern dash_;
    int dashRun_ = 0;
    int dashStep_ = 0;
    struct Offset {
        int dx, dy;
    };
    std::vector<Offset> stamp_;
};

// The per-pixel steps stay inline: every pixel of every line passes through them.

inline void Raster::plot(long long x, long long y, std::uint32_t pen) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    std::uint32_t* p = bits_ + y * stride_ + x;
    if (direct_) {
        *p = pen;
        return;
    }
    std::size_t i = static_cast<std::size_t>(y) * w_ + x;
    std::uint32_t m = pic_.mark_[i];
    if (m) {
        pic_.markedColor_[m - 1] = pen;
        return;
    }
    pic_.markedIndex_.push_back(static_cast<std::uint32_t>(i));
    pic_.markedColor_.push_back(pen);
    pic_.mark_[i] = static_cast<std::uint32_t>(pic_.markedIndex_.size());
}

inline void Raster::dot(long long x, long long y, std::uint32_t pen) {
    if (invisible_) return;
    if (stamp_.empty()) {
        plot(x, y, pen);
        return;
    }
    for (auto [dx, dy] : stamp_)
        plot(x + dx, y + dy, pen);
}

inline bool Raster::dashOn() {
    if (!dash_.count) return true;
    bool on = (dashRun_ % 2) == 0;
    if (++dashStep_ >= dash_.runs[dashRun_]) {
        dashStep_ = 0;
        dashRun_ = (dashRun_ + 1) % dash_.count;
    }
    return on;
}

// Bresenham between whole pixels, both ends included.
inline void Raster::pixelSegment(long long x0, long long y0, long long x1, long long y1,
                                 std::uint32_t pen) {
    long long dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long long e = dx + dy;
    for (;;) {
        if (dashOn()) dot(x0, y0, pen);
        if (x0 == x1 && y0 == y1) break;
        long long e2 = 2 * e;
        if (e2 >= dy) {
            e += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            e += dx;
            y0 += sy;
        }
    }
}
