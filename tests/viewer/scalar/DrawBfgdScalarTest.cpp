// The boundary-fitted scalar maps, one step and animated: small boundary-fitted files stored
// in each order, and files whose variables come in both orders (their read windows, cells,
// probe and preview), an ocean grid across the 0/360 seam and one with land nodes without
// coordinates, loaded through the real loader and drawn through the picture's primitive log
// (polygons, texts, footer, "Scales" entry, messages) with a few pixels; then a described
// dataset for what no file gives (coordinate arrays of a layout the dataset does not tell,
// corners without a position, failing reads, run-time errors, a pick from the second file).
#include "viewer/scalar/DrawBfgdScalar.h"
#include "tests/viewer/ScalarFixture.h"
#include "tests/viewer/ViewerDatasetFixture.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/shell/DataPoints.h"
#include "viewer/shell/FormIJ.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/PicForm.h"
#include "viewer/shell/Probe.h"

#include <cmath>
#include <limits>
#include <tuple>

namespace {

// ---- Expected polygons --------------------------------------------------------------------------

// One polygon as the log keeps it: the five device points and the fill colour.
struct Poly {
    std::vector<int> px;
    Long color = 0;
    bool operator==(const Poly& o) const { return px == o.px && color == o.color; }
    bool operator<(const Poly& o) const { return std::tie(px, color) < std::tie(o.px, o.color); }
};

void PrintTo(const Poly& p, std::ostream* os) {
    *os << "{";
    for (int v : p.px)
        *os << v << " ";
    *os << "colour " << p.color << "}";
}

std::vector<Poly> polygonsOf(const Picture& pic) {
    std::vector<Poly> out;
    for (const auto& r : pic.records()) {
        if (r.kind != DrawKind::Polygon) continue;
        EXPECT_EQ(r.color, r.fillColor) << "outline and fill in the cell colour";
        EXPECT_EQ(r.fillStyle, kFillSolid);
        out.push_back({r.px, r.fillColor});
    }
    return out;
}

// The picture a list of polygons makes: each cell's four corners whatever their winding (the
// two storage orders walk a cell's corners in opposite senses), cells in any order.
std::vector<Poly> pictureOf(std::vector<Poly> v) {
    for (Poly& p : v) {
        std::vector<std::pair<int, int>> corners;
        for (size_t k = 2; k + 1 < p.px.size(); k += 2)
            corners.emplace_back(p.px[k], p.px[k + 1]);
        std::sort(corners.begin(), corners.end());
        p.px.clear();
        for (const auto& [x, y] : corners)
            p.px.insert(p.px.end(), {x, y});
    }
    std::sort(v.begin(), v.end());
    return v;
}

// The node coordinates of every grid below: a sheared grid in quarter degrees (exact floats).
float lonAt(Long i, Long j) {
    return 10.0f + static_cast<float>(i - 1) + 0.25f * static_cast<float>(j - 1);
}
float latAt(Long, Long j) {
    return 40.0f + static_cast<float>(j - 1);
}
// The value of node (i, j) at step t; node (2, 2) is missing at every step.
constexpr float kFill = -999.0f;
float valueAt(Long t, Long i, Long j) {
    if (i == 2 && j == 2) return kFill;
    return static_cast<float>(100 * t + 10 * j + i);
}

// The cells of a window walked with index a outer and b inner; aIsI tells which is i. The
// corners (a, b), (a', b), (a', b'), (a, b'), a' and b' one stride on and held at the grid's
// end; point 0 repeats point 1; cells whose first node is missing are left out. Colours from
// the scale in force. Cells with a corner for which noPosition(i, j) holds are left out too.
std::vector<Poly> expectedCells(bool aIsI, Long iMax, Long jMax, Long aStride, Long bStride, Long t,
                                const std::function<bool(Long, Long)>& noPosition = {}) {
    const Long aMax = aIsI ? iMax : jMax, bMax = aIsI ? jMax : iMax;
    std::vector<Poly> out;
    for (Long a = 1; a <= aMax; a += aStride) {
        for (Long b = 1; b <= bMax; b += bStride) {
            const Long i = aIsI ? a : b, j = aIsI ? b : a;
            const float v = valueAt(t, i, j);
            if (v == kFill) continue;
            const Long a2 = std::min(a + aStride, aMax), b2 = std::min(b + bStride, bMax);
            const Long ca[4] = {a, a2, a2, a}, cb[4] = {b, b, b2, b2};
            bool placed = true;
            for (int c = 0; c < 4 && noPosition; ++c)
                placed = placed && !noPosition(aIsI ? ca[c] : cb[c], aIsI ? cb[c] : ca[c]);
            if (!placed) continue;
            Poly p;
            for (int c = 0; c < 4; ++c) {
                const Long ci = aIsI ? ca[c] : cb[c], cj = aIsI ? cb[c] : ca[c];
                float x = 0, y = 0;
                ll2_to_xy2(lonAt(ci, cj), latAt(ci, cj), x, y);
                p.px.push_back(static_cast<int>(std::nearbyint(x)));
                p.px.push_back(static_cast<int>(std::nearbyint(y)));
            }
            p.px.insert(p.px.begin(), {p.px[0], p.px[1]});
            p.color = ValueToColor(v);
            out.push_back(p);
        }
    }
    return out;
}

// ---- Files
// ----------------------------------------------------------------------------------------

// How a file stores its grid: j last (lonlatOrder 1), i last (2), or i last under the
// dimension names "gridi"/"gridj" declared first (the fill turns the order into 4).
enum class Layout { JLast, ILast, Gridi };

constexpr Long kIMax = 4, kJMax = 3;

// Nodes of an ocean model's land whose coordinates the file leaves out: (i, j) and the value
// written for both its longitude and its latitude.
struct LandNode {
    Long i, j;
    double coordinate;
};
// The fill value of the coordinates when land nodes are written.
constexpr float kCoordFill = 1e20f;

// A 4 x 3 boundary-fitted grid with 2-D lon/lat and nt hourly records of "zeta"; land nodes
// get their coordinate value in place of a position.
std::string writeBfgd(const std::string& path, Layout layout, int nt,
                      const std::vector<LandNode>& land = {}) {
    NcBuilder nc(path);
    const bool gridi = layout == Layout::Gridi;
    const std::string iName = gridi ? "gridi" : "xpos", jName = gridi ? "gridj" : "ypos";
    if (gridi) {
        nc.dim(iName, kIMax);
        nc.dim(jName, kJMax);
        nc.unlimitedDim("time", nt);
    } else {
        nc.unlimitedDim("time", nt);
        nc.dim(jName, kJMax);
        nc.dim(iName, kIMax);
    }
    const bool iFirst = layout != Layout::ILast;
    const std::vector<std::string> horizontal =
        iFirst ? std::vector<std::string>{iName, jName} : std::vector<std::string>{jName, iName};
    std::vector<double> lon, lat, zeta;
    const Long aMax = iFirst ? kIMax : kJMax, bMax = iFirst ? kJMax : kIMax;
    for (Long a = 1; a <= aMax; ++a)
        for (Long b = 1; b <= bMax; ++b) {
            const Long i = iFirst ? a : b, j = iFirst ? b : a;
            lon.push_back(lonAt(i, j));
            lat.push_back(latAt(i, j));
            for (const LandNode& n : land)
                if (n.i == i && n.j == j) lon.back() = lat.back() = n.coordinate;
        }
    for (int t = 1; t <= nt; ++t)
        for (Long a = 1; a <= aMax; ++a)
            for (Long b = 1; b <= bMax; ++b)
                zeta.push_back(valueAt(t, iFirst ? a : b, iFirst ? b : a));
    std::vector<double> hours;
    for (int t = 0; t < nt; ++t)
        hours.push_back(t);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 2004-03-15 00:00:00")
        .values(hours);
    auto& lonVar = nc.var("lon", NC_FLOAT, horizontal).att("units", "degrees_east");
    auto& latVar = nc.var("lat", NC_FLOAT, horizontal).att("units", "degrees_north");
    if (!land.empty()) {
        lonVar.att("_FillValue", kCoordFill);
        latVar.att("_FillValue", kCoordFill);
    }
    lonVar.values(lon);
    latVar.values(lat);
    nc.var("zeta", NC_FLOAT, {"time", horizontal[0], horizontal[1]})
        .att("units", "m")
        .att("_FillValue", kFill)
        .values(zeta);
    return nc.write();
}

// ---- Through the real loader -------------------------------------------------------------------

class BfgdLoadedTest : public ViewerDatasetFixture {
protected:
    MemoryOrderBoxes boxes;
    Picture pic{400, 300};

