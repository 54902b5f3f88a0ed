// Appending to a subset file: new variables cut as the file records its cuts (picks of the
// second file included), further time steps stated in the file's own time units (read back
// with netCDF-C and by the dataset library to the source's dates), and every refusal and a read
// failing half way leaving the file byte for byte as it was.
#include "tests/viewer/export/ExportFixture.h"

#include "tests/support/LongNames.h"

#include "viewer/export/AppendNc.h"
#include "viewer/export/CreateNc.h"
#include "viewer/export/SubsetWriter.h"

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using Values = std::vector<double>;

// A file of the grid fixture's dimensions (time 5, depth 3, lat 6, lon 8) holding temp, in the
// variants the refusals need; with recorded, the global attributes of a subset taken whole.
struct GridVariant {
    bool fixedTime = false;
    std::string timeVar = "time";
    std::string latName = "lat";
    nc_type tempType = NC_SHORT;
    bool recorded = false;
};
std::string VariantFile(const std::string& path, const GridVariant& g) {
    NcBuilder nc(path);
    if (g.fixedTime)
        nc.dim("time", 5);
    else
        nc.unlimitedDim("time", 5);
    nc.dim("depth", 3);
    nc.dim(g.latName, 6);
    nc.dim("lon", 8);
    nc.var(g.timeVar, NC_DOUBLE, {"time"})
        .att("units", "hours since 1990-01-01 06:00:00")
        .values({0.0, 6.0, 12.0, 18.0, 24.0});
    nc.var(g.latName, NC_FLOAT, {g.latName})
        .att("units", "degrees_north")
        .values({10.0, 11.0, 12.0, 13.0, 14.0, 15.0});
    nc.var("lon", NC_FLOAT, {"lon"})
        .att("units", "degrees_east")
        .values({100.0, 101.0, 102.0, 103.0, 104.0, 105.0, 106.0, 107.0});
    nc.var("temp", g.tempType, {"time", "depth", g.latName, "lon"})
        .values(std::vector<double>(5 * 3 * 6 * 8, 1.0));
    if (g.recorded) {
        nc.globalAtt("time", " 5 1 5 1");
        nc.globalAtt("depth", " 3 1 3 1");
        nc.globalAtt(g.latName, " 6 1 6 1");
        nc.globalAtt("lon", " 8 1 8 1");
    }
    return nc.write();
}

class AppendNcTest : public ExportFixture {
protected:
    std::string target;

    void SetUp() override {
        ExportFixture::SetUp();
        target = dir.file("subset.nc");
    }

    // Loads a grid fixture with the time units given, saved under name.
    std::string loadGrid(const std::string& name,
                         const std::string& units = "hours since 1990-01-01 06:00:00",
                         const std::string& second = "") {
        ReleaseKelvad();
        const std::string path = ExportGridFixture(dir.file(name), "", units);
        load(path, second);
        return path;
    }

    SubsetDescription describe() {
        SubsetDescription sd;
        EXPECT_EQ(SubSetNcDomain(sd), 1) << testing::PrintToString(messages());
        return sd;
    }

    // The subset file the appends start from: the picks over time steps 1 and 2, depths 1 and
    // 3, latitudes 2 and 5 and every other longitude.
    void makeTarget(const std::string& units = "hours since 1990-01-01 06:00:00",
                    const Strings& picks = {"temp"}) {
        loadGrid("made.nc", units);
        pick(picks);
        row(1, 1, 2, 1);
        row(2, 1, 3, 2);
        row(3, 2, 5, 3);
        row(4, 1, 8, 2);
        ASSERT_EQ(CreateNc(target, describe()), 1);
        ui.boxes.clear();
    }

    Long append() {
        SubsetDescription sd = describe();
        return AppendNc(target, sd);
    }
};

