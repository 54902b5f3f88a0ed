#include "runtime/Text.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ErrorOf.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace {

TEST(Str, SingleUsesSevenDigitsAndExponentForm) {
    struct Case {
        float x;
        const char* str;
        const char* cstr;
    } cases[] = {
        {-1e35f, "-1E+35", "-1E+35"},
        {12345678.0f, " 1.234568E+07", "1.234568E+07"},
        {1234567.0f, " 1234567", "1234567"},
        {0.5f, " .5", "0.5"},
        {-0.25f, "-.25", "-0.25"},
        {0.1f, " .1", "0.1"},
        {1.0f / 3.0f, " .3333333", "0.3333333"},
        {6.283185f, " 6.283185", "6.283185"},
        {100.0f, " 100", "100"},
        {2.5e-5f, " 2.5E-05", "2.5E-05"},
        {0.0001f, " .0001", "0.0001"},
        {0.0f, " 0", "0"},
        {-0.0f, " 0", "0"},
        {9999999.5f, " 1E+07", "1E+07"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.str);
        EXPECT_EQ(Str(c.x), c.str);
        EXPECT_EQ(CStr(c.x), c.cstr);
    }
}

TEST(Str, DoubleUsesFifteenDigits) {
    struct Case {
        double x;
        const char* str;
        const char* cstr;
    } cases[] = {
        {0.00001, " 1E-05", "1E-05"},
        {0.5, " .5", "0.5"},
        {0.1 + 0.2, " .3", "0.3"},
        {1.0 / 3.0, " .333333333333333", "0.333333333333333"},
        {123456789012345.0, " 123456789012345", "123456789012345"},
        {1e15, " 1E+15", "1E+15"},
        {-1.5e100, "-1.5E+100", "-1.5E+100"},
        {10.0, " 10", "10"},
        {-2.5, "-2.5", "-2.5"},
        {1e-300, " 1E-300", "1E-300"},
        {0.017453292222222222, " .0174532922222222", "0.0174532922222222"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.str);
        EXPECT_EQ(Str(c.x), c.str);
        EXPECT_EQ(CStr(c.x), c.cstr);
    }
}

TEST(Str, WholeNumbers) {
    EXPECT_EQ(Str(Long{5}), " 5");
    EXPECT_EQ(Str(Long{-5}), "-5");
    EXPECT_EQ(Str(Long{0}), " 0");
    EXPECT_EQ(Str(Integer{-32768}), "-32768");
    EXPECT_EQ(Str(int64_t{3000000000}), " 3000000000");
    EXPECT_EQ(CStr(Long{-2147483647 - 1}), "-2147483648");
    EXPECT_EQ(CStr(Integer{7}), "7");
    EXPECT_EQ(Str(Byte{200}), " 200");
    EXPECT_EQ(CStr(std::size_t{12}), "12");
}

