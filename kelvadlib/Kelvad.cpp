#include "kelvadlib/Kelvad.h"

#include <netcdf.h>

Kelvad::Kelvad() {
    nNcMax = 0;
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
    const int status = nc_open(r.FName.c_str(), NC_NOWRITE, &id);
    if (status == NC_NOERR) r.ncid = id;
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
