#include "runtime/Text.h"
#include "runtime/RuntimeError.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace {

// A finite number as decimal digits: value = 0.d1d2d3... x 10^(exp + 1), i.e. the first digit
// stands at 10^exp. Zero has no digits.
struct Decimal {
    bool negative = false;
    std::string digits; // no leading or trailing zeros
    int exp = 0;
};

void trimDigits(Decimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    std::size_t lead = 0;
    while (lead < d.digits.size() && d.digits[lead] == '0')
        ++lead;
    if (lead > 0) {
        d.digits.erase(0, lead);
        d.exp -= static_cast<int>(lead);
    }
    if (d.digits.empty()) d.exp = 0;
}

// Parses the output of to_chars in scientific form ("d.dddde+XX").
Decimal fromScientific(const char* first, const char* last) {
    Decimal d;
    const char* p = first;
    if (p != last && *p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p != last && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    if (p != last) {
        ++p; // 'e'
        int e = 0;
        std::from_chars(*p == '+' ? p + 1 : p, last, e);
        d.exp = e;
    }
    trimDigits(d);
    return d;
}

// The number rounded (to nearest, as the conversion does) to `precision` significant digits.
template <class F> Decimal toDecimal(F x, int precision) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, precision - 1);
    Decimal d = fromScientific(buf, r.ptr);
    if (d.digits.empty()) d.negative = false; // -0 shows as 0
    return d;
}

// Rounds to `keep` significant digits, halves away from zero. keep may be 0 or negative.
void roundDigits(Decimal& d, int keep) {
    if (d.digits.empty()) return;
    if (keep < 0) {
        d.digits.clear();
        d.exp = 0;
        return;
    }
    if (keep >= static_cast<int>(d.digits.size())) return;
    bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            d.exp += 1;
        }
    }
    trimDigits(d);
}

// The digit at the place 10^place (0 when there is none).
char digitAt(const Decimal& d, int place) {
    int idx = d.exp - place;
    if (idx < 0 || idx >= static_cast<int>(d.digits.size())) return '0';
    return d.digits[idx];
}

std::string exponentText(int e) {
    std::string s = e < 0 ? "-" : "+";
    int a = std::abs(e);
    if (a < 10) s.push_back('0');
    s += std::to_string(a);
    return s;
}

std::string nonFinite(double x) {
    if (std::isnan(x)) return std::signbit(x) ? "-1.#IND" : "1.#QNAN";
    return x < 0 ? "-1.#INF" : "1.#INF";
}

// The general number form of Str/CStr, without the sign.
std::string generalBody(const Decimal& d, int precision, bool zeroBeforePoint) {
    if (d.digits.empty()) return "0";
    const std::string& g = d.digits;
    std::string s;
    if (d.exp < -4 || d.exp >= precision) {
        s.push_back(g[0]);
        if (g.size() > 1) {
            s.push_back('.');
            s.append(g, 1);
        }
        s += 'E';
        s += exponentText(d.exp);
    } else if (d.exp >= 0) {
        int n = static_cast<int>(g.size());
        for (int i = 0; i <= d.exp; ++i)
            s.push_back(i < n ? g[i] : '0');
        if (n > d.exp + 1) {
            s.push_back('.');
            s.append(g, d.exp + 1);
        }
    } else {
        if (zeroBeforePoint) s.push_back('0');
        s.push_back('.');
        s.append(static_cast<std::size_t>(-d.exp - 1), '0');
        s += g;
    }
    return s;
}

template <class F> std::string general(F x, int precision, bool blank) {
    if (!std::isfinite(x)) {
        std::string t = nonFinite(static_cast<double>(x));
        return (blank && t[0] != '-') ? " " + t : t;
    }
    Decimal d = toDecimal(x, precision);
    std::string body = generalBody(d, precision, !blank);
    if (d.negative) return "-" + body;
    return blank ? " " + body : body;
}

std::string integerText(int64_t x, bool blank) {
    std::string s = std::to_string(x);
    return (blank && x >= 0) ? " " + s : s;
}

// ---- Format ----

