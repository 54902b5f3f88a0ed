#include "common/SectionColumn.h"
#include "common/MinMax.h"
#include "runtime/Text.h"

SectionWindow ColumnWindow(Long ndims, Long first) {
    SectionWindow w;
    w.startp.ReDim(1, ndims);
    w.countp.ReDim(1, ndims);
    w.stridep.ReDim(1, ndims);
    for (Long d = 1; d <= ndims; ++d) {
        w.startp(d) = first;
        w.countp(d) = 1;
        w.stridep(d) = 1;
    }
    return w;
}

HorizontalDims HorizontalDimsOf(Long ndims, Long lonlatOrder) {
    switch (lonlatOrder) {
    case 1:
        return {ndims - 1, ndims};
    case 2:
        return {ndims, ndims - 1};
    case 0:
        return {ndims - 1, kNoDim};
    default:
        return {};
    }
}

void PlaceColumn(SectionWindow& w, const HorizontalDims& at, Long i, Long j) {
    if (at.lon != kNoDim) w.startp(at.lon) = i;
    if (at.lat != kNoDim) w.startp(at.lat) = j;
}

bool TakeIntoRange(float value, float noVal, float& max, float& min) {
    if (!(value > noVal)) return false;
    max = MaxS(max, value);
    min = MinS(min, value);
    return true;
}

std::string FailedReadReport(const std::string& message, Long nvar, Long tcount,
                             const SectionWindow& w, const std::string& lineEnd,
                             ReportNumbers numbers) {
    auto number = [numbers](Long v) { return numbers == ReportNumbers::Str ? Str(v) : CStr(v); };
    std::string text = message + lineEnd + lineEnd + "nvar, tcount= " + number(nvar) + " " +
                       number(tcount) + lineEnd;
    for (Long d = 1; d <= w.startp.UBound(); ++d)
        text += "start, count, stride = " + number(w.startp(d)) + " " + number(w.countp(d)) + " " +
                number(w.stridep(d)) + lineEnd;
    return text;
}
