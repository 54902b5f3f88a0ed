// The classic header walk: hand-made headers with one fault each, files that netCDF-C writes
// in each classic version, files cut short before and after they are opened.
#include "common/ClassicHeader.h"
#include "common/NetCDF.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A small classic file written byte by byte: dimensions t (record) and x, a global text
// attribute, a fixed short variable a(x) with a text attribute, and a record float r(t, x).
// Each field can be set to a fault.
struct Shape {
    int version = 1;
    uint64_t numrecs = 2;
    uint32_t dimTag = 0x0A;
    uint64_t dimCount = 2;
    std::string xName = "x";
    uint64_t xLen = 3;
    uint32_t attType = NC_CHAR;
    uint64_t attCount = 2;
    std::string attName = "units";
    std::string aName = "a";
    uint64_t aRank = 1;
    uint64_t aDim = 1;
    uint32_t aType = NC_SHORT;
    std::vector<uint64_t> rDims = {0, 1};
    int64_t aBegin = -1; // -1: just past the header
};

class Writer {
public:
    explicit Writer(int version) : v_(version) {}
    void u32(uint64_t x) {
        for (int s = 24; s >= 0; s -= 8)
            b.push_back(static_cast<unsigned char>(x >> s));
    }
    void u64(uint64_t x) {
        for (int s = 56; s >= 0; s -= 8)
            b.push_back(static_cast<unsigned char>(x >> s));
    }
    void size(uint64_t x) { v_ == 5 ? u64(x) : u32(x); }
    void offset(uint64_t x) { v_ == 1 ? u32(x) : u64(x); }
    void text(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        while (b.size() % 4 != 0)
            b.push_back(0);
    }
    void name(const std::string& s) {
        size(s.size());
        text(s);
    }
    Bytes b;

private:
    int v_;
};

Bytes build(const Shape& s) {
    auto header = [&s](uint64_t aBegin, uint64_t rBegin) {
        Writer w(s.version);
        w.text(std::string("CDF") + static_cast<char>(s.version));
        w.size(s.numrecs);
        w.u32(s.dimTag);
        w.size(s.dimCount);
        w.name("t");
        w.size(0);
        w.name(s.xName);
        w.size(s.xLen);
        w.u32(0x0C); // global attributes
        w.size(1);
        w.name("title");
        w.u32(NC_CHAR);
        w.size(2);
        w.text("ab");
        w.u32(0x0B);
        w.size(2);
        w.name(s.aName);
        w.size(s.aRank);
        for (uint64_t i = 0; i < std::min<uint64_t>(s.aRank, 2000); ++i)
            w.size(s.aDim);
        w.u32(0x0C);
        w.size(1);
        w.name(s.attName);
        w.u32(s.attType);
        w.size(s.attCount);
        w.text("ab");
        w.u32(s.aType);
        w.size(8);
        w.offset(aBegin);
        w.name("r");
        w.size(s.rDims.size());
        for (uint64_t d : s.rDims)
            w.size(d);
        w.u32(0);
        w.size(0);
        w.u32(NC_FLOAT);
        w.size(12);
        w.offset(rBegin);
        return w.b;
    };
    const uint64_t h = header(0, 0).size();
    const uint64_t aBegin = s.aBegin >= 0 ? static_cast<uint64_t>(s.aBegin) : h;
    Bytes b = header(aBegin, h + 8);
    // a = 1, 2, 3 (padded to 8 bytes); r = 0.5 .. 3.0 in two records of three floats.
    Writer data(s.version);
    for (uint32_t v : {0x00010002u, 0x00030000u})
        data.u32(v);
    for (float f : {0.5f, 1.0f, 1.5f, 2.0f, 2.5f, 3.0f}) {
        uint32_t bits = 0;
        std::memcpy(&bits, &f, 4);
        data.u32(bits);
    }
    b.insert(b.end(), data.b.begin(), data.b.end());
    return b;
}

void writeFile(const std::string& path, const Bytes& b) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

ClassicHeaderStatus walk(const Bytes& b, std::string& why, ClassicLayout* layout = nullptr) {
    return CheckClassicHeader(b.data(), b.size(), b.size(), why, layout);
}

const int kVersions[] = {1, 2, 5};

