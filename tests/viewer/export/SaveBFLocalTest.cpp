// The subset file of a boundary-fitted grid read back with netCDF-C: the index dimensions under
// their subset names and cut, the two-dimensional longitudes and latitudes over the same cut so
// that every value keeps its grid point, the attributes as the source has them, and the file
// read again by the dataset library as a boundary-fitted grid.
#include "tests/viewer/export/ExportFixture.h"

#include "viewer/export/SaveBFLocal.h"

namespace {

using Strings = std::vector<std::string>;
using Values = std::vector<double>;

// 3 hourly steps over a 4 x 5 grid of index dimensions gridj and gridi. The positions tell the
// indices (lon 120 + i + j / 8, lat 30 + j + i / 8, 0-based) and zeta holds t * 100 + j * 10 + i.
std::string BfgFixture(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 3);
    nc.dim("gridj", 4);
    nc.dim("gridi", 5);
    Values lon, lat, zeta, u;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 5; ++i) {
            lon.push_back(120 + i + 0.125 * j);
            lat.push_back(30 + j + 0.125 * i);
        }
    for (int t = 0; t < 3; ++t)
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 5; ++i) {
                zeta.push_back(t * 100 + j * 10 + i);
                u.push_back((t * 100 + j * 10 + i) / 8.0);
            }
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 2004-03-15 00:00:00")
        .values({0.0, 1.0, 2.0});
    nc.var("lon", NC_DOUBLE, {"gridj", "gridi"})
        .att("long_name", "longitude")
        .att("units", "degrees_east")
        .values(lon);
    nc.var("lat", NC_FLOAT, {"gridj", "gridi"})
        .att("long_name", "latitude")
        .att("units", "degrees_north")
        .values(lat);
    nc.var("zeta", NC_FLOAT, {"time", "gridj", "gridi"})
        .att("long_name", "sea surface elevation")
        .att("_FillValue", -99999.0f)
        .values(zeta);
    nc.var("u", NC_SHORT, {"time", "gridj", "gridi"})
        .att("scale_factor", 0.125f)
        .values(Values(zeta));
    nc.globalAtt("title", "fitted grid");
    return nc.write();
}

class SaveBFLocalTest : public ExportFixture {};

TEST_F(SaveBFLocalTest, EveryValueKeepsItsGridPoint) {
    const std::string source = BfgFixture(dir.file("bfg.nc"));
    load(source);
    ASSERT_EQ(Data.clsNC->GridType(1), kGridBfg);
    pick({"zeta", "u"});
    row(1, 2, 3, 1); // time
    row(2, 2, 4, 2); // gridj: 2 and 4
    row(3, 1, 5, 2); // gridi: 1, 3 and 5
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    const std::string out = dir.file("out.nc");
    ASSERT_EQ(SaveBFLocal(out, sd), 1);
    EXPECT_EQ(messages(), Strings{});
    EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "bfg.nc", "out.nc"}));

    NcRead r(out), src(source);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.format(), NC_FORMAT_CLASSIC);
    EXPECT_EQ(r.dims(), (Strings{"time*=2", "ypos=2", "xpos=3"}));
    // The positions in their own types (lon is Double).
    EXPECT_EQ(r.vars(), (Strings{"time(6:time)", "lon(6:ypos,xpos)", "lat(5:ypos,xpos)",
                                 "zeta(5:time,ypos,xpos)", "u(3:time,ypos,xpos)"}));
    EXPECT_EQ(r.values("time"), (Values{1, 2}));
    EXPECT_EQ(r.attText("time", "units"), "hours since 2004-03-15");
    const Values lon = r.values("lon"), lat = r.values("lat"), zeta = r.values("zeta");
    EXPECT_EQ(lon, src.values("lon", {1, 0}, {2, 3}, {2, 2}));
    EXPECT_EQ(lat, src.values("lat", {1, 0}, {2, 3}, {2, 2}));
    EXPECT_EQ(zeta, src.values("zeta", {1, 1, 0}, {2, 2, 3}, {1, 2, 2}));
    EXPECT_EQ(r.values("u"), src.values("u", {1, 1, 0}, {2, 2, 3}, {1, 2, 2}));
    // Each value lies where its position says: j and i from lat and lon.
    for (std::size_t k = 0; k < zeta.size(); ++k) {
        const std::size_t p = k % lon.size();
        const double i = std::floor(lon[p] - 120), j = std::floor(lat[p] - 30);
        EXPECT_EQ(std::fmod(zeta[k], 100), j * 10 + i) << k;
    }

    // The attributes as the source has them; the positions as Singles.
    EXPECT_EQ(r.attText("lon", "long_name"), "longitude");
    EXPECT_EQ(r.attText("lat", "units"), "degrees_north");
    EXPECT_EQ(r.attValues("zeta", "_FillValue"), Values{-99999});
    EXPECT_EQ(r.attType("u", "scale_factor"), NC_FLOAT);
    EXPECT_EQ(r.attNames(""), (Strings{"title", "origin1", "time", "gridj", "gridi"}));
    EXPECT_EQ(r.attText("", "origin1"), source);
    EXPECT_EQ(r.attText("", "gridj"), " 4 2 2 2");
    EXPECT_EQ(r.attText("", "gridi"), " 5 1 3 2");

    std::unique_ptr<IKelvad> back(CreateKelvad());
    ASSERT_EQ(back->Initialize(out), 1) << back->ErrorMessage();
    EXPECT_EQ(back->GridType(1), kGridBfg);
    EXPECT_EQ(back->iMax(1), 3);
    EXPECT_EQ(back->jMax(1), 2);
}

// A sample whose index dimensions already have their subset names, taken whole; a target that
// cannot be written says so and leaves nothing.
TEST_F(SaveBFLocalTest, TheSampleGoesWholeAndAFailedTargetLeavesNothing) {
    load(sample("bfg_coastal.nc"));
    ASSERT_EQ(Data.clsNC->GridType(1), kGridBfg);
    pick({"zeta"});
    wholeRows();
    SubsetDescription sd;
    ASSERT_EQ(SubSetNcDomain(sd), 1);
    const std::string out = writeFile("old.nc", "the old file");
    const std::string missing = dir.file("no/such/folder/out.nc");
    EXPECT_EQ(SaveBFLocal(missing, sd), -1);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].rfind("[SaveBFLocal] The file could not be written:\r\n" + missing, 0),
              0u);
    EXPECT_FALSE(std::filesystem::exists(missing));

    ui.boxes.clear();
    ASSERT_EQ(SaveBFLocal(out, sd), 1);
    EXPECT_EQ(messages(), Strings{});
    NcRead r(out);
    EXPECT_EQ(r.dims(), (Strings{"time*=25", "ypos=24", "xpos=40"}));
    EXPECT_EQ(r.values("lon"), NcRead(sample("bfg_coastal.nc")).values("lon"));
}

} // namespace
