// The header reader: records, limits, names, value texts, special attributes and failures.
#include "kelvadlib/Kelvad.h"
#include "tests/support/LongNames.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/stat.h>

namespace {

// A Kelvad that finds no alias file, in a folder of its own.
class HeaderTest : public ::testing::Test {
protected:
    HeaderTest() : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path());
    }
    ~HeaderTest() override { std::filesystem::current_path(old_); }

    TempDir dir;
    std::filesystem::path old_;
    Kelvad k;

    // Reads path into slot 1, with slot 1 counted as Initialize counts it.
    Long read(const std::string& path, Long slot = 1) {
        k.nNcMax = slot;
        return k.GetNCHeader(path, slot);
    }
    const VariRec& var(const std::string& name, Long slot = 1) {
        NcfRec& r = k.ncf(slot);
        for (Long v = 1; v <= r.nVars; ++v)
            if (r.vari(v).name == name) return r.vari(v);
        throw std::runtime_error("no variable " + name);
    }
};

std::string sstFile(const TempDir& dir) {
    NcBuilder nc(dir.file("sst.nc"));
    nc.unlimitedDim("time", 2);
    nc.dim("lat", 3);
    nc.dim("lon", 4);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "hours since 1990-01-01");
    nc.var("lat", NC_FLOAT, {"lat"});
    nc.var("lon", NC_FLOAT, {"lon"});
    nc.var("sst", NC_SHORT, {"time", "lat", "lon"})
        .att("scale_factor", 0.01f)
        .att("add_offset", 20.0f)
        .att("units", "degC")
        .att("long_name", "sea surface temperature")
        .att("valid_range", NC_SHORT, {0, 100})
        .att("_FillValue", NC_SHORT, -999)
        .att("missing_value", NC_SHORT, -1);
    nc.var("Time", NC_DOUBLE, {"time"});
    nc.globalAtt("title", "Test data");
    nc.globalAtt("version", NC_INT, std::vector<int>{3, -4});
    return nc.write();
}

} // namespace

TEST_F(HeaderTest, FillsTheRecordFromTheHeader) {
    const std::string path = sstFile(dir);
    ASSERT_EQ(read(path), 1) << k.ErrorMessage;
    const NcfRec& r = k.ncf(1);
    EXPECT_EQ(r.FName, path);
    EXPECT_EQ(r.nDimes, 3);
    EXPECT_EQ(r.nVars, 5);
    EXPECT_EQ(r.UnLimDId, 0);
    EXPECT_GE(r.ncid, 0);
    EXPECT_EQ(r.dime(1).name, "time");
    EXPECT_EQ(r.dime(1).size, 2);
    EXPECT_EQ(r.dime(1).unLimited, 1);
    EXPECT_EQ(r.dime(3).name, "lon");
    EXPECT_EQ(r.dime(3).unLimited, 0);
    EXPECT_EQ(r.dime(3).type, 0);

    EXPECT_EQ(var("time").kind, 1);
    EXPECT_EQ(var("lat").kind, 1);
    EXPECT_EQ(var("Time").kind, 0); // the comparison with the dimension name counts case
    const VariRec& sst = var("sst");
    EXPECT_EQ(sst.kind, 0);
    EXPECT_EQ(sst.type, NC_SHORT);
    EXPECT_EQ(sst.narray, 3);
    EXPECT_EQ(sst.arrayDimId(1), 0);
    EXPECT_EQ(sst.arrayDimId(3), 2);
    EXPECT_EQ(sst.arrayDimName(2), "lat");
    EXPECT_EQ(sst.arrayDimId(4), 0);
    EXPECT_EQ(sst.arrayDimName(5), "");
    EXPECT_EQ(sst.nattri, 7);
    EXPECT_EQ(sst.attName(1), "scale_factor");
    EXPECT_EQ(sst.attType(1), NC_FLOAT);
    EXPECT_EQ(sst.attValue(1), " .01");
    EXPECT_EQ(sst.attValue(2), " 20");
    EXPECT_EQ(sst.attValue(5), " 0   100");
    EXPECT_EQ(sst.scale, 0.01); // read back from the text: the Double nearest 0.01
    EXPECT_EQ(sst.offset, 20.0);
    EXPECT_EQ(sst.MisnVal, -1.0);
    EXPECT_EQ(sst.FillVal, -999.0);
    EXPECT_EQ(sst.unit, "degC");
    EXPECT_EQ(sst.longName, "sea surface temperature");
    EXPECT_EQ(sst.byteUnit, 2);
    EXPECT_EQ(sst.byteSize, 2.0 * 2 * 3 * 4);

    EXPECT_EQ(r.nGatts, 2);
    EXPECT_EQ(r.gAttName(0), "");
    EXPECT_EQ(r.gAttName(1), "title");
    EXPECT_EQ(r.gAttValue(1), "Test data");
    EXPECT_EQ(r.gAttType(1), NC_CHAR);
    EXPECT_EQ(r.gAttValue(2), "3  -4");
    EXPECT_EQ(r.gAttType(2), NC_INT);
    EXPECT_EQ(k.ErrorMessage, "");
}

