// The finite-volume scalar maps, one step and animated: element and node variables (with the
// levels' stride through the node values), the node-position refill and its failure, a
// variable on neither mesh dimension, items without a position, the read failure's window
// lines, the error tail, the time loop with Esc, and small files read through the dataset
// library (one whose face table holds a quadrangle).
#include "viewer/scalar/DrawFVScalar.h"

#include "tests/support/MeshFiles.h"
#include "tests/support/NcBuilder.h"
#include "tests/viewer/ScalarFixture.h"
#include "tests/viewer/ViewerDatasetFixture.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/FvPositions.h"
#include "viewer/map/MeshOutlines.h"
#include "viewer/shell/MainForm.h"

#include <cmath>
#include <limits>
#include <memory>

namespace {

constexpr Long kTime = 0, kLevel = 1, kNode = 2, kElem = 3;

class DrawFvScalarTest : public ScalarFixture {
protected:
    void SetUp() override {
        ScalarFixture::SetUp();
        // Four nodes at the corners of a square, two elements inside it.
        fake.grid = kGridFvMesh;
        fake.nodes = 4;
        fake.elems = 2;
        fake.nodeDid = kNode;
        fake.elemDid = kElem;
        fake.timeDid = kTime;
        fake.levelDid = kLevel;
        fake.steps = 5;
        fake.dimLen = {{kTime, 5}, {kLevel, 3}, {kNode, 4}, {kElem, 2}};
        fake.fillLon = {0, 4, 0, 4};
        fake.fillLat = {0, 0, 4, 4};
        fake.addVar(1, 1, "zeta", {kTime, kElem});
        fake.addVar(1, 2, "h", {kTime, kLevel, kNode});
        fake.addVar(1, 3, "siglay", {kTime, kLevel});
        fake.addVar(1, 4, "depth", {kNode});
        // Element values: step * 10 + element; node values: step * 100 + node index.
        fake.value = [](Long, Long nv, const std::vector<Long>& ix) {
            const float step = nv == 4 ? 0.0f : static_cast<float>(ix[0]);
            return (nv == 1 ? 10 : 100) * step + static_cast<float>(ix.back());
        };
        Data.lonV.ReDim(1, 2);
        Data.latV.ReDim(1, 2);
        Data.lonV(1) = 1;
        Data.latV(1) = 1;
        Data.lonV(2) = 3;
        Data.latV(2) = 3;
        view(-1, 5, -1, 5);
        Data.CurTimeStep = 2;
        Data.CurLevel = 3;
        pick(1);
    }
};

TEST_F(DrawFvScalarTest, ElementVariableDrawsEveryElement) {
    Scale.ColorCode = 10;
    Scale.col_opt = 2;
    int busyInPump = 0;
    ui.onDoEvents = [&] { busyInPump += IsBusy() ? 1 : 0; };
    DrawFvScalar(pic);

    EXPECT_EQ(texts(), (std::vector<std::string>{"zeta", "2004-03-2", "zeta /Scale/  22 to  21",
                                                 "zeta /Range/  22 to  21"}));
    const auto prints = recordsOf(DrawKind::Print);
    EXPECT_NEAR(prints[1].at[0], pic.ScaleWidth() - 1.1 * pic.TextWidth("2004-03-2"), 1e-3);
    EXPECT_NEAR(prints[3].at[1], 300 - pic.TextHeight(prints[3].text), 1e-3);

    // The whole mesh is read, step pinned, the view not consulted.
    ASSERT_EQ(fake.reads.size(), 1u);
    EXPECT_EQ(fake.reads[0].slot, 1);
    EXPECT_EQ(fake.reads[0].count, 2);
    EXPECT_EQ(fake.reads[0].start, (std::vector<Long>{2, 1}));
    EXPECT_EQ(fake.reads[0].cnt, (std::vector<Long>{1, 2}));
    EXPECT_EQ(fake.reads[0].step, (std::vector<Long>{1, 1}));

    EXPECT_EQ(Scale.ColorCode, 30);
    EXPECT_EQ(Scale.col_opt, 0);
    const auto boxes = dataBoxes();
    ASSERT_EQ(boxes.size(), 2u) << "no time bar on the one-step map";
    EXPECT_EQ(boxes[0].at, BoxAround(1, 1));
    EXPECT_EQ(boxes[1].at, BoxAround(3, 3));
    EXPECT_EQ(boxes[0].color, ValueToColor(21));
    EXPECT_EQ(boxes[1].color, ValueToColor(22));
    EXPECT_EQ(pixelAtPoint(3, 3), ValueToColor(22));
    EXPECT_EQ(scales("zeta"), "1   22   21");
    EXPECT_EQ(ui.doEventsCount, 1);
    EXPECT_EQ(busyInPump, 1);
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(IsBusy());

    // The stored range is used and never rewritten.
    PutString("zeta", "Scales", Opt.IniFile, "5  30  20");
    DrawFvScalar(pic);
    EXPECT_EQ(Scale.ScaleMax, 30);
    EXPECT_EQ(Scale.ScaleMin, 20);
    EXPECT_EQ(scales("zeta"), "5  30  20");
}

TEST_F(DrawFvScalarTest, NodeVariableRefillsThePositionsAndStridesThroughTheLevels) {
    // Two values per node along the node dimension (kMax = 1): node i takes value 1 + 2 (i - 1).
    fake.kmax = 1;
    fake.dimLen[kNode] = 8;
    pick(2);
    DrawFvScalar(pic);
    EXPECT_EQ(fake.fills, 1);
    ASSERT_EQ(fake.reads.size(), 1u);
    EXPECT_EQ(fake.reads[0].count, 8);
    EXPECT_EQ(fake.reads[0].start, (std::vector<Long>{2, 3, 1}));
    EXPECT_EQ(fake.reads[0].cnt, (std::vector<Long>{1, 1, 8}));
    const auto boxes = dataBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    const float values[] = {201, 203, 205, 207};
    for (Long i = 1; i <= 4; ++i) {
        EXPECT_EQ(boxes[i - 1].at, BoxAround(Data.nodeLonV(i), Data.nodeLatV(i))) << i;
        EXPECT_EQ(boxes[i - 1].color, ValueToColor(values[i - 1])) << i;
    }
    // The colour range takes every value read, the data range the values drawn.
    const auto t = texts();
    EXPECT_EQ(t[t.size() - 2], "h /Scale/  208 to  201");
    EXPECT_EQ(t.back(), "h /Range/  207 to  201");

    // Positions already there are used as they are.
    DrawFvScalar(pic);
    EXPECT_EQ(fake.fills, 1);
}

TEST_F(DrawFvScalarTest, ItemsWithoutAPositionAreLeftOut) {
    // An element whose position came out NaN (a corner on land) and a node at the coordinates'
    // fill value: no box for either, the rest drawn, no message.
    Data.lonV(2) = std::numeric_limits<float>::quiet_NaN();
    DrawFvScalar(pic);
    auto boxes = dataBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].at, BoxAround(1, 1));
    EXPECT_EQ(texts().back(), "zeta /Range/  22 to  21") << "its value still counts";

    fake.fillLon = {0, 1e20f, 0, 4};
    fake.fillLat = {0, 1e20f, 4, 4};
    pick(2);
    defaultOrderBoxes().step = "2";
    pic.clearRecords();
    EXPECT_EQ(DrawFVScalarTimed(pic), 5);
    boxes = dataBoxes();
    ASSERT_EQ(boxes.size(), 9u) << "three nodes in each of steps 3, 4 and 5";
    EXPECT_EQ(boxes[1].at, BoxAround(0, 4));
    EXPECT_TRUE(ui.boxes.empty()) << ui.boxes[0].text;
}

