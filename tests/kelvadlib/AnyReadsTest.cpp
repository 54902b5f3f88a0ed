// The any-type reads with their value rule (marks, scale, offset, the no-value mark, the value
// range), the open/close behaviour that the typed reads share with them, and the bounds every
// read keeps.
#include "tests/kelvadlib/KelvadFixture.h"

#include "common/MinMax.h"
#include "common/NetCDF.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/ValueMarks.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

class AnyReadsTest : public KelvadFixture {};

// ---- The value rule -------------------------------------------------------------------------

// One variable of one type and its marks: the values written and, per value, whether a read
// hands it back (V) or marks it missing (M). The fill test of float and double is "at or
// beyond" in the strided and contiguous reads and "beyond" in the whole and one-value reads.
struct RuleCase {
    const char* label;
    nc_type type;
    std::function<void(NcBuilder::Var&)> marks;
    std::vector<double> values;
    std::string atMask;     // do_get_vars_any, do_get_vara_any
    std::string strictMask; // do_get_var_any, do_get_var1_any; empty: the same as atMask
};

double single(double x) {
    return static_cast<float>(x);
}

std::vector<RuleCase> ruleCases() {
    const double floatFill = NC_FILL_FLOAT; // the float default fill as the header records it
    const double doubleFill = std::bit_cast<double>(std::uint64_t{0x479E000000000001});
    auto none = [](NcBuilder::Var&) {};
    return {
        // byte: exact marks compared as signed 8-bit numbers; default fill -127
        {"byte missing -1",
         NC_BYTE,
         [](auto& v) { v.att("missing_value", NC_BYTE, -1); },
         {-1, 0, -127, 5, -128},
         "MVMVV",
         ""},
        {"byte fill 3",
         NC_BYTE,
         [](auto& v) { v.att("_FillValue", NC_BYTE, 3); },
         {3, -127, 0},
         "MVV",
         ""},
        {"byte both",
         NC_BYTE,
         [](auto& v) { v.att("missing_value", NC_BYTE, 7).att("_FillValue", NC_BYTE, -3); },
         {7, -3, -127, 0},
         "MMVV",
         ""},
        {"byte none", NC_BYTE, none, {-127, 127, -128, 0}, "MVVV", ""},
        {"byte mark 200",
         NC_BYTE,
         [](auto& v) { v.att("missing_value", NC_SHORT, 200); },
         {-56, -127, 0, 127},
         "VMVV",
         ""},
        {"byte mark 128",
         NC_BYTE,
         [](auto& v) { v.att("missing_value", NC_SHORT, 128); },
         {-128, -127},
         "VM",
         ""},
        {"byte mark -129",
         NC_BYTE,
         [](auto& v) { v.att("missing_value", NC_SHORT, -129); },
         {127, -128, -127},
         "VVM",
         ""},
        // short
        {"short missing",
         NC_SHORT,
         [](auto& v) { v.att("missing_value", NC_SHORT, -999); },
         {-999, 0, -32767, 1},
         "MVMV",
         ""},
        {"short fill",
         NC_SHORT,
         [](auto& v) { v.att("_FillValue", NC_SHORT, -1); },
         {-1, -32767, 2},
         "MVV",
         ""},
        {"short both",
         NC_SHORT,
         [](auto& v) { v.att("missing_value", NC_SHORT, 9999).att("_FillValue", NC_SHORT, -1); },
         {9999, -1, -32767, 0},
         "MMVV",
         ""},
        {"short none", NC_SHORT, none, {-32767, -32768, 32767, 0}, "MVVV", ""},
        {"short mark 40000",
         NC_SHORT,
         [](auto& v) { v.att("missing_value", NC_INT, 40000); },
         {-25536, -32767, 5},
         "VMV",
         ""},
        {"short mark 2.5",
         NC_SHORT,
         [](auto& v) { v.att("missing_value", 2.5); },
         {2, 3},
         "MV",
         ""}, // rounded half to even
        // int
        {"int missing",
         NC_INT,
         [](auto& v) { v.att("missing_value", NC_INT, -999); },
         {-999, 0, -2147483647},
         "MVM",
         ""},
        {"int fill",
         NC_INT,
         [](auto& v) { v.att("_FillValue", NC_INT, 77); },
         {77, -2147483647},
         "MV",
         ""},
        {"int both",
         NC_INT,
         [](auto& v) { v.att("missing_value", NC_INT, -5).att("_FillValue", NC_INT, 6); },
         {-5, 6, -2147483647, 0},
         "MMVV",
         ""},
        {"int none", NC_INT, none, {-2147483647, -2147483648.0, 2147483647, 0}, "MVVV", ""},
        {"int missing 0",
         NC_INT,
         [](auto& v) { v.att("missing_value", NC_INT, 0); },
         {0, 1},
         "VV",
         ""},
        {"int mark 3e9",
         NC_INT,
         [](auto& v) { v.att("missing_value", 3e9); },
         {-1294967296, 0, -2147483647},
         "VVM",
         ""},
        // float: a mark is matched exactly, compared as Singles; NaN and infinite values are
        // missing, and a NaN mark (as xarray writes it) marks nothing else.
        {"float missing -999 on a field far below it",
         NC_FLOAT,
         [](auto& v) { v.att("missing_value", NC_FLOAT, -999); },
         {-999, single(0.99 * -999), -8e6, -1000, 0, 1e37},
         "MVVVVM",
         ""},
        {"float fill 100",
         NC_FLOAT,
         [](auto& v) { v.att("_FillValue", NC_FLOAT, 100); },
         {100, 99, 101, 1e37, -5},
         "MVVVV",
         ""},
        {"float both",
         NC_FLOAT,
         [](auto& v) { v.att("missing_value", NC_FLOAT, -999).att("_FillValue", NC_FLOAT, 100); },
         {-999, single(0.99 * 100), 100, 98, -1e6},
         "MVMVV",
         ""},
        {"float mark -999.9 matched as a Single",
         NC_FLOAT,
         [](auto& v) { v.att("missing_value", -999.9); },
         {-999.9, -999.8, -999.91},
         "MVV",
         ""},
        {"float fill NaN",
         NC_FLOAT,
         [](auto& v) { v.att("_FillValue", std::numeric_limits<float>::quiet_NaN()); },
         {std::numeric_limits<double>::quiet_NaN(), 1, 0.99, 2.5e6, -1, 1e37},
         "MVVVVM",
         ""},
        {"float missing NaN, fill -999",
         NC_FLOAT,
         [](auto& v) {
             v.att("missing_value", std::numeric_limits<float>::quiet_NaN())
                 .att("_FillValue", NC_FLOAT, -999);
         },
         {-999, std::numeric_limits<double>::quiet_NaN(), 1, -8e6},
         "MMVV",
         ""},
        // float: a mark of 1e30 or more is a threshold at 99 % of it, on its side of zero
        {"float none",
         NC_FLOAT,
         none,
         {0, single(0.99 * floatFill), 1e37, -1e37, -3e38},
         "VMMVV",
         "VVMVV"},
        {"float missing 1e35",
         NC_FLOAT,
         [](auto& v) { v.att("missing_value", NC_FLOAT, 1e35); },
         {1e35, single(0.99 * single(1e35)), 9.8e34, -1e35, 5},
         "MMVVV",
         ""},
        {"float fill -1e30",
         NC_FLOAT,
         [](auto& v) { v.att("missing_value", NC_FLOAT, 7).att("_FillValue", NC_FLOAT, -1e30); },
         {-1e30, single(0.99 * single(-1e30)), -9.8e29, 7, -1e29},
         "MMVMV",
         "MVVMV"},
        {"float mark 1e300",
         NC_FLOAT,
         [](auto& v) { v.att("missing_value", 1e300); },
         {1, -1, -3e38},
         "VVV",
         ""},
        {"float mark -1e300",
         NC_FLOAT,
         [](auto& v) { v.att("missing_value", -1e300); },
         {-3e38, 0},
         "VV",
         ""},
        // double: the same rule in Double
        {"double missing -999 on a field far below it",
         NC_DOUBLE,
         [](auto& v) { v.att("missing_value", -999.0); },
         {-999, 0.99 * -999, -8e6, 0},
         "MVVV",
         ""},
        {"double fill 100",
         NC_DOUBLE,
         [](auto& v) { v.att("_FillValue", 100.0); },
         {0.99 * 100, 100, 1e20},
         "VMV",
         ""},
        {"double both",
         NC_DOUBLE,
         [](auto& v) { v.att("missing_value", -999.0).att("_FillValue", 100.0); },
         {0.99 * 100, 100, -989, -999},
         "VMVM",
         ""},
        {"double fill NaN",
         NC_DOUBLE,
         [](auto& v) { v.att("_FillValue", std::numeric_limits<double>::quiet_NaN()); },
         {std::numeric_limits<double>::quiet_NaN(), 1, 1.5, -1e6},
         "MVVV",
         ""},
        {"double mark just below 1e30",
         NC_DOUBLE,
         [](auto& v) { v.att("missing_value", 9.99e29); },
         {9.99e29, 9.9e29, 1e30},
         "MVV",
         ""},
        {"double fill at 1e30",
         NC_DOUBLE,
         [](auto& v) { v.att("missing_value", 5.0).att("_FillValue", 1e30); },
         {1e30, 0.99 * 1e30, 9.8e29, 5},
         "MMVM",
         "MVVM"},
        {"double none", NC_DOUBLE, none, {0.99 * doubleFill, 1e37, 0}, "MMV", "VMV"},
    };
}

