// Variable classification, the first data variable and the variable lookup by name.
#include "RecognitionFixture.h"
#include "tests/support/ErrorOf.h"

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

class ClassificationTest : public RecognitionSlotBase {};

const char* kSstGrid = "dimensions: time = UNLIMITED; lat = 3; lon = 4;\n"
                       "variables: double time(time); float lat(lat); float lon(lon);\n"
                       "  float sst(time, lat, lon); byte mask(lat, lon);\n"
                       "  float series(time); float u(time, lon, lat); int crs;";

} // namespace

TEST_F(ClassificationTest, ClassifiesTheVariablesOfARegularGrid) {
    loadCdl(kSstGrid);
    ASSERT_EQ(k.PickCoordVariables(1), 1);
    ASSERT_EQ(k.TypeAllVars(1), 1);
    const NcfRec& r = rec();
    EXPECT_EQ(r.nVarsCoord, 3);
    EXPECT_EQ(r.nVarsRecord, 2);
    EXPECT_EQ(r.nVarsFixed, 1);
    EXPECT_EQ(r.vari(varNo("time")).kind, 1);
    EXPECT_EQ(r.vari(varNo("time")).lonlatOrder, -1);
    EXPECT_EQ(r.vari(varNo("sst")).kind, 3);
    EXPECT_EQ(r.vari(varNo("sst")).lonlatOrder, 2);
    EXPECT_EQ(r.vari(varNo("mask")).kind, 2);
    EXPECT_EQ(r.vari(varNo("mask")).lonlatOrder, 2);
    EXPECT_EQ(r.vari(varNo("u")).kind, 3);
    EXPECT_EQ(r.vari(varNo("u")).lonlatOrder, 1);
    // On a grid a series and a scalar are left out.
    EXPECT_EQ(r.vari(varNo("series")).kind, 0);
    EXPECT_EQ(r.vari(varNo("series")).lonlatOrder, -1);
    EXPECT_EQ(r.vari(varNo("crs")).kind, 0);
    EXPECT_EQ(r.lonlatOrder, 3);
    ASSERT_EQ(k.GetVar1st(1), 1);
    EXPECT_EQ(r.Var1st, varNo("sst"));
}

namespace {

struct ClassCase {
    const char* name;
    const char* cdl;
    // variable name and kind, in pairs
    std::vector<std::pair<const char*, Long>> kinds;
    Long nVarsRecord, nVarsFixed, lonlatOrder;
    Long var1stResult;
    const char* var1st; // "" for none
};

std::ostream& operator<<(std::ostream& os, const ClassCase& c) {
    return os << c.name;
}

class VarClassification : public RecognitionSlotBase,
                          public ::testing::WithParamInterface<ClassCase> {};

// clang-format off
const ClassCase kClassCases[] = {
    {"OnlyOrderOne",
     "dimensions: time = UNLIMITED; lat = 3; lon = 4;\n"
     "variables: float lat(lat); float lon(lon); float u(time, lon, lat);",
     {{"u", 3}}, 1, 0, 1, 1, "u"},
    {"NoHorizontalPair",
     "dimensions: time = UNLIMITED; lat = 3; lon = 4; a = 2; b = 2;\n"
     "variables: float lat(lat); float lon(lon); float w(time, a, b);",
     {{"w", 3}}, 1, 0, 0, 1, "w"},
    {"CellListClassifiesSeries",
     "dimensions: time = UNLIMITED; station = 3;\n"
     "variables: double time(time); float lon(station); float lat(station);\n"
     "  float temp(time, station); float elev(station); float series(time);",
     {{"lon", 2}, {"temp", 3}, {"elev", 2}, {"series", 3}}, 2, 3, 0, 1, "temp"},
    {"UnlimitedDimensionThatIsNotTime",
     "dimensions: rec = UNLIMITED; time = 2; station = 3;\n"
     "variables: double time(time); float lon(station); float lat(station);\n"
     "  float a(time, station); float b(rec, station);",
     {{"a", 2}, {"b", 3}}, 1, 3, 0, 1, "b"},
    {"NeitherUnlimitedNorTimeGivesFixedOnly",
     "dimensions: station = 3; z = 2;\n"
     "variables: float lon(station); float lat(station); float t(z, station);",
     {{"lon", 2}, {"lat", 2}, {"t", 2}}, 0, 3, 0, 1, "lon"},
    // Without dimensions a variable has no record dimension, even when the record
    // dimension's id is 0.
    {"DimensionlessVariableIsFixed",
     "dimensions: time = UNLIMITED; station = 3;\n"
     "variables: int crs; double time(time); float lon(station); float lat(station);\n"
     "  float temp(time, station);",
     {{"crs", 2}, {"temp", 3}}, 1, 3, 0, 1, "temp"},
    {"BoundaryFittedIndexOrder",
     "dimensions: time = UNLIMITED; y = 3; x = 4;\n"
     "variables: float lon(y, x); float lat(y, x); float h(time, y, x); float g(x, y);",
     {{"lon", 2}, {"h", 3}, {"g", 2}}, 1, 3, 3, 1, "h"},
    {"OnlyCoordinateVariables",
     "dimensions: lat = 3; lon = 4;\nvariables: float lat(lat); float lon(lon);",
     {{"lat", 1}, {"lon", 1}}, 0, 0, 0, 0, ""},
};
// clang-format on

} // namespace

