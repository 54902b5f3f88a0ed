#include "tyxsection/SectionRead.h"
#include "common/SectionColumn.h"
#include "common/NetCDF.h"
#include "common/Ui.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "tyxsection/ocxNetNc.h"

#include <utility>

namespace {

// The file stays open for the reads of one call and is closed however the call ends.
struct CloseAfter {
    Long& ncid;
    ~CloseAfter() { CloseNc(ncid); }
};

// A read of the library that failed, with its window.
struct ReadFailure {
    int status;
};
// A read that the strided reader refused, with its reason.
struct Refused {
    std::string message;
};

// The cells of a section along one row (kind 1) or one column (kind 2) follow each other from
// the first on, so that one window covers them; otherwise each cell is read by itself.
bool consecutive(const SectionCells& s) {
    const SectCellRec first = s.SectCell(1);
    for (Long m = 2; m <= s.nSectCell; ++m) {
        const SectCellRec c = s.SectCell(m);
        const bool next = s.SectionKind == 1 ? c.j == first.j && c.i == first.i + m - 1
                                             : c.i == first.i && c.j == first.j + m - 1;
        if (!next) return false;
    }
    return true;
}

// The section's cells must lie in the grid of the dataset held.
bool insideGrid(const SectionCells& s, const GeoArrays& g) {
    for (Long m = 1; m <= s.nSectCell; ++m) {
        const SectCellRec c = s.SectCell(m);
        if (c.i < 1 || c.i > g.nlon || c.j < 1 || c.j > g.nlat) return false;
    }
    return true;
}

// Why variable nvar cannot be read along the section held; "" when it can.
std::string refusalOf(const TyxModel& m, Long nvar) {
    const GeoArrays& geo = m.main.geo;
    const SectionCells& section = m.main.section;
    if (nvar <= 0) return "[ReadVSData&] nvar_it& <= 0; need to specify variable id";
    if (geo.nvcoord <= 0) return "[ReadVSData&] nvcoord& <= 0";
    if (m.reader.level_dId < 0) return "[ReadVSData&] ncf.level_dId& < 0";
    if (section.nSectCell < 1) return "[ReadVSData&] No section: EndSection has not made one";
    if (!insideGrid(section, geo))
        return "[ReadVSData&] The section's cells lie outside the grid of " + m.main.NcFileName;
    return {};
}

// What one call reads along the section: taken over only once every read has succeeded.
struct SectionValues {
    VArray<float> data; // (cell, level), kNoVal where there is no value
    float maxDepth = 0;
    float max = kEmptyRangeMax, min = kEmptyRangeMin;
};

// The reads of one call: the window moves from column to column, and tcount (which the report
// of a failed read shows) follows what each read takes.
struct ColumnReads {
    const OcxNcf& ncf;
    const GeoArrays& geo;
    Long nvar;
    ReadWindow& w;
    Long& tcount;
    VArray<float> values;

    void read() {
        values.ReDim(1, tcount);
        std::string refusal;
        const Long got = GetVarasAny(ncf.ncid, ncf, nvar, kNoVal, values, tcount, w, refusal);
        if (got < 0) throw ReadFailure{static_cast<int>(got)};
        if (got == 0 && !refusal.empty()) throw Refused{refusal};
    }
    // The levels are held top first (GeoArrays.vCoord): each takes its values from its own
    // place in the file.
    Long fileLevel(Long k) const { return geo.LevelIndex.IsAllocated() ? geo.LevelIndex(k) : k; }
};

void take(SectionValues& out, Long cell, Long k, float value) {
    out.data(cell, k) = value;
    TakeIntoRange(value, kNoVal, out.max, out.min);
}

// Every cell of the section: one read for a row or column of consecutive cells, else one read
// per cell.
void readSection(ColumnReads& r, const SectionCells& section, const HorizontalDims& at,
                 SectionValues& out) {
    const Long nCells = section.nSectCell, nv = r.geo.nvcoord;
    const SectCellRec first = section.SectCell(1);
    if ((section.SectionKind == 1 || section.SectionKind == 2) && consecutive(section)) {
        PlaceColumn(r.w, at, first.i - 1, first.j - 1);
        r.w.countp(section.SectionKind == 1 ? at.lon : at.lat) = nCells;
        r.tcount = MulL(nv, nCells);
        r.read();
        for (Long k = 1; k <= nv; ++k)
            for (Long cell = 1; cell <= nCells; ++cell)
                take(out, cell, k, r.values(AddL(MulL(r.fileLevel(k) - 1, nCells), cell)));
        return;
    }
    for (Long cell = 1; cell <= nCells; ++cell) {
        const SectCellRec c = section.SectCell(cell);
        PlaceColumn(r.w, at, c.i - 1, c.j - 1);
        r.read();
        for (Long k = 1; k <= nv; ++k)
            take(out, cell, k, r.values(r.fileLevel(k)));
    }
}

// The values read become the values held, with their range on the item shown.
void holdValues(TyxMainState& main, SectionValues&& read, ReadWindow&& w) {
    DrawAbleItemRec& item = main.items.DrawAbleItem(main.Item_shown);
    item.max = read.max;
    item.min = read.min;
    main.SectData = std::move(read.data);
    main.SectDataItem = main.Item_shown;
    main.MaxDepth = read.maxDepth;
    main.window = std::move(w);
}

// The column window of variable v at step itime: the levels counted along the level
// dimension, the time dimension (when the variable has one) at the step. False when the
// variable lacks the level dimension.
bool placeLevelsAndStep(const OcxNcf& ncf, const OcxVari& v, Long nv, Long itime, ReadWindow& w) {
    w = ColumnWindow(v.narray, 0);
    auto dimIdAt = [&v](Long d) { return v.arrayDimId[d]; };
    const Long levelAt = DimensionPosition(v.narray, ncf.level_dId, dimIdAt);
    if (levelAt == 0) return false;
    w.countp(levelAt) = nv;
    // A variable without the time dimension holds the same values at every step.
    const Long timeAt = ncf.time_dId >= 0 ? DimensionPosition(v.narray, ncf.time_dId, dimIdAt) : 0;
    if (timeAt > 0) w.startp(timeAt) = SubL(itime, 1);
    return true;
}

} // namespace