// The value as the variable stores it, widened to Double.
double stored(nc_type type, double v) {
    return type == NC_FLOAT ? single(v) : v;
}

TEST_F(AnyReadsTest, ValueRuleByTypeMarkAndMember) {
    const auto cases = ruleCases();
    NcBuilder nc(dir.file("rule.nc"));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string number = std::to_string(i);
        const std::string d = "n" + number;
        nc.dim(d, cases[i].values.size());
        auto& v = nc.var("v" + number, cases[i].type, {d});
        cases[i].marks(v);
        v.values(cases[i].values);
    }
    load(nc.write());

    enum { Vars, Vara, Var, Var1 };
    const char* names[] = {"vars", "vara", "var", "var1"};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const RuleCase& c = cases[i];
        const Long nvar = static_cast<Long>(i) + 1;
        const Long n = static_cast<Long>(c.values.size());
        for (int m : {Vars, Vara, Var, Var1}) {
            SCOPED_TRACE(std::string(c.label) + " / " + names[m]);
            const std::string& mask =
                (m == Var || m == Var1) && !c.strictMask.empty() ? c.strictMask : c.atMask;
            ASSERT_EQ(mask.size(), c.values.size());
            if (m == Var1) {
                for (Long j = 1; j <= n; ++j) {
                    double out = 12345;
                    const Variant r = k.do_get_var1_any(1, nvar, longs({j}), out);
                    const bool valid = mask[j - 1] == 'V';
                    EXPECT_EQ(r.type(), Variant::Type::kLong);
                    EXPECT_EQ(r.toLong(), valid ? 1 : 0) << "value " << j;
                    EXPECT_EQ(out, valid ? stored(c.type, c.values[j - 1]) : 12345.0);
                }
                continue;
            }
            VArray<float> out;
            Variant r;
            if (m == Vars)
                r = k.do_get_vars_any(1, nvar, kNoVal, out, longs({1}), longs({n}), longs({1}), n);
            else if (m == Vara)
                r = k.do_get_vara_any(1, nvar, kNoVal, out, longs({1}), longs({n}), n);
            else
                r = k.do_get_var_any(1, nvar, kNoVal, out);
            ASSERT_EQ(r.type(), Variant::Type::kLong) << k.ErrorMessage;
            ASSERT_EQ(out.LBound(), 1);
            ASSERT_EQ(out.UBound(), n);
            Long validCount = 0;
            float hi = -2e35f, lo = 2e35f;
            for (Long j = 1; j <= n; ++j) {
                if (mask[j - 1] == 'V') {
                    const float x = static_cast<float>(c.values[j - 1]);
                    EXPECT_EQ(out(j), x) << "value " << j;
                    hi = std::max(hi, x);
                    lo = std::min(lo, x);
                    ++validCount;
                } else {
                    EXPECT_EQ(out(j), kNoVal) << "value " << j;
                }
            }
            EXPECT_EQ(r.toLong(), validCount);
            EXPECT_EQ(k.vMax, hi);
            EXPECT_EQ(k.vMin, lo);
            EXPECT_EQ(k.vMinMaxVar, nvar);
        }
    }
}

TEST_F(AnyReadsTest, ScaleOffsetAndValueRange) {
    NcBuilder nc(dir.file("scaled.nc"));
    nc.dim("x", 3);
    nc.var("t", NC_SHORT, {"x"})
        .att("scale_factor", 0.01)
        .att("add_offset", 273.15)
        .values({1500, 0, -32767});
    nc.var("f", NC_FLOAT, {"x"})
        .att("scale_factor", 2.5)
        .att("add_offset", 0.1)
        .values({1.1f, -4.0f, 0.5f});
    nc.var("gone", NC_INT, {"x"}).att("missing_value", NC_INT, 9).values({9, 9, 9});
    load(nc.write());

    VArray<float> out;
    Variant r = k.do_get_vars_any(1, 1, kNoVal, out, longs({1}), longs({3}), longs({1}), 3);
    EXPECT_EQ(r.toLong(), 2);
    EXPECT_EQ(elements(out), (std::vector<float>{static_cast<float>(1500 * 0.01 + 273.15),
                                                 static_cast<float>(273.15), kNoVal}));
    EXPECT_EQ(k.vMax, static_cast<float>(1500 * 0.01 + 273.15));
    EXPECT_EQ(k.vMin, static_cast<float>(273.15));
    EXPECT_EQ(k.vMinMaxVar, 1);

    // Float values scaled in Double: the array holds Singles, the one-value read the Double.
    r = k.do_get_var_any(1, 2, kNoVal, out);
    EXPECT_EQ(r.toLong(), 3);
    EXPECT_EQ(out(1), static_cast<float>(double{1.1f} * 2.5 + 0.1));
    EXPECT_EQ(k.vMax, out(1));
    EXPECT_EQ(k.vMin, static_cast<float>(-4.0 * 2.5 + 0.1));
    EXPECT_EQ(k.vMinMaxVar, 2);
    double one = 0;
    EXPECT_EQ(k.do_get_var1_any(1, 2, longs({1}), one).toLong(), 1);
    EXPECT_EQ(one, double{1.1f} * 2.5 + 0.1);
    // The one-value read leaves the range of the last array read alone.
    EXPECT_EQ(k.vMinMaxVar, 2);

    // Nothing valid: the range keeps its starting values, here for a mark of 1.5.
    r = k.do_get_vara_any(1, 3, 1.5f, out, longs({1}), longs({3}), 3);
    EXPECT_EQ(r.toLong(), 0);
    EXPECT_EQ(elements(out), (std::vector<float>{1.5f, 1.5f, 1.5f}));
    EXPECT_EQ(k.vMax, -3.0f);
    EXPECT_EQ(k.vMin, 3.0f);
    EXPECT_EQ(k.vMinMaxVar, 3);
    r = k.do_get_var_any(1, 3, kNoVal, out);
    EXPECT_EQ(k.vMax, -2e35f);
    EXPECT_EQ(k.vMin, 2e35f);
}

