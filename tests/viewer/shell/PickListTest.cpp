// The pick list: which variables each grid type lists, the entry numbers of both datasets and
// their decoding, the preselected vector pair, and the description of the entry at the cursor.
#include "tests/viewer/OrderWinFixture.h"

#include "runtime/Strings.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/shell/PickList.h"

namespace {

using Strings = std::vector<std::string>;

class PickListTest : public OrderWinFixture {};

TEST_F(PickListTest, ListsTheDrawableVariablesOfEachSample) {
    struct Case {
        const char* file;
        Long gridType;
        Strings entries;
        std::vector<Long> selected;
    };
    const std::vector<Case> cases = {
        {"regular_global.nc", kGridRegular, {" 5: temp", " 6: u", " 7: v"}, {1, 2}},
        {"bfg_coastal.nc", kGridBfg, {" 4: h", " 5: zeta", " 6: u", " 7: v"}, {2, 3}},
        {"fe_mesh.nc", kGridFeMesh, {" 5: h", " 6: zeta", " 7: u", " 8: v"}, {2, 3}},
        {"fv_mesh.nc",
         kGridFvMesh,
         {" 6: code", " 7: zeta", " 8: temp", " 9: u", "10: v", "11: lon", "12: lat"},
         {3, 4}},
        {"gmt_grid.nc", kGridGmt, {" 6: z"}, {0}},
        {"stations.nc", kGridCells, {" 4: temp", " 5: u", " 6: v"}, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        load(sample(c.file));
        EXPECT_EQ(Data.clsNC->GridType(1), c.gridType);
        const OrderVarList list = MakeOrderVarList();
        EXPECT_EQ(list.entries, c.entries);
        EXPECT_EQ(list.selected, c.selected);
        // The window shows the same list and selection.
        if (OrderFrmLoaded()) UnloadOrderFrm();
        EXPECT_EQ(entries(), c.entries);
        EXPECT_EQ(selection(), c.selected);
        EXPECT_EQ(order().ListIndex(), 0);
        UnloadOrderFrm();
    }
}

TEST_F(PickListTest, WaterPairIdsComeFromTheDataset) {
    Data.water_U_vId = Data.water_V_vId = Data.wind_U_vId = Data.wind_V_vId = -7;
    load(sample("regular_global.nc"));
    MakeOrderVarList();
    EXPECT_EQ(Data.water_U_vId, 6);
    EXPECT_EQ(Data.water_V_vId, 7);
    // No wind pair: its ids keep their values.
    EXPECT_EQ(Data.wind_U_vId, -7);
    EXPECT_EQ(Data.wind_V_vId, -7);
}

TEST_F(PickListTest, LeavesOutCoordinatesAndMisplacedHorizontalDimensions) {
    load(RegularFixture(dir.file("grid.nc")));
    const OrderVarList list = MakeOrderVarList();
    EXPECT_EQ(list.entries, (Strings{" 5: temp", " 6: mask", "10: swapped"}));
    // No vector pair: nothing preselected among several entries.
    EXPECT_TRUE(list.selected.empty());
}

TEST_F(PickListTest, EntryNumbersAndTheirDecoding) {
    const std::vector<std::pair<Long, std::string>> entryCases = {
        {3, " 3: temp"}, {9, " 9: temp"}, {10, "10: temp"}, {123, "123: temp"}};
    for (const auto& [n, text] : entryCases)
        EXPECT_EQ(OrderListEntry(n, "temp"), text);

    const std::vector<std::pair<std::string, double>> numberCases = {
        {" 3: temp", 3}, {"12: a:b", 12}, {"  7", 7}, {"temp", 0}, {"", 0}, {": x", 0}};
    for (const auto& [text, n] : numberCases)
        EXPECT_EQ(ListNumberOf(text), n) << text;
}

TEST_F(PickListTest, TransferSizeInThousands) {
    const std::vector<std::pair<double, std::string>> cases = {
        {8000000, "8.0M"}, {800, "0.80K"},    {996000, "996.00K"},
        {1000000, "1.0M"}, {12500, "12.50K"}, {999990, "999.99K"}};
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(TransferSizeText(bytes), text) << bytes;
}

// The description joined as the window shows it, one line per line.
std::string Shown(const std::string& text) {
    return Replace(text, "\r\r\n", "\n");
}

std::vector<std::string> Row(Long row) {
    const auto r = static_cast<std::size_t>(row);
    OrderFrm& f = OrderFrmForm();
    return {programText(f.Text4[r]->text()), programText(f.Text5[r]->text()),
            programText(f.Text6[r]->text()), programText(f.Text7[r]->text()),
            programText(f.Text3[r]->text())};
}

TEST_F(PickListTest, DescribesTheEntryAtTheCursor) {
    load(RegularFixture(dir.file("grid.nc")));
    Data.CurTimeStep = 2;
    Data.CurLevel = 1;
    OrderFrm& f = order(); // loading puts the cursor on the first entry
    ASSERT_EQ(f.ListIndex(), 0);
    // 1 x 1 x 3 x 4 four-byte values: 48 bytes.
    EXPECT_EQ(OrderDetailText, "5: temp (time, depth, lat, lon) 0.05K\r\r\n"
                               "   sea water temperature\r\r\n"
                               "time: 1 to  1 step  1 :  1\r\r\n"
                               "depth: 1 to  1 step  1 :  1\r\r\n"
                               "lat: 1 to  3 step  1 :  3\r\r\n"
                               "lon: 1 to  4 step  1 :  4\r\r\n"
                               "Unit: degC\r\r\n"
                               "Scale: 1\r\r\n"
                               "Offset: 0\r\r\n"
                               "Missing: 0\r\r\n");
    EXPECT_EQ(programText(f.Text1->toPlainText()), Shown(OrderDetailText));
    EXPECT_EQ(Win.tcount, 12);
    EXPECT_EQ(text(f.Text9[0]), "1 to  3");
    EXPECT_EQ(text(f.Text9[1]), "1 to  2");
    EXPECT_EQ(text(f.Text10[0]), "2");
    EXPECT_EQ(text(f.Text10[1]), "1");
    EXPECT_EQ(Row(0), (Strings{"time", " 1", " 1", " 1", " 1"}));
    EXPECT_EQ(Row(2), (Strings{"lat", " 1", " 3", " 1", " 3"}));
    EXPECT_EQ(Row(3), (Strings{"lon", " 1", " 4", " 1", " 4"}));
    EXPECT_EQ(text(f.Text8), "0.05K");
    EXPECT_TRUE(messages().empty());

    // The step box is rewritten from CurTimeStep on every click, discarding what was typed.
    f.Text10[0]->setText("3");
    f.List1_Click();
    EXPECT_EQ(text(f.Text10[0]), "2");
}

TEST_F(PickListTest, ADeselectingClickLeavesTheRowsOfThePicks) {
    load(RegularFixture(dir.file("grid.nc")));
    OrderFrm& f = order();
    select({0, 1});
    f.setListIndex(2); // "10: swapped", not selected
    EXPECT_EQ(Shown(OrderDetailText).substr(0, 39), "10: swapped (time, lon, lat) 0.05K\n   \n");
    EXPECT_EQ(Row(0)[0], "time");
    EXPECT_EQ(Row(2)[0], "lat"); // temp's rows, not swapped's (time, lon, lat)
    EXPECT_EQ(Row(3)[0], "lon");

    // Nothing selected: the rows follow the cursor.
    select({});
    f.setListIndex(2);
    EXPECT_EQ(Row(1)[0], "lon");
    EXPECT_EQ(Row(2)[0], "lat");
    EXPECT_EQ(Row(3), (Strings{"", "", "", "", ""}));
    // The manual strides are never rewritten.
    f.Text11[3]->setText("7");
    f.setListIndex(0);
    EXPECT_EQ(text(f.Text11[3]), "7");
}

TEST_F(PickListTest, AFifthDimensionHasNoRowAndTakesItsDefaultStride) {
    NcBuilder nc(dir.file("five.nc"));
    nc.dim("time", 2);
    nc.dim("member", 3);
    nc.dim("depth", 2);
    nc.dim("lat", 3);
    nc.dim("lon", 4);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 2001-02-03 00:00:00")
        .values({0.0, 6.0});
    nc.var("depth", NC_FLOAT, {"depth"}).att("units", "m").att("positive", "down").values({0, 10});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({10, 11, 12});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({120, 121, 122, 123});
    nc.var("t5", NC_FLOAT, {"time", "member", "depth", "lat", "lon"})
        .values(std::vector<double>(144, 1.0));
    load(nc.write());
    OrderFrm& f = order();
    ASSERT_EQ(entries(), (Strings{" 5: t5"}));
    // A stride typed in the last row belongs to the fourth dimension only.
    f.Text11[3]->setText("2");
    f.setListIndex(0);
    EXPECT_TRUE(messages().empty());
    const std::string shown = Shown(OrderDetailText);
    EXPECT_NE(shown.find("lat: 1 to  3 step  2 :  2\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("lon: 1 to  4 step  1 :  4  (no row: default stride)\n"),
              std::string::npos)
        << shown;
    EXPECT_EQ(Row(0)[0], "time");
    EXPECT_EQ(Row(1)[0], "member");
    EXPECT_EQ(Row(3), (Strings{"lat", " 1", " 3", " 2", " 2"}));
}

TEST_F(PickListTest, TheSecondFileIsNumberedAfterTheMainDataset) {
    const std::string main = RegularFixture(dir.file("grid.nc")); // 10 variables
    NcBuilder nc(dir.file("grid_v.nc"));
    nc.dim("time", 3);
    nc.dim("depth", 2);
    nc.dim("lat", 3);
    nc.dim("lon", 4);
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({120, 121, 122, 123});
    nc.var("vv", NC_DOUBLE, {"time", "depth", "lat", "lon"})
        .att("long_name", "northward velocity")
        .att("units", "m/s")
        .values(std::vector<double>(72, 0.5));
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({10, 11, 12});
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 2001-02-03 00:00:00")
        .values({0.0, 6.0, 12.0});
    nc.var("depth", NC_FLOAT, {"depth"}).att("units", "m").att("positive", "down").values({0, 10});
    load(main, nc.write());
    ASSERT_EQ(Data.clsNC->nVars(2), 5);
    EXPECT_EQ(entries(), (Strings{" 5: temp", " 6: mask", "10: swapped", "12: vv"}));

    const PickItem item = DecodePick(12);
    EXPECT_EQ(item.varNumber, 2);
    EXPECT_EQ(item.narray, 4);
    EXPECT_EQ(item.datasetIndex, 2);
    const PickItem first = DecodePick(6);
    EXPECT_EQ(first.varNumber, 6);
    EXPECT_EQ(first.narray, 2);
    EXPECT_EQ(first.datasetIndex, 1);

    // Its description comes from its own dataset: name, long name, unit, eight-byte values.
    order().setListIndex(3);
    const std::string shown = Shown(OrderDetailText);
    EXPECT_EQ(shown.substr(0, shown.find("time:")),
              "12: vv (time, depth, lat, lon) 0.10K\n   northward velocity\n");
    EXPECT_NE(shown.find("Unit: m/s\n"), std::string::npos) << shown;
    EXPECT_TRUE(messages().empty());
}

TEST_F(PickListTest, ADatasetWithoutTimeOrLevelsShowsNone) {
    load(sample("gmt_grid.nc"));
    OrderFrm& f = order();
    EXPECT_EQ(text(f.Text9[0]), "(none)");
    EXPECT_EQ(text(f.Text10[0]), "n/a");
    EXPECT_EQ(text(f.Text9[1]), "(none)");
    EXPECT_EQ(text(f.Text10[1]), "n/a");
}

TEST_F(PickListTest, AFailureInsideTheDescriptionIsShownWithItsTag) {
    load(RegularFixture(dir.file("grid.nc")));
    OrderFrm& f = order();
    f.List1->addItem("99999999999: huge");
    f.setListIndex(f.ListCount() - 1);
    EXPECT_EQ(messages(), (Strings{"[ShowOrderDetail] Overflow"}));
}

} // namespace
