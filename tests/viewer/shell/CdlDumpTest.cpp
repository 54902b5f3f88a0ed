// The CDL dump: the text of a small dataset line by line, the first word by the name's ending,
// where the file goes and how a failed read or write ends, and how the editor is started.
#include "viewer/shell/CdlDump.h"
#include "tests/viewer/ViewerDatasetFixture.h"

#include "common/Strings.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct Launch {
    std::string program;
    std::vector<std::string> args;
};

class CdlDumpTest : public ViewerDatasetFixture {
protected:
    // The settings live in a folder with blanks in its name: the dump goes there and its
    // path reaches the editor whole.
    CdlDumpTest() : ViewerDatasetFixture("my settings") {}
    void SetUp() override {
        ViewerDatasetFixture::SetUp();
        previousLauncher = SetEditorLauncher(
            [this](const std::string& program, const std::vector<std::string>& args) {
                launches.push_back({program, args});
                return true;
            });
        path = WriteSmallFixture(dir.file("sst.nc"));
        ASSERT_TRUE(NewKelvad());
        ASSERT_EQ(Data.clsNC->Initialize(path), 1) << Data.clsNC->ErrorMessage();
        Opt.URL(0) = path;
    }
    void TearDown() override {
        SetEditorLauncher(previousLauncher);
        ViewerDatasetFixture::TearDown();
    }

    std::string dumpPath() const { return settingsFolder() + "/temp.cdl"; }
    std::string makeEditor() const {
        const std::string editor = dir.file("my editor");
        std::ofstream(editor) << "#!/bin/sh\n";
        return editor;
    }

    std::string path;
    std::vector<Launch> launches;
    ProgramLauncher previousLauncher;
};

TEST_F(CdlDumpTest, DumpOfTheLoadedDatasetBesideTheSettingsFile) {
    EXPECT_EQ(CdlFilePath(), dumpPath());
    ASSERT_EQ(Make_CDL(), 1);
    const std::string expected = "netcdf " + path +
                                 " {\r\n"
                                 "dimensions:\r\n"
                                 "\tlon = 4 ;\r\n"
                                 "\tlat = 3 ;\r\n"
                                 "\ttime = UNLIMITED : // ( 2 currently) ;\r\n"
                                 "variables:\r\n"
                                 "\tfloat lon(lon) ;\r\n"
                                 "\t\tlon:units = \"degrees_east\" ;\r\n"
                                 "\tfloat lat(lat) ;\r\n"
                                 "\t\tlat:units = \"degrees_north\" ;\r\n"
                                 "\tdouble time(time) ;\r\n"
                                 "\t\ttime:units = \"hours since 2000-01-01 00:00:00\" ;\r\n"
                                 "\tshort sst(time, lat, lon) ;\r\n"
                                 "\t\tsst:long_name = \"sea surface temperature\" ;\r\n"
                                 "\t\tsst:scale_factor = \"" +
                                 Data.clsNC->variAttValue(4, 2) +
                                 "\" ;\r\n"
                                 "\t\tsst:valid_range = \"" +
                                 Data.clsNC->variAttValue(4, 3) +
                                 "\" ;\r\n"
                                 "\tfloat h(lat, lon) ;\r\n"
                                 "\tint crs() ;\r\n"
                                 "// global attributes:\r\n"
                                 "\t\t:title = \"small \"quoted\" fixture\" ;\r\n"
                                 "}\r\n";
    EXPECT_EQ(readFile(dumpPath()), expected);
    // Numeric values stand as the wrapper holds them, joined by two blanks.
    EXPECT_NE(Data.clsNC->variAttValue(4, 3).find("500  "), std::string::npos);
    // The header read leaves the loaded datasets open between reads.
    EXPECT_EQ(Data.clsNC->CloseAfterRead(), 0);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CdlDumpTest, FirstWordFollowsTheNamesEnding) {
    const struct {
        const char* name;
        const char* first;
    } cases[] = {{"b.NC", "netcdf "},  {"c.Nc", "netcdf "}, {"d.cdf", "notcdf "},
                 {"e.nc4", "notcdf "}, {"f", "notcdf "},    {"g.xnc", "notcdf "}};
    Long slot = 1;
    for (const auto& c : cases) {
        const std::string p = dir.file(c.name);
        fs::copy_file(path, p);
        ASSERT_EQ(Data.clsNC->Initialize(p), ++slot) << c.name;
        const std::string text = CdlText(slot);
        EXPECT_EQ(text.substr(0, text.find("\r\n")), c.first + p + " {") << c.name;
    }
}