TEST_F(AnyReadsTest, ValuesBeyondTheSingleRangeAreMissingInEveryArrayRead) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    NcBuilder nc(dir.file("wide.nc"));
    nc.dim("x", 5);
    nc.var("d", NC_DOUBLE, {"x"}).values({1e39, -1e39, 5.0, 1e300, -3.4e38});
    nc.var("f", NC_FLOAT, {"x"}).att("scale_factor", 1e10).values({1e30, 2.0, -1e29, 0.0, 1.0});
    const float finf = std::numeric_limits<float>::infinity();
    const float fnan = std::numeric_limits<float>::quiet_NaN();
    nc.var("nan", NC_FLOAT, {"x"}).values({fnan, finf, -finf, 1.0f, fnan});
    nc.var("dnan", NC_DOUBLE, {"x"}).values({nan, -inf, 7.0, inf, 0.0});
    load(nc.write());

    const std::vector<float> expected[] = {
        {kNoVal, kNoVal, 5.0f, kNoVal, -3.4e38f},
        {kNoVal, 2e10f, kNoVal, 0.0f, 1e10f},
        {kNoVal, kNoVal, kNoVal, 1.0f, kNoVal},
        {kNoVal, kNoVal, 7.0f, kNoVal, 0.0f},
    };
    for (Long nvar = 1; nvar <= 4; ++nvar) {
        const std::vector<float>& want = expected[nvar - 1];
        const Long valid = static_cast<Long>(
            std::count_if(want.begin(), want.end(), [](float x) { return x != kNoVal; }));
        VArray<float> out;
        for (int m = 0; m < 3; ++m) {
            SCOPED_TRACE("variable " + std::to_string(nvar) + " member " + std::to_string(m));
            const Variant r =
                m == 0
                    ? k.do_get_vars_any(1, nvar, kNoVal, out, longs({1}), longs({5}), longs({1}), 5)
                : m == 1 ? k.do_get_vara_any(1, nvar, kNoVal, out, longs({1}), longs({5}), 5)
                         : k.do_get_var_any(1, nvar, kNoVal, out);
            ASSERT_EQ(r.type(), Variant::Type::kLong) << k.ErrorMessage;
            EXPECT_EQ(r.toLong(), valid);
            EXPECT_EQ(elements(out), want);
        }
    }
    // One value that is not a number is missing; the caller's Double stays.
    double one = -3;
    EXPECT_EQ(k.do_get_var1_any(1, 3, longs({1}), one).toLong(), 0);
    EXPECT_EQ(k.do_get_var1_any(1, 4, longs({2}), one).toLong(), 0);
    EXPECT_EQ(one, -3);
    EXPECT_EQ(k.do_get_var1_any(1, 1, longs({2}), one).toLong(), 1); // a Double needs no Single
    EXPECT_EQ(one, -1e39);
}

TEST_F(AnyReadsTest, XarrayFileKeepsItsValuesAndItsCoordinates) {
    // As xarray writes float data: NaN the fill value of the field and of its coordinates.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    NcBuilder nc(dir.file("xarray.nc"));
    nc.dim("lat", 3);
    nc.dim("lon", 4);
    nc.var("lat", NC_FLOAT, {"lat"})
        .att("_FillValue", nan)
        .att("units", "degrees_north")
        .values({-10.f, 0.f, 1.f});
    nc.var("lon", NC_FLOAT, {"lon"})
        .att("_FillValue", nan)
        .att("units", "degrees_east")
        .values({1.f, 2.f, 3.f, 4.f});
    nc.var("sst", NC_FLOAT, {"lat", "lon"})
        .att("_FillValue", nan)
        .att("units", "degC")
        .values({nan, 0.5f, 0.99f, 1.f, 1.5f, 28.f, 30.5f, nan, 12.f, 1.f, -1.f, 2.f});
    ASSERT_EQ(k.Initialize(nc.write()), 1) << k.ErrorMessage;

    const NcfRec& r = k.ncf(1);
    EXPECT_EQ(r.westEnd, 1.f);
    EXPECT_EQ(r.eastEnd, 4.f);
    EXPECT_EQ(r.southEnd, -10.f);
    EXPECT_EQ(r.northEnd, 1.f);

    VArray<float> out;
    EXPECT_EQ(k.do_get_var_any(1, 3, kNoVal, out).toLong(), 10);
    EXPECT_EQ(elements(out), (std::vector<float>{kNoVal, 0.5f, 0.99f, 1.f, 1.5f, 28.f, 30.5f,
                                                 kNoVal, 12.f, 1.f, -1.f, 2.f}));
    EXPECT_EQ(k.vMax, 30.5f);
    EXPECT_EQ(k.vMin, -1.f);
    EXPECT_EQ(k.do_get_vars_any(1, 3, kNoVal, out, longs({2, 1}), longs({1, 4}), longs({1, 1}), 4)
                  .toLong(),
              3);
    EXPECT_EQ(elements(out), (std::vector<float>{1.5f, 28.f, 30.5f, kNoVal}));
}

// Fields longer than the blocks and pieces the reads work in, read into an output that already
// has the right shape and stale values, and through a strided window.
TEST_F(AnyReadsTest, LongFieldsAndReusedOutputsKeepTheValueRule) {
    const float fill = 1e20f;
    std::vector<float> values(10000);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = i % 7 == 0 ? fill : static_cast<float>(i % 100) - 50.5f;
    values[9998] = 99.5f;
    values[4097] = -77.25f;
    values[4098] = -0.0f; // unscaled: x * 1 + 0 is a positive zero
    NcBuilder nc(dir.file("long.nc"));
    nc.dim("x", 10000);
    nc.dim("y", 3);
    nc.var("f", NC_FLOAT, {"x"}).att("_FillValue", NC_FLOAT, fill).values(values);
    nc.var("c", NC_CHAR, {"y"}).text("abc");
    // Large enough to be read in several pieces: a strided window of it.
    nc.dim("row", 300);
    nc.dim("col", 500);
    std::vector<double> grid(300 * 500);
    for (std::size_t i = 0; i < grid.size(); ++i)
        grid[i] = i % 11 == 0 ? -1 : static_cast<double>(i);
    nc.var("g", NC_DOUBLE, {"row", "col"})
        .att("missing_value", -1.0)
        .att("scale_factor", 0.5)
        .values(grid);
    load(nc.write());

    VArray<float> out(1, 10000);
    for (Long i = 1; i <= 10000; ++i)
        out(i) = 123;
    const Variant r =
        k.do_get_vars_any(1, 1, kNoVal, out, longs({1}), longs({10000}), longs({1}), 10000);
    std::vector<float> want(values);
    Long valid = 0;
    for (float& x : want) {
        x = x == fill ? kNoVal : x + 0.0f;
        valid += x != kNoVal;
    }
    EXPECT_EQ(r.toLong(), valid);
    EXPECT_EQ(elements(out), want);
    EXPECT_FALSE(std::signbit(out(4099)));
    EXPECT_EQ(k.vMax, 99.5f);
    EXPECT_EQ(k.vMin, -77.25f);

    VArray<float> z(1, 3);
    // A type the reads do not take leaves a reused output all zeros, as a fresh one.
    EXPECT_EQ(k.do_get_var_any(1, 2, kNoVal, z).toLong(), 0);
    EXPECT_EQ(elements(z), (std::vector<float>{0, 0, 0}));
    // So does a new output, which the read makes without zeroing: its memory last held other
    // values.
    {
        VArray<float> junk(1, 3);
        for (Long i = 1; i <= 3; ++i)
            junk(i) = 7;
    }
    VArray<float> fresh;
    EXPECT_EQ(k.do_get_var_any(1, 2, kNoVal, fresh).toLong(), 0);
    EXPECT_EQ(elements(fresh), (std::vector<float>{0, 0, 0}));

    VArray<float> g;
    const Variant rg = k.do_get_vars_any(1, 3, kNoVal, g, longs({3, 2}), longs({140, 250}),
                                         longs({2, 2}), 140 * 250);
    std::vector<float> wantG;
    float hi = -2e35f, lo = 2e35f;
    for (std::size_t row = 2; row < 2 + 2 * 140; row += 2)
        for (std::size_t col = 1; col < 1 + 2 * 250; col += 2) {
            const double x = grid[row * 500 + col];
            wantG.push_back(x == -1 ? kNoVal : static_cast<float>(x * 0.5));
            if (x == -1) continue;
            hi = std::max(hi, wantG.back());
            lo = std::min(lo, wantG.back());
        }
    EXPECT_EQ(rg.toLong(),
              std::count_if(wantG.begin(), wantG.end(), [](float x) { return x != kNoVal; }));
    EXPECT_EQ(elements(g), wantG);
    EXPECT_EQ(k.vMax, hi);
    EXPECT_EQ(k.vMin, lo);
}

