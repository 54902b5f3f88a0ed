// shore2bdm: turns a multi-segment shoreline text (a ">" line opens a segment, then one
// "longitude latitude" pair a line, in degrees) into a .bdm coastline file: a header with the
// box of all segments and the largest point count, then per segment its count, its box and its
// points, all angles in radians as Singles, little-endian.
//
// Usage: shore2bdm input.txt output.bdm
#include "platform/Kovra.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <span>
#include <string>
#include <vector>

namespace {

// The factor the viewer uses for degrees to radians; the file must match it exactly.
constexpr double kDegToRad = 0.017453292222222222;
// The reader takes counts as 16-bit numbers.
constexpr std::size_t kMaxCount = 32767;

struct Point {
    float x = 0; // longitude, radians
    float y = 0; // latitude, radians
};
static_assert(sizeof(Point) == 8);

struct Box {
    float west = 0, east = 0, south = 0, north = 0;
};

Box boxOf(std::span<const Point> points) {
    Box b{points[0].x, points[0].x, points[0].y, points[0].y};
    for (const Point& p : points) {
        b.west = std::min(b.west, p.x);
        b.east = std::max(b.east, p.x);
        b.south = std::min(b.south, p.y);
        b.north = std::max(b.north, p.y);
    }
    return b;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool readNumber(const std::string& line, std::size_t& i, double& value) {
    while (i < line.size() && isBlank(line[i]))
        ++i;
    const char* first = line.data() + i;
    const char* last = line.data() + line.size();
    if (first < last && *first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || !std::isfinite(value)) return false;
    i = static_cast<std::size_t>(end - line.data());
    return true;
}

// A point line: two numbers and nothing else; ranges of a longitude and a latitude.
bool parsePoint(const std::string& line, Point& p) {
    std::size_t i = 0;
    double lon = 0, lat = 0;
    if (!readNumber(line, i, lon) || i >= line.size() || !isBlank(line[i])) return false;
    if (!readNumber(line, i, lat)) return false;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i != line.size()) return false;
    if (lon < -360.0 || lon > 360.0 || lat < -90.0 || lat > 90.0) return false;
    p.x = static_cast<float>(lon * kDegToRad);
    p.y = static_cast<float>(lat * kDegToRad);
    return true;
}

bool blankLine(const std::string& line) {
    return std::all_of(line.begin(), line.end(), isBlank);
}

// Segments longer than the reader takes are cut into pieces that share their end points, so
// the line stays unbroken.
void addSegment(std::vector<std::vector<Point>>& segments, std::vector<Point>& points) {
    std::size_t start = 0;
    while (start < points.size()) {
        const std::size_t end = std::min(points.size(), start + kMaxCount);
        segments.emplace_back(points.begin() + static_cast<std::ptrdiff_t>(start),
                              points.begin() + static_cast<std::ptrdiff_t>(end));
        if (end == points.size()) break;
        start = end - 1;
    }
    points.clear();
}

void writeFile(const std::string& path, const std::vector<std::vector<Point>>& segments) {
    Box all = boxOf(segments[0]);
    Long maxCount = 0;
    for (const auto& s : segments) {
        const Box b = boxOf(s);
        all.west = std::min(all.west, b.west);
        all.east = std::max(all.east, b.east);
        all.south = std::min(all.south, b.south);
        all.north = std::max(all.north, b.north);
        maxCount = std::max(maxCount, static_cast<Long>(s.size()));
    }

    if (Long e = FCreate(path)) throw RuntimeError(e);
    Long h = 0;
    if (Long e = FOpenAll(path, kOpenWrite, 0, h)) throw RuntimeError(e);
    try {
        const Long unused = 0;
        FPutT(h, all, 16);
        FPutT(h, maxCount, 4);
        FPutT(h, unused, 4);
        std::vector<Point> buffer(static_cast<std::size_t>(maxCount));
        for (const auto& s : segments) {
            const Long count = static_cast<Long>(s.size());
            FPutT(h, count, 4);
            FPutT(h, unused, 4);
            FPutT(h, boxOf(s), 16);
            std::copy(s.begin(), s.end(), buffer.begin());
            ArrayDesc desc;
            fnAV(desc, std::span(buffer), 0);
            FPutA(h, desc, 8 * count);
        }
    } catch (...) {
        FAbandon(h);
        throw;
    }
    FClose(h);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: shore2bdm input.txt output.bdm\n");
        return 2;
    }
    const std::string input = argv[1];
    const std::string output = argv[2];
    std::ifstream in(input, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "shore2bdm: cannot open %s\n", input.c_str());
        return 1;
    }

    std::vector<std::vector<Point>> segments;
    std::vector<Point> current;
    std::string line;
    long lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line[0] == '>') {
            addSegment(segments, current);
            continue;
        }
        if (blankLine(line)) continue;
        Point p;
        if (!parsePoint(line, p)) {
            std::fprintf(stderr, "shore2bdm: %s:%ld: not a longitude/latitude pair: %s\n",
                         input.c_str(), lineNo, line.c_str());
            return 1;
        }
        current.push_back(p);
    }
    if (in.bad()) {
        std::fprintf(stderr, "shore2bdm: read error in %s\n", input.c_str());
        return 1;
    }
    addSegment(segments, current);
    if (segments.empty()) {
        std::fprintf(stderr, "shore2bdm: %s holds no points\n", input.c_str());
        return 1;
    }

    try {
        writeFile(output, segments);
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "shore2bdm: cannot write %s: %s\n", output.c_str(),
                     e.description().c_str());
        return 1;
    }
    std::size_t points = 0;
    for (const auto& s : segments)
        points += s.size();
    std::printf("%s: %zu segments, %zu points\n", output.c_str(), segments.size(), points);
    return 0;
}
