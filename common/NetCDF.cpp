#include "common/NetCDF.h"
#include "common/ClassicHeader.h"

#include <netcdf.h>

std::string NcErrorText(Long status) {
    if (status == kNcFileRefused) return LastNcFileRefusal();
    return CStrToVB(nc_strerror(status));
}

std::string CStrToVB(const char* address) {
    if (address == nullptr) return {};
    return std::string(address);
}

Long NcTypeSize(Long type) {
    switch (type) {
    case NC_BYTE:
    case NC_CHAR:
        return 1;
    case NC_SHORT:
        return 2;
    case NC_INT:
    case NC_FLOAT:
        return 4;
    case NC_DOUBLE:
        return 8;
    default:
        return 0;
    }
}

Long NcReadType(Long type) {
    switch (type) {
    case NC_UBYTE:
    case NC_USHORT:
    case NC_UINT:
    case NC_INT64:
    case NC_UINT64:
        return NC_DOUBLE;
    default:
        return type;
    }
}

double NcDefaultFill(Long type) {
    switch (type) {
    case NC_BYTE:
        return NC_FILL_BYTE;
    case NC_SHORT:
        return NC_FILL_SHORT;
    case NC_INT:
        return NC_FILL_INT;
    case NC_FLOAT:
        return static_cast<double>(NC_FILL_FLOAT);
    case NC_DOUBLE:
        return NC_FILL_DOUBLE;
    default:
        return 0;
    }
}
