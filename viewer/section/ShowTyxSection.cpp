#include "viewer/section/ShowTyxSection.h"

#include "common/Ui.h"
#include "gui/LateBound.h"
#include "platform/Component.h"
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

    // Always the control's first item.
    if (failed(tyx.Call("SetVarByOrder", {Variant(Long{1})}))) return showControlError(tyx);

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
    // Empty once drawn; a failed read or drawing says why rather than leaving the window blank.
    if (failed(tyx.Call("Draw"))) showControlError(tyx);
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
