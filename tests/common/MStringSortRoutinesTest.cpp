#include "common/MStringSortRoutines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

VArray<std::string> toArray(const std::vector<std::string>& v, Long lo) {
    VArray<std::string> a(lo, static_cast<Long>(lo + static_cast<Long>(v.size()) - 1));
    for (std::size_t i = 0; i < v.size(); ++i)
        a(static_cast<Long>(lo + static_cast<Long>(i))) = v[i];
    return a;
}

std::vector<std::string> toVector(const VArray<std::string>& a) {
    return {a.begin(), a.end()};
}

// Short texts from a small alphabet, so that many are equal or equal but for case.
std::vector<std::string> randomTexts(std::mt19937& rng, std::size_t n) {
    static const std::string alphabet = "aAbB_z\xe9";
    std::uniform_int_distribution<std::size_t> length(0, 3);
    std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
    std::vector<std::string> v(n);
    for (auto& s : v) {
        const std::size_t len = length(rng);
        for (std::size_t i = 0; i < len; ++i)
            s += alphabet[letter(rng)];
    }
    return v;
}

} // namespace

TEST(SortStrings, ShortRangeIgnoringCaseKeepsEqualElementsInOrder) {
    auto a = toArray({"b", "A", "a", "C"}, 0);
    SortStrings(a, true, false);
    EXPECT_EQ(toVector(a), (std::vector<std::string>{"A", "a", "b", "C"}));

    a = toArray({"b", "A", "a", "C"}, 1);
    SortStrings(a, false, false);
    EXPECT_EQ(toVector(a), (std::vector<std::string>{"C", "b", "A", "a"}));

    a = toArray({"b", "A", "a", "C"}, 1);
    SortStrings(a, true, true);
    EXPECT_EQ(toVector(a), (std::vector<std::string>{"A", "C", "a", "b"}));
}

TEST(SortStrings, BytesAboveAsciiSortAfterIt) {
    auto a = toArray({"\xe9t\xe9", "zeta", "Zeta", "_x"}, 1);
    SortStrings(a, true, false);
    EXPECT_EQ(toVector(a), (std::vector<std::string>{"_x", "zeta", "Zeta", "\xe9t\xe9"}));
}

TEST(SortStrings, OneElementOrNoneIsLeftAlone) {
    VArray<std::string> empty;
    EXPECT_NO_THROW(SortStrings(empty, true, true));
    auto one = toArray({"x"}, 5);
    SortStrings(one, true, true);
    EXPECT_EQ(one(5), "x");
}

TEST(SortStrings, MatchesTheStandardSortsAcrossTheInsertionThreshold) {
    std::mt19937 rng(20240611);
    for (std::size_t n : {2u, 3u, 17u, 60u, 61u, 62u, 63u, 64u, 100u, 257u, 2000u}) {
        for (Long lo : {Long{1}, Long{-3}}) {
            for (bool ascending : {true, false}) {
                for (bool caseSensitive : {true, false}) {
                    const auto input = randomTexts(rng, n);
                    const StrComparison cmp = caseSensitive ? CompareTextBinary : CompareTextNoCase;
                    const int order = ascending ? 1 : -1;
                    auto before = [&](const std::string& x, const std::string& y) {
                        return cmp(x, y) == -order;
                    };
                    auto a = toArray(input, lo);
                    SortStrings(a, ascending, caseSensitive);
                    ASSERT_EQ(a.LBound(), lo);
                    const auto got = toVector(a);
                    SCOPED_TRACE(testing::Message() << "n=" << n << " lo=" << lo << " asc="
                                                    << ascending << " case=" << caseSensitive);
                    if (n <= 61) {
                        // Insertion sort: stable.
                        auto expected = input;
                        std::stable_sort(expected.begin(), expected.end(), before);
                        EXPECT_EQ(got, expected);
                    } else {
                        // Equal elements may move: the same elements, in order.
                        auto expected = input;
                        std::sort(expected.begin(), expected.end());
                        auto gotSorted = got;
                        std::sort(gotSorted.begin(), gotSorted.end());
                        EXPECT_EQ(gotSorted, expected);
                        EXPECT_TRUE(std::is_sorted(got.begin(), got.end(), before));
                        if (caseSensitive) {
                            auto exact = input;
                            std::sort(exact.begin(), exact.end(), before);
                            EXPECT_EQ(got, exact);
                        }
                    }
                }
            }
        }
    }
}

TEST(SortStrings, PresortedAndAllEqualLargeRanges) {
    std::vector<std::string> v;
    for (int i = 0; i < 500; ++i)
        v.push_back(std::string(1, static_cast<char>('a' + i % 26)) + std::to_string(1000 + i));
    std::sort(v.begin(), v.end());
    for (bool ascending : {true, false}) {
        auto a = toArray(v, 0);
        SortStrings(a, ascending, true);
        auto expected = v;
        if (!ascending) std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(toVector(a), expected);
    }
    auto same = toArray(std::vector<std::string>(300, "x"), 1);
    SortStrings(same, true, false);
    EXPECT_EQ(toVector(same), std::vector<std::string>(300, "x"));
}

TEST(SortStrings, StepsOnAPartOfTheArray) {
    auto a = toArray({"d", "c", "b", "a", "z"}, 1);
    InsertionSortStr(a, 2, 4, 1, CompareTextBinary);
    EXPECT_EQ(toVector(a), (std::vector<std::string>{"d", "a", "b", "c", "z"}));

    // The partition puts the middle element in its final place.
    a = toArray({"e", "b", "c", "a", "d"}, 1);
    const Long m = SortPartition(a, 1, 5, 1, CompareTextBinary);
    EXPECT_EQ(a(m), "c");
    for (Long i = 1; i < m; ++i)
        EXPECT_LE(CompareTextBinary(a(i), "c"), 0);
    for (Long i = m + 1; i <= 5; ++i)
        EXPECT_GE(CompareTextBinary(a(i), "c"), 0);
}
