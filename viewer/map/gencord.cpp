#include "viewer/map/gencord.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMaxRadians = 32767;

Integer radToXy(double xlng, double ylat, double lng0, double lat0, double latc, double& x,
                double& y, bool quiet) {
    if (std::fabs(xlng) > kMaxRadians) {
        if (!quiet)
            ui().MsgBox("[rad_to_xy] out of range xlng= " + Str(xlng), kOkOnly, kProgramTitle);
        return -1;
    }
    if (std::fabs(ylat) > kMaxRadians) {
        if (!quiet)
            ui().MsgBox("[rad_to_xy] out of range ylat= " + Str(ylat), kOkOnly, kProgramTitle);
        return -1;
    }
    const double c = std::cos(latc);
    x = (xlng - lng0) * c;
    y = (MercatorY(ylat) - MercatorY(lat0)) * c;
    return 0;
}

// Map units (degrees, or Mercator units relative to the reference corner) to picture units.
float pictureX(const ViewState& t, double u) {
    return static_cast<float>((u - t.MapX0) * t.MapScale + t.MapXOff);
}
float pictureY(const ViewState& t, double v) {
    const double py = (v - t.MapY0) * t.MapScale + t.MapYOff;
    return static_cast<float>(t.MapPicHeight - py);
}

Long toPicture(const ViewState& t, float lon, float lat, float& x, float& y, bool quiet) {
    double u = lon;
    double v = lat;
    if (t.Projection == 1) {
        if (radToXy(lon, lat, t.MapLng0, t.MapLat0, t.MapLatC, u, v, quiet) == -1) {
            if (!quiet) ui().MsgBox("[rad_to_xy] rad_to_xy returned -1", kOkOnly, kProgramTitle);
            return -1;
        }
    }
    x = pictureX(t, u);
    y = pictureY(t, v);
    return 0;
}

} // namespace

double MercatorY(double lat) {
    lat = std::clamp(lat, -kMercatorLatLimit, kMercatorLatLimit);
    const double t = std::tan(lat / 2 + kQuarterTurn);
    return t > 0 ? std::log(t) : 0;
}

Integer rad_to_xy(double xlng, double ylat, double lng0, double lat0, double latc, double& x,
                  double& y) {
    return radToXy(xlng, ylat, lng0, lat0, latc, x, y, false);
}

Long xy_to_rad(double x, double y, double lng0, double lat0, double latc, double& lng,
               double& lat) {
    const double c = std::cos(latc);
    // A view centred on a pole has no east-west scale; keep the reference corner.
    if (c == 0) {
        lng = lng0;
        lat = lat0;
        return 0;
    }
    lng = x / c + lng0;
    lat = 2 * (std::atan(std::exp(y / c + MercatorY(lat0))) - kQuarterTurn);
    return 0;
}

namespace {

// The view, the projection and the picture width that the transform was last set for, and the
// transform itself: the picture's longitudes are known only while that transform is in force.
struct TransformSet {
    bool set = false;
    ViewRec view;
    Long projection = 0;
    Long width = 0, height = 0;
    double x0 = 0, xOff = 0, y0 = 0, yOff = 0, scale = 0, lng0 = 0, lat0 = 0, latC = 0;
};
TransformSet gSet;
// A fresh start has set no transform.
[[maybe_unused]] const bool kResetRegistered = RegisterSharedStateReset([] { gSet = {}; });

bool sameView(const ViewRec& a, const ViewRec& b) {
    return a.West == b.West && a.East == b.East && a.South == b.South && a.North == b.North;
}

} // namespace

Long SetMapScale(Long width, Long height) {
    if (View.ViewExtent.North - View.ViewExtent.South < 1e-10) return -1;
    if (width <= 0 && height <= 0) return -1;
    View.MapPicHeight = static_cast<float>(height);
    double right = 0;
    double top = 0;
    if (View.Projection == 1) {
        View.MapLng0 = View.ViewExtent.West;
        View.MapLatC = (View.ViewExtent.South + View.ViewExtent.North) / 2;
        if (rad_to_xy(View.ViewExtent.East, View.ViewExtent.North, View.MapLng0,
                      View.ViewExtent.South, View.MapLatC, right, top) == -1)
            return -1;
        View.MapX0 = 0;
        View.MapY0 = 0;
    } else {
        View.MapX0 = View.ViewExtent.West;
        View.MapY0 = View.ViewExtent.South;
        right = View.ViewExtent.East;
        top = View.ViewExtent.North;
    }
    View.MapLat0 = View.ViewExtent.South;
    const double dx = right - View.MapX0;
    const double dy = top - View.MapY0;
    View.MapXOff = 0.02 * width;
    View.MapYOff = 0.02 * height;
    if (dx < 1e-9 || dy < 1e-9) return -1;
    const double sx = (width - 2 * View.MapXOff) / dx;
    const double sy = (height - 2 * View.MapYOff) / dy;
    View.MapScale = MinD(sx, sy);
    View.MapXOff = (width - View.MapScale * dx) / 2;
    View.MapYOff = (height - View.MapScale * dy) / 2;
    gSet = {true,         View.ViewExtent, View.Projection, width,        height,
            View.MapX0,   View.MapXOff,    View.MapY0,      View.MapYOff, View.MapScale,
            View.MapLng0, View.MapLat0,    View.MapLatC};
    return 0;
}

