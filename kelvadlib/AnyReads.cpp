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

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <type_traits>
#include <vector>

namespace {

enum class Member { Vars, Vara, Var, Var1 };

// The message for a variable that these reads do not take (char, netCDF-4 types).
std::string typeMessage(const VariRec& v) {
    return std::string("Variable-Type of Attribute not expected:") + "\r\n" +
           "Variable Name = " + v.name + "\n" + "Tyep Number = " + Str(v.type);
}

// Scaled values at or beyond this magnitude are no Single (the halfway point past the largest
// Single rounds to infinity): they are missing like marked ones.
constexpr double kSingleLimit = 0x1.ffffffp127;

// The values the rule takes at a time: its flags stay in the fastest cache.
constexpr std::size_t kBlock = 4096;
// About the values read at a time: a piece that stays in the cache between the read and the
// rule.
constexpr std::size_t kPieceValues = 65536;

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

// The value rule over one block of values held as T, written to out as Singles: a marked value,
// one that is not a finite number, and one whose scaled value lies beyond a Single's range
// become No_Val. ok[i] records whether value i was valid. InPlace: the values are Singles
// already in out (src is not used).
struct BlockRule {
    ValueMarks::Range missing, fill;
    double scale, offset;
    float noVal;
};

struct BlockResult {
    float hi = 0, lo = 0; // meaningful when valid > 0
    Long valid = 0;
};

// A whole number that orders finite Singles as their values do (-0 just below +0), so that
// the smallest and largest are integer reductions the compiler can vectorise.
inline int32_t orderKey(float x) {
    const int32_t bits = std::bit_cast<int32_t>(x);
    return bits ^ ((bits >> 31) & 0x7fffffff);
}
inline float fromOrderKey(int32_t key) {
    return std::bit_cast<float>(key ^ ((key >> 31) & 0x7fffffff));
}

// Keeps the count and the order keys of the valid values of a block. The loops below are
// written with masks rather than branches so that they run at the speed of memory.
struct BlockFold {
    int32_t hiKey = std::numeric_limits<int32_t>::min();
    int32_t loKey = std::numeric_limits<int32_t>::max();
    int32_t valid = 0;
    void add(float x, bool good) {
        const int32_t mask = -static_cast<int32_t>(good);
        const int32_t key = orderKey(x);
        hiKey = std::max(hiKey, (key & mask) | (std::numeric_limits<int32_t>::min() & ~mask));
        loKey = std::min(loKey, (key & mask) | (std::numeric_limits<int32_t>::max() & ~mask));
        valid += good;
    }
    BlockResult result() const {
        BlockResult b;
        b.valid = valid;
        if (valid > 0) {
            b.hi = fromOrderKey(hiKey);
            b.lo = fromOrderKey(loKey);
        }
        return b;
    }
};

// The smallest Single at or above a, and the largest at or below it.
float singleUp(double a) {
    float f = static_cast<float>(a);
    if (static_cast<double>(f) < a) f = std::nextafter(f, std::numeric_limits<float>::infinity());
    return f;
}
float singleDown(double a) {
    float f = static_cast<float>(a);
    if (static_cast<double>(f) > a) f = std::nextafter(f, -std::numeric_limits<float>::infinity());
    return f;
}

// Singles neither scaled nor offset, in place: the rule in Single arithmetic, which gives the
// same results as the Double one (a Single lies in a range of Doubles exactly when it lies in
// the range of Singles within it).
BlockResult applySingles(float* __restrict out, std::size_t n, unsigned char* __restrict ok,
                         const BlockRule& rule) {
    const float mLo = singleUp(rule.missing.lo), mHi = singleDown(rule.missing.hi);
    const float fLo = singleUp(rule.fill.lo), fHi = singleDown(rule.fill.hi);
    const float noVal = rule.noVal;
    BlockFold fold;
    for (std::size_t i = 0; i < n; ++i) {
        const float v = out[i];
        const bool good = !((v >= mLo) & (v <= mHi)) & !((v >= fLo) & (v <= fHi)) &
                          (std::fabs(v) <= std::numeric_limits<float>::max());
        const float x = v + 0.0f; // as v * 1 + 0: a negative zero turns positive
        out[i] = good ? x : noVal;
        ok[i] = good;
        fold.add(x, good);
    }
    return fold.result();
}

// Other values in Double arithmetic: a first pass scales and tests them, a second (in Singles
// only, which the compiler vectorises the better) folds the valid ones.
template <class T, bool InPlace>
BlockResult applyBlock(const T* src, float* __restrict out, std::size_t n,
                       unsigned char* __restrict ok, const BlockRule& rule) {
    if constexpr (InPlace)
        if (rule.scale == 1 && rule.offset == 0) return applySingles(out, n, ok, rule);
    const ValueMarks::Range missing = rule.missing, fill = rule.fill;
    const double scale = rule.scale, offset = rule.offset;
    const double noVal = rule.noVal; // exact, and exactly the Single again
    float flag[kBlock];
    for (std::size_t i = 0; i < n; ++i) {
        double d;
        if constexpr (InPlace)
            d = out[i];
        else
            d = static_cast<double>(src[i]);
        // A value that is not finite scales to one that is not either, so the range test of
        // the scaled value also sets aside what is not a number or infinite.
        const double scaled = d * scale + offset;
        const bool good = !missing.holds(d) & !fill.holds(d) & (std::fabs(scaled) < kSingleLimit);
        out[i] = static_cast<float>(good ? scaled : noVal);
        flag[i] = good ? 1.0f : 0.0f;
    }
    BlockFold fold;
    for (std::size_t i = 0; i < n; ++i) {
        const bool good = flag[i] != 0;
        ok[i] = good;
        fold.add(out[i], good);
    }
    return fold.result();
}

// The last valid zero of a block, with its sign.
float lastZero(const float* out, std::size_t n, const unsigned char* ok) {
    for (std::size_t i = n; i-- > 0;)
        if (ok[i] && out[i] == 0) return out[i];
    return 0;
}

// The value rule over n values, src to out, block by block, with the smallest and largest
// valid values folded into k.vMin and k.vMax exactly as a value-by-value MinS/MaxS would fold
// them: among equal values the later one wins, which matters only for the sign of a zero.
template <class T, bool InPlace = false>
Long applyRule(Kelvad& k, const T* src, float* out, std::size_t n, const BlockRule& rule) {
    unsigned char ok[kBlock];
    Long valid = 0;
    for (std::size_t at = 0; at < n; at += kBlock) {
        const std::size_t len = std::min(kBlock, n - at);
        const BlockResult b =
            applyBlock<T, InPlace>(InPlace ? nullptr : src + at, out + at, len, ok, rule);
        if (b.valid == 0) continue;
        valid += b.valid;
        k.vMax = MaxS(k.vMax, b.hi != 0 ? b.hi : lastZero(out + at, len, ok));
        k.vMin = MinS(k.vMin, b.lo != 0 ? b.lo : lastZero(out + at, len, ok));
    }
    return valid;
}

// The buffer that Doubles and integers are read into before the rule turns them into Singles:
// kept from one read to the next, so that a series of reads (an animation) neither allocates
// nor touches fresh pages each time.
template <class T> std::vector<T>& readBuffer(std::size_t n) {
    thread_local std::vector<T> buf;
    if (buf.size() < n) {
        buf.clear();
        buf.shrink_to_fit();
        buf.resize(n);
    }
    return buf;
}

// The common body of the three array reads, once their own checks have passed: n values of
// window w into scalarV (1 To n). The count of valid values, or -1. Singles are read straight
// into scalarV, other types through one small buffer; a failed read leaves scalarV all zeros.
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

