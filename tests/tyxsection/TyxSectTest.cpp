// The control as a host drives it: the plug-in loaded with QPluginLoader, a control made by
// its factory, and every member called by name through LateBound.
#include "TyxFixture.h"
#include "gui/LateBound.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ControlPictureLog.h"
#include "tests/support/DapServer.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tyxsection/KewFile.h"
#include "tyxsection/TyxSectionFactory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QPluginLoader>
#include <QRadioButton>
#include <QVariantList>
#include <QVariantMap>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

Variant text(const std::string& s) {
    return Variant(s);
}

// A scripted Ui that can act while the control lets window events run.
class EventUi : public ScriptedUi {
public:
    std::function<void()> onDoEvents;
    void DoEvents() override {
        ScriptedUi::DoEvents();
        if (onDoEvents) {
            // Once: what it does may run the event pump again.
            auto once = std::move(onDoEvents);
            onDoEvents = nullptr;
            once();
        }
    }
};

// One record of a picture's primitive log, as the control's test hook gives it.
using Drawn = ControlDrawn;

class TyxSectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testApp();
        // Kept loaded for the whole run, as a host keeps it.
        static QPluginLoader* loader = new QPluginLoader(TYXSECTION_PATH);
        factory_ = qobject_cast<TyxSectionFactory*>(loader->instance());
        if (!factory_) loadError_ = loader->errorString().toStdString();
    }

    void SetUp() override {
        ASSERT_NE(factory_, nullptr) << loadError_;
        previousUi_ = factory_->SetUi(&ui);
        // Placed on a form that is shown, as a host places it.
        host_ = std::make_unique<QWidget>();
        host_->resize(640, 480);
        control_ = factory_->CreateControl(host_.get());
        control_->setGeometry(0, 0, 640, 480);
        host_->show();
        tyx.setObject(control_);
    }
    void TearDown() override {
        // The last control takes the shared state with it: the next test starts afresh.
        host_.reset();
        factory_->SetUi(previousUi_);
    }

    // The test hooks of the control: not reachable through the dispatch interface.
    void recordPictures() { RecordControlPictures(control_); }
    std::vector<Drawn> records(const char* picture) {
        return ControlPictureRecords(control_, picture);
    }
    std::vector<Drawn> recordsOf(const char* picture, const std::string& kind) {
        std::vector<Drawn> out;
        for (const Drawn& d : records(picture))
            if (d.kind == kind) out.push_back(d);
        return out;
    }
    std::vector<std::string> printed(const char* picture) {
        std::vector<std::string> texts;
        for (const Drawn& d : recordsOf(picture, "Print"))
            texts.push_back(d.text);
        return texts;
    }
    QImage image(const char* picture) { return ControlImage(control_, picture); }
    QWidget* control() { return control_; }

    // The path (lon, lat) pairs given to the control and ended.
    Long section(std::initializer_list<std::pair<float, float>> points) {
        call("NewSection");
        for (const auto& p : points)
            call("AddSection", {Variant(p.first), Variant(p.second)});
        return call("EndSection").toLong();
    }

    Variant call(const std::string& name, std::vector<Variant> args = {}) {
        return tyx.Call(name, args);
    }
    std::string error() { return tyx.Get("ErrorMessage").toString(); }
    Long open(const std::string& path) { return call("NcFile", {text(path)}).toLong(); }

    static TyxSectionFactory* factory_;
    static std::string loadError_;

    TempDir dir;
    EventUi ui;
    LateBound tyx;

private:
    std::unique_ptr<QWidget> host_;
    QWidget* control_ = nullptr; // the host's child
    Ui* previousUi_ = nullptr;
};

TyxSectionFactory* TyxSectTest::factory_ = nullptr;
std::string TyxSectTest::loadError_;

} // namespace

TEST_F(TyxSectTest, APlugInBesideTheProgramWithTheDispatchMembers) {
    const std::filesystem::path plugin(TYXSECTION_PATH);
    EXPECT_EQ(plugin.filename(), "libTyxSection.so");
    EXPECT_TRUE(std::filesystem::exists(plugin.parent_path() / "Pelorin"));

    struct Member {
        const char* name;
        Long dispId;
    };
    const Member members[] = {
        {"ShowOptions", 0x60030020},
        {"NcFile", 0x60030023},
        {"KewFile", 0x60030024},
        {"NewSection", 0x60030025},
        {"AddSection", 0x60030026},
        {"AddColorKey", 0x60030027},
        {"NewColorKey", 0x60030028},
        {"EndSection", 0x60030029},
        {"SetVarByName", 0x6003002a},
        {"SetVarByOrder", 0x6003002b},
        {"ErrorMessage", 0x6803001f},
        {"NumDrawAbleItems", 0x6803001e},
        {"ItemName", 0x6003002c},
        {"DrawProfile", 0x6803001d},
        {"DrawVerticalSection", 0x6803001c},
        {"Draw", 0x6003002d},
        {"SetCurrentTime", 0x6003002e},
        {"AdvanceTime", 0x6003002f},
        {"ReDraw", 0x60030030},
        {"UseColorKey", 0x6803001b},
        {"InitColorKey", 0x60030031},
    };
    for (const Member& m : members)
        EXPECT_EQ(tyx.DispId(m.name), m.dispId) << m.name;
    // What the control inherits from Qt is not part of it.
    for (const char* name : {"close", "objectName", "geometry", "deleteLater"})
        EXPECT_EQ(errorOf([&] { tyx.DispId(name); }), err::NoSuchMember) << name;
}

TEST_F(TyxSectTest, LateBoundRefusesWhatTheMembersDoNotTake) {
    EXPECT_EQ(errorOf([&] { call("NcFiles", {text("a.nc")}); }), err::NoSuchMember);
    EXPECT_EQ(errorOf([&] { call("NcFile"); }), err::WrongArguments);
    EXPECT_EQ(errorOf([&] { call("AddSection", {Variant(1.0)}); }), err::WrongArguments);
    EXPECT_EQ(errorOf([&] { tyx.Let("NumDrawAbleItems", Variant(Long{1})); }), err::WrongArguments);
    EXPECT_EQ(errorOf([&] { tyx.Let("ErrorMessage", text("x")); }), err::WrongArguments);
    EXPECT_EQ(errorOf([&] { call("SetVarByOrder", {text("first")}); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([&] {
                  call("AddColorKey", {Variant(0.0), text("3"), text("red")});
              }),
              err::TypeMismatch);
}

TEST_F(TyxSectTest, BeforeAnyDatasetNothingIsDrawn) {
    EXPECT_EQ(tyx.Get("DrawProfile").toLong(), 0);
    EXPECT_EQ(tyx.Get("DrawVerticalSection").toLong(), 0);
    EXPECT_EQ(tyx.Get("NumDrawAbleItems").toLong(), 0);
    const Variant drawn = call("Draw");
    EXPECT_EQ(drawn.type(), Variant::Type::kInteger);
    EXPECT_EQ(drawn.toLong(), -1);
    EXPECT_EQ(error(), "[Draw] No dataset: NcFile has not opened one");
    EXPECT_TRUE(call("ReDraw").IsEmpty());
}

TEST_F(TyxSectTest, OpensARegularGridWithItsDefaults) {
    const Variant opened = call("NcFile", {text(writeGridFile(dir, "grid.nc"))});
    EXPECT_EQ(opened.type(), Variant::Type::kInteger);
    EXPECT_EQ(opened.toLong(), 1) << error();
    EXPECT_EQ(error(), "");

    // The variables with the level dimension and two more, in file order.
    EXPECT_EQ(tyx.Get("NumDrawAbleItems").toLong(), 2);
    EXPECT_EQ(call("ItemName", {Variant(Long{1})}).toString(), "temp");
    EXPECT_EQ(call("ItemName", {Variant(Long{2})}).toString(), "salt");
    EXPECT_EQ(call("ItemName", {Variant(Long{0})}).toString(), "");
    EXPECT_EQ(call("ItemName", {Variant(Long{3})}).toString(), "");

    EXPECT_EQ(tyx.Get("DrawVerticalSection").toLong(), -1);
    EXPECT_EQ(tyx.Get("DrawProfile").toLong(), 0);
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), 0);
    // Time step 1.
    const Variant step = call("AdvanceTime", {Variant(Long{0})});
    EXPECT_EQ(step.type(), Variant::Type::kLong);
    EXPECT_EQ(step.toLong(), 1);
}

