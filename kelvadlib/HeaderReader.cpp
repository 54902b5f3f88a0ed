#include "common/MinMax.h"
#include "common/NetCDF.h"
#include "common/Strings.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/NCUtils.h"
#include "kelvadlib/Utils.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";

// The mark a missing-value or fill attribute sets: its first number, or the Val of its text
// when it holds text. A mark that is not a number or infinite sets none (0): such values are
// missing by themselves, and as a number it would read back as 1 from its text.
double markOf(const std::string& text, const std::optional<double>& first) {
    if (!first) return Val(text);
    return std::isfinite(*first) ? *first : 0.0;
}

// Numbers as their Str forms, joined by two blanks.
template <class T> std::string joinStr(const std::vector<T>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += "  ";
        text += Str(values[i]);
    }
    return text;
}

// The default fill of a type when a variable gives none (or a fill of 0): netCDF's own, but for
// double the value one unit in the last place above it, as the library has always recorded it:
// the edge of the missing values that its 99 % threshold draws stays where it was.
double defaultFill(Long type) {
    const double fill = NcTypeFill(type);
    if (type != NC_DOUBLE) return fill;
    return std::nextafter(fill, std::numeric_limits<double>::infinity());
}

// The text of a netCDF-4 string attribute that holds exactly one string; false otherwise.
bool readSingleString(int ncid, int varid, const char* name, std::size_t len, std::string& out) {
    if (len != 1) return false;
    char* value = nullptr;
    if (nc_get_att_string(ncid, varid, name, &value) != NC_NOERR) return false;
    out = value ? std::string(value) : std::string();
    nc_free_string(1, &value);
    return true;
}

// A text attribute read into n + 2 blanks, as the reader has always kept it.
int readText(int ncid, int varid, const char* name, std::size_t len, std::string& out) {
    std::string buffer(len + 2, ' ');
    const int status = nc_get_att_text(ncid, varid, name, buffer.data());
    out = buffer;
    return status;
}

std::string typeMessage(const std::string& varName, const std::string& attName, Long type) {
    return std::string("Variable-Type of Attribute not expected:") + kCrLf +
           "Variable Name = " + varName + "\n" + "Attribute Name = " + attName + "\n" +
           "Tyep Number = " + Str(type);
}

// Thrown inside the reader for a failed netCDF call whose status the reader examines.
struct NcFailure {
    int status;
};

void check(int status) {
    if (status != NC_NOERR) throw NcFailure{status};
}

// A header this reader does not take, with the reason.
struct HeaderRefused {
    std::string text;
};

// An attribute's value as the header keeps it, and how its read went.
struct AttValue {
    int status = NC_NOERR;
    // A text as read, or the numbers as their Str forms joined by two blanks.
    std::string text;
    // The first number of a numeric attribute, as read: marks are taken from it, not from the
    // text, whose Str form may round it (or show a NaN as "1.#QNAN").
    std::optional<double> first;
    // A netCDF-4 string attribute holding one string: its text is the value.
    bool oneString = false;
    // Every number, as read (valid_range takes two).
    std::vector<double> numbers;
};

template <class T, class Get> AttValue numbersOf(std::size_t n, Get get) {
    std::vector<T> buf(n);
    AttValue a;
    a.status = get(buf.data());
    if (a.status != NC_NOERR) buf.assign(n, T{});
    if (!buf.empty()) a.first = static_cast<double>(buf[0]);
    a.numbers.assign(buf.begin(), buf.end());
    a.text = joinStr(buf);
    return a;
}

// The numbers of an attribute read as type `type` (bytes as Integers, the netCDF-4 integers
// as Doubles), or zeros when the read fails.
AttValue readNumbers(int ncid, int varid, const char* name, nc_type type, std::size_t n) {
    switch (type) {
    case NC_BYTE:
    case NC_SHORT:
        return numbersOf<Integer>(
            n, [&](Integer* buf) { return nc_get_att_short(ncid, varid, name, buf); });
    case NC_INT:
        return numbersOf<Long>(n,
                               [&](Long* buf) { return nc_get_att_int(ncid, varid, name, buf); });
    case NC_FLOAT:
        return numbersOf<float>(
            n, [&](float* buf) { return nc_get_att_float(ncid, varid, name, buf); });
    default: // NC_DOUBLE and the netCDF-4 integers
        return numbersOf<double>(
            n, [&](double* buf) { return nc_get_att_double(ncid, varid, name, buf); });
    }
}

