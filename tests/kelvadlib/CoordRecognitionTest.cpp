// Coordinate recognition and grid type.
#include "RecognitionFixture.h"
#include "common/Strings.h"
#include "kelvadlib/NCUtils.h"
#include "runtime/Strings.h"
#include "tests/support/ErrorOf.h"

#include <map>
#include <ostream>

namespace {

class CoordRecognitionTest : public RecognitionSlotBase {};

const std::map<std::string, Long NcfRec::*>& recordFields() {
    static const std::map<std::string, Long NcfRec::*> fields = {
        {"GridType", &NcfRec::GridType},
        {"nLon", &NcfRec::nLon},
        {"nLat", &NcfRec::nLat},
        {"nCells", &NcfRec::nCells},
        {"nNodes", &NcfRec::nNodes},
        {"nElements", &NcfRec::nElements},
        {"nSide", &NcfRec::nSide},
        {"nXysize", &NcfRec::nXysize},
        {"LLbyNodeOrEleement", &NcfRec::LLbyNodeOrEleement},
        {"FV_dimensions", &NcfRec::FV_dimensions},
        {"FV_layers", &NcfRec::FV_layers},
        {"iMax", &NcfRec::iMax},
        {"jMax", &NcfRec::jMax},
        {"kMax", &NcfRec::kMax},
        {"nTime", &NcfRec::nTime},
        {"lon_dId", &NcfRec::lon_dId},
        {"lon_vId", &NcfRec::lon_vId},
        {"lat_dId", &NcfRec::lat_dId},
        {"lat_vId", &NcfRec::lat_vId},
        {"time_dId", &NcfRec::time_dId},
        {"time_vId", &NcfRec::time_vId},
        {"level_dId", &NcfRec::level_dId},
        {"level_vId", &NcfRec::level_vId},
        {"kCell_dId", &NcfRec::kCell_dId},
        {"nCell_dId", &NcfRec::nCell_dId},
        {"node_dId", &NcfRec::node_dId},
        {"elem_dId", &NcfRec::elem_dId},
        {"face_dId", &NcfRec::face_dId},
        {"iCell_dId", &NcfRec::iCell_dId},
        {"jCell_dId", &NcfRec::jCell_dId},
        {"spacing_vId", &NcfRec::spacing_vId},
        {"dimension_vId", &NcfRec::dimension_vId},
        {"TimePick", &NcfRec::TimePick},
        {"LevelPick", &NcfRec::LevelPick},
        {"lonlatOrder", &NcfRec::lonlatOrder},
        {"Var1st", &NcfRec::Var1st},
        {"nVarsCoord", &NcfRec::nVarsCoord},
        {"nVarsRecord", &NcfRec::nVarsRecord},
        {"nVarsFixed", &NcfRec::nVarsFixed},
    };
    return fields;
}

struct RecognitionCase {
    const char* name;
    const char* cdl;
    Long result;
    const char* message; // ErrorMessage afterwards ("" when none is written)
    // Fields as "key=value": a number, "v:name" a variable's number, "d:name" a dimension's id.
    const char* fields;
    const char* aliases = ""; // "key=words" merged into the lists first, e.g. "lon=nav_lon"
};

std::ostream& operator<<(std::ostream& os, const RecognitionCase& c) {
    return os << c.name;
}

class CoordRecognition : public RecognitionSlotBase,
                         public ::testing::WithParamInterface<RecognitionCase> {
protected:
    // Checks every "key=value" of the text against slot 1.
    void expectFields(const std::string& text) {
        const Long n = CountTokens(text);
        for (Long i = 1; i <= n; ++i) {
            const std::string item = GetToken(text, i);
            const Long eq = InStr(item, "=");
            ASSERT_GT(eq, 0) << item;
            const std::string key = Left(item, eq - 1);
            const std::string value = Mid(item, eq + 1);
            const auto field = recordFields().find(key);
            ASSERT_NE(field, recordFields().end()) << "unknown field " << key;
            Long expected = 0;
            if (Left(value, 2) == "v:")
                expected = varNo(Mid(value, 3));
            else if (Left(value, 2) == "d:")
                expected = dimId(Mid(value, 3));
            else
                expected = static_cast<Long>(std::stol(value));
            EXPECT_EQ(rec().*(field->second), expected) << key << " should be " << value;
        }
    }
};

// clang-format off
const RecognitionCase kCases[] = {
    // ---- Regular lon/lat grid (2) ----
    {"RegularGridByName",
     "dimensions: time = UNLIMITED; depth = 2; lat = 3; lon = 4;\n"
     "variables: double time(time); float depth(depth); float lat(lat); float lon(lon);\n"
     "  float sst(time, lat, lon);",
     1, "",
     "GridType=2 nLon=4 nLat=3 lon_vId=v:lon lat_vId=v:lat lon_dId=d:lon lat_dId=d:lat "
     "time_dId=d:time time_vId=v:time nTime=0 TimePick=1 level_dId=d:depth level_vId=v:depth "
     "kCell_dId=-1 kMax=2 LevelPick=1 lonlatOrder=-1 nCell_dId=-1 node_dId=-1 elem_dId=-1 "
     "face_dId=-1 iCell_dId=-1 jCell_dId=-1 spacing_vId=-1 dimension_vId=-1"},
    {"RegularGridByUnits",
     "dimensions: Y = 3; X = 5;\n"
     "variables: float X(X); X:units = \"degrees_east\"; float Y(Y); Y:units = \"Degrees_North\";\n"
     "  float h(Y, X);",
     1, "",
     "GridType=2 nLon=5 nLat=3 lon_vId=v:X lat_vId=v:Y lon_dId=d:X lat_dId=d:Y "
     "TimePick=-1 LevelPick=-1 time_dId=-1 level_dId=-1"},
    {"GridOverDimensionsOfOtherNames",
     "dimensions: time = 2; south_north = 3; west_east = 4;\n"
     "variables: float lon(west_east); lon:units = \"degrees_east\";\n"
     "  float lat(south_north); lat:units = \"degree_N\";\n"
     "  float T2(time, south_north, west_east);",
     1, "",
     "GridType=2 nLon=4 nLat=3 lon_vId=v:lon lat_vId=v:lat lon_dId=d:west_east "
     "lat_dId=d:south_north"},
    {"GridByUnitsOverDimensionsOfOtherNames",
     "dimensions: y = 3; x = 5;\n"
     "variables: float nav_lon(x); nav_lon:units = \"degreesE\";\n"
     "  float nav_lat(y); nav_lat:units = \"degrees_north\";",
     1, "",
     "GridType=2 nLon=5 nLat=3 lon_vId=v:nav_lon lat_vId=v:nav_lat lon_dId=d:x lat_dId=d:y"},
    {"CoordinateVariableWithALatitudeOverAnotherDimension",
     "dimensions: lon = 4; y = 3;\n"
     "variables: float lon(lon); float lat(y); lat:units = \"degrees_north\";",
     1, "", "GridType=2 nLon=4 nLat=3 lon_dId=d:lon lat_dId=d:y"},
    {"OtherDimensionsNeedTheirUnits",
     "dimensions: y = 3; x = 4;\n"
     "variables: float lon(x); lon:units = \"degrees_east\"; float lat(y); lat:units = \"m\";",
     -1, "[pickCoordVariables] Inconsistent Lon_dID vs Lat_dID",
     "GridType=0 lon_dId=d:x lat_dId=-1"},
    {"PointsInDegreesOverOneDimensionStayPoints",
     "dimensions: station = 5;\n"
     "variables: float lon(station); lon:units = \"degrees_east\";\n"
     "  float lat(station); lat:units = \"degrees_north\";",
     1, "", "GridType=1 nCells=5 lon_dId=-1 lat_dId=-1"},
    {"PointsInDegreesOverMeshDimensionsStayPoints",
     "dimensions: node = 6; nele = 4; nface = 3;\n"
     "variables: float lon(node); lon:units = \"degrees_east\";\n"
     "  float lat(nele); lat:units = \"degrees_north\";",
     1, "", "GridType=4 lon_dId=-1 lat_dId=-1"},
    {"UnitsAreNotAskedWhenOneNameMatched",
     "dimensions: Y = 3; X = 5;\n"
     "variables: float X(X); X:units = \"degrees_east\"; float lat(Y);",
     -1, "[pickCoordVariables] can not identify horizontal coordiantes",
     "GridType=0 lon_vId=-1 lat_vId=v:lat"},
    // ---- Boundary-fitted grid (3) ----
    {"BoundaryFitted2D",
     "dimensions: y = 3; x = 4;\n"
     "variables: float lon(y, x); float lat(y, x);",
     1, "",
     "GridType=3 iCell_dId=d:y jCell_dId=d:x iMax=3 jMax=4 lon_dId=-1 lat_dId=-1"},
    {"BoundaryFitted3DTakesTheLastTwo",
     "dimensions: time = 2; y = 3; x = 4;\n"
     "variables: float lon(time, y, x); float lat(time, y, x); double time(time);",
     1, "",
     "GridType=3 iCell_dId=d:y jCell_dId=d:x iMax=3 jMax=4 time_vId=v:time nTime=2"},
    {"BoundaryFittedIndexNames",
     "dimensions: gridj = 3; gridi = 4;\n"
     "variables: float lon(gridj, gridi); float lat(gridj, gridi);",
     1, "",
     "GridType=3 iCell_dId=d:gridi jCell_dId=d:gridj iMax=4 jMax=3"},
    {"BoundaryFittedByAddedAliases",
     "dimensions: y = 2; x = 3;\n"
     "variables: float nav_lon(y, x); float nav_lat(y, x);",
     1, "",
     "GridType=3 lon_vId=v:nav_lon lat_vId=v:nav_lat iMax=2 jMax=3",
     "lon=nav_lon lat=nav_lat"},
    {"WithoutTheAliasesNothingIsFound",
     "dimensions: y = 2; x = 3;\n"
     "variables: float nav_lon(y, x); float nav_lat(y, x);",
     -1, "[pickCoordVariables] can not identify horizontal coordiantes", "GridType=0"},
    {"LaterLongitudeReplacesTheFirst",
     "dimensions: lon = 4; y = 2; x = 3;\n"
     "variables: float lon(lon); float longitude(y, x); float lat(y, x);",
     1, "",
     "GridType=3 lon_vId=v:longitude lat_vId=v:lat lon_dId=d:lon iCell_dId=d:y jCell_dId=d:x"},
    {"LongitudeOnlyWithALatitudeOfItsGrid",
     "dimensions: eta_psi = 2; eta_v = 2; xi_psi = 3; xi_v = 4;\n"
     "variables: float lat_psi(eta_psi, xi_psi); lat_psi:units = \"degree_north\";\n"
     "  float lat_v(eta_v, xi_v); lat_v:units = \"degree_north\";\n"
     "  float lon_psi(eta_psi, xi_psi); lon_psi:units = \"degree_east\";\n"
     "  float lon_v(eta_v, xi_v); lon_v:units = \"degree_east\";",
     1, "", "GridType=3 lon_vId=v:lon_psi lat_vId=v:lat_psi iMax=2 jMax=3"},
    {"ThePairTheDataNameComesFirst",
     "dimensions: eta_psi = 2; eta_v = 2; xi_psi = 3; xi_v = 4;\n"
     "variables: float lat_psi(eta_psi, xi_psi); lat_psi:units = \"degree_north\";\n"
     "  float lat_v(eta_v, xi_v); lat_v:units = \"degree_north\";\n"
     "  float lon_psi(eta_psi, xi_psi); lon_psi:units = \"degree_east\";\n"
     "  float lon_v(eta_v, xi_v); lon_v:units = \"degree_east\";\n"
     "  float v(eta_v, xi_v); v:coordinates = \"lon_v lat_v\";",
     1, "", "GridType=3 lon_vId=v:lon_v lat_vId=v:lat_v iMax=2 jMax=4"},
    {"PointsPairedOverTheirOwnDimension",
     "dimensions: nCells = 3; nEdges = 5;\n"
     "variables: float latCell(nCells); latCell:units = \"degrees_north\";\n"
     "  float latEdge(nEdges); latEdge:units = \"degrees_north\";\n"
     "  float lonCell(nCells); lonCell:units = \"degrees_east\";\n"
     "  float lonEdge(nEdges); lonEdge:units = \"degrees_east\";",
     1, "", "GridType=1 nCells=3 lon_vId=v:lonCell lat_vId=v:latCell"},
    // ---- Cell list (1) ----
    {"CellList",
     "dimensions: station = 5;\n"
     "variables: float longitude(station); float latitude(station); float temp(station);",
     1, "",
     "GridType=1 nCells=5 nCell_dId=d:station lon_dId=-1 lat_dId=-1 node_dId=-1"},
    // ---- Finite-element mesh, node coordinates (4) ----
    {"FiniteElementMesh",
     "dimensions: node = 6; nele = 4; nface = 3;\n"
     "variables: float lon(node); float lat(node); int nv(nele, nface);\n"
     "  float depth(node);",
     1, "",
     "GridType=4 LLbyNodeOrEleement=1 nNodes=6 nElements=4 nSide=3 node_dId=d:node "
     "elem_dId=d:nele face_dId=d:nface FV_dimensions=0 FV_layers=0 level_dId=-1 LevelPick=-1 "
     "kMax=0"},
    {"FiniteElementMeshWithNvert",
     "dimensions: node = 6; nele = 4; nvert = 3;\n"
     "variables: float x(node); x:units = \"degrees_east\"; float y(node);\n"
     "  y:units = \"degrees_north\"; int element(nele, nvert);",
     1, "", "GridType=4 nSide=3 face_dId=d:nvert lon_vId=v:x lat_vId=v:y"},
    {"FiniteElementMeshOfSixNodes",
     "dimensions: nodes = 6; elements = 2; nfaces = 6;\n"
     "variables: float longitude(nodes); float latitude(nodes);",
     1, "", "GridType=4 nSide=6 nNodes=6 nElements=2"},
    // Triangles padded to four corners, and quadrangles.
    {"FiniteElementMeshOfFourNodes",
     "dimensions: node = 6; nele = 4; nface = 4;\nvariables: float lon(node); float lat(node);",
     1, "", "GridType=4 nSide=4 nNodes=6 nElements=4 face_dId=d:nface"},
    // ---- Finite-volume mesh, element coordinates (6) ----
    {"FiniteVolumeMeshWarnsWithoutDimensions",
     "dimensions: node = 6; nele = 4; nface = 3;\n"
     "variables: float lon(nele); float lat(nele);",
     1, "[pickCoordVariables] FV_dimensions/FV_layers = 0",
     "GridType=6 LLbyNodeOrEleement=2 FV_dimensions=0 FV_layers=0 lon_vId=v:lon"},
    {"FiniteVolumeMeshWithLayers",
     "dimensions: node = 6; nele = 4; nface = 3; dimensions = 3; layers = 2;\n"
     "variables: float lon(nele); float lat(nele);",
     1, "", "GridType=6 LLbyNodeOrEleement=2 FV_dimensions=3 FV_layers=2"},
    {"FiniteVolumeMeshNodeCoordinatesByUnits",
     "dimensions: node = 6; nele = 4; nface = 3; dimensions = 2;\n"
     "variables: float lon(nele); float lat(nele);\n"
     "  float x(node); x:units = \"degrees_east\"; float y(node); y:units = \"degrees_north\";",
     1, "", "GridType=6 lon_vId=v:x lat_vId=v:y"},
    {"MeshUnitsNeedOneDimension",
     "dimensions: node = 6; nele = 4; nface = 3; two = 2;\n"
     "variables: float lon(nele); float lat(nele);\n"
     "  float x(two, node); x:units = \"degrees_east\"; float y(node); y:units = \"degrees_north\";",
     1, "[pickCoordVariables] FV_dimensions/FV_layers = 0",
     "GridType=6 lon_vId=v:lon lat_vId=v:lat"},
    // ---- GMT grid (5) ----
    {"GmtGrid",
     "dimensions: side = 2; xysize = 12; depth = 2;\n"
     "variables: double x_range(side); x_range:units = \"m\";\n"
     "  double y_range(side); y_range:units = \"m\";\n"
     "  double z_range(side); z_range:units = \"m\";\n"
     "  double spacing(side); int dimension(side); float z(xysize); float depth(depth);",
     1, "",
     "GridType=5 nSide=2 nXysize=12 lon_vId=v:x_range lat_vId=v:y_range level_vId=v:z_range "
     "spacing_vId=v:spacing dimension_vId=v:dimension level_dId=-1 LevelPick=-1 kMax=0"},
    {"GmtXRangeWithoutAttribute",
     "dimensions: side = 2; xysize = 12;\n"
     "variables: double x_range(side); double y_range(side); y_range:units = \"m\";\n"
     "  double spacing(side); int dimension(side); float z(xysize);",
     -1, "[pickCoordVariables] can not identify horizontal coordiantes", "GridType=0"},
    {"GmtWithoutY",
     "dimensions: side = 2;\n"
     "variables: double x_range(side); x_range:units = \"m\"; double spacing(side);\n"
     "  int dimension(side);",
     -1, "[pickCoordVariables] can not identify coordiantes: GMTy",
     "GridType=0 lon_vId=v:x_range lat_vId=-1"},
    {"GmtWithoutSpacing",
     "dimensions: side = 2;\n"
     "variables: double x_range(side); x_range:units = \"m\";\n"
     "  double y_range(side); y_range:units = \"m\"; int dimension(side);",
     -1, "[pickCoordVariables] can not identify coordiantes: GMTspacing",
     "GridType=0 lat_vId=v:y_range spacing_vId=-1"},
    {"GmtWithoutDimension",
     "dimensions: side = 2;\n"
     "variables: double x_range(side); x_range:units = \"m\";\n"
     "  double y_range(side); y_range:units = \"m\"; double spacing(side);",
     -1, "[pickCoordVariables] can not identify horizontal coordiantes",
     "GridType=0 spacing_vId=v:spacing dimension_vId=-1"},
    {"GmtRangesMustLieOverSide",
     "dimensions: side = 2; two = 2;\n"
     "variables: double x_range(two); x_range:units = \"m\";\n"
     "  double y_range(side); y_range:units = \"m\"; double spacing(side); int dimension(side);",
     -1, "[pickCoordVariables] can not identify horizontal coordiantes", "GridType=0"},
    // ---- Failures of the layout ----
    {"NoCoordinatesAtAll",
     "dimensions: a = 2;\nvariables: float v(a);",
     -1, "[pickCoordVariables] can not identify horizontal coordiantes",
     "GridType=0 lon_vId=-1 lat_vId=-1"},
    {"DifferentRanks",
     "dimensions: lon = 4; y = 2; x = 3;\nvariables: float lon(lon); float lat(y, x);",
     -1, "[pickCoordVariables] na_lon <> na_lat", "GridType=0"},
    {"ScalarCoordinates",
     "dimensions: n = 2;\nvariables: float lon; float lat; float v(n);",
     -1, "[pickCoordVariables] na_lon=0, yet lon_vId>0", "GridType=0"},
    {"OnlyOneCoordinateVariable",
     "dimensions: lon = 4; n = 4;\nvariables: float lon(lon); float lat(n);",
     -1, "[pickCoordVariables] Inconsistent Lon_dID vs Lat_dID", "GridType=0"},
    {"CellAndNodeDimensions",
     "dimensions: station = 3; node = 3;\n"
     "variables: float lon(station); float lat(station);",
     -1, "[pickCoordVariables] nCell_dId >= 0 And node_dId >= 0", "GridType=0"},
    {"MeshOfFiveNodesPerElement",
     "dimensions: node = 6; nele = 4; nface = 5;\nvariables: float lon(node); float lat(node);",
     -1, "[pickCoordVariables] ncf(nH).nSide <> 3 or 6 ", "GridType=0 nSide=5"},
    {"MeshWithoutFaceDimension",
     "dimensions: node = 6; nele = 4;\nvariables: float lon(node); float lat(node);",
     -1, "[pickCoordVariables] ncf(nH).nSide <> 3 or 6 ", "GridType=0 nSide=0"},
    {"FiniteVolumeThreeDimensionsNoLayers",
     "dimensions: node = 6; nele = 4; nface = 3; dimensions = 3;\n"
     "variables: float lon(nele); float lat(nele);",
     -1, "[pickCoordVariables] FV_dimensions Or FV_layers = 0",
     "GridType=6 LLbyNodeOrEleement=2 FV_dimensions=3"},
    {"PointsWithoutCellOrMesh",
     "dimensions: n = 3;\nvariables: float lon(n); float lat(n);",
     -1, "[pickCoordVariables] nCell_dId<0 And node_dId<0, yet na_lon=1", "GridType=0"},
    {"NodeWithoutElementDimension",
     "dimensions: node = 3;\nvariables: float lon(node); float lat(node);",
     -1, "[pickCoordVariables] nCell_dId<0 And node_dId<0, yet na_lon=1", "GridType=0"},
    {"FourDimensionalCoordinates",
     "dimensions: a = 1; b = 1; c = 2; d = 2;\n"
     "variables: float lon(a, b, c, d); float lat(a, b, c, d);",
     -1, "[pickCoordVariables] Array dimension>2 for Lon/Lat vars", "GridType=0"},
    // Grids that cannot be placed still have their time axis and levels.
    {"RotatedPoleWithoutLongitudesAndLatitudes",
     "dimensions: rlat = 3; rlon = 4; time = 2; height = 1;\n"
     "variables: double rlat(rlat); rlat:standard_name = \"grid_latitude\"; rlat:units = \"degrees\";\n"
     "  double rlon(rlon); rlon:standard_name = \"grid_longitude\"; rlon:units = \"degrees\";\n"
     "  char rotated_pole; rotated_pole:grid_mapping_name = \"rotated_latitude_longitude\";\n"
     "  double time(time); time:units = \"days since 1949-12-01\";\n"
     "  double height(height); height:axis = \"Z\"; height:positive = \"up\";",
     -1, "[pickCoordVariables] can not identify horizontal coordiantes",
     "GridType=0 time_vId=v:time nTime=2 TimePick=1 level_vId=v:height kMax=1 LevelPick=1"},
    {"LambertInKilometres",
     "dimensions: x = 4; y = 3; plev = 2; time = 3;\n"
     "variables: double x(x); x:standard_name = \"projection_x_coordinate\"; x:units = \"km\";\n"
     "  double y(y); y:standard_name = \"projection_y_coordinate\"; y:units = \"km\";\n"
     "  int Lambert_Conformal; Lambert_Conformal:grid_mapping_name = \"lambert_conformal_conic\";\n"
     "  double plev(plev); plev:units = \"Pa\"; double time(time); time:units = \"hours since 2000-01-01\";",
     -1, "[pickCoordVariables] can not identify horizontal coordiantes",
     "GridType=0 time_vId=v:time nTime=3 TimePick=1 level_vId=v:plev kMax=2 LevelPick=1"},
    {"MeshCoordinatesOverNeitherMeshDimension",
     "dimensions: node = 6; nele = 4; nface = 3; other = 3;\n"
     "variables: float lon(other); float lat(other);",
     -1, "[pickCoordVariables] can not identify horizontal coordiantes",
     "GridType=0 LLbyNodeOrEleement=0"},
    // ---- Time and vertical axes ----
    {"TimeCoordinateBeforeAnEarlierSeries",
     "dimensions: lat = 2; lon = 2; n = 3; time = 4;\n"
     "variables: float lat(lat); float lon(lon); float TAU(n); double time(time);",
     1, "", "GridType=2 time_vId=v:time time_dId=d:time nTime=4 TimePick=1"},
    {"TimeSeriesWithoutCoordinate",
     "dimensions: lat = 2; lon = 2; tt = 3; u = 2;\n"
     "variables: float lat(lat); float lon(lon); float T(u, tt); float TAU(tt); float time(u, tt);",
     1, "", "time_vId=v:TAU time_dId=d:tt nTime=3 TimePick=1"},
    {"ListedNameInOtherUnitsIsNoTime",
     "dimensions: station = 3; valid_time = 2;\n"
     "variables: float lat(station); float lon(station); float T(station); T:units = \"celsius\";\n"
     "  int valid_time(valid_time); valid_time:units = \"seconds since 1970-01-01\";",
     1, "", "time_vId=v:valid_time time_dId=d:valid_time nTime=2 TimePick=1"},
    {"ListedCoordinateVariableWhateverItsUnits",
     "dimensions: lat = 2; lon = 2; time = 3;\n"
     "variables: float lat(lat); float lon(lon); float time(time); time:units = \"model steps\";",
     1, "", "time_vId=v:time time_dId=d:time nTime=3 TimePick=1"},
    {"ListedCoordinateInATemperatureIsNoTime",
     "dimensions: lat = 2; lon = 2; T = 3; time = 2;\n"
     "variables: float lat(lat); float lon(lon); float T(T); T:units = \"degC\";\n"
     "  double time(time); time:units = \"hours since 2000-01-01\";",
     1, "", "time_vId=v:time time_dId=d:time nTime=2 TimePick=1"},
    {"ListedCoordinatesOfOtherQuantitiesAreNoTime",
     "dimensions: lat = 2; lon = 2; T = 3; TAU = 2; RECORD = 2; TIME1 = 2;\n"
     "variables: float lat(lat); float lon(lon); float T(T); T:units = \"K\";\n"
     "  float TAU(TAU); TAU:units = \"m\"; float RECORD(RECORD); RECORD:units = \"hPa\";\n"
     "  float TIME1(TIME1); TIME1:units = \"psu\";",
     1, "", "time_dId=-1 nTime=0 TimePick=-1"},
    {"ListedCoordinateWithoutUnitsOrInATimeUnitIsTime",
     "dimensions: lat = 2; lon = 2; T = 3; TAU = 2;\n"
     "variables: float lat(lat); float lon(lon); float TAU(TAU); TAU:units = \"days\"; float T(T);",
     1, "", "time_vId=v:TAU time_dId=d:TAU nTime=2 TimePick=1"},
    {"ListedNameInATimeUnitWithoutDate",
     "dimensions: lat = 2; lon = 2; tt = 3;\n"
     "variables: float lat(lat); float lon(lon); float TAU(tt); TAU:units = \"hours\";",
     1, "", "time_vId=v:TAU time_dId=d:tt nTime=3 TimePick=1"},
    {"UnlistedTimeByStandardNameOrAxis",
     "dimensions: lat = 2; lon = 2; a = 3; b = 4; c = 5;\n"
     "variables: float lat(lat); float lon(lon); float w(a); w:units = \"m\";\n"
     "  double day(b); day:standard_name = \"time\"; double c(c); c:axis = \"T\";",
     1, "", "time_vId=v:c time_dId=d:c nTime=5 TimePick=1"},
    {"UnlistedOneDimensionalTimeWhenNoCoordinateSaysIt",
     "dimensions: lat = 2; lon = 2; Time = 3;\n"
     "variables: float lat(lat); float lon(lon); float XTIME(Time);\n"
     "  XTIME:units = \"minutes since 2020-06-01 00:00:00\";",
     1, "", "time_vId=v:XTIME time_dId=d:Time nTime=3 TimePick=1"},
    {"PressureLevelsAreVertical",
     "dimensions: lat = 2; lon = 2; pressure_level = 3; plev = 2;\n"
     "variables: float lat(lat); float lon(lon); double pressure_level(pressure_level);\n"
     "  pressure_level:units = \"millibars\"; double plev(plev); plev:units = \"Pa\";",
     1, "", "level_vId=v:pressure_level level_dId=d:pressure_level kMax=3 LevelPick=1"},
    {"PositionsByStandardNameAndRadians",
     "dimensions: ncells = 4; vertices = 3;\n"
     "variables: double clon(ncells); clon:standard_name = \"longitude\"; clon:units = \"radian\";\n"
     "  double clat(ncells); clat:standard_name = \"latitude\"; clat:units = \"radian\";",
     1, "", "GridType=1 nCells=4 lon_vId=v:clon lat_vId=v:clat"},
    {"NamedAxesInRadiansOverOtherDimensions",
     "dimensions: y = 3; x = 4;\n"
     "variables: float lon(x); lon:units = \"radians\"; float lat(y); lat:units = \"radians\";",
     1, "", "GridType=2 nLon=4 nLat=3 lon_dId=d:x lat_dId=d:y"},
    {"RadiansNamedAsPositions",
     "dimensions: nCells = 4; nEdges = 5; nVertices = 2;\n"
     "variables: double angleEdge(nEdges); angleEdge:units = \"radians\";\n"
     "  double latCell(nCells); latCell:units = \"radians\";\n"
     "  double latEdge(nEdges); latEdge:units = \"radians\";\n"
     "  double latVertex(nVertices); latVertex:units = \"radians\";\n"
     "  double lonCell(nCells); lonCell:units = \"radians\";\n"
     "  double lonEdge(nEdges); lonEdge:units = \"radians\";",
     1, "", "GridType=1 nCells=4 lon_vId=v:lonCell lat_vId=v:latCell"},
    {"RadiansOfOtherNamesAreNoPositions",
     "dimensions: nCells = 4; nEdges = 5;\n"
     "variables: double angleEdge(nEdges); angleEdge:units = \"radians\";\n"
     "  double xCell(nCells); xCell:units = \"radians\"; double yCell(nCells); yCell:units = \"rad\";",
     -1, "[pickCoordVariables] can not identify horizontal coordiantes", "lon_vId=-1 lat_vId=-1"},
    {"SigmaLayersOverNodesAreTheLevels",
     "dimensions: node = 5; nele = 2; three = 3; siglay = 2; siglev = 3; time = 2;\n"
     "variables: float lon(node); float lat(node); int nv(three, nele); float time(time);\n"
     "  float siglay(siglay, node); siglay:positive = \"up\";\n"
     "  float siglev(siglev, node); siglev:positive = \"up\";\n"
     "  float temp(time, siglay, node);",
     1, "", "level_vId=v:siglay level_dId=d:siglay kCell_dId=d:siglay kMax=2 LevelPick=1"},
    {"ValuesOverNodesThatSayNoLevel",
     "dimensions: node = 5; nele = 2; three = 3; k = 2;\n"
     "variables: float lon(node); float lat(node); int nv(three, nele); float salt(k, node);\n"
     "  float elevation(k, node); elevation:units = \"m\";",
     1, "", "level_vId=0 level_dId=-1 kMax=0 LevelPick=-1"},
    {"LevelOverOtherDimensionSetsK",
     "dimensions: lat = 2; lon = 2; k = 5;\n"
     "variables: float lat(lat); float lon(lon); float sigma(k);",
     1, "", "level_vId=v:sigma level_dId=d:k kCell_dId=d:k kMax=5 LevelPick=1"},
    {"UnlistedVerticalAxisByItsDirection",
     "dimensions: time = 2; lev_2 = 4; lat = 2; lon = 2;\n"
     "variables: double time(time); time:axis = \"T\"; float lat(lat); float lon(lon);\n"
     "  float lev_2(lev_2); lev_2:positive = \"down\"; float ta(time, lev_2, lat, lon);",
     1, "", "level_vId=v:lev_2 level_dId=d:lev_2 kCell_dId=-1 kMax=4 LevelPick=1"},
    {"UnlistedVerticalAxisByItsAxis",
     "dimensions: lat = 2; lon = 2; z_l = 3;\n"
     "variables: float lat(lat); float lon(lon); float x_l(z_l);\n"
     "  float z_l(z_l); z_l:axis = \"Z\";",
     1, "", "level_vId=v:z_l level_dId=d:z_l kMax=3 LevelPick=1"},
    {"ListedVerticalAxisBeforeAnUnlistedOne",
     "dimensions: lat = 2; lon = 2; lev_2 = 4; k = 3;\n"
     "variables: float lat(lat); float lon(lon); float lev_2(lev_2); lev_2:positive = \"up\";\n"
     "  float sigma(k);",
     1, "", "level_vId=v:sigma level_dId=d:k kMax=3"},
    {"DirectionOnlyOnCoordinateVariables",
     "dimensions: lat = 2; lon = 2; n = 3; m = 4;\n"
     "variables: float lat(lat); float lon(lon); lon:axis = \"X\"; float h(n);\n"
     "  h:positive = \"down\"; float w(m); w:axis = \"Y\";",
     1, "", "level_vId=0 level_dId=-1 kMax=0 LevelPick=-1"},
    {"LevelOverTimeIsNoVerticalAxis",
     "dimensions: lat = 2; lon = 2; time = 3;\n"
     "variables: float lat(lat); float lon(lon); float time(time); float depth(time);",
     1, "", "level_vId=0 level_dId=-1 kMax=0 LevelPick=-1"},
};
// clang-format on

} // namespace

