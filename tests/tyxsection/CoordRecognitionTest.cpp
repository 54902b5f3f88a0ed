// Coordinate recognition of the control's reader: longitude and latitude by name, units and
// coordinate variables, time, the vertical coordinate, and grids of cells.
#include "TyxFixture.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct Roles {
    Long result;
    const char* lonVar; // "" when none is expected
    bool lonDim;        // whether the longitude has a dimension of its own
    const char* timeVar;
    const char* levelVar;
    const char* iCellDim;
    const char* jCellDim;
};

std::string varName(const OcxNcf& ncf, Long vId) {
    return vId > 0 ? ncf.vari(vId).name : "";
}
std::string dimName(const OcxNcf& ncf, Long dId) {
    return dId >= 0 ? ncf.dime(dId + 1).name : "";
}

} // namespace

TEST(ocxPickCoordVariables, FindsTheRolesByNamesAndUnits) {
    struct Case {
        const char* what;
        const char* variables; // CDL of dimensions and variables
        Roles roles;
    };
    const Case cases[] = {
        {"CF coordinate variables",
         R"(dimensions: time = 2 ; depth = 3 ; lat = 2 ; lon = 2 ;
            variables: double time(time) ; float depth(depth) ;
            float lat(lat) ; lat:units = "degrees_north" ;
            float lon(lon) ; lon:units = "degrees_east" ;
            float temp(time, depth, lat, lon) ;)",
         {1, "lon", true, "time", "depth", "", ""}},
        {"longitude in degree_east, by its name",
         R"(dimensions: longitude = 2 ; latitude = 2 ;
            variables: float longitude(longitude) ; longitude:units = "degree_east" ;
            float latitude(latitude) ; latitude:units = "degree_north" ;)",
         {1, "longitude", true, "", "", "", ""}},
        {"any name in degrees_east",
         R"(dimensions: x = 2 ; y = 2 ;
            variables: float x(x) ; x:units = "degrees_east" ;
            float y(y) ; y:units = "degrees_north" ;)",
         {1, "x", true, "", "", "", ""}},
        {"degrees_E is only a DEGREE unit",
         R"(dimensions: lon = 2 ; lat = 2 ;
            variables: float lon(lon) ; lon:units = "degrees_E" ;
            float lat(lat) ; lat:units = "degrees_N" ;)",
         {1, "lon", true, "", "", "", ""}},
        {"two-dimensional positions without cell dimensions",
         R"(dimensions: ny = 2 ; nx = 2 ;
            variables: float lon2d(ny, nx) ; lon2d:units = "degrees_east" ;
            float lat2d(ny, nx) ; lat2d:units = "degrees_north" ;)",
         {-3, "lon2d", false, "", "", "", ""}},
        {"a curvilinear grid whose i dimension begins with X",
         R"(dimensions: eta_rho = 2 ; xi_rho = 2 ;
            variables: float lon_rho(eta_rho, xi_rho) ; lon_rho:units = "degree_east" ;
            float lat_rho(eta_rho, xi_rho) ; lat_rho:units = "degree_north" ;)",
         {1, "lon_rho", false, "", "", "xi_rho", ""}},
        {"X, Y and Z win over ICEL, JCEL and KCEL",
         R"(dimensions: icel = 2 ; jcel = 2 ; xpos = 2 ;
            variables: float lonc(jcel, icel) ; lonc:units = "degrees_east" ;
            float latc(jcel, icel) ; latc:units = "degrees_north" ;)",
         {1, "lonc", false, "", "", "xpos", "jcel"}},
        {"time with two dimensions is not the time",
         R"(dimensions: time = 2 ; nv = 2 ; lon = 2 ; lat = 2 ;
            variables: double time(time, nv) ; double times(time) ;
            float lon(lon) ; lon:units = "degrees_east" ;
            float lat(lat) ; lat:units = "degrees_north" ;)",
         {1, "lon", true, "times", "", "", ""}},
        {"the first vertical variable in file order",
         R"(dimensions: zc = 2 ; depth = 2 ; lon = 2 ; lat = 2 ;
            variables: float zc(zc) ; float depth(depth) ;
            float lon(lon) ; lon:units = "degrees_east" ;
            float lat(lat) ; lat:units = "degrees_north" ;)",
         {1, "lon", true, "", "zc", "", ""}},
        {"no longitude",
         R"(dimensions: lat = 2 ;
            variables: float lat(lat) ; lat:units = "degrees_north" ;)",
         {-1, "", false, "", "", "", ""}},
        {"no latitude",
         R"(dimensions: lon = 2 ;
            variables: float lon(lon) ; lon:units = "degrees_east" ;)",
         {-2, "lon", true, "", "", "", ""}},
    };
    TempDir dir;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = cdlFile(dir, numbered("r", ++n, ".nc"),
                                         std::string("netcdf r {\n") + c.variables + "\n}\n");
        std::string message;
        OcxNcf ncf = headerOf(path, message);
        EXPECT_EQ(ocxPickCoordVariables(ncf), c.roles.result);
        EXPECT_EQ(varName(ncf, ncf.lon_vId), c.roles.lonVar);
        if (c.roles.result < 0) continue;
        EXPECT_EQ(ncf.lon_dId >= 0, c.roles.lonDim);
        EXPECT_EQ(varName(ncf, ncf.time_vId), c.roles.timeVar);
        EXPECT_EQ(ncf.TimePick, *c.roles.timeVar ? 1 : -1);
        EXPECT_EQ(varName(ncf, ncf.level_vId), c.roles.levelVar);
        EXPECT_EQ(ncf.LevelPick, *c.roles.levelVar ? 1 : -1);
        EXPECT_EQ(dimName(ncf, ncf.iCell_dId), c.roles.iCellDim);
        EXPECT_EQ(dimName(ncf, ncf.jCell_dId), c.roles.jCellDim);
        EXPECT_EQ(ncf.lonlatOrder, c.roles.lonDim ? -1 : 0);
    }
}

TEST(GetGridDimOrder, TellsTheOrderOfTheLastTwoDimensions) {
    TempDir dir;
    const std::string path = cdlFile(dir, "order.nc", R"(netcdf order {
dimensions: time = 1 ; depth = 2 ; lat = 2 ; lon = 2 ;
variables:
  float lat(lat) ; lat:units = "degrees_north" ;
  float lon(lon) ; lon:units = "degrees_east" ;
  float a(time, depth, lat, lon) ;
  float b(time, depth, lon, lat) ;
  float c(lat, depth) ;
}
)");
    std::string message;
    OcxNcf ncf = headerOf(path, message);
    ASSERT_EQ(ocxPickCoordVariables(ncf), 1);
    EXPECT_EQ(GetGridDimOrder(ncf, 3), 2);
    EXPECT_EQ(GetGridDimOrder(ncf, 4), 1);
    EXPECT_EQ(GetGridDimOrder(ncf, 5), -1);
    EXPECT_EQ(GetGridDimOrder(ncf, 1), -1); // lat alone
}