// An attribute of a variable or of the dataset read by its type: a text as read, numbers by
// readNumbers, a netCDF-4 string attribute of one string as its text. Other netCDF-4 types
// are not read and give "".
AttValue readAttValue(int ncid, int varid, const char* name, nc_type type, std::size_t n) {
    AttValue a;
    switch (type) {
    case NC_NAT:
    case NC_CHAR:
        a.status = readText(ncid, varid, name, n, a.text);
        break;
    case NC_BYTE:
    case NC_SHORT:
    case NC_INT:
    case NC_FLOAT:
    case NC_DOUBLE:
    case NC_UBYTE:
    case NC_USHORT:
    case NC_UINT:
    case NC_INT64:
    case NC_UINT64:
        return readNumbers(ncid, varid, name, type, n);
    case NC_STRING:
        a.oneString = readSingleString(ncid, varid, name, n, a.text);
        break;
    default:
        break;
    }
    return a;
}

// The record of slot nH for the dataset just opened as id. The record array grows to hold the
// slot (0 To nH), keeping its records; it never shrinks here. The id the slot held belongs to
// the dataset being replaced, and so do its caches. nullptr, with the dataset closed and the
// reason in message, when there is no such slot.
NcfRec* takeSlot(VArray<NcfRec>& ncf, Long nH, int id, std::string& message) {
    NcfRec* slot = nullptr;
    try {
        if (nH >= 0 && (!ncf.IsAllocated() || ncf.UBound() < nH)) ncf.ReDimPreserve(0, nH);
        slot = &ncf(nH);
    } catch (const RuntimeError& e) {
        nc_close(id);
        message = ErrorFrame("", e);
        return nullptr;
    }
    NcfRec& r = *slot;
    if (r.ncid >= 0 && r.ncid != id) nc_close(r.ncid);
    r.ncid = id;
    r.EraseCaches();
    return slot;
}

void readDimensions(int id, int ndims, int unlimId, NcfRec& r, std::string& message) {
    r.dime.ReDim(1, ndims);
    for (Long d = 1; d <= ndims; ++d) {
        std::string raw;
        std::size_t len = 0;
        if (NcDimName(id, d - 1, raw, len) == NC_EMAXNAME) check(NC_EMAXNAME);
        // A length is held as a Long: a longer axis would be read as another one.
        if (len > static_cast<std::size_t>(INT32_MAX))
            throw HeaderRefused{"Dimension " + PrintableOnly(raw) + " has " +
                                std::to_string(len) + " entries, more than " +
                                std::to_string(INT32_MAX) + " can be read"};
        DimeRec& dr = r.dime(d);
        dr.name = PrintableOnly(raw);
        CleanNameChars(dr.name);
        dr.size = static_cast<Long>(len);
        if (Len(raw) > kMaxNameLen) message = "nc& > 45 in reading dimension name" + raw;
        dr.unLimited = (d - 1 == unlimId) ? 1 : 0;
    }
}

// What the attributes of one variable say of its values beyond the record's own fields: the
// valid limits as given (resolved once the packing is known) and the missing-value mark.
struct ValueAtts {
    double missing = 0;
    std::optional<double> validMin, validMax;
    nc_type validType = NC_NAT; // the type the limits were given in
};

// What a known attribute says of its variable: scale, missing-value and fill marks, offset,
// units, long name, _Unsigned and the valid limits.
void takeAttributeMeaning(VariRec& vr, Long i, const AttValue& value, ValueAtts& atts) {
    const std::string& name = vr.attName(i);
    const std::string up = UCase(name);
    double& missing = atts.missing;
    if (Left(up, 5) == "SCALE") vr.scale = Val(value.text);
    if (Left(up, 7) == "MISSING") missing = markOf(value.text, value.first);
    if (Left(up, 5) == "_FILL") vr.FillVal = markOf(value.text, value.first);
    if (Left(up, 7) == "ADD_OFF") vr.offset = Val(value.text);
    if (InStr(up, "UNIT") > 0) vr.unit = value.text;
    if (Left(up, 9) == "LONG_NAME") vr.longName = value.text;
    if (name == "_Unsigned") vr.unsignedInts = UCase(Trim(value.text)) == "TRUE";
    const std::vector<double>& x = value.numbers;
    if (name == "valid_range" && x.size() == 2) {
        atts.validMin = x[0];
        atts.validMax = x[1];
        atts.validType = static_cast<nc_type>(vr.attType(i));
    } else if (name == "valid_min" && x.size() == 1) {
        atts.validMin = x[0];
        atts.validType = static_cast<nc_type>(vr.attType(i));
    } else if (name == "valid_max" && x.size() == 1) {
        atts.validMax = x[0];
        atts.validType = static_cast<nc_type>(vr.attType(i));
    }
}

