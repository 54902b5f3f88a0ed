// The header model of the control's reader: the dataset record, opening and closing, and the
// attribute lookup.
#include "tyxsection/ocxNetNc.h"
#include "common/ClassicHeader.h"
#include "common/NcHttp.h"
#include "common/NetCDF.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <netcdf.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// A failed library call whose status the header read examines.
struct NcFailure {
    int status;
};
// A header beyond the record's limits.
struct LimitFailure {
    std::string message;
};

void check(int status) {
    if (status != NC_NOERR) throw NcFailure{status};
}

// The HTTP time-outs must be in place before the process's first netCDF call.
int openReadOnly(const std::string& name, int& id, ClassicLayout* layout) {
    PrepareNcHttpTimeouts();
    return NcOpenChecked(name, NC_NOWRITE, &id, layout);
}

// A name as read, surrounding blanks removed.
std::string nameOf(const std::string& read) {
    return Trim(read);
}

Long countOf(std::size_t n) {
    if (n > static_cast<std::size_t>(INT32_MAX)) throw RuntimeError(err::Overflow);
    return static_cast<Long>(n);
}

// Numbers in their plain decimal text, joined by two blanks.
template <class T> std::string joined(const std::vector<T>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += "  ";
        if constexpr (std::is_same_v<T, short>)
            text += CStr(static_cast<Integer>(values[i]));
        else if constexpr (std::is_same_v<T, int>)
            text += CStr(static_cast<Long>(values[i]));
        else
            text += CStr(values[i]);
    }
    return text;
}

// How an attribute's value was read: as its type, with the type message (the value blank or
// zeros, the variable's further attributes left unread), or not at all (the header read
// fails with the status).
struct AttRead {
    enum class Outcome { Read, TypeMessage, Failed } outcome = Outcome::Read;
    int status = NC_NOERR;
    std::string text;
    // A numeric attribute whose first value is not a number or infinite.
    bool nonFinite = false;
};

// Text as the library returns it, up to its first NUL.
int readText(int ncid, int varid, const char* name, std::size_t n, std::string& out) {
    std::string buffer(n + 2, ' ');
    const int status = nc_get_att_text(ncid, varid, name, buffer.data());
    const std::size_t nul = buffer.find('\0');
    if (nul != std::string::npos) buffer.resize(nul);
    out = status == NC_NOERR ? buffer : std::string();
    return status;
}

template <class T, class Get> int readNumbers(std::size_t n, Get get, AttRead& a) {
    std::vector<T> values(n);
    const int status = n > 0 ? get(values.data()) : NC_NOERR;
    if (status != NC_NOERR) values.assign(n, T{});
    a.text = joined(values);
    a.nonFinite = n > 0 && !std::isfinite(static_cast<double>(values[0]));
    return status;
}

int readDoubles(int ncid, int varid, const char* name, std::size_t n, AttRead& a) {
    return readNumbers<double>(
        n, [&](double* p) { return nc_get_att_double(ncid, varid, name, p); }, a);
}

int readStrings(int ncid, int varid, const char* name, std::size_t n, std::string& out) {
    out.clear();
    if (n == 0) return NC_NOERR;
    std::vector<char*> values(n, nullptr);
    const int status = nc_get_att_string(ncid, varid, name, values.data());
    if (status != NC_NOERR) return status;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0) out += "  ";
        if (values[i]) out += values[i];
    }
    nc_free_string(n, values.data());
    return NC_NOERR;
}

// The value of an attribute of type `type` and length n. Every read starts from an empty
// text, so an attribute that is not read has an empty value. A dataset's attribute (global)
// reads an untyped one as text whatever its name, and a failed text read leaves it blank.
AttRead readValue(int ncid, int varid, const std::string& attName, nc_type type, std::size_t n,
                  bool global) {
    AttRead a;
    const char* name = attName.c_str();
    auto typeMessageIf = [&a](int status) {
        a.status = status;
        if (status != NC_NOERR) a.outcome = AttRead::Outcome::TypeMessage;
    };
    auto failIf = [&a](int status) {
        a.status = status;
        if (status != NC_NOERR) a.outcome = AttRead::Outcome::Failed;
    };
    switch (NcReadType(type)) {
    case NC_NAT:
        if (!global && attName == "DODS") break;
        typeMessageIf(readText(ncid, varid, name, n, a.text));
        break;
    case NC_BYTE:
        typeMessageIf(readNumbers<short>(
            n, [&](short* p) { return nc_get_att_short(ncid, varid, name, p); }, a));
        break;
    case NC_CHAR: {
        const int status = readText(ncid, varid, name, n, a.text);
        if (status == NC_NOERR || global) break;
        failIf(readDoubles(ncid, varid, name, n, a));
        break;
    }
    case NC_SHORT:
        failIf(readNumbers<short>(
            n, [&](short* p) { return nc_get_att_short(ncid, varid, name, p); }, a));
        break;
    case NC_INT:
        failIf(readNumbers<int>(
            n, [&](int* p) { return nc_get_att_int(ncid, varid, name, p); }, a));
        break;
    case NC_FLOAT:
        failIf(readNumbers<float>(
            n, [&](float* p) { return nc_get_att_float(ncid, varid, name, p); }, a));
        break;
    case NC_DOUBLE:
        failIf(readDoubles(ncid, varid, name, n, a));
        break;
    case NC_STRING:
        failIf(readStrings(ncid, varid, name, n, a.text));
        break;
    default:
        // Compound, enumeration, opaque and variable-length types: no value.
        break;
    }
    return a;
}

