#include "tyxsection/TyxMain.h"
#include "runtime/Convert.h"
#include "tyxsection/DrawAbleItems.h"
#include "tyxsection/KewFile.h"
#include "tyxsection/Titles.h"
#include "tyxsection/ocxNetNc.h"

#include <utility>

namespace {

// Closes the file of a record that was not taken over.
struct CloseUnlessTaken {
    Long& ncid;
    ~CloseUnlessTaken() { CloseNc(ncid); }
};

// The current item read at CurTime along the section and drawn in the view style.
Long readAndDraw(TyxModel& m, TyxPictures&, const std::string& tag) {
    TyxMainState& main = m.main;
    if (main.SectionDataset == 0 || main.SectionDataset != main.DatasetNumber) {
        m.ErrorMessage = "[" + tag + "] No section of this dataset: EndSection has not made one";
        return -1;
    }
    m.ErrorMessage = "[ReadVSData] Reading along the section is not available yet";
    return -1;
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

    // Everything has been read: the new dataset replaces the old one whole.
    CloseNc(m.reader.ncid);
    m.reader = std::move(fresh.ncf);
    fresh.ncf.ncid = -1;
    TyxMainState& main = m.main;
    main.geo = std::move(fresh.geo);
    main.items = std::move(fresh.items);
    main.NcFileName = filename;
    main.DatasetNumber = AddL(main.DatasetNumber, 1);

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
    // Until a new walk succeeds there is no section to draw.
    m.main.SectionDataset = 0;
    m.ErrorMessage = "[MakeTyxSection] Turning the path into grid cells is not available yet";
    return -1;
}

void NewColorKey(TyxModel& m) {
    ColorKeyRec& key = m.colour.ColorKey;
    key.count = 0;
    key.color.Erase();
    key.low.Erase();
    key.high.Erase();
}

void AddColorKey(TyxModel& m, float low, float high, Long color) {
    ColorKeyRec& key = m.colour.ColorKey;
    if (key.count < 0) NewColorKey(m);
    const Long n = AddL(key.count, 1);
    key.color.ReDimPreserve(1, n);
    key.low.ReDimPreserve(1, n);
    key.high.ReDimPreserve(1, n);
    key.color(n) = color;
    key.low(n) = low;
    key.high(n) = high;
    key.count = n;
}

Long KewFile(TyxModel& m, const std::string& filename) {
    const Long n = GetKewCol(m, filename);
    m.colour.ColorKey.count = n;
    return n == -1 ? -1 : 1;
}

void InitColorKey(TyxModel& m, const std::string& filename) {
    ProvideColorKey(m, filename, [] {
        // Nothing is read along a section yet, so the item keeps the range it has.
    });
}

void SetUseColorKey(TyxModel& m, bool on) {
    m.colour.UseColorKeyFlag = on && m.colour.ColorKey.count >= 1 ? -1 : 0;
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

void DrawHeld(TyxModel&, TyxPictures&) {
    // Nothing has been read along a section yet, so there is nothing to draw again.
}