TEST_F(DrawFvScalarTest, NodePositionsThatCannotBeHadMakeTheVariableNotDrawable) {
    fake.fillResult = -1;
    Data.nodeLonV.ReDim(0, 1); // as the loader leaves it with the mesh display off
    pick(2);
    DrawFvScalar(pic);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "This file does not have node coordinates");
    EXPECT_EQ(ui.boxes[0].style, kOkOnly);
    EXPECT_EQ(ui.boxes[0].title, kProgramTitle);
    EXPECT_TRUE(fake.reads.empty());
    EXPECT_TRUE(dataBoxes().empty()) << "no boxes piled up at (0, 0)";
    EXPECT_EQ(texts(), (std::vector<std::string>{"h", "2004-03-2"}));
    EXPECT_EQ(scales("h"), "");
    EXPECT_FALSE(Data.nodeLonV.IsAllocated()) << "the next draw asks again";
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);

    ui.boxes.clear();
    pic.clearRecords();
    EXPECT_EQ(DrawFVScalarTimed(pic), -1);
    EXPECT_EQ(fake.fills, 2);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(fake.reads.empty());
    EXPECT_TRUE(recordsOf(DrawKind::FilledBox).empty());
    EXPECT_EQ(scales("h"), "");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(DrawFvScalarTest, AVariableOnNeitherMeshDimensionLeavesTitleAndDate) {
    pick(3);
    DrawFvScalar(pic);
    EXPECT_EQ(texts(), (std::vector<std::string>{"siglay", "2004-03-2"}));
    EXPECT_TRUE(fake.reads.empty());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ui.doEventsCount, 0);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);

    pic.clearRecords();
    EXPECT_EQ(DrawFVScalarTimed(pic), -1);
    EXPECT_EQ(texts(), (std::vector<std::string>{"siglay"}));
    EXPECT_EQ(scales("siglay"), "");
}

