#include "common/NetCDF.h"
#include "kelvadlib/Kelvad.h"
#include "runtime/Strings.h"

// These look-ups read the record only. They do not check the slot or the variable number: a
// number outside the records raises the subscript error for the caller to handle.

std::string Kelvad::GetAttVal(Long nH, const std::string& varName, const std::string& attname) {
    const NcfRec& r = ncf(nH);
    const std::string key = UCase(attname);
    if (!varName.empty()) {
        const std::string name = UCase(varName);
        for (Long n = 1; n <= r.nVars; ++n) {
            const VariRec& v = r.vari(n);
            if (UCase(v.name) != name) continue;
            for (Long i = 1; i <= v.nattri; ++i)
                if (UCase(v.attName(i)) == key) return v.attValue(i);
        }
        return "";
    }
    for (Long i = 1; i <= r.nGatts; ++i)
        if (UCase(r.gAttName(i)) == key) return r.gAttValue(i);
    return "";
}

namespace {

struct UnitWord {
    Long cut;
    const char* word;
};

// A cut longer than its word admits only the word itself; a cut equal to its length admits
// any value that begins with it.
constexpr UnitWord kEastWords[] = {{12, "DEGREES_EAST"}, {12, "DEGREES EAST"}, {11, "DEGREE_E"},
                                   {11, "DEGREES_E"},    {11, "DEGREE_EAST"},  {11, "DEGREE EAST"},
                                   {11, "DEGREESE"},     {11, "DEGREEE"}};
constexpr UnitWord kNorthWords[] = {
    {13, "DEGREES_NORTH"}, {13, "DEGREES NORTH"}, {11, "DEGREE_N"}, {11, "DEGREES_N"},
    {12, "DEGREE_NORTH"},  {12, "DEGREE NORTH"},  {11, "DEGREESN"}, {11, "DEGREEN"}};

} // namespace

bool Kelvad::UnitMatch(Long nH, Long nv, const std::string& EastNorth) {
    const std::string key = UCase(EastNorth);
    if (key != "EAST" && key != "NORTH") return false;
    const auto& words = key == "EAST" ? kEastWords : kNorthWords;
    const VariRec& v = ncf(nH).vari(nv);
    for (Long a = 1; a <= v.nattri; ++a) {
        if (UCase(Left(v.attName(a), 4)) != "UNIT") continue;
        const std::string value = UCase(v.attValue(a));
        for (const UnitWord& w : words)
            if (Left(value, w.cut) == w.word) return true;
    }
    return false;
}

bool Kelvad::RadianUnits(Long nH, Long nv) {
    const VariRec& v = ncf(nH).vari(nv);
    for (Long a = 1; a <= v.nattri; ++a) {
        if (UCase(Left(v.attName(a), 4)) == "UNIT" && RadianUnitText(v.attValue(a))) return true;
    }
    return false;
}

std::string Kelvad::GetAttVbyVarNumbyAttname(Long varNum, const std::string& attname, Long nNc) {
    if (varNum == 0) return GetAttVal(nNc, "", attname);
    const VariRec& v = ncf(nNc).vari(varNum);
    const std::string key = UCase(attname);
    for (Long i = 1; i <= v.nattri; ++i)
        if (UCase(v.attName(i)) == key) return v.attValue(i);
    return "";
}

std::string Kelvad::gAttValbyName(const std::string& varName, Long nNc) {
    return GetAttVal(nNc, "", varName);
}
