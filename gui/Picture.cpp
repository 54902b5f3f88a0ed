#include "gui/Picture.h"
#include "gui/QtText.h"
#include "gui/Raster.h"
#include "platform/AtomicFile.h"
#include "runtime/RuntimeError.h"
#include <QBuffer>
#include <QFontMetrics>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

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
        if (flag == LineFlag::None)
            r.segment(px1, py1, px2, py2, pen);
        else if (flag == LineFlag::BF)
            r.filledBox(px1, py1, px2, py2, pen);
        else
            r.outlinedBox(px1, py1, px2, py2, fillStyle_, pixelOfColor(fillColor_), pen);
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
    const Ellipse e = EllipseOf(x, y, radius, pixelsPerUnit(), start, end, aspect);
    bool filled =
        fillStyle_ != kFillTransparent && (!e.arc || (e.radiusToStart && e.radiusToEnd));
    {
        Raster r(*this, drawMode_, drawWidth_, kDrawSolid);
        if (filled && e.rx > 0 && e.ry > 0) r.fillEllipse(e, fillStyle_, pixelOfColor(fillColor_));
        r.outlineEllipse(e, pixelOfColor(c));
    }
    currentX_ = static_cast<float>(x);
    currentY_ = static_cast<float>(y);
    if (recording_) {
        DrawRecord rec = baseRecord(DrawKind::Circle, c);
        rec.at = {x, y, radius, start.value_or(0.0), end.value_or(0.0), aspect.value_or(1.0)};
        rec.px = {static_cast<int>(e.cx), static_cast<int>(e.cy), static_cast<int>(e.rx),
                  static_cast<int>(e.ry)};
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
        if (fillStyle_ != kFillTransparent)
            r.fillPolygon(points, count, fillStyle_, pixelOfColor(fillColor_));
        r.polygonOutline(points, count, pen);
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