TEST_F(TyxSectTest, DatasetsInTheShapesOfRealFiles) {
    // Latitudes from north to south, scalar variables beside the grid, netCDF-4 types.
    GridFile descending;
    descending.descendingLat = true;
    EXPECT_EQ(open(writeGridFile(dir, "north_south.nc", descending)), 1) << error();

    NcBuilder nc(dir.file("n4.nc"), NcFormat::Netcdf4);
    nc.dim("time", 2);
    nc.dim("depth", 2);
    nc.dim("lat", 2);
    nc.dim("lon", 2);
    nc.var("time", NC_INT64, {"time"})
        .stringAtt("units", "hours since 2010-01-01 00:00:00")
        .values({0, 6});
    nc.var("depth", NC_DOUBLE, {"depth"}).values({1, 2});
    nc.var("lat", NC_DOUBLE, {"lat"}).att("units", "degrees_north").values({0, 1});
    nc.var("lon", NC_DOUBLE, {"lon"}).att("units", "degrees_east").values({0, 1});
    nc.var("crs", NC_INT).att("grid_mapping_name", "latitude_longitude");
    nc.var("count", NC_USHORT, {"time", "depth", "lat", "lon"})
        .att("_FillValue", NC_USHORT, 65535)
        .values(std::vector<double>(16, 3));
    nc.var("temp", NC_FLOAT, {"time", "depth", "lat", "lon"})
        .att("_FillValue", std::numeric_limits<float>::quiet_NaN())
        .values(std::vector<double>(16, 3));
    EXPECT_EQ(open(nc.write()), 1) << error();
    EXPECT_EQ(tyx.Get("NumDrawAbleItems").toLong(), 2);
    EXPECT_EQ(call("ItemName", {Variant(Long{1})}).toString(), "count");
    EXPECT_EQ(call("AdvanceTime", {Variant(Long{-1})}).toLong(), 2);
}

TEST_F(TyxSectTest, ADatasetThatDoesNotOpenLeavesTheOneBefore) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    ASSERT_EQ(call("AdvanceTime", {Variant(Long{1})}).toLong(), 2);

    GridFile flat;
    flat.withLevels = false;
    const std::string noLevels = writeGridFile(dir, "surface.nc", flat);
    const Variant failed = call("NcFile", {text(noLevels)});
    EXPECT_EQ(failed.type(), Variant::Type::kInteger);
    EXPECT_EQ(failed.toLong(), -1);
    EXPECT_EQ(error(), "[NcFile] No vertical coordinate in " + noLevels);

    EXPECT_EQ(open(dir.file("absent.nc")), -1);
    EXPECT_NE(error().find("No such file"), std::string::npos) << error();

    // Items, time axis and step are still those of the grid.
    EXPECT_EQ(tyx.Get("NumDrawAbleItems").toLong(), 2);
    EXPECT_EQ(call("ItemName", {Variant(Long{2})}).toString(), "salt");
    EXPECT_EQ(call("AdvanceTime", {Variant(Long{1})}).toLong(), 3);
    // No file of the folder stays open.
    int openFiles = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(e.path(), ec).parent_path() == dir.path()) ++openFiles;
    }
    EXPECT_EQ(openFiles, 0);
}

TEST_F(TyxSectTest, StepsWrapAtBothEndsOfTheTimeAxis) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    struct Step {
        Long by, expected;
    };
    const Step steps[] = {{-1, 3}, {1, 1}, {1, 2}, {-5, 3}, {5, 1}, {0, 1}};
    for (const Step& s : steps)
        EXPECT_EQ(call("AdvanceTime", {Variant(s.by)}).toLong(), s.expected) << s.by;

    call("SetCurrentTime", {Variant(Long{0})});
    EXPECT_EQ(call("AdvanceTime", {Variant(Long{1})}).toLong(), 1);
    call("SetCurrentTime", {Variant(Long{3})});
    EXPECT_EQ(call("AdvanceTime", {Variant(Long{0})}).toLong(), 3);

    // A dataset without a time axis has one step, whatever the one before had.
    GridFile still;
    still.withTime = false;
    ASSERT_EQ(open(writeGridFile(dir, "still.nc", still)), 1) << error();
    EXPECT_EQ(call("AdvanceTime", {Variant(Long{-1})}).toLong(), 1);
    EXPECT_EQ(call("AdvanceTime", {Variant(Long{2})}).toLong(), 1);
}

TEST_F(TyxSectTest, ChoosingTheItem) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    EXPECT_EQ(call("SetVarByName", {text("SALT")}).toLong(), 1);
    EXPECT_EQ(call("SetVarByOrder", {Variant(Long{1})}).toLong(), 1);

    const Variant unknown = call("SetVarByName", {text("ssh")});
    EXPECT_EQ(unknown.type(), Variant::Type::kInteger);
    EXPECT_EQ(unknown.toLong(), -1);
    EXPECT_EQ(error(), "[SelectVarByName] nc varable not identified");

    // An order out of range says nothing new.
    call("AdvanceTime", {Variant(Long{INT32_MAX})});
    const std::string before = error();
    for (Long order : {0, 3}) {
        EXPECT_EQ(call("SetVarByOrder", {Variant(order)}).toLong(), -1);
        EXPECT_EQ(error(), before);
    }
}

TEST_F(TyxSectTest, TheViewStyleFollowsTheLastSwitch) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    tyx.Let("DrawProfile", Variant(true));
    tyx.Let("DrawVerticalSection", Variant(true));
    EXPECT_EQ(tyx.Get("DrawVerticalSection").toLong(), -1);
    EXPECT_EQ(tyx.Get("DrawProfile").toLong(), 0);
    tyx.Let("DrawVerticalSection", Variant(true));
    tyx.Let("DrawProfile", Variant(true));
    EXPECT_EQ(tyx.Get("DrawProfile").toLong(), -1);
    tyx.Let("DrawProfile", Variant(false));
    EXPECT_EQ(tyx.Get("DrawVerticalSection").toLong(), -1);
    tyx.Let("DrawVerticalSection", Variant(Long{0}));
    EXPECT_EQ(tyx.Get("DrawProfile").toLong(), -1);
}

TEST_F(TyxSectTest, TheColourKeyColoursOnlyWithDivisions) {
    tyx.Let("UseColorKey", Variant(true));
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), 0);
    call("NewColorKey");
    call("AddColorKey", {Variant(0.0f), Variant(3.0f), Variant(Long{0xBD0000})});
    tyx.Let("UseColorKey", Variant(true));
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), -1);
    tyx.Let("UseColorKey", Variant(false));
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), 0);

    // A key that a failed read left without divisions grows again from none.
    EXPECT_EQ(call("KewFile", {text(dir.file("none.kew"))}).toLong(), -1);
    tyx.Let("UseColorKey", Variant(true));
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), 0);
    call("AddColorKey", {Variant(0.0f), Variant(3.0f), Variant(Long{0xBD0000})});
    tyx.Let("UseColorKey", Variant(true));
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), -1);
}

namespace {

// A colour of its own for each value: a key whose divisions hold one value each.
Long colourOf(Long value) {
    return 0x010000 + value;
}

// The values of temp in the grid file at step t, level k, cell (i, j), all from 1.
Long tempAt(Long t, Long k, Long i, Long j) {
    return 1000 * (t - 1) + 100 * (k - 1) + 10 * (j - 1) + (i - 1);
}

} // namespace

// Key divisions for every value of temp at step t in the cells given.
void keyOfValues(LateBound& tyx, Long t, const std::vector<std::pair<Long, Long>>& cells) {
    tyx.Call("NewColorKey");
    for (Long k = 1; k <= 4; ++k)
        for (const auto& c : cells) {
            const Long v = tempAt(t, k, c.first, c.second);
            tyx.Call("AddColorKey", {Variant(static_cast<float>(v) - 0.5f),
                                     Variant(static_cast<float>(v) + 0.5f), Variant(colourOf(v))});
        }
    tyx.Let("UseColorKey", Variant(true));
}

