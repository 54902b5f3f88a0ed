// The text side formats: the vector text of a boundary-fitted grid, the GMT point text and the
// time-series text, each compared byte for byte with the text built here; the save command's
// routes to them; and every refusal or failed write leaving the target as it was.
#include "tests/viewer/export/ExportFixture.h"

#include "viewer/export/SaveFlow.h"
#include "viewer/export/ToTimeSerText.h"
#include "viewer/export/ToTxt.h"
#include "viewer/export/WriteGMTTxt.h"

namespace {

using Strings = std::vector<std::string>;

std::string Lines(const Strings& lines) {
    std::string s;
    for (const std::string& l : lines)
        s += l + "\r\n";
    return s;
}

constexpr float kMissing = -999;

// bfg.nc: a boundary-fitted grid of 2 x 3 nodes over 3 hourly steps; u and v in cm/s with
// missing values at step 2, w beside them.
std::string BfgFixture(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 3);
    nc.dim("ypos", 2);
    nc.dim("xpos", 3);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 2004-03-15 00:00:00")
        .values({0.0, 1.0, 2.0});
    nc.var("lon", NC_FLOAT, {"ypos", "xpos"})
        .att("units", "degrees_east")
        .values({-70.5, -70.25, 10.125, -70.4, -70.2, 100.0});
    nc.var("lat", NC_FLOAT, {"ypos", "xpos"})
        .att("units", "degrees_north")
        .values({40.25, 40.25, -0.5, 40.5, 40.5, 40.5});
    const Strings dims = {"time", "ypos", "xpos"};
    std::vector<double> u(6, 9.0), v(6, 9.0), w(18, 5.0);
    u.insert(u.end(), {1234.5, -5, kMissing, 4, 7, 1});
    v.insert(v.end(), {10, 20, 30, kMissing, 50, 60});
    u.insert(u.end(), 6, 100.0);
    v.insert(v.end(), 6, -100.0);
    nc.var("u", NC_FLOAT, dims).att("units", "cm/s").att("_FillValue", kMissing).values(u);
    nc.var("v", NC_FLOAT, dims).att("units", "cm/s").att("_FillValue", kMissing).values(v);
    nc.var("w", NC_FLOAT, dims).att("units", "m/s").values(w);
    return nc.write();
}

// gmt.nc: a GMT grid of 3 x 2 points across 180 degrees east, from latitude -0.5 to 0, with
// z over the points and zt over 2 steps and the points.
std::string GmtFixture(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 2);
    nc.dim("side", 2);
    nc.dim("xysize", 6);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2010-01-01").values({0.0, 1.0});
    nc.var("x_range", NC_DOUBLE, {"side"}).att("units", "degrees").values({179.5, 180.5});
    nc.var("y_range", NC_DOUBLE, {"side"}).att("units", "degrees").values({-0.5, 0.0});
    nc.var("z_range", NC_DOUBLE, {"side"}).att("units", "meters").values({-7.0, 12345.678});
    nc.var("spacing", NC_DOUBLE, {"side"}).values({0.5, 0.5});
    nc.var("dimension", NC_INT, {"side"}).values({3, 2});
    nc.var("z", NC_FLOAT, {"xysize"})
        .att("_FillValue", -9999.0f)
        .values({3.25, -1.5, -9999.0, 0.0, 12345.678, -7.0});
    nc.var("zt", NC_FLOAT, {"time", "xysize"})
        .att("_FillValue", -9999.0f)
        .values({1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 2.0, -9999.0, 2.5, 2.0, 2.0, -2.0});
    return nc.write();
}

// point.nc: one point at 12.5 east, 0.25 south, over 3 six-hourly steps.
std::string PointFixture(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 3);
    nc.dim("lat", 1);
    nc.dim("lon", 1);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 1999-12-31 18:00:00")
        .values({0.0, 6.0, 12.0});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({-0.25});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({12.5});
    nc.var("u", NC_FLOAT, {"time", "lat", "lon"}).att("units", "m/s").values({1.0, 2.0, 3.0});
    nc.var("v", NC_FLOAT, {"time", "lat", "lon"}).att("units", "m/s").values({1.0, 2.0, 3.0});
    return nc.write();
}