TEST_F(HeaderTest, MissingAndFillValuesByType) {
    NcBuilder nc(dir.file("fill.nc"));
    nc.dim("x", 2);
    nc.var("f_none", NC_FLOAT, {"x"});
    nc.var("f_miss", NC_FLOAT, {"x"}).att("missing_value", -999.0f);
    nc.var("f_fill", NC_FLOAT, {"x"}).att("_FillValue", -999.0f);
    nc.var("f_both", NC_FLOAT, {"x"}).att("missing_value", -1.0f).att("_FillValue", -999.0f);
    nc.var("f_fill0", NC_FLOAT, {"x"}).att("_FillValue", 0.0f).att("missing_value", 5.0f);
    // A NaN or infinite mark sets none; a mark is taken as the attribute holds it, not as its
    // text shows it.
    nc.var("f_nanfill", NC_FLOAT, {"x"}).att("_FillValue", std::numeric_limits<float>::quiet_NaN());
    nc.var("f_nanmiss", NC_FLOAT, {"x"})
        .att("missing_value", std::numeric_limits<float>::quiet_NaN())
        .att("_FillValue", -999.0f);
    nc.var("d_inf", NC_DOUBLE, {"x"}).att("missing_value", std::numeric_limits<double>::infinity());
    nc.var("f_exact", NC_FLOAT, {"x"}).att("_FillValue", std::nextafter(1.0f, 2.0f));
    nc.var("f_text", NC_FLOAT, {"x"}).att("missing_value", "-99.5");
    nc.var("b", NC_BYTE, {"x"});
    nc.var("c", NC_CHAR, {"x"});
    nc.var("s", NC_SHORT, {"x"});
    nc.var("i", NC_INT, {"x"});
    nc.var("d", NC_DOUBLE, {"x"});
    ASSERT_EQ(read(nc.write()), 1) << k.ErrorMessage;

    const double floatFill = std::bit_cast<double>(std::uint64_t{0x479E000000000000});
    const double doubleFill = std::bit_cast<double>(std::uint64_t{0x479E000000000001});
    EXPECT_EQ(floatFill, 9.969209968386869e36);
    struct Case {
        const char* name;
        double misn;
        double fill;
    };
    const Case cases[] = {
        {"f_none", 0, floatFill},
        {"f_miss", -999, floatFill},
        {"f_fill", -999, -999},
        {"f_both", -1, -999},
        {"f_fill0", 5, floatFill},
        {"f_nanfill", 0, floatFill},
        {"f_nanmiss", -999, -999},
        {"d_inf", 0, doubleFill},
        {"f_exact", double{std::nextafter(1.0f, 2.0f)}, double{std::nextafter(1.0f, 2.0f)}},
        {"f_text", -99.5, floatFill},
        {"b", 0, -127},
        {"c", 0, 0},
        {"s", 0, -32767},
        {"i", 0, -2147483647},
        {"d", 0, doubleFill},
    };
    for (const auto& c : cases) {
        const VariRec& v = var(c.name);
        EXPECT_EQ(v.MisnVal, c.misn) << c.name;
        EXPECT_EQ(v.FillVal, c.fill) << c.name;
        EXPECT_EQ(v.scale, 1.0) << c.name;
        EXPECT_EQ(v.offset, 0.0) << c.name;
    }
    EXPECT_EQ(var("b").byteUnit, 1);
    EXPECT_EQ(var("d").byteSize, 16.0);
}

