#include "viewer/export/ToCir.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "platform/Kovra.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/export/ExportKinds.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SideFormat.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/export/SubsetWriter.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>
#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kWho = "To_Cir";
constexpr Long kIntegerMax = std::numeric_limits<Integer>::max();

[[noreturn]] void failed(Long number, const std::string& description) {
    throw ErrorReport(kWho, number, description);
}

// Everything the file holds, made before it is started.
struct CirContent {
    Long NT = 1, Imax = 0, Jmax = 0;
    float dx = 0, dy = 0, lon0 = 0, lat0 = 0;
    // Per cell (j outer, i inner) the pairs of its steps in thousandths: 2 NT Integers.
    std::vector<Integer> pairs;
};

// The thousandths of a component as the file's Integer holds them; false when they leave its
// range (or the value is not a number).
bool thousandths(float value, Integer& out) {
    const float scaled = value * 1000.0f;
    const float rounded = std::nearbyint(scaled);
    if (!(rounded >= std::numeric_limits<Integer>::min() && rounded <= kIntegerMax)) return false;
    out = static_cast<Integer>(rounded);
    return true;
}

// The shape of the file from the description: the steps, Imax and Jmax, checked; the place of
// the longitude among the described dimensions (the last two are the horizontal ones,
// longitude and latitude in either order). A Refusal when they do not make a CIR window.
Long horizontalShape(IKelvad& nc, const SubsetDescription& sd, const DescribedWindow& w,
                     CirContent& cir) {
    const Long nd = sd.rank();
    if (w.timePos > 0) cir.NT = sd.countSub(w.timePos);
    if (nd < 1 || w.count(nd) <= 0 || w.total <= 0)
        Refuse("[To_Cir] Code error: Geogrphical miss-match");

    const Long lonD = nc.LondId(1), latD = nc.LatdId(1);
    Long lonPos = 0, latPos = 0;
    if (ExportKindOf(nc.GridType(1)).lonLatAxes && nd >= 2) {
        if (sd.dimIds(nd - 1) == lonD && sd.dimIds(nd) == latD) {
            lonPos = nd - 1;
            latPos = nd;
        } else if (sd.dimIds(nd - 1) == latD && sd.dimIds(nd) == lonD) {
            latPos = nd - 1;
            lonPos = nd;
        }
    }
    if (lonPos == 0 || sd.countSub(lonPos) == 0 || sd.countSub(latPos) == 0)
        Refuse("[To_Cir] can not define Imax,Jmax");
    cir.Imax = sd.countSub(lonPos);
    cir.Jmax = sd.countSub(latPos);
    // The spacing is taken from the first and last cells; the record fields are Integers.
    if (cir.Imax < 2 || cir.Jmax < 2 || cir.Imax > kIntegerMax || cir.Jmax > kIntegerMax ||
        cir.NT > kIntegerMax) {
        Refuse(std::string("[To_Cir] A CIR file needs from 2 to 32767 columns and rows, and at "
                           "most 32767 time steps:") +
               kCrLf + kCrLf + "Imax =" + Str(cir.Imax) + ", Jmax =" + Str(cir.Jmax) +
               ", time steps =" + Str(cir.NT));
    }
    // Any other dimension takes one index: one value per cell and step.
    if (w.total != int64_t{cir.NT} * cir.Imax * cir.Jmax || sd.nLonSub != cir.Imax ||
        sd.nLatSub != cir.Jmax)
        Refuse("[To_Cir] Code error: Geogrphical miss-match");
    return lonPos;
}

// The columns of a row that are filled: up to the view's east edge (longitude last) or north
// edge (latitude last); the cells beyond it keep (0, 0) pairs. Compared as Singles, in the
// units of the view (radians in Mercator mode).
Long columnsInView(const SubsetDescription& sd, bool lonLast) {
    const Long nd = sd.rank(), cols = sd.countSub(nd);
    const VArray<float>& lastAxis = lonLast ? Data.lonV : Data.latV;
    const float edge = static_cast<float>(lonLast ? View.ViewExtent.East : View.ViewExtent.North);
    Long inView = 0;
    for (Long c = 1; c <= cols; ++c, ++inView) {
        const Long q = sd.startSub(nd) + (c - 1) * sd.strideSub(nd);
        if (lastAxis.IsAllocated() && q >= lastAxis.LBound() && q <= lastAxis.UBound() &&
            lastAxis(q) > edge)
            break;
    }
    return inView;
}

// The values of both components in read order (steps, then the rows of the next-to-last
// dimension, then its last), each pair put at its cell in thousandths.
void placePairs(IKelvad& nc, const SubsetDescription& sd, const VArray<float>& uV,
                const VArray<float>& vV, bool lonLast, CirContent& cir) {
    const PickItem& u = sd.picks[0];
    const float factor = CentimetreFactor(u);
    const Long nd = sd.rank();
    const Long NT = cir.NT, rows = sd.countSub(nd - 1), cols = sd.countSub(nd);
    const Long inView = columnsInView(sd, lonLast);
    cir.pairs.assign(static_cast<std::size_t>(cir.Imax) * cir.Jmax * 2 * NT, 0);
    Long n = 0;
    for (Long k = 1; k <= NT; ++k)
        for (Long r = 1; r <= rows; ++r)
            for (Long c = 1; c <= cols; ++c) {
                ++n;
                if (c > inView) continue;
                const Long i = lonLast ? c : r, j = lonLast ? r : c;
                const float a = uV(n), b = vV(n);
                if (a <= NoVal || b <= NoVal) continue;
                const std::size_t at =
                    (static_cast<std::size_t>(j - 1) * cir.Imax + (i - 1)) * 2 * NT + 2 * (k - 1);
                const float pair[2] = {factor * a, factor * b};
                for (int m = 0; m < 2; ++m) {
                    if (thousandths(pair[m], cir.pairs[at + m])) continue;
                    const PickItem& p = sd.picks[static_cast<std::size_t>(m)];
                    Refuse(std::string("[To_Cir] A value does not fit the file's Integer field "
                                       "(thousandths from -32768 to 32767):") +
                           kCrLf + kCrLf + nc.variName(p.varNumber, p.datasetIndex) + " =" +
                           Str(pair[m]) + " at step" + Str(k) + ", cell" + Str(i) + "," + Str(j));
                }
            }
}

