#include "gui/Picture.h"
#include "gui/QtText.h"
#include "platform/AtomicFile.h"
#include "runtime/RuntimeError.h"
#include <QBuffer>
#include <QFontMetrics>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <cmath>
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

void checkFinite(double v) {
    if (!std::isfinite(v)) throw RuntimeError(err::Overflow);
}

long long roundPixel(double v) {
    checkFinite(v);
    const double h = v + 0.5;
    if (h > 4e18 || h < -4e18) throw RuntimeError(err::Overflow);
    // floor(h) without a library call: every position drawn passes here.
    long long r = static_cast<long long>(h);
    if (static_cast<double>(r) > h) --r;
    return r;
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

// On/off run lengths of the dashed styles (pixels).
struct DashPattern {
    const int* runs = nullptr;
    int count = 0;
};

DashPattern dashPattern(int style) {
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

} // namespace

// Writes the pixels of one drawing call. Under the copy pen the pixels go straight to the
// image (a later pixel of the call overwrites an earlier one); under any other raster
// operation each pixel of the call is collected once, the last colour given to it winning,
// and combined with the image when the call ends, so that an outline and its fill, or two
// lines meeting at a corner, never invert or mask a pixel twice.
class Raster {
public:
    Raster(Picture& pic, int mode, int penWidth, int drawStyle)
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
    ~Raster() { flush(); }
    Raster(const Raster&) = delete;
    Raster& operator=(const Raster&) = delete;

    int width() const { return w_; }
    int height() const { return h_; }
    int penMargin() const { return penWidth_ + 2; }
    bool invisiblePen() const { return invisible_; }

    void setPen(int width, int style) {
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

    void plot(long long x, long long y, std::uint32_t pen) {
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

    // One pen dot: a pixel, or the round pen around it.
    void dot(long long x, long long y, std::uint32_t pen) {
        if (invisible_) return;
        if (stamp_.empty()) {
            plot(x, y, pen);
            return;
        }
        for (auto [dx, dy] : stamp_)
            plot(x + dx, y + dy, pen);
    }

    // A line between pixel positions, both ends included, with the pen. The dash phase runs
    // on across the segments of one figure.
    void segment(double fx0, double fy0, double fx1, double fy1, std::uint32_t pen) {
        if (invisible_) return;
        double lim = kDirectLimit;
        if (std::fabs(fx0) > lim || std::fabs(fy0) > lim || std::fabs(fx1) > lim ||
            std::fabs(fy1) > lim) {
            double m = penMargin();
            if (!clipSegment(fx0, fy0, fx1, fy1, -m, -m, w_ + m, h_ + m)) return;
        }
        pixelSegment(roundPixel(fx0), roundPixel(fy0), roundPixel(fx1), roundPixel(fy1), pen);
    }

    // The same between device points, which need no rounding: the edges of polygons and
    // polylines. Far-off ends go the clipping way.
    void devicePointSegment(long long x0, long long y0, long long x1, long long y1,
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

    // Bresenham between whole pixels, both ends included.
    void pixelSegment(long long x0, long long y0, long long x1, long long y1, std::uint32_t pen) {
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

    void flush() {
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

private:
    bool dashOn() {
        if (!dash_.count) return true;
        bool on = (dashRun_ % 2) == 0;
        if (++dashStep_ >= dash_.runs[dashRun_]) {
            dashStep_ = 0;
            dashRun_ = (dashRun_ + 1) % dash_.count;
        }
        return on;
    }

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

Picture::Picture(int width, int height) {
    image_ = QImage(std::max(0, width), std::max(0, height), QImage::Format_RGB32);
    // 96 dots per inch, as the screen the program was made for.
    image_.setDotsPerMeterX(3780);
    image_.setDotsPerMeterY(3780);
    image_.fill(pixelOfColor(backColor_));
}

void Picture::resize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == image_.width() && height == image_.height()) return;
    QImage next(width, height, QImage::Format_RGB32);
    next.setDotsPerMeterX(3780);
    next.setDotsPerMeterY(3780);
    next.fill(pixelOfColor(backColor_));
    int cw = std::min(width, image_.width()), ch = std::min(height, image_.height());
    for (int y = 0; y < ch; ++y)
        std::copy_n(reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y)), cw,
                    reinterpret_cast<std::uint32_t*>(next.scanLine(y)));
    image_ = std::move(next);
    mark_.clear();
    touched();
}

void Picture::setScaleMode(int mode) {
    if (mode != kScalePixels && mode != kScaleTwips)
        throw RuntimeError(kInvalidPropertyValue, "Invalid property value");
    scaleMode_ = mode;
}

float Picture::ScaleWidth() const {
    return static_cast<float>(toUnits(image_.width()));
}
float Picture::ScaleHeight() const {
    return static_cast<float>(toUnits(image_.height()));
}

void Picture::setFillStyle(int style) {
    if (style < 0 || style > 7) throw RuntimeError(kInvalidPropertyValue, "Invalid property value");
    fillStyle_ = style;
}

void Picture::setDrawStyle(int style) {
    if (style < 0 || style > 6) throw RuntimeError(kInvalidPropertyValue, "Invalid property value");
    drawStyle_ = style;
}

void Picture::setDrawWidth(int width) {
    if (width < 1 || width > 32767)
        throw RuntimeError(kInvalidPropertyValue, "Invalid property value");
    drawWidth_ = width;
}

void Picture::setDrawMode(int mode) {
    if (mode < 1 || mode > 16) throw RuntimeError(kInvalidPropertyValue, "Invalid property value");
    drawMode_ = mode;
}

// A font property change puts the picture's own font back in place of a device font.
void Picture::setFontName(const std::string& name) {
    fontName_ = name;
    deviceFont_.reset();
}

void Picture::setFontSize(float points) {
    if (!(points > 0) || points > 2048)
        throw RuntimeError(kInvalidPropertyValue, "Invalid property value");
    fontSize_ = points;
    deviceFont_.reset();
}

void Picture::setFontBold(bool on) {
    fontBold_ = on;
    deviceFont_.reset();
}

void Picture::setFontItalic(bool on) {
    fontItalic_ = on;
    deviceFont_.reset();
}

void Picture::setFontUnderline(bool on) {
    fontUnderline_ = on;
    deviceFont_.reset();
}

std::optional<LogFont> Picture::selectFont(const LogFont* font) {
    std::optional<LogFont> old = deviceFont_;
    if (font)
        deviceFont_ = *font;
    else
        deviceFont_.reset();
    return old;
}

QFont Picture::font() const {
    QFont f;
    f.setStyleStrategy(QFont::NoAntialias);
    f.setKerning(false);
    if (deviceFont_) {
        const LogFont& lf = *deviceFont_;
        f.setFamily(QString::fromLatin1(lf.faceName.c_str()));
        f.setBold(lf.weight >= 600);
        f.setItalic(lf.italic);
        f.setUnderline(lf.underline);
        f.setStrikeOut(lf.strikeOut);
        int h = lf.height == 0 ? 16 : std::abs(lf.height);
        h = std::clamp(h, 1, 4096);
        f.setPixelSize(h);
        if (lf.height > 0) {
            // A positive height is the cell height: scale the em size down to fit it.
            QFontMetrics m(f);
            if (m.height() > 0)
                f.setPixelSize(std::max(
                    1, static_cast<int>(std::lround(static_cast<double>(h) * h / m.height()))));
        }
        if (lf.width > 0) {
            QFontMetrics m(f);
            int avg = m.averageCharWidth();
            if (avg > 0) f.setStretch(std::clamp(100 * lf.width / avg, 1, 4000));
        }
        return f;
    }
    f.setFamily(QString::fromLatin1(fontName_.c_str()));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(fontSize_ * 96.0 / 72.0))));
    f.setBold(fontBold_);
    f.setItalic(fontItalic_);
    f.setUnderline(fontUnderline_);
    return f;
}

