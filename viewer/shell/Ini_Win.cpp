#include "viewer/shell/Ini_Win.h"

#include "common/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/gencord.h"

#include <algorithm>

float PicTop = 0, PicLeft = 0, PicWidth = 0, PicHeight = 0;

namespace {

constexpr const char* kPosition = "position";
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
    // A main-window record that no operation fills.
    for (const char* key : {"mai top", "mai left", "mai width", "mai height"})
        PutString(key, kPosition, file, "0");
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
