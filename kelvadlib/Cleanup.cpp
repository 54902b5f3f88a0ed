#include "kelvadlib/Kelvad.h"

#include <netcdf.h>

Long Kelvad::GetHeadOnly(const std::string& sNcFileName) {
    CloseAfterRead = 1;
    return GetNCHeader(sNcFileName, 0) >= 0 ? 1 : -1;
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
