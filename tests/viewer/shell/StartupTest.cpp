// The start-up: finding the settings file, the coastline, the options with their rules, the
// remembered list and the menu marks.
#include "ShellFixture.h"

#include "runtime/Color.h"
#include "tests/viewer/ViewerDatasetFixture.h"
#include "viewer/shell/Startup.h"

#include <QAction>
#include <QPushButton>
#include <filesystem>

namespace {

class StartupTest : public ShellFixture {};

TEST_F(StartupTest, NoSettingsFileShowsOnlyTheMessageTitledWithThePath) {
    EXPECT_FALSE(Main({}, dir.path().string()));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unable to Locate INI file");
    EXPECT_EQ(ui.boxes[0].style, kOkOnly + kCritical);
    EXPECT_EQ(ui.boxes[0].title, dir.file("Pelorin.ini"));
    EXPECT_FALSE(mainFormLoaded());
    EXPECT_TRUE(Opt.IniFile.empty());
    EXPECT_TRUE(ui.fileDialogs.empty());
}

TEST_F(StartupTest, ANamedSettingsFileThatIsMissingIsReportedWithItsPath) {
    const std::string missing = dir.file("other.ini");
    EXPECT_FALSE(Main({missing}, dir.path().string()));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, missing);
    EXPECT_FALSE(std::filesystem::exists(missing)); // nothing is written
}

TEST_F(StartupTest, SettingsBesideTheProgramAreFoundInEitherSpelling) {
    const std::string upper = settings("", "Pelorin.INI");
    EXPECT_EQ(SettingsFileBeside(dir.path().string()), upper);
    ASSERT_TRUE(Main({}, dir.path().string()));
    EXPECT_EQ(Opt.IniFile, upper);

    // With both present the lower-case name wins.
    resetViewer();
    const std::string lower = settings("", "Pelorin.ini");
    EXPECT_EQ(SettingsFileBeside(dir.path().string()), lower);
}

TEST_F(StartupTest, MissingCoastlineWithTheDialogCancelledEndsWithoutAWindow) {
    const std::string path = writeFile("Pelorin.ini", "[coast lines]\ncoastline 1=/no/such.bdm\n");
    const std::string before = readFile(path);
    EXPECT_FALSE(Main({}, dir.path().string()));
    EXPECT_FALSE(mainFormLoaded());
    EXPECT_TRUE(ui.boxes.empty());
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    const FileDialogRequest& req = ui.fileDialogs[0].request;
    EXPECT_EQ(req.initDir, dir.file("coasts"));
    EXPECT_EQ(req.fileName, "WORLD_E.bdm");
    EXPECT_EQ(req.filter, "Coastline bdm file(*.bdm)|*.bdm|All files(*.*)|*.*");
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(Coast.CoastFlag, 0);
}

TEST_F(StartupTest, ACoastlineChosenInTheDialogIsWrittenBackAtOnce) {
    const std::string chosen = writeFile("world.bdm", "coast");
    const std::string path = writeFile("Pelorin.ini", "[parameters]\nProjection=1\n");
    ui.fileAnswers.push_back(chosen);
    ASSERT_TRUE(Main({}, dir.path().string()));
    EXPECT_EQ(Coast.CoastFile, chosen);
    EXPECT_EQ(Coast.CoastFlag, 1);
    EXPECT_EQ(GetString("coastline 1", "coast lines", path), chosen);
    EXPECT_EQ(Coast.CoastColor, QBColor(7));
}

