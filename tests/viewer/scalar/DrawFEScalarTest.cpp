// The finite-element scalar maps, one step and animated, on a small mesh file read through the
// dataset library: boxes per node, texts, legend order, "Scales" write-back, the read failure
// of a variable that is not on the nodes, errors passed on, the time loop with Esc, and land
// nodes without coordinates.
#include "viewer/scalar/DrawFEScalar.h"
#include "gui/PictureWidget.h"
#include "kelvadlib/IKelvad.h"
#include "tests/support/NcBuilder.h"
#include "tests/viewer/ScalarFixture.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/MeshOutlines.h"
#include "viewer/shell/FormColor.h"

#include <cmath>
#include <memory>

namespace {

// A unit square of four nodes split into two triangles; three hourly records.
// zeta(t, n) = t + n / 10 with node 3 missing at step 2; flux lives on the elements; dry has
// no value at all; h has no time dimension.
class FEFileTest : public ScalarFixture {
protected:
    std::unique_ptr<IKelvad> kelvad{CreateKelvad()};
    Long nvZeta = 0;

    void SetUp() override {
        ScalarFixture::SetUp();
        NcBuilder nc(dir.file("mesh.nc"));
        nc.unlimitedDim("time", 3);
        nc.dim("node", 4);
        nc.dim("nele", 2);
        nc.dim("nface", 3);
        nc.var("time", NC_DOUBLE, {"time"})
            .att("units", "seconds since 2004-03-15 00:00:00")
            .values({0.0, 3600.0, 7200.0});
        nc.var("lon", NC_FLOAT, {"node"})
            .att("units", "degrees_east")
            .values({150.0, 151.0, 151.0, 150.0});
        nc.var("lat", NC_FLOAT, {"node"})
            .att("units", "degrees_north")
            .values({-34.0, -34.0, -33.0, -33.0});
        nc.var("nv", NC_INT, {"nele", "nface"}).values({0, 1, 2, 0, 2, 3});
        nc.var("h", NC_FLOAT, {"node"}).att("units", "m").values({1.0, 2.0, 3.0, 4.0});
        std::vector<double> zeta, dry;
        for (int t = 1; t <= 3; ++t)
            for (int n = 1; n <= 4; ++n) {
                zeta.push_back(t == 2 && n == 3 ? -999.0 : t + n / 10.0);
                dry.push_back(-999.0);
            }
        nc.var("zeta", NC_FLOAT, {"time", "node"})
            .att("units", "m")
            .att("_FillValue", NC_FLOAT, -999.0f)
            .values(zeta);
        nc.var("dry", NC_FLOAT, {"time", "node"}).att("_FillValue", NC_FLOAT, -999.0f).values(dry);
        nc.var("flux", NC_FLOAT, {"time", "nele"}).values(std::vector<double>(6, 1.0));
        nc.write();

        Data.clsNC = kelvad.get();
        ASSERT_EQ(Data.clsNC->Initialize(dir.file("mesh.nc")), 1) << Data.clsNC->ErrorMessage();
        ASSERT_EQ(Data.clsNC->GridType(1), kGridFeMesh);
        ASSERT_EQ(Data.clsNC->nNodes(1), 4);
        ASSERT_GE(Data.clsNC->FillLonLatDeg(Data.lonV, Data.latV, 1), 0);
        ASSERT_GE(Data.clsNC->FillNodeMesh(Data.node1, Data.node2, Data.node3, 1), 0);
        Data.DataExtent = {150, 151, -34, -33};
        view(149.5, 151.5, -34.5, -32.5);
        nvZeta = Data.clsNC->variNum("zeta", 1);
        pick(nvZeta);
        recordLegend();
    }

    void prepare(const std::string& name = "zeta") {
        pick(Data.clsNC->variNum(name, 1));
        ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber, 1), 1);
        pic.clearRecords();
    }
    Long pixelAt(Long n) const { return pixelAtPoint(Data.lonV(n), Data.latV(n)); }
};

