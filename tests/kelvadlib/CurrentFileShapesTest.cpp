// Files in the shape of current model output and observations, as their writers make them
// and with no alias added: each opens as the layout it stands for, with its coordinates, its
// axes and the dates of its first steps (as ncdump -t reads them).
#include "RecognitionFixture.h"
#include "common/Strings.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Strings.h"
#include "tests/support/MeshFiles.h"
#include "tests/support/MovingPoints.h"
#include "tests/support/VArrayItems.h"

#include <netcdf.h>

#include <map>
#include <memory>
#include <ostream>
#include <vector>

namespace {

// clang-format off
const char* const kEra5Cdl =
    R"cdl(netcdf era5 {
dimensions:
  valid_time = 2 ; pressure_level = 2 ; latitude = 3 ; longitude = 4 ;
variables:
  int64 number ;
    number:long_name = "ensemble member numerical id" ; number:units = "1" ;
  int64 valid_time(valid_time) ;
    valid_time:long_name = "time" ; valid_time:standard_name = "time" ;
    valid_time:units = "seconds since 1970-01-01" ; valid_time:calendar = "proleptic_gregorian" ;
  double pressure_level(pressure_level) ;
    pressure_level:long_name = "pressure" ; pressure_level:units = "hPa" ;
    pressure_level:standard_name = "air_pressure" ; pressure_level:stored_direction = "decreasing" ;
  double latitude(latitude) ;
    latitude:units = "degrees_north" ; latitude:standard_name = "latitude" ;
  double longitude(longitude) ;
    longitude:units = "degrees_east" ; longitude:standard_name = "longitude" ;
  string expver(valid_time) ;
  float t(valid_time, pressure_level, latitude, longitude) ;
    t:units = "K" ; t:standard_name = "air_temperature" ; t:GRIB_paramId = 130LL ;
data:
  number = 0 ;
  valid_time = 1704067200, 1704088800 ;
  pressure_level = 850, 500 ;
  latitude = 50, 49.75, 49.5 ;
  longitude = 10, 10.25, 10.5, 10.75 ;
  expver = "0001", "0001" ;
})cdl";

const char* const kRomsCdl =
    R"cdl(netcdf roms {
dimensions:
  xi_rho = 4 ; eta_rho = 3 ; xi_u = 3 ; eta_u = 3 ; s_rho = 2 ; ocean_time = UNLIMITED ;
variables:
  double s_rho(s_rho) ;
    s_rho:long_name = "S-coordinate at RHO-points" ; s_rho:valid_min = -1. ; s_rho:valid_max = 0. ;
    s_rho:positive = "up" ; s_rho:standard_name = "ocean_s_coordinate_g2" ;
  double h(eta_rho, xi_rho) ;
    h:long_name = "bathymetry at RHO-points" ; h:units = "meter" ; h:coordinates = "lon_rho lat_rho" ;
  double lon_rho(eta_rho, xi_rho) ;
    lon_rho:long_name = "longitude of RHO-points" ; lon_rho:units = "degree_east" ;
    lon_rho:standard_name = "longitude" ;
  double lat_rho(eta_rho, xi_rho) ;
    lat_rho:long_name = "latitude of RHO-points" ; lat_rho:units = "degree_north" ;
    lat_rho:standard_name = "latitude" ;
  double lon_u(eta_u, xi_u) ;
    lon_u:units = "degree_east" ; lon_u:standard_name = "longitude" ;
  double lat_u(eta_u, xi_u) ;
    lat_u:units = "degree_north" ; lat_u:standard_name = "latitude" ;
  double ocean_time(ocean_time) ;
    ocean_time:long_name = "time since initialization" ;
    ocean_time:units = "seconds since 2000-01-01 00:00:00" ; ocean_time:calendar = "gregorian" ;
  float temp(ocean_time, s_rho, eta_rho, xi_rho) ;
    temp:long_name = "potential temperature" ; temp:units = "Celsius" ; temp:time = "ocean_time" ;
    temp:coordinates = "lon_rho lat_rho s_rho ocean_time" ;
data:
  s_rho = -0.75, -0.25 ;
  lon_rho = -70, -69.9, -69.8, -69.7, -70, -69.9, -69.8, -69.7, -70, -69.9, -69.8, -69.7 ;
  lat_rho = 41, 41, 41, 41, 41.1, 41.1, 41.1, 41.1, 41.2, 41.2, 41.2, 41.2 ;
  ocean_time = 631152000, 631155600 ;
})cdl";

// The same grid rewritten by ncks, which puts the variables in name order: every latitude
// comes before the first longitude, and the psi, u and v points have sizes of their own.
const char* const kRomsSortedCdl =
    R"cdl(netcdf roms_sorted {
dimensions:
  eta_psi = 2 ; eta_rho = 3 ; eta_u = 3 ; eta_v = 2 ; ocean_time = UNLIMITED ; s_rho = 2 ;
  xi_psi = 3 ; xi_rho = 4 ; xi_u = 3 ; xi_v = 4 ;
variables:
  double h(eta_rho, xi_rho) ;
    h:long_name = "bathymetry at RHO-points" ; h:units = "meter" ; h:coordinates = "lon_rho lat_rho" ;
  double lat_psi(eta_psi, xi_psi) ;
    lat_psi:long_name = "latitude of PSI-points" ; lat_psi:units = "degree_north" ; lat_psi:standard_name = "latitude" ;
  double lat_rho(eta_rho, xi_rho) ;
    lat_rho:long_name = "latitude of RHO-points" ; lat_rho:units = "degree_north" ; lat_rho:standard_name = "latitude" ;
  double lat_u(eta_u, xi_u) ;
    lat_u:long_name = "latitude of U-points" ; lat_u:units = "degree_north" ; lat_u:standard_name = "latitude" ;
  double lat_v(eta_v, xi_v) ;
    lat_v:long_name = "latitude of V-points" ; lat_v:units = "degree_north" ; lat_v:standard_name = "latitude" ;
  double lon_psi(eta_psi, xi_psi) ;
    lon_psi:long_name = "longitude of PSI-points" ; lon_psi:units = "degree_east" ; lon_psi:standard_name = "longitude" ;
  double lon_rho(eta_rho, xi_rho) ;
    lon_rho:long_name = "longitude of RHO-points" ; lon_rho:units = "degree_east" ; lon_rho:standard_name = "longitude" ;
  double lon_u(eta_u, xi_u) ;
    lon_u:long_name = "longitude of U-points" ; lon_u:units = "degree_east" ; lon_u:standard_name = "longitude" ;
  double lon_v(eta_v, xi_v) ;
    lon_v:long_name = "longitude of V-points" ; lon_v:units = "degree_east" ; lon_v:standard_name = "longitude" ;
  double ocean_time(ocean_time) ;
    ocean_time:long_name = "time since initialization" ;
    ocean_time:units = "seconds since 2000-01-01 00:00:00" ; ocean_time:calendar = "gregorian" ;
  double s_rho(s_rho) ;
    s_rho:long_name = "S-coordinate at RHO-points" ; s_rho:positive = "up" ; s_rho:standard_name = "ocean_s_coordinate_g2" ;
  float temp(ocean_time, s_rho, eta_rho, xi_rho) ;
    temp:long_name = "potential temperature" ; temp:units = "Celsius" ;
    temp:coordinates = "lon_rho lat_rho s_rho ocean_time" ;
  float u(ocean_time, s_rho, eta_u, xi_u) ;
    u:long_name = "u-momentum component" ; u:units = "meter second-1" ;
    u:coordinates = "lon_u lat_u s_rho ocean_time" ;
