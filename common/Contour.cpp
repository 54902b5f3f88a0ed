#include "common/Contour.h"
#include "common/MinMax.h"
#include "common/Ui.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr Long kMaxLevels = 32767;

struct LinePoint {
    float x = 0, y = 0;
};

bool hasValue(Integer code) {
    return code >= 1 && code <= 8;
}

// The end of a segment, and the other one.
LinePoint endOf(const ContourSegment& s, Integer end) {
    return end == 1 ? LinePoint{static_cast<float>(s.x1), static_cast<float>(s.y1)}
                    : LinePoint{static_cast<float>(s.x2), static_cast<float>(s.y2)};
}
LinePoint otherEnd(const ContourSegment& s, Integer end) {
    return endOf(s, end == 1 ? 2 : 1);
}

// Links the segments of one level into lines, each drawn as it is found: a probe walks from
// end 2 of the lowest segment not yet drawn to the end of its chain, and the line is traced
// back from there through the probe's segments and on.
void ContourLink(ContourCanvas& pic, const PlotTransform& t,
                 const std::vector<ContourSegment>& segs, float tolerance, float level,
                 const ContourLineHook& afterLine) {
    const auto n = static_cast<Long>(segs.size());
    std::vector<Integer> state(segs.size(), 1);
    std::vector<LinePoint> line;
    Long start = 1;
    for (;;) {
        while (start <= n && state[static_cast<std::size_t>(start - 1)] == -1)
            ++start;
        if (start > n) break;

        Long s = start;
        Integer e = 2;
        state[static_cast<std::size_t>(s - 1)] = 0;
        LinePoint p = endOf(segs[static_cast<std::size_t>(s - 1)], 2);
        Long best = 0;
        Integer bestEnd = 0;
        float dist = 0;
        for (;;) {
            NearestSegment(t, p.x, p.y, s, state, segs, n, best, bestEnd, dist, 1);
            if (dist > tolerance) break;
            s = best;
            e = bestEnd;
            state[static_cast<std::size_t>(s - 1)] = 0;
            p = otherEnd(segs[static_cast<std::size_t>(s - 1)], e);
        }

        state[static_cast<std::size_t>(s - 1)] = -1;
        const ContourSegment& first = segs[static_cast<std::size_t>(s - 1)];
        line.assign({otherEnd(first, e), endOf(first, e)});
        p = line.back();
        for (;;) {
            NearestSegment(t, p.x, p.y, s, state, segs, n, best, bestEnd, dist, 0);
            if (dist > tolerance) break;
            s = best;
            p = otherEnd(segs[static_cast<std::size_t>(s - 1)], bestEnd);
            line.push_back(p);
            state[static_cast<std::size_t>(s - 1)] = -1;
        }

        std::vector<LinePoint> mapped(line.size());
        for (std::size_t q = 0; q < line.size(); ++q)
            xy_scale(t, line[q].x, line[q].y, mapped[q].x, mapped[q].y);
        for (std::size_t q = 1; q < mapped.size(); ++q)
            pic.Line(mapped[q - 1].x, mapped[q - 1].y, mapped[q].x, mapped[q].y);
        const auto points = static_cast<Long>(line.size());
        const Long m = CLng(points / 2.0);
        if (m > 3) {
            const LinePoint& at = mapped[static_cast<std::size_t>(m - 1)];
            pic.PrintAt(at.x, at.y, Str(level));
        }
        pic.Refresh();
        if (afterLine) afterLine(points, level);
    }
}

// The smallest and largest valid value of the field (-1e20 and 1e20 reversed when none).
void fieldRange(const ContourField& f, float& max, float& min) {
    max = -1e20f;
    min = 1e20f;
    for (Long k = f.k1; k <= f.k2; ++k)
        for (Long i = f.i1; i <= f.i2; ++i)
            if (hasValue(f.codes(i, k))) {
                const float v = f.values(i, k);
                if (v > max) max = v;
                if (v < min) min = v;
            }
}

