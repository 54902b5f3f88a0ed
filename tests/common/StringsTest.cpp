#include "common/Strings.h"
#include "platform/Profile.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "tests/support/Watchdog.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const std::string& path, const std::string& content = "x") {
    std::ofstream(path, std::ios::binary) << content;
}

// Sets a file's modification time to sec seconds and nsec nanoseconds.
void setMtime(const std::string& path, time_t sec, long nsec) {
    struct timespec times[2];
    times[0].tv_sec = sec;
    times[0].tv_nsec = nsec;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPutMessages(); }
    void TearDown() override { ResetPutMessages(); }
    TempDir dir;
    InstalledScriptedUi ui;
};

} // namespace

TEST_F(SettingsTest, PutThenGetRoundTripsAndMissingGivesEmpty) {
    const std::string ini = dir.file("Pelorin.INI");
    EXPECT_EQ(GetString("ShowNote1", "parameters", ini), ""); // no file yet
    PutString("ShowNote1", "parameters", ini, " 1");
    PutString("local nc", "FilePath", ini, "/data/a b.nc");
    EXPECT_EQ(GetString("shownote1", "PARAMETERS", ini), "1"); // the profile trims values
    EXPECT_EQ(GetString("local nc", "FilePath", ini), "/data/a b.nc");
    EXPECT_EQ(GetString("missing", "parameters", ini), "");
    EXPECT_EQ(GetString("ShowNote1", "missing", ini), "");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SettingsTest, GetStringKeepsBytesAsTheyAre) {
    const std::string ini = dir.file("bytes.ini");
    const std::string value = "caf\xe9 \xff\x80";
    PutString("k", "s", ini, value);
    EXPECT_EQ(GetString("k", "s", ini), value);
}

TEST_F(SettingsTest, FailedWriteAsksOncePerFailureUntilYes) {
    const std::string ini = dir.file("no-such-folder/Pelorin.INI");
    ui.msgBoxAnswers = {kNo, kCancel, kYes};

    PutString("vscale", "Scales", ini, " 10");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[PutString] Item not written:\n"
                                "\n"
                                "file   : " +
                                    ini +
                                    "\n"
                                    "section: Scales\n"
                                    "item   : vscale\n"
                                    "value  :  10\n"
                                    "\n"
                                    "Click 'Yes' to suppress further message");
    EXPECT_EQ(ui.boxes[0].style, kYesNoCancel);
    EXPECT_EQ(ui.boxes[0].title, "Pelorin");
    EXPECT_FALSE(PutMessagesSuppressed());

    PutString("vscale", "Scales", ini, " 10"); // Cancel: still asked next time
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_FALSE(PutMessagesSuppressed());

    PutString("top", "zoom", ini, "5"); // Yes: silent from now on
    EXPECT_EQ(ui.boxes.size(), 3u);
    EXPECT_TRUE(PutMessagesSuppressed());

    PutString("left", "zoom", ini, "6");
    PutString("right", "zoom", ini, "7");
    EXPECT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(GetString("top", "zoom", ini), "");
}

TEST(PathParts, FolderOf) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\runs\\model.nc", "C:\\runs"},
        {"/data/run.v2/out.nc", "/data/run.v2"},
        {"a/b\\c.nc", "a/b"},
        {"a\\b/c.nc", "a\\b"},
        {"/x.nc", ""},
        {"model.nc", ""},
        {"", ""},
        {"   ", ""},
    };
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(FolderOf(path), folder) << "'" << path << "'";
}

TEST(PathParts, GetFolderUpperTrimsTheCallersPath) {
    std::string path = "  /data/Run.1/x.nc  ";
    EXPECT_EQ(GetFolderUpper(path), "/DATA/RUN.1");
    EXPECT_EQ(path, "/data/Run.1/x.nc");

    path = "c:\\Data\\x";
    EXPECT_EQ(GetFolderUpper(path), "C:\\DATA");
    path = " x.nc";
    EXPECT_EQ(GetFolderUpper(path), "");
    EXPECT_EQ(path, "x.nc");
    path = "   ";
    EXPECT_EQ(GetFolderUpper(path), "");
    EXPECT_EQ(path, "");
}

