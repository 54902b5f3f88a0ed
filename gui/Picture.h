#pragma once
// A picture box: a persistent image (RGB32, white) that the program draws on with the picture
// box's methods and the device calls, and that a PictureWidget shows. All drawing is done by
// our own rasteriser on the image's pixels, without antialiasing, so that the draw modes act
// on exact pixels. Lines and outlines round their corners to whole pixels and include both
// ends (an outlined box of zero width is a line); a filled box (BF) covers the pixels whose
// centres lie inside it, its left and top edges in and its right and bottom edges out, so that
// boxes sharing an edge never share a pixel (and a box of zero width covers none).
// Texts go through QPainter with an unsmoothed font and are always copied.
//
// Positions of the methods are in the picture's scale units (pixels, or twips with 15 twips a
// pixel); the device calls (Polygon, Polyline, SetPixelV, BitBlt) take pixels. Colours are Long
// RGB (r + 256 g + 65536 b).
#include "runtime/Types.h"
#include <QFont>
#include <QImage>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// ScaleMode values.
constexpr int kScaleTwips = 1;
constexpr int kScalePixels = 3;

// FillStyle values.
constexpr int kFillSolid = 0;
constexpr int kFillTransparent = 1;
constexpr int kFillHorizontal = 2;
constexpr int kFillVertical = 3;
constexpr int kFillUpwardDiagonal = 4;
constexpr int kFillDownwardDiagonal = 5;
constexpr int kFillCross = 6;
constexpr int kFillDiagonalCross = 7;

// DrawStyle values.
constexpr int kDrawSolid = 0;
constexpr int kDrawDash = 1;
constexpr int kDrawDot = 2;
constexpr int kDrawDashDot = 3;
constexpr int kDrawDashDotDot = 4;
constexpr int kDrawInvisible = 5;
constexpr int kDrawInsideSolid = 6;

// DrawMode values (the binary raster operations 1..16); the program uses these three.
constexpr int kDrawInvert = 6;   // destination := NOT destination
constexpr int kDrawMaskPen = 9;  // destination := pen AND destination
constexpr int kDrawCopyPen = 13; // destination := pen

// BitBlt raster operations.
constexpr Long kSrcCopy = 0x00CC0020;
constexpr Long kSrcAnd = 0x008800C6;

// The error a refused property value raises.
constexpr int kInvalidPropertyValue = 380;

// A device point.
struct PointApi {
    Long x = 0;
    Long y = 0;
};

// The box forms of Line.
enum class LineFlag { None, B, BF };

// A font for the device: what a logical font record asks for. Height < 0 asks for the
// character height in pixels, > 0 for the cell height, 0 for the default; width 0 keeps the
// face's own proportions; escapement in tenths of a degree, counter-clockwise.
struct LogFont {
    Long height = 0;
    Long width = 0;
    Long escapement = 0;
    Long orientation = 0;
    Long weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::string faceName;
};

// One drawing call as the primitive log keeps it.
enum class DrawKind {
    Cls,
    Line,
    Box,
    FilledBox,
    PSet,
    Circle,
    Print,
    Polygon,
    Polyline,
    SetPixel,
    BitBlt
};

struct DrawRecord {
    DrawKind kind = DrawKind::Cls;
    std::vector<double> at; // the arguments in scale units: x1, y1, x2, y2 / x, y, r, start,
                            // end, aspect / x, y of a text / device points
    std::vector<int> px;    // the same positions in pixels
    Long color = 0;         // pen colour (fill colour of a box: see fillColor)
    Long fillColor = 0;
    int fillStyle = 0;
    int drawMode = 0;
    int drawWidth = 1;
    std::string text;
};

class Picture {
public:
    explicit Picture(int width = 1, int height = 1);
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Size in pixels. A resize keeps the content at the top left and fills the rest with
    // BackColor.
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    void resize(int width, int height);

    // Scale.
    int ScaleMode() const { return scaleMode_; }
    void setScaleMode(int mode); // kScalePixels or kScaleTwips
    float ScaleWidth() const;
    float ScaleHeight() const;
    float ScaleLeft() const { return 0; }
    float ScaleTop() const { return 0; }