TEST_F(TyxSectTest, NothingIsDrawnWithoutASectionOfTheDataset) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    const Variant drawn = call("Draw");
    EXPECT_EQ(drawn.type(), Variant::Type::kInteger);
    EXPECT_EQ(drawn.toLong(), -1);
    EXPECT_EQ(error(), "[Draw] No section of this dataset: EndSection has not made one");
    call("SetCurrentTime", {Variant(Long{2})});
    EXPECT_EQ(error(), "[SetCurrentTime] No section of this dataset: EndSection has not made one");

    // A grid whose latitudes run from north to south cannot be walked.
    GridFile southward;
    southward.descendingLat = true;
    ASSERT_EQ(open(writeGridFile(dir, "south.nc", southward)), 1);
    EXPECT_EQ(section({{100, -1}, {130, -9}}), -1);
    EXPECT_EQ(error(), "[Set_cell_Section] ncf.dlon <= 0 Or ncf.dlat <= 0");
    EXPECT_EQ(call("Draw").toLong(), -1);

    // A section stays with datasets of its grid, and only with them.
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    ASSERT_EQ(section({{102, -9}, {132, 4}}), 1) << error();
    EXPECT_TRUE(call("Draw").IsEmpty()) << error();
    ASSERT_EQ(open(writeGridFile(dir, "again.nc")), 1);
    EXPECT_TRUE(call("Draw").IsEmpty()) << error();
    ASSERT_EQ(open(writeGridFile(dir, "south.nc", southward)), 1);
    EXPECT_EQ(call("Draw").toLong(), -1);
    EXPECT_EQ(error(), "[Draw] The section does not fit this dataset's grid: EndSection must "
                       "make it again");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(TyxSectTest, ASectionAlongADiagonalPath) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    // Three samples per ten degrees of the grid and the end point, each in the cell whose
    // centre is nearest: the cells along the straight line, up to that of the last vertex.
    ASSERT_EQ(section({{102, -9}, {132, 4}}), 1) << error();
    const std::vector<std::pair<Long, Long>> cells = {{1, 1}, {2, 1}, {2, 2},
                                                      {3, 2}, {3, 3}, {4, 3}};
    keyOfValues(tyx, 1, cells);
    recordPictures();
    const Variant drawn = call("Draw");
    EXPECT_TRUE(drawn.IsEmpty()) << error();

    // The value of each level colours the band down to the next, the last one's band as thick
    // as the layer above it: 4 bands of 6 cells, west to east, then the key's legend.
    const std::vector<Drawn> boxes = recordsOf("picSection", "FilledBox");
    ASSERT_GE(boxes.size(), 24u);
    for (Long k = 1; k <= 4; ++k)
        for (Long m = 1; m <= 6; ++m) {
            const Drawn& b = boxes[static_cast<std::size_t>((k - 1) * 6 + m - 1)];
            const auto& c = cells[static_cast<std::size_t>(m - 1)];
            EXPECT_EQ(b.color, colourOf(tempAt(1, k, c.first, c.second))) << k << " " << m;
            if (m > 1) {
                const Drawn& before = boxes[static_cast<std::size_t>((k - 1) * 6 + m - 2)];
                EXPECT_FLOAT_EQ(b.at[0], before.at[2]);
            }
        }
    // Level 2's band lies below level 1's.
    EXPECT_FLOAT_EQ(boxes[6].at[1], boxes[0].at[3]);
    EXPECT_EQ(boxes.size(), 24u + 24u);

    // Distance along the path through the cells' centres, about 4400 km: NiceStep2 is 500.
    const std::vector<std::string> texts = printed("picSection");
    auto has = [&](const std::string& t) {
        return std::find(texts.begin(), texts.end(), t) != texts.end();
    };
    EXPECT_TRUE(has("0 km"));
    EXPECT_TRUE(has("4000"));
    EXPECT_FALSE(has("4500"));
    // Depth to 90 m (the 60 m level's band 30 m thick) in steps of 10.
    EXPECT_TRUE(has("0 m"));
    EXPECT_TRUE(has("90"));
    EXPECT_FALSE(has("100"));
    // Header lines.
    EXPECT_TRUE(has("Data Set: grid.nc"));
    EXPECT_TRUE(has("a small model run"));
    EXPECT_TRUE(has("sea water temperature [degC]"));
    EXPECT_EQ(printed("picDateTime"), std::vector<std::string>{"Date/Time: 1990-01-01"});
    // The key's legend, the last division on top.
    EXPECT_TRUE(has("322.5 - 323.5"));

    // The visible picture is the three layers combined.
    const std::vector<Drawn> composed = records("Picture1");
    ASSERT_EQ(composed.size(), 4u);
    EXPECT_EQ(composed[0].kind, "Cls");
    for (std::size_t n = 1; n < 4; ++n)
        EXPECT_EQ(composed[n].kind, "BitBlt");
    const QImage view = image("Picture1");
    ASSERT_EQ(view.size(), QSize(640, 480));
    const Drawn& first = boxes[0];
    EXPECT_EQ(RgbAt(view, static_cast<int>((first.at[0] + first.at[2]) / 2),
                    static_cast<int>((first.at[1] + first.at[3]) / 2)),
              colourOf(0));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(TyxSectTest, OneRowAndOneColumnReadAndDrawnInGridOrder) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    // Along latitude -10, drawn from east to west: the section runs west to east.
    ASSERT_EQ(section({{123, -9}, {102, -9}}), 1) << error();
    keyOfValues(tyx, 1, {{1, 1}, {2, 1}, {3, 1}});
    recordPictures();
    EXPECT_TRUE(call("Draw").IsEmpty()) << error();
    std::vector<Drawn> boxes = recordsOf("picSection", "FilledBox");
    ASSERT_GE(boxes.size(), 3u);
    for (Long i = 1; i <= 3; ++i)
        EXPECT_EQ(boxes[static_cast<std::size_t>(i - 1)].color, colourOf(tempAt(1, 1, i, 1)));
    std::vector<std::string> texts = printed("picSection");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Longitude (deg) Along Constant Latitude= 9S"),
              texts.end());
    // Whole degrees between the first and the last cell, evenly apart, from 100E on.
    std::vector<Long> ticks;
    for (const std::string& t : texts)
        if (t.size() > 1 && t.back() == 'E' && t.find(' ') == std::string::npos)
            ticks.push_back(std::stol(t));
    ASSERT_GE(ticks.size(), 3u);
    EXPECT_EQ(ticks.front(), 100);
    for (std::size_t n = 2; n < ticks.size(); ++n)
        EXPECT_EQ(ticks[n] - ticks[n - 1], ticks[1] - ticks[0]);
    EXPECT_LE(ticks.back(), 120);

    // Along longitude 110, from north to south: south to north. Five degrees of latitude on an
    // axis with room for more labels: ticks a degree apart.
    ASSERT_EQ(section({{112, -4}, {112, -9}}), 1) << error();
    keyOfValues(tyx, 1, {{2, 1}, {2, 2}});
    recordPictures();
    EXPECT_TRUE(call("Draw").IsEmpty()) << error();
    boxes = recordsOf("picSection", "FilledBox");
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].color, colourOf(tempAt(1, 1, 2, 1)));
    EXPECT_EQ(boxes[1].color, colourOf(tempAt(1, 1, 2, 2)));
    texts = printed("picSection");
    EXPECT_NE(
        std::find(texts.begin(), texts.end(), "Latitude (deg) Along Constant Longitude= 112E"),
        texts.end());
    std::vector<std::string> latitudes;
    for (const std::string& t : texts)
        if (t.size() > 1 && t.back() == 'S' && t.find(' ') == std::string::npos)
            latitudes.push_back(t);
    EXPECT_EQ(latitudes, (std::vector<std::string>{"10S", "9S", "8S", "7S", "6S", "5S"}));
}

