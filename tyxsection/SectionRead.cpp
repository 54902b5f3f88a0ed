#include "tyxsection/SectionRead.h"
#include "common/MinMax.h"
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

} // namespace

Long ReadVSData(TyxModel& m, Long nvar, Long itime) {
    TyxMainState& main = m.main;
    OcxNcf& ncf = m.reader;
    const GeoArrays& geo = main.geo;
    const SectionCells& section = main.section;
    if (itime <= 0) return -1;
    if (nvar <= 0) {
        m.ErrorMessage = "[ReadVSData&] nvar_it& <= 0; need to specify variable id";
        return -1;
    }
    if (geo.nvcoord <= 0) {
        m.ErrorMessage = "[ReadVSData&] nvcoord& <= 0";
        return -1;
    }
    if (ncf.level_dId < 0) {
        m.ErrorMessage = "[ReadVSData&] ncf.level_dId& < 0";
        return -1;
    }
    if (section.nSectCell < 1) {
        m.ErrorMessage = "[ReadVSData&] No section: EndSection has not made one";
        return -1;
    }
    if (!insideGrid(section, geo)) {
        m.ErrorMessage =
            "[ReadVSData&] The section's cells lie outside the grid of " + main.NcFileName;
        return -1;
    }

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

        const Long nCells = section.nSectCell, nv = geo.nvcoord;
        VArray<float> data(1, nCells, 1, nv);
        // The levels are held top first (GeoArrays.vCoord): each takes its values from its own
        // place in the file.
        const float maxDepth = CSng(geo.vCoord(nv));
        auto fileLevel = [&](Long k) {
            return geo.LevelIndex.IsAllocated() ? geo.LevelIndex(k) : k;
        };

        const OcxVari& v = ncf.vari(nvar);
        const Long ndims = v.narray;
        w.startp.ReDim(1, ndims);
        w.countp.ReDim(1, ndims);
        w.stridep.ReDim(1, ndims);
        for (Long d = 1; d <= ndims; ++d) {
            w.startp(d) = 0;
            w.countp(d) = 1;
            w.stridep(d) = 1;
        }
        Long levelAt = 0, timeAt = 0;
        for (Long d = 1; d <= ndims && levelAt == 0; ++d)
            if (v.arrayDimId[d] == ncf.level_dId) levelAt = d;
        if (levelAt == 0) {
            m.ErrorMessage = "[ReadVSData] Vertical coordinate not identified";
            return -1;
        }
        w.countp(levelAt) = nv;
        // A variable without the time dimension holds the same values at every step.
        for (Long d = 1; d <= ndims && timeAt == 0 && ncf.time_dId >= 0; ++d)
            if (v.arrayDimId[d] == ncf.time_dId) timeAt = d;
        if (timeAt > 0) w.startp(timeAt) = SubL(itime, 1);
        tcount = nv;

        Hourglass hourglass;
        if (ncf.ncid < 0) {
            ncf.ncid = OpenNc(ncf, 1);
            if (ncf.ncid < 0) return -1;
        }
        CloseAfter closer{ncf.ncid};

        float max = -1e35f, min = 1e35f;
        auto take = [&](Long cell, Long k, float value) {
            data(cell, k) = value;
            if (value > kNoVal) {
                max = MaxS(max, value);
                min = MinS(min, value);
            }
        };
        VArray<float> values;
        auto read = [&] {
            values.ReDim(1, tcount);
            std::string refusal;
            const Long got = GetVarasAny(ncf.ncid, ncf, nvar, kNoVal, values, tcount, w, refusal);
            if (got < 0) throw ReadFailure{static_cast<int>(got)};
            if (got == 0 && !refusal.empty()) throw Refused{refusal};
        };
        // The last two dimensions are the horizontal ones, in the variable's order.
        const Long lonAt = order == 1 ? ndims - 1 : ndims;
        const Long latAt = order == 1 ? ndims : ndims - 1;
        const SectCellRec first = section.SectCell(1);
        if ((section.SectionKind == 1 || section.SectionKind == 2) && consecutive(section)) {
            w.startp(lonAt) = first.i - 1;
            w.startp(latAt) = first.j - 1;
            w.countp(section.SectionKind == 1 ? lonAt : latAt) = nCells;
            tcount = MulL(nv, nCells);
            read();
            for (Long k = 1; k <= nv; ++k)
                for (Long cell = 1; cell <= nCells; ++cell)
                    take(cell, k, values(AddL(MulL(fileLevel(k) - 1, nCells), cell)));
        } else {
            for (Long cell = 1; cell <= nCells; ++cell) {
                const SectCellRec c = section.SectCell(cell);
                w.startp(lonAt) = c.i - 1;
                w.startp(latAt) = c.j - 1;
                read();
                for (Long k = 1; k <= nv; ++k)
                    take(cell, k, values(fileLevel(k)));
            }
        }

        DrawAbleItemRec& item = main.items.DrawAbleItem(main.Item_shown);
        item.max = max;
        item.min = min;
        main.SectData = std::move(data);
        main.SectDataItem = main.Item_shown;
        main.MaxDepth = maxDepth;
        main.window = std::move(w);
        return itime;
    } catch (const ReadFailure& f) {
        std::string text =
            NcErrorText(f.status) + "\n\nnvar, tcount= " + CStr(nvar) + " " + CStr(tcount) + "\n";
        for (Long d = 1; d <= w.startp.UBound(); ++d)
            text += "start, count, stride = " + CStr(w.startp(d)) + " " + CStr(w.countp(d)) + " " +
                    CStr(w.stridep(d)) + "\n";
        m.ErrorMessage = text;
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
