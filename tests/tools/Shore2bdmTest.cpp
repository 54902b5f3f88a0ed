#include "platform/Kovra.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <span>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kDegToRad = 0.017453292222222222;

int runTool(const std::string& input, const std::string& output) {
    const std::string command =
        std::string("'") + SHORE2BDM_PATH + "' '" + input + "' '" + output + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

float rad(double degrees) {
    return static_cast<float>(degrees * kDegToRad);
}

struct Segment {
    Long count = 0;
    float west = 0, east = 0, south = 0, north = 0;
    std::vector<float> xy;
};

// Reads a coastline file the way the map drawing does.
void readBdm(const std::string& path, float box[4], Long& maxCount, std::vector<Segment>& out) {
    Long h = 0;
    ASSERT_EQ(FOpenAll(path, kOpenRead, 0, h), 0);
    FSeek(h, 0);
    FGetT(h, box[0], 4);
    FGetT(h, box[1], 4);
    FGetT(h, box[2], 4);
    FGetT(h, box[3], 4);
    Long unused = 0;
    FGetT(h, maxCount, 4);
    FGetT(h, unused, 4);
    std::vector<float> buffer(2 * static_cast<std::size_t>(maxCount));
    while (!FEof(h)) {
        Segment s;
        FGetT(h, s.count, 4);
        FGetT(h, unused, 4);
        FGetT(h, s.west, 4);
        FGetT(h, s.east, 4);
        FGetT(h, s.south, 4);
        FGetT(h, s.north, 4);
        ArrayDesc desc;
        fnAV(desc, std::span(buffer), 0);
        FGetA(h, desc, 8 * s.count);
        s.xy.assign(buffer.begin(), buffer.begin() + 2 * s.count);
        out.push_back(std::move(s));
    }
    FClose(h);
}

} // namespace

TEST(Shore2bdm, ConvertsSegmentsToRadiansWithBoxes) {
    TempDir dir;
    const std::string in = dir.file("shore.txt");
    writeText(in, "> Shore Bin # 0, Level 1\n"
                  "20\t79.5\n"
                  "-10.25\t-30\n"
                  "5\t0\n"
                  "\n"
                  "> empty segment\n"
                  "> Shore Bin # 1, Level 1\r\n"
                  "-180\t-90\r\n"
                  "180 90\r\n");
    const std::string out = dir.file("out.bdm");
    ASSERT_EQ(runTool(in, out), 0);
    EXPECT_EQ(fs::file_size(out), 24u + (24 + 3 * 8) + (24 + 2 * 8));

    float box[4];
    Long maxCount = 0;
    std::vector<Segment> segments;
    readBdm(out, box, maxCount, segments);
    EXPECT_EQ(box[0], rad(-180));
    EXPECT_EQ(box[1], rad(180));
    EXPECT_EQ(box[2], rad(-90));
    EXPECT_EQ(box[3], rad(90));
    EXPECT_EQ(maxCount, 3);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].count, 3);
    EXPECT_EQ(segments[0].west, rad(-10.25));
    EXPECT_EQ(segments[0].east, rad(20));
    EXPECT_EQ(segments[0].south, rad(-30));
    EXPECT_EQ(segments[0].north, rad(79.5));
    EXPECT_EQ(segments[0].xy,
              (std::vector<float>{rad(20), rad(79.5), rad(-10.25), rad(-30), rad(5), rad(0)}));
    EXPECT_EQ(segments[1].count, 2);
    EXPECT_EQ(segments[1].xy, (std::vector<float>{rad(-180), rad(-90), rad(180), rad(90)}));
}

TEST(Shore2bdm, SplitsSegmentsLongerThanTheReaderTakes) {
    TempDir dir;
    const std::string in = dir.file("long.txt");
    std::string text = ">\n";
    const int n = 40000;
    for (int i = 0; i < n; ++i)
        text += std::to_string(i * 0.001) + "\t1\n";
    writeText(in, text);
    const std::string out = dir.file("long.bdm");
    ASSERT_EQ(runTool(in, out), 0);

    float box[4];
    Long maxCount = 0;
    std::vector<Segment> segments;
    readBdm(out, box, maxCount, segments);
    EXPECT_EQ(maxCount, 32767);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].count, 32767);
    EXPECT_EQ(segments[1].count, n - 32767 + 1);
    // The pieces share their meeting point, so the line stays unbroken.
    EXPECT_EQ(segments[1].xy[0], segments[0].xy[2 * 32766]);
    EXPECT_EQ(segments[1].xy.back(), rad(1));
    EXPECT_EQ(segments[1].west, segments[0].xy[2 * 32766]);
}

TEST(Shore2bdm, BadInputFailsAndLeavesNoFile) {
    TempDir dir;
    const std::string out = dir.file("out.bdm");
    const char* const inputs[] = {
        ">\n1\t2\nabc\t3\n",  // not a number
        ">\n1\t2\n1\n",       // one number
        ">\n1\t2\n1\t2\t3\n", // three
        ">\n1\t95\n",         // no latitude
        ">\nnan\t1\n",        "> no points at all\n", "",
    };
    for (const char* text : inputs) {
        writeText(dir.file("bad.txt"), text);
        EXPECT_NE(runTool(dir.file("bad.txt"), out), 0) << text;
        EXPECT_FALSE(fs::exists(out)) << text;
    }
    EXPECT_NE(runTool(dir.file("missing.txt"), out), 0);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // A failed conversion leaves an older output as it was.
    writeText(out, "old");
    EXPECT_NE(runTool(dir.file("bad.txt"), out), 0);
    std::ifstream old(out);
    std::string content;
    old >> content;
    EXPECT_EQ(content, "old");
    // An output folder that does not exist.
    writeText(dir.file("good.txt"), ">\n1\t2\n");
    EXPECT_NE(runTool(dir.file("good.txt"), dir.file("nofolder/out.bdm")), 0);
}

TEST(Shore2bdm, TheShippedWorldCoastlineReadsToItsEnd) {
    const std::string path = std::string(PELORIN_SOURCE_DIR) + "/data/coasts/WORLD_E.bdm";
    float box[4];
    Long maxCount = 0;
    std::vector<Segment> segments;
    readBdm(path, box, maxCount, segments);
    ASSERT_FALSE(HasFatalFailure());
    const float pi = rad(180);
    EXPECT_GE(box[0], -pi);
    EXPECT_LE(box[1], pi);
    EXPECT_GE(box[2], rad(-90));
    EXPECT_LE(box[3], rad(90));
    EXPECT_GT(maxCount, 0);
    EXPECT_LE(maxCount, 32767);
    EXPECT_GT(segments.size(), 1000u);
    Long largest = 0;
    for (const Segment& s : segments) {
        ASSERT_GE(s.count, 1);
        largest = std::max(largest, s.count);
        for (Long i = 0; i < s.count; ++i) {
            const float x = s.xy[2 * i], y = s.xy[2 * i + 1];
            ASSERT_TRUE(x >= s.west && x <= s.east && y >= s.south && y <= s.north);
            ASSERT_TRUE(s.west >= box[0] && s.east <= box[1] && s.south >= box[2] &&
                        s.north <= box[3]);
        }
    }
    EXPECT_EQ(largest, maxCount);
}
