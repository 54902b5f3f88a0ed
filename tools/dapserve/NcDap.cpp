#include "NcDap.h"

#include "common/NetCDF.h"

#include <libdap/Array.h>
#include <libdap/AttrTable.h>
#include <libdap/Byte.h>
#include <libdap/Error.h>
#include <libdap/Float32.h>
#include <libdap/Float64.h>
#include <libdap/Int16.h>
#include <libdap/Int32.h>
#include <libdap/Str.h>
#include <libdap/UInt16.h>
#include <libdap/UInt32.h>
#include <libdap/escaping.h>
#include <netcdf.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using libdap::Error;

namespace {

void check(int status, const std::string& what) {
    if (status != NC_NOERR) throw Error(cannot_read_file, what + ": " + nc_strerror(status));
}

std::string varName(int ncid, int varid) {
    std::string name;
    check(NcVarName(ncid, varid, name), "variable name");
    return name;
}

// The DAP2 type that holds a netCDF type without loss; dods_null_c when there is none. Text
// (NC_CHAR) becomes String, its last dimension being the length of the strings. A signed byte
// travels as DAP2's Byte, bit for bit: netCDF-C's client takes a Byte for a signed byte.
libdap::Type dapType(nc_type type) {
    switch (type) {
    case NC_BYTE:
    case NC_UBYTE:
        return libdap::dods_byte_c;
    case NC_SHORT:
        return libdap::dods_int16_c;
    case NC_USHORT:
        return libdap::dods_uint16_c;
    case NC_INT:
        return libdap::dods_int32_c;
    case NC_UINT:
        return libdap::dods_uint32_c;
    case NC_FLOAT:
        return libdap::dods_float32_c;
    case NC_DOUBLE:
        return libdap::dods_float64_c;
    case NC_CHAR:
    case NC_STRING:
        return libdap::dods_str_c;
    default:
        return libdap::dods_null_c;
    }
}

// The netCDF dimensions of a variable that are DAP dimensions: all but the last one of text.
std::vector<int> dapDims(int ncid, int varid, nc_type type) {
    int ndims = 0;
    check(nc_inq_varndims(ncid, varid, &ndims), "variable");
    std::vector<int> dims(static_cast<std::size_t>(ndims));
    check(nc_inq_vardimid(ncid, varid, dims.data()), "variable");
    if (type == NC_CHAR && !dims.empty()) dims.pop_back();
    return dims;
}

// Whether the variable is part of the dataset: its type must have a DAP2 type, and it must
// hold values (DAP2 has no empty arrays: an unlimited dimension without records would leave
// the client unable to read anything).
bool served(int ncid, int varid) {
    nc_type type = NC_NAT;
    check(nc_inq_vartype(ncid, varid, &type), "variable type");
    if (dapType(type) == libdap::dods_null_c) return false;
    for (int dim : dapDims(ncid, varid, type)) {
        size_t len = 0;
        check(nc_inq_dimlen(ncid, dim, &len), "dimension");
        if (len == 0) return false;
    }
    return true;
}

std::unique_ptr<libdap::BaseType> makeScalar(libdap::Type type, const std::string& name) {
    switch (type) {
    case libdap::dods_byte_c:
        return std::unique_ptr<libdap::BaseType>(new libdap::Byte(name));
    case libdap::dods_int16_c:
        return std::unique_ptr<libdap::BaseType>(new libdap::Int16(name));
    case libdap::dods_uint16_c:
        return std::unique_ptr<libdap::BaseType>(new libdap::UInt16(name));
    case libdap::dods_int32_c:
        return std::unique_ptr<libdap::BaseType>(new libdap::Int32(name));
    case libdap::dods_uint32_c:
        return std::unique_ptr<libdap::BaseType>(new libdap::UInt32(name));
    case libdap::dods_float32_c:
        return std::unique_ptr<libdap::BaseType>(new libdap::Float32(name));
    case libdap::dods_float64_c:
        return std::unique_ptr<libdap::BaseType>(new libdap::Float64(name));
    default:
        return std::unique_ptr<libdap::BaseType>(new libdap::Str(name));
    }
}

// Text of `n` characters up to its first NUL: netCDF pads strings with NULs.
std::string cutAtNul(const char* p, std::size_t n) {
    std::size_t len = 0;
    while (len < n && p[len] != '\0')
        ++len;
    return std::string(p, len);
}

// Reads the strings of the hyperslab start/count/stride. For NC_CHAR the netCDF variable has
// one more dimension than the DAP array: the characters of each string, read whole.
std::vector<std::string> readStrings(int ncid, int varid, nc_type type, std::vector<size_t> start,
                                     std::vector<size_t> count, std::vector<ptrdiff_t> stride,
                                     std::size_t n) {
    std::vector<std::string> out;
    out.reserve(n);
    if (type == NC_STRING) {
        std::vector<char*> p(n, nullptr);
        if (n > 0)
            check(nc_get_vars_string(ncid, varid, start.data(), count.data(), stride.data(),
                                     p.data()),
                  "read");
        for (char* s : p)
            out.push_back(s ? s : "");
        if (n > 0) nc_free_string(n, p.data());
        return out;
    }
    int ndims = 0;
    check(nc_inq_varndims(ncid, varid, &ndims), "read");
    std::vector<int> dims(static_cast<std::size_t>(ndims));
    check(nc_inq_vardimid(ncid, varid, dims.data()), "read");
    std::size_t width = 1;
    if (ndims > 0) check(nc_inq_dimlen(ncid, dims.back(), &width), "read");
    if (ndims > 0) {
        start.push_back(0);
        count.push_back(width);
        stride.push_back(1);
    }
    std::vector<char> text(n * width);
    if (!text.empty())
        check(nc_get_vars_text(ncid, varid, start.data(), count.data(), stride.data(), text.data()),
              "read");
    for (std::size_t i = 0; i < n; ++i)
        out.push_back(cutAtNul(text.data() + i * width, width));
    return out;
}

// An array whose values come from the netCDF variable when libdap asks for them, limited to
// the hyperslab of the constraint.
class NcArray : public libdap::Array {
public:
    NcArray(const std::string& name, libdap::BaseType* proto, int ncid, int varid, nc_type type)
        : libdap::Array(name, proto), ncid_(ncid), varid_(varid), type_(type) {}

