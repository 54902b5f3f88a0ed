// The boundary lines of a finite-volume mesh: the build from node codes, the cache text, its
// reuse while newer and sound, its rebuild when older, of the same time, of another mesh or
// corrupt, a dataset without a writable cache (URL, unwritable folder, a "*.bnd" dataset),
// the failures, Mercator positions, the drawing, and one load through the loader.
#include "viewer/map/FvBounds.h"

#include "common/Strings.h"
#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "runtime/Color.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "tests/support/Watchdog.h"
#include "tests/viewer/StubKelvad.h"
#include "tests/viewer/ViewerDatasetFixture.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/MainOPaP.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Six nodes in two rows, four triangles:
//   4 --- 5 --- 6     land (code 1)
//   |  \  |  /  |
//   1 --- 2 --- 3     open sea (code 2)
// Edges 1-5, 2-5 and 2-6 are shared by two elements. Land segments: 5-4, 4-1, 6-3, 6-5 (a
// node coded 1 with one coded 1 or more); sea segments: 2-1, 3-2 (both coded 2 or more).
class FakeMesh : public StubKelvad {
public:
    std::string name;
    Long nodes = 6, elements = 4;
    std::vector<Long> codes = {2, 2, 2, 1, 1, 1};
    bool hasCode = true;
    int codeReads = 0;
    std::string error;

    std::string FName(Long nNc) override { return nNc == 1 ? name : std::string(); }
    Long nNodes(Long) override { return nodes; }
    Long nElements(Long) override { return elements; }
    std::string ErrorMessage() override { return error; }
    Long variNum(const std::string& varName, Long) override {
        return hasCode && UCase(varName) == "CODE" ? 7 : 0;
    }
    Variant GetVarLong(Long nvar, VArray<Long>& out, Long) override {
        if (nvar != 7) {
            error = "[GetVarLong] variable number out of range:" + Str(nvar);
            return {};
        }
        ++codeReads;
        out.ReDim(1, static_cast<Long>(codes.size()));
        for (size_t i = 0; i < codes.size(); ++i)
            out(static_cast<Long>(i + 1)) = codes[i];
        return Long{1};
    }
};

const char* const kExpected = "6 =nNodes\r\n"
                              "4 =nElements\r\n"
                              "4 =nfvlands\r\n"
                              "2 =nfvseas\r\n"
                              "\"000001 000005 000004\",12.5,45.25,12,45.25\r\n"
                              "\"000002 000004 000001\",12,45.25,12,45\r\n"
                              "\"000003 000006 000003\",13,45.25,13,45\r\n"
                              "\"000004 000006 000005\",13,45.25,12.5,45.25\r\n"
                              "\"000001 000002 000001\",12.5,45,12,45\r\n"
                              "\"000002 000003 000002\",13,45,12.5,45\r\n";

using Pairs = std::vector<std::pair<Long, Long>>;

Pairs pairsOf(const VArray<Long>& list, Long n) {
    Pairs out;
    for (Long k = 1; k <= n; ++k)
        out.emplace_back(list(1, k), list(2, k));
    return out;
}

const Pairs kLand = {{5, 4}, {4, 1}, {6, 3}, {6, 5}};
const Pairs kSea = {{2, 1}, {3, 2}};

class FvBoundsTest : public ViewerFixture {
protected:
    FakeMesh fake;
    std::string dataset, cache;

    void SetUp() override {
        ViewerFixture::SetUp();
        Data.clsNC = &fake;
        Data.nNcMain = 1;
        View.Projection = 0;
        dataset = dir.file("lagoon.nc");
        cache = dir.file("lagoon.bnd");
        std::ofstream(dataset) << "netcdf";
        fake.name = dataset;
        Data.node1.ReDim(1, 4);
        Data.node2.ReDim(1, 4);
        Data.node3.ReDim(1, 4);
        const Long corners[4][3] = {{1, 2, 5}, {1, 5, 4}, {2, 3, 6}, {2, 6, 5}};
        for (Long e = 1; e <= 4; ++e) {
            Data.node1(e) = corners[e - 1][0];
            Data.node2(e) = corners[e - 1][1];
            Data.node3(e) = corners[e - 1][2];
        }
        Data.nodeLonV.ReDim(1, 6);
        Data.nodeLatV.ReDim(1, 6);
        for (Long i = 1; i <= 6; ++i) {
            Data.nodeLonV(i) = 12.0f + 0.5f * static_cast<float>((i - 1) % 3);
            Data.nodeLatV(i) = 45.0f + 0.25f * static_cast<float>((i - 1) / 3);
        }
    }

