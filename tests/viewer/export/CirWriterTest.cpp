// The CIR writer: files compared byte for byte with ones built here (records, labels, geometry,
// thousandths rounded halves to even, missing pairs), the unit rule, the save command's route to
// it, and every refusal or failed write leaving the target as it was.
#include "tests/viewer/export/ExportFixture.h"

#include "viewer/export/SaveFlow.h"
#include "viewer/export/ToCir.h"

#include <cstring>

namespace {

using Strings = std::vector<std::string>;
using Cells = std::vector<std::vector<int16_t>>;

// The bytes of a CIR file for NT steps over an Imax x Jmax window: the cells (j outer, i inner)
// each with u, v of step 1, u, v of step 2, ...
std::string CirBytes(int32_t NT, int32_t Imax, int32_t Jmax, std::array<float, 4> geometry,
                     const Cells& cells) {
    std::string s;
    auto put = [&](const auto& v) { s.append(reinterpret_cast<const char*>(&v), sizeof v); };
    const int32_t R = 18 + 4 * NT, N = Imax * Jmax;
    auto pad = [&](std::size_t recordStart) { s.append(recordStart + R - s.size(), '\0'); };
    for (int32_t v : {R, 3 + NT + N, Imax, Jmax, N})
        put(v);
    pad(0);
    for (int32_t v : {NT, 0, NT, 0, 0})
        put(v);
    pad(R);
    for (float v : geometry)
        put(v);
    pad(2 * R);
    for (int32_t k = 1; k <= NT; ++k) {
        const std::size_t at = s.size();
        std::string label = "nontide " + std::to_string(k);
        label.resize(10, ' ');
        s += label;
        pad(at);
    }
    int32_t number = 0;
    for (const auto& cell : cells) {
        put(++number);
        put(10.0f);
        const int16_t i = static_cast<int16_t>((number - 1) % Imax + 1);
        const int16_t j = static_cast<int16_t>((number - 1) / Imax + 1);
        for (int16_t v : {i, j, int16_t{0}, int16_t{0}, int16_t{0}})
            put(v);
        for (int16_t v : cell)
            put(v);
    }
    return s;
}

constexpr float kMissing = -999;

// cir.nc: 2 steps, 2 depths, latitudes 10 and 10.25, longitudes 100 to 101.5 by 0.5. u and v
// hold at depth 2 the values below and at depth 1 nines (never written); v misses one value;
// "big" is u with 32.768 at its first cell, too large for thousandths.
std::string CirFixture(const std::string& path, const std::string& unit = "m/s") {
    const std::vector<float> u2 = {0.0625f, 0.1875f, 12.3456f, -0.0625f, 1.0625f, -1.1875f,
                                   0.5f,    2.0f,    0.5f,     0.25f,    0.125f,  0.0f,
                                   3.0f,    3.0f,    3.0f,     3.0f};
    const std::vector<float> v2 = {1,         2,         3,         4,         kMissing,  -2,
                                   -0.5f,     0,         0.015625f, 0.015625f, 0.015625f, 0.015625f,
                                   0.015625f, 0.015625f, 0.015625f, 0.015625f};
    // (time, depth, lat, lon) from two (time, lat, lon) blocks at depth 2.
    auto withDepth = [](const std::vector<float>& level2) {
        std::vector<double> all;
        for (int t = 0; t < 2; ++t) {
            all.insert(all.end(), 8, 9.0);
            for (int n = 0; n < 8; ++n)
                all.push_back(level2[static_cast<std::size_t>(t * 8 + n)]);
        }
        return all;
    };
    std::vector<float> big = u2;
    big[0] = 32.768f;
    NcBuilder nc(path);
    nc.unlimitedDim("time", 2);
    nc.dim("depth", 2);
    nc.dim("lat", 2);
    nc.dim("lon", 4);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 2000-01-01 00:00:00")
        .values({0.0, 6.0});
    nc.var("depth", NC_FLOAT, {"depth"}).att("units", "m").att("positive", "down").values({0, 10});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({10.0, 10.25});
    nc.var("lon", NC_FLOAT, {"lon"})
        .att("units", "degrees_east")
        .values({100.0, 100.5, 101.0, 101.5});
    const std::vector<std::string> dims = {"time", "depth", "lat", "lon"};
    nc.var("u", NC_FLOAT, dims)
        .att("units", unit)
        .att("_FillValue", kMissing)
        .values(withDepth(u2));
    nc.var("v", NC_FLOAT, dims)
        .att("units", "m/s")
        .att("_FillValue", kMissing)
        .values(withDepth(v2));
    nc.var("big", NC_FLOAT, dims).att("_FillValue", kMissing).values(withDepth(big));
    return nc.write();
}

class CirWriterTest : public ExportFixture {
protected:
    std::string source, out;

