#pragma once
// Numbers to text and back, as the program writes and reads them everywhere: Str, CStr, Val,
// Format. Always "." as the decimal point, whatever the locale.
#include "runtime/Types.h"
#include <string>
#include <type_traits>

// Str: a blank before a number >= 0, "-" before a negative one; 7 significant digits for a
// Single, 15 for a Double; no zero before the point (" .5"); exponent form d.dddE+dd.
std::string Str(float x);
std::string Str(double x);
std::string Str(Long x);
std::string Str(Integer x);
std::string Str(int64_t x);

// CStr: Str without the leading blank and with a zero before the point ("0.5").
std::string CStr(float x);
std::string CStr(double x);
std::string CStr(Long x);
std::string CStr(Integer x);
std::string CStr(int64_t x);

// Other whole-number types (Byte, unsigned counts, ...) as a 64-bit number.
template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) std::string Str(T x) {
    return Str(static_cast<int64_t>(x));
}
template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) std::string CStr(T x) {
    return CStr(static_cast<int64_t>(x));
}

// Val: skips blanks, tabs and line feeds anywhere; sign, digits, one point, exponent E or D;
// stops at the first other character; 0 when there is no number; "&H"/"&O" prefixes.
// Raises RuntimeError(6) on overflow.
double Val(const std::string& text);

// The strict reading of a text as a number, as CDbl and the Variant conversions do it: the
// whole text, blanks around it allowed, must be one number ("12.5", "-1E3", "&HFF"). False
// when it is not (out untouched). Raises RuntimeError(6) when the number is beyond a Double.
bool TextToNumber(const std::string& text, double& out);

// Format with the masks the program uses: "0" forced digit, "#" optional digit, "." point,
// "E+00"-style exponents where a mask has them; everything else literal. Halves of the last
// shown digit round away from zero.
// An empty mask gives CStr. A Single is taken at its 7 significant digits first, as the
// language hands a Single to Format, so 1.005f shows as 1.01 with "0.00".
std::string Format(double x, const std::string& mask);
std::string Format(float x, const std::string& mask);
template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) std::string
    Format(T x, const std::string& mask) {
    return Format(static_cast<double>(x), mask);
}