TEST_F(FEFileTest, DrawsTheOutlineThenEveryNodeWithLegendBeforeTheFooter) {
    Scale.ColorCode = 20;
    Scale.col_opt = 1;
    Data.CurTimeStep = 2;
    prepare();
    size_t legendAtPump = 99, printsAtPump = 99;
    ui.onDoEvents = [&] {
        legendAtPump = legend().records().size();
        printsAtPump = texts().size();
    };
    // As the dispatcher does with the mesh option on: the map transform, the outline, then the
    // nodes over it.
    ASSERT_EQ(InitMapScale(pic), 1);
    DrawFeMesh(pic);
    DrawFEScalar(pic);

    const auto lines = recordsOf(DrawKind::Line);
    EXPECT_EQ(lines.size(), 6u) << "three sides of each of the two triangles";
    EXPECT_EQ(pic.records().front().kind, DrawKind::Line);
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ll2_to_xy2(Data.lonV(1), Data.latV(1), x1, y1);
    ll2_to_xy2(Data.lonV(2), Data.latV(2), x2, y2);
    EXPECT_EQ(lines[0].at, (std::vector<double>{x1, y1, x2, y2})) << "nv counts from 0";

    const std::string date = Data.clsNC->DatePicked(2, 1);
    ASSERT_FALSE(date.empty());
    EXPECT_EQ(texts(), (std::vector<std::string>{"zeta", date, "zeta /Scale/  2.4 to  2.1",
                                                 "zeta /Range/  2.4 to  2.1"}));
    EXPECT_EQ(Scale.ColorCode, 30);
    EXPECT_EQ(Scale.col_opt, 0);
    const auto boxes = dataBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(recordsOf(DrawKind::FilledBox).size(), 3u) << "no time bar";
    const Long drawn[] = {1, 2, 4};
    for (size_t k = 0; k < 3; ++k) {
        const Long n = drawn[k];
        const float v = 2 + static_cast<float>(n) / 10;
        float x = 0, y = 0;
        ll2_to_xy2(Data.lonV(n), Data.latV(n), x, y);
        EXPECT_EQ(boxes[k].color, ValueToColor(v)) << n;
        EXPECT_NEAR(boxes[k].at[0], x - 1, 1e-3) << n;
        EXPECT_NEAR(boxes[k].at[3], y + 1, 1e-3) << n;
        EXPECT_EQ(pixelAt(n), ValueToColor(v)) << n;
    }
    EXPECT_EQ(pixelAt(3), 0) << "the missing node keeps the outline's black corner";

    EXPECT_EQ(arr(Win.startp), (std::vector<Long>{2, 1}));
    EXPECT_EQ(arr(Win.countp), (std::vector<Long>{1, 4}));
    EXPECT_EQ(ui.doEventsCount, 1);
    EXPECT_EQ(legendAtPump, 0u);
    EXPECT_EQ(printsAtPump, 2u);
    EXPECT_FALSE(legend().records().empty());
    EXPECT_EQ(scales("zeta"), ".3000002   2.4   2.1");
    EXPECT_EQ(ui.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault,
                                                   kPointerHourglass, kPointerDefault}));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(IsBusy());

    // The stored range is used unchanged by the next draw.
    pic.clearRecords();
    Data.CurTimeStep = 3;
    DrawFEScalar(pic);
    EXPECT_EQ(texts().at(2), "zeta /Scale/  2.4 to  2.1");
    EXPECT_EQ(texts().at(3), "zeta /Range/  3.4 to  3.1");
    EXPECT_EQ(scales("zeta"), ".3000002   2.4   2.1");
}

TEST_F(FEFileTest, AVariableOffTheNodesFailsToRead) {
    // flux runs over the two elements: a read of four values along it is refused.
    prepare("flux");
    DrawFEScalar(pic);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawFEScalar] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].style, kCritical);
    const std::string tail =
        "\r\n\r\ni,j=  0  0\r\nstartp, count=  1  1\r\nstartp, count=  1  4\r\n";
    const std::string& text = ui.boxes[0].text;
    ASSERT_GT(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(text.substr(0, text.size() - tail.size()), Data.clsNC->ErrorMessage());
    EXPECT_EQ(texts().size(), 2u) << "title and date, no footer";
    EXPECT_EQ(ui.doEventsCount, 0);
    EXPECT_EQ(scales("flux"), "");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);

    ui.boxes.clear();
    defaultOrderBoxes().step = "1";
    EXPECT_EQ(DrawFEScalarTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawFEScalarTimed] NetCDF Error");
    EXPECT_NE(ui.boxes[0].text.find("startp, count=  2  1\r\n"), std::string::npos);
    EXPECT_EQ(defaultOrderBoxes().step, " 2");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
}