    // An output of the right shape is written over rather than made afresh: every element
    // is written below, or zeroed when nothing could be read, as a fresh one would hold.
    const bool reused = scalarV.Rank() == 1 && scalarV.LBound() == 1 && scalarV.UBound() == n;
    if (!reused) scalarV.ReDim(1, n);
    const double noValSize = std::fabs(static_cast<double>(No_Val));
    k.vMax = CSng(-2 * noValSize);
    k.vMin = CSng(2 * noValSize);
    k.vMinMaxVar = nvar;

    const ValueMarks marks(v, v.type, m == Member::Var);
    const BlockRule rule{marks.missingRange(), marks.fillRange(), v.scale, v.offset, No_Val};
    const std::size_t count = static_cast<std::size_t>(n);
    float* out = &scalarV(1);
    Long valid = 0;
    bool written = false;
    // The window is read a few of its first dimension's entries at a time, each piece put
    // through the rule while it is still in the cache.
    const std::size_t rows = v.narray > 0 ? static_cast<std::size_t>(w.count[0]) : 1;
    const std::size_t perRow = rows > 0 ? count / rows : count;
    const std::size_t rowsAtOnce =
        std::max<std::size_t>(1, kPieceValues / std::max<std::size_t>(perRow, 1));
    const int64_t step = m == Member::Vars ? w.stride[0] : 1;
    auto run = [&](auto zero) {
        using T = decltype(zero);
        ReadWindow piece = w;
        for (std::size_t row = 0; row < rows; row += rowsAtOnce) {
            const std::size_t take = std::min(rowsAtOnce, rows - row);
            float* to = out + row * perRow;
            const std::size_t values = take * perRow;
            if (v.narray > 0) {
                piece.start[0] = w.start[0] + static_cast<int64_t>(row) * step;
                piece.count[0] = static_cast<Long>(take);
            }
            int st = NC_NOERR;
            if constexpr (std::is_same_v<T, float>) {
                st = readValues(m, r.ncid, nvar - 1, piece, v.narray, to);
                if (st == NC_NOERR) valid += applyRule<float, true>(k, nullptr, to, values, rule);
            } else {
                std::vector<T>& buf = readBuffer<T>(values);
                st = readValues(m, r.ncid, nvar - 1, piece, v.narray, buf.data());
                if (st == NC_NOERR) valid += applyRule(k, buf.data(), to, values, rule);
            }
            if (st != NC_NOERR) return st;
        }
        written = true;
        return NC_NOERR;
    };
    // Another type reads nothing: scalarV holds zeros, the count is 0. A failed read may have
    // written part of scalarV.
    status = ReadAsOwnType(k, v, run);
    if (!written) std::fill(out, out + count, 0.0f);
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