struct Mask {
    std::string prefix;  // literals before the first digit place
    std::string intPart; // digit places ('#'/'0') and literals before the point
    bool hasPoint = false;
    std::string fracPart; // digit places and literals after the point
    bool hasExp = false;
    bool expPlus = false; // "E+" shows the sign always, "E-" only when negative
    char expLetter = 'E';
    int expDigits = 0;  // forced exponent digits
    std::string suffix; // literals after the last digit place
};

bool isPlace(char c) {
    return c == '#' || c == '0';
}

// Splits a mask into its parts. A "\" takes the next character literally and "..." quotes a
// literal text; the marker '\x01' in intPart/fracPart stands for a digit place.
Mask parseMask(const std::string& mask) {
    Mask m;
    enum { Prefix, Int, Frac, Suffix } where = Prefix;
    std::string pendingLit; // literals not yet known to be inside or after the digits
    auto flushLit = [&](std::string& into) {
        into += pendingLit;
        pendingLit.clear();
    };
    for (std::size_t i = 0; i < mask.size(); ++i) {
        char c = mask[i];
        if (c == '\\' && i + 1 < mask.size()) {
            pendingLit.push_back(mask[++i]);
            continue;
        }
        if (c == '"') {
            std::size_t e = mask.find('"', i + 1);
            if (e == std::string::npos) e = mask.size();
            pendingLit.append(mask, i + 1, e - i - 1);
            i = e;
            continue;
        }
        if (where != Suffix && isPlace(c)) {
            if (where == Prefix) {
                m.prefix += pendingLit;
                pendingLit.clear();
                where = Int;
            }
            std::string& part = where == Int ? m.intPart : m.fracPart;
            flushLit(part);
            part.push_back(c);
            continue;
        }
        if (c == '.' && (where == Prefix || where == Int)) {
            if (where == Prefix) {
                m.prefix += pendingLit;
                pendingLit.clear();
            } else {
                flushLit(m.intPart);
            }
            m.hasPoint = true;
            where = Frac;
            continue;
        }
        if ((c == 'E' || c == 'e') && (where == Int || where == Frac) && i + 2 < mask.size() &&
            (mask[i + 1] == '+' || mask[i + 1] == '-') && mask[i + 2] == '0') {
            m.hasExp = true;
            m.expLetter = c;
            m.expPlus = mask[i + 1] == '+';
            i += 2;
            while (i < mask.size() && isPlace(mask[i])) {
                if (mask[i] == '0') ++m.expDigits;
                ++i;
            }
            --i;
            where = Suffix;
            continue;
        }
        pendingLit.push_back(c);
    }
    if (where == Prefix)
        m.prefix += pendingLit;
    else
        m.suffix += pendingLit;
    return m;
}

int countPlaces(const std::string& part) {
    int n = 0;
    for (char c : part)
        if (isPlace(c)) ++n;
    return n;
}

// Decimals shown always: up to the last '0' after the point; '#' places after it drop trailing
// zeros.
int forcedFracPlaces(const Mask& m) {
    int minFrac = 0, k = 0;
    for (char c : m.fracPart)
        if (isPlace(c)) {
            ++k;
            if (c == '0') minFrac = k;
        }
    return minFrac;
}

// d rounded to the places the mask shows; with an exponent, scaled so that its integer part
// fills the integer places (at least one). The exponent taken out, 0 without one.
int roundForMask(Decimal& d, const Mask& m, int nInt, int nFrac) {
    int exponent = 0;
    if (m.hasExp) {
        int lead = nInt > 0 ? nInt : 1;
        if (!d.digits.empty()) {
            roundDigits(d, lead + nFrac);
            exponent = d.exp - (lead - 1);
            d.exp -= exponent;
        }
    } else {
        roundDigits(d, d.exp + 1 + nFrac);
    }
    if (d.digits.empty()) d.negative = false;
    return exponent;
}