// The checks, the reads and the values; a Refusal when the file cannot be made.
void prepare(IKelvad& nc, const SubsetDescription& sd, CirContent& cir) {
    const DescribedWindow w = WindowOf(sd, false);
    const Long lonPos = horizontalShape(nc, sd, w, cir);
    const Long tcount = static_cast<Long>(w.total);

    VArray<float> uV, vV;
    for (const auto& [pick, values] : {std::pair{sd.picks[0], &uV}, std::pair{sd.picks[1], &vV}}) {
        if (!ReadPick(pick, *values, w.start, w.count, w.step, tcount))
            Refuse("[To_Cir] " + nc.ErrorMessage());
    }
    placePairs(nc, sd, uV, vV, lonPos == sd.rank(), cir);

    // The spacing of the cells written, in degrees.
    cir.lon0 = sd.lonSub(1);
    cir.lat0 = sd.latSub(1);
    cir.dx =
        static_cast<float>(static_cast<double>(sd.lonSub(cir.Imax) - cir.lon0) / (cir.Imax - 1));
    cir.dy =
        static_cast<float>(static_cast<double>(sd.latSub(cir.Jmax) - cir.lat0) / (cir.Jmax - 1));
}

void PutBlankInts(Long handle, Long n) {
    if (n < 1) return;
    const std::vector<char> zeros(static_cast<std::size_t>(n) * 2, 0);
    FPutBytes(handle, zeros.data(), zeros.size());
}

// The records, in order; the number written.
Long putRecords(Long h, CirContent& cir) {
    const Long NT = cir.NT, N = cir.Imax * cir.Jmax;
    const Long R = 18 + 4 * NT;
    Long records = 0;
    auto putLongs = [&](std::initializer_list<Long> values) {
        for (Long x : values)
            FPutT(h, x, 4);
        PutBlankInts(h, (R - 4 * static_cast<Long>(values.size())) / 2);
        ++records;
    };
    putLongs({R, 3 + NT + N, cir.Imax, cir.Jmax, N});
    putLongs({NT, 0, NT, 0, 0});
    for (float x : {cir.dx, cir.dy, cir.lon0, cir.lat0})
        FPutT(h, x, 4);
    PutBlankInts(h, (R - 16) / 2);
    ++records;
    for (Long k = 1; k <= NT; ++k) {
        std::string label = "nontide" + Str(k);
        label.resize(10, ' ');
        FPutT(h, label, 10);
        PutBlankInts(h, (R - 10) / 2);
        ++records;
    }
    const std::span<Integer> pairs(cir.pairs);
    Long number = 0;
    for (Long j = 1; j <= cir.Jmax; ++j)
        for (Long i = 1; i <= cir.Imax; ++i) {
            FPutT(h, ++number, 4);
            std::array<char, 14> fixed{};
            const float ten = 10.0f;
            const Integer ints[5] = {static_cast<Integer>(i), static_cast<Integer>(j), 0, 0, 0};
            std::memcpy(fixed.data(), &ten, 4);
            std::memcpy(fixed.data() + 4, ints, sizeof ints);
            FPutT(h, fixed, 14);
            ArrayDesc desc;
            fnAV(desc, pairs, static_cast<std::size_t>(number - 1) * 2 * NT);
            FPutA(h, desc, 4 * NT);
            ++records;
        }
    return records;
}

// The file through the file library: its temporary replaces the target at the close.
void writeFile(IKelvad& nc, const std::string& path, const SubsetDescription& sd, CirContent& cir) {
    if (const Long e = FCreate(path)) failed(e, ErrorText(static_cast<int>(e)));
    Long h = 0;
    if (const Long e = FOpenAll(path, kOpenWrite, 2, h)) {
        ClosePickDatasets(nc, sd);
        failed(e, ErrorText(static_cast<int>(e)));
    }
    try {
        if (putRecords(h, cir) != 3 + cir.NT + cir.Imax * cir.Jmax) Refuse("ndmax& <> mdmax&");
    } catch (...) {
        FAbandon(h);
        throw;
    }
    // The close renames the file over the target; a failure there keeps the old file.
    FClose(h);
}

} // namespace

Long To_Cir(SaveTarget target, const SubsetDescription& sd) {
    return RunSideWriter(kWho, target, [&](IKelvad& nc) {
        if (sd.picks.size() != 2) throw RuntimeError(err::InvalidCall);
        if (!PicksFitDescription(sd)) return false;
        Hourglass busy;
        CirContent cir;
        prepare(nc, sd, cir);
        writeFile(nc, target.Path(), sd, cir);
        return true;
    });
}
