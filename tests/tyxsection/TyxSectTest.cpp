// The control as a host drives it: the plug-in loaded with QPluginLoader, a control made by
// its factory, and every member called by name through LateBound.
#include "TyxFixture.h"
#include "gui/LateBound.h"
#include "runtime/RuntimeError.h"
#include "tests/support/DapServer.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tyxsection/KewFile.h"
#include "tyxsection/TyxSectionFactory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPluginLoader>
#include <QRadioButton>
#include <QWidget>

#include <climits>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>

namespace {

Variant text(const std::string& s) {
    return Variant(s);
}

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
        control_.reset(factory_->CreateControl(nullptr));
        tyx.setObject(control_.get());
    }
    void TearDown() override {
        // The last control takes the shared state with it: the next test starts afresh.
        control_.reset();
        factory_->SetUi(previousUi_);
    }

    Variant call(const std::string& name, std::vector<Variant> args = {}) {
        return tyx.Call(name, args);
    }
    std::string error() { return tyx.Get("ErrorMessage").toString(); }
    Long open(const std::string& path) { return call("NcFile", {text(path)}).toLong(); }

    static TyxSectionFactory* factory_;
    static std::string loadError_;

    TempDir dir;
    ScriptedUi ui;
    LateBound tyx;

private:
    std::unique_ptr<QWidget> control_;
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

TEST_F(TyxSectTest, NothingIsDrawnWithoutASectionOfTheDataset) {
    ASSERT_EQ(open(writeGridFile(dir, "grid.nc")), 1);
    call("NewSection");
    call("AddSection", {Variant(100.0f), Variant(-10.0f)});
    call("AddSection", {Variant(130.0f), Variant(0.0f)});
    EXPECT_EQ(call("EndSection").toLong(), -1);
    const Variant drawn = call("Draw");
    EXPECT_EQ(drawn.toLong(), -1);
    EXPECT_EQ(error(), "[Draw] No section of this dataset: EndSection has not made one");
    call("SetCurrentTime", {Variant(Long{2})});
    EXPECT_EQ(error(), "[SetCurrentTime] No section of this dataset: EndSection has not made one");
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
    // No file: ten divisions in random colours, kept beside the dataset.
    call("InitColorKey", {text(dir.file("absent.KEW"))});
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), -1);
    const ColorKeyRec made = keyInFile(kew, "temp");
    ASSERT_EQ(made.count, 10);
    for (Long i = 1; i <= 10; ++i) {
        EXPECT_LE(made.low(i), made.high(i));
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
}

TEST_F(TyxSectTest, TheKeysOfADatasetByUrlStayBesideTheSettings) {
    writeGridFile(dir, "grid.nc");
    std::filesystem::create_directory(dir.path() / "cfg");
    factory_->SetSettingsFile(dir.file("cfg/Pelorin.ini"));
    DapServer server(DAPSERVE_PATH, dir.path().string());
    ASSERT_EQ(open(server.url("grid.nc")), 1) << error();
    call("InitColorKey", {text(server.url("grid.KEW"))});
    const std::string kew =
        dir.file("cfg/127_0_0_1_" + std::to_string(server.port()) + "_grid.KEW");
    EXPECT_EQ(keyInFile(kew, "temp").count, 10);
    EXPECT_TRUE(ui.boxes.empty());
    factory_->SetSettingsFile("");
}

namespace {

template <class W> W* control(QDialog& d, const std::string& name) {
    W* w = d.findChild<W*>(QString::fromStdString(name));
    if (!w) throw std::runtime_error("no control " + name);
    return w;
}

// The options dialog's choice, by option index.
int checkedOption(QDialog& d) {
    for (int i = 0; i < 4; ++i)
        if (control<QRadioButton>(d, numbered("optViewStyle(", i, ")"))->isChecked()) return i;
    return -1;
}

void press(QDialog& d, const std::string& name) {
    control<QAbstractButton>(d, name)->click();
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
        EXPECT_EQ(control<QLineEdit>(editor, "fldHighRange(0)")->text().toStdString(), "5");
        control<QLineEdit>(editor, "fldHighRange(0)")->setText("6");
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
        control<QLineEdit>(editor, "fldHighRange(0)")->setText("4");
        press(editor, "cmdAdd(0)");
        control<QLineEdit>(editor, "fldLowRange(1)")->setText("4");
        control<QLineEdit>(editor, "fldHighRange(1)")->setText("8.5");
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