// A second file whose first variables are not the main dataset's.
std::string PointSecond(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 3);
    nc.dim("lat", 1);
    nc.dim("lon", 1);
    nc.var("wind", NC_FLOAT, {"time", "lat", "lon"}).att("units", "knots").values({1.0, 2.0, 3.0});
    return nc.write();
}

class TextExportTest : public ExportFixture {
protected:
    std::string out;

    void SetUp() override {
        ExportFixture::SetUp();
        out = dir.file("out.txt");
    }
    Long toTxt(const std::string& path) {
        SubsetDescription sd;
        EXPECT_EQ(SubSetNcDomain(sd), 1) << testing::PrintToString(messages());
        return To_Txt(path, sd);
    }
    // The time-series text of the picks over their whole dimensions.
    Long toTimeSerText(const std::string& path) {
        wholeRows();
        SubsetDescription sd;
        EXPECT_EQ(SubSetNcDomain(sd), 1) << testing::PrintToString(messages());
        return To_TimeSerText(path, sd);
    }
    static void toMercator() {
        View.Projection = 1;
        for (VArray<float>* a : {&Data.lonV, &Data.latV})
            for (std::size_t n = 0; n < a->size(); ++n)
                a->data()[n] = static_cast<float>(a->data()[n] * kDegToRad);
    }
};

TEST_F(TextExportTest, VectorTextOfABoundaryFittedGrid) {
    load(BfgFixture(dir.file("bfg.nc")));
    ASSERT_EQ(Data.clsNC->GridType(1), kGridBfg);
    pick({"u", "v"});
    row(1, 2, 3, 1);
    row(2, 1, 2, 1);
    row(3, 1, 3, 1);
    ASSERT_EQ(toTxt(out), 1);
    EXPECT_EQ(messages(), Strings{"File made:\r\n\r\nfile   : " + out});
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    // Steps 2 and 3 under their own numbers and dates; the nodes in the variable's order;
    // centimetres written as metres, a missing component making the pair 0.
    const std::string want = Lines({
        " 2 " + Data.clsNC->DatePicked(2, 1),
        "001 001 -070.50000  40.25000  12.345  0.100",
        "002 001 -070.25000  40.25000 -0.050  0.200",
        "003 001  010.12500 -00.50000  0.000  0.000",
        "001 002 -070.40000  40.50000  0.000  0.000",
        "002 002 -070.20000  40.50000  0.070  0.500",
        "003 002  100.00000  40.50000  0.010  0.600",
        " 3 " + Data.clsNC->DatePicked(3, 1),
        "001 001 -070.50000  40.25000  1.000 -1.000",
        "002 001 -070.25000  40.25000  1.000 -1.000",
        "003 001  010.12500 -00.50000  1.000 -1.000",
        "001 002 -070.40000  40.50000  1.000 -1.000",
        "002 002 -070.20000  40.50000  1.000 -1.000",
        "003 002  100.00000  40.50000  1.000 -1.000",
    });
    EXPECT_EQ(readFile(out), want);
}

// One pick is written as read (its unit is not looked at), missing values as 0; three picks
// give the positions only; the window's columns are the ones written, in Mercator mode too.
TEST_F(TextExportTest, VectorTextFieldsFollowThePicksAndTheWindow) {
    load(BfgFixture(dir.file("bfg.nc")));
    row(1, 2, 2, 1);
    row(2, 1, 2, 1);
    row(3, 2, 3, 1);
    const std::string header = " 2 " + Data.clsNC->DatePicked(2, 1);
    pick({"u"});
    ASSERT_EQ(toTxt(out), 1);
    EXPECT_EQ(
        readFile(out),
        Lines({header, "002 001 -070.25000  40.25000 -5.000", "003 001  010.12500 -00.50000  0.000",
               "002 002 -070.20000  40.50000  7.000", "003 002  100.00000  40.50000  1.000"}));
    pick({"u", "v", "w"});
    toMercator();
    ASSERT_EQ(toTxt(out), 1);
    EXPECT_EQ(readFile(out),
              Lines({header, "002 001 -070.25000  40.25000", "003 001  010.12500 -00.50000",
                     "002 002 -070.20000  40.50000", "003 002  100.00000  40.50000"}));
}