TEST_F(FEFileTest, NoValidValueDrawsNoBoxAndStoresNothing) {
    prepare("dry");
    DrawFEScalar(pic);
    EXPECT_TRUE(dataBoxes().empty());
    EXPECT_EQ(ui.doEventsCount, 1);
    EXPECT_EQ(texts().back(), "dry /Range/ -1E+10 to  1E+10");
    EXPECT_EQ(scales("dry"), "");

    defaultOrderBoxes().step = "1";
    EXPECT_EQ(DrawFEScalarTimed(pic), 3);
    EXPECT_TRUE(dataBoxes().empty());
    EXPECT_EQ(scales("dry"), "");
}

TEST_F(FEFileTest, ErrorsPassToTheCallerWithThePointerRestored) {
    prepare();
    Data.lonV.ReDim(1, 2); // fewer positions than nodes
    Data.latV.ReDim(1, 2);
    EXPECT_THROW(DrawFEScalar(pic), RuntimeError);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
    defaultOrderBoxes().step = "1";
    EXPECT_THROW(DrawFEScalarTimed(pic), RuntimeError);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(scales("zeta"), "");
}

// ---- The animation ----------------------------------------------------------------------------

TEST_F(FEFileTest, AnimatesOverTheOutlineWideningTheRange) {
    prepare();
    ASSERT_EQ(InitMapScale(pic), 1);
    DrawFeMesh(pic);
    std::vector<float> rangeInPump;
    int busyInPump = 0;
    ui.onDoEvents = [&] {
        rangeInPump.push_back(Scale.ScaleMax);
        busyInPump += IsBusy() ? 1 : 0;
    };
    EXPECT_EQ(DrawFEScalarTimed(pic), 3);

    EXPECT_EQ(rangeInPump, (std::vector<float>{2.4f, 3.4f}));
    EXPECT_EQ(busyInPump, 2);
    EXPECT_EQ(defaultOrderBoxes().step, " 3");
    // Each step starts with a clear picture: the outline and the title go with the first.
    const auto& all = pic.records();
    size_t firstCls = all.size();
    for (size_t i = 0; i < all.size() && firstCls == all.size(); ++i)
        if (all[i].kind == DrawKind::Cls) firstCls = i;
    ASSERT_LT(firstCls, all.size());
    for (size_t i = firstCls; i < all.size(); ++i)
        EXPECT_NE(all[i].kind, DrawKind::Line);
    EXPECT_EQ(recordsOf(DrawKind::Cls).size(), 2u);
    EXPECT_EQ(texts().back(), "zeta /Range/  3.4 to  2.1");
    EXPECT_EQ(scales("zeta"), "1.3   3.4   2.1");
    EXPECT_EQ(legend().records().size(), 0u);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(FEFileTest, EscAtTheFirstStepStopsThere) {
    defaultOrderBoxes().step = "0";
    prepare();
    Anim.CancelFlag = -1; // released while idle: must not count
    ui.onDoEvents = [&] { Anim.CancelFlag = -1; };
    EXPECT_EQ(DrawFEScalarTimed(pic), 2);
    EXPECT_EQ(ui.doEventsCount, 1);
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(LastMapCaption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(texts().back(), "zeta /Range/  2.4 to  2.1");
    EXPECT_EQ(scales("zeta"), ".3000002   2.4   2.1");
}

TEST_F(FEFileTest, AVariableWithoutTimeIsDrawnButNotAnimated) {
    prepare("h");
    Data.CurTimeStep = 2;
    DrawFEScalar(pic);
    EXPECT_EQ(dataBoxes().size(), 4u);
    EXPECT_EQ(arr(Win.startp), (std::vector<Long>{1}));
    EXPECT_EQ(scales("h"), "3   4   1");

    pic.clearRecords();
    EXPECT_EQ(DrawFEScalarTimed(pic), -1);
    EXPECT_TRUE(recordsOf(DrawKind::Cls).empty());
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(FEFileTest, NoExtentPrintsOnlyTheNotice) {
    view(150, 150, -34, -34);
    DrawFEScalar(pic);
    EXPECT_EQ(DrawFEScalarTimed(pic), -1);
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"(no geographical extent)", "(no geographical extent)"}));
    EXPECT_TRUE(ui.pointerChanges.empty());
}