int Picture::toPixel(double units) const {
    long long p = roundPixel(units * pixelsPerUnit());
    return static_cast<int>(std::clamp<long long>(p, -(1LL << 30), 1LL << 30));
}

void Picture::touched() {
    if (!changed_) {
        changed_ = true;
        if (changedHook_) changedHook_();
    }
}

DrawRecord Picture::baseRecord(DrawKind kind, Long color) const {
    DrawRecord r;
    r.kind = kind;
    r.color = color;
    r.fillColor = fillColor_;
    r.fillStyle = fillStyle_;
    r.drawMode = drawMode_;
    r.drawWidth = drawWidth_;
    return r;
}

void Picture::record(DrawRecord r) {
    if (recording_) records_.push_back(std::move(r));
}

Long Picture::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return -1;
    return colorOfPixel(reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y))[x]);
}

void Picture::Cls() {
    image_.fill(pixelOfColor(backColor_));
    currentX_ = 0;
    currentY_ = 0;
    if (recording_) record(baseRecord(DrawKind::Cls, backColor_));
    touched();
}

void Picture::Line(double x1, double y1, double x2, double y2, std::optional<Long> color,
                   LineFlag flag) {
    Long c = color.value_or(foreColor_);
    double k = pixelsPerUnit();
    double px1 = x1 * k, py1 = y1 * k, px2 = x2 * k, py2 = y2 * k;
    checkFinite(px1);
    checkFinite(py1);
    checkFinite(px2);
    checkFinite(py2);
    std::uint32_t pen = pixelOfColor(c);
    {
        Raster r(*this, drawMode_, drawWidth_, drawStyle_);
        if (flag == LineFlag::None) {
            r.segment(px1, py1, px2, py2, pen);
        } else {
            // Corners held just outside the image keep far-off boxes cheap.
            double lo = -r.penMargin();
            double hxi = r.width() + r.penMargin(), hyi = r.height() + r.penMargin();
            long long xa = roundPixel(std::clamp(std::min(px1, px2), lo, hxi));
            long long xb = roundPixel(std::clamp(std::max(px1, px2), lo, hxi));
            long long ya = roundPixel(std::clamp(std::min(py1, py2), lo, hyi));
            long long yb = roundPixel(std::clamp(std::max(py1, py2), lo, hyi));
            if (flag == LineFlag::BF) {
                // The pixels whose centres lie inside the box, its left and top edges in and
                // its right and bottom edges out: boxes that share an edge share no pixel, so
                // the cells of a grid tile the picture whatever their fractional edges.
                const auto [x0, x1c] = boxPixels(px1, px2, drawWidth_, r.width());
                const auto [y0, y1c] = boxPixels(py1, py2, drawWidth_, r.height());
                for (long long y = y0; y <= y1c; ++y)
                    for (long long x = x0; x <= x1c; ++x)
                        r.plot(x, y, pen);
                if (drawWidth_ > 1) {
                    r.setPen(drawWidth_, kDrawSolid);
                    r.segment(xa, ya, xb, ya, pen);
                    r.segment(xb, ya, xb, yb, pen);
                    r.segment(xb, yb, xa, yb, pen);
                    r.segment(xa, yb, xa, ya, pen);
                }
            } else {
                if (fillStyle_ != kFillTransparent) {
                    std::uint32_t fill = pixelOfColor(fillColor_);
                    long long x0 = std::max(0LL, xa + 1);
                    long long x1c = std::min<long long>(r.width() - 1, xb - 1);
                    long long y0 = std::max(0LL, ya + 1);
                    long long y1c = std::min<long long>(r.height() - 1, yb - 1);
                    for (long long y = y0; y <= y1c; ++y)
                        for (long long x = x0; x <= x1c; ++x)
                            if (hatchCovers(fillStyle_, static_cast<int>(x), static_cast<int>(y)))
                                r.plot(x, y, fill);
                }
                r.segment(xa, ya, xb, ya, pen);
                r.segment(xb, ya, xb, yb, pen);
                r.segment(xb, yb, xa, yb, pen);
                r.segment(xa, yb, xa, ya, pen);
            }
        }
    }
    currentX_ = static_cast<float>(x2);
    currentY_ = static_cast<float>(y2);
    if (recording_) {
        DrawKind kind = flag == LineFlag::None ? DrawKind::Line
                        : flag == LineFlag::B  ? DrawKind::Box
                                               : DrawKind::FilledBox;
        DrawRecord rec = baseRecord(kind, c);
        rec.at = {x1, y1, x2, y2};
        rec.px = {toPixel(x1), toPixel(y1), toPixel(x2), toPixel(y2)};
        record(std::move(rec));
    }
    touched();
}