// The netCDF-4 types without a fill attribute: netCDF's own fills, which their whole-number
// marks then match exactly.
TEST_F(HeaderTest, NetCdf4TypesWithoutFillTakeTheLibrarysFill) {
    NcBuilder nc(dir.file("fill4.nc"), NcFormat::Netcdf4);
    nc.dim("x", 2);
    const struct {
        const char* name;
        nc_type type;
        double fill;
    } cases[] = {
        {"ub", NC_UBYTE, 255},
        {"us", NC_USHORT, 65535},
        {"ui", NC_UINT, 4294967295.0},
        {"i8", NC_INT64, static_cast<double>(NC_FILL_INT64)},
        {"u8", NC_UINT64, static_cast<double>(NC_FILL_UINT64)},
        {"f", NC_FLOAT, static_cast<double>(NC_FILL_FLOAT)},
        // The double mark one unit in the last place above netCDF's.
        {"d", NC_DOUBLE, std::bit_cast<double>(std::uint64_t{0x479E000000000001})},
    };
    for (const auto& c : cases)
        nc.var(c.name, c.type, {"x"});
    ASSERT_EQ(read(nc.write()), 1) << k.ErrorMessage;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(NC_FILL_DOUBLE), std::uint64_t{0x479E000000000000});
    for (const auto& c : cases) {
        EXPECT_EQ(var(c.name).FillVal, c.fill) << c.name;
        EXPECT_EQ(var(c.name).MisnVal, 0.0) << c.name;
    }
}

TEST_F(HeaderTest, UnitFromUnitsAttributeOrLongName) {
    NcBuilder nc(dir.file("units.nc"));
    nc.dim("x", 1);
    nc.var("a", NC_FLOAT, {"x"}).att("long_name", "Sea temperature [degC]");
    nc.var("b", NC_FLOAT, {"x"}).att("long_name", "Sea temperature [degC");
    nc.var("c", NC_FLOAT, {"x"}).att("long_name", "sea surface temperature");
    nc.var("d", NC_FLOAT, {"x"}).att("my_units_here", "m");
    nc.var("e", NC_FLOAT, {"x"}).att("long_name", "speed [knots]").att("Units", "m/s");
    nc.var("f", NC_FLOAT, {"x"}).att("long_name", "speed;wind,gust");
    nc.var("g", NC_FLOAT, {"x"}).att("units", "m s-1\n");
    ASSERT_EQ(read(nc.write()), 1) << k.ErrorMessage;
    EXPECT_EQ(var("a").unit, "degC");
    EXPECT_EQ(var("b").unit, "");
    EXPECT_EQ(var("c").unit, "temperature");
    EXPECT_EQ(var("d").unit, "m");
    EXPECT_EQ(var("e").unit, "m/s");
    EXPECT_EQ(var("f").unit, "wind,gust");
    EXPECT_EQ(var("g").unit, "m s-1"); // a variable's text attribute is cleaned
}