// Fields of every type and shape of marks, longer than the blocks the rule works in, against
// the rule worked out one value at a time: the Singles bit for bit (zeros keep their sign), the
// count, and the range a value-by-value MaxS/MinS keeps. The marks and their neighbours, the
// thresholds, zeros of both signs and what is no finite Single are scattered through each
// field, so that they reach every part of the loops.
struct LongFieldCase {
    std::string label;
    nc_type type;
    std::function<void(NcBuilder::Var&)> marks;
    std::vector<double> values; // as stored
};

constexpr std::size_t kLongField = 4096 + 700;

std::vector<double> specialValues(nc_type type) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto around = [](std::vector<double>& to, double x, bool asSingle) {
        for (double dir : {-1.0, 1.0}) {
            const double next =
                asSingle ? std::nextafter(static_cast<float>(x), static_cast<float>(dir * 1e38f))
                         : std::nextafter(x, dir * 1e308);
            to.push_back(next);
        }
        to.push_back(x);
    };
    std::vector<double> v;
    switch (type) {
    case NC_BYTE:
        return {-128, 127, -127, -1, 0, 7, 6, 8, 100, 99, 101};
    case NC_SHORT:
        return {-32768, 32767, -32767, -999, -998, -1000, -1, 0, 7, 100, 99, 101};
    case NC_INT:
        return {-2147483648.0, 2147483647, -2147483647, -999, -1, 0, 7, 100, 101};
    case NC_FLOAT:
        for (double x : {-999.0, 100.0, 1e20, 1e30, -1e30, double{NC_FILL_FLOAT}})
            around(v, single(x), true);
        for (double x : {1e20, 1e30, -1e30, double{NC_FILL_FLOAT}})
            around(v, single(0.99 * single(x)), true);
        for (double x : {nan, inf, -inf, -0.0, 0.0, 3.4028234663852886e38, -3.4028234663852886e38,
                         1.4e-45, -1.4e-45, 1e-30})
            v.push_back(single(x));
        return v;
    default:
        for (double x :
             {-999.0, 100.0, 1e20, 1e30, -1e30, NC_FILL_DOUBLE, 0.99 * 1e20, 0.99 * 1e30,
              0.99 * -1e30, 0.99 * NC_FILL_DOUBLE, 0x1.ffffffp127, 3.4028234663852886e38})
            around(v, x, false);
        for (double x : {nan, inf, -inf, -0.0, 0.0, 1e39, -1e39, 1e300, -1e-50, 1e-50, 5e-324})
            v.push_back(x);
        return v;
    }
}

std::vector<double> longField(nc_type type) {
    const std::vector<double> special = specialValues(type);
    std::vector<double> v(kLongField);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double spread = static_cast<double>((i * 7919) % 4001) - 2000;
        double x = type == NC_FLOAT    ? single(spread * 0.37)
                   : type == NC_DOUBLE ? spread * 0.37
                   : type == NC_BYTE   ? static_cast<double>(static_cast<int>(spread) % 128)
                                       : spread * 7;
        if (i % 23 == 5) x = special[(i / 23) % special.size()];
        v[i] = x;
    }
    return v;
}

void putValues(NcBuilder::Var& var, nc_type type, const std::vector<double>& v) {
    switch (type) {
    case NC_BYTE:
        var.values(std::vector<signed char>(v.begin(), v.end()));
        break;
    case NC_SHORT:
        var.values(std::vector<short>(v.begin(), v.end()));
        break;
    case NC_INT:
        var.values(std::vector<int>(v.begin(), v.end()));
        break;
    case NC_FLOAT:
        var.values(std::vector<float>(v.begin(), v.end()));
        break;
    default:
        var.values(v);
    }
}

// Only zeros and values on one side of zero, around one missing mark: the largest (or
// smallest) valid value is a zero, the sign of the last valid zero decides it, and with a
// no-value mark of 0 the missing values that follow it are zeros as well.
std::vector<double> zerosField(double side) {
    std::vector<double> v(kLongField);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double cycle[] = {-999, -0.0, 0.0, side * 1e-50, side * static_cast<double>(i % 100)};
        v[i] = cycle[i % 5];
    }
    v[4095] = side > 0 ? -0.0 : 0.0;           // the last of the first block
    v[v.size() - 2] = side > 0 ? 0.0 : -1e-50; // the last valid zero
    v.back() = -999;
    return v;
}

