#include "viewer/export/SubsetDescription.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/export/ExportHost.h"
#include "viewer/export/ExportKinds.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"

#include <algorithm>
#include <stdexcept>

const char* const kRowRangeText = "Error in start-end dimension specification:";

namespace {

constexpr const char* kCrLf = "\r\n";

void message(const std::string& text) {
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

IKelvad& dataset() {
    if (!Data.clsNC) throw RuntimeError(err::ObjectNotSet);
    return *Data.clsNC;
}

// A row that does not describe a cut of its dimension; its message is already shown.
struct RowRefused : std::runtime_error {
    RowRefused() : std::runtime_error("row refused") {}
};

// A box's number: the number its text holds, rounded (halves to even); 0 when none.
Long boxNumber(const std::string& text) {
    return CLng(Val(text));
}

struct Axes {
    Long lon = -1, lat = -1, time = -1, level = -1, cell = -1, xysize = -1;
};

Axes axesOfMain(IKelvad& nc, const ExportKind& kind) {
    Axes a;
    a.lon = nc.LondId(1);
    a.lat = nc.LatdId(1);
    a.time = nc.TimedId(1);
    a.level = nc.LeveldId(1);
    a.cell = nc.nCelldId(1);
    if (kind.gmtLayout) {
        for (Long k = 1; k <= nc.nDimes(1); ++k)
            if (UCase(nc.dimeName(k, 1)) == "XYSIZE") a.xysize = k - 1;
    }
    return a;
}

// The values of an axis 1 To n through the dataset object (never what an earlier load left in
// the viewer's arrays).
VArray<double> axisValues(Long n, Long (IKelvad::*fill)(VArray<double>&, Long)) {
    VArray<double> v;
    if (n < 1) return v;
    v.ReDim(1, n);
    if ((dataset().*fill)(v, 1) < 0) throw RuntimeError(err::InvalidCall, dataset().ErrorMessage());
    return v;
}

template <class T, class From>
void takeCut(VArray<T>& cut, Long& n, const From& from, Long start, Long count, Long step) {
    n = count;
    if (count < 1) {
        cut.Erase();
        return;
    }
    cut.ReDim(1, count);
    for (Long j = 1; j <= count; ++j)
        cut(j) = static_cast<T>(from(start + (j - 1) * step));
}

std::string rowText(const std::string& name, Long start, Long end, Long step) {
    return "[SubSetNcDomain] " + std::string(kRowRangeText) + kCrLf + kCrLf + "dimension " + name +
           ": start" + Str(start) + ", end" + Str(end) + ", step" + Str(step) + kCrLf;
}

// Reads row d (a dimension without a row is taken whole), checks it against the dimension's
// length and sets the cut of d. A time dimension's end is held within the steps there are.
void takeRow(SubsetDescription& sd, Long d, const std::string& name, Long length, Long steps) {
    ExportHost& host = exportHost();
    Long start = 1, end = length, step = 1;
    if (d <= host.SubsetRows()) {
        start = boxNumber(host.StartText(d));
        end = boxNumber(host.EndText(d));
        step = boxNumber(host.StepText(d));
    }
    const Long last = steps >= 0 ? std::min(length, steps) : length;
    std::string why;
    if (start < 1) {
        why = "The start must be 1 or more.";
    } else if (step < 1) {
        why = "The step must be 1 or more.";
    } else if (start > end) {
        why = "No index lies from the start to the end.";
    } else if (start > last) {
        why = "The start lies beyond the" + Str(last) + " values of the dimension.";
    } else {
        if (steps >= 0 && end > last) end = last; // time: the steps that exist
        const Long count = CountSteps(start, end, step);
        if (start + (count - 1) * static_cast<int64_t>(step) > last) {
            why = "The end lies beyond the" + Str(last) + " values of the dimension.";
        } else {
            sd.startSub(d) = start;
            sd.endSub(d) = end;
            sd.strideSub(d) = step;
            sd.countSub(d) = count;
            return;
        }
    }
    message(rowText(name, start, end, step) + why);
    throw RowRefused();
}

void takeWhole(SubsetDescription& sd, Long d, Long length) {
    sd.startSub(d) = 1;
    sd.endSub(d) = length;
    sd.strideSub(d) = 1;
    sd.countSub(d) = length;
}

// Every grid point of a boundary-fitted grid, in the layout of its coordinates.
void boundaryFittedCuts(SubsetDescription& sd, IKelvad& nc) {
    const Long order = BfgdCoordsOrder(1);
    const Long I = nc.iMax(1), J = nc.jMax(1);
    if (order != 1 && order != 2) return;
    if (I < 1 || J < 1) return;
    const bool jFirst = BfgdCoordsJFirst(order, I, J);
    auto at = [&](const VArray<float>& a, Long i, Long j) {
        return PositionDegrees(jFirst ? a(j, i) : a(i, j));
    };
    if (order == 1) {
        sd.lonSub.ReDim(1, I * J);
        sd.latSub.ReDim(1, I * J);
        for (Long i = 1; i <= I; ++i)
            for (Long j = 1; j <= J; ++j) {
                sd.lonSub((i - 1) * J + j) = at(Data.lonV, i, j);
                sd.latSub((i - 1) * J + j) = at(Data.latV, i, j);
            }
    } else {
        sd.lonSub.ReDim(1, J, 1, I);
        sd.latSub.ReDim(1, J, 1, I);
        for (Long i = 1; i <= I; ++i)
            for (Long j = 1; j <= J; ++j) {
                sd.lonSub(j, i) = at(Data.lonV, i, j);
                sd.latSub(j, i) = at(Data.latV, i, j);
            }
    }
}

// The main dataset's dimensions as records, and the first pick's dimensions (their ids in the
// main dataset) with room for their cuts.
void takeDimensions(SubsetDescription& sd, IKelvad& nc) {
    const Long nDimes = nc.nDimes(1);
    if (nDimes >= 1) sd.SubsetDims.ReDim(1, nDimes);
    for (Long k = 1; k <= nDimes; ++k) {
        DimRecord& rec = sd.SubsetDims(k);
        rec.dimeName = nc.dimeName(k, 1);
        rec.dimeSize = nc.dimeSize(k, 1);
        rec.dimeUnLimited = nc.dimeUnLimited(k, 1);
        rec.dimeType = nc.dimeType(k, 1);
    }

    std::vector<Long> ids;
    std::string why;
    if (!PickDimsInMain(sd.picks.front(), ids, why)) {
        message(why);
        throw RowRefused();
    }
    const Long r = static_cast<Long>(ids.size());
    if (r < 1) throw RuntimeError(err::Subscript);
    for (VArray<Long>* a : {&sd.dimIds, &sd.startSub, &sd.endSub, &sd.strideSub, &sd.countSub})
        a->ReDim(1, r);
    for (Long d = 1; d <= r; ++d)
        sd.dimIds(d) = ids[static_cast<std::size_t>(d - 1)];
}

void build(SubsetDescription& sd) {
    IKelvad& nc = dataset();
    for (Long i = 1; i <= Data.PickCount; ++i)
        sd.picks.push_back(Data.Picks(i));
    takeDimensions(sd, nc);
    const Long r = sd.rank();

    const ExportKind& kind = ExportKindOf(nc.GridType(1));
    if (!kind.subsetCuts) {
        if (kind.subsetRefusal != nullptr) message(kind.subsetRefusal);
        return;
    }

    // Axes the first pick does not cut go whole into the output.
    const Axes ax = axesOfMain(nc, kind);
    const Long nTime = ax.time >= 0 ? nc.nTime(1) : 0;
    const Long kMax = ax.level >= 0 ? nc.kMax(1) : 0;
    const VArray<double> times = axisValues(nTime, &IKelvad::FillTime);
    const VArray<double> levels = axisValues(kMax, &IKelvad::FillvCoord);
    auto timeAt = [&](Long k) { return times(k); };
    auto levelAt = [&](Long k) { return levels(k); };
    auto lonAt = [&](Long k) { return PositionDegrees(Data.lonV(k)); };
    auto latAt = [&](Long k) { return PositionDegrees(Data.latV(k)); };
    takeCut(sd.timeSub, sd.nTimeSub, timeAt, 1, nTime, 1);
    takeCut(sd.levelSub, sd.nLevelSub, levelAt, 1, kMax, 1);
    if (kind.lonCount != nullptr) {
        takeCut(sd.lonSub, sd.nLonSub, lonAt, 1, (nc.*kind.lonCount)(1), 1);
        takeCut(sd.latSub, sd.nLatSub, latAt, 1, (nc.*kind.latCount)(1), 1);
    } else {
        boundaryFittedCuts(sd, nc);
    }

    for (Long d = 1; d <= r; ++d) {
        const Long g = sd.dimIds(d);
        DimRecord& rec = sd.SubsetDims(g + 1);
        // A cell list and a GMT grid are saved over all their points.
        if (g == ax.cell || g == ax.xysize) {
            takeWhole(sd, d, rec.dimeSize);
            continue;
        }
        takeRow(sd, d, rec.dimeName, rec.dimeSize, g == ax.time ? nTime : -1);
        const Long start = sd.startSub(d), count = sd.countSub(d), step = sd.strideSub(d);
        const bool horizontal = kind.wholeGrid && (g == nc.iCelldId(1) || g == nc.jCelldId(1));
        if (!horizontal) rec.dimeSize = count;
        if (kind.lonLatAxes && g == ax.lon) {
            takeCut(sd.lonSub, sd.nLonSub, lonAt, start, count, step);
        } else if (kind.lonLatAxes && g == ax.lat) {
            takeCut(sd.latSub, sd.nLatSub, latAt, start, count, step);
        } else if (g == ax.time) {
            takeCut(sd.timeSub, sd.nTimeSub, timeAt, start, count, step);
        } else if (g == ax.level) {
            takeCut(sd.levelSub, sd.nLevelSub, levelAt, start, count, step);
        }
    }
}

} // namespace

float PositionDegrees(float v) {
    return View.Projection == 1 ? static_cast<float>(v / kDegToRad) : v;
}

int64_t SubsetDescription::valueCount() const {
    int64_t n = rank() > 0 ? 1 : 0;
    for (Long d = 1; d <= rank(); ++d)
        n *= countSub(d);
    return n;
}

bool PickDimsInMain(const PickItem& pick, std::vector<Long>& ids, std::string& why) {
    IKelvad& nc = dataset();
    const Long v = pick.varNumber, slot = pick.datasetIndex;
    const Long r = nc.variNarray(v, slot);
    ids.clear();
    for (Long d = 1; d <= r; ++d) {
        const Long id = nc.variArrayDimID(v, d, slot);
        if (slot == 1) {
            ids.push_back(id);
            continue;
        }
        const std::string name = nc.variArrayDimName(v, d, slot);
        const Long length = nc.dimeSize(id + 1, slot);
        Long match = -1;
        for (Long k = 1; k <= nc.nDimes(1) && match < 0; ++k)
            if (nc.dimeName(k, 1) == name && nc.dimeSize(k, 1) == length) match = k - 1;
        if (match < 0) {
            why = "Variable " + nc.variName(v, slot) +
                  " of the second file cannot be saved with the main dataset:" + kCrLf + kCrLf +
                  "its dimension " + name + " (" + CStr(length) +
                  " values) has no dimension of that name and length in the main dataset.";
            return false;
        }
        ids.push_back(match);
    }
    return true;
}

bool PicksShareDimensions() {
    if (Data.PickCount < 1) return true;
    return PicksShareDimensions(
        std::span<const PickItem>(&Data.Picks(1), static_cast<std::size_t>(Data.PickCount)));
}

bool PicksShareDimensions(std::span<const PickItem> picks) {
    std::vector<Long> first, other;
    std::string why;
    for (std::size_t i = 0; i < picks.size(); ++i) {
        if (!PickDimsInMain(picks[i], i == 0 ? first : other, why)) {
            message(why);
            return false;
        }
        if (i > 0 && other != first) {
            message(std::string("Only variables with the exact same array/dimension") + kCrLf +
                    "configurations can be saved a time." + kCrLf + kCrLf + "Please reseclect");
            return false;
        }
    }
    return true;
}

Long SubSetNcDomain(SubsetDescription& sd) {
    sd = SubsetDescription();
    if (Data.PickCount <= 0) return 0;
    try {
        build(sd);
        return 1;
    } catch (const RowRefused&) {
    } catch (const RuntimeError& e) {
        message("[SubsetNcDomain] Error(# " + CStr(Long{e.number()}) + "):" + kCrLf + kCrLf + "\"" +
                e.description() + "\"");
    }
    // Nothing half built is left for a writer.
    sd = SubsetDescription();
    return 0;
}

std::string SubsetSizeText(float bytes) {
    if (bytes < 1000) return Format(bytes, "#0bytes");
    const float kilobytes = bytes / 1000;
    if (kilobytes < 1000) return Format(kilobytes, "#0.00K");
    return Format(kilobytes / 1000, "#0.0M");
}

void EstimateSubsetSize() {
    ExportHost& host = exportHost();
    PickItem item;
    if (!host.CursorPick(item)) return;
    IKelvad& nc = dataset();
    const Long v = item.varNumber, slot = item.datasetIndex;
    float bytes = static_cast<float>(nc.variByteUnit(v, slot));
    const Long r = nc.variNarray(v, slot);
    for (Long d = 1; d <= r; ++d) {
        const Long length = nc.dimeSize(nc.variArrayDimID(v, d, slot) + 1, slot);
        Long count = length;
        if (d <= host.SubsetRows()) {
            const Long top = std::max(length, Long{1});
            const Long start = std::clamp(boxNumber(host.StartText(d)), Long{1}, top);
            const Long end = std::clamp(boxNumber(host.EndText(d)), Long{1}, top);
            const Long step = std::clamp(boxNumber(host.StepText(d)), Long{1}, top);
            count = length < 1 ? 0 : CountSteps(start, end, step);
            if (count <= 0) message(kRowRangeText);
            host.SetRow(d, Str(start), Str(end), Str(step), Str(count));
        }
        bytes *= static_cast<float>(count);
    }
    host.SetSizeText(SubsetSizeText(bytes));
}
