// The batch of DAP2 values: the addresses and parameters read from a dataset name, the .dods
// responses of the shapes servers send (grids, structures, packed bytes, 16-bit integers sent
// as words), and the reads that take held values only where netCDF-C would give the same.
#include "kelvadlib/DapBatch.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

// XDR as a DAP2 server writes it.
struct Xdr {
    std::string bytes;
    Xdr& word(std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += static_cast<char>((v >> shift) & 0xff);
        return *this;
    }
    Xdr& f32(float v) {
        std::uint32_t w = 0;
        std::memcpy(&w, &v, 4);
        return word(w);
    }
    Xdr& f64(double v) {
        std::uint64_t w = 0;
        std::memcpy(&w, &v, 8);
        return word(static_cast<std::uint32_t>(w >> 32)).word(static_cast<std::uint32_t>(w));
    }
    // An array's length, given twice.
    Xdr& length(std::uint32_t n) { return word(n).word(n); }
};

std::string response(const std::string& dds, const Xdr& data) {
    return dds + "\nData:\n" + data.bytes;
}

TEST(DapBatch, DatasetAddressAndClientParameters) {
    struct Case {
        const char* name;
        const char* url;
        bool prefetches;
    };
    const Case cases[] = {
        {"http://h:8080/a.nc", "http://h:8080/a.nc", true},
        {"HTTPS://h/a.nc#noprefetch", "HTTPS://h/a.nc", false},
        {"http://h/a.nc#log&noprefetch", "http://h/a.nc", false},
        {"[noprefetch]http://h/a.nc", "http://h/a.nc", false},
        {"[log][cache]http://h/a.nc", "http://h/a.nc", true},
        {"http://h/a.nc#prefetch", "http://h/a.nc", true},
        // A constraint of the user's own narrows every request: the batch leaves it alone.
        {"http://h/a.nc?lon,lat", "", true},
        {"http://h/a.nc#mode=dap4", "", true},
        {"/data/a.nc", "", true},
        {"file:///data/a.nc", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DapDatasetUrl(c.name), c.url) << c.name;
        EXPECT_EQ(DapClientPrefetches(c.name), c.prefetches) << c.name;
    }
    EXPECT_TRUE(DapPlainName("nav_lon-2"));
    EXPECT_FALSE(DapPlainName("s.lon"));
    EXPECT_FALSE(DapPlainName("lon lat"));
    EXPECT_FALSE(DapPlainName(""));

    std::vector<DapWanted> wanted(2);
    wanted[0].name = "time";
    wanted[0].start = {0};
    wanted[0].count = {12};
    wanted[1].name = "lon";
    wanted[1].start = {0, 0, 0};
    wanted[1].count = {1, 20, 30};
    EXPECT_EQ(DapDataRequest("http://h/a.nc", wanted),
              "http://h/a.nc.dods?time%5B0:1:11%5D,lon%5B0:1:0%5D%5B0:1:19%5D%5B0:1:29%5D");
}