data:
  lat_psi = 41.05, 41.05, 41.05, 41.15, 41.15, 41.15 ;
  lat_rho = 41, 41, 41, 41, 41.1, 41.1, 41.1, 41.1, 41.2, 41.2, 41.2, 41.2 ;
  lat_u = 41, 41, 41, 41.1, 41.1, 41.1, 41.2, 41.2, 41.2 ;
  lat_v = 41.05, 41.05, 41.05, 41.05, 41.15, 41.15, 41.15, 41.15 ;
  lon_psi = -69.95, -69.85, -69.75, -69.95, -69.85, -69.75 ;
  lon_rho = -70, -69.9, -69.8, -69.7, -70, -69.9, -69.8, -69.7, -70, -69.9, -69.8, -69.7 ;
  lon_u = -69.95, -69.85, -69.75, -69.95, -69.85, -69.75, -69.95, -69.85, -69.75 ;
  lon_v = -70, -69.9, -69.8, -69.7, -70, -69.9, -69.8, -69.7 ;
  ocean_time = 631152000, 631155600 ;
  s_rho = -0.75, -0.25 ;
})cdl";

const char* const kNemoCdl =
    R"cdl(netcdf nemo {
dimensions:
  axis_nbounds = 2 ; x = 4 ; y = 3 ; deptht = 2 ; time_counter = UNLIMITED ;
variables:
  float nav_lat(y, x) ;
    nav_lat:standard_name = "latitude" ; nav_lat:long_name = "Latitude" ; nav_lat:units = "degrees_north" ;
  float nav_lon(y, x) ;
    nav_lon:standard_name = "longitude" ; nav_lon:long_name = "Longitude" ; nav_lon:units = "degrees_east" ;
  float deptht(deptht) ;
    deptht:name = "deptht" ; deptht:long_name = "Vertical T levels" ; deptht:units = "m" ;
    deptht:axis = "Z" ; deptht:positive = "down" ; deptht:bounds = "deptht_bounds" ;
  float deptht_bounds(deptht, axis_nbounds) ;
  double time_centered(time_counter) ;
    time_centered:standard_name = "time" ; time_centered:long_name = "Time axis" ;
    time_centered:calendar = "gregorian" ; time_centered:units = "seconds since 1900-01-01 00:00:00" ;
  double time_counter(time_counter) ;
    time_counter:axis = "T" ; time_counter:standard_name = "time" ; time_counter:long_name = "Time axis" ;
    time_counter:calendar = "gregorian" ; time_counter:units = "seconds since 1900-01-01 00:00:00" ;
  float thetao(time_counter, deptht, y, x) ;
    thetao:standard_name = "sea_water_potential_temperature" ; thetao:units = "degC" ;
    thetao:coordinates = "time_centered nav_lat nav_lon" ;
data:
  nav_lat = 40, 40, 40, 40, 41, 41, 41, 41, 42, 42, 42, 42 ;
  nav_lon = -10, -9, -8, -7, -10, -9, -8, -7, -10, -9, -8, -7 ;
  deptht = 0.5, 1.5 ;
  time_centered = 3913056000, 3913142400 ;
  time_counter = 3913012800, 3913099200 ;
})cdl";

const char* const kWrfCdl =
    R"cdl(netcdf wrfout {
dimensions:
  Time = UNLIMITED ; DateStrLen = 19 ; west_east = 4 ; south_north = 3 ; bottom_top = 2 ;
variables:
  char Times(Time, DateStrLen) ;
  float XLAT(Time, south_north, west_east) ;
    XLAT:FieldType = 104 ; XLAT:MemoryOrder = "XY " ; XLAT:description = "LATITUDE, SOUTH IS NEGATIVE" ;
    XLAT:units = "degree_north" ; XLAT:stagger = "" ;
  float XLONG(Time, south_north, west_east) ;
    XLONG:FieldType = 104 ; XLONG:MemoryOrder = "XY " ; XLONG:description = "LONGITUDE, WEST IS NEGATIVE" ;
    XLONG:units = "degree_east" ; XLONG:stagger = "" ;
  float ZNU(Time, bottom_top) ;
    ZNU:description = "eta values on half (mass) levels" ; ZNU:units = "" ;
  float XTIME(Time) ;
    XTIME:FieldType = 104 ; XTIME:MemoryOrder = "0  " ;
    XTIME:description = "minutes since 2020-06-01 00:00:00" ;
    XTIME:units = "minutes since 2020-06-01 00:00:00" ; XTIME:stagger = "" ;
  float T(Time, bottom_top, south_north, west_east) ;
    T:description = "perturbation potential temperature (theta-t0)" ; T:units = "K" ;
data:
  Times = "2020-06-01_00:00:00", "2020-06-01_01:00:00" ;
  XLAT = 50, 50, 50, 50, 50.1, 50.1, 50.1, 50.1, 50.2, 50.2, 50.2, 50.2,
         50, 50, 50, 50, 50.1, 50.1, 50.1, 50.1, 50.2, 50.2, 50.2, 50.2 ;
  XLONG = 8, 8.1, 8.2, 8.3, 8, 8.1, 8.2, 8.3, 8, 8.1, 8.2, 8.3,
          8, 8.1, 8.2, 8.3, 8, 8.1, 8.2, 8.3, 8, 8.1, 8.2, 8.3 ;
  XTIME = 0, 60 ;
})cdl";

const char* const kHycomCdl =
    R"cdl(netcdf hycom {
dimensions:
  MT = UNLIMITED ; Y = 3 ; X = 4 ; Depth = 2 ;
variables:
  double MT(MT) ;
    MT:long_name = "time" ; MT:units = "days since 1900-12-31 00:00:00" ; MT:calendar = "standard" ; MT:axis = "T" ;
  double Date(MT) ;
    Date:long_name = "date" ; Date:units = "day as %Y%m%d.%f" ; Date:C_format = "%13.4f" ;
  double Depth(Depth) ;
    Depth:standard_name = "depth" ; Depth:units = "m" ; Depth:positive = "down" ; Depth:axis = "Z" ;
  int Y(Y) ;
    Y:point_spacing = "even" ; Y:axis = "Y" ;
  int X(X) ;
    X:point_spacing = "even" ; X:axis = "X" ;
  float Latitude(Y, X) ;
    Latitude:standard_name = "latitude" ; Latitude:units = "degrees_north" ;
  float Longitude(Y, X) ;
    Longitude:standard_name = "longitude" ; Longitude:units = "degrees_east" ; Longitude:modulo = "360 degrees" ;
  float temperature(MT, Depth, Y, X) ;
    temperature:coordinates = "Longitude Latitude Date" ; temperature:standard_name = "sea_water_potential_temperature" ;
    temperature:units = "degC" ;
data:
  MT = 43099, 43100 ;
  Date = 20180101, 20180102 ;
  Depth = 0, 10 ;
  Y = 1, 2, 3 ;
  X = 1, 2, 3, 4 ;
  Latitude = 20, 20, 20, 20, 20.04, 20.04, 20.04, 20.04, 20.08, 20.08, 20.08, 20.08 ;
  Longitude = 262, 262.08, 262.16, 262.24, 262, 262.08, 262.16, 262.24, 262, 262.08, 262.16, 262.24 ;
})cdl";

const char* const kFvcomCdl =
    R"cdl(netcdf fvcom {
dimensions:
  nele = 2 ; node = 5 ; siglay = 2 ; siglev = 3 ; three = 3 ; time = UNLIMITED ; DateStrLen = 26 ;