TEST_F(TextExportTest, GmtPointText) {
    load(GmtFixture(dir.file("gmt.nc")));
    ASSERT_EQ(Data.clsNC->GridType(1), kGridGmt);
    pick({"z"});
    row(1, 1, 6, 1);
    ASSERT_EQ(toTxt(out), 1);
    EXPECT_EQ(messages(), Strings{"File made:\r\n\r\nfile   : " + out});
    // From the northern row down; 180.5 east is 179.5 west; the missing value has no line.
    const std::string north = " 0.00000", south = " -0.50000";
    EXPECT_EQ(readFile(out), Lines({" 179.50" + north + " 3.25", " 180.00" + north + " -1.50",
                                    " 179.50" + south + " 0.00", " 180.00" + south + " 12345.68",
                                    " -179.50" + south + " -7.00"}));

    // A variable over time and the points: the step shown, in Mercator mode alike.
    pick({"zt"});
    Data.CurTimeStep = 2;
    toMercator();
    ui.boxes.clear();
    ASSERT_EQ(WriteGMTTxt(Data.Picks(1), out), 1) << testing::PrintToString(messages());
    EXPECT_EQ(readFile(out), Lines({" 179.50" + north + " 2.00", " -179.50" + north + " 2.50",
                                    " 179.50" + south + " 2.00", " 180.00" + south + " 2.00",
                                    " -179.50" + south + " -2.00"}));
}

TEST_F(TextExportTest, TimeSeriesText) {
    const std::string point = PointFixture(dir.file("point.nc"));
    load(point, PointSecond(dir.file("second.nc")));
    pick({"u", "2:wind"});
    ASSERT_EQ(toTimeSerText(out), 1);
    EXPECT_EQ(messages(), Strings{"File made:\r\n\r\nfile   : " + out});
    const std::string want =
        Lines({point, " 12.5 =lon", "-.25 =lat", "Year Mo Dy Hr Mn u     wind     ",
               "Year Mo Dy Hr Mn m/s     knots     ", "1999-12-31 18:00:00", "2000-01-01",
               "2000-01-01 06:00:00"});
    EXPECT_EQ(readFile(out), want);
    // Mercator mode writes the same degrees.
    toMercator();
    ASSERT_EQ(toTimeSerText(out), 1);
    EXPECT_EQ(readFile(out), want);

    // Two-dimensional coordinates give no position: reported, nothing written.
    ReleaseKelvad();
    ui.boxes.clear();
    load(BfgFixture(dir.file("bfg.nc")));
    pick({"u"});
    EXPECT_EQ(toTimeSerText(out), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "To_Cir");
    EXPECT_EQ(ui.boxes[0].text, "Error( 9):\r\n\r\n\"Subscript out of range\"");
    EXPECT_EQ(readFile(out), want);
}

// Grid types and picks the vector text does not take are refused before the file is started.
TEST_F(TextExportTest, VectorTextRefusalsLeaveTheTargetAsItWas) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"a regular grid",
         [&] {
             load(PointFixture(dir.file("point.nc")));
             pick({"u"});
         },
         "[to_txt] GridType case = 2 not ready"},
        {"a cell list",
         [&] {
             load(sample("stations.nc"));
             pick({"temp"});
         },
         "[to_txt] GridType case = 1 not ready"},
        {"a mesh",
         [&] {
             load(sample("fe_mesh.nc"));
             pick({"zeta"});
         },
         "(mesh)"},
        {"a GMT grid with two picks",
         [&] {
             load(GmtFixture(dir.file("gmt.nc")));
             pick({"z", "z"});
         },
         "[to_txt] GridType case = 5 not ready"},
        {"a failed read of a GMT grid",
         [&] {
             load(GmtFixture(dir.file("gmt.nc")));
             pick({"z"});
             Data.clsNC->CloseNC(1);
             std::filesystem::remove(dir.file("gmt.nc"));
         },
         "(the library's reason and the window)"},
        {"a failed read",
         [&] {
             load(BfgFixture(dir.file("bfg.nc")), BfgFixture(dir.file("second.nc")));
             pick({"u", "2:v"});
             Data.clsNC->CloseNC(2);
             std::filesystem::remove(dir.file("second.nc"));
         },
         "(the library's reason)"},
    };
    writeFile("out.txt", "the old file");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseKelvad();
        ui.boxes.clear();
        c.prepare();
        wholeRows();
        const Strings names = folderNames(dir.path());
        SubsetDescription sd;
        SubSetNcDomain(sd);
        ui.boxes.clear();
        EXPECT_EQ(To_Txt(out, sd), -1);
        std::string want = c.message;
        if (want == "(mesh)") want = "[to_txt] GridType case = 4 not ready";
        if (want == "(the library's reason)") want = "[To_Txt]" + Data.clsNC->ErrorMessage();
        if (want == "(the library's reason and the window)") {
            want = Data.clsNC->ErrorMessage() +
                   "\r\n\r\nnvar, tcount= " + Str(Data.Picks(1).varNumber) +
                   "  6\r\nstart, count, stride =  1  6  1\r\n";
            ASSERT_EQ(ui.boxes.size(), 1u);
            EXPECT_EQ(ui.boxes[0].title, "[DrawGMTScalar] NetCDF Error");
            EXPECT_EQ(ui.boxes[0].style, kCritical);
        }
        EXPECT_EQ(messages(), Strings{want});
        EXPECT_TRUE(readFile(out) == "the old file") << "the target changed";
        EXPECT_EQ(folderNames(dir.path()), names);
        EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    }
}