    void SetUp() override {
        ExportFixture::SetUp();
        out = dir.file("out.CIR");
    }
    void loadCir(const std::string& unit = "m/s", const std::string& second = "") {
        source = CirFixture(dir.file("cir.nc"), unit);
        load(source, second);
        Data.CurLevel = 2;
    }
    // The rows: time, depth (the current level is written), lat, lon.
    static void rows(std::array<Long, 3> time, std::array<Long, 3> lat, std::array<Long, 3> lon) {
        row(1, time[0], time[1], time[2]);
        row(2, 1, 2, 1);
        row(3, lat[0], lat[1], lat[2]);
        row(4, lon[0], lon[1], lon[2]);
    }
    Long save(const std::string& path) {
        SubsetDescription sd;
        EXPECT_EQ(SubSetNcDomain(sd), 1) << testing::PrintToString(messages());
        return To_Cir(path, sd);
    }
};

TEST_F(CirWriterTest, TheFileHoldsItsRecordsByteForByte) {
    loadCir();
    pick({"u", "v"});
    rows({1, 2, 1}, {1, 2, 1}, {1, 4, 1});
    ASSERT_EQ(save(out), 1);
    EXPECT_EQ(messages(), Strings{"File made:\r\n\r\nfile   : " + out});
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    // 0.0625, 0.1875, 1.0625 and -1.1875 are halves in thousandths: to the even neighbour.
    const Cells cells = {{62, 1000, 500, 16},   {188, 2000, 250, 16}, {12346, 3000, 125, 16},
                         {-62, 4000, 0, 16},    {0, 0, 3000, 16},     {-1188, -2000, 3000, 16},
                         {500, -500, 3000, 16}, {2000, 0, 3000, 16}};
    EXPECT_TRUE(readFile(out) == CirBytes(2, 4, 2, {0.5f, 0.25f, 100.0f, 10.0f}, cells));
    EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "cir.nc", "out.CIR"}));

    // One step, every other column up to an end the step does not reach: the spacing is that of
    // the columns written. An old file is replaced.
    ui.boxes.clear();
    rows({2, 2, 1}, {1, 2, 1}, {1, 4, 2});
    ASSERT_EQ(save(out), 1);
    EXPECT_TRUE(readFile(out) == CirBytes(1, 2, 2, {1.0f, 0.25f, 100.0f, 10.0f},
                                          {{500, 16}, {125, 16}, {3000, 16}, {3000, 16}}));
    EXPECT_EQ(readFile(out).size(), 22u * (3 + 1 + 4));
}

// A window reaching past the view's east edge: in every row the cells east of the edge hold
// (0, 0) pairs, and the next row starts afresh. The edge is compared with the view's own units.
TEST_F(CirWriterTest, CellsEastOfTheViewAreWrittenAsZeroPairs) {
    loadCir();
    pick({"u", "v"});
    rows({1, 2, 1}, {1, 2, 1}, {1, 4, 1});
    View.ViewExtent.East = 100.75;
    ASSERT_EQ(save(out), 1);
    const Cells cells = {{62, 1000, 500, 16}, {188, 2000, 250, 16},     {0, 0, 0, 0}, {0, 0, 0, 0},
                         {0, 0, 3000, 16},    {-1188, -2000, 3000, 16}, {0, 0, 0, 0}, {0, 0, 0, 0}};
    EXPECT_TRUE(readFile(out) == CirBytes(2, 4, 2, {0.5f, 0.25f, 100.0f, 10.0f}, cells));

    // A column on the edge is still inside the view.
    View.ViewExtent.East = 101.0;
    ASSERT_EQ(save(out), 1);
    std::string bytes = readFile(out);
    int16_t pair[2] = {};
    // Records of 26 bytes for two steps: three of the header, two labels, then the cells.
    std::memcpy(pair, bytes.data() + 26 * (3 + 2 + 2) + 18, 4); // cell 3, step 1
    EXPECT_EQ(pair[0], 12346);
    std::memcpy(pair, bytes.data() + 26 * (3 + 2 + 3) + 18, 4); // cell 4, step 1
    EXPECT_EQ(pair[0], 0);
    EXPECT_EQ(pair[1], 0);
}

