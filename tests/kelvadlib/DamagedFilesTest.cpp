// Files that lie about themselves: a name longer than the library's buffers, a file shorter
// than its header says, a file cut short while it is open, a time axis declared far longer
// than what is read of it.
#include "tests/kelvadlib/KelvadFixture.h"

#include "kelvadlib/Kelvad.h"
#include "tests/support/NcBuilder.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A time axis of four records and a float field on it, values 1 to 12.
std::string writeRecords(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 4);
    nc.dim("x", 3);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "days since 2000-01-01")
        .values({0.0, 1.0, 2.0, 3.0});
    std::vector<float> v(12);
    for (int i = 0; i < 12; ++i)
        v[i] = static_cast<float>(i + 1);
    nc.var("temp", NC_FLOAT, {"time", "x"}).values(v);
    return nc.write();
}

using DamagedFilesTest = KelvadFixture;

TEST_F(DamagedFilesTest, HeaderThatCannotBeTrustedIsRefusedNamingTheFile) {
    // A name field that declares 300 bytes, past the library's longest name.
    const std::string path = dir.file("long-name.nc");
    NcBuilder nc(path);
    nc.dim("x", 2);
    nc.var(std::string(NC_MAX_NAME, 'v'), NC_FLOAT, {"x"}).values({1.0f, 2.0f});
    nc.write();
    std::string b = bytesOf(path);
    const std::size_t at = b.find(std::string("\0\0\1\0", 4) + std::string(4, 'v'));
    ASSERT_NE(at, std::string::npos);
    b[at + 2] = 1;
    b[at + 3] = 44; // 300
    std::ofstream(path, std::ios::binary | std::ios::trunc) << b;

    Kelvad fresh;
    EXPECT_EQ(fresh.Initialize(path), -1);
    EXPECT_NE(fresh.ErrorMessage.find(
                  path + ": malformed netCDF header: a variable name is 300 bytes long"),
              std::string::npos)
        << fresh.ErrorMessage;

    // Cut short: the values of the last record are missing.
    const std::string cut = writeRecords(dir.file("cut.nc"));
    const auto size = std::filesystem::file_size(cut);
    std::filesystem::resize_file(cut, size - 4);
    Kelvad other;
    EXPECT_EQ(other.Initialize(cut), -1);
    EXPECT_NE(other.ErrorMessage.find(cut + ": the file is truncated: " + std::to_string(size - 4) +
                                      " of " + std::to_string(size) + " bytes"),
              std::string::npos)
        << other.ErrorMessage;
}

TEST_F(DamagedFilesTest, ReadsPastTheEndOfAFileCutWhileOpenFailInsteadOfGivingZeros) {
    const std::string path = writeRecords(dir.file("records.nc"));
    load(path);
    const Long temp = varNum("temp");
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size - 8); // the last two values of record 4
    const std::string truncated = path + ": the file is truncated: " + std::to_string(size - 8) +
                                  " of " + std::to_string(size) + " bytes";

    // What is still in the file reads as before.
    VArray<float> out;
    Variant r = k.do_get_vara_any(1, temp, kNoVal, out, longs({1, 1}), longs({3, 3}), 9);
    EXPECT_EQ(r.toLong(), 9) << k.ErrorMessage;
    EXPECT_EQ(out(9), 9.0f);
    r = k.do_get_vars_any(1, temp, kNoVal, out, longs({4, 1}), longs({1, 1}), longs({1, 1}), 1);
    EXPECT_EQ(r.toLong(), 1) << k.ErrorMessage;

    struct Member {
        const char* tag;
        std::function<Variant()> read;
    };
    VArray<float> floats(1, 12);
    double one = 0;
    const std::vector<Member> members = {
        {"[do_get_vara_any] ",
         [&] {
             return k.do_get_vara_any(1, temp, kNoVal, out, longs({4, 1}), longs({1, 3}), 3);
         }},
        {"[do_get_vars_any] ",
         [&] {
             return k.do_get_vars_any(1, temp, kNoVal, out, longs({2, 3}), longs({2, 1}),
                                      longs({2, 1}), 2);
         }},
        {"[do_get_var_any] ", [&] { return k.do_get_var_any(1, temp, kNoVal, out); }},
        {"[do_get_var1_any] ",
         [&] {
             return k.do_get_var1_any(1, temp, longs({4, 2}), one);
         }},
        {"[do_get_var_Float] ", [&] { return k.do_get_var_Float(1, temp, floats); }},
        {"[do_get_vars_Float] ",
         [&] {
             return k.do_get_vars_Float(1, temp, longs({1, 3}), longs({2, 1}), longs({3, 1}),
                                        floats);
         }},
    };
    for (const Member& m : members) {
        EXPECT_EQ(m.read().toLong(), -1) << m.tag;
        std::string expected = m.tag;
        expected.append("NetCDF Error: ").append(truncated);
        EXPECT_EQ(k.ErrorMessage, expected);
    }
}

TEST_F(DamagedFilesTest, StartAndEndDatesHoldTwoTimesWhateverTheAxisDeclares) {
    // A chunked netCDF-4 variable keeps no values that were never written: the long axis
    // costs nothing on disk, and only its first and last step are written.
    const std::string path = dir.file("long-axis.nc");
    int id = -1, time = -1, lat = -1, lon = -1, dims[3] = {};
    ASSERT_EQ(nc_create(path.c_str(), NC_NETCDF4 | NC_CLOBBER, &id), NC_NOERR);
    nc_def_dim(id, "time", 400000000, &dims[0]);
    nc_def_dim(id, "lat", 2, &dims[1]);
    nc_def_dim(id, "lon", 2, &dims[2]);
    nc_def_var(id, "time", NC_DOUBLE, 1, &dims[0], &time);
    const std::size_t chunk = 1024;
    const double fill = -1.0;
    nc_def_var_chunking(id, time, NC_CHUNKED, &chunk);
    nc_def_var_fill(id, time, 0, &fill);
    const std::size_t firstStep = 0, lastStep = 400000000 - 1;
    const double six = 6.0, twelve = 12.0;
    nc_put_var1_double(id, time, &firstStep, &six);
    nc_put_var1_double(id, time, &lastStep, &twelve);
    const char* units = "hours since 1990-01-01";
    nc_put_att_text(id, time, "units", std::strlen(units), units);
    nc_def_var(id, "lat", NC_FLOAT, 1, &dims[1], &lat);
    nc_def_var(id, "lon", NC_FLOAT, 1, &dims[2], &lon);
    const float lats[2] = {10.0f, 20.0f}, lons[2] = {1.0f, 2.0f};
    nc_put_var_float(id, lat, lats);
    nc_put_var_float(id, lon, lons);
    ASSERT_EQ(nc_close(id), NC_NOERR);
    ASSERT_LT(std::filesystem::file_size(path), 1000000u);

    std::string first, last;
    EXPECT_EQ(k.StartEndDate(path, first, last), 1) << k.ErrorMessage;
    EXPECT_EQ(first, "1990-01-01 06:00:00");
    EXPECT_EQ(last, "1990-01-01 12:00:00");
    EXPECT_EQ(k.ncf(0).timeArr.UBound(), 2);
}

} // namespace
