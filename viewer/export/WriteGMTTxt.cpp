#include "viewer/export/WriteGMTTxt.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SideFormat.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"

#include <vector>

namespace {

constexpr const char* kWho = "WriteGMTTxt";
constexpr const char* kCrLf = "\r\n";

void write(IKelvad& nc, const PickItem& pick, const SaveTarget& target) {
    const std::string& path = target.Path();
    std::vector<Long> ids;
    std::string why;
    if (!PickDimsInMain(pick, ids, why)) Refuse(why);
    // The grid's vector whole; a time or level dimension at the step and level shown.
    const Long nd = static_cast<Long>(ids.size());
    VArray<Long> start, count, step;
    if (nd >= 1) {
        start.ReDim(1, nd);
        count.ReDim(1, nd);
        step.ReDim(1, nd);
    }
    const Long timeD = nc.nTime(1) > 0 ? nc.TimedId(1) : -1;
    const Long levelD = nc.kMax(1) > 0 ? nc.LeveldId(1) : -1;
    int64_t total = nd > 0 ? 1 : 0;
    for (Long d = 1; d <= nd; ++d) {
        const Long id = ids[static_cast<std::size_t>(d - 1)];
        step(d) = 1;
        count(d) = 1;
        if (id >= 0 && id == timeD) {
            start(d) = std::max(Data.CurTimeStep, Long{1});
        } else if (id >= 0 && id == levelD) {
            start(d) = std::max(Data.CurLevel, Long{1});
        } else {
            start(d) = 1;
            count(d) = nc.dimeSize(id + 1, 1);
        }
        total *= count(d);
    }
    const Long nLon = nc.nLon(1), nLat = nc.nLat(1);
    if (nd < 1 || count(nd) <= 0 || total <= 0 || total != nc.nXysize(1) ||
        total > int64_t{nLon} * nLat)
        Refuse("[WriteGMTTxt] Code error: Geogrphical miss-match");
    const Long tcount = static_cast<Long>(total);

    VArray<float> values;
    if (!ReadPick(pick, values, start, count, step, tcount))
        Refuse(nc.ErrorMessage() + kCrLf + kCrLf +
                   GridWindowLines(pick.varNumber, tcount, nd, start, count, step),
               "[DrawGMTScalar] NetCDF Error", kCritical);

    SafeTextFile out;
    auto check = [&](int e) {
        if (e != 0) Refuse(SafeOutput::FailureText(kWho, path, e));
    };
    check(out.Open(target));
    // Rows from the northernmost latitude down.
    Long i = 0, j = nLat;
    for (Long n = 1; n <= tcount; ++n) {
        if (++i > nLon) {
            i = 1;
            --j;
        }
        const float value = values(n);
        if (value <= NoVal) continue;
        float lon = PositionDegrees(Data.lonV(i));
        if (lon > 180) lon -= 360;
        const float lat = PositionDegrees(Data.latV(j));
        check(out.Line(SignedField(lon, " ##0.00", " -##0.00") +
                       SignedField(lat, " ##0.00000", " -##0.00000") +
                       SignedField(value, " ###0.00", " -###0.00")));
    }
    check(out.Commit());
}

} // namespace

Long WriteGMTTxt(const PickItem& pick, SaveTarget target) {
    return RunSideWriter(kWho, target, [&](IKelvad& nc) {
        Hourglass busy;
        write(nc, pick, target);
        return true;
    });
}
