#include "common/Calendar.h"
#include "common/Strings.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if (a % b != 0 && (a < 0) != (b < 0)) --q;
    return q;
}

// Month 13 is January of the next year, month 0 December of the year before.
void normalizeMonth(int64_t& year, int64_t& month) {
    const int64_t carry = floorDiv(month - 1, 12);
    year += carry;
    month -= carry * 12;
}

// Days of the months before each month, in years of 365 and of 366 days.
constexpr int kBefore365[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int kBefore366[12] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};

// Proleptic Gregorian days since 1899-12-30.
int64_t gregorianDay(int64_t y, int64_t m, int64_t d) {
    return DaysFromCivil(y, m, d) - DaysFromCivil(1899, 12, 30);
}

// Julian days counted from 0000-03-01 of the Julian calendar, in eras of four years that end
// on a leap day.
int64_t julianRaw(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = floorDiv(y, 4);
    const int64_t yoe = y - era * 4;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 1461 + yoe * 365 + doy;
}

void julianFromRaw(int64_t z, int64_t& y, int& m, int& d) {
    const int64_t era = floorDiv(z, 1461);
    const int64_t doe = z - era * 1461;
    const int64_t yoe = (doe - doe / 1460) / 365;
    const int64_t doy = doe - 365 * yoe;
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 4 + (m <= 2);
}

// The Gregorian reform: Julian 1582-10-04 was followed by Gregorian 1582-10-15. Julian dates
// count real days by that link.
const int64_t kReformDay = gregorianDay(1582, 10, 15);
const int64_t kJulianShift = julianRaw(1582, 10, 4) + 1 - kReformDay;

int64_t julianDay(int64_t y, int64_t m, int64_t d) {
    return julianRaw(y, m, d) - kJulianShift;
}

// Days of a model calendar's year-month-day counted from its year 0.
int64_t modelRaw(Calendar cal, int64_t y, int64_t m, int64_t d) {
    switch (cal) {
    case Calendar::NoLeap:
        return y * 365 + kBefore365[m - 1] + d - 1;
    case Calendar::AllLeap:
        return y * 366 + kBefore366[m - 1] + d - 1;
    default:
        return y * 360 + (m - 1) * 30 + d - 1;
    }
}

void modelFromRaw(Calendar cal, int64_t z, int64_t& y, int& m, int& d) {
    const int64_t length = cal == Calendar::NoLeap ? 365 : cal == Calendar::AllLeap ? 366 : 360;
    y = floorDiv(z, length);
    const int r = static_cast<int>(z - y * length);
    if (cal == Calendar::Day360) {
        m = r / 30 + 1;
        d = r % 30 + 1;
        return;
    }
    const int* before = cal == Calendar::NoLeap ? kBefore365 : kBefore366;
    m = 12;
    while (before[m - 1] > r)
        --m;
    d = r - before[m - 1] + 1;
}

bool beforeReform(int64_t y, int64_t m, int64_t d) {
    return y < 1582 || (y == 1582 && (m < 10 || (m == 10 && d < 15)));
}

bool julianLeap(int64_t y) {
    return floorDiv(y, 4) * 4 == y;
}
bool gregorianLeap(int64_t y) {
    return julianLeap(y) && (y % 100 != 0 || y % 400 == 0);
}

} // namespace

Calendar CalendarOf(const std::string& attribute) {
    const std::string name = LCase(Trim(attribute));
    if (name == "proleptic_gregorian") return Calendar::ProlepticGregorian;
    if (name == "julian") return Calendar::Julian;
    if (name == "noleap" || name == "365_day") return Calendar::NoLeap;
    if (name == "all_leap" || name == "366_day") return Calendar::AllLeap;
    if (name == "360_day") return Calendar::Day360;
    return Calendar::Standard;
}

