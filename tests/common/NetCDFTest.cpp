#include "common/NetCDF.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
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

// The table against what netCDF-C itself reads where nothing was written: a variable of each
// type, without a fill attribute, in a file of the format that holds the type.
TEST(NetCDF, TypeFillsAreWhatTheLibraryReadsFromUnwrittenValues) {
    struct Case {
        nc_type type;
        double fill;
    };
    const Case cases[] = {
        {NC_BYTE, -127},
        {NC_CHAR, 0},
        {NC_SHORT, -32767},
        {NC_INT, -2147483647},
        {NC_FLOAT, 9.969209968386869e36},
        {NC_DOUBLE, 9.969209968386869e36},
        {NC_UBYTE, 255},
        {NC_USHORT, 65535},
        {NC_UINT, 4294967295.0},
        {NC_INT64, -9223372036854775806.0},
        {NC_UINT64, 18446744073709551614.0},
    };
    TempDir dir;
    const std::string path = dir.file("unwritten.nc");
    int id = -1;
    ASSERT_EQ(nc_create(path.c_str(), NC_CLOBBER | NC_NETCDF4, &id), NC_NOERR);
    int dim = -1;
    ASSERT_EQ(nc_def_dim(id, "x", 2, &dim), NC_NOERR);
    for (const Case& c : cases) {
        int var = -1;
        ASSERT_EQ(nc_def_var(id, ("v" + std::to_string(c.type)).c_str(), c.type, 1, &dim, &var),
                  NC_NOERR);
    }
    ASSERT_EQ(nc_enddef(id), NC_NOERR);
    ASSERT_EQ(nc_close(id), NC_NOERR);
    ASSERT_EQ(nc_open(path.c_str(), NC_NOWRITE, &id), NC_NOERR);
    for (std::size_t v = 0; v < std::size(cases); ++v) {
        const Case& c = cases[v];
        const std::size_t index[1] = {1};
        double read = -1;
        if (c.type == NC_CHAR) {
            char ch = 'x';
            ASSERT_EQ(nc_get_var1_text(id, static_cast<int>(v), index, &ch), NC_NOERR);
            read = ch;
        } else if (c.type == NC_INT64) {
            long long x = 0;
            ASSERT_EQ(nc_get_var1_longlong(id, static_cast<int>(v), index, &x), NC_NOERR);
            read = static_cast<double>(x);
        } else if (c.type == NC_UINT64) {
            unsigned long long x = 0;
            ASSERT_EQ(nc_get_var1_ulonglong(id, static_cast<int>(v), index, &x), NC_NOERR);
            read = static_cast<double>(x);
        } else if (c.type == NC_FLOAT) {
            float x = 0;
            ASSERT_EQ(nc_get_var1_float(id, static_cast<int>(v), index, &x), NC_NOERR);
            read = x;
        } else {
            ASSERT_EQ(nc_get_var1_double(id, static_cast<int>(v), index, &read), NC_NOERR);
        }
        EXPECT_EQ(NcTypeFill(c.type), c.fill) << c.type;
        EXPECT_EQ(NcTypeFill(c.type), read) << c.type;
        // The classic table leaves the netCDF-4 types without a fill.
        EXPECT_EQ(NcDefaultFill(c.type), c.type <= NC_DOUBLE ? c.fill : 0.0) << c.type;
    }
    nc_close(id);
    EXPECT_EQ(NcTypeFill(NC_STRING), 0.0);
    EXPECT_EQ(NcTypeFill(NC_NAT), 0.0);
}