std::string typeMessage(const std::string& varName, const std::string& attName, Long type,
                        bool global) {
    return "Variable-Type of Attribute not expected:\n\nVariable Name = " + varName +
           "\nAttribute Name = " + attName + (global ? "\nTyep Number = " : "\nType Number = ") +
           CStr(type);
}

bool startsWith(const std::string& upperName, const char* prefix) {
    return upperName.compare(0, std::strlen(prefix), prefix) == 0;
}

// The settings that attributes of these names give their variable.
// The numbers are read from the value texts; a missing value that is not a number (the NaN
// fill of xarray) marks nothing, as such values are missing by themselves, where its text
// would read back as 1.
void applySpecial(OcxVari& v, const std::string& attName, const std::string& value,
                  bool nonFinite) {
    const std::string u = UCase(attName);
    const double mark = nonFinite ? 0.0 : Val(value);
    if (startsWith(u, "SCALE")) v.scale = Val(value);
    if (startsWith(u, "MISSING")) v.MisnVal = mark;
    if (startsWith(u, "_FILL")) v.MisnVal = mark;
    if (startsWith(u, "ADD_OFF")) v.offset = Val(value);
    if (startsWith(u, "VALID")) {
        v.validMin = GetWord(value, 1);
        v.validMax = GetWord(value, 2);
    }
    if (startsWith(u, "UNIT")) v.unit = value;
    if (startsWith(u, "LONG_NAME")) v.longName = value;
}

void readDimensions(int id, OcxNcf& r, std::string& errorMessage) {
    int ndims = 0, unlimited = -1;
    check(nc_inq_ndims(id, &ndims));
    check(nc_inq_unlimdim(id, &unlimited));
    r.nDims = ndims;
    r.UnLimDId = unlimited;
    if (ndims > 0) r.dime.ReDim(1, ndims);
    for (Long d = 1; d <= ndims; ++d) {
        std::string name;
        std::size_t length = 0;
        if (NcDimName(id, d - 1, name, length) == NC_EMAXNAME) check(NC_EMAXNAME);
        OcxDime& dim = r.dime(d);
        dim.name = nameOf(name);
        dim.size = countOf(length);
        dim.unLimited = d - 1 == unlimited ? 1 : 0;
        if (Len(dim.name) >= kLongName)
            errorMessage = "nc& > 45 in reading dimension name" + dim.name;
    }
}

void readAttributes(int id, Long v, OcxVari& var, std::string& errorMessage) {
    int natts = 0;
    check(nc_inq_varnatts(id, v - 1, &natts));
    Long k = 0;
    bool marked = false; // a missing or fill value of the variable's own
    const std::size_t entries = static_cast<std::size_t>(std::max(natts, 0)) + 1;
    var.attName.assign(entries, std::string());
    var.attType.assign(entries, 0);
    var.attValue.assign(entries, std::string());
    for (int a = 0; a < natts; ++a) {
        std::string held;
        const int named = NcAttName(id, v - 1, a, held);
        if (named == NC_EMAXNAME) check(named); // a name too long refuses the file
        if (named != NC_NOERR) break;
        const char* name = held.c_str();
        k = k + 1;
        var.attName[k] = nameOf(name);
        if (Len(var.attName[k]) >= kLongName)
            errorMessage = "nc& > 45 in reading attribute name" + var.attName[k];
        nc_type type = NC_NAT;
        std::size_t length = 0;
        nc_inq_att(id, v - 1, name, &type, &length);
        var.attType[k] = type;
        const AttRead read = readValue(id, v - 1, name, type, length, false);
        if (read.outcome == AttRead::Outcome::Failed) throw NcFailure{read.status};
        var.attValue[k] = Trim(read.text);
        if (read.outcome == AttRead::Outcome::TypeMessage) {
            // The reader has always stopped at such an attribute.
            errorMessage = typeMessage(var.name, var.attName[k], type, false);
            break;
        }
        applySpecial(var, var.attName[k], var.attValue[k], read.nonFinite);
        const std::string u = UCase(var.attName[k]);
        if (startsWith(u, "MISSING") || startsWith(u, "_FILL")) marked = true;
    }
    var.nattri = k;
    if (!marked) var.DefaultFill = NcDefaultFill(var.type);
}