TEST_F(HeaderTest, ValueTextsOfNumbersAreStrFormsJoinedByTwoBlanks) {
    NcBuilder nc(dir.file("values.nc"));
    nc.dim("x", 1);
    nc.var("v", NC_FLOAT, {"x"})
        .att("d", {1.5, -2.25})
        .att("i", NC_INT, {1, -2})
        .att("b", NC_BYTE, {-5, 7})
        .att("f", 12345678.0f)
        .att("small", 0.00001)
        .att("empty", NC_DOUBLE, std::vector<double>{});
    nc.globalAtt("text", "  padded\n");
    nc.globalAtt("f", {0.5f, 2.0f});
    ASSERT_EQ(read(nc.write()), 1) << k.ErrorMessage;
    const VariRec& v = var("v");
    EXPECT_EQ(v.attValue(1), " 1.5  -2.25");
    EXPECT_EQ(v.attValue(2), " 1  -2");
    EXPECT_EQ(v.attValue(3), "-5   7");
    EXPECT_EQ(v.attValue(4), " 1.234568E+07");
    EXPECT_EQ(v.attValue(5), " 1E-05");
    EXPECT_EQ(v.attValue(6), "");
    EXPECT_EQ(v.attType(3), NC_BYTE);
    // A global text keeps its characters and loses only the blanks around it.
    EXPECT_EQ(k.ncf(1).gAttValue(1), "padded\n");
    EXPECT_EQ(k.ncf(1).gAttValue(2), ".5   2");
}

TEST_F(HeaderTest, FiveDimensionsPassAndASixthFails) {
    NcBuilder nc(dir.file("dims.nc"));
    for (const char* d : {"a", "b", "c", "d", "e", "f"})
        nc.dim(d, 1);
    nc.var("v5", NC_FLOAT, {"a", "b", "c", "d", "e"});
    nc.var("v6", NC_FLOAT, {"a", "b", "c", "d", "e", "f"});
    nc.var("after", NC_FLOAT, {"a"});
    const std::string path = nc.write();
    EXPECT_EQ(read(path), -1);
    EXPECT_EQ(k.ErrorMessage,
              "Array dimension exceeds the limit(=5) for\r\nVariable: v6\ndimension =  6");
    const NcfRec& r = k.ncf(1);
    EXPECT_EQ(r.vari(1).name, "v5");
    EXPECT_EQ(r.vari(1).narray, 5);
    EXPECT_EQ(r.vari(1).arrayDimId(5), 4);
    EXPECT_EQ(r.FName, ""); // written only at a successful end
    int ndims = 0;
    EXPECT_EQ(nc_inq_ndims(r.ncid, &ndims), NC_NOERR); // left open
}

TEST_F(HeaderTest, EveryAttributeIsKeptHoweverMany) {
    // Files converted from GRIB carry their packing and fill attributes after twenty others.
    for (int atts : {20, 21, 40}) {
        SCOPED_TRACE(atts);
        NcBuilder nc(dir.file("atts" + std::to_string(atts) + ".nc"));
        nc.dim("x", 1);
        auto& v = nc.var("v", NC_SHORT, {"x"});
        for (int i = 1; i <= atts - 4; ++i)
            v.att("GRIB_a" + std::to_string(i), float(i));
        v.att("scale_factor", 0.5).att("add_offset", 10.0);
        v.att("_FillValue", NC_SHORT, -999).att("missing_value", NC_SHORT, -1);
        nc.var("w", NC_FLOAT, {"x"}).att("units", "m");
        k.ErrorMessage = "";
        ASSERT_EQ(read(nc.write()), 1);
        const VariRec& r = var("v");
        EXPECT_EQ(r.nattri, atts);
        EXPECT_EQ(r.attName(atts), "missing_value");
        EXPECT_EQ(r.attValue(atts), "-1");
        EXPECT_THROW(r.attName(atts + 1), RuntimeError);
        EXPECT_EQ(r.scale, 0.5);
        EXPECT_EQ(r.offset, 10.0);
        EXPECT_EQ(r.FillVal, -999.0);
        EXPECT_EQ(r.MisnVal, -1.0);
        EXPECT_EQ(k.ErrorMessage, "");
        EXPECT_EQ(var("w").unit, "m");
    }
}

