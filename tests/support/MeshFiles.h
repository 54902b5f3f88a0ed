#pragma once
// Files of meshes, in the shapes real files have them, as CDL for writeCdl.
//
// kDflowCdl: a D-Flow FM map file, a quadrangle and two triangles in a face table of four
// columns, padded with its _FillValue -999 and counted from 1, and the edges between them. Six
// nodes at lon 4 .. 4.2, lat 52 .. 52.1; the quadrangle (nodes 1, 2, 5, 4) has its face
// position at the centre of its corners, (4.05, 52.05). Two steps, 0 and 600 s after
// 2001-01-01, of a water level on the faces: 1, 2, 3 then 4, 5, 6.

// clang-format off
inline const char* const kDflowCdl =
    R"cdl(netcdf FlowFM_map {
dimensions:
  mesh2d_nNodes = 6 ; mesh2d_nEdges = 8 ; Two = 2 ; mesh2d_nFaces = 3 ;
  mesh2d_nMax_face_nodes = 4 ; time = UNLIMITED ;
variables:
  int mesh2d ;
    mesh2d:cf_role = "mesh_topology" ; mesh2d:long_name = "Topology data of 2D mesh" ;
    mesh2d:topology_dimension = 2 ; mesh2d:node_coordinates = "mesh2d_node_x mesh2d_node_y" ;
    mesh2d:node_dimension = "mesh2d_nNodes" ;
    mesh2d:max_face_nodes_dimension = "mesh2d_nMax_face_nodes" ;
    mesh2d:edge_node_connectivity = "mesh2d_edge_nodes" ; mesh2d:edge_dimension = "mesh2d_nEdges" ;
    mesh2d:face_node_connectivity = "mesh2d_face_nodes" ; mesh2d:face_dimension = "mesh2d_nFaces" ;
    mesh2d:face_coordinates = "mesh2d_face_x mesh2d_face_y" ;
  double mesh2d_node_x(mesh2d_nNodes) ;
    mesh2d_node_x:units = "degrees_east" ; mesh2d_node_x:standard_name = "longitude" ;
    mesh2d_node_x:mesh = "mesh2d" ; mesh2d_node_x:location = "node" ;
  double mesh2d_node_y(mesh2d_nNodes) ;
    mesh2d_node_y:units = "degrees_north" ; mesh2d_node_y:standard_name = "latitude" ;
    mesh2d_node_y:mesh = "mesh2d" ; mesh2d_node_y:location = "node" ;
  int mesh2d_edge_nodes(mesh2d_nEdges, Two) ;
    mesh2d_edge_nodes:cf_role = "edge_node_connectivity" ; mesh2d_edge_nodes:start_index = 1 ;
  int mesh2d_face_nodes(mesh2d_nFaces, mesh2d_nMax_face_nodes) ;
    mesh2d_face_nodes:cf_role = "face_node_connectivity" ; mesh2d_face_nodes:mesh = "mesh2d" ;
    mesh2d_face_nodes:location = "face" ;
    mesh2d_face_nodes:long_name = "Mapping from every face to its corner nodes (counterclockwise)" ;
    mesh2d_face_nodes:start_index = 1 ; mesh2d_face_nodes:_FillValue = -999 ;
  double mesh2d_face_x(mesh2d_nFaces) ;
    mesh2d_face_x:units = "degrees_east" ; mesh2d_face_x:standard_name = "longitude" ;
  double mesh2d_face_y(mesh2d_nFaces) ;
    mesh2d_face_y:units = "degrees_north" ; mesh2d_face_y:standard_name = "latitude" ;
  double time(time) ;
    time:units = "seconds since 2001-01-01 00:00:00" ; time:standard_name = "time" ;
  double mesh2d_s1(time, mesh2d_nFaces) ;
    mesh2d_s1:mesh = "mesh2d" ; mesh2d_s1:location = "face" ;
    mesh2d_s1:standard_name = "sea_surface_height" ; mesh2d_s1:units = "m" ;
data:
  mesh2d_node_x = 4, 4.1, 4.2, 4, 4.1, 4.2 ;
  mesh2d_node_y = 52, 52, 52, 52.1, 52.1, 52.1 ;
  mesh2d_edge_nodes = 1, 2, 2, 3, 4, 5, 5, 6, 1, 4, 2, 5, 3, 6, 2, 5 ;
  mesh2d_face_nodes = 1, 2, 5, 4, 2, 3, 5, -999, 3, 6, 5, -999 ;
  mesh2d_face_x = 4.05, 4.1667, 4.1667 ;
  mesh2d_face_y = 52.05, 52.033, 52.067 ;
  time = 0, 600 ;
  mesh2d_s1 = 1, 2, 3, 4, 5, 6 ;
}
)cdl";
// clang-format on