TEST_F(AppendNcTest, NewVariablesTakeTheCutTheFileRecords) {
    makeTarget();
    const Values tempBefore = NcRead(target).values("temp");
    ReleaseKelvad();
    const std::string second = SecondFile(dir.file("second.nc"));
    load(dir.file("made.nc"), second);
    pick({"sal", "2:u"});
    wholeRows(); // the rows are not what the file takes
    SubsetDescription sd = describe();
    ASSERT_EQ(AppendNc(target, sd), 1);
    EXPECT_EQ(messages(), Strings{});
    EXPECT_EQ(folderNames(dir.path()),
              (Strings{"Pelorin.ini", "made.nc", "second.nc", "subset.nc"}));

    NcRead r(target);
    EXPECT_EQ(r.dims(), (Strings{"time*=2", "depth=2", "lat=2", "lon=4"}));
    EXPECT_EQ(r.vars(), (Strings{"time(6:time)", "depth(6:depth)", "lat(6:lat)", "lon(5:lon)",
                                 "temp(3:time,depth,lat,lon)", "sal(5:time,depth,lat,lon)",
                                 "u(6:time,depth,lat,lon)"}));
    EXPECT_EQ(r.values("temp"), tempBefore);
    const std::vector<std::size_t> start = {0, 0, 1, 0}, count = {2, 2, 2, 4};
    const std::vector<std::ptrdiff_t> stride = {1, 2, 3, 2};
    EXPECT_TRUE(SameValues(r.values("sal"),
                           NcRead(dir.file("made.nc")).values("sal", start, count, stride)));
    EXPECT_EQ(r.values("u"), NcRead(second).values("u", start, count, stride));
    // Their attributes as their own files have them.
    EXPECT_EQ(r.attText("u", "units"), "m/s");
    EXPECT_EQ(r.attType("u", "valid_max"), NC_DOUBLE);
    EXPECT_EQ(r.attValues("u", "valid_max"), Values{60});
    EXPECT_TRUE(std::isnan(r.attValues("sal", "_FillValue").at(0)));
    // The file's record of its cuts stands; the description holds the cut written.
    EXPECT_EQ(r.attText("", "lat"), " 6 2 2 3");
    EXPECT_EQ((std::vector<Long>{sd.startSub(3), sd.countSub(3), sd.strideSub(3)}),
              (std::vector<Long>{2, 2, 3}));
    EXPECT_EQ((std::vector<Long>{sd.startSub(2), sd.countSub(2), sd.strideSub(2)}),
              (std::vector<Long>{1, 2, 2}));
}