variables:
  float x(node) ;
    x:long_name = "nodal x-coordinate" ; x:units = "meters" ;
  float y(node) ;
    y:long_name = "nodal y-coordinate" ; y:units = "meters" ;
  float lon(node) ;
    lon:long_name = "nodal longitude" ; lon:standard_name = "longitude" ; lon:units = "degrees_east" ;
  float lat(node) ;
    lat:long_name = "nodal latitude" ; lat:standard_name = "latitude" ; lat:units = "degrees_north" ;
  float xc(nele) ;
    xc:long_name = "zonal x-coordinate" ; xc:units = "meters" ;
  float yc(nele) ;
    yc:long_name = "zonal y-coordinate" ; yc:units = "meters" ;
  float lonc(nele) ;
    lonc:long_name = "zonal longitude" ; lonc:standard_name = "longitude" ; lonc:units = "degrees_east" ;
  float latc(nele) ;
    latc:long_name = "zonal latitude" ; latc:standard_name = "latitude" ; latc:units = "degrees_north" ;
  float siglay(siglay, node) ;
    siglay:long_name = "Sigma Layers" ; siglay:standard_name = "ocean_sigma/general_coordinate" ;
    siglay:positive = "up" ; siglay:valid_min = -1. ; siglay:valid_max = 0. ;
  float siglev(siglev, node) ;
    siglev:long_name = "Sigma Levels" ; siglev:standard_name = "ocean_sigma/general_coordinate" ;
    siglev:positive = "up" ; siglev:valid_min = -1. ; siglev:valid_max = 0. ;
  float h(node) ;
    h:long_name = "Bathymetry" ; h:standard_name = "sea_floor_depth_below_geoid" ; h:units = "m" ;
    h:positive = "down" ;
  int nv(three, nele) ;
    nv:long_name = "nodes surrounding element" ;
  float time(time) ;
    time:long_name = "time" ; time:units = "days since 1858-11-17 00:00:00" ;
    time:format = "modified julian day (MJD)" ; time:time_zone = "UTC" ;
  int Itime(time) ;
    Itime:units = "days since 1858-11-17 00:00:00" ; Itime:format = "modified julian day (MJD)" ;
  int Itime2(time) ;
    Itime2:units = "msec since 00:00:00" ; Itime2:time_zone = "UTC" ;
  char Times(time, DateStrLen) ;
  float zeta(time, node) ;
    zeta:long_name = "Water Surface Elevation" ; zeta:units = "meters" ;
  float temp(time, siglay, node) ;
    temp:long_name = "temperature" ; temp:units = "degrees_C" ;
  float ua(time, nele) ;
    ua:long_name = "Vertically Averaged x-velocity" ; ua:units = "meters s-1" ;
data:
  lon = -70, -69.9, -70, -69.9, -69.8 ;
  lat = 42, 42, 42.1, 42.1, 42 ;
  lonc = -69.9667, -69.9333 ;
  latc = 42.0333, 42.0667 ;
  siglay = -0.25, -0.25, -0.25, -0.25, -0.25, -0.75, -0.75, -0.75, -0.75, -0.75 ;
  siglev = 0, 0, 0, 0, 0, -0.5, -0.5, -0.5, -0.5, -0.5, -1, -1, -1, -1, -1 ;
  nv = 1, 2, 2, 4, 3, 3 ;
  time = 58849, 58849.5 ;
  Itime = 58849, 58849 ;
  Itime2 = 0, 43200000 ;
  zeta = 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0 ;
  ua = 1, 2, 3, 4 ;
})cdl";

const char* const kAdcircCdl =
    R"cdl(netcdf fort.63 {
dimensions:
  time = UNLIMITED ; node = 5 ; nele = 2 ; nvertex = 3 ;
variables:
  double time(time) ;
    time:long_name = "model time" ; time:standard_name = "time" ;
    time:units = "seconds since 2008-07-31 12:00:00" ; time:base_date = "2008-07-31 12:00:00" ;
  double x(node) ;
    x:long_name = "longitude" ; x:standard_name = "longitude" ; x:units = "degrees_east" ;
    x:positive = "east" ;
  double y(node) ;
    y:long_name = "latitude" ; y:standard_name = "latitude" ; y:units = "degrees_north" ;
    y:positive = "north" ;
  int element(nele, nvertex) ;
    element:long_name = "element" ; element:cf_role = "face_node_connectivity" ;
    element:start_index = 1 ; element:units = "nondimensional" ;
  double depth(node) ;
    depth:long_name = "distance below geoid" ; depth:standard_name = "depth below geoid" ;
    depth:coordinates = "time y x" ; depth:location = "node" ; depth:units = "m" ;
  double zeta(time, node) ;
    zeta:long_name = "water surface elevation above geoid" ; zeta:_FillValue = -99999. ;
    zeta:coordinates = "time y x" ; zeta:location = "node" ; zeta:units = "m" ;
data:
  time = 3600, 7200 ;
  x = -90, -89.9, -90, -89.9, -89.8 ;
  y = 29, 29, 29.1, 29.1, 29 ;
  element = 1, 2, 3, 2, 4, 3 ;
})cdl";

const char* const kUgridCdl =
    R"cdl(netcdf ugrid {
dimensions:
  nMesh2_node = 5 ; nMesh2_edge = 5 ; nMesh2_face = 2 ; nMaxMesh2_face_nodes = 3 ; Two = 2 ;
  time = UNLIMITED ;
variables:
  int Mesh2 ;
    Mesh2:cf_role = "mesh_topology" ; Mesh2:long_name = "Topology data of 2D unstructured mesh" ;
    Mesh2:topology_dimension = 2 ; Mesh2:node_coordinates = "Mesh2_node_x Mesh2_node_y" ;
    Mesh2:face_node_connectivity = "Mesh2_face_nodes" ; Mesh2:face_dimension = "nMesh2_face" ;
    Mesh2:edge_node_connectivity = "Mesh2_edge_nodes" ;
    Mesh2:face_coordinates = "Mesh2_face_x Mesh2_face_y" ;
  int Mesh2_face_nodes(nMesh2_face, nMaxMesh2_face_nodes) ;
    Mesh2_face_nodes:cf_role = "face_node_connectivity" ; Mesh2_face_nodes:start_index = 1 ;
    Mesh2_face_nodes:_FillValue = -999 ;
  int Mesh2_edge_nodes(nMesh2_edge, Two) ;
    Mesh2_edge_nodes:cf_role = "edge_node_connectivity" ; Mesh2_edge_nodes:start_index = 1 ;
  int Mesh2_face_links(nMesh2_face, nMaxMesh2_face_nodes) ;
    Mesh2_face_links:cf_role = "face_face_connectivity" ; Mesh2_face_links:start_index = 1 ;
    Mesh2_face_links:_FillValue = -999 ;
  double Mesh2_node_x(nMesh2_node) ;
    Mesh2_node_x:standard_name = "longitude" ; Mesh2_node_x:units = "degrees_east" ;
  double Mesh2_node_y(nMesh2_node) ;
    Mesh2_node_y:standard_name = "latitude" ; Mesh2_node_y:units = "degrees_north" ;
  double Mesh2_face_x(nMesh2_face) ;
    Mesh2_face_x:standard_name = "longitude" ; Mesh2_face_x:units = "degrees_east" ;
  double Mesh2_face_y(nMesh2_face) ;
    Mesh2_face_y:standard_name = "latitude" ; Mesh2_face_y:units = "degrees_north" ;
  double time(time) ;
    time:standard_name = "time" ; time:units = "hours since 2021-03-01 00:00:00" ;
  float Mesh2_s1(time, nMesh2_node) ;
    Mesh2_s1:mesh = "Mesh2" ; Mesh2_s1:location = "node" ; Mesh2_s1:units = "m" ;
  float Mesh2_ucx(time, nMesh2_face) ;
    Mesh2_ucx:mesh = "Mesh2" ; Mesh2_ucx:location = "face" ; Mesh2_ucx:units = "m s-1" ;
