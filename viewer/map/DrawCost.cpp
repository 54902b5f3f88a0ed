#include "viewer/map/DrawCost.h"

#include "common/Ui.h"
#include "gui/Picture.h"
#include "platform/Kovra.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/VArray.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <cstdint>
#include <limits>

namespace {

// The projection the directory's boxes were read in; a directory of the other one is not used.
Long cacheProjection = -1;

// Two Singles as they lie in the file.
struct SinglePair {
    float a = 0;
    float b = 0;
};

// A count field: its low 16 bits as a signed number.
Long countOf(Long raw) {
    return static_cast<Integer>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(raw)));
}

// A box read as west, east, then south, north, in view units.
CoastSegEntry readBox(Long handle, double u) {
    SinglePair we, sn;
    FGetT(handle, we, 8);
    FGetT(handle, sn, 8);
    CoastSegEntry e;
    e.West = we.a * u;
    e.East = we.b * u;
    e.South = sn.a * u;
    e.North = sn.b * u;
    return e;
}

ViewRec boxOf(const CoastSegEntry& e) {
    return ViewRec{e.West, e.East, e.South, e.North};
}

// A malformed count would overrun the point buffer: it fails the drawing instead.
void checkCount(Long count, Long maxCount) {
    if (count < 1 || count > maxCount) throw RuntimeError(err::Subscript);
}

// The position just after count points from pos. Kovra refuses a seek or read past the end of
// the file, so a count that runs past it fails the drawing there.
Long afterPoints(Long pos, Long count) {
    const std::int64_t next = std::int64_t{pos} + 8 * std::int64_t{count};
    if (next > std::numeric_limits<Long>::max()) throw RuntimeError(err::Overflow);
    return static_cast<Long>(next);
}

} // namespace

void DrawCoast(Picture& pic) {
    const Long keptColor = pic.ForeColor();
    pic.setForeColor(Coast.CoastColor);
    const double u = View.Projection == 1 ? 1.0 : 1.0 / kDegToRad;
    Long handle = 0;
    bool convertFailed = false;
    try {
        FOpenAll(Coast.CoastFile, kOpenRead, 0, handle);
        if (handle <= 0) {
            ui().MsgBox("[DrawCoast]", kOkOnly, kProgramTitle);
            pic.setForeColor(keptColor);
            return;
        }
        const bool cached = Coast.CoastFile == Coast.CoastCacheFile && !Coast.CoastSegDir.empty() &&
                            cacheProjection == View.Projection;

        CoastSegEntry head;
        if (cached) {
            head = Coast.CoastSegDir[0];
        } else {
            // The directory is rebuilt from here on: it no longer belongs to any file.
            Coast.CoastCacheFile.clear();
            FSeek(handle, 0);
            head = readBox(handle, u);
            Long maxCount = 0;
            Long unused = 0;
            FGetT(handle, maxCount, 4);
            FGetT(handle, unused, 4);
            head.PointCount = countOf(maxCount);
        }
        if (head.PointCount < 1) throw RuntimeError(err::Subscript);

        float lonShift = 0;
        const Long r0 = BoxInView(View.ViewExtent, boxOf(head), u, lonShift);
        bool complete = false;
        if (r0 != -1) {
            const Long maxCount = head.PointCount;
            VArray<SinglePair> points(1, maxCount);
            std::vector<PointApi> gdi(static_cast<std::size_t>(maxCount));
            ArrayDesc desc;
            Long n = 0;
            if (cached) {
                n = static_cast<Long>(Coast.CoastSegDir.size() - 1);
            } else {
                head.FilePos = FLoc(handle);
                Coast.CoastSegDir.assign(1, head);
                n = 2000000000;
            }
            Long k = 0;
            while (k < n && FEof(handle) == kFalse) {
                ++k;
                CoastSegEntry seg;
                if (cached) {
                    seg = Coast.CoastSegDir[static_cast<std::size_t>(k)];
                } else {
                    Long count = 0;
                    Long unused = 0;
                    FGetT(handle, count, 4);
                    FGetT(handle, unused, 4);
                    seg = readBox(handle, u);
                    seg.PointCount = countOf(count);
                    checkCount(seg.PointCount, maxCount);
                    seg.FilePos = FLoc(handle);
                    Coast.CoastSegDir.push_back(seg);
                }
                const Long count = seg.PointCount;
                checkCount(count, maxCount);

                if (r0 != 1) {
                    if (BoxInView(View.ViewExtent, boxOf(seg), u, lonShift) == -1) {
                        if (!cached) FSeek(handle, afterPoints(FLoc(handle), count));
                        continue;
                    }
                }
                if (cached) FSeek(handle, seg.FilePos);
                fnAV(desc, points, 1);
                FGetA(handle, desc, 8 * count);

                // A point the transform refuses is left out; the failure is reported once.
                Long used = 0;
                for (Long i = 1; i <= count; ++i) {
                    const SinglePair& p = points(i);
                    const float y = static_cast<float>(p.b * u);
                    const float x = static_cast<float>(p.a * u + lonShift);
                    float px = 0;
                    float py = 0;
                    if (ll2_to_xy2Quiet(x, y, px, py) == -1) {
                        convertFailed = true;
                        continue;
                    }
                    gdi[static_cast<std::size_t>(used)] = PointApi{CLng(px), CLng(py)};
                    ++used;
                }
                if (used > 0) Polyline(pic, gdi.data(), used);
            }
            complete = !cached && FEof(handle) != kFalse;
        }
        pic.Refresh();
        if (complete) {
            Coast.CoastCacheFile = Coast.CoastFile;
            cacheProjection = View.Projection;
        }
        FClose(handle);
        handle = 0;
    } catch (const RuntimeError& e) {
        ui().MsgBox("[DrawCoast]" + e.description() + kProgramTitle, kOkOnly, kProgramTitle);
    } catch (const std::exception&) {
        ui().MsgBox("[DrawCoast]" + ErrorText(7) + kProgramTitle, kOkOnly, kProgramTitle);
    }
    if (handle > 0) {
        pic.Refresh();
        FAbandon(handle);
    }
    if (convertFailed) ui().MsgBox("[DrawCoast] ll2_to_xy2 returned -1", kOkOnly, kProgramTitle);
    pic.setForeColor(keptColor);
}