TEST(ClassicHeader, HandMadeFileIsReadTheSameByTheWalkAndByNetcdf) {
    TempDir dir;
    for (int version : kVersions) {
        SCOPED_TRACE(version);
        Shape s;
        s.version = version;
        const Bytes b = build(s);
        std::string why;
        ClassicLayout layout;
        ASSERT_EQ(walk(b, why, &layout), ClassicHeaderStatus::Valid) << why;
        EXPECT_EQ(layout.version, version);
        EXPECT_EQ(layout.numrecs, 2u);
        EXPECT_EQ(layout.recordBytes, 12u);
        EXPECT_EQ(layout.neededBytes, b.size());
        ASSERT_EQ(layout.vars.size(), 2u);
        EXPECT_TRUE(layout.vars[1].record);
        EXPECT_EQ(layout.vars[1].begin, layout.headerBytes + 8);

        // netCDF-C finds the values where the walk says they are.
        const std::string path = dir.file("hand" + std::to_string(version) + ".nc");
        writeFile(path, b);
        int id = -1;
        ASSERT_EQ(NcOpenChecked(path, NC_NOWRITE, &id, &layout), NC_NOERR);
        short a[3] = {};
        float r[6] = {};
        EXPECT_EQ(nc_get_var_short(id, 0, a), NC_NOERR);
        EXPECT_EQ(nc_get_var_float(id, 1, r), NC_NOERR);
        nc_close(id);
        EXPECT_EQ(std::vector<short>(a, a + 3), (std::vector<short>{1, 2, 3}));
        EXPECT_EQ(r[5], 3.0f);
        const std::size_t start[2] = {1, 2}, count[2] = {1, 1};
        EXPECT_EQ(ClassicReadEnd(layout, 1, start, count, nullptr), b.size());
    }
}

TEST(ClassicHeader, RefusesEachFaultWithItsReason) {
    const std::string longName(NC_MAX_NAME + 1, 'n');
    struct Case {
        const char* label;
        std::function<void(Shape&)> fault;
        std::string why;
    };
    const std::vector<Case> cases = {
        {"long dimension name", [&](Shape& s) { s.xName = longName; },
         "dimension name is 257 bytes long"},
        {"long attribute name", [&](Shape& s) { s.attName = longName; },
         "attribute name is 257 bytes long"},
        {"long variable name", [&](Shape& s) { s.aName = longName; },
         "variable name is 257 bytes long"},
        {"huge dimension count", [](Shape& s) { s.dimCount = 0x7FFFFFFF; },
         "2147483647 dimensions declared"},
        {"huge attribute length", [](Shape& s) { s.attCount = 0x7FFFFFFF; },
         "declares 2147483647 values"},
        {"huge rank", [](Shape& s) { s.aRank = 0x7FFFFFFF; },
         "2147483647 dimensions of a variable"},
        {"rank beyond the library's", [](Shape& s) { s.aRank = NC_MAX_VAR_DIMS + 1; },
         "1025 dimensions (at most 1024)"},
        {"huge dimension", [](Shape& s) { s.xLen = 0x7FFFFFFF; }, "the file is truncated:"},
        {"records beyond the file", [](Shape& s) { s.numrecs = 1000; }, "the file is truncated:"},
        {"negative record count",
         [](Shape& s) { s.numrecs = s.version == 5 ? uint64_t{1} << 63 : 0x80000000; },
         "negative record count"},
        {"unknown dimension id", [](Shape& s) { s.aDim = 7; }, "names dimension id 7 of 2"},
        {"record dimension not first",
         [](Shape& s) {
             s.rDims = {1, 0};
         },
         "record dimension after its first"},
        {"second record dimension", [](Shape& s) { s.xLen = 0; }, "second record dimension, x"},
        {"unknown variable type", [](Shape& s) { s.aType = 12; }, "variable a has type 12"},
        {"unknown attribute type", [](Shape& s) { s.attType = 0; }, "attribute a:units has type 0"},
        {"wrong list tag", [](Shape& s) { s.dimTag = 0x0B; }, "the list of dimensions has tag 11"},
        {"values inside the header", [](Shape& s) { s.aBegin = 8; },
         "values of variable a begin inside the header"},
    };
    for (int version : kVersions)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.label) + ", version " + std::to_string(version));
            Shape s;
            s.version = version;
            c.fault(s);
            std::string why;
            EXPECT_EQ(walk(build(s), why), ClassicHeaderStatus::Invalid);
            EXPECT_NE(why.find(c.why), std::string::npos) << why;
        }

    // The unsigned and 64-bit types belong to the 64-bit data version only.
    Shape s;
    s.aType = NC_UINT64;
    std::string why;
    EXPECT_EQ(walk(build(s), why), ClassicHeaderStatus::Invalid);
    s.version = 5;
    EXPECT_EQ(walk(build(s), why), ClassicHeaderStatus::Valid) << why;
}

