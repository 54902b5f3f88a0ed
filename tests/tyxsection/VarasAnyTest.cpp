// The strided read of the control's reader: every numeric type as Singles, scale and offset,
// the missing-value rule, windows in file order, and the refusals before any read.
#include "TyxFixture.h"

#include "common/NetCDF.h"

#include <netcdf.h>

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

// One variable v(x) of the type, with its attributes and values, opened for reading.
struct OneVariable {
    OcxNcf ncf;
    std::string message;
};

ReadWindow windowOf(std::vector<Long> start, std::vector<Long> count,
                    std::vector<Long> stride = {}) {
    ReadWindow w;
    const Long n = static_cast<Long>(start.size());
    w.startp.ReDim(1, n);
    w.countp.ReDim(1, n);
    w.stridep.ReDim(1, n);
    for (Long d = 1; d <= n; ++d) {
        w.startp(d) = start[d - 1];
        w.countp(d) = count[d - 1];
        w.stridep(d) = stride.empty() ? 1 : stride[d - 1];
    }
    return w;
}

void openHeader(OcxNcf& ncf, const std::string& path) {
    std::string message;
    if (ocxGetNCHeader(ncf, path, 0, message) != 1) throw std::runtime_error(message);
}

} // namespace

TEST(GetVarasAny, ScalesAndMarksEveryType) {
    constexpr float kMissing = kNoVal;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        nc_type type;
        std::vector<double> raw;
        std::vector<std::pair<std::string, double>> atts; // typed as the variable
        std::vector<float> expected;
        Long valid;
        NcFormat format = NcFormat::Classic;
    };
    const Case cases[] = {
        {"packed shorts with a positive missing value",
         NC_SHORT,
         {1200, 32767},
         {{"missing_value", 32767}, {"scale_factor", 0.01}},
         {12, kMissing},
         1},
        {"floats with the usual -1e35",
         NC_FLOAT,
         {-1e35, -9.8e34},
         {{"missing_value", -1e35}},
         {kMissing, -9.8e34f},
         1},
        {"no missing value: zeros are values", NC_INT, {0, 7}, {}, {0, 7}, 2},
        {"a double 99 % below its missing value",
         NC_DOUBLE,
         {98.9, 99.0},
         {{"_FillValue", 100}},
         {98.9f, kMissing},
         1},
        {"bytes through 16-bit integers", NC_BYTE, {-1, 5}, {{"add_offset", 0.5}}, {-0.5, 5.5}, 2},
        {"xarray's NaN fill", NC_FLOAT, {1, nan}, {{"_FillValue", nan}}, {1, kMissing}, 1},
        {"unsigned shorts of netCDF-4",
         NC_USHORT,
         {60000, 65535},
         {{"_FillValue", 65535}},
         {60000, kMissing},
         1,
         NcFormat::Netcdf4},
        {"int64 of netCDF-4", NC_INT64, {-5, 3000000000}, {}, {-5, 3e9f}, 2, NcFormat::Netcdf4},
    };
    TempDir dir;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NcBuilder nc(dir.file(numbered("v", ++n, ".nc")), c.format);
        nc.dim("x", c.raw.size());
        auto& v = nc.var("v", c.type, {"x"});
        for (const auto& [name, value] : c.atts) {
            if (name == "scale_factor" || name == "add_offset")
                v.att(name, value);
            else
                v.att(name, c.type, value);
        }
        v.values(c.raw);
        OcxNcf ncf;
        openHeader(ncf, nc.write());
        VArray<float> values(1, static_cast<Long>(c.raw.size()));
        std::string message = "earlier";
        const ReadWindow w = windowOf({0}, {static_cast<Long>(c.raw.size())});
        EXPECT_EQ(
            GetVarasAny(ncf.ncid, ncf, 1, kMissing, values, static_cast<Long>(c.raw.size()), w, message),
            c.valid);
        EXPECT_EQ(message, "earlier");
        for (Long i = 1; i <= static_cast<Long>(c.expected.size()); ++i)
            EXPECT_FLOAT_EQ(values(i), c.expected[i - 1]) << i;
        CloseNc(ncf.ncid);
    }
}

TEST(GetVarasAny, AStridedWindowInFileOrder) {
    TempDir dir;
    OcxNcf ncf;
    openHeader(ncf, writeGridFile(dir, "grid.nc"));
    const Long temp = 5;
    ASSERT_EQ(ncf.vari(temp).name, "temp");
    // Time step 2, every second level, latitude 3, longitudes 2 to 4: last index fastest.
    const ReadWindow w = windowOf({1, 0, 2, 1}, {1, 2, 1, 3}, {1, 2, 1, 1});
    VArray<float> values(1, 6);
    std::string message;
    EXPECT_EQ(GetVarasAny(ncf.ncid, ncf, temp, kNoVal, values, 6, w, message), 6);
    const float expected[] = {1021, 1022, 1023, 1221, 1222, 1223};
    for (Long i = 1; i <= 6; ++i)
        EXPECT_EQ(values(i), expected[i - 1]) << i;
    CloseNc(ncf.ncid);
}

