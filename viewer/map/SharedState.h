#pragma once
// The viewer's shared state: what the windows, the loader, the dispatcher and the renderers hand
// to each other. It is grouped by concern into a few structs, each with one global instance:
//   Opt    the settings file, the options and the remembered list
//   Coast  the coastline file, its style and the directory of its segments
//   Data   the dataset, its coordinates and the picks
//   Win    the read window and the values the last reads returned
//   View   the map view, its units, the transform and the zoom stack
//   Scale  the colour range and scheme
//   Anim   the stop request of a running animation
// All of it lives for the whole run and starts as 0, empty or unallocated; ResetSharedState puts
// it back there. Only the user-interface thread touches it. No Qt here: the map drawings and the
// tests reach it without any window.
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <cstddef>
#include <string>
#include <vector>

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

// One copy of a global grid beyond the longitude seam (see ReadWindow.h): the read window with
// the longitude entry of its own, the shift of its longitudes, and the longitude indices it may
// take.
struct SeamWindow {
    VArray<Long> startp, endp, countp, stride; // same shape as the read window
    Long tcount = 0;                           // values of one read of it
    float shift = 0;                           // a whole number of LonPeriod, added to lonV
    // A copy never repeats a place that its neighbour holds: on a grid whose last column is its
    // first one period on (0 .. 360), copies to the west leave out that last column and copies
    // to the east the first.
    Long lonFirst = 1, lonLast = 0;
    // The values the last grid drawing read through it; valid only while read is true (every
    // CalculateGridScalar drops them).
    VArray<float> values;
    bool read = false;
    // The same for the u and v components of the last vector drawing (pairRead).
    VArray<float> uValues, vValues;
    bool pairRead = false;
};

// One entry of the coastline's segment directory (see DrawCost.h): entry 0 describes the file
// (largest count, file box), entry k segment k (its count, where its points start in
// CoastPoints, its box). Boxes are as the file holds them, in radians.
struct CoastSegEntry {
    Long PointCount = 0;
    std::size_t First = 0; // index of its first point in CoastPoints
    float West = 0;
    float East = 0;
    float South = 0;
    float North = 0;
};

// ---- Settings, options and the remembered list --------------------------------------------------
struct SettingsState {
    std::string IniFile; // the settings file in use

    // The remembered list
    VArray<std::string> URL; // 0 To nURL: URL(0) the current entry, 1.. the remembered list
    Long nURL = 0;
    Long URLFilter = 0; // 0 all, 1 URLs only ("HTTP Only"), 2 files only

    // Options of the main window's menu and the settings file
    Long OptShowGrid = 0;
    Long OptShowMesh = 0;
    // The arrow style of the vector drawings (Vectors): 0 or 1 line arrows, 2 filled polygon
    // arrows, above 90 glyph arrows.
    Long OptArrowStyle = 0;
    float vscale = 0; // length scale of vector arrows
    Long SaveFormat = 0;
    Long ShowNote1 = 0;
    Long ShowNote2 = 0;
    Long ShowNote3 = 0;
    Long ShortMsgAnswer = 0; // the answer of the last three-button box (ShortMsg): 6, 7 or 2

    void Reset() { *this = {}; }
};
extern SettingsState Opt;

// ---- The coastline ------------------------------------------------------------------------------
struct CoastState {
    std::string CoastFile;
    Long CoastFlag = 0;    // 1 once a coastline file is known
    Long CoastColor = 0;   // line colour (palette colour 7, set at start-up)
    Long OptCoastLine = 0; // coastline style of the menu; the drawing ignores it
    // The coastline as read from its file, held for the whole run so that every later drawing
    // (zoom, pan, animation step, the other projection) reads nothing.
    std::string CoastCacheFile;             // file whose contents are held; "" when none
    std::vector<CoastSegEntry> CoastSegDir; // entries 0 .. n
    std::vector<float> CoastPoints;         // longitude, latitude of every point, in radians

    void Reset() { *this = {}; }
};
extern CoastState Coast;

// ---- The dataset, its coordinates and the picks -------------------------------------------------
struct DatasetState {
    IKelvad* clsNC = nullptr; // the viewer's one dataset object; replaced at every load
    Long nNcMain = 0;         // slot of the main dataset
    Long nNcSecond = 0;       // slot of the second (V-component) dataset
    std::string SecondFile;   // path or URL of the second file

    // Current step, level and picks
    Long CurTimeStep = 0;   // 1-based
    Long CurLevel = 0;      // 1-based
    VArray<PickItem> Picks; // 1 To PickCount
    Long PickCount = 0;

    // Coordinate arrays of the loaded dataset
    VArray<float> lonV, latV;         // radians when Projection = 1, else degrees
    VArray<float> nodeLonV, nodeLatV; // node or element coordinates of meshes
    VArray<Long> node1, node2, node3; // the three node numbers of each mesh triangle
    VArray<double> timeV;             // raw time values
    VArray<double> vCoordV;           // vertical coordinate values
    ViewRec DataExtent;               // horizontal extent of the loaded dataset

    // Vector components of the main dataset
    Long water_U_vId = 0, water_V_vId = 0, wind_U_vId = 0, wind_V_vId = 0;

    // Land and sea boundary segments of a finite-volume mesh (see FvBounds.h): (1, k) the larger
    // and (2, k) the smaller node number of segment k, node numbers indexing nodeLonV/nodeLatV.
    // Unallocated when empty. They stay until the next MakeFvBounds; loading another dataset
    // does not clear them.
    VArray<Long> fvlands; // 1 To 2, 1 To nfvlands
    Long nfvlands = 0;
    VArray<Long> fvseas; // 1 To 2, 1 To nfvseas
    Long nfvseas = 0;
    // The boundary cache file of the dataset last prepared; "" when it has none (a URL, or a
    // name that would be the dataset itself).
    std::string BndFile;

