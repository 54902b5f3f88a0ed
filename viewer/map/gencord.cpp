#include "viewer/map/gencord.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "runtime/Convert.h"
#include "runtime/Text.h"

#include <algorithm>
#include <cmath>

double MapX0 = 0, MapY0 = 0;
double MapLng0 = 0;
double MapLat0 = 0;
double MapLatC = 0;
double MapScale = 0;
double MapXOff = 0, MapYOff = 0;
float MapPicHeight = 0;

VArray<ViewRec> ZoomStack;
Long ZoomIndex = 0;

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

Long toPicture(float lon, float lat, float& x, float& y, bool quiet) {
    double u = lon;
    double v = lat;
    if (Projection == 1) {
        if (radToXy(lon, lat, MapLng0, MapLat0, MapLatC, u, v, quiet) == -1) {
            if (!quiet) ui().MsgBox("[rad_to_xy] rad_to_xy returned -1", kOkOnly, kProgramTitle);
            return -1;
        }
    }
    const double px = (u - MapX0) * MapScale + MapXOff;
    const double py = (v - MapY0) * MapScale + MapYOff;
    x = static_cast<float>(px);
    y = static_cast<float>(MapPicHeight - py);
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

Long SetMapScale(Long width, Long height) {
    if (ViewExtent.North - ViewExtent.South < 1e-10) return -1;
    if (width <= 0 && height <= 0) return -1;
    MapPicHeight = static_cast<float>(height);
    double right = 0;
    double top = 0;
    if (Projection == 1) {
        MapLng0 = ViewExtent.West;
        MapLatC = (ViewExtent.South + ViewExtent.North) / 2;
        if (rad_to_xy(ViewExtent.East, ViewExtent.North, MapLng0, ViewExtent.South, MapLatC, right,
                      top) == -1)
            return -1;
        MapX0 = 0;
        MapY0 = 0;
    } else {
        MapX0 = ViewExtent.West;
        MapY0 = ViewExtent.South;
        right = ViewExtent.East;
        top = ViewExtent.North;
    }
    MapLat0 = ViewExtent.South;
    const double dx = right - MapX0;
    const double dy = top - MapY0;
    MapXOff = 0.02 * width;
    MapYOff = 0.02 * height;
    if (dx < 1e-9 || dy < 1e-9) return -1;
    const double sx = (width - 2 * MapXOff) / dx;
    const double sy = (height - 2 * MapYOff) / dy;
    MapScale = MinD(sx, sy);
    MapXOff = (width - MapScale * dx) / 2;
    MapYOff = (height - MapScale * dy) / 2;
    return 0;
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
    MapPicHeight = static_cast<float>(CLng(pic.ScaleHeight()));
    Long w = 0, h = 0;
    return SetPictureScale(pic, w, h) == 0 ? 1 : -1;
}

Long ll2_to_xy2(float lon, float lat, float& x, float& y) {
    return toPicture(lon, lat, x, y, false);
}

Long ll2_to_xy2Quiet(float lon, float lat, float& x, float& y) {
    return toPicture(lon, lat, x, y, true);
}

Long pix_to_ll(float px, float py, double& lon, double& lat) {
    const double yUp = static_cast<double>(MapPicHeight) - py;
    // A picture of zero width has no scale: every position is the view's origin.
    const double u = MapScale != 0 ? (px - MapXOff) / MapScale + MapX0 : MapX0;
    const double v = MapScale != 0 ? (yUp - MapYOff) / MapScale + MapY0 : MapY0;
    if (Projection == 1) {
        xy_to_rad(u, v, MapLng0, MapLat0, MapLatC, lon, lat);
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

void PushZoom() {
    ZoomIndex = MaxL(AddL(ZoomIndex, 1), 0);
    ZoomStack.ReDimPreserve(0, ZoomIndex);
    ZoomStack(ZoomIndex) = ViewExtent;
}

ViewRec PanByArrowKey(Long keyCode) {
    const float w = static_cast<float>(ViewExtent.East - ViewExtent.West);
    const float h = static_cast<float>(ViewExtent.North - ViewExtent.South);
    switch (keyCode) {
    case 37:
        ViewExtent.West -= w / 3;
        ViewExtent.East -= w / 3;
        break;
    case 39:
        ViewExtent.West += w / 3;
        ViewExtent.East += w / 3;
        break;
    case 38:
        ViewExtent.North += h / 3;
        ViewExtent.South += h / 3;
        break;
    case 40:
        ViewExtent.North -= h / 3;
        ViewExtent.South -= h / 3;
        break;
    default:
        break;
    }
    if (ZoomIndex >= 0) ZoomStack(ZoomIndex) = ViewExtent;
    return ViewExtent;
}

ViewRec ZoomOut() {
    ZoomIndex = SubL(ZoomIndex, 1);
    if (ZoomIndex > 0) {
        ZoomStack.ReDimPreserve(0, ZoomIndex);
        return ZoomStack(ZoomIndex);
    }
    if (ZoomIndex == 0) return ZoomStack(0);
    ViewRec& r = ZoomStack(0);
    const float w = static_cast<float>(r.East - r.West);
    const float h = static_cast<float>(r.North - r.South);
    r.North = r.North + 0.1 * h;
    r.South = r.South - 0.1 * h;
    r.West = r.West - 0.1 * w;
    r.East = r.East + 0.1 * w;
    if (Projection == 1) {
        r.North = MinS(static_cast<float>(r.North), 1.39f);
        r.South = MaxS(static_cast<float>(r.South), -1.22f);
        // Half a turn each way from Greenwich, but never less than the dataset: a grid kept
        // from 0 to 360 degrees must still show whole.
        const float westLimit = MinS(-3.14f, static_cast<float>(DataExtent.West));
        const float eastLimit = MaxS(3.14f, static_cast<float>(DataExtent.East));
        r.West = MaxS(static_cast<float>(r.West), westLimit);
        r.East = MinS(static_cast<float>(r.East), eastLimit);
    }
    return r;
}
