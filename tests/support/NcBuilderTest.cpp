// The builder is checked by reading its files back through the netCDF-C API: every later test
// that builds a fixture relies on these files holding exactly what was described.
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

// An open dataset, read-only, closed at the end of the test.
class Nc {
public:
    explicit Nc(const std::string& path) {
        int status = nc_open(path.c_str(), NC_NOWRITE, &id);
        if (status != NC_NOERR) throw std::runtime_error(nc_strerror(status));
    }
    ~Nc() { nc_close(id); }
    Nc(const Nc&) = delete;
    Nc& operator=(const Nc&) = delete;

    int varid(const std::string& name) const {
        int v = -2;
        EXPECT_EQ(nc_inq_varid(id, name.c_str(), &v), NC_NOERR) << name;
        return v;
    }
    std::size_t dimlen(const std::string& name) const {
        int d = -1;
        std::size_t len = 0;
        EXPECT_EQ(nc_inq_dimid(id, name.c_str(), &d), NC_NOERR) << name;
        EXPECT_EQ(nc_inq_dimlen(id, d, &len), NC_NOERR) << name;
        return len;
    }
    // Type and length of an attribute of variable v (NC_GLOBAL for the file's own).
    std::pair<nc_type, std::size_t> att(int v, const std::string& name) const {
        nc_type t = NC_NAT;
        std::size_t len = 0;
        EXPECT_EQ(nc_inq_att(id, v, name.c_str(), &t, &len), NC_NOERR) << name;
        return {t, len};
    }
    std::string text(int v, const std::string& name) const {
        auto [t, len] = att(v, name);
        EXPECT_EQ(t, NC_CHAR) << name;
        std::string s(len, '?');
        EXPECT_EQ(nc_get_att_text(id, v, name.c_str(), s.data()), NC_NOERR) << name;
        return s;
    }
    // Numeric attributes are read as doubles: the type is checked through att().
    std::vector<double> numbers(int v, const std::string& name) const {
        std::vector<double> x(att(v, name).second);
        EXPECT_EQ(nc_get_att_double(id, v, name.c_str(), x.data()), NC_NOERR) << name;
        return x;
    }
    std::vector<double> values(const std::string& var, std::size_t n) const {
        std::vector<double> x(n);
        EXPECT_EQ(nc_get_var_double(id, varid(var), x.data()), NC_NOERR) << var;
        return x;
    }
    nc_type vartype(const std::string& var) const {
        nc_type t = NC_NAT;
        EXPECT_EQ(nc_inq_vartype(id, varid(var), &t), NC_NOERR);
        return t;
    }
    std::vector<std::string> vardims(const std::string& var) const {
        int n = 0;
        int ids[NC_MAX_VAR_DIMS];
        EXPECT_EQ(nc_inq_var(id, varid(var), nullptr, nullptr, &n, ids, nullptr), NC_NOERR);
        std::vector<std::string> names;
        for (int i = 0; i < n; ++i) {
            char name[NC_MAX_NAME + 1] = {};
            EXPECT_EQ(nc_inq_dimname(id, ids[i], name), NC_NOERR);
            names.push_back(name);
        }
        return names;
    }

    int id = -1;
};

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(NcBuilder, DimensionsKeepOrderSizesAndTheUnlimitedRecordCount) {
    TempDir dir;
    NcBuilder nc(dir.file("d.nc"));
    const std::string longName(45, 'x');
    EXPECT_EQ(nc.dim("lat", 4), 0);
    EXPECT_EQ(nc.unlimitedDim("time", 3), 1);
    EXPECT_EQ(nc.dim(longName, 2), 2);
    EXPECT_EQ(nc.dim(longName + "y", 1), 3);
    nc.var("t", NC_DOUBLE, {"time"}).values({1.0, 2.0, 3.0});
    nc.write();

    Nc f(dir.file("d.nc"));
    int ndims = 0, unlim = -2, format = -1;
    ASSERT_EQ(nc_inq_ndims(f.id, &ndims), NC_NOERR);
    ASSERT_EQ(nc_inq_unlimdim(f.id, &unlim), NC_NOERR);
    ASSERT_EQ(nc_inq_format(f.id, &format), NC_NOERR);
    EXPECT_EQ(ndims, 4);
    EXPECT_EQ(unlim, 1);
    EXPECT_EQ(format, NC_FORMAT_CLASSIC);
    const std::vector<std::pair<std::string, std::size_t>> want{
        {"lat", 4}, {"time", 3}, {longName, 2}, {longName + "y", 1}};
    for (int d = 0; d < ndims; ++d) {
        char name[NC_MAX_NAME + 1] = {};
        std::size_t len = 0;
        ASSERT_EQ(nc_inq_dim(f.id, d, name, &len), NC_NOERR);
        EXPECT_EQ(name, want[d].first);
        EXPECT_EQ(len, want[d].second) << name;
    }
}