TEST(ClassicHeader, EveryShortenedFileIsRefusedWithItsSizes) {
    for (int version : kVersions) {
        const Bytes whole = build(Shape{.version = version});
        std::string wholeWhy;
        ClassicLayout layout;
        ASSERT_EQ(walk(whole, wholeWhy, &layout), ClassicHeaderStatus::Valid);
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            std::string why;
            const ClassicHeaderStatus got = walk(part, why);
            if (n < 4) {
                EXPECT_EQ(got, ClassicHeaderStatus::NotClassic);
                continue;
            }
            // Cut in the header, a count or the header itself runs past the end; cut in the
            // values, the sizes are given.
            ASSERT_EQ(got, ClassicHeaderStatus::Invalid) << version << " " << n;
            if (n >= layout.headerBytes) {
                EXPECT_EQ(why, "the file is truncated: " + std::to_string(n) + " of " +
                                   std::to_string(whole.size()) + " bytes");
            }
        }
    }

    // Thirteen bytes that start a dimension list.
    const Bytes thirteen = {'C', 'D', 'F', 1, 0, 0, 0, 0, 0, 0, 0, 0x0A, 0x7F};
    std::string why;
    EXPECT_EQ(walk(thirteen, why), ClassicHeaderStatus::Invalid);
}

TEST(ClassicHeader, FileRefusedAtOpenNamesTheFile) {
    TempDir dir;
    const std::string path = dir.file("long.nc");
    Shape s;
    s.aName = std::string(300, 'v');
    writeFile(path, build(s));
    int id = -1;
    EXPECT_EQ(NcOpenChecked(path, NC_NOWRITE, &id), kNcFileRefused);
    EXPECT_EQ(NcErrorText(kNcFileRefused),
              path + ": malformed netCDF header: a variable name is 300 bytes long (at most 256)");

    std::string message;
    EXPECT_TRUE(CheckClassicFile(dir.file("missing.nc"), message)) << "left to the library";
    writeFile(path, {'C', 'D'});
    EXPECT_TRUE(CheckClassicFile(path, message));
}

// Files as netCDF-C writes them: every attribute type, records, an open record dimension, and
// names of the longest length.
TEST(ClassicHeader, FilesOfEachVersionPassWithTheirLayout) {
    TempDir dir;
    const std::string longest(NC_MAX_NAME, 'q');
    for (NcFormat format : {NcFormat::Classic, NcFormat::Offset64, NcFormat::Cdf5}) {
        SCOPED_TRACE(static_cast<int>(format));
        std::string name = "f";
        name.append(std::to_string(static_cast<int>(format))).append(".nc");
        const std::string path = dir.file(name);
        NcBuilder nc(path, format);
        nc.unlimitedDim("time", 3);
        nc.dim("x", 5);
        nc.dim(longest, 2);
        nc.var("time", NC_DOUBLE, {"time"}).values({0.0, 1.0, 2.0});
        nc.var("b", NC_BYTE, {"time", "x"}).values(std::vector<int>(15, 1));
        nc.var("s", NC_SHORT, {"time", "x"}).values(std::vector<int>(15, 2)).att(longest, 1);
        nc.var("fixed", NC_CHAR, {"x"}).text("abcde");
        nc.var("d", NC_DOUBLE, {longest, "x"}).values(std::vector<double>(10, 4.0));
        auto& v = nc.var("atts", NC_INT);
        v.values({9});
        v.att("b", NC_BYTE, {1, 2, 3}).att("c", "text").att("s", NC_SHORT, {1, 2, 3});
        v.att("i", NC_INT, 4).att("f", 1.5f).att("d", 2.5);
        if (format == NcFormat::Cdf5) {
            v.att("ub", NC_UBYTE, {1, 2, 3}).att("us", NC_USHORT, 7).att("ui", NC_UINT, 8);
            v.att("i8", NC_INT64, 9).att("u8", NC_UINT64, 10);
        }
        nc.write();

        std::string message;
        ClassicLayout layout;
        ASSERT_TRUE(CheckClassicFile(path, message, &layout)) << message;
        EXPECT_EQ(layout.version, format == NcFormat::Classic    ? 1
                                  : format == NcFormat::Offset64 ? 2
                                                                 : 5);
        EXPECT_EQ(layout.numrecs, 3u);
        EXPECT_EQ(layout.recordBytes, 8u + 8 + 12); // time, b padded, s padded
        EXPECT_LE(layout.neededBytes, std::filesystem::file_size(path));
        for (int var = 0; var < 6; ++var)
            EXPECT_EQ(CheckClassicRead(&layout, path, var), NC_NOERR);

        // Only the header is read: a file cut anywhere in its values is refused at open.
        std::filesystem::resize_file(path, layout.neededBytes - 1);
        EXPECT_FALSE(CheckClassicFile(path, message, &layout));
        EXPECT_EQ(layout.version, 0);
    }

    // A record dimension without records, and one record variable of 2-byte values, whose
    // records are not padded.
    const std::string path = dir.file("open.nc");
    NcBuilder open(path);
    open.dim("time", NC_UNLIMITED);
    open.dim("x", 3);
    open.var("s", NC_SHORT, {"time", "x"});
    open.write();
    std::string message;
    ClassicLayout layout;
    ASSERT_TRUE(CheckClassicFile(path, message, &layout)) << message;
    EXPECT_EQ(layout.numrecs, 0u);
    EXPECT_EQ(layout.recordBytes, 6u);

    NcBuilder one(path);
    one.unlimitedDim("time", 3);
    one.dim("x", 3);
    one.var("s", NC_SHORT, {"time", "x"}).values(std::vector<int>(9, 5));
    one.write();
    ASSERT_TRUE(CheckClassicFile(path, message, &layout)) << message;
    EXPECT_EQ(layout.neededBytes, layout.vars[0].begin + 18);
    EXPECT_EQ(layout.neededBytes, std::filesystem::file_size(path));

    // netCDF-4 is left to the library.
    NcBuilder hdf(dir.file("h.nc"), NcFormat::Netcdf4);
    hdf.dim("x", 2);
    hdf.var("v", NC_INT, {"x"}).values({1, 2});
    ASSERT_TRUE(CheckClassicFile(hdf.write(), message, &layout));
    EXPECT_EQ(layout.version, 0);
}

