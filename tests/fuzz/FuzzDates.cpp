// The date and number parsers: every reading of a text as a date (runtime and the calendars)
// and as a number. A refusal is a false result or a RuntimeError; anything else is a fault.
#include "tests/fuzz/FuzzInput.h"

#include "common/Calendar.h"
#include "runtime/Convert.h"
#include "runtime/Date.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

#include <cmath>
#include <cstdlib>

namespace {

template <class F> void refusalAllowed(F&& f) {
    try {
        f();
    } catch (const RuntimeError&) {}
}

constexpr Calendar kCalendars[] = {Calendar::Standard, Calendar::ProlepticGregorian,
                                   Calendar::Julian,   Calendar::NoLeap,
                                   Calendar::AllLeap,  Calendar::Day360};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Date d;
    DateParts parts;
    refusalAllowed([&] { (void)ParseDate(text, d); });
    refusalAllowed([&] { (void)ParseDateParts(text, parts); });
    refusalAllowed([&] { (void)IsDate(text); });
    refusalAllowed([&] { (void)CDate(text); });
    refusalAllowed([&] { (void)CleanDateText(text); });
    (void)CalendarOf(text);
    for (Calendar cal : kCalendars) {
        // A date read and written again reads back as the same date, to the second.
        refusalAllowed([&] {
            if (!ParseCalendarDate(cal, text, d)) return;
            const std::string written = CalendarDateText(cal, d);
            Date again;
            if (!ParseCalendarDate(cal, written, again)) std::abort();
            if (std::fabs(again.serial - d.serial) > 1.01 / 86400) std::abort();
        });
        refusalAllowed([&] {
            if (ReadDateText(cal, text, d)) (void)CalendarDateText(cal, d);
        });
        refusalAllowed([&] { (void)SinceDate(cal, text, d); });
    }
    double x = 0;
    refusalAllowed([&] { (void)Val(text); });
    refusalAllowed([&] { (void)TextToNumber(text, x); });
    refusalAllowed([&] { (void)IsNumeric(text); });
    refusalAllowed([&] { (void)CDbl(text); });
    refusalAllowed([&] { (void)CSng(text); });
    refusalAllowed([&] { (void)CLng(text); });
    refusalAllowed([&] { (void)CInt(text); });
    return 0;
}
