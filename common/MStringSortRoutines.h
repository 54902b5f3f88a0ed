#pragma once
// Sorting an array of texts in place: partitioning for ranges of more than 61 elements,
// insertion below that (which keeps equal elements in their order).
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <string>

// -1, 0 or 1 as a sorts before, equal to or after b.
using StrComparison = int (*)(const std::string& a, const std::string& b);

// By byte values.
int CompareTextBinary(const std::string& a, const std::string& b);
// By byte values with the ASCII letters folded to one case.
int CompareTextNoCase(const std::string& a, const std::string& b);

// Sorts the whole array, ascending or descending, with or without regard to case. An array
// of one element or none is left as it is.
void SortStrings(VArray<std::string>& a, bool ascending, bool caseSensitive);

// The steps of SortStrings on a(lo..hi); order is 1 ascending, -1 descending.
void QuickSortStr(VArray<std::string>& a, Long lo, Long hi, int order, StrComparison compare);
Long SortPartition(VArray<std::string>& a, Long lo, Long hi, int order, StrComparison compare);
void InsertionSortStr(VArray<std::string>& a, Long lo, Long hi, int order, StrComparison compare);
