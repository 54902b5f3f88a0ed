#include "viewer/map/FvBounds.h"

#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "platform/AtomicFile.h"
#include "platform/Component.h"
#include "platform/DebugOut.h"
#include "platform/RegularFile.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";

using Segment = std::array<Long, 2>; // larger node, smaller node
using Segments = std::vector<Segment>;

// The code of each node (1 .. nNodes) from the dataset's variable "code": every step-th value
// from the first, step being the value count over nNodes (a "code" over several levels per
// node gives each node its first level).
VArray<Long> readNodeCodes(IKelvad& nc, Long nNodes) {
    VArray<Long> values;
    const Long nv = nc.variNum("code", 1);
    const Variant r = nc.GetVarLong(nv, values, 1);
    if (r.IsEmpty() || r.toLong() < 0 || !values.IsAllocated()) {
        const std::string why = nc.ErrorMessage();
        throw RuntimeError(err::Subscript, why.empty() ? ErrorText(err::Subscript) : why);
    }
    VArray<Long> codes;
    if (nNodes < 1) return codes;
    const Long count = values.UBound() - values.LBound() + 1;
    const Long step = CLng(static_cast<double>(count) / nNodes);
    // Fewer values than nodes: some nodes would get another node's code.
    if (step < 1) throw RuntimeError(err::Subscript);
    codes.ReDim(1, nNodes);
    int64_t j = values.LBound();
    for (Long i = 1; i <= nNodes; ++i, j += step) {
        if (j > values.UBound()) throw RuntimeError(err::Subscript);
        codes(i) = values(static_cast<Long>(j));
    }
    return codes;
}

// The segments of one pass over every triangle's edges (a, b), (b, c), (c, a): a candidate met
// for the first time is added; met again, the stored one is negated (an inner edge, such as
// the diagonal of a split quadrangle). Only one positive copy of an edge exists at a time, so a
// lookup replaces the scan of the list.
template <class IsCandidate>
Segments boundaryPass(const VArray<Long>& codes, Long triangles, IsCandidate isCandidate) {
    Segments list;
    std::unordered_map<uint64_t, size_t> positive;
    auto edge = [&](Long x, Long y) {
        if (!isCandidate(static_cast<int64_t>(codes(x)), static_cast<int64_t>(codes(y)))) return;
        const Long hi = x > y ? x : y;
        const Long lo = x > y ? y : x;
        const uint64_t key =
            (static_cast<uint64_t>(static_cast<uint32_t>(hi)) << 32) | static_cast<uint32_t>(lo);
        auto it = positive.find(key);
        if (it != positive.end()) {
            list[it->second] = {-hi, -lo};
            positive.erase(it);
        } else {
            positive.emplace(key, list.size());
            list.push_back({hi, lo});
        }
    };
    for (Long e = 1; e <= triangles; ++e) {
        const Long a = Data.node1(e), b = Data.node2(e), c = Data.node3(e);
        edge(a, b);
        edge(b, c);
        edge(c, a);
    }
    Segments kept;
    for (const Segment& s : list)
        if (s[0] > 0 && s[1] > 0) kept.push_back(s);
    return kept;
}

void toList(const Segments& from, VArray<Long>& list, Long& n) {
    n = static_cast<Long>(from.size());
    if (n == 0) {
        list.Erase();
        return;
    }
    list.ReDim(1, 2, 1, n);
    for (Long k = 1; k <= n; ++k) {
        list(1, k) = from[k - 1][0];
        list(2, k) = from[k - 1][1];
    }
}

std::string padded(Long n) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%06d", static_cast<int>(n));
    return buf;
}

void appendRows(std::string& text, const VArray<Long>& list, Long n, float factor) {
    Long row = 0;
    for (Long k = 1; k <= n; ++k) {
        const Long hi = list(1, k), lo = list(2, k);
        if (hi <= 0 || lo <= 0) continue;
        // Appended piece by piece: a literal joined to a temporary string makes GCC 12 warn of
        // an overlapping copy that cannot happen.
        text.append("\"").append(padded(++row)).append(" ").append(padded(hi)).append(" ");
        text.append(padded(lo)).append("\"");
        for (const Long node : {hi, lo}) {
            text.append(",").append(CStr(static_cast<float>(Data.nodeLonV(node) * factor)));
            text.append(",").append(CStr(static_cast<float>(Data.nodeLatV(node) * factor)));
        }
        text += kCrLf;
    }
}