std::vector<LongFieldCase> longFieldCases() {
    using V = NcBuilder::Var;
    constexpr float fnan = std::numeric_limits<float>::quiet_NaN();
    std::vector<LongFieldCase> cases;
    for (nc_type type : {NC_FLOAT, NC_DOUBLE}) {
        const bool f = type == NC_FLOAT;
        auto fill = [f](V& v, double x) {
            if (f)
                v.att("_FillValue", NC_FLOAT, static_cast<float>(x));
            else
                v.att("_FillValue", NC_DOUBLE, x);
        };
        const std::vector<std::pair<std::string, std::function<void(V&)>>> marks = {
            {"none", [](V&) {}},
            {"missing -999", [](V& v) { v.att("missing_value", -999.0); }},
            {"fill 1e20", [fill](V& v) { fill(v, 1e20); }},
            {"missing -1e30, fill 1e30",
             [fill](V& v) {
                 v.att("missing_value", -1e30);
                 fill(v, 1e30);
             }},
            {"missing -999, fill 100",
             [fill](V& v) {
                 v.att("missing_value", -999.0);
                 fill(v, 100);
             }},
            {"missing 1e30, fill -999",
             [fill](V& v) {
                 v.att("missing_value", 1e30);
                 fill(v, -999);
             }},
            {"fill NaN", [fill](V& v) { fill(v, fnan); }},
            {"scaled, fill -999",
             [fill](V& v) {
                 v.att("scale_factor", 0.01).att("add_offset", 273.15);
                 fill(v, -999);
             }},
            {"scale 1e10", [](V& v) { v.att("scale_factor", 1e10); }},
            {"offset -0 as text", [](V& v) { v.att("add_offset", "-0"); }},
        };
        for (const auto& [label, mark] : marks)
            cases.push_back(
                {std::string(f ? "float " : "double ") + label, type, mark, longField(type)});
    }
    for (nc_type type : {NC_BYTE, NC_SHORT, NC_INT}) {
        const std::string name = type == NC_BYTE ? "byte " : type == NC_SHORT ? "short " : "int ";
        const std::vector<std::pair<std::string, std::function<void(V&)>>> marks = {
            {"none", [](V&) {}},
            {"missing -999", [](V& v) { v.att("missing_value", -999.0); }},
            {"missing -1, fill 7",
             [type](V& v) { v.att("missing_value", -1.0).att("_FillValue", type, 7); }},
            {"scaled, fill 100",
             [type](V& v) {
                 v.att("scale_factor", 0.01).att("add_offset", 273.15).att("_FillValue", type, 100);
             }},
            {"scale -1, offset -0 as text",
             [](V& v) { v.att("scale_factor", -1.0).att("add_offset", "-0"); }},
        };
        for (const auto& [label, mark] : marks)
            cases.push_back({name + label, type, mark, longField(type)});
    }
    auto missing = [](V& v) { v.att("missing_value", -999.0); };
    cases.push_back({"double zeros below", NC_DOUBLE, missing, zerosField(-1)});
    cases.push_back({"double zeros above", NC_DOUBLE, missing, zerosField(1)});
    std::vector<double> singles = zerosField(1);
    for (double& x : singles)
        x = single(x);
    cases.push_back({"float zeros above", NC_FLOAT, missing, singles});
    return cases;
}

// What a read must give, worked out one value at a time.
struct ByValue {
    std::vector<float> out;
    Long valid = 0;
    float hi = 0, lo = 0;
};

ByValue byValue(const VariRec& v, const std::vector<double>& stored, bool strictFill, float noVal) {
    const ValueMarks marks(v, v.type, strictFill);
    ByValue r;
    const double noValSize = std::fabs(static_cast<double>(noVal));
    r.hi = static_cast<float>(-2 * noValSize);
    r.lo = static_cast<float>(2 * noValSize);
    for (double d : stored) {
        const double scaled = d * v.scale + v.offset;
        const bool valid = marks.valid(d) && std::fabs(scaled) < 0x1.ffffffp127;
        r.out.push_back(valid ? static_cast<float>(scaled) : noVal);
        if (!valid) continue;
        ++r.valid;
        r.hi = MaxS(r.hi, r.out.back());
        r.lo = MinS(r.lo, r.out.back());
    }
    return r;
}

std::uint32_t bitsOf(float x) {
    return std::bit_cast<std::uint32_t>(x);
}

// The first index where a and b differ in their bits, or -1.
long firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) return 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (bitsOf(a[i]) != bitsOf(b[i])) return static_cast<long>(i);
    return -1;
}

TEST_F(AnyReadsTest, LongFieldsOfEveryTypeAndMarkGiveWhatTheRuleGivesValueByValue) {
    const auto cases = longFieldCases();
    NcBuilder nc(dir.file("marks.nc"));
    nc.dim("n", kLongField);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string number = std::to_string(i);
        auto& v = nc.var("v" + number, cases[i].type, {"n"});
        cases[i].marks(v);
        putValues(v, cases[i].type, cases[i].values);
    }
    load(nc.write());

    const Long n = static_cast<Long>(kLongField);
    const char* members[] = {"vars", "vara", "var"};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Long nvar = static_cast<Long>(i) + 1;
        const VariRec& rec = k.ncf(1).vari(nvar);
        for (int m = 0; m < 3; ++m)
            for (float noVal : {kNoVal, 0.0f}) {
                SCOPED_TRACE(cases[i].label + " / " + members[m] +
                             (noVal == 0 ? " / No_Val 0" : ""));
                const ByValue want = byValue(rec, cases[i].values, m == 2, noVal);
                VArray<float> out;
                const Variant r =
                    m == 0   ? k.do_get_vars_any(1, nvar, noVal, out, longs({1}), longs({n}),
                                                 longs({1}), n)
                    : m == 1 ? k.do_get_vara_any(1, nvar, noVal, out, longs({1}), longs({n}), n)
                             : k.do_get_var_any(1, nvar, noVal, out);
                ASSERT_EQ(r.type(), Variant::Type::kLong) << k.ErrorMessage;
                const std::vector<float> got = elements(out);
                const long at = firstDifference(got, want.out);
                EXPECT_EQ(at, -1) << "value " << at << ": stored " << cases[i].values[at]
                                  << ", read " << got[at] << ", wanted " << want.out[at];
                EXPECT_EQ(r.toLong(), want.valid);
                EXPECT_EQ(bitsOf(k.vMax), bitsOf(want.hi)) << k.vMax << " " << want.hi;
                EXPECT_EQ(bitsOf(k.vMin), bitsOf(want.lo)) << k.vMin << " " << want.lo;
            }
    }
}

// Windows larger than the pieces the reads work in (65536 values): along the first dimension,
// and along a middle one under an outer dimension taken one entry at a time, strided too. Each
// value tells its place.
TEST_F(AnyReadsTest, WindowsOfManyPiecesTakeEachValueInItsPlace) {
    constexpr Long kT = 3, kY = 257, kX = 256, kLine = 140001;
    auto at = [](Long t, Long y, Long x) {
        return static_cast<double>(((t * kY + y) * kX + x) % 32749 - 16000);
    };
    NcBuilder nc(dir.file("pieces.nc"));
    nc.dim("t", kT);
    nc.dim("y", kY);
    nc.dim("x", kX);
    nc.dim("n", kLine);
    std::vector<double> cube, line;
    for (Long t = 0; t < kT; ++t)
        for (Long y = 0; y < kY; ++y)
            for (Long x = 0; x < kX; ++x)
                cube.push_back(at(t, y, x));
    for (Long i = 0; i < kLine; ++i)
        line.push_back(static_cast<double>(i % 201 - 100));
    nc.var("cube", NC_SHORT, {"t", "y", "x"}).att("scale_factor", 0.5).values(cube);
    nc.var("line", NC_BYTE, {"n"}).att("missing_value", -100.0).values(line);
    load(nc.write());

    // Entries t0 + i * dt, y0 + j * dy, x0 + k * dx (0-based) of the cube, halved.
    auto window = [&](Long t0, Long nt, Long dt, Long y0, Long ny, Long dy, Long x0, Long nx,
                      Long dx) {
        std::vector<float> want;
        for (Long t = 0; t < nt; ++t)
            for (Long y = 0; y < ny; ++y)
                for (Long x = 0; x < nx; ++x)
                    want.push_back(
                        static_cast<float>(at(t0 + t * dt, y0 + y * dy, x0 + x * dx) * 0.5));
        return want;
    };
    VArray<float> out;
    ASSERT_EQ(k.do_get_var_any(1, 1, kNoVal, out).toLong(), kT * kY * kX);
    EXPECT_EQ(elements(out), window(0, kT, 1, 0, kY, 1, 0, kX, 1));
    ASSERT_EQ(k.do_get_vars_any(1, 1, kNoVal, out, longs({1, 1, 1}), longs({2, kY, kX}),
                                longs({2, 1, 1}), 2 * kY * kX)
                  .toLong(),
              2 * kY * kX);
    EXPECT_EQ(elements(out), window(0, 2, 2, 0, kY, 1, 0, kX, 1));
    ASSERT_EQ(k.do_get_vars_any(1, 1, kNoVal, out, longs({2, 3, 1}), longs({2, 120, 86}),
                                longs({1, 2, 3}), 2 * 120 * 86)
                  .toLong(),
              2 * 120 * 86);
    EXPECT_EQ(elements(out), window(1, 2, 1, 2, 120, 2, 0, 86, 3));
    ASSERT_EQ(
        k.do_get_vara_any(1, 1, kNoVal, out, longs({2, 200, 5}), longs({2, 58, 250}), 2 * 58 * 250)
            .toLong(),
        2 * 58 * 250);
    EXPECT_EQ(elements(out), window(1, 2, 1, 199, 58, 1, 4, 250, 1));

    // A long line, whole and every second value.
    auto lineWant = [&](Long step) {
        std::vector<float> want;
        for (Long i = 0; i < kLine; i += step)
            want.push_back(line[i] == -100 ? kNoVal : static_cast<float>(line[i]));
        return want;
    };
    const Long missing = static_cast<Long>(std::count(line.begin(), line.end(), -100.0));
    ASSERT_EQ(k.do_get_var_any(1, 2, kNoVal, out).toLong(), kLine - missing);
    EXPECT_EQ(elements(out), lineWant(1));
    const Long half = (kLine + 1) / 2;
    k.do_get_vars_any(1, 2, kNoVal, out, longs({1}), longs({half}), longs({2}), half);
    EXPECT_EQ(elements(out), lineWant(2));
}

