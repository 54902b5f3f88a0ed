#pragma once
// The state of the section control: its dataset record, the arrays read from the dataset, the
// drawable items, the section path, the display switches and the colour key. One TyxModel
// serves every TyxSect of a process (the last call wins); it lives while any control does.
//
// Variable and dimension numbers follow the netCDF header: dimension ids are the library's
// ids from 0 (-1 for none); variable fields (lon_vId, nvar_it, ...) are 1-based indices into
// vari, the library's id plus 1 (0 for none).
#include "common/Calendar.h"
#include "common/ClassicHeader.h"
#include "common/SectionColumn.h"
#include "common/SectionPath.h"
#include "runtime/Date.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <array>
#include <string>
#include <vector>

// Limits of a variable record.
constexpr Long kMaxVarDims = 5;
// Names as long as this, or longer, are reported while the header is read.
constexpr Long kLongName = 45;

// The no-value mark of the section reads.
constexpr float kNoVal = -1e35f;

struct OcxDime {
    std::string name;
    Long size = 0;      // records written, for the unlimited dimension
    Long unLimited = 0; // 1 for the unlimited dimension
};

struct OcxVari {
    std::string name;
    std::string longName; // the attribute beginning LONG_NAME
    Long type = 0;        // netCDF type code
    Long narray = 0;      // number of dimensions, 0 for a scalar
    // Entries 1 to narray, slowest first; entry 0 is not used.
    std::array<Long, kMaxVarDims + 1> arrayDimId{};
    std::array<std::string, kMaxVarDims + 1> arrayDimName;
    Long nattri = 0;
    // Entries 1 to nattri, in the library's order; entry 0 is not used. Every attribute is
    // kept: files converted from GRIB give their packing after many others.
    std::vector<std::string> attName;
    std::vector<Long> attType;
    std::vector<std::string> attValue; // trimmed value texts
    double byteSize = 0;               // byteUnit times every dimension's size
    Long byteUnit = 0;                 // bytes of one value, 0 for other types
    double validMin = 0, validMax = 0; // first and second word of a VALID...
    double MisnVal = 0;                // missing value, 0 for none
    // Without a missing or fill value of its own, the library's default fill of the type
    // marks the values never written (0 for none).
    double DefaultFill = 0;
    double scale = 1;
    double offset = 0;
    std::string unit; // the attribute beginning UNIT
};

// The dataset record of the control's reader.
struct OcxNcf {
    std::string FName;  // path or URL, set at the end of a successful header read
    std::string FName2; // a second file; nothing sets it
    Long nDims = 0;
    Long nVars = 0;
    Long ncid = -1;        // the open file, -1 when closed
    ClassicLayout classic; // where a local classic FName keeps its values; reads are checked
    Long UnLimDId = -1;
    Long nGatts = 0;
    // Global attributes, entries 1 to nGatts (entry 0 stays empty).
    VArray<std::string> gAttName;
    VArray<std::string> gAttValue;
    VArray<Long> gAttType;

    // Coordinate roles (recognition) and the grid spacing (coordinate arrays).
    Long lonlatOrder = -1; // -1 not known yet, 0 cell grid, 1 (..., lon, lat), 2 (..., lat, lon)
    float dlon = 0, dlat = 0;
    Long lon_dId = -1, lon_vId = 0;
    Long lat_dId = -1, lat_vId = 0;
    Long time_dId = -1, time_vId = 0;
    Long TimePick = -1;
    Long level_dId = -1, level_vId = 0;
    Long LevelPick = -1;
    Long nCell_dId = -1, iCell_dId = -1, jCell_dId = -1, kCell_dId = -1;

    // Time axis.
    Date EpochDate;
    Date startDate;
    std::string StartTime, endTime;
    std::string timeUnit;
    // The time variable's calendar: axis dates count days in it (common/Calendar.h).
    Calendar calendar = Calendar::Standard;

    VArray<OcxDime> dime; // 1 To nDims; not allocated without dimensions
    VArray<OcxVari> vari; // 1 To nVars; not allocated without variables
};

