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

TEST(NetCDF, TypeSizesAndTheTypesValuesAreReadAs) {
    struct Case {
        nc_type type;
        Long size, readAs;
    };
    const Case cases[] = {
        {NC_BYTE, 1, NC_BYTE},     {NC_CHAR, 1, NC_CHAR},
        {NC_SHORT, 2, NC_SHORT},   {NC_INT, 4, NC_INT},
        {NC_FLOAT, 4, NC_FLOAT},   {NC_DOUBLE, 8, NC_DOUBLE},
        {NC_UBYTE, 0, NC_DOUBLE},  {NC_USHORT, 0, NC_DOUBLE},
        {NC_UINT, 0, NC_DOUBLE},   {NC_INT64, 0, NC_DOUBLE},
        {NC_UINT64, 0, NC_DOUBLE}, {NC_STRING, 0, NC_STRING},
        {NC_NAT, 0, NC_NAT},       {NC_FIRSTUSERTYPEID, 0, NC_FIRSTUSERTYPEID},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NcTypeSize(c.type), c.size) << c.type;
        EXPECT_EQ(NcReadType(c.type), c.readAs) << c.type;
    }
}
