// How stored numbers become values, in the reads and in the coordinate set-up alike: attributes
// after the twentieth, _Unsigned and the netCDF-4 integer types, valid limits, and packed
// coordinates.
#include "tests/kelvadlib/KelvadFixture.h"

#include "kelvadlib/Kelvad.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/PackedGrid.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <string>
#include <vector>

namespace {

class ValuesTest : public KelvadFixture {
protected:
    // The whole variable through the any-type read: its values, with kNoVal for the missing.
    std::vector<float> readAll(const std::string& name) {
        VArray<float> out;
        const Variant r = k.do_get_var_any(1, varNum(name), kNoVal, out);
        EXPECT_GE(r.toLong(), 0) << name << ": " << k.ErrorMessage;
        return elements(out);
    }
    // One value through the single-value read; nullopt when it is missing.
    std::optional<double> readOne(const std::string& name, Long at) {
        double x = 0;
        const Variant r = k.do_get_var1_any(1, varNum(name), longs({at}), x);
        EXPECT_GE(r.toLong(), 0) << name << ": " << k.ErrorMessage;
        if (r.toLong() != 1) return std::nullopt;
        return x;
    }
};

TEST_F(ValuesTest, PackingAndMarksAfterTheTwentiethAttributeAreApplied) {
    // The shape of a file converted from GRIB: two dozen GRIB_ attributes, then the packing.
    NcBuilder nc(dir.file("grib.nc"));
    nc.dim("x", 4);
    auto& v = nc.var("t2m", NC_SHORT, {"x"});
    for (int i = 1; i <= 22; ++i)
        v.att("GRIB_key" + std::to_string(i), "value");
    v.att("scale_factor", 0.01).att("add_offset", 273.15);
    v.att("_FillValue", NC_SHORT, -32767).att("missing_value", NC_SHORT, -32766);
    v.values({100, -32767, -32766, -500});
    load(nc.write());
    EXPECT_EQ(readAll("t2m"), (std::vector<float>{274.15f, kNoVal, kNoVal, 268.15f}));
    EXPECT_FLOAT_EQ(k.vMax, 274.15f);
    EXPECT_EQ(readOne("t2m", 2), std::nullopt);
    EXPECT_DOUBLE_EQ(*readOne("t2m", 4), -500 * 0.01 + 273.15);
}

TEST_F(ValuesTest, UnsignedBytesAndShortsReadAsUnsigned) {
    // _Unsigned = "true" (netCDF-Java and satellite products): the bits are unsigned numbers,
    // and so are the marks and limits given in the signed type.
    NcBuilder nc(dir.file("unsigned.nc"));
    nc.dim("x", 4);
    nc.var("b", NC_BYTE, {"x"})
        .att("_Unsigned", "true")
        .att("_FillValue", NC_BYTE, -1) // 255
        .values({-56, 100, -1, -128});  // 200, 100, fill, 128
    nc.var("s", NC_SHORT, {"x"})
        .att("_Unsigned", "true")
        .att("scale_factor", 0.5f)
        .att("valid_range", NC_SHORT, {0, -2}) // 0 to 65534
        .values({-25536, 1, -1, 2});           // 40000, 1, 65535 (outside), 2
    nc.var("signed", NC_SHORT, {"x"}).att("_Unsigned", "false").values({-2, 1, 2, 3});
    load(nc.write());

    EXPECT_EQ(readAll("b"), (std::vector<float>{200, 100, kNoVal, 128}));
    EXPECT_EQ(readAll("s"), (std::vector<float>{20000, 0.5f, kNoVal, 1}));
    EXPECT_EQ(readAll("signed"), (std::vector<float>{-2, 1, 2, 3}));
    EXPECT_DOUBLE_EQ(*readOne("s", 1), 20000);
    EXPECT_DOUBLE_EQ(*readOne("b", 1), 200);
    EXPECT_EQ(readOne("b", 3), std::nullopt);

    // The typed reads give the unsigned values where the type holds them.
    VArray<Long> l;
    ASSERT_EQ(k.do_get_var_Long(1, varNum("s"), l).toLong(), 4);
    EXPECT_EQ(elements(l), (std::vector<Long>{40000, 1, 65535, 2}));
    VArray<Integer> bytes;
    ASSERT_EQ(k.do_get_var_short(1, varNum("b"), bytes).toLong(), 4);
    EXPECT_EQ(elements(bytes), (std::vector<Integer>{200, 100, 255, 128}));
}

TEST_F(ValuesTest, NetCdf4UnsignedAnd64BitIntegersReadAsTheirValues) {
    NcBuilder nc(dir.file("nc4ints.nc"), NcFormat::Netcdf4);
    nc.dim("x", 3);
    nc.var("ub", NC_UBYTE, {"x"}).values({0, 200, 255}); // 255: the type's default fill
    nc.var("us", NC_USHORT, {"x"}).att("_FillValue", NC_USHORT, 9).values({60000, 9, 1});
    nc.var("ui", NC_UINT, {"x"}).values({4000000000u, 7u, 0u});
    nc.var("i64", NC_INT64, {"x"})
        .att("scale_factor", 0.001)
        .att("_FillValue", NC_INT64, -1)
        .values(std::vector<long long>{-5000, -1, 123456789012});
    nc.var("u64", NC_UINT64, {"x"}).values(std::vector<unsigned long long>{1, 2, 3});
    load(nc.write());

    EXPECT_EQ(readAll("ub"), (std::vector<float>{0, 200, kNoVal}));
    EXPECT_EQ(readAll("us"), (std::vector<float>{60000, kNoVal, 1}));
    EXPECT_EQ(readAll("ui"), (std::vector<float>{4e9f, 7, 0}));
    EXPECT_EQ(readAll("i64"), (std::vector<float>{-5, kNoVal, 123456789.012f}));
    EXPECT_EQ(readAll("u64"), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(k.ErrorMessage, "");
    EXPECT_DOUBLE_EQ(*readOne("i64", 3), 123456789.012);

    VArray<double> d;
    ASSERT_EQ(k.do_get_var_Double(1, varNum("ui"), d).toLong(), 3);
    EXPECT_EQ(elements(d), (std::vector<double>{4e9, 7, 0}));

    // A string variable is still not read.
    NcBuilder s(dir.file("strings.nc"), NcFormat::Netcdf4);
    s.dim("x", 1);
    s.var("names", NC_STRING, {"x"}).strings({"a"});
    load(s.write());
    VArray<float> out;
    EXPECT_EQ(k.do_get_var_any(1, 1, kNoVal, out).toLong(), 0);
    EXPECT_EQ(k.ErrorMessage, "Variable-Type of Attribute not expected:" + kCrLf +
                                  "Variable Name = names\n" + "Tyep Number =  12");
}

TEST_F(ValuesTest, ValuesOutsideTheValidLimitsAreMissing) {
    NcBuilder nc(dir.file("valid.nc"));
    nc.dim("x", 5);
    const std::vector<double> raw = {-10, 0, 50, 100, 101};
    // Limits in the stored type apply to the stored numbers.
    nc.var("range", NC_SHORT, {"x"}).att("valid_range", NC_SHORT, {0, 100}).values(raw);
    nc.var("low", NC_FLOAT, {"x"}).att("valid_min", 0.0f).values(raw);
    nc.var("high", NC_DOUBLE, {"x"}).att("valid_max", 100.0).values(raw);
    // Limits of a packed variable given in the type of its scale are in unpacked units.
    nc.var("packed", NC_SHORT, {"x"})
        .att("scale_factor", 0.1f)
        .att("add_offset", 5.0f)
        .att("valid_range", std::vector<float>{5.0f, 15.0f}) // stored 0 to 100
        .values(raw);
    // A reversed range is read as the range it spans.
    nc.var("reversed", NC_INT, {"x"}).att("valid_range", NC_INT, {100, 0}).values(raw);
    load(nc.write());

    const std::vector<float> in0to100 = {kNoVal, 0, 50, 100, kNoVal};
    EXPECT_EQ(readAll("range"), in0to100);
    EXPECT_EQ(readAll("low"), (std::vector<float>{kNoVal, 0, 50, 100, 101}));
    EXPECT_EQ(readAll("high"), (std::vector<float>{-10, 0, 50, 100, kNoVal}));
    EXPECT_EQ(readAll("packed"), (std::vector<float>{kNoVal, 5, 10, 15, kNoVal}));
    EXPECT_EQ(readAll("reversed"), in0to100);
    EXPECT_EQ(readOne("range", 5), std::nullopt);
    EXPECT_DOUBLE_EQ(*readOne("range", 4), 100);

    // The strided read of float values in place keeps the same limits.
    VArray<float> out;
    k.do_get_vars_any(1, varNum("low"), kNoVal, out, longs({1}), longs({3}), longs({2}), 3);
    EXPECT_EQ(elements(out), (std::vector<float>{kNoVal, 50, 101}));
}

TEST_F(ValuesTest, PackedCoordinatesAreUnpackedForExtentsArraysAndLevels) {
    const std::string path = WritePackedGrid(dir.file("packed.nc"));
    ASSERT_EQ(k.Initialize(path), 1) << k.ErrorMessage;
    const NcfRec& r = k.ncf(1);
    ASSERT_EQ(r.GridType, kGridRegular);
    EXPECT_FLOAT_EQ(r.westEnd, 100);
    EXPECT_FLOAT_EQ(r.eastEnd, 102);
    EXPECT_FLOAT_EQ(r.southEnd, 10);
    EXPECT_FLOAT_EQ(r.northEnd, 20);
    EXPECT_FLOAT_EQ(r.dLon, 1);
    EXPECT_FLOAT_EQ(r.dLat, 10);
    VArray<float> lon, lat;
    ASSERT_EQ(k.doFill_LonLatDeg(1, lon, lat).toLong(), 1);
    EXPECT_EQ(elements(lon), (std::vector<float>{100, 101, 102}));
    EXPECT_EQ(elements(lat), (std::vector<float>{10, 20}));
    VArray<double> levels;
    ASSERT_EQ(k.doFill_vCoord(1, levels), 1);
    EXPECT_EQ(elements(levels), (std::vector<double>{5, 10}));

    // A cell list whose packed positions hold a fill: that point is no position and no part
    // of the box.
    NcBuilder cells(dir.file("cells.nc"));
    cells.dim("time", 1);
    cells.dim("cell", 3);
    cells.var("time", NC_DOUBLE, {"time"}).att("units", "hours since 2000-01-01").values({0.0});
    cells.var("lon", NC_SHORT, {"cell"})
        .att("units", "degrees_east")
        .att("scale_factor", 0.01)
        .att("_FillValue", NC_SHORT, -32767)
        .values({1000, -32767, 2000});
    cells.var("lat", NC_SHORT, {"cell"})
        .att("units", "degrees_north")
        .att("scale_factor", 0.01)
        .att("_FillValue", NC_SHORT, -32767)
        .values({500, -32767, 600});
    cells.var("h", NC_FLOAT, {"time", "cell"});
    Kelvad k2;
    ASSERT_EQ(k2.Initialize(cells.write()), 1) << k2.ErrorMessage;
    const NcfRec& c = k2.ncf(1);
    ASSERT_EQ(c.GridType, kGridCells);
    EXPECT_FLOAT_EQ(c.westEnd, 10);
    EXPECT_FLOAT_EQ(c.eastEnd, 20);
    EXPECT_FLOAT_EQ(c.southEnd, 5);
    EXPECT_FLOAT_EQ(c.northEnd, 6);
    EXPECT_EQ(c.lonArr(2), NC_FILL_FLOAT);
}

} // namespace