// Steps appended after the file's last record, their times in the file's own units whatever
// the source's unit and base date, the steps read at the subset's own positions.
TEST_F(AppendNcTest, TimeStepsAreStatedInTheFilesTimeUnits) {
    struct Case {
        const char* targetUnits;
        const char* sourceUnits;
        Long first, last, step;
        Values appended;
    };
    const Case cases[] = {
        // The same units: the values as they are.
        {"hours since 1990-01-01 06:00:00",
         "hours since 1990-01-01 06:00:00",
         3,
         5,
         1,
         {12, 18, 24}},
        // A base date 30 days later.
        {"hours since 1990-01-01 06:00:00",
         "hours since 1990-01-31 06:00:00",
         1,
         5,
         2,
         {720, 732, 744}},
        // Hours into a file in days.
        {"days since 1990-01-01", "hours since 1990-02-01 00:00:00", 1, 5, 2, {31, 31.5, 32}},
        // Days into a file in hours from 06:00.
        {"hours since 1990-01-01 06:00:00", "days since 1990-01-31", 2, 3, 1, {858, 1002}},
        // The same base date otherwise written.
        {"days since 1990-01-01", "days since 1990-01-01 00:00:00", 3, 4, 1, {12, 18}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.targetUnits) + " <- " + c.sourceUnits);
        std::filesystem::remove(target);
        makeTarget(c.targetUnits);
        const std::string units = NcRead(target).attText("time", "units");
        const Values before = NcRead(target).values("temp");
        const std::string source = loadGrid("next.nc", c.sourceUnits);
        pick({"temp"});
        wholeRows();
        row(1, c.first, c.last, c.step);
        ASSERT_EQ(append(), 1) << testing::PrintToString(messages());
        EXPECT_EQ(messages(), Strings{});

        const std::size_t n = c.appended.size();
        NcRead r(target);
        EXPECT_EQ(r.dims().front(), "time*=" + std::to_string(2 + n));
        Values times = {0, 6};
        times.insert(times.end(), c.appended.begin(), c.appended.end());
        EXPECT_EQ(r.values("time"), times);
        EXPECT_EQ(r.attText("time", "units"), units);
        // The records there stay; the new ones hold the source's steps in the file's cut.
        EXPECT_EQ(r.values("temp", {0, 0, 0, 0}, {2, 2, 2, 4}, {1, 1, 1, 1}), before);
        EXPECT_EQ(r.values("temp", {2, 0, 0, 0}, {n, 2, 2, 4}, {1, 1, 1, 1}),
                  NcRead(source).values("temp", {std::size_t(c.first - 1), 0, 1, 0}, {n, 2, 2, 4},
                                        {static_cast<std::ptrdiff_t>(c.step), 2, 3, 2}));
        // The dataset library reads the source's dates back from the file.
        std::unique_ptr<IKelvad> back(CreateKelvad());
        ASSERT_EQ(back->Initialize(target), 1) << back->ErrorMessage();
        for (Long i = 1; i <= static_cast<Long>(n); ++i)
            EXPECT_EQ(back->DatePicked(2 + i, 1),
                      Data.clsNC->DatePicked(c.first + (i - 1) * c.step, 1))
                << i;
        ReleaseKelvad();
    }
}

// Steps appended one after another, then a new variable: the file's record of its time cut
// counts every record, a step already in the file is refused by name with nothing written, and
// the new variable holds the source's values for every record, each from the step of the
// record's own time (the records need not follow the source's order).
TEST_F(AppendNcTest, AVariableAppendedAfterStepsHoldsEveryRecord) {
    makeTarget(); // steps 1 and 2
    EXPECT_EQ(NcRead(target).attText("", "time"), " 5 1 2 1");
    const std::string source = dir.file("made.nc");
    for (const Long step : {5, 3}) {
        pick({"temp"});
        wholeRows();
        row(1, step, step == 3 ? 4 : 5, 1);
        ASSERT_EQ(append(), 1) << testing::PrintToString(messages());
    }
    NcRead r(target);
    EXPECT_EQ(r.dims().front(), "time*=5");
    EXPECT_EQ(r.values("time"), (Values{0, 6, 24, 12, 18}));
    EXPECT_EQ(r.attText("", "time"), " 5 1 5 1");

    // A step the file holds already: refused, naming it; the file stays as it was.
    const std::string before = readFile(target);
    pick({"temp"});
    wholeRows();
    row(1, 4, 5, 1);
    EXPECT_EQ(append(), -1);
    EXPECT_EQ(messages(),
              Strings{"[AppendNc] The target file holds the time step " +
                      Data.clsNC->DatePicked(4, 1) +
                      " already:\r\n\r\nstep 4 of the source: time = 18 hours since "
                      "1990-01-01T06:00:00 (record 5 of the file)\r\n\r\nNothing was appended."});
    EXPECT_EQ(readFile(target), before);
    ui.boxes.clear();

    // A new variable: every record holds values, those of its own time's step.
    pick({"sal"});
    wholeRows();
    ASSERT_EQ(append(), 1) << testing::PrintToString(messages());
    NcRead after(target);
    const Values sal = after.values("sal");
    ASSERT_EQ(sal.size(), 5u * 2 * 2 * 4);
    const std::size_t order[5] = {0, 1, 4, 2, 3}; // the source step of each record, from 0
    for (std::size_t rec = 0; rec < 5; ++rec) {
        SCOPED_TRACE(rec);
        const Values want =
            NcRead(source).values("sal", {order[rec], 0, 1, 0}, {1, 2, 2, 4}, {1, 2, 3, 2});
        const Values got(sal.begin() + static_cast<std::ptrdiff_t>(rec * 16),
                         sal.begin() + static_cast<std::ptrdiff_t>(rec * 16 + 16));
        EXPECT_TRUE(SameValues(got, want));
    }
    // Read back with netCDF-C as a whole: no record is left to the fill value.
    int fills = 0;
    for (double v : sal)
        fills += v == NC_FILL_FLOAT;
    EXPECT_EQ(fills, 0);
}