int64_t CalendarDay(Calendar cal, int64_t year, int64_t month, int64_t day) {
    normalizeMonth(year, month);
    switch (cal) {
    case Calendar::ProlepticGregorian:
        return gregorianDay(year, month, day);
    case Calendar::Julian:
        return julianDay(year, month, day);
    case Calendar::Standard:
        return beforeReform(year, month, day) ? julianDay(year, month, day)
                                              : gregorianDay(year, month, day);
    default:
        // A model calendar's days since its own 1899-12-30.
        return modelRaw(cal, year, month, day) - modelRaw(cal, 1899, 12, 30);
    }
}

void CalendarYMD(Calendar cal, int64_t days, int64_t& year, int& month, int& day) {
    switch (cal) {
    case Calendar::ProlepticGregorian:
        CivilFromDays(days + DaysFromCivil(1899, 12, 30), year, month, day);
        return;
    case Calendar::Julian:
        julianFromRaw(days + kJulianShift, year, month, day);
        return;
    case Calendar::Standard:
        if (days < kReformDay)
            julianFromRaw(days + kJulianShift, year, month, day);
        else
            CivilFromDays(days + DaysFromCivil(1899, 12, 30), year, month, day);
        return;
    default:
        modelFromRaw(cal, days + modelRaw(cal, 1899, 12, 30), year, month, day);
        return;
    }
}

bool IsCalendarDate(Calendar cal, int64_t year, int month, int day) {
    if (month < 1 || month > 12 || day < 1) return false;
    static const int kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = false;
    switch (cal) {
    case Calendar::Day360:
        return day <= 30;
    case Calendar::NoLeap:
        break;
    case Calendar::AllLeap:
        leap = true;
        break;
    case Calendar::Julian:
        leap = julianLeap(year);
        break;
    case Calendar::ProlepticGregorian:
        leap = gregorianLeap(year);
        break;
    case Calendar::Standard:
        if (year == 1582 && month == 10 && day > 4 && day < 15) return false;
        leap = year < 1582 ? julianLeap(year) : gregorianLeap(year);
        break;
    }
    return day <= (month == 2 && leap ? 29 : kLength[month - 1]);
}

CalendarTime CalendarTimeOf(Calendar cal, Date d) {
    int64_t days = 0;
    int seconds = 0;
    SplitSerial(d, days, seconds);
    CalendarTime t;
    t.dayNumber = days;
    CalendarYMD(cal, days, t.year, t.month, t.day);
    if (t.year < -9999 || t.year > 9999) throw RuntimeError(err::Overflow);
    t.hour = seconds / 3600;
    t.minute = seconds / 60 % 60;
    t.second = seconds % 60;
    return t;
}

std::string CalendarDateText(Calendar cal, Date d) {
    const CalendarTime t = CalendarTimeOf(cal, d);
    return DateText(t.year, t.month, t.day, t.hour * 3600 + t.minute * 60 + t.second,
                    t.dayNumber != 0);
}

bool ParseCalendarDate(Calendar cal, const std::string& text, Date& out) {
    DateParts p;
    if (!ParseDateParts(text, p)) return false;
    double serial = 0;
    if (p.hasDate) {
        if (p.year < -9999 || p.year > 9999 || !IsCalendarDate(cal, p.year, p.month, p.day))
            return false;
        serial = static_cast<double>(CalendarDay(cal, p.year, p.month, p.day));
    }
    const double offset = p.hasOffset ? p.offsetMinutes / 1440.0 : 0.0;
    // Local time at the offset is UTC plus the offset; without a time the offset is the time.
    serial += p.hasTime ? p.time - offset : offset;
    out = Date(serial);
    return true;
}

Date CalendarCDate(Calendar cal, const std::string& text) {
    Date d;
    if (!ParseCalendarDate(cal, text, d)) throw RuntimeError(err::TypeMismatch);
    return d;
}

std::string CleanDateText(std::string text) {
    for (char& c : text) {
        const bool keep = (c >= '0' && c <= '9') || c == '-' || c == ':' || c == ' ';
        if (!keep) c = ' ';
    }
    return text;
}

std::string BuiltDateText(Integer year, Integer month, Integer day, Integer hour, Integer minute) {
    return Str(year) + "-" + Str(month) + "-" + Str(day) + Str(hour) + ":" + Str(minute);
}

