// The typed reads: a variable's values as the netCDF library converts them to Integer, Long,
// Single or Double, without scale, offset or marks.
#include "common/NetCDF.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/ReadArgs.h"
#include "kelvadlib/Utils.h"
#include "kelvadlib/ValueMarks.h"
#include "runtime/Text.h"

#include <netcdf.h>

#include <cstdint>
#include <new>
#include <type_traits>

namespace {

// The classic numbers and the netCDF-4 integers, which the library converts like the others;
// strings and the user-defined types are recorded but not read.
bool typeReadable(const VariRec& v) {
    return v.type <= NC_DOUBLE || (v.type >= NC_UBYTE && v.type <= NC_UINT64);
}

// The values of an _Unsigned byte or short as the unsigned values of their bits, where the
// target type holds them (an Integer holds a byte's, not a short's).
template <class T> void asStored(const VariRec& v, T* values, int64_t n) {
    if (!v.unsignedInts) return;
    if (std::is_same_v<T, Integer> && v.type != NC_BYTE) return;
    for (int64_t i = 0; i < n; ++i)
        values[i] = static_cast<T>(StoredValue(v, static_cast<double>(values[i])));
}

std::string typeMessage(const VariRec& v) {
    return std::string("Variable-Type of Attribute not expected:") + "\r\n" +
           "Variable Name = " + v.name + "\n" + "Tyep Number = " + Str(v.type);
}

Variant failed() {
    return Variant(Integer{-1});
}

// The frame of the eight reads; tag is "[do_get_vars_short] " and the like.
class TypedRead {
public:
    TypedRead(Kelvad& k, std::string tag) : k_(k), tag_(std::move(tag)) {}

    // The negative-number checks, nvar first. True when they pass.
    bool numbersValid(Long nH, Long nvar) {
        if (nvar < 0) {
            k_.ErrorMessage = tag_ + "nvar& < 0:";
            return false;
        }
        if (nH < 0) {
            k_.ErrorMessage = tag_ + "nH& < 0:";
            return false;
        }
        return true;
    }
    Variant typeFailure(const VariRec& v) {
        k_.ErrorMessage = typeMessage(v);
        return failed();
    }
    // A refused reopen or read closes the dataset whatever CloseAfterRead holds.
    Variant ncFailure(Long nH, int status) {
        k_.ErrorMessage = tag_ + "NetCDF Error: " + NcErrorText(status);
        k_.CloseSlot(nH);
        return failed();
    }
    Variant caught(const RuntimeError& e) {
        k_.ErrorMessage = ErrorFrame(tag_, e);
        return failed();
    }
    Variant refused(const std::string& text) {
        k_.ErrorMessage = tag_ + text;
        return failed();
    }

private:
    Kelvad& k_;
    std::string tag_;
};

// A strided hyperslab into the caller's array from element 1, which must hold every value the
// counts ask for. The Integer 1, or -1.
template <class T>
Variant readStrided(Kelvad& k, const char* name, Long nH, Long nvar, const VArray<Long>& startp,
                    const VArray<Long>& countp, const VArray<Long>& stride, VArray<T>& out) {
    TypedRead frame(k, std::string("[") + name + "] ");
    if (!frame.numbersValid(nH, nvar)) return failed();
    try {
        NcfRec& r = k.ncf(nH);
        const VariRec& v = r.vari(nvar);
        ReadWindow w;
        TakeStart(startp, v.narray, w);
        if (!typeReadable(v)) return frame.typeFailure(v);
        TakeCounts(countp, v.narray, w);
        TakeStrides(stride, v.narray, w);
        T* target = &out(1);
        const int64_t wanted = CountProduct(w, v.narray); // a negative count: the read refuses
        if (wanted > int64_t{out.UBound()})
            return frame.refused("the output array holds fewer values than countp asks for:");

        int status = k.ReopenSlot(nH);
        if (status != NC_NOERR) return frame.ncFailure(nH, status);
        std::size_t s[kMaxVarDims], c[kMaxVarDims];
        std::ptrdiff_t st[kMaxVarDims];
        status = ToNcWindow(w, v.narray, true, s, c, st);
        if (status == NC_NOERR) status = CheckClassicRead(&r.classic, r.FName, nvar - 1, s, c, st);
        if (status == NC_NOERR) status = NcReadCalls<T>::vars(r.ncid, nvar - 1, s, c, st, target);
        if (status != NC_NOERR) return frame.ncFailure(nH, status);
        asStored(v, target, wanted);
        k.CloseIfAfterRead(nH);
        return Variant(Integer{1});
    } catch (const RuntimeError& e) {
        return frame.caught(e);
    } catch (const std::bad_alloc&) {
        return frame.caught(RuntimeError(7));
    }
}

// The whole variable at its recorded size into out (1 To n). The Long n, or -1.
template <class T>
Variant readWhole(Kelvad& k, const char* name, Long nH, Long nvar, VArray<T>& out) {
    TypedRead frame(k, std::string("[") + name + "] ");
    if (!frame.numbersValid(nH, nvar)) return failed();
    try {
        NcfRec& r = k.ncf(nH);
        const VariRec& v = r.vari(nvar);
        if (!typeReadable(v)) return frame.typeFailure(v);
        const Long n = RecordedSize(r, v);
        out.ReDim(1, n);

        int status = k.ReopenSlot(nH);
        if (status != NC_NOERR) return frame.ncFailure(nH, status);
        std::size_t s[kMaxVarDims], c[kMaxVarDims];
        std::ptrdiff_t st[kMaxVarDims];
        status = ToNcWindow(RecordedWindow(r, v), v.narray, false, s, c, st);
        if (status == NC_NOERR)
            status = CheckClassicRead(&r.classic, r.FName, nvar - 1, s, c, nullptr);
        if (status == NC_NOERR) status = NcReadCalls<T>::vara(r.ncid, nvar - 1, s, c, out.data());
        if (status != NC_NOERR) return frame.ncFailure(nH, status);
        asStored(v, out.data(), n);
        k.CloseIfAfterRead(nH);
        return Variant(n);
    } catch (const RuntimeError& e) {
        return frame.caught(e);
    } catch (const std::bad_alloc&) {
        return frame.caught(RuntimeError(7));
    }
}

} // namespace

