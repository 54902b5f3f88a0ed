// Setting up a slot (Initialize) and the first and last time of a file (StartEndDate): slot
// numbers, and no dataset left open by a failed set-up or by the scratch slot.
#include "tests/kelvadlib/KelvadFixture.h"

#include "kelvadlib/IKelvad.h"
#include "kelvadlib/Kelvad.h"
#include "platform/DebugOut.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// How many handles of this process are open on the file.
int openHandles(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path target = fs::canonical(path);
    int n = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const fs::path link = fs::read_symlink(entry.path(), ec);
        if (!ec && link == target) ++n;
    }
    return n;
}

// Besides the small files: a grid with a time axis, a file without coordinates and one without
// a time axis.
class OpeningTest : public SmallFilesFixture {
protected:
    OpeningTest() {
        NcBuilder grid(dir.file("grid.nc"));
        grid.unlimitedDim("time", 3);
        grid.dim("lat", 2);
        grid.dim("lon", 3);
        grid.var("time", NC_DOUBLE, {"time"})
            .att("units", "hours since 1990-01-01 00:00:00")
            .values({0.0, 6.0, 12.0});
        grid.var("lat", NC_FLOAT, {"lat"}).values({10.0f, 20.0f});
        grid.var("lon", NC_FLOAT, {"lon"}).values({1.0f, 2.0f, 3.0f});
        grid.var("sst", NC_FLOAT, {"time", "lat", "lon"});
        gridPath = grid.write();

        // Header and time axis fine, but no longitude or latitude.
        NcBuilder plain(dir.file("plain.nc"));
        plain.dim("time", 2);
        plain.dim("x", 2);
        plain.var("time", NC_DOUBLE, {"time"})
            .att("units", "days since 2000-01-01")
            .values({0.0, 1.0});
        plain.var("a", NC_FLOAT, {"time", "x"});
        plainPath = plain.write();

        // Coordinates, but no time axis.
        NcBuilder still(dir.file("still.nc"));
        still.dim("lat", 2);
        still.dim("lon", 2);
        still.var("lat", NC_FLOAT, {"lat"}).values({1.0f, 2.0f});
        still.var("lon", NC_FLOAT, {"lon"}).values({1.0f, 2.0f});
        stillPath = still.write();
    }
    std::string gridPath, plainPath, stillPath;
};

} // namespace

TEST_F(OpeningTest, SlotsAreNumberedInOrderAndAFailedSetUpGivesItsNumberBack) {
    Kelvad k;
    EXPECT_EQ(k.Initialize(gridPath), 1);
    EXPECT_EQ(k.Initialize(noDimsPath), -1);
    EXPECT_EQ(k.nNcMax, 1);
    EXPECT_EQ(k.Initialize(""), -1);
    EXPECT_EQ(k.ErrorMessage, "Given file name is Empty");
    EXPECT_EQ(k.Initialize(gridPath), 2);
    EXPECT_EQ(k.nNcMax, 2);
    EXPECT_EQ(k.CloseAfterRead, 0);
    EXPECT_EQ(k.ncf(2).GridType, kGridRegular);
    EXPECT_EQ(k.ncf(2).StartTime, "1990-01-01");
    EXPECT_EQ(k.ncf(2).endTime, "1990-01-01 12:00:00");
}

