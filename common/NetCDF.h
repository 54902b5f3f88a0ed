#pragma once
// Texts of the netCDF library.
#include "runtime/Types.h"
#include <string>

// The library's message for a status (nc_strerror).
std::string NcErrorText(Long status);
// A copy of a zero-terminated text; "" for a null pointer.
std::string CStrToVB(const char* address);