Variant Kelvad::do_get_vars_short(Long nH, Long nvar, const VArray<Long>& startp,
                                  const VArray<Long>& countp, const VArray<Long>& stride,
                                  VArray<Integer>& outShort) {
    return readStrided(*this, "do_get_vars_short", nH, nvar, startp, countp, stride, outShort);
}

Variant Kelvad::do_get_var_short(Long nH, Long nvar, VArray<Integer>& outShort) {
    return readWhole(*this, "do_get_var_short", nH, nvar, outShort);
}

Variant Kelvad::do_get_vars_Double(Long nH, Long nvar, const VArray<Long>& startp,
                                   const VArray<Long>& countp, const VArray<Long>& stride,
                                   VArray<double>& outDouble) {
    return readStrided(*this, "do_get_vars_Double", nH, nvar, startp, countp, stride, outDouble);
}

Variant Kelvad::do_get_var_Double(Long nH, Long nvar, VArray<double>& outDouble) {
    return readWhole(*this, "do_get_var_Double", nH, nvar, outDouble);
}

Variant Kelvad::do_get_vars_Long(Long nH, Long nvar, const VArray<Long>& startp,
                                 const VArray<Long>& countp, const VArray<Long>& stride,
                                 VArray<Long>& outLong) {
    return readStrided(*this, "do_get_vars_Long", nH, nvar, startp, countp, stride, outLong);
}

Variant Kelvad::do_get_var_Long(Long nH, Long nvar, VArray<Long>& outLong) {
    return readWhole(*this, "do_get_var_Long", nH, nvar, outLong);
}

Variant Kelvad::do_get_vars_Float(Long nH, Long nvar, const VArray<Long>& startp,
                                  const VArray<Long>& countp, const VArray<Long>& stride,
                                  VArray<float>& outFloat) {
    return readStrided(*this, "do_get_vars_Float", nH, nvar, startp, countp, stride, outFloat);
}

Variant Kelvad::do_get_var_Float(Long nH, Long nvar, VArray<float>& outFloat) {
    return readWhole(*this, "do_get_var_Float", nH, nvar, outFloat);
}