TEST(PathParts, FileNameAndExtension) {
    struct Case {
        std::string path, name, extension;
    };
    const std::vector<Case> cases = {
        {"C:\\runs\\model.out.nc", "model", "out.nc"},
        {"C:\\runs\\model", "C:\\runs\\model", ""}, // no dot: the whole path
        {"/data/run.v2/out.nc", "out", "nc"},
        {"/data/run.v2/out", "/data/run.v2/out", ""},
        {"C:\\runs\\ model .nc ", "model", "nc"},
        {"grid.NC", "grid", "NC"},
        {"/data/.hidden", "", "hidden"},
        {"", "", ""},
        {"   ", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameOf(c.path), c.name) << "'" << c.path << "'";
        EXPECT_EQ(FileExtensionOf(c.path), c.extension) << "'" << c.path << "'";
    }
}

TEST(PathParts, ChangeExtension) {
    struct Case {
        std::string name, extension, result;
    };
    const std::vector<Case> cases = {
        {"data.run2.nc", "bnd", "data.bnd"}, // the first dot of the name
        {"grid", "bnd", "grid.bnd"},
        {"/data/run.v2/out.nc", "bnd", "/data/run.v2/out.bnd"}, // a dot in a folder is no cut
        {"C:\\run.v2\\grid", "bnd", "C:\\run.v2\\grid.bnd"},
        {"/data/run.v2/a.b.nc", "bnd", "/data/run.v2/a.bnd"},
        {"  x.nc", "bnd", "x.bnd"},
        {"http://host/data/a.nc", "bnd", ""}, // a URL has no cache beside it
        {"HTTPS://host/data/a.nc", "bnd", ""},
        {" Http://host/a", "bnd", ""},
        {"dods://host/data/a.nc", "bnd", ""},
        {"[mode=dap2]http://host/data/a.nc", "bnd", ""},
        {"httpdata.nc", "bnd", "httpdata.bnd"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChangeExtension(c.name, c.extension), c.result) << "'" << c.name << "'";
}

// The one test of "URL or file".
TEST(PathParts, IsURL) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"http://host/a.nc", true},
        {"HTTPS://host/a.nc", true},
        {"dods://host/a.nc", true},
        {"DODS://host/a", true},
        {"file:///data/a.nc", true},
        {"  dap4://host/a", true},
        {"[mode=dap2]http://host/a.nc", true},
        {"[mode=dap2][log]https://host/a", true},
        {"  [mode=dap4]dods://host/a", true},
        {"/data/a.nc", false},
        {"C:\\data\\a.nc", false},
        {"C://data/a.nc", false}, // a drive letter, not a scheme
        {"http_data.nc", false},
        {"data/http://x", false},
        {"[old]/a.nc", false}, // a folder in brackets
        {"[mode=dap2", false}, // an unclosed prefix
        {"[mode=dap2]/a.nc", false},
        {"2http://host", false}, // a scheme starts with a letter
        {"", false},
        {"   ", false},
    };
    for (const auto& [text, url] : cases)
        EXPECT_EQ(IsURL(text), url) << "'" << text << "'";
}