    void SetUp() override {
        ViewerDatasetFixture::SetUp();
        mainForm();
        pic.setRecording(true);
        SetMapCaption("");
    }

    // Loads a file of the layout and picks "zeta" with the window of the current view.
    void load(Layout layout, int nt = 4, const std::string& strides = "") {
        const char* names[] = {"jlast.nc", "ilast.nc", "gridi.nc"};
        Opt.URL(0) = writeBfgd(dir.file(names[static_cast<int>(layout)]), layout, nt);
        LoadFile(0);
        ASSERT_NE(Data.clsNC, nullptr);
        ASSERT_EQ(Data.clsNC->GridType(1), kGridBfg);
        ASSERT_EQ(Data.clsNC->iMax(1), kIMax);
        ASSERT_EQ(Data.clsNC->jMax(1), kJMax);
        const Long nv = Data.clsNC->variNum("zeta", 1);
        ASSERT_GT(nv, 0);
        Data.Picks.ReDim(1, 1);
        Data.Picks(1) = PickItem{nv, 3, 1};
        Data.PickCount = 1;
        Data.CurTimeStep = 2;
        Data.CurLevel = 1;
        boxes = MemoryOrderBoxes();
        boxes.strides[1] = boxes.strides[2] = strides;
        setOrderBoxes(&boxes);
        ui.boxes.clear();
        ui.pointerChanges.clear();
        ui.doEventsCount = 0;
        ASSERT_EQ(CalculateGridScalar(nv, 1), 1);
        pic.clearRecords();
    }

    // Loads the file at path in the projection, picks var at step with the window of view
    // (in the projection's units), and clears the log and the picture.
    void loadPicked(const std::string& path, Long projection, const char* var, Long step,
                    const ViewRec& view) {
        UseProjection(projection);
        Opt.URL(0) = path;
        LoadFile(0);
        ASSERT_NE(Data.clsNC, nullptr);
        ASSERT_EQ(Data.clsNC->GridType(1), kGridBfg);
        const Long nv = Data.clsNC->variNum(var, 1);
        Data.Picks.ReDim(1, 1);
        Data.Picks(1) = PickItem{nv, 3, 1};
        Data.PickCount = 1;
        Data.CurTimeStep = step;
        Data.CurLevel = 1;
        setOrderBoxes(&boxes);
        View.ViewExtent = view;
        ASSERT_EQ(CalculateGridScalar(nv, 1), 1);
        ui.boxes.clear();
        pic.clearRecords();
        pic.Cls();
    }

    std::vector<DrawRecord> prints() const {
        std::vector<DrawRecord> out;
        for (const auto& r : pic.records())
            if (r.kind == DrawKind::Print) out.push_back(r);
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& r : prints())
            out.push_back(r.text);
        return out;
    }
    Long count(DrawKind kind) const {
        return static_cast<Long>(
            std::count_if(pic.records().begin(), pic.records().end(),
                          [kind](const DrawRecord& r) { return r.kind == kind; }));
    }
    std::string scales() const { return GetString("zeta", "Scales", Opt.IniFile); }
    // The pixel at the middle of the polygon drawn for node (i, j) with unit strides.
    Long pixelInCell(Long i, Long j) const {
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        ll2_to_xy2(lonAt(i, j), latAt(i, j), x1, y1);
        ll2_to_xy2(lonAt(i + 1, j + 1), latAt(i + 1, j + 1), x2, y2);
        return pic.pixel(static_cast<int>((x1 + x2) / 2), static_cast<int>((y1 + y2) / 2));
    }
};

