// The five summaries: the texts of a small dataset whose every line is known, the size texts
// at their thresholds, and the boxes the procedures fill.
#include "viewer/shell/Summaries.h"
#include "tests/viewer/ViewerDatasetFixture.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

class SummariesTest : public ViewerDatasetFixture {
protected:
    void SetUp() override {
        ViewerDatasetFixture::SetUp();
        path = WriteSmallFixture(dir.file("sst.nc"));
        ASSERT_TRUE(NewKelvad());
        ASSERT_EQ(Data.clsNC->Initialize(path), 1) << Data.clsNC->ErrorMessage();
    }
    std::string path;
};

TEST_F(SummariesTest, DimensionsCarryTheSpacingNotesOfTheirCoordinates) {
    EXPECT_EQ(DimensionsSummary(1), "lon = 4  (dLon= .25)\r\r\n"
                                    "lat = 3  (dLat= 1)\r\r\n"
                                    "time = 2  (dT= 60min)\r\r\n");
}

TEST_F(SummariesTest, VariablesOfEachKind) {
    // Coordinate variables show their last dimension only; sizes of fixed summaries in bytes.
    EXPECT_EQ(VariablesSummary(1), " 1: float lon(lon) 16bytes\r\r\n"
                                   " 2: float lat(lat) 12bytes\r\r\n"
                                   " 3: double time(time) 16bytes\r\r\n");
    // On a grid a scalar is no field: crs is in no summary.
    EXPECT_EQ(FixedVariablesSummary(1), " 5: float h(lat, lon) 48bytes\r\r\n");
    // Record summaries start at kilobytes, even below 1000 bytes.
    EXPECT_EQ(RecordVariablesSummary(1), " 4: short sst(time, lat, lon) 0.05K\r\r\n");
    EXPECT_EQ(ExtraVariablesSummary(1), RecordVariablesSummary(1));
}

TEST_F(SummariesTest, EmptyKindsSayNothingExists) {
    // A slot the object does not hold answers with no dimensions and no variables.
    EXPECT_EQ(FixedVariablesSummary(5), "(No fixed variable exists)");
    EXPECT_EQ(RecordVariablesSummary(5), "(No record variable exists)");
    EXPECT_EQ(ExtraVariablesSummary(5), "(No extra variable exists)");
    EXPECT_EQ(VariablesSummary(5), "");
    EXPECT_EQ(DimensionsSummary(5), "");
}

TEST_F(SummariesTest, StationListHasNoSpacingNotesButItsTimeStep) {
    NcBuilder nc(dir.file("stations.nc"));
    nc.dim("station", 2);
    nc.unlimitedDim("time", 2);
    nc.var("lon", NC_FLOAT, {"station"}).att("units", "degrees_east").values({120.0, 121.0});
    nc.var("lat", NC_FLOAT, {"station"}).att("units", "degrees_north").values({10.0, 11.0});
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "minutes since 2000-01-01 00:00:00")
        .values({0.0, 1.5});
    nc.var("temp", NC_FLOAT, {"time", "station"}).values({1.0, 2.0, 3.0, 4.0});
    nc.write();
    ASSERT_EQ(Data.clsNC->Initialize(dir.file("stations.nc")), 2) << Data.clsNC->ErrorMessage();
    EXPECT_EQ(DimensionsSummary(2), "station = 2\r\r\ntime = 2  (dT= 1.5min)\r\r\n");
}

TEST_F(SummariesTest, VariableNumbersAbove99WidenThePrefix) {
    NcBuilder nc(dir.file("many.nc"));
    nc.dim("lon", 1);
    nc.dim("lat", 1);
    nc.var("lon", NC_FLOAT, {"lon"}).values({1.0});
    nc.var("lat", NC_FLOAT, {"lat"}).values({1.0});
    for (int k = 3; k <= 100; ++k) {
        const std::string number = std::to_string(k);
        nc.var("v" + number, NC_BYTE, {"lat", "lon"}).values({1});
    }
    nc.write();
    ASSERT_EQ(Data.clsNC->Initialize(dir.file("many.nc")), 2) << Data.clsNC->ErrorMessage();
    const std::string text = FixedVariablesSummary(2);
    EXPECT_EQ(text.rfind(" 3: byte v3(lat, lon) 1bytes\r\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\r\n 9: byte v9(lat, lon) 1bytes\r\r\n10: byte v10("),
              std::string::npos);
    EXPECT_NE(text.find("\r\r\n100: byte v100(lat, lon) 1bytes\r\r\n"), std::string::npos);
}

TEST(SummarySizeText, ThresholdsArePowersOf1000TestedOnTheExactQuotient) {
    struct Case {
        float bytes;
        const char* fixed;
        const char* record;
    };
    const Case cases[] = {
        {0, " 0bytes", " 0.00K"},        {500, " 500bytes", " 0.50K"},
        {999, " 999bytes", " 1.00K"},    {1000, " 1.00K", " 1.00K"},
        {1440, " 1.44K", " 1.44K"},      {999999, " 1000.00K", " 1000.00K"},
        {1036800, " 1.0M", " 1.0M"},     {12400000, " 12.4M", " 12.4M"},
        {2.5e9f, " 2500.0M", " 2.5Tra"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FixedSizeText(c.bytes), c.fixed) << c.bytes;
        EXPECT_EQ(RecordSizeText(c.bytes), c.record) << c.bytes;
    }
}

TEST_F(SummariesTest, BoxesShowOneEntryALineAndLetEventsRun) {
    QPlainTextEdit box;
    const int pumped = ui.doEventsCount;
    ListDimensions(&box, 1);
    EXPECT_EQ(box.toPlainText().toStdString(),
              "lon = 4  (dLon= .25)\nlat = 3  (dLat= 1)\ntime = 2  (dT= 60min)\n");
    ListFixedVariables(&box, 5);
    EXPECT_EQ(box.toPlainText().toStdString(), "(No fixed variable exists)");
    EXPECT_EQ(ui.doEventsCount, pumped + 2);
}

} // namespace