// The integer places of the mask filled with intDigits, right-aligned: a wider integer part
// comes out whole before the first place, '0' places (and every place after one) are filled
// with zeros, literals kept where they stand.
void writeIntPart(std::string& out, const Mask& m, const std::string& intDigits, int nInt) {
    int len = static_cast<int>(intDigits.size());
    int k = 0; // index of the digit place within the integer part
    bool forced = false;
    for (char c : m.intPart) {
        if (!isPlace(c)) {
            out.push_back(c);
            continue;
        }
        if (k == 0 && len > nInt) out.append(intDigits, 0, len - nInt); // integer part wider
        int idx = len - (nInt - k);
        if (c == '0') forced = true;
        if (idx >= 0)
            out.push_back(intDigits[idx]);
        else if (forced)
            out.push_back('0');
        ++k;
    }
    if (nInt == 0 && len > 0 && !m.hasExp) out += intDigits;
}

void writeExponent(std::string& out, const Mask& m, int exponent) {
    out.push_back(m.expLetter);
    if (exponent < 0)
        out.push_back('-');
    else if (m.expPlus)
        out.push_back('+');
    std::string e = std::to_string(std::abs(exponent));
    if (static_cast<int>(e.size()) < m.expDigits) e.insert(0, m.expDigits - e.size(), '0');
    out += e;
}

std::string formatDecimal(Decimal d, const std::string& mask) {
    Mask m = parseMask(mask);
    int nInt = countPlaces(m.intPart);
    int nFrac = countPlaces(m.fracPart);
    const int minFrac = forcedFracPlaces(m);
    const int exponent = roundForMask(d, m, nInt, nFrac);

    // Integer digits, most significant first; empty when the integer part is 0.
    std::string intDigits;
    if (!d.digits.empty())
        for (int place = d.exp; place >= 0; --place)
            intDigits.push_back(digitAt(d, place));
    std::string fracDigits;
    for (int k = 1; k <= nFrac; ++k)
        fracDigits.push_back(digitAt(d, -k));
    int shownFrac = nFrac;
    while (shownFrac > minFrac && fracDigits[shownFrac - 1] == '0')
        --shownFrac;

    std::string out = d.negative ? "-" : "";
    out += m.prefix;
    writeIntPart(out, m, intDigits, nInt);
    if (m.hasPoint) out.push_back('.');
    int k = 0;
    for (char c : m.fracPart) {
        if (!isPlace(c)) {
            out.push_back(c);
            continue;
        }
        if (k < shownFrac) out.push_back(fracDigits[k]);
        ++k;
    }
    if (m.hasExp) writeExponent(out, m, exponent);
    out += m.suffix;
    return out;
}

// Reads the characters of a number for Val: blanks, tabs and line feeds skipped anywhere.
bool valSkip(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

double radixValue(const std::string& text, std::size_t i, int radix) {
    uint64_t v = 0;
    bool any = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (valSkip(c)) continue;
        int dgt;
        if (c >= '0' && c <= '9')
            dgt = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f')
            dgt = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F')
            dgt = c - 'A' + 10;
        else
            break;
        if (dgt >= radix) break;
        any = true;
        v = v * radix + dgt;
        if (v > 0xFFFFFFFFull) throw RuntimeError(err::Overflow);
    }
    if (!any) return 0.0;
    // As the language's literals: up to &HFFFF an Integer, beyond a Long (two's complement).
    if (v <= 0xFFFF) return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(v)));
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v)));
}

// Converts a clean "[-]digits[.digits][e[-]digits]" text; error 6 when it is beyond a Double.
double convertClean(const std::string& clean) {
    double v = 0.0;
    auto r = std::from_chars(clean.data(), clean.data() + clean.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Tell overflow from underflow by the magnitude of the number.
        Decimal d;
        std::size_t i = clean[0] == '-' ? 1 : 0;
        int intDigits = 0;
        bool seenPoint = false;
        for (; i < clean.size() && clean[i] != 'e'; ++i) {
            if (clean[i] == '.') {
                seenPoint = true;
                continue;
            }
            d.digits.push_back(clean[i]);
            if (!seenPoint) ++intDigits;
        }
        long long e = 0;
        if (i < clean.size()) {
            ++i;
            bool neg = clean[i] == '-';
            if (neg) ++i;
            for (; i < clean.size() && e < 100000000; ++i)
                e = e * 10 + (clean[i] - '0');
            if (neg) e = -e;
        }
        d.exp = intDigits - 1;
        trimDigits(d);
        if (!d.digits.empty() && d.exp + e > 0) throw RuntimeError(err::Overflow);
        return clean[0] == '-' ? -0.0 : 0.0;
    }
    if (r.ec != std::errc()) return 0.0;
    return v;
}

} // namespace

