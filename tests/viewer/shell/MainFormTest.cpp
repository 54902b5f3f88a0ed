// The main window: its commands, menus and shut-down.
#include "ShellFixture.h"

#include "runtime/RuntimeError.h"
#include "tests/support/EnvScope.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/shell/CdlDump.h"
#include "viewer/shell/Note1.h"
#include "viewer/shell/OrderFrm.h"
#include "viewer/shell/PicForm.h"
#include "viewer/shell/ShortMsg.h"
#include "viewer/shell/Startup.h"
#include "viewer/shell/frmAbout.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <filesystem>

#ifndef PELORIN_SAMPLES_DIR
#error "PELORIN_SAMPLES_DIR: the folder of the sample datasets"
#endif

namespace {

class MainFormTest : public ShellFixture {
protected:
    static std::string sample(const std::string& name) {
        return std::string(PELORIN_SAMPLES_DIR) + "/" + name;
    }
};

TEST_F(MainFormTest, SecondFileNameFromTheEntry) {
    start();
    MainForm& f = mainForm();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"uv.nc", "Vv.nc"},     {"water_u.nc", "water_V.nc"}, {"/d/U_east.nc", "/d/V_east.nc"},
        {"u_up.nc", "u_up.nc"}, {"none.nc", "none.nc"},
    };
    for (const auto& [entry, second] : cases) {
        f.setComboText(entry);
        f.Command3_Click();
        EXPECT_EQ(programText(f.Text3->text()), second) << entry;
    }
}

TEST_F(MainFormTest, ShutDownWritesTheOptionsAndTheListAndEnds) {
    start("[URL List]\nURLfile 0=old entry\nURLfile 1=b.nc\nURLfile 2=A.nc\nURLfile 3=a.nc\n"
          "[parameters]\nShowNote1=1\nShowNote2=4\n");
    MainForm& f = mainForm();
    f.FontArrow_Click();
    f.PolygonFill_Click();
    FormColorForm(); // a loaded colour window is unloaded on the way out
    Opt.URL(0) = "/data/current.nc";

    f.close();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(ini("OptArrowStyle", "parameters"), "108");
    EXPECT_EQ(ini("OptCoastLine", "parameters"), "2");
    EXPECT_EQ(ini("ShowNote1", "parameters"), "1");
    EXPECT_EQ(ini("ShowNote2", "parameters"), "4");
    EXPECT_EQ(ini("ShowNote3", "parameters"), "0");
    EXPECT_EQ(ini("URLfile 0", "URL List"), "/data/current.nc");
    EXPECT_EQ(ini("URLfile 1", "URL List"), "A.nc");
    EXPECT_EQ(ini("URLfile 2", "URL List"), "b.nc");
    EXPECT_EQ(ini("URLfile 3", "URL List"), "");
    EXPECT_FALSE(FormColorLoaded());
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);

    // The glyph arrows survive a restart.
    resetViewer();
    ASSERT_TRUE(Main({}, dir.path().string()));
    EXPECT_EQ(Opt.OptArrowStyle, 108);
    EXPECT_TRUE(mainForm().FontArrow->isChecked());
    EXPECT_TRUE(mainForm().PolygonFill->isChecked());
}

