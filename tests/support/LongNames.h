#pragma once
// Names netCDF-C itself will not write: an attribute whose name is longer than NC_MAX_NAME,
// added through HDF5 to a netCDF-4 file that is already written and closed.
#include <string>

// Adds an int attribute named name, of value value, to variable var of the netCDF-4 file at
// path ("" for a global attribute). False when HDF5 refused any step.
bool AddLongNamedAttribute(const std::string& path, const std::string& var, const std::string& name,
                           int value);

// Renames the variable or dimension stored as HDF5 object from (in the root group) of the
// netCDF-4 file at path to name, however long. False when HDF5 refused it.
bool RenameToLongName(const std::string& path, const std::string& from, const std::string& name);