TEST_F(BfgdLoadedTest, DrawsEachCellAsAQuadrilateralInTheColourOfItsFirstNode) {
    load(Layout::ILast);
    ASSERT_EQ(Data.clsNC->lonlatOrder(1), 2);
    Scale.ColorCode = 10; // another scheme in force: the cells must not use it
    Scale.col_opt = 2;
    pic.setFillStyle(kFillTransparent);
    pic.setFillColor(0x123456);
    pic.setForeColor(0x654321);
    DrawBfgdScalar(pic);

    // Title, date flush top right, both footer lines (values of step 2: 211 .. 234).
    const auto p = prints();
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].text, "zeta");
    EXPECT_EQ(p[0].at, (std::vector<double>{1, 1}));
    EXPECT_EQ(p[1].text, Data.clsNC->DatePicked(2, 1));
    EXPECT_FALSE(p[1].text.empty());
    EXPECT_EQ(p[1].at[1], 0);
    EXPECT_NEAR(p[1].at[0], pic.ScaleWidth() - 1.1 * pic.TextWidth(p[1].text), 1e-3);
    EXPECT_EQ(p[2].text, "zeta /Scale/  234 to  211");
    EXPECT_EQ(p[2].at, (std::vector<double>{1, 1}));
    EXPECT_EQ(p[3].text, "zeta /Range/  234 to  211");
    EXPECT_NEAR(p[3].at[1], 300 - pic.TextHeight(p[3].text), 1e-3);
    EXPECT_EQ(p[3].color, 0x654321) << "the footer in the pen the drawing found";

    // Scheme 30 variant 0 before the first cell; every node but the missing one gives a cell,
    // walked j outer and i inner, the last row and column collapsed but drawn.
    EXPECT_EQ(Scale.ColorCode, 30);
    EXPECT_EQ(Scale.col_opt, 0);
    const auto cells = polygonsOf(pic);
    EXPECT_EQ(cells.size(), 11u);
    EXPECT_EQ(cells, expectedCells(false, kIMax, kJMax, 1, 1, 2));
    ASSERT_FALSE(cells.empty());
    EXPECT_EQ(cells.back().px[4], cells.back().px[8]) << "the corner node's cell is a point";
    EXPECT_EQ(count(DrawKind::FilledBox), 0) << "no time bar";

    // Pixels: the first cell in its node's colour; the cell of the missing node left white
    // although its other three corners hold values.
    EXPECT_EQ(pixelInCell(1, 1), ValueToColor(211));
    EXPECT_EQ(pixelInCell(3, 2), ValueToColor(223));
    EXPECT_EQ(pixelInCell(2, 2), 0xFFFFFF);
    EXPECT_EQ(pixelInCell(1, 2), ValueToColor(221)) << "a cell with a missing corner is drawn";

    // The picture keeps solid fill; its colours are back; the range is stored.
    EXPECT_EQ(pic.FillStyle(), kFillSolid);
    EXPECT_EQ(pic.FillColor(), 0x123456);
    EXPECT_EQ(pic.ForeColor(), 0x654321);
    EXPECT_EQ(pic.DrawMode(), kDrawCopyPen);
    EXPECT_EQ(scales(), "23   234   211");
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_TRUE(ui.boxes.empty());

    // The next draw takes the stored range and stores nothing new.
    PutString("zeta", "Scales", Opt.IniFile, "5  300  200");
    ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber, 1), 1);
    pic.clearRecords();
    DrawBfgdScalar(pic);
    EXPECT_EQ(Scale.ScaleMax, 300);
    EXPECT_EQ(Scale.ScaleMin, 200);
    EXPECT_EQ(texts()[2], "zeta /Scale/  300 to  200");
    EXPECT_EQ(scales(), "5  300  200");
}

TEST_F(BfgdLoadedTest, EitherStorageOrderAndGridiDrawTheSamePicture) {
    struct Case {
        Layout layout;
        Long order; // the dataset's lonlatOrder after the load
    };
    std::vector<Poly> first;
    std::vector<std::string> firstTexts;
    for (const Case c : {Case{Layout::ILast, 2}, Case{Layout::JLast, 1}, Case{Layout::Gridi, 4}}) {
        SCOPED_TRACE(c.order);
        load(c.layout);
        EXPECT_EQ(Data.clsNC->lonlatOrder(1), c.order);
        DrawBfgdScalar(pic);
        const auto cells = polygonsOf(pic);
        EXPECT_EQ(cells.size(), 11u);
        EXPECT_TRUE(ui.boxes.empty());
        if (first.empty()) {
            first = pictureOf(cells);
            firstTexts = texts();
        } else {
            EXPECT_EQ(pictureOf(cells), first);
            EXPECT_EQ(texts(), firstTexts);
        }
        if (c.layout != Layout::ILast) {
            EXPECT_EQ(cells, expectedCells(true, kIMax, kJMax, 1, 1, 2)) << "i outer, j inner";
        }
    }
}

TEST_F(BfgdLoadedTest, ACellSpansOneStrideInEachDirection) {
    for (const Layout layout : {Layout::ILast, Layout::JLast}) {
        load(layout, 4, "2");
        EXPECT_EQ(Win.tcount, 4);
        DrawBfgdScalar(pic);
        // Nodes i = 1, 3 and j = 1, 3: 2 x 2 cells, reaching two nodes on, held at the edge.
        const bool iOuter = layout == Layout::JLast;
        EXPECT_EQ(polygonsOf(pic), expectedCells(iOuter, kIMax, kJMax, 2, 2, 2));
        EXPECT_EQ(texts()[3], "zeta /Range/  233 to  211");
    }
}

TEST_F(BfgdLoadedTest, TimedDrawsTheStepsAfterTheBoxAndWidensTheRange) {
    load(Layout::ILast, 4);
    pic.setFillStyle(kFillCross);
    pic.setFillColor(0x123456);
    pic.setForeColor(0x654321);
    Anim.CancelFlag = -1; // an Esc released while nothing ran
    bool busyInPump = false;
    ui.onDoEvents = [&] { busyInPump = IsBusy(); };
    boxes.step = "";

    EXPECT_EQ(DrawBfgdScalarTimed(pic), 4);
    EXPECT_TRUE(busyInPump);
    EXPECT_FALSE(IsBusy());
    EXPECT_EQ(boxes.step, " 4");
    EXPECT_EQ(count(DrawKind::Cls), 3) << "steps 2, 3 and 4";
    EXPECT_EQ(ui.doEventsCount, 3);

    // The range over every step drawn; the last step's cells in it.
    EXPECT_EQ(Scale.ScaleMax, 434);
    EXPECT_EQ(Scale.ScaleMin, 211);
    const auto cells = polygonsOf(pic);
    ASSERT_EQ(cells.size(), 33u);
    const std::vector<Poly> last(cells.end() - 11, cells.end());
    EXPECT_EQ(last, expectedCells(false, kIMax, kJMax, 1, 1, 4));
    const auto t = texts();
    ASSERT_GE(t.size(), 3u);
    EXPECT_EQ(t[t.size() - 3], Data.clsNC->DatePicked(4, 1));
    EXPECT_EQ(t[t.size() - 2], "zeta /Scale/  434 to  211");
    EXPECT_EQ(t.back(), "zeta /Range/  434 to  211");
    EXPECT_EQ(scales(), "223   434   211");
    // The picture's fill style and colours as they were.
    EXPECT_EQ(pic.FillStyle(), kFillCross);
    EXPECT_EQ(pic.FillColor(), 0x123456);
    EXPECT_EQ(pic.ForeColor(), 0x654321);
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(BfgdLoadedTest, TimedStopsAfterTheStepDuringWhichEscWasPressed) {
    load(Layout::JLast, 4);
    ui.onDoEvents = [&] {
        if (boxes.step == " 3") Anim.CancelFlag = -1;
    };
    boxes.step = "1";
    EXPECT_EQ(DrawBfgdScalarTimed(pic), 3);
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(LastMapCaption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(count(DrawKind::Cls), 2);
    EXPECT_EQ(texts().back(), "zeta /Range/  334 to  211");
    EXPECT_EQ(scales(), "123   334   211");

    // Start steps: the box's step is not drawn; at or past the last step, or no number, the
    // loop starts after step 1.
    struct Case {
        const char* box;
        Long cls;
    };
    for (const Case c :
         {Case{"3", 1}, Case{"4", 3}, Case{"9", 3}, Case{"x", 3}, Case{"2.5", 2}, Case{"3.5", 3}}) {
        ui.onDoEvents = {};
        boxes.step = c.box;
        ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber, 1), 1);
        pic.clearRecords();
        EXPECT_EQ(DrawBfgdScalarTimed(pic), 4) << c.box;
        EXPECT_EQ(count(DrawKind::Cls), c.cls) << c.box;
    }
}