TEST_F(HeaderTest, LongNamesAreReportedAndKept) {
    const std::string n45(45, 'n');
    const std::string n46 = std::string(46, 'n');
    struct Case {
        bool dimension, variable, attribute, global;
        const char* message;
    };
    const Case cases[] = {
        {true, false, false, false, "nc& > 45 in reading dimension name"},
        {false, true, false, false, "nc& > 45 in reading variable name"},
        {false, false, true, false, "nc& > 45 in reading attribute name"},
        {false, false, false, true, "nc& > 45 in reading Global attributes name"},
    };
    int i = 0;
    for (const auto& c : cases) {
        for (const std::string& name : {n45, n46}) {
            NcBuilder nc(dir.file("long" + std::to_string(i++) + ".nc"));
            nc.dim(c.dimension ? name : "x", 1);
            nc.var(c.variable ? name : "v", NC_FLOAT, {c.dimension ? name : "x"})
                .att(c.attribute ? name : "units", "m");
            nc.globalAtt(c.global ? name : "title", "t");
            k.ErrorMessage = "";
            ASSERT_EQ(read(nc.write()), 1);
            const NcfRec& r = k.ncf(1);
            const std::string expected = name.size() > 45 ? c.message + name : "";
            EXPECT_EQ(k.ErrorMessage, expected);
            EXPECT_EQ(c.dimension ? r.dime(1).name : name, name);
            EXPECT_EQ(c.variable ? r.vari(1).name : name, name);
            EXPECT_EQ(c.attribute ? r.vari(1).attName(1) : name, name);
            EXPECT_EQ(c.global ? r.gAttName(1) : name, name);
        }
    }
}

TEST_F(HeaderTest, DimensionAndVariableNamesAreCleanedAttributeNamesNot) {
    NcBuilder nc(dir.file("names.nc"));
    nc.dim("grid.x", 2);
    nc.var("sea.temp", NC_FLOAT, {"grid.x"}).att("my.units", "K");
    nc.var("grid.x", NC_FLOAT, {"grid.x"});
    nc.globalAtt("history.note", "h");
    ASSERT_EQ(read(nc.write()), 1) << k.ErrorMessage;
    const NcfRec& r = k.ncf(1);
    EXPECT_EQ(r.dime(1).name, "grid_x");
    EXPECT_EQ(r.vari(1).name, "sea_temp");
    EXPECT_EQ(r.vari(1).arrayDimName(1), "grid_x");
    EXPECT_EQ(r.vari(1).attName(1), "my.units");
    EXPECT_EQ(r.vari(1).unit, "K");
    EXPECT_EQ(r.vari(2).kind, 1); // cleaned names still pair a coordinate variable
    EXPECT_EQ(r.gAttName(1), "history.note");
}

TEST_F(HeaderTest, NetCdf4StringAttributesAreTextsAndOtherTypesAreRecorded) {
    NcBuilder nc(dir.file("nc4.nc"), NcFormat::Netcdf4);
    nc.dim("x", 3);
    nc.var("speed", NC_FLOAT, {"x"})
        .stringAtt("units", "m s-1")
        .stringAtt("long_name", "current speed")
        .stringAtt("flags", std::vector<std::string>{"a", "b"});
    nc.var("count", NC_UINT, {"x"}).att("scale_factor", 2.0);
    nc.var("big", NC_INT64, {"x"});
    nc.globalStringAtt("title", "  nc4 title ");
    ASSERT_EQ(read(nc.write()), 1) << k.ErrorMessage;
    const VariRec& speed = var("speed");
    EXPECT_EQ(speed.unit, "m s-1");
    EXPECT_EQ(speed.longName, "current speed");
    EXPECT_EQ(speed.attType(1), NC_CHAR);
    EXPECT_EQ(speed.attValue(1), "m s-1");
    EXPECT_EQ(speed.attValue(3), ""); // several strings: not read
    EXPECT_EQ(speed.attType(3), NC_STRING);
    EXPECT_EQ(speed.nattri, 3);
    const VariRec& count = var("count");
    EXPECT_EQ(count.type, NC_UINT);
    EXPECT_EQ(count.byteUnit, 0);
    EXPECT_EQ(count.byteSize, 0.0);
    EXPECT_EQ(count.FillVal, 4294967295.0); // the type's default fill
    EXPECT_EQ(count.scale, 2.0);
    EXPECT_EQ(var("big").type, NC_INT64);
    EXPECT_EQ(k.ncf(1).gAttValue(1), "nc4 title");
    EXPECT_EQ(k.ncf(1).gAttType(1), NC_CHAR);
}

