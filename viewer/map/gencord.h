#pragma once
// The map transform of every map picture: longitude/latitude (view units: degrees in Cartesian
// mode, radians in Mercator mode) to picture positions and back, with one scale on both axes
// and the map centred; plus the zoom stack of the map window and the arrow-key pans.
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "viewer/map/SharedState.h"

class Picture;

// The program's own literals for the quarter and the full turn (not the exact values).
inline constexpr double kQuarterTurn = 0.78539815;
inline constexpr double kFullTurn = 6.2831852;
// Mercator latitudes are held within +-89.9 degrees, so that points at or near the poles keep
// their side of the equator instead of projecting to y = 0 or to infinity.
inline constexpr double kMercatorLatLimit = 89.9 * kDegToRad;

// The transform (View.MapX0 .. View.MapPicHeight, set by SetMapScale) and the zoom stack
// (View.ZoomStack, View.ZoomIndex) are part of the shared state (SharedState.h).

// Sets the transform for pic's scale size. 1 when set; -1 when the view has no extent, after
// printing "(no geographical extent)" into the picture.
Integer InitMapScale(Picture& pic);
// Sets the transform for a picture of width x height scale units. 0 when set, -1 on failure.
Long SetMapScale(Long width, Long height);
// Sets the transform for pic's scale size, rounded (halves to even) into width and height. 0
// when set; -1, after printing "(no geographical extent)" at (width / 4, height / 2), when the
// view has no extent. Every map frame starts with it.
Long SetPictureScale(Picture& pic, Long& width, Long& height);

// View units to picture position. 0, or -1 (x, y unchanged) when the Mercator forward
// conversion refuses the point; the refusal is reported in message boxes.
Long ll2_to_xy2(float lon, float lat, float& x, float& y);
// The same without any message: for drawings that convert many points and report a failure
// once themselves.
Long ll2_to_xy2Quiet(float lon, float lat, float& x, float& y);
// The same through the transform t (a drawing's own, see RenderContext).
Long ll2_to_xy2Quiet(const ViewState& t, float lon, float lat, float& x, float& y);
// The two halves of the transform: in both projections a picture x depends on the longitude
// alone and a picture y on the latitude alone, so the columns and rows of a grid are each
// converted once. The same figures as ll2_to_xy2Quiet gives; -1 (unchanged) where it refuses.
Long lonToPicX(float lon, float& x);
Long latToPicY(float lat, float& y);
Long lonToPicX(const ViewState& t, float lon, float& x);
Long latToPicY(const ViewState& t, float lat, float& y);
// Picture position to view units. Always 0.
Long pix_to_ll(float px, float py, double& lon, double& lat);
// The longitudes (view units) at the left and right edges of the picture that the transform
// was last set for: a picture of another shape than the view shows more longitudes than the
// view holds. False, with west and east unchanged, when the transform in force was not set
// for the current view (a window worked out before any map frame, or after the view changed).
bool PictureLonEdges(double& west, double& east);
// The latitudes (view units) at the bottom and top edges of that picture, on the same terms.
bool PictureLatEdges(double& south, double& north);

// Mercator forward relative to a reference corner: 0, or -1 (x, y unchanged, with a message)
// when a coordinate lies beyond 32767 radians.
Integer rad_to_xy(double xlng, double ylat, double lng0, double lat0, double latc, double& x,
                  double& y);
// Mercator inverse. Always 0.
Long xy_to_rad(double x, double y, double lng0, double lat0, double latc, double& lng, double& lat);
// ln(tan(lat / 2 + quarter turn)) of lat held within kMercatorLatLimit.
double MercatorY(double lat);

// How box meets view, trying the longitude shifts none, +1 turn, -1 turn (one turn is
// unitFactor * 6.2831852 view units): -1 misses, 0 meets partly, 1 lies wholly inside.
// lonShift receives the shift that met (0 when none did).
Long BoxInView(const ViewRec& view, const ViewRec& box, double unitFactor, float& lonShift);

// The view is written only here; the windows change it through these.
// Shows extent on the map, the zoom stack left as it is.
void SetMapView(const ViewRec& extent);
// The first view of a dataset just loaded: extent shown, the zoom stack holding home alone as
// record 0 (the dataset's own extent, where zooming out comes back to).
void StartMapView(const ViewRec& extent, const ViewRec& home);
// Shows extent and puts it on the zoom stack as the record in force (a drag of the mouse, a
// stored subset window).
void ZoomTo(const ViewRec& extent);
// 0 Cartesian (degrees), 1 Mercator (radians); the longitude period follows.
void SetProjection(Long projection);
// The mode of the map picture (kMouse...).
void SetMouseMode(Long mode);
// The map takes a new section path: clicks add vertices from now on.
void StartSectionPath();
// Adds a vertex (view units) at the end of the section path.
void AddSectionPathVertex(float lon, float lat);

// Puts ViewExtent on the zoom stack as the record in force.
void PushZoom();
// Moves ViewExtent by a third of its size for the arrow keys 37 to 40 (other codes: no move);
// the record in force follows. Returns the new view.
ViewRec PanByArrowKey(Long keyCode);
// Goes back one zoom record; past record 0 it widens record 0 by 10 % on each side (in
// Mercator mode held within latitudes -1.22 .. 1.39 and longitudes -3.14 .. 3.14 radians or
// the dataset's extent, whichever is wider). Returns the record to show.
ViewRec ZoomOut();