void readVariables(int id, OcxNcf& r, std::string& errorMessage) {
    int nvars = 0;
    check(nc_inq_nvars(id, &nvars));
    r.nVars = nvars;
    if (nvars > 0) r.vari.ReDim(1, nvars);
    for (Long v = 1; v <= nvars; ++v) {
        OcxVari& var = r.vari(v);
        std::string name;
        check(NcVarName(id, v - 1, name));
        var.name = nameOf(name);
        if (Len(var.name) >= kLongName)
            errorMessage = "nc& > 45 in reading variable name" + var.name;
        int ndims = 0;
        check(nc_inq_varndims(id, v - 1, &ndims));
        if (ndims > kMaxVarDims)
            throw LimitFailure{"Array dimension exceeds the limit(=5) for\n\nVariable: " +
                               var.name + "\ndimension = " + CStr(static_cast<Long>(ndims))};
        var.narray = ndims;
        nc_type type = NC_NAT;
        check(nc_inq_vartype(id, v - 1, &type));
        var.type = type;
        int dimIds[kMaxVarDims] = {};
        check(nc_inq_vardimid(id, v - 1, dimIds));
        for (Long i = 1; i <= ndims; ++i)
            var.arrayDimId[i] = dimIds[i - 1];
        readAttributes(id, v, var, errorMessage);
    }
    for (Long v = 1; v <= nvars; ++v) {
        OcxVari& var = r.vari(v);
        var.byteUnit = NcTypeSize(var.type);
        var.byteSize = var.byteUnit;
        for (Long i = 1; i <= var.narray; ++i) {
            const OcxDime& dim = r.dime(var.arrayDimId[i] + 1);
            var.arrayDimName[i] = dim.name;
            var.byteSize *= dim.size;
        }
    }
}

void readGlobals(int id, OcxNcf& r, std::string& errorMessage) {
    int natts = 0;
    nc_inq_natts(id, &natts);
    r.nGatts = natts;
    r.gAttName.ReDim(0, natts);
    r.gAttValue.ReDim(0, natts);
    r.gAttType.ReDim(0, natts);
    for (Long i = 1; i <= natts; ++i) {
        std::string held;
        check(NcAttName(id, NC_GLOBAL, i - 1, held));
        const char* name = held.c_str();
        r.gAttName(i) = nameOf(held);
        if (Len(r.gAttName(i)) >= kLongName)
            errorMessage = "nc& > 45 in reading Global attributes name" + r.gAttName(i);
        nc_type type = NC_NAT;
        std::size_t length = 0;
        nc_inq_att(id, NC_GLOBAL, name, &type, &length);
        r.gAttType(i) = type;
        const AttRead read = readValue(id, NC_GLOBAL, name, type, length, true);
        if (read.outcome == AttRead::Outcome::Failed) throw NcFailure{read.status};
        if (read.outcome == AttRead::Outcome::TypeMessage)
            errorMessage = typeMessage("", r.gAttName(i), type, true);
        r.gAttValue(i) = Trim(read.text);
    }
}

} // namespace

Long ocxGetNCHeader(OcxNcf& ncf, const std::string& fName, Long closeAfter,
                    std::string& errorMessage) {
    OcxNcf fresh;
    int id = -1;
    const int status = openReadOnly(fName, id, &fresh.classic);
    if (status != NC_NOERR) {
        errorMessage = NcErrorText(status);
        return 0;
    }
    fresh.ncid = id;
    try {
        readDimensions(id, fresh, errorMessage);
        readVariables(id, fresh, errorMessage);
        readGlobals(id, fresh, errorMessage);
    } catch (const NcFailure& f) {
        errorMessage = NcErrorText(f.status);
        nc_close(id);
        return 0;
    } catch (const LimitFailure& f) {
        errorMessage = f.message;
        nc_close(id);
        return 0;
    } catch (...) {
        nc_close(id);
        throw;
    }
    fresh.FName = fName;
    if (closeAfter == 1) CloseNc(fresh.ncid);
    CloseNc(ncf.ncid);
    ncf = std::move(fresh);
    return 1;
}

Long OpenNc(OcxNcf& ncf, Long which) {
    const std::string name = which == 1 ? ncf.FName : which == 2 ? ncf.FName2 : std::string();
    if (name.empty()) return -1;
    int id = -1;
    ClassicLayout layout;
    const int status = openReadOnly(name, id, &layout);
    if (status == NC_NOERR && which == 1) ncf.classic = std::move(layout);
    if (status != NC_NOERR) {
        ui().MsgBox(NcErrorText(status), kCritical, "NetCDF Error");
        return -1;
    }
    return id;
}

void CloseNc(Long& ncid) {
    if (ncid >= 0) {
        const int status = nc_close(ncid);
        if (status != NC_NOERR) {
            ui().MsgBox(NcErrorText(status), kCritical, "NetCDF Error");
            nc_close(ncid);
        }
    }
    ncid = -1;
}

std::string ocxGetAttVal(const OcxNcf& ncf, const std::string& varName,
                         const std::string& attrName) {
    const std::string att = UCase(attrName);
    if (varName.empty()) {
        for (Long i = 1; i <= ncf.nGatts; ++i)
            if (UCase(ncf.gAttName(i)) == att) return ncf.gAttValue(i);
        return "";
    }
    const std::string var = UCase(varName);
    for (Long v = 1; v <= ncf.nVars; ++v) {
        const OcxVari& r = ncf.vari(v);
        if (UCase(r.name) != var) continue;
        for (Long k = 1; k <= r.nattri; ++k)
            if (UCase(r.attName[k]) == att) return r.attValue[k];
    }
    return "";
}