    static void write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    // Sets the cache's modification time to the dataset's plus seconds.
    void cacheAge(int seconds) {
        fs::last_write_time(cache, fs::last_write_time(dataset) + std::chrono::seconds(seconds));
    }
    bool built() const {
        return pairsOf(Data.fvlands, Data.nfvlands) == kLand &&
               pairsOf(Data.fvseas, Data.nfvseas) == kSea;
    }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir.path()))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(FvBoundsTest, BuildsTheListsAndWritesTheExactCache) {
    MakeFvBounds();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(Data.BndFile, cache);
    EXPECT_EQ(readFile(cache), kExpected);
    EXPECT_EQ(pairsOf(Data.fvlands, Data.nfvlands), kLand);
    EXPECT_EQ(pairsOf(Data.fvseas, Data.nfvseas), kSea);
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"lagoon.bnd", "lagoon.nc"}))
        << "no temporary file left behind";
}

TEST_F(FvBoundsTest, ANewerSoundCacheIsReadInsteadOfBuilding) {
    // A cache of the same mesh with other segments, a million-numbered node among them: the
    // lists follow the file, and the node codes are not read.
    fake.nodes = 1000001;
    write(cache, "1000001 =nNodes\r\n4 =nElements\r\n1 =nfvlands\r\n2 =nfvseas\r\n"
                 "\"000001 1000001 000002\",1,2,3,4\r\n"
                 "\"000001 000003 000001\",1.5,-2.25E-05,3,4\n" // LF alone is read too
                 "\"000002 000006 000004\",1,2,3,4\r\n\r\n");
    cacheAge(5);
    MakeFvBounds();
    EXPECT_EQ(fake.codeReads, 0);
    EXPECT_EQ(pairsOf(Data.fvlands, Data.nfvlands), (Pairs{{1000001, 2}}));
    EXPECT_EQ(pairsOf(Data.fvseas, Data.nfvseas), (Pairs{{3, 1}, {6, 4}}));
    EXPECT_TRUE(ui.boxes.empty());

    // Empty lists in the cache stay empty.
    fake.nodes = 6;
    write(cache, "6 =nNodes\r\n4 =nElements\r\n0 =nfvlands\r\n0 =nfvseas\r\n");
    cacheAge(5);
    MakeFvBounds();
    EXPECT_EQ(fake.codeReads, 0);
    EXPECT_EQ(Data.nfvlands, 0);
    EXPECT_EQ(Data.nfvseas, 0);
    EXPECT_FALSE(Data.fvlands.IsAllocated());
}

TEST_F(FvBoundsTest, OlderSameTimeOtherMeshOrCorruptCachesAreRebuilt) {
    const std::string header = "6 =nNodes\r\n4 =nElements\r\n";
    const std::string row = "\"000001 000005 000004\",1,2,3,4\r\n";
    struct Case {
        const char* what;
        std::string text;
        int age; // seconds after the dataset
    };
    const Case cases[] = {
        {"older", std::string(kExpected), -5},
        {"same time", std::string(kExpected), 0},
        {"other node count", "7 =nNodes\r\n4 =nElements\r\n0 =nfvlands\r\n0 =nfvseas\r\n", 5},
        {"other element count", "6 =nNodes\r\n5 =nElements\r\n0 =nfvlands\r\n0 =nfvseas\r\n", 5},
        {"header only", header, 5},
        {"a row short", header + "2 =nfvlands\r\n0 =nfvseas\r\n" + row, 5},
        {"a count not a number", header + "x =nfvlands\r\n0 =nfvseas\r\n", 5},
        {"a negative count", header + "-1 =nfvlands\r\n0 =nfvseas\r\n", 5},
        {"a count beyond the mesh", header + "13 =nfvlands\r\n0 =nfvseas\r\n", 5},
        {"a field not a number",
         header + "1 =nfvlands\r\n0 =nfvseas\r\n\"000001 000005 000004\",1,abc,3,4\r\n", 5},
        {"a field missing",
         header + "1 =nfvlands\r\n0 =nfvseas\r\n\"000001 000005 000004\",1,2,3\r\n", 5},
        {"a node beyond the mesh",
         header + "1 =nfvlands\r\n0 =nfvseas\r\n\"000001 000007 000004\",1,2,3,4\r\n", 5},
        {"node 0", header + "1 =nfvlands\r\n0 =nfvseas\r\n\"000001 000005 000000\",1,2,3,4\r\n", 5},
        {"a fractional node",
         header + "1 =nfvlands\r\n0 =nfvseas\r\n\"000001 000005.5 000004\",1,2,3,4\r\n", 5},
        {"rows beyond the counts", header + "1 =nfvlands\r\n0 =nfvseas\r\n" + row + row, 5},
        {"empty", "", 5},
    };
    for (const Case& c : cases) {
        fake.codeReads = 0;
        Data.fvlands.Erase();
        Data.nfvlands = 0;
        write(cache, c.text);
        cacheAge(c.age);
        MakeFvBounds();
        EXPECT_EQ(fake.codeReads, 1) << c.what;
        EXPECT_TRUE(built()) << c.what;
        EXPECT_EQ(readFile(cache), kExpected) << c.what << ": rewritten";
        EXPECT_TRUE(ui.boxes.empty()) << c.what;
    }
}

