#pragma once
// The netCDF file seen through the DAP2 data model: its variables as a DDS, its attributes as a
// DAS. The DDS's arrays read their constrained hyperslab from the open file when libdap
// serialises them, so the file must stay open until the response is written.
#include <libdap/DAS.h>
#include <libdap/DDS.h>

// Adds the variables of the open netCDF file `ncid` to `dds`. Throws libdap::Error.
void buildDds(int ncid, libdap::DDS& dds);

// Adds the attributes of the open netCDF file `ncid` to `das`: one table per variable, the
// global ones in "NC_GLOBAL", the unlimited dimension in "DODS_EXTRA". Throws libdap::Error.
void buildDas(int ncid, libdap::DAS& das);
