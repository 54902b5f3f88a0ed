#include "runtime/Date.h"
#include "runtime/RuntimeError.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

const int64_t kEpoch = DaysFromCivil(1899, 12, 30);
// The range of a date: 100-01-01 to 9999-12-31 23:59:59.
const double kMinSerial = static_cast<double>(DaysFromCivil(100, 1, 1) - kEpoch);
const double kMaxSerial = static_cast<double>(DaysFromCivil(9999, 12, 31) - kEpoch) + 1.0;

// A serial split into whole days and whole seconds of the day (rounded to the nearest second,
// a full day carried over). Out of range raises 6.
struct Parts {
    int64_t day;
    int seconds;
};

Parts split(Date dt) {
    double s = dt.serial;
    if (!std::isfinite(s) || s < kMinSerial || s >= kMaxSerial) throw RuntimeError(err::Overflow);
    Parts p{};
    SplitSerial(dt, p.day, p.seconds);
    return p;
}

void ymd(Date dt, int& y, int& m, int& d) {
    int64_t year = 0;
    CivilFromDays(split(dt).day + kEpoch, year, m, d);
    y = static_cast<int>(year);
}

bool leap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
int daysInMonth(int y, int m) {
    static const int n[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && leap(y)) ? 29 : n[m - 1];
}

// ---- parser ----

struct Token {
    enum Kind { Number, Word, Sep } kind;
    std::string text;
    int digits = 0;        // digits of a number
    bool fraction = false; // a number with a decimal part ("05.25")
    bool blankBefore = false;
};

// Splits into numbers, words and the separators "-", "/", ":", "+". Blanks separate tokens
// but are not tokens. A "." inside a number after ":" makes fractional seconds; elsewhere a
// "." fails the text.
bool tokenize(const std::string& s, std::vector<Token>& out) {
    std::size_t i = 0;
    bool blank = false;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = true;
            ++i;
            continue;
        }
        Token t{Token::Sep, "", 0, false, blank};
        blank = false;
        if (std::isdigit(c)) {
            t.kind = Token::Number;
            while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
                t.text.push_back(s[i++]);
            t.digits = static_cast<int>(t.text.size());
            if (i < s.size() && s[i] == '.' && !out.empty() && out.back().kind == Token::Sep &&
                out.back().text == ":") {
                t.fraction = true;
                t.text.push_back(s[i++]);
                while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
                    t.text.push_back(s[i++]);
            }
        } else if (std::isalpha(c)) {
            t.kind = Token::Word;
            while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])))
                t.text.push_back(
                    static_cast<char>(std::toupper(static_cast<unsigned char>(s[i++]))));
        } else if (c == '-' || c == '/' || c == ':' || c == '+') {
            t.text.push_back(static_cast<char>(c));
            ++i;
        } else {
            return false;
        }
        out.push_back(t);
    }
    return true;
}

int monthOfWord(const std::string& w) {
    static const char* names[] = {"JANUARY",   "FEBRUARY", "MARCH",    "APRIL",
                                  "MAY",       "JUNE",     "JULY",     "AUGUST",
                                  "SEPTEMBER", "OCTOBER",  "NOVEMBER", "DECEMBER"};
    if (w.size() < 3) return 0;
    for (int m = 0; m < 12; ++m) {
        std::string n = names[m];
        if (w.size() <= n.size() && n.compare(0, w.size(), w) == 0 && (w.size() == 3 || w == n))
            return m + 1;
    }
    if (w == "SEPT") return 9;
    return 0;
}

class Parser {
public:
    explicit Parser(const std::vector<Token>& t) : t_(t) {}

    bool parse(DateParts& out) {
        DateParts p;
        std::size_t save = pos_;
        if (date(p.year, p.month, p.day))
            p.hasDate = true;
        else
            pos_ = save;
        bool needTime = false;
        if (p.hasDate && isWord("T")) { // ISO "T" between date and time
            ++pos_;
            needTime = true;
        }
        save = pos_;
        if (time(p.time))
            p.hasTime = true;
        else
            pos_ = save;
        if ((!p.hasDate && !p.hasTime) || (needTime && !p.hasTime)) return false;
        // A trailing zone: "Z" or a zone word, or an offset from UTC.
        if (pos_ < t_.size() && t_[pos_].kind == Token::Word && isZone(t_[pos_].text)) {
            ++pos_;
        } else if (isSep("+") || isSep("-")) {
            if (!offset(p.offsetMinutes)) return false;
            p.hasOffset = true;
        }
        if (pos_ != t_.size()) return false;
        if (p.hasDate && (p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31)) return false;
        out = p;
        return true;
    }

private:
    const std::vector<Token>& t_;
    std::size_t pos_ = 0;