TEST(DapBatch, ArraysGridsStructuresAndScalars) {
    const std::string dds = "Dataset {\n"
                            "    Float64 time[time = 2];\n"
                            "    Grid {\n"
                            "     ARRAY:\n"
                            "        Float32 lon[y = 2][x = 3];\n"
                            "     MAPS:\n"
                            "        Int32 y[y = 2];\n"
                            "        Int32 x[x = 3];\n"
                            "    } lon;\n"
                            "    Structure {\n"
                            "        Int16 depth[5];\n"
                            "        String label[2];\n"
                            "    } grid%2Dinfo;\n"
                            "    Byte flags[flags = 5];\n"
                            "    UInt16 code[3];\n"
                            "    float64 scalar;\n"
                            "} a.nc;";
    Xdr x;
    x.length(2).f64(0.5).f64(1.5);
    x.length(6);
    for (int i = 0; i < 6; ++i)
        x.f32(300.0f + static_cast<float>(i));
    x.length(2).word(0).word(1);
    x.length(3).word(0).word(1).word(2);
    // Int16 travels as a word: -3 as 0xfffffffd.
    x.length(5).word(0xfffffffdu).word(0).word(10).word(32767).word(0xffff8000u);
    // Strings: their count once, then each with its length, padded to a word.
    x.word(2).word(2).bytes += std::string("ab\0\0", 4);
    x.word(5).bytes += std::string("cdefg\0\0\0", 8);
    // Bytes are packed and padded to a word.
    x.length(5).bytes += std::string("\x01\xfe\x03\x04\x05\0\0\0", 8);
    x.length(3).word(1).word(65535).word(7);
    x.f64(-2.25);

    std::map<std::string, DapSlab> out;
    std::string why;
    ASSERT_TRUE(DecodeDataDds(response(dds, x), out, why)) << why;

    const auto& time = out.at("time");
    EXPECT_EQ(time.type, NC_DOUBLE);
    EXPECT_EQ(time.count, (std::vector<std::size_t>{2}));
    EXPECT_EQ(std::get<std::vector<double>>(time.values), (std::vector<double>{0.5, 1.5}));

    const auto& lon = out.at("lon");
    EXPECT_EQ(lon.type, NC_FLOAT);
    EXPECT_EQ(lon.count, (std::vector<std::size_t>{2, 3}));
    EXPECT_EQ(std::get<std::vector<float>>(lon.values)[5], 305.0f);
    EXPECT_EQ(out.count("y"), 0u) << "a grid's maps are variables of their own";

    const auto& depth = out.at("grid-info.depth");
    EXPECT_EQ(depth.type, NC_SHORT);
    EXPECT_EQ(std::get<std::vector<short>>(depth.values),
              (std::vector<short>{-3, 0, 10, 32767, -32768}));

    const auto& flags = out.at("flags");
    EXPECT_EQ(flags.type, NC_UBYTE);
    EXPECT_EQ(std::get<std::vector<unsigned char>>(flags.values),
              (std::vector<unsigned char>{1, 254, 3, 4, 5}));

    EXPECT_EQ(std::get<std::vector<unsigned short>>(out.at("code").values),
              (std::vector<unsigned short>{1, 65535, 7}));
    const auto& scalar = out.at("scalar");
    EXPECT_TRUE(scalar.count.empty());
    EXPECT_EQ(std::get<std::vector<double>>(scalar.values), (std::vector<double>{-2.25}));
}

TEST(DapBatch, ResponsesThatServeNothing) {
    const std::string dds = "Dataset {\n    Float32 lon[lon = 3];\n} a.nc;";
    Xdr whole;
    whole.length(3).f32(1).f32(2).f32(3);
    Xdr shortened = whole;
    shortened.bytes.resize(shortened.bytes.size() - 2);
    Xdr otherLength;
    otherLength.length(4).f32(1).f32(2).f32(3).f32(4);
    Xdr rows;
    rows.word(0x5a000000u).f32(1).word(0xa5000000u);
    // A declared size far beyond the bytes that follow is refused before anything is sized
    // from it.
    const std::string huge = "Dataset {\n    Float64 lon[lon = 4000000000];\n} a.nc;";
    Xdr hugeLength;
    hugeLength.length(4000000000u).f64(1);
    // Sizes that no size type holds, or whose product overflows, are no sizes: refused
    // without a throw.
    const std::string digits20 = "Dataset {\n    Float32 lon[lon = 99999999999999999999];\n} a.nc;";
    const std::string overflow =
        "Dataset {\n    Float32 v[a = 4294967296][b = 4294967296][c = 16];\n} a.nc;";
    const std::string cases[] = {
        response(huge, hugeLength),
        response(digits20, whole),
        response(overflow, whole),
        response(dds, shortened),
        response(dds, otherLength),
        response("Dataset {\n    Sequence {\n        Float32 t;\n    } s;\n} a.nc;", rows),
        "Error {\n    code = 1001;\n    message = \"no such variable\";\n};\n",
        "<html><body>Please log in</body></html>",
        response("Dataset {\n    Float32 lon[lon = 3]\n} a.nc;", whole),
    };
    for (const std::string& body : cases) {
        std::map<std::string, DapSlab> out;
        std::string why;
        EXPECT_FALSE(DecodeDataDds(body, out, why)) << body.substr(0, 40);
        EXPECT_FALSE(why.empty());
    }
    std::map<std::string, DapSlab> out;
    std::string why;
    EXPECT_TRUE(DecodeDataDds(response(dds, whole), out, why)) << why;

    // An answer that declares more than the request can hold is refused, however its data
    // agrees with its DDS.
    const std::vector<DapWanted> three{{0, "lon", {0}, {3}}};
    EXPECT_EQ(DapValuesAsked(three), 6u); // three values and a map of their one dimension
    EXPECT_TRUE(DecodeDataDds(response(dds, whole), out, why, DapValuesAsked(three))) << why;
    const std::vector<DapWanted> one{{0, "lon", {0}, {1}}};
    EXPECT_FALSE(DecodeDataDds(response(dds, whole), out, why, DapValuesAsked(one)));
    EXPECT_NE(why.find("more values than were asked for"), std::string::npos) << why;
    EXPECT_FALSE(DecodeDataDds(response(digits20, whole), out, why));
    EXPECT_NE(why.find("a dimension of lon that is no size"), std::string::npos) << why;
}

