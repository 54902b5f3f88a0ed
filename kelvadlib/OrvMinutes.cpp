#include "common/TimeMod.h"
#include "kelvadlib/Utils.h"
#include "platform/Kovra.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

Long DateToOrvMin(Date d) {
    // The date parts round the time to the nearest second; the seconds themselves are dropped.
    Integer year = static_cast<Integer>(Year(d));
    Integer month = static_cast<Integer>(Month(d));
    Integer day = static_cast<Integer>(Day(d));
    Integer hour = static_cast<Integer>(Hour(d));
    Integer minute = static_cast<Integer>(Minute(d));
    return DateTextToNum(year, month, day, hour, minute);
}

void OrvMinToYMDHM(Long minutes, Integer& year, Integer& month, Integer& day, Integer& hour,
                   Integer& minute) {
    // Truncation toward zero: below 0 the day moves toward zero and the time of day comes out
    // negative.
    const Long days = CLng(Fix(static_cast<double>(minutes) / 1440.0));
    const std::string text = Num2Date(days);
    // The text is "MM/DD/YYYY": read by position.
    year = CInt(Val(Mid(text, 7, 4)));
    month = CInt(Val(Mid(text, 1, 2)));
    day = CInt(Val(Mid(text, 4, 2)));
    const Long rest = SubL(minutes, MulL(days, 1440));
    hour = CInt(Fix(static_cast<double>(rest) / 60.0));
    minute = CInt(static_cast<double>(SubL(rest, MulL(hour, 60))));
}