// The map window restored beyond the screen's edge, and the order window opened, come up
// inside the screen and clear of the main window's menus and dataset entry; the main window
// comes back at the place it had at the shut-down.
TEST_F(MainFormTest, WindowsOpenClearOfTheMainControlsAndTheMainWindowComesBack) {
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    // The map window was left 600 pixels left of the screen and at its top; an older settings
    // file holds a main-window record of zeros, which is no place.
    start("[position]\nPic top=0\nPic left=-9000\nPic height=4500\nPic width=6000\n"
          "mai top=0\nmai left=0\nmai width=0\nmai height=0\n");
    MainForm& f = mainForm();
    f.openDataset(sample("regular_global.nc"));
    ASSERT_NE(Data.clsNC, nullptr);
    ui.boxes.clear();
    f.move(room.topLeft());
    QCoreApplication::processEvents();
    const QRect controls = f.controlsArea();
    ASSERT_FALSE(controls.isEmpty());
    for (const QWidget* w : std::initializer_list<const QWidget*>{f.Combo1, f.cmdLoad, f.Text2})
        EXPECT_TRUE(controls.contains(QRect(w->mapToGlobal(QPoint(0, 0)), w->size())));

    PicForm& map = PicFormForm();
    map.show();
    OrderFrm& order = OrderFrmForm();
    order.show();
    QCoreApplication::processEvents();
    for (const QWidget* w : std::initializer_list<const QWidget*>{&map, &order}) {
        SCOPED_TRACE(programText(w->windowTitle()));
        EXPECT_TRUE(room.contains(w->frameGeometry())) << w->x() << "," << w->y();
        EXPECT_FALSE(w->frameGeometry().intersects(controls)) << w->x() << "," << w->y();
    }
    EXPECT_EQ(map.size(), QSize(400, 300));

    // The shut-down keeps the main window's place; the next start puts it back there.
    const QRect place(room.x() + 30, room.y() + 40, f.width() + 20, f.height() + 10);
    f.move(place.topLeft());
    f.resize(place.size());
    QCoreApplication::processEvents();
    f.close();
    EXPECT_EQ(ini("mai left", "position"), std::to_string(place.x() * 15));
    EXPECT_EQ(ini("mai top", "position"), std::to_string(place.y() * 15));
    EXPECT_EQ(ini("mai width", "position"), std::to_string(place.width() * 15));
    EXPECT_EQ(ini("mai height", "position"), std::to_string(place.height() * 15));
    resetViewer();
    ASSERT_TRUE(Main({}, dir.path().string()));
    QCoreApplication::processEvents();
    EXPECT_EQ(QRect(mainForm().pos(), mainForm().size()), place);
}

TEST_F(MainFormTest, AShortEntryIsNotKeptAtShutDown) {
    start("[URL List]\nURLfile 0=kept.nc\nURLfile 1=x.nc\n");
    Opt.URL(0) = "a.nc"; // 4 characters
    Integer cancel = 0;
    mainForm().Form_Unload(cancel);
    EXPECT_EQ(ini("URLfile 0", "URL List"), "kept.nc");
}

TEST_F(MainFormTest, OptionMenusAreRadioGroups) {
    start("[URL List]\nURLfile 1=/local/a.nc\nURLfile 2=http://host/b\nURLfile 3=https://h/c\n");
    MainForm& f = mainForm();

    // "HTTP Only" lists the URLs, whatever their scheme; "Local Only" the files.
    f.httpOnly_Click();
    EXPECT_EQ(Opt.URLFilter, 1);
    EXPECT_TRUE(f.httpOnly->isChecked());
    EXPECT_FALSE(f.Both->isChecked());
    EXPECT_EQ(comboItems(), (std::vector<std::string>{"http://host/b", "https://h/c"}));
    f.LocalOnly_Click();
    EXPECT_EQ(Opt.URLFilter, 2);
    EXPECT_FALSE(f.httpOnly->isChecked());
    EXPECT_EQ(comboItems(), std::vector<std::string>{"/local/a.nc"});
    f.Both_Click();
    EXPECT_EQ(comboItems().size(), 3u);

    f.doShow_Click();
    EXPECT_EQ(Opt.OptShowGrid, 1);
    EXPECT_FALSE(f.Notshow->isChecked());
    f.Notshow_Click();
    EXPECT_EQ(Opt.OptShowGrid, 0);
    EXPECT_EQ(ini("OptShowGrid", "parameters"), ""); // kept in memory only

    f.PolyArrow_Click();
    EXPECT_EQ(Opt.OptArrowStyle, 2);
    EXPECT_TRUE(f.PolyArrow->isChecked());
    EXPECT_FALSE(f.ThinArrow->isChecked());
    EXPECT_FALSE(f.FontArrow->isChecked());
    f.ThinArrow_Click();
    EXPECT_EQ(Opt.OptArrowStyle, 1);

    // Another coastline style lets go of the coastline held; the same one keeps it.
    Coast.CoastCacheFile = Coast.CoastFile;
    f.PolygonFill_Click();
    EXPECT_EQ(Coast.OptCoastLine, 2);
    EXPECT_TRUE(Coast.CoastCacheFile.empty());
    Coast.CoastCacheFile = Coast.CoastFile;
    f.PolygonFill_Click();
    EXPECT_EQ(Coast.CoastCacheFile, Coast.CoastFile);
    f.ThinLine_Click();
    EXPECT_EQ(Coast.OptCoastLine, 1);
    EXPECT_FALSE(f.PolygonFill->isChecked());
    EXPECT_TRUE(Coast.CoastCacheFile.empty());

    f.NoShowMesh_Click();
    EXPECT_EQ(Opt.OptShowMesh, 0);
    EXPECT_EQ(ini("OptShowMesh", "parameters"), "0"); // " 0", trimmed by the reader
    EXPECT_TRUE(f.NoShowMesh->isChecked());
}

