#include "common/Calendar.h"
#include "kelvadlib/Utils.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

namespace {

Long checkedMinutes(int64_t days, int64_t minutesOfDay) {
    // Far beyond a Long either way: no need to form the product.
    if (days > INT32_MAX || days < INT32_MIN) throw RuntimeError(err::Overflow);
    return CLng(static_cast<double>(days * 1440 + minutesOfDay));
}

} // namespace

Long DateToOrvMin(Date d) {
    // The serial already counts the days of its calendar; the time is rounded to the nearest
    // second and the seconds are dropped.
    int64_t days = 0;
    int seconds = 0;
    SplitSerial(d, days, seconds);
    return checkedMinutes(days, seconds / 60);
}

Long CalendarOrvMin(Calendar cal, Integer year, Integer month, Integer day, Integer hour,
                    Integer minute) {
    // Month and day are limited to 0..99 as in a day-number text; beyond their calendar's
    // range they roll over.
    auto limit = [](Integer n) { return n < 0 ? 0 : n > 99 ? 99 : n; };
    return checkedMinutes(CalendarDay(cal, year, limit(month), limit(day)),
                          int64_t{hour} * 60 + minute);
}

Long MonthStartOrvMin(Calendar cal, int64_t year, int64_t month) {
    return checkedMinutes(CalendarDay(cal, year, month, 1), 0);
}

void OrvMinToYMDHM(Long minutes, Integer& year, Integer& month, Integer& day, Integer& hour,
                   Integer& minute, Calendar cal) {
    // Truncation toward zero: below 0 the day moves toward zero and the time of day comes out
    // negative.
    const Long days = CLng(Fix(static_cast<double>(minutes) / 1440.0));
    int64_t y = 0;
    int m = 0, d = 0;
    CalendarYMD(cal, days, y, m, d);
    year = CInt(static_cast<double>(y));
    month = static_cast<Integer>(m);
    day = static_cast<Integer>(d);
    const Long rest = SubL(minutes, MulL(days, 1440));
    hour = CInt(Fix(static_cast<double>(rest) / 60.0));
    minute = CInt(static_cast<double>(SubL(rest, MulL(hour, 60))));
}
