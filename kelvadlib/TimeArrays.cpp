#include "kelvadlib/Kelvad.h"
#include "kelvadlib/Utils.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

Long Kelvad::doFill_Time(Long nH, VArray<double>& outTime) {
    try {
        outTime = ncf(nH).timeArr;
        return 1;
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("", e);
        return -1;
    }
}

namespace {

// The steps a fill samples: 1, 1 + s, 1 + 2s, ... up to N, and N itself when the stride misses
// it; n of them.
struct SampledSteps {
    Long N = 0, s = 1, n = 0;
    // Calls f(k, i) for each sampled step i, k counting from 1, then f(n, N) when the last
    // sampled step was not N.
    template <class F> void forEach(F&& f) const {
        Long k = 0;
        for (int64_t i = 1; i <= N; i += s) {
            k = k + 1;
            f(k, static_cast<Long>(i));
        }
        if (k < n) f(n, N);
    }
};
SampledSteps sampledSteps(Long N, Long s) {
    SampledSteps steps{N, 1, N};
    if (s <= 1) return steps;
    steps.s = s;
    if (N < 1) {
        steps.n = 0;
        return steps;
    }
    steps.n = (N - 1) / s + 1;
    if (int64_t{steps.n - 1} * s + 1 != N) steps.n = AddL(steps.n, 1);
    return steps;
}

// A dated axis: the Orv minutes of the steps from the first step's text. StartTime is the first
// step that has a time; a step without one (a fill) has no Orv minute and gets 0, as GetOrvMin
// gives it. n, or -1 with the reason in error.
Long fillDatedMinutes(const NcfRec& r, const std::string& key, const SampledSteps& steps,
                      VArray<Long>& outTime, std::string& error) {
    const float f = MinutesPerTimeUnit(key);
    if (f == 0.0f) {
        error = "[doFill_OrvTime] Unknown Time unit (dated time)";
        return -1;
    }
    const Long base = DateToOrvMin(CalendarCDate(r.calendar, r.StartTime));
    const double t1 = r.timeArr(std::max<Long>(1, FirstTimedStep(r)));
    steps.forEach([&](Long k, Long i) {
        const double t = r.timeArr(i);
        outTime(k) = std::isnan(t) ? 0 : CLng((t - t1) * static_cast<double>(f) + base);
    });
    return steps.n;
}

// An axis without dates laid into the year of showDate: seasons and months from its first
// month, days from its first day. Months past December run on into the years after, however
// long the axis. n, or -1 with the reason in error.
Long fillClimatologyMinutes(const NcfRec& r, const std::string& key, const SampledSteps& steps,
                            Date showDate, VArray<Long>& outTime, std::string& error) {
    const Integer yr = static_cast<Integer>(CalendarTimeOf(r.calendar, showDate).year);
    auto firstOfMonth = [&](Long month) { return MonthStartOrvMin(r.calendar, yr, month); };
    if (key == "SEA") {
        steps.forEach(
            [&](Long k, Long i) { outTime(k) = firstOfMonth(AddL(MulL(SubL(i, 1), 3), 1)); });
    } else if (key == "MON") {
        steps.forEach([&](Long k, Long i) { outTime(k) = firstOfMonth(i); });
    } else if (key == "DAY") {
        const Long j = firstOfMonth(1);
        steps.forEach([&](Long k, Long i) { outTime(k) = AddL(j, MulL(SubL(i, 1), 1440)); });
    } else {
        error = "[doFill_OrvTime] Unknown Time unit (not dated)";
        return -1;
    }
    return steps.n;
}

} // namespace

Long Kelvad::doFill_OrvTime(Long nH, VArray<Long>& outTime, std::optional<Date> showDate) {
    // The caller asks for every s-th step through element 1 of the array it passes; an array
    // it has not dimensioned means every step.
    Long s = 0;
    if (!outTime.IsAllocated())
        s = 1;
    else if (outTime.LBound() <= 1 && outTime.UBound() >= 1)
        s = outTime(1);

    try {
        const NcfRec& r = ncf(nH);
        const SampledSteps steps = sampledSteps(r.nTime, s);
        outTime.ReDim(1, steps.n);
        const std::string key = UCase(Left(r.timeUnit, 3));
        if (r.Dated == 1) return fillDatedMinutes(r, key, steps, outTime, ErrorMessage);
        if (!showDate) return -1;
        return fillClimatologyMinutes(r, key, steps, *showDate, outTime, ErrorMessage);
    } catch (const RuntimeError& e) {
        ErrorMessage = "[doFill_OrvTime] Error (" + CStr(static_cast<Long>(e.number())) + ") :\"" +
                       e.description() + "\"";
        return -1;
    }
}