TEST_P(CoordRecognition, RecognisesTheLayout) {
    const RecognitionCase& c = GetParam();
    const std::string aliases = c.aliases;
    for (Long i = 1; i <= CountTokens(aliases); ++i) {
        const std::string item = GetToken(aliases, i);
        const Long eq = InStr(item, "=");
        AddToAliasList(*k.AliasListByKey(Left(item, eq - 1)), Mid(item, eq + 1));
    }
    loadCdl(c.cdl);
    EXPECT_EQ(k.PickCoordVariables(1), c.result) << k.ErrorMessage;
    EXPECT_EQ(k.ErrorMessage, c.message);
    expectFields(c.fields);
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, CoordRecognition, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(CoordRecognitionTest, RecognitionIsRepeatable) {
    loadCdl("dimensions: node = 6; nele = 4; nface = 3; dimensions = 3; layers = 2; z = 2;\n"
            "variables: float lon(nele); float lat(nele); float zc(z); double time(nele);");
    ASSERT_EQ(k.PickCoordVariables(1), 1);
    const NcfRec first = rec();
    ASSERT_EQ(k.PickCoordVariables(1), 1);
    const NcfRec& second = rec();
    for (const auto& [name, field] : recordFields())
        EXPECT_EQ(second.*field, first.*field) << name;
}

TEST_F(CoordRecognitionTest, RecognitionResetsTheFieldsOfAnEarlierRun) {
    loadCdl("dimensions: lat = 2; lon = 3; time = 2;\n"
            "variables: float lat(lat); float lon(lon); double time(time);");
    NcfRec& r = rec();
    r.GridType = kGridFeMesh;
    r.nCells = 9;
    r.LLbyNodeOrEleement = 2;
    r.lonlatOrder = 3;
    r.TimePick = 7;
    r.LevelPick = 7;
    r.kMax = 8;
    ASSERT_EQ(k.PickCoordVariables(1), 1);
    EXPECT_EQ(r.GridType, kGridRegular);
    EXPECT_EQ(r.nCells, 0);
    EXPECT_EQ(r.LLbyNodeOrEleement, 0);
    EXPECT_EQ(r.lonlatOrder, -1);
    EXPECT_EQ(r.TimePick, 1);
    EXPECT_EQ(r.LevelPick, -1);
    EXPECT_EQ(r.kMax, 0);
}

TEST_F(CoordRecognitionTest, RecognitionOfASlotOutsideTheRecordsIsCaught) {
    EXPECT_EQ(k.PickCoordVariables(3), -1);
    EXPECT_EQ(k.ErrorMessage,
              "[PickCoordVariables] Error message (number 9)is:\r\n\"Subscript out of range\"");
}

// A WRF-like file: lon and lat over west_east and south_north, a level axis named lev_2 known
// only by its direction. Opened whole, the grid, its fields and its levels come out as for a
// file with named axes.
TEST_F(CoordRecognitionTest, AGridOverDimensionsOfOtherNamesOpensWhole) {
    loadCdl("dimensions: Time = UNLIMITED; lev_2 = 2; south_north = 3; west_east = 4;\n"
            "variables: double Time(Time); Time:units = \"hours since 2020-01-01\";\n"
            "  float lev_2(lev_2); lev_2:positive = \"down\"; lev_2:units = \"m\";\n"
            "  float XLONG(west_east); XLONG:units = \"degree_east\";\n"
            "  float XLAT(south_north); XLAT:units = \"degree_north\";\n"
            "  float T(Time, lev_2, south_north, west_east);\n"
            "data: Time = 0, 6; lev_2 = 5, 15; XLONG = 10, 11, 12, 13; XLAT = 50, 51, 52;\n"
            "  T = 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,\n"
            "      22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40,\n"
            "      41, 42, 43, 44, 45, 46, 47;",
            "wrf.nc");
    Kelvad kv;
    ASSERT_EQ(kv.Initialize(dir.file("wrf.nc")), 1) << kv.ErrorMessage;
    const NcfRec& r = kv.ncf(1);
    EXPECT_EQ(r.GridType, kGridRegular);
    EXPECT_EQ(r.nLon, 4);
    EXPECT_EQ(r.nLat, 3);
    EXPECT_EQ(r.kMax, 2);
    EXPECT_EQ(r.nTime, 2);
    EXPECT_FLOAT_EQ(r.westEnd, 10);
    EXPECT_FLOAT_EQ(r.eastEnd, 13);
    EXPECT_FLOAT_EQ(r.southEnd, 50);
    EXPECT_FLOAT_EQ(r.northEnd, 52);
    EXPECT_FLOAT_EQ(r.dLon, 1);
    const Long t = CLng(kv.getVarNum(1, "T"));
    EXPECT_EQ(r.vari(t).kind, 3);
    EXPECT_EQ(r.vari(t).lonlatOrder, 2); // latitude before longitude
    EXPECT_EQ(r.lonlatOrder, 2);
    VArray<double> levels;
    ASSERT_EQ(kv.doFill_vCoord(1, levels), 1);
    EXPECT_EQ(levels(1), 5);
    EXPECT_EQ(levels(2), 15);
}