TEST_F(OpeningTest, ASuccessfulSetUpKeepsTheDatasetOpenAndAFailedOneClosesIt) {
    {
        Kelvad k;
        k.CloseAfterRead = 1; // Initialize sets it back to 0
        ASSERT_EQ(k.Initialize(gridPath), 1);
        EXPECT_EQ(openHandles(gridPath), 1);
        EXPECT_GE(k.ncf(1).ncid, 0);
        k.CloseNC(1);
        EXPECT_EQ(openHandles(gridPath), 0);
    }
    struct Case {
        const char* what;
        std::string path;
    };
    for (const Case& c : {Case{"no dimensions", noDimsPath}, Case{"six dimensions", sixDimsPath},
                          Case{"missing file", dir.file("missing.nc")}}) {
        Kelvad k;
        ASSERT_EQ(k.Initialize(gridPath), 1);
        EXPECT_EQ(k.Initialize(c.path), -1) << c.what;
        EXPECT_FALSE(k.ErrorMessage.empty()) << c.what;
        EXPECT_EQ(k.nNcMax, 1) << c.what;
        if (std::filesystem::exists(c.path)) {
            EXPECT_EQ(openHandles(c.path), 0) << c.what;
        }
        if (k.ncf.UBound() >= 2) {
            EXPECT_EQ(k.ncf(2).ncid, -1) << c.what;
        }
        // The slot before is untouched, and the number is taken again.
        EXPECT_EQ(openHandles(gridPath), 1) << c.what;
        EXPECT_EQ(k.Initialize(gridPath), 2) << c.what;
        EXPECT_EQ(openHandles(gridPath), 2) << c.what;
    }
}

TEST_F(OpeningTest, ADatasetWithoutRecognisedCoordinatesStillOpens) {
    Kelvad k;
    EXPECT_EQ(k.Initialize(plainPath), 1);
    EXPECT_EQ(k.nNcMax, 1);
    EXPECT_EQ(k.ncf(1).GridType, kGridNone);
    EXPECT_EQ(k.ncf(1).nVars, 2);
    EXPECT_GE(k.ncf(1).ncid, 0);
    // The caller is told why the coordinates were not found; the time axis is still set up.
    EXPECT_EQ(k.ErrorMessage, "[pickCoordVariables] can not identify horizontal coordiantes");
    EXPECT_EQ(k.ncf(1).nTime, 2);
    EXPECT_EQ(k.ncf(1).TimePick, 1);
    EXPECT_EQ(k.ncf(1).Dated, 1);
    EXPECT_EQ(k.ncf(1).StartTime, "2000-01-01");
    EXPECT_EQ(k.ncf(1).endTime, "2000-01-02");
}

TEST_F(OpeningTest, ASuccessfulSetUpReportsWhatRecognitionLeft) {
    // A time unit the axis does not know: the time step fails with a text, but the set-up goes
    // on and succeeds, with an axis without dates.
    const std::string oddTime = "  time:units = \"fortnights since 2000-01-01\";\n";
    writeCdl("netcdf g {\n"
             "dimensions: time = 2; lat = 2; lon = 3;\n"
             "variables: double time(time);\n" +
                 oddTime +
                 "  float lat(lat); float lon(lon); float sst(time, lat, lon);\n"
                 "data: time = 0, 1; lat = 10, 20; lon = 1, 2, 3;\n}\n",
             dir.file("oddtime.nc"));
    // A finite-volume mesh without a "dimensions" dimension: recognition warns and goes on.
    writeCdl("netcdf m {\n"
             "dimensions: node = 4; nele = 2; nface = 3; time = 2;\n"
             "variables: float lon(nele); float lat(nele); int nv(nface, nele);\n"
             "  double time(time);\n" +
                 oddTime + "data: lon = 1, 2; lat = 3, 4; nv = 1, 2, 2, 3, 3, 4; time = 0, 1;\n}\n",
             dir.file("fvmesh.nc"));
    struct Case {
        const char* what;
        std::string before; // a failure of an earlier call on the object, or nothing
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {"nothing to report", "", dir.file("oddtime.nc"), ""},
        {"recognition's warning", "", dir.file("fvmesh.nc"),
         "[pickCoordVariables] FV_dimensions/FV_layers = 0"},
        {"unrecognised coordinates", "", plainPath,
         "[pickCoordVariables] can not identify horizontal coordiantes"},
        // No success clears a text: recognition left the earlier failure standing.
        {"an earlier failure", "Given file name is Empty", dir.file("oddtime.nc"),
         "Given file name is Empty"},
    };
    for (const Case& c : cases) {
        Kelvad k;
        if (!c.before.empty()) {
            ASSERT_EQ(k.Initialize(""), -1);
            ASSERT_EQ(k.ErrorMessage, c.before);
        }
        std::vector<std::string> lines;
        const DebugSink before = SetDebugSink([&](const std::string& l) { lines.push_back(l); });
        EXPECT_EQ(k.Initialize(c.path), 1) << c.what;
        SetDebugSink(before);
        EXPECT_EQ(k.ErrorMessage, c.message) << c.what;
        if (c.path != plainPath) {
            // The time step did fail; its text went to the debugging lines.
            bool logged = false;
            for (const std::string& l : lines)
                logged = logged || l.find("Time has no unit:") != std::string::npos;
            EXPECT_TRUE(logged) << c.what;
            EXPECT_EQ(k.ncf(1).Dated, 0) << c.what;
            EXPECT_EQ(k.ncf(1).StartTime, "") << c.what;
        }
    }
}