TEST_F(DrawFvScalarTest, ReadFailureShowsTheWindowAndStops) {
    fake.failRead = 1;
    DrawFvScalar(pic);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawFvScalar] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].style, kCritical);
    EXPECT_EQ(ui.boxes[0].text, "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound"
                                "\r\n\r\ni,j=  0  0\r\n"
                                "startp, count=  2  1\r\n"
                                "startp, count=  1  2\r\n");
    EXPECT_EQ(texts(), (std::vector<std::string>{"zeta", "2004-03-2"}));
    EXPECT_EQ(ui.doEventsCount, 0);
    EXPECT_EQ(scales("zeta"), "");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);

    // Animated, after a node step: the second counter is the value number after the last node.
    ui.boxes.clear();
    fake.reads.clear();
    fake.failRead = 2;
    fake.kmax = 1;
    fake.dimLen[kNode] = 8;
    pick(2);
    EXPECT_EQ(DrawFVScalarTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawFVScalarTimed] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].text, "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound"
                                "\r\n\r\ni,j=  0  9\r\n"
                                "startp, count=  3  1\r\n"
                                "startp, count=  3  1\r\n"
                                "startp, count=  1  8\r\n");
    EXPECT_EQ(scales("h"), "");
}

TEST_F(DrawFvScalarTest, RuntimeErrorsEndInTheErrorTail) {
    Data.lonV.ReDim(1, 1); // fewer element positions than elements
    DrawFvScalar(pic);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error(9):\r\n\r\n\"Subscript out of range\"");
    EXPECT_EQ(ui.boxes[0].title, "[DrawFvScalar]");
    EXPECT_EQ(ui.boxes[0].style, kOkOnly);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_EQ(scales("zeta"), "");
    EXPECT_FALSE(IsBusy());

    ui.boxes.clear();
    EXPECT_EQ(DrawFVScalarTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawFVScalarTimed]");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(DrawFvScalarTest, APickFromTheSecondFileReadsItsOwnSlot) {
    fake.addVar(2, 1, "zeta2", {kElem});
    pick(1, 2);
    DrawFvScalar(pic);
    ASSERT_EQ(fake.reads.size(), 1u);
    EXPECT_EQ(fake.reads[0].slot, 2);
    EXPECT_EQ(fake.reads[0].start, (std::vector<Long>{1}));
    EXPECT_EQ(texts().front(), "zeta2");
    EXPECT_EQ(dataBoxes().size(), 2u);
}

