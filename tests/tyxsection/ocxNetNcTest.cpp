// The header model of the control's reader: dimensions, variables, attributes and their
// value texts, the limits of the record, and opening and closing.
#include "TyxFixture.h"
#include "tests/support/LongNames.h"
#include "tests/support/ScriptedUi.h"

#include <netcdf.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

const OcxVari& varNamed(const OcxNcf& ncf, const std::string& name) {
    for (Long v = 1; v <= ncf.nVars; ++v)
        if (ncf.vari(v).name == name) return ncf.vari(v);
    throw std::runtime_error("no variable " + name);
}

// The files of the folder that this process holds open.
int openFilesIn(const TempDir& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const auto target = std::filesystem::read_symlink(e.path(), ec);
        if (!ec && target.parent_path() == dir.path()) ++n;
    }
    return n;
}

std::string attValue(const OcxVari& v, const std::string& name) {
    for (Long k = 1; k <= v.nattri; ++k)
        if (v.attName[k] == name) return v.attValue[k];
    return "<none>";
}

} // namespace

TEST(ocxGetNCHeader, ReadsTheWholeHeaderOfAModelGrid) {
    TempDir dir;
    const std::string path = writeGridFile(dir, "grid.nc");
    OcxNcf ncf;
    std::string message = "earlier";
    ASSERT_EQ(ocxGetNCHeader(ncf, path, 0, message), 1);
    EXPECT_EQ(message, "earlier");
    EXPECT_GE(ncf.ncid, 0); // left open for the reads that follow
    EXPECT_EQ(ncf.FName, path);
    EXPECT_EQ(ncf.nDims, 4);
    EXPECT_EQ(ncf.nVars, 7);
    EXPECT_EQ(ncf.UnLimDId, 0);
    EXPECT_EQ(ncf.dime(1).name, "time");
    EXPECT_EQ(ncf.dime(1).size, 3);
    EXPECT_EQ(ncf.dime(1).unLimited, 1);
    EXPECT_EQ(ncf.dime(4).name, "lon");
    EXPECT_EQ(ncf.dime(4).unLimited, 0);

    const OcxVari& temp = varNamed(ncf, "temp");
    EXPECT_EQ(temp.type, NC_FLOAT);
    EXPECT_EQ(temp.narray, 4);
    EXPECT_EQ(temp.arrayDimId[2], 1);
    EXPECT_EQ(temp.arrayDimName[2], "depth");
    EXPECT_EQ(temp.arrayDimName[4], "lon");
    EXPECT_EQ(temp.nattri, 3);
    EXPECT_EQ(temp.attName[3], "_FillValue");
    EXPECT_EQ(temp.attType[3], NC_FLOAT);
    EXPECT_EQ(temp.unit, "degC");
    EXPECT_EQ(temp.longName, "sea water temperature");
    EXPECT_DOUBLE_EQ(temp.MisnVal, 1e20);
    EXPECT_EQ(temp.byteUnit, 4);
    EXPECT_DOUBLE_EQ(temp.byteSize, 4.0 * 3 * 4 * 3 * 4);

    // Numbers go through their texts: the float 0.01 is 0.01, not the float's value.
    const OcxVari& salt = varNamed(ncf, "salt");
    EXPECT_DOUBLE_EQ(salt.scale, 0.01);
    EXPECT_DOUBLE_EQ(salt.offset, 30);
    EXPECT_DOUBLE_EQ(salt.MisnVal, -32767);
    EXPECT_EQ(salt.byteUnit, 2);

    EXPECT_EQ(ncf.nGatts, 1);
    EXPECT_EQ(ncf.gAttName(1), "title");
    EXPECT_EQ(ncf.gAttType(1), NC_CHAR);
    EXPECT_EQ(ocxGetAttVal(ncf, "", "TITLE"), "a small model run");
    EXPECT_EQ(ocxGetAttVal(ncf, "TEMP", "UNITS"), "degC");
    EXPECT_EQ(ocxGetAttVal(ncf, "temp", "unit"), "");
    EXPECT_EQ(ocxGetAttVal(ncf, "nothing", "units"), "");

    CloseNc(ncf.ncid);
    EXPECT_EQ(ncf.ncid, -1);
    ASSERT_EQ(ocxGetNCHeader(ncf, path, 1, message), 1);
    EXPECT_EQ(ncf.ncid, -1);
}