// ---- Land nodes
// ----------------------------------------------------------------------------------

// An ocean model's mesh whose land nodes carry no coordinates: the square of the file above
// and two more nodes, 5 written as NaN (as xarray writes it) and 6 as the coordinates' fill
// value, reached by elements 3 and 4. zeta(t, n) = t + n / 10 everywhere.
class FELandTest : public ScalarFixture {
protected:
    std::string write() {
        NcBuilder nc(dir.file("land.nc"));
        nc.unlimitedDim("time", 1);
        nc.dim("node", 6);
        nc.dim("nele", 4);
        nc.dim("nface", 3);
        nc.var("time", NC_DOUBLE, {"time"})
            .att("units", "seconds since 2004-03-15 00:00:00")
            .values({0.0});
        const double nan = std::nan("");
        nc.var("lon", NC_FLOAT, {"node"})
            .att("units", "degrees_east")
            .att("_FillValue", NC_FLOAT, 9.96921e36f)
            .values({150.0, 151.0, 151.0, 150.0, nan, 9.96921e36});
        nc.var("lat", NC_FLOAT, {"node"})
            .att("units", "degrees_north")
            .att("_FillValue", NC_FLOAT, 9.96921e36f)
            .values({-34.0, -34.0, -33.0, -33.0, nan, 9.96921e36});
        nc.var("nv", NC_INT, {"nele", "nface"}).values({0, 1, 2, 0, 2, 3, 1, 4, 2, 3, 5, 0});
        nc.var("zeta", NC_FLOAT, {"time", "node"}).values({1.1, 1.2, 1.3, 1.4, 1.5, 1.6});
        return nc.write();
    }
};

TEST_F(FELandTest, LandNodesAndTheirElementsAreLeftOut) {
    for (const ProjectionCase c : kBothProjections) {
        SCOPED_TRACE(c.projection);
        UseProjection(c.projection);
        std::unique_ptr<IKelvad> kelvad{CreateKelvad()};
        Data.clsNC = kelvad.get();
        ASSERT_EQ(Data.clsNC->Initialize(write()), 1) << Data.clsNC->ErrorMessage();
        ASSERT_EQ(Data.clsNC->GridType(1), kGridFeMesh);
        ASSERT_GE(c.projection == 0 ? Data.clsNC->FillLonLatDeg(Data.lonV, Data.latV, 1)
                                    : Data.clsNC->FillLonLatRad(Data.lonV, Data.latV, 1),
                  0);
        ASSERT_GE(Data.clsNC->FillNodeMesh(Data.node1, Data.node2, Data.node3, 1), 0);
        const double u = c.unit;
        view(149.5 * u, 151.5 * u, -34.5 * u, -32.5 * u);
        pick(Data.clsNC->variNum("zeta", 1));
        ASSERT_EQ(CalculateGridScalar(Data.Picks(1).varNumber, 1), 1);
        pic.clearRecords();
        ui.boxes.clear();
        ASSERT_EQ(InitMapScale(pic), 1);
        DrawFeMesh(pic);
        DrawFEScalar(pic);

        EXPECT_EQ(recordsOf(DrawKind::Line).size(), 6u) << "the two sea elements";
        const auto boxes = dataBoxes();
        ASSERT_EQ(boxes.size(), 4u) << "the sea nodes";
        EXPECT_EQ(boxes[3].color, ValueToColor(1.4f));
        EXPECT_TRUE(ui.boxes.empty()) << ui.boxes[0].text;
        EXPECT_EQ(texts().back(), "zeta /Range/  1.6 to  1.1") << "their values still count";
        Data.clsNC = nullptr;
    }
}

} // namespace