Long ReadVSData(TyxModel& m, Long nvar, Long itime) {
    if (itime <= 0) return -1;
    const std::string refusal = refusalOf(m, nvar);
    if (!refusal.empty()) {
        m.ErrorMessage = refusal;
        return -1;
    }
    OcxNcf& ncf = m.reader;
    const GeoArrays& geo = m.main.geo;
    ReadWindow w;
    Long tcount = 0;
    try {
        if (nvar > ncf.nVars) throw RuntimeError(err::Subscript);
        // The order of the horizontal dimensions is the variable's own: items of one dataset
        // may differ in it.
        const Long order = ncf.lonlatOrder == 0 ? 0 : GetGridDimOrder(ncf, nvar);
        if (ncf.lonlatOrder == -1) ncf.lonlatOrder = order;
        if (order <= 0) {
            m.ErrorMessage = "[ReadVSData&] not proper nc grid ";
            return -1;
        }
        const Long nv = geo.nvcoord;
        SectionValues read;
        read.data.ReDim(1, m.main.section.nSectCell, 1, nv);
        read.maxDepth = CSng(geo.vCoord(nv));
        const OcxVari& v = ncf.vari(nvar);
        if (!placeLevelsAndStep(ncf, v, nv, itime, w)) {
            m.ErrorMessage = "[ReadVSData] Vertical coordinate not identified";
            return -1;
        }
        tcount = nv;

        Hourglass hourglass;
        if (ncf.ncid < 0) {
            ncf.ncid = OpenNc(ncf, 1);
            if (ncf.ncid < 0) return -1;
        }
        CloseAfter closer{ncf.ncid};
        ColumnReads reads{ncf, geo, nvar, w, tcount, {}};
        readSection(reads, m.main.section, HorizontalDimsOf(v.narray, order), read);
        holdValues(m.main, std::move(read), std::move(w));
        return itime;
    } catch (const ReadFailure& f) {
        m.ErrorMessage = FailedReadReport(NcErrorText(f.status), nvar, tcount, w, "\n",
                                          ReportNumbers::CStr);
    } catch (const Refused& r) {
        m.ErrorMessage = r.message;
    } catch (const RuntimeError& e) {
        m.ErrorMessage =
            "[ReadVSData] Error: " + CStr(static_cast<Long>(e.number())) + " " + e.description();
    }
    return -1;
}

void SetItemScales(TyxModel& m) {
    ItemList& items = m.main.items;
    for (Long n = 1; n <= items.NumDrawAbleItems; ++n) {
        DrawAbleItemRec& item = items.DrawAbleItem(n);
        // A read that saw no valid value leaves its range empty (max below min).
        if (!(item.max >= item.min)) continue;
        const bool fresh = item.high == item.low;
        float high = item.high, low = item.low;
        if (fresh || item.max > high) high = item.max;
        if (fresh || item.min < low) low = item.min <= 1 ? item.min : Int(item.min);
        if (!fresh && high == item.high && low == item.low) continue;
        item.high = high;
        item.low = low;
        item.step = high <= 1 ? (high - low) / 5 : (Int(high) + 1 - low) / 5;
        if (item.step > 1) item.step = Int(item.step);
    }
}