    // Drawing state.
    Long ForeColor() const { return foreColor_; }
    void setForeColor(Long c) { foreColor_ = c; }
    Long BackColor() const { return backColor_; }
    void setBackColor(Long c) { backColor_ = c; }
    Long FillColor() const { return fillColor_; }
    void setFillColor(Long c) { fillColor_ = c; }
    int FillStyle() const { return fillStyle_; }
    void setFillStyle(int style);
    int DrawStyle() const { return drawStyle_; }
    void setDrawStyle(int style);
    int DrawWidth() const { return drawWidth_; }
    void setDrawWidth(int width);
    int DrawMode() const { return drawMode_; }
    void setDrawMode(int mode);
    float CurrentX() const { return currentX_; }
    void setCurrentX(float x) { currentX_ = x; }
    float CurrentY() const { return currentY_; }
    void setCurrentY(float y) { currentY_ = y; }

    // Font.
    const std::string& FontName() const { return fontName_; }
    void setFontName(const std::string& name);
    float FontSize() const { return fontSize_; }
    void setFontSize(float points);
    bool FontBold() const { return fontBold_; }
    void setFontBold(bool on);
    bool FontItalic() const { return fontItalic_; }
    void setFontItalic(bool on);
    bool FontUnderline() const { return fontUnderline_; }
    void setFontUnderline(bool on);

    // Methods.
    void Cls();
    // Line (x1, y1)-(x2, y2), colour, B or BF; the colour defaults to ForeColor. The current
    // point moves to (x2, y2).
    void Line(double x1, double y1, double x2, double y2, std::optional<Long> color = {},
              LineFlag flag = LineFlag::None);
    // Line -(x2, y2): from the current point.
    void LineTo(double x2, double y2, std::optional<Long> color = {},
                LineFlag flag = LineFlag::None);
    void PSet(double x, double y, std::optional<Long> color = {});
    // Circle (x, y), radius, colour, start, end, aspect. Angles in radians counter-clockwise
    // from 3 o'clock; the arc runs counter-clockwise from start to end; a negative angle also
    // draws the radius to that end. aspect is height / width; the radius is the larger axis.
    void Circle(double x, double y, double radius, std::optional<Long> color = {},
                std::optional<double> start = {}, std::optional<double> end = {},
                std::optional<double> aspect = {});
    // The text with its top left at the current point, transparent, in ForeColor, always
    // copied whatever DrawMode says; then CurrentX := 0 and CurrentY moves down a line for
    // each line of the text.
    void Print(const std::string& text);
    float TextWidth(const std::string& text) const;
    float TextHeight(const std::string& text) const;
    // Shows the picture's present state on its widget.
    void Refresh();
    void SetFocus();
    // Writes the image as a Windows BMP file through a temporary file that replaces path only
    // when complete. Raises a RuntimeError on failure; path then stays as it was.
    void SavePicture(const std::string& path) const;

    // Device calls, in pixels, with the picture's pen (ForeColor, DrawWidth, DrawStyle), brush
    // (FillColor, FillStyle) and DrawMode. Results as the device gives them: nonzero on
    // success.
    Long Polygon(const PointApi* points, Long count);
    Long Polyline(const PointApi* points, Long count);
    // Sets one pixel to the colour as given (no raster operation).
    Long SetPixelV(Long x, Long y, Long color);
    // Selects a device font for Print (nullptr: back to the picture's font); returns the one
    // that was selected.
    std::optional<LogFont> selectFont(const LogFont* font);

    // The image and single pixels (device pixels; -1 outside).
    const QImage& image() const { return image_; }
    Long pixel(int x, int y) const;

    // The primitive log.
    void setRecording(bool on) { recording_ = on; }
    bool recording() const { return recording_; }
    const std::vector<DrawRecord>& records() const { return records_; }
    void clearRecords() { records_.clear(); }

    // What the showing widget wants to hear: a repaint request, the first change after a
    // repaint, a focus request.
    void setRefreshHook(std::function<void()> f) { refreshHook_ = std::move(f); }
    void setChangedHook(std::function<void()> f) { changedHook_ = std::move(f); }
    void setFocusHook(std::function<void()> f) { focusHook_ = std::move(f); }
    // The widget calls this once it has shown the image.
    void markShown() { changed_ = false; }

    // Scale units to pixels and back.
    double pixelsPerUnit() const { return scaleMode_ == kScaleTwips ? 1.0 / 15.0 : 1.0; }
    int toPixel(double units) const;
    double toUnits(double pixels) const { return pixels / pixelsPerUnit(); }

private:
    friend Long BitBlt(Picture& dst, Long x, Long y, Long w, Long h, const Picture& src, Long xs,
                       Long ys, Long rop);
    friend class Raster;
    friend class PixelBoxes;

