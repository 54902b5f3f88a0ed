#include "viewer/section/ShowTyxSection.h"

#include "common/Ui.h"
#include "gui/LateBound.h"
#include "platform/Component.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "runtime/Variant.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/ErrorBox.h"
#include "viewer/map/SharedState.h"
#include "viewer/section/OCXHost.h"

#include <vector>

namespace {

// A member's status: below 0 is a failure.
bool failed(const Variant& status) {
    return status.toDouble() < 0;
}

// The control's text, as it stands, in a plain box.
void showControlError(const LateBound& tyx) {
    ui().MsgBox(tyx.Get("ErrorMessage").toString(), kOkOnly, kProgramTitle);
}

std::string currentDataset() {
    return Opt.URL.IsAllocated() ? Opt.URL(0) : std::string();
}

// The name of the variable picked in the order window (the first of a pair); "" for none.
std::string pickedVariable() {
    if (Data.PickCount < 1 || !Data.Picks.IsAllocated() || !Data.clsNC) return {};
    const PickItem& pick = Data.Picks(1);
    const Long slot = pick.datasetIndex == 2 ? Data.nNcSecond : Data.nNcMain;
    return Data.clsNC->variName(pick.varNumber, slot);
}

// The control's item shown: the picked variable when the control lists it (names compared
// without regard to case), else its first. name is the item's, fallback whether it is the
// first in place of the picked one.
struct ShownItem {
    Long order = 1;
    std::string name;
    bool fallback = false;
};

ShownItem itemToShow(const LateBound& tyx, const std::string& picked) {
    ShownItem shown;
    const Long n = tyx.Get("NumDrawAbleItems").toLong();
    for (Long k = 1; k <= n; ++k) {
        const std::string name = tyx.Call("ItemName", {Variant(k)}).toString();
        if (k == 1) shown.name = name;
        if (!picked.empty() && UCase(name) == UCase(picked)) {
            shown.order = k;
            shown.name = name;
            return shown;
        }
    }
    shown.fallback = !picked.empty();
    return shown;
}

// The host's caption: the item and the step shown, and the variable it stands in for.
std::string captionOf(const ShownItem& item, const std::string& picked, Long step) {
    std::string caption = "OCXHost: " + item.name;
    if (item.fallback) caption += " (" + picked + " has no vertical section)";
    return caption + ", time step " + CStr(step);
}

void drawSection() {
    OCXHost& host = OCXHostForm();
    const LateBound& tyx = host.TyxSect1;

    if (failed(tyx.Call("NcFile", {Variant(currentDataset())}))) return showControlError(tyx);

    // The control takes degrees: a path picked in Mercator mode is in radians.
    tyx.Call("NewSection");
    for (Long i = 1; i <= View.SectionPathCount; ++i) {
        const PathVertex& v = View.SectionPath(i);
        float lon = v.lon, lat = v.lat;
        if (View.Projection == 1) {
            lon = static_cast<float>(lon / kDegToRad);
            lat = static_cast<float>(lat / kDegToRad);
        }
        tyx.Call("AddSection", {Variant(lon), Variant(lat)});
    }
    if (failed(tyx.Call("EndSection"))) return showControlError(tyx);

    // The variable picked in the order window, when the control can draw it; else its first.
    const std::string picked = pickedVariable();
    const ShownItem item = itemToShow(tyx, picked);
    if (failed(tyx.Call("SetVarByOrder", {Variant(item.order)}))) return showControlError(tyx);

    // A missing key file is no reason to stop: the default key follows anyway.
    if (failed(tyx.Call("KewFile", {Variant(SectionKeyFile())})) &&
        !tyx.Get("ErrorMessage").toString().empty())
        showControlError(tyx);
    tyx.Call("NewColorKey");
    for (const SectionKeyDivision& d : DefaultSectionColorKey)
        tyx.Call("AddColorKey", {Variant(d.low), Variant(d.high), Variant(d.colour)});

    // The second assignment decides: the vertical section, not the profiles.
    tyx.Let("DrawProfile", Variant(true));
    tyx.Let("DrawVerticalSection", Variant(true));

    ShowOCXHost();
    // The step the map shows (counted from 1). NcFile left the control at the first, which
    // Draw reads and draws; another is read and drawn by SetCurrentTime, which has no status:
    // a new text in ErrorMessage tells of its failure. Either way a failure says why rather
    // than leaving the window blank.
    const Long step = Data.CurTimeStep >= 1 ? Data.CurTimeStep : 1;
    if (step == 1) {
        if (failed(tyx.Call("Draw"))) return showControlError(tyx);
    } else {
        const std::string before = tyx.Get("ErrorMessage").toString();
        tyx.Call("SetCurrentTime", {Variant(step)});
        if (tyx.Get("ErrorMessage").toString() != before) return showControlError(tyx);
    }
    host.sectionShown(captionOf(item, picked, step));
}

} // namespace

std::string SectionKeyFile() {
    return PathJoin(SectionResourceFolder(), "TEMPeRaTURE.KEW");
}

void ShowTyxSection() {
    if (View.SectionPathCount <= 0) return;
    if (IsBusy()) return;
    // The control lets window events run while it draws: no load, plot, save or other section
    // starts meanwhile, and the host window stays.
    BusyGuard busy;
    SectionRunGuard running;
    runEvent(drawSection);
}
