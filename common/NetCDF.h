#pragma once
// Texts and types of the netCDF library.
#include "runtime/Types.h"
#include <cstddef>
#include <string>

// The status a checked open or read returns when a file is refused before netCDF-C is given
// it (common/ClassicHeader); NcErrorText gives the reason (with the file's path) that the
// refusal left in this thread.
constexpr int kNcFileRefused = -10001;
// Notes the reason of a refusal for this thread, and the one noted last.
void NoteNcFileRefusal(const std::string& reason);
const std::string& LastNcFileRefusal();

// The library's message for a status (nc_strerror); for kNcFileRefused, the reason the
// last refused file left.
std::string NcErrorText(Long status);
// A copy of a zero-terminated text; "" for a null pointer.
std::string CStrToVB(const char* address);

// Bytes of one value of a classic type: 1 for byte and char, 2 for short, 4 for int and
// float, 8 for double; 0 for any other type.
Long NcTypeSize(Long type);
// The classic type a value is read as: the netCDF-4 whole numbers (unsigned, 64-bit) as
// double, which holds every one a reader can use; every other type as itself.
Long NcReadType(Long type);

// Names of a dataset's attributes, variables and dimensions. netCDF-C copies a netCDF-4
// attribute name whole, however long HDF5 let it be (up to 65535 bytes), where a caller's
// buffer holds NC_MAX_NAME: the name is taken into a buffer of HDF5's bound and a name longer
// than NC_MAX_NAME is refused (NC_EMAXNAME, name left empty), never copied on. Variable and
// dimension names are held by netCDF-C in NC_MAX_NAME bytes: one of exactly that length may
// come back followed by bytes that are not its own, which are dropped. NC_NOERR or the
// library's status otherwise.
int NcAttName(int ncid, int varid, int attnum, std::string& name);
int NcVarName(int ncid, int varid, std::string& name);
// The name of a type of the dataset ("double", or a user-defined type's own name).
int NcTypeNameOf(int ncid, int type, std::string& name);
// The dimension's name and length.
int NcDimName(int ncid, int dimid, std::string& name, std::size_t& length);
// The value netCDF-C writes where a variable has none written and gives no fill of its own,
// by type (NC_FILL_BYTE .. NC_FILL_UINT64); 0 for char and for every other type.
double NcTypeFill(Long type);
// NcTypeFill of the classic types (byte .. double); 0 for the netCDF-4 types.
double NcDefaultFill(Long type);

// Units of an angle in radians ("radians", "rad", "radians_east", ...), letter case and
// surrounding blanks aside.
bool RadianUnitText(const std::string& units);
// A variable name that says longitude (east) or latitude: "lon" ("lat") at its start or end,
// as MPAS's lonCell and ICON's clon, or the whole word anywhere.
bool NameSaysPosition(const std::string& name, bool east);
