// Loading: every sample grid type end to end (extents, widened view, zoom record 0, arrays,
// boxes, buttons), the mesh and level variants, Mercator clamps and degenerate spans, a failed
// entry with the removal question answered both ways, the second file, the time-range query,
// the busy guard, the alias lists passed to each object, and one load by OPeNDAP URL.
#include "tests/viewer/ViewerDatasetFixture.h"

#include "common/Strings.h"
#include "gui/PictureWidget.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "tests/support/DapServer.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/FvBounds.h"
#include "viewer/map/gencord.h"
#include "viewer/shell/CdlDump.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/PicForm.h"
#include "viewer/shell/Summaries.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;

const std::string kSamples = PELORIN_SAMPLES_DIR;

std::string boxText(const QPlainTextEdit* box) {
    return box->toPlainText().toStdString();
}

std::string shown(const std::string& summary) {
    return Replace(summary, "\r", "");
}

class MainOPaPTest : public ViewerDatasetFixture {
protected:
    void SetUp() override {
        ViewerDatasetFixture::SetUp();
        form = &mainForm();
        ui.boxes.clear(); // the empty remembered list's notice
        form->Picture1->resize(300, 200);
        form->Picture1->picture().resize(300, 200);
        form->Picture1->picture().setRecording(true);
    }

    void load(const std::string& entry, Long useSecond = 0) {
        Opt.URL(0) = entry;
        LoadFile(useSecond);
    }
    bool buttons(bool cdl, bool plot, bool alias) const {
        return form->Command1->isEnabled() == cdl && form->Command2[0]->isEnabled() == plot &&
               form->Command2[1]->isEnabled() == plot && form->Command4->isEnabled() == alias;
    }
    std::string texts() const {
        std::string all;
        for (const auto& b : ui.boxes)
            all += b.text + "\n";
        return all;
    }
    // A regular grid over the given axes, with levels when nz > 1 and nt records.
    std::string grid(const std::string& name, std::vector<double> lon, std::vector<double> lat,
                     int nz = 1, int nt = 2) {
        NcBuilder nc(dir.file(name));
        nc.unlimitedDim("time", nt);
        if (nz > 1) nc.dim("depth", nz);
        nc.dim("lat", lat.size());
        nc.dim("lon", lon.size());
        std::vector<double> t;
        for (int k = 0; k < nt; ++k)
            t.push_back(k * 6.0);
        nc.var("time", NC_DOUBLE, {"time"})
            .att("units", "hours since 2001-02-03 00:00:00")
            .values(t);
        if (nz > 1) {
            std::vector<double> z;
            for (int k = 0; k < nz; ++k)
                z.push_back(5.0 * (k + 1));
            nc.var("depth", NC_FLOAT, {"depth"}).att("units", "m").values(z);
        }
        nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values(lat);
        nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values(lon);
        std::vector<std::string> dims{"time"};
        if (nz > 1) dims.push_back("depth");
        dims.push_back("lat");
        dims.push_back("lon");
        nc.var("temp", NC_FLOAT, dims)
            .values(std::vector<double>(nt * nz * lat.size() * lon.size(), 1.0));
        return nc.write();
    }

    MainForm* form = nullptr;
};

struct SampleCase {
    const char* file;
    Long gridType;
};

