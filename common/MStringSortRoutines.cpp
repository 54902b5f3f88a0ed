#include "common/MStringSortRoutines.h"

#include <utility>

namespace {

// Ranges up to this many elements are insertion-sorted.
constexpr Long kInsertionLimit = 60;

unsigned char foldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

template <typename Fold> int compareBytes(const std::string& a, const std::string& b, Fold fold) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = fold(static_cast<unsigned char>(a[i]));
        const unsigned char y = fold(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

int CompareTextBinary(const std::string& a, const std::string& b) {
    return compareBytes(a, b, [](unsigned char c) { return c; });
}

int CompareTextNoCase(const std::string& a, const std::string& b) {
    return compareBytes(a, b, foldCase);
}

void SortStrings(VArray<std::string>& a, bool ascending, bool caseSensitive) {
    // Nothing collected is nothing to sort.
    if (!a.IsAllocated()) return;
    const int order = ascending ? 1 : -1;
    const StrComparison compare = caseSensitive ? CompareTextBinary : CompareTextNoCase;
    if (a.LBound() == a.UBound()) return;
    QuickSortStr(a, a.LBound(), a.UBound(), order, compare);
}

void QuickSortStr(VArray<std::string>& a, Long lo, Long hi, int order, StrComparison compare) {
    if (int64_t{hi} - lo <= kInsertionLimit) {
        InsertionSortStr(a, lo, hi, order, compare);
        return;
    }
    while (lo < hi) {
        const Long m = SortPartition(a, lo, hi, order, compare);
        // Recursing into the smaller side keeps the depth logarithmic.
        if (int64_t{m} - lo <= int64_t{hi} - m) {
            QuickSortStr(a, lo, m - 1, order, compare);
            lo = m + 1;
        } else {
            QuickSortStr(a, m + 1, hi, order, compare);
            hi = m - 1;
        }
    }
}

Long SortPartition(VArray<std::string>& a, Long lo, Long hi, int order, StrComparison compare) {
    const Long mid = static_cast<Long>(lo + (int64_t{hi} - lo) / 2);
    std::string pivot = std::move(a(mid));
    a(mid) = a(lo);
    Long i = lo + 1;
    Long j = hi;
    for (;;) {
        while (j > i && compare(pivot, a(i)) == order)
            ++i;
        while (j >= i && compare(a(j), pivot) == order)
            --j;
        if (i >= j) {
            if (j != lo) a(lo) = std::move(a(j));
            a(j) = std::move(pivot);
            return j;
        }
        std::swap(a(i), a(j));
        ++i;
        --j;
    }
}

void InsertionSortStr(VArray<std::string>& a, Long lo, Long hi, int order, StrComparison compare) {
    for (int64_t k = int64_t{lo} + 1; k <= hi; ++k) {
        std::string key = std::move(a(static_cast<Long>(k)));
        int64_t j = k - 1;
        while (j >= lo && compare(a(static_cast<Long>(j)), key) == order) {
            a(static_cast<Long>(j + 1)) = std::move(a(static_cast<Long>(j)));
            --j;
        }
        a(static_cast<Long>(j + 1)) = std::move(key);
    }
}