TEST(NcBuilder, UnlimitedDimensionWithoutRecords) {
    TempDir dir;
    NcBuilder nc(dir.file("u.nc"));
    nc.dim("time", NC_UNLIMITED);
    nc.dim("x", 2);
    nc.var("t", NC_FLOAT, {"time", "x"});
    nc.write();
    Nc f(dir.file("u.nc"));
    int unlim = -1;
    ASSERT_EQ(nc_inq_unlimdim(f.id, &unlim), NC_NOERR);
    EXPECT_EQ(unlim, 0);
    EXPECT_EQ(f.dimlen("time"), 0u);
}

// Each classic type, values read back in the variable's own type.
TEST(NcBuilder, ValuesOfEachClassicType) {
    TempDir dir;
    NcBuilder nc(dir.file("v.nc"));
    nc.dim("n", 4);
    nc.dim("len", 6);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    nc.var("b", NC_BYTE, {"n"}).values<signed char>({-128, -1, 0, 127});
    nc.var("s", NC_SHORT, {"n"}).values<short>({-32767, -1, 0, 32767});
    nc.var("i", NC_INT, {"n"}).values({-2147483647, -1, 0, 2147483647});
    nc.var("f", NC_FLOAT, {"n"}).values({1.5f, -999.0f, inf, nan});
    nc.var("d", NC_DOUBLE, {"n"}).values({0.1, -1e300, 9.969209968386869e36, 2.0});
    nc.var("c", NC_CHAR, {"n", "len"}).text(std::string("alpha\0beta\0\0gamma", 17));
    nc.write();

    Nc f(dir.file("v.nc"));
    EXPECT_EQ(f.vartype("b"), NC_BYTE);
    EXPECT_EQ(f.vartype("s"), NC_SHORT);
    EXPECT_EQ(f.vartype("i"), NC_INT);
    EXPECT_EQ(f.vartype("f"), NC_FLOAT);
    EXPECT_EQ(f.vartype("d"), NC_DOUBLE);
    EXPECT_EQ(f.vartype("c"), NC_CHAR);

    signed char b[4];
    ASSERT_EQ(nc_get_var_schar(f.id, f.varid("b"), b), NC_NOERR);
    EXPECT_EQ(std::vector<int>(b, b + 4), (std::vector<int>{-128, -1, 0, 127}));
    short s[4];
    ASSERT_EQ(nc_get_var_short(f.id, f.varid("s"), s), NC_NOERR);
    EXPECT_EQ(std::vector<short>(s, s + 4), (std::vector<short>{-32767, -1, 0, 32767}));
    int i[4];
    ASSERT_EQ(nc_get_var_int(f.id, f.varid("i"), i), NC_NOERR);
    EXPECT_EQ(std::vector<int>(i, i + 4), (std::vector<int>{-2147483647, -1, 0, 2147483647}));
    float fl[4];
    ASSERT_EQ(nc_get_var_float(f.id, f.varid("f"), fl), NC_NOERR);
    EXPECT_EQ(fl[0], 1.5f);
    EXPECT_EQ(fl[1], -999.0f);
    EXPECT_EQ(fl[2], inf);
    EXPECT_TRUE(std::isnan(fl[3]));
    double d[4];
    ASSERT_EQ(nc_get_var_double(f.id, f.varid("d"), d), NC_NOERR);
    EXPECT_EQ(std::vector<double>(d, d + 4),
              (std::vector<double>{0.1, -1e300, 9.969209968386869e36, 2.0}));
    // The text is padded with NULs to the variable's 24 characters.
    char c[24];
    ASSERT_EQ(nc_get_var_text(f.id, f.varid("c"), c), NC_NOERR);
    EXPECT_EQ(std::string(c, 24), std::string("alpha\0beta\0\0gamma", 17) + std::string(7, '\0'));
}

