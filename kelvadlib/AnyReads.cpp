// The any-type reads: values of a variable of any numeric type, scaled, with missing and fill
// values set to the caller's no-value mark.
#include "common/MinMax.h"
#include "common/NcHttp.h"
#include "common/NetCDF.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/ReadArgs.h"
#include "kelvadlib/Utils.h"
#include "kelvadlib/ValueMarks.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"

#include <netcdf.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>
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

// The values the rule takes at a time: a block whose smallest or largest valid value is a zero
// is looked at again for the sign of that zero, so blocks are kept short.
constexpr std::size_t kBlock = 4096;
// About the values read at a time: a piece that stays in the cache between the read and the
// rule.
constexpr std::size_t kPieceValues = 65536;

// The most values read at a time from variable varid. A piece is one request over OPeNDAP,
// and a chunked variable's chunks are inflated again by every piece that crosses them: those
// are read in one go, which asks the server once and inflates each chunk once.
std::size_t pieceValuesOf(const NcfRec& r, int varid) {
    if (IsNcUrl(r.FName)) return SIZE_MAX;
    int storage = NC_CONTIGUOUS;
    if (nc_inq_var_chunking(static_cast<int>(r.ncid), varid, &storage, nullptr) == NC_NOERR &&
        storage == NC_CHUNKED)
        return SIZE_MAX;
    return kPieceValues;
}

// Runs read(zero) with a zero of the C type that holds the variable's values (bytes widened
// to 16 bits, as the library reads them; the netCDF-4 unsigned and 64-bit integers in the
// first type that takes them) and returns its status; a type the reads do not know leaves the
// type message and reads nothing.
template <class Read> int ReadAsOwnType(Kelvad& k, const VariRec& v, Read&& read) {
    switch (v.type) {
    case NC_BYTE:
    case NC_SHORT:
        return read(Integer{});
    case NC_INT:
    case NC_UBYTE:
    case NC_USHORT:
        return read(Long{});
    case NC_FLOAT:
        return read(float{});
    case NC_DOUBLE:
    case NC_UINT:
    case NC_INT64:
    case NC_UINT64:
        return read(double{});
    default:
        k.ErrorMessage = typeMessage(v);
        return NC_NOERR;
    }
}