data:
  Mesh2_face_nodes = 1, 2, 3, 2, 4, 3 ;
  Mesh2_edge_nodes = 1, 2, 2, 3, 3, 1, 2, 4, 4, 3 ;
  Mesh2_face_links = 2, -999, -999, 1, -999, -999 ;
  Mesh2_node_x = 4, 4.1, 4, 4.1, 4.2 ;
  Mesh2_node_y = 52, 52, 52.1, 52.1, 52 ;
  Mesh2_face_x = 4.0333, 4.0667 ;
  Mesh2_face_y = 52.0333, 52.0667 ;
  time = 0, 3 ;
})cdl";

// SCHISM's UGRID output: every row of the face table has four columns, triangles padded with
// -1 (its _FillValue), counted from 1.
const char* const kSchismCdl =
    R"cdl(netcdf out2d_1 {
dimensions:
  nSCHISM_hgrid_node = 6 ; nSCHISM_hgrid_face = 4 ; nMaxSCHISM_hgrid_face_nodes = 4 ;
  time = UNLIMITED ;
variables:
  double time(time) ;
    time:long_name = "Time" ; time:units = "seconds since 2018-09-01 00:00:00" ;
    time:base_date = 2018, 9, 1, 0 ; time:standard_name = "time" ;
  int SCHISM_hgrid ;
    SCHISM_hgrid:long_name = "Topology data of 2d unstructured mesh" ;
    SCHISM_hgrid:topology_dimension = 2 ; SCHISM_hgrid:cf_role = "mesh_topology" ;
    SCHISM_hgrid:node_coordinates = "SCHISM_hgrid_node_x SCHISM_hgrid_node_y" ;
    SCHISM_hgrid:face_node_connectivity = "SCHISM_hgrid_face_nodes" ;
    SCHISM_hgrid:face_coordinates = "SCHISM_hgrid_face_x SCHISM_hgrid_face_y" ;
  int SCHISM_hgrid_face_nodes(nSCHISM_hgrid_face, nMaxSCHISM_hgrid_face_nodes) ;
    SCHISM_hgrid_face_nodes:long_name = "Horizontal Element Table" ;
    SCHISM_hgrid_face_nodes:cf_role = "face_node_connectivity" ;
    SCHISM_hgrid_face_nodes:start_index = 1 ; SCHISM_hgrid_face_nodes:_FillValue = -1 ;
  double SCHISM_hgrid_node_x(nSCHISM_hgrid_node) ;
    SCHISM_hgrid_node_x:long_name = "node x-coordinate" ;
    SCHISM_hgrid_node_x:standard_name = "longitude" ; SCHISM_hgrid_node_x:units = "degrees_east" ;
    SCHISM_hgrid_node_x:mesh = "SCHISM_hgrid" ;
  double SCHISM_hgrid_node_y(nSCHISM_hgrid_node) ;
    SCHISM_hgrid_node_y:long_name = "node y-coordinate" ;
    SCHISM_hgrid_node_y:standard_name = "latitude" ; SCHISM_hgrid_node_y:units = "degrees_north" ;
    SCHISM_hgrid_node_y:mesh = "SCHISM_hgrid" ;
  double SCHISM_hgrid_face_x(nSCHISM_hgrid_face) ;
    SCHISM_hgrid_face_x:standard_name = "longitude" ; SCHISM_hgrid_face_x:units = "degrees_east" ;
  double SCHISM_hgrid_face_y(nSCHISM_hgrid_face) ;
    SCHISM_hgrid_face_y:standard_name = "latitude" ; SCHISM_hgrid_face_y:units = "degrees_north" ;
  float depth(nSCHISM_hgrid_node) ;
    depth:long_name = "Bathymetry" ; depth:units = "meters" ; depth:positive = "down" ;
    depth:mesh = "SCHISM_hgrid" ; depth:location = "node" ;
  float elevation(time, nSCHISM_hgrid_node) ;
    elevation:mesh = "SCHISM_hgrid" ; elevation:location = "node" ; elevation:units = "m" ;
  int dryFlagElement(time, nSCHISM_hgrid_face) ;
    dryFlagElement:mesh = "SCHISM_hgrid" ; dryFlagElement:location = "elem" ;
data:
  time = 3600, 7200 ;
  SCHISM_hgrid_face_nodes = 1, 2, 4, -1, 2, 5, 4, -1, 2, 3, 5, -1, 3, 6, 5, -1 ;
  SCHISM_hgrid_node_x = -76, -75.9, -75.8, -76, -75.9, -75.8 ;
  SCHISM_hgrid_node_y = 37, 37, 37, 37.1, 37.1, 37.1 ;
  SCHISM_hgrid_face_x = -75.97, -75.93, -75.87, -75.83 ;
  SCHISM_hgrid_face_y = 37.03, 37.07, 37.03, 37.07 ;
  depth = 5, 6, 7, 8, 9, 10 ;
  elevation = 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 1.1, 1.2 ;
  dryFlagElement = 0, 0, 0, 1, 0, 0, 1, 1 ;
}
)cdl";

// Two quadrangles counted from 0, with a triangle's padding of -1 and no _FillValue, as
// other UGRID writers leave it.
const char* const kUgridQuadsCdl =
    R"cdl(netcdf quads {
dimensions:
  n_node = 7 ; n_face = 3 ; n_max_face_nodes = 4 ; time = 2 ;
variables:
  int mesh ;
    mesh:cf_role = "mesh_topology" ; mesh:topology_dimension = 2 ;
    mesh:node_coordinates = "mesh_node_x mesh_node_y" ;
    mesh:face_node_connectivity = "mesh_face_nodes" ; mesh:face_dimension = "n_face" ;
  int mesh_face_nodes(n_face, n_max_face_nodes) ;
    mesh_face_nodes:cf_role = "face_node_connectivity" ; mesh_face_nodes:start_index = 0 ;
  double mesh_node_x(n_node) ;
    mesh_node_x:standard_name = "longitude" ; mesh_node_x:units = "degrees_east" ;
  double mesh_node_y(n_node) ;
    mesh_node_y:standard_name = "latitude" ; mesh_node_y:units = "degrees_north" ;
  double time(time) ;
    time:units = "hours since 2022-06-01" ; time:calendar = "proleptic_gregorian" ;
  float zeta(time, n_node) ;
    zeta:mesh = "mesh" ; zeta:location = "node" ;
data:
  mesh_face_nodes = 0, 1, 4, 3, 1, 2, 5, 4, 2, 6, 5, -1 ;
  mesh_node_x = 10, 10.1, 10.2, 10, 10.1, 10.2, 10.3 ;
  mesh_node_y = 54, 54, 54, 54.1, 54.1, 54.1, 54.05 ;
  time = 0, 6 ;
  zeta = 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14 ;
}
)cdl";

const char* const kIconCdl =
    R"cdl(netcdf icon {
dimensions:
  ncells = 4 ; vertices = 3 ; height = 2 ; bnds = 2 ; time = UNLIMITED ;
variables:
  double clon(ncells) ;
    clon:standard_name = "longitude" ; clon:long_name = "center longitude" ; clon:units = "radian" ;
    clon:bounds = "clon_bnds" ;
  double clon_bnds(ncells, vertices) ;
  double clat(ncells) ;
    clat:standard_name = "latitude" ; clat:long_name = "center latitude" ; clat:units = "radian" ;
    clat:bounds = "clat_bnds" ;
  double clat_bnds(ncells, vertices) ;
  double height(height) ;
    height:long_name = "generalized_height" ; height:axis = "Z" ; height:bounds = "height_bnds" ;
  double height_bnds(height, bnds) ;
  double time(time) ;
    time:standard_name = "time" ; time:units = "days since 2021-07-01 00:00:00" ;
    time:calendar = "proleptic_gregorian" ; time:axis = "T" ;
  float ta(time, height, ncells) ;
    ta:standard_name = "air_temperature" ; ta:units = "K" ; ta:CDI_grid_type = "unstructured" ;
    ta:number_of_grid_in_reference = 1 ; ta:coordinates = "clat clon" ;