// A cell list's times are whole numbers in the file: in the source's unit where they are whole,
// else in a finer unit from the same origin, so that no two steps share a value.
TEST(CellTimeLayoutTest, WholeUnitsOrAFinerOne) {
    struct Case {
        const char* unit;
        Values times;
        nc_type type;
        double factor;
        const char* word;
    };
    const Case cases[] = {
        {"days", {0, 1, 2}, NC_INT, 1, ""},
        {"days", {0, 0.25, 0.5, 0.75}, NC_INT, 24, "hours"},
        {"days", {0, 1.0 / 1440, 2.0 / 1440}, NC_INT, 1440, "minutes"},
        {"hours", {0, 0.5}, NC_INT, 60, "minutes"},
        {"days", {0, 1.5 / 86400}, NC_INT, 86400, "seconds"}, // seconds, rounded apart
        {"seconds", {0, 0.5}, NC_DOUBLE, 1, ""},             // nothing finer
        {"days", {0, 1e-7, 2e-7}, NC_DOUBLE, 1, ""},         // rounded seconds would meet
        {"months", {0, 0.5}, NC_DOUBLE, 1, ""},              // no fixed length
        {"days", {0, 3e9}, NC_DOUBLE, 1, ""},                // beyond a Long
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.unit) + " " + testing::PrintToString(c.times));
        const CellTimeLayout l = ChooseCellTimeLayout(c.unit, c.times.data(), c.times.size());
        EXPECT_EQ(l.type, c.type);
        EXPECT_EQ(l.factor, c.factor);
        EXPECT_EQ(l.unitWord, c.word);
    }
}

// Six-hourly stations counted in days: the subset file counts hours from the same origin, a
// variable appended later takes each record from the step of its own time, a step appended is
// stated in hours and a repeated step is refused. netCDF-C and the dataset library read the
// source's dates back.
TEST_F(AppendNcTest, CellListTimesBetweenWholeDaysKeepTheirSteps) {
    const std::string source = dir.file("buoys.nc");
    {
        NcBuilder nc(source);
        nc.unlimitedDim("time", 5);
        nc.dim("station", 3);
        nc.var("time", NC_DOUBLE, {"time"})
            .att("units", "days since 2005-07-01 00:00:00")
            .values({0.0, 0.25, 0.5, 0.75, 1.0});
        nc.var("lon", NC_FLOAT, {"station"}).att("units", "degrees_east").values({-40, -39, -38});
        nc.var("lat", NC_FLOAT, {"station"}).att("units", "degrees_north").values({30, 31, 32});
        Values temp, u;
        for (int i = 0; i < 15; ++i) {
            temp.push_back(10 + i);
            u.push_back(-i * 0.5);
        }
        nc.var("temp", NC_FLOAT, {"time", "station"}).values(temp);
        nc.var("u", NC_FLOAT, {"time", "station"}).values(u);
        nc.write();
    }
    ReleaseKelvad();
    load(source);
    ASSERT_EQ(Data.clsNC->GridType(1), kGridCells);
    pick({"temp"});
    row(1, 1, 4, 1);
    row(2, 1, 3, 1);
    ASSERT_EQ(CreateNc(target, describe()), 1) << testing::PrintToString(messages());
    {
        NcRead r(target);
        EXPECT_EQ(r.vars().front(), "time(4:time)");
        EXPECT_EQ(r.attText("time", "units"), "hours since 2005-07-01");
        EXPECT_EQ(r.values("time"), (Values{0, 6, 12, 18}));
    }

    // A new variable: record k holds step k, not the step of a time rounded to whole days.
    pick({"u"});
    wholeRows();
    ASSERT_EQ(append(), 1) << testing::PrintToString(messages());
    EXPECT_EQ(NcRead(target).values("u"), NcRead(source).values("u", {0, 0}, {4, 3}, {1, 1}));

    // The fifth step appended in hours; the third once more refused, the file as it was.
    pick({"temp", "u"});
    wholeRows();
    row(1, 5, 5, 1);
    ASSERT_EQ(append(), 1) << testing::PrintToString(messages());
    EXPECT_EQ(NcRead(target).values("time"), (Values{0, 6, 12, 18, 24}));
    const std::string before = readFile(target);
    ui.boxes.clear();
    pick({"temp", "u"});
    wholeRows();
    row(1, 3, 3, 1);
    EXPECT_EQ(append(), -1);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find("holds the time step"), std::string::npos) << messages()[0];
    EXPECT_EQ(readFile(target), before);

    std::unique_ptr<IKelvad> back(CreateKelvad());
    ASSERT_EQ(back->Initialize(target), 1) << back->ErrorMessage();
    for (Long k = 1; k <= 5; ++k)
        EXPECT_EQ(back->DatePicked(k, 1), Data.clsNC->DatePicked(k, 1)) << k;
}

