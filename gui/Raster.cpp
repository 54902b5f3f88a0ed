#include "gui/Raster.h"

#include <algorithm>
#include <utility>

namespace {

constexpr double kTwoPi = 6.283185307179586;
// Beyond this many pixels a segment is clipped to the image before it is rasterised, so that
// far-off coordinates cost nothing.
constexpr double kDirectLimit = 65536.0;

// The binary raster operations on the RGB part of a pixel.
std::uint32_t rop2(int mode, std::uint32_t pen, std::uint32_t dst) {
    std::uint32_t r;
    switch (mode) {
    case 1:
        r = 0;
        break;
    case 2:
        r = ~(pen | dst);
        break;
    case 3:
        r = ~pen & dst;
        break;
    case 4:
        r = ~pen;
        break;
    case 5:
        r = pen & ~dst;
        break;
    case 6:
        r = ~dst;
        break;
    case 7:
        r = pen ^ dst;
        break;
    case 8:
        r = ~(pen & dst);
        break;
    case 9:
        r = pen & dst;
        break;
    case 10:
        r = ~(pen ^ dst);
        break;
    case 11:
        r = dst;
        break;
    case 12:
        r = ~pen | dst;
        break;
    case 14:
        r = pen | ~dst;
        break;
    case 15:
        r = pen | dst;
        break;
    case 16:
        r = 0xFFFFFFu;
        break;
    default:
        r = pen;
        break;
    }
    return 0xFF000000u | (r & 0xFFFFFFu);
}

// Whether a hatch of the fill style covers device pixel (x, y); the hatches repeat every
// 8 pixels from the device origin, so neighbouring boxes join up.
bool hatchCovers(int style, int x, int y) {
    bool horizontal = (y & 7) == 0;
    bool vertical = (x & 7) == 0;
    bool upward = ((x + y) & 7) == 0;   // "/"
    bool downward = ((x - y) & 7) == 0; // "\"
    switch (style) {
    case kFillSolid:
        return true;
    case kFillHorizontal:
        return horizontal;
    case kFillVertical:
        return vertical;
    case kFillUpwardDiagonal:
        return upward;
    case kFillDownwardDiagonal:
        return downward;
    case kFillCross:
        return horizontal || vertical;
    case kFillDiagonalCross:
        return upward || downward;
    default:
        return false;
    }
}

// First and last pixel (centres at whole positions) in [lo, hi) along an axis of size pixels,
// the edges held within [limitLo, limitHi] first so that far-off boxes cost nothing. Empty
// (first > last) when no centre lies inside.
std::pair<long long, long long> coveredPixels(double lo, double hi, double limitLo, double limitHi,
                                              int size) {
    lo = std::clamp(lo, limitLo, limitHi);
    hi = std::clamp(hi, limitLo, limitHi);
    const long long first = std::max(0LL, static_cast<long long>(std::ceil(lo)));
    const long long last = std::min<long long>(size - 1, static_cast<long long>(std::ceil(hi)) - 1);
    return {first, last};
}

// The pixels a filled box covers along one axis, between two positions in pixels, with the
// margin that Line keeps around the image for a pen of the given width.
std::pair<long long, long long> boxPixels(double p1, double p2, int penWidth, int size) {
    const double margin = std::max(1, penWidth) + 2;
    return coveredPixels(std::min(p1, p2), std::max(p1, p2), -margin, size + margin, size);
}

// Liang-Barsky: clips the segment to the box; false when nothing is left.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xmin, double ymin,
                 double xmax, double ymax) {
    double t0 = 0, t1 = 1;
    double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - xmin, xmax - x0, y0 - ymin, ymax - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
        } else {
            double t = q[i] / p[i];
            if (p[i] < 0) {
                if (t > t1) return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0) return false;
                t1 = std::min(t1, t);
            }
        }
    }
    double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
    double nx1 = x0 + t1 * dx, ny1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    x1 = nx1;
    y1 = ny1;
    return true;
}

} // namespace