DapSlab slab(std::vector<std::size_t> start, std::vector<std::size_t> count,
             std::vector<double> values) {
    DapSlab s;
    s.type = NC_DOUBLE;
    s.start = std::move(start);
    s.count = std::move(count);
    s.values = std::move(values);
    return s;
}

TEST(DapBatch, ReadsTakeHeldValuesOnlyWhereTheyServeExactly) {
    // Without a dataset (id -1), a read that goes to netCDF-C fails: that is how these cases
    // see it go there.
    const int noDataset = -1;
    DapSlabs held;
    // Variable 0 holds its second step of a 3 x 2 x 3 variable.
    held[0] = slab({1, 0, 0}, {1, 2, 3}, {1, 2, 3, 4, 5, 6});
    held[1] = slab({0}, {3}, {1.5, 1e300, -4.0});

    const std::size_t start[3] = {1, 1, 1}, count[3] = {1, 1, 2};
    float f[2] = {};
    EXPECT_EQ(GetVara(held, noDataset, 0, start, count, f), NC_NOERR);
    EXPECT_EQ(f[0], 5.0f);
    EXPECT_EQ(f[1], 6.0f);
    double d[6] = {};
    const std::size_t all[3] = {1, 0, 0}, whole[3] = {1, 2, 3};
    EXPECT_EQ(GetVara(held, noDataset, 0, all, whole, d), NC_NOERR);
    EXPECT_EQ(d[3], 4.0);

    // Outside what is held, another variable, or a value that does not convert exactly.
    const std::size_t firstStep[3] = {0, 0, 0};
    EXPECT_NE(GetVara(held, noDataset, 0, firstStep, count, f), NC_NOERR);
    const std::size_t tooMany[3] = {1, 1, 3};
    EXPECT_NE(GetVara(held, noDataset, 0, start, tooMany, f), NC_NOERR);
    EXPECT_NE(GetVara(held, noDataset, 2, start, count, f), NC_NOERR);
    int i[2] = {};
    EXPECT_NE(GetVara(held, noDataset, 0, start, count, i), NC_NOERR) << "doubles to int";
    const std::size_t s1[1] = {0}, c1[1] = {2}, c3[1] = {3}, one[1] = {1};
    EXPECT_NE(GetVara(held, noDataset, 1, s1, c1, f), NC_NOERR) << "beyond a float's range";
    EXPECT_EQ(GetVara(held, noDataset, 1, s1, one, f), NC_NOERR);
    EXPECT_EQ(f[0], 1.5f);
    double all1[3] = {};
    EXPECT_EQ(GetVara(held, noDataset, 1, s1, c3, all1), NC_NOERR);
    EXPECT_EQ(all1[1], 1e300);

    // Integers go to wider types as they are, to narrower ones only within their range.
    DapSlabs ints;
    ints[0].type = NC_INT;
    ints[0].start = {0};
    ints[0].count = {3};
    ints[0].values = std::vector<int>{-7, 40000, 3};
    short sh[3] = {};
    int in[3] = {};
    const std::size_t s0[1] = {0}, c2[1] = {1};
    EXPECT_EQ(GetVara(ints, noDataset, 0, s1, c3, in), NC_NOERR);
    EXPECT_EQ(in[1], 40000);
    EXPECT_EQ(GetVara(ints, noDataset, 0, s0, c2, sh), NC_NOERR);
    EXPECT_EQ(sh[0], -7);
    EXPECT_NE(GetVara(ints, noDataset, 0, s1, c3, sh), NC_NOERR);
    float f3[3] = {};
    EXPECT_EQ(GetVara(ints, noDataset, 0, s1, c3, f3), NC_NOERR);
    EXPECT_EQ(f3[1], 40000.0f);
}

} // namespace

TEST(DapBatch, AnswerWithFewerValuesThanTheHeaderDeclaresFallsShort) {
    DapWanted w;
    w.count = {1000000, 4};
    struct Case {
        std::vector<std::size_t> got;
        bool shortOf;
    };
    const Case cases[] = {
        {{1000000, 4}, false}, // all of it
        {{10, 4}, true},       // the declared length is not in the data
        {{1000000, 3}, true},
        {{4000000}, false},    // the same values in another shape: left to netCDF-C
        {{}, true},            // one value
        {{2000000, 4}, false}, // more than asked for is not held, nor a reason to refuse
    };
    for (const Case& c : cases) {
        DapSlab slab;
        slab.count = c.got;
        EXPECT_EQ(DapSlabFallsShort(w, slab), c.shortOf) << c.got.size();
    }
}
