// Name and alias-list helpers of the dataset library.
#include "kelvadlib/NCUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

TEST(InAliasList, MatchesWholeWordsWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* list;
        bool expected;
    };
    const Case cases[] = {
        {"lon", "lon longitude", true}, {"LON", "lon longitude", true},
        {"lo", "lon longitude", false}, {"lon", "", false},
        {"lon", "longitude", false},    {"Longitude", "lon  longitude", true},
        {"x_lon", "lon X_LON", true},   {"", "lon", false},
        // Lists as the alias file and the user give them: any one separator, at the ends,
        // in a row.
        {"nav_lon", " ,lon,, nav_lon ,", false}, {"nav_lon", ",lon,,nav_lon,", true},
        {"NAV_LON", "lon;nav_lon", true},         {"lat", "lon\tlat lat2", false},
        {"lat lat2", "lon\tlat lat2", true},      {"lon", "   ", false},
        // Only the words before a line break count.
        {"lon", "lon lat\ntime", true},           {"time", "lon lat\ntime", false},
        // Letter case of ASCII letters only.
        {"\xe4rea", "\xc4REA", false},            {"\xe4rea", "\xe4REA", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InAliasList(c.name, c.list), c.expected) << c.name;
        // The list split once answers the same.
        EXPECT_EQ(AliasWords(c.list).contains(c.name), c.expected) << c.name << " (split once)";
    }
}

TEST(AddToAliasList, MergesNewWordsUpperCasedAtTheEnd) {
    struct Case {
        const char* list;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"lat latitude", "Lat y_lat", "lat latitude Y_LAT"},
        {"", "a a", " A A"},
        {"lat latitude", "   ", "lat latitude"},
        {"lat latitude", "", "lat latitude"},
        {"lon longitude", "LONGITUDE", "lon longitude"},
        {"lon longitude", "x_lon nav_lon", "lon longitude X_LON NAV_LON"},
        // Words are split on blanks, tabs, ";" and "," alike, and a blank after a comma does
        // not become part of a word.
        {"lat latitude", "y_lat, nav_lat", "lat latitude Y_LAT NAV_LAT"},
        {"lat latitude", "a;b\tc,lat", "lat latitude A B C"},
        {"lat latitude", " ,; y ", "lat latitude Y"},
        // Words held before keep their case and place.
        {"time TIME1", "time1 t", "time TIME1 T"},
    };
    for (const auto& c : cases) {
        std::string list = c.list;
        AddToAliasList(list, c.text);
        EXPECT_EQ(list, c.expected) << "[" << c.list << "] + [" << c.text << "]";
    }
}

TEST(AddToAliasList, MergedListsStayMatchable) {
    std::string list = "lon longitude";
    AddToAliasList(list, "x_lon,nav_lon");
    EXPECT_TRUE(InAliasList("NAV_LON", list));
    EXPECT_TRUE(InAliasList("lon", list));
}

TEST(AddToAliasList, LongListsMergeAsShortOnesDo) {
    // A long list and a long new text: each new word is looked up among the held ones, and
    // the words appended keep the new text's order.
    std::string list = "lon longitude";
    std::string text;
    std::string expected = list;
    for (int i = 1; i <= 300; ++i) {
        list += " held" + std::to_string(i);
        expected += " held" + std::to_string(i);
    }
    for (int i = 300; i >= 1; --i) {
        text += (i % 2 == 0 ? "HELD" : "new") + std::to_string(i) + (i % 5 == 0 ? ", " : " ");
        if (i % 2 != 0) expected += " NEW" + std::to_string(i);
    }
    text += "Longitude new1";
    expected += " NEW1";
    AddToAliasList(list, text);
    EXPECT_EQ(list, expected);
    EXPECT_TRUE(InAliasList("new299", list));
    EXPECT_TRUE(InAliasList("HELD300", list));
    EXPECT_FALSE(InAliasList("new300", list));
}

TEST(NcTypeName, NamesEachCode) {
    const std::vector<std::pair<Long, std::string>> cases = {
        {0, "NAT "},   {1, "byte "},   {2, "char "}, {3, "short "}, {4, "int "},
        {5, "float "}, {6, "double "}, {7, "???"},   {-1, "???"},   {12, "???"}};
    for (const auto& [code, name] : cases)
        EXPECT_EQ(NcTypeName(code), name) << code;
}

TEST(CleanNameChars, ReplacesOtherCharactersAndCountsThem) {
    std::string name = "sea.level/m";
    EXPECT_EQ(CleanNameChars(name), 2);
    EXPECT_EQ(name, "sea_level_m");
    std::string plain = "Ab 9-_x";
    EXPECT_EQ(CleanNameChars(plain), 0);
    EXPECT_EQ(plain, "Ab 9-_x");
    std::string high = "t\xe9mp";
    EXPECT_EQ(CleanNameChars(high), 1);
    EXPECT_EQ(high, "t_mp");
}
