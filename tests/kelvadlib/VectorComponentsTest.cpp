// The choice of the water and wind pairs and of the water temperature.
#include "RecognitionFixture.h"
#include "kelvadlib/NCUtils.h"
#include "tests/support/ErrorOf.h"

#include <ostream>

namespace {

class VectorComponentsTest : public RecognitionSlotBase {};

struct VectorCase {
    const char* name;
    const char* cdl; // variables over dimension n, plus any attributes
    Integer result;
    // Names of the chosen variables, "" for none.
    const char* waterU;
    const char* waterV;
    const char* windU;
    const char* windV;
    const char* temp;
    Long vector;
    Long gridType = kGridNone; // set by hand, as recognition would
};

std::ostream& operator<<(std::ostream& os, const VectorCase& c) {
    return os << c.name;
}

class VectorChoice : public RecognitionSlotBase,
                     public ::testing::WithParamInterface<VectorCase> {};

// clang-format off
const VectorCase kVectorCases[] = {
    {"WaterPair",
     "float u(n); u:long_name = \"eastward current\"; float v(n);",
     1, "u", "v", "", "", "", 1},
    {"DataTypeWinds",
     "float u(n); float v(n); :data_type = \"winds\";",
     1, "", "", "u", "v", "", 2},
    {"DataTypeIsCaseSensitive",
     "float u(n); float v(n); :data_type = \"Winds\";",
     1, "u", "v", "", "", "", 1},
    {"DataTypeOtherCaseWithWindLongName",
     "float u(n); u:long_name = \"zonal wInD\"; float v(n); :data_type = \"Winds\";",
     1, "", "", "u", "v", "", 2},
    {"LongNameSaysWind",
     "float u(n); u:long_name = \"Surface Wind U component\"; float v(n);",
     1, "", "", "u", "v", "", 2},
    {"BothPairsByName",
     "float water_u(n); float water_v(n); float wind_u(n); float wind_v(n);",
     1, "water_u", "water_v", "wind_u", "wind_v", "", 1},
    {"SharedNamesGoToWater",
     "float u(n); float v(n); float air_u(n); float air_V(n); :data_type = \"winds\";",
     1, "u", "v", "air_u", "air_V", "", 1},
    {"OnlyWind",
     "float wind_u(n); float wind_v(n);",
     1, "", "", "wind_u", "wind_v", "", 2},
    {"UWithoutV",
     "float u(n); u:long_name = \"wind\";",
     1, "u", "", "", "", "", 0}, // u is taken as water, so not again as wind
    {"OnlyTemperature",
     "float temp(n);",
     1, "", "", "", "", "temp", 0},
    {"TemperatureWithPair",
     "float temperature(n); float UVEL(n); float vvel(n);",
     1, "UVEL", "vvel", "", "", "temperature", 1},
    {"NothingMatches",
     "float speed(n); float dir(n);",
     -1, "", "", "", "", "", 0},
    {"GmtValueVariable",
     "float z(xysize); float u(n); float v(n);",
     1, "", "", "", "", "z", 0, kGridGmt},
    {"GmtWithoutValueVariableSearchesNames",
     "float u(n); float v(n);",
     1, "u", "v", "", "", "", 1, kGridGmt},
    {"ValueOverXysizeOnlyCountsOnGmt",
     "float z(xysize); float u(n); float v(n);",
     1, "u", "v", "", "", "", 1, kGridRegular},
};
// clang-format on

} // namespace

TEST_P(VectorChoice, PicksThePairs) {
    const VectorCase& c = GetParam();
    loadCdl(std::string("dimensions: n = 2; xysize = 4;\nvariables: ") + c.cdl);
    NcfRec& r = rec();
    r.GridType = c.gridType;
    const Variant result = k.doPickUVVariables(1);
    EXPECT_EQ(result.type(), Variant::Type::kInteger);
    EXPECT_EQ(result.toInteger(), c.result);
    auto id = [&](const char* name) { return std::string(name).empty() ? -1 : varNo(name); };
    EXPECT_EQ(r.waterUvId, id(c.waterU));
    EXPECT_EQ(r.waterVvId, id(c.waterV));
    EXPECT_EQ(r.windUvId, id(c.windU));
    EXPECT_EQ(r.windVvId, id(c.windV));
    EXPECT_EQ(r.waterTempvId, id(c.temp));
    EXPECT_EQ(r.Vector, c.vector);
    EXPECT_EQ(k.ErrorMessage, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, VectorChoice, ::testing::ValuesIn(kVectorCases),
                         [](const auto& p) { return std::string(p.param.name); });

// A run that finds nothing leaves no pair of an earlier run or of SetVector behind.
TEST_F(VectorComponentsTest, FailedVectorSearchLeavesNoStalePair) {
    loadCdl("dimensions: n = 2;\nvariables: float speed(n); float direction(n);");
    NcfRec& r = rec();
    r.Vector = 1;
    r.waterUvId = 1;
    r.waterVvId = 2;
    EXPECT_EQ(k.doPickUVVariables(1).toInteger(), -1);
    EXPECT_EQ(r.Vector, 0);
    EXPECT_EQ(r.waterUvId, -1);
    EXPECT_EQ(r.waterVvId, -1);
}

TEST_F(VectorComponentsTest, VectorChoiceFollowsTheListsAsTheyStand) {
    loadCdl("dimensions: n = 2;\nvariables: float speed_e(n); float speed_n(n);");
    EXPECT_EQ(k.doPickUVVariables(1).toInteger(), -1);
    AddToAliasList(k.waterUaKa, "speed_e");
    AddToAliasList(k.waterVaKa, "speed_n");
    EXPECT_EQ(k.doPickUVVariables(1).toInteger(), 1);
    EXPECT_EQ(rec().waterUvId, 1);
    EXPECT_EQ(rec().waterVvId, 2);
    EXPECT_EQ(rec().Vector, 1);
}

TEST_F(VectorComponentsTest, VectorChoiceOfASlotOutsideTheRecordsRaises) {
    EXPECT_EQ(errorOf([&] { k.doPickUVVariables(1); }), 9);
}