TEST_F(BfgdLoadedTest, TheCoastalSampleDrawsOneCellPerValueOfTheView) {
    Opt.URL(0) = std::string(PELORIN_SAMPLES_DIR) + "/bfg_coastal.nc";
    LoadFile(0);
    ASSERT_NE(Data.clsNC, nullptr);
    ASSERT_EQ(Data.clsNC->GridType(1), kGridBfg);
    const Long nv = Data.clsNC->variNum("zeta", 1);
    ASSERT_GT(nv, 0);
    Data.Picks.ReDim(1, 1);
    Data.Picks(1) = PickItem{nv, 3, 1};
    Data.PickCount = 1;
    Data.CurTimeStep = 5;
    setOrderBoxes(&boxes);
    ui.boxes.clear();
    ASSERT_EQ(CalculateGridScalar(nv, 1), 1);
    pic.clearRecords();
    DrawBfgdScalar(pic);
    EXPECT_TRUE(ui.boxes.empty());
    const Long valid = static_cast<Long>(
        std::count_if(Win.scalarV.begin(), Win.scalarV.end(), [](float v) { return v > NoVal; }));
    EXPECT_GT(valid, 0);
    EXPECT_LT(valid, Win.tcount) << "the island's nodes are missing";
    EXPECT_EQ(static_cast<Long>(polygonsOf(pic).size()), valid);
    EXPECT_NE(GetString("zeta", "Scales", Opt.IniFile), "");
}

// ---- Ocean model grids ------------------------------------------------------------------------

// A tripolar (ORCA-like) grid in the shape of an ocean model's file: lon(y, x) and lat(y, x)
// over 6 columns 20 degrees apart running from 290 east across 0/360 to 30, each row one
// degree further east, so that the cells between columns 4 (350..352) and 5 (10..12) straddle
// the seam; sst(time, y, x) = 10 y + x.
constexpr Long kSeamX = 6, kSeamY = 3;
float seamLon(Long x, Long y) {
    const float v = 290.0f + 20.0f * static_cast<float>(x - 1) + static_cast<float>(y - 1);
    return v >= 360 ? v - 360 : v;
}
float seamLat(Long, Long y) {
    return -10.0f + 10.0f * static_cast<float>(y - 1);
}
float seamValue(Long x, Long y) {
    return static_cast<float>(10 * y + x);
}

std::string writeSeamGrid(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time_counter", 2);
    nc.dim("y", kSeamY);
    nc.dim("x", kSeamX);
    std::vector<double> lon, lat, sst;
    for (Long y = 1; y <= kSeamY; ++y)
        for (Long x = 1; x <= kSeamX; ++x) {
            lon.push_back(seamLon(x, y));
            lat.push_back(seamLat(x, y));
        }
    for (int t = 1; t <= 2; ++t)
        for (Long y = 1; y <= kSeamY; ++y)
            for (Long x = 1; x <= kSeamX; ++x)
                sst.push_back(seamValue(x, y));
    nc.var("time_counter", NC_DOUBLE, {"time_counter"})
        .att("units", "seconds since 1900-01-01 00:00:00")
        .att("calendar", "noleap")
        .values({0.0, 86400.0});
    nc.var("lon", NC_FLOAT, {"y", "x"}).att("units", "degrees_east").values(lon);
    nc.var("lat", NC_FLOAT, {"y", "x"}).att("units", "degrees_north").values(lat);
    nc.var("sst", NC_FLOAT, {"time_counter", "y", "x"})
        .att("units", "degC")
        .att("_FillValue", NC_FLOAT, 1e20f)
        .values(sst);
    return nc.write();
}

TEST_F(BfgdLoadedTest, AnOceanGridAcrossTheSeamDrawsNoBandAndColoursItsSeamCells) {
    for (const ProjectionCase c : kBothProjections) {
        SCOPED_TRACE(c.projection);
        // The whole globe in longitude, the seam on the picture's edges.
        loadPicked(writeSeamGrid(dir.file("orca.nc")), c.projection, "sst", 1,
                   {0, 360 * c.unit, -20 * c.unit, 20 * c.unit});
        ASSERT_EQ(Win.tcount, kSeamX * kSeamY);
        DrawBfgdScalar(pic);
        EXPECT_TRUE(ui.boxes.empty());

        // Every node's cell, and the three seam cells (column 4) once more at their copy on
        // the western edge.
        const auto cells = polygonsOf(pic);
        EXPECT_EQ(cells.size(), 21u);
        for (const Poly& p : cells) {
            int lo = p.px[0], hi = p.px[0];
            for (size_t k = 0; k < p.px.size(); k += 2) {
                lo = std::min(lo, p.px[k]);
                hi = std::max(hi, p.px[k]);
            }
            EXPECT_LT(hi - lo, pic.ScaleWidth() / 4) << "a cell stretched across the map";
        }

        // The pixels of the first row: the middle of the map stays white, the seam cell shows
        // on both edges in the colour of its first node, its neighbours in theirs.
        const auto at = [&](double lon, double lat) {
            float x = 0, y = 0;
            ll2_to_xy2(static_cast<float>(lon * c.unit), static_cast<float>(lat * c.unit), x, y);
            return pic.pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
        };
        EXPECT_EQ(at(180, -5), 0xFFFFFF);
        EXPECT_EQ(at(100, 5), 0xFFFFFF);
        EXPECT_EQ(at(357, -5), ValueToColor(seamValue(4, 1)));
        EXPECT_EQ(at(3, -5), ValueToColor(seamValue(4, 1)));
        EXPECT_EQ(at(357, 5), ValueToColor(seamValue(4, 2)));
        EXPECT_EQ(at(3, 5), ValueToColor(seamValue(4, 2)));
        EXPECT_EQ(at(340, -5), ValueToColor(seamValue(3, 1)));
        EXPECT_EQ(at(20, -5), ValueToColor(seamValue(5, 1)));
    }
}

// A global ocean grid in the way POP lays its grid out: lon(y, x) and lat(y, x) over 12 columns
// 30 degrees apart from 15 east, each row two degrees further east, with no column repeated:
// the last column's cells (345 .. 375 on the first row) reach the first column's nodes one turn
// on; t(y, x) = 10 y + x.
constexpr Long kPopX = 12, kPopY = 4;
double popLon(Long x, Long y) {
    const double v = 15.0 + 30.0 * static_cast<double>(x - 1) + 2.0 * static_cast<double>(y - 1);
    return v >= 360 ? v - 360 : v;
}
double popLat(Long y) {
    return -30.0 + 20.0 * static_cast<double>(y - 1);
}
float popValue(Long x, Long y) {
    return static_cast<float>(10 * y + x);
}

