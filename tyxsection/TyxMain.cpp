#include "tyxsection/TyxMain.h"
#include "runtime/Convert.h"
#include "tyxsection/DrawAbleItems.h"
#include "tyxsection/KewFile.h"
#include "tyxsection/ProfileDrawing.h"
#include "tyxsection/SectionDrawing.h"
#include "tyxsection/SectionRead.h"
#include "tyxsection/TyxPictures.h"
#include "tyxsection/Titles.h"
#include "tyxsection/ocxNetNc.h"

#include <utility>

namespace {

// Closes the file of a record that was not taken over.
struct CloseUnlessTaken {
    Long& ncid;
    ~CloseUnlessTaken() { CloseNc(ncid); }
};

// Draws the values held in the view style.
Long drawView(TyxModel& m, TyxPictures& pictures) {
    switch (m.main.ViewStyle) {
    case 1:
        DrawProfiles(m, pictures);
        return 1;
    case 2:
        DrawVSection(m, pictures);
        return 1;
    default:
        return 1;
    }
}

// The current item read at CurTime along the section and drawn in the view style. A read
// that fails draws the values held before; the result is then -1.
Long readAndDraw(TyxModel& m, TyxPictures& pictures, const std::string& tag) {
    TyxMainState& main = m.main;
    if (main.SectionDataset == 0) {
        m.ErrorMessage = "[" + tag + "] No section of this dataset: EndSection has not made one";
        return -1;
    }
    if (main.SectionDataset != main.DatasetNumber) {
        m.ErrorMessage = "[" + tag +
                         "] The section does not fit this dataset's grid: EndSection must make "
                         "it again";
        return -1;
    }
    const Long read = ReadVSData(m, main.nvar_it, main.CurTime);
    if (read > 0) {
        SetItemScales(m);
        MakeTitles(m, main.nvar_it, main.CurTime);
    }
    const Long drawn = drawView(m, pictures);
    return read > 0 && drawn > 0 ? 1 : -1;
}

// True when two datasets share their horizontal grid, so that a section of one fits the other.
bool sameGrid(const OcxNcf& a, const GeoArrays& ga, const OcxNcf& b, const GeoArrays& gb) {
    auto same = [](const VArray<float>& x, const VArray<float>& y) {
        if (x.Rank() != y.Rank() || x.size() != y.size()) return false;
        for (std::size_t k = 0; k < x.size(); ++k)
            if (x.data()[k] != y.data()[k]) return false;
        return true;
    };
    return ga.nlon == gb.nlon && ga.nlat == gb.nlat && ga.ncells == gb.ncells &&
           ga.icells == gb.icells && ga.jcells == gb.jcells && a.dlon == b.dlon &&
           a.dlat == b.dlat && same(ga.LonGrid, gb.LonGrid) && same(ga.LatGrid, gb.LatGrid);
}

} // namespace

Long OpenDataset(TyxModel& m, const std::string& filename) {
    Dataset fresh;
    CloseUnlessTaken closer{fresh.ncf.ncid};
    if (ocxGetNCHeader(fresh.ncf, filename, 0, m.ErrorMessage) != 1) return -1;
    switch (ocxPickCoordVariables(fresh.ncf)) {
    case 1:
        break;
    case -1:
        m.ErrorMessage = "[NcFile] No longitude coordinate in " + filename;
        return -1;
    case -2:
        m.ErrorMessage = "[NcFile] No latitude coordinate in " + filename;
        return -1;
    default:
        m.ErrorMessage = "[NcFile] Neither a longitude/latitude grid nor grid cells in " + filename;
        return -1;
    }
    if (BuildItemList(fresh.ncf, fresh.items, m.ErrorMessage) < 1) {
        if (fresh.ncf.level_dId < 0)
            m.ErrorMessage = "[NcFile] No vertical coordinate in " + filename;
        else if (fresh.items.NumDrawAbleItems < 1)
            m.ErrorMessage =
                "[NcFile] No variable with the vertical dimension to draw in " + filename;
        return -1;
    }
    if (SetGeoWindow(fresh.ncf, fresh.geo, m.ErrorMessage) <= 0) return -1;

    // Everything has been read: the new dataset replaces the old one whole. A section of the
    // dataset before stays usable on the same grid; the values read along it do not.
    TyxMainState& main = m.main;
    const bool keepSection = main.SectionDataset != 0 &&
                             main.SectionDataset == main.DatasetNumber &&
                             sameGrid(m.reader, main.geo, fresh.ncf, fresh.geo);
    CloseNc(m.reader.ncid);
    m.reader = std::move(fresh.ncf);
    fresh.ncf.ncid = -1;
    main.geo = std::move(fresh.geo);
    main.items = std::move(fresh.items);
    main.NcFileName = filename;
    main.DatasetNumber = AddL(main.DatasetNumber, 1);
    if (keepSection) main.SectionDataset = main.DatasetNumber;
    main.SectData.Erase();
    main.SectDataItem = 0;

    main.ShowLegend = main.ShowDateTime = main.ShowXAxis = main.ShowDepthAxis = 1;
    m.contour.ContourFlag = 0;
    m.contour.ContourColor = 0;
    m.contour.ContourWidth = 1;
    main.ViewStyle = 2;
    main.Item_shown = 1;
    main.nvar_it = ItemMatch(m.reader, main.items, 1, m.ErrorMessage);
    main.CurTime = 1;
    return MakeTitles(m, main.nvar_it, main.CurTime) > 0 ? 1 : -1;
}

