#include "viewer/shell/Ini_Win.h"

#include "common/Strings.h"
#include "gui/Twips.h"
#include "runtime/Text.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/shell/FormFaces.h"

#include <QWidget>

#include <algorithm>

float PicTop = 0, PicLeft = 0, PicWidth = 0, PicHeight = 0;
float MaiTop = 0, MaiLeft = 0, MaiWidth = 0, MaiHeight = 0;

namespace {

constexpr const char* kPosition = "position";

// A fresh start has noted no place of the main window.
[[maybe_unused]] const bool kResetRegistered =
    RegisterSharedStateReset([] { MaiTop = MaiLeft = MaiWidth = MaiHeight = 0; });
constexpr double kMaxPos = 30000;

// The value of key, or false when it is empty.
bool readKey(const std::string& file, const char* key, double& value) {
    const std::string text = GetString(key, kPosition, file);
    if (text.empty()) return false;
    value = Val(text);
    return true;
}

} // namespace

Long GetWinPos(const std::string& file, Integer selector) {
    if (selector != 2) return 0;
    double v = 0;
    if (!readKey(file, "Pic top", v) || v < 0 || v > kMaxPos) return 0;
    PicTop = static_cast<float>(v);
    if (!readKey(file, "Pic left", v) || v > kMaxPos) return 0;
    PicLeft = static_cast<float>(v);
    if (!readKey(file, "Pic height", v)) return 0;
    PicHeight = static_cast<float>(v);
    if (!readKey(file, "Pic width", v)) return 0;
    PicWidth = static_cast<float>(v);
    return 1;
}

void PutWinPos(const std::string& file) {
    PutString("Pic top", kPosition, file, CStr(PicTop));
    PutString("Pic left", kPosition, file, CStr(PicLeft));
    PutString("Pic width", kPosition, file, CStr(PicWidth));
    PutString("Pic height", kPosition, file, CStr(PicHeight));
    PutMainWinPos(file);
}

void PutMainWinPos(const std::string& file) {
    // The main window's place as it stands now, while it is there.
    if (const MainFormFace* m = loadedMainForm(); m && m->Window) {
        MaiTop = static_cast<float>(twipsFromPixels(m->Window->y()));
        MaiLeft = static_cast<float>(twipsFromPixels(m->Window->x()));
        MaiWidth = static_cast<float>(twipsFromPixels(m->Window->width()));
        MaiHeight = static_cast<float>(twipsFromPixels(m->Window->height()));
    }
    PutString("mai top", kPosition, file, CStr(MaiTop));
    PutString("mai left", kPosition, file, CStr(MaiLeft));
    PutString("mai width", kPosition, file, CStr(MaiWidth));
    PutString("mai height", kPosition, file, CStr(MaiHeight));
}

Long GetMainWinPos(const std::string& file) {
    double top = 0, left = 0, width = 0, height = 0;
    if (!readKey(file, "mai top", top) || !readKey(file, "mai left", left) ||
        !readKey(file, "mai width", width) || !readKey(file, "mai height", height))
        return 0;
    if (top < 0 || top > kMaxPos || left > kMaxPos || left < -kMaxPos) return 0;
    if (!(width > 0) || !(height > 0) || width > kMaxPos * 16 || height > kMaxPos * 16) return 0;
    MaiTop = static_cast<float>(top);
    MaiLeft = static_cast<float>(left);
    MaiWidth = static_cast<float>(width);
    MaiHeight = static_cast<float>(height);
    return 1;
}

void PutZoomExtent(const std::string& file) {
    if (!View.ZoomStack.IsAllocated()) return;
    const Long index = std::clamp(View.ZoomIndex, View.ZoomStack.LBound(), View.ZoomStack.UBound());
    const ViewRec& r = View.ZoomStack(index);
    PutString("top", "zoom", file, CStr(r.North));
    PutString("bottom", "zoom", file, CStr(r.South));
    PutString("left", "zoom", file, CStr(r.West));
    PutString("right", "zoom", file, CStr(r.East));
}