TEST_F(CdlDumpTest, AnObjectWithoutTheMainDatasetWritesTheFrameOnly) {
    // After a failed load the object holds no slot 1, while URL(0) may be readable.
    ASSERT_TRUE(NewKelvad());
    ASSERT_EQ(Make_CDL(), 1);
    EXPECT_EQ(readFile(dumpPath()),
              "notcdf  {\r\ndimensions:\r\nvariables:\r\n// global attributes:\r\n}\r\n");
}

TEST_F(CdlDumpTest, UnreadableHeaderWritesNothingAndSaysNothing) {
    std::ofstream(dumpPath()) << "old";
    Opt.URL(0) = dir.file("missing.nc");
    EXPECT_EQ(Make_CDL(), -1);
    EXPECT_EQ(readFile(dumpPath()), "old");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CdlDumpTest, FailedWriteIsReportedAndLeavesNothingBehind) {
    // A folder where the dump should be: the file cannot be replaced.
    fs::create_directory(dumpPath());
    EXPECT_EQ(Make_CDL(), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.rfind("[Make_CDL] Unable to write " + dumpPath(), 0), 0u)
        << ui.boxes[0].text;
    EXPECT_TRUE(fs::is_directory(dumpPath()));
    EXPECT_EQ(std::distance(fs::directory_iterator(settingsFolder()), {}), 2)
        << "only Pelorin.ini and the folder";
    // The editor is not started for a dump that was not written.
    fs::remove(dumpPath());
    OpenCdlInEditor();
    EXPECT_TRUE(launches.empty());
}

// The dump never replaces an open dataset (the main one, the second file, or the entry whose
// header was just read), whatever spelling or link leads to it.
TEST_F(CdlDumpTest, ADumpFileThatIsAnOpenDatasetIsRefused) {
    const std::string folder = settingsFolder();
    const std::string dump = dumpPath();
    const std::string refused =
        "[Make_CDL] Unable to write " + dump + "\r\nThis file is one of the open datasets.";
    struct Case {
        const char* what;
        std::function<void()> setUp;
    };
    const std::vector<Case> cases = {
        {"main dataset",
         [&] {
             fs::copy_file(path, dump);
             Data.nNcMain = Data.clsNC->Initialize(dump);
         }},
        {"main dataset through a link",
         [&] {
             fs::create_symlink(path, dump);
             Data.nNcMain = 1;
         }},
        {"second file by another spelling",
         [&] {
             fs::copy_file(path, dump);
             Data.nNcMain = 1;
             Data.nNcSecond = Data.clsNC->Initialize(folder + "/./temp.cdl");
         }},
        {"the entry just read",
         [&] {
             fs::copy_file(path, dump);
             Data.nNcMain = 1;
             Opt.URL(0) = folder + "/../my settings/temp.cdl";
         }},
    };
    for (const Case& c : cases) {
        fs::remove(dump);
        Data.nNcMain = Data.nNcSecond = 0;
        Opt.URL(0) = path;
        ui.boxes.clear();
        c.setUp();
        const bool link = fs::is_symlink(dump);
        const std::string before = readFile(dump);
        EXPECT_EQ(Make_CDL(), -1) << c.what;
        ASSERT_EQ(ui.boxes.size(), 1u) << c.what;
        EXPECT_EQ(ui.boxes[0].text, refused) << c.what;
        EXPECT_EQ(readFile(dump), before) << c.what;
        EXPECT_EQ(fs::is_symlink(dump), link) << c.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2) << c.what;
    }
    EXPECT_EQ(readFile(path).substr(0, 3), "CDF");

    // With the datasets elsewhere the dump is written as ever.
    fs::remove(dump);
    Data.nNcMain = 1;
    Data.nNcSecond = 0;
    Opt.URL(0) = path;
    ui.boxes.clear();
    EXPECT_EQ(Make_CDL(), 1);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CdlDumpTest, EditorGetsTheDumpPathAsOneArgument) {
    const std::string editor = makeEditor();
    PutString("NotePad", "FilePath", Opt.IniFile, editor);
    ASSERT_EQ(Make_CDL(), 1);
    OpenCdlInEditor();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].program, editor);
    EXPECT_EQ(launches[0].args, std::vector<std::string>{dumpPath()});
    EXPECT_TRUE(ui.fileDialogs.empty());
    // Two dumps in a row replace the same file and start a second editor.
    ASSERT_EQ(Make_CDL(), 1);
    OpenCdlInEditor();
    EXPECT_EQ(launches.size(), 2u);
}