TEST_F(MainFormTest, ProjectionSwitchWritesAndReloads) {
    start("[URL List]\nURLfile 1=x.nc\n");
    MainForm& f = mainForm();
    // A coastline held in memory stays held: the drawings apply the projection to it. (The
    // fixture's coastline file is malformed: reading it again would let go of it.)
    Coast.CoastCacheFile = Coast.CoastFile;
    Opt.URL(0) = sample("regular_global.nc");
    f.Marcator_Click();
    EXPECT_EQ(View.Projection, 1);
    EXPECT_EQ(View.LonPeriod, 6.283185f);
    EXPECT_EQ(Coast.CoastCacheFile, Coast.CoastFile);
    EXPECT_EQ(ini("Projection", "parameters"), "1");
    EXPECT_TRUE(f.Marcator->isChecked());
    EXPECT_FALSE(f.Cartesian->isChecked());
    ASSERT_NE(Data.clsNC, nullptr); // reloaded in the new units
    EXPECT_LE(Data.DataExtent.East, 3.2);

    f.Cartesian_Click();
    EXPECT_EQ(View.Projection, 0);
    EXPECT_EQ(View.LonPeriod, 360.0f);
    EXPECT_EQ(ini("Projection", "parameters"), "0");
    EXPECT_GT(Data.DataExtent.East, 10.0);
}

TEST_F(MainFormTest, CommandsThatLoadAreRefusedWhileALoadRuns) {
    start("[URL List]\nURLfile 1=x.nc\n");
    MainForm& f = mainForm();
    f.setComboText("?");
    {
        BusyGuard busy;
        f.cmdLoad_Click();
        f.Marcator_Click();
        f.ShowMesh_Click();
        f.cmdStartEnd_Click();
    }
    EXPECT_TRUE(ui.fileDialogs.empty());
    EXPECT_EQ(View.Projection, 0);
    EXPECT_TRUE(f.Cartesian->isChecked());
    EXPECT_FALSE(f.Marcator->isChecked());
    EXPECT_EQ(Opt.OptShowMesh, 0);
    EXPECT_TRUE(f.NoShowMesh->isChecked());
    EXPECT_EQ(ini("Projection", "parameters"), "");
}

TEST_F(MainFormTest, LoadWithThePlaceholderAsksForAFile) {
    start("");
    MainForm& f = mainForm();
    ASSERT_EQ(f.comboText(), "?");

    // Cancelled: nothing happens.
    f.cmdLoad_Click();
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].request.filter, "NetCDF file(*.nc)|*.nc|All files(*.*)|*.*");
    EXPECT_EQ(Opt.URL(0), "?");
    EXPECT_EQ(Data.clsNC, nullptr);

    // Chosen: remembered, kept as the folder of local files, and loaded.
    const std::string file = sample("regular_global.nc");
    ui.fileAnswers.push_back(file);
    f.cmdLoad_Click();
    EXPECT_EQ(Opt.URL(0), file);
    EXPECT_EQ(f.comboText(), file);
    EXPECT_EQ(ini("local nc", "FilePath"), file);
    EXPECT_EQ(ini("URLfile 1", "URL List"), file);
    EXPECT_EQ(remembered(), std::vector<std::string>{file});
    ASSERT_NE(Data.clsNC, nullptr);
    EXPECT_EQ(Data.nNcMain, 1);
    EXPECT_TRUE(f.Command2[0]->isEnabled());
}

