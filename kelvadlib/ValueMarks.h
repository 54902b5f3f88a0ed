#pragma once
// How the library tells a missing value from a valid one by a variable's MisnVal and FillVal.
// The value reads and the coordinate extents both decide with this one rule:
//
// - Values held in an integer type match their marks exactly: a value equal to the missing
//   value (when it is not 0) or to the fill value is missing. A mark is rounded to the nearest
//   whole number; one outside the type's range equals no value and marks nothing.
// - Values held as float or double are missing when they are not a number or infinite, and
//   when they equal a mark compared in that type. A mark of magnitude 1e30 or more (the
//   default fills, the 1e35 of many models) is a threshold instead: such marks often reach a
//   file rounded through another type, so every value at or beyond 99 % of the mark, on its
//   side of zero, is missing. A mark of 0 marks nothing.
// - Values outside the variable's valid limits (valid_min, valid_max, valid_range) are missing.
// - A byte or short with _Unsigned = "true" holds unsigned values: they are read as signed and
//   turned into the unsigned value of the same bits (StoredValue) before the rule sees them.
//   netCDF-4 unsigned and 64-bit integers are held in the wider types that take them (Long, or
//   Double for the 32- and 64-bit ones).
#include "kelvadlib/Records.h"

#include <netcdf.h>

#include <cmath>
#include <limits>
#include <type_traits>

// The netCDF type whose values a read hands to the rule: the unsigned type of an _Unsigned
// byte or short, else the variable's own.
inline Long HeldType(const VariRec& v) {
    if (v.unsignedInts && v.type == NC_BYTE) return NC_UBYTE;
    if (v.unsignedInts && v.type == NC_SHORT) return NC_USHORT;
    return v.type;
}

// A byte or short value as read (signed, in any type) turned into the value it holds: the
// unsigned value of its bits when the variable is _Unsigned.
inline double StoredValue(const VariRec& v, double x) {
    if (!v.unsignedInts || !(x < 0)) return x;
    return x + (v.type == NC_BYTE ? 256.0 : 65536.0);
}

class ValueMarks {
public:
    // The marks of variable v for values held in the C type of netCDF type `held` (bytes as
    // signed 8-bit numbers). strictFill: a fill threshold takes only values beyond it, not a
    // value at it.
    ValueMarks(const VariRec& v, Long held, bool strictFill) {
        switch (held) {
        case NC_BYTE:
            integerMarks(v, -128, 127);
            break;
        case NC_SHORT:
            integerMarks(v, -32768, 32767);
            break;
        case NC_INT:
            integerMarks(v, -2147483648.0, 2147483647.0);
            break;
        case NC_UBYTE:
            integerMarks(v, 0, 255);
            break;
        case NC_USHORT:
            integerMarks(v, 0, 65535);
            break;
        case NC_UINT:
            integerMarks(v, 0, 4294967295.0);
            break;
        case NC_INT64: // held as Doubles: marks and values round alike
            integerMarks(v, -0x1p63, 0x1p63);
            break;
        case NC_UINT64:
            integerMarks(v, 0, 0x1p64);
            break;
        case NC_FLOAT:
        case NC_DOUBLE:
            missing_ = floatingMark(v.MisnVal, held == NC_FLOAT, false);
            fill_ = floatingMark(v.FillVal, held == NC_FLOAT, strictFill);
            break;
        default:
            break;
        }
        validLo_ = v.validMin;
        validHi_ = v.validMax;
    }

    template <class T> bool valid(T x) const {
        static_assert(std::is_arithmetic_v<T>);
        const double d = static_cast<double>(x); // exact for every type the reads hold
        if constexpr (std::is_floating_point_v<T>)
            if (!std::isfinite(d)) return false;
        return d >= validLo_ && d <= validHi_ && !missing_.hits(d) && !fill_.hits(d);
    }

    // A mark as the closed range of values it takes (empty when lo > hi), so that a loop over
    // many values can test them without branching on the kind of mark. For a finite value d,
    // valid(d) is the same as d lying in neither range.
    struct Range {
        double lo, hi;
        bool holds(double d) const { return (d >= lo) & (d <= hi); }
    };
    Range missingRange() const { return missing_.range(); }
    Range fillRange() const { return fill_.range(); }
    // The values the valid limits let through (every value when none are given).
    Range validRange() const { return {validLo_, validHi_}; }

private:
    struct Mark {
        enum class Kind { None, Equal, Beyond } kind = Kind::None;
        double at = 0; // already rounded to the type the values are held in
        bool strict = false;
        bool hits(double d) const {
            switch (kind) {
            case Kind::Equal:
                return d == at;
            case Kind::Beyond:
                if (at > 0) return strict ? d > at : d >= at;
                return strict ? d < at : d <= at;
            default:
                return false;
            }
        }
        Range range() const {
            constexpr double inf = std::numeric_limits<double>::infinity();
            switch (kind) {
            case Kind::Equal:
                return {at, at};
            case Kind::Beyond:
                if (at > 0) return {strict ? std::nextafter(at, inf) : at, inf};
                return {-inf, strict ? std::nextafter(at, -inf) : at};
            default:
                return {inf, -inf};
            }
        }
    };

    static constexpr double kHuge = 1e30;
    static constexpr double kNear = 0.99;

    static Mark integerMark(double mark, double lo, double hi) {
        Mark m;
        if (!std::isfinite(mark)) return m;
        const double r = std::nearbyint(mark);
        if (r < lo || r > hi) return m;
        m.kind = Mark::Kind::Equal;
        m.at = r;
        return m;
    }
    void integerMarks(const VariRec& v, double lo, double hi) {
        missing_ = integerMark(v.MisnVal, lo, hi);
        if (missing_.at == 0) missing_.kind = Mark::Kind::None;
        fill_ = integerMark(v.FillVal, lo, hi);
    }

    // A float threshold beyond the Single range lies beyond every float value: no mark.
    static Mark floatingMark(double mark, bool single, bool strict) {
        Mark m;
        if (!std::isfinite(mark) || mark == 0) return m;
        const bool huge = std::fabs(mark) >= kHuge;
        double at = huge ? kNear * mark : mark;
        if (single) {
            constexpr double kSingleLimit = 0x1.ffffffp127; // rounds to infinity from here on
            if (std::fabs(at) >= kSingleLimit) return m;
            at = static_cast<float>(at);
        }
        m.kind = huge ? Mark::Kind::Beyond : Mark::Kind::Equal;
        m.at = at;
        m.strict = strict;
        return m;
    }

    Mark missing_, fill_;
    double validLo_ = -std::numeric_limits<double>::infinity();
    double validHi_ = std::numeric_limits<double>::infinity();
};