// Centimetres per second are written as metres per second, both components alike: only the
// first pick's unit counts.
TEST_F(CirWriterTest, ComponentsInCentimetresAreWrittenInMetres) {
    struct Case {
        const char* unit;
        int16_t u, v;
    };
    // The first cell of step 2: u 0.5, v 0.015625 as read.
    const Case cases[] = {{"cm/s", 5, 0},   {"(CM/S)", 5, 0}, {"Cm s-1", 5, 0},
                          {"centimeter/s", 5, 0}, {"Centimetres per second", 5, 0},
                          {"m/s", 500, 16}, {"mcm", 500, 16}, {"", 500, 16}};
    for (const auto& [unit, first, second] : cases) {
        SCOPED_TRACE(unit);
        ReleaseKelvad();
        loadCir(unit);
        pick({"u", "v"});
        rows({2, 2, 1}, {1, 2, 1}, {1, 4, 1});
        ASSERT_EQ(save(out), 1);
        const std::string bytes = readFile(out);
        int16_t u = 0, v = 0;
        std::memcpy(&u, bytes.data() + 22 * 4 + 18, 2);
        std::memcpy(&v, bytes.data() + 22 * 4 + 20, 2);
        EXPECT_EQ(u, first);
        EXPECT_EQ(v, second);
    }
}

TEST_F(CirWriterTest, MercatorPositionsAreWrittenInDegrees) {
    loadCir();
    View.Projection = 1;
    for (std::size_t n = 0; n < Data.lonV.size(); ++n)
        Data.lonV.data()[n] = static_cast<float>(Data.lonV.data()[n] * kDegToRad);
    for (std::size_t n = 0; n < Data.latV.size(); ++n)
        Data.latV.data()[n] = static_cast<float>(Data.latV.data()[n] * kDegToRad);
    pick({"u", "v"});
    rows({1, 1, 1}, {1, 2, 1}, {1, 4, 1});
    ASSERT_EQ(save(out), 1);
    float geometry[4] = {};
    std::memcpy(geometry, readFile(out).data() + 2 * 22, sizeof geometry);
    EXPECT_NEAR(geometry[0], 0.5, 1e-5);
    EXPECT_NEAR(geometry[1], 0.25, 1e-5);
    EXPECT_NEAR(geometry[2], 100, 1e-4);
    EXPECT_NEAR(geometry[3], 10, 1e-4);
}