TEST(ocxGetNCHeader, ValueTextsAndTheSettingsAttributesGive) {
    TempDir dir;
    const std::string path = cdlFile(dir, "atts.nc", R"(netcdf atts {
dimensions:
  x = 2 ;
variables:
  float a(x) ;
    a:units = "m" ;
    a:_FillValue = -999.f ;
    a:missing_value = -1.e+35f ;
  float b(x) ;
    b:missing_value = -1.e+35f ;
    b:_FillValue = -999.f ;
  float c(x) ;
    c:counts = 1s, 2s, 3s ;
    c:valid_range = 0., 100. ;
    c:flags = 1b, -2b ;
  float d(x) ;
    d:valid_min = 2.5 ;
    d:long_name = "  padded  " ;
}
)");
    std::string message;
    const OcxNcf ncf = headerOf(path, message);
    // Of a missing value and a fill value the later one decides.
    EXPECT_EQ(varNamed(ncf, "a").unit, "m");
    EXPECT_DOUBLE_EQ(varNamed(ncf, "a").MisnVal, -1e35);
    EXPECT_DOUBLE_EQ(varNamed(ncf, "b").MisnVal, -999);

    const OcxVari& c = varNamed(ncf, "c");
    EXPECT_EQ(attValue(c, "counts"), "1  2  3");
    EXPECT_EQ(attValue(c, "valid_range"), "0  100");
    EXPECT_EQ(attValue(c, "flags"), "1  -2");
    EXPECT_DOUBLE_EQ(c.validMin, 0);
    EXPECT_DOUBLE_EQ(c.validMax, 100);
    EXPECT_DOUBLE_EQ(c.MisnVal, 0);
    EXPECT_DOUBLE_EQ(c.scale, 1);

    const OcxVari& d = varNamed(ncf, "d");
    EXPECT_DOUBLE_EQ(d.validMin, 2.5);
    EXPECT_DOUBLE_EQ(d.validMax, 0);
    EXPECT_EQ(d.longName, "padded");
}

TEST(ocxGetNCHeader, DatasetsVariablesAndAttributesWithoutValuesAreRecorded) {
    TempDir dir;
    {
        NcBuilder nc(dir.file("empty.nc"));
        nc.write();
    }
    std::string message;
    const OcxNcf empty = headerOf(dir.file("empty.nc"), message);
    EXPECT_EQ(empty.nDims, 0);
    EXPECT_EQ(empty.nVars, 0);
    EXPECT_EQ(empty.nGatts, 0);
    EXPECT_EQ(ocxGetAttVal(empty, "", "title"), "");

    NcBuilder nc(dir.file("scalar.nc"));
    nc.var("depth_ref", NC_DOUBLE)
        .att("units", "m")
        .att("empty", std::vector<float>{})
        .values({12.5});
    nc.var("crs", NC_INT).att("note", "").att("grid_mapping_name", "latitude_longitude");
    nc.globalAtt("nothing", std::vector<short>{});
    nc.write();
    const OcxNcf scalar = headerOf(dir.file("scalar.nc"), message);
    EXPECT_EQ(scalar.nDims, 0);
    EXPECT_EQ(scalar.nVars, 2);
    const OcxVari& ref = varNamed(scalar, "depth_ref");
    EXPECT_EQ(ref.narray, 0);
    EXPECT_EQ(ref.unit, "m");
    EXPECT_EQ(ref.nattri, 2);
    EXPECT_EQ(attValue(ref, "empty"), "");
    EXPECT_DOUBLE_EQ(ref.byteSize, 8);
    const OcxVari& crs = varNamed(scalar, "crs");
    EXPECT_EQ(attValue(crs, "note"), "");
    EXPECT_EQ(attValue(crs, "grid_mapping_name"), "latitude_longitude");
    EXPECT_EQ(scalar.nGatts, 1);
    EXPECT_EQ(scalar.gAttValue(1), "");
}

TEST(ocxGetNCHeader, NetCdf4TypesAndLongNames) {
    TempDir dir;
    const std::string longName(200, 'v');
    const std::string path = cdlFile(dir, "n4.nc", R"(netcdf n4 {
types:
  opaque(4) blob ;
dimensions:
  x = 2 ;
variables:
  int64 t(x) ;
    string t:units = "days since 2000-01-01" ;
    t:counter = 3000000000LL ;
    ubyte t:mask = 200UB ;
    blob t:raw = 0XDEADBEEF ;
    t:after = "next" ;
  ushort )" + longName + R"((x) ;
    string )" + longName + R"(:names = "a", "b" ;

// global attributes:
    string :history = "made for the test" ;
}
)",
                                     NcFormat::Netcdf4);
    std::string message;
    const OcxNcf ncf = headerOf(path, message);
    const OcxVari& t = varNamed(ncf, "t");
    EXPECT_EQ(t.type, NC_INT64);
    EXPECT_EQ(t.byteUnit, 0);
    EXPECT_EQ(t.unit, "days since 2000-01-01");
    EXPECT_EQ(attValue(t, "counter"), "3000000000");
    EXPECT_EQ(attValue(t, "mask"), "200");
    // An attribute of a type the reader does not know has no value: not the one before it.
    EXPECT_EQ(attValue(t, "raw"), "");
    EXPECT_EQ(attValue(t, "after"), "next");
    EXPECT_EQ(t.nattri, 5);

    // Names up to the library's longest are kept whole; one of 45 or more is reported.
    const OcxVari& u = varNamed(ncf, longName);
    EXPECT_EQ(u.type, NC_USHORT);
    EXPECT_EQ(attValue(u, "names"), "a  b");
    EXPECT_EQ(message, "nc& > 45 in reading variable name" + longName);
    EXPECT_EQ(ocxGetAttVal(ncf, "", "history"), "made for the test");
}

