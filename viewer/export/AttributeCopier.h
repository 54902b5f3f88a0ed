#pragma once
// Copies the attributes of a source variable (or the source's global attributes) onto a
// variable of a file being written, exactly: the same names, types and values, read from the
// source itself rather than from their texts. A variable written with another type than the
// source's gets its _FillValue in that type (netCDF wants the two alike). The time axis may
// have its units text replaced. Types that a classic file cannot hold are left out with a
// message; a single NC_STRING value goes over as text.
#include <netcdf.h>

#include <string>

class NcOut;
class NcSource;

struct AttCopyRules {
    // The variable's type in the output when the writer changes it; NC_NAT when it keeps the
    // source's.
    nc_type retype = NC_NAT;
    // When not empty: the value of every text attribute whose name begins with "UNIT" (any
    // case), the time axis's units as the writer states them.
    std::string unitsText;
    // The values are written unpacked (positions and levels as the dataset library keeps
    // them): the attributes that state the packing and the stored marks are left out.
    bool unpacked = false;
};

// Copies every attribute of variable srcVar of src (NC_GLOBAL: the global ones) onto variable
// outVar of out (NC_GLOBAL likewise), in the source's order. varName names the variable in the
// message about an attribute left out. Throws NcFailure when a netCDF call fails.
void CopyAttributes(const NcSource& src, int srcVar, NcOut& out, int outVar,
                    const std::string& varName, const AttCopyRules& rules = {});