TEST_F(HeaderTest, FailuresAndTheirTexts) {
    // Empty name: nothing is touched.
    EXPECT_EQ(k.GetNCHeader("", 1), -1);
    EXPECT_EQ(k.ErrorMessage, "Given file name is Empty");
    EXPECT_FALSE(k.ncf.IsAllocated());

    // A path that does not exist, and a file that is no netCDF: the open fails, the record
    // array does not grow.
    const std::string missing = dir.file("missing.nc");
    EXPECT_EQ(read(missing), -1);
    EXPECT_TRUE(k.ErrorMessage.ends_with("\r\nUnable to open " + missing)) << k.ErrorMessage;
    EXPECT_GT(k.ErrorMessage.size(), ("\r\nUnable to open " + missing).size());
    EXPECT_FALSE(k.ncf.IsAllocated());
    const std::string text = dir.file("text.nc");
    std::ofstream(text) << "not a netCDF file\n";
    EXPECT_EQ(read(text), -1);
    EXPECT_TRUE(k.ErrorMessage.ends_with("\r\nUnable to open " + text));

    // No dimensions: the dataset stays open in the slot.
    NcBuilder nc(dir.file("nodims.nc"));
    nc.globalAtt("title", "empty");
    const std::string nodims = nc.write();
    EXPECT_EQ(read(nodims), -1);
    EXPECT_EQ(k.ErrorMessage, "ndim& = 0: Possibly not NC file\r\n" + nodims);
    int n = 0;
    EXPECT_EQ(nc_inq_ndims(k.ncf(1).ncid, &n), NC_NOERR);
}

TEST_F(HeaderTest, ANumberThatOverflowsEndsTheReadAndClosesTheDataset) {
    NcBuilder nc(dir.file("overflow.nc"));
    nc.dim("x", 1);
    nc.var("v", NC_FLOAT, {"x"}).att("scale_factor", "1e999");
    ASSERT_EQ(read(nc.write()), -1);
    EXPECT_EQ(k.ErrorMessage, "Error message (number 6)is:\r\n\"Overflow\"");
    EXPECT_EQ(k.ncf(1).ncid, -1);
}

TEST_F(HeaderTest, DimensionsWithoutVariablesGiveAnEmptyTable) {
    NcBuilder nc(dir.file("novars.nc"));
    nc.dim("x", 4);
    ASSERT_EQ(read(nc.write()), 1) << k.ErrorMessage;
    EXPECT_EQ(k.ncf(1).nVars, 0);
    EXPECT_EQ(k.ncf(1).nDimes, 1);
    EXPECT_FALSE(k.ncf(1).vari.IsAllocated());
}

TEST_F(HeaderTest, SlotsGrowAndARereadReplacesTheWholeHeader) {
    const std::string sst = sstFile(dir);
    NcBuilder nc(dir.file("small.nc"));
    nc.dim("y", 7);
    nc.var("y", NC_INT, {"y"});
    const std::string small = nc.write();

    ASSERT_EQ(k.GetNCHeader(sst, 3), 1);
    EXPECT_EQ(k.ncf.LBound(), 0);
    EXPECT_EQ(k.ncf.UBound(), 3);
    ASSERT_EQ(k.GetNCHeader(sst, 0), 1);
    k.ncf(0).lonArr.ReDim(1, 2); // the slot's caches belong to the dataset it held
    ASSERT_EQ(k.GetNCHeader(small, 0), 1);
    EXPECT_EQ(k.ncf.UBound(), 3); // a lower slot never shrinks the array
    const NcfRec& r = k.ncf(0);
    EXPECT_EQ(r.FName, small);
    EXPECT_EQ(r.nDimes, 1);
    EXPECT_EQ(r.nVars, 1);
    EXPECT_EQ(r.UnLimDId, -1);
    EXPECT_EQ(r.nGatts, 0);
    EXPECT_EQ(r.vari.UBound(), 1);
    EXPECT_EQ(r.vari(1).type, NC_INT);
    EXPECT_FALSE(r.lonArr.IsAllocated());
}