TEST_F(TyxSectTest, ProfilesInAPanelForEachPoint) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    // Cells (1,1), (2,1), (3,1), (3,2): values 0 to 312 at step 1, so the item spans 0 to 312.
    ASSERT_EQ(section({{102, -9}, {123, -9}, {123, -4}}), 1) << error();
    tyx.Let("DrawProfile", Variant(true));
    recordPictures();
    EXPECT_TRUE(call("Draw").IsEmpty()) << error();

    const std::vector<Drawn> frames = recordsOf("picSection", "Box");
    ASSERT_EQ(frames.size(), 3u);
    std::vector<Drawn> curves;
    for (const Drawn& l : recordsOf("picSection", "Line"))
        if (l.drawWidth == 2) curves.push_back(l);
    ASSERT_EQ(curves.size(), 3u * 3u);
    const std::vector<std::pair<Long, Long>> cells = {{1, 1}, {3, 1}, {3, 2}};
    const std::vector<double> depths = {5, 15, 30, 60};
    for (std::size_t p = 0; p < 3; ++p) {
        const Drawn& f = frames[p];
        const double px = f.at[0], py = f.at[1], w = f.at[2] - f.at[0], h = f.at[3] - f.at[1];
        if (p > 0) {
            EXPECT_GT(px, frames[p - 1].at[2]); // side by side
        }
        // The point's values against depth: 0 on the left edge, 312 on the right, depth 0 at
        // the top and the last level (60) at the bottom.
        for (std::size_t n = 0; n < 3; ++n) {
            const Drawn& l = curves[p * 3 + n];
            EXPECT_EQ(l.color, 0xFF0000); // light blue
            for (std::size_t e = 0; e < 2; ++e) {
                const double value =
                    tempAt(1, static_cast<Long>(n + e + 1), cells[p].first, cells[p].second);
                EXPECT_NEAR(l.at[2 * e], px + value * w / 312, 0.01) << p << " " << n;
                EXPECT_NEAR(l.at[2 * e + 1], py + depths[n + e] * h / 60, 0.01) << p << " " << n;
            }
        }
    }
    // Each point's label above its panel; the depths right of the last panel only.
    const std::vector<Drawn> texts = recordsOf("picSection", "Print");
    const std::vector<std::string> labels = {"100.00E/10.00S", "120.00E/10.00S", "120.00E/5.00S"};
    for (std::size_t p = 0; p < 3; ++p) {
        const auto it = std::find_if(texts.begin(), texts.end(),
                                     [&](const Drawn& d) { return d.text == labels[p]; });
        ASSERT_NE(it, texts.end()) << labels[p];
        EXPECT_LT(it->at[1], frames[p].at[1]);
        EXPECT_GT(it->at[0], frames[p].at[0]);
        EXPECT_LT(it->at[0], frames[p].at[2]);
    }
    Long depthLabels = 0;
    for (const Drawn& d : texts)
        if (d.text == " 60") {
            ++depthLabels;
            EXPECT_GE(d.at[0], frames[2].at[2]);
        }
    EXPECT_EQ(depthLabels, 1);
    EXPECT_EQ(printed("picDateTime"), std::vector<std::string>{"Date/Time: 1990-01-01"});
    EXPECT_EQ(recordsOf("Picture1", "BitBlt").size(), 2u);
    EXPECT_TRUE(ui.boxes.empty());

    // Back to the section: drawn in black, not in the last curve's colour.
    tyx.Let("DrawVerticalSection", Variant(true));
    recordPictures();
    EXPECT_TRUE(call("ReDraw").IsEmpty()) << error();
    const std::vector<Drawn> axes = recordsOf("picSection", "Line");
    ASSERT_FALSE(axes.empty());
    for (const Drawn& l : axes)
        EXPECT_EQ(l.color, 0);
}

TEST_F(TyxSectTest, TheRampAndItsLegend) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    ASSERT_EQ(section({{102, -9}, {132, 4}}), 1) << error();
    recordPictures();
    ASSERT_TRUE(call("Draw").IsEmpty()) << error();
    // The item's range is that of its first read: 0 to 323; every fifth of fifty boxes
    // labelled.
    std::vector<std::string> labels;
    for (const std::string& t : printed("picSection"))
        if (t.find('.') != std::string::npos && t.find(' ') == std::string::npos &&
            t.find("nc") == std::string::npos)
            labels.push_back(t);
    EXPECT_EQ(labels, (std::vector<std::string>{"32.30", "64.60", "96.90", "129.20", "161.50",
                                                "193.80", "226.10", "258.40", "290.70", "323.00"}));
    const std::vector<Drawn> boxes = recordsOf("picSection", "FilledBox");
    ASSERT_EQ(boxes.size(), 24u + 50u);
    // The lowest value lies at the ramp's start (its palest colour: only missing values are
    // white); the deepest band drawn (223) in its red third.
    EXPECT_EQ(boxes[0].color, 245 + 256 * 245 + 65536 * 245);
    EXPECT_EQ(boxes[17].color, 245 + 256 * 228 + 65536 * 228);

    // A constant field spans nothing: every cell takes the ramp's first colour. (salt has no
    // time dimension: it reads the same at every step.)
    ASSERT_EQ(call("SetVarByName", {text("salt")}).toLong(), 1);
    recordPictures();
    ASSERT_TRUE(call("Draw").IsEmpty()) << error();
    const std::vector<Drawn> flat = recordsOf("picSection", "FilledBox");
    ASSERT_GE(flat.size(), 12u);
    for (std::size_t n = 0; n < 12; ++n)
        EXPECT_EQ(flat[n].color, 230 + 256 * 245 + 65536 * 230) << n;
}

TEST_F(TyxSectTest, StepsThroughTime) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    ASSERT_EQ(section({{123, -9}, {102, -9}}), 1) << error();
    call("NewColorKey");
    for (Long t = 1; t <= 3; ++t)
        for (Long k = 1; k <= 4; ++k)
            for (Long i = 1; i <= 3; ++i) {
                const Long v = tempAt(t, k, i, 1);
                call("AddColorKey", {Variant(static_cast<float>(v) - 0.5f),
                                     Variant(static_cast<float>(v) + 0.5f), Variant(colourOf(v))});
            }
    tyx.Let("UseColorKey", Variant(true));

    struct Step {
        const char* how;
        std::function<void()> act;
        Long t;
        const char* date;
    };
    const Step steps[] = {
        {"AdvanceTime 1", [&] { call("AdvanceTime", {Variant(Long{1})}); }, 2,
         "Date/Time: 1990-02-01"},
        {"SetCurrentTime 3", [&] { call("SetCurrentTime", {Variant(Long{3})}); }, 3,
         "Date/Time: 1990-03-01"},
        {"AdvanceTime 1 past the end", [&] { call("AdvanceTime", {Variant(Long{1})}); }, 1,
         "Date/Time: 1990-01-01"},
        {"AdvanceTime -1 before the start", [&] { call("AdvanceTime", {Variant(Long{-1})}); }, 3,
         "Date/Time: 1990-03-01"},
    };
    for (const Step& s : steps) {
        recordPictures();
        s.act();
        const std::vector<Drawn> boxes = recordsOf("picSection", "FilledBox");
        ASSERT_GE(boxes.size(), 3u) << s.how;
        EXPECT_EQ(boxes[0].color, colourOf(tempAt(s.t, 1, 1, 1))) << s.how;
        EXPECT_EQ(boxes[2].color, colourOf(tempAt(s.t, 1, 3, 1))) << s.how;
        EXPECT_EQ(printed("picDateTime"), std::vector<std::string>{s.date}) << s.how;
    }

    // A step beyond the axis fails to read: the values held are drawn again.
    recordPictures();
    call("SetCurrentTime", {Variant(Long{7})});
    EXPECT_NE(error().find("nvar, tcount= 5 12\n"), std::string::npos) << error();
    EXPECT_NE(error().find("start, count, stride = 6 1 1\n"), std::string::npos) << error();
    const std::vector<Drawn> held = recordsOf("picSection", "FilledBox");
    ASSERT_GE(held.size(), 3u);
    EXPECT_EQ(held[0].color, colourOf(tempAt(3, 1, 1, 1)));
    EXPECT_EQ(printed("picDateTime"), std::vector<std::string>{"Date/Time: 1990-03-01"});
    EXPECT_EQ(call("Draw").toLong(), -1);
}

