#pragma once
// Files of points that move, in the shapes real files have them, as CDL for writeCdl.
//
// kDriftersCdl: two drifting buoys over three steps as xarray writes them, positions over
// (time, buoy) with no unlimited dimension. Buoy 2 reports sst but no position at step 2; every
// later position lies outside the first step's box (lon -30 .. -18, lat 34 .. 43 in all).
//
// kTrajectoryCdl: a CF trajectory file in the orthogonal form, positions and times over
// trajectory x obs; the second observation of trajectory 2 has a value but no position.

// clang-format off
inline const char* const kDriftersCdl =
    R"cdl(netcdf drifters {
dimensions:
  time = 3 ; buoy = 2 ;
variables:
  double time(time) ;
    time:units = "hours since 2023-03-01 00:00:00" ; time:calendar = "proleptic_gregorian" ;
  int buoy(buoy) ;
  float lon(time, buoy) ;
    lon:units = "degrees_east" ; lon:_FillValue = NaNf ;
  float lat(time, buoy) ;
    lat:units = "degrees_north" ; lat:_FillValue = NaNf ;
  float sst(time, buoy) ;
    sst:units = "degC" ; sst:_FillValue = NaNf ; sst:coordinates = "lat lon" ;
  float u(time, buoy) ;
    u:units = "m/s" ; u:coordinates = "lat lon" ;
  float v(time, buoy) ;
    v:units = "m/s" ; v:coordinates = "lat lon" ;
data:
  time = 0, 6, 12 ;
  buoy = 101, 102 ;
  lon = -30, -20, -29, _, -27, -18 ;
  lat = 40, 35, 41, _, 43, 34 ;
  sst = 15, 18, 15.5, 18.2, 15.2, 18.4 ;
  u = 1, 0, 1, 0.5, 0, 1 ;
  v = 0, 1, 0, 0.5, 1, 0 ;
})cdl";

inline const char* const kTrajectoryCdl =
    R"cdl(netcdf trajectory {
dimensions:
  trajectory = 2 ; obs = 3 ;
variables:
  int trajectory(trajectory) ;
    trajectory:cf_role = "trajectory_id" ;
  double time(trajectory, obs) ;
    time:standard_name = "time" ; time:units = "seconds since 2019-06-01 00:00:00" ;
  float lat(trajectory, obs) ;
    lat:standard_name = "latitude" ; lat:units = "degrees_north" ; lat:_FillValue = -999.f ;
  float lon(trajectory, obs) ;
    lon:standard_name = "longitude" ; lon:units = "degrees_east" ; lon:_FillValue = -999.f ;
  float temp(trajectory, obs) ;
    temp:units = "degC" ; temp:_FillValue = -999.f ; temp:coordinates = "time lat lon" ;

// global attributes:
  :featureType = "trajectory" ;
  :Conventions = "CF-1.8" ;
data:
  trajectory = 1, 2 ;
  time = 0, 3600, 7200, 0, 3600, 7200 ;
  lat = 10, 11, 12, -40, _, -42 ;
  lon = -150, -149, -148, 160, _, 162 ;
  temp = 25, 25.5, 26, 12, 13, 11 ;
})cdl";
// clang-format on