void NewSection(TyxModel& m) {
    m.main.SectPoint.Erase();
    m.main.nSectPoint = 0;
}

void AddSection(TyxModel& m, float lon, float lat) {
    TyxMainState& main = m.main;
    const Long n = AddL(main.nSectPoint, 1);
    main.SectPoint.ReDimPreserve(1, n);
    main.SectPoint(n) = SectPointRec{lon, lat};
    main.nSectPoint = n;
}

Long EndSection(TyxModel& m) {
    // Until a new walk succeeds there is no section to draw, nor values along one.
    TyxMainState& main = m.main;
    main.SectionDataset = 0;
    main.SectData.Erase();
    main.SectDataItem = 0;
    const SectionGrid grid{main.geo.LonGrid, main.geo.LatGrid, main.geo.nlon,
                           main.geo.nlat,    m.reader.dlon,    m.reader.dlat};
    if (MakeTyxSection(main.SectPoint, main.nSectPoint, grid, main.section, m.ErrorMessage) < 0)
        return -1;
    main.SectionDataset = main.DatasetNumber;
    return 1;
}

void InitColorKey(TyxModel& m, const std::string& filename) {
    ProvideColorKey(m, filename, [&m] {
        // The item's display bounds come from its values along the section; a read that
        // fails leaves the range it has.
        ReadVSData(m, m.main.nvar_it, m.main.CurTime);
        SetItemScales(m);
    });
}

Variant DrawCurrent(TyxModel& m, TyxPictures& pictures) {
    TyxMainState& main = m.main;
    if (main.DatasetNumber == 0) {
        m.ErrorMessage = "[Draw] No dataset: NcFile has not opened one";
        return Variant(Integer{-1});
    }
    if (main.Item_shown <= 0) {
        main.Item_shown = 1;
        main.nvar_it = ItemMatch(m.reader, main.items, 1, m.ErrorMessage);
    }
    if (readAndDraw(m, pictures, "Draw") < 0) return Variant(Integer{-1});
    return Variant();
}

void SetCurrentTime(TyxModel& m, TyxPictures& pictures, Long lTime) {
    m.main.CurTime = lTime;
    if (lTime >= 1) readAndDraw(m, pictures, "SetCurrentTime");
}

Long AdvanceTime(TyxModel& m, TyxPictures& pictures, Long nt) {
    TyxMainState& main = m.main;
    Long t = AddL(main.CurTime, nt);
    if (t > main.geo.nTime)
        t = 1;
    else if (t < 1)
        t = main.geo.nTime >= 1 ? main.geo.nTime : 1;
    main.CurTime = t;
    readAndDraw(m, pictures, "AdvanceTime");
    return main.CurTime;
}

void DrawHeld(TyxModel& m, TyxPictures& pictures) {
    // Nothing held (no read yet, or a new dataset or section since): nothing to draw again.
    if (!m.main.SectData.IsAllocated()) return;
    drawView(m, pictures);
}
