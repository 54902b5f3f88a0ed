#include "kelvadlib/Kelvad.h"

#include <netcdf.h>

Long Kelvad::GetHeadOnly(const std::string& sNcFileName) {
    CloseAfterRead = 1;
    const auto start = std::chrono::steady_clock::now();
    if (GetNCHeader(sNcFileName, 0) >= 0) return 1;
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
