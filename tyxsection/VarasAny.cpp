// The strided read of the control's reader: a window of a variable of any numeric type as
// Singles, scaled, with missing values marked.
#include "common/NetCDF.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"
#include "tyxsection/ocxNetNc.h"

#include <netcdf.h>

#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// The library's strided read of each buffer type.
struct Window {
    int ncid, varid;
    const std::size_t* start;
    const std::size_t* count;
    const std::ptrdiff_t* stride;
};
int getVars(const Window& w, short* p) {
    return nc_get_vars_short(w.ncid, w.varid, w.start, w.count, w.stride, p);
}
int getVars(const Window& w, int* p) {
    return nc_get_vars_int(w.ncid, w.varid, w.start, w.count, w.stride, p);
}
int getVars(const Window& w, float* p) {
    return nc_get_vars_float(w.ncid, w.varid, w.start, w.count, w.stride, p);
}
int getVars(const Window& w, double* p) {
    return nc_get_vars_double(w.ncid, w.varid, w.start, w.count, w.stride, p);
}

// The values read into a buffer of their own type; then each is tested and converted.
template <class T>
int readConverted(const Window& w, std::size_t n, double threshold, const OcxVari& v, float noVal,
                  VArray<float>& values, Long& valid) {
    std::vector<T> buffer(n);
    const int status = getVars(w, buffer.data());
    if (status != NC_NOERR) return status;
    // A missing value marks every value at or beyond 99 % of it, on its side of zero; none
    // marks nothing. A value that is not a number is never valid.
    for (std::size_t i = 0; i < n; ++i) {
        const double x = static_cast<double>(buffer[i]);
        const Long at = static_cast<Long>(i) + 1;
        values(at) = noVal;
        bool ok = std::isfinite(x) && !(v.DefaultFill != 0 && x == v.DefaultFill);
        if (threshold > 0)
            ok = ok && x < threshold;
        else if (threshold < 0)
            ok = ok && x > threshold;
        if (ok) {
            values(at) = CSng(x * v.scale + v.offset);
            ++valid;
        }
    }
    return NC_NOERR;
}

} // namespace

Long GetVarasAny(Long ncid, const OcxNcf& ncf, Long nvar, float noVal, VArray<float>& values,
                 Long tcount, const ReadWindow& window, std::string& errorMessage) {
    if (nvar < 1) {
        errorMessage = "[nc_get_varas_any] nvar_it < 0:";
        return 0;
    }
    if (ncid < 0) {
        errorMessage = "[nc_get_varas_any] ncfId& < 0:";
        return 0;
    }
    if (tcount < 1) {
        errorMessage = "[nc_get_varas_any] tcount& <= 0:";
        return 0;
    }
    const OcxVari& v = ncf.vari(nvar);

    // The window, checked before any of it becomes a size, and the buffer sized from its
    // counts: the read never writes past the caller's array.
    const std::size_t rank = static_cast<std::size_t>(v.narray);
    std::vector<std::size_t> start(rank + 1, 0), count(rank + 1, 1);
    std::vector<std::ptrdiff_t> stride(rank + 1, 1);
    double n = 1;
    for (Long d = 1; d <= v.narray; ++d) {
        const Long s = window.startp(d), c = window.countp(d), k = window.stridep(d);
        if (s < 0 || c < 0 || k < 1) {
            errorMessage = "[nc_get_varas_any] start, count or stride out of range:";
            return 0;
        }
        start[d - 1] = static_cast<std::size_t>(s);
        count[d - 1] = static_cast<std::size_t>(c);
        stride[d - 1] = static_cast<std::ptrdiff_t>(k);
        n *= c;
    }
    if (n != static_cast<double>(tcount)) {
        errorMessage = "[nc_get_varas_any] tcount& <> the window's count:";
        return 0;
    }
    if (!values.IsAllocated() || values.Rank() != 1 || values.LBound() > 1 ||
        values.UBound() < tcount) {
        errorMessage = "[nc_get_varas_any] values() holds fewer than tcount& values:";
        return 0;
    }

    const double threshold = v.type == NC_FLOAT
                                 ? static_cast<double>(static_cast<float>(v.MisnVal * 0.99))
                                 : v.MisnVal * 0.99;
    const std::size_t total = static_cast<std::size_t>(tcount);
    const Window w{ncid, nvar - 1, start.data(), count.data(), stride.data()};
    Long valid = 0;
    // A file cut short since it was opened would give zeros past its end as values.
    int status = CheckClassicRead(&ncf.classic, ncf.FName, nvar - 1, w.start, w.count, w.stride);
    if (status != NC_NOERR) return status;
    // The netCDF-4 whole numbers are read as Doubles.
    switch (NcReadType(v.type)) {
    case NC_BYTE:
    case NC_SHORT:
        status = readConverted<short>(w, total, threshold, v, noVal, values, valid);
        break;
    case NC_INT:
        status = readConverted<int>(w, total, threshold, v, noVal, values, valid);
        break;
    case NC_FLOAT:
        status = readConverted<float>(w, total, threshold, v, noVal, values, valid);
        break;
    case NC_DOUBLE:
        status = readConverted<double>(w, total, threshold, v, noVal, values, valid);
        break;
    default:
        errorMessage = "Variable-Type of Attribute not expected:\n\nVariable Name = " + v.name +
                       "\nTyep Number = " + CStr(v.type);
        return 0;
    }
    if (status != NC_NOERR) return status;
    return valid;
}