    bool isSep(const char* s) const {
        return pos_ < t_.size() && t_[pos_].kind == Token::Sep && t_[pos_].text == s;
    }
    bool isWord(const char* s) const {
        return pos_ < t_.size() && t_[pos_].kind == Token::Word && t_[pos_].text == s;
    }
    bool number(int& v, int maxDigits = 9) {
        if (pos_ >= t_.size() || t_[pos_].kind != Token::Number || t_[pos_].fraction) return false;
        if (t_[pos_].digits > maxDigits) return false;
        v = std::stoi(t_[pos_].text);
        ++pos_;
        return true;
    }
    static bool isZone(const std::string& w) {
        return w == "Z" || w == "UTC" || w == "GMT" || w == "UT";
    }
    // A signed offset from UTC: "+5", "-03", "+0530", "+05:30".
    bool offset(int& minutes) {
        const bool negative = isSep("-");
        ++pos_;
        if (pos_ >= t_.size() || t_[pos_].kind != Token::Number || t_[pos_].fraction) return false;
        const Token& n = t_[pos_];
        int h = 0, m = 0;
        if (n.digits <= 2) {
            number(h, 2);
            if (isSep(":")) {
                ++pos_;
                if (!number(m, 2)) return false;
            }
        } else if (n.digits == 4) {
            const int hhmm = std::stoi(n.text);
            h = hhmm / 100;
            m = hhmm % 100;
            ++pos_;
        } else {
            return false;
        }
        if (h > 23 || m > 59) return false;
        minutes = (negative ? -1 : 1) * (h * 60 + m);
        return true;
    }
    // A date separator: "-", "/" or nothing but blanks.
    bool dateSep(bool& blankOnly) {
        if (isSep("-") || isSep("/")) {
            ++pos_;
            blankOnly = false;
            return true;
        }
        if (pos_ < t_.size() && t_[pos_].blankBefore) {
            blankOnly = true;
            return true;
        }
        return false;
    }

    bool date(int& y, int& m, int& d) {
        std::size_t start = pos_;
        if (pos_ >= t_.size()) return false;
        // A year before year 0 keeps its sign: "-0001-12-31".
        const bool negative = isSep("-") && pos_ + 1 < t_.size() &&
                              t_[pos_ + 1].kind == Token::Number && t_[pos_ + 1].digits >= 3;
        if (negative) ++pos_;
        const Token& first = t_[pos_];
        if (first.kind == Token::Number && !first.fraction) {
            bool b1 = false, b2 = false;
            if (first.digits >= 3) { // year first: y-m-d, y/m/d, y m d
                int a, b, c;
                if (!number(a) || !dateSep(b1) || !number(b, 2) || !dateSep(b2) || !number(c, 2))
                    return false;
                y = negative ? -a : a;
                m = b;
                d = c;
                return true;
            }
            int a = 0, b = 0, c = 0;
            if (!number(a, 2)) return false;
            // A short year first, with "-" between the parts: "1-1-1".
            std::size_t afterYear = pos_;
            if (isSep("-") && pos_ + 1 < t_.size() && t_[pos_ + 1].kind == Token::Number) {
                ++pos_;
                if (number(b, 2) && isSep("-")) {
                    ++pos_;
                    if (number(c, 2)) {
                        y = a;
                        m = b;
                        d = c;
                        return true;
                    }
                }
            }
            pos_ = afterYear;
            // dd-MON-yyyy
            std::size_t afterDay = pos_;
            if (isSep("-") || isSep("/")) ++pos_;
            if (pos_ < t_.size() && t_[pos_].kind == Token::Word) {
                int mon = monthOfWord(t_[pos_].text);
                if (mon == 0) return false;
                ++pos_;
                if (isSep("-") || isSep("/")) ++pos_;
                if (!number(c) || t_[pos_ - 1].digits < 3) return false;
                y = c;
                m = mon;
                d = a;
                return true;
            }
            pos_ = afterDay;
            // mm/dd/yyyy
            if (!isSep("/")) return false;
            ++pos_;
            if (!number(b, 2) || !isSep("/")) return false;
            ++pos_;
            if (!number(c) || t_[pos_ - 1].digits < 3) return false;
            y = c;
            m = a;
            d = b;
            return true;
        }
        pos_ = start;
        return false;
    }

