#include "platform/Profile.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Names in the folder, to see that no temporary file is left behind.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

const char* const kSample = "; settings\r\n"
                            "[Parameters]\r\n"
                            "Key1 = value one  \r\n"
                            "KEY1=second\r\n"
                            "eq=a=b=c\r\n"
                            "quoted=\"  padded \"\r\n"
                            "single='x'\r\n"
                            "unbalanced=\"abc\r\n"
                            "empty=\r\n"
                            ";commented=1\r\n"
                            "  spaced key\t=\t v w \r\n"
                            "no equals sign\r\n"
                            "\r\n"
                            "[ Other ]\r\n"
                            "key1=other\r\n"
                            "[parameters]\r\n"
                            "key1=later section\r\n";

} // namespace

TEST(Profile, ReadsValuesAsTheProfileServiceDid) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, kSample);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"parameters", "key1", "value one"}, // case ignored, blanks trimmed, first one wins
        {"PARAMETERS", "Key1", "value one"},
        {"Parameters", "eq", "a=b=c"},         // split at the first "="
        {"Parameters", "quoted", "  padded "}, // one pair of quotes dropped, inside kept
        {"Parameters", "single", "x"},
        {"Parameters", "unbalanced", "\"abc"},
        {"Parameters", "empty", ""},        // present and empty: not the default
        {"Parameters", "commented", "DEF"}, // a comment is no key
        {"Parameters", ";commented", "DEF"},
        {"Parameters", "spaced key", "v w"}, // tabs count as blanks
        {"Parameters", "no equals sign", "DEF"},
        {"other", "KEY1", "other"},
        {"Other", "missing", "DEF"},
        {"Missing", "key1", "DEF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetProfileString(c.section, c.key, "DEF", ini), c.expected)
            << c.section << "/" << c.key;
    EXPECT_EQ(GetProfileString("a", "b", "DEF", dir.file("none.ini")), "DEF");
    EXPECT_EQ(GetProfileString("a", "b", "DEF", dir.path().string()), "DEF"); // a folder
}

// A whole section in one read: its keys in file order, each value as the key's own read gives
// it; only the first section of a name.
TEST(Profile, ReadsAWholeSectionAsItsKeysRead) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, kSample);
    const ProfileSection keys = GetProfileSection("PARAMETERS", ini);
    const ProfileSection expected = {
        {"Key1", "value one"}, {"KEY1", "second"},      {"eq", "a=b=c"}, {"quoted", "  padded "},
        {"single", "x"},       {"unbalanced", "\"abc"}, {"empty", ""},   {"spaced key", "v w"},
    };
    EXPECT_EQ(keys, expected);
    // The second "KEY1" is the duplicate that a read of the key passes over.
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i == 1) continue;
        EXPECT_EQ(GetProfileString("Parameters", keys[i].first, "DEF", ini), keys[i].second);
    }
    EXPECT_EQ(GetProfileSection(" other ", ini), (ProfileSection{{"key1", "other"}}));
    EXPECT_TRUE(GetProfileSection("Missing", ini).empty());
    EXPECT_TRUE(GetProfileSection("Parameters", dir.file("none.ini")).empty());
}

TEST(Profile, AcceptsLfLinesBackslashesAndCutsLongValues) {
    TempDir dir;
    const std::string ini = dir.file("lf.ini");
    const std::string longValue(3000, 'v');
    writeText(ini, "[s]\nk=1\nlong=" + longValue + "\nlast=end");
    EXPECT_EQ(GetProfileString("s", "k", "", ini), "1");
    EXPECT_EQ(GetProfileString("s", "long", "", ini), std::string(2047, 'v'));
    EXPECT_EQ(GetProfileString("s", "last", "", ini), "end"); // no line ending at the end
    std::string backslashed = ini;
    backslashed[dir.path().string().size()] = '\\';
    EXPECT_EQ(GetProfileString("s", "k", "", backslashed), "1");
}

TEST(Profile, WriteReplacesInPlaceAndKeepsEveryOtherLine) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, kSample);
    ASSERT_EQ(WriteProfileString("PARAMETERS", "key1", "new", ini), 1);
    std::string expected = kSample;
    expected.replace(expected.find("Key1 = value one  "), 18, "Key1 =new");
    EXPECT_EQ(readText(ini), expected);
    EXPECT_EQ(GetProfileString("Parameters", "KEY1", "", ini), "new");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.ini"});

    // An empty value is written as such and reads back as "".
    ASSERT_EQ(WriteProfileString("Parameters", "eq", "", ini), 1);
    EXPECT_NE(readText(ini).find("\r\neq=\r\n"), std::string::npos);
    EXPECT_EQ(GetProfileString("Parameters", "eq", "DEF", ini), "");
}

TEST(Profile, WriteAddsKeysAtTheEndOfTheirSectionAndSectionsAtTheEnd) {
    TempDir dir;
    const std::string ini = dir.file("b.ini");
    writeText(ini, "[one]\na=1\n\n[two]\nb=2");
    ASSERT_EQ(WriteProfileString("ONE", "c", "3", ini), 1);
    EXPECT_EQ(readText(ini), "[one]\na=1\nc=3\n\n[two]\nb=2");
    ASSERT_EQ(WriteProfileString("three", "d", "4", ini), 1);
    EXPECT_EQ(readText(ini), "[one]\na=1\nc=3\n\n[two]\nb=2\n[three]\nd=4\n");
    ASSERT_EQ(WriteProfileString("two", "e", "5", ini), 1);
    EXPECT_EQ(readText(ini), "[one]\na=1\nc=3\n\n[two]\nb=2\ne=5\n[three]\nd=4\n");
    EXPECT_EQ(GetProfileString("three", "d", "", ini), "4");
}

TEST(Profile, WriteCreatesAMissingFileWithCrLfButNotItsFolder) {
    TempDir dir;
    const std::string ini = dir.file("new.ini");
    ASSERT_EQ(WriteProfileString("parameters", "URLfile 0", "C:\\data\\a.nc", ini), 1);
    EXPECT_EQ(readText(ini), "[parameters]\r\nURLfile 0=C:\\data\\a.nc\r\n");
    EXPECT_EQ(GetProfileString("Parameters", "urlfile 0", "", ini), "C:\\data\\a.nc");

    EXPECT_EQ(WriteProfileString("s", "k", "v", dir.file("nofolder/x.ini")), 0);
    EXPECT_FALSE(fs::exists(dir.path() / "nofolder"));
}

TEST(Profile, FailedOrRefusedWritesLeaveTheFileAsItWas) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, kSample);
    // Texts that would break lines or read back differently.
    EXPECT_EQ(WriteProfileString("Parameters", "key1", "two\r\nlines", ini), 0);
    EXPECT_EQ(WriteProfileString("Parameters", "new\nkey", "v", ini), 0);
    EXPECT_EQ(WriteProfileString("Para\nmeters", "k", "v", ini), 0);
    EXPECT_EQ(WriteProfileString("Parameters", "a=b", "v", ini), 0);
    EXPECT_EQ(WriteProfileString("Parameters", "", "v", ini), 0);
    EXPECT_EQ(WriteProfileString("a]b", "k", "v", ini), 0);
    EXPECT_EQ(readText(ini), kSample);

    // A target that is a folder: the rename cannot replace it.
    fs::create_directory(dir.path() / "folder.ini");
    writeText(dir.file("folder.ini/inside"), "keep");
    EXPECT_EQ(WriteProfileString("s", "k", "v", dir.file("folder.ini")), 0);
    EXPECT_EQ(readText(dir.file("folder.ini/inside")), "keep");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.ini", "folder.ini"}));
}