// Attribute i of variable v, named aname: its name, type and value into vr, and what it says of
// the variable. The status of the read; one that failed ends the list.
int readVariableAttribute(int id, int v, const char* aname, Long i, VariRec& vr, ValueAtts& atts,
                          std::string& message) {
    const std::string rawAtt = aname;
    vr.attName(i) = PrintableOnly(rawAtt);
    if (Len(rawAtt) > kMaxNameLen) message = "nc& > 45 in reading attribute name" + rawAtt;
    nc_type atype = NC_NAT;
    std::size_t n = 0;
    int status = nc_inq_att(id, v, aname, &atype, &n);
    vr.attType(i) = atype;

    AttValue value;
    // A DODS entry (an OPeNDAP attribute container) has no value of its own to read.
    if (atype != NC_NAT || rawAtt != "DODS") {
        value = readAttValue(id, v, aname, atype, n);
        status = value.status;
    }
    switch (atype) {
    case NC_NAT:
    case NC_BYTE:
        // Kept as read (blanks, or zeros) and reported.
        if (value.status != NC_NOERR) message = typeMessage(vr.name, vr.attName(i), atype);
        break;
    case NC_CHAR:
        if (value.status == NC_NOERR) {
            value.text = PrintableOnly(value.text);
        } else {
            value = readNumbers(id, v, aname, NC_DOUBLE, n);
            status = value.status;
            check(status);
        }
        break;
    case NC_SHORT:
    case NC_INT:
    case NC_FLOAT:
    case NC_DOUBLE:
        check(status);
        break;
    case NC_STRING:
        // netCDF-4 files write texts such as units as one string: taken as text.
        if (value.oneString) {
            value.text = PrintableOnly(value.text);
            vr.attType(i) = NC_CHAR;
        }
        break;
    default:
        break; // other netCDF-4 types are not read
    }
    vr.attValue(i) = value.text;
    takeAttributeMeaning(vr, i, value, atts);
    return status;
}

// The attributes of variable v into vr, every one of them, and what they say into atts. The
// list ends at the first failed inquiry (the count is never asked for), or after a read that
// failed. The number of attributes met.
Long readVariableAttributes(int id, int v, VariRec& vr, ValueAtts& atts, std::string& message) {
    Long count = 0;
    int status = NC_NOERR;
    for (int a = 0; status == NC_NOERR; ++a) {
        std::string aname;
        const int named = NcAttName(id, v, a, aname);
        if (named == NC_EMAXNAME) check(named); // a name too long refuses the file
        if (named != NC_NOERR) break;
        count = a + 1;
        vr.attName.resize(count);
        vr.attType.resize(count);
        vr.attValue.resize(count);
        status = readVariableAttribute(id, v, aname.c_str(), count, vr, atts, message);
    }
    return count;
}

// A mark or limit given in the signed type of an _Unsigned variable, as the unsigned value of
// the same bits.
double asUnsigned(const VariRec& vr, double mark) {
    if (!vr.unsignedInts || mark >= 0) return mark;
    if (vr.type == NC_BYTE && mark >= -128) return mark + 256;
    if (vr.type == NC_SHORT && mark >= -32768) return mark + 65536;
    return mark;
}

// The valid limits in the values as stored. Limits of a packed variable given in another type
// than its own are in unpacked units (the type of the scale and offset) and are turned back.
void setValidLimits(VariRec& vr, const ValueAtts& atts) {
    double lo = atts.validMin.value_or(-std::numeric_limits<double>::infinity());
    double hi = atts.validMax.value_or(std::numeric_limits<double>::infinity());
    const bool packed = vr.scale != 1 || vr.offset != 0;
    if (packed && atts.validType != vr.type && vr.scale != 0) {
        lo = (lo - vr.offset) / vr.scale;
        hi = (hi - vr.offset) / vr.scale;
        if (vr.scale < 0) std::swap(lo, hi);
        // Stored integers: a limit that the division leaves a rounding away from a whole
        // number is that number.
        if (vr.type <= NC_INT || (vr.type >= NC_UBYTE && vr.type <= NC_UINT64)) {
            lo = std::ceil(lo - 1e-6);
            hi = std::floor(hi + 1e-6);
        }
    } else {
        lo = asUnsigned(vr, lo);
        hi = asUnsigned(vr, hi);
    }
    if (lo > hi) std::swap(lo, hi); // a range written high to low
    if (std::isnan(lo)) lo = -std::numeric_limits<double>::infinity();
    if (std::isnan(hi)) hi = std::numeric_limits<double>::infinity();
    vr.validMin = lo;
    vr.validMax = hi;
}

