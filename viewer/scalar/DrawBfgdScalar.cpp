#include "viewer/scalar/DrawBfgdScalar.h"

#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

#include <exception>

namespace {

// The boxes of both maps carry the name they have always carried.
constexpr const char* kTag = "[DrawBfgdVector]";

// The picture's fill and pen colours (and fill style) as the drawing found them: the cells
// change them for every polygon.
struct SavedColours {
    explicit SavedColours(Picture& p)
        : pic(p), fill(p.FillColor()), fore(p.ForeColor()), style(p.FillStyle()) {}
    void restoreColours() const {
        pic.setFillColor(fill);
        pic.setForeColor(fore);
    }
    void restoreAll() const {
        restoreColours();
        pic.setFillStyle(style);
    }
    Picture& pic;
    Long fill, fore;
    int style;
};

// The grid's facts for the walk, asked of the main dataset: the coordinates belong to it.
struct BfgdGrid {
    Long iMax = 0, jMax = 0;
    bool coordsJFirst = false;
};

BfgdGrid mainGrid() {
    BfgdGrid g;
    g.iMax = Data.clsNC->iMax(Data.nNcMain);
    g.jMax = Data.clsNC->jMax(Data.nNcMain);
    g.coordsJFirst = BfgdCoordsJFirst(BfgdCoordsOrder(Data.nNcMain), g.iMax, g.jMax);
    return g;
}

} // namespace

void DrawBfgdScalar(Picture& pic) {
    RenderContext rc(pic, kTag);
    if (!ScaleCheck(rc)) return;
    const SavedColours saved(pic);
    // The walk's indices along i and j as they stand, for the read-failure box.
    Long i = 0, j = 0;
    try {
        BeginFrame(rc, Data.Picks(1), FrameFill::Solid);
        rc.dateSlot = rc.infoSlot; // the step pinned is the pick's own dataset's
        PinTimeAndLevel(rc, Data.CurTimeStep, Data.CurLevel);
        DateLabel(rc, Data.CurTimeStep);

        const Long r = ReadSlice(rc, rc.win.scalarV, rc.win.tcount);
        if (r < 0) {
            saved.restoreColours();
            ShowReadFailure(rc, rc.tag + " NetCDF Error", IjWindowLines(rc, i, j, rc.nd));
            return;
        }
        if (r > 0) {
            AutoRange(rc, rc.win.scalarV, rc.win.tcount);
            const BfgdGrid g = mainGrid();
            WalkBfgdCells(rc, Data.clsNC->variLonLatOrder(rc.nvar, rc.infoSlot), g.coordsJFirst,
                          g.iMax, g.jMax, i, j);
        }

        saved.restoreColours();
        FinishFrame(rc);
    } catch (const std::exception& e) {
        saved.restoreColours();
        ShowErrorTail(rc, ErrorTailText(e), rc.tag);
    }
}

Long DrawBfgdScalarTimed(Picture& pic) {
    RenderContext rc(pic, kTag);
    if (!ScaleCheck(rc)) return -1;
    const SavedColours saved(pic);
    Long i = 0, j = 0;
    try {
        BeginFrame(rc, Data.Picks(1), FrameFill::Solid);
        FindTimeAndLevel(rc);
        PinLevel(rc, Data.CurLevel);
        rc.win.scalarV.ReDim(1, rc.win.tcount);

        const BfgdGrid g = mainGrid();
        const Long order = Data.clsNC->variLonLatOrder(rc.nvar, rc.infoSlot);
        // The range goes on widening over the steps; the footer covers them all.
        const Long last = TimeLoop(rc, [&](RenderContext& r, Long) {
            const Long got = ReadSlice(r, r.win.scalarV, r.win.tcount);
            if (got < 0) {
                ShowReadFailure(r, r.tag + " NetCDF Error", IjWindowLines(r, i, j, r.nd));
                return false;
            }
            if (got > 0) {
                AutoRange(r, r.win.scalarV, r.win.tcount);
                WalkBfgdCells(r, order, g.coordsJFirst, g.iMax, g.jMax, i, j);
            }
            return true;
        });
        if (last < 0) return -1;

        // The footer in the pen the last cell left, then the picture's own state back.
        Footer(rc);
        WriteBackRange(rc);
        saved.restoreAll();
        EndRender(rc);
        return last;
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), rc.tag);
        return -1;
    }
}