std::string writePopGrid(const std::string& path) {
    NcBuilder nc(path);
    nc.dim("nlat", kPopY);
    nc.dim("nlon", kPopX);
    std::vector<double> lon, lat, t;
    for (Long y = 1; y <= kPopY; ++y)
        for (Long x = 1; x <= kPopX; ++x) {
            lon.push_back(popLon(x, y));
            lat.push_back(popLat(y));
            t.push_back(popValue(x, y));
        }
    nc.var("TLONG", NC_DOUBLE, {"nlat", "nlon"}).att("units", "degrees_east").values(lon);
    nc.var("TLAT", NC_DOUBLE, {"nlat", "nlon"}).att("units", "degrees_north").values(lat);
    nc.var("TEMP", NC_FLOAT, {"nlat", "nlon"})
        .att("units", "degC")
        .att("coordinates", "TLONG TLAT")
        .values(t);
    return nc.write();
}

TEST_F(BfgdLoadedTest, AGlobalGridWhoseLastColumnMeetsItsFirstLeavesNoStripAtItsSeam) {
    for (const ProjectionCase c : kBothProjections) {
        SCOPED_TRACE(c.projection);
        loadPicked(writePopGrid(dir.file("pop.nc")), c.projection, "TEMP", 1,
                   {0, 360 * c.unit, -40 * c.unit, 40 * c.unit});
        ASSERT_EQ(Win.tcount, kPopX * kPopY);
        DrawBfgdScalar(pic);
        EXPECT_TRUE(ui.boxes.empty());

        // Half way between two rows every pixel from one column's nodes to the next column's
        // shows the first node's value, across the seam too: the last column's cell runs from
        // its nodes to the first column's, at its own place and at its copy a turn west.
        for (Long y = 1; y < kPopY; ++y) {
            const double lat = (popLat(y) + popLat(y + 1)) / 2;
            for (Long x = 1; x <= kPopX; ++x) {
                const double west = popLon(x, y) + 1;
                double east = popLon(x % kPopX + 1, y) + 1;
                if (east < west) east += 360;
                for (const double shift : {0.0, -360.0}) {
                    float x0 = 0, x1 = 0, py = 0;
                    ll2_to_xy2(static_cast<float>((west + shift) * c.unit),
                               static_cast<float>(lat * c.unit), x0, py);
                    ll2_to_xy2(static_cast<float>((east + shift) * c.unit),
                               static_cast<float>(lat * c.unit), x1, py);
                    for (long px = std::max(0L, std::lround(x0) + 2);
                         px <= std::min<long>(pic.width() - 1, std::lround(x1) - 2); ++px)
                        ASSERT_EQ(pic.pixel(static_cast<int>(px), static_cast<int>(std::lround(py))),
                                  ValueToColor(popValue(x, y)))
                            << "column " << x << " row " << y << " pixel " << px;
                }
            }
        }
    }
}

TEST_F(BfgdLoadedTest, LandNodesWithoutCoordinatesSkipTheirCells) {
    // Node (3, 1) written as NaN, as xarray does; node (1, 3) as the coordinates' fill value.
    const std::vector<LandNode> land = {{3, 1, std::nan("")}, {1, 3, kCoordFill}};
    const auto noPosition = [](Long i, Long j) { return (i == 3 && j == 1) || (i == 1 && j == 3); };
    for (const ProjectionCase c : kBothProjections) {
        SCOPED_TRACE(c.projection);
        const double u = c.unit;
        for (const Layout layout : {Layout::ILast, Layout::JLast}) {
            loadPicked(writeBfgd(dir.file("land.nc"), layout, 2, land), c.projection, "zeta", 2,
                       {9 * u, 14 * u, 39 * u, 43 * u});
            DrawBfgdScalar(pic);

            // The two land nodes take the four cells they are corners of; the rest (all but
            // the cell of the missing value) are drawn, and the drawing goes on to its footer
            // without a message.
            const bool iOuter = layout == Layout::JLast;
            const auto cells = polygonsOf(pic);
            EXPECT_EQ(cells.size(), 7u);
            if (c.projection == 0) {
                EXPECT_EQ(cells, expectedCells(iOuter, kIMax, kJMax, 1, 1, 2, noPosition));
            }
            EXPECT_TRUE(ui.boxes.empty()) << ui.boxes[0].text;
            ASSERT_EQ(texts().size(), 4u);
            EXPECT_EQ(texts()[3], "zeta /Range/  234 to  211") << "their values still count";
        }
    }
}

// ---- Variables of both orders in one file ----------------------------------------------------

// A grid of ni x nj nodes whose "zeta" is stored (time, j, i) and "ziti" (time, i, j), with
// the same value at each node, over coordinates stored (i, j) or (j, i): the dataset's
// lonlatOrder is 3.
std::string writeMixed(const std::string& path, bool coordsIFirst, Long ni, Long nj, int nt) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", nt);
    nc.dim("ypos", nj);
    nc.dim("xpos", ni);
    const std::vector<std::string> coords = coordsIFirst ? std::vector<std::string>{"xpos", "ypos"}
                                                         : std::vector<std::string>{"ypos", "xpos"};
    std::vector<double> lon, lat, zeta, ziti;
    const Long n1 = coordsIFirst ? ni : nj, n2 = coordsIFirst ? nj : ni;
    for (Long p = 1; p <= n1; ++p)
        for (Long q = 1; q <= n2; ++q) {
            const Long i = coordsIFirst ? p : q, j = coordsIFirst ? q : p;
            lon.push_back(lonAt(i, j));
            lat.push_back(latAt(i, j));
        }
    for (int t = 1; t <= nt; ++t) {
        for (Long j = 1; j <= nj; ++j)
            for (Long i = 1; i <= ni; ++i)
                zeta.push_back(valueAt(t, i, j));
        for (Long i = 1; i <= ni; ++i)
            for (Long j = 1; j <= nj; ++j)
                ziti.push_back(valueAt(t, i, j));
    }
    std::vector<double> hours;
    for (int t = 0; t < nt; ++t)
        hours.push_back(t);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 2004-03-15 00:00:00")
        .values(hours);
    nc.var("lon", NC_FLOAT, coords).att("units", "degrees_east").values(lon);
    nc.var("lat", NC_FLOAT, coords).att("units", "degrees_north").values(lat);
    nc.var("zeta", NC_FLOAT, {"time", "ypos", "xpos"})
        .att("units", "m")
        .att("_FillValue", kFill)
        .values(zeta);
    nc.var("ziti", NC_FLOAT, {"time", "xpos", "ypos"})
        .att("units", "m")
        .att("_FillValue", kFill)
        .values(ziti);
    return nc.write();
}