TEST_F(MainFormTest, AnEntryEndingInAnAsteriskOpensTheDialogInItsFolder) {
    start();
    MainForm& f = mainForm();
    f.setComboText("/some/folder/*");
    f.cmdLoad_Click();
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].request.initDir, "/some/folder");
    EXPECT_EQ(ui.fileDialogs[0].request.fileName, "*.NC");

    f.setComboText("/other/x.nc");
    f.cmdBrowse_Click();
    ASSERT_EQ(ui.fileDialogs.size(), 2u);
    EXPECT_EQ(ui.fileDialogs[1].request.initDir, "/other");
    EXPECT_EQ(Data.clsNC, nullptr); // browsing loads nothing

    // A URL has no folder here: the dialog starts at the last local file chosen.
    PutString("local nc", "FilePath", Opt.IniFile, "/local/last.nc");
    for (const char* url : {"dods://host/dir/a.nc", "[mode=dap2]http://host/dir/a.nc"}) {
        ui.fileDialogs.clear();
        f.setComboText(url);
        f.cmdBrowse_Click();
        ASSERT_EQ(ui.fileDialogs.size(), 1u);
        EXPECT_EQ(ui.fileDialogs[0].request.initDir, "/local") << url;
        EXPECT_EQ(ui.fileDialogs[0].request.fileName, "last.nc") << url;
    }
}

TEST_F(MainFormTest, SecondFileRules) {
    start();
    MainForm& f = mainForm();
    const std::string main = sample("regular_global.nc");

    // A second name without a folder is ignored: the main dataset alone is loaded.
    f.setComboText(main);
    f.Text3->setText("b_v.nc");
    f.cmdLoad_Click();
    ASSERT_NE(Data.clsNC, nullptr);
    EXPECT_TRUE(Data.SecondFile.empty());
    EXPECT_TRUE(f.Text3->text().isEmpty());

    // The same name twice loads one dataset.
    f.Text3->setText(qtText(main));
    f.cmdLoad_Click();
    EXPECT_TRUE(Data.SecondFile.empty());

    // Different folders: asked, and No loads nothing.
    ReleaseKelvad();
    ui.boxes.clear();
    f.Text3->setText("/elsewhere/b_v.nc");
    ui.msgBoxAnswers.push_back(kNo);
    f.cmdLoad_Click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    std::string folder = main;
    EXPECT_EQ(ui.boxes[0].text, "URL paths are different:\r\n\r\n" + GetFolderUpper(folder) +
                                    "\r\n/ELSEWHERE\r\n\r\nDo you want to proceed?");
    EXPECT_EQ(ui.boxes[0].style, kYesNo);
    EXPECT_EQ(Data.clsNC, nullptr);
    EXPECT_TRUE(Data.SecondFile.empty());

    // Folders that differ only in case are the same folder: no question, and the second file
    // is taken (here it does not exist, which the loader reports).
    ui.boxes.clear();
    std::string mainFolder = main;
    const std::string upperSecond = GetFolderUpper(mainFolder) + "/stations.nc";
    f.Text3->setText(qtText(upperSecond));
    f.cmdLoad_Click();
    EXPECT_EQ(Data.SecondFile, upperSecond);
    for (const auto& box : ui.boxes)
        EXPECT_EQ(box.text.find("URL paths are different"), std::string::npos);
    ASSERT_NE(Data.clsNC, nullptr);

    // The same folder: both datasets are loaded.
    ui.boxes.clear();
    const std::string second = sample("stations.nc");
    f.Text3->setText(qtText(second));
    f.cmdLoad_Click();
    EXPECT_EQ(Data.SecondFile, second);
    EXPECT_EQ(Data.nNcSecond, 2);
}

