#include "viewer/export/ToTxt.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/export/ExportKinds.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SideFormat.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/export/WriteGMTTxt.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"

namespace {

constexpr const char* kWho = "To_Txt";

// A node's position from the description's cuts, which hold every grid point: i-major in one
// dimension, or (j, i).
float nodeAt(const VArray<float>& cut, Long i, Long j, Long jMax) {
    return cut.Rank() == 2 ? cut(j, i) : cut((i - 1) * jMax + j);
}

void check(SafeTextFile& out, int error, const std::string& path) {
    if (error == 0) return;
    out.Abandon();
    Refuse(SafeOutput::FailureText(kWho, path, error));
}

void write(IKelvad& nc, const SaveTarget& target, const SubsetDescription& sd) {
    const std::string& path = target.Path();
    const Long nd = sd.rank();
    DescribedWindow w = WindowOf(sd, true);
    const Long timePos = w.timePos;
    const Long NT = timePos > 0 ? sd.countSub(timePos) : 1;
    const int64_t total = w.total;
    if (nd < 1 || w.count(nd) <= 0 || total <= 0)
        Refuse("[To_TXT] Error: countp&(nd&)Or tcount& <= 0 ");

    // The last two dimensions are the grid's i and j, in either order.
    const Long iD = nc.iCelldId(1), jD = nc.jCelldId(1);
    const bool ij = nd >= 2 && sd.dimIds(nd - 1) == iD && sd.dimIds(nd) == jD;
    const bool ji = nd >= 2 && sd.dimIds(nd - 1) == jD && sd.dimIds(nd) == iD;
    if (!ij && !ji) Refuse("[To_Cir] can not define Imax,Jmax");
    const Long rows = sd.countSub(nd - 1), cols = sd.countSub(nd);
    if (total != int64_t{rows} * cols)
        Refuse("[To_Txt] Only one value per node and step can be written: the dimensions other "
               "than time, level, i and j must take one index each.");
    const Long tcount = static_cast<Long>(total);
    const Long jMax = nc.jMax(1);
    if (!sd.lonSub.IsAllocated() || !sd.latSub.IsAllocated())
        Refuse("[To_Cir] can not define Imax,Jmax");

    const Long picks = static_cast<Long>(sd.picks.size());
    const Long reads = picks <= 2 ? picks : 0; // three or more picks: positions only
    const float factor = picks == 2 ? CentimetreFactor(sd.picks[0]) : 1.0f;
    VArray<float> uV, vV;

    SafeTextFile out;
    if (const int e = out.Open(target)) Refuse(SafeOutput::FailureText(kWho, path, e));
    for (Long k = 1; k <= NT; ++k) {
        const Long t = timePos > 0 ? sd.startSub(timePos) + (k - 1) * sd.strideSub(timePos) : k;
        if (timePos > 0) w.start(timePos) = t;
        for (Long m = 1; m <= reads; ++m) {
            if (ReadPick(sd.picks[static_cast<std::size_t>(m - 1)], m == 1 ? uV : vV, w.start,
                         w.count, w.step, tcount))
                continue;
            out.Abandon();
            Refuse("[To_Txt]" + nc.ErrorMessage());
        }
        // Missing values are written as 0; a pair is missing when either component is.
        for (Long n = 1; n <= tcount && reads > 0; ++n) {
            if (reads == 1) {
                if (uV(n) <= NoVal) uV(n) = 0;
            } else if (uV(n) <= NoVal || vV(n) <= NoVal) {
                uV(n) = 0;
                vV(n) = 0;
            } else {
                uV(n) = uV(n) * factor;
                vV(n) = vV(n) * factor;
            }
        }
        check(out, out.Line(Str(t) + " " + nc.DatePicked(t, 1)), path);
        Long n = 0;
        for (Long r = 0; r < rows; ++r) {
            const Long p = sd.startSub(nd - 1) + r * sd.strideSub(nd - 1);
            for (Long c = 0; c < cols; ++c) {
                const Long q = sd.startSub(nd) + c * sd.strideSub(nd);
                const Long i = ij ? p : q, j = ij ? q : p;
                ++n;
                std::string line = Format(i, "000") + Format(j, " 000");
                line += SignedField(nodeAt(sd.lonSub, i, j, jMax), "  000.00000", " -000.00000");
                line += SignedField(nodeAt(sd.latSub, i, j, jMax), "  00.00000", " -00.00000");
                if (reads >= 1) line += SignedField(uV(n), "  0.000", " -0.000");
                if (reads == 2) line += SignedField(vV(n), "  0.000", " -0.000");
                check(out, out.Line(line), path);
            }
        }
    }
    check(out, out.Commit(), path);
}

} // namespace

Long To_Txt(SaveTarget target, const SubsetDescription& sd) {
    // One pick of a GMT grid is its point text; otherwise only the kinds the table writes here.
    const ExportKind& kind = MainExportKind();
    if (kind.gmtPointText && sd.picks.size() == 1) return WriteGMTTxt(sd.picks.front(), target);
    return RunSideWriter(kWho, target, [&](IKelvad& nc) {
        if (kind.textRefusal != nullptr) Refuse(kind.textRefusal);
        if (!PicksFitDescription(sd)) return false;
        Hourglass busy;
        write(nc, target, sd);
        return true;
    });
}
