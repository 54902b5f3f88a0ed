// The subset description: the rows read and recounted, every row checked against its
// dimension before a writer could start, the time rows held within the steps there are, the
// coordinate cuts in degrees (Mercator mode too) and built anew each time, cell lists and GMT
// grids over all their points, the picks of a second file on the main dataset's dimensions,
// and the recount of the order window's rows with the size of the cut.
#include "tests/support/VArrayItems.h"
#include "tests/viewer/export/ExportFixture.h"

#include "viewer/export/SubsetDescription.h"

namespace {

using Strings = std::vector<std::string>;
using Longs = std::vector<Long>;

class SubsetDescriptionTest : public ExportFixture {
protected:
    void loadGrid() { load(ExportGridFixture(dir.file("grid.nc"))); }
};

TEST_F(SubsetDescriptionTest, RowsAreReadRecountedAndCutTheAxes) {
    loadGrid();
    pick({"temp"});
    row(1, " 2", "4.5", " 2"); // 4.5 rounds to 4
    row(2, 2, 3, 1);
    row(3, 3, 10 - 4, 3);                     // 3 and 6
    row(4, "  1", "8", "3x");                 // 1, 4, 7
    defaultExportHost().rows[0].count = "99"; // the count box is not read
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    EXPECT_EQ(messages(), Strings{});
    EXPECT_EQ(items(sd.dimIds), (Longs{0, 1, 2, 3}));
    EXPECT_EQ(items(sd.startSub), (Longs{2, 2, 3, 1}));
    EXPECT_EQ(items(sd.endSub), (Longs{4, 3, 6, 8}));
    EXPECT_EQ(items(sd.strideSub), (Longs{2, 1, 3, 3}));
    EXPECT_EQ(items(sd.countSub), (Longs{2, 2, 2, 3}));
    EXPECT_EQ(sd.valueCount(), 24);
    ASSERT_EQ(sd.SubsetDims.size(), 4u);
    EXPECT_EQ(sd.SubsetDims(1).dimeName, "time");
    EXPECT_EQ(sd.SubsetDims(1).dimeUnLimited, 1);
    Longs sizes;
    for (Long k = 1; k <= 4; ++k)
        sizes.push_back(sd.SubsetDims(k).dimeSize);
    EXPECT_EQ(sizes, (Longs{2, 2, 2, 3}));
    EXPECT_EQ(items(sd.timeSub), (std::vector<double>{6, 18}));
    EXPECT_EQ(sd.nTimeSub, 2);
    EXPECT_EQ(items(sd.levelSub), (std::vector<double>{10, 20}));
    EXPECT_EQ(items(sd.latSub), (std::vector<float>{12, 15}));
    EXPECT_EQ(sd.nLatSub, 2);
    EXPECT_EQ(items(sd.lonSub), (std::vector<float>{100, 103, 106}));
    EXPECT_EQ(sd.nLonSub, 3);
}

// Axes the first pick does not run along are taken whole; another dimension is cut without
// touching the level cut.
TEST_F(SubsetDescriptionTest, AxesOutsideThePickGoWholeAndOtherDimensionsKeepTheLevels) {
    NcBuilder nc(dir.file("ens.nc"));
    nc.dim("time", 2);
    nc.dim("member", 4);
    nc.dim("depth", 3);
    nc.dim("lat", 2);
    nc.dim("lon", 3);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2000-01-01").values({0.0, 1.0});
    nc.var("depth", NC_FLOAT, {"depth"}).att("positive", "down").values({5.0, 15.0, 25.0});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({1.0, 2.0});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({1.0, 2.0, 3.0});
    nc.var("t", NC_FLOAT, {"member", "lat", "lon"}).values(std::vector<double>(24, 1.0));
    nc.var("d", NC_FLOAT, {"depth", "lat", "lon"}).values(std::vector<double>(18, 1.0));
    load(nc.write());
    pick({"t"});
    row(1, 2, 4, 2);
    row(2, 1, 2, 1);
    row(3, 1, 3, 1);
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    EXPECT_EQ(sd.SubsetDims(2).dimeName, "member");
    EXPECT_EQ(sd.SubsetDims(2).dimeSize, 2);
    EXPECT_EQ(items(sd.levelSub), (std::vector<double>{5, 15, 25}));
    EXPECT_EQ(sd.nLevelSub, 3);
    EXPECT_EQ(items(sd.timeSub), (std::vector<double>{0, 1}));
    EXPECT_EQ(sd.SubsetDims(3).dimeSize, 3);
}

// Every row is checked before a writer runs: a row that does not describe a cut of its
// dimension is refused with its message, and the description keeps nothing of a build before.
TEST_F(SubsetDescriptionTest, ARowOutsideItsDimensionIsRefused) {
    loadGrid();
    pick({"temp"});
    struct Case {
        Long d;
        const char* start;
        const char* end;
        const char* step;
        std::string message;
    };
    const std::string head = "[SubSetNcDomain] " + std::string(kRowRangeText) + "\r\n\r\n";
    const Case cases[] = {
        {3, "0", "6", "1",
         head + "dimension lat: start 0, end 6, step 1\r\nThe start must be 1 or more."},
        {3, "-2", "6", "1",
         head + "dimension lat: start-2, end 6, step 1\r\nThe start must be 1 or more."},
        {4, "1", "8", "0",
         head + "dimension lon: start 1, end 8, step 0\r\nThe step must be 1 or more."},
        {4, "1", "8", "-1",
         head + "dimension lon: start 1, end 8, step-1\r\nThe step must be 1 or more."},
        {4, "5", "3", "1",
         head +
             "dimension lon: start 5, end 3, step 1\r\nNo index lies from the start to the end."},
        {4, "1", "9", "1",
         head + "dimension lon: start 1, end 9, step 1\r\nThe end lies beyond the 8 values of the "
                "dimension."},
        {2, "4", "4", "1",
         head + "dimension depth: start 4, end 4, step 1\r\nThe start lies beyond the 3 values of "
                "the dimension."},
        {1, "6", "9", "1",
         head + "dimension time: start 6, end 9, step 1\r\nThe start lies beyond the 5 values of "
                "the dimension."},
        {1, "", "", "",
         head + "dimension time: start 0, end 0, step 0\r\nThe start must be 1 or more."},
        {4, "1e12", "8", "1", "[SubsetNcDomain] Error(# 6):\r\n\r\n\"Overflow\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        wholeRows();
        SubsetDescription sd;
        ASSERT_EQ(SubSetNcDomain(sd), 1);
        row(c.d, c.start, c.end, c.step);
        ui.boxes.clear();
        EXPECT_EQ(SubSetNcDomain(sd), 0);
        EXPECT_EQ(messages(), Strings{c.message});
        EXPECT_EQ(sd.nTimeSub, 0);
        EXPECT_FALSE(sd.lonSub.IsAllocated());
    }
    // An end beyond the dimension whose last index taken lies inside it is a cut.
    wholeRows();
    row(4, 2, 9, 2); // 2, 4, 6, 8
    ui.boxes.clear();
    SubsetDescription sd;
    EXPECT_EQ(SubSetNcDomain(sd), 1) << testing::PrintToString(messages());
    EXPECT_EQ(sd.countSub(4), 4);
}

// Time rows reaching past the last step take the steps there are.
TEST_F(SubsetDescriptionTest, TimeRowsAreHeldWithinTheSteps) {
    loadGrid();
    pick({"temp"});
    wholeRows();
    row(1, 2, 20, 2);
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    EXPECT_EQ(sd.endSub(1), 5);
    EXPECT_EQ(sd.countSub(1), 2);
    EXPECT_EQ(sd.nTimeSub, 2);
    EXPECT_EQ(sd.SubsetDims(1).dimeSize, 2);
    EXPECT_EQ(items(sd.timeSub), (std::vector<double>{6, 18}));
}

TEST_F(SubsetDescriptionTest, MercatorCutsAreInDegrees) {
    useSettings("[parameters]\r\nProjection=1\r\n");
    View.Projection = 1;
    loadGrid();
    pick({"temp"});
    wholeRows();
    row(4, 2, 2, 1);
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    ASSERT_EQ(sd.nLonSub, 1);
    EXPECT_FLOAT_EQ(Data.lonV(2), static_cast<float>(101 * kDegToRad));
    EXPECT_EQ(sd.lonSub(1), static_cast<float>(Data.lonV(2) / kDegToRad));
    EXPECT_NEAR(sd.lonSub(1), 101.0f, 1e-4f);
}

// Nothing of an earlier dataset survives: a dataset without levels has no level cut.
TEST_F(SubsetDescriptionTest, EachBuildStartsFromNothing) {
    loadGrid();
    pick({"temp"});
    wholeRows();
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    ASSERT_EQ(sd.nLevelSub, 3);
    ReleaseKelvad();
    load(sample("stations.nc"));
    pick({"temp"});
    wholeRows();
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    EXPECT_EQ(sd.nLevelSub, 0);
    EXPECT_FALSE(sd.levelSub.IsAllocated());
    EXPECT_EQ(sd.rank(), 2);
    Data.PickCount = 0;
    EXPECT_EQ(SubSetNcDomain(sd), 0);
    EXPECT_EQ(sd.rank(), 0);
    EXPECT_EQ(messages(), Strings{});
}

// A cell list and a GMT grid go over all their points whatever their rows say; the cuts hold
// every coordinate.
TEST_F(SubsetDescriptionTest, CellListsAndGmtGridsTakeAllTheirPoints) {
    load(sample("stations.nc"));
    pick({"temp"});
    row(1, 2, 3, 1);
    row(2, 5, 9, 2);
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    EXPECT_EQ(items(sd.countSub), (Longs{2, 36}));
    EXPECT_EQ(items(sd.startSub), (Longs{2, 1}));
    EXPECT_EQ(sd.nLonSub, 36);
    EXPECT_EQ(sd.lonSub(36), Data.lonV(36));

    ReleaseKelvad();
    load(sample("gmt_grid.nc"));
    pick({"z"});
    row(1, 10, 20, 3);
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    EXPECT_EQ(items(sd.countSub), Longs{8181});
    EXPECT_EQ(sd.nLonSub, Data.clsNC->nLon(1));
    EXPECT_EQ(sd.nLatSub, Data.clsNC->nLat(1));
    EXPECT_EQ(messages(), Strings{});
}

TEST_F(SubsetDescriptionTest, AMeshIsNotReadyYet) {
    load(sample("fe_mesh.nc"));
    pick({"zeta"});
    SubsetDescription sd;
    EXPECT_EQ(SubSetNcDomain(sd), 1);
    EXPECT_EQ(messages(), Strings{"[SubSetNcDomain] not ready for fe mesh type"});
}

// A pick of the second file is described over the main dataset's dimensions of the same names
// and lengths, whatever their ids in its own file.
TEST_F(SubsetDescriptionTest, SecondFileDimensionsAreTheMainOnesOfTheirName) {
    NcBuilder nc(dir.file("second.nc"));
    nc.dim("lon", 8);
    nc.dim("lat", 6);
    nc.dim("depth", 3);
    nc.unlimitedDim("time", 5);
    nc.var("u", NC_FLOAT, {"time", "depth", "lat", "lon"}).values(std::vector<double>(720, 1));
    nc.var("w", NC_FLOAT, {"lat", "lon"}).values(std::vector<double>(48, 1));
    load(ExportGridFixture(dir.file("grid.nc")), nc.write());
    pick({"2:u"});
    wholeRows();
    std::vector<Long> ids;
    std::string why;
    ASSERT_TRUE(PickDimsInMain(Data.Picks(1), ids, why));
    EXPECT_EQ(ids, (Longs{0, 1, 2, 3}));
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    EXPECT_EQ(items(sd.dimIds), (Longs{0, 1, 2, 3}));
    EXPECT_EQ(sd.nLonSub, 8);
}

// "recount": rows clamped into the dimensions of the entry at the cursor and written back
// with their counts, and the size of one variable's cut.
TEST_F(SubsetDescriptionTest, RecountClampsTheRowsAndShowsTheSize) {
    loadGrid();
    MemoryExportHost& host = defaultExportHost();
    host.hasCursor = true;
    host.cursor = PickItem{Data.clsNC->variNum("sal", 1), 4, 1};
    row(1, "0", "999", "1");
    row(2, "2", "3", "0");
    row(3, "5", "2", "1");
    row(4, "3", "8", "99");
    EstimateSubsetSize();
    EXPECT_EQ(messages(), Strings{kRowRangeText});
    auto rowOf = [&](std::size_t i) {
        const auto& r = host.rows[i];
        return Strings{r.start, r.end, r.step, r.count};
    };
    EXPECT_EQ(rowOf(0), (Strings{" 1", " 5", " 1", " 5"}));
    EXPECT_EQ(rowOf(1), (Strings{" 2", " 3", " 1", " 2"}));
    EXPECT_EQ(rowOf(2), (Strings{" 5", " 2", " 1", " 0"}));
    EXPECT_EQ(rowOf(3), (Strings{" 3", " 8", " 8", " 1"}));
    EXPECT_EQ(host.sizeText, "0bytes");

    ui.boxes.clear();
    row(3, 1, 6, 1);
    EstimateSubsetSize();
    EXPECT_EQ(messages(), Strings{});
    EXPECT_EQ(host.sizeText, "240bytes"); // 4 bytes x 5 x 2 x 6 x 1

    host.hasCursor = false;
    host.sizeText = "kept";
    EstimateSubsetSize();
    EXPECT_EQ(host.sizeText, "kept");
}

TEST_F(SubsetDescriptionTest, SizeTextSwitchesUnitsAtAThousand) {
    const std::pair<float, const char*> cases[] = {
        {0, "0bytes"},       {999, "999bytes"}, {1000, "1.00K"},   {123456, "123.46K"},
        {999990, "999.99K"}, {1000000, "1.0M"}, {2.5e7f, "25.0M"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(SubsetSizeText(bytes), text) << bytes;
}

} // namespace