    bool time(double& frac) {
        int h = 0, mi = 0;
        double sec = 0.0;
        if (!number(h, 2)) return false;
        bool colon = false;
        if (isSep(":")) {
            ++pos_;
            if (!number(mi, 2)) return false;
            colon = true;
            if (isSep(":")) {
                ++pos_;
                if (pos_ >= t_.size() || t_[pos_].kind != Token::Number) return false;
                const Token& s = t_[pos_];
                std::size_t point = s.text.find('.');
                if ((point == std::string::npos ? s.text.size() : point) > 2) return false;
                sec = std::stod(s.text);
                ++pos_;
            }
        }
        bool pm = false, am = false;
        if (isWord("AM")) {
            am = true;
            ++pos_;
        } else if (isWord("PM")) {
            pm = true;
            ++pos_;
        }
        if (!colon && !am && !pm) return false; // a lone number is no time
        if (am || pm) {
            if (h < 1 || h > 12) {
                if (!(h == 0 && am)) return false;
            }
            if (h == 12) h = 0;
            if (pm) h += 12;
        }
        if (h > 23 || mi > 59 || sec >= 60.0) return false;
        frac = (h * 3600.0 + mi * 60.0 + sec) / 86400.0;
        return true;
    }
};

} // namespace

Date DateSerial(int year, int month, int day) {
    int64_t y = year;
    int64_t m = month;
    // Months out of range roll into the years: month 13 is January of the next year.
    int64_t m0 = m - 1;
    int64_t carry = m0 >= 0 ? m0 / 12 : -((-m0 + 11) / 12);
    y += carry;
    m0 -= carry * 12;
    if (y < 0 || y > 20000) throw RuntimeError(err::Overflow);
    double serial =
        static_cast<double>(DaysFromCivil(y, m0 + 1, 1) - kEpoch) + static_cast<double>(day) - 1.0;
    if (serial < kMinSerial || serial >= kMaxSerial) throw RuntimeError(err::Overflow);
    return Date(serial);
}

double TimeSerial(int hour, int minute, double second) {
    return (static_cast<double>(hour) * 3600.0 + static_cast<double>(minute) * 60.0 + second) /
           86400.0;
}

int Year(Date d) {
    int y, m, dd;
    ymd(d, y, m, dd);
    return y;
}
int Month(Date d) {
    int y, m, dd;
    ymd(d, y, m, dd);
    return m;
}
int Day(Date d) {
    int y, m, dd;
    ymd(d, y, m, dd);
    return dd;
}
int Hour(Date d) {
    return split(d).seconds / 3600;
}
int Minute(Date d) {
    return split(d).seconds / 60 % 60;
}
int Second(Date d) {
    return split(d).seconds % 60;
}

std::string DateText(Date d) {
    const Parts p = split(d);
    int64_t y = 0;
    int m = 0, dd = 0;
    CivilFromDays(p.day + kEpoch, y, m, dd);
    return DateText(y, m, dd, p.seconds, p.day != 0);
}

std::string DateText(int64_t year, int month, int day, int seconds, bool showDate) {
    char buf[48];
    std::string out;
    if (showDate) {
        std::snprintf(buf, sizeof buf, "%s%04lld-%02d-%02d", year < 0 ? "-" : "",
                      static_cast<long long>(year < 0 ? -year : year), month, day);
        out = buf;
    }
    if (seconds != 0 || !showDate) {
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
        if (!out.empty()) out.push_back(' ');
        out += buf;
    }
    return out;
}

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

void SplitSerial(Date dt, int64_t& day, int& seconds) {
    const double s = dt.serial;
    if (!std::isfinite(s) || std::fabs(s) > 1e12) throw RuntimeError(err::Overflow);
    const double days = std::floor(s);
    int64_t secs = std::llround((s - days) * 86400.0);
    day = static_cast<int64_t>(days);
    if (secs >= 86400) {
        ++day;
        secs -= 86400;
    }
    seconds = static_cast<int>(secs);
}

bool ParseDateParts(const std::string& text, DateParts& out) {
    std::vector<Token> tokens;
    if (!tokenize(text, tokens) || tokens.empty()) return false;
    Parser p(tokens);
    return p.parse(out);
}

bool ParseDate(const std::string& text, Date& out) {
    DateParts p;
    if (!ParseDateParts(text, p) || p.hasOffset) return false;
    double serial = 0.0;
    if (p.hasDate) {
        if (p.year < 100 || p.year > 9999 || p.day > daysInMonth(p.year, p.month)) return false;
        serial = static_cast<double>(DaysFromCivil(p.year, p.month, p.day) - kEpoch);
    }
    out = Date(serial + p.time);
    return true;
}

bool IsDate(const std::string& text) {
    Date d;
    return ParseDate(text, d);
}

Date CDate(const std::string& text) {
    Date d;
    if (!ParseDate(text, d)) throw RuntimeError(err::TypeMismatch);
    return d;
}