// ---- Raster --------------------------------------------------------------------------------

Raster::Raster(Picture& pic, int mode, int penWidth, int drawStyle)
    : pic_(pic), mode_(mode), w_(pic.image_.width()), h_(pic.image_.height()) {
    if (w_ > 0 && h_ > 0) {
        bits_ = reinterpret_cast<std::uint32_t*>(pic.image_.bits());
        stride_ = static_cast<int>(pic.image_.bytesPerLine() / 4);
    }
    direct_ = mode_ == kDrawCopyPen;
    if (!direct_ && pic_.mark_.size() != static_cast<std::size_t>(w_) * h_)
        pic_.mark_.assign(static_cast<std::size_t>(w_) * h_, 0);
    setPen(penWidth, drawStyle);
}

Raster::DashPattern Raster::dashPattern(int style) {
    static const int dash[] = {18, 6};
    static const int dot[] = {3, 3};
    static const int dashDot[] = {9, 6, 3, 6};
    static const int dashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (style) {
    case kDrawDash:
        return {dash, 2};
    case kDrawDot:
        return {dot, 2};
    case kDrawDashDot:
        return {dashDot, 4};
    case kDrawDashDotDot:
        return {dashDotDot, 6};
    default:
        return {};
    }
}

void Raster::setPen(int width, int style) {
    penWidth_ = std::max(1, width);
    invisible_ = style == kDrawInvisible;
    dash_ = penWidth_ == 1 ? dashPattern(style) : DashPattern{};
    stamp_.clear();
    if (penWidth_ > 1) {
        // A round pen of the given diameter.
        int lo = -(penWidth_ / 2), hi = (penWidth_ - 1) / 2;
        double c = (penWidth_ % 2 == 0) ? -0.5 : 0.0;
        double r2 = penWidth_ * penWidth_ / 4.0 + 1e-9;
        for (int dy = lo; dy <= hi; ++dy)
            for (int dx = lo; dx <= hi; ++dx)
                if ((dx - c) * (dx - c) + (dy - c) * (dy - c) <= r2) stamp_.push_back({dx, dy});
    }
}

void Raster::segment(double fx0, double fy0, double fx1, double fy1, std::uint32_t pen) {
    if (invisible_) return;
    double lim = kDirectLimit;
    if (std::fabs(fx0) > lim || std::fabs(fy0) > lim || std::fabs(fx1) > lim ||
        std::fabs(fy1) > lim) {
        double m = penMargin();
        if (!clipSegment(fx0, fy0, fx1, fy1, -m, -m, w_ + m, h_ + m)) return;
    }
    pixelSegment(roundPixel(fx0), roundPixel(fy0), roundPixel(fx1), roundPixel(fy1), pen);
}

void Raster::devicePointSegment(long long x0, long long y0, long long x1, long long y1,
                                std::uint32_t pen) {
    const auto lim = static_cast<long long>(kDirectLimit);
    if (std::llabs(x0) > lim || std::llabs(y0) > lim || std::llabs(x1) > lim ||
        std::llabs(y1) > lim) {
        segment(static_cast<double>(x0), static_cast<double>(y0), static_cast<double>(x1),
                static_cast<double>(y1), pen);
        return;
    }
    if (!invisible_) pixelSegment(x0, y0, x1, y1, pen);
}

void Raster::flush() {
    if (direct_ || pic_.markedIndex_.empty()) return;
    for (std::size_t k = 0; k < pic_.markedIndex_.size(); ++k) {
        std::uint32_t i = pic_.markedIndex_[k];
        int y = static_cast<int>(i / static_cast<std::uint32_t>(w_));
        int x = static_cast<int>(i % static_cast<std::uint32_t>(w_));
        std::uint32_t* p = bits_ + y * stride_ + x;
        *p = rop2(mode_, pic_.markedColor_[k], *p);
        pic_.mark_[i] = 0;
    }
    pic_.markedIndex_.clear();
    pic_.markedColor_.clear();
}