// ---- Types the reads do not take ------------------------------------------------------------

TEST_F(AnyReadsTest, CharAndStringVariablesGiveTheTypeMessage) {
    // (The netCDF-4 integers are read: ValuesTest.)
    NcBuilder nc(dir.file("types.nc"), NcFormat::Netcdf4);
    nc.dim("x", 3);
    nc.var("c", NC_CHAR, {"x"}).text("abc");
    nc.var("u", NC_STRING, {"x"}).strings({"a", "b", "c"});
    load(nc.write());
    const std::string charText =
        "Variable-Type of Attribute not expected:" + kCrLf + "Variable Name = c\nTyep Number =  2";
    const std::string uintText =
        "Variable-Type of Attribute not expected:" + kCrLf + "Variable Name = u\nTyep Number =  12";

    for (Long nvar : {1, 2}) {
        const std::string& text = nvar == 1 ? charText : uintText;
        VArray<float> out;
        k.ErrorMessage.clear();
        Variant r = k.do_get_vars_any(1, nvar, kNoVal, out, longs({1}), longs({3}), longs({1}), 3);
        EXPECT_EQ(r.type(), Variant::Type::kLong);
        EXPECT_EQ(r.toLong(), 0);
        EXPECT_EQ(k.ErrorMessage, text);
        EXPECT_EQ(elements(out), (std::vector<float>{0, 0, 0}));
        EXPECT_EQ(k.vMax, -2e35f);
        EXPECT_EQ(k.vMinMaxVar, nvar);
        for (int m = 0; m < 2; ++m) {
            k.ErrorMessage.clear();
            r = m == 0 ? k.do_get_vara_any(1, nvar, kNoVal, out, longs({2}), longs({2}), 2)
                       : k.do_get_var_any(1, nvar, kNoVal, out);
            EXPECT_EQ(r.toLong(), 0);
            EXPECT_EQ(k.ErrorMessage, text);
            EXPECT_EQ(out.UBound(), m == 0 ? 2 : 3);
        }
        double one = 8;
        k.ErrorMessage.clear();
        EXPECT_EQ(k.do_get_var1_any(1, nvar, longs({1}), one).toLong(), 0);
        EXPECT_EQ(k.ErrorMessage, text);
        EXPECT_EQ(one, 8);
    }

    // The typed reads refuse a string variable before touching the dataset.
    k.CloseSlot(1);
    VArray<Integer> s(1, 3);
    VArray<Long> l;
    VArray<float> f;
    VArray<double> d(1, 3);
    const std::vector<std::function<Variant()>> typed = {
        [&] { return k.do_get_vars_short(1, 2, longs({1}), longs({3}), longs({1}), s); },
        [&] { return k.do_get_var_Long(1, 2, l); },
        [&] { return k.do_get_var_Float(1, 2, f); },
        [&] { return k.do_get_vars_Double(1, 2, longs({1}), longs({3}), longs({1}), d); },
    };
    for (const auto& read : typed) {
        k.ErrorMessage.clear();
        const Variant r = read();
        EXPECT_EQ(r.type(), Variant::Type::kInteger);
        EXPECT_EQ(r.toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, uintText);
        EXPECT_EQ(ncid(), -1);
    }
    EXPECT_FALSE(l.IsAllocated());
}

// ---- Opening and closing --------------------------------------------------------------------

class ReadsOpenCloseTest : public KelvadFixture {
protected:
    void SetUp() override {
        NcBuilder nc(dir.file("grid.nc"));
        nc.dim("y", 2);
        nc.dim("x", 3);
        nc.var("v", NC_FLOAT, {"y", "x"}).values({1.f, 2.f, 3.f, 4.f, 5.f, 6.f});
        load(nc.write());
    }

    // Each member reading element (y, x) = (start, 1) and the next; start 5 lies beyond y.
    struct Member {
        const char* name;
        std::function<Variant(Kelvad&, Long start)> read;
    };
    static std::vector<Member> members() {
        static VArray<float> f;
        static VArray<Integer> s(1, 2);
        static VArray<Long> l(1, 2);
        static VArray<float> fs(1, 2);
        static VArray<double> d(1, 2);
        static double one;
        return {
            {"do_get_vars_any",
             [](Kelvad& k, Long y) {
                 return k.do_get_vars_any(1, 1, kNoVal, f, longs({y, 1}), longs({1, 2}),
                                          longs({1, 1}), 2);
             }},
            {"do_get_vara_any",
             [](Kelvad& k, Long y) {
                 return k.do_get_vara_any(1, 1, kNoVal, f, longs({y, 1}), longs({1, 2}), 2);
             }},
            {"do_get_var1_any",
             [](Kelvad& k, Long y) {
                 return k.do_get_var1_any(1, 1, longs({y, 1}), one);
             }},
            {"do_get_vars_short",
             [](Kelvad& k, Long y) {
                 return k.do_get_vars_short(1, 1, longs({y, 1}), longs({1, 2}), longs({1, 1}), s);
             }},
            {"do_get_vars_Long",
             [](Kelvad& k, Long y) {
                 return k.do_get_vars_Long(1, 1, longs({y, 1}), longs({1, 2}), longs({1, 1}), l);
             }},
            {"do_get_vars_Float",
             [](Kelvad& k, Long y) {
                 return k.do_get_vars_Float(1, 1, longs({y, 1}), longs({1, 2}), longs({1, 1}), fs);
             }},
            {"do_get_vars_Double",
             [](Kelvad& k, Long y) {
                 return k.do_get_vars_Double(1, 1, longs({y, 1}), longs({1, 2}), longs({1, 1}), d);
             }},
        };
    }
};