namespace {

// Whether the transform in force is the one last set for the current view.
bool transformInForce() {
    return gSet.set && sameView(gSet.view, View.ViewExtent) &&
           gSet.projection == View.Projection && gSet.x0 == View.MapX0 &&
           gSet.xOff == View.MapXOff && gSet.y0 == View.MapY0 && gSet.yOff == View.MapYOff &&
           gSet.scale == View.MapScale && gSet.lng0 == View.MapLng0 &&
           gSet.lat0 == View.MapLat0 && gSet.latC == View.MapLatC &&
           gSet.height == View.MapPicHeight && View.MapScale > 0;
}

} // namespace

bool PictureLonEdges(double& west, double& east) {
    if (!transformInForce()) return false;
    double lat = 0;
    pix_to_ll(0, 0, west, lat);
    pix_to_ll(static_cast<float>(gSet.width), 0, east, lat);
    return west <= east;
}

bool PictureLatEdges(double& south, double& north) {
    if (!transformInForce()) return false;
    double lon = 0;
    pix_to_ll(0, static_cast<float>(gSet.height), lon, south);
    pix_to_ll(0, 0, lon, north);
    return south <= north;
}

Long SetPictureScale(Picture& pic, Long& width, Long& height) {
    width = CLng(pic.ScaleWidth());
    height = CLng(pic.ScaleHeight());
    if (SetMapScale(width, height) == 0) return 0;
    pic.setCurrentX(static_cast<float>(width) / 4);
    pic.setCurrentY(static_cast<float>(height) / 2);
    pic.Print("(no geographical extent)");
    return -1;
}

Integer InitMapScale(Picture& pic) {
    // The picture's height holds even when the view has no extent.
    View.MapPicHeight = static_cast<float>(CLng(pic.ScaleHeight()));
    Long w = 0, h = 0;
    return SetPictureScale(pic, w, h) == 0 ? 1 : -1;
}

Long ll2_to_xy2(float lon, float lat, float& x, float& y) {
    return toPicture(View, lon, lat, x, y, false);
}

Long ll2_to_xy2Quiet(float lon, float lat, float& x, float& y) {
    return toPicture(View, lon, lat, x, y, true);
}

Long ll2_to_xy2Quiet(const ViewState& t, float lon, float lat, float& x, float& y) {
    return toPicture(t, lon, lat, x, y, true);
}

Long lonToPicX(float lon, float& x) {
    return lonToPicX(View, lon, x);
}

Long lonToPicX(const ViewState& t, float lon, float& x) {
    double u = lon;
    if (t.Projection == 1) {
        if (std::fabs(u) > kMaxRadians) return -1;
        u = (u - t.MapLng0) * std::cos(t.MapLatC);
    }
    x = pictureX(t, u);
    return 0;
}

Long latToPicY(float lat, float& y) {
    return latToPicY(View, lat, y);
}

Long latToPicY(const ViewState& t, float lat, float& y) {
    double v = lat;
    if (t.Projection == 1) {
        if (std::fabs(v) > kMaxRadians) return -1;
        v = (MercatorY(v) - MercatorY(t.MapLat0)) * std::cos(t.MapLatC);
    }
    y = pictureY(t, v);
    return 0;
}

Long pix_to_ll(float px, float py, double& lon, double& lat) {
    const double yUp = static_cast<double>(View.MapPicHeight) - py;
    // A picture of zero width has no scale: every position is the view's origin.
    const double u =
        View.MapScale != 0 ? (px - View.MapXOff) / View.MapScale + View.MapX0 : View.MapX0;
    const double v =
        View.MapScale != 0 ? (yUp - View.MapYOff) / View.MapScale + View.MapY0 : View.MapY0;
    if (View.Projection == 1) {
        xy_to_rad(u, v, View.MapLng0, View.MapLat0, View.MapLatC, lon, lat);
    } else {
        lon = u;
        lat = v;
    }
    return 0;
}