// One library read of the window into buf (tcount values, or one for Var1).
template <class T>
int readValues(Member m, const NcfRec& r, int varid, const ReadWindow& w, Long narray, T* buf) {
    std::size_t start[kMaxVarDims], count[kMaxVarDims];
    std::ptrdiff_t stride[kMaxVarDims];
    int status = ToNcWindow(w, narray, m == Member::Vars, start, count, stride);
    if (status != NC_NOERR) return status;
    if (m == Member::Var1) std::fill(count, count + kMaxVarDims, std::size_t{1});
    // A file cut short returns zeros past its end: those are refused, not taken as values.
    status = CheckClassicRead(&r.classic, r.FName, varid, start, count,
                              m == Member::Vars ? stride : nullptr);
    if (status != NC_NOERR) return status;
    const int ncid = r.ncid;
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

// The loops of the rule are also built for the wider vectors of AVX2, taken where the processor
// has them: about twice as fast, and the same results bit for bit, each value going through
// the same IEEE operations (the file is built with -ffp-contract=off: no fused multiply-add).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define RULE_LOOP __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define RULE_LOOP
#endif

// The values the rule keeps, as at most three closed ranges: the values it may keep at all
// less the ranges of the two marks. A value is kept when it lies in one of them (so a NaN never
// is): two comparisons per range, which the loops below run as vectors.
template <class F> struct Kept {
    F lo[3] = {1, 1, 1}, hi[3] = {0, 0, 0}; // unused ranges are empty
    int count = 0;
    bool holds(F v) const {
        bool in = false;
        for (int k = 0; k < count; ++k)
            in |= (v >= lo[k]) & (v <= hi[k]);
        return in;
    }
};

// [from, to] less the closed ranges of the marks (an empty one has lo > hi).
template <class F> Kept<F> keptRanges(F from, F to, std::array<std::pair<F, F>, 2> marks) {
    constexpr F inf = std::numeric_limits<F>::infinity();
    std::sort(marks.begin(), marks.end());
    Kept<F> kept;
    auto keep = [&kept](F lo, F hi) {
        kept.lo[kept.count] = lo;
        kept.hi[kept.count] = hi;
        ++kept.count;
    };
    F at = from; // the least value not yet placed
    for (const auto& [lo, hi] : marks) {
        if (!(lo <= hi) || hi < at || lo > to) continue;
        if (lo > at) keep(at, std::nextafter(lo, -inf));
        if (hi >= to) return kept;
        at = std::nextafter(hi, inf);
    }
    keep(at, to);
    return kept;
}

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

// The value rule of one variable, written to the output as Singles: a marked value, one that is
// not a finite number, and one whose scaled value lies beyond a Single's range become No_Val.
struct Rule {
    // Values held in any type, tested in Double before they are scaled in Double.
    Kept<double> values;
    // Singles neither scaled nor offset, tested in Single arithmetic, which gives the same
    // results (a Single lies in a range of Doubles exactly when it lies in the range of Singles
    // within it); the finite Singles are all they may keep.
    Kept<float> singles;
    double scale, offset;
    float noVal;
    // x * 1 + 0 is x + 0 in Single as in Double; an offset of -0 keeps a negative zero.
    bool unscaled() const { return scale == 1 && offset == 0 && !std::signbit(offset); }

    Rule(const ValueMarks& marks, double scale_, double offset_, float noVal_)
        : scale(scale_), offset(offset_), noVal(noVal_) {
        const ValueMarks::Range m = marks.missingRange(), f = marks.fillRange();
        const ValueMarks::Range ok = marks.validRange();
        constexpr float most = std::numeric_limits<float>::max();
        values = keptRanges<double>(ok.lo, ok.hi, {{{m.lo, m.hi}, {f.lo, f.hi}}});
        singles = keptRanges<float>(
            std::max(-most, singleUp(ok.lo)), std::min(most, singleDown(ok.hi)),
            {{{singleUp(m.lo), singleDown(m.hi)}, {singleUp(f.lo), singleDown(f.hi)}}});
    }
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

// Whether v lies in one of the first K ranges, K known to the compiler.
template <int K, class F> inline bool inRanges(F v, const F (&lo)[3], const F (&hi)[3]) {
    bool in = (v >= lo[0]) & (v <= hi[0]);
    for (int k = 1; k < K; ++k)
        in |= (v >= lo[k]) & (v <= hi[k]);
    return in;
}

// Unscaled Singles, in place. v * 1 + 0 is v + 0: a negative zero turns positive, so every
// valid zero is +0.
template <int K>
RULE_LOOP BlockResult keepSingles(float* __restrict out, std::size_t n, const Kept<float>& kept,
                                  float noVal) {
    float lo[3], hi[3];
    std::copy(kept.lo, kept.lo + 3, lo);
    std::copy(kept.hi, kept.hi + 3, hi);
    BlockFold fold;
    for (std::size_t i = 0; i < n; ++i) {
        const float v = out[i];
        const bool good = inRanges<K>(v, lo, hi);
        const float x = v + 0.0f;
        out[i] = good ? x : noVal;
        fold.add(x, good);
    }
    return fold.result();
}

// Other values, src to out, scaled in Double. A value that is not finite scales to one that is
// not either, so the range test of the scaled value also sets aside what is not a number or
// infinite.
template <class T> inline bool keepsValue(T value, const Rule& rule, double& scaled) {
    const double d = static_cast<double>(value);
    scaled = d * rule.scale + rule.offset;
    return rule.values.holds(d) & (std::fabs(scaled) < kSingleLimit);
}

// Two passes: the first scales and tests, the second (in Singles only, which the compiler
// vectorises the better) folds the valid values.
template <class T, int K>
RULE_LOOP BlockResult keepScaled(const T* __restrict src, float* __restrict out, std::size_t n,
                                 const Rule& rule) {
    double lo[3], hi[3];
    std::copy(rule.values.lo, rule.values.lo + 3, lo);
    std::copy(rule.values.hi, rule.values.hi + 3, hi);
    const double scale = rule.scale, offset = rule.offset;
    const double noVal = rule.noVal; // exact, and exactly the Single again
    float flag[kBlock];
    for (std::size_t i = 0; i < n; ++i) {
        const double d = static_cast<double>(src[i]);
        const double scaled = d * scale + offset;
        const bool good = inRanges<K>(d, lo, hi) & (std::fabs(scaled) < kSingleLimit);
        out[i] = static_cast<float>(good ? scaled : noVal);
        flag[i] = good ? 1.0f : 0.0f;
    }
    BlockFold fold;
    for (std::size_t i = 0; i < n; ++i)
        fold.add(out[i], flag[i] != 0);
    return fold.result();
}

// Runs f with the number of ranges as a constant the compiler knows.
template <class F> BlockResult withRangeCount(int count, F&& f) {
    switch (count) {
    case 2:
        return f(std::integral_constant<int, 2>{});
    case 3:
        return f(std::integral_constant<int, 3>{});
    default: // none (all values missing) is one empty range
        return f(std::integral_constant<int, 1>{});
    }
}

// The last valid zero among scaled values, with its sign.
template <class T>
float lastValidZero(const T* src, const float* out, std::size_t n, const Rule& rule) {
    double scaled;
    for (std::size_t i = n; i-- > 0;)
        if (out[i] == 0 && keepsValue(src[i], rule, scaled)) return out[i];
    return 0;
}

// The value rule over n values, block by block: from src when there is one, else over
// unscaled Singles in place in out. The smallest and largest valid values are folded into
// k.vMin and k.vMax exactly as a value-by-value MinS/MaxS would fold them: among equal values
// the later one wins, which matters only for the sign of a zero.
template <class T>
Long applyRule(Kelvad& k, const T* src, float* out, std::size_t n, const Rule& rule) {
    Long valid = 0;
    for (std::size_t at = 0; at < n; at += kBlock) {
        const std::size_t len = std::min(kBlock, n - at);
        BlockResult b;
        if (src)
            b = withRangeCount(rule.values.count, [&](auto K) {
                return keepScaled<T, decltype(K)::value>(src + at, out + at, len, rule);
            });
        else
            b = withRangeCount(rule.singles.count, [&](auto K) {
                return keepSingles<decltype(K)::value>(out + at, len, rule.singles, rule.noVal);
            });
        if (b.valid == 0) continue;
        valid += b.valid;
        if (src && b.hi == 0) b.hi = lastValidZero(src + at, out + at, len, rule);
        if (src && b.lo == 0) b.lo = lastValidZero(src + at, out + at, len, rule);
        k.vMax = MaxS(k.vMax, b.hi);
        k.vMin = MinS(k.vMin, b.lo);
    }
    return valid;
}

// The buffer that values other than unscaled Singles are read into before the rule turns them
// into Singles: kept from one read to the next, so that a series of reads (an animation)
// neither allocates nor touches fresh pages each time.
template <class T> std::vector<T>& readBuffer(std::size_t n) {
    thread_local std::vector<T> buf;
    if (buf.size() < n) {
        buf.clear();
        buf.shrink_to_fit();
        buf.resize(n);
    }
    return buf;
}

// Runs read(piece, values) over the window in pieces of at most most values (or one value), in
// the order the output holds them, until a read gives a status other than NC_NOERR.
// Pieces run along the outermost dimension whose inner block (the counts after it) fits a
// piece, a few of its entries at a time, every dimension before it taken one entry at a time:
// the buffer stays small whatever the shape of the window.
template <class Read>
int forEachPiece(const ReadWindow& w, Long narray, bool strided, std::size_t most, Read&& read) {
    if (narray <= 0) return read(w, std::size_t{1});
    Long along = narray - 1;
    std::size_t inner = 1;
    while (along > 0 && inner * static_cast<std::size_t>(w.count[along]) <= most) {
        inner *= static_cast<std::size_t>(w.count[along]);
        --along;
    }
    const std::size_t rows = static_cast<std::size_t>(w.count[along]);
    const std::size_t rowsAtOnce = std::max<std::size_t>(1, most / inner);
    auto step = [&](Long i) { return strided ? int64_t{w.stride[i]} : int64_t{1}; };
    ReadWindow piece = w;
    Long outer[kMaxVarDims] = {};
    for (Long i = 0; i < along; ++i)
        piece.count[i] = 1;
    for (;;) {
        for (Long i = 0; i < along; ++i)
            piece.start[i] = w.start[i] + outer[i] * step(i);
        for (std::size_t row = 0; row < rows; row += rowsAtOnce) {
            const std::size_t take = std::min(rowsAtOnce, rows - row);
            piece.start[along] = w.start[along] + static_cast<int64_t>(row) * step(along);
            piece.count[along] = static_cast<Long>(take);
            const int status = read(piece, take * inner);
            if (status != NC_NOERR) return status;
        }
        Long i = along - 1; // the next entry of the dimensions before: last one fastest
        while (i >= 0 && ++outer[i] == w.count[i])
            outer[i--] = 0;
        if (i < 0) return NC_NOERR;
    }
}

// The common body of the three array reads, once their own checks have passed: n values of
// window w into scalarV (1 To n). The count of valid values, or -1. Unscaled Singles are read
// straight into scalarV, other values through one small buffer; a failed read leaves scalarV
// all zeros.
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

    // An output of the right shape is written over rather than made afresh, and a new one is
    // not zeroed first: every element is written below, or zeroed when nothing could be read.
    // One of another shape goes before the new one is made, so that the two are never held at
    // once.
    const bool reused = scalarV.Rank() == 1 && scalarV.LBound() == 1 && scalarV.UBound() == n;
    if (!reused) {
        scalarV.Erase();
        scalarV.ReDimForOverwrite(1, n);
    }
    const double noValSize = std::fabs(static_cast<double>(No_Val));
    k.vMax = CSng(-2 * noValSize);
    k.vMin = CSng(2 * noValSize);
    k.vMinMaxVar = nvar;

    const Rule rule(ValueMarks(v, HeldType(v), m == Member::Var), v.scale, v.offset, No_Val);
    const std::size_t count = static_cast<std::size_t>(n);
    float* out = &scalarV(1);
    Long valid = 0;
    bool written = false;
    // Each piece is put through the rule while it is still in the cache.
    const std::size_t most = pieceValuesOf(r, nvar - 1);
    auto run = [&](auto zero) {
        using T = decltype(zero);
        std::size_t done = 0;
        const int st = forEachPiece(
            w, v.narray, m == Member::Vars, most,
            [&](const ReadWindow& piece, std::size_t values) {
                float* to = out + done;
                done += values;
                if constexpr (std::is_same_v<T, float>) {
                    if (rule.unscaled()) {
                        const int s = readValues(m, r, nvar - 1, piece, v.narray, to);
                        if (s == NC_NOERR) valid += applyRule<float>(k, nullptr, to, values, rule);
                        return s;
                    }
                }
                std::vector<T>& buf = readBuffer<T>(values);
                const int s = readValues(m, r, nvar - 1, piece, v.narray, buf.data());
                if (s != NC_NOERR) return s;
                if constexpr (std::is_same_v<T, Integer>) {
                    if (v.unsignedInts) {
                        // The unsigned values of the bits, which an Integer cannot hold.
                        std::vector<Long>& wide = readBuffer<Long>(values);
                        for (std::size_t i = 0; i < values; ++i)
                            wide[i] = static_cast<Long>(StoredValue(v, buf[i]));
                        valid += applyRule(k, wide.data(), to, values, rule);
                        return s;
                    }
                }
                valid += applyRule(k, buf.data(), to, values, rule);
                return s;
            });
        written = st == NC_NOERR;
        return st;
    };
    // Another type reads nothing, and a failed read may have written only part of scalarV:
    // either way it holds zeros, and so it does when the read is left by an error.
    try {
        status = ReadAsOwnType(k, v, run);
    } catch (...) {
        std::fill(out, out + count, 0.0f);
        throw;
    }
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

        const ValueMarks rule(v, HeldType(v), true);
        Long result = 0;
        auto run = [&](auto zero) {
            using T = decltype(zero);
            T read{};
            const int st = readValues(m, r, nvar - 1, w, v.narray, &read);
            if (st != NC_NOERR) return st;
            const double value = StoredValue(v, static_cast<double>(read));
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
