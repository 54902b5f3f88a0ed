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
        const Long N = r.nTime;
        Long n = N;
        if (s > 1) {
            // Steps 1, 1 + s, 1 + 2s, ... up to N, and N itself when the stride misses it.
            if (N >= 1) {
                n = (N - 1) / s + 1;
                if (int64_t{n - 1} * s + 1 != N) n = AddL(n, 1);
            } else {
                n = 0;
            }
        } else {
            s = 1;
        }
        outTime.ReDim(1, n);

        // Calls f(k, i) for each sampled step i, k counting from 1, then f(n, N) when the last
        // sampled step was not N.
        auto forEachStep = [&](auto&& f) {
            Long k = 0;
            for (int64_t i = 1; i <= N; i += s) {
                k = k + 1;
                f(k, static_cast<Long>(i));
            }
            if (k < n) f(n, N);
        };

        const std::string key = UCase(Left(r.timeUnit, 3));
        if (r.Dated == 1) {
            float f = 0;
            if (key == "DAY")
                f = 1440.0f;
            else if (key == "HOU")
                f = 60.0f;
            else if (key == "MIN")
                f = 1.0f;
            else if (key == "SEC")
                f = 1.0f / 60.0f; // kept as a Single: 0.016666668
            else {
                ErrorMessage = "[doFill_OrvTime] Unknown Time unit (dated time)";
                return -1;
            }
            // StartTime is the first step that has a time; a step without one (a fill) has
            // no Orv minute and gets 0, as GetOrvMin gives it.
            const Long base = DateToOrvMin(CalendarCDate(r.calendar, r.StartTime));
            const double t1 = r.timeArr(std::max<Long>(1, FirstTimedStep(r)));
            forEachStep([&](Long k, Long i) {
                const double t = r.timeArr(i);
                outTime(k) = std::isnan(t) ? 0 : CLng((t - t1) * static_cast<double>(f) + base);
            });
            return n;
        }

        if (!showDate) return -1;
        const Integer yr = static_cast<Integer>(CalendarTimeOf(r.calendar, *showDate).year);
        // Months past December run on into the years after yr, however long the axis.
        auto firstOfMonth = [&](Long month) { return MonthStartOrvMin(r.calendar, yr, month); };
        if (key == "SEA") {
            forEachStep(
                [&](Long k, Long i) { outTime(k) = firstOfMonth(AddL(MulL(SubL(i, 1), 3), 1)); });
        } else if (key == "MON") {
            forEachStep([&](Long k, Long i) { outTime(k) = firstOfMonth(i); });
        } else if (key == "DAY") {
            const Long j = firstOfMonth(1);
            forEachStep([&](Long k, Long i) { outTime(k) = AddL(j, MulL(SubL(i, 1), 1440)); });
        } else {
            ErrorMessage = "[doFill_OrvTime] Unknown Time unit (not dated)";
            return -1;
        }
        return n;
    } catch (const RuntimeError& e) {
        ErrorMessage = "[doFill_OrvTime] Error (" + CStr(static_cast<Long>(e.number())) + ") :\"" +
                       e.description() + "\"";
        return -1;
    }
}