TEST(ClassicHeader, LongHeaderIsReadInPieces) {
    TempDir dir;
    const std::string path = dir.file("long-header.nc");
    NcBuilder nc(path);
    nc.dim("x", 2);
    nc.globalAtt("history", std::string(200000, 'h'));
    nc.var("v", NC_INT, {"x"}).values({1, 2});
    nc.write();

    std::ifstream in(path, std::ios::binary);
    const Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string why;
    uint64_t needMore = 0;
    EXPECT_EQ(CheckClassicHeader(b.data(), 70000, b.size(), why, nullptr, &needMore),
              ClassicHeaderStatus::NeedMore);
    EXPECT_GT(needMore, 70000u);

    ClassicLayout layout;
    ASSERT_TRUE(CheckClassicFile(path, why, &layout)) << why;
    EXPECT_GT(layout.headerBytes, 200000u);
    EXPECT_EQ(layout.vars.size(), 1u);
}

TEST(ClassicHeader, ReadsOfAFileCutAfterItsHeaderWasWalked) {
    TempDir dir;
    const std::string path = dir.file("cut.nc");
    const Bytes b = build(Shape{});
    writeFile(path, b);
    std::string message;
    ClassicLayout layout;
    ASSERT_TRUE(CheckClassicFile(path, message, &layout));

    std::filesystem::resize_file(path, b.size() - 4); // the last float of record 2
    const std::size_t first[2] = {0, 0}, three[2] = {1, 3}, last[2] = {1, 2}, one[2] = {1, 1};
    const std::ptrdiff_t every2[2] = {1, 2};
    EXPECT_EQ(CheckClassicRead(&layout, path, 1, first, three, nullptr), NC_NOERR);
    EXPECT_EQ(CheckClassicRead(&layout, path, 0, first, three, nullptr), NC_NOERR);
    EXPECT_EQ(CheckClassicRead(&layout, path, 1, last, one, nullptr), kNcFileRefused);
    EXPECT_EQ(NcErrorText(kNcFileRefused),
              path + ": the file is truncated: " + std::to_string(b.size() - 4) + " of " +
                  std::to_string(b.size()) + " bytes");
    // Two records, x 0 and 2: the last value taken is the last of the file.
    const std::size_t two[2] = {2, 2};
    EXPECT_EQ(CheckClassicRead(&layout, path, 1, first, two, every2), kNcFileRefused);
    const std::size_t twoFirst[2] = {2, 1};
    EXPECT_EQ(CheckClassicRead(&layout, path, 1, first, twoFirst, every2), NC_NOERR);
    EXPECT_EQ(CheckClassicRead(&layout, path, 1), kNcFileRefused);
    // Past the records or a dimension: the library's own refusal.
    const std::size_t third[2] = {2, 0}, past[2] = {0, 3};
    EXPECT_EQ(CheckClassicRead(&layout, path, 1, third, one, nullptr), NC_NOERR);
    EXPECT_EQ(CheckClassicRead(&layout, path, 1, past, one, nullptr), NC_NOERR);
    EXPECT_EQ(CheckClassicRead(nullptr, path, 1), NC_NOERR);
}

} // namespace
