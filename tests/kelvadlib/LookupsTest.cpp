// Attribute look-ups by variable name or number, global attributes, and the test of east and
// north units.
#include "RecognitionFixture.h"
#include "tests/support/ErrorOf.h"

#include <vector>

namespace {

class LookupsTest : public RecognitionSlotBase {};

struct UnitRow {
    const char* units;
    bool east;
    bool north;
};

// clang-format off
const UnitRow kUnitRows[] = {
    {"degrees_east", true, false},
    {"Degrees East", true, false},
    {"DEGREES_EAST", true, false},
    {"degree_east", true, false},
    {"degree east", true, false},
    {"degrees_E", true, false},
    {"degree_E", true, false},
    {"degrees_east (WGS84)", true, false}, // the first twelve characters match
    {"degree_eastward", true, false},      // the first eleven
    {"degreeseast", false, false},
    {"degrees-east", false, false},
    {"degree_e remark", false, false},     // only the whole value passes
    {"degrees_e2", false, false},
    {"degrees", false, false},
    {"east", false, false},
    {"", false, false},
    {"degrees_north", false, true},
    {"Degrees North", false, true},
    {"degrees_north_", false, true},
    {"degree_north", false, true},
    {"degree north", false, true},
    {"degree_N", false, true},
    {"degrees_N", false, true},
    {"degreesE", true, false},
    {"degreeE", true, false},
    {"degreesN", false, true},
    {"degreeN", false, true},
    {"degreesE2", false, false},
    {"degree_nort", false, false},
    {"degree_n x", false, false},
    {"degreesnorth", false, false},
    {"m", false, false},
};
// clang-format on

} // namespace

TEST_F(LookupsTest, UnitMatchTableOfUnitTexts) {
    {
        NcBuilder nc(dir.file("units.nc"));
        nc.dim("n", 1);
        int i = 0;
        for (const UnitRow& row : kUnitRows) {
            const std::string number = std::to_string(++i);
            nc.var("v" + number, NC_FLOAT, {"n"}).att("units", row.units);
        }
        loadFile(nc.write());
    }
    Long nv = 0;
    for (const UnitRow& row : kUnitRows) {
        ++nv;
        EXPECT_EQ(k.UnitMatch(1, nv, "East"), row.east) << '\'' << row.units << '\'';
        EXPECT_EQ(k.UnitMatch(1, nv, "North"), row.north) << '\'' << row.units << '\'';
    }
}

TEST_F(LookupsTest, RadianUnits) {
    const std::pair<const char*, bool> rows[] = {
        {"radians", true},
        {"Radian", true},
        {"rad", true},
        {"radians_east", true},
        {"RADIANS_NORTH", true},
        {" radians ", true},
        {"degrees_east", false},
        {"rad/s", false},
        {"radians per second", false},
        {"", false},
    };
    {
        NcBuilder nc(dir.file("radians.nc"));
        nc.dim("n", 1);
        int i = 0;
        for (const auto& [units, rad] : rows) {
            const std::string number = std::to_string(++i);
            nc.var("v" + number, NC_FLOAT, {"n"}).att("units", units);
        }
        nc.var("none", NC_FLOAT, {"n"}).att("long_name", "angle in radians");
        loadFile(nc.write());
    }
    Long nv = 0;
    for (const auto& [units, rad] : rows)
        EXPECT_EQ(k.RadianUnits(1, ++nv), rad) << '\'' << units << '\'';
    EXPECT_FALSE(k.RadianUnits(1, varNo("none"))); // only a unit attribute tells
}

TEST_F(LookupsTest, UnitMatchAttributesAndKeys) {
    NcBuilder nc(dir.file("keys.nc"));
    nc.dim("n", 1);
    nc.var("upper", NC_FLOAT, {"n"}).att("UNITS", "degrees_east");
    nc.var("unit", NC_FLOAT, {"n"}).att("unit", "degrees_east");
    nc.var("longname", NC_FLOAT, {"n"}).att("long_name", "degrees_east");
    nc.var("second", NC_FLOAT, {"n"}).att("units", "m").att("units_alt", "Degrees_North");
    nc.var("none", NC_FLOAT, {"n"});
    nc.var("uni", NC_FLOAT, {"n"}).att("uni", "degrees_east");
    loadFile(nc.write());
    EXPECT_TRUE(k.UnitMatch(1, varNo("upper"), "East"));
    EXPECT_TRUE(k.UnitMatch(1, varNo("unit"), "East"));
    EXPECT_FALSE(k.UnitMatch(1, varNo("longname"), "East"));
    // A unit attribute that matches nothing does not end the search.
    EXPECT_TRUE(k.UnitMatch(1, varNo("second"), "North"));
    EXPECT_FALSE(k.UnitMatch(1, varNo("none"), "East"));
    EXPECT_FALSE(k.UnitMatch(1, varNo("uni"), "East"));
    // The key is taken without case; no other key passes.
    EXPECT_TRUE(k.UnitMatch(1, varNo("upper"), "east"));
    EXPECT_TRUE(k.UnitMatch(1, varNo("upper"), "EAST"));
    EXPECT_FALSE(k.UnitMatch(1, varNo("upper"), "E"));
    EXPECT_FALSE(k.UnitMatch(1, varNo("upper"), "North"));
    EXPECT_FALSE(k.UnitMatch(1, varNo("upper"), ""));
    // Numbers outside the records raise the subscript error for the caller.
    EXPECT_EQ(errorOf([&] { k.UnitMatch(1, 0, "East"); }), 9);
    EXPECT_EQ(errorOf([&] { k.UnitMatch(1, 7, "East"); }), 9);
    EXPECT_EQ(errorOf([&] { k.UnitMatch(2, 1, "East"); }), 9);
    EXPECT_EQ(k.ErrorMessage, "");
}