std::string Str(float x) {
    return general(x, 7, true);
}
std::string Str(double x) {
    return general(x, 15, true);
}
std::string Str(Long x) {
    return integerText(x, true);
}
std::string Str(Integer x) {
    return integerText(x, true);
}
std::string Str(int64_t x) {
    return integerText(x, true);
}

std::string CStr(float x) {
    return general(x, 7, false);
}
std::string CStr(double x) {
    return general(x, 15, false);
}
std::string CStr(Long x) {
    return integerText(x, false);
}
std::string CStr(Integer x) {
    return integerText(x, false);
}
std::string CStr(int64_t x) {
    return integerText(x, false);
}

double Val(const std::string& text) {
    std::size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && valSkip(text[i]))
            ++i;
    };
    skip();
    if (i < text.size() && text[i] == '&') {
        std::size_t j = i + 1;
        while (j < text.size() && valSkip(text[j]))
            ++j;
        if (j < text.size() && (text[j] == 'H' || text[j] == 'h'))
            return radixValue(text, j + 1, 16);
        if (j < text.size() && (text[j] == 'O' || text[j] == 'o'))
            return radixValue(text, j + 1, 8);
        return 0.0;
    }
    std::string clean;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') clean.push_back('-');
        ++i;
    }
    bool point = false;
    bool mantissa = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (valSkip(c)) continue;
        if (c >= '0' && c <= '9') {
            clean.push_back(c);
            mantissa = true;
        } else if (c == '.' && !point) {
            clean.push_back(c);
            point = true;
        } else {
            break;
        }
    }
    if (!mantissa) return 0.0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        std::string ex = "e";
        while (j < text.size() && valSkip(text[j]))
            ++j;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) {
            if (text[j] == '-') ex.push_back('-');
            ++j;
        }
        bool digits = false;
        for (; j < text.size(); ++j) {
            char c = text[j];
            if (valSkip(c)) continue;
            if (c < '0' || c > '9') break;
            ex.push_back(c);
            digits = true;
        }
        if (digits) clean += ex;
    }
    return convertClean(clean);
}

bool TextToNumber(const std::string& text, double& out) {
    std::size_t b = 0, e = text.size();
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (b < e && blank(text[b]))
        ++b;
    while (e > b && blank(text[e - 1]))
        --e;
    if (b == e) return false;
    std::string t = text.substr(b, e - b);
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h' || t[1] == 'O' || t[1] == 'o')) {
        int radix = (t[1] == 'H' || t[1] == 'h') ? 16 : 8;
        for (std::size_t i = 2; i < t.size(); ++i) {
            char c = t[i];
            bool ok = (c >= '0' && c <= (radix == 8 ? '7' : '9')) ||
                      (radix == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
            if (!ok) return false;
        }
        out = radixValue(t, 2, radix);
        return true;
    }
    std::size_t i = 0;
    std::string clean;
    if (t[i] == '-' || t[i] == '+') {
        if (t[i] == '-') clean.push_back('-');
        ++i;
    }
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        char c = t[i];
        if (c >= '0' && c <= '9') {
            clean.push_back(c);
            digits = true;
        } else if (c == '.' && !point) {
            clean.push_back(c);
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        ++i;
        clean.push_back('e');
        if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
            if (t[i] == '-') clean.push_back('-');
            ++i;
        }
        bool ed = false;
        for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
            clean.push_back(t[i]);
            ed = true;
        }
        if (!ed) return false;
    }
    if (i != t.size()) return false;
    out = convertClean(clean);
    return true;
}

std::string Format(double x, const std::string& mask) {
    if (!std::isfinite(x)) return nonFinite(x);
    if (mask.empty()) return CStr(x);
    return formatDecimal(toDecimal(x, 15), mask);
}

std::string Format(float x, const std::string& mask) {
    if (!std::isfinite(x)) return nonFinite(x);
    if (mask.empty()) return CStr(x);
    return formatDecimal(toDecimal(x, 7), mask);
}