data:
  clon = 0.1745329, 0.1762782, 0.1780236, 0.1797689 ;
  clat = 0.8726646, 0.8744099, 0.8761552, 0.8779006 ;
  height = 1, 2 ;
  time = 0.25, 0.5 ;
})cdl";

// MPAS writes its positions in radians with no standard_name, and dates its steps only in
// the text of xtime.
const char* const kMpasCdl =
    R"cdl(netcdf mpas {
dimensions:
  Time = UNLIMITED ; StrLen = 64 ; nCells = 4 ; nEdges = 5 ; nVertices = 2 ; maxEdges = 6 ;
  vertexDegree = 3 ; nVertLevels = 2 ;
variables:
  char xtime(Time, StrLen) ;
    xtime:units = "unitless" ; xtime:long_name = "model time, with format YYYY-MM-DD_hh:mm:ss" ;
  double latCell(nCells) ;
    latCell:units = "radians" ; latCell:long_name = "Latitude of cell centers" ;
  double lonCell(nCells) ;
    lonCell:units = "radians" ; lonCell:long_name = "Longitude of cell centers" ;
  double xCell(nCells) ;
    xCell:units = "m" ; xCell:long_name = "Cartesian x-coordinate of cells" ;
  double latEdge(nEdges) ;
    latEdge:units = "radians" ; latEdge:long_name = "Latitude of edge midpoints" ;
  double lonEdge(nEdges) ;
    lonEdge:units = "radians" ; lonEdge:long_name = "Longitude of edge midpoints" ;
  double latVertex(nVertices) ;
    latVertex:units = "radians" ; latVertex:long_name = "Latitude of vertices" ;
  double lonVertex(nVertices) ;
    lonVertex:units = "radians" ; lonVertex:long_name = "Longitude of vertices" ;
  int nEdgesOnCell(nCells) ;
    nEdgesOnCell:units = "-" ;
  int cellsOnVertex(nVertices, vertexDegree) ;
    cellsOnVertex:units = "-" ;
  double areaCell(nCells) ;
    areaCell:units = "m^2" ;
  float theta(Time, nCells, nVertLevels) ;
    theta:units = "K" ; theta:long_name = "Potential temperature" ;
data:
  theta = 290, 291, 292, 293, 294, 295, 296, 297, 290, 291, 292, 293, 294, 295, 296, 297 ;
  latCell = 0.6981317, 0.7155850, 0.7330383, 0.7504916 ;
  lonCell = 4.3633231, 4.3807764, 4.3982297, 4.4156830 ;
  latEdge = 0.1, 0.2, 0.3, 0.4, 0.5 ;
  lonEdge = 0.1, 0.2, 0.3, 0.4, 0.5 ;
  latVertex = -1, -1.1 ;
  lonVertex = 6, 6.1 ;
})cdl";

// The same ICON file after CDO's conversion, which writes each time as its date.
const std::string kIconAbsoluteCdl =
    Replace(Replace(kIconCdl, "days since 2021-07-01 00:00:00", "day as %Y%m%d.%f"),
            "time = 0.25, 0.5", "time = 20981118.25, 20981119");

// A census by temperature class: its coordinate variable T, named like a time axis, counts
// degrees Celsius.
const char* const kTemperatureClassesCdl =
    R"cdl(netcdf census {
dimensions:
  T = 3 ; time = UNLIMITED ; lat = 3 ; lon = 4 ;
variables:
  float T(T) ;
    T:long_name = "temperature class" ; T:units = "degC" ;
  double time(time) ;
    time:units = "days since 2000-01-01 00:00:00" ; time:calendar = "standard" ;
  float lat(lat) ;
    lat:units = "degrees_north" ;
  float lon(lon) ;
    lon:units = "degrees_east" ;
  float area(time, T, lat, lon) ;
    area:long_name = "area of the class" ; area:units = "km2" ;
data:
  T = 0, 10, 20 ;
  time = 15.5, 45 ;
  lat = 10, 11, 12 ;
  lon = 100, 101, 102, 103 ;
})cdl";

// A CORDEX file on its rotated grid alone: no two-dimensional longitude and latitude.
const char* const kRotatedPoleCdl =
    R"cdl(netcdf cordex {
dimensions:
  rlat = 3 ; rlon = 4 ; plev = 2 ; time = UNLIMITED ; bnds = 2 ;
variables:
  double rlat(rlat) ;
    rlat:standard_name = "grid_latitude" ; rlat:long_name = "latitude in rotated pole grid" ;
    rlat:units = "degrees" ; rlat:axis = "Y" ;
  double rlon(rlon) ;
    rlon:standard_name = "grid_longitude" ; rlon:long_name = "longitude in rotated pole grid" ;
    rlon:units = "degrees" ; rlon:axis = "X" ;
  char rotated_pole ;
    rotated_pole:grid_mapping_name = "rotated_latitude_longitude" ;
    rotated_pole:grid_north_pole_latitude = 39.25 ; rotated_pole:grid_north_pole_longitude = -162. ;
  double plev(plev) ;
    plev:standard_name = "air_pressure" ; plev:units = "Pa" ; plev:axis = "Z" ; plev:positive = "down" ;
  double time(time) ;
    time:standard_name = "time" ; time:units = "days since 1949-12-01 00:00:00" ;
    time:calendar = "standard" ; time:axis = "T" ; time:bounds = "time_bnds" ;
  double time_bnds(time, bnds) ;
  float ta(time, plev, rlat, rlon) ;
    ta:standard_name = "air_temperature" ; ta:units = "K" ; ta:grid_mapping = "rotated_pole" ;
data:
  rlat = -1.1, -1.0, -0.9 ;
  rlon = -2.2, -2.1, -2.0, -1.9 ;
  plev = 85000, 50000 ;
  time = 18262.5, 18263.5 ;
})cdl";

const char* const kStationReportsCdl =
    R"cdl(netcdf reports {
dimensions:
  report = UNLIMITED ; site = 3 ; name_strlen = 8 ;
variables:
  char site_name(site, name_strlen) ;
    site_name:cf_role = "timeseries_id" ;
  double obs_time(report) ;
    obs_time:standard_name = "time" ; obs_time:units = "hours since 2022-05-01 00:00:00" ;
  float lat(report, site) ;
    lat:units = "degrees_north" ; lat:_FillValue = -999.f ;
  float lon(report, site) ;
    lon:units = "degrees_east" ; lon:_FillValue = -999.f ;
  float t2m(report, site) ;
    t2m:units = "degC" ; t2m:_FillValue = -999.f ; t2m:coordinates = "obs_time lat lon" ;
data:
  site_name = "SCL", "SYD", "PAR" ;
  obs_time = 6, 7 ;
  lat = -33.4, _, 49.0, -33.4, -33.9, 49.0 ;
  lon = -70.8, _, 2.5, -70.8, 151.2, 2.5 ;
  t2m = 12, _, 15, 13, 20, 16 ;
})cdl";
const char* const kHourlyStationsCdl =
    R"cdl(netcdf hourly {
dimensions:
  hour = 2 ; stn = 3 ;
variables:
  int hour(hour) ;
    hour:units = "hours since 2022-05-01 00:00:00" ;
  float lat(hour, stn) ;
    lat:units = "degrees_north" ;
  float lon(hour, stn) ;
    lon:units = "degrees_east" ;
  float t2m(hour, stn) ;
    t2m:units = "degC" ;
data:
  hour = 0, 1 ;
  lat = -33.4, -33.9, 49, -33.4, -33.9, 49 ;
  lon = -70.8, 151.2, 2.5, -70.8, 151.2, 2.5 ;
})cdl";
// clang-format on