TEST_F(OpeningTest, ATimeAxisThatCannotBeDatedIsKeptAndOneThatCannotBeReadFailsTheSetUp) {
    // Times beyond every date, or in a format that is not read: the axis keeps its steps
    // without dates and the file opens. A time variable of a type no axis has gives the slot
    // back with the time step's text instead of a slot whose axis is half set.
    struct Case {
        const char* units;
        nc_type type;
        double last;
        std::string failure; // "" when the file opens
    };
    const Case cases[] = {
        {"days since 2000-01-01", NC_DOUBLE, 1e12, ""},
        {"day as %j", NC_DOUBLE, 33, ""},
        {"days since 2000-01-01", NC_BYTE, 1,
         "Variable-Type of time coodrinate not expected:\r\nVariable Name = time\n"
         "Tyep Number =  1"},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.units);
        NcBuilder nc(dir.file("badtime" + std::to_string(i++) + ".nc"));
        nc.dim("time", 2);
        nc.dim("lat", 2);
        nc.dim("lon", 3);
        nc.var("time", c.type, {"time"}).att("units", c.units).values({0.0, c.last});
        nc.var("lat", NC_FLOAT, {"lat"}).values({10.0f, 20.0f});
        nc.var("lon", NC_FLOAT, {"lon"}).values({1.0f, 2.0f, 3.0f});
        nc.var("sst", NC_FLOAT, {"time", "lat", "lon"});
        const std::string path = nc.write();
        Kelvad k;
        ASSERT_EQ(k.Initialize(gridPath), 1);
        if (c.failure.empty()) {
            EXPECT_EQ(k.Initialize(path), 2) << k.ErrorMessage;
            EXPECT_EQ(k.ncf(2).nTime, 2);
            EXPECT_EQ(k.ncf(2).Dated, 0);
            EXPECT_EQ(k.ncf(2).StartTime, "");
            EXPECT_EQ(k.GetDate(2, 2), "");
            continue;
        }
        EXPECT_EQ(k.Initialize(path), -1);
        EXPECT_EQ(k.ErrorMessage, c.failure);
        EXPECT_EQ(k.nNcMax, 1);
        EXPECT_EQ(openHandles(path), 0);
        EXPECT_EQ(k.Initialize(gridPath), 2); // the slot is taken again
    }
}

TEST_F(OpeningTest, StartEndDateWorksInTheScratchSlotAndClosesItOnEveryExit) {
    struct Case {
        const char* what;
        std::string path;
        Long result;
        std::string first, last;
        Long closeAfterRead; // as the call leaves it
    };
    const Case cases[] = {
        {"dated axis", gridPath, 1, "1990-01-01", "1990-01-01 12:00:00", 1},
        {"no coordinates, a time axis", plainPath, 1, "2000-01-01", "2000-01-02", 1},
        {"no time axis", stillPath, -1, "", "", 1},
        {"missing file", dir.file("missing.nc"), -1, "", "", 0},
    };
    for (const Case& c : cases) {
        Kelvad k;
        ASSERT_EQ(k.Initialize(gridPath), 1);
        std::string first = "x", last = "y";
        EXPECT_EQ(k.StartEndDate(c.path, first, last), c.result) << c.what;
        EXPECT_EQ(first, c.first) << c.what;
        EXPECT_EQ(last, c.last) << c.what;
        EXPECT_EQ(k.CloseAfterRead, c.closeAfterRead) << c.what;
        EXPECT_EQ(k.nNcMax, 1) << c.what;
        if (k.ncf.IsAllocated()) {
            EXPECT_EQ(k.ncf(0).ncid, -1) << c.what;
        }
        if (c.path != gridPath && std::filesystem::exists(c.path)) {
            EXPECT_EQ(openHandles(c.path), 0) << c.what;
        }
        // Slot 1 keeps its dataset open.
        EXPECT_EQ(openHandles(gridPath), 1) << c.what;
        EXPECT_GE(k.ncf(1).ncid, 0) << c.what;
    }
}

