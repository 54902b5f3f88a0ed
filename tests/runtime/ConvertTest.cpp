#include "runtime/Convert.h"
#include "runtime/Color.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "tests/support/ErrorOf.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TEST(Convert, RoundsHalvesToEven) {
    struct Case {
        double x;
        Long r;
    } cases[] = {{2.5, 2},  {3.5, 4},         {-2.5, -2},        {-3.5, -4},
                 {0.5, 0},  {1.5, 2},         {2.4999, 2},       {2.5001, 3},
                 {-0.5, 0}, {32767.4, 32767}, {-32768.5, -32768}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(CInt(c.x), c.r);
        EXPECT_EQ(CLng(c.x), c.r);
    }
    EXPECT_EQ(CLng(2147483647.4), 2147483647);
    EXPECT_EQ(CLng(-2147483648.5), -2147483647 - 1);
}

TEST(Convert, OutOfRangeIsOverflow) {
    for (double x : {32767.5, -32769.0, 1e10, kNaN, kInf, -kInf})
        EXPECT_EQ(errorOf([x] { CInt(x); }), err::Overflow) << x;
    for (double x : {2147483647.5, -2147483649.0, 1e300, kNaN, kInf})
        EXPECT_EQ(errorOf([x] { CLng(x); }), err::Overflow) << x;
    EXPECT_EQ(errorOf([] { CSng(1e39); }), err::Overflow);
    EXPECT_EQ(CSng(static_cast<double>(FLT_MAX)), FLT_MAX);
    EXPECT_EQ(CSng(1e-50), 0.0f);
    EXPECT_TRUE(std::isnan(CSng(kNaN)));
}

TEST(Convert, TextsMustBeNumbers) {
    EXPECT_EQ(CLng(" 12.5 "), 12);
    EXPECT_EQ(CInt("-3.5"), -4);
    EXPECT_EQ(CLng("&HFF"), 255);
    EXPECT_DOUBLE_EQ(CDbl("1E3"), 1000);
    EXPECT_FLOAT_EQ(CSng("0.1"), 0.1f);
    for (const char* t : {"", "abc", "1 2", "12abc"}) {
        EXPECT_EQ(errorOf([t] { CLng(t); }), err::TypeMismatch) << t;
        EXPECT_EQ(errorOf([t] { CDbl(t); }), err::TypeMismatch) << t;
        EXPECT_FALSE(IsNumeric(t)) << t;
    }
    EXPECT_EQ(errorOf([] { CInt("40000"); }), err::Overflow);
    EXPECT_TRUE(IsNumeric(" -1.5e3 "));
    EXPECT_FALSE(IsNumeric("1e999"));
}

TEST(Convert, FixTruncatesIntFloors) {
    EXPECT_EQ(Fix(-2.7), -2.0);
    EXPECT_EQ(Int(-2.7), -3.0);
    EXPECT_EQ(Fix(2.7), 2.0);
    EXPECT_EQ(Int(2.7), 2.0);
    EXPECT_EQ(Fix(-2.5f), -2.0f);
    EXPECT_EQ(Int(-2.5f), -3.0f);
    // Round: halves to even, as the grid-mark strides use it.
    EXPECT_EQ(Round(1.5), 2.0);
    EXPECT_EQ(Round(2.5), 2.0);
    EXPECT_EQ(Round(0.5), 0.0);
    EXPECT_EQ(Round(-2.5), -2.0);
    EXPECT_DOUBLE_EQ(Round(1.25, 1), 1.2);
    EXPECT_DOUBLE_EQ(Round(1.35, 1), 1.4);
    EXPECT_EQ(errorOf([] { Round(1.0, -1); }), err::InvalidCall);
}

