#include "viewer/map/ErrorBox.h"

#include "common/Ui.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/map/SharedState.h"

#include <string>

void ReportEventError(const std::exception& e) {
    std::string text;
    if (const auto* re = dynamic_cast<const RuntimeError*>(&e))
        text = "Run-time error '" + CStr(static_cast<Long>(re->number())) + "':\r\n\r\n" +
               re->description();
    else
        text = std::string("Run-time error:\r\n\r\n") + e.what();
    // A command that failed half-way may have left the hourglass up.
    ui().SetMousePointer(kPointerDefault);
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

void ReportUnknownEventError() {
    ui().SetMousePointer(kPointerDefault);
    ui().MsgBox("Run-time error:\r\n\r\nUnknown error", kOkOnly, kProgramTitle);
}