TEST_F(OpeningTest, DeletingTheObjectClosesEveryDatasetItOpened) {
    std::unique_ptr<IKelvad> k(CreateKelvad());
    ASSERT_EQ(k->Initialize(gridPath), 1);
    ASSERT_EQ(k->Initialize(stillPath), 2);
    std::string first, last;
    ASSERT_EQ(k->StartEndDate(plainPath, first, last), 1);
    EXPECT_EQ(openHandles(gridPath), 1);
    EXPECT_EQ(openHandles(stillPath), 1);
    k.reset();
    EXPECT_EQ(openHandles(gridPath), 0);
    EXPECT_EQ(openHandles(stillPath), 0);
    EXPECT_EQ(openHandles(plainPath), 0);
}

TEST_F(OpeningTest, AxesDeclaredFarBeyondWhatANetCdf4FileHoldsAreRefusedBeforeTheSetUp) {
    // A header of a few KB that declares an axis the file cannot hold: the set-up would size
    // its arrays by it (4-8 GB). One within what a packed file may hold is set up as before.
    struct Case {
        const char* name;
        nc_type type;
        std::size_t length;
        std::size_t width;
        bool refused;
    };
    const Case cases[] = {
        {"time", NC_DOUBLE, 500000000, 8, true},
        {"lon", NC_FLOAT, 1000000000, 4, true},
        {"time", NC_DOUBLE, 1000, 8, false},
    };
    int i = 0;
    for (const Case& c : cases) {
        const std::string path = dir.file("axis" + std::to_string(i++) + ".nc");
        int id = -1, dim = -1, var = -1;
        ASSERT_EQ(nc_create(path.c_str(), NC_NETCDF4 | NC_CLOBBER, &id), NC_NOERR);
        ASSERT_EQ(nc_def_dim(id, c.name, c.length, &dim), NC_NOERR);
        ASSERT_EQ(nc_def_var(id, c.name, c.type, 1, &dim, &var), NC_NOERR);
        const std::size_t chunk = std::min<std::size_t>(1024, c.length);
        ASSERT_EQ(nc_def_var_chunking(id, var, NC_CHUNKED, &chunk), NC_NOERR);
        const char* units = "days since 2000-01-01";
        if (std::string(c.name) == "time") {
            ASSERT_EQ(nc_put_att_text(id, var, "units", std::strlen(units), units), NC_NOERR);
        }
        ASSERT_EQ(nc_close(id), NC_NOERR);
        const auto size = std::filesystem::file_size(path);
        ASSERT_LT(size, 20000u);

        Kelvad k;
        const Long n = k.Initialize(path);
        const std::string refusal = "[Initialize] Variable " + std::string(c.name) + " declares " +
                                    std::to_string(c.length * c.width) +
                                    " bytes, more than a file of " + std::to_string(size) +
                                    " bytes can hold: " + path;
        if (c.refused) {
            EXPECT_EQ(n, -1);
            EXPECT_EQ(k.ErrorMessage, refusal);
            EXPECT_EQ(k.nNcMax, 0);
        } else {
            EXPECT_EQ(k.ErrorMessage.find("declares"), std::string::npos) << k.ErrorMessage;
        }
    }
}