TEST_F(MainOPaPTest, EverySampleGridType) {
    const SampleCase cases[] = {{"stations.nc", kGridCells},  {"regular_global.nc", kGridRegular},
                                {"bfg_coastal.nc", kGridBfg}, {"fe_mesh.nc", kGridFeMesh},
                                {"gmt_grid.nc", kGridGmt},    {"fv_mesh.nc", kGridFvMesh}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ui.boxes.clear();
        ui.pointerChanges.clear();
        form->Picture1->picture().clearRecords();
        form->Text3->setText("second");
        Data.PickCount = 3;
        Data.CurTimeStep = 4;

        load(kSamples + "/" + c.file);
        ASSERT_NE(Data.clsNC, nullptr);
        EXPECT_EQ(Data.nNcMain, 1);
        EXPECT_EQ(Data.clsNC->GridType(1), c.gridType);
        EXPECT_EQ(ui.boxes.size(), 0u) << texts();

        // The extent of the dataset, the first view widened by a twentieth on every side, and
        // the bare extent as zoom record 0.
        const double W = Data.clsNC->westEnd(), E = Data.clsNC->eastEnd();
        const double S = Data.clsNC->southEnd(), N = Data.clsNC->northEnd();
        EXPECT_EQ(Data.DataExtent.West, W);
        EXPECT_EQ(Data.DataExtent.East, E);
        EXPECT_EQ(Data.DataExtent.South, S);
        EXPECT_EQ(Data.DataExtent.North, N);
        ASSERT_GT(N - S, 0);
        EXPECT_DOUBLE_EQ(View.ViewExtent.West, W - (E - W) / 20);
        EXPECT_DOUBLE_EQ(View.ViewExtent.East, E + (E - W) / 20);
        EXPECT_DOUBLE_EQ(View.ViewExtent.South, S - (N - S) / 20);
        EXPECT_DOUBLE_EQ(View.ViewExtent.North, N + (N - S) / 20);
        EXPECT_EQ(View.ZoomIndex, 0);
        ASSERT_EQ(View.ZoomStack.LBound(), 0);
        ASSERT_EQ(View.ZoomStack.UBound(), 0);
        EXPECT_EQ(View.ZoomStack(0).West, W);
        EXPECT_EQ(View.ZoomStack(0).North, N);

        // The coordinates in degrees, one per point of the layout.
        Long points = 0;
        switch (c.gridType) {
        case kGridCells:
            points = Data.clsNC->nCells();
            break;
        case kGridRegular:
            points = Data.clsNC->nLon();
            break;
        case kGridBfg:
            points = Data.clsNC->iMax() * Data.clsNC->jMax();
            break;
        case kGridFeMesh:
        case kGridFvMesh:
            points = Data.clsNC->LLbyNodeOrEleement() == 1 ? Data.clsNC->nNodes()
                                                           : Data.clsNC->nElements();
            break;
        default:
            points = static_cast<Long>(Data.lonV.size());
            break;
        }
        EXPECT_GT(points, 1);
        EXPECT_EQ(static_cast<Long>(Data.lonV.size()), points);
        if (c.gridType == kGridRegular) {
            EXPECT_EQ(static_cast<Long>(Data.latV.size()), Data.clsNC->nLat());
        } else if (c.gridType != kGridGmt) {
            EXPECT_EQ(Data.latV.size(), Data.lonV.size());
        }
        for (float x : Data.lonV) {
            EXPECT_GE(x, W);
            EXPECT_LE(x, E);
        }

        // Time and levels.
        const Long nTime = Data.clsNC->nTime();
        if (nTime > 0) {
            ASSERT_EQ(Data.timeV.LBound(), 1);
            EXPECT_EQ(Data.timeV.UBound(), nTime);
            EXPECT_LT(Data.timeV(1), Data.timeV(nTime));
            EXPECT_EQ(form->Text2->text().toStdString().find(Data.clsNC->StartTime() + "  to  "),
                      0u);
        } else {
            EXPECT_EQ(form->Text2->text().toStdString(), "");
        }
        if (Data.clsNC->kMax() > 1) {
            EXPECT_EQ(Data.vCoordV.UBound(), Data.clsNC->kMax());
            EXPECT_EQ(Data.CurLevel, 1);
        } else {
            EXPECT_EQ(Data.CurLevel, 0);
        }
        EXPECT_EQ(Data.CurTimeStep, 0);
        EXPECT_EQ(Data.PickCount, 0);

        // The boxes, the buttons, the preview, the pointer.
        EXPECT_EQ(boxText(form->Text1[0]), shown(DimensionsSummary(1)));
        EXPECT_EQ(boxText(form->Text1[3]), shown(RecordVariablesSummary(1)));
        EXPECT_EQ(boxText(form->Text1[4]), "");
        EXPECT_EQ(form->Text3->text().toStdString(), "");
        EXPECT_TRUE(buttons(true, true, true));
        EXPECT_TRUE(DatasetReady());
        const auto& records = form->Picture1->picture().records();
        EXPECT_GT(std::count_if(records.begin(), records.end(),
                                [](const DrawRecord& r) { return r.kind == DrawKind::FilledBox; }),
                  0);
        ASSERT_FALSE(ui.pointerChanges.empty());
        EXPECT_EQ(ui.pointerChanges.front(), kPointerHourglass);
        EXPECT_EQ(ui.pointerChanges.back(), kPointerDefault);
        EXPECT_FALSE(IsBusy());
    }
}