TEST_F(ReadsOpenCloseTest, CloseAfterReadAndFailuresDecideWhetherTheDatasetStaysOpen) {
    struct Case {
        Long closeAfterRead;
        bool openBefore;
        bool fail;
        bool openAfter;
    };
    const Case cases[] = {
        {0, false, false, true},  {0, true, false, true},  {2, false, false, true},
        {1, false, false, false}, {1, true, false, false}, {0, true, true, false},
        {0, false, true, false},  {1, true, true, false},
    };
    for (const Member& m : members()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(m.name) + " car " + std::to_string(c.closeAfterRead) +
                         (c.openBefore ? " open" : " closed") + (c.fail ? " fail" : " ok"));
            k.CloseAfterRead = 0;
            k.CloseSlot(1);
            if (c.openBefore) {
                ASSERT_EQ(k.ReopenSlot(1), NC_NOERR);
            }
            k.CloseAfterRead = c.closeAfterRead;
            k.ErrorMessage = "earlier";
            const Variant r = m.read(k, c.fail ? 5 : 1);
            if (c.fail) {
                EXPECT_EQ(r.type(), Variant::Type::kInteger);
                EXPECT_EQ(r.toLong(), -1);
                EXPECT_EQ(k.ErrorMessage, std::string("[") + m.name +
                                              "] NetCDF Error: " + NcErrorText(NC_EINVALCOORDS));
            } else {
                EXPECT_GE(r.toLong(), 1);
                EXPECT_EQ(k.ErrorMessage, "earlier"); // a success clears nothing
            }
            EXPECT_EQ(isOpen(ncid()), c.openAfter);
            if (!c.openAfter) {
                EXPECT_EQ(ncid(), -1);
            }
        }
    }
}

TEST_F(ReadsOpenCloseTest, WholeReadsReopenByNameAndCloseWhenTheFileIsGone) {
    VArray<float> f;
    VArray<double> d;
    k.CloseAfterRead = 1;
    EXPECT_EQ(k.do_get_var_any(1, 1, kNoVal, f).toLong(), 6);
    EXPECT_EQ(ncid(), -1);
    EXPECT_EQ(k.do_get_var_Double(1, 1, d).toLong(), 6);
    EXPECT_EQ(ncid(), -1);
    k.CloseAfterRead = 0;
    EXPECT_EQ(k.do_get_var_Double(1, 1, d).toLong(), 6);
    EXPECT_TRUE(isOpen(ncid()));

    k.CloseSlot(1);
    std::filesystem::remove(k.ncf(1).FName);
    int status = NC_NOERR;
    {
        int id = -1;
        status = nc_open(k.ncf(1).FName.c_str(), NC_NOWRITE, &id);
    }
    const Variant r = k.do_get_var_any(1, 1, kNoVal, f);
    EXPECT_EQ(r.toLong(), -1);
    EXPECT_EQ(k.ErrorMessage, "[do_get_var_any] NetCDF Error: " + NcErrorText(status));
    EXPECT_EQ(ncid(), -1);
    EXPECT_EQ(k.do_get_var_Float(1, 1, f).toLong(), -1);
    EXPECT_EQ(k.ErrorMessage, "[do_get_var_Float] NetCDF Error: " + NcErrorText(status));
    EXPECT_EQ(f.UBound(), 6); // dimensioned before the reopen failed
}

// ---- Checks before the read -----------------------------------------------------------------

TEST_F(ReadsOpenCloseTest, AnyTypeReadsRefuseBadArgumentsWithATextAndNoCrash) {
    struct Case {
        const char* label;
        std::function<Variant(VArray<float>&)> read;
        std::string text;
        bool opensAndCloses; // a refusal of the library's kind closes the dataset
    };
    const auto sub = [](const char* tag) { return frame(tag, 9, "Subscript out of range"); };
    const Case cases[] = {
        {"vars tcount 0",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({1, 1}), longs({1, 2}), longs({1, 1}),
                                      0);
         },
         "[do_get_vars_any] tcount <= 0:", false},
        {"vara tcount -1",
         [&](auto& o) {
             return k.do_get_vara_any(1, 1, kNoVal, o, longs({1, 1}), longs({1, 2}), -1);
         },
         "[do_get_vara_any] tcount& <= 0:", false},
        {"vars tcount above the counts",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({1, 1}), longs({1, 2}), longs({1, 1}),
                                      3);
         },
         "[do_get_vars_any] tcount <> product of countp:", false},
        {"vara tcount below the counts",
         [&](auto& o) {
             return k.do_get_vara_any(1, 1, kNoVal, o, longs({1, 1}), longs({2, 3}), 5);
         },
         "[do_get_vara_any] tcount& <> product of countp:", false},
        {"vars start shorter than the rank",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({1}), longs({1, 2}), longs({1, 1}), 2);
         },
         sub("[do_get_vars_any] "), false},
        {"vara start shorter than the rank",
         [&](auto& o) {
             return k.do_get_vara_any(1, 1, kNoVal, o, longs({1}), longs({1, 2}), 2);
         },
         sub("[do_get_vara_any] "), false},
        {"vars stride shorter than the rank",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({1, 1}), longs({1, 2}), longs({1}), 2);
         },
         sub("[do_get_vars_any] "), false},
        {"vars variable 0",
         [&](auto& o) {
             return k.do_get_vars_any(1, 0, kNoVal, o, longs({1, 1}), longs({1, 2}), longs({1, 1}),
                                      2);
         },
         sub("[do_get_vars_any] "), false},
        {"vara slot 5",
         [&](auto& o) {
             return k.do_get_vara_any(5, 1, kNoVal, o, longs({1, 1}), longs({1, 2}), 2);
         },
         sub("[do_get_vara_any] "), false},
        {"var nvar -1", [&](auto& o) { return k.do_get_var_any(-1, -1, kNoVal, o); },
         "[do_get_var_any] nvar& < 0:", false},
        {"var nH -1", [&](auto& o) { return k.do_get_var_any(-1, 1, kNoVal, o); },
         "[do_get_var_any] nH& < 0:", false},
        {"var variable 0", [&](auto& o) { return k.do_get_var_any(1, 0, kNoVal, o); },
         sub("[do_get_var_any] "), false},
        {"vars start 0",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({1, 0}), longs({1, 2}), longs({1, 1}),
                                      2);
         },
         "[do_get_vars_any] NetCDF Error: " + NcErrorText(NC_EINVALCOORDS), true},
        {"vara start below Long range",
         [&](auto& o) {
             return k.do_get_vara_any(1, 1, kNoVal, o, longs({INT32_MIN, 1}), longs({1, 2}), 2);
         },
         "[do_get_vara_any] NetCDF Error: " + NcErrorText(NC_EINVALCOORDS), true},
        {"vars negative counts",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({1, 1}), longs({-1, -2}),
                                      longs({1, 1}), 2);
         },
         "[do_get_vars_any] NetCDF Error: " + NcErrorText(NC_EEDGE), true},
        {"vars negative stride",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({2, 3}), longs({1, 2}), longs({1, -1}),
                                      2);
         },
         "[do_get_vars_any] NetCDF Error: " + NcErrorText(NC_ESTRIDE), true},
        {"vars stride 0",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({1, 1}), longs({1, 2}), longs({1, 0}),
                                      2);
         },
         "[do_get_vars_any] NetCDF Error: " + NcErrorText(NC_ESTRIDE), true},
        // Windows the variable (2 x 3) does not hold: refused before anything is sized.
        {"vara count past the end",
         [&](auto& o) {
             return k.do_get_vara_any(1, 1, kNoVal, o, longs({1, 2}), longs({1, 3}), 3);
         },
         "[do_get_vara_any] NetCDF Error: " + NcErrorText(NC_EEDGE), true},
        {"vars stride past the end",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({1, 1}), longs({1, 3}), longs({1, 2}),
                                      3);
         },
         "[do_get_vars_any] NetCDF Error: " + NcErrorText(NC_EEDGE), true},
        {"vars start just past the end",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({3, 1}), longs({1, 1}), longs({1, 1}),
                                      1);
         },
         "[do_get_vars_any] NetCDF Error: " + NcErrorText(NC_EINVALCOORDS), true},
        {"vars count of two billion",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({1, 1}), longs({1, 2000000000}),
                                      longs({1, 1}), 2000000000);
         },
         "[do_get_vars_any] NetCDF Error: " + NcErrorText(NC_EEDGE), true},
        {"vara counts of the Long range",
         [&](auto& o) {
             return k.do_get_vara_any(1, 1, kNoVal, o, longs({1, 1}), longs({1, INT32_MAX}),
                                      INT32_MAX);
         },
         "[do_get_vara_any] NetCDF Error: " + NcErrorText(NC_EEDGE), true},
        {"vars huge stride",
         [&](auto& o) {
             return k.do_get_vars_any(1, 1, kNoVal, o, longs({1, 1}), longs({1, 2}),
                                      longs({1, INT32_MAX}), 2);
         },
         "[do_get_vars_any] NetCDF Error: " + NcErrorText(NC_EEDGE), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        k.CloseAfterRead = 0;
        k.CloseSlot(1);
        ASSERT_EQ(k.ReopenSlot(1), NC_NOERR);
        k.vMinMaxVar = 77;
        VArray<float> out(1, 2);
        out(1) = 7;
        const Variant r = c.read(out);
        EXPECT_EQ(r.type(), Variant::Type::kInteger);
        EXPECT_EQ(r.toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, c.text);
        if (c.opensAndCloses)
            EXPECT_EQ(ncid(), -1);
        else
            EXPECT_TRUE(isOpen(ncid())); // nothing closed
        // Every refusal comes before the output is sized or the range reset.
        EXPECT_EQ(out.UBound(), 2);
        EXPECT_EQ(out(1), 7);
        EXPECT_EQ(k.vMinMaxVar, 77);
    }

    // A refused tcount does not open a closed dataset; a start array the caller passes stays.
    k.CloseSlot(1);
    VArray<float> out;
    const VArray<Long> start = longs({2, 2});
    EXPECT_EQ(k.do_get_vars_any(1, 1, kNoVal, out, start, longs({1, 2}), longs({1, 1}), 0).toLong(),
              -1);
    EXPECT_EQ(ncid(), -1);
    EXPECT_EQ(k.do_get_vars_any(1, 1, kNoVal, out, start, longs({1, 2}), longs({1, 1}), 2).toLong(),
              2);
    EXPECT_EQ(elements(out), (std::vector<float>{5, 6}));
    EXPECT_EQ(elements(start), (std::vector<Long>{2, 2}));
    double one = 0;
    EXPECT_EQ(k.do_get_var1_any(1, 1, longs({2}), one).toLong(), -1);
    EXPECT_EQ(k.ErrorMessage, frame("[do_get_var1_any] ", 9, "Subscript out of range"));
    EXPECT_EQ(k.do_get_var1_any(1, 1, longs({2, 4}), one).toLong(), -1);
    EXPECT_EQ(k.ErrorMessage, "[do_get_var1_any] NetCDF Error: " + NcErrorText(NC_EINVALCOORDS));
    EXPECT_EQ(one, 0);
}