class BfgdMixedTest : public BfgdLoadedTest {
protected:
    // Loads a mixed file through the loader.
    void loadMixed(bool coordsIFirst, Long ni = kIMax, Long nj = kJMax, int nt = 4) {
        Opt.URL(0) = writeMixed(dir.file(coordsIFirst ? "mixed_ij.nc" : "mixed_ji.nc"),
                                coordsIFirst, ni, nj, nt);
        ui.boxes.clear();
        LoadFile(0);
        ASSERT_NE(Data.clsNC, nullptr);
        ASSERT_EQ(Data.clsNC->GridType(1), kGridBfg);
        ASSERT_EQ(Data.clsNC->iMax(1), ni);
        ASSERT_EQ(Data.clsNC->jMax(1), nj);
        ASSERT_EQ(Data.clsNC->lonlatOrder(1), 3);
        ASSERT_EQ(Data.lonV.Rank(), 2) << "the loader's fill laid the coordinates out";
        EXPECT_EQ(Data.lonV.UBound(1), coordsIFirst ? ni : nj);
        EXPECT_EQ(Data.lonV.UBound(2), coordsIFirst ? nj : ni);
        EXPECT_EQ(BfgdCoordsOrder(1), coordsIFirst ? 1 : 2);
        EXPECT_TRUE(ui.boxes.empty());
        Data.CurTimeStep = 2;
        Data.CurLevel = 1;
        boxes = MemoryOrderBoxes();
        setOrderBoxes(&boxes);
    }

    // Picks a variable and works out its window; the variable's number.
    Long pickVar(const std::string& name, const std::string& strides = "") {
        const Long nv = Data.clsNC->variNum(name, 1);
        EXPECT_GT(nv, 0);
        Data.Picks.ReDim(1, 1);
        Data.Picks(1) = PickItem{nv, 3, 1};
        Data.PickCount = 1;
        boxes.strides[1] = boxes.strides[2] = strides;
        ui.boxes.clear();
        EXPECT_EQ(CalculateGridScalar(nv, 1), 1) << name;
        pic.clearRecords();
        return nv;
    }

    // start, end, count, stride of the read window's dimension d.
    static std::vector<Long> dim(Long d) {
        return {Win.startp(d), Win.endp(d), Win.countp(d), Win.stride(d)};
    }
};

TEST_F(BfgdMixedTest, EachVariableGetsTheWindowOfItsOwnOrder) {
    // A view over nodes i 2..3, j 1..2 (lon 10.9 .. 12.6, lat 39.5 .. 41.5). On a square grid
    // the coordinates' bounds fit both layouts.
    struct Case {
        bool coordsIFirst;
        Long ni, nj;
    };
    for (const Case c : {Case{true, kIMax, kJMax}, Case{false, kIMax, kJMax}, Case{true, 3, 3},
                         Case{false, 3, 3}}) {
        SCOPED_TRACE(testing::Message() << c.coordsIFirst << " " << c.ni << "x" << c.nj);
        loadMixed(c.coordsIFirst, c.ni, c.nj);
        View.ViewExtent = {10.9, 12.6, 39.5, 41.5};
        const Long zeta = pickVar("zeta");
        EXPECT_EQ(Data.clsNC->variLonLatOrder(zeta, 1), 2);
        EXPECT_EQ(dim(2), (std::vector<Long>{1, 2, 2, 1})) << "j";
        EXPECT_EQ(dim(3), (std::vector<Long>{2, 3, 2, 1})) << "i";
        EXPECT_EQ(Win.tcount, 4);
        const Long ziti = pickVar("ziti");
        EXPECT_EQ(Data.clsNC->variLonLatOrder(ziti, 1), 1);
        EXPECT_EQ(dim(2), (std::vector<Long>{2, 3, 2, 1})) << "i";
        EXPECT_EQ(dim(3), (std::vector<Long>{1, 2, 2, 1})) << "j";
        EXPECT_EQ(Win.tcount, 4);
        EXPECT_TRUE(ui.boxes.empty()) << "no \"No data in the view\"";
    }
}