TEST_F(HeaderTest, NetCdf4NamesTooLongAndAxesTooLongAreRefusedWithAMessage) {
    // netCDF-C copies a netCDF-4 attribute name whole, however long HDF5 let it be.
    struct Case {
        const char* what;
        const char* var; // "" for a global attribute
        std::size_t nameLength;
        Long result;
    };
    const Case cases[] = {
        {"global attribute of 300", "", 300, -1},
        {"variable attribute of 300", "v", 300, -1},
        {"variable attribute of 5000", "v", 5000, -1},
        {"global attribute of NC_MAX_NAME", "", NC_MAX_NAME, 1},
        {"variable attribute of one more", "v", NC_MAX_NAME + 1, -1},
    };
    int i = 0;
    for (const Case& c : cases) {
        NcBuilder nc(dir.file("names" + std::to_string(i++) + ".nc"), NcFormat::Netcdf4);
        nc.dim("x", 2);
        nc.var("v", NC_FLOAT, {"x"}).att("units", "m");
        const std::string path = nc.write();
        const std::string name(c.nameLength, 'a');
        ASSERT_TRUE(AddLongNamedAttribute(path, c.var, name, 7)) << c.what;
        EXPECT_EQ(read(path), c.result) << c.what;
        if (c.result < 0) {
            EXPECT_EQ(k.ErrorMessage, "NetCDF: NC_MAX_NAME exceeded\r\nUnable to open " + path)
                << c.what;
            EXPECT_EQ(k.ncf(1).ncid, -1) << c.what;
        } else {
            EXPECT_EQ(k.ncf(1).gAttName(1), name) << c.what;
        }
    }

    // A length a Long cannot hold would be read as another axis.
    NcBuilder nc(dir.file("huge.nc"), NcFormat::Netcdf4);
    nc.dim("lon", 3000000000ull);
    const std::string huge = nc.write();
    EXPECT_EQ(read(huge), -1);
    EXPECT_EQ(k.ErrorMessage,
              "Dimension lon has 3000000000 entries, more than 2147483647 can be read\r\n"
              "Unable to open " +
                  huge);
}

TEST_F(HeaderTest, NamesOfTheLongestLegalLengthAreReadWholeEveryTimeTheFileIsOpened) {
    // netCDF-C holds a variable's or dimension's name of a netCDF-4 file in NC_MAX_NAME bytes;
    // from the second open of the file on, one of exactly that length comes back followed by
    // bytes of whatever lies after it.
    const std::string dimName(NC_MAX_NAME, 'd'), varName(NC_MAX_NAME, 'v'),
        attName(NC_MAX_NAME, 'a');
    for (const NcFormat format : {NcFormat::Netcdf4, NcFormat::Classic}) {
        const std::string path =
            dir.file("longest" + std::to_string(static_cast<int>(format)) + ".nc");
        NcBuilder nc(path, format);
        nc.dim(dimName, 2);
        nc.var(varName, NC_FLOAT, {dimName}).att(attName, "m").values({1.0f, 2.0f});
        nc.write();
        for (int open = 1; open <= 3; ++open) {
            SCOPED_TRACE(path + " open " + std::to_string(open));
            ASSERT_EQ(read(path), 1) << k.ErrorMessage;
            const NcfRec& r = k.ncf(1);
            EXPECT_EQ(r.dime(1).name, dimName);
            EXPECT_EQ(r.vari(1).name, varName);
            EXPECT_EQ(r.vari(1).attName(1), attName);
            EXPECT_EQ(r.vari(1).arrayDimName(1), dimName);
        }
    }
}

TEST_F(HeaderTest, AFifoOrADeviceIsRefusedWithoutWaiting) {
    // Opened for reading, a FIFO waits for a writer that never comes.
    const std::string fifo = dir.file("fifo.nc");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        EXPECT_EQ(read(path), -1) << path;
        EXPECT_NE(k.ErrorMessage.find(path + ": not a file but a FIFO, socket or device"),
                  std::string::npos)
            << k.ErrorMessage;
    }
}