TEST_F(MainFormTest, LeavingTheListBoxTakesAnEntryOfFiveCharactersOrMore) {
    start();
    MainForm& f = mainForm();
    Opt.URL(0) = "";
    f.setComboText("a.nc");
    f.Combo1_LostFocus();
    EXPECT_EQ(Opt.URL(0), "");
    f.setComboText("ab.nc");
    f.Combo1_LostFocus();
    EXPECT_EQ(Opt.URL(0), "ab.nc");
    EXPECT_EQ(ini("URLfile 2", "URL List"), "ab.nc");
    EXPECT_EQ(f.comboText(), "ab.nc");
}

TEST_F(MainFormTest, EscOnThePreviewAsksTheAnimationToStop) {
    start();
    mainForm().Picture1_KeyUp(37, 0);
    EXPECT_EQ(Anim.CancelFlag, 0);
    mainForm().Picture1_KeyUp(27, 0);
    EXPECT_EQ(Anim.CancelFlag, -1);
}

// "Edit Ini" opens the settings file in use in the user's own editor (EDITOR here), asking for
// none; an editor that does not start is named in a box; a settings file gone leaves nothing.
TEST_F(MainFormTest, EditIniOpensTheSettingsFileInUseInTheUsersEditor) {
    const std::string bin = (dir.path() / "bin").string();
    std::filesystem::create_directory(bin);
    const std::string editor = bin + "/gedit";
    std::ofstream(editor) << "#!/bin/sh\n";
    std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
    EnvScope env({{"PATH", bin.c_str()}, {"VISUAL", nullptr}, {"EDITOR", "gedit --new-window"}});
    const std::string named = settings("[URL List]\nURLfile 1=x.nc\n", "elsewhere.ini");
    ASSERT_TRUE(Main({named}, dir.path().string()));
    std::vector<std::pair<std::string, std::vector<std::string>>> launches;
    bool starts = true;
    struct LauncherScope {
        ProgramLauncher before;
        ~LauncherScope() { SetEditorLauncher(before); }
    } scope{
        SetEditorLauncher([&](const std::string& program, const std::vector<std::string>& args) {
            launches.push_back({program, args});
            return starts;
        })};
    ui.boxes.clear();
    mainForm().EditIni_Click();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].first, editor);
    EXPECT_EQ(launches[0].second, (std::vector<std::string>{"--new-window", named}));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(ui.fileDialogs.empty());
    EXPECT_TRUE(opened.empty());

    starts = false;
    mainForm().EditIni_Click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[EditIni] Unable to start " + editor + "\r\nto open " + named);
    EXPECT_EQ(ui.boxes[0].title, "Pelorin");

    // Nothing on PATH opens it: said so, and still no file box.
    unsetenv("EDITOR");
    ui.boxes.clear();
    mainForm().EditIni_Click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[EditIni] Unable to start an editor\r\nto open " + named);
    EXPECT_TRUE(ui.fileDialogs.empty());
    EXPECT_EQ(launches.size(), 2u);

    // A settings file gone missing: nothing to edit, nothing said.
    setenv("EDITOR", "gedit", 1);
    std::filesystem::remove(named);
    ui.boxes.clear();
    mainForm().EditIni_Click();
    EXPECT_EQ(launches.size(), 2u);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MainFormTest, PlotShowsTheTipsWhileAskedFor) {
    start();
    MainForm& f = mainForm();
    int shown = 0;
    bool checkIt = true;
    setModalRunner([&](QDialog& d) {
        ++shown;
        auto* note = dynamic_cast<Note1*>(&d);
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(programText(note->windowTitle()), "Picture Box Tips");
        note->Check1->setChecked(checkIt);
        note->Command1->click();
    });
    Opt.URL(0) = "";
    Opt.ShowNote1 = 1;
    f.Command2_Click(0);
    EXPECT_EQ(shown, 0); // no entry, nothing to plot

    Opt.URL(0) = "/data/first.nc";
    f.Command2_Click(0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Opt.ShowNote1, 0); // "Do not show this again"
    f.Command2_Click(1);
    EXPECT_EQ(shown, 1);

    Opt.ShowNote1 = 1;
    checkIt = false;
    f.Command2_Click(1);
    EXPECT_EQ(Opt.ShowNote1, 1);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

} // namespace