TEST_F(MainOPaPTest, MeshArraysFollowTheMeshOption) {
    // Mesh display off: nothing of the mesh is read; a finite-volume load resets nodeLonV.
    Data.node1.ReDim(1, 1);
    Data.nodeLatV.ReDim(1, 7);
    load(kSamples + "/fe_mesh.nc");
    EXPECT_EQ(Data.node1.UBound(), 1);
    load(kSamples + "/fv_mesh.nc");
    EXPECT_EQ(Data.nodeLonV.LBound(), 0);
    EXPECT_EQ(Data.nodeLonV.UBound(), 1);
    EXPECT_EQ(Data.nodeLatV.UBound(), 7);
    EXPECT_TRUE(ui.boxes.empty()) << texts();

    // Mesh display on: the connectivity of every element; on the finite-volume sample also
    // the node positions and the boundary lines from the node codes.
    Opt.OptShowMesh = 1;
    load(kSamples + "/fe_mesh.nc");
    EXPECT_EQ(Data.node1.UBound(), Data.clsNC->nElements());
    EXPECT_GE(Data.node3(1), 1);
    EXPECT_LE(Data.node3(1), Data.clsNC->nNodes());
    EXPECT_TRUE(ui.boxes.empty()) << texts();

    // A copy: the boundary cache is written beside the dataset.
    const std::string fv = dir.file("fv_mesh.nc");
    fs::copy_file(kSamples + "/fv_mesh.nc", fv);
    load(fv);
    EXPECT_TRUE(ui.boxes.empty()) << texts();
    EXPECT_EQ(Data.node2.UBound(), Data.clsNC->nElements());
    EXPECT_GE(Data.node2(1), 1);
    EXPECT_LE(Data.node2(1), Data.clsNC->nNodes());
    ASSERT_EQ(Data.nodeLonV.LBound(), 1);
    EXPECT_EQ(Data.nodeLonV.UBound(), Data.clsNC->nNodes());
    EXPECT_EQ(Data.nodeLatV.UBound(), Data.clsNC->nNodes());
    EXPECT_GE(Data.nodeLonV(1), Data.clsNC->westEnd());
    EXPECT_LE(Data.nodeLonV(1), Data.clsNC->eastEnd());
    EXPECT_GT(Data.nfvlands, 0);
    EXPECT_GT(Data.nfvseas, 0);
    EXPECT_TRUE(fs::exists(dir.file("fv_mesh.bnd")));
    EXPECT_TRUE(buttons(true, true, true));
}

