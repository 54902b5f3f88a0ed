#include "kelvadlib/Kelvad.h"

#include <netcdf.h>

Long Kelvad::GetHeadOnly(const std::string& sNcFileName) {
    // The header read closes slot 0 behind it; the datasets already set up keep their own
    // switch, so that their reads go on with the handles they hold instead of opening the
    // dataset (over OPeNDAP: its header requests) anew for every read.
    const Long kept = CloseAfterRead;
    CloseAfterRead = 1;
    const auto start = std::chrono::steady_clock::now();
    const Long read = GetNCHeader(sNcFileName, 0);
    CloseAfterRead = kept;
    if (read >= 0) return 1;
    NoteNoAnswer("[GetHeadOnly] ", sNcFileName, start);
    return -1;
}

void Kelvad::CloseNC(Long nNc) {
    if (!SlotInRange(nNc)) return;
    CloseSlot(nNc);
}

void Kelvad::DoEraseArray() {
    // Every record that holds an open dataset is closed: the scratch slot, and a slot given
    // back by a failed set-up, too.
    if (ncf.IsAllocated()) {
        for (NcfRec& r : ncf) {
            if (r.ncid >= 0) nc_close(r.ncid);
            r.ncid = -1;
        }
    }
    ncf.Erase();
}
