#pragma once
// The viewer's shared state: the module variables through which the windows, the loader, the
// dispatcher and the renderers hand data to each other. All of it lives for the whole run and
// starts as 0, empty or unallocated. Only the user-interface thread touches it. No Qt here: the
// map drawings and the tests reach it without any window.
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <string>

class IKelvad;

// An extent of the map or of a dataset: degrees when Projection = 0, radians when 1.
struct ViewRec {
    double West = 0;
    double East = 0;
    double South = 0;
    double North = 0;
};

// One picked item of the order window.
struct PickItem {
    Long varNumber = 0;    // the variable's number within its own dataset
    Long narray = 0;       // its number of dimensions
    Long datasetIndex = 0; // 1 main dataset, 2 second file
};

// A vertex of the section path, in the units of ViewExtent.
struct PathVertex {
    float lon = 0;
    float lat = 0;
};

// ---- Settings and start-up --------------------------------------------------------------------
extern std::string IniFile; // the settings file in use

// ---- The dataset ------------------------------------------------------------------------------
extern IKelvad* clsNC; // the viewer's one dataset object; replaced at every load
extern Long nNcMain;   // slot of the main dataset
extern Long nNcSecond; // slot of the second (V-component) dataset

// True when path names the file of one of the open datasets (the main dataset or the second
// file), however it is spelt (SameFile). Files the program writes refuse such a target.
bool IsOpenDataset(const std::string& path);

// ---- The remembered list ----------------------------------------------------------------------
extern VArray<std::string> URL; // 0 To nURL: URL(0) the current entry, 1.. the remembered list
extern Long nURL;
extern Long URLFilter;         // 0 all, 1 URLs only ("HTTP Only"), 2 files only
extern std::string SecondFile; // path or URL of the second file

// ---- Current step, level and picks ------------------------------------------------------------
extern Long CurTimeStep;       // 1-based
extern Long CurLevel;          // 1-based
extern VArray<PickItem> Picks; // 1 To PickCount
extern Long PickCount;

// ---- Coordinate arrays of the loaded dataset --------------------------------------------------
extern VArray<float> lonV, latV;         // radians when Projection = 1, else degrees
extern VArray<float> nodeLonV, nodeLatV; // node or element coordinates of meshes
extern VArray<Long> node1, node2, node3; // the three node numbers of each mesh triangle
extern VArray<double> timeV;             // raw time values
extern VArray<double> vCoordV;           // vertical coordinate values

// ---- Extents and map state ---------------------------------------------------------------------
extern ViewRec DataExtent; // horizontal extent of the loaded dataset
extern ViewRec ViewExtent; // extent of the map view
extern Long MouseState;    // mode of the map picture
extern Long CancelFlag;    // -1 asks a running animation to stop

// ---- Coastline
// ------------------------------------------------------------------------------------
extern std::string CoastFile;
extern Long CoastFlag; // 1 once a coastline file is known

// ---- Options
// ----------------------------------------------------------------------------------------
extern Long Projection; // 0 Cartesian (degrees), 1 Mercator (radians)
extern float LonPeriod; // 360, or 6.283185 in Mercator mode
extern Long OptShowGrid;
extern Long OptShowMesh;
extern float vscale; // length scale of vector arrows
extern Long SaveFormat;
extern Long ShowNote1, ShowNote2, ShowNote3;
extern Long ShortMsgAnswer;

// ---- Section path
// --------------------------------------------------------------------------------
extern Long SectionPathCount;
extern VArray<PathVertex> SectionPath; // 1 To SectionPathCount

// ---- Vector components of the main dataset ---------------------------------------------------
extern Long water_U_vId, water_V_vId, wind_U_vId, wind_V_vId;

// ---- Values of the last vector read ----------------------------------------------------------
// u and v of the last vector read of the maps (1 .. the read's count), in the order the read
// window walks the points; the probe and the writers read them too.
extern VArray<float> uV, vV;
// The missing-value mark of the u component, set by the cell-list vector maps: a cell whose u
// is not above it has no arrow.
extern float cellMisnVal;

// The program's title in boxes.
inline constexpr const char* kProgramTitle = "Pelorin";
// Degrees to radians as the program has always converted them (3.1415926 / 180).
inline constexpr double kDegToRad = 0.017453292222222222;

// Puts every shared variable back to its start value (tests run several start-ups in one
// process).
void ResetSharedState();

// ---- Arrow style (added for the start-up and the main window's menu) --------------------------
// The arrow style of the vector drawings (Vectors): 0 or 1 line arrows, 2 filled polygon arrows,
// above 90 glyph arrows. Set by the start-up and the main window's menu.
extern Long OptArrowStyle;