// The command line: a settings file by its ".ini" ending, any other argument (and any URL) a
// dataset that heads the remembered list.
TEST_F(StartupTest, CommandLineRoles) {
    const std::string beside = settings("[URL List]\nURLfile 0=last.nc\nURLfile 1=one.nc\n");
    const std::string named = settings("[URL List]\nURLfile 1=two.nc\n", "mine.Ini");
    const std::string dataset = writeFile("data.nc", "not settings");

    struct Case {
        std::vector<std::string> args;
        std::string iniFile;
        std::vector<std::string> list;
    };
    const std::vector<Case> cases = {
        {{}, beside, {"last.nc", "one.nc"}},
        {{named}, named, {"two.nc"}},
        {{dataset}, beside, {dataset, "one.nc"}},
        {{"\"" + dataset + "\""}, beside, {dataset, "one.nc"}},
        {{dataset, named}, named, {dataset, "two.nc"}},
        // A URL is a dataset whatever its ending.
        {{"dods://host/run.ini"}, beside, {"dods://host/run.ini", "one.nc"}},
        {{"[mode=dap2]http://host/a.INI", named},
         named,
         {"[mode=dap2]http://host/a.INI", "two.nc"}},
    };
    for (const Case& c : cases) {
        resetViewer();
        ui.boxes.clear();
        ASSERT_TRUE(Main(c.args, dir.path().string()));
        EXPECT_EQ(Opt.IniFile, c.iniFile);
        EXPECT_EQ(remembered(), c.list);
        EXPECT_EQ(Opt.URL(0), "");
    }

    // Settings are never written into the dataset, not even by the shut-down.
    const std::string datasetBefore = readFile(dataset);
    resetViewer();
    ASSERT_TRUE(Main({dataset}, dir.path().string()));
    Opt.URL(0) = dataset;
    Integer cancel = 0;
    mainForm().Form_Unload(cancel);
    EXPECT_EQ(readFile(dataset), datasetBefore);
    EXPECT_EQ(GetString("URLfile 0", "URL List", beside), dataset);
}

TEST_F(StartupTest, TheListSkipsEmptyKeysAndTheFirstEntryAndStopsAtKey200) {
    std::string keys = "[URL List]\nURLfile 0=a.nc\nURLfile 1=b.nc\nURLfile 3=a.nc\n"
                       "URLfile 4=A.nc\nURLfile 7=c.nc\nURLfile 200=d.nc\nURLfile 201=e.nc\n";
    settings(keys);
    ASSERT_TRUE(Main({}, dir.path().string()));
    EXPECT_EQ(remembered(), (std::vector<std::string>{"a.nc", "b.nc", "A.nc", "c.nc", "d.nc"}));
    EXPECT_EQ(Opt.nURL, 5);
    EXPECT_EQ(Opt.URL.UBound(), 5);
    EXPECT_EQ(comboItems(), remembered());
}

TEST_F(StartupTest, AnEmptyListShowsTheNoticeAndThePlaceholder) {
    settings();
    ASSERT_TRUE(Main({}, dir.path().string()));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "No initial file or target address exist");
    EXPECT_EQ(Opt.URL(0), "?");
    EXPECT_EQ(comboItems(), std::vector<std::string>{"?"});
    EXPECT_EQ(mainForm().comboText(), "?");
    // The dataset buttons wait for a load.
    EXPECT_FALSE(mainForm().Command1->isEnabled());
    EXPECT_FALSE(mainForm().Command2[0]->isEnabled());
    EXPECT_FALSE(mainForm().Command2[1]->isEnabled());
    EXPECT_FALSE(mainForm().Command4->isEnabled());
}

// The rules of the option keys and the marks they give.
TEST_F(StartupTest, OptionRulesAndMenuMarks) {
    struct Case {
        std::string parameters;
        Long arrow, coast, saveFormat, projection, showGrid, showMesh;
    };
    const std::vector<Case> cases = {
        {"", 1, 1, 1, 0, 0, 0},
        {"OptArrowStyle=2\nOptCoastLine=2\nSaveFormat=9\nProjection=1\n", 2, 2, 9, 1, 0, 0},
        {"OptArrowStyle=108\nOptCoastLine=3\nSaveFormat=0\nOptShowMesh=1\nOptShowGrid=1\n", 108, 1,
         1, 0, 1, 1},
        {"OptArrowStyle=5\nOptCoastLine=-1\nSaveFormat=abc\n", 1, 1, 1, 0, 0, 0},
        {"OptArrowStyle=0\nOptCoastLine= 2.5\nSaveFormat=99999999999\n", 1, 2, 1, 0, 0, 0},
        {"OptArrowStyle=91\nSaveFormat= 3.5\nProjection=1e20\n", 91, 1, 4, 0, 0, 0},
    };
    for (const Case& c : cases) {
        resetViewer();
        settings("[URL List]\nURLfile 1=x.nc\n[parameters]\n" + c.parameters);
        ASSERT_TRUE(Main({}, dir.path().string())) << c.parameters;
        SCOPED_TRACE(c.parameters);
        EXPECT_EQ(Opt.OptArrowStyle, c.arrow);
        EXPECT_EQ(Coast.OptCoastLine, c.coast);
        EXPECT_EQ(Opt.SaveFormat, c.saveFormat);
        EXPECT_EQ(View.Projection, c.projection);
        EXPECT_EQ(Opt.OptShowGrid, c.showGrid);
        EXPECT_EQ(Opt.OptShowMesh, c.showMesh);
        EXPECT_EQ(View.LonPeriod, c.projection == 0 ? 360.0f : 6.283185f);

        MainForm& f = mainForm();
        EXPECT_EQ(f.Marcator->isChecked(), c.projection == 1);
        EXPECT_EQ(f.Cartesian->isChecked(), c.projection != 1);
        EXPECT_EQ(f.ThinArrow->isChecked(), c.arrow == 1);
        EXPECT_EQ(f.PolyArrow->isChecked(), c.arrow == 2);
        EXPECT_EQ(f.FontArrow->isChecked(), c.arrow > 90);
        EXPECT_EQ(f.ThinLine->isChecked(), c.coast == 1);
        EXPECT_EQ(f.PolygonFill->isChecked(), c.coast == 2);
        EXPECT_EQ(f.ShowMesh->isChecked(), c.showMesh != 0);
        EXPECT_EQ(f.NoShowMesh->isChecked(), c.showMesh == 0);
        EXPECT_EQ(f.doShow->isChecked(), c.showGrid != 0);
        EXPECT_EQ(f.Notshow->isChecked(), c.showGrid == 0);
        EXPECT_TRUE(f.Both->isChecked());
        EXPECT_TRUE(f.isVisible());
    }
}

