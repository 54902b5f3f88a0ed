#include "common/TimeMod.h"

#include "platform/Kovra.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

namespace {

Long checkedLong(int64_t v) {
    if (v < INT32_MIN || v > INT32_MAX) throw RuntimeError(err::Overflow);
    return static_cast<Long>(v);
}

} // namespace

std::string Pad2(Integer& n) {
    if (n < 0) n = 0;
    if (n > 99) n = 99;
    std::string text = std::to_string(n);
    return n < 10 ? "0" + text : text;
}

Long DateTextToNum(Integer& year, Integer& month, Integer& day, Integer& hour, Integer& minute) {
    const Long m = checkedLong(int64_t{hour} * 60 + minute);
    // The library reads "MM/DD/ yyyy": the year keeps the blank (or "-") of its Str form.
    const std::string text = Pad2(month) + "/" + Pad2(day) + "/" + Str(year);
    const Long d = Date2Num(text);
    return checkedLong(int64_t{checkedLong(int64_t{d} * 1440)} + m);
}