TEST(ocxGetNCHeader, NamesOf45CharactersAreReportedAndTheReadGoesOn) {
    TempDir dir;
    NcBuilder nc(dir.file("names.nc"));
    nc.dim("x", 1);
    nc.var(std::string(44, 'a'), NC_FLOAT, {"x"}).values({1.0});
    nc.write();
    std::string message = "earlier";
    headerOf(dir.file("names.nc"), message);
    EXPECT_EQ(message, "earlier");

    NcBuilder nc2(dir.file("names2.nc"));
    nc2.dim("x", 1);
    nc2.var(std::string(45, 'b'), NC_FLOAT, {"x"}).values({1.0});
    nc2.write();
    headerOf(dir.file("names2.nc"), message);
    EXPECT_EQ(message, "nc& > 45 in reading variable name" + std::string(45, 'b'));
}

TEST(ocxGetNCHeader, AFailedReadKeepsTheRecordAndClosesTheFile) {
    TempDir dir;
    const std::string good = writeGridFile(dir, "grid.nc");

    NcBuilder six(dir.file("six.nc"));
    for (const char* d : {"a", "b", "c", "d", "e", "f"})
        six.dim(d, 1);
    six.var("v6", NC_FLOAT, {"a", "b", "c", "d", "e", "f"}).values({1.0});
    six.write();

    NcBuilder many(dir.file("atts.nc"));
    many.dim("x", 1);
    auto& v15 = many.var("v15", NC_FLOAT, {"x"});
    for (int k = 1; k <= 15; ++k)
        v15.att(numbered("a", k), k);
    v15.values({1.0});
    auto& v16 = many.var("v16", NC_FLOAT, {"x"});
    for (int k = 1; k <= 16; ++k)
        v16.att(numbered("a", k), k);
    v16.att("scale_factor", 2.0f).att("add_offset", 1.0f);
    v16.values({1.0});
    many.write();
    // Every attribute is kept, and the packing after the fifteenth applies.
    {
        std::string message;
        OcxNcf m = headerOf(dir.file("atts.nc"), message);
        const OcxVari& v = m.vari(2);
        EXPECT_EQ(v.nattri, 18);
        EXPECT_EQ(v.attName[18], "add_offset");
        EXPECT_EQ(v.scale, 2.0);
        EXPECT_EQ(v.offset, 1.0);
        EXPECT_EQ(message, "");
        CloseNc(m.ncid);
    }

    // netCDF-C copies a netCDF-4 attribute name whole: one past NC_MAX_NAME refuses the file.
    for (const char* var : {"", "v"}) {
        NcBuilder nc4(dir.file(std::string("long") + var + ".nc"), NcFormat::Netcdf4);
        nc4.dim("x", 1);
        nc4.var("v", NC_FLOAT, {"x"}).values({1.0});
        ASSERT_TRUE(AddLongNamedAttribute(nc4.write(), var, std::string(300, 'n'), 1));
    }

    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {dir.file("six.nc"),
         "Array dimension exceeds the limit(=5) for\n\nVariable: v6\ndimension = 6"},
        {dir.file("long.nc"), "NetCDF: NC_MAX_NAME exceeded"},
        {dir.file("longv.nc"), "NetCDF: NC_MAX_NAME exceeded"},
        {dir.file("missing.nc"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        OcxNcf ncf;
        std::string message;
        ASSERT_EQ(ocxGetNCHeader(ncf, good, 0, message), 1);
        const Long goodId = ncf.ncid;
        EXPECT_EQ(ocxGetNCHeader(ncf, c.path, 0, message), 0);
        if (c.message.empty()) {
            EXPECT_NE(message.find("No such file"), std::string::npos) << message;
        } else {
            EXPECT_EQ(message, c.message);
        }
        // The record is still the good file's, whose file is still open.
        EXPECT_EQ(ncf.FName, good);
        EXPECT_EQ(ncf.nVars, 7);
        EXPECT_EQ(ncf.ncid, goodId);
        CloseNc(ncf.ncid);
    }
    // None of the failed reads left its file open.
    EXPECT_EQ(openFilesIn(dir), 0);
}

TEST(OpenNc, OpensTheRecordsFileOrSaysWhyNot) {
    TempDir dir;
    InstalledScriptedUi ui;
    OcxNcf ncf;
    EXPECT_EQ(OpenNc(ncf, 1), -1);
    EXPECT_TRUE(ui.boxes.empty());

    std::string message;
    ncf = headerOf(writeGridFile(dir, "grid.nc"), message);
    Long id = OpenNc(ncf, 1);
    EXPECT_GE(id, 0);
    CloseNc(id);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(OpenNc(ncf, 2), -1);
    EXPECT_TRUE(ui.boxes.empty());

    ncf.FName = dir.file("gone.nc");
    EXPECT_EQ(OpenNc(ncf, 1), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "NetCDF Error");
    EXPECT_EQ(ui.boxes[0].style, kCritical);

    Long unknown = 4242;
    CloseNc(unknown);
    EXPECT_EQ(unknown, -1);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].title, "NetCDF Error");
}