bool ReadDateText(Calendar cal, const std::string& text, Date& out) {
    return ParseCalendarDate(cal, text, out) || ParseCalendarDate(cal, CleanDateText(text), out);
}

bool SinceDate(Calendar cal, const std::string& unit, Date& out) {
    const std::vector<std::string_view> tokens = Tokens(unit);
    if (tokens.size() < 3) return false;
    // The words from the third on joined by blanks, and where each ends in that text.
    std::string joined;
    std::vector<std::size_t> ends;
    for (std::size_t k = 2; k < tokens.size(); ++k) {
        if (!joined.empty()) joined += ' ';
        joined += tokens[k];
        ends.push_back(joined.size());
    }
    for (std::size_t n = ends.size(); n >= 1; --n) {
        if (ReadDateText(cal, joined.substr(0, ends[n - 1]), out)) return true;
    }
    return false;
}

bool AbsoluteTimeUnits(const std::string& unit, AbsoluteTimeFormat& format) {
    if (UCase(GetToken(unit, 2)) != "AS" || CountTokens(unit) != 3) return false;
    std::string text = GetToken(unit, 3);
    format = AbsoluteTimeFormat();
    if (text.size() >= 3 && text.compare(text.size() - 3, 3, ".%f") == 0) {
        format.fraction = true;
        text.resize(text.size() - 3);
    }
    static const char kFields[] = "YmdHMS";
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const std::size_t k = i / 2;
        if (k >= 6 || text[i] != '%' || i + 1 >= text.size() || text[i + 1] != kFields[k])
            return false;
        format.fields = static_cast<int>(k) + 1;
    }
    return format.fields > 0;
}

bool AbsoluteTimeDate(Calendar cal, const AbsoluteTimeFormat& format, double value, Date& out) {
    // Whole numbers beyond 1e15 are no longer exact in a double, and no format reaches them
    // before year 9999 (%Y%m%d%H%M%S of 9999 is below 1e14).
    if (!(value >= 0 && value < 1e15)) return false;
    const double whole = std::floor(value);
    int64_t rest = static_cast<int64_t>(whole);
    // Fields from the last back: two digits each, the year what is left.
    int64_t parts[6] = {0, 1, 1, 0, 0, 0};
    for (int k = format.fields - 1; k >= 1; --k) {
        parts[k] = rest % 100;
        rest /= 100;
    }
    parts[0] = rest;
    if (parts[0] > 9999 ||
        !IsCalendarDate(cal, parts[0], static_cast<int>(parts[1]), static_cast<int>(parts[2])))
        return false;
    if (parts[3] > 23 || parts[4] > 59 || parts[5] > 59) return false;
    double serial = static_cast<double>(CalendarDay(cal, parts[0], parts[1], parts[2])) +
                    static_cast<double>(parts[3] * 3600 + parts[4] * 60 + parts[5]) / 86400.0;
    // A fraction of a day, an hour, a minute or a second; one of a month or a year has no
    // length of its own and is passed over, as CDO passes it over.
    static const double kDaysPer[] = {1.0, 1.0 / 24, 1.0 / 1440, 1.0 / 86400};
    if (format.fraction && format.fields >= 3)
        serial += (value - whole) * kDaysPer[format.fields - 3];
    out = Date(serial);
    return true;
}

bool AbsoluteTimesToDays(Calendar cal, const std::string& unit, double* values, std::size_t n,
                         Date& epoch) {
    AbsoluteTimeFormat format;
    if (!AbsoluteTimeUnits(unit, format)) return false;
    bool first = true;
    epoch = Date();
    for (std::size_t i = 0; i < n; ++i) {
        Date d;
        if (!AbsoluteTimeDate(cal, format, values[i], d)) {
            values[i] = std::numeric_limits<double>::quiet_NaN();
            continue;
        }
        if (first) epoch = Date(std::floor(d.serial));
        first = false;
        values[i] = d.serial - epoch.serial;
    }
    return true;
}