TEST(Str, NotFiniteNumbersCarryAHash) {
    // The program tests a value for "#" in its text to find NaN and infinities.
    for (double x :
         {std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
          std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
        EXPECT_NE(CStr(x).find('#'), std::string::npos) << CStr(x);
        EXPECT_NE(Str(static_cast<float>(x)).find('#'), std::string::npos);
        EXPECT_NE(Format(x, "#0.00").find('#'), std::string::npos);
    }
    EXPECT_EQ(CStr(std::numeric_limits<double>::infinity()), "1.#INF");
    EXPECT_EQ(CStr(-std::numeric_limits<float>::infinity()), "-1.#INF");
}

TEST(Str, IgnoresTheProcessLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    // Any locale with a decimal comma, when the machine has one.
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) std::setlocale(LC_ALL, "fr_FR.UTF-8");
    EXPECT_EQ(CStr(2.5), "2.5");
    EXPECT_EQ(Format(2.5, "#0.00"), "2.50");
    EXPECT_DOUBLE_EQ(Val("2.5"), 2.5);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(Val, ReadsTheLeadingNumber) {
    struct Case {
        const char* text;
        double v;
    } cases[] = {
        {"1 2", 12},
        {"  -3.5e2", -350},
        {"- 3", -3},
        {"+7", 7},
        {"1D3", 1000},
        {"2.5d-1", 0.25},
        {"1 e 2", 100},
        {"\t\n5", 5},
        {"1\r2", 1},
        {"12abc", 12},
        {"1.2.3", 1.2},
        {"1,000", 1},
        {"-.5", -0.5},
        {"1e", 1},
        {"1e+", 1},
        {"", 0},
        {"abc", 0},
        {".", 0},
        {"-", 0},
        {"1E-400", 0},
        {"&HFF", 255},
        {"&hff", 255},
        {"&HFFFF", -1},
        {"&H8000", -32768},
        {"&H10000", 65536},
        {"&HFFFFFFFF", -1},
        {"&O17", 15},
        {"&O19", 1},
        {"&H", 0},
        {"&X1", 0},
        {"  3000 200", 3000200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(Val(c.text), c.v);
    }
}

TEST(Val, OverflowRaisesError6) {
    EXPECT_EQ(errorOf([] { Val("1E400"); }), err::Overflow);
    EXPECT_EQ(errorOf([] { Val("-1D309"); }), err::Overflow);
    EXPECT_EQ(errorOf([] { Val("&H100000000"); }), err::Overflow);
    EXPECT_EQ(errorOf([] { Val("0.0000000001E+308"); }), 0);
}

TEST(TextToNumber, WholeTextMustBeANumber) {
    double v = -9;
    EXPECT_TRUE(TextToNumber(" 12.5 ", v));
    EXPECT_DOUBLE_EQ(v, 12.5);
    EXPECT_TRUE(TextToNumber("-1E3", v));
    EXPECT_DOUBLE_EQ(v, -1000);
    EXPECT_TRUE(TextToNumber("&HFF", v));
    EXPECT_DOUBLE_EQ(v, 255);
    v = 42;
    for (const char* bad : {"", "  ", "1 2", "12abc", "abc", "1e", ".", "-", "&HZZ", "Month 1"}) {
        EXPECT_FALSE(TextToNumber(bad, v)) << bad;
    }
    EXPECT_DOUBLE_EQ(v, 42);
}

TEST(Format, MasksOfTheProgram) {
    struct Case {
        double x;
        const char* mask;
        const char* out;
    } cases[] = {
        // size texts
        {12.5, "#0.00K", "12.50K"},
        {0.8, "#0.00K", "0.80K"},
        {8.0, "#0.0M", "8.0M"},
        {999, "#0bytes", "999bytes"},
        {12.5, " #0.00K", " 12.50K"},
        {1234.5, " #0.0Tra", " 1234.5Tra"},
        // colour-key labels
        {1234.567, "###0.00", "1234.57"},
        {0.5, "###0.00", "0.50"},
        {31, "###0.", "31."},
        {0.5, "###0.0", "0.5"},
        {12.345, "#.000", "12.345"},
        {0.5, "#.000", ".500"},
        {0, "#.000", ".000"},
        // coordinates
        {70.5, " #00.00000W", " 70.50000W"},
        {5.25, " #00.00000E ", " 05.25000E "},
        {41.25, " #00.00000N", " 41.25000N"},
        {123.456789, " #00.00000E ", " 123.45679E "},
        {10.5, "#.00E/", "10.50E/"},
        {45.25, "#.00S", "45.25S"},
        {0.5, "#.00E/", ".50E/"},
        {0.25, "#.00N", ".25N"},
        {3.14159, "#0.00000", "3.14159"},
        {0.5, "0.00000", "0.50000"},
        // fixed-column text
        {12, "000", "012"},
        {1234, "000", "1234"},
        {7, " 000", " 007"},
        {121.5, " 000.00000", " 121.50000"},
        {23.25, "  000.00000", "  023.25000"},
        {12.3, "  000.0", "  012.3"},
        {5, " -000.0", " -005.0"},
        {0, "-000.00000", "-000.00000"},
        {70.25, "-000.00000", "-070.25000"},
        {5, "000000", "000005"},
        {1234567, " 000000", " 1234567"},
        {45.5, " ##0.00", " 45.50"},
        {0.125, "  0.000", "  0.125"},
        // list numbers
        {3, " 0: ", " 3: "},
        {12, "00: ", "12: "},
        {123, "00: ", "123: "},
        // whole numbers
        {0, "#0", "0"},
        {0.4, "#0", "0"},
        {17, "#0", "17"},
        {0, "#.0", ".0"},
        {0.04, "#.0", ".0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " " + CStr(c.x));
        EXPECT_EQ(Format(c.x, c.mask), c.out);
    }
}

TEST(Format, HalvesRoundAwayFromZero) {
    struct Case {
        double x;
        const char* mask;
        const char* out;
    } cases[] = {
        {0.5, "#0", "1"},         {1.5, "#0", "2"},          {2.5, "#0", "3"},
        {-2.5, "#0", "-3"},       {2.25, "#.0", "2.3"},      {-2.25, "#.0", "-2.3"},
        {0.05, "#.0", ".1"},      {2.675, "0.00", "2.68"},   {1.005, "0.00", "1.01"},
        {0.999, "#0.00", "1.00"}, {9.995, "#0.00", "10.00"}, {99.95, "#0.0M", "100.0M"},
        {0.125, "#.00", ".13"},   {-0.001, "0.00", "0.00"},  {0.0049, "#0.00K", "0.00K"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " " + CStr(c.x));
        EXPECT_EQ(Format(c.x, c.mask), c.out);
    }
}

TEST(Format, SingleIsTakenAtSevenDigits) {
    // 1.005f is 1.00499999523... as a double; a Single shows 1.005 and rounds up.
    EXPECT_EQ(Format(1.005f, "0.00"), "1.01");
    EXPECT_EQ(Format(static_cast<double>(1.005f), "0.00"), "1.00");
    EXPECT_EQ(Format(12.345f, "#0.00"), "12.35");
    EXPECT_EQ(Format(Long{42}, "000"), "042");
    EXPECT_EQ(Format(int64_t{5000}, "#0bytes"), "5000bytes");
}

TEST(Format, NegativeSignGoesFirst) {
    EXPECT_EQ(Format(-5.0, "#0.00"), "-5.00");
    EXPECT_EQ(Format(-0.5, "#.0"), "-.5");
    EXPECT_EQ(Format(-5.0, " #0"), "- 5");
}

TEST(Format, ExponentMasksAndOthers) {
    EXPECT_EQ(Format(12345.0, "0.00E+00"), "1.23E+04");
    EXPECT_EQ(Format(0.00012345, "0.00E+00"), "1.23E-04");
    EXPECT_EQ(Format(0.00012345, "0.00E-00"), "1.23E-04");
    EXPECT_EQ(Format(12345.0, "0.00E-00"), "1.23E04");
    EXPECT_EQ(Format(9.999, "0.00E+00"), "1.00E+01");
    EXPECT_EQ(Format(0.0, "0.0E+00"), "0.0E+00");
    EXPECT_EQ(Format(2.5, ""), "2.5");
    EXPECT_EQ(Format(2.5, "0.0\\E"), "2.5E");
    EXPECT_EQ(Format(2.5, "\"x=\"0.0"), "x=2.5");
    EXPECT_EQ(Format(1.5, "0.0#"), "1.5");
    EXPECT_EQ(Format(1.25, "0.0#"), "1.25");
}

} // namespace