Long positiveRows(const VArray<Long>& list, Long n) {
    Long count = 0;
    for (Long k = 1; k <= n; ++k)
        if (list(1, k) > 0 && list(2, k) > 0) ++count;
    return count;
}

// A whole number written as one word: "12", "-3"; false for anything else.
bool wholeNumber(const std::string& word, int64_t& out) {
    double v = 0;
    try {
        if (word.empty() || !TextToNumber(word, v)) return false;
    } catch (const RuntimeError&) {
        return false;
    }
    if (v != std::floor(v) || std::fabs(v) > 2147483647.0) return false;
    out = static_cast<int64_t>(v);
    return true;
}

std::vector<std::string> splitAny(const std::string& line, const char* separators) {
    std::vector<std::string> out;
    size_t i = 0;
    while (true) {
        i = line.find_first_not_of(separators, i);
        if (i == std::string::npos) break;
        const size_t end = line.find_first_of(separators, i);
        out.push_back(line.substr(i, end == std::string::npos ? std::string::npos : end - i));
        if (end == std::string::npos) break;
        i = end;
    }
    return out;
}

// The number that a header line begins with.
bool headerNumber(const std::string& line, int64_t& out) {
    const auto words = splitAny(line, " ");
    return !words.empty() && wholeNumber(words[0], out);
}

// n rows from lines[first ..]: seven numbers each, the second and third the node numbers.
bool readRows(const std::vector<std::string>& lines, size_t first, Long n, Long nNodes,
              Segments& out) {
    for (Long k = 0; k < n; ++k) {
        const auto fields = splitAny(lines[first + k], " ,\"");
        if (fields.size() != 7) return false;
        int64_t hi = 0, lo = 0;
        if (!wholeNumber(fields[1], hi) || !wholeNumber(fields[2], lo)) return false;
        if (hi < 1 || hi > nNodes || lo < 1 || lo > nNodes) return false;
        for (size_t f : {0u, 3u, 4u, 5u, 6u}) {
            double v = 0;
            try {
                if (!TextToNumber(fields[f], v)) return false;
            } catch (const RuntimeError&) {
                return false;
            }
        }
        out.push_back({static_cast<Long>(hi), static_cast<Long>(lo)});
    }
    return true;
}

void writeCache(const std::string& text) {
    AtomicFile file;
    int e = file.Open(Data.BndFile);
    if (e == 0) e = file.WriteAt(0, text.data(), text.size());
    if (e == 0) e = file.Commit();
    // The cache only spares the next load the build: the lines in memory stand without it.
    if (e != 0)
        DebugOut("[MakeFvBounds] boundary cache not written: " + Data.BndFile + " " + ErrorText(e));
}

} // namespace

std::string FvBoundsText(Long nNodes, Long nElements, const VArray<Long>& lands, Long nLands,
                         const VArray<Long>& seas, Long nSeas, float factor) {
    std::string text = std::to_string(nNodes) + " =nNodes" + kCrLf;
    text += std::to_string(nElements) + " =nElements" + kCrLf;
    text += std::to_string(positiveRows(lands, nLands)) + " =nfvlands" + kCrLf;
    text += std::to_string(positiveRows(seas, nSeas)) + " =nfvseas" + kCrLf;
    appendRows(text, lands, nLands, factor);
    appendRows(text, seas, nSeas, factor);
    return text;
}

bool ReadFvBoundsFile(const std::string& path, Long nNodes, Long nElements, VArray<Long>& lands,
                      Long& nLands, VArray<Long>& seas, Long& nSeas) {
    std::string all;
    struct stat st {};
    if (const int e = ReadRegularFile(NativePath(path), all, st)) {
        // The cache only spares a build: one that cannot be read is built again.
        if (e != err::FileNotFound && e != err::PathNotFound)
            DebugOut("[MakeFvBounds] boundary cache not read: " + RegularFileRefusal(path, e, st));
        return false;
    }
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < all.size()) {
        size_t end = all.find('\n', at);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    if (lines.size() < 4) return false;

    int64_t nodes = 0, elements = 0, l = 0, s = 0;
    if (!headerNumber(lines[0], nodes) || nodes != nNodes) return false;
    if (!headerNumber(lines[1], elements) || elements != nElements) return false;
    // Each element gives at most three segments to each list.
    const int64_t most = 3 * static_cast<int64_t>(nElements);
    if (!headerNumber(lines[2], l) || l < 0 || l > most) return false;
    if (!headerNumber(lines[3], s) || s < 0 || s > most) return false;
    if (lines.size() < 4 + static_cast<size_t>(l + s)) return false;
    for (size_t k = 4 + static_cast<size_t>(l + s); k < lines.size(); ++k)
        if (lines[k].find_first_not_of(" \t") != std::string::npos) return false;

    Segments land, sea;
    if (!readRows(lines, 4, static_cast<Long>(l), nNodes, land)) return false;
    if (!readRows(lines, 4 + static_cast<size_t>(l), static_cast<Long>(s), nNodes, sea))
        return false;
    toList(land, lands, nLands);
    toList(sea, seas, nSeas);
    return true;
}