TEST(GetVarasAny, RefusesBeforeItReads) {
    TempDir dir;
    NcBuilder nc(dir.file("r.nc"));
    nc.dim("x", 3);
    nc.dim("len", 4);
    nc.var("v", NC_FLOAT, {"x"}).values({1, 2, 3});
    nc.var("name", NC_CHAR, {"x", "len"}).text("abcdefghijkl");
    OcxNcf ncf;
    openHeader(ncf, nc.write());
    const ReadWindow w = windowOf({0}, {3});
    const ReadWindow w2 = windowOf({0, 0}, {3, 4});

    struct Case {
        const char* what;
        Long ncid, nvar, tcount, arraySize;
        const ReadWindow* window;
        const char* message;
    };
    const Case cases[] = {
        {"no variable", ncf.ncid, 0, 3, 3, &w, "[nc_get_varas_any] nvar_it < 0:"},
        {"no file", -1, 1, 3, 3, &w, "[nc_get_varas_any] ncfId& < 0:"},
        {"no values", ncf.ncid, 1, 0, 3, &w, "[nc_get_varas_any] tcount& <= 0:"},
        {"more values than the window", ncf.ncid, 1, 4, 4, &w,
         "[nc_get_varas_any] tcount& <> the window's count:"},
        {"an array too small for the window", ncf.ncid, 1, 3, 2, &w,
         "[nc_get_varas_any] values() holds fewer than tcount& values:"},
        {"text", ncf.ncid, 2, 12, 12, &w2,
         "Variable-Type of Attribute not expected:\n\nVariable Name = name\nTyep Number = 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VArray<float> values(1, c.arraySize);
        for (float& x : values)
            x = 42;
        std::string message;
        EXPECT_EQ(GetVarasAny(c.ncid, ncf, c.nvar, kNoVal, values, c.tcount, *c.window, message),
                  0);
        EXPECT_EQ(message, c.message);
        for (float x : values)
            EXPECT_EQ(x, 42); // untouched
    }

    const ReadWindow negative = windowOf({-1}, {3});
    VArray<float> values(1, 3);
    std::string message;
    EXPECT_EQ(GetVarasAny(ncf.ncid, ncf, 1, kNoVal, values, 3, negative, message), 0);
    EXPECT_EQ(message, "[nc_get_varas_any] start, count or stride out of range:");

    // A window beyond the dimension: the library's status, and no new message.
    const ReadWindow beyond = windowOf({2}, {2});
    message = "earlier";
    EXPECT_LT(GetVarasAny(ncf.ncid, ncf, 1, kNoVal, values, 2, beyond, message), 0);
    EXPECT_EQ(message, "earlier");
    CloseNc(ncf.ncid);
}

// A file cut short after its header was read gives zeros past its end; those are refused.
TEST(GetVarasAny, FileCutWhileOpenIsRefusedNotReadAsZeros) {
    TempDir dir;
    NcBuilder nc(dir.file("cut.nc"));
    nc.unlimitedDim("time", 2);
    nc.dim("x", 4);
    nc.var("v", NC_FLOAT, {"time", "x"}).values(std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8});
    const std::string path = nc.write();
    OcxNcf ncf;
    openHeader(ncf, path);
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size - 8);

    VArray<float> values(1, 4);
    std::string message;
    EXPECT_EQ(GetVarasAny(ncf.ncid, ncf, 1, kNoVal, values, 2, windowOf({1, 0}, {1, 2}), message),
              2);
    EXPECT_EQ(values(2), 6.0f);
    const Long got =
        GetVarasAny(ncf.ncid, ncf, 1, kNoVal, values, 4, windowOf({1, 0}, {1, 4}), message);
    EXPECT_EQ(got, kNcFileRefused);
    EXPECT_EQ(NcErrorText(static_cast<Long>(got)),
              path + ": the file is truncated: " + std::to_string(size - 8) + " of " +
                  std::to_string(size) + " bytes");
    CloseNc(ncf.ncid);

    // Opened again, the file is refused before the library sees it.
    std::string why;
    OcxNcf again;
    EXPECT_EQ(ocxGetNCHeader(again, path, 0, why), 0);
    EXPECT_EQ(why, NcErrorText(kNcFileRefused));
    EXPECT_NE(why.find(path + ": the file is truncated: "), std::string::npos);
}