TEST_F(StartupTest, NoticeSwitchesAreReadAndCarried) {
    settings("[parameters]\nShowNote1=1\nShowNote2=7\nShowNote3=-2\n[URL List]\nURLfile 1=x.nc\n");
    ASSERT_TRUE(Main({}, dir.path().string()));
    EXPECT_EQ(Opt.ShowNote1, 1);
    EXPECT_EQ(Opt.ShowNote2, 7);
    EXPECT_EQ(Opt.ShowNote3, -2);
}

} // namespace

namespace {

// Paths are bytes: a dataset whose name is not UTF-8 (Latin-1 "café") opens from wherever
// the user gives it and goes back to the settings file byte for byte.
class NonUtf8PathTest : public ShellFixture {
protected:
    // The shut-down, then the settings file's own bytes.
    std::string shutDownAndRead(const std::string& ini) {
        mainForm().close();
        EXPECT_EQ(ended, 1);
        return readFile(ini);
    }
};

TEST_F(NonUtf8PathTest, OpensAndIsWrittenBackUnchanged) {
    const std::string dataset = dir.file("caf\xe9.nc");
    WriteSmallFixture(dataset);
    const std::string other = dir.file("a.nc"); // sorts before it
    WriteSmallFixture(other);

    enum class From { CommandLine, RememberedList, EntryBox };
    for (const From from : {From::CommandLine, From::RememberedList, From::EntryBox}) {
        const int which = static_cast<int>(from);
        resetViewer();
        ended = 0;
        // Two entries, so that the shut-down's sorting moves the one of interest.
        const std::string ini =
            from == From::RememberedList
                ? settings("[URL List]\nURLfile 1=" + dataset + "\nURLfile 2=" + other + "\n")
                : settings("[URL List]\nURLfile 1=" + other + "\n");
        ASSERT_TRUE(Main(from == From::CommandLine ? std::vector<std::string>{dataset}
                                                   : std::vector<std::string>{},
                         dir.path().string()))
            << which;
        MainForm& f = mainForm();
        if (from == From::EntryBox) {
            f.setComboText(dataset);
            f.Combo1_LostFocus(); // the entry joins the remembered list
        }
        EXPECT_EQ(f.comboText(), dataset) << which;
        EXPECT_EQ(comboItems().front(), from == From::EntryBox ? other : dataset) << which;

        f.cmdLoad->click();
        ASSERT_NE(Data.clsNC, nullptr) << which;
        EXPECT_EQ(Data.clsNC->GridType(1), kGridRegular) << which;
        EXPECT_EQ(Opt.URL(0), dataset) << which;

        const std::string text = shutDownAndRead(ini);
        EXPECT_NE(text.find("\nURLfile 0=" + dataset + "\n"), std::string::npos) << which;
        if (from != From::CommandLine) {
            EXPECT_NE(text.find("\nURLfile 2=" + dataset + "\n"), std::string::npos) << which;
        }
        // No entry in another spelling crept in.
        EXPECT_EQ(text.find("caf\xc3\xa9"), std::string::npos) << which;
    }
}

} // namespace