TEST_F(TyxSectTest, AResizeDrawsAgainFromTheValuesHeld) {
    const std::string path = writeGridFile(dir, "grid.nc");
    ASSERT_EQ(open(path), 1);
    ASSERT_EQ(section({{123, -9}, {102, -9}}), 1) << error();
    ASSERT_TRUE(call("Draw").IsEmpty()) << error();
    // Nothing is read again: the file may go.
    std::filesystem::remove(path);
    const std::string before = error();
    recordPictures();
    control()->resize(500, 300);
    EXPECT_EQ(image("Picture1").size(), QSize(500, 300));
    EXPECT_EQ(image("picSection").size(), QSize(500, 300));
    EXPECT_EQ(recordsOf("picSection", "FilledBox").size(), 12u + 50u);
    EXPECT_EQ(recordsOf("Picture1", "BitBlt").size(), 3u);
    EXPECT_EQ(error(), before);
    EXPECT_TRUE(call("ReDraw").IsEmpty());
}

TEST_F(TyxSectTest, AResizeWhileDrawingWaitsForTheDrawingToEnd) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    ASSERT_EQ(section({{123, -9}, {102, -9}}), 1) << error();
    recordPictures();
    // The window system delivers a new size while the drawing lets events run.
    ui.onDoEvents = [&] { control()->resize(400, 300); };
    ASSERT_TRUE(call("Draw").IsEmpty()) << error();

    // Two whole drawings one after the other, the second at the new size.
    const std::vector<Drawn> log = records("picSection");
    std::vector<std::size_t> clears;
    for (std::size_t n = 0; n < log.size(); ++n)
        if (log[n].kind == "Cls") clears.push_back(n);
    ASSERT_EQ(clears.size(), 2u);
    auto cellsBetween = [](const std::vector<Drawn>& l, std::size_t from, std::size_t to) {
        int count = 0;
        for (std::size_t n = from; n < to; ++n)
            count += l[n].kind == "FilledBox";
        return count;
    };
    EXPECT_EQ(cellsBetween(log, clears[0], clears[1]), 12 + 50);
    EXPECT_EQ(cellsBetween(log, clears[1], log.size()), 12 + 50);
    EXPECT_EQ(recordsOf("Picture1", "BitBlt").size(), 6u);
    EXPECT_EQ(image("Picture1").size(), QSize(400, 300));

    // A host that steps on while events run draws inside the drawing; a resize after that
    // still waits for the outer drawing to end.
    recordPictures();
    ui.onDoEvents = [&] {
        call("AdvanceTime", {Variant(Long{1})});
        control()->resize(500, 350);
    };
    ASSERT_TRUE(call("Draw").IsEmpty()) << error();
    const std::vector<Drawn> nested = records("picSection");
    std::size_t lastClear = 0;
    for (std::size_t n = 0; n < nested.size(); ++n)
        if (nested[n].kind == "Cls") lastClear = n;
    EXPECT_EQ(cellsBetween(nested, 0, nested.size()), 3 * (12 + 50));
    EXPECT_EQ(cellsBetween(nested, lastClear, nested.size()), 12 + 50);
    EXPECT_EQ(image("Picture1").size(), QSize(500, 350));
}

TEST_F(TyxSectTest, ThePictureLogsAreNoMemberOfTheControl) {
    for (const char* name : {"recordPictures", "pictureRecords", "pictureImage"})
        EXPECT_EQ(errorOf([&] { tyx.DispId(name); }), err::NoSuchMember) << name;
}

TEST_F(TyxSectTest, NoErrorLeavesAMember) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    const Variant step = call("AdvanceTime", {Variant(Long{INT32_MAX})});
    EXPECT_EQ(step.toLong(), -1);
    EXPECT_EQ(error(), "[AdvanceTime] Error: 6 Overflow");
    // The control goes on.
    EXPECT_EQ(call("AdvanceTime", {Variant(Long{1})}).toLong(), 2);
}

TEST_F(TyxSectTest, ControlsShareOneState) {
    std::unique_ptr<QWidget> second(factory_->CreateControl(nullptr));
    LateBound other(second.get());
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    EXPECT_EQ(other.Get("NumDrawAbleItems").toLong(), 2);
    other.Call("SetVarByOrder", {Variant(Long{2})});
    EXPECT_EQ(call("AdvanceTime", {Variant(Long{1})}).toLong(), 2);
    EXPECT_EQ(other.Call("AdvanceTime", {Variant(Long{1})}).toLong(), 3);
}

TEST_F(TyxSectTest, OpensADatasetByUrl) {
    const std::string path = writeGridFile(dir, "grid.nc");
    DapServer server(DAPSERVE_PATH, dir.path().string());
    EXPECT_EQ(open(server.url("grid.nc")), 1) << error();
    EXPECT_EQ(tyx.Get("NumDrawAbleItems").toLong(), 2);
    EXPECT_EQ(call("ItemName", {Variant(Long{2})}).toString(), "salt");
    EXPECT_EQ(call("AdvanceTime", {Variant(Long{-1})}).toLong(), 3);

    EXPECT_EQ(open(server.url("absent.nc")), -1);
    EXPECT_NE(error(), "");
    EXPECT_TRUE(ui.boxes.empty());
}

namespace {

// The divisions of one variable of a KEW file, read as the control reads them.
ColorKeyRec keyInFile(const std::string& path, const std::string& name) {
    ColorKeyRec key;
    if (!ReadKewKey(path, name, key)) key.count = -1;
    return key;
}

} // namespace

TEST_F(TyxSectTest, KewFileReadsTheKeyOfTheCurrentItem) {
    const std::string grid = writeGridFile(dir, "grid.nc");
    ASSERT_EQ(open(grid), 1);
    const std::string kew = dir.file("keys.kew");
    std::ofstream(kew) << "<?xml version=\"1.0\"?><section><variable name=\"salt\"><division>"
                          "<low>30</low><high>31</high><color>255</color></division></variable>"
                          "<variable name=\"temp\"><division><low>0</low><high>5</high>"
                          "<color>65280</color></division></variable></section>";
    const Variant read = call("KewFile", {text(kew)});
    EXPECT_EQ(read.type(), Variant::Type::kInteger);
    EXPECT_EQ(read.toLong(), 1);
    tyx.Let("UseColorKey", Variant(true));
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), -1);

    // No file, or no key of the item: -1 without a word, as the host expects.
    call("SetVarByName", {text("ssh")}); // leaves a message behind
    const std::string before = error();
    EXPECT_EQ(call("KewFile", {text(dir.file("none.kew"))}).toLong(), -1);
    tyx.Let("UseColorKey", Variant(true)); // the key has no divisions left
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), 0);
    std::ofstream(kew) << "<section><variable name=\"other\"/></section>";
    EXPECT_EQ(call("KewFile", {text(kew)}).toLong(), -1);
    EXPECT_EQ(error(), before);
    EXPECT_TRUE(ui.boxes.empty());

    // A file that cannot be read is shown in the control's box.
    std::ofstream(kew) << "<section><variable name=\"temp\"><division><low>1</low></division>"
                          "</variable></section>";
    EXPECT_EQ(call("KewFile", {text(kew)}).toLong(), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Error 91: Object variable or With block variable not set\r\nModColor GetKewCol0");
    EXPECT_EQ(ui.boxes[0].title, "Error creating section view");
    EXPECT_EQ(error(), before);
}