TEST_F(DrawFvScalarTest, TimedDrawsTheStepsAfterTheStepBoxAndWidensTheRange) {
    defaultOrderBoxes().step = "2";
    Anim.CancelFlag = -1; // released while idle: must not stop this animation
    EXPECT_EQ(DrawFVScalarTimed(pic), 5);
    EXPECT_EQ(stepsRead(), (std::vector<Long>{3, 4, 5}));
    EXPECT_EQ(defaultOrderBoxes().step, " 5");
    EXPECT_EQ(recordsOf(DrawKind::Cls).size(), 3u);
    EXPECT_EQ(ui.doEventsCount, 3);
    const auto t = texts();
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t[t.size() - 2], "zeta /Scale/  52 to  31");
    EXPECT_EQ(t.back(), "zeta /Range/  52 to  31");
    EXPECT_EQ(t[t.size() - 3], "2004-03-5");
    EXPECT_EQ(scales("zeta"), "21   52   31");
    // The last step's boxes are coloured by the range as it stood after that step.
    const auto boxes = dataBoxes();
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes.back().color, ValueToColor(52));
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
}

TEST_F(DrawFvScalarTest, TimedStopsOnEscAndNeedsATimeDimension) {
    defaultOrderBoxes().step = "";
    ui.onDoEvents = [&] {
        if (defaultOrderBoxes().step == " 3") Anim.CancelFlag = -1;
    };
    EXPECT_EQ(DrawFVScalarTimed(pic), 3);
    EXPECT_EQ(stepsRead(), (std::vector<Long>{2, 3}));
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(LastMapCaption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(texts().back(), "zeta /Range/  32 to  21");

    // One step only: nothing drawn, the footer over the title, the start step back.
    ui.onDoEvents = {};
    fake.reads.clear();
    fake.steps = 1;
    pic.clearRecords();
    EXPECT_EQ(DrawFVScalarTimed(pic), 1);
    EXPECT_TRUE(fake.reads.empty());

    // No time dimension.
    fake.steps = 5;
    pick(4);
    EXPECT_EQ(DrawFVScalarTimed(pic), -1);
    EXPECT_TRUE(fake.reads.empty());
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

class DrawFvScalarFileTest : public ViewerDatasetFixture {
protected:
    // The file opened through the dataset library as the main dataset, a finite-volume mesh.
    void openMesh(const std::string& file) {
        kv.reset(CreateKelvad());
        ASSERT_NO_FATAL_FAILURE(openThroughLibrary(*kv, file, kGridFvMesh));
    }
    // The variable of that name (of narray dimensions) the only pick, at that step and level,
    // over the whole mesh.
    void pickAlone(const std::string& name, Long narray, Long step, Long level) {
        View.ViewExtent = {11.9, 13.1, 44.9, 45.4};
        Data.CurTimeStep = step;
        Data.CurLevel = level;
        Data.Picks.ReDim(1, 1);
        Data.Picks(1) = PickItem{kv->variNum(name), narray, 1};
        Data.PickCount = 1;
    }
    void TearDown() override {
        Data.clsNC = nullptr;
        kv.reset();
        ViewerDatasetFixture::TearDown();
    }
    std::unique_ptr<IKelvad> kv;
};

TEST_F(DrawFvScalarFileTest, DrawsASmallFileThroughTheDatasetLibrary) {
    // Six nodes with their own positions, four elements; an element and a node variable.
    NcBuilder nc(dir.file("fv.nc"));
    nc.unlimitedDim("time", 2);
    nc.dim("node", 6);
    nc.dim("nele", 4);
    nc.dim("nface", 3);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "hours since 2004-03-15").values({0.0, 1.0});
    nc.var("lon", NC_FLOAT, {"nele"}).values({12.25, 12.25, 12.75, 12.75});
    nc.var("lat", NC_FLOAT, {"nele"}).values({45.1, 45.2, 45.1, 45.2});
    nc.var("x", NC_FLOAT, {"node"})
        .att("units", "degrees_east")
        .values({12.0, 12.5, 13.0, 12.0, 12.5, 13.0});
    nc.var("y", NC_FLOAT, {"node"})
        .att("units", "degrees_north")
        .values({45.0, 45.0, 45.0, 45.3, 45.3, 45.3});
    nc.var("nv", NC_INT, {"nele", "nface"}).values({0, 1, 4, 0, 4, 3, 1, 2, 5, 1, 5, 4});
    nc.var("zeta", NC_FLOAT, {"time", "nele"}).values({1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0});
    nc.var("h", NC_FLOAT, {"node"}).values({10.0, 20.0, 30.0, 40.0, 50.0, 60.0});
    const std::string file = nc.write();

    ASSERT_NO_FATAL_FAILURE(openMesh(file));
    pickAlone("zeta", 2, 2, 1);
    Picture pic(300, 200);
    DrawFvScalar(pic);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(GetString("zeta", "Scales", Opt.IniFile), "3   8   5");
    float x = 0, y = 0;
    ll2_to_xy2(Data.lonV(4), Data.latV(4), x, y);
    EXPECT_EQ(pic.pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))),
              ValueToColor(8));

    // The node variable: positions fetched from the file's node coordinates.
    Data.Picks(1) = PickItem{kv->variNum("h"), 1, 1};
    DrawFvScalar(pic);
    EXPECT_TRUE(ui.boxes.empty());
    ASSERT_EQ(Data.nodeLonV.UBound(), 6);
    EXPECT_FLOAT_EQ(Data.nodeLonV(6), 13.0f);
    ll2_to_xy2(Data.nodeLonV(5), Data.nodeLatV(5), x, y);
    EXPECT_EQ(pic.pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))),
              ValueToColor(50));
}