// Coordinate values read from one dataset.
struct GeoArrays {
    Long nTime = 0;
    VArray<double> TimeValue; // 1 To nTime
    Long nvcoord = 0;
    // The levels as depths below the surface, shallowest first, whatever way the file keeps
    // them: 0 To nvcoord, element 0 stays 0. A level axis with positive = "up", or one of
    // values 0 and below without a positive attribute (depths stored negative, sigma), is
    // turned round; pressure and depth axes stay as they are, sorted top first.
    VArray<double> vCoord;
    // LevelIndex(k): the file's level (from 1) of vCoord(k), 1 To nvcoord.
    VArray<Long> LevelIndex;
    // The level variable's units as the depth axis shows them ("" for none), and whether the
    // axis spans the levels alone (pressure, dimensionless levels) rather than starting at
    // the surface.
    std::string levelUnits;
    bool levelsOwnRange = false;
    Long nlon = 0, nlat = 0;
    // Regular grid: LonGrid(1 To nlon), LatGrid(1 To nlat). Cell grid: both (1 To jcells,
    // 1 To icells). Cell list: both 1 To ncells.
    VArray<float> LonGrid, LatGrid;
    Long ncells = 0, icells = 0, jcells = 0;
};

// One variable that can be drawn as a section.
struct DrawAbleItemRec {
    float max = 0;  // largest valid value of the last read
    float min = 0;  // smallest valid value of the last read
    float high = 0; // display upper bound
    float low = 0;  // display lower bound
    float step = 0; // contour interval
    std::string units;
    std::string name;
    Long nvar = 0; // index into vari
};

struct ItemList {
    Long NumDrawAbleItems = 0;
    VArray<DrawAbleItemRec> DrawAbleItem; // 1 To NumDrawAbleItems
};

// Everything NcFile reads from one dataset; taken over whole once the dataset has opened.
struct Dataset {
    OcxNcf ncf;
    GeoArrays geo;
    ItemList items;
};

// The read window of the strided reads, one entry per dimension of the variable, slowest
// first: starts from 0, counts and strides.
using ReadWindow = SectionWindow;

// Drawing state, the section path and what the drawings share.
struct TyxMainState {
    std::string NcFileName;
    Long CurTime = 0;
    Long ViewStyle = 0; // 1 profiles, 2 section, 0 nothing (before the first NcFile)
    Long Item_shown = 0;
    Long nvar_it = 0;
    Long ShowLegend = 0, ShowDateTime = 0, ShowXAxis = 0, ShowDepthAxis = 0;
    Long SingleGraph = 0;

    VArray<SectPointRec> SectPoint; // 1 To nSectPoint
    Long nSectPoint = 0;

    GeoArrays geo;
    ItemList items;

    // Each successful NcFile numbers its dataset; the section cells belong to the dataset
    // whose number SectionDataset holds (0: no section). A dataset on the same grid takes
    // the section over.
    Long DatasetNumber = 0;
    Long SectionDataset = 0;
    SectionCells section; // the cells of the last successful EndSection

    // The last successful read along the section, drawn again by ReDraw: SectData(1 To
    // nSectCell, 1 To nvcoord) with kNoVal where there is no value, the item it read, and
    // the value of the last level. Not allocated while nothing is held (no read yet, or a new
    // dataset or section since).
    VArray<float> SectData;
    Long SectDataItem = 0;
    float MaxDepth = 0;

    VArray<std::string> Titles; // 1 To nTitles
    Long nTitles = 0;

    ReadWindow window;
};

struct ColorKeyRec {
    Long count = 0; // divisions; -1 after a failed KEW read
    VArray<Long> color;
    VArray<float> low, high;
};

struct ModColorState {
    ColorKeyRec ColorKey;
    Long UseColorKeyFlag = 0; // -1 the key colours the drawing, 0 the ramp does
    float RampRange = 0, RampLow = 0;
};

struct OcxContrState {
    Long ContourFlag = 0; // 1 contour lines on the section
    Long ContourColor = 0;
    Long ContourWidth = 0;
};

struct TyxModel {
    std::string ErrorMessage; // the last failure; never cleared
    // The host's settings file: keys of datasets opened by URL are kept in its folder.
    std::string SettingsFile;
    TyxMainState main;
    OcxNcf reader; // the dataset record
    ModColorState colour;
    OcxContrState contour;
};