// The marks of missing values: the missing value, else the fill value; the fill value, else the
// default fill of the type.
void setValueMarks(VariRec& vr, double missing) {
    vr.MisnVal = missing;
    if (vr.FillVal != 0) {
        if (vr.MisnVal == 0) vr.MisnVal = vr.FillVal;
    } else {
        vr.FillVal = defaultFill(vr.type);
    }
}

// A unit written into the long name: "[unit]", or else its last word.
void takeUnitFromLongName(VariRec& vr) {
    if (!vr.unit.empty()) return;
    for (Long i = 1; i <= vr.nattri; ++i) {
        if (UCase(vr.attName(i)) != "LONG_NAME") continue;
        const std::string& text = vr.attValue(i);
        const Long p = InStr(text, "[");
        if (p > 0) {
            const Long q = InStr(p, text, "]");
            if (q > p) vr.unit = Mid(text, p + 1, q - p - 1);
        } else {
            vr.unit = GetToken(text, CountTokens(text));
        }
    }
}

// Variable v into vr: name, dimensions, type, attributes and the marks and unit they give.
// False, with the reason in message, for a variable of more dimensions than a record holds.
bool readVariable(int id, int v, VariRec& vr, std::string& message) {
    std::string rawName;
    check(NcVarName(id, v, rawName));
    vr.name = PrintableOnly(rawName);
    CleanNameChars(vr.name);
    if (Len(rawName) > kMaxNameLen) message = "nc& > 45 in reading variable name" + rawName;

    int nd = 0;
    check(nc_inq_varndims(id, v, &nd));
    if (nd > kMaxVarDims) {
        message = std::string("Array dimension exceeds the limit(=5) for") + kCrLf +
                  "Variable: " + vr.name + "\n" + "dimension = " + Str(Long{nd});
        return false;
    }
    vr.narray = nd;
    nc_type vtype = NC_NAT;
    check(nc_inq_vartype(id, v, &vtype));
    vr.type = vtype;
    int status = NC_NOERR;
    if (nd > 0) {
        int dimIds[kMaxVarDims] = {};
        status = nc_inq_vardimid(id, v, dimIds);
        for (Long k = 1; k <= nd; ++k)
            vr.arrayDimId(k) = dimIds[k - 1];
    }
    vr.scale = 1;
    vr.MisnVal = 0;
    vr.offset = 0;
    vr.unit = "";
    vr.FillVal = 0;

    // No attributes are read when the dimension ids could not be.
    ValueAtts atts;
    const Long count = status == NC_NOERR ? readVariableAttributes(id, v, vr, atts, message) : 0;
    // _Unsigned means nothing on other types.
    if (vr.type != NC_BYTE && vr.type != NC_SHORT) vr.unsignedInts = false;
    setValueMarks(vr, atts.missing);
    if (vr.unsignedInts) {
        vr.MisnVal = asUnsigned(vr, vr.MisnVal);
        vr.FillVal = asUnsigned(vr, vr.FillVal);
    }
    setValidLimits(vr, atts);
    vr.nattri = count;
    takeUnitFromLongName(vr);
    return true;
}

// False, with the reason in message, when a variable cannot be held.
bool readVariables(int id, int nvars, NcfRec& r, std::string& message) {
    if (nvars > 0)
        r.vari.ReDim(1, nvars);
    else
        r.vari.Erase();
    for (int v = 0; v < nvars; ++v)
        if (!readVariable(id, v, r.vari(v + 1), message)) return false;
    return true;
}

