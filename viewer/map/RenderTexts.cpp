// What a drawing tells the user beside the map: the map window's caption, and the tail of the
// error box of a drawing that failed.
#include "viewer/map/RenderStages.h"

#include "common/Ui.h"
#include "runtime/RuntimeError.h"
#include "viewer/map/SharedState.h"

#include <new>
#include <stdexcept>

namespace {

constexpr const char* kCrLf = "\r\n";

std::function<void(const std::string&)> gCaptionSink;
std::string gLastCaption;
[[maybe_unused]] const bool kResetRegistered = RegisterSharedStateReset([] {
    gCaptionSink = {};
    gLastCaption.clear();
});

} // namespace

// ---- Caption
// -----------------------------------------------------------------------------------------

void SetMapCaption(const std::string& text) {
    gLastCaption = text;
    if (gCaptionSink) gCaptionSink(text);
}

std::function<void(const std::string&)>
setMapCaptionSink(std::function<void(const std::string&)> f) {
    auto old = std::move(gCaptionSink);
    gCaptionSink = std::move(f);
    return old;
}

const std::string& LastMapCaption() {
    return gLastCaption;
}

// ---- Error tails
// -------------------------------------------------------------------------------------

int ErrorNumberOf(const std::exception& e) {
    if (auto* r = dynamic_cast<const RuntimeError*>(&e)) return r->number();
    if (dynamic_cast<const std::bad_alloc*>(&e)) return 7;
    if (dynamic_cast<const std::out_of_range*>(&e)) return err::Subscript;
    return err::InvalidCall;
}

std::string ErrorDescriptionOf(const std::exception& e) {
    if (auto* r = dynamic_cast<const RuntimeError*>(&e)) return r->description();
    return ErrorText(ErrorNumberOf(e));
}

std::string ErrorTailText(const std::exception& e) {
    return "Error(" + std::to_string(ErrorNumberOf(e)) + "):" + kCrLf + kCrLf + "\"" +
           ErrorDescriptionOf(e) + "\"";
}

void ShowErrorTail(RenderContext& rc, const std::string& text, const std::string& title) {
    EndRender(rc);
    ui().MsgBox(text, kOkOnly, title.empty() ? std::string(kProgramTitle) : title);
}