    void Reset() { *this = {}; }
};
extern DatasetState Data;

// ---- The read window and the values last read (see ReadWindow.h) -------------------------------
struct ReadWindowState {
    // The read window (1 .. nd each)
    VArray<Long> startp; // first index of each dimension (1-based)
    VArray<Long> endp;   // last index of the window in each dimension
    VArray<Long> countp; // number of indices taken
    VArray<Long> stride; // step between the indices taken
    Long tcount = 0;     // values of one read: the product of countp

    // The seam windows, west to east; empty when the view reaches no copy.
    std::vector<SeamWindow> seamWindows;
    Long tcount2 = 0; // the values of all seam windows together; 0: there is no seam window

    // The values of the last scalar read of the maps (1 .. the read's count). The probe and the
    // writers read them too.
    VArray<float> scalarV;
    // u and v of the last vector read of the maps (1 .. the read's count), in the order the
    // read window walks the points; the probe and the writers read them too.
    VArray<float> uV, vV;
    // The missing-value mark of the u component, set by the cell-list vector maps: a cell whose
    // u is not above it has no arrow.
    float cellMisnVal = 0;

    void Reset() { *this = {}; }
};
extern ReadWindowState Win;

// ---- The map view, its units, the transform and the zoom stack ---------------------------------
// The modes of the map picture (ViewState::MouseState). Loading starts below zoom: each resize
// of the window counts the mode up, and the one that reaches zoom mode draws the map.
inline constexpr Long kMouseLoading = -3;     // set by the window's load
inline constexpr Long kMouseZoom = 0;         // a drag zooms in, a double click zooms out
inline constexpr Long kMouseSectionPath = 11; // clicks add path vertices, a double click ends

struct ViewState {
    ViewRec ViewExtent;           // extent of the map view
    Long Projection = 0;          // 0 Cartesian (degrees), 1 Mercator (radians)
    float LonPeriod = 0;          // 360, or 6.283185 in Mercator mode
    Long MouseState = kMouseZoom; // mode of the map picture (kMouse...)

    // The transform (set by SetMapScale, see gencord.h)
    double MapX0 = 0, MapY0 = 0;     // origin: west and south (Cartesian), 0 and 0 (Mercator)
    double MapLng0 = 0;              // Mercator reference longitude: west of the view
    double MapLat0 = 0;              // Mercator reference latitude: south of the view
    double MapLatC = 0;              // Mercator scale latitude: middle of the view
    double MapScale = 0;             // picture units per view (or projected) unit
    double MapXOff = 0, MapYOff = 0; // centring offsets; MapYOff counted up from the bottom edge
    float MapPicHeight = 0;          // picture height the transform was set for

    // The zoom stack
    VArray<ViewRec> ZoomStack; // records 0 .. ZoomIndex (record 0 set by the loader)
    Long ZoomIndex = 0;        // the record in force; can go below 0 (see ZoomOut)

    // The section path, in the units of ViewExtent
    Long SectionPathCount = 0;
    VArray<PathVertex> SectionPath; // 1 To SectionPathCount

    void Reset() { *this = {}; }
};
extern ViewState View;

// ---- The colour scale (see CScale.h) ------------------------------------------------------------
struct ColorScaleState {
    float ScaleMax = 0, ScaleMin = 0; // the colour range
    // Tens digit: 1 single-hue ramp, 2 diverging ramp, 3 three-part ramp, other values black.
    // Also the layout of the key: 10 and 30 boxes with eleven labels, 31 labels only, 20 boxes
    // with ten labels, other values an empty key.
    Long ColorCode = 0;
    Long col_opt = 0; // variant of the scheme: 1..4 for scheme 1, 0..4 for scheme 3

    void Reset() { *this = {}; }
};
extern ColorScaleState Scale;

// ---- Animation ----------------------------------------------------------------------------------
struct AnimationState {
    Long CancelFlag = 0;  // -1 asks a running animation to stop
    bool Running = false; // a time loop is under way, letting events in between its steps

    void Reset() { *this = {}; }
};
extern AnimationState Anim;

// True when path names the file of one of the open datasets (the main dataset or the second
// file), however it is spelt (SameFile). Files the program writes refuse such a target.
bool IsOpenDataset(const std::string& path);

// Where a file that the program writes for its own use (temp.cdl, average.uv) goes: the folder
// of the settings file in use, or beside the program when there is none.
std::string FileBesideSettings(const std::string& name);

// The number of mesh triangles in node1..node3 (a quadrangle of the file gives two, so it may
// exceed the element count); 0 unless all three lists are filled alike.
Long MeshTriangleCount();

// The program's title in boxes.
inline constexpr const char* kProgramTitle = "Pelorin";
// Degrees to radians as the program has always converted them (3.1415926 / 180).
inline constexpr double kDegToRad = 0.017453292222222222;

// Puts every part of the shared state back to its start value (tests run several start-ups in
// one process): the structs above, the settings file's report switch (PutString), and the
// state of every module that registered its reset.
void ResetSharedState();

// A reset of state that a module keeps of its own (the section window's, the stored subset
// window, the map transform's memo). The modules above the map cannot be named here, so each
// registers its reset at start-up:
//     const bool registered = RegisterSharedStateReset(&resetMine);
// ResetSharedState runs them after the structs, in the order registered. Returns true.
using SharedStateReset = void (*)();
bool RegisterSharedStateReset(SharedStateReset reset);
