#pragma once
// A value of any of the language's kinds, or Empty, as the component interface passes it.
// Conversions follow the language: to a number, Empty is 0, a Boolean is -1 or 0, a Date its
// serial and a text must be one number (else RuntimeError(13)); to Long or Integer by the
// CLng/CInt rule (halves to even, 6 out of range); to text by the CStr rule, Empty is "",
// a Boolean "True"/"False", a Date its general date text.
#include "runtime/Date.h"
#include "runtime/Types.h"

#include <string>
#include <type_traits>
#include <variant>

class Variant {
public:
    // The kinds, in the order of v_'s alternatives; named with a k, as Integer and Long are also
    // the names of types.
    enum class Type { kEmpty, kInteger, kLong, kSingle, kDouble, kString, kDate, kBoolean };

    Variant() = default;
    Variant(Integer v) : v_(v) {}
    Variant(Long v) : v_(v) {}
    Variant(float v) : v_(v) {}
    Variant(double v) : v_(v) {}
    Variant(std::string v) : v_(std::move(v)) {}
    Variant(const char* v) : v_(std::string(v)) {}
    Variant(Date v) : v_(v) {}
    Variant(bool v) : v_(v) {}
    // Other whole numbers: a Long when they fit, else a Double.
    template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) Variant(T v) {
        if (static_cast<int64_t>(v) >= INT32_MIN && static_cast<int64_t>(v) <= INT32_MAX &&
            !(std::is_unsigned_v<T> && static_cast<uint64_t>(v) > INT32_MAX))
            v_ = static_cast<Long>(v);
        else
            v_ = static_cast<double>(v);
    }

    Type type() const { return static_cast<Type>(v_.index()); }
    bool IsEmpty() const { return type() == Type::kEmpty; }
    bool IsString() const { return type() == Type::kString; }
    // Integer, Long, Single or Double.
    bool IsNumber() const;

    double toDouble() const;
    float toSingle() const;
    Long toLong() const;
    Integer toInteger() const;
    std::string toString() const;
    Date toDate() const;
    bool toBool() const;

    // The language's "=": texts compare as texts; a text against a number is read as a number
    // (13 when it is none); Empty equals 0 and "".
    friend bool operator==(const Variant& a, const Variant& b);

private:
    std::variant<std::monostate, Integer, Long, float, double, std::string, Date, bool> v_;
};

// The conversion functions on a Variant.
inline Integer CInt(const Variant& v) {
    return v.toInteger();
}
inline Long CLng(const Variant& v) {
    return v.toLong();
}
inline float CSng(const Variant& v) {
    return v.toSingle();
}
inline double CDbl(const Variant& v) {
    return v.toDouble();
}
inline std::string CStr(const Variant& v) {
    return v.toString();
}
inline bool IsEmpty(const Variant& v) {
    return v.IsEmpty();
}