TEST_F(BfgdMixedTest, BothVariablesDrawTheSameCellsOverEitherCoordinateLayout) {
    struct Case {
        bool coordsIFirst;
        Long ni, nj;
        const char* strides;
        Long stride;
    };
    // The square grid's coordinate bounds fit both layouts: only the coordinate variable's
    // own order tells them apart.
    for (const Case c :
         {Case{true, kIMax, kJMax, "", 1}, Case{false, kIMax, kJMax, "", 1},
          Case{false, kIMax, kJMax, "2", 2}, Case{false, 3, 3, "", 1}, Case{true, 3, 3, "", 1}}) {
        SCOPED_TRACE(testing::Message()
                     << c.coordsIFirst << " " << c.ni << "x" << c.nj << " " << c.stride);
        loadMixed(c.coordsIFirst, c.ni, c.nj);
        pickVar("zeta", c.strides);
        DrawBfgdScalar(pic);
        const auto zeta = polygonsOf(pic);
        EXPECT_EQ(zeta, expectedCells(false, c.ni, c.nj, c.stride, c.stride, 2));
        pickVar("ziti", c.strides);
        DrawBfgdScalar(pic);
        const auto ziti = polygonsOf(pic);
        EXPECT_EQ(ziti, expectedCells(true, c.ni, c.nj, c.stride, c.stride, 2));
        EXPECT_FALSE(zeta.empty());
        EXPECT_EQ(pictureOf(ziti), pictureOf(zeta));
        EXPECT_TRUE(ui.boxes.empty());
    }

    // Animated, the i-second-to-last variable over j-first coordinates.
    loadMixed(false);
    pickVar("ziti");
    boxes.step = "";
    EXPECT_EQ(DrawBfgdScalarTimed(pic), 4);
    const auto cells = polygonsOf(pic);
    ASSERT_EQ(cells.size(), 33u);
    EXPECT_EQ(std::vector<Poly>(cells.end() - 11, cells.end()),
              expectedCells(true, kIMax, kJMax, 1, 1, 4));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(BfgdMixedTest, ProbeAndPreviewFindTheNodes) {
    for (const bool coordsIFirst : {true, false}) {
        SCOPED_TRACE(coordsIFirst);
        loadMixed(coordsIFirst);

        // The preview: one mark per node at its position, coloured by i x j.
        View.ViewExtent = {9, 14, 39, 43};
        pic.clearRecords();
        DrawDataPoints(pic, 1);
        EXPECT_EQ(Scale.ScaleMax, 12);
        // Centres to a hundredth of a picture unit, and colours.
        std::vector<std::tuple<long, long, Long>> marks, want;
        for (const auto& r : pic.records())
            if (r.kind == DrawKind::FilledBox)
                marks.emplace_back(std::lround((r.at[0] + r.at[2]) * 50),
                                   std::lround((r.at[1] + r.at[3]) * 50), r.color);
        for (Long i = 1; i <= kIMax; ++i)
            for (Long j = 1; j <= kJMax; ++j) {
                float x = 0, y = 0;
                ll2_to_xy2(lonAt(i, j), latAt(i, j), x, y);
                want.emplace_back(std::lround(x * 100.0), std::lround(y * 100.0),
                                  ValueToColor(static_cast<float>(i * j)));
            }
        std::sort(marks.begin(), marks.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(marks, want);
        EXPECT_TRUE(ui.boxes.empty());

        // The probe after each variable's map: node i 3, j 2 and the value drawn for it.
        for (const char* name : {"zeta", "ziti"}) {
            SCOPED_TRACE(name);
            View.ViewExtent = {9, 14, 39, 43};
            pickVar(name);
            DrawBfgdScalar(pic);
            double lon = lonAt(3, 2) + 0.1, lat = latAt(3, 2) - 0.1;
            ShowPointValues(lon, lat);
            EXPECT_EQ(FormIJForm().text1(0), " 3");
            EXPECT_EQ(FormIJForm().text1(1), " 2");
            EXPECT_EQ(FormIJForm().text1(14), "223.00000");
            EXPECT_FLOAT_EQ(static_cast<float>(lon), lonAt(3, 2));
            EXPECT_FLOAT_EQ(static_cast<float>(lat), latAt(3, 2));
            EXPECT_TRUE(ui.boxes.empty());
        }
    }
}

// ---- A described dataset ----------------------------------------------------------------------

constexpr Long kTime = 0, kI = 1, kJ = 2, kOther = 3;

class BfgdFakeTest : public ScalarFixture {
protected:
    void SetUp() override {
        ScalarFixture::SetUp();
        fake.grid = kGridBfg;
        fake.imax = kIMax;
        fake.jmax = kJMax;
        fake.order = 2;
        fake.steps = 3;
        fake.timeDid = kTime;
        fake.dimLen = {{kTime, 3}, {kI, kIMax}, {kJ, kJMax}, {kOther, 2}};
        fake.addVar(1, 1, "jlast", {kTime, kI, kJ}, 1);
        fake.addVar(1, 2, "ilast", {kTime, kJ, kI}, 2);
        fake.addVar(1, 3, "flat", {kTime, kOther, kOther}, 0);
        // Dimension ids kI and kJ carry i and j wherever they stand.
        fake.value = [](Long, Long nv, const std::vector<Long>& ix) {
            const Long n = static_cast<Long>(ix.size());
            const Long i = nv == 2 ? ix[n - 1] : ix[n - 2], j = nv == 2 ? ix[n - 2] : ix[n - 1];
            const float v = valueAt(ix[0], i, j);
            return v == kFill ? NoVal : v;
        };
        coordinates(true);
        Data.DataExtent = {9, 14, 39, 43};
        View.ViewExtent = Data.DataExtent;
        pick(2);
    }

    // lonV/latV laid out (j, i) or (i, j).
    void coordinates(bool jFirst) {
        const Long n1 = jFirst ? kJMax : kIMax, n2 = jFirst ? kIMax : kJMax;
        Data.lonV.ReDim(1, n1, 1, n2);
        Data.latV.ReDim(1, n1, 1, n2);
        for (Long p = 1; p <= n1; ++p)
            for (Long q = 1; q <= n2; ++q) {
                const Long i = jFirst ? q : p, j = jFirst ? p : q;
                Data.lonV(p, q) = lonAt(i, j);
                Data.latV(p, q) = latAt(i, j);
            }
    }

    // The whole grid as the read window of variable nv (the window of a view holding it all).
    void wholeWindow(Long nv) {
        const bool iOuter = fake.variLonLatOrder(nv, 1) != 2;
        ResetReadWindow(3);
        Win.startp(1) = 1;
        Win.endp(2) = Win.countp(2) = iOuter ? kIMax : kJMax;
        Win.endp(3) = Win.countp(3) = iOuter ? kJMax : kIMax;
        if (fake.variLonLatOrder(nv, 1) <= 0)
            Win.endp(2) = Win.countp(2) = Win.endp(3) = Win.countp(3) = 2;
        Win.tcount = WindowCount(Win.countp);
    }

    void draw(Long nv, Long slot = 1) {
        pick(nv, slot);
        wholeWindow(nv);
        pic.clearRecords();
        DrawBfgdScalar(pic);
    }
};

TEST_F(BfgdFakeTest, VariablesOfBothOrdersOverEitherCoordinateLayoutDrawTheSameCells) {
    // A dataset whose variables come in both orders: each walk follows the variable's own
    // order, each corner the coordinate arrays' own layout.
    fake.order = 3;
    Data.CurTimeStep = 2;
    for (const bool jFirst : {true, false}) {
        SCOPED_TRACE(jFirst);
        coordinates(jFirst);
        draw(1);
        const auto jlast = polygonsOf(pic);
        EXPECT_EQ(jlast, expectedCells(true, kIMax, kJMax, 1, 1, 2));
        draw(2);
        EXPECT_EQ(polygonsOf(pic), expectedCells(false, kIMax, kJMax, 1, 1, 2));
        EXPECT_EQ(pictureOf(polygonsOf(pic)), pictureOf(jlast));
    }
    // A square grid: the dataset's order tells the layout.
    EXPECT_FALSE(BfgdCoordsJFirst(1, 5, 5));
    EXPECT_TRUE(BfgdCoordsJFirst(2, 5, 5));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(BfgdFakeTest, CellsWithinOnePixelMatchTheirPolygons) {
    // A picture so small that many cells have all four corners in one pixel: those go straight
    // into the pixels unless the log is recording.
    pic.resize(3, 2);
    PutString("ilast", "Scales", Opt.IniFile, "0  100  0");
    expectSamePictureWithoutLog([&] { draw(2); });
    pic.setDrawStyle(kDrawInvisible);
    expectSamePictureWithoutLog([&] { draw(2); });
}

TEST_F(BfgdFakeTest, NoCellsWithoutHorizontalOrderOrWithoutValues) {
    struct Case {
        Long nv;
        std::function<float(Long, Long, const std::vector<Long>&)> value;
        const char* scale;
        const char* range;
        float scaleMax; // after the draw
    };
    const auto missing = [](Long, Long, const std::vector<Long>&) { return NoVal; };
    const auto seven = [](Long, Long, const std::vector<Long>&) { return 7.0f; };
    for (const Case& c : {
             // Every value missing (read result 0): no range worked out, nothing stored.
             Case{2, missing, "ilast /Scale/ -1E+10 to  1E+10", "ilast /Range/ -1E+10 to  1E+10",
                  55},
             // No longitude/latitude order: the range is worked out, no cell is drawn.
             Case{3, seven, "flat /Scale/  7 to  7", "flat /Range/ -1E+10 to  1E+10", 7},
         }) {
        fake.value = c.value;
        Scale.ScaleMax = 55;
        Scale.ScaleMin = 44;
        draw(c.nv);
        EXPECT_TRUE(polygonsOf(pic).empty());
        const auto t = texts();
        ASSERT_EQ(t.size(), 4u);
        EXPECT_EQ(t[2], c.scale);
        EXPECT_EQ(t[3], c.range);
        EXPECT_EQ(Scale.ScaleMax, c.scaleMax);
        EXPECT_TRUE(ui.boxes.empty());
    }
    EXPECT_EQ(scales("ilast"), "") << "a range that saw no value is not stored";
    EXPECT_EQ(scales("flat"), "0   7   7");
}

TEST_F(BfgdFakeTest, MissingValuesStopAtTheirOwnCell) {
    draw(2);
    // (2, 2) is missing: its cell is not drawn, the cells that use it as a corner are.
    const auto cells = polygonsOf(pic);
    EXPECT_EQ(cells.size(), 11u);
    EXPECT_EQ(cells, expectedCells(false, kIMax, kJMax, 1, 1, 1));
}

TEST_F(BfgdFakeTest, ReadFailureShowsTheWindowAndEndsTheDrawing) {
    pic.setFillColor(0x123456);
    pic.setForeColor(0x654321);
    fake.failRead = 1;
    Data.CurTimeStep = 2;
    draw(2);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawBfgdVector] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].style, kCritical);
    EXPECT_EQ(ui.boxes[0].text,
              "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound\r\n\r\n"
              "i,j=  0  0\r\n"
              "startp, count=  2  1\r\n"
              "startp, count=  1  3\r\n"
              "startp, count=  1  4\r\n");
    EXPECT_EQ(texts(), (std::vector<std::string>{"ilast", "2004-03-2"})) << "no footer";
    EXPECT_EQ(pic.FillColor(), 0x123456);
    EXPECT_EQ(pic.ForeColor(), 0x654321);
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_EQ(scales("ilast"), "");

    // Animated: the second step's read fails, with the indices the first step's walk left.
    fake.reads.clear();
    fake.failRead = 2;
    ui.boxes.clear();
    ui.pointerChanges.clear();
    wholeWindow(2);
    defaultOrderBoxes().step = "";
    fake.steps = 3;
    EXPECT_EQ(DrawBfgdScalarTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawBfgdVector] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].text.find("i,j=  4  3\r\nstartp, count=  3  1\r\n"),
              ui.boxes[0].text.find("i,j="));
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_EQ(scales("ilast"), "");
}