TEST_F(CdlDumpTest, MissingEditorIsAskedForAndRemembered) {
    PutString("NotePad", "FilePath", Opt.IniFile, dir.file("gone/editor"));
    ASSERT_EQ(Make_CDL(), 1);

    // Cancelled: nothing started, nothing stored.
    ui.fileAnswers.push_back("");
    OpenCdlInEditor();
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    {
        // The box says what it asks for and lists programs, in the folder of the editor gone.
        const FileDialogRequest& req = ui.fileDialogs[0].request;
        EXPECT_NE(req.title.find("text editor"), std::string::npos) << req.title;
        EXPECT_TRUE(req.programsOnly);
        EXPECT_EQ(req.filter, "Programs|*");
        EXPECT_EQ(req.initDir, dir.file("gone"));
        EXPECT_EQ(req.fileName, "editor");
    }
    EXPECT_TRUE(launches.empty());
    EXPECT_EQ(GetString("NotePad", "FilePath", Opt.IniFile), dir.file("gone/editor"));

    // Chosen: stored at once and started on the dump.
    const std::string editor = makeEditor();
    ui.fileAnswers.push_back(editor);
    OpenCdlInEditor();
    EXPECT_EQ(GetString("NotePad", "FilePath", Opt.IniFile), editor);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].program, editor);
}

// With no editor chosen yet the box opens among the programs, proposing no file name.
TEST_F(CdlDumpTest, FirstEditorIsAskedForAmongThePrograms) {
    ASSERT_EQ(Make_CDL(), 1);
    ui.fileAnswers.push_back("");
    OpenCdlInEditor();
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    const FileDialogRequest& req = ui.fileDialogs[0].request;
    EXPECT_EQ(req.initDir, "/usr/bin/");
    EXPECT_EQ(req.fileName, "");
    EXPECT_TRUE(req.programsOnly);
    EXPECT_EQ(GetString("NotePad", "FilePath", Opt.IniFile), "");
}

TEST_F(CdlDumpTest, NoDumpFileStartsNothing) {
    PutString("NotePad", "FilePath", Opt.IniFile, makeEditor());
    OpenCdlInEditor();
    EXPECT_TRUE(launches.empty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CdlDumpTest, EditorThatCannotStartIsReported) {
    PutString("NotePad", "FilePath", Opt.IniFile, makeEditor());
    ASSERT_EQ(Make_CDL(), 1);
    SetEditorLauncher([](const std::string&, const std::vector<std::string>&) { return false; });
    OpenCdlInEditor();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.rfind("[OpenCdlInEditor] Unable to start ", 0), 0u);
}

} // namespace
