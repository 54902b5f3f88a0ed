#include "runtime/VArray.h"
#include "runtime/RuntimeError.h"
#include "runtime/Variant.h"
#include "tests/support/ErrorOf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

TEST(VArray, BoundsAndCheckedAccess) {
    VArray<float> a;
    EXPECT_FALSE(a.IsAllocated());
    EXPECT_EQ(a.data(), nullptr);
    EXPECT_EQ(errorOf([&] { LBound(a); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { a(1); }), err::Subscript);

    a.ReDim(-2, 3);
    EXPECT_EQ(LBound(a), -2);
    EXPECT_EQ(UBound(a), 3);
    EXPECT_EQ(a.size(), 6u);
    for (Long i = -2; i <= 3; ++i)
        EXPECT_EQ(a(i), 0.0f);
    a(-2) = 1.5f;
    a(3) = 2.5f;
    EXPECT_EQ(a.data()[0], 1.5f);
    EXPECT_EQ(a.data()[5], 2.5f);
    EXPECT_EQ(errorOf([&] { a(-3); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { a(4); }), err::Subscript);

    // A fresh ReDim clears; bounds must not be reversed.
    a.ReDim(1, 2);
    EXPECT_EQ(a(1), 0.0f);
    EXPECT_EQ(errorOf([&] { a.ReDim(1, 0); }), err::Subscript);
    EXPECT_EQ(UBound(a), 2); // unchanged by the failed ReDim

    a.Erase();
    EXPECT_FALSE(a.IsAllocated());
    EXPECT_EQ(errorOf([&] { UBound(a); }), err::Subscript);
    EXPECT_EQ(a.size(), 0u);
}

TEST(VArray, ReDimPreserveKeepsTheOverlap) {
    VArray<std::string> a(1, 4);
    for (Long i = 1; i <= 4; ++i)
        a(i) = std::string(1, static_cast<char>('a' + i - 1));
    a.ReDimPreserve(1, 6);
    EXPECT_EQ(a(4), "d");
    EXPECT_EQ(a(6), "");
    a.ReDimPreserve(3, 5);
    EXPECT_EQ(LBound(a), 3);
    EXPECT_EQ(a(3), "c");
    EXPECT_EQ(a(5), "");
    a.ReDimPreserve(0, 3);
    EXPECT_EQ(a(3), "c");
    EXPECT_EQ(a(0), "");
    EXPECT_EQ(a(2), "");

    VArray<Long> b;
    b.ReDimPreserve(1, 3); // not allocated yet: a plain ReDim
    EXPECT_EQ(UBound(b), 3);
    // Copies are independent, as an array assignment is.
    b(1) = 7;
    VArray<Long> c = b;
    c(1) = 8;
    EXPECT_EQ(b(1), 7);
}

TEST(VArray, HoldsBooleans) {
    VArray<bool> flags(0, 2);
    flags(1) = true;
    bool* p = flags.data();
    EXPECT_FALSE(p[0]);
    EXPECT_TRUE(p[1]);
}

TEST(VArray2, LastIndexVariesFastest) {
    VArray2<int> a(1, 2, 0, 2);
    EXPECT_EQ(LBound(a, 1), 1);
    EXPECT_EQ(UBound(a, 1), 2);
    EXPECT_EQ(LBound(a, 2), 0);
    EXPECT_EQ(UBound(a, 2), 2);
    EXPECT_EQ(errorOf([&] { UBound(a, 3); }), err::Subscript);
    // Filled as a netCDF read of a (2, 3) variable fills it.
    for (int k = 0; k < 6; ++k)
        a.data()[k] = k;
    EXPECT_EQ(a(1, 0), 0);
    EXPECT_EQ(a(1, 2), 2);
    EXPECT_EQ(a(2, 0), 3);
    EXPECT_EQ(a(2, 2), 5);
    EXPECT_EQ(errorOf([&] { a(0, 0); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { a(1, 3); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { a(3, 1); }), err::Subscript);
}

TEST(VArray2, ReDimPreserveOnlyTheLastUpperBound) {
    VArray2<int> a(1, 2, 1, 3);
    for (Long i = 1; i <= 2; ++i)
        for (Long j = 1; j <= 3; ++j)
            a(i, j) = static_cast<int>(10 * i + j);
    a.ReDimPreserve(1, 2, 1, 5);
    EXPECT_EQ(a(1, 3), 13);
    EXPECT_EQ(a(2, 1), 21);
    EXPECT_EQ(a(2, 3), 23);
    EXPECT_EQ(a(2, 5), 0);
    a.ReDimPreserve(1, 2, 1, 2);
    EXPECT_EQ(a(2, 2), 22);
    EXPECT_EQ(errorOf([&] { a(2, 3); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { a.ReDimPreserve(1, 3, 1, 2); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { a.ReDimPreserve(0, 2, 1, 2); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { a.ReDimPreserve(1, 2, 2, 2); }), err::Subscript);
    EXPECT_EQ(a(1, 1), 11); // untouched by the refused changes
    a.Erase();
    EXPECT_EQ(errorOf([&] { LBound(a, 2); }), err::Subscript);
    EXPECT_EQ(a.data(), nullptr);
}

TEST(Variant, KindsAndConversions) {
    Variant e;
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_EQ(e.toDouble(), 0.0);
    EXPECT_EQ(e.toString(), "");
    EXPECT_EQ(CLng(e), 0);

    EXPECT_EQ(Variant(Integer{3}).type(), Variant::Type::kInteger);
    EXPECT_EQ(Variant(Long{3}).type(), Variant::Type::kLong);
    EXPECT_EQ(Variant(1.5f).type(), Variant::Type::kSingle);
    EXPECT_EQ(Variant(1.5).type(), Variant::Type::kDouble);
    EXPECT_EQ(Variant("x").type(), Variant::Type::kString);
    EXPECT_EQ(Variant(Date(1)).type(), Variant::Type::kDate);
    EXPECT_EQ(Variant(true).type(), Variant::Type::kBoolean);
    EXPECT_EQ(Variant(std::size_t{5}).type(), Variant::Type::kLong);
    EXPECT_EQ(Variant(int64_t{5000000000}).type(), Variant::Type::kDouble);

    EXPECT_EQ(CLng(Variant(2.5)), 2);
    EXPECT_EQ(CLng(Variant(3.5f)), 4);
    EXPECT_EQ(CInt(Variant(" 12 ")), 12);
    EXPECT_EQ(CStr(Variant(0.5)), "0.5");
    EXPECT_EQ(CStr(Variant(0.1f)), "0.1");
    EXPECT_EQ(CStr(Variant(Long{-4})), "-4");
    EXPECT_EQ(CStr(Variant(true)), "True");
    EXPECT_EQ(Variant(true).toLong(), -1);
    EXPECT_EQ(CStr(Variant(DateSerial(2004, 3, 15))), "2004-03-15");
    EXPECT_EQ(Variant("2004-03-15").toDate(), DateSerial(2004, 3, 15));
    EXPECT_EQ(Variant(36526.0).toDate(), DateSerial(2000, 1, 1));
    EXPECT_TRUE(Variant("True").toBool());
    EXPECT_FALSE(Variant(0.0).toBool());
    EXPECT_FLOAT_EQ(Variant("0.1").toSingle(), 0.1f);

    EXPECT_EQ(errorOf([] { CDbl(Variant("abc")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { CLng(Variant("")); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { CLng(Variant(3e9)); }), err::Overflow);
    EXPECT_EQ(errorOf([] { CInt(Variant(std::numeric_limits<double>::quiet_NaN())); }),
              err::Overflow);
    EXPECT_EQ(errorOf([] { Variant("x").toDate(); }), err::TypeMismatch);
}

TEST(Variant, Equality) {
    EXPECT_TRUE(Variant(Long{2}) == Variant(2.0));
    EXPECT_TRUE(Variant(Integer{1}) == Variant("1"));
    EXPECT_TRUE(Variant() == Variant(Long{0}));
    EXPECT_TRUE(Variant() == Variant(""));
    EXPECT_TRUE(Variant() == Variant());
    EXPECT_TRUE(Variant("a") == Variant("a"));
    EXPECT_FALSE(Variant("a") == Variant("A"));
    EXPECT_FALSE(Variant("1.0") == Variant("1"));
    EXPECT_TRUE(Variant(true) == Variant(Long{-1}));
    EXPECT_EQ(errorOf([] { return Variant("a") == Variant(Long{1}); }), err::TypeMismatch);
}

} // namespace

namespace {
TEST(VArray, MovedFromArrayIsErased) {
    VArray<int> a(1, 3);
    VArray<int> b = std::move(a);
    EXPECT_EQ(UBound(b), 3);
    EXPECT_FALSE(a.IsAllocated()); // NOLINT(bugprone-use-after-move): the state is defined
    EXPECT_EQ(errorOf([&] { a(1); }), err::Subscript);
    VArray2<int> c(1, 2, 1, 2);
    VArray2<int> d = std::move(c);
    EXPECT_EQ(errorOf([&] { c(1, 1); }), err::Subscript);
    EXPECT_EQ(d(2, 2), 0);
}
} // namespace

namespace {
// One parameter type receives a list or a grid; ReDim decides which.
void fillAsCaller(VArray<int>& a, bool grid) {
    if (grid)
        a.ReDim(1, 2, 1, 3);
    else
        a.ReDim(0, 4);
}

TEST(VArray, ReDimSetsTheRank) {
    VArray<int> a;
    EXPECT_EQ(a.Rank(), 0);
    fillAsCaller(a, true);
    EXPECT_EQ(a.Rank(), 2);
    EXPECT_EQ(a.size(), 6u);
    EXPECT_EQ(UBound(a, 2), 3);
    EXPECT_EQ(errorOf([&] { a(1); }), err::Subscript); // one index on a grid
    a(2, 3) = 9;
    EXPECT_EQ(a.data()[5], 9);

    fillAsCaller(a, false);
    EXPECT_EQ(a.Rank(), 1);
    EXPECT_EQ(a.size(), 5u);
    EXPECT_EQ(a(4), 0); // fresh elements
    EXPECT_EQ(LBound(a), 0);
    EXPECT_EQ(errorOf([&] { UBound(a, 2); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { LBound(a, 0); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { a(1, 1); }), err::Subscript); // two indices on a list

    // A refused ReDim keeps rank and bounds.
    EXPECT_EQ(errorOf([&] { a.ReDim(1, 2, 3, 1); }), err::Subscript);
    EXPECT_EQ(a.Rank(), 1);
    EXPECT_EQ(UBound(a), 4);

    a.Erase();
    EXPECT_EQ(a.Rank(), 0);
    EXPECT_EQ(errorOf([&] { a(0); }), err::Subscript);
}

TEST(VArray, ReDimPreserveKeepsTheRank) {
    VArray<int> a(1, 3);
    a(3) = 7;
    EXPECT_EQ(errorOf([&] { a.ReDimPreserve(1, 3, 1, 2); }), err::Subscript);
    EXPECT_EQ(a.Rank(), 1);
    EXPECT_EQ(a(3), 7);

    VArray2<int> g(1, 2, 1, 2);
    g(2, 2) = 5;
    EXPECT_EQ(errorOf([&] { g.ReDimPreserve(1, 4); }), err::Subscript);
    EXPECT_EQ(g.Rank(), 2);
    EXPECT_EQ(g(2, 2), 5);

    // Not allocated: Preserve is a plain ReDim of either rank.
    VArray<int> e;
    e.ReDimPreserve(0, 1, 0, 1);
    EXPECT_EQ(e.Rank(), 2);
    e.Erase();
    e.ReDimPreserve(2, 2);
    EXPECT_EQ(e.Rank(), 1);
    EXPECT_EQ(LBound(e), 2);

    // A copy keeps the rank.
    VArray<int> c = g;
    EXPECT_EQ(c.Rank(), 2);
    EXPECT_EQ(c(2, 2), 5);
}
} // namespace