TEST_F(TyxSectTest, InitColorKeyReadsTheKeyOrMakesAndKeepsOne) {
    call("InitColorKey", {text(dir.file("grid.KEW"))});
    EXPECT_EQ(error(), "[InitColorKey] No item to make a colour key for: NcFile has not opened "
                       "a dataset");

    const std::string grid = writeGridFile(dir, "grid.nc");
    ASSERT_EQ(open(grid), 1);
    const std::string kew = dir.file("grid.KEW");
    // No section yet, so no values: no key is made of nothing, and nothing is written.
    call("InitColorKey", {text(dir.file("absent.KEW"))});
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), 0);
    EXPECT_EQ(error(), "[InitColorKey] No values along the section to make a colour key of");
    EXPECT_FALSE(std::filesystem::exists(kew));

    // No file: ten divisions in random colours over the values along the section (temp from
    // 0 to 323 at the first step), kept beside the dataset.
    ASSERT_EQ(section({{102, -9}, {132, 4}}), 1) << error();
    call("InitColorKey", {text(dir.file("absent.KEW"))});
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), -1);
    const ColorKeyRec made = keyInFile(kew, "temp");
    ASSERT_EQ(made.count, 10);
    EXPECT_FLOAT_EQ(made.low(1), 0);
    EXPECT_NEAR(made.high(10), 322, 1);
    for (Long i = 1; i <= 10; ++i) {
        EXPECT_LT(made.low(i), made.high(i));
        EXPECT_GE(made.color(i), 0);
        EXPECT_LE(made.color(i), 0xFFFFFF);
    }
    EXPECT_TRUE(ui.boxes.empty());

    // A key held stays, and nothing is written.
    const std::string written = fileText(kew);
    call("InitColorKey", {text(dir.file("absent.KEW"))});
    EXPECT_EQ(fileText(kew), written);

    // Without a key, the file's key is read, and again nothing is written.
    call("NewColorKey");
    tyx.Let("UseColorKey", Variant(false));
    std::ofstream(kew) << "<section><variable name=\"temp\"><division><low>1</low><high>2</high>"
                          "<color>3</color></division></variable></section>";
    call("InitColorKey", {text(kew)});
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), -1);
    EXPECT_EQ(keyInFile(kew, "temp").count, 1);

    // A key that a failed read left is no key either.
    EXPECT_EQ(call("KewFile", {text(dir.file("absent.KEW"))}).toLong(), -1);
    call("InitColorKey", {text(kew)});
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), -1);

    // The user's key in the dataset's own file is taken, never replaced, whatever file is
    // given; so is a key of the item that holds no span (it is not written over either).
    for (const char* userKey :
         {"<low>1</low><high>2</high><color>3</color>", "<low>0</low><high>0</high><color>0</color>"}) {
        SCOPED_TRACE(userKey);
        std::ofstream(kew) << std::string("<section><variable name=\"temp\"><division>") +
                                  userKey + "</division></variable></section>";
        const std::string before = fileText(kew);
        call("NewColorKey");
        call("InitColorKey", {text(dir.file("absent.KEW"))});
        EXPECT_EQ(fileText(kew), before);
        EXPECT_EQ(tyx.Get("UseColorKey").toLong(), -1);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(TyxSectTest, TheKeysOfADatasetByUrlStayBesideTheSettings) {
    writeGridFile(dir, "grid.nc");
    std::filesystem::create_directory(dir.path() / "cfg");
    factory_->SetSettingsFile(dir.file("cfg/Pelorin.ini"));
    DapServer server(DAPSERVE_PATH, dir.path().string());
    ASSERT_EQ(open(server.url("grid.nc")), 1) << error();
    ASSERT_EQ(section({{102, -9}, {132, 4}}), 1) << error();
    call("InitColorKey", {text(server.url("grid.KEW"))});
    const std::string kew =
        dir.file("cfg/127_0_0_1_" + std::to_string(server.port()) + "_grid.KEW");
    EXPECT_EQ(keyInFile(kew, "temp").count, 10);
    EXPECT_TRUE(ui.boxes.empty());
    factory_->SetSettingsFile("");
}

namespace {

template <class W> W* dialogControl(QDialog& d, const std::string& name) {
    W* w = d.findChild<W*>(QString::fromStdString(name));
    if (!w) throw std::runtime_error("no control " + name);
    return w;
}

// The options dialog's choice, by option index.
int checkedOption(QDialog& d) {
    for (int i = 0; i < 4; ++i)
        if (dialogControl<QRadioButton>(d, numbered("optViewStyle(", i, ")"))->isChecked())
            return i;
    return -1;
}

void press(QDialog& d, const std::string& name) {
    dialogControl<QAbstractButton>(d, name)->click();
}

} // namespace

TEST_F(TyxSectTest, TheOptionsSwitchTheViewAndCancelPutsItBack) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    std::vector<int> found;
    // A section with contour lines, then separate profiles; OK.
    ui.dialogScripts.push_back([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle().toStdString(), "Section View Options");
        found.push_back(checkedOption(d));
        press(d, "optViewStyle(1)");
        press(d, "optViewStyle(3)");
        EXPECT_EQ(tyx.Get("DrawProfile").toLong(), -1); // at once
        press(d, "cmdOK");
    });
    // The single graph, cancelled.
    ui.dialogScripts.push_back([&](QDialog& d) {
        found.push_back(checkedOption(d));
        press(d, "optViewStyle(2)");
        press(d, "optViewStyle(0)");
        press(d, "cmdCancel");
    });
    call("ShowOptions");
    call("ShowOptions");
    EXPECT_EQ(tyx.Get("DrawProfile").toLong(), -1);

    // The section again: its contour lines are still on. Closing the window, or Escape, cancels.
    tyx.Let("DrawVerticalSection", Variant(true));
    ui.dialogScripts.push_back([&](QDialog& d) {
        found.push_back(checkedOption(d));
        press(d, "optViewStyle(2)");
    });
    ui.dialogScripts.push_back([&](QDialog& d) {
        found.push_back(checkedOption(d));
        press(d, "optViewStyle(0)");
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&d, &escape);
    });
    ui.dialogScripts.push_back([&](QDialog& d) { found.push_back(checkedOption(d)); });
    call("ShowOptions");
    EXPECT_EQ(tyx.Get("DrawVerticalSection").toLong(), -1);
    call("ShowOptions");
    call("ShowOptions");
    EXPECT_EQ(found, (std::vector<int>{0, 3, 1, 1, 1}));
    EXPECT_EQ(tyx.Get("DrawVerticalSection").toLong(), -1);
    EXPECT_EQ(ui.modalDialogs, 5);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(TyxSectTest, ContourLinesChosenInTheOptionsAreDrawnOnTheSection) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    ASSERT_EQ(section({{102, -9}, {132, 4}}), 1) << error();
    recordPictures();
    ASSERT_TRUE(call("Draw").IsEmpty()) << error();
    // Without the option the contour layer is only cleared.
    for (const Drawn& d : records("picContours"))
        EXPECT_NE(d.kind, "Line");

    ui.dialogScripts.push_back([&](QDialog& d) {
        press(d, "optViewStyle(1)");
        press(d, "cmdOK");
    });
    call("ShowOptions");
    ASSERT_TRUE(call("Draw").IsEmpty()) << error();
    const std::vector<Drawn> lines = recordsOf("picContours", "Line");
    ASSERT_FALSE(lines.empty());
    // The lines lie inside the section's cells and reach the visible picture.
    const std::vector<Drawn> boxes = recordsOf("picSection", "FilledBox");
    ASSERT_GE(boxes.size(), 18u);
    const double left = boxes[0].at[0], top = boxes[0].at[1];
    const double right = boxes[17].at[2], bottom = boxes[17].at[3];
    const QImage view = image("Picture1");
    std::size_t seen = 0;
    for (const Drawn& l : lines) {
        ASSERT_EQ(l.at.size(), 4u);
        for (std::size_t n = 0; n < 4; n += 2) {
            EXPECT_GE(l.at[n], left - 1);
            EXPECT_LE(l.at[n], right + 1);
            EXPECT_GE(l.at[n + 1], top - 1);
            EXPECT_LE(l.at[n + 1], bottom + 1);
        }
        const int x = static_cast<int>(l.at[0]), y = static_cast<int>(l.at[1]);
        if (view.rect().contains(x, y) && RgbAt(view, x, y) == l.color) ++seen;
    }
    EXPECT_GT(seen, 0u);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(TyxSectTest, EditLegendSavesTheEditedKeyBesideTheDataset) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    call("NewColorKey");
    call("AddColorKey", {Variant(0.0f), Variant(5.0f), Variant(Long{255})});
    const std::string kew = dir.file("grid.KEW");

    // The editor cancelled: nothing is written.
    ui.dialogScripts.push_back([&](QDialog& d) {
        press(d, "cmdLegend");
        press(d, "cmdOK");
    });
    ui.dialogScripts.push_back([&](QDialog& editor) {
        EXPECT_EQ(editor.windowTitle().toStdString(), "Edit Legend");
        EXPECT_EQ(dialogControl<QLineEdit>(editor, "fldHighRange(0)")->text().toStdString(), "5");
        dialogControl<QLineEdit>(editor, "fldHighRange(0)")->setText("6");
        press(editor, "cmdCancel");
    });
    call("ShowOptions");
    EXPECT_FALSE(std::filesystem::exists(kew));

    // Edited and kept, even though the options are cancelled afterwards.
    ui.colorAnswers = {Long{0x00FF00}};
    ui.dialogScripts.push_back([&](QDialog& d) {
        press(d, "cmdLegend");
        press(d, "cmdCancel");
    });
    ui.dialogScripts.push_back([&](QDialog& editor) {
        dialogControl<QLineEdit>(editor, "fldHighRange(0)")->setText("4");
        press(editor, "cmdAdd(0)");
        dialogControl<QLineEdit>(editor, "fldLowRange(1)")->setText("4");
        dialogControl<QLineEdit>(editor, "fldHighRange(1)")->setText("8.5");
        press(editor, "lblColor(1)");
        press(editor, "cmdOK");
    });
    call("ShowOptions");
    EXPECT_EQ(fileText(kew), "<?xml version=\"1.0\"?><section><variable name=\"temp\"><division>"
                             "<low>0</low><high>4</high><color>255</color></division><division>"
                             "<low>4</low><high>8.5</high><color>65280</color></division>"
                             "</variable></section>");
    tyx.Let("UseColorKey", Variant(true));
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), -1);
    EXPECT_TRUE(ui.boxes.empty());
}