// A netCDF-4 target whose variable or dimension names run past NC_MAX_NAME (written through
// HDF5, as netCDF-C itself will not): the header is read into bounded names, never into a
// buffer the name overruns. A name is read as its first NC_MAX_NAME characters (netCDF-C keeps
// no more of a variable's, and cannot tell a longer dimension name from one of that length
// after the first open): the append of a variable goes on; the dimension no longer matches the
// source's by name, and the target is refused as it was.
TEST_F(AppendNcTest, ATargetWithNamesPastTheLimitIsReadSafely) {
    const std::string longName(300, 'n');
    for (const bool dimension : {false, true}) {
        SCOPED_TRACE(dimension ? "dimension" : "variable");
        fs::remove(target);
        makeTarget();
        const std::string classic = dir.file("classic.nc");
        fs::rename(target, classic);
        ASSERT_EQ(std::system(("nccopy -k nc4 '" + classic + "' '" + target + "'").c_str()), 0);
        fs::remove(classic);
        // The coordinate variable lon is also the dimension's own object.
        ASSERT_TRUE(RenameToLongName(target, dimension ? "lon" : "temp", longName));
        const std::string before = readFile(target);
        pick({"sal"});
        if (!dimension) {
            EXPECT_EQ(append(), 1);
            EXPECT_EQ(messages(), Strings{});
            EXPECT_EQ(NcRead(target).values("sal").size(), 2u * 2 * 2 * 4);
        } else {
            EXPECT_EQ(append(), -1);
            EXPECT_EQ(messages(), Strings{"Names of dimension do not match:\r\n\r\nOriginal source: "
                                          "(time, depth, lat, lon, )\r\nTo be appended: "
                                          "(time, depth, lat, " +
                                          longName.substr(0, NC_MAX_NAME) + ", )"});
            EXPECT_TRUE(readFile(target) == before) << "the target changed";
        }
        ui.boxes.clear();
    }
}

