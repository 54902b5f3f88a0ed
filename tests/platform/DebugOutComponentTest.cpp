#include "platform/Component.h"
#include "platform/DebugOut.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace fs = std::filesystem;

TEST(DebugOut, OneLinePerCallReachesTheSink) {
    std::vector<std::string> lines;
    DebugSink old = SetDebugSink([&](const std::string& line) { lines.push_back(line); });
    DebugOut("[Initialize:1] elapsed = 12");
    DebugOut("");
    DebugOut("two\r\nparts");
    SetDebugSink(old);
    DebugOut("not captured");
    EXPECT_EQ(lines, (std::vector<std::string>{"[Initialize:1] elapsed = 12", "", "two\r\nparts"}));
}

TEST(Component, LoadsLibrariesAndReportsWhyNot) {
    std::string error;
    EXPECT_EQ(FindFactory("/nonexistent/libKelvadlib.so", "CreateKelvad", error), nullptr);
    EXPECT_NE(error.find("libKelvadlib.so"), std::string::npos) << error;

    error.clear();
    void* f = FindFactory("libc.so.6", "strlen", error);
    ASSERT_NE(f, nullptr) << error;
    using StrLen = std::size_t (*)(const char*);
    EXPECT_EQ(reinterpret_cast<StrLen>(f)("four"), 4u);
    EXPECT_EQ(FindFactory("libc.so.6", "NoSuchFactory", error), nullptr);
    EXPECT_FALSE(error.empty());

    SharedLibrary lib;
    EXPECT_FALSE(lib.Open("\\nonexistent\\lib.so", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(lib.IsOpen());
    ASSERT_TRUE(lib.Open("libm.so.6", error)) << error;
    EXPECT_NE(lib.Symbol("cos", error), nullptr);
    EXPECT_EQ(lib.Symbol("no_such_symbol", error), nullptr);
    lib.Close();
    EXPECT_EQ(lib.Symbol("cos", error), nullptr);
}

TEST(Component, ProgramAndModuleFolders) {
    const std::string program = ProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_TRUE(fs::exists(fs::path(program) / "test_platform"));
    // Code linked into the program lies in the program's folder.
    EXPECT_EQ(ModuleFolder(reinterpret_cast<const void*>(&ProgramFolder)), program);

    std::string error;
    void* f = FindFactory("libc.so.6", "strlen", error);
    ASSERT_NE(f, nullptr);
    const std::string libc = ModuleFolder(f);
    EXPECT_TRUE(fs::is_directory(libc)) << libc;
    EXPECT_NE(libc, program);
}

TEST(Component, PathHelpersTakeBothSeparators) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {"C:\\runs\\model.nc", "C:\\runs", "model.nc"},
        {"/data/coasts/WORLD_E.bdm", "/data/coasts", "WORLD_E.bdm"},
        {"a/b\\c.txt", "a/b", "c.txt"},
        {"/top", "/", "top"},
        {"plain.ini", "", "plain.ini"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathFolder(c.path), c.folder) << c.path;
        EXPECT_EQ(PathFileName(c.path), c.name) << c.path;
    }
    EXPECT_EQ(PathJoin("/prog", "coasts/WORLD_E.bdm"), "/prog/coasts/WORLD_E.bdm");
    EXPECT_EQ(PathJoin("/prog/", "x"), "/prog/x");
    EXPECT_EQ(PathJoin("C:\\prog\\", "x"), "C:\\prog\\x");
    EXPECT_EQ(PathJoin("", "x"), "x");
    EXPECT_EQ(NativePath("\\prog\\coasts\\WORLD_E.bdm"), "/prog/coasts/WORLD_E.bdm");
}