struct Shape {
    const char* name;
    const char* cdl;
    NcFormat format;
    Long gridType;
    // The variables taken for each role, "" for none.
    const char* lon;
    const char* lat;
    const char* time;
    const char* level;
    const char* sizes; // "key=value" of the size members
    Long nTime, kMax;
    const char* first;  // date of step 1
    const char* second; // date of step 2
    float box[4];       // west, east, south, north
};

std::ostream& operator<<(std::ostream& os, const Shape& s) {
    return os << s.name;
}

// clang-format off
const Shape kShapes[] = {
    {"Era5", kEra5Cdl, NcFormat::Netcdf4, kGridRegular, "longitude", "latitude", "valid_time", "pressure_level", "nLon=4 nLat=3", 2, 2, "2024-01-01", "2024-01-01 06:00:00", {10, 10.75, 49.5, 50}},
    {"Roms", kRomsCdl, NcFormat::Classic, kGridBfg, "lon_rho", "lat_rho", "ocean_time", "s_rho", "iMax=3 jMax=4", 2, 2, "2020-01-01", "2020-01-01 01:00:00", {-70, -69.7, 41, 41.2}},
    {"RomsSorted", kRomsSortedCdl, NcFormat::Classic, kGridBfg, "lon_rho", "lat_rho", "ocean_time", "s_rho", "iMax=3 jMax=4", 2, 2, "2020-01-01", "2020-01-01 01:00:00", {-70, -69.7, 41, 41.2}},
    {"Nemo", kNemoCdl, NcFormat::Netcdf4, kGridBfg, "nav_lon", "nav_lat", "time_counter", "deptht", "iMax=3 jMax=4", 2, 2, "2023-12-31 12:00:00", "2024-01-01 12:00:00", {-10, -7, 40, 42}},
    {"Wrf", kWrfCdl, NcFormat::Classic, kGridBfg, "XLONG", "XLAT", "XTIME", "", "iMax=3 jMax=4", 2, 0, "2020-06-01", "2020-06-01 01:00:00", {8, 8.3, 50, 50.2}},
    {"Hycom", kHycomCdl, NcFormat::Classic, kGridBfg, "Longitude", "Latitude", "MT", "Depth", "iMax=3 jMax=4", 2, 2, "2018-12-31", "2019-01-01", {262, 262.24, 20, 20.08}},
    {"Fvcom", kFvcomCdl, NcFormat::Netcdf4, kGridFvMesh, "lon", "lat", "time", "siglay", "nNodes=5 nElements=2 nSide=3", 2, 2, "2020-01-01", "2020-01-01 12:00:00", {-70, -69.8, 42, 42.1}},
    {"Adcirc", kAdcircCdl, NcFormat::Netcdf4, kGridFeMesh, "x", "y", "time", "", "nNodes=5 nElements=2 nSide=3", 2, 0, "2008-07-31 13:00:00", "2008-07-31 14:00:00", {-90, -89.8, 29, 29.1}},
    {"Ugrid", kUgridCdl, NcFormat::Netcdf4, kGridFvMesh, "Mesh2_node_x", "Mesh2_node_y", "time", "", "nNodes=5 nElements=2 nSide=3", 2, 0, "2021-03-01", "2021-03-01 03:00:00", {4, 4.2, 52, 52.1}},
    {"Schism", kSchismCdl, NcFormat::Netcdf4, kGridFvMesh, "SCHISM_hgrid_node_x", "SCHISM_hgrid_node_y", "time", "", "nNodes=6 nElements=4 nSide=4", 2, 0, "2018-09-01 01:00:00", "2018-09-01 02:00:00", {-76, -75.8, 37, 37.1}},
    {"Dflow", kDflowCdl, NcFormat::Netcdf4, kGridFvMesh, "mesh2d_node_x", "mesh2d_node_y", "time", "", "nNodes=6 nElements=3 nSide=4", 2, 0, "2001-01-01", "2001-01-01 00:10:00", {4, 4.2, 52, 52.1}},
    {"UgridQuads", kUgridQuadsCdl, NcFormat::Classic, kGridFeMesh, "mesh_node_x", "mesh_node_y", "time", "", "nNodes=7 nElements=3 nSide=4", 2, 0, "2022-06-01", "2022-06-01 06:00:00", {10, 10.3, 54, 54.1}},
    {"Icon", kIconCdl, NcFormat::Netcdf4, kGridCells, "clon", "clat", "time", "height", "nCells=4", 2, 2, "2021-07-01 06:00:00", "2021-07-01 12:00:00", {10, 10.3, 50, 50.3}},
    {"Mpas", kMpasCdl, NcFormat::Netcdf4, kGridCells, "lonCell", "latCell", "", "", "nCells=4", 0, 0, "", "", {250, 253, 40, 43}},
    {"IconAbsoluteDates", kIconAbsoluteCdl.c_str(), NcFormat::Netcdf4, kGridCells, "clon", "clat", "time", "height", "nCells=4", 2, 2, "2098-11-18 06:00:00", "2098-11-19", {10, 10.3, 50, 50.3}},
    {"TemperatureClasses", kTemperatureClassesCdl, NcFormat::Classic, kGridRegular, "lon", "lat", "time", "", "nLon=4 nLat=3", 2, 0, "2000-01-16 12:00:00", "2000-02-15", {100, 103, 10, 12}},
    {"HourlyStations", kHourlyStationsCdl, NcFormat::Classic, kGridCells, "lon", "lat", "hour", "", "nCells=3", 2, 0, "2022-05-01", "2022-05-01 01:00:00", {-70.8, 151.2, -33.9, 49}},
    {"Drifters", kDriftersCdl, NcFormat::Netcdf4, kGridCells, "lon", "lat", "time", "", "nCells=2", 3, 0, "2023-03-01", "2023-03-01 06:00:00", {-30, -18, 34, 43}},
    {"StationReports", kStationReportsCdl, NcFormat::Netcdf4, kGridCells, "lon", "lat", "obs_time", "", "nCells=3", 2, 0, "2022-05-01 06:00:00", "2022-05-01 07:00:00", {-70.8, 151.2, -33.9, 49}},
};
// clang-format on

using SizeMember = Long (IKelvad::*)(Long);
const std::map<std::string, SizeMember> kSizes = {
    {"nLon", &IKelvad::nLon},   {"nLat", &IKelvad::nLat},           {"iMax", &IKelvad::iMax},
    {"jMax", &IKelvad::jMax},   {"nCells", &IKelvad::nCells},       {"nNodes", &IKelvad::nNodes},
    {"nSide", &IKelvad::nSide}, {"nElements", &IKelvad::nElements},
};

class ShapeFiles : public ::testing::Test {
protected:
    TempDir dir;
    RecognitionFolder in{dir.path()}; // no alias file
    std::unique_ptr<IKelvad> k{CreateKelvad()};

    // The file written from the shape's CDL and opened in slot 1.
    void open(const Shape& s) {
        const std::string path = dir.file(std::string(s.name) + ".nc");
        writeCdl(s.cdl, path, s.format);
        ASSERT_EQ(k->Initialize(path), 1) << k->ErrorMessage();
    }
    // The name of the variable a role holds, "" for none.
    std::string nameOf(Long nv) { return nv >= 1 ? k->variName(nv) : ""; }
    void open(const std::string& name) {
        for (const Shape& s : kShapes)
            if (s.name == name) return open(s);
        FAIL() << "no shape " << name;
    }
    // The corner table as rows of three.
    std::vector<std::vector<Long>> corners() {
        VArray<Long> n1, n2, n3;
        EXPECT_EQ(k->FillNodeMesh(n1, n2, n3), 1) << k->ErrorMessage();
        std::vector<std::vector<Long>> out;
        for (Long e = 1; e <= n1.UBound(); ++e)
            out.push_back({n1(e), n2(e), n3(e)});
        return out;
    }
};