void ForgetFvBounds() {
    Data.fvlands.Erase();
    Data.fvseas.Erase();
    Data.nfvlands = 0;
    Data.nfvseas = 0;
}

void MakeFvBounds() {
    try {
        if (Data.clsNC == nullptr) throw RuntimeError(err::ObjectNotSet);
        IKelvad& nc = *Data.clsNC;
        const std::string dataset = nc.FName(1);
        Data.BndFile = ChangeExtension(dataset, "bnd");
        // The cache must never replace an open dataset (a dataset named "*.bnd").
        if (!Data.BndFile.empty() && IsOpenDataset(Data.BndFile)) Data.BndFile.clear();
        const Long nNodes = nc.nNodes(1);
        const Long nElements = nc.nElements(1);

        if (!Data.BndFile.empty() && CompareFileDates(Data.BndFile, dataset) == 1 &&
            ReadFvBoundsFile(Data.BndFile, nNodes, nElements, Data.fvlands, Data.nfvlands,
                             Data.fvseas, Data.nfvseas))
            return;

        const VArray<Long> codes = readNodeCodes(nc, nNodes);
        const Long triangles = MeshTriangleCount();
        const Segments land = boundaryPass(codes, triangles, [](int64_t x, int64_t y) {
            return (x == 1 || y == 1) && x + y >= 2;
        });
        const Segments sea =
            boundaryPass(codes, triangles, [](int64_t x, int64_t y) { return x > 1 && y > 1; });

        VArray<Long> lands, seas;
        Long nLands = 0, nSeas = 0;
        toList(land, lands, nLands);
        toList(sea, seas, nSeas);
        // The cache holds degrees whatever the projection.
        const float factor = View.Projection == 1 ? static_cast<float>(1 / kDegToRad) : 1.0f;
        const std::string text =
            FvBoundsText(nNodes, nElements, lands, nLands, seas, nSeas, factor);

        Data.fvlands = std::move(lands);
        Data.fvseas = std::move(seas);
        Data.nfvlands = nLands;
        Data.nfvseas = nSeas;
        if (!Data.BndFile.empty()) writeCache(text);
    } catch (const std::exception& e) {
        ForgetFvBounds();
        ui().MsgBox("[MakeFvBounds]" + ErrorDescriptionOf(e), kOkOnly, kProgramTitle);
    }
}

namespace {

void drawSegments(RenderContext& rc, const VArray<Long>& list, Long n) {
    for (Long k = 1; k <= n; ++k) {
        const Long a = list(1, k), b = list(2, k);
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (!MapPoint(rc, Data.nodeLonV(a), Data.nodeLatV(a), x1, y1)) continue;
        if (!MapPoint(rc, Data.nodeLonV(b), Data.nodeLatV(b), x2, y2)) continue;
        rc.pic.Line(x1, y1, x2, y2);
    }
}

} // namespace

void DrawFvBounds(Picture& pic) {
    RenderContext rc(pic, "[DrawFvBounds]");
    const Long saved = pic.ForeColor();
    try {
        const Long nLands = Data.nfvlands, nSeas = Data.nfvseas;
        pic.setForeColor(QBColor(12));
        drawSegments(rc, Data.fvlands, nLands);
        pic.setForeColor(QBColor(9));
        drawSegments(rc, Data.fvseas, nSeas);
    } catch (const std::exception& e) {
        pic.setForeColor(saved);
        // The boundary lines report under the mesh outline's name, as they always have.
        ui().MsgBox("[DrawFvMesh]" + ErrorDescriptionOf(e), kOkOnly, kProgramTitle);
        return;
    }
    pic.setForeColor(saved);
}