// The levels: their spacing size and the first of them, with max and min held to the display
// range when the step fits within it (otherwise step becomes a tenth of the data range). False
// when no level is to be drawn; a step that would give too many levels says so in a box.
bool levelsOf(float& step, float high, float low, float& max, float& min, float& size,
              float& first) {
    const float range = high - low;
    if (std::fabs(step) < range) {
        if (max > high) max = high;
        if (min < low) min = low;
    } else {
        step = (min - max) / 10;
    }
    size = std::fabs(step);
    // Levels a step of 0 apart would never pass the maximum.
    if (!(size > 0) || !std::isfinite(size)) return false;
    first = Fix(min / size) * size;
    // A step tiny against the data would trace levels without end: refused as a whole.
    if ((static_cast<double>(max) - first) / size >= kMaxLevels) {
        std::string text("[ContourGrid] more than ");
        text.append(CStr(kMaxLevels)).append(" contour levels: step").append(Str(size));
        text.append(" for values from").append(Str(min)).append(" to").append(Str(max));
        ui().MsgBox(text, kOkOnly, "");
        return false;
    }
    return true;
}

// The pieces where level crosses the four triangles round the middle of cell (i, k), which
// spans the levels yA (top) to yB and has its middle at yM; nothing for a cell with fewer than
// three of its corners valued.
void cellSegments(const ContourField& f, Long i, Long k, float yA, float yB, float yM,
                  float level, std::vector<ContourSegment>& segs) {
    const float c0 = f.values(i, k);
    int missing = 0;
    auto corner = [&](Long ci, Long ck) {
        if (hasValue(f.codes(ci, ck))) return f.values(ci, ck);
        ++missing;
        return c0;
    };
    const float c1 = corner(i + 1, k);
    const float c2 = corner(i + 1, k + 1);
    const float c3 = corner(i, k + 1);
    if (missing >= 2) return;
    if (!(Min4S(c0, c1, c2, c3) < level && level <= Max4S(c0, c1, c2, c3))) return;

    const float cv = (c0 + c1 + c2 + c3) / 4;
    const double xc = f.x0 + i * f.dx;
    const auto xM = static_cast<float>(xc);
    const auto xL = static_cast<float>(xc - f.dx / 2);
    const auto xR = static_cast<float>(xc + f.dx / 2);
    struct Corner {
        float x, y, v;
    };
    const Corner corners[4][2] = {{{xL, yA, c0}, {xR, yA, c1}},
                                  {{xR, yA, c1}, {xR, yB, c2}},
                                  {{xR, yB, c2}, {xL, yB, c3}},
                                  {{xL, yB, c3}, {xL, yA, c0}}};
    for (const auto& tri : corners) {
        const Corner& a = tri[0];
        const Corner& b = tri[1];
        if (!(Min3S(a.v, b.v, cv) < level && level <= Max3S(a.v, b.v, cv))) continue;
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        TriangleLevelSegment(a.x, b.x, xM, a.y, b.y, yM, a.v, b.v, cv, level, x1, y1, x2, y2);
        segs.push_back(ContourSegment{x1, y1, x2, y2});
    }
}

// Every piece of level in the field, into segs (emptied first).
void levelSegments(const ContourField& f, float level, std::vector<ContourSegment>& segs) {
    segs.clear();
    for (Long k = f.k1; k <= f.k2 - 1; ++k) {
        const auto yA = static_cast<float>(-f.vCoord(k));
        const auto yB = static_cast<float>(-f.vCoord(k + 1));
        const auto yM = static_cast<float>((-f.vCoord(k) - f.vCoord(k + 1)) / 2);
        for (Long i = f.i1; i <= f.i2 - 1; ++i)
            if (hasValue(f.codes(i, k))) cellSegments(f, i, k, yA, yB, yM, level, segs);
    }
}

} // namespace

void ContourGrid(ContourCanvas& pic, const PlotTransform& t, const ContourField& f, float& step,
                 float high, float low, Long lineColor, const ContourLineHook& afterLine) {
    const Long saved = pic.ForeColor();
    const float tolerance =
        SegDistance(t, static_cast<float>(f.x0), static_cast<float>(f.y0),
                    static_cast<float>(f.x0 + f.dx), static_cast<float>(f.y0 + f.dy));
    float max = 0, min = 0, size = 0, first = 0;
    fieldRange(f, max, min);
    if (!levelsOf(step, high, low, max, min, size, first)) return;

    std::vector<ContourSegment> segs;
    float previous = 0;
    for (Long n = 0; n < kMaxLevels; ++n) {
        const float level = first + static_cast<float>(n) * size;
        if (level > max) break;
        // A step too small to change the level in Single precision has no further levels.
        if (n > 0 && level == previous) break;
        previous = level;
        if (level < min) continue;
        pic.setForeColor(lineColor);
        levelSegments(f, level, segs);
        if (segs.size() > 2) ContourLink(pic, t, segs, tolerance, level, afterLine);
    }
    pic.setForeColor(saved);
}