// ---- Boxes ---------------------------------------------------------------------------------

Raster::Corners Raster::cornersOf(double px1, double py1, double px2, double py2) const {
    double lo = -penMargin();
    double hxi = w_ + penMargin(), hyi = h_ + penMargin();
    return {roundPixel(std::clamp(std::min(px1, px2), lo, hxi)),
            roundPixel(std::clamp(std::min(py1, py2), lo, hyi)),
            roundPixel(std::clamp(std::max(px1, px2), lo, hxi)),
            roundPixel(std::clamp(std::max(py1, py2), lo, hyi))};
}

void Raster::boxOutline(const Corners& b, std::uint32_t pen) {
    segment(b.xa, b.ya, b.xb, b.ya, pen);
    segment(b.xb, b.ya, b.xb, b.yb, pen);
    segment(b.xb, b.yb, b.xa, b.yb, pen);
    segment(b.xa, b.yb, b.xa, b.ya, pen);
}

void Raster::filledBox(double px1, double py1, double px2, double py2, std::uint32_t pen) {
    const Corners b = cornersOf(px1, py1, px2, py2);
    // Boxes that share an edge share no pixel, so the cells of a grid tile the picture
    // whatever their fractional edges.
    const auto [x0, x1c] = boxPixels(px1, px2, penWidth_, w_);
    const auto [y0, y1c] = boxPixels(py1, py2, penWidth_, h_);
    for (long long y = y0; y <= y1c; ++y)
        for (long long x = x0; x <= x1c; ++x)
            plot(x, y, pen);
    if (penWidth_ > 1) {
        setPen(penWidth_, kDrawSolid);
        boxOutline(b, pen);
    }
}

void Raster::outlinedBox(double px1, double py1, double px2, double py2, int fillStyle,
                         std::uint32_t fill, std::uint32_t pen) {
    const Corners b = cornersOf(px1, py1, px2, py2);
    if (fillStyle != kFillTransparent) {
        long long x0 = std::max(0LL, b.xa + 1);
        long long x1c = std::min<long long>(w_ - 1, b.xb - 1);
        long long y0 = std::max(0LL, b.ya + 1);
        long long y1c = std::min<long long>(h_ - 1, b.yb - 1);
        for (long long y = y0; y <= y1c; ++y)
            for (long long x = x0; x <= x1c; ++x)
                if (hatchCovers(fillStyle, static_cast<int>(x), static_cast<int>(y)))
                    plot(x, y, fill);
    }
    boxOutline(b, pen);
}

// ---- Ellipses ------------------------------------------------------------------------------

bool Ellipse::onArc(long long dx, long long dy) const {
    if (!arc) return true;
    if (dx == 0 && dy == 0) return true;
    double t = std::atan2(static_cast<double>(-dy), static_cast<double>(dx));
    if (t < 0) t += kTwoPi;
    return start <= end ? (t >= start && t <= end) : (t >= start || t <= end);
}

Ellipse EllipseOf(double x, double y, double radius, double k, std::optional<double> start,
                  std::optional<double> end, std::optional<double> aspect) {
    Ellipse el;
    el.cx = roundPixel(x * k);
    el.cy = roundPixel(y * k);
    double rpx = std::fabs(radius * k);
    checkFinite(rpx);
    double a = aspect ? std::fabs(*aspect) : 1.0;
    checkFinite(a);
    double rxd = a < 1 ? rpx : (a > 0 ? rpx / a : rpx);
    double ryd = a < 1 ? rpx * a : rpx;
    el.rx = roundPixel(rxd);
    el.ry = roundPixel(ryd);

    // The arc: angles normalised to [0, 2 pi); an arc is given when either end is.
    el.arc = start.has_value() || end.has_value();
    double s = start ? std::fabs(*start) : 0.0, e = end ? std::fabs(*end) : 0.0;
    checkFinite(s);
    checkFinite(e);
    if (s > kTwoPi || e > kTwoPi) throw RuntimeError(err::InvalidCall);
    el.radiusToStart = start && *start < 0;
    el.radiusToEnd = end && *end < 0;
    el.start = std::fmod(s, kTwoPi);
    el.end = std::fmod(e, kTwoPi);
    if (el.arc && el.start == el.end) el.arc = false;
    return el;
}