// A mesh whose connectivity cannot be read, loaded after a good mesh with the mesh display on:
// the load goes on with the reason shown, and nothing of the earlier mesh is left to draw.
TEST_F(MainOPaPTest, AMeshThatCannotBeFilledLeavesNoEarlierTriangles) {
    struct Case {
        const char* good;
        const char* coordsOn; // dimension of the broken file's coordinates
        Long gridType;
    };
    Opt.OptShowMesh = 1;
    for (const Case c :
         {Case{"fe_mesh.nc", "node", kGridFeMesh}, Case{"fv_mesh.nc", "nele", kGridFvMesh}}) {
        SCOPED_TRACE(c.good);
        const std::string good = dir.file(c.good);
        if (!fs::exists(good)) fs::copy_file(kSamples + "/" + c.good, good);
        ui.boxes.clear();
        load(good);
        ASSERT_TRUE(ui.boxes.empty()) << texts();
        ASSERT_GT(Data.node1.UBound(), 0);
        if (c.gridType == kGridFvMesh) {
            ASSERT_GT(Data.nfvlands, 0);
        }

        // Four elements, a table of five rows.
        const std::string name = std::string("broken_") + c.good;
        NcBuilder nc(dir.file(name));
        nc.dim("node", 6);
        nc.dim("nele", 4);
        nc.dim("nface", 3);
        nc.dim("dimensions", 2);
        nc.dim("rows", 5);
        const std::size_t n = std::string(c.coordsOn) == "node" ? 6 : 4;
        std::vector<double> lon, lat;
        for (std::size_t i = 0; i < n; ++i) {
            lon.push_back(10 + 0.2 * i);
            lat.push_back(50 + 0.1 * (i % 2));
        }
        nc.var("lon", NC_FLOAT, {c.coordsOn}).att("units", "degrees_east").values(lon);
        nc.var("lat", NC_FLOAT, {c.coordsOn}).att("units", "degrees_north").values(lat);
        nc.var("nv", NC_INT, {"rows", "nface"}).values(std::vector<int>(15, 1));
        ui.boxes.clear();
        load(nc.write());

        EXPECT_EQ(Data.clsNC->GridType(), c.gridType);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text,
                  "[doFill_NodeMesh] Node connection variable nv is 5 x 3, not 4 elements x 3 "
                  "nodes");
        EXPECT_TRUE(buttons(true, true, true)); // the load itself succeeded
        EXPECT_FALSE(Data.node1.IsAllocated());
        EXPECT_FALSE(Data.node2.IsAllocated());
        EXPECT_FALSE(Data.node3.IsAllocated());
        if (c.gridType == kGridFvMesh) {
            EXPECT_FALSE(Data.nodeLonV.IsAllocated());
            EXPECT_FALSE(Data.nodeLatV.IsAllocated());
            EXPECT_EQ(Data.nfvlands, 0);
            EXPECT_EQ(Data.nfvseas, 0);
        }
    }
}

TEST_F(MainOPaPTest, MercatorClampsTheViewButNotZoomRecord0) {
    View.Projection = 1;
    View.LonPeriod = 6.283185f;
    load(grid("polar.nc", {0.0, 10.0, 20.0}, {-80.0, 0.0, 85.0}));
    ASSERT_TRUE(ui.boxes.empty()) << texts();
    EXPECT_DOUBLE_EQ(Data.DataExtent.South, -80.0f * kDegToRad);
    EXPECT_DOUBLE_EQ(Data.DataExtent.North, 85.0f * kDegToRad);
    EXPECT_EQ(View.ViewExtent.South, -1.5f);
    EXPECT_EQ(View.ViewExtent.North, 1.5f);
    EXPECT_EQ(View.ZoomStack(0).North, Data.DataExtent.North);
    // Coordinates in radians.
    EXPECT_FLOAT_EQ(Data.lonV(3), static_cast<float>(20.0 * kDegToRad));
    EXPECT_FLOAT_EQ(Data.latV(1), static_cast<float>(-80.0 * kDegToRad));
}

TEST_F(MainOPaPTest, ZeroLatitudeSpanGetsAQuarterDegree) {
    load(grid("row.nc", {10.0, 20.0}, {30.0}));
    EXPECT_DOUBLE_EQ(View.ViewExtent.South, 29.75);
    EXPECT_DOUBLE_EQ(View.ViewExtent.North, 30.25);
    EXPECT_DOUBLE_EQ(View.ViewExtent.West, 9.5);

    View.Projection = 1;
    load(grid("row2.nc", {10.0, 20.0}, {30.0}));
    EXPECT_EQ(View.ViewExtent.North, static_cast<float>(30.0f * kDegToRad + 0.0043633230555555555));
}

TEST_F(MainOPaPTest, LevelsAndTimeStepsSetTheirArraysOnlyWhenPresent) {
    load(grid("levels.nc", {1.0, 2.0}, {1.0, 2.0}, 5, 1));
    EXPECT_EQ(Data.CurLevel, 1);
    ASSERT_EQ(Data.vCoordV.UBound(), 5);
    EXPECT_EQ(Data.vCoordV(5), 25);
    // One step: its time alone.
    EXPECT_EQ(form->Text2->text().toStdString(), Data.clsNC->StartTime());
    EXPECT_FALSE(Data.clsNC->StartTime().empty());

    // One level: vCoordV keeps what it held.
    load(grid("flat.nc", {1.0, 2.0}, {1.0, 2.0}, 1, 3));
    EXPECT_EQ(Data.CurLevel, 0);
    EXPECT_EQ(Data.vCoordV.UBound(), 5);
    EXPECT_EQ(Data.timeV.UBound(), 3);
    EXPECT_EQ(Data.timeV(2), 6);
    EXPECT_EQ(form->Text2->text().toStdString(),
              Data.clsNC->StartTime() + "  to  " + Data.clsNC->endTime());
}