TEST_P(VarClassification, SortsKindsAndOrders) {
    const ClassCase& c = GetParam();
    loadCdl(c.cdl);
    ASSERT_EQ(k.PickCoordVariables(1), 1) << k.ErrorMessage;
    ASSERT_EQ(k.TypeAllVars(1), 1);
    const NcfRec& r = rec();
    for (const auto& [name, kind] : c.kinds)
        EXPECT_EQ(r.vari(varNo(name)).kind, kind) << name;
    EXPECT_EQ(r.nVarsRecord, c.nVarsRecord);
    EXPECT_EQ(r.nVarsFixed, c.nVarsFixed);
    EXPECT_EQ(r.lonlatOrder, c.lonlatOrder);
    EXPECT_EQ(k.GetVar1st(1), c.var1stResult);
    EXPECT_EQ(r.Var1st, std::string(c.var1st).empty() ? -1 : varNo(c.var1st));
}

INSTANTIATE_TEST_SUITE_P(Cases, VarClassification, ::testing::ValuesIn(kClassCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(ClassificationTest, ClassificationAndFirstVariableCatchASlotOutsideTheRecords) {
    const std::string frame = "Error message (number 9)is:\r\n\"Subscript out of range\"";
    EXPECT_EQ(k.TypeAllVars(2), -1);
    EXPECT_EQ(k.ErrorMessage, frame);
    k.ErrorMessage.clear();
    EXPECT_EQ(k.GetVar1st(2), -1);
    EXPECT_EQ(k.ErrorMessage, frame);
}

TEST_F(ClassificationTest, GetVar1stPrefersRecordVariablesOverEarlierFixedOnes) {
    loadCdl("dimensions: time = UNLIMITED; station = 3;\n"
            "variables: float lon(station); float lat(station); float depth(station);\n"
            "  float temp(time, station);");
    ASSERT_EQ(k.PickCoordVariables(1), 1);
    ASSERT_EQ(k.TypeAllVars(1), 1);
    EXPECT_EQ(k.GetVar1st(1), 1);
    EXPECT_EQ(rec().Var1st, varNo("temp"));
}

TEST_F(ClassificationTest, GetVarNumComparesWithoutCase) {
    loadCdl("dimensions: n = 2;\n"
            "variables: float x(n); float sst(n); float SST(n); float Sst_2(n);");
    struct Row {
        const char* name;
        Long expected;
    };
    const Row rows[] = {{"sst", 2},  {"SST", 2},  {"sSt", 2}, {"sst_2", 4},
                        {" sst", 0}, {"sst ", 0}, {"", 0},    {"ss", 0}};
    for (const Row& row : rows) {
        const Variant v = k.getVarNum(1, row.name);
        EXPECT_EQ(v.toLong(), row.expected) << '"' << row.name << '"';
        // A hit is a Long, "none" an Integer 0.
        EXPECT_EQ(v.type(), row.expected ? Variant::Type::kLong : Variant::Type::kInteger);
    }
    EXPECT_EQ(errorOf([&] { k.getVarNum(2, "sst"); }), 9);
}