namespace {

// Two variables whose cleaned names are the same ("a.b" becomes "a_b"): only the second has
// the attribute asked for.
std::string attributeFile(const TempDir& dir) {
    NcBuilder nc(dir.file("atts.nc"));
    nc.dim("n", 2);
    nc.var("a.b", NC_FLOAT, {"n"}).att("units", "m");
    nc.var("a_b", NC_FLOAT, {"n"}).att("units", "cm").att("long_name", "second one");
    nc.var("sst", NC_SHORT, {"n"})
        .att("Units", "degC")
        .att("valid_range", NC_SHORT, {-5, 40})
        .att("scale_factor", 0.5f);
    nc.globalAtt("title", "Test data");
    nc.globalAtt("version", NC_INT, std::vector<int>{3, -4});
    nc.globalAtt("TITLE", "second title");
    return nc.write();
}

} // namespace

TEST_F(LookupsTest, GetAttValByVariableNameAndGlobal) {
    loadFile(attributeFile(dir));
    struct Row {
        const char* var;
        const char* att;
        const char* value;
    };
    const Row rows[] = {
        {"sst", "units", "degC"},
        {"SST", "UNITS", "degC"},
        {"sst", "valid_range", "-5   40"}, // Str forms joined by two blanks
        {"sst", "scale_factor", " .5"},
        {"sst", "missing_value", ""},
        {"a_b", "long_name", "second one"}, // the first a_b lacks it: the search goes on
        {"a_b", "units", "m"},              // the first a_b has it
        {"nosuch", "units", ""},
        {" ", "title", ""}, // a blank is a variable name
        {"", "title", "Test data"},
        {"", "Title", "Test data"}, // the first of the two that match without case
        {"", "version", "3  -4"},   // global values are kept trimmed
        {"", "units", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(k.GetAttVal(1, row.var, row.att), row.value) << row.var << ":" << row.att;
    EXPECT_EQ(k.gAttValbyName("Title", 1), "Test data");
    EXPECT_EQ(k.gAttValbyName("VERSION", 1), "3  -4");
    EXPECT_EQ(k.gAttValbyName("missing", 1), "");
    EXPECT_EQ(k.ErrorMessage, "");
}

TEST_F(LookupsTest, GetAttVbyVarNumbyAttname) {
    loadFile(attributeFile(dir));
    const Long sst = varNo("sst");
    EXPECT_EQ(k.GetAttVbyVarNumbyAttname(sst, "units", 1), "degC");
    EXPECT_EQ(k.GetAttVbyVarNumbyAttname(sst, "VALID_RANGE", 1), "-5   40");
    EXPECT_EQ(k.GetAttVbyVarNumbyAttname(sst, "long_name", 1), "");
    EXPECT_EQ(k.GetAttVbyVarNumbyAttname(1, "units", 1), "m");
    EXPECT_EQ(k.GetAttVbyVarNumbyAttname(0, "title", 1), "Test data");
    EXPECT_EQ(k.GetAttVbyVarNumbyAttname(0, "units", 1), "");
    // Unchecked numbers raise the subscript error for the interface to answer.
    EXPECT_EQ(errorOf([&] { k.GetAttVbyVarNumbyAttname(4, "units", 1); }), 9);
    EXPECT_EQ(errorOf([&] { k.GetAttVbyVarNumbyAttname(-1, "units", 1); }), 9);
    EXPECT_EQ(errorOf([&] { k.GetAttVbyVarNumbyAttname(0, "title", 2); }), 9);
    EXPECT_EQ(errorOf([&] { k.GetAttVal(2, "", "title"); }), 9);
    EXPECT_EQ(errorOf([&] { k.gAttValbyName("title", -1); }), 9);
}

TEST_F(LookupsTest, LookupsOfADatasetWithoutGlobalAttributes) {
    loadCdl("dimensions: n = 2;\nvariables: float x(n);");
    EXPECT_EQ(k.gAttValbyName("title", 1), "");
    EXPECT_EQ(k.GetAttVal(1, "x", "units"), "");
    EXPECT_FALSE(k.UnitMatch(1, 1, "East"));
}