TEST_F(MainOPaPTest, FailedEntryOffersRemovalFromTheList) {
    const std::string good = kSamples + "/stations.nc";
    const std::string missing = dir.file("missing.nc");
    for (const int answer : {kYes, kNo}) {
        SCOPED_TRACE(answer);
        PutString("URLfile 1", "URL List", Opt.IniFile, good);
        PutString("URLfile 2", "URL List", Opt.IniFile, missing);
        load(good);
        const std::string dims = boxText(form->Text1[0]);
        const auto lonSize = Data.lonV.size();
        const ViewRec view = View.ViewExtent;
        ui.boxes.clear();
        ui.pointerChanges.clear();
        Data.PickCount = 2;

        ui.msgBoxAnswers = {kOk, answer};
        form->Text3->setText("b_v.nc");
        load(missing);

        ASSERT_EQ(ui.boxes.size(), 2u);
        EXPECT_EQ(ui.boxes[0].text, Data.clsNC->ErrorMessage());
        EXPECT_NE(ui.boxes[0].text.find("missing.nc"), std::string::npos);
        EXPECT_EQ(ui.boxes[1].text,
                  "Do you want to take this file off the list?\r\n\r\nfile   : " + missing);
        EXPECT_EQ(ui.boxes[1].style, kYesNo);
        EXPECT_EQ(GetString("URLfile 2", "URL List", Opt.IniFile), answer == kYes ? "" : missing);
        EXPECT_EQ(GetString("URLfile 1", "URL List", Opt.IniFile), good);

        EXPECT_LT(Data.nNcMain, 1);
        EXPECT_FALSE(DatasetReady());
        EXPECT_TRUE(buttons(true, false, true)); // "Alias Tool" keeps its state
        // The previous dimensions stay; the other boxes, the time and the second name go.
        EXPECT_EQ(boxText(form->Text1[0]), dims);
        EXPECT_EQ(boxText(form->Text1[1]), "");
        EXPECT_EQ(boxText(form->Text1[3]), "");
        EXPECT_EQ(form->Text2->text().toStdString(), "");
        EXPECT_EQ(form->Text3->text().toStdString(), "");
        // The arrays, the view and the picks of the previous dataset survive.
        EXPECT_EQ(Data.lonV.size(), lonSize);
        EXPECT_EQ(View.ViewExtent.West, view.West);
        EXPECT_EQ(Data.PickCount, 2);
        EXPECT_EQ(ui.pointerChanges.back(), kPointerDefault);
        EXPECT_FALSE(IsBusy());
    }
}

TEST_F(MainOPaPTest, SecondFileAddsItsRecordVariablesUntilTheNextLoad) {
    const std::string main = WriteSmallFixture(dir.file("b_u.nc"));
    const std::string second = WriteSmallFixture(dir.file("b_v.nc"));
    Data.SecondFile = second;
    form->Text3->setText(QString::fromStdString(second));
    load(main, 1);
    EXPECT_EQ(Data.nNcSecond, 2);
    EXPECT_EQ(boxText(form->Text1[4]), shown(ExtraVariablesSummary(2)));
    EXPECT_NE(boxText(form->Text1[4]).find("sst("), std::string::npos);
    EXPECT_EQ(form->Text3->text().toStdString(), second);
    EXPECT_TRUE(ui.boxes.empty()) << texts();

    // The next load without a second file clears both boxes.
    load(kSamples + "/stations.nc", 0);
    EXPECT_EQ(boxText(form->Text1[4]), "");
    EXPECT_EQ(form->Text3->text().toStdString(), "");

    // A second file that cannot be opened: its reason, and dataset 1 alone.
    Data.SecondFile = dir.file("gone_v.nc");
    load(main, 1);
    EXPECT_LT(Data.nNcSecond, 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("gone_v.nc"), std::string::npos);
    EXPECT_EQ(boxText(form->Text1[4]), "");
    EXPECT_TRUE(buttons(true, true, true));
}