TEST(CheckedArithmetic, LongOverflowAndDivision) {
    const Long mx = 2147483647, mn = -2147483647 - 1;
    EXPECT_EQ(AddL(mx - 1, 1), mx);
    EXPECT_EQ(errorOf([=] { AddL(mx, 1); }), err::Overflow);
    EXPECT_EQ(errorOf([=] { SubL(mn, 1); }), err::Overflow);
    EXPECT_EQ(errorOf([] { MulL(1440, 1491309); }), err::Overflow);
    EXPECT_EQ(MulL(1440, 1491308), 2147483520);
    EXPECT_EQ(errorOf([=] { NegL(mn); }), err::Overflow);
    EXPECT_EQ(IDivL(-7, 2), -3);
    EXPECT_EQ(ModL(-7, 2), -1);
    EXPECT_EQ(ModL(7, -2), 1);
    EXPECT_EQ(errorOf([=] { IDivL(mn, -1); }), err::Overflow);
    EXPECT_EQ(ModL(mn, -1), 0);
    EXPECT_EQ(errorOf([] { IDivL(1, 0); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { ModL(1, 0); }), err::DivisionByZero);
}

TEST(CheckedArithmetic, IntegerOverflowAndDivision) {
    EXPECT_EQ(AddI(32766, 1), 32767);
    EXPECT_EQ(errorOf([] { AddI(32767, 1); }), err::Overflow);
    EXPECT_EQ(errorOf([] { SubI(-32768, 1); }), err::Overflow);
    EXPECT_EQ(errorOf([] { MulI(200, 200); }), err::Overflow);
    EXPECT_EQ(errorOf([] { NegI(-32768); }), err::Overflow);
    EXPECT_EQ(errorOf([] { IDivI(-32768, -1); }), err::Overflow);
    EXPECT_EQ(IDivI(7, 2), 3);
    EXPECT_EQ(ModI(-7, 3), -1);
    EXPECT_EQ(errorOf([] { IDivI(1, 0); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { ModI(1, 0); }), err::DivisionByZero);
}

TEST(CheckedArithmetic, DoubleDivision) {
    EXPECT_DOUBLE_EQ(Div(1, 4), 0.25);
    EXPECT_EQ(errorOf([] { Div(1, 0); }), err::DivisionByZero);
    EXPECT_EQ(errorOf([] { Div(0, 0); }), err::Overflow);
    EXPECT_EQ(errorOf([] { Div(1e300, 1e-300); }), err::Overflow);
}

TEST(Strings, OneBasedHelpers) {
    EXPECT_EQ(Left("abcdef", 2), "ab");
    EXPECT_EQ(Left("ab", 5), "ab");
    EXPECT_EQ(Right("abcdef", 2), "ef");
    EXPECT_EQ(Right("ab", 5), "ab");
    EXPECT_EQ(Mid("abcdef", 3), "cdef");
    EXPECT_EQ(Mid("abcdef", 3, 2), "cd");
    EXPECT_EQ(Mid("abcdef", 5, 10), "ef");
    EXPECT_EQ(Mid("abc", 4), "");
    EXPECT_EQ(Mid("abc", 9, 1), "");
    EXPECT_EQ(InStr("hours since 1990", "since"), 7);
    EXPECT_EQ(InStr("abc", "x"), 0);
    EXPECT_EQ(InStr(2, "abcabc", "a"), 4);
    EXPECT_EQ(InStr(7, "abcabc", "a"), 0);
    EXPECT_EQ(InStr("abc", ""), 1);
    EXPECT_EQ(InStr("", "a"), 0);
    EXPECT_EQ(InStrRev("a\\b\\c", "\\"), 4);
    EXPECT_EQ(InStrRev("a\\b\\c", "\\", 3), 2);
    EXPECT_EQ(InStrRev("abc", "x"), 0);
    EXPECT_EQ(InStrRev("abcabc", "bc", 2), 0);
    EXPECT_EQ(InStrRev("abcabc", "bc", 3), 2);
    EXPECT_EQ(Len("abc"), 3);
    EXPECT_EQ(Trim("  a b \t "), "a b \t");
    EXPECT_EQ(LTrim("  a "), "a ");
    EXPECT_EQ(RTrim("  a "), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(UCase("since\xe9"), "SINCE\xe9");
    EXPECT_EQ(LCase("SINCE\xc9"), "since\xc9");
    EXPECT_EQ(Space(3), "   ");
    EXPECT_EQ(StringOf(3, '-'), "---");
    EXPECT_EQ(Replace("a/b/c", "/", "\\"), "a\\b\\c");
    EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");
    EXPECT_EQ(Replace("abc", "", "x"), "abc");
    EXPECT_EQ(Chr(13) + Chr(10), "\r\n");
    EXPECT_EQ(Asc("\xff"), 255);
    EXPECT_EQ(Asc(Chr(200)), 200);
}

TEST(Strings, InvalidArgumentsRaise5) {
    EXPECT_EQ(errorOf([] { Left("a", -1); }), err::InvalidCall);
    EXPECT_EQ(errorOf([] { Right("a", -1); }), err::InvalidCall);
    EXPECT_EQ(errorOf([] { Mid("a", 0); }), err::InvalidCall);
    EXPECT_EQ(errorOf([] { Mid("a", 1, -1); }), err::InvalidCall);
    EXPECT_EQ(errorOf([] { InStr(0, "a", "a"); }), err::InvalidCall);
    EXPECT_EQ(errorOf([] { Space(-1); }), err::InvalidCall);
    EXPECT_EQ(errorOf([] { Chr(256); }), err::InvalidCall);
    EXPECT_EQ(errorOf([] { Asc(""); }), err::InvalidCall);
}

TEST(Color, RgbAndTheSixteenColours) {
    EXPECT_EQ(RGB(1, 2, 3), 1 + 2 * 256 + 3 * 65536);
    EXPECT_EQ(RGB(0, 0, 189), 12386304);
    EXPECT_EQ(RGB(300, 0, 0), 255);
    EXPECT_EQ(errorOf([] { RGB(-1, 0, 0); }), err::InvalidCall);
    const Long table[16][3] = {{0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
                               {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
                               {128, 128, 128}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
                               {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    for (Long i = 0; i < 16; ++i)
        EXPECT_EQ(QBColor(i), table[i][0] + 256 * table[i][1] + 65536 * table[i][2]) << i;
    EXPECT_EQ(errorOf([] { QBColor(16); }), err::InvalidCall);
    EXPECT_EQ(errorOf([] { QBColor(-1); }), err::InvalidCall);
}

} // namespace