TEST_F(BfgdFakeTest, RunTimeErrorEndsInTheErrorTail) {
    // Coordinate arrays smaller than the grid: the walk leaves them.
    Data.lonV.ReDim(1, 2, 1, 2);
    Data.latV.ReDim(1, 2, 1, 2);
    pic.setFillColor(0x123456);
    pic.setForeColor(0x654321);
    draw(2);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawBfgdVector]");
    EXPECT_EQ(ui.boxes[0].style, kOkOnly);
    EXPECT_EQ(ui.boxes[0].text, "Error(9):\r\n\r\n\"Subscript out of range\"");
    EXPECT_EQ(pic.FillColor(), 0x123456);
    EXPECT_EQ(pic.ForeColor(), 0x654321);
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));

    ui.boxes.clear();
    ui.pointerChanges.clear();
    wholeWindow(2);
    EXPECT_EQ(DrawBfgdScalarTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error(9):\r\n\r\n\"Subscript out of range\"");
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_FALSE(IsBusy());
}

TEST_F(BfgdFakeTest, ACornerWithoutPositionSkipsItsCellsQuietly) {
    // Node i = 3, j = 2 (the arrays are (j, i)) given a coordinate that marks no position.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        Long projection;
        float lon, lat; // 0: the node's own
    };
    for (const Case c : {Case{0, nan, 0}, Case{0, 0, -999}, Case{0, inf, 0}, Case{0, 1e20f, 1e20f},
                         Case{1, 40000, 0}, Case{1, 0, nan}}) {
        SCOPED_TRACE(std::to_string(c.projection) + " " + std::to_string(c.lon) + " " +
                     std::to_string(c.lat));
        UseProjection(c.projection);
        const double u = c.projection == 0 ? 1.0 : kDegToRad;
        coordinates(true);
        for (float& x : Data.lonV)
            x = static_cast<float>(x * u);
        for (float& y : Data.latV)
            y = static_cast<float>(y * u);
        if (c.lon != 0) Data.lonV(2, 3) = c.lon;
        if (c.lat != 0) Data.latV(2, 3) = c.lat;
        View.ViewExtent = {9 * u, 14 * u, 39 * u, 43 * u};
        ui.boxes.clear();
        draw(2);
        // The cells with (3, 2) as a corner: first nodes (2, 1), (3, 1), (3, 2), and (2, 2) is
        // missing anyway.
        EXPECT_EQ(polygonsOf(pic).size(), 8u);
        EXPECT_TRUE(ui.boxes.empty());
        ASSERT_EQ(texts().size(), 4u) << "the drawing goes on to its footer";
        EXPECT_EQ(texts()[3], "ilast /Range/  134 to  111") << "their values still count";

        wholeWindow(2);
        defaultOrderBoxes().step = "";
        pic.clearRecords();
        EXPECT_EQ(DrawBfgdScalarTimed(pic), 3);
        EXPECT_EQ(polygonsOf(pic).size(), 16u) << "steps 2 and 3";
        EXPECT_TRUE(ui.boxes.empty());
    }
}

TEST_F(BfgdFakeTest, APickFromTheSecondFileUsesItsOwnDataset) {
    // Slot 2's variable has no time dimension: slot 1's time position must not be pinned.
    fake.addVar(2, 1, "second", {kJ, kI}, 2);
    fake.value = [](Long, Long, const std::vector<Long>&) { return 5.0f; };
    Data.CurTimeStep = 3;
    pick(1, 2);
    ResetReadWindow(2);
    Win.endp(1) = Win.countp(1) = kJMax;
    Win.endp(2) = Win.countp(2) = kIMax;
    Win.tcount = 12;
    DrawBfgdScalar(pic);
    ASSERT_EQ(fake.reads.size(), 1u);
    EXPECT_EQ(fake.reads[0].slot, 2);
    EXPECT_EQ(fake.reads[0].start, (std::vector<Long>{1, 1}));
    EXPECT_EQ(texts().front(), "second");
    EXPECT_EQ(polygonsOf(pic).size(), 12u);
    EXPECT_NE(scales("second"), "");
}

TEST_F(BfgdFakeTest, TimedOnOneStepOrWithoutExtent) {
    // One time step: nothing drawn, the start step returned, the footer over the title.
    fake.steps = 1;
    wholeWindow(2);
    defaultOrderBoxes().step = "";
    EXPECT_EQ(DrawBfgdScalarTimed(pic), 1);
    EXPECT_TRUE(polygonsOf(pic).empty());
    EXPECT_EQ(texts(), (std::vector<std::string>{"ilast", "ilast /Scale/ -1E+10 to  1E+10",
                                                 "ilast /Range/ -1E+10 to  1E+10"}));
    EXPECT_EQ(scales("ilast"), "");

    // A view without extent: the notice only.
    View.ViewExtent = {10, 12, 40, 40};
    pic.clearRecords();
    ui.pointerChanges.clear();
    EXPECT_EQ(DrawBfgdScalarTimed(pic), -1);
    DrawBfgdScalar(pic);
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"(no geographical extent)", "(no geographical extent)"}));
    EXPECT_TRUE(ui.pointerChanges.empty());
    EXPECT_TRUE(ui.boxes.empty());
}

} // namespace
