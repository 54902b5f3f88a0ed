#include "viewer/map/DrawCost.h"

#include "common/Ui.h"
#include "gui/Picture.h"
#include "platform/Kovra.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kHeaderBytes = 24;
constexpr std::size_t kSegmentHeaderBytes = 24;
constexpr std::size_t kPointBytes = 8;

// What one reading of the file gave: the file's entry and the segments before the first
// fault, with their points, and that fault's run-time error number (0 when the whole file was
// read).
struct CoastRead {
    std::vector<CoastSegEntry> dir;
    std::vector<float> points;
    int fault = 0;
};

template <class T> T valueAt(const std::vector<char>& bytes, std::size_t pos) {
    T v{};
    std::memcpy(&v, bytes.data() + pos, sizeof v);
    return v;
}

// A count field: its low 16 bits as a signed number.
Long countOf(Long raw) {
    return static_cast<Integer>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(raw)));
}

// A box as the file holds it: west, east, south, north.
CoastSegEntry boxAt(const std::vector<char>& bytes, std::size_t pos) {
    CoastSegEntry e;
    e.West = valueAt<float>(bytes, pos);
    e.East = valueAt<float>(bytes, pos + 4);
    e.South = valueAt<float>(bytes, pos + 8);
    e.North = valueAt<float>(bytes, pos + 12);
    return e;
}

// Reads the open file in one transfer and splits it into its segments. A short header or
// segment is "input past end", a count below 1 or above the file's largest is "subscript out of
// range".
CoastRead readCoast(Long handle) {
    std::vector<char> bytes(static_cast<std::size_t>(FLof(handle)));
    FGetBytes(handle, bytes.data(), bytes.size());
    const std::size_t size = bytes.size();
    CoastRead r;
    if (size < kHeaderBytes) {
        r.fault = err::InputPastEnd;
        return r;
    }
    CoastSegEntry head = boxAt(bytes, 0);
    head.PointCount = countOf(valueAt<Long>(bytes, 16));
    r.dir.push_back(head);
    if (head.PointCount < 1) {
        r.fault = err::Subscript;
        return r;
    }
    r.points.reserve((size - kHeaderBytes) / kPointBytes * 2);
    std::size_t pos = kHeaderBytes;
    while (pos < size) {
        if (size - pos < kSegmentHeaderBytes) {
            r.fault = err::InputPastEnd;
            break;
        }
        CoastSegEntry seg = boxAt(bytes, pos + 8);
        seg.PointCount = countOf(valueAt<Long>(bytes, pos));
        if (seg.PointCount < 1 || seg.PointCount > head.PointCount) {
            r.fault = err::Subscript;
            break;
        }
        pos += kSegmentHeaderBytes;
        const std::size_t n = kPointBytes * static_cast<std::size_t>(seg.PointCount);
        if (size - pos < n) {
            r.fault = err::InputPastEnd;
            break;
        }
        seg.First = r.points.size() / 2;
        const std::size_t at = r.points.size();
        r.points.resize(at + n / sizeof(float));
        std::memcpy(r.points.data() + at, bytes.data() + pos, n);
        pos += n;
        r.dir.push_back(seg);
    }
    return r;
}

// A box in view units (u: view units per radian).
ViewRec viewBox(const CoastSegEntry& e, double u) {
    return ViewRec{e.West * u, e.East * u, e.South * u, e.North * u};
}

// Draws the segments of dir (entry 0 the file) that meet the view. Points the transform
// refuses are left out and noted in convertFailed.
void drawSegments(Picture& pic, const std::vector<CoastSegEntry>& dir,
                  const std::vector<float>& points, double u, bool& convertFailed) {
    if (dir.size() < 2) return;
    float lonShift = 0;
    const Long r0 = BoxInView(View.ViewExtent, viewBox(dir[0], u), u, lonShift);
    if (r0 == -1) return;
    std::vector<PointApi> gdi(static_cast<std::size_t>(dir[0].PointCount));
    for (std::size_t k = 1; k < dir.size(); ++k) {
        const CoastSegEntry& seg = dir[k];
        // A file wholly inside the view needs no test per segment.
        if (r0 != 1 && BoxInView(View.ViewExtent, viewBox(seg, u), u, lonShift) == -1) continue;
        const float* p = points.data() + 2 * seg.First;
        Long used = 0;
        for (Long i = 0; i < seg.PointCount; ++i, p += 2) {
            const float y = static_cast<float>(p[1] * u);
            const float x = static_cast<float>(p[0] * u + lonShift);
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
}

bool coastlineHeld() {
    return !Coast.CoastCacheFile.empty() && Coast.CoastCacheFile == Coast.CoastFile;
}

} // namespace

void ForgetCoastline() {
    Coast.CoastCacheFile.clear();
    Coast.CoastSegDir = {};
    Coast.CoastPoints = {};
}

void SetCoastlineFile(const std::string& file) {
    Coast.CoastFile = file;
    Coast.CoastFlag = 1;
}

void SetCoastlineColour(Long color) {
    Coast.CoastColor = color;
}

void SetCoastlineStyle(Long style) {
    if (Coast.OptCoastLine != style) ForgetCoastline();
    Coast.OptCoastLine = style;
}

void DrawCoast(Picture& pic) {
    const Long keptColor = pic.ForeColor();
    pic.setForeColor(Coast.CoastColor);
    const double u = View.Projection == 1 ? 1.0 : 1.0 / kDegToRad;
    bool convertFailed = false;
    bool failed = false;
    try {
        if (coastlineHeld()) {
            drawSegments(pic, Coast.CoastSegDir, Coast.CoastPoints, u, convertFailed);
        } else {
            ForgetCoastline();
            Long handle = 0;
            FOpenAll(Coast.CoastFile, kOpenRead, 0, handle);
            if (handle <= 0) {
                ui().MsgBox("[DrawCoast]", kOkOnly, kProgramTitle);
                pic.setForeColor(keptColor);
                return;
            }
            CoastRead read;
            try {
                read = readCoast(handle);
            } catch (...) {
                FClose(handle);
                throw;
            }
            FClose(handle);
            // What lies before a fault is drawn, as far as the file could be read.
            drawSegments(pic, read.dir, read.points, u, convertFailed);
            if (read.fault != 0) throw RuntimeError(read.fault);
            Coast.CoastSegDir = std::move(read.dir);
            Coast.CoastPoints = std::move(read.points);
            Coast.CoastCacheFile = Coast.CoastFile;
        }
    } catch (const RuntimeError& e) {
        failed = true;
        ui().MsgBox("[DrawCoast]" + e.description() + kProgramTitle, kOkOnly, kProgramTitle);
    } catch (const std::exception&) {
        failed = true;
        ui().MsgBox("[DrawCoast]" + ErrorText(7) + kProgramTitle, kOkOnly, kProgramTitle);
    }
    // A drawing that failed keeps nothing: the next one reads the file again.
    if (failed) ForgetCoastline();
    pic.Refresh();
    if (convertFailed) ui().MsgBox("[DrawCoast] ll2_to_xy2 returned -1", kOkOnly, kProgramTitle);
    pic.setForeColor(keptColor);
}