TEST(NcBuilder, ValuesAreConvertedToTheVariablesType) {
    TempDir dir;
    NcBuilder nc(dir.file("c.nc"));
    nc.dim("n", 3);
    nc.var("s", NC_SHORT, {"n"}).values({1500.0, 0.0, -32767.0});
    nc.var("f", NC_FLOAT, {"n"}).values({1, 2, 3});
    nc.var("b", NC_BYTE, {"n"}).values(std::vector<long>{-5, 0, 100});
    nc.write();
    Nc f(dir.file("c.nc"));
    short s[3];
    ASSERT_EQ(nc_get_var_short(f.id, f.varid("s"), s), NC_NOERR);
    EXPECT_EQ(std::vector<short>(s, s + 3), (std::vector<short>{1500, 0, -32767}));
    EXPECT_EQ(f.values("f", 3), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(f.values("b", 3), (std::vector<double>{-5, 0, 100}));
}

TEST(NcBuilder, ScalarAndSixDimensionalVariables) {
    TempDir dir;
    NcBuilder nc(dir.file("s.nc"));
    for (const char* d : {"a", "b", "c", "d", "e", "f"})
        nc.dim(d, 2);
    auto& scalar = nc.var("scalar", NC_DOUBLE).values({42.5});
    auto& six = nc.var("six", NC_INT, {"a", "b", "c", "d", "e", "f"});
    EXPECT_EQ(scalar.id(), 0);
    EXPECT_EQ(six.id(), 1);
    EXPECT_EQ(six.size(), 64u);
    std::vector<int> v(64);
    for (int k = 0; k < 64; ++k)
        v[k] = k * 3;
    six.values(v);
    nc.write();

    Nc f(dir.file("s.nc"));
    EXPECT_TRUE(f.vardims("scalar").empty());
    EXPECT_EQ(f.values("scalar", 1), std::vector<double>{42.5});
    EXPECT_EQ(f.vardims("six"), (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
    std::vector<int> back(64);
    ASSERT_EQ(nc_get_var_int(f.id, f.varid("six"), back.data()), NC_NOERR);
    EXPECT_EQ(back, v);
    // Last dimension fastest: element (0,0,0,0,1,1) is the fourth value.
    std::size_t index[6] = {0, 0, 0, 0, 1, 1};
    int one = 0;
    ASSERT_EQ(nc_get_var1_int(f.id, f.varid("six"), index, &one), NC_NOERR);
    EXPECT_EQ(one, 9);
}

// All records are written, in every format; a record variable without values still spans them,
// holding its fill value.
class NcBuilderFormat : public ::testing::TestWithParam<std::pair<NcFormat, int>> {};

TEST_P(NcBuilderFormat, RecordsAreAllWritten) {
    TempDir dir;
    NcBuilder nc(dir.file("r.nc"), GetParam().first);
    nc.unlimitedDim("time", 3);
    nc.dim("x", 2);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2000-01-01").values({0., 1., 2.});
    nc.var("v", NC_FLOAT, {"time", "x"}).values({1.f, 2.f, 3.f, 4.f, 5.f, 6.f});
    nc.var("empty", NC_SHORT, {"time", "x"}).att("_FillValue", NC_SHORT, -99);
    nc.var("plain", NC_INT, {"time"});
    nc.var("fixed", NC_INT, {"x"}).values({7, 8});
    nc.write();

    Nc f(dir.file("r.nc"));
    int format = -1;
    ASSERT_EQ(nc_inq_format(f.id, &format), NC_NOERR);
    EXPECT_EQ(format, GetParam().second);
    EXPECT_EQ(f.dimlen("time"), 3u);
    EXPECT_EQ(f.values("time", 3), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(f.values("v", 6), (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(f.values("empty", 6), std::vector<double>(6, -99));
    EXPECT_EQ(f.values("plain", 3), std::vector<double>(3, NC_FILL_INT));
    EXPECT_EQ(f.values("fixed", 2), (std::vector<double>{7, 8}));
    EXPECT_EQ(f.text(f.varid("time"), "units"), "days since 2000-01-01");
}

INSTANTIATE_TEST_SUITE_P(Formats, NcBuilderFormat,
                         ::testing::Values(std::pair{NcFormat::Classic, NC_FORMAT_CLASSIC},
                                           std::pair{NcFormat::Offset64, NC_FORMAT_64BIT_OFFSET},
                                           std::pair{NcFormat::Netcdf4, NC_FORMAT_NETCDF4}),
                         [](const auto& p) { return "format" + std::to_string(p.param.second); });

TEST(NcBuilder, AttributesOfEveryClassicTypeInOrder) {
    TempDir dir;
    NcBuilder nc(dir.file("a.nc"));
    nc.dim("n", 1);
    nc.var("v", NC_SHORT, {"n"})
        .att("units", "degC")
        .att("long_name", std::string("Sea temperature [degC]"))
        .att("empty", "")
        .att("b", static_cast<signed char>(-7))
        .att("bs", {std::int8_t{-128}, std::int8_t{127}})
        .att("s", short{-32767})
        .att("ss", std::vector<short>{1, -2, 3})
        .att("i", 123456789)
        .att("is", {-1, 0, 1})
        .att("f", -999.0f)
        .att("fs", std::vector<float>{0.5f, 1e35f})
        .att("d", 0.1)
        .att("ds", {1e-300, -2.5})
        .att("_FillValue", NC_SHORT, -32767)
        .att("missing_value", NC_FLOAT, 1e20)
        .att("valid_range", NC_BYTE, {-10, 10})
        .values({5});
    nc.write();

    Nc f(dir.file("a.nc"));
    const int v = f.varid("v");
    const std::vector<std::pair<std::string, nc_type>> order{{"units", NC_CHAR},
                                                             {"long_name", NC_CHAR},
                                                             {"empty", NC_CHAR},
                                                             {"b", NC_BYTE},
                                                             {"bs", NC_BYTE},
                                                             {"s", NC_SHORT},
                                                             {"ss", NC_SHORT},
                                                             {"i", NC_INT},
                                                             {"is", NC_INT},
                                                             {"f", NC_FLOAT},
                                                             {"fs", NC_FLOAT},
                                                             {"d", NC_DOUBLE},
                                                             {"ds", NC_DOUBLE},
                                                             {"_FillValue", NC_SHORT},
                                                             {"missing_value", NC_FLOAT},
                                                             {"valid_range", NC_BYTE}};
    int natts = 0;
    ASSERT_EQ(nc_inq_varnatts(f.id, v, &natts), NC_NOERR);
    ASSERT_EQ(natts, static_cast<int>(order.size()));
    for (int a = 0; a < natts; ++a) {
        char name[NC_MAX_NAME + 1] = {};
        ASSERT_EQ(nc_inq_attname(f.id, v, a, name), NC_NOERR);
        EXPECT_EQ(name, order[a].first);
        EXPECT_EQ(f.att(v, name).first, order[a].second) << name;
    }
    EXPECT_EQ(f.text(v, "units"), "degC");
    EXPECT_EQ(f.text(v, "long_name"), "Sea temperature [degC]");
    EXPECT_EQ(f.att(v, "empty").second, 0u);
    EXPECT_EQ(f.numbers(v, "b"), std::vector<double>{-7});
    EXPECT_EQ(f.numbers(v, "bs"), (std::vector<double>{-128, 127}));
    EXPECT_EQ(f.numbers(v, "s"), std::vector<double>{-32767});
    EXPECT_EQ(f.numbers(v, "ss"), (std::vector<double>{1, -2, 3}));
    EXPECT_EQ(f.numbers(v, "i"), std::vector<double>{123456789});
    EXPECT_EQ(f.numbers(v, "is"), (std::vector<double>{-1, 0, 1}));
    EXPECT_EQ(f.numbers(v, "f"), std::vector<double>{-999});
    // Float attributes hold Singles: 1e35f is not 1e35.
    EXPECT_EQ(f.numbers(v, "fs"), (std::vector<double>{0.5, static_cast<double>(1e35f)}));
    EXPECT_EQ(f.numbers(v, "d"), std::vector<double>{0.1});
    EXPECT_EQ(f.numbers(v, "ds"), (std::vector<double>{1e-300, -2.5}));
    EXPECT_EQ(f.numbers(v, "_FillValue"), std::vector<double>{-32767});
    EXPECT_EQ(f.numbers(v, "missing_value"), std::vector<double>{static_cast<double>(1e20f)});
    EXPECT_EQ(f.numbers(v, "valid_range"), (std::vector<double>{-10, 10}));
}

TEST(NcBuilder, GlobalAttributesAndManyVariableAttributes) {
    TempDir dir;
    NcBuilder nc(dir.file("g.nc"));
    nc.globalAtt("title", "Test data")
        .globalAtt("version", 2)
        .globalAtt("origin", {1.5f, -2.5f})
        .globalAtt("history", std::string("made by a test"));
    nc.dim("n", 1);
    auto& v = nc.var("v", NC_FLOAT, {"n"});
    for (int k = 1; k <= 22; ++k) {
        const std::string number = std::to_string(k);
        v.att("a" + number, k);
    }
    nc.write();

    Nc f(dir.file("g.nc"));
    int ngatts = 0, natts = 0;
    ASSERT_EQ(nc_inq_natts(f.id, &ngatts), NC_NOERR);
    EXPECT_EQ(ngatts, 4);
    EXPECT_EQ(f.text(NC_GLOBAL, "title"), "Test data");
    EXPECT_EQ(f.att(NC_GLOBAL, "version").first, NC_INT);
    EXPECT_EQ(f.numbers(NC_GLOBAL, "version"), std::vector<double>{2});
    EXPECT_EQ(f.att(NC_GLOBAL, "origin").first, NC_FLOAT);
    EXPECT_EQ(f.numbers(NC_GLOBAL, "origin"), (std::vector<double>{1.5, -2.5}));
    EXPECT_EQ(f.text(NC_GLOBAL, "history"), "made by a test");
    ASSERT_EQ(nc_inq_varnatts(f.id, f.varid("v"), &natts), NC_NOERR);
    ASSERT_EQ(natts, 22);
    char name[NC_MAX_NAME + 1] = {};
    ASSERT_EQ(nc_inq_attname(f.id, f.varid("v"), 21, name), NC_NOERR);
    EXPECT_STREQ(name, "a22");
    EXPECT_EQ(f.numbers(f.varid("v"), "a22"), std::vector<double>{22});
}

TEST(NcBuilder, Netcdf4StringAttributesAndWideTypes) {
    TempDir dir;
    NcBuilder nc(dir.file("n4.nc"), NcFormat::Netcdf4);
    nc.dim("n", 3);
    nc.globalStringAtt("title", "A string title");
    nc.var("u", NC_UINT, {"n"})
        .stringAtt("units", "m")
        .stringAtt("flags", {"one", "two"})
        .att("ubyte", static_cast<unsigned char>(200))
        .att("ushort", static_cast<unsigned short>(65535))
        .att("uint", 4000000000u)
        .att("int64", std::int64_t{-9000000000000000000})
        .att("uint64", std::uint64_t{18000000000000000000u})
        .values({0u, 7u, 4294967295u});
    nc.var("big", NC_INT64, {"n"})
        .values(std::vector<long long>{-9007199254740993LL, 0, 9007199254740993LL});
    nc.var("ub", NC_UBYTE, {"n"}).values({0, 128, 255});
    nc.var("names", NC_STRING, {"n"}).strings({"x", "", "zz"});
    nc.write();

    Nc f(dir.file("n4.nc"));
    int format = -1;
    ASSERT_EQ(nc_inq_format(f.id, &format), NC_NOERR);
    EXPECT_EQ(format, NC_FORMAT_NETCDF4);

    auto strings = [&](int v, const std::string& name) {
        auto [t, len] = f.att(v, name);
        EXPECT_EQ(t, NC_STRING);
        std::vector<char*> p(len);
        EXPECT_EQ(nc_get_att_string(f.id, v, name.c_str(), p.data()), NC_NOERR);
        std::vector<std::string> s(p.begin(), p.end());
        nc_free_string(len, p.data());
        return s;
    };
    EXPECT_EQ(strings(NC_GLOBAL, "title"), std::vector<std::string>{"A string title"});
    const int u = f.varid("u");
    EXPECT_EQ(strings(u, "units"), std::vector<std::string>{"m"});
    EXPECT_EQ(strings(u, "flags"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(f.att(u, "ubyte").first, NC_UBYTE);
    EXPECT_EQ(f.numbers(u, "ubyte"), std::vector<double>{200});
    EXPECT_EQ(f.att(u, "ushort").first, NC_USHORT);
    EXPECT_EQ(f.numbers(u, "ushort"), std::vector<double>{65535});
    EXPECT_EQ(f.att(u, "uint").first, NC_UINT);
    EXPECT_EQ(f.numbers(u, "uint"), std::vector<double>{4e9});
    EXPECT_EQ(f.att(u, "int64").first, NC_INT64);
    long long i64 = 0;
    ASSERT_EQ(nc_get_att_longlong(f.id, u, "int64", &i64), NC_NOERR);
    EXPECT_EQ(i64, -9000000000000000000LL);
    EXPECT_EQ(f.att(u, "uint64").first, NC_UINT64);
    unsigned long long u64 = 0;
    ASSERT_EQ(nc_get_att_ulonglong(f.id, u, "uint64", &u64), NC_NOERR);
    EXPECT_EQ(u64, 18000000000000000000ULL);

    EXPECT_EQ(f.vartype("u"), NC_UINT);
    unsigned uv[3];
    ASSERT_EQ(nc_get_var_uint(f.id, u, uv), NC_NOERR);
    EXPECT_EQ(std::vector<unsigned>(uv, uv + 3), (std::vector<unsigned>{0, 7, 4294967295u}));
    // Beyond 2^53, so only exact if no double passes between.
    EXPECT_EQ(f.vartype("big"), NC_INT64);
    long long big[3];
    ASSERT_EQ(nc_get_var_longlong(f.id, f.varid("big"), big), NC_NOERR);
    EXPECT_EQ(big[0], -9007199254740993LL);
    EXPECT_EQ(big[2], 9007199254740993LL);
    EXPECT_EQ(f.values("ub", 3), (std::vector<double>{0, 128, 255}));
    char* names[3] = {};
    ASSERT_EQ(nc_get_var_string(f.id, f.varid("names"), names), NC_NOERR);
    EXPECT_EQ((std::vector<std::string>(names, names + 3)),
              (std::vector<std::string>{"x", "", "zz"}));
    nc_free_string(3, names);
}

TEST(NcBuilder, WriteReplacesAnExistingFile) {
    TempDir dir;
    {
        NcBuilder nc(dir.file("r.nc"));
        nc.dim("old", 9);
        nc.write();
    }
    NcBuilder nc(dir.file("r.nc"));
    nc.dim("new", 2);
    EXPECT_EQ(nc.write(), dir.file("r.nc"));
    Nc f(dir.file("r.nc"));
    int d = -1;
    EXPECT_EQ(nc_inq_dimid(f.id, "old", &d), NC_EBADDIM);
    EXPECT_EQ(f.dimlen("new"), 2u);
}

TEST(NcBuilder, MistakesInTheDescriptionThrowAtOnce) {
    TempDir dir;
    NcBuilder nc(dir.file("m.nc"));
    nc.dim("x", 3);
    nc.unlimitedDim("t", 2);
    EXPECT_NE(errorOf([&] {
                  nc.var("v", NC_INT, {"x", "y"});
              }).find("no dimension named y"),
              std::string::npos);
    auto& v = nc.var("w", NC_INT, {"t", "x"});
    EXPECT_NE(errorOf([&] {
                  v.values({1, 2, 3});
              }).find("holds 6 values, given 3"),
              std::string::npos);
    auto& c = nc.var("c", NC_CHAR, {"x"});
    EXPECT_NE(errorOf([&] { c.text("abcd"); }).find("holds 3 characters, given 4"),
              std::string::npos);
}

// netCDF's refusals come with its own text, and leave no file behind.
TEST(NcBuilder, NetcdfFailuresThrowWithTheLibrarysText) {
    struct Case {
        const char* what;
        std::function<void(NcBuilder&)> describe;
        int status;
    };
    const std::vector<Case> cases{
        {"fill value of another type",
         [](NcBuilder& nc) { nc.var("v", NC_SHORT, {"x"}).att("_FillValue", -1.0f); }, NC_EBADTYPE},
        {"string attribute in a classic file", [](NcBuilder& nc) { nc.globalStringAtt("s", "x"); },
         NC_EBADTYPE},
        {"value out of the type's range",
         [](NcBuilder& nc) {
             nc.var("v", NC_BYTE, {"x"}).values({1, 300});
         },
         NC_ERANGE},
        {"two variables of one name",
         [](NcBuilder& nc) {
             nc.var("v", NC_INT, {"x"});
             nc.var("v", NC_INT, {"x"});
         },
         NC_ENAMEINUSE},
        {"uint variable in a classic file", [](NcBuilder& nc) { nc.var("v", NC_UINT, {"x"}); },
         NC_EBADTYPE},
    };
    for (const auto& k : cases) {
        TempDir dir;
        NcBuilder nc(dir.file("e.nc"));
        nc.dim("x", 2);
        k.describe(nc);
        const std::string error = errorOf([&] { nc.write(); });
        EXPECT_NE(error.find(nc_strerror(k.status)), std::string::npos) << k.what << ": " << error;
        EXPECT_FALSE(std::filesystem::exists(dir.file("e.nc"))) << k.what;
    }

    TempDir dir;
    NcBuilder nc(dir.file("no/such/folder/e.nc"));
    EXPECT_NE(errorOf([&] { nc.write(); }).find("cannot create"), std::string::npos);
}

TEST(NcBuilder, CdlThroughNcgen) {
    TempDir dir;
    writeCdl(R"(netcdf test {
dimensions:
    time = UNLIMITED ; // (2 currently)
    lat = 3 ;
variables:
    double time(time) ;
        time:units = "hours since 1990-01-01 00:00:00" ;
    short sst(time, lat) ;
        sst:scale_factor = 0.01f ;
        sst:_FillValue = -32767s ;
    byte flag ;
// global attributes:
    :title = "from CDL" ;
data:
    time = 0, 6 ;
    sst = 1500, 0, -32767, 1, 2, 3 ;
    flag = -3 ;
}
)",
             dir.file("cdl.nc"));
    Nc f(dir.file("cdl.nc"));
    int format = -1, unlim = -1;
    ASSERT_EQ(nc_inq_format(f.id, &format), NC_NOERR);
    ASSERT_EQ(nc_inq_unlimdim(f.id, &unlim), NC_NOERR);
    EXPECT_EQ(format, NC_FORMAT_CLASSIC);
    EXPECT_EQ(unlim, 0);
    EXPECT_EQ(f.dimlen("time"), 2u);
    EXPECT_EQ(f.values("time", 2), (std::vector<double>{0, 6}));
    EXPECT_EQ(f.values("sst", 6), (std::vector<double>{1500, 0, -32767, 1, 2, 3}));
    EXPECT_EQ(f.att(f.varid("sst"), "scale_factor").first, NC_FLOAT);
    EXPECT_EQ(f.numbers(f.varid("sst"), "scale_factor"),
              std::vector<double>{static_cast<double>(0.01f)});
    EXPECT_EQ(f.att(f.varid("sst"), "_FillValue").first, NC_SHORT);
    EXPECT_EQ(f.vartype("flag"), NC_BYTE);
    EXPECT_EQ(f.values("flag", 1), std::vector<double>{-3});
    EXPECT_EQ(f.text(NC_GLOBAL, "title"), "from CDL");
    // Only the dataset stays: the CDL text and ncgen's messages are removed.
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(NcBuilder, CdlOfNetcdf4AndItsFailures) {
    TempDir dir;
    const std::string cdl = R"(netcdf n4 {
dimensions:
    n = 2 ;
variables:
    uint u(n) ;
        string u:note = "one text" ;
data:
    u = 1, 4000000000 ;
}
)";
    writeCdl(cdl, dir.file("n4.nc"), NcFormat::Netcdf4);
    Nc f(dir.file("n4.nc"));
    EXPECT_EQ(f.vartype("u"), NC_UINT);
    EXPECT_EQ(f.values("u", 2), (std::vector<double>{1, 4e9}));
    EXPECT_EQ(f.att(f.varid("u"), "note"), (std::pair<nc_type, std::size_t>{NC_STRING, 1}));

    // A classic file cannot hold it: ncgen's complaint reaches the message, no file is left.
    const std::string error = errorOf([&] { writeCdl(cdl, dir.file("bad.nc")); });
    EXPECT_NE(error.find("ncgen failed"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.file("bad.nc")));
    const std::string syntax = errorOf([&] { writeCdl("netcdf x { nonsense", dir.file("s.nc")); });
    EXPECT_NE(syntax.find("ncgen failed"), std::string::npos) << syntax;
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", dir.path().c_str(), 1);
    const std::string missing = errorOf([&] { writeCdl(cdl, dir.file("m.nc")); });
    setenv("PATH", path.c_str(), 1);
    EXPECT_NE(missing.find("ncgen is not on the PATH"), std::string::npos) << missing;
    EXPECT_GT(syntax.size(),
              std::string("NcBuilder: ncgen failed for ").size() + dir.file("s.nc").size() + 2)
        << "ncgen's own message is missing";
}

} // namespace