namespace {

// The y of the first text printed in picture that starts with start; -1 when none is.
float printedAt(const std::vector<Drawn>& log, const std::string& start) {
    for (const Drawn& d : log)
        if (d.kind == "Print" && d.text.rfind(start, 0) == 0) return static_cast<float>(d.at[1]);
    return -1;
}

// A grid of four levels at the values given (in file order, with the attributes given) over
// lat -10..0 by 5 and lon 100..130 by 10; temp(depth, lat, lon) holds the file level, 1 to 4.
std::string levelsFile(const TempDir& dir, const std::string& name,
                       const std::vector<double>& levels, const std::string& positive,
                       const std::string& units) {
    NcBuilder nc(dir.file(name));
    nc.dim("depth", 4);
    nc.dim("lat", 3);
    nc.dim("lon", 4);
    auto& depth = nc.var("depth", NC_DOUBLE, {"depth"});
    depth.att("units", units);
    if (!positive.empty()) depth.att("positive", positive);
    depth.values(levels);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({-10.0, -5.0, 0.0});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({100, 110, 120, 130});
    std::vector<double> temp;
    for (int k = 1; k <= 4; ++k)
        for (int n = 0; n < 12; ++n)
            temp.push_back(k);
    nc.var("temp", NC_FLOAT, {"depth", "lat", "lon"}).att("units", "degC").values(temp);
    return nc.write();
}

} // namespace

// Whatever way a file keeps its levels, the section has the surface side at the top, the levels
// in their order below it, every cell inside the plot (below the header, above the distance
// axis) and ticks on the depth axis labelled with the levels' own unit. Depths start at the
// surface; pressure and dimensionless levels span their own range, the largest pressure at the
// bottom. Every level is seen: the last one's band is as thick as the layer above it.
TEST_F(TyxSectTest, AnyVerticalAxisDrawsTheSurfaceAtTheTop) {
    struct Case {
        const char* what;
        std::vector<double> levels;
        const char* positive;
        const char* units;
        std::vector<Long> bands; // the file level of each band, top down
        const char* firstTick;
        const char* deepestTick;
    };
    const Case cases[] = {
        {"depths down, shallowest first", {5, 15, 30, 60}, "down", "m", {1, 2, 3, 4}, "0 m", "90"},
        {"depths down, deepest first", {60, 30, 15, 5}, "down", "m", {4, 3, 2, 1}, "0 m", "90"},
        {"depths stored negative", {-5, -15, -30, -60}, "", "m", {1, 2, 3, 4}, "0 m", "90"},
        {"heights with positive up", {-60, -30, -15, -5}, "up", "m", {4, 3, 2, 1}, "0 m", "90"},
        {"pressure levels", {1000, 850, 500, 200}, "", "hPa", {4, 3, 2, 1}, "200 hPa", "1100"},
        {"pressure said to be up", {200, 500, 850, 1000}, "up", "hPa", {1, 2, 3, 4}, "200 hPa",
         "1100"},
        {"sigma levels", {-0.125, -0.375, -0.625, -0.875}, "up", "1", {1, 2, 3, 4}, "1", "1"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(open(levelsFile(dir, numbered("axis", ++n, ".nc"), c.levels, c.positive,
                                  c.units)),
                  1)
            << error();
        ASSERT_EQ(section({{100, -5}, {130, -5}}), 1) << error();
        call("NewColorKey");
        for (Long v = 1; v <= 4; ++v)
            call("AddColorKey", {Variant(v - 0.5f), Variant(v + 0.5f), Variant(colourOf(v))});
        tyx.Let("UseColorKey", Variant(true));
        recordPictures();
        ASSERT_TRUE(call("Draw").IsEmpty()) << error();

        const std::vector<Drawn> boxes = recordsOf("picSection", "FilledBox");
        ASSERT_GE(boxes.size(), 16u);
        const std::vector<Drawn> log = records("picSection");
        const float header = printedAt(log, "Data Set: ");
        const float axis = printedAt(log, "Longitude (deg)");
        ASSERT_GE(header, 0);
        ASSERT_GT(axis, 0);
        for (std::size_t b = 0; b < 4; ++b)
            for (std::size_t m = 0; m < 4; ++m) {
                const Drawn& box = boxes[b * 4 + m];
                EXPECT_EQ(box.color, colourOf(c.bands[b])) << b << " " << m;
                // Bands lie top down, and inside the plot.
                EXPECT_LT(box.at[1], box.at[3]);
                EXPECT_GT(box.at[1], header);
                EXPECT_LT(box.at[3], axis);
                if (b > 0) {
                    EXPECT_FLOAT_EQ(box.at[1], boxes[(b - 1) * 4 + m].at[3]);
                }
            }
        // The deepest level's band is as thick as the one above it.
        EXPECT_NEAR(boxes[12].at[3] - boxes[12].at[1], boxes[8].at[3] - boxes[8].at[1], 1e-3);
        const std::vector<std::string> texts = printed("picSection");
        EXPECT_NE(std::find(texts.begin(), texts.end(), c.deepestTick), texts.end())
            << ::testing::PrintToString(texts);
        EXPECT_NE(std::find(texts.begin(), texts.end(), c.firstTick), texts.end())
            << ::testing::PrintToString(texts);
        // No other unit than the levels' own.
        for (const std::string& t : texts)
            EXPECT_TRUE(t.size() < 2 || t.substr(t.size() - 2) != " m" || c.units == std::string("m"))
                << t;
    }
    EXPECT_TRUE(ui.boxes.empty());
}

namespace {

// A global grid of 0..350 by 10 (or -180..170 when west is -180) over lat -10..0 by 5, one
// level pair; temp(depth, lat, lon) holds the longitude.
std::string globalFile(const TempDir& dir, const std::string& name, double west) {
    NcBuilder nc(dir.file(name));
    nc.dim("depth", 2);
    nc.dim("lat", 3);
    nc.dim("lon", 36);
    nc.var("depth", NC_FLOAT, {"depth"}).att("units", "m").values({0.0, 100.0});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({-10.0, -5.0, 0.0});
    std::vector<double> lon, temp;
    for (int i = 0; i < 36; ++i)
        lon.push_back(west + 10 * i);
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values(lon);
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 36; ++i)
                temp.push_back(lon[static_cast<std::size_t>(i)]);
    nc.var("temp", NC_FLOAT, {"depth", "lat", "lon"}).att("units", "degC").values(temp);
    return nc.write();
}

} // namespace

