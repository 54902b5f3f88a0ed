// Text and debug helpers of the dataset library.
#include "kelvadlib/Utils.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <string>
#include <vector>

TEST(PrintableOnly, KeepsCodes32To126AndTrims) {
    EXPECT_EQ(PrintableOnly(std::string("  m/s\0\0", 7)), "m/s");
    EXPECT_EQ(PrintableOnly("\r\n\t  \x01"), "");
    EXPECT_EQ(PrintableOnly("a\tb\xe9 c\n"), "ab c");
    EXPECT_EQ(PrintableOnly(""), "");
}

TEST(IsNanText, TrueOnlyForValuesThatAreNotFinite) {
    EXPECT_TRUE(IsNanText(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_TRUE(IsNanText(std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(IsNanText(-std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(IsNanText(0.0f));
    EXPECT_FALSE(IsNanText(std::numeric_limits<float>::max()));
}

TEST(DebugOut, LaysItemsOutFourColumnsApart) {
    std::vector<std::string> lines;
    const DebugSink old = SetDebugSink([&](const std::string& line) { lines.push_back(line); });
    DebugOut(std::string("abc"), 12);
    DebugOut();
    DebugOut(std::string(1500, 'x'));
    DebugOut(std::string(1020, 'y'), std::string("abcdef"));
    SetDebugSink(old);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "abc    12");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], std::string(1500, 'x')); // one item is written whole
    EXPECT_EQ(lines[3], std::string(1020, 'y')); // the second item starts past column 1024
}

TEST(GetIniString, ReadsTrimmedValuesAndEmptyWhenMissing) {
    TempDir dir;
    const std::string file = dir.file("a.ini");
    std::ofstream(file) << "[variable alias]\nlon =   x_lon  \n";
    EXPECT_EQ(GetIniString(file, "variable alias", "lon"), "x_lon");
    EXPECT_EQ(GetIniString(file, "variable alias", "lat"), "");
    EXPECT_EQ(GetIniString(dir.file("none.ini"), "variable alias", "lon"), "");
}