TEST_F(MainOPaPTest, TimeRangeLeavesNoDatasetBehind) {
    load(kSamples + "/regular_global.nc");
    form->setComboText(kSamples + "/stations.nc");
    ui.pointerChanges.clear();
    ShowTimeRange();

    EXPECT_EQ(Opt.URL(0), kSamples + "/stations.nc");
    EXPECT_EQ(Data.clsNC, nullptr);
    EXPECT_EQ(Data.nNcMain, 0);
    EXPECT_FALSE(DatasetReady());
    EXPECT_TRUE(buttons(false, false, false));
    const std::string range = form->Text2->text().toStdString();
    EXPECT_NE(range.find("  to  "), std::string::npos);
    for (auto* box : form->Text1)
        EXPECT_EQ(boxText(box), "");
    EXPECT_EQ(ui.pointerChanges.front(), kPointerHourglass);
    EXPECT_EQ(ui.pointerChanges.back(), kPointerDefault);

    // A following load opens the entry anew.
    LoadFile(0);
    ASSERT_NE(Data.clsNC, nullptr);
    EXPECT_EQ(Data.clsNC->GridType(1), kGridCells);
    EXPECT_EQ(form->Text2->text().toStdString(), range);

    // An entry without a time axis leaves the range empty.
    form->setComboText(dir.file("missing.nc"));
    ShowTimeRange();
    EXPECT_EQ(form->Text2->text().toStdString(), "");
    EXPECT_TRUE(ui.boxes.empty()) << texts();
}

// The Ui's event pump runs what a click handled during a load would do.
TEST_F(MainOPaPTest, ClicksDuringALoadFindItBusyAndCannotStartAnother) {
    int pumps = 0;
    bool allBusy = true;
    IKelvad* during = nullptr;
    ui.onDoEvents = [&] {
        ++pumps;
        allBusy = allBusy && IsBusy() && LoadRunning();
        during = Data.clsNC;
        // A second load, a time-range query and a header dump are refused: the object stays.
        LoadFile(0);
        ShowTimeRange();
        EXPECT_EQ(Make_CDL(), -1);
        EXPECT_EQ(Data.clsNC, during);
    };
    load(kSamples + "/regular_global.nc");
    EXPECT_GE(pumps, 5); // four summaries and the preview
    EXPECT_TRUE(allBusy);
    EXPECT_EQ(Data.clsNC, during);
    EXPECT_FALSE(IsBusy());
    EXPECT_FALSE(LoadRunning());
    EXPECT_EQ(Data.clsNC->GridType(1), kGridRegular);
    EXPECT_TRUE(buttons(true, true, true));
}

TEST_F(MainOPaPTest, AnErrorInTheMiddleOfALoadReleasesGuardAndPointer) {
    ui.onDoEvents = [] { throw RuntimeError(err::Overflow); };
    try {
        load(kSamples + "/regular_global.nc");
        ADD_FAILURE() << "the error did not reach the event procedure";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::Overflow);
    }
    EXPECT_FALSE(IsBusy());
    EXPECT_FALSE(LoadRunning());
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    // The next load runs.
    ui.onDoEvents = nullptr;
    load(kSamples + "/stations.nc");
    EXPECT_EQ(Data.clsNC->GridType(1), kGridCells);
}