TEST_F(FvBoundsTest, AfterABuildTheNextLoadReadsTheCache) {
    MakeFvBounds();
    ASSERT_EQ(fake.codeReads, 1);
    cacheAge(2);
    Data.fvlands.Erase();
    Data.nfvlands = 0;
    MakeFvBounds();
    EXPECT_EQ(fake.codeReads, 1);
    EXPECT_TRUE(built());
}

TEST_F(FvBoundsTest, WithoutAWritableCacheTheBuiltListsStand) {
    // A dataset opened by URL has no cache beside it.
    fake.name = "http://127.0.0.1:8080/dods/lagoon.nc";
    MakeFvBounds();
    EXPECT_EQ(Data.BndFile, "");
    EXPECT_TRUE(built());
    EXPECT_TRUE(ui.boxes.empty());

    // A folder that cannot be created in (a file stands where the folder should be).
    write(dir.file("plain"), "x");
    fake.name = dir.file("plain") + "/lagoon.nc";
    Data.fvlands.Erase();
    Data.nfvlands = 0;
    MakeFvBounds();
    EXPECT_EQ(Data.BndFile, dir.file("plain") + "/lagoon.bnd");
    EXPECT_TRUE(built());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(readFile(dir.file("plain")), "x");

    // A dataset whose own extension is "bnd" is never overwritten by its cache.
    const std::string bndData = dir.file("mesh.bnd");
    write(bndData, "netcdf data");
    fake.name = bndData;
    MakeFvBounds();
    EXPECT_EQ(Data.BndFile, "");
    EXPECT_TRUE(built());
    EXPECT_EQ(readFile(bndData), "netcdf data");
}

// A FIFO or a device in the cache's place (a link to /dev/zero) is refused at once: the lists
// are built from the dataset, and what stands there is left as it is, never written over.
TEST_F(FvBoundsTest, AFifoOrDeviceAsTheCacheIsRefusedAtOnce) {
    { // the device named directly
        VArray<Long> lands, seas;
        Long nLands = 0, nSeas = 0;
        EXPECT_FALSE(ReturnsWithin(std::chrono::seconds(1), "ReadFvBoundsFile", [&] {
            return ReadFvBoundsFile(kEndlessDevice, 6, 4, lands, nLands, seas, nSeas);
        }));
    }
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : kEndlessDevice);
        fs::remove(cache);
        if (fifo)
            ASSERT_EQ(::mkfifo(cache.c_str(), 0600), 0);
        else
            fs::create_symlink(kEndlessDevice, cache);
        VArray<Long> lands, seas;
        Long nLands = 0, nSeas = 0;
        EXPECT_FALSE(ReturnsWithin(std::chrono::seconds(1), "ReadFvBoundsFile", [&] {
            return ReadFvBoundsFile(cache, 6, 4, lands, nLands, seas, nSeas);
        }));
        Data.fvlands.Erase();
        Data.nfvlands = 0;
        fake.codeReads = 0;
        ReturnsWithin(std::chrono::seconds(1), "MakeFvBounds", [] { MakeFvBounds(); });
        EXPECT_EQ(fake.codeReads, 1);
        EXPECT_TRUE(built());
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_EQ(fifo ? fs::is_fifo(cache) : fs::is_symlink(cache), true) << "left as it was";
        EXPECT_EQ(folderEntries(), (std::vector<std::string>{"lagoon.bnd", "lagoon.nc"}));
    }
}