// Every refusal comes before anything is written: the file stays byte for byte, nothing is left
// beside it.
TEST_F(AppendNcTest, RefusalsLeaveTheFileAsItWas) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::function<Strings()> messages;
    };
    auto fits = [](const std::string& dim, const std::string& lengths) {
        return "[AppendNc] The dimension " + dim +
               " of the source does not fit the target file:\r\n\r\n" + lengths;
    };
    const std::vector<Case> cases = {
        {"one pick there and one not",
         [&] {
             makeTarget();
             pick({"temp", "sal"});
         },
         [] {
             return Strings{"Target file already have some variables and some not:\r\n\r\n"
                            "Must be picked all new different variables\r\n"
                            "or all exact same variables (time-step appending) \r\n"};
         }},
        {"another number of dimensions",
         [&] {
             makeTarget();
             ReleaseKelvad();
             NcBuilder nc(dir.file("three.nc"));
             nc.unlimitedDim("time", 2);
             nc.dim("lat", 2);
             nc.dim("lon", 2);
             nc.var("time", NC_DOUBLE, {"time"})
                 .att("units", "hours since 1990-01-01")
                 .values({0.0, 1.0});
             nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({1.0, 2.0});
             nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({1.0, 2.0});
             nc.var("temp", NC_SHORT, {"time", "lat", "lon"}).values(Values(8, 1.0));
             load(nc.write());
             pick({"temp"});
         },
         [] {
             return Strings{"Numbers of dimension do not match:\r\n\r\nOriginal source has 3\r\n"
                            "Target file has 4"};
         }},
        {"dimensions otherwise named",
         [&] {
             makeTarget();
             ReleaseKelvad();
             GridVariant g;
             g.latName = "latitude";
             load(VariantFile(dir.file("next.nc"), g));
             pick({"temp"});
         },
         [] {
             return Strings{"Names of dimension do not match:\r\n\r\n"
                            "Original source: (time, depth, latitude, lon, )\r\n"
                            "To be appended: (time, depth, lat, lon, )"};
         }},
        {"a fixed dimension recorded from another length",
         [&] {
             makeTarget();
             // The file says its latitudes were cut from 7.
             int id = -1;
             ASSERT_EQ(nc_open(target.c_str(), NC_WRITE, &id), NC_NOERR);
             nc_redef(id);
             nc_put_att_text(id, NC_GLOBAL, "lat", 8, " 7 2 2 3");
             ASSERT_EQ(nc_close(id), NC_NOERR);
             pick({"sal"});
         },
         [&] {
             return Strings{fits("lat", "length in the source 6\r\ncut recorded in the file 7 2 "
                                        "2 3\r\nlength in the file 2")};
         }},
        {"a source of other lengths",
         [&] {
             makeTarget();
             ReleaseKelvad();
             load(RegularFixture(dir.file("next.nc")));
             pick({"temp"});
         },
         [&] {
             return Strings{fits("depth", "length in the source 2\r\ncut recorded in the file "
                                          "3 1 2 2\r\nlength in the file 2")};
         }},
        {"steps of another type",
         [&] {
             makeTarget();
             ReleaseKelvad();
             GridVariant g;
             g.tempType = NC_FLOAT;
             load(VariantFile(dir.file("next.nc"), g));
             pick({"temp"});
         },
         [] {
             return Strings{"[AppendNc] Variable temp of the target file has other dimensions or "
                            "another type than the source's."};
         }},
        {"steps for a file without an unlimited dimension",
         [&] {
             GridVariant g;
             g.fixedTime = true;
             g.recorded = true;
             VariantFile(target, g);
             loadGrid("made.nc");
             pick({"temp"});
         },
         [&] {
             return Strings{"[AppendNc] The target file has no unlimited dimension to take "
                            "further time steps:\r\n\r\nfile   : " +
                            target};
         }},
        {"steps for a file without a time variable",
         [&] {
             GridVariant g;
             g.timeVar = "t";
             g.recorded = true;
             VariantFile(target, g);
             loadGrid("made.nc");
             pick({"temp"});
         },
         [&] {
             return Strings{"[AppendNc] The target file has no time variable over its record "
                            "dimension time:\r\n\r\nfile   : " +
                            target};
         }},
        {"times in months",
         [&] {
             makeTarget();
             loadGrid("next.nc", "months since 1990-01-01");
             pick({"temp"});
         },
         [] {
             return Strings{"[AppendNc] The times of the source cannot be stated in the time "
                            "units of the target file:\r\n\r\nsource: months since 1990-01-01\r\n"
                            "target: hours since 1990-01-01T06:00:00"};
         }},
        {"no netCDF file",
         [&] {
             writeFile("subset.nc", "the old file");
             loadGrid("made.nc");
             pick({"temp"});
         },
         [] {
             return Strings{"[AppendNc] clsNC.Initialize&(tobeAppeded$) failed\r\n\r\n" +
                            std::string(nc_strerror(NC_ENOTNC))};
         }},
        {"two picks of one name",
         [&] {
             makeTarget();
             ReleaseKelvad();
             load(dir.file("made.nc"), SecondFile(dir.file("second.nc")));
             pick({"temp", "2:temp"});
         },
         [] {
             return Strings{
                 "[AppendNc] Two variables of the subset are named temp:\r\n\r\nPlease reseclect"};
         }},
        {"a dimension of the second file without its match",
         [&] {
             makeTarget();
             ReleaseKelvad();
             load(dir.file("made.nc"), SecondFile(dir.file("second.nc"), 9));
             pick({"sal", "2:u"});
         },
         [] {
             return Strings{"Variable u of the second file cannot be saved with the main dataset:"
                            "\r\n\r\nits dimension lon (9 values) has no dimension of that name "
                            "and length in the main dataset."};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseKelvad();
        for (const char* name : {"subset.nc", "next.nc", "second.nc", "three.nc"})
            std::filesystem::remove(dir.file(name));
        c.prepare();
        wholeRows();
        SubsetDescription sd = describe();
        const SubsetDescription kept = sd;
        ui.boxes.clear();
        const std::string before = readFile(target);
        const Strings names = folderNames(dir.path());
        EXPECT_EQ(AppendNc(target, sd), -1);
        EXPECT_EQ(messages(), c.messages());
        EXPECT_TRUE(readFile(target) == before) << "the file changed";
        EXPECT_EQ(folderNames(dir.path()), names);
        EXPECT_EQ(sd.startSub.size(), kept.startSub.size());
        for (Long d = 1; d <= sd.rank(); ++d)
            EXPECT_EQ(sd.startSub(d), kept.startSub(d)) << d;
    }

    // The open dataset itself is never the file appended to.
    ui.boxes.clear();
    makeTarget();
    const std::string made = dir.file("made.nc");
    const std::string before = readFile(made);
    SubsetDescription sd = describe();
    EXPECT_EQ(AppendNc(dir.file("./made.nc"), sd), -1);
    EXPECT_EQ(messages(),
              Strings{"[AppendNc] This file is one of the open datasets; choose another "
                      "name:\r\n\r\nfile   : " +
                      dir.file("./made.nc")});
    EXPECT_TRUE(readFile(made) == before);
}

// A read failing after the first pick's steps were written: the file is the one before the
// append, byte for byte, and nothing is left beside it.
TEST_F(AppendNcTest, AReadFailingHalfWayLeavesTheFileAsItWas) {
    makeTarget("hours since 1990-01-01 06:00:00", {"temp", "sal"});
    loadGrid("next.nc");
    pick({"temp", "sal"});
    wholeRows();
    row(1, 3, 5, 1);
    SubsetDescription sd = describe();
    // The source changes under the dataset object: temp is read as before, sal no longer is.
    Data.clsNC->CloseNC(1);
    GridWithoutSal(dir.file("next.nc"));
    ui.boxes.clear();
    const std::string before = readFile(target);
    const Strings names = folderNames(dir.path());
    EXPECT_EQ(AppendNc(target, sd), -1);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0], Data.clsNC->ErrorMessage());
    EXPECT_EQ(messages()[1], "Error(0):\r\n\r\n\"\"");
    EXPECT_EQ(ui.boxes[1].title, "AppendNc");
    EXPECT_TRUE(readFile(target) == before) << "the file changed";
    EXPECT_EQ(folderNames(dir.path()), names);
}

} // namespace