// The save command: the text formats take the text filter; the vector text is not offered for a
// regular grid; the time-series text is written for any.
TEST_F(TextExportTest, TheSaveCommandReachesTheTextWriters) {
    load(BfgFixture(dir.file("bfg.nc")));
    pick({"u", "v"});
    wholeRows();
    Opt.SaveFormat = kSaveXyuvText;
    ui.fileAnswers = {out};
    SaveCommand();
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].request.filter, "ASCII file(*.txt)|*.txt|All files(*.*)|*.*");
    EXPECT_EQ(messages(), Strings{"File made:\r\n\r\nfile   : " + out});
    EXPECT_EQ(readFile(out).substr(0, 3), " 1 ");

    ReleaseKelvad();
    load(PointFixture(dir.file("point.nc")));
    pick({"u"});
    wholeRows();
    ui.boxes.clear();
    SaveCommand();
    EXPECT_EQ(messages(), Strings{kFormatNotAvailableText});
    Opt.SaveFormat = kSaveTimeSer;
    ui.fileAnswers = {out};
    ui.boxes.clear();
    SaveCommand();
    EXPECT_EQ(messages(), Strings{"File made:\r\n\r\nfile   : " + out});
    EXPECT_EQ(readFile(out).substr(0, dir.file("point.nc").size()), dir.file("point.nc"));
}

// A file that cannot grow beyond a few bytes: every text writer fails on its writes, says so, and
// the target keeps its old bytes with nothing left beside it.
TEST_F(TextExportTest, AFailedWriteKeepsTheOldFile) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::function<Long(const std::string&, const SubsetDescription&)> run;
    };
    const std::vector<Case> cases = {
        {"vector text",
         [&] {
             load(BfgFixture(dir.file("bfg.nc")));
             pick({"u", "v"});
         },
         [](const std::string& p, const SubsetDescription& sd) { return To_Txt(p, sd); }},
        {"GMT point text",
         [&] {
             load(GmtFixture(dir.file("gmt.nc")));
             pick({"z"});
         },
         [](const std::string& p, const SubsetDescription&) {
             return WriteGMTTxt(Data.Picks(1), p);
         }},
        {"time-series text",
         [&] {
             load(PointFixture(dir.file("point.nc")));
             pick({"u"});
         },
         [](const std::string& p, const SubsetDescription& sd) { return To_TimeSerText(p, sd); }},
    };
    const std::string target = writeFile("old.txt", "the old file");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseKelvad();
        c.prepare();
        wholeRows();
        SubsetDescription sd;
        ASSERT_EQ(SubSetNcDomain(sd), 1);
        const Strings names = folderNames(dir.path());
        EXPECT_TRUE(InChildWithFileLimit(8, [&] {
            ui.boxes.clear();
            return c.run(target, sd) == -1 && messages().size() == 1 &&
                   messages()[0].find("The file could not be written") != std::string::npos;
        }));
        EXPECT_TRUE(readFile(target) == "the old file") << "the target changed";
        EXPECT_EQ(folderNames(dir.path()), names);
    }
}

} // namespace