TEST_F(MainOPaPTest, AliasListsOfTheSettingsReachEachNewObject) {
    std::ofstream(Opt.IniFile, std::ios::app) << "[variable alias]\r\n"
                                                 "lon=xlong\r\n"
                                                 "lat=ylat\r\n"
                                                 "water_u=cur_e\r\n"
                                                 "water_v=cur_n\r\n"
                                                 "temperature=seatemp\r\n";
    NcBuilder nc(dir.file("aliased.nc"));
    nc.dim("ylat", 2);
    nc.dim("xlong", 3);
    nc.var("ylat", NC_FLOAT, {"ylat"}).values({1.0, 2.0});
    nc.var("xlong", NC_FLOAT, {"xlong"}).values({1.0, 2.0, 3.0});
    nc.var("seatemp", NC_FLOAT, {"ylat", "xlong"}).values(std::vector<double>(6, 1.0));
    nc.var("cur_e", NC_FLOAT, {"ylat", "xlong"}).values(std::vector<double>(6, 1.0));
    nc.var("cur_n", NC_FLOAT, {"ylat", "xlong"}).values(std::vector<double>(6, 1.0));
    nc.write();

    load(dir.file("aliased.nc"));
    ASSERT_EQ(Data.nNcMain, 1) << texts();
    EXPECT_EQ(Data.clsNC->GridType(1), kGridRegular);
    EXPECT_NE(Data.clsNC->tempaKa().find("SEATEMP"), std::string::npos);
    EXPECT_EQ(Data.clsNC->waterTempvId(1), 3);
    EXPECT_EQ(Data.clsNC->waterUvId(1), 4);
    EXPECT_EQ(Data.clsNC->waterVvId(1), 5);

    // Without the settings keys the same file opens with no coordinates recognised.
    fs::remove(Opt.IniFile);
    ui.boxes.clear();
    load(dir.file("aliased.nc"));
    EXPECT_EQ(Data.clsNC->lonvId(1), -1);
    EXPECT_EQ(Data.clsNC->GridType(1), kGridNone);
    EXPECT_EQ(Data.clsNC->tempaKa().find("SEATEMP"), std::string::npos);
    // The coordinate fill gives its reason; with no extent the preview draws nothing.
    ASSERT_EQ(ui.boxes.size(), 1u) << texts();
    EXPECT_EQ(ui.boxes[0].text, Data.clsNC->ErrorMessage());
}

TEST_F(MainOPaPTest, EmptyEntryClosesTheOpenFilesAndKeepsEverythingElse) {
    load(kSamples + "/stations.nc");
    IKelvad* before = Data.clsNC;
    const std::string dims = boxText(form->Text1[0]);
    Opt.URL(0) = "";
    LoadFile(0);
    EXPECT_EQ(Data.clsNC, before);
    EXPECT_EQ(boxText(form->Text1[0]), dims);
    EXPECT_TRUE(buttons(true, true, true));
    // Its reads open the file again by name.
    VArray<float> lon, lat;
    EXPECT_EQ(Data.clsNC->FillLonLatDeg(lon, lat, 1), 1);
}

TEST_F(MainOPaPTest, AnOpenMapWindowClosesWithTheDatasetItShowed) {
    load(kSamples + "/stations.nc");
    PicFormForm().show();
    Data.PickCount = 2;
    load(kSamples + "/regular_global.nc");
    EXPECT_EQ(Data.PickCount, 0);
    EXPECT_FALSE(PicFormLoaded() && PicFormForm().isVisible());
    if (PicFormLoaded()) UnloadPicForm();
}

TEST_F(MainOPaPTest, CoastlineIsDrawnOverThePreviewWhenKnown) {
    Coast.CoastFlag = 1;
    Coast.CoastFile = dir.file("missing.bdm");
    load(kSamples + "/regular_global.nc");
    // The drawing ran after the transform was set: its failure to open the file shows.
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.rfind("[DrawCoast]", 0), 0u);
}

TEST_F(MainOPaPTest, OpendapUrlLoadsEndToEnd) {
    DapServer server(DAPSERVE_PATH, kSamples);
    const std::string url = server.url("regular_global.nc");
    load(url);
    ASSERT_EQ(Data.nNcMain, 1) << texts();
    EXPECT_TRUE(ui.boxes.empty()) << texts();
    EXPECT_EQ(Data.clsNC->GridType(1), kGridRegular);
    EXPECT_EQ(static_cast<Long>(Data.lonV.size()), Data.clsNC->nLon());
    EXPECT_EQ(Data.timeV.UBound(), Data.clsNC->nTime());
    EXPECT_EQ(Data.vCoordV.UBound(), Data.clsNC->kMax());
    EXPECT_NE(boxText(form->Text1[3]).find("temp(time, depth, lat, lon)"), std::string::npos);
    EXPECT_TRUE(buttons(true, true, true));
}

} // namespace
