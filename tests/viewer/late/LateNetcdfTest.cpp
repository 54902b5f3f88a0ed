// The program's late-bound netCDF calls: before the library that supplies netCDF can be opened
// they fail with a reason that nc_strerror gives; then a file written and read through them is
// the file netCDF wrote. This binary links the late-bound entry points, so each nc_ call here
// goes through them.
#include "viewer/LateNetcdf.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(LateNetcdfTest, FailsWithTheLoadersReasonUntilTheLibraryOpensThenReadsAndWrites) {
    int ncid = -1;
    // No library named yet, then one that is not there: each call fails, and says why.
    EXPECT_EQ(nc_open("/nonexistent.nc", NC_NOWRITE, &ncid), NC_ENOTBUILT);
    EXPECT_NE(std::string(nc_strerror(NC_ENOTBUILT)).find("no library named"), std::string::npos);
    SetLateNetcdfLibrary("/nonexistent/libKelvadlib.so");
    EXPECT_EQ(nc_open("/nonexistent.nc", NC_NOWRITE, &ncid), NC_ENOTBUILT);
    const std::string reason = nc_strerror(NC_ENOTBUILT);
    EXPECT_NE(reason.find("could not be loaded"), std::string::npos) << reason;
    EXPECT_NE(reason.find("libKelvadlib.so"), std::string::npos) << reason;

    // The dataset library: netCDF's own answers from here on.
    SetLateNetcdfLibrary(KELVADLIB_PATH);
    EXPECT_EQ(nc_open("/nonexistent.nc", NC_NOWRITE, &ncid), ENOENT);
    EXPECT_STREQ(nc_strerror(NC_EBADID), "NetCDF: Not a valid ID");

    char folder[] = "/tmp/late_netcdf.XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/t.nc";
    size_t hint = 0;
    ASSERT_EQ(nc__create(path.c_str(), NC_CLOBBER, 0, &hint, &ncid), NC_NOERR);
    int dim = -1, var = -1;
    ASSERT_EQ(nc_def_dim(ncid, "x", 3, &dim), NC_NOERR);
    ASSERT_EQ(nc_def_var(ncid, "v", NC_FLOAT, 1, &dim, &var), NC_NOERR);
    ASSERT_EQ(nc_put_att_text(ncid, var, "units", 1, "m"), NC_NOERR);
    ASSERT_EQ(nc_enddef(ncid), NC_NOERR);
    const size_t start = 0, count = 3;
    const float values[3] = {1.5f, -2, 4};
    ASSERT_EQ(nc_put_vara_float(ncid, var, &start, &count, values), NC_NOERR);
    ASSERT_EQ(nc_close(ncid), NC_NOERR);

    ASSERT_EQ(nc_open(path.c_str(), NC_NOWRITE, &ncid), NC_NOERR);
    int ndims = 0, nvars = 0, natts = 0, unlimited = 0;
    ASSERT_EQ(nc_inq(ncid, &ndims, &nvars, &natts, &unlimited), NC_NOERR);
    EXPECT_EQ(ndims, 1);
    EXPECT_EQ(nvars, 1);
    EXPECT_EQ(unlimited, -1);
    char units[2] = {};
    ASSERT_EQ(nc_get_att_text(ncid, var, "units", units), NC_NOERR);
    EXPECT_STREQ(units, "m");
    std::vector<double> back(3);
    ASSERT_EQ(nc_get_var_double(ncid, var, back.data()), NC_NOERR);
    EXPECT_EQ(back, (std::vector<double>{1.5, -2, 4}));
    ASSERT_EQ(nc_close(ncid), NC_NOERR);
    std::filesystem::remove_all(folder);
}

} // namespace