// An FVCOM file: positions named lon/lat on the nodes, lonc/latc on the elements, and nv
// corners by elements counted from 1. The nodes keep their positions for node variables and
// the element variables are drawn at the element centres.
TEST_F(DrawFvScalarFileTest, DrawsAnFvcomFileOnItsNodesAndItsElements) {
    NcBuilder nc(dir.file("fvcom.nc"));
    nc.unlimitedDim("time", 1);
    nc.dim("nele", 4);
    nc.dim("node", 6);
    nc.dim("three", 3);
    nc.var("lon", NC_FLOAT, {"node"})
        .att("units", "degrees_east")
        .values({12.0, 12.5, 13.0, 12.0, 12.5, 13.0});
    nc.var("lat", NC_FLOAT, {"node"})
        .att("units", "degrees_north")
        .values({45.0, 45.0, 45.0, 45.3, 45.3, 45.3});
    nc.var("lonc", NC_FLOAT, {"nele"})
        .att("units", "degrees_east")
        .values({12.17, 12.33, 12.67, 12.83});
    nc.var("latc", NC_FLOAT, {"nele"})
        .att("units", "degrees_north")
        .values({45.1, 45.2, 45.1, 45.2});
    nc.var("nv", NC_INT, {"three", "nele"}).values({1, 1, 2, 2, 2, 5, 3, 6, 5, 4, 6, 5});
    nc.var("time", NC_FLOAT, {"time"})
        .att("units", "days since 1858-11-17 00:00:00")
        .values({58849.0});
    nc.var("ua", NC_FLOAT, {"time", "nele"}).values({1.0, 2.0, 3.0, 4.0});
    nc.var("h", NC_FLOAT, {"node"}).values({10.0, 20.0, 30.0, 40.0, 50.0, 60.0});
    const std::string file = nc.write();

    ASSERT_NO_FATAL_FAILURE(openMesh(file));
    ASSERT_EQ(kv->lonvId(1), kv->variNum("lon"));
    ASSERT_EQ(Data.lonV.UBound(), 4); // the element centres
    EXPECT_NEAR(Data.lonV(4), (12.5 + 13.0 + 12.5) / 3, 1e-4);
    pickAlone("ua", 1, 1, 0);
    Picture pic(300, 200);
    DrawFvScalar(pic);
    EXPECT_TRUE(ui.boxes.empty());
    float x = 0, y = 0;
    ll2_to_xy2(Data.lonV(4), Data.latV(4), x, y);
    EXPECT_EQ(pic.pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))),
              ValueToColor(4));

    Data.Picks(1) = PickItem{kv->variNum("h"), 1, 1};
    DrawFvScalar(pic);
    EXPECT_TRUE(ui.boxes.empty());
    ASSERT_EQ(Data.nodeLonV.UBound(), 6);
    EXPECT_FLOAT_EQ(Data.nodeLonV(6), 13.0f);
    ll2_to_xy2(Data.nodeLonV(5), Data.nodeLatV(5), x, y);
    EXPECT_EQ(pic.pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))),
              ValueToColor(50));
}

