#include "viewer/export/SafeOutput.h"

#include "common/Ui.h"
#include "runtime/RuntimeError.h"
#include "viewer/map/SharedState.h"

namespace {

constexpr const char* kCrLf = "\r\n";

} // namespace

bool SaveTarget::Claim(const std::string& who) {
    if (claimed_) return true;
    // Written over, a dataset in use would be destroyed under the reads still to come.
    if (IsOpenDataset(path_)) {
        ui().MsgBox("[" + who + "] This file is one of the open datasets; choose another name:" +
                        kCrLf + kCrLf + "file   : " + path_,
                    kOkOnly, kProgramTitle);
        return false;
    }
    claimed_ = true;
    return true;
}

int SafeOutput::Open(const SaveTarget& target) {
    if (!target.Claimed()) return err::PermissionDenied;
    return file_.Open(target.Path());
}

std::string SafeOutput::FailureText(const std::string& who, const std::string& target, int error) {
    return "[" + who + "] The file could not be written:" + kCrLf + target + kCrLf + kCrLf +
           ErrorText(error);
}
