#include "kelvadlib/Kelvad.h"

#include "common/ClassicHeader.h"
#include "common/NcHttp.h"
#include "runtime/Text.h"

#include <cmath>
#include <netcdf.h>

namespace {

// A failed call counts as unanswered once it has run for the shorter of the two HTTP time-outs
// (half a second is allowed for the clock); none when neither is set.
double noAnswerAfter(const NcHttpTimeouts& t) {
    Long shortest = 0;
    for (const Long s : {t.connect, t.total})
        if (s > 0 && (shortest == 0 || s < shortest)) shortest = s;
    return shortest > 0 ? shortest - 0.5 : 0;
}

} // namespace

Kelvad::Kelvad() {
    nNcMax = 0;
    NoAnswerAfter = noAnswerAfter(PrepareNcHttpTimeouts());
    CallStallLimit = NcCallStallLimit(PrepareNcHttpTimeouts());
    SetAliasDefaults();
    LoadNCAlias();
}

Kelvad::~Kelvad() {
    DoEraseArray();
}

bool Kelvad::VarInRange(Long nNc, Long nvar) const {
    return SlotInRange(nNc) && nvar >= 1 && nvar <= ncf(nNc).nVars;
}

int Kelvad::ReopenSlot(Long nH) {
    NcfRec& r = ncf(nH);
    if (r.ncid >= 0) return NC_NOERR;
    int id = -1;
    ClassicLayout layout;
    const int status = NcOpenChecked(r.FName, NC_NOWRITE, &id, &layout);
    if (status == NC_NOERR) {
        r.ncid = id;
        r.classic = std::move(layout);
    }
    return status;
}

void Kelvad::CloseSlot(Long nH) {
    NcfRec& r = ncf(nH);
    if (r.ncid >= 0) nc_close(r.ncid);
    r.ncid = -1;
}

void Kelvad::CloseIfAfterRead(Long nH) {
    if (CloseAfterRead == 1) CloseSlot(nH);
}

bool Kelvad::NoteNoAnswer(const std::string& tag, const std::string& name,
                          std::chrono::steady_clock::time_point start) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (NoAnswerAfter <= 0 || seconds < NoAnswerAfter || !IsNcUrl(name)) return false;
    SetNoAnswer(tag, name, seconds);
    return true;
}

void Kelvad::SetNoAnswer(const std::string& tag, const std::string& name, double seconds) {
    ErrorMessage = tag + "The server did not answer within " +
                   CStr(static_cast<Long>(std::floor(seconds))) + " seconds: " + name;
}