void Raster::fillEllipse(const Ellipse& e, int fillStyle, std::uint32_t fill) {
    const long long m = penMargin();
    // Rows of the ellipse that can touch the image.
    const long long rowLo = std::max(-e.ry, -e.cy - m);
    const long long rowHi = std::min(e.ry, h_ - 1 - e.cy + m);
    for (long long dy = rowLo; dy <= rowHi; ++dy) {
        double t = static_cast<double>(dy) / static_cast<double>(e.ry);
        double half = 1 - t * t;
        if (half < 0) continue;
        long long span =
            static_cast<long long>(std::floor(static_cast<double>(e.rx) * std::sqrt(half) + 1e-9));
        long long lo = std::max(-span, -e.cx), hi = std::min(span, w_ - 1 - e.cx);
        for (long long dx = lo; dx <= hi; ++dx) {
            long long px = e.cx + dx, py = e.cy + dy;
            if (e.onArc(dx, dy) &&
                hatchCovers(fillStyle, static_cast<int>(px), static_cast<int>(py)))
                plot(px, py, fill);
        }
    }
}

void Raster::outlineEllipse(const Ellipse& e, std::uint32_t pen) {
    const long long m = penMargin();
    const long long cx = e.cx, cy = e.cy, rx = e.rx, ry = e.ry;
    // Rows and columns of the ellipse that can touch the image.
    const long long rowLo = std::max(-ry, -cy - m), rowHi = std::min(ry, h_ - 1 - cy + m);
    const long long colLo = std::max(-rx, -cx - m), colHi = std::min(rx, w_ - 1 - cx + m);
    auto outline = [&](long long dx, long long dy) {
        if (e.onArc(dx, dy)) dot(cx + dx, cy + dy, pen);
    };
    if (rx == 0 && ry == 0) {
        outline(0, 0);
    } else if (ry == 0) {
        for (long long dx = colLo; dx <= colHi; ++dx)
            outline(dx, 0);
    } else if (rx == 0) {
        for (long long dy = rowLo; dy <= rowHi; ++dy)
            outline(0, dy);
    } else {
        // Row by row and column by column, so that the outline has no gaps whatever its
        // slope.
        for (long long dy = rowLo; dy <= rowHi; ++dy) {
            double t = static_cast<double>(dy) / ry;
            long long ox = roundPixel(rx * std::sqrt(std::max(0.0, 1 - t * t)));
            outline(ox, dy);
            outline(-ox, dy);
        }
        for (long long dx = colLo; dx <= colHi; ++dx) {
            double t = static_cast<double>(dx) / rx;
            long long oy = roundPixel(ry * std::sqrt(std::max(0.0, 1 - t * t)));
            outline(dx, oy);
            outline(dx, -oy);
        }
    }
    auto radiusLine = [&](double angle) {
        double ex = cx + rx * std::cos(angle), ey = cy - ry * std::sin(angle);
        segment(static_cast<double>(cx), static_cast<double>(cy), ex, ey, pen);
    };
    if (e.arc && e.radiusToStart) radiusLine(e.start);
    if (e.arc && e.radiusToEnd) radiusLine(e.end);
}

// ---- Polygons ------------------------------------------------------------------------------