TEST_F(AnyReadsTest, StridedAndContiguousWindowsTakeTheRightValues) {
    NcBuilder nc(dir.file("cube.nc"));
    nc.dim("t", 3);
    nc.dim("y", 4);
    nc.dim("x", 5);
    std::vector<double> values(60);
    for (int i = 0; i < 60; ++i)
        values[i] = i;
    nc.var("cube", NC_INT, {"t", "y", "x"}).values(values);
    nc.var("scalar", NC_DOUBLE).values({42.5});
    load(nc.write());

    VArray<float> out;
    // t 1 and 3, y 2 and 3, x 1, 3, 5 (1-based).
    EXPECT_EQ(k.do_get_vars_any(1, 1, kNoVal, out, longs({1, 2, 1}), longs({2, 2, 3}),
                                longs({2, 1, 2}), 12)
                  .toLong(),
              12);
    EXPECT_EQ(elements(out), (std::vector<float>{5, 7, 9, 10, 12, 14, 45, 47, 49, 50, 52, 54}));
    EXPECT_EQ(k.do_get_vara_any(1, 1, kNoVal, out, longs({3, 4, 4}), longs({1, 1, 2}), 2).toLong(),
              2);
    EXPECT_EQ(elements(out), (std::vector<float>{58, 59}));
    double one = 0;
    EXPECT_EQ(k.do_get_var1_any(1, 1, longs({2, 3, 4}), one).toLong(), 1);
    EXPECT_EQ(one, 33);

    // A variable without dimensions: one value, entry 1 of each argument array still needed.
    EXPECT_EQ(k.do_get_var_any(1, 2, kNoVal, out).toLong(), 1);
    EXPECT_EQ(elements(out), (std::vector<float>{42.5f}));
    EXPECT_EQ(k.do_get_vars_any(1, 2, kNoVal, out, longs({1}), longs({1}), longs({1}), 1).toLong(),
              1);
    EXPECT_EQ(k.do_get_var1_any(1, 2, longs({1}), one).toLong(), 1);
    EXPECT_EQ(one, 42.5);
    EXPECT_EQ(k.do_get_var1_any(1, 2, VArray<Long>(), one).toLong(), -1);
    EXPECT_EQ(k.ErrorMessage, frame("[do_get_var1_any] ", 9, "Subscript out of range"));
}

// ---- Bounded whole reads --------------------------------------------------------------------

TEST_F(AnyReadsTest, WholeReadsReadTheRecordedSizeOfAFileThatHasGrown) {
    NcBuilder nc(dir.file("grow.nc"));
    nc.unlimitedDim("time", 2);
    nc.dim("x", 3);
    nc.var("temp", NC_FLOAT, {"time", "x"}).values({1.f, 2.f, 3.f, 4.f, 5.f, 6.f});
    const std::string path = nc.write();
    k.CloseAfterRead = 1; // closed after the header read: the next read opens the grown file
    load(path);

    int id = -1;
    ASSERT_EQ(nc_open(path.c_str(), NC_WRITE, &id), NC_NOERR);
    const std::size_t start[] = {2, 0}, count[] = {3, 3};
    const float more[9] = {7, 8, 9, 10, 11, 12, 13, 14, 15};
    ASSERT_EQ(nc_put_vara_float(id, 0, start, count, more), NC_NOERR);
    ASSERT_EQ(nc_close(id), NC_NOERR);

    const std::vector<double> recorded = {1, 2, 3, 4, 5, 6};
    VArray<float> any;
    EXPECT_EQ(k.do_get_var_any(1, 1, kNoVal, any).toLong(), 6);
    EXPECT_EQ(elements(any), (std::vector<float>(recorded.begin(), recorded.end())));
    VArray<Integer> s;
    VArray<Long> l;
    VArray<float> f;
    VArray<double> d;
    for (const Variant& r : {k.do_get_var_short(1, 1, s), k.do_get_var_Long(1, 1, l),
                             k.do_get_var_Float(1, 1, f), k.do_get_var_Double(1, 1, d)}) {
        EXPECT_EQ(r.type(), Variant::Type::kLong);
        EXPECT_EQ(r.toLong(), 6);
    }
    EXPECT_EQ(elements(s), (std::vector<Integer>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(elements(l), (std::vector<Long>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(elements(f), (std::vector<float>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(elements(d), recorded);
    EXPECT_EQ(ncid(), -1);
}

} // namespace
