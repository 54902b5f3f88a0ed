#include "viewer/map/Vectors.h"

#include "gui/Picture.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "viewer/map/MapPositions.h"
#include "viewer/map/gencord.h"

#include <array>
#include <cmath>
#include <exception>
#include <numbers>

namespace {

// Head width and length of the line arrows, as fractions of the arrow's length.
constexpr float kHeadWidth = 0.15f;
constexpr float kHeadLength = 0.3f;

void drawStyled(Picture& pic, float x, float y, float du, float dv) {
    if (Opt.OptArrowStyle == 0 || Opt.OptArrowStyle == 1)
        DrawLineArrow(pic, x, y, du, dv, kHeadWidth, kHeadLength);
    else if (Opt.OptArrowStyle == 2)
        DrawPolyArrow(pic, QBColor(9), x, y, du, dv);
    else if (Opt.OptArrowStyle > 90)
        DrawFontArrow(pic, Opt.OptArrowStyle, x, y, du, dv);
}

PointApi devicePoint(double x, double y) {
    return PointApi{CLng(x), CLng(y)};
}

} // namespace

KeepPen::KeepPen(Picture& pic)
    : pic_(pic), drawMode_(pic.DrawMode()), drawStyle_(pic.DrawStyle()),
      fillStyle_(pic.FillStyle()), fillColor_(pic.FillColor()), foreColor_(pic.ForeColor()) {}

KeepPen::~KeepPen() {
    pic_.setFillColor(fillColor_);
    pic_.setForeColor(foreColor_);
    pic_.setFillStyle(fillStyle_);
    pic_.setDrawStyle(drawStyle_);
    pic_.setDrawMode(drawMode_);
}

Long DrawVectorLL(Picture& pic, float u, float v, float lon, float lat) {
    return DrawVectorLL(pic, View, u, v, lon, lat);
}

Long DrawVectorLL(Picture& pic, const ViewState& transform, float u, float v, float lon,
                  float lat) {
    if (u == 0 && v == 0) return 0;
    // A position that a fill value stands for (a land point) gets no arrow, and no report.
    if (!PositionKnown(lon, lat)) return 0;
    float x = 0, y = 0;
    if (ll2_to_xy2Quiet(transform, lon, lat, x, y) != 0) return -1;
    const float du = Opt.vscale * u;
    const float dv = Opt.vscale * v;
    try {
        drawStyled(pic, x, y, du, dv);
    } catch (const std::exception&) {
        // An arrow that cannot be drawn (a value far out of range) is left out; the rest of the
        // field still comes.
    }
    return 0;
}

void DrawVectorXY(Picture& pic, float u, float v, float x, float y) {
    const float du = Opt.vscale * u;
    const float dv = Opt.vscale * v;
    drawStyled(pic, x, y, du, dv);
}

void DrawLineArrow(Picture& pic, float x, float y, float du, float dv, float HeadWidth,
                   float HeadLength) {
    try {
        const float ndv = -dv;
        const float f = 1 - HeadLength - HeadWidth;
        const float bx = x + f * du;
        const float by = y + f * ndv;
        const float tx = x + du;
        const float ty = y + ndv;
        const float lx = bx + HeadWidth * ndv;
        const float ly = by - HeadWidth * du;
        const float rx = bx - HeadWidth * ndv;
        const float ry = by + HeadWidth * du;
        pic.Line(x, y, bx, by);
        pic.Line(tx, ty, lx, ly);
        pic.Line(lx, ly, rx, ry);
        pic.Line(rx, ry, tx, ty);
    } catch (const std::exception&) {
        // The rest of this arrow is given up quietly.
    }
}

