#include "kelvadlib/Kelvad.h"
#include "kelvadlib/Utils.h"
#include "runtime/Text.h"

#include <chrono>
#include <exception>
#include <string>

namespace {

// The time of day as a fraction of a day, for the timing lines.
double timeOfDay() {
    using namespace std::chrono;
    const auto now = system_clock::now().time_since_epoch();
    const double seconds = duration<double>(now).count();
    const double day = 86400.0;
    return (seconds - day * static_cast<double>(static_cast<long long>(seconds / day))) / day;
}

void elapsedLine(int n, double t0) {
    DebugOut("[Initialize:" + std::to_string(n) +
             "] elapsed = " + CStr((timeOfDay() - t0) * 1000000.0));
}

} // namespace

Long Kelvad::Initialize(const std::string& sNcFileName) {
    nNcMax = nNcMax + 1;
    const Long nH = nNcMax;
    CloseAfterRead = 0;
    const double t0 = timeOfDay();
    DebugOut("[Initialize:0] Time= " + CStr(t0));
    bool ok = false;
    try {
        if (GetNCHeader(sNcFileName, nH) >= 0) {
            elapsedLine(1, t0);
            ok = true;
            if (PickCoordVariables(nH) > 0) {
                elapsedLine(2, t0);
                if (TypeAllVars(nH) < 0)
                    ok = false;
                else {
                    if (SetHorizontalExtent(nH) == kExtentRefused) ok = false;
                    elapsedLine(3, t0);
                }
            }
            if (ok && SetVerticalExtent(nH) < 0) ok = false;
            if (ok) {
                elapsedLine(4, t0);
                SetTimeExtent(nH);
                elapsedLine(5, t0);
                GetVar1st(nH);
                doPickUVVariables(nH);
                elapsedLine(6, t0);
            }
        }
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("[Initialize] ", e);
        ok = false;
    } catch (const std::exception& e) {
        // Whatever fails, the slot is given back below.
        ErrorMessage = std::string("[Initialize] ") + e.what();
        ok = false;
    } catch (...) {
        ErrorMessage = "[Initialize] unexpected failure";
        ok = false;
    }
    if (ok) return nH;
    // The slot is given back; the dataset that the failed set-up opened must not stay open
    // in a record that nothing counts.
    if (ncf.IsAllocated() && nH <= ncf.UBound()) CloseSlot(nH);
    nNcMax = nNcMax - 1;
    return -1;
}

Long Kelvad::StartEndDate(const std::string& sNcFileName, std::string& StartTime,
                          std::string& endTime) {
    StartTime = "";
    endTime = "";
    Long result = -1;
    try {
        CloseAfterRead = 0;
        if (GetNCHeader(sNcFileName, 0) >= 0 && PickCoordVariables(0) >= 0) {
            CloseAfterRead = 1;
            if (CLng(SetTimeExtent(0)) >= 0) {
                StartTime = ncf(0).StartTime;
                endTime = ncf(0).endTime;
                result = 1;
            }
        }
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame("[StartEndDate] ", e);
        result = -1;
    } catch (const std::exception& e) {
        ErrorMessage = std::string("[StartEndDate] ") + e.what();
        result = -1;
    } catch (...) {
        ErrorMessage = "[StartEndDate] unexpected failure";
        result = -1;
    }
    // Slot 0 only serves this call: its dataset is closed whichever way the call ends.
    if (ncf.IsAllocated() && ncf.UBound() >= 0) CloseSlot(0);
    return result;
}