    libdap::BaseType* ptr_duplicate() override { return new NcArray(*this); }

    bool read() override {
        if (read_p()) return true;
        std::vector<size_t> start, count;
        std::vector<ptrdiff_t> stride;
        std::size_t n = 1;
        for (auto d = dim_begin(); d != dim_end(); ++d) {
            start.push_back(static_cast<size_t>(dimension_start(d, true)));
            count.push_back(static_cast<size_t>(dimension_size(d, true)));
            stride.push_back(dimension_stride(d, true));
            n *= count.back();
        }
        if (type_ == NC_CHAR || type_ == NC_STRING) {
            std::vector<std::string> values =
                readStrings(ncid_, varid_, type_, start, count, stride, n);
            set_value(values, static_cast<int>(n));
        } else {
            std::size_t size = 0;
            check(nc_inq_type(ncid_, type_, nullptr, &size), "read");
            // The DAP2 types chosen have the netCDF types' widths, so the values are read in
            // the variable's own type and handed over as they are.
            std::vector<char> buffer(n * size);
            if (n > 0)
                check(nc_get_vars(ncid_, varid_, start.data(), count.data(), stride.data(),
                                  buffer.data()),
                      "read " + name());
            val2buf(buffer.data());
        }
        set_read_p(true);
        return true;
    }

private:
    int ncid_;
    int varid_;
    nc_type type_;
};

// A variable without DAP dimensions: its single value is read now.
std::unique_ptr<libdap::BaseType> makeScalarVar(int ncid, int varid, nc_type type,
                                                libdap::Type dtype, const std::string& name) {
    std::unique_ptr<libdap::BaseType> var = makeScalar(dtype, name);
    if (dtype == libdap::dods_str_c) {
        std::vector<std::string> s = readStrings(ncid, varid, type, {}, {}, {}, 1);
        var->val2buf(&s[0]);
    } else {
        std::vector<char> buffer(8);
        check(nc_get_var(ncid, varid, buffer.data()), "read " + name);
        var->val2buf(buffer.data());
    }
    var->set_read_p(true);
    return var;
}

std::string number(double x, int digits) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
    char text[40];
    std::snprintf(text, sizeof text, "%.*g", digits, x);
    return text;
}

std::string quoted(const std::string& s) {
    return "\"" + libdap::escattr(s) + "\"";
}