// Second pass, once every dimension is known: dimension names, coordinate variables, sizes.
void nameVariableDimensions(NcfRec& r, int nvars) {
    for (Long v = 1; v <= nvars; ++v) {
        VariRec& vr = r.vari(v);
        for (Long k = 1; k <= vr.narray; ++k)
            vr.arrayDimName(k) = r.dime(vr.arrayDimId(k) + 1).name;
        if (vr.narray == 1 && vr.name == vr.arrayDimName(1)) vr.kind = 1;
        vr.byteUnit = NcTypeSize(vr.type);
        double size = vr.byteUnit;
        for (Long k = 1; k <= vr.narray; ++k)
            size *= r.dime(vr.arrayDimId(k) + 1).size;
        vr.byteSize = size;
    }
}

// Global attribute i: name, type and trimmed value. Only an untyped or a byte value that cannot
// be read is reported (a byte one then left empty); the other reads are not checked.
void readGlobalAttribute(int id, Long i, NcfRec& r, std::string& message) {
    std::string rawAtt;
    check(NcAttName(id, NC_GLOBAL, i - 1, rawAtt));
    const char* aname = rawAtt.c_str();
    r.gAttName(i) = PrintableOnly(rawAtt);
    if (Len(rawAtt) > kMaxNameLen) message = "nc& > 45 in reading Global attributes name" + rawAtt;
    nc_type atype = NC_NAT;
    std::size_t n = 0;
    nc_inq_att(id, NC_GLOBAL, aname, &atype, &n);
    r.gAttType(i) = atype;

    AttValue value = readAttValue(id, NC_GLOBAL, aname, atype, n);
    if (value.status != NC_NOERR && (atype == NC_NAT || atype == NC_BYTE)) {
        message = typeMessage("NC_GLOBAL", r.gAttName(i), atype);
        if (atype == NC_BYTE) value.text.clear();
    }
    if (value.oneString) r.gAttType(i) = NC_CHAR;
    r.gAttValue(i) = Trim(value.text);
}

void readGlobalAttributes(int id, NcfRec& r, std::string& message) {
    int ngatts = 0;
    nc_inq_natts(id, &ngatts);
    r.gAttName.ReDim(0, ngatts);
    r.gAttValue.ReDim(0, ngatts);
    r.gAttType.ReDim(0, ngatts);
    r.nGatts = ngatts;
    for (Long i = 1; i <= ngatts; ++i)
        readGlobalAttribute(id, i, r, message);
}

} // namespace

Long Kelvad::GetNCHeader(const std::string& FName, Long nH) {
    if (FName.empty()) {
        ErrorMessage = "Given file name is Empty";
        return -1;
    }
    int id = -1;
    ClassicLayout layout;
    const int openStatus = NcOpenChecked(FName, NC_NOWRITE, &id, &layout);
    if (openStatus != NC_NOERR || id < 0) {
        ErrorMessage = NcErrorText(openStatus) + kCrLf + "Unable to open " + FName;
        return -1;
    }
    NcfRec* slot = takeSlot(ncf, nH, id, ErrorMessage);
    if (slot == nullptr) return -1;
    NcfRec& r = *slot;
    r.classic = std::move(layout);

    // Any failure past the open closes the dataset, except the two that leave it open.
    auto failAndClose = [&](const std::string& text) {
        ErrorMessage = text;
        nc_close(id);
        r.ncid = -1;
        return Long{-1};
    };

    try {
        int ndims = 0;
        check(nc_inq_ndims(id, &ndims));
        if (ndims <= 0) {
            ErrorMessage = std::string("ndim& = 0: Possibly not NC file") + kCrLf + FName;
            return -1;
        }
        int unlimId = -1;
        check(nc_inq_unlimdim(id, &unlimId));
        readDimensions(id, ndims, unlimId, r, ErrorMessage);

        int nvars = 0;
        check(nc_inq_nvars(id, &nvars));
        if (!readVariables(id, nvars, r, ErrorMessage)) return -1;
        nameVariableDimensions(r, nvars);
        readGlobalAttributes(id, r, ErrorMessage);

        r.FName = FName;
        r.nDimes = ndims;
        r.nVars = nvars;
        r.UnLimDId = unlimId;
        CloseIfAfterRead(nH);
        return 1;
    } catch (const NcFailure& f) {
        return failAndClose(NcErrorText(f.status) + kCrLf + "Unable to open " + FName);
    } catch (const HeaderRefused& f) {
        return failAndClose(f.text + kCrLf + "Unable to open " + FName);
    } catch (const RuntimeError& e) {
        // A value that the runtime cannot take (an attribute text whose number overflows).
        return failAndClose(ErrorFrame("", e));
    }
}
