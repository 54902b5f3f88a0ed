#include "common/NetCDF.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <netcdf.h>

TEST(NetCDF, NcErrorTextIsTheLibrarysText) {
    EXPECT_EQ(NcErrorText(NC_NOERR), "No error");
    EXPECT_EQ(NcErrorText(NC_EBADID), std::string(nc_strerror(NC_EBADID)));

    // The status of a real failure: a text file is no netCDF file.
    TempDir dir;
    const std::string path = dir.file("plain.nc");
    std::ofstream(path) << "not netCDF\n";
    int id = -1;
    const int status = nc_open(path.c_str(), NC_NOWRITE, &id);
    ASSERT_NE(status, NC_NOERR);
    EXPECT_EQ(NcErrorText(status), std::string(nc_strerror(status)));
    EXPECT_FALSE(NcErrorText(status).empty());
}

TEST(NetCDF, CStrToVBCopiesBytes) {
    EXPECT_EQ(CStrToVB(nullptr), "");
    EXPECT_EQ(CStrToVB(""), "");
    EXPECT_EQ(CStrToVB("caf\xe9"), "caf\xe9");
    const char text[] = {'a', 'b', '\0', 'c', '\0'};
    EXPECT_EQ(CStrToVB(text), "ab");
}
