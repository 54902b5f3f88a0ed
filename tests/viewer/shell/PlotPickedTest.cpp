// The plot dispatcher: its routes by mode, grid type and pick count, the vector pair among three
// picks, and end to end on the samples: frame and coastline only in mode 0, the colour key and
// the coastline over the data after a scalar, the mesh outlines under every pick, the messages
// of the picks whose drawing is not available, and the time-stepped result.
#include "tests/viewer/OrderWinFixture.h"

#include "runtime/Convert.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/shell/PickList.h"
#include "viewer/shell/PlotPicked.h"

#include <fstream>
#include <tuple>

namespace {

using Strings = std::vector<std::string>;
using R = PlotRenderer;

TEST(PlotRouteTest, RoutesByModeGridTypeAndPickCount) {
    struct Case {
        Long mode, grid, picks;
        R renderer;
    };
    const std::vector<Case> cases = {
        {1, kGridCells, 1, R::CellScalar},
        {1, kGridRegular, 1, R::GridScalar},
        {1, kGridBfg, 1, R::BfgdScalar},
        {1, kGridFeMesh, 1, R::FEScalar},
        {1, kGridGmt, 1, R::GMTScalar},
        {1, kGridFvMesh, 1, R::FvScalar},
        {1, kGridNone, 1, R::None},
        {1, kGridFvMesh + 1, 1, R::None},
        {1, kGridCells, 2, R::CellVector},
        {1, kGridRegular, 2, R::GridVector},
        {1, kGridGmt, 2, R::GMTVector},
        {1, kGridBfg, 2, R::BfgdVector},
        {1, kGridFeMesh, 2, R::FEVector},
        {1, kGridFvMesh, 2, R::FEVector},
        {1, kGridNone, 2, R::None},
        {1, kGridRegular, 3, R::TriplePair},
        {1, kGridCells, 3, R::None},
        {1, kGridFeMesh, 3, R::None},
        {1, kGridRegular, 4, R::None},
        {1, kGridRegular, 0, R::None},
        {3, kGridCells, 1, R::CellScalarTimed},
        {3, kGridRegular, 1, R::GridScalarTimed},
        {3, kGridBfg, 1, R::BfgdScalarTimed},
        {3, kGridFeMesh, 1, R::FEScalarTimed},
        {3, kGridGmt, 1, R::None},
        {3, kGridFvMesh, 1, R::FVScalarTimed},
        {3, kGridNone, 1, R::None},
        {3, kGridRegular, 2, R::GridVectorTimed},
        {3, kGridGmt, 2, R::None},
        {3, kGridCells, 2, R::CellVectorTimed},
        {3, kGridBfg, 2, R::BfgdVectorTimed},
        {3, kGridFeMesh, 2, R::FEVectorTimed},
        {3, kGridFvMesh, 2, R::FEVectorTimed},
        {3, kGridRegular, 3, R::GridTripleTimed},
        {3, kGridBfg, 3, R::None},
        {3, kGridGmt, 3, R::None},
        {0, kGridRegular, 1, R::None},
        {2, kGridRegular, 1, R::None},
    };
    for (const Case& c : cases) {
        const PlotRoute route = ChoosePlotRoute(c.mode, c.grid, c.picks, 1);
        EXPECT_EQ(route.renderer, c.renderer) << c.mode << " " << c.grid << " " << c.picks;
    }
}

TEST(PlotRouteTest, MeshOutlinesUnderEveryPickCountOfModeOne) {
    struct Case {
        Long mode, grid, picks, showMesh;
        bool fe, fv;
    };
    const std::vector<Case> cases = {
        {1, kGridFeMesh, 1, 1, true, false},   {1, kGridFvMesh, 1, 1, false, true},
        {1, kGridFeMesh, 2, 1, true, false},   {1, kGridFvMesh, 2, 1, false, true},
        {1, kGridFeMesh, 3, 1, true, false},   {1, kGridFvMesh, 3, 1, false, true},
        {1, kGridFeMesh, 1, 0, false, false},  {1, kGridFvMesh, 2, 0, false, false},
        {1, kGridFeMesh, 4, 1, false, false},  {1, kGridFvMesh, 0, 1, false, false},
        {3, kGridFeMesh, 1, 1, false, false},  {3, kGridFvMesh, 2, 1, false, false},
        {1, kGridRegular, 1, 1, false, false}, {1, kGridRegular, 3, 1, false, false},
        {1, kGridBfg, 2, 1, false, false}};
    for (const Case& c : cases) {
        const PlotRoute route = ChoosePlotRoute(c.mode, c.grid, c.picks, c.showMesh);
        EXPECT_EQ(route.feMesh, c.fe) << c.mode << " " << c.grid << " " << c.picks;
        EXPECT_EQ(route.fvMesh, c.fv) << c.mode << " " << c.grid << " " << c.picks;
    }
}

TEST(PlotRouteTest, FindsTheVectorPairAmongThreePicks) {
    Data.water_U_vId = 6;
    Data.water_V_vId = 7;
    Data.wind_U_vId = 16;
    Data.wind_V_vId = 17;
    struct Case {
        std::vector<Long> vars;
        Long p, s;
    };
    const std::vector<Case> cases = {{{6, 7, 5}, 1, 3},  {{5, 6, 7}, 2, 1},   {{5, 7, 6}, 0, 0},
                                     {{6, 5, 7}, 0, 0},  {{16, 17, 5}, 1, 3}, {{6, 17, 5}, 1, 3},
                                     {{5, 16, 7}, 2, 1}, {{6, 7, 17}, 1, 3},  {{1, 2, 3}, 0, 0}};
    Data.Picks.ReDim(1, 3);
    for (const Case& c : cases) {
        for (Long i = 1; i <= 3; ++i)
            Data.Picks(i) = PickItem{c.vars[static_cast<std::size_t>(i - 1)], 3, 1};
        Long p = -1, s = -1;
        FindTriplePair(p, s);
        EXPECT_EQ(p, c.p) << c.vars[0] << c.vars[1] << c.vars[2];
        EXPECT_EQ(s, c.s) << c.vars[0] << c.vars[1] << c.vars[2];
    }
    Data.Picks.Erase();
    Data.water_U_vId = Data.water_V_vId = Data.wind_U_vId = Data.wind_V_vId = 0;
}

// A coastline file of one segment whose box covers the globe, in radians.
std::string WriteCoast(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    auto put = [&](auto v) { out.write(reinterpret_cast<const char*>(&v), sizeof v); };
    const float pts[3][2] = {{-3.1f, -1.5f}, {0.0f, 0.0f}, {3.1f, 1.5f}};
    put(-3.1f), put(3.1f), put(-1.5f), put(1.5f), put(Long{3}), put(Long{0});
    put(Long{3}), put(Long{0}), put(-3.1f), put(3.1f), put(-1.5f), put(1.5f);
    for (const auto& p : pts)
        put(p[0]), put(p[1]);
    return path;
}

class PlotPickedTest : public OrderWinFixture {
protected:
    void loadSample(const std::string& name, Long showMesh = 0) {
        Opt.OptShowMesh = showMesh;
        load(sample(name));
        MakeOrderVarList(); // the vector ids, as the order window sets them
        Coast.CoastFile = WriteCoast(dir.file("coast.bdm"));
        Coast.CoastFlag = 1;
        Data.CurTimeStep = 1;
        Data.CurLevel = 1;
        map().setRecording(true);
        map().clearRecords();
        ui.doEventsCount = 0;
    }
    static Picture& map() { return PicFormForm().Picture1->picture(); }
    static void pick(const std::vector<Long>& vars) {
        Data.PickCount = static_cast<Long>(vars.size());
        Data.Picks.ReDim(1, std::max<Long>(Data.PickCount, 1));
        for (Long i = 1; i <= Data.PickCount; ++i) {
            const Long v = vars[static_cast<std::size_t>(i - 1)];
            Data.Picks(i) = PickItem{v, Data.clsNC->variNarray(v, 1), 1};
        }
    }
    static Long count(DrawKind kind) {
        Long n = 0;
        for (const DrawRecord& r : map().records())
            n += r.kind == kind ? 1 : 0;
        return n;
    }
    static Long first(DrawKind kind) {
        const auto& recs = map().records();
        for (std::size_t i = 0; i < recs.size(); ++i)
            if (recs[i].kind == kind) return static_cast<Long>(i);
        return -1;
    }
    static Long last(DrawKind kind) {
        const auto& recs = map().records();
        for (std::size_t i = recs.size(); i-- > 0;)
            if (recs[i].kind == kind) return static_cast<Long>(i);
        return -1;
    }
    // The first variable of the pick list.
    static Long firstListed() { return CLng(ListNumberOf(MakeOrderVarList().entries.at(0))); }
    static bool keyShown() { return FormColorLoaded() && FormColorForm().isVisible(); }
    static Long data() { return count(DrawKind::FilledBox) + count(DrawKind::Polygon); }
};

TEST_F(PlotPickedTest, ModeZeroDrawsOnlyTheCoastline) {
    loadSample("regular_global.nc");
    for (Long picks : {0, 1}) {
        pick(picks ? std::vector<Long>{5} : std::vector<Long>{});
        map().clearRecords();
        EXPECT_EQ(PlotPicked(0), -1);
        EXPECT_EQ(data(), 0);
        EXPECT_EQ(count(DrawKind::Polyline), 1);
        EXPECT_FALSE(FormColorLoaded());
        EXPECT_EQ(ui.doEventsCount, 0);
    }
    Coast.CoastFlag = 0;
    map().clearRecords();
    EXPECT_EQ(PlotPicked(0), -1);
    EXPECT_TRUE(map().records().empty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(PlotPickedTest, AScalarGetsItsKeyAndTheCoastlineOverIt) {
    for (const char* file : {"regular_global.nc", "stations.nc", "bfg_coastal.nc", "fe_mesh.nc",
                             "fv_mesh.nc", "gmt_grid.nc"}) {
        SCOPED_TRACE(file);
        if (FormColorLoaded()) UnloadFormColor();
        loadSample(file);
        pick({firstListed()}); // on the finite-volume sample code, on its nodes
        EXPECT_EQ(PlotPicked(1), 0);
        EXPECT_GT(data(), 0);
        EXPECT_GT(last(DrawKind::Polyline),
                  std::max(last(DrawKind::FilledBox), last(DrawKind::Polygon)));
        EXPECT_TRUE(keyShown());
        EXPECT_GE(ui.doEventsCount, 1);
        EXPECT_TRUE(messages().empty()) << messages()[0];
    }
}

TEST_F(PlotPickedTest, VectorPicksOnTheRegularGrid) {
    loadSample("regular_global.nc"); // temp 5, u 6, v 7
    struct Case {
        Long mode;
        std::vector<Long> vars;
        Long result; // 0 after mode 1; the last step after mode 3
        bool cells, key;
    };
    const Long steps = Data.clsNC->nTime(1);
    const std::vector<Case> cases = {
        {1, {6, 7}, 0, false, false},      {3, {6, 7}, steps, false, false},
        {1, {6, 7, 5}, 0, true, true},     {1, {5, 6, 7}, 0, true, true},
        {3, {5, 6, 7}, steps, true, true}, {3, {6, 7, 5}, steps, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " " + std::to_string(c.vars[0]) + " " +
                     std::to_string(c.vars.size()));
        if (FormColorLoaded()) UnloadFormColor();
        ui.boxes.clear();
        map().clearRecords();
        orderBoxes().SetStepText("1");
        pick(c.vars);
        EXPECT_EQ(PlotPicked(c.mode), c.result);
        EXPECT_TRUE(messages().empty()) << messages()[0];
        EXPECT_GT(count(DrawKind::Line), 100) << "the arrows";
        EXPECT_EQ(count(DrawKind::FilledBox) > 100, c.cells);
        if (c.cells) {
            EXPECT_LT(last(DrawKind::FilledBox), last(DrawKind::Line)) << "arrows over cells";
        }
        EXPECT_GT(last(DrawKind::Polyline), last(DrawKind::Line)) << "the coastline on top";
        EXPECT_EQ(keyShown(), c.key);
    }
}

TEST_F(PlotPickedTest, ThreePicksWithoutAPairDrawNothing) {
    loadSample("regular_global.nc");
    for (Long mode : {1, 3}) {
        for (const std::vector<Long>& vars :
             {std::vector<Long>{5, 7, 6}, std::vector<Long>{6, 5, 7}, std::vector<Long>{5, 5, 6}}) {
            SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(vars[1]));
            ui.boxes.clear();
            map().clearRecords();
            pick(vars);
            EXPECT_EQ(PlotPicked(mode), -1);
            EXPECT_EQ(messages(), Strings{"Picked 3 items, but cannot determine which are vector"});
            EXPECT_TRUE(map().records().empty());
            EXPECT_FALSE(FormColorLoaded());
        }
    }
}

TEST_F(PlotPickedTest, APairOnTheGmtGrid) {
    loadSample("gmt_currents.nc"); // z 6, u 7, v 8
    pick({7, 8});
    EXPECT_EQ(PlotPicked(1), 0);
    EXPECT_TRUE(messages().empty()) << messages()[0];
    EXPECT_GT(count(DrawKind::Line), 100);
    EXPECT_FALSE(keyShown());
    // No time axis: nothing to animate.
    EXPECT_EQ(PlotPicked(3), -1);
}

TEST_F(PlotPickedTest, ThreePicksOffTheRegularGridDrawNothingButKeyAndCoast) {
    loadSample("stations.nc"); // temp 4, u 5, v 6
    pick({4, 5, 6});
    EXPECT_EQ(PlotPicked(1), 0);
    EXPECT_EQ(data(), 0);
    EXPECT_EQ(count(DrawKind::Polyline), 1);
    EXPECT_TRUE(keyShown());
    EXPECT_TRUE(messages().empty());
    // Time-stepped: no renderer, result 1.
    EXPECT_EQ(PlotPicked(3), 1);
}

TEST_F(PlotPickedTest, TimeSteppedPlotReturnsTheLastStepDrawn) {
    const std::vector<std::pair<const char*, Long>> cases = {{"regular_global.nc", 5},
                                                             {"stations.nc", 4},
                                                             {"bfg_coastal.nc", 5},
                                                             {"fe_mesh.nc", 6},
                                                             {"fv_mesh.nc", 7}};
    for (const auto& [file, var] : cases) {
        SCOPED_TRACE(file);
        if (FormColorLoaded()) UnloadFormColor();
        loadSample(file);
        const Long steps = Data.clsNC->nTime(1);
        ASSERT_GT(steps, 1);
        pick({var});
        orderBoxes().SetStepText("1");
        EXPECT_EQ(PlotPicked(3), steps);
        EXPECT_GT(data(), 0);
        EXPECT_TRUE(keyShown());
        EXPECT_TRUE(messages().empty()) << messages()[0];
    }
}

TEST_F(PlotPickedTest, VectorPairsOfCellsBoundaryFittedGridsAndMeshesDrawArrows) {
    const std::vector<std::tuple<const char*, Long, Long>> cases = {{"stations.nc", 5, 6},
                                                                    {"bfg_coastal.nc", 6, 7},
                                                                    {"fe_mesh.nc", 7, 8},
                                                                    {"fv_mesh.nc", 9, 10}};
    for (const auto& [file, u, v] : cases) {
        SCOPED_TRACE(file);
        loadSample(file);
        pick({u, v});
        EXPECT_EQ(PlotPicked(1), 0);
        EXPECT_GT(count(DrawKind::Line), 8) << "the reference arrow and data arrows";
        // The coastline over the arrows; no colour key for a pair.
        EXPECT_GT(last(DrawKind::Polyline), last(DrawKind::Line));
        EXPECT_FALSE(keyShown());
        EXPECT_EQ(ui.MousePointer(), kPointerDefault);
        orderBoxes().SetStepText("1");
        map().clearRecords();
        EXPECT_EQ(PlotPicked(3), Data.clsNC->nTime(1));
        EXPECT_GT(count(DrawKind::Line), 8);
        EXPECT_FALSE(keyShown());
        EXPECT_TRUE(messages().empty()) << messages()[0];
    }
}

TEST_F(PlotPickedTest, TimeSteppedPlotNeedsATimeAxis) {
    loadSample("gmt_grid.nc");
    ASSERT_EQ(Data.clsNC->nTime(1), 0);
    pick({firstListed()});
    EXPECT_EQ(PlotPicked(3), -1);
    EXPECT_EQ(messages(), Strings{"This file does not have multiple time dimensions"});
    EXPECT_EQ(data(), 0);
    EXPECT_EQ(count(DrawKind::Polyline), 0);
    EXPECT_FALSE(FormColorLoaded());
}

TEST_F(PlotPickedTest, MeshOutlinesGoUnderTheMapOfModeOneOnly) {
    loadSample("fe_mesh.nc", 1);
    pick({6}); // zeta(time, node)
    Opt.OptShowMesh = 0;
    EXPECT_EQ(PlotPicked(1), 0);
    ASSERT_EQ(count(DrawKind::Line), 0);
    ASSERT_GT(data(), 0);
    Opt.OptShowMesh = 1;
    map().clearRecords();
    EXPECT_EQ(PlotPicked(1), 0);
    const Long firstData =
        std::min(first(DrawKind::Polygon) < 0 ? 1 << 30 : first(DrawKind::Polygon),
                 first(DrawKind::FilledBox) < 0 ? 1 << 30 : first(DrawKind::FilledBox));
    ASSERT_LT(firstData, 1 << 30);
    EXPECT_GT(count(DrawKind::Line), 0);
    EXPECT_LT(last(DrawKind::Line), firstData);
    // No outlines in a time-stepped plot.
    map().clearRecords();
    orderBoxes().SetStepText("1");
    EXPECT_GT(PlotPicked(3), 0);
    EXPECT_GT(data(), 0);
    EXPECT_EQ(count(DrawKind::Line), 0);
    EXPECT_TRUE(messages().empty()) << messages()[0];
}

TEST_F(PlotPickedTest, MeshOutlinesGoUnderEveryPickCount) {
    // fe_mesh: zeta 6, u 7, v 8 on the nodes; fv_mesh: zeta 7, u 9, v 10 on the elements.
    struct Case {
        const char* file;
        std::vector<Long> vars;
        Long result;
        Strings messages;
        bool data;
    };
    const std::vector<Case> cases = {
        {"fe_mesh.nc", {6}, 0, {}, true},        {"fe_mesh.nc", {7, 8}, 0, {}, false},
        {"fe_mesh.nc", {6, 7, 8}, 0, {}, false}, {"fv_mesh.nc", {7}, 0, {}, true},
        {"fv_mesh.nc", {9, 10}, 0, {}, false},   {"fv_mesh.nc", {7, 9, 10}, 0, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.vars.size()));
        loadSample(c.file, 1);
        pick(c.vars);
        ui.boxes.clear();
        EXPECT_EQ(PlotPicked(1), c.result);
        EXPECT_GT(count(DrawKind::Line), 0) << "the outlines";
        EXPECT_EQ(data() > 0, c.data);
        if (c.data) {
            EXPECT_LT(last(DrawKind::Line), first(DrawKind::FilledBox)) << "under the data";
        }
        if (c.vars.size() == 2) {
            // The outlines, then the pair's title, then its arrows.
            const auto& recs = map().records();
            const auto title = std::find_if(recs.begin(), recs.end(), [](const DrawRecord& r) {
                return r.kind == DrawKind::Print && r.text == "u & v";
            });
            ASSERT_NE(title, recs.end());
            EXPECT_LT(first(DrawKind::Line), title - recs.begin());
            EXPECT_GT(last(DrawKind::Line), title - recs.begin());
        }
        EXPECT_EQ(messages(), c.messages);
    }
}

TEST_F(PlotPickedTest, NoPicksAndOtherModesPlotNothing) {
    loadSample("regular_global.nc");
    pick({});
    EXPECT_EQ(PlotPicked(1), -1);
    EXPECT_EQ(PlotPicked(3), -1);
    pick({5});
    EXPECT_EQ(PlotPicked(2), -1);
    EXPECT_TRUE(map().records().empty());
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(FormColorLoaded());
}

} // namespace