void Picture::LineTo(double x2, double y2, std::optional<Long> color, LineFlag flag) {
    Line(currentX_, currentY_, x2, y2, color, flag);
}

void Picture::PSet(double x, double y, std::optional<Long> color) {
    Long c = color.value_or(foreColor_);
    long long px = roundPixel(x * pixelsPerUnit());
    long long py = roundPixel(y * pixelsPerUnit());
    {
        Raster r(*this, drawMode_, drawWidth_, kDrawSolid);
        r.dot(px, py, pixelOfColor(c));
    }
    currentX_ = static_cast<float>(x);
    currentY_ = static_cast<float>(y);
    if (recording_) {
        DrawRecord rec = baseRecord(DrawKind::PSet, c);
        rec.at = {x, y};
        rec.px = {toPixel(x), toPixel(y)};
        record(std::move(rec));
    }
    touched();
}

void Picture::Circle(double x, double y, double radius, std::optional<Long> color,
                     std::optional<double> start, std::optional<double> end,
                     std::optional<double> aspect) {
    Long c = color.value_or(foreColor_);
    double k = pixelsPerUnit();
    long long cx = roundPixel(x * k), cy = roundPixel(y * k);
    double rpx = std::fabs(radius * k);
    checkFinite(rpx);
    double a = aspect ? std::fabs(*aspect) : 1.0;
    checkFinite(a);
    double rxd = a < 1 ? rpx : (a > 0 ? rpx / a : rpx);
    double ryd = a < 1 ? rpx * a : rpx;
    long long rx = roundPixel(rxd), ry = roundPixel(ryd);

    // The arc: angles normalised to [0, 2 pi); an arc is given when either end is.
    bool arc = start.has_value() || end.has_value();
    double s = start ? std::fabs(*start) : 0.0, e = end ? std::fabs(*end) : 0.0;
    checkFinite(s);
    checkFinite(e);
    if (s > kTwoPi || e > kTwoPi) throw RuntimeError(err::InvalidCall);
    bool radiusToStart = start && *start < 0, radiusToEnd = end && *end < 0;
    s = std::fmod(s, kTwoPi);
    e = std::fmod(e, kTwoPi);
    if (arc && s == e) arc = false;
    auto onArc = [&](long long dx, long long dy) {
        if (!arc) return true;
        if (dx == 0 && dy == 0) return true;
        double t = std::atan2(static_cast<double>(-dy), static_cast<double>(dx));
        if (t < 0) t += kTwoPi;
        return s <= e ? (t >= s && t <= e) : (t >= s || t <= e);
    };
    bool filled = fillStyle_ != kFillTransparent && (!arc || (radiusToStart && radiusToEnd));

    std::uint32_t pen = pixelOfColor(c);
    {
        Raster r(*this, drawMode_, drawWidth_, kDrawSolid);
        long long m = r.penMargin();
        // Rows and columns of the ellipse that can touch the image.
        long long rowLo = std::max(-ry, -cy - m), rowHi = std::min(ry, r.height() - 1 - cy + m);
        long long colLo = std::max(-rx, -cx - m), colHi = std::min(rx, r.width() - 1 - cx + m);
        if (filled && rx > 0 && ry > 0) {
            std::uint32_t fill = pixelOfColor(fillColor_);
            for (long long dy = rowLo; dy <= rowHi; ++dy) {
                double t = static_cast<double>(dy) / static_cast<double>(ry);
                double half = 1 - t * t;
                if (half < 0) continue;
                long long span = static_cast<long long>(
                    std::floor(static_cast<double>(rx) * std::sqrt(half) + 1e-9));
                long long lo = std::max(-span, -cx), hi = std::min(span, r.width() - 1 - cx);
                for (long long dx = lo; dx <= hi; ++dx) {
                    long long px = cx + dx, py = cy + dy;
                    if (onArc(dx, dy) &&
                        hatchCovers(fillStyle_, static_cast<int>(px), static_cast<int>(py)))
                        r.plot(px, py, fill);
                }
            }
        }
        auto outline = [&](long long dx, long long dy) {
            if (onArc(dx, dy)) r.dot(cx + dx, cy + dy, pen);
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
            // Row by row and column by column, so that the outline has no gaps whatever
            // its slope.
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
            r.segment(static_cast<double>(cx), static_cast<double>(cy), ex, ey, pen);
        };
        if (arc && radiusToStart) radiusLine(s);
        if (arc && radiusToEnd) radiusLine(e);
    }
    currentX_ = static_cast<float>(x);
    currentY_ = static_cast<float>(y);
    if (recording_) {
        DrawRecord rec = baseRecord(DrawKind::Circle, c);
        rec.at = {x, y, radius, start.value_or(0.0), end.value_or(0.0), aspect.value_or(1.0)};
        rec.px = {static_cast<int>(cx), static_cast<int>(cy), static_cast<int>(rx),
                  static_cast<int>(ry)};
        record(std::move(rec));
    }
    touched();
}