Long BoxInView(const ViewRec& view, const ViewRec& box, double unitFactor, float& lonShift) {
    lonShift = 0;
    if (box.South > view.North || box.North < view.South) return -1;
    double shift = 0;
    if (!(box.West <= view.East && box.East >= view.West)) {
        const double p = unitFactor * kFullTurn;
        if (box.West + p <= view.East && box.East + p >= view.West) {
            shift = p;
        } else if (box.West - p > view.East || box.East - p < view.West) {
            return -1;
        } else {
            shift = -p;
        }
    }
    lonShift = static_cast<float>(shift);
    const double s = lonShift;
    if (view.South <= box.South && box.North <= view.North && view.West <= box.West + s &&
        box.East + s <= view.East)
        return 1;
    return 0;
}

void SetMapView(const ViewRec& extent) {
    View.ViewExtent = extent;
}

void StartMapView(const ViewRec& extent, const ViewRec& home) {
    View.ViewExtent = extent;
    View.ZoomIndex = 0;
    View.ZoomStack.ReDim(0, 0);
    View.ZoomStack(0) = home;
}

void ZoomTo(const ViewRec& extent) {
    View.ViewExtent = extent;
    PushZoom();
}

void SetProjection(Long projection) {
    View.Projection = projection;
    View.LonPeriod = projection == 0 ? 360.0f : 6.283185f;
}

void SetMouseMode(Long mode) {
    View.MouseState = mode;
}

void StartSectionPath() {
    View.MouseState = kMouseSectionPath;
    View.SectionPathCount = 0;
}

void AddSectionPathVertex(float lon, float lat) {
    View.SectionPathCount = AddL(View.SectionPathCount, 1);
    View.SectionPath.ReDimPreserve(1, View.SectionPathCount);
    View.SectionPath(View.SectionPathCount) = PathVertex{lon, lat};
}

void PushZoom() {
    View.ZoomIndex = MaxL(AddL(View.ZoomIndex, 1), 0);
    View.ZoomStack.ReDimPreserve(0, View.ZoomIndex);
    View.ZoomStack(View.ZoomIndex) = View.ViewExtent;
}

ViewRec PanByArrowKey(Long keyCode) {
    const float w = static_cast<float>(View.ViewExtent.East - View.ViewExtent.West);
    const float h = static_cast<float>(View.ViewExtent.North - View.ViewExtent.South);
    switch (keyCode) {
    case 37:
        View.ViewExtent.West -= w / 3;
        View.ViewExtent.East -= w / 3;
        break;
    case 39:
        View.ViewExtent.West += w / 3;
        View.ViewExtent.East += w / 3;
        break;
    case 38:
        View.ViewExtent.North += h / 3;
        View.ViewExtent.South += h / 3;
        break;
    case 40:
        View.ViewExtent.North -= h / 3;
        View.ViewExtent.South -= h / 3;
        break;
    default:
        break;
    }
    if (View.ZoomIndex >= 0) View.ZoomStack(View.ZoomIndex) = View.ViewExtent;
    return View.ViewExtent;
}

ViewRec ZoomOut() {
    View.ZoomIndex = SubL(View.ZoomIndex, 1);
    if (View.ZoomIndex > 0) {
        View.ZoomStack.ReDimPreserve(0, View.ZoomIndex);
        return View.ZoomStack(View.ZoomIndex);
    }
    if (View.ZoomIndex == 0) return View.ZoomStack(0);
    ViewRec& r = View.ZoomStack(0);
    const float w = static_cast<float>(r.East - r.West);
    const float h = static_cast<float>(r.North - r.South);
    r.North = r.North + 0.1 * h;
    r.South = r.South - 0.1 * h;
    r.West = r.West - 0.1 * w;
    r.East = r.East + 0.1 * w;
    if (View.Projection == 1) {
        r.North = MinS(static_cast<float>(r.North), 1.39f);
        r.South = MaxS(static_cast<float>(r.South), -1.22f);
        // Half a turn each way from Greenwich, but never less than the dataset: a grid kept
        // from 0 to 360 degrees must still show whole.
        const float westLimit = MinS(-3.14f, static_cast<float>(Data.DataExtent.West));
        const float eastLimit = MaxS(3.14f, static_cast<float>(Data.DataExtent.East));
        r.West = MaxS(static_cast<float>(r.West), westLimit);
        r.East = MinS(static_cast<float>(r.East), eastLimit);
    }
    return r;
}