void Raster::fillPolygon(const PointApi* points, Long count, int fillStyle, std::uint32_t fill) {
    // Even-odd fill at pixel centres; edges take rows from their upper end up to, not
    // including, their lower end so that a vertex is counted once.
    long long ymin = points[0].y, ymax = points[0].y;
    for (Long i = 1; i < count; ++i) {
        ymin = std::min<long long>(ymin, points[i].y);
        ymax = std::max<long long>(ymax, points[i].y);
    }
    ymin = std::max(ymin, 0LL);
    ymax = std::min<long long>(ymax, h_ - 1);
    std::vector<double>& xs = pic_.polygonXs_;
    const bool solid = fillStyle == kFillSolid;
    for (long long y = ymin; y <= ymax; ++y) {
        xs.clear();
        for (Long i = 0; i < count; ++i) {
            const PointApi& a = points[i];
            const PointApi& b = points[i + 1 < count ? i + 1 : 0];
            if (a.y == b.y) continue;
            long long ylo = std::min(a.y, b.y), yhi = std::max(a.y, b.y);
            if (y < ylo || y >= yhi) continue;
            double ax = a.x, ay = a.y, bx = b.x, by = b.y;
            xs.push_back(ax + (static_cast<double>(y) - ay) * (bx - ax) / (by - ay));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t j = 0; j + 1 < xs.size(); j += 2) {
            long long xa = static_cast<long long>(std::ceil(xs[j]));
            long long xb = static_cast<long long>(std::floor(xs[j + 1]));
            xa = std::max(xa, 0LL);
            xb = std::min<long long>(xb, w_ - 1);
            for (long long x = xa; x <= xb; ++x)
                if (solid || hatchCovers(fillStyle, static_cast<int>(x), static_cast<int>(y)))
                    plot(x, y, fill);
        }
    }
}

void Raster::polygonOutline(const PointApi* points, Long count, std::uint32_t pen) {
    for (Long i = 0; i < count; ++i) {
        const PointApi& a = points[i];
        const PointApi& b = points[i + 1 < count ? i + 1 : 0];
        devicePointSegment(a.x, a.y, b.x, b.y, pen);
    }
}

// ---- PixelBoxes ----------------------------------------------------------------------------

PixelBoxes::PixelBoxes(Picture& pic)
    : pic_(pic), width_(pic.image_.width()), height_(pic.image_.height()), mode_(pic.drawMode_) {
    direct_ = !pic.recording_ && pic.drawWidth_ <= 1;
    if (width_ > 0 && height_ > 0) {
        bits_ = reinterpret_cast<std::uint32_t*>(pic.image_.bits());
        stride_ = static_cast<int>(pic.image_.bytesPerLine() / 4);
    }
}

PixelBoxes::~PixelBoxes() {
    if (drawn_) pic_.touched();
}

namespace {

void boxRange(double u1, double u2, double perUnit, int size, int& first, int& last) {
    const double p1 = u1 * perUnit, p2 = u2 * perUnit;
    if (!std::isfinite(p1) || !std::isfinite(p2)) {
        first = 0;
        last = -1;
        return;
    }
    const auto [a, b] = boxPixels(p1, p2, 1, size);
    first = static_cast<int>(a);
    last = static_cast<int>(b);
}

} // namespace

void PixelBoxes::columns(double u1, double u2, int& first, int& last) const {
    boxRange(u1, u2, pic_.pixelsPerUnit(), width_, first, last);
}

void PixelBoxes::rows(double u1, double u2, int& first, int& last) const {
    boxRange(u1, u2, pic_.pixelsPerUnit(), height_, first, last);
}

void PixelBoxes::fill(int x0, int y0, int x1, int y1, Long color) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width_ - 1);
    y1 = std::min(y1, height_ - 1);
    if (x0 > x1 || y0 > y1 || !bits_) return;
    const std::uint32_t pen = pixelOfColor(color);
    drawn_ = true;
    for (int y = y0; y <= y1; ++y) {
        std::uint32_t* row = bits_ + static_cast<std::ptrdiff_t>(y) * stride_;
        switch (mode_) {
        case kDrawCopyPen:
            std::fill(row + x0, row + x1 + 1, pen);
            break;
        case kDrawMaskPen:
            for (int x = x0; x <= x1; ++x)
                row[x] = pen & row[x];
            break;
        default:
            for (int x = x0; x <= x1; ++x)
                row[x] = rop2(mode_, pen, row[x]);
            break;
        }
    }
}
