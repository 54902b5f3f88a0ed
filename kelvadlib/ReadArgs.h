#pragma once
// The position arguments of the value reads (any-type and typed): the caller's 1-based Long
// arrays turned into the netCDF library's index types.
//
// A negative start, count or stride never reaches the library as a huge unsigned number: it
// gets the status that the library gives an index, count or stride it cannot take, so the read
// ends as such a read has always ended (a netCDF failure).
#include "kelvadlib/Records.h"
#include "runtime/Convert.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <netcdf.h>

#include <cstddef>
#include <cstdint>

// One read's window, entries 0 To narray - 1, slowest dimension first.
struct ReadWindow {
    int64_t start[kMaxVarDims] = {}; // 0-based
    Long count[kMaxVarDims] = {};
    Long stride[kMaxVarDims] = {};
};

// The entries a read takes of an argument array: 1 To narray, and entry 1 even for a variable
// without dimensions (the library is handed the array from there).
inline Long ReadArgEntries(Long narray) {
    return narray > 0 ? narray : 1;
}

// The private start (or index) copy: entries 1 To narray lowered to 0-based; the caller's
// array is left as it is. A missing entry raises RuntimeError(9).
inline void TakeStart(const VArray<Long>& startp, Long narray, ReadWindow& w) {
    for (Long i = 1; i <= ReadArgEntries(narray); ++i) {
        const int64_t s = startp(i);
        if (i <= narray) w.start[i - 1] = s - 1;
    }
}
inline void TakeCounts(const VArray<Long>& countp, Long narray, ReadWindow& w) {
    for (Long i = 1; i <= ReadArgEntries(narray); ++i) {
        const Long c = countp(i);
        if (i <= narray) w.count[i - 1] = c;
    }
}
inline void TakeStrides(const VArray<Long>& stride, Long narray, ReadWindow& w) {
    for (Long i = 1; i <= ReadArgEntries(narray); ++i) {
        const Long s = stride(i);
        if (i <= narray) w.stride[i - 1] = s;
    }
}

// The number of values the counts ask for (1 without dimensions); -1 when a count is
// negative. Products beyond the Long range are held at 2^40, which no array reaches.
inline int64_t CountProduct(const ReadWindow& w, Long narray) {
    constexpr int64_t kCap = int64_t{1} << 40;
    int64_t n = 1;
    for (Long i = 0; i < narray; ++i)
        if (w.count[i] < 0) return -1;
    for (Long i = 0; i < narray; ++i) {
        n *= w.count[i];
        if (n > kCap) n = kCap;
    }
    return n;
}

// The window in the library's types: NC_NOERR, or the library's status for a negative start
// (NC_EINVALCOORDS), count (NC_EEDGE) or stride (NC_ESTRIDE). Strides are taken only when
// withStride is set.
inline int ToNcWindow(const ReadWindow& w, Long narray, bool withStride, std::size_t* start,
                      std::size_t* count, std::ptrdiff_t* stride) {
    for (Long i = 0; i < narray; ++i) {
        if (w.start[i] < 0) return NC_EINVALCOORDS;
        if (w.count[i] < 0) return NC_EEDGE;
        if (withStride && w.stride[i] < 0) return NC_ESTRIDE;
    }
    for (Long i = 0; i < kMaxVarDims; ++i) {
        start[i] = i < narray ? static_cast<std::size_t>(w.start[i]) : 0;
        count[i] = i < narray ? static_cast<std::size_t>(w.count[i]) : 1;
        if (withStride) stride[i] = i < narray ? static_cast<std::ptrdiff_t>(w.stride[i]) : 1;
    }
    return NC_NOERR;
}

// NC_NOERR when the window lies inside the variable as the file holds it now; else the status
// the library gives such a window: a negative entry as in ToNcWindow, a stride of 0
// (NC_ESTRIDE), a start past a dimension's end (NC_EINVALCOORDS), a count that runs past it
// (NC_EEDGE). Without withStride the window is contiguous.
inline int WindowFitsVariable(int ncid, int varid, const ReadWindow& w, Long narray,
                              bool withStride) {
    std::size_t start[kMaxVarDims], count[kMaxVarDims];
    std::ptrdiff_t stride[kMaxVarDims];
    int status = ToNcWindow(w, narray, withStride, start, count, stride);
    if (status != NC_NOERR) return status;
    int dimIds[NC_MAX_VAR_DIMS] = {};
    int nd = 0;
    status = nc_inq_varndims(ncid, varid, &nd);
    if (status == NC_NOERR && nd != narray) return NC_EINVALCOORDS;
    if (status == NC_NOERR) status = nc_inq_vardimid(ncid, varid, dimIds);
    for (Long i = 0; i < narray && status == NC_NOERR; ++i) {
        std::size_t len = 0;
        status = nc_inq_dimlen(ncid, dimIds[i], &len);
        if (status != NC_NOERR) break;
        const std::size_t step = withStride ? static_cast<std::size_t>(stride[i]) : 1;
        if (withStride && step == 0) return NC_ESTRIDE;
        if (start[i] > len || (count[i] > 0 && start[i] == len)) return NC_EINVALCOORDS;
        // The last index taken, start + (count - 1) x step, without overflow.
        if (count[i] > 0 && (count[i] - 1) > (len - 1 - start[i]) / step) return NC_EEDGE;
    }
    return status;
}

// The library's strided, contiguous and one-value reads of one element type. Long elements go
// through the int calls, which deliver 32-bit values whatever the width of the C long.
template <class T> struct NcReadCalls;
template <> struct NcReadCalls<Integer> {
    static constexpr auto vars = nc_get_vars_short;
    static constexpr auto vara = nc_get_vara_short;
    static constexpr auto var1 = nc_get_var1_short;
};
template <> struct NcReadCalls<Long> {
    static constexpr auto vars = nc_get_vars_int;
    static constexpr auto vara = nc_get_vara_int;
    static constexpr auto var1 = nc_get_var1_int;
};
template <> struct NcReadCalls<float> {
    static constexpr auto vars = nc_get_vars_float;
    static constexpr auto vara = nc_get_vara_float;
    static constexpr auto var1 = nc_get_var1_float;
};
template <> struct NcReadCalls<double> {
    static constexpr auto vars = nc_get_vars_double;
    static constexpr auto vara = nc_get_vara_double;
    static constexpr auto var1 = nc_get_var1_double;
};

// The whole variable as the header recorded it: start 0, count = the recorded sizes, so that
// a file grown since cannot deliver more values than the target was sized for.
inline ReadWindow RecordedWindow(const NcfRec& r, const VariRec& v) {
    ReadWindow w;
    for (Long i = 1; i <= v.narray; ++i)
        w.count[i - 1] = r.dime(v.arrayDimId(i) + 1).size;
    return w;
}

// The number of values of the whole variable by the recorded sizes, in Long arithmetic (an
// overflow raises RuntimeError(6)); 1 for a variable without dimensions.
inline Long RecordedSize(const NcfRec& r, const VariRec& v) {
    Long n = 1;
    for (Long i = 1; i <= v.narray; ++i)
        n = MulL(n, r.dime(v.arrayDimId(i) + 1).size);
    return n;
}