namespace {

// The lines of a text: CR LF, LF or CR end a line.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back().push_back(ch);
        }
    }
    return lines;
}

} // namespace

void Picture::Print(const std::string& text) {
    QFont f = font();
    QFontMetrics m(f, &image_);
    std::vector<std::string> lines = splitLines(text);
    double k = pixelsPerUnit();
    long long x0 = roundPixel(currentX_ * k);
    long long y0 = roundPixel(currentY_ * k);
    if (!image_.isNull()) {
        QPainter p(&image_);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(f);
        p.setPen(QColor::fromRgb(pixelOfColor(foreColor_)));
        double angle = deviceFont_ ? deviceFont_->escapement / 10.0 : 0.0;
        long long y = y0;
        long long x = x0;
        for (const std::string& line : lines) {
            if (x > -(1LL << 24) && x < (1LL << 24) && y > -(1LL << 24) && y < (1LL << 24)) {
                p.save();
                p.translate(static_cast<double>(x), static_cast<double>(y));
                if (angle != 0) p.rotate(-angle);
                p.drawText(0, m.ascent(), qtText(line));
                p.restore();
            }
            y += m.height();
            x = 0;
        }
    }
    if (recording_) {
        DrawRecord rec = baseRecord(DrawKind::Print, foreColor_);
        rec.at = {currentX_, currentY_};
        rec.px = {static_cast<int>(std::clamp<long long>(x0, -(1LL << 30), 1LL << 30)),
                  static_cast<int>(std::clamp<long long>(y0, -(1LL << 30), 1LL << 30))};
        rec.text = text;
        record(std::move(rec));
    }
    currentX_ = 0;
    currentY_ = static_cast<float>(
        currentY_ + toUnits(static_cast<double>(m.height()) * static_cast<double>(lines.size())));
    touched();
}