// On a grid round the earth a path takes the shorter way, across the seam, and a path given
// in the other convention of longitudes is placed on the grid; the section reaches the cell of
// its last vertex, and the axis names the path's own latitude.
TEST_F(TyxSectTest, APathAcrossTheSeamOfAGlobalGrid) {
    struct Case {
        const char* what;
        double west;
        std::pair<float, float> from, to;
        std::vector<Long> lons; // of the cells, west to east
        const char* firstTick;
        const char* lastTick;
    };
    const Case cases[] = {
        {"east across the seam", 0, {341, -4}, {9, -4}, {340, 350, 0, 10}, "340E", "10E"},
        {"west across the seam", 0, {9, -4}, {341, -4}, {340, 350, 0, 10}, "340E", "10E"},
        {"-180..180 on a 0..360 grid", 0, {-19, -4}, {9, -4}, {340, 350, 0, 10}, "340E", "10E"},
        {"0..360 on a -180..180 grid", -180, {171, -4}, {199, -4}, {170, -180, -170, -160},
         "170E", "160W"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(open(globalFile(dir, numbered("global", ++n, ".nc"), c.west)), 1) << error();
        ASSERT_EQ(section({c.from, c.to}), 1) << error();
        call("NewColorKey");
        for (int i = 0; i < 36; ++i) {
            const double lon = c.west + 10 * i;
            call("AddColorKey", {Variant(static_cast<float>(lon - 0.5)),
                                 Variant(static_cast<float>(lon + 0.5)),
                                 Variant(colourOf(static_cast<Long>(lon) + 200))});
        }
        tyx.Let("UseColorKey", Variant(true));
        recordPictures();
        ASSERT_TRUE(call("Draw").IsEmpty()) << error();
        const std::vector<Drawn> boxes = recordsOf("picSection", "FilledBox");
        ASSERT_GE(boxes.size(), c.lons.size());
        for (std::size_t m = 0; m < c.lons.size(); ++m)
            EXPECT_EQ(boxes[m].color, colourOf(c.lons[m] + 200)) << m;
        // A band of four cells for each of the two levels, then the key's legend.
        EXPECT_EQ(boxes.size(), 2 * c.lons.size() + 36);
        const std::vector<std::string> texts = printed("picSection");
        auto has = [&](const std::string& t) {
            return std::find(texts.begin(), texts.end(), t) != texts.end();
        };
        EXPECT_TRUE(has(c.firstTick)) << ::testing::PrintToString(texts);
        EXPECT_TRUE(has(c.lastTick)) << ::testing::PrintToString(texts);
        EXPECT_TRUE(has("Longitude (deg) Along Constant Latitude= 4S"))
            << ::testing::PrintToString(texts);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// Values outside the display range take the nearer end's colour, and each new path widens the
// range where its values leave it: a second path with colder water is not white.
TEST_F(TyxSectTest, TheRangeFollowsWhatTheSectionsShow) {
    // temp at step 1 holds 100 k + 10 j + i: the row of lat 0 is warmer than that of lat -10.
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    ASSERT_EQ(section({{100, 0}, {130, 0}}), 1) << error();
    ASSERT_TRUE(call("Draw").IsEmpty()) << error();
    // The cold row at the third step (2000 and more), then the first step again, colder still.
    for (int step : {3, 1}) {
        SCOPED_TRACE(step);
        ASSERT_EQ(section({{100, -10}, {130, -10}}), 1) << error();
        recordPictures();
        call("SetCurrentTime", {Variant(Long{step})});
        const std::vector<Drawn> boxes = recordsOf("picSection", "FilledBox");
        ASSERT_EQ(boxes.size(), 16u + 50u);
        for (std::size_t b = 0; b < 16; ++b)
            EXPECT_NE(boxes[b].color, 0xFFFFFF) << b;
    }
    // The range now spans 0 (lat -10 at the first step) to 2303 (at the third): the legend's
    // labels run from a tenth of the span above 0 to its top.
    const std::vector<std::string> texts = printed("picSection");
    for (const char* label : {"230.30", "2303.00"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end())
            << ::testing::PrintToString(texts);

    // The key's ends colour what lies beyond them; a value in a gap between divisions stays
    // white.
    call("NewColorKey");
    call("AddColorKey", {Variant(100.0f), Variant(200.0f), Variant(Long{0x0000FF})});
    call("AddColorKey", {Variant(300.0f), Variant(400.0f), Variant(Long{0xFF0000})});
    tyx.Let("UseColorKey", Variant(true));
    recordPictures();
    call("SetCurrentTime", {Variant(Long{1})});
    const std::vector<Drawn> boxes = recordsOf("picSection", "FilledBox");
    ASSERT_GE(boxes.size(), 12u);
    // Level 1 (0 .. 3): below the key; level 2 (100 ..): the first division; level 3 (200 ..):
    // in the gap.
    EXPECT_EQ(boxes[0].color, 0x0000FF);
    EXPECT_EQ(boxes[4].color, 0x0000FF);
    EXPECT_EQ(boxes[8].color, 0xFFFFFF);
}

// Without a fill or missing value of its own, a variable's unwritten cells (netCDF's default
// fill of its type) are no values: not drawn, and not in the legend.
TEST_F(TyxSectTest, DefaultFillsAreMissing) {
    NcBuilder nc(dir.file("fills.nc"));
    nc.dim("depth", 3);
    nc.dim("lat", 3);
    nc.dim("lon", 4);
    nc.var("depth", NC_FLOAT, {"depth"}).att("units", "m").values({0.0, 10.0, 20.0});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({-10.0, -5.0, 0.0});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({100, 110, 120, 130});
    // The deepest level of the easternmost column never written.
    std::vector<double> temp, salt;
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 4; ++i) {
                const bool unwritten = k >= 1 && i == 3;
                temp.push_back(unwritten ? static_cast<double>(NC_FILL_FLOAT) : 10 + k);
                salt.push_back(unwritten ? NC_FILL_SHORT : 30 + k);
            }
    nc.var("temp", NC_FLOAT, {"depth", "lat", "lon"}).values(temp);
    nc.var("salt", NC_SHORT, {"depth", "lat", "lon"}).values(salt);
    ASSERT_EQ(open(nc.write()), 1) << error();
    ASSERT_EQ(section({{100, -5}, {130, -5}}), 1) << error();
    for (const char* item : {"temp", "salt"}) {
        SCOPED_TRACE(item);
        ASSERT_EQ(call("SetVarByName", {text(item)}).toLong(), 1);
        recordPictures();
        ASSERT_TRUE(call("Draw").IsEmpty()) << error();
        // Three bands of four cells, the lower two without their eastern cell; the ramp legend.
        EXPECT_EQ(recordsOf("picSection", "FilledBox").size(), 4u + 3u + 3u + 50u);
        for (const std::string& t : printed("picSection"))
            EXPECT_EQ(t.find("e+"), std::string::npos) << t;
    }
}

// A control made smaller than its margins draws no plot, and tells nobody.
TEST_F(TyxSectTest, ATinyControlDrawsNothingAndSaysNothing) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    ASSERT_EQ(section({{102, -9}, {132, 4}}), 1) << error();
    ASSERT_TRUE(call("Draw").IsEmpty()) << error();
    for (const QSize size : {QSize(120, 90), QSize(60, 40), QSize(10, 200), QSize(300, 12),
                             QSize(1, 1)}) {
        SCOPED_TRACE(size.width());
        recordPictures();
        control()->resize(size);
        QApplication::processEvents();
        EXPECT_TRUE(recordsOf("picSection", "FilledBox").empty());
    }
    EXPECT_TRUE(ui.boxes.empty());
    control()->resize(640, 480);
    recordPictures();
    ASSERT_TRUE(call("ReDraw").IsEmpty());
    EXPECT_FALSE(recordsOf("picSection", "FilledBox").empty());

    // The profiles the same: no panel, no curve.
    tyx.Let("DrawProfile", Variant(true));
    for (const QSize size : {QSize(60, 40), QSize(10, 200), QSize(300, 12)}) {
        SCOPED_TRACE(size.width());
        recordPictures();
        control()->resize(size);
        QApplication::processEvents();
        EXPECT_TRUE(recordsOf("picSection", "Box").empty());
        EXPECT_TRUE(recordsOf("picSection", "Line").empty());
    }
    EXPECT_TRUE(ui.boxes.empty());
}