TEST(FileTests, SameFileThroughAnySpelling) {
    TempDir dir;
    const std::string a = dir.file("a.nc");
    writeFile(a);
    writeFile(dir.file("b.nc"));
    std::filesystem::create_directory(dir.file("sub"));
    std::filesystem::create_symlink(a, dir.file("link.nc"));
    std::filesystem::create_directory_symlink(dir.path(), dir.file("again"));
    ASSERT_EQ(::link(a.c_str(), dir.file("hard.nc").c_str()), 0);
    const std::string d = dir.path().string();
    std::string backslashed = d + "\\a.nc";

    struct Case {
        std::string other;
        bool same;
    };
    const std::vector<Case> cases = {
        {a, true},
        {d + "/./a.nc", true},
        {d + "/sub/../a.nc", true},
        {d + "//a.nc", true},
        {backslashed, true},
        {dir.file("link.nc"), true},
        {dir.file("again/a.nc"), true},
        {dir.file("hard.nc"), true},
        {dir.file("b.nc"), false},
        {dir.file("A.nc"), false}, // this file system tells the case apart
        {dir.file("missing.nc"), false},
        {"", false},
        {"file://" + a, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SameFile(a, c.other), c.same) << c.other;

    // Files that do not exist: the same path, however it is spelt.
    EXPECT_TRUE(SameFile(dir.file("new.bmp"), d + "/sub/../new.bmp"));
    EXPECT_TRUE(SameFile(dir.file("again/new.bmp"), dir.file("new.bmp")));
    EXPECT_FALSE(SameFile(dir.file("new.bmp"), dir.file("new2.bmp")));
    // Relative paths are taken from the working folder.
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_TRUE(SameFile("a.nc", a));
    EXPECT_TRUE(SameFile("./sub/../link.nc", a));
    std::filesystem::current_path(cwd);
}

TEST(Tokens, FindTokenFromTheStart) {
    struct Case {
        std::string text;
        Long n;
        Long length, start, end;
    };
    const std::vector<Case> cases = {
        {"a,b c", 2, 3, 3, 5},   // the comma wins over the blank
        {"a;b,c", 2, 3, 3, 5},   // ";" wins over ","
        {"  x   y", 2, 1, 7, 7}, // leading and repeated blanks
        {"a\tb;c", 2, 3, 3, 5},  // tab wins over ";"
        {",,a,,b,,", 2, 1, 6, 6}, {"abc", 1, 3, 1, 3}, {"one two", 2, 3, 5, 7},
        {"abc", 2, 0, 0, 0}, // no second token
        {"   ", 1, 0, 0, 0}, // separators only
        {";;;", 1, 0, 0, 0},      {"", 1, 0, 0, 0},    {"abc", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        Long start = 0;
        Long end = 0;
        EXPECT_EQ(FindToken(c.text, c.n, start, end), c.length) << "'" << c.text << "' " << c.n;
        if (c.length > 0) {
            EXPECT_EQ(start, c.start) << "'" << c.text << "'";
            EXPECT_EQ(end, c.end) << "'" << c.text << "'";
        }
    }
}

TEST(Tokens, FindTokenGoesOnAfterEndAndChoosesTheSeparatorThere) {
    Long start = 0;
    Long end = 0;
    EXPECT_EQ(FindToken("a b c", 1, start, end), 1);
    EXPECT_EQ(FindToken("a b c", 1, start, end), 1);
    EXPECT_EQ(start, 3);
    EXPECT_EQ(FindToken("a b c", 2, start, end), 0);

    // From position 4 on there is no comma left: the blank separates.
    start = 0;
    end = 3;
    EXPECT_EQ(FindToken("a,b c d", 1, start, end), 1);
    EXPECT_EQ(start, 5);

    start = 0;
    end = 2147483647; // the search start may not wrap around
    EXPECT_EQ(FindToken("a b", 1, start, end), 0);
}

TEST(Tokens, FindWordSeparatesAtBlanksOnly) {
    Long start = 0;
    Long end = 0;
    EXPECT_EQ(FindWord("a,b c", 2, start, end), 1);
    EXPECT_EQ(start, 5);
    start = end = 0;
    EXPECT_EQ(FindWord("x\ty z", 1, start, end), 3);
}

TEST(Tokens, GetTokenKeepsBlanksInsideOtherSeparators) {
    EXPECT_EQ(GetToken("a, b ,c", 2), " b ");
    EXPECT_EQ(GetToken("lon lat  time", 3), "time");
    EXPECT_EQ(GetToken("lon lat", 3), "");
    EXPECT_EQ(GetToken(",,,", 1), "");
    EXPECT_EQ(GetToken("", 1), "");
}

TEST(Tokens, ValuesOfTokensAndWords) {
    EXPECT_EQ(GetWord("  12.5  3e2", 2), 300.0);
    EXPECT_EQ(GetWord("  12.5  3e2", 1), 12.5);
    EXPECT_EQ(GetWord("12.5", 2), 0.0);
    EXPECT_EQ(GetWord("abc 7", 1), 0.0);
    EXPECT_EQ(GetWord("1,5 7", 1), 1.0); // words split at blanks only; Val stops at ","
    EXPECT_EQ(GetWord("", 1), 0.0);
    EXPECT_EQ(GetWord("     ", 1), 0.0);
    EXPECT_EQ(GetTokenValue("1.5,-2.5e1", 2), -25.0);
    EXPECT_EQ(GetTokenValue("1,,", 3), 0.0);
    EXPECT_EQ(GetTokenValue("", 1), 0.0);
}

TEST(Tokens, CountTokensOfTheFirstLine) {
    const std::vector<std::pair<std::string, Long>> cases = {
        {"1 2 3", 3},    {" 1  2 ", 2}, {"a,b\rc,d", 2}, {"a b\nc d e", 2}, {"\na b", 0},
        {"a\tb c;d", 2}, // tab wins
        {"a,b c", 2},    {",,,", 0},    {"   ", 0},      {"x", 1},          {"", 0},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(CountTokens(text), count) << "'" << text << "'";
}

TEST(Tokens, OnePassListsGiveTheTokensOneByOne) {
    // Tokens: GetToken(text, 1), (text, 2), ... to the last; ListTokens: those up to
    // CountTokens, which counts the first line only with the separator chosen there.
    struct Case {
        std::string text;
        std::vector<std::string> all, list;
    };
    const std::vector<Case> cases = {
        {"", {}, {}},
        {"   ", {}, {}},
        {";;;", {}, {}},
        {"lon", {"lon"}, {"lon"}},
        {" a  b ", {"a", "b"}, {"a", "b"}},        // separators at the ends and in a row
        {",a,,b,", {"a", "b"}, {"a", "b"}},        // the comma chosen over the blank
        {"a, b ,c", {"a", " b ", "c"}, {"a", " b ", "c"}}, // blanks kept inside tokens
        {"a\tb;c d", {"a", "b;c d"}, {"a", "b;c d"}},     // tab before everything
        {"x;y\r\nz", {"x", "y\r\nz"}, {"x", "y\r\nz"}},
        // The whole text chooses the comma, the first line the blank: two words counted.
        {"a b\nc,d", {"a b\nc", "d"}, {"a b\nc", "d"}},
        {"a b\nc d e", {"a", "b\nc", "d", "e"}, {"a", "b\nc"}},
        {"\nlon lat", {"\nlon", "lat"}, {}}, // nothing before the line break
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("'" + c.text + "'");
        const auto all = Tokens(c.text);
        const auto list = ListTokens(c.text);
        EXPECT_EQ(std::vector<std::string>(all.begin(), all.end()), c.all);
        EXPECT_EQ(std::vector<std::string>(list.begin(), list.end()), c.list);
        EXPECT_EQ(static_cast<Long>(list.size()), CountTokens(c.text));
        for (std::size_t i = 0; i < c.all.size(); ++i)
            EXPECT_EQ(GetToken(c.text, static_cast<Long>(i) + 1), c.all[i]);
        EXPECT_EQ(GetToken(c.text, static_cast<Long>(c.all.size()) + 1), "");
    }
}

TEST(Tokens, FindTokenWalksALongTextTokenByToken) {
    // Each call goes on after the last token found: the way through a text of many tokens,
    // with separators in a row and at both ends.
    std::string text = ";";
    for (int i = 1; i <= 500; ++i)
        text.append("w").append(std::to_string(i)).append(i % 7 == 0 ? ";;" : ";");
    Long start = 0, end = 0, found = 0;
    while (FindToken(text, 1, start, end) > 0) {
        ++found;
        std::string expected = "w";
        expected.append(std::to_string(found));
        ASSERT_EQ(text.substr(static_cast<std::size_t>(start - 1),
                              static_cast<std::size_t>(end - start + 1)),
                  expected);
    }
    EXPECT_EQ(found, 500);
    EXPECT_EQ(CountTokens(text), 500);
    EXPECT_EQ(GetToken(text, 500), "w500");
    EXPECT_EQ(GetToken(text, 501), "");
}

TEST(Tokens, SameWordFoldsAsciiLettersOnly) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"lon", "LON", true},       {"Water_U", "WATER_u", true}, {"", "", true},
        {"lon", "lon ", false},     {"lo", "lon", false},         {"x-wind", "X_WIND", false},
        {"\xe4", "\xc4", false},    // bytes above ASCII are not folded
        {"[", "{", false},          {"@", "`", false}, // neighbours of the letters stay apart
    };
    for (const auto& c : cases)
        EXPECT_EQ(SameWord(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(Files, FileExistsOpenGivesTheRuntimeErrorNumbers) {
    TempDir dir;
    const std::string file = dir.file("a.nc");
    writeFile(file);
    EXPECT_EQ(FileExistsOpen(file), 1);
    EXPECT_EQ(FileExistsOpen(dir.file("missing.nc")), -53);
    EXPECT_EQ(FileExistsOpen(dir.file("no-folder/missing.nc")), -76);
    EXPECT_EQ(FileExistsOpen(file + "/x.nc"), -76); // a file where a folder should be
    EXPECT_EQ(FileExistsOpen(dir.path().string()), -75);
    EXPECT_EQ(FileExistsOpen(""), -53);
    EXPECT_EQ(FileExistsOpen("http://127.0.0.1/data.nc"), -76);

    std::string backslashed = file;
    for (char& c : backslashed)
        if (c == '/') c = '\\';
    EXPECT_EQ(FileExistsOpen(backslashed), 1);
}

TEST(Files, FileExistsOpenWithoutReadPermission) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    TempDir dir;
    const std::string file = dir.file("locked.nc");
    writeFile(file);
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    EXPECT_EQ(FileExistsOpen(file), -70);
}

// The existence check behind the coastline at start-up, the boundary cache's date, the save
// target and the header view: a FIFO (which an open for reading would wait on) or a device is
// refused at once, as a folder is, and counts as no file for the date comparison.
TEST(Files, FileExistsOpenRefusesAFifoOrADeviceAtOnce) {
    TempDir dir;
    const std::string fifo = dir.file("coast.bdm");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string file = dir.file("a.nc");
    writeFile(file);
    for (const std::string& path : {fifo, std::string(kEndlessDevice)}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ReturnsWithin(std::chrono::seconds(1), "FileExistsOpen",
                                [&] { return FileExistsOpen(path); }),
                  -75);
        EXPECT_EQ(ReturnsWithin(std::chrono::seconds(1), "CompareFileDates",
                                [&] { return CompareFileDates(path, file); }),
                  -1);
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST(Files, ExistFile) {
    TempDir dir;
    const std::string file = dir.file("a.nc");
    writeFile(file);
    EXPECT_TRUE(ExistFile(file));
    EXPECT_FALSE(ExistFile(dir.file("b.nc")));
    EXPECT_FALSE(ExistFile(""));
    EXPECT_FALSE(ExistFile("   "));
}

TEST(Files, CompareFileDatesAtFullResolution) {
    TempDir dir;
    const std::string a = dir.file("a.bnd");
    const std::string b = dir.file("b.nc");
    const std::string none1 = dir.file("none1");
    const std::string none2 = dir.file("none2");
    writeFile(a);
    writeFile(b);
    EXPECT_EQ(CompareFileDates(none1, b), -1);
    EXPECT_EQ(CompareFileDates(a, none2), -2);
    EXPECT_EQ(CompareFileDates(none1, none2), -3);
    EXPECT_EQ(CompareFileDates(a, dir.path().string()), -2); // a folder is no file

    setMtime(a, 1700000000, 0);
    setMtime(b, 1700000000, 0);
    EXPECT_EQ(CompareFileDates(a, b), 3);

    // Within one second: the cache written after the dataset is newer.
    setMtime(a, 1700000000, 500000000);
    EXPECT_EQ(CompareFileDates(a, b), 1);
    EXPECT_EQ(CompareFileDates(b, a), 2);

    setMtime(b, 1700000001, 0);
    EXPECT_EQ(CompareFileDates(a, b), 2);
    EXPECT_EQ(CompareFileDates(b, a), 1);
}
