#pragma once
// Conversions between the number types and the checked whole-number arithmetic of the
// language.
//
// - CInt/CLng (and every assignment of a fraction to an Integer or Long) round to the nearest
//   whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4), and raise RuntimeError(6)
//   out of range; NaN and infinities are out of range too.
// - Fix truncates toward zero, Int floors.
// - Integer (16-bit) and Long (32-bit) arithmetic that the program does in those types goes
//   through the checked functions below: ...L for Long, ...I for Integer. A result out of the
//   type's range raises 6, a zero divisor of IDiv or Mod raises 11.
//     AddL(a, b) = a + b      SubL(a, b) = a - b      MulL(a, b) = a * b     NegL(a) = -a
//     IDivL(a, b) = a \ b (truncating)                ModL(a, b) = a Mod b (sign of a)
// - Div(a, b) is "/" on Doubles: x / 0 raises 11, 0 / 0 raises 6, a finite quotient beyond a
//   Double raises 6.
#include "runtime/Types.h"
#include <string>

Integer CInt(double x);
Long CLng(double x);
// A Single: RuntimeError(6) when a finite x lies beyond a Single's range.
float CSng(double x);
inline double CDbl(double x) {
    return x;
}

// Texts are read strictly (TextToNumber); a text that is not a number raises 13.
Integer CInt(const std::string& text);
Long CLng(const std::string& text);
float CSng(const std::string& text);
double CDbl(const std::string& text);
// True when the text is one number (blanks around it allowed).
bool IsNumeric(const std::string& text);

double Fix(double x);
float Fix(float x);
double Int(double x);
float Int(float x);
// Round to `digits` decimals, halves to even (Round(2.5) = 2, Round(1.5) = 2); digits below 0
// raise 5.
double Round(double x, int digits = 0);

Long AddL(Long a, Long b);
Long SubL(Long a, Long b);
Long MulL(Long a, Long b);
Long NegL(Long a);
Long IDivL(Long a, Long b);
Long ModL(Long a, Long b);

Integer AddI(Integer a, Integer b);
Integer SubI(Integer a, Integer b);
Integer MulI(Integer a, Integer b);
Integer NegI(Integer a);
Integer IDivI(Integer a, Integer b);
Integer ModI(Integer a, Integer b);

double Div(double a, double b);