float Picture::TextWidth(const std::string& text) const {
    QFontMetrics m(font(), &image_);
    int widest = 0;
    for (const std::string& line : splitLines(text))
        widest = std::max(widest, m.horizontalAdvance(qtText(line)));
    return static_cast<float>(toUnits(widest));
}

float Picture::TextHeight(const std::string& text) const {
    QFontMetrics m(font(), &image_);
    return static_cast<float>(
        toUnits(static_cast<double>(m.height()) * static_cast<double>(splitLines(text).size())));
}

void Picture::Refresh() {
    if (refreshHook_) refreshHook_();
}

void Picture::SetFocus() {
    if (focusHook_) focusHook_();
}

void Picture::SavePicture(const std::string& path) const {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "bmp");
        if (!writer.write(image_)) throw RuntimeError(err::PathFileAccess);
    }
    AtomicFile file;
    int rc = file.Open(path);
    if (rc == 0) rc = file.WriteAt(0, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (rc == 0) rc = file.Commit();
    if (rc != 0) throw RuntimeError(rc);
}

Long Picture::Polygon(const PointApi* points, Long count) {
    if (!points || count < 2) return 0;
    std::uint32_t pen = pixelOfColor(foreColor_);
    {
        Raster r(*this, drawMode_, drawWidth_, drawStyle_);
        if (fillStyle_ != kFillTransparent) {
            // Even-odd fill at pixel centres; edges take rows from their upper end up to, not
            // including, their lower end so that a vertex is counted once.
            std::uint32_t fill = pixelOfColor(fillColor_);
            long long ymin = points[0].y, ymax = points[0].y;
            for (Long i = 1; i < count; ++i) {
                ymin = std::min<long long>(ymin, points[i].y);
                ymax = std::max<long long>(ymax, points[i].y);
            }
            ymin = std::max(ymin, 0LL);
            ymax = std::min<long long>(ymax, r.height() - 1);
            std::vector<double>& xs = polygonXs_;
            const bool solid = fillStyle_ == kFillSolid;
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
                    xb = std::min<long long>(xb, r.width() - 1);
                    for (long long x = xa; x <= xb; ++x)
                        if (solid ||
                            hatchCovers(fillStyle_, static_cast<int>(x), static_cast<int>(y)))
                            r.plot(x, y, fill);
                }
            }
        }
        for (Long i = 0; i < count; ++i) {
            const PointApi& a = points[i];
            const PointApi& b = points[i + 1 < count ? i + 1 : 0];
            r.devicePointSegment(a.x, a.y, b.x, b.y, pen);
        }
    }
    if (recording_) recordPoints(DrawKind::Polygon, points, count);
    touched();
    return 1;
}

