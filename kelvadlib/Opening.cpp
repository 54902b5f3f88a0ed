#include "common/NcHttp.h"
#include "kelvadlib/GridKinds.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/Utils.h"
#include "runtime/Text.h"

#include <netcdf.h>
#include <sys/stat.h>

#include <chrono>
#include <exception>
#include <string>

namespace {

// A netCDF-4 header may declare far more values than its file holds (a 10 KB file with a
// time axis of 5e8 steps), and the set-up reads one-dimensional variables whole into arrays
// sized by the header. No filter packs values tighter than about a thousandth (deflate's
// limit is 1:1032): a one-dimensional variable that would need more is refused before
// anything is sized by it. A classic header has been checked against its file already.
constexpr double kMostPacking = 1100;

bool declaredSizesFit(const NcfRec& r, const std::string& name, std::string& why) {
    if (r.classic.version != 0 || IsNcUrl(name)) return true;
    struct stat st {};
    if (stat(name.c_str(), &st) != 0) return true;
    const double room = (static_cast<double>(st.st_size) + 65536) * kMostPacking;
    for (Long v = 1; v <= r.nVars; ++v) {
        const VariRec& vr = r.vari(v);
        if (vr.narray != 1) continue;
        std::size_t width = 0;
        if (nc_inq_type(static_cast<int>(r.ncid), static_cast<nc_type>(vr.type), nullptr,
                        &width) != NC_NOERR)
            continue;
        const double bytes =
            static_cast<double>(width) * static_cast<double>(r.dime(vr.arrayDimId(1) + 1).size);
        if (bytes > room) {
            why = "Variable " + vr.name + " declares " +
                  std::to_string(static_cast<long long>(bytes)) + " bytes, more than a file of " +
                  std::to_string(st.st_size) + " bytes can hold: " + name;
            return false;
        }
    }
    return true;
}

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

using Clock = std::chrono::steady_clock;

// A reading step whose failure closed the dataset after a wait as long as the HTTP time-out
// met a server that stopped answering: every later step would wait as long again, so the
// set-up ends there. False for such a step.
struct Answered {
    Kelvad& kv;
    Long nH;
    const std::string& tag;
    const std::string& name;
    Clock::time_point callBegan;
    template <class Step> bool operator()(Step step) const {
        const Clock::time_point start = Clock::now();
        step();
        return kv.ncf(nH).ncid >= 0 || !kv.NoteNoAnswer(tag, name, start);
    }
};

// An axis whose values could not be read would be left half set: the open fails with the
// reason. An axis whose unit is no time unit (or none), or whose times cannot be dated, is
// kept whole as an axis without dates; a dataset without a time axis has nothing to set up.
// False when the open fails.
bool setUpTimeAxis(Kelvad& kv, Long nH, const Answered& answered) {
    Long timed = 1;
    const bool ok = answered([&] { timed = CLng(kv.SetTimeExtent(nH)); });
    NcfRec& r = kv.ncf(nH);
    if (!ok || timed >= 0 || r.nTime <= 0) return ok;
    if (kv.ErrorMessage.rfind("Time has no unit:", 0) != 0 &&
        kv.ErrorMessage.rfind(Kelvad::kUndatedTime, 0) != 0)
        return false;
    r.StartTime = r.endTime = "";
    r.startDate = r.endDate = Date();
    r.Dated = 0;
    return true;
}

// The steps after the header: recognition, classification, the one request of a DAP2 set-up,
// the extents, the time axis, the first variable and the vector pairs. False at the first that
// fails. recognised: what coordinate recognition left in ErrorMessage.
bool setUpSteps(Kelvad& kv, Long nH, const Answered& answered, double t0,
                std::string& recognised) {
    elapsedLine(1, t0);
    bool ok = true;
    const Long picked = kv.PickCoordVariables(nH);
    recognised = kv.ErrorMessage;
    if (picked > 0) {
        elapsedLine(2, t0);
        if (kv.TypeAllVars(nH) < 0) ok = false;
    }
    // Over DAP2, the values the steps below read come in one request, not in one each.
    if (ok) {
        const Long fetched = kv.FetchSetUpValues(nH, picked > 0, answered.callBegan);
        if (fetched == -1)
            kv.SetNoAnswer(answered.tag, answered.name,
                           std::chrono::duration<double>(Clock::now() - answered.callBegan).count());
        ok = fetched >= 0;
    }
    // Positions that are no numbers would open with no extent at all.
    if (ok && picked > 0) {
        const NcfRec& r = kv.ncf(nH);
        const std::string why = PositionsNotNumbers(r, static_cast<int>(r.ncid), "[Initialize] ");
        if (!why.empty()) {
            kv.ErrorMessage = why;
            ok = false;
        }
    }
    if (ok && picked > 0) {
        Long horizontal = 0;
        ok = answered([&] { horizontal = kv.SetHorizontalExtent(nH); }) &&
             horizontal != Kelvad::kExtentRefused;
        if (ok) elapsedLine(3, t0);
    }
    Long vertical = 0;
    if (ok && (!answered([&] { vertical = kv.SetVerticalExtent(nH); }) || vertical < 0))
        ok = false;
    if (ok) {
        elapsedLine(4, t0);
        ok = setUpTimeAxis(kv, nH, answered);
    }
    if (ok) {
        elapsedLine(5, t0);
        kv.GetVar1st(nH);
        kv.doPickUVVariables(nH);
        elapsedLine(6, t0);
    }
    return ok;
}

} // namespace

