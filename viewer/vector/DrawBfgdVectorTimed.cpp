#include "viewer/vector/DrawBfgdVectorTimed.h"

#include "common/Ui.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "platform/AtomicFile.h"
#include "runtime/Color.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/VectorStages.h"
#include "viewer/map/VectorWalks.h"
#include "viewer/map/Vectors.h"

#include <cmath>
#include <exception>

namespace {

// The boxes of both boundary-fitted vector maps carry this name.
constexpr const char* kTag = "[DrawBfgdVector]";
constexpr const char* kCrLf = "\r\n";

// x in the pattern of its sign, applied to its magnitude: the negative pattern only when the
// magnitude shows a digit other than 0, so that no zero is written with a minus.
std::string signedField(float x, const char* positive, const char* negative) {
    const float magnitude = std::fabs(x);
    std::string text = Format(magnitude, positive);
    if (x < 0 && text.find_first_of("123456789") != std::string::npos)
        text = Format(magnitude, negative);
    return text;
}

// A position in degrees, whatever the map's units.
float inDegrees(const RenderContext& rc, float v) {
    return rc.view.Projection == 1 ? static_cast<float>(v / kDegToRad) : v;
}

// The mean of every node that had a vector in the period, drawn at the node, and the lines of
// average.uv for those nodes.
std::string drawMean(RenderContext& rc, const VectorFrame& vf, const BfgdNodes& g,
                     const PeriodSums& sums) {
    std::string text;
    // The sums hold drawn components already.
    VectorFrame asIs = vf;
    asIs.unitFactor = 1;
    ForEachWindowNode(g, vf.nd, sums.count.UBound(), [&](Long k, Long i, Long j) {
        float lon = 0, lat = 0;
        if (sums.count(k) <= 0 || !g.at(i, j, lon, lat)) return;
        const float n = static_cast<float>(sums.count(k));
        float u = sums.u(k) / n;
        float v = sums.v(k) / n;
        PairArrow(rc, asIs, u, v, lon, lat);
        text += AverageUvLine(i, j, inDegrees(rc, lon), inDegrees(rc, lat), 100 * u, 100 * v);
    });
    return text;
}

// Writes average.uv whole or not at all; a failure is reported.
void writeAverage(const std::string& text) {
    const std::string path = FileBesideSettings("average.uv");
    int e = IsOpenDataset(path) ? err::PermissionDenied : 0;
    AtomicFile file;
    if (e == 0) e = file.Open(path);
    if (e == 0) e = file.WriteAt(0, text.data(), text.size());
    if (e == 0) e = file.Commit();
    if (e == 0) return;
    file.Abandon();
    ui().MsgBox(std::string(kTag) + " Unable to write " + path + kCrLf + ErrorText(e), kOkOnly,
                kProgramTitle);
}

} // namespace

std::string AverageUvLine(Long i, Long j, float lon, float lat, float u, float v) {
    return Format(i, "000") + Format(j, " 000") + signedField(lon, " 000.00000", "-000.00000") +
           signedField(lat, "  000.00000", " -000.00000") + signedField(u, "  000.0", " -000.0") +
           signedField(v, "  000.0", " -000.0") + kCrLf;
}

Long DrawBfgdVectorTimed(Picture& pic) {
    RenderContext rc(pic, kTag);
    KeepPen pen(pic);
    if (!ScaleCheck(rc)) return -1;
    VectorFrame vf;
    try {
        BeginPair(rc, vf, Data.Picks(1), Data.Picks(2));
        PairLegend(vf, kKindZeroMagnitude);
        LoadVectorScale();
        ReferenceArrow(rc, vf);
        FindTimeAndLevel(rc);
        PinLevel(rc, Data.CurLevel);
        if (rc.timePos <= 0) {
            EndRender(rc);
            ui().MsgBox("Time dimension not found, or no timed file", kOkOnly, kProgramTitle);
            return -1;
        }

        const BfgdNodes g = BfgdNodesOf(rc, vf);
        PeriodSums sums;
        sums.Start(rc.win.tcount);
        // The speed line tells the last step drawn with values.
        float speed2Max = 0;
        const Long last = TimeLoop(rc, [&](RenderContext& r, Long) {
            const PairRead got = ReadPair(r, vf);
            if (got.failed()) {
                ShowPairReadFailure(r, vf);
                return false;
            }
            if (got.drawable()) {
                speed2Max = 0;
                WalkBfgdArrows(r, vf, g, PairKind::Components, speed2Max, &sums);
            }
            return true;
        });
        if (last < 0) return -1;

        // The mean on its own picture, in light blue; the title and the speed line after it in
        // the picture's own colour.
        const Long fore = pic.ForeColor();
        pic.setForeColor(QBColor(9));
        pic.Cls();
        ReferenceArrow(rc, vf);
        const std::string text = drawMean(rc, vf, g, sums);
        if (Coast.CoastFlag == 1) DrawCoast(pic);
        const std::string caption = "Average for the file period";
        pic.setCurrentX(static_cast<float>(rc.width) - 1.5f * pic.TextWidth(caption));
        pic.setCurrentY(static_cast<float>(rc.height) - pic.TextHeight(caption));
        pic.Print(caption);
        pic.setForeColor(fore);
        VectorFooter(rc, vf);
        SpeedRangeLine(rc, speed2Max);
        EndRender(rc);
        writeAverage(text);
        return last;
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), rc.tag);
        return -1;
    }
}
