#pragma once
// The program's netCDF calls (the save flows and the header walk they share with the dataset
// library) bind to netCDF the first time one is made, not at start-up: netCDF brings HDF5,
// curl and some thirty more shared objects, whose loading the first window would wait for.
// The calls are resolved through the dataset library, which links netCDF and which a dataset
// load has opened already, so the program and the library share one netCDF.
#include <string>

// The shared object whose dependencies supply netCDF (the program names the dataset library).
// A netCDF call before it is named, or while it cannot be opened, fails with NC_ENOTBUILT, and
// nc_strerror then gives the reason.
void SetLateNetcdfLibrary(const std::string& path);