TEST_F(FvBoundsTest, FailuresEmptyTheListsWithOneMessage) {
    struct Case {
        const char* what;
        std::function<void()> setUp;
        const char* message;
    };
    const Case cases[] = {
        {"no variable code", [&] { fake.hasCode = false; },
         "[MakeFvBounds][GetVarLong] variable number out of range: 0"},
        {"fewer codes than nodes",
         [&] {
             fake.codes = {1, 1, 1};
         },
         "[MakeFvBounds]Subscript out of range"},
        {"a corner beyond the nodes", [&] { Data.node3(4) = 9; },
         "[MakeFvBounds]Subscript out of range"},
    };
    for (const Case& c : cases) {
        fake.hasCode = true;
        fake.codes = {2, 2, 2, 1, 1, 1};
        Data.node3(4) = 5;
        ui.boxes.clear();
        MakeFvBounds(); // lists of an earlier dataset
        ASSERT_TRUE(built());
        fs::remove(cache);
        c.setUp();
        MakeFvBounds();
        ASSERT_EQ(ui.boxes.size(), 1u) << c.what;
        EXPECT_EQ(ui.boxes[0].text, c.message) << c.what;
        EXPECT_EQ(ui.boxes[0].style, kOkOnly);
        EXPECT_EQ(Data.nfvlands, 0) << c.what;
        EXPECT_EQ(Data.nfvseas, 0) << c.what;
        EXPECT_FALSE(Data.fvlands.IsAllocated()) << c.what;
        EXPECT_FALSE(fs::exists(cache)) << c.what << ": no cache written";
    }
}

TEST_F(FvBoundsTest, CodeRulesAndLevels) {
    struct Case {
        const char* what;
        std::vector<Long> codes;
        Pairs land, sea;
    };
    const Case cases[] = {
        {"no boundary nodes", {0, 0, 0, 0, 0, 0}, {}, {}},
        {"negative codes join nothing", {-1, -2, 0, -1, 5, 0}, {}, {}},
        // All coded 1: every outer edge is land, the shared ones are not.
        {"all land", {1, 1, 1, 1, 1, 1}, {{2, 1}, {5, 4}, {4, 1}, {3, 2}, {6, 3}, {6, 5}}, {}},
        {"all sea", {3, 3, 3, 3, 3, 3}, {}, {{2, 1}, {5, 4}, {4, 1}, {3, 2}, {6, 3}, {6, 5}}},
        // Two values per node (levels): every second value from the first.
        {"two levels", {2, 9, 2, 9, 2, 9, 1, 9, 1, 9, 1, 9}, kLand, kSea},
    };
    for (const Case& c : cases) {
        fake.codes = c.codes;
        fs::remove(cache);
        MakeFvBounds();
        EXPECT_EQ(pairsOf(Data.fvlands, Data.nfvlands), c.land) << c.what;
        EXPECT_EQ(pairsOf(Data.fvseas, Data.nfvseas), c.sea) << c.what;
        EXPECT_TRUE(ui.boxes.empty()) << c.what;
        // The cache gives the same lists back.
        cacheAge(3);
        MakeFvBounds();
        EXPECT_EQ(pairsOf(Data.fvlands, Data.nfvlands), c.land) << c.what << " (cache)";
        EXPECT_EQ(pairsOf(Data.fvseas, Data.nfvseas), c.sea) << c.what << " (cache)";
    }
    fake.codes = {0, 0, 0, 0, 0, 0};
    fs::remove(cache);
    MakeFvBounds();
    EXPECT_EQ(readFile(cache), "6 =nNodes\r\n4 =nElements\r\n0 =nfvlands\r\n0 =nfvseas\r\n");
}

TEST_F(FvBoundsTest, MercatorCachesDegrees) {
    View.Projection = 1;
    for (Long i = 1; i <= 6; ++i) {
        Data.nodeLonV(i) = static_cast<float>(Data.nodeLonV(i) * kDegToRad);
        Data.nodeLatV(i) = static_cast<float>(Data.nodeLatV(i) * kDegToRad);
    }
    MakeFvBounds();
    EXPECT_TRUE(built());
    // Row 1 of the land list: nodes 5 and 4 at (12.5, 45.25) and (12, 45.25).
    const std::string text = readFile(cache);
    const size_t at = text.find("\"000001 000005 000004\",");
    ASSERT_NE(at, std::string::npos);
    const std::string row = text.substr(at, text.find('\r', at) - at);
    const double expected[] = {12.5, 45.25, 12, 45.25};
    for (int f = 0; f < 4; ++f)
        EXPECT_NEAR(Val(GetToken(row, f + 2)), expected[f], 1e-4) << row;
}

