// The any-type reads: values of a variable of any numeric type, scaled, with missing and fill
// values set to the caller's no-value mark.
#include "common/MinMax.h"
#include "common/NetCDF.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/ReadArgs.h"
#include "kelvadlib/Utils.h"
#include "kelvadlib/ValueMarks.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"

#include <netcdf.h>

#include <cmath>
#include <new>
#include <vector>

namespace {

enum class Member { Vars, Vara, Var, Var1 };

// The message for a variable that these reads do not take (char, netCDF-4 types).
std::string typeMessage(const VariRec& v) {
    return std::string("Variable-Type of Attribute not expected:") + "\r\n" +
           "Variable Name = " + v.name + "\n" + "Tyep Number = " + Str(v.type);
}

// x as a Single; false when it is not a number or lies beyond a Single's range (the halfway
// point past the largest Single rounds to infinity).
bool toSingle(double x, float& out) {
    constexpr double kLimit = 0x1.ffffffp127;
    if (!std::isfinite(x) || std::fabs(x) >= kLimit) return false;
    out = static_cast<float>(x);
    return true;
}

// Runs read(zero) with a zero of the C type that holds the variable's values (bytes widened
// to 16 bits, as the library reads them) and returns its status; a type the reads do not know
// leaves the type message and reads nothing.
template <class Read> int ReadAsOwnType(Kelvad& k, const VariRec& v, Read&& read) {
    switch (v.type) {
    case NC_BYTE:
    case NC_SHORT:
        return read(Integer{});
    case NC_INT:
        return read(Long{});
    case NC_FLOAT:
        return read(float{});
    case NC_DOUBLE:
        return read(double{});
    default:
        k.ErrorMessage = typeMessage(v);
        return NC_NOERR;
    }
}

// One library read of the window into buf (tcount values, or one for Var1).
template <class T>
int readValues(Member m, int ncid, int varid, const ReadWindow& w, Long narray, T* buf) {
    std::size_t start[kMaxVarDims], count[kMaxVarDims];
    std::ptrdiff_t stride[kMaxVarDims];
    const int status = ToNcWindow(w, narray, m == Member::Vars, start, count, stride);
    if (status != NC_NOERR) return status;
    switch (m) {
    case Member::Vars:
        return NcReadCalls<T>::vars(ncid, varid, start, count, stride, buf);
    case Member::Var1:
        return NcReadCalls<T>::var1(ncid, varid, start, buf);
    default:
        return NcReadCalls<T>::vara(ncid, varid, start, count, buf);
    }
}

std::string tagOf(Member m) {
    switch (m) {
    case Member::Vars:
        return "[do_get_vars_any] ";
    case Member::Vara:
        return "[do_get_vara_any] ";
    case Member::Var:
        return "[do_get_var_any] ";
    default:
        return "[do_get_var1_any] ";
    }
}

Variant failed() {
    return Variant(Integer{-1});
}

// A refused reopen or read: the text, and the dataset closed whatever CloseAfterRead holds.
Variant ncFailure(Kelvad& k, Member m, Long nH, int status) {
    k.ErrorMessage = tagOf(m) + "NetCDF Error: " + NcErrorText(status);
    k.CloseSlot(nH);
    return failed();
}

Variant caught(Kelvad& k, Member m, const RuntimeError& e) {
    k.ErrorMessage = ErrorFrame(tagOf(m), e);
    return failed();
}

// The common body of the three array reads, once their own checks have passed: n values of
// window w into scalarV (1 To n). The count of valid values, or -1.
Variant readArray(Kelvad& k, Member m, Long nH, Long nvar, float No_Val, VArray<float>& scalarV,
                  const ReadWindow& w, Long n) {
    NcfRec& r = k.ncf(nH);
    const VariRec& v = r.vari(nvar);
    int status = k.ReopenSlot(nH);
    if (status != NC_NOERR) return ncFailure(k, m, nH, status);
    // The counts size the output and the buffer: a window the variable does not hold is
    // refused before either is made.
    status = WindowFitsVariable(r.ncid, nvar - 1, w, v.narray, m == Member::Vars);
    if (status != NC_NOERR) return ncFailure(k, m, nH, status);

    scalarV.ReDim(1, n);
    const double noValSize = std::fabs(static_cast<double>(No_Val));
    k.vMax = CSng(-2 * noValSize);
    k.vMin = CSng(2 * noValSize);
    k.vMinMaxVar = nvar;

    const ValueMarks rule(v, v.type, m == Member::Var);
    Long valid = 0;
    auto run = [&](auto zero) {
        using T = decltype(zero);
        std::vector<T> buf(static_cast<std::size_t>(n));
        const int st = readValues(m, r.ncid, nvar - 1, w, v.narray, buf.data());
        if (st != NC_NOERR) return st;
        float* out = &scalarV(1);
        for (std::size_t i = 0; i < buf.size(); ++i) {
            out[i] = No_Val;
            float x = 0;
            // A scaled value beyond a Single's range is missing like a marked one.
            if (!rule.valid(buf[i]) || !toSingle(buf[i] * v.scale + v.offset, x)) continue;
            out[i] = x;
            k.vMax = MaxS(k.vMax, x);
            k.vMin = MinS(k.vMin, x);
            ++valid;
        }
        return NC_NOERR;
    };
    // Another type reads nothing: scalarV holds zeros, the count is 0.
    status = ReadAsOwnType(k, v, run);
    if (status != NC_NOERR) return ncFailure(k, m, nH, status);
    k.CloseIfAfterRead(nH);
    return Variant(valid);
}

// The product of the counts must be tcount: it sizes the output and the library writes that
// many values. A negative count is left to the read, which refuses it.
bool countsMatch(const ReadWindow& w, Long narray, Long tcount) {
    const int64_t product = CountProduct(w, narray);
    return product < 0 || product == tcount;
}

// The windowed reads: the start, count and (for the strided read) stride copies checked against
// tcount, then the read of the window.
Variant readWindow(Kelvad& k, Member m, Long nH, Long nvar, float No_Val, VArray<float>& scalarV,
                   const VArray<Long>& startp, const VArray<Long>& countp,
                   const VArray<Long>* stride, Long tcount, const char* tcountNotPositive,
                   const char* tcountNotProduct) {
    try {
        const VariRec& v = k.ncf(nH).vari(nvar);
        ReadWindow w;
        TakeStart(startp, v.narray, w);
        if (tcount <= 0) {
            k.ErrorMessage = tcountNotPositive;
            return failed();
        }
        TakeCounts(countp, v.narray, w);
        if (stride) TakeStrides(*stride, v.narray, w);
        if (!countsMatch(w, v.narray, tcount)) {
            k.ErrorMessage = tcountNotProduct;
            return failed();
        }
        return readArray(k, m, nH, nvar, No_Val, scalarV, w, tcount);
    } catch (const RuntimeError& e) {
        return caught(k, m, e);
    } catch (const std::bad_alloc&) {
        return caught(k, m, RuntimeError(7));
    }
}

} // namespace