class CurrentFileShapes : public ShapeFiles, public ::testing::WithParamInterface<Shape> {};

} // namespace

TEST_P(CurrentFileShapes, OpenAsTheirLayoutWithTheirAxesAndDates) {
    const Shape& s = GetParam();
    open(s);
    EXPECT_EQ(k->GridType(), s.gridType);
    EXPECT_EQ(nameOf(k->lonvId()), s.lon);
    EXPECT_EQ(nameOf(k->latvId()), s.lat);
    EXPECT_EQ(nameOf(k->TimevId()), s.time);
    EXPECT_EQ(k->TimePick(), s.nTime > 0 ? 1 : -1);
    EXPECT_EQ(k->nTime(), s.nTime);
    EXPECT_EQ(k->kMax(), s.kMax);
    if (s.kMax > 0) {
        EXPECT_EQ(nameOf(k->LevelvId()), s.level);
    }
    const std::string sizes = s.sizes;
    for (const std::string_view item : ListTokens(sizes)) {
        const std::string text(item);
        const std::string key = Left(text, InStr(text, "=") - 1);
        EXPECT_EQ((k.get()->*kSizes.at(key))(1), std::stol(Mid(text, InStr(text, "=") + 1))) << key;
    }
    if (s.nTime > 0) {
        EXPECT_TRUE(k->Dated());
        EXPECT_EQ(k->StartTime(), s.first);
        EXPECT_EQ(k->DatePicked(2), s.second);
    }
    EXPECT_NEAR(k->westEnd(), s.box[0], 1e-3);
    EXPECT_NEAR(k->eastEnd(), s.box[1], 1e-3);
    EXPECT_NEAR(k->southEnd(), s.box[2], 1e-3);
    EXPECT_NEAR(k->northEnd(), s.box[3], 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Shapes, CurrentFileShapes, ::testing::ValuesIn(kShapes),
                         [](const auto& p) { return std::string(p.param.name); });

// Mesh files: their corner tables counted from 1 as the files count them (FVCOM's nv, corners
// by elements without a start_index, leaves its last node unused; UGRID names its table among
// others over the same dimensions), and the finite-volume files place node variables on their
// nodes and element variables on the element centres.
TEST_F(ShapeFiles, MeshesKeepTheirNodesAndPlaceTheirElements) {
    const std::vector<std::vector<Long>> triangles = {{1, 2, 3}, {2, 4, 3}};
    for (const char* name : {"Fvcom", "Adcirc", "Ugrid"}) {
        SCOPED_TRACE(name);
        k.reset(CreateKelvad());
        open(std::string(name));
        EXPECT_EQ(corners(), triangles);
        if (k->GridType() != kGridFvMesh) continue;
        VArray<float> lon, lat;
        lon.ReDim(1, 5);
        lon(1) = -1; // the nodes
        ASSERT_EQ(k->FillLonLatDeg(lon, lat), 1) << k->ErrorMessage();
        ASSERT_EQ(lon.UBound(), 5);
        EXPECT_NEAR(lon(4) - lon(1), 0.1, 1e-4);
        EXPECT_NEAR(lat(4) - lat(1), 0.1, 1e-4);
        VArray<float> elemLon, elemLat; // never dimensioned: the elements
        ASSERT_EQ(k->FillLonLatDeg(elemLon, elemLat), 1) << k->ErrorMessage();
        ASSERT_EQ(elemLon.UBound(), 2);
        EXPECT_NEAR(elemLon(1), (lon(1) + lon(2) + lon(3)) / 3, 1e-4);
        EXPECT_NEAR(elemLat(2), (lat(2) + lat(4) + lat(3)) / 3, 1e-4);
    }
}

// FVCOM's sigma layers are given at every node: the layer dimension is the level axis of the
// fields over it, its levels those of the first node, or the layer numbers where that node
// gives none.
TEST_F(ShapeFiles, SigmaLayersOverNodesAreTheLevelAxis) {
    open(std::string("Fvcom"));
    VArray<double> levels;
    ASSERT_EQ(k->FillvCoord(levels), 1) << k->ErrorMessage();
    ASSERT_EQ(levels.UBound(), 2);
    EXPECT_FLOAT_EQ(static_cast<float>(levels(1)), -0.25f);
    EXPECT_FLOAT_EQ(static_cast<float>(levels(2)), -0.75f);
    EXPECT_EQ(k->DofLevel(k->variNum("temp")), 2);
    EXPECT_EQ(k->DofLevel(k->variNum("zeta")), 0);

    std::string unset = kFvcomCdl;
    unset.erase(unset.find("  siglay = "), unset.find("  siglev = ") - unset.find("  siglay = "));
    const std::string path = dir.file("unset.nc");
    writeCdl(unset, path, NcFormat::Netcdf4);
    k.reset(CreateKelvad());
    ASSERT_EQ(k->Initialize(path), 1) << k->ErrorMessage();
    ASSERT_EQ(k->FillvCoord(levels), 1) << k->ErrorMessage();
    ASSERT_EQ(levels.UBound(), 2);
    EXPECT_EQ(levels(1), 1);
    EXPECT_EQ(levels(2), 2);
}

// Face tables of four columns: a padded row is one triangle and a quadrangle two, split along
// its diagonal from its first corner; the elements stay the file's faces, each placed at the
// mean of its corners, and an element variable keeps one value per face.
TEST_F(ShapeFiles, FourColumnFaceTablesGiveTrianglesAndKeepTheirFaces) {
    struct Case {
        const char* name;
        std::vector<std::vector<Long>> triangles;
    };
    const Case cases[] = {
        {"Schism", {{1, 2, 4}, {2, 5, 4}, {2, 3, 5}, {3, 6, 5}}},
        {"Dflow", {{1, 2, 5}, {1, 5, 4}, {2, 3, 5}, {3, 6, 5}}},
        {"UgridQuads", {{1, 2, 5}, {1, 5, 4}, {2, 3, 6}, {2, 6, 5}, {3, 7, 6}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        k.reset(CreateKelvad());
        open(std::string(c.name));
        EXPECT_EQ(corners(), c.triangles);
    }

    // The faces of D-Flow FM: the quadrangle's centre and its one value.
    k.reset(CreateKelvad());
    open(std::string("Dflow"));
    VArray<float> lon, lat; // never dimensioned: the elements
    ASSERT_EQ(k->FillLonLatDeg(lon, lat), 1) << k->ErrorMessage();
    ASSERT_EQ(lon.UBound(), 3);
    EXPECT_NEAR(lon(1), 4.05, 1e-5);
    EXPECT_NEAR(lat(1), 52.05, 1e-5);
    EXPECT_NEAR(lon(2), (4.1 + 4.2 + 4.1) / 3, 1e-5);
    EXPECT_NEAR(lat(3), (52 + 52.1 + 52.1) / 3, 1e-5);
    VArray<float> s1;
    ASSERT_EQ(k->GetVarFloat(k->variNum("mesh2d_s1"), s1).toLong(), 6) << k->ErrorMessage();
    EXPECT_EQ(s1(1), 1.0f);
    EXPECT_EQ(s1(4), 4.0f); // step 2, the quadrangle
}

// Station reports by hour: each station placed once, at its first report that gives a
// position, whatever the distance to its neighbour in the file.
TEST_F(ShapeFiles, StationReportsArePointsAtTheirFirstPosition) {
    open(std::string("StationReports"));
    VArray<float> lon, lat;
    ASSERT_EQ(k->FillLonLatDeg(lon, lat), 1) << k->ErrorMessage();
    ASSERT_EQ(lon.UBound(), 3);
    EXPECT_FLOAT_EQ(lon(1), -70.8f);
    EXPECT_FLOAT_EQ(lon(2), 151.2f); // no position in the first report
    EXPECT_FLOAT_EQ(lat(2), -33.9f);
    EXPECT_FLOAT_EQ(lon(3), 2.5f);
}

// A CF trajectory file (orthogonal form: positions and times over trajectory x obs): its
// observations are points, not the cells of a grid spanning the ocean between two ships. Each
// trajectory is a row of positions over the observations, the box holds every observation and
// an observation without a position is left out of both.
TEST_F(ShapeFiles, TrajectoriesArePointsMovingByTrajectory) {
    const std::string path = dir.file("trajectory.nc");
    writeCdl(kTrajectoryCdl, path, NcFormat::Netcdf4);
    ASSERT_EQ(k->Initialize(path), 1) << k->ErrorMessage();
    EXPECT_EQ(k->GridType(), kGridCells);
    EXPECT_EQ(k->nCells(), 3);
    EXPECT_EQ(k->dimeName(k->nCelldId() + 1), "obs");
    EXPECT_EQ(k->dimeName(k->MovingdId() + 1), "trajectory");
    EXPECT_FLOAT_EQ(k->westEnd(), -150);
    EXPECT_FLOAT_EQ(k->eastEnd(), 162);
    EXPECT_FLOAT_EQ(k->southEnd(), -42);
    EXPECT_FLOAT_EQ(k->northEnd(), 12);
    VArray<float> lon, lat;
    ASSERT_EQ(k->FillLonLatAt(lon, lat, 2, false), 1) << k->ErrorMessage();
    ASSERT_EQ(lon.UBound(), 3);
    EXPECT_FLOAT_EQ(lon(1), 160);
    EXPECT_FLOAT_EQ(lat(3), -42);
    EXPECT_EQ(lon(2), NC_FILL_FLOAT); // no position: the fill, not -999 nor 0
    EXPECT_EQ(lat(2), NC_FILL_FLOAT);
    ASSERT_EQ(k->FillLonLatAt(lon, lat, 1, true), 1) << k->ErrorMessage();
    EXPECT_NEAR(lon(3), -148 * 0.017453292, 1e-6);
    EXPECT_EQ(k->FillLonLatAt(lon, lat, 3, false), -1);
    EXPECT_NE(k->ErrorMessage().find("index 3"), std::string::npos) << k->ErrorMessage();
}

// Drifters move with the time axis: step k holds the buoys' positions of step k; a buoy without
// a position in a step has the fill there, and its one position per cell is its first one.
TEST_F(ShapeFiles, DriftersHaveEachStepsPositions) {
    open(std::string("Drifters"));
    EXPECT_EQ(k->MovingdId(), k->TimedId());
    VArray<float> lon, lat;
    ASSERT_EQ(k->FillLonLatDeg(lon, lat), 1) << k->ErrorMessage();
    EXPECT_EQ(items(lon), (std::vector<float>{-30, -20}));
    ASSERT_EQ(k->FillLonLatAt(lon, lat, 3, false), 1) << k->ErrorMessage();
    EXPECT_EQ(items(lon), (std::vector<float>{-27, -18}));
    EXPECT_EQ(items(lat), (std::vector<float>{43, 34}));
    ASSERT_EQ(k->FillLonLatAt(lon, lat, 2, false), 1) << k->ErrorMessage();
    EXPECT_FLOAT_EQ(lon(1), -29);
    EXPECT_EQ(lon(2), NC_FILL_FLOAT);
}

// Cells that stay where they are do not move.
TEST_F(ShapeFiles, FixedCellsDoNotMove) {
    open(std::string("Icon"));
    EXPECT_EQ(k->MovingdId(), -1);
    VArray<float> lon, lat;
    EXPECT_EQ(k->FillLonLatAt(lon, lat, 1, false), -1);
    EXPECT_FALSE(lon.IsAllocated());
}

// Positions held as text, lists or records (a table written from text columns, a ragged or
// compound longitude) cannot be placed: the open is refused and says which variable and type
// it met, rather than opening a dataset with no extent.
TEST_F(ShapeFiles, CoordinatesThatAreNoNumbersAreRefusedAtTheOpen) {
    struct Case {
        const char* name;
        const char* lonDecl;
        const char* latDecl;
        const char* lonData;
        const char* latData;
        const char* says;
    };
    const Case cases[] = {
        {"String", "string lon(station)", "double lat(station)", R"("10.5E", "11E", "12.25E")",
         "50, 51, 52", "lon is of type string"},
        {"Vlen", "ragged_t lon(station)", "double lat(station)", "{10.5}, {11}, {12.25}",
         "50, 51, 52", "lon is of type ragged_t"},
        {"Compound", "double lon(station)", "pos_t lat(station)", "10.5, 11, 12.25",
         "{50, 0}, {51, 0}, {52, 0}", "lat is of type pos_t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        k.reset(CreateKelvad());
        const std::string path = dir.file(std::string(c.name) + ".nc");
        writeCdl(
            std::string("netcdf table {\ntypes:\n  float(*) ragged_t ;\n"
                        "  compound pos_t { double deg ; double min ; } ;\n"
                        "dimensions:\n  station = 3 ;\nvariables:\n  string name(station) ;\n  ") +
                c.lonDecl + " ;\n    lon:units = \"degrees_east\" ;\n  " + c.latDecl +
                " ;\n    lat:units = \"degrees_north\" ;\n  double temp(station) ;\n"
                "    temp:units = \"degC\" ;\ndata:\n  name = \"A\", \"B\", \"C\" ;\n  lon = " +
                c.lonData + " ;\n  lat = " + c.latData + " ;\n  temp = 1, 2, 3 ;\n}\n",
            path, NcFormat::Netcdf4);
        EXPECT_EQ(k->Initialize(path), -1);
        EXPECT_NE(k->ErrorMessage().find(c.says), std::string::npos) << k->ErrorMessage();
        EXPECT_NE(k->ErrorMessage().find("not a number"), std::string::npos) << k->ErrorMessage();
    }
}

// A grid that cannot be placed: the open says so, and the time axis and the levels are there
// for the summary (dates as ncdump -t gives them).
TEST_F(ShapeFiles, AnUnplacedGridStillHasItsTimeAxisAndLevels) {
    const std::string path = dir.file("cordex.nc");
    writeCdl(kRotatedPoleCdl, path, NcFormat::Netcdf4);
    ASSERT_EQ(k->Initialize(path), 1) << k->ErrorMessage();
    EXPECT_EQ(k->ErrorMessage(), "[pickCoordVariables] can not identify horizontal coordiantes");
    EXPECT_EQ(k->GridType(), kGridNone);
    EXPECT_EQ(nameOf(k->TimevId()), "time");
    EXPECT_EQ(k->nTime(), 2);
    EXPECT_TRUE(k->Dated());
    EXPECT_EQ(k->StartTime(), "1999-12-01 12:00:00");
    EXPECT_EQ(k->endTime(), "1999-12-02 12:00:00");
    EXPECT_EQ(k->dTimeSec(), 86400);
    EXPECT_EQ(nameOf(k->LevelvId()), "plev");
    ASSERT_EQ(k->kMax(), 2);
    VArray<double> levels;
    levels.ReDim(1, 2);
    ASSERT_EQ(k->FillvCoord(levels), 1) << k->ErrorMessage();
    EXPECT_EQ(levels(1), 85000);
    EXPECT_EQ(levels(2), 50000);
    std::string first, last;
    ASSERT_EQ(k->StartEndDate(path, first, last), 1) << k->ErrorMessage();
    EXPECT_EQ(first, "1999-12-01 12:00:00");
}