TEST_F(FvBoundsTest, DrawsLandRedThenSeaBlueAndRestoresTheColour) {
    MakeFvBounds();
    Picture pic(200, 200);
    pic.setRecording(true);
    View.ViewExtent = {11.5, 13.5, 44.5, 45.75};
    ASSERT_EQ(SetMapScale(200, 200), 0);
    pic.setForeColor(QBColor(2));
    DrawFvBounds(pic);
    EXPECT_EQ(pic.ForeColor(), QBColor(2));
    const auto& records = pic.records();
    ASSERT_EQ(records.size(), 6u);
    for (size_t k = 0; k < records.size(); ++k) {
        EXPECT_EQ(records[k].kind, DrawKind::Line);
        EXPECT_EQ(records[k].color, k < 4 ? QBColor(12) : QBColor(9)) << k;
    }
    // Land segment 1 runs from node 5 to node 4.
    float x5 = 0, y5 = 0, x4 = 0, y4 = 0;
    ll2_to_xy2(Data.nodeLonV(5), Data.nodeLatV(5), x5, y5);
    ll2_to_xy2(Data.nodeLonV(4), Data.nodeLatV(4), x4, y4);
    EXPECT_EQ(records[0].at, (std::vector<double>{x5, y5, x4, y4}));
    EXPECT_EQ(
        pic.pixel(static_cast<int>(std::lround((x5 + x4) / 2)), static_cast<int>(std::lround(y5))),
        QBColor(12));
    EXPECT_TRUE(ui.boxes.empty());

    // Lists of another mesh: the lines before the bad node stay, one message, colour restored.
    pic.clearRecords();
    Data.nodeLonV.ReDim(1, 5);
    Data.nodeLatV.ReDim(1, 5);
    DrawFvBounds(pic);
    EXPECT_EQ(pic.records().size(), 2u);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "[DrawFvMesh]Subscript out of range");
    EXPECT_EQ(pic.ForeColor(), QBColor(2));
}

TEST_F(FvBoundsTest, NoListsDrawNothing) {
    Picture pic(50, 50);
    pic.setRecording(true);
    View.ViewExtent = {0, 1, 0, 1};
    ASSERT_EQ(SetMapScale(50, 50), 0);
    DrawFvBounds(pic);
    EXPECT_TRUE(pic.records().empty());
    EXPECT_TRUE(ui.boxes.empty());
}

// A finite-volume file with coordinates on the elements and on the nodes, as the loader
// opens it: the same six nodes and four elements.
std::string WriteFvFixture(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 2);
    nc.dim("node", 6);
    nc.dim("nele", 4);
    nc.dim("nface", 3);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "hours since 2004-03-15").values({0.0, 1.0});
    nc.var("lon", NC_FLOAT, {"nele"}).values({12.1667, 12.1667, 12.6667, 12.6667});
    nc.var("lat", NC_FLOAT, {"nele"}).values({45.0833, 45.1667, 45.0833, 45.1667});
    nc.var("x", NC_FLOAT, {"node"})
        .att("units", "degrees_east")
        .values({12.0, 12.5, 13.0, 12.0, 12.5, 13.0});
    nc.var("y", NC_FLOAT, {"node"})
        .att("units", "degrees_north")
        .values({45.0, 45.0, 45.0, 45.25, 45.25, 45.25});
    nc.var("nv", NC_INT, {"nele", "nface"}).values({0, 1, 4, 0, 4, 3, 1, 2, 5, 1, 5, 4});
    nc.var("code", NC_INT, {"node"}).values({2, 2, 2, 1, 1, 1});
    nc.var("zeta", NC_FLOAT, {"time", "nele"}).values({1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0});
    return nc.write();
}

class FvBoundsLoadTest : public ViewerDatasetFixture {};

TEST_F(FvBoundsLoadTest, TheLoaderBuildsTheCacheBesideTheDataset) {
    MainForm& form = mainForm();
    form.Picture1->resize(300, 200);
    form.Picture1->picture().resize(300, 200);
    ui.boxes.clear();
    Opt.OptShowMesh = 1;
    const std::string file = WriteFvFixture(dir.file("lagoon.nc"));
    Opt.URL(0) = file;
    LoadFile(0);
    for (const auto& b : ui.boxes)
        ADD_FAILURE() << b.text;
    ASSERT_EQ(Data.clsNC->GridType(1), kGridFvMesh);
    EXPECT_EQ(Data.BndFile, dir.file("lagoon.bnd"));
    EXPECT_EQ(readFile(Data.BndFile), kExpected);
    EXPECT_EQ(pairsOf(Data.fvlands, Data.nfvlands), kLand);
    EXPECT_EQ(pairsOf(Data.fvseas, Data.nfvseas), kSea);

    // The mesh display off: the lists of the last mesh stay, nothing is rebuilt.
    Opt.OptShowMesh = 0;
    fs::remove(Data.BndFile);
    LoadFile(0);
    EXPECT_FALSE(fs::exists(dir.file("lagoon.bnd")));
    EXPECT_EQ(pairsOf(Data.fvlands, Data.nfvlands), kLand);
}

} // namespace
