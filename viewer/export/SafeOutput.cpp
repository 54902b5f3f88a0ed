#include "viewer/export/SafeOutput.h"

#include "common/Ui.h"
#include "runtime/RuntimeError.h"
#include "viewer/map/SharedState.h"

namespace {

constexpr const char* kCrLf = "\r\n";

} // namespace

bool RefuseOpenDatasetTarget(const std::string& target, const std::string& who) {
    if (!IsOpenDataset(target)) return false;
    ui().MsgBox("[" + who + "] This file is one of the open datasets; choose another name:" +
                    kCrLf + kCrLf + "file   : " + target,
                kOkOnly, kProgramTitle);
    return true;
}

int SafeOutput::Open(const std::string& target) {
    // Written over, a dataset in use would be destroyed under the reads still to come.
    if (IsOpenDataset(target)) return err::PermissionDenied;
    return file_.Open(target);
}

std::string SafeOutput::FailureText(const std::string& who, const std::string& target, int error) {
    return "[" + who + "] The file could not be written:" + kCrLf + target + kCrLf + kCrLf +
           ErrorText(error);
}

bool SafeOutput::WriteWhole(const std::string& who, const std::string& target,
                            const std::function<void(const std::string& temp)>& write) {
    SafeOutput out;
    int e = out.Open(target);
    if (e == 0) {
        write(out.TempPath());
        e = out.Commit();
    }
    if (e == 0) return true;
    ui().MsgBox(FailureText(who, target, e), kOkOnly, kProgramTitle);
    return false;
}
