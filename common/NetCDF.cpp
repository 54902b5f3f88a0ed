#include "common/NetCDF.h"

#include "runtime/Strings.h"

#include <netcdf.h>

#include <cstring>
#include <vector>

namespace {

// HDF5 keeps a name's length in 16 bits: no name that netCDF-C copies out of a netCDF-4 file
// is longer. The other formats hold at most NC_MAX_NAME.
constexpr std::size_t kLongestStoredName = 65535;

// How netCDF-C holds a name it hands out: an attribute's whole, however long; a variable's or
// a dimension's of a netCDF-4 file in NC_MAX_NAME bytes, longer ones cut there, and one of
// exactly NC_MAX_NAME bytes without its terminator (after the first open of the file, the
// copy runs on into whatever follows).
enum class HeldName { Whole, InMaxName };

// Runs inquire(buffer) with a buffer no stored name can overrun, then takes the name.
template <class Inquire> int boundedName(std::string& name, HeldName held, Inquire&& inquire) {
    thread_local std::vector<char> buffer(kLongestStoredName + 1);
    name.clear();
    buffer[0] = '\0';
    const int status = inquire(buffer.data());
    if (status != NC_NOERR) return status;
    std::size_t len = strnlen(buffer.data(), buffer.size());
    if (len > NC_MAX_NAME) {
        if (held == HeldName::Whole) return NC_EMAXNAME;
        len = NC_MAX_NAME; // the bytes past the name are not its own
    }
    name.assign(buffer.data(), len);
    return NC_NOERR;
}

// Per thread: a refusal on one thread must not change the text another one reports.
std::string& lastRefusal() {
    thread_local std::string text;
    return text;
}

} // namespace

void NoteNcFileRefusal(const std::string& reason) {
    lastRefusal() = reason;
}

const std::string& LastNcFileRefusal() {
    return lastRefusal();
}

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

int NcAttName(int ncid, int varid, int attnum, std::string& name) {
    return boundedName(name, HeldName::Whole,
                       [&](char* b) { return nc_inq_attname(ncid, varid, attnum, b); });
}

int NcVarName(int ncid, int varid, std::string& name) {
    return boundedName(name, HeldName::InMaxName,
                       [&](char* b) { return nc_inq_varname(ncid, varid, b); });
}

int NcTypeNameOf(int ncid, int type, std::string& name) {
    return boundedName(name, HeldName::Whole, [&](char* b) {
        return nc_inq_type(ncid, static_cast<nc_type>(type), b, nullptr);
    });
}

int NcDimName(int ncid, int dimid, std::string& name, std::size_t& length) {
    length = 0;
    return boundedName(name, HeldName::InMaxName,
                       [&](char* b) { return nc_inq_dim(ncid, dimid, b, &length); });
}

double NcTypeFill(Long type) {
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
    case NC_UBYTE:
        return NC_FILL_UBYTE;
    case NC_USHORT:
        return NC_FILL_USHORT;
    case NC_UINT:
        return NC_FILL_UINT;
    case NC_INT64:
        return static_cast<double>(NC_FILL_INT64);
    case NC_UINT64:
        return static_cast<double>(NC_FILL_UINT64);
    default:
        return 0;
    }
}

double NcDefaultFill(Long type) {
    return NcTypeSize(type) > 0 ? NcTypeFill(type) : 0;
}

bool RadianUnitText(const std::string& units) {
    static const char* const kWords[] = {
        "RADIANS", "RADIAN", "RAD", "RADIANS_EAST", "RADIANS_NORTH", "RADIAN_EAST", "RADIAN_NORTH"};
    const std::string value = UCase(Trim(units));
    for (const char* word : kWords)
        if (value == word) return true;
    return false;
}

bool NameSaysPosition(const std::string& name, bool east) {
    const std::string n = UCase(name), key = east ? "LON" : "LAT";
    return Left(n, 3) == key || Right(n, 3) == key || InStr(n, east ? "LONGITUDE" : "LATITUDE") > 0;
}
