#include "viewer/export/AttributeCopier.h"

#include "common/Ui.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/export/NcWriter.h"
#include "viewer/map/SharedState.h"

#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";

bool classicType(nc_type t) {
    return t >= NC_BYTE && t <= NC_DOUBLE;
}

void leftOut(int outVar, const std::string& varName, const std::string& attName, nc_type type) {
    std::string text = std::string("Variable-Type of Attribute not expected:") + kCrLf + kCrLf;
    text += outVar == NC_GLOBAL ? std::string("Global attributes: ") + kCrLf
                                : "Variable Name = " + varName + kCrLf;
    text += "Attribute Name = " + attName + kCrLf + "Tyep Number = " + Str(Long{type});
    ui().MsgBox(text, kOkOnly, kProgramTitle);
}

// The one value of an NC_STRING attribute; false when it holds another number of values.
bool singleString(int src, int var, const std::string& name, std::size_t len, std::string& out) {
    if (len != 1) return false;
    char* value = nullptr;
    NcCheck(nc_get_att_string(src, var, name.c_str(), &value), "nc_get_att_string " + name);
    out = value ? value : "";
    nc_free_string(1, &value);
    return true;
}

// The attributes that describe values as stored: scale and offset, and the marks and limits
// given in the stored numbers.
bool packingAttribute(const std::string& name) {
    for (const char* packed : {"scale_factor", "add_offset", "_Unsigned", "_FillValue",
                               "missing_value", "valid_range", "valid_min", "valid_max"})
        if (name == packed) return true;
    return false;
}

} // namespace

void CopyAttributes(const NcSource& src, int srcVar, NcOut& out, int outVar,
                    const std::string& varName, const AttCopyRules& rules) {
    const int n = src.attCount(srcVar);
    for (int a = 0; a < n; ++a) {
        const std::string name = src.attName(srcVar, a);
        if (rules.unpacked && packingAttribute(name)) continue;
        nc_type type = NC_NAT;
        std::size_t len = 0;
        NcCheck(nc_inq_att(src.id(), srcVar, name.c_str(), &type, &len), "nc_inq_att " + name);

        std::string text;
        bool isText = type == NC_CHAR;
        if (type == NC_STRING) {
            if (!singleString(src.id(), srcVar, name, len, text)) {
                leftOut(outVar, varName, name, type);
                continue;
            }
            isText = true;
        } else if (!classicType(type)) {
            leftOut(outVar, varName, name, type);
            continue;
        }

        if (isText && !rules.unitsText.empty() && UCase(Left(name, 4)) == "UNIT") {
            out.PutAttText(outVar, name, rules.unitsText);
        } else if (type == NC_STRING) {
            out.PutAttText(outVar, name, text);
        } else if (name == "_FillValue" && rules.retype != NC_NAT && rules.retype != type) {
            std::vector<double> values(len);
            NcCheck(nc_get_att_double(src.id(), srcVar, name.c_str(), values.data()),
                    "nc_get_att_double " + name);
            out.PutAttDouble(outVar, name, rules.retype, values);
        } else {
            out.CopyAtt(src.id(), srcVar, name, outVar);
        }
    }
}