Long Kelvad::Initialize(const std::string& sNcFileName) {
    nNcMax = nNcMax + 1;
    const Long nH = nNcMax;
    CloseAfterRead = 0;
    const double t0 = timeOfDay();
    DebugOut("[Initialize:0] Time= " + CStr(t0));
    const std::string tag = "[Initialize] ";
    const Answered answered{*this, nH, tag, sNcFileName, Clock::now()};
    bool ok = false;
    // What coordinate recognition leaves in ErrorMessage is what a successful set-up reports;
    // the texts of the later steps, whose results do not stop it, are only leftovers.
    std::string recognised;
    try {
        const Clock::time_point opened = Clock::now();
        if (GetNCHeader(sNcFileName, nH) < 0) {
            NoteNoAnswer(tag, sNcFileName, opened);
        } else if (std::string why; !declaredSizesFit(ncf(nH), sNcFileName, why)) {
            ErrorMessage = tag + why;
        } else {
            ok = setUpSteps(*this, nH, answered, t0, recognised);
        }
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame(tag, e);
        ok = false;
    } catch (const std::exception& e) {
        // Whatever fails, the slot is given back below.
        ErrorMessage = tag + e.what();
        ok = false;
    } catch (...) {
        ErrorMessage = tag + "unexpected failure";
        ok = false;
    }
    ReleaseSetUpValues(nH);
    if (ok) {
        if (ErrorMessage != recognised) DebugOut(tag + "left by a later step: " + ErrorMessage);
        ErrorMessage = recognised;
        return nH;
    }
    // The slot is given back; the dataset that the failed set-up opened must not stay open
    // in a record that nothing counts.
    if (ncf.IsAllocated() && nH <= ncf.UBound()) CloseSlot(nH);
    nNcMax = nNcMax - 1;
    return -1;
}

Long Kelvad::StartEndDate(const std::string& sNcFileName, std::string& StartTime,
                          std::string& endTime) {
    const std::string tag = "[StartEndDate] ";
    StartTime = "";
    endTime = "";
    Long result = -1;
    try {
        CloseAfterRead = 0;
        Clock::time_point start = Clock::now();
        if (GetNCHeader(sNcFileName, 0) < 0) {
            NoteNoAnswer(tag, sNcFileName, start);
        } else if (PickCoordVariables(0) >= 0 || ncf(0).nTime > 0) {
            // A grid that cannot be placed still has its time range to show.
            CloseAfterRead = 1;
            start = Clock::now();
            if (CLng(SetTimeExtent(0)) >= 0) {
                StartTime = ncf(0).StartTime;
                endTime = ncf(0).endTime;
                result = 1;
            } else {
                NoteNoAnswer(tag, sNcFileName, start);
            }
        }
    } catch (const RuntimeError& e) {
        ErrorMessage = ErrorFrame(tag, e);
        result = -1;
    } catch (const std::exception& e) {
        ErrorMessage = tag + e.what();
        result = -1;
    } catch (...) {
        ErrorMessage = tag + "unexpected failure";
        result = -1;
    }
    // Slot 0 only serves this call: its dataset is closed whichever way the call ends.
    if (ncf.IsAllocated() && ncf.UBound() >= 0) CloseSlot(0);
    return result;
}