void addAttribute(libdap::AttrTable& table, int ncid, int varid, int index) {
    std::string name;
    check(NcAttName(ncid, varid, index, name), "attribute name");
    nc_type type = NC_NAT;
    size_t len = 0;
    check(nc_inq_att(ncid, varid, name.c_str(), &type, &len), "attribute");
    std::vector<std::string> values;
    std::string dtype;
    switch (type) {
    case NC_CHAR: {
        std::vector<char> text(len + 1, '\0');
        check(nc_get_att_text(ncid, varid, name.c_str(), text.data()), "attribute");
        // Trailing NULs are padding; DAS strings cannot hold them.
        while (len > 0 && text[len - 1] == '\0')
            --len;
        values.push_back(quoted(std::string(text.data(), len)));
        dtype = "String";
        break;
    }
    case NC_STRING: {
        std::vector<char*> p(len, nullptr);
        check(nc_get_att_string(ncid, varid, name.c_str(), p.data()), "attribute");
        for (char* s : p)
            values.push_back(quoted(s ? s : ""));
        nc_free_string(len, p.data());
        dtype = "String";
        break;
    }
    case NC_BYTE:
    case NC_UBYTE:
    case NC_SHORT:
    case NC_USHORT:
    case NC_INT:
    case NC_UINT:
    case NC_FLOAT:
    case NC_DOUBLE: {
        std::vector<double> v(len);
        if (len > 0) check(nc_get_att_double(ncid, varid, name.c_str(), v.data()), "attribute");
        for (double x : v) {
            // A signed byte is sent as the unsigned byte with the same bits.
            if (type == NC_BYTE && x < 0) x += 256;
            values.push_back(number(x, type == NC_FLOAT ? 9 : 17));
        }
        static const char* const names[] = {"",        "Byte",    "String", "Int16",  "Int32",
                                            "Float32", "Float64", "Byte",   "UInt16", "UInt32"};
        dtype = names[type];
        break;
    }
    default:
        return; // 64-bit integers and user types have no DAP2 attribute type
    }
    if (values.empty()) return;
    table.append_attr(name, dtype, &values);
}

void addAttributes(libdap::AttrTable& table, int ncid, int varid) {
    int natts = 0;
    check(nc_inq_varnatts(ncid, varid, &natts), "attributes");
    for (int i = 0; i < natts; ++i)
        addAttribute(table, ncid, varid, i);
}

} // namespace

void buildDds(int ncid, libdap::DDS& dds) {
    int nvars = 0;
    check(nc_inq_nvars(ncid, &nvars), "variables");
    for (int varid = 0; varid < nvars; ++varid) {
        if (!served(ncid, varid)) continue;
        const std::string name = varName(ncid, varid);
        nc_type type = NC_NAT;
        check(nc_inq_vartype(ncid, varid, &type), "variable type");
        const libdap::Type dtype = dapType(type);
        const std::vector<int> dims = dapDims(ncid, varid, type);
        if (dims.empty()) {
            dds.add_var_nocopy(makeScalarVar(ncid, varid, type, dtype, name).release());
            continue;
        }
        std::unique_ptr<libdap::BaseType> proto = makeScalar(dtype, name);
        std::unique_ptr<NcArray> array(new NcArray(name, proto.get(), ncid, varid, type));
        for (int dim : dims) {
            std::string dimName;
            size_t len = 0;
            check(NcDimName(ncid, dim, dimName, len), "dimension");
            array->append_dim(static_cast<int>(len), dimName);
        }
        dds.add_var_nocopy(array.release());
    }
}

void buildDas(int ncid, libdap::DAS& das) {
    int nvars = 0;
    check(nc_inq_nvars(ncid, &nvars), "variables");
    libdap::AttrTable* global = das.add_table("NC_GLOBAL", new libdap::AttrTable);
    addAttributes(*global, ncid, NC_GLOBAL);
    int unlimited = -1;
    check(nc_inq_unlimdim(ncid, &unlimited), "unlimited dimension");
    if (unlimited >= 0) {
        std::string dimName;
        size_t len = 0;
        check(NcDimName(ncid, unlimited, dimName, len), "dimension");
        libdap::AttrTable* extra = das.add_table("DODS_EXTRA", new libdap::AttrTable);
        extra->append_attr("Unlimited_Dimension", "String", quoted(dimName));
    }
    for (int varid = 0; varid < nvars; ++varid) {
        if (!served(ncid, varid)) continue;
        nc_type type = NC_NAT;
        check(nc_inq_vartype(ncid, varid, &type), "variable type");
        libdap::AttrTable* table = das.add_table(varName(ncid, varid), new libdap::AttrTable);
        addAttributes(*table, ncid, varid);
        // The client holds the classic types only; the unsigned ones arrive as the signed type
        // of their width, marked as netCDF-3 marks unsigned data.
        if ((type == NC_UBYTE || type == NC_USHORT || type == NC_UINT) &&
            table->get_attr("_Unsigned").empty())
            table->append_attr("_Unsigned", "String", quoted("true"));
        if (type == NC_CHAR) {
            // The length and name of the strings' dimension, so that the client rebuilds it.
            int ndims = 0;
            check(nc_inq_varndims(ncid, varid, &ndims), "variable");
            if (ndims > 0) {
                std::vector<int> dims(static_cast<std::size_t>(ndims));
                check(nc_inq_vardimid(ncid, varid, dims.data()), "variable");
                std::string dimName;
                size_t len = 0;
                check(NcDimName(ncid, dims.back(), dimName, len), "dimension");
                table->append_attr("DODS.strlen", "Int32", std::to_string(len));
                table->append_attr("DODS.dimName", "String", quoted(dimName));
            }
        }
    }
}