    QFont font() const;
    void touched();
    void record(DrawRecord r);
    DrawRecord baseRecord(DrawKind kind, Long color) const;
    void recordPoints(DrawKind kind, const PointApi* points, Long count);

    QImage image_;
    int scaleMode_ = kScalePixels;
    Long foreColor_ = 0;
    Long backColor_ = 0xFFFFFF;
    Long fillColor_ = 0;
    int fillStyle_ = kFillTransparent;
    int drawStyle_ = kDrawSolid;
    int drawWidth_ = 1;
    int drawMode_ = kDrawCopyPen;
    float currentX_ = 0;
    float currentY_ = 0;
    std::string fontName_ = "DejaVu Sans";
    float fontSize_ = 8;
    bool fontBold_ = false;
    bool fontItalic_ = false;
    bool fontUnderline_ = false;
    std::optional<LogFont> deviceFont_;

    // Pixels of one call under a raster operation that must not meet a pixel twice.
    std::vector<std::uint32_t> mark_; // 1 + position in markedIndex_, 0 when unmarked
    std::vector<std::uint32_t> markedIndex_;
    std::vector<std::uint32_t> markedColor_;
    // The crossings of one row of a polygon fill, kept from call to call.
    std::vector<double> polygonXs_;

    bool recording_ = false;
    std::vector<DrawRecord> records_;
    bool changed_ = false;
    std::function<void()> refreshHook_;
    std::function<void()> changedHook_;
    std::function<void()> focusHook_;
};

// Filled boxes written straight into a picture's image under its DrawMode, for drawings of
// very many boxes (the cells of a grid, the nodes of a mesh): the same pixels as Line's BF
// form, without its work per call. A box covers the columns x0 .. x1 and the rows y0 .. y1 of
// the image, both ends included and clipped to the image; each of its pixels is met once. The
// boxes are not kept in the primitive log, and a pen wider than a pixel does not outline them:
// while either matters (direct() false) a drawing goes through Line.
class PixelBoxes {
public:
    explicit PixelBoxes(Picture& pic);
    // Tells the showing widget of the change when any box was drawn.
    ~PixelBoxes();
    PixelBoxes(const PixelBoxes&) = delete;
    PixelBoxes& operator=(const PixelBoxes&) = delete;

    bool direct() const { return direct_; }
    // The columns (or rows) whose pixel centres lie between two positions in scale units, as
    // Line's BF form takes them: the lower edge in, the upper edge out. Empty (first > last)
    // when no centre lies between them or a position is no number.
    void columns(double u1, double u2, int& first, int& last) const;
    void rows(double u1, double u2, int& first, int& last) const;
    // One box in the colour (Long RGB).
    void fill(int x0, int y0, int x1, int y1, Long color);

private:
    Picture& pic_;
    std::uint32_t* bits_ = nullptr;
    int stride_ = 0;
    int width_ = 0;
    int height_ = 0;
    int mode_ = kDrawCopyPen;
    bool direct_ = false;
    bool drawn_ = false;
};

// The device calls as free functions on a picture's device.
inline Long Polygon(Picture& dc, const PointApi* points, Long count) {
    return dc.Polygon(points, count);
}
inline Long Polyline(Picture& dc, const PointApi* points, Long count) {
    return dc.Polyline(points, count);
}
inline Long SetPixelV(Picture& dc, Long x, Long y, Long color) {
    return dc.SetPixelV(x, y, color);
}
// Copies the w x h block of src at (xs, ys) to dst at (x, y): kSrcCopy copies, kSrcAnd
// combines each pixel with a bitwise AND. Other operations are refused (result 0).
Long BitBlt(Picture& dst, Long x, Long y, Long w, Long h, const Picture& src, Long xs, Long ys,
            Long rop);

// Long RGB to the image's pixel value and back.
inline std::uint32_t pixelOfColor(Long c) {
    auto u = static_cast<std::uint32_t>(c);
    return 0xFF000000u | ((u & 0xFFu) << 16) | (u & 0xFF00u) | ((u >> 16) & 0xFFu);
}
inline Long colorOfPixel(std::uint32_t p) {
    return static_cast<Long>(((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16));
}
