#pragma once
// The read step that the section readers share: a section is read one column at a time (every
// level at one horizontal place and one time step) through a read window of the variable. The
// control's reader and the viewer's own section window build the window, place each column in
// it, gather the range of the valid values and report a failed read alike; what each reads
// with, which columns it takes and where the values go stay its own.
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <string>

// A read window: one entry per dimension of the variable (1 To ndims), slowest first.
struct SectionWindow {
    VArray<Long> startp, countp, stridep;
};

// The first dimension (1 To ndims) whose id, as dimIdAt(d) gives it, is dimId; 0 when none.
template <class DimIdAt> Long DimensionPosition(Long ndims, Long dimId, DimIdAt&& dimIdAt) {
    for (Long d = 1; d <= ndims; ++d)
        if (dimIdAt(d) == dimId) return d;
    return 0;
}

// The window of one value: every dimension starting at first (0 for the netCDF library, 1 for
// the dataset library) with count and stride 1. A reader then counts its levels along the
// level dimension. Raises error 9 for a variable without dimensions.
SectionWindow ColumnWindow(Long ndims, Long first);

// Where a column's horizontal indices go in the window: the last two dimensions in the
// variable's order (1: longitude then latitude, 2: latitude then longitude); for a cell list
// (0) the cell in the dimension before the last. kNoDim where an index has no dimension.
constexpr Long kNoDim = -1;
struct HorizontalDims {
    Long lon = kNoDim;
    Long lat = kNoDim;
};
HorizontalDims HorizontalDimsOf(Long ndims, Long lonlatOrder);

// Puts a column's horizontal start indices (already counted as the window counts) in place.
void PlaceColumn(SectionWindow& w, const HorizontalDims& at, Long i, Long j);

// A value of a read counts for the range when it lies above the no-value mark; an empty range
// runs from kEmptyRangeMax up to kEmptyRangeMin. True when the value counted.
constexpr float kEmptyRangeMax = -1e35f;
constexpr float kEmptyRangeMin = 1e35f;
bool TakeIntoRange(float value, float noVal, float& max, float& min);

// How the report of a failed read writes its numbers: as CStr does, or as Str does (a blank
// before a number that is not negative).
enum class ReportNumbers { CStr, Str };

// The report of a failed read: the reader's message, an empty line, "nvar, tcount= " with the
// variable and the value count, then "start, count, stride = " for every dimension of the
// window; each line ended with lineEnd.
std::string FailedReadReport(const std::string& message, Long nvar, Long tcount,
                             const SectionWindow& w, const std::string& lineEnd,
                             ReportNumbers numbers);