void DrawPolyArrow(Picture& pic, Long color, float x, float y, float du, float dv) {
    const float ndv = -dv;
    const float a = 0.15f * 0.2f; // half-width of the shaft
    const float h = 0.15f;        // half-width of the head
    const float f = 0.55f;
    const float bx = x + f * du;
    const float by = y + f * ndv;
    const float tx = x + du;
    const float ty = y + ndv;
    const std::array<PointApi, 8> pts = {
        devicePoint(tx, ty),
        devicePoint(bx + h * ndv, by - h * du),
        devicePoint(bx + a * ndv, by - a * du),
        devicePoint(x + a * ndv, y - a * du),
        devicePoint(x - a * ndv, y + a * du),
        devicePoint(bx - a * ndv, by + a * du),
        devicePoint(bx - h * ndv, by + h * du),
        devicePoint(tx, ty),
    };
    // Solid fill and pen only for this arrow: whatever is drawn next (cells, boxes, the rubber
    // box of the map window) keeps its own styles.
    KeepPen keep(pic);
    pic.setFillStyle(kFillSolid);
    pic.setFillColor(color);
    pic.setForeColor(color);
    pic.setDrawStyle(kDrawSolid);
    Polygon(pic, pts.data(), static_cast<Long>(pts.size()));
}

void DrawFontArrow(Picture& pic, Long /*style*/, float x, float y, float du, float dv) {
    try {
        const float len = std::sqrt(du * du + dv * dv);
        float ang = static_cast<float>(Atan2(du, dv) - kFullTurn / 4);
        if (ang < 0) ang = static_cast<float>(ang + kFullTurn);
        const float esc = static_cast<float>(ang / kDegToRad * 10);
        // The glyph's character height (a negative height asks for it), its width, and the
        // rotation in tenths of a degree, counter-clockwise, as whole numbers.
        const Long height = CLng(-len * 1.3f);
        const Long width = CLng(height / 2.0);
        const Long escapement = CLng(esc);
        // The glyph cell's top left corner: the arrow's foot then lies on (x, y).
        const double xo = height * std::sin(ang) + width * std::cos(ang) / 2;
        const double yo = height * std::cos(ang) - width * std::sin(ang) / 2;
        const double left = x + xo;
        const double top = y + yo;
        // A zero height would be the font's own default size, which a shape has not.
        if (height == 0) return;

        // The shape in the upright cell (W wide, H high, y downwards): a head over the upper
        // 45 % and a shaft a quarter of the cell wide, the tip at the top centre.
        const double W = std::abs(static_cast<double>(width));
        const double H = std::abs(static_cast<double>(height));
        const double neck = 0.45 * H;
        const double shaft = W / 8;
        const std::array<std::array<double, 2>, 7> cell = {{
            {W / 2, 0},
            {W, neck},
            {W / 2 + shaft, neck},
            {W / 2 + shaft, H},
            {W / 2 - shaft, H},
            {W / 2 - shaft, neck},
            {0, neck},
        }};
        // Rotated about the cell's top left corner, counter-clockwise on the screen.
        const double a = escapement / 10.0 * std::numbers::pi / 180;
        const double c = std::cos(a);
        const double s = std::sin(a);
        std::array<PointApi, 7> pts{};
        for (std::size_t i = 0; i < cell.size(); ++i) {
            const double cx = cell[i][0];
            const double cy = cell[i][1];
            pts[i] = devicePoint(left + cx * c + cy * s, top - cx * s + cy * c);
        }
        // Drawn as text is: in the text colour, copied whatever the draw mode.
        KeepPen keep(pic);
        const Long color = pic.ForeColor();
        pic.setFillStyle(kFillSolid);
        pic.setFillColor(color);
        pic.setDrawStyle(kDrawSolid);
        pic.setDrawMode(kDrawCopyPen);
        Polygon(pic, pts.data(), static_cast<Long>(pts.size()));
    } catch (const std::exception&) {
        // A glyph that cannot be placed (a length far out of range) is left out.
    }
}

double Atan2(double dx, double dy) {
    constexpr double kHalfPi = 1.5707963267949;
    constexpr double kPi = 3.14159265358979;
    if (dx == 0) return (dy > 0 ? 1 : dy < 0 ? -1 : 0) * kHalfPi;
    if (dx > 0) return std::atan(dy / dx);
    return std::atan(dy / dx) + (dy >= 0 ? kPi : -kPi);
}