void Picture::recordPoints(DrawKind kind, const PointApi* points, Long count) {
    DrawRecord rec = baseRecord(kind, foreColor_);
    for (Long i = 0; i < count; ++i) {
        rec.at.push_back(toUnits(points[i].x));
        rec.at.push_back(toUnits(points[i].y));
        rec.px.push_back(points[i].x);
        rec.px.push_back(points[i].y);
    }
    record(std::move(rec));
}

Long Picture::Polyline(const PointApi* points, Long count) {
    if (!points || count < 1) return 0;
    std::uint32_t pen = pixelOfColor(foreColor_);
    {
        Raster r(*this, drawMode_, drawWidth_, drawStyle_);
        for (Long i = 0; i + 1 < count; ++i)
            r.devicePointSegment(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, pen);
    }
    if (recording_) recordPoints(DrawKind::Polyline, points, count);
    touched();
    return 1;
}

Long Picture::SetPixelV(Long x, Long y, Long color) {
    if (recording_) {
        DrawRecord rec = baseRecord(DrawKind::SetPixel, color);
        rec.at = {toUnits(x), toUnits(y)};
        rec.px = {x, y};
        record(std::move(rec));
    }
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return 0;
    reinterpret_cast<std::uint32_t*>(image_.scanLine(y))[x] = pixelOfColor(color);
    touched();
    return 1;
}

Long BitBlt(Picture& dst, Long x, Long y, Long w, Long h, const Picture& src, Long xs, Long ys,
            Long rop) {
    if (rop != kSrcCopy && rop != kSrcAnd) return 0;
    if (dst.recording_) {
        DrawRecord rec = dst.baseRecord(DrawKind::BitBlt, 0);
        rec.px = {x, y, w, h, xs, ys, rop};
        rec.at = {dst.toUnits(x), dst.toUnits(y), dst.toUnits(w), dst.toUnits(h)};
        dst.record(std::move(rec));
    }
    // Clip the block to both images.
    long long bx = x, by = y, bw = w, bh = h, sx = xs, sy = ys;
    if (bx < 0) {
        bw += bx;
        sx -= bx;
        bx = 0;
    }
    if (by < 0) {
        bh += by;
        sy -= by;
        by = 0;
    }
    if (sx < 0) {
        bw += sx;
        bx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        bh += sy;
        by -= sy;
        sy = 0;
    }
    bw = std::min({bw, dst.width() - bx, src.width() - sx});
    bh = std::min({bh, dst.height() - by, src.height() - sy});
    if (bw <= 0 || bh <= 0) return 1;
    // A block copied within one picture is read whole before it is written.
    QImage copy;
    const QImage* from = &src.image_;
    if (&src == &dst) {
        copy = src.image_.copy(static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(bw),
                               static_cast<int>(bh));
        from = &copy;
        sx = 0;
        sy = 0;
    }
    for (long long row = 0; row < bh; ++row) {
        const auto* s = reinterpret_cast<const std::uint32_t*>(
                            from->constScanLine(static_cast<int>(sy + row))) +
                        sx;
        auto* d =
            reinterpret_cast<std::uint32_t*>(dst.image_.scanLine(static_cast<int>(by + row))) + bx;
        if (rop == kSrcCopy)
            std::copy_n(s, bw, d);
        else
            for (long long i = 0; i < bw; ++i)
                d[i] = 0xFF000000u | (s[i] & d[i]);
    }
    dst.touched();
    return 1;
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
