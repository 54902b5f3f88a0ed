#include "common/NetCDF.h"

#include <netcdf.h>

std::string NcErrorText(Long status) {
    return CStrToVB(nc_strerror(status));
}

std::string CStrToVB(const char* address) {
    if (address == nullptr) return {};
    return std::string(address);
}