Variant Kelvad::do_get_vars_any(Long nH, Long nvar, float No_Val, VArray<float>& scalarV,
                                const VArray<Long>& startp, const VArray<Long>& countp,
                                const VArray<Long>& stride, Long tcount) {
    return readWindow(
        *this, Member::Vars, nH, nvar, No_Val, scalarV, startp, countp, &stride, tcount,
        "[do_get_vars_any] tcount <= 0:", "[do_get_vars_any] tcount <> product of countp:");
}

Variant Kelvad::do_get_vara_any(Long nH, Long nvar, float No_Val, VArray<float>& scalarV,
                                const VArray<Long>& startp, const VArray<Long>& countp,
                                Long tcount) {
    return readWindow(
        *this, Member::Vara, nH, nvar, No_Val, scalarV, startp, countp, nullptr, tcount,
        "[do_get_vara_any] tcount& <= 0:", "[do_get_vara_any] tcount& <> product of countp:");
}

Variant Kelvad::do_get_var_any(Long nH, Long nvar, float No_Val, VArray<float>& scalarV) {
    const Member m = Member::Var;
    if (nvar < 0) {
        ErrorMessage = "[do_get_var_any] nvar& < 0:";
        return failed();
    }
    if (nH < 0) {
        ErrorMessage = "[do_get_var_any] nH& < 0:";
        return failed();
    }
    try {
        const NcfRec& r = ncf(nH);
        const VariRec& v = r.vari(nvar);
        const Long n = RecordedSize(r, v);
        if (n <= 0) {
            ErrorMessage = "[do_get_var_any] tcount& <= 0:";
            return failed();
        }
        return readArray(*this, m, nH, nvar, No_Val, scalarV, RecordedWindow(r, v), n);
    } catch (const RuntimeError& e) {
        return caught(*this, m, e);
    } catch (const std::bad_alloc&) {
        return caught(*this, m, RuntimeError(7));
    }
}

Variant Kelvad::do_get_var1_any(Long nH, Long nvar, const VArray<Long>& indexp, double& scalarV) {
    const Member m = Member::Var1;
    try {
        NcfRec& r = ncf(nH);
        const VariRec& v = r.vari(nvar);
        ReadWindow w;
        TakeStart(indexp, v.narray, w);
        int status = ReopenSlot(nH);
        if (status != NC_NOERR) return ncFailure(*this, m, nH, status);

        const ValueMarks rule(v, v.type, true);
        Long result = 0;
        auto run = [&](auto zero) {
            using T = decltype(zero);
            T value{};
            const int st = readValues(m, r.ncid, nvar - 1, w, v.narray, &value);
            if (st != NC_NOERR) return st;
            const double x = value * v.scale + v.offset; // in Double, not rounded to Single
            if (rule.valid(value) && std::isfinite(x)) {
                scalarV = x;
                result = 1;
            }
            return NC_NOERR;
        };
        status = ReadAsOwnType(*this, v, run);
        if (status != NC_NOERR) return ncFailure(*this, m, nH, status);
        CloseIfAfterRead(nH);
        return Variant(result);
    } catch (const RuntimeError& e) {
        return caught(*this, m, e);
    } catch (const std::bad_alloc&) {
        return caught(*this, m, RuntimeError(7));
    }
}
