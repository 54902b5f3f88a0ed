#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

#include <cfloat>
#include <cmath>

namespace {

double rounded(double x, double lo, double hi) {
    if (std::isnan(x)) throw RuntimeError(err::Overflow);
    double r = std::nearbyint(x); // default rounding mode: halves to even
    if (!(r >= lo && r <= hi)) throw RuntimeError(err::Overflow);
    return r;
}

double textNumber(const std::string& text) {
    double v = 0.0;
    if (!TextToNumber(text, v)) throw RuntimeError(err::TypeMismatch);
    return v;
}

Long checkedL(int64_t v) {
    if (v < INT32_MIN || v > INT32_MAX) throw RuntimeError(err::Overflow);
    return static_cast<Long>(v);
}

Integer checkedI(int64_t v) {
    if (v < INT16_MIN || v > INT16_MAX) throw RuntimeError(err::Overflow);
    return static_cast<Integer>(v);
}

void checkDivisor(int64_t b) {
    if (b == 0) throw RuntimeError(err::DivisionByZero);
}

} // namespace

Integer CInt(double x) {
    return static_cast<Integer>(rounded(x, INT16_MIN, INT16_MAX));
}
Long CLng(double x) {
    return static_cast<Long>(rounded(x, INT32_MIN, INT32_MAX));
}

float CSng(double x) {
    if (std::isfinite(x) && std::fabs(x) > static_cast<double>(FLT_MAX)) {
        // Within half a step above FLT_MAX a value still rounds to it.
        if (std::fabs(x) < static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103))
            return x < 0 ? -FLT_MAX : FLT_MAX;
        throw RuntimeError(err::Overflow);
    }
    return static_cast<float>(x);
}

Integer CInt(const std::string& text) {
    return CInt(textNumber(text));
}
Long CLng(const std::string& text) {
    return CLng(textNumber(text));
}
float CSng(const std::string& text) {
    return CSng(textNumber(text));
}
double CDbl(const std::string& text) {
    return textNumber(text);
}

bool IsNumeric(const std::string& text) {
    double v = 0.0;
    try {
        return TextToNumber(text, v);
    } catch (const RuntimeError&) {
        return false; // beyond a Double
    }
}

double Fix(double x) {
    return std::trunc(x);
}
float Fix(float x) {
    return std::trunc(x);
}
double Int(double x) {
    return std::floor(x);
}
float Int(float x) {
    return std::floor(x);
}

double Round(double x, int digits) {
    if (digits < 0) throw RuntimeError(err::InvalidCall);
    if (digits == 0 || !std::isfinite(x)) return std::nearbyint(x);
    double scale = std::pow(10.0, digits);
    double scaled = x * scale;
    if (!std::isfinite(scaled)) return x;
    return std::nearbyint(scaled) / scale;
}

Long AddL(Long a, Long b) {
    return checkedL(int64_t{a} + b);
}
Long SubL(Long a, Long b) {
    return checkedL(int64_t{a} - b);
}
Long MulL(Long a, Long b) {
    return checkedL(int64_t{a} * b);
}
Long NegL(Long a) {
    return checkedL(-int64_t{a});
}
Long IDivL(Long a, Long b) {
    checkDivisor(b);
    return checkedL(int64_t{a} / b);
}
Long ModL(Long a, Long b) {
    checkDivisor(b);
    return static_cast<Long>(int64_t{a} % b);
}

Integer AddI(Integer a, Integer b) {
    return checkedI(int64_t{a} + b);
}
Integer SubI(Integer a, Integer b) {
    return checkedI(int64_t{a} - b);
}
Integer MulI(Integer a, Integer b) {
    return checkedI(int64_t{a} * b);
}
Integer NegI(Integer a) {
    return checkedI(-int64_t{a});
}
Integer IDivI(Integer a, Integer b) {
    checkDivisor(b);
    return checkedI(int64_t{a} / b);
}
Integer ModI(Integer a, Integer b) {
    checkDivisor(b);
    return static_cast<Integer>(int64_t{a} % b);
}

double Div(double a, double b) {
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a)) throw RuntimeError(err::Overflow);
        throw RuntimeError(err::DivisionByZero);
    }
    double q = a / b;
    if (std::isinf(q) && std::isfinite(a) && std::isfinite(b)) throw RuntimeError(err::Overflow);
    return q;
}