// A D-Flow FM map file whose face table holds a quadrangle beside two triangles: the
// quadrangle's value is drawn once, at the centre of its four corners, and the outline draws
// the quadrangle as its two triangles.
TEST_F(DrawFvScalarFileTest, AQuadrangleKeepsItsValueAndIsOutlinedAsTwoTriangles) {
    const std::string file = dir.file("FlowFM_map.nc");
    writeCdl(kDflowCdl, file, NcFormat::Netcdf4);

    ASSERT_NO_FATAL_FAILURE(openMesh(file));
    ASSERT_EQ(kv->nElements(1), 3);
    ASSERT_EQ(Data.lonV.UBound(), 3);
    EXPECT_FLOAT_EQ(Data.lonV(1), 4.05f);
    EXPECT_FLOAT_EQ(Data.latV(1), 52.05f);
    // What the loader fills for the outline.
    ASSERT_EQ(kv->FillNodeMesh(Data.node1, Data.node2, Data.node3, 1), 1) << kv->ErrorMessage();
    ASSERT_EQ(MeshTriangleCount(), 4);
    ASSERT_GE(FillFvNodePositions(6), 0) << kv->ErrorMessage();

    pickAlone("mesh2d_s1", 1, 1, 0);
    View.ViewExtent = {3.95, 4.25, 51.95, 52.15}; // round this mesh rather than the others
    Picture pic(300, 200);
    pic.setRecording(true);
    DrawFvScalar(pic);
    EXPECT_TRUE(ui.boxes.empty());
    const auto boxes = recordsOf(pic, DrawKind::FilledBox);
    ASSERT_EQ(boxes.size(), 3u) << "one box a face, not one a triangle";
    EXPECT_EQ(boxes[0].at, BoxAround(4.05f, 52.05f));
    EXPECT_EQ(boxes[0].color, ValueToColor(1));

    // The outline: both halves of the quadrangle, their shared diagonal (nodes 1 and 5) twice.
    pic.clearRecords();
    DrawFvMesh(pic);
    EXPECT_TRUE(ui.boxes.empty());
    const auto lines = recordsOf(pic, DrawKind::Line);
    ASSERT_EQ(lines.size(), 12u);
    float x1 = 0, y1 = 0, x5 = 0, y5 = 0;
    ll2_to_xy2(4.0f, 52.0f, x1, y1);
    ll2_to_xy2(4.1f, 52.1f, x5, y5);
    const std::vector<double> closes = {x5, y5, x1, y1}; // the last side of triangle 1, 2, 5
    const std::vector<double> opens = {x1, y1, x5, y5};  // the first side of triangle 1, 5, 4
    for (std::size_t c = 0; c < 4; ++c) {
        EXPECT_NEAR(lines[2].at[c], closes[c], 1e-3) << c;
        EXPECT_NEAR(lines[3].at[c], opens[c], 1e-3) << c;
    }
}

} // namespace