// Everything that cannot be written is refused before the file is started: the target keeps
// its bytes and nothing is left beside it.
TEST_F(CirWriterTest, RefusalsLeaveTheTargetAsItWas) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
        Strings messages;
        std::string target = ""; // "" the old file
    };
    const std::string second = dir.file("second.nc");
    const std::vector<Case> cases = {
        {"one row",
         [&] {
             loadCir();
             pick({"u", "v"});
             rows({1, 2, 1}, {2, 2, 1}, {1, 4, 1});
         },
         {"[To_Cir] A CIR file needs from 2 to 32767 columns and rows, and at most 32767 time "
          "steps:\r\n\r\nImax = 4, Jmax = 1, time steps = 2"}},
        {"one column",
         [&] {
             loadCir();
             pick({"u", "v"});
             rows({1, 2, 1}, {1, 2, 1}, {3, 3, 1});
         },
         {"[To_Cir] A CIR file needs from 2 to 32767 columns and rows, and at most 32767 time "
          "steps:\r\n\r\nImax = 1, Jmax = 2, time steps = 2"}},
        {"thousandths beyond an Integer",
         [&] {
             loadCir();
             pick({"big", "v"});
             rows({1, 2, 1}, {1, 2, 1}, {1, 4, 1});
         },
         {"[To_Cir] A value does not fit the file's Integer field (thousandths from -32768 to "
          "32767):\r\n\r\nbig = 32.768 at step 1, cell 1, 1"}},
        {"a failed read of v",
         [&] {
             std::filesystem::copy_file(CirFixture(dir.file("v.nc")), second);
             loadCir("m/s", second);
             pick({"u", "2:v"});
             rows({1, 2, 1}, {1, 2, 1}, {1, 4, 1});
             // The second file goes away under the dataset object.
             Data.clsNC->CloseNC(2);
             std::filesystem::remove(second);
         },
         {"(the library's reason)"}},
        {"a boundary-fitted grid",
         [&] {
             load(sample("bfg_coastal.nc"));
             pick({"u", "v"});
             row(1, 1, 2, 1);
             row(2, 1, 24, 1);
             row(3, 1, 40, 1);
         },
         {"[To_Cir] can not define Imax,Jmax"}},
        {"the dataset as the target",
         [&] {
             loadCir();
             pick({"u", "v"});
             rows({1, 2, 1}, {1, 2, 1}, {1, 4, 1});
         },
         {"[To_Cir] This file is one of the open datasets; choose another name:\r\n\r\n"
          "file   : " +
          dir.file("./cir.nc")},
         dir.file("./cir.nc")},
    };
    writeFile("out.CIR", "the old file");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReleaseKelvad();
        ui.boxes.clear();
        c.prepare();
        const std::string target = c.target.empty() ? out : c.target;
        const std::string before = readFile(target);
        const Strings names = folderNames(dir.path());
        SubsetDescription sd;
        ASSERT_EQ(SubSetNcDomain(sd), 1) << testing::PrintToString(messages());
        EXPECT_EQ(To_Cir(target, sd), -1);
        Strings want = c.messages;
        if (want.front() == "(the library's reason)")
            want.front() = "[To_Cir] " + Data.clsNC->ErrorMessage();
        EXPECT_EQ(messages(), want);
        EXPECT_TRUE(readFile(target) == before) << "the target changed";
        EXPECT_EQ(folderNames(dir.path()), names);
        EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    }
}

// A file that cannot grow beyond a few hundred bytes: the writes through the file library fail,
// the writer says so, and the target keeps its old bytes with nothing beside it.
// A full disk (here a file that may not grow) names the file it could not write.
TEST_F(CirWriterTest, AFailedWriteKeepsTheOldFile) {
    loadCir();
    pick({"u", "v"});
    rows({1, 2, 1}, {1, 2, 1}, {1, 4, 1});
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    writeFile("out.CIR", "the old file");
    const Strings names = folderNames(dir.path());
    EXPECT_TRUE(InChildWithFileLimit(200, [&] {
        ui.boxes.clear();
        return To_Cir(out, sd) == -1 && ui.boxes.size() == 1 && ui.boxes[0].title == "To_Cir" &&
               ui.boxes[0].text ==
                   "[To_Cir] The file could not be written:\r\n" + out + "\r\n\r\nDisk full";
    }));
    EXPECT_TRUE(readFile(out) == "the old file") << "the target changed";
    EXPECT_EQ(folderNames(dir.path()), names);
}

// The save command: the CIR format on a regular grid with a pair, refused before the dialog on
// other grids.
TEST_F(CirWriterTest, TheSaveCommandReachesTheWriter) {
    loadCir();
    Opt.SaveFormat = kSaveCir;
    pick({"u", "v"});
    rows({1, 2, 1}, {1, 2, 1}, {1, 4, 1});
    ui.fileAnswers = {out};
    SaveCommand();
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].request.filter, "Orv CIR file(*.CIR)|*.CIR|All files(*.*)|*.*");
    EXPECT_EQ(messages(), Strings{"File made:\r\n\r\nfile   : " + out});
    EXPECT_EQ(readFile(out).size(), 26u * 13);

    ReleaseKelvad();
    load(sample("bfg_coastal.nc"));
    pick({"u", "v"});
    ui.boxes.clear();
    SaveCommand();
    EXPECT_EQ(messages(), Strings{kFormatNotAvailableText});
    EXPECT_EQ(ui.fileDialogs.size(), 1u);
}

} // namespace
