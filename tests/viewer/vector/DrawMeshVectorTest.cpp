// The mesh vector maps, one step and animated, on described meshes: arrows of a finite-element
// mesh at the nodes of the read window (at its stride), of a finite-volume mesh at its elements
// or, for a pair on the node dimension, at its nodes; a pair across two files; Esc, a dataset of
// one step and the read failures.
#include "viewer/vector/DrawFEVector.h"

#include "tests/viewer/vector/VectorPairFixture.h"
#include "viewer/map/BusyGuard.h"

namespace {

constexpr Long kU = 5, kV = 6;
constexpr Long kTimeDim = 1, kNodeDim = 2, kElemDim = 3;
constexpr Long kNodes = 6, kElems = 2;

float nodeLon(Long k) {
    return 150.0f + static_cast<float>(k);
}
float nodeLat(Long k) {
    return -30.0f - 0.5f * static_cast<float>(k);
}
float elemLon(Long e) {
    return 152.5f + 2.0f * static_cast<float>(e - 1);
}
float elemLat(Long e) {
    return -31.5f - static_cast<float>(e - 1);
}

// u = index, v = minus half the index, at every step but the fourth, where v is 3 in the
// second file.
float meshValue(Long slot, Long nv, const std::vector<Long>& idx) {
    const float k = static_cast<float>(idx.back());
    if (slot == 2) return 3;
    return nv == kU ? k : -0.5f * k;
}

class MeshVectorTest : public VectorPairFixture {
protected:
    void SetUp() override {
        VectorPairFixture::SetUp();
        fake.steps = 4;
        fake.timeDid = kTimeDim;
        fake.nodeDid = kNodeDim;
        fake.elemDid = kElemDim;
        fake.nodes = kNodes;
        fake.elems = kElems;
        fake.dimLen = {{kTimeDim, 4}, {kNodeDim, kNodes}, {kElemDim, kElems}};
        fake.value = meshValue;
        Data.DataExtent = {151, 156, -33, -30.5};
        View.ViewExtent = {151.5, 156.5, -34, -30};
    }

    // A finite-element mesh: positions per node in lonV/latV.
    void feMesh() {
        fake.grid = kGridFeMesh;
        Data.lonV.ReDim(1, kNodes);
        Data.latV.ReDim(1, kNodes);
        for (Long k = 1; k <= kNodes; ++k) {
            Data.lonV(k) = nodeLon(k);
            Data.latV(k) = nodeLat(k);
        }
        pairOn(kNodeDim);
    }
    // A finite-volume mesh: lonV/latV per element; the node positions come from the refill.
    void fvMesh(Long dim) {
        fake.grid = kGridFvMesh;
        Data.lonV.ReDim(1, kElems);
        Data.latV.ReDim(1, kElems);
        for (Long e = 1; e <= kElems; ++e) {
            Data.lonV(e) = elemLon(e);
            Data.latV(e) = elemLat(e);
        }
        for (Long k = 1; k <= kNodes; ++k) {
            fake.fillLon.push_back(nodeLon(k));
            fake.fillLat.push_back(nodeLat(k));
        }
        pairOn(dim);
    }
    void pairOn(Long dim) {
        fake.addVar(1, kU, "u", {kTimeDim, dim}).unit = "m/s";
        fake.addVar(1, kV, "v", {kTimeDim, dim}).unit = "m/s";
        fake.addVar(2, kV, "v2", {kTimeDim, dim}).unit = "m/s";
        pickPair(kU, kV);
    }
};

TEST_F(MeshVectorTest, FiniteElementArrowsStandAtTheNodesOfTheWindowAtItsStride) {
    feMesh();
    defaultOrderBoxes().strides[1] = "2";
    ASSERT_TRUE(prepare());
    ASSERT_EQ(arr(Win.startp), (std::vector<Long>{1, 2}));
    ASSERT_EQ(arr(Win.countp), (std::vector<Long>{1, 3}));
    DrawFEVector(pic);
    EXPECT_TRUE(messages().empty());
    const std::vector<Arrow> data = dataArrows();
    ASSERT_EQ(data.size(), 3u);
    for (Long n = 0; n < 3; ++n) {
        const Long k = 2 + 2 * n;
        expectArrow(data[static_cast<std::size_t>(n)], nodeLon(k), nodeLat(k),
                    static_cast<float>(k), -0.5f * static_cast<float>(k));
    }
    const std::vector<std::string> t = texts();
    EXPECT_EQ(t.front(), "u & v");
    EXPECT_EQ(t[1], "1 m/s");
    EXPECT_EQ(t.back(), "u & v  Scale=  10");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

TEST_F(MeshVectorTest, FiniteVolumePairsStandAtElementsOrAtNodesByTheirLastDimension) {
    fvMesh(kElemDim);
    View.ViewExtent = {150, 160, -40, -20};
    ASSERT_TRUE(prepare());
    DrawFEVector(pic);
    std::vector<Arrow> data = dataArrows();
    ASSERT_EQ(data.size(), 2u);
    expectArrow(data[0], elemLon(1), elemLat(1), 1, -0.5f);
    expectArrow(data[1], elemLon(2), elemLat(2), 2, -1);
    EXPECT_EQ(fake.fills, 0) << "no node positions for an element pair";

    // On the nodes: the window runs over node numbers beyond the element count, and every
    // arrow stands at its node.
    fake.vars.clear();
    pairOn(kNodeDim);
    View.ViewExtent = {152.5, 160, -40, -20};
    ASSERT_TRUE(prepare());
    ASSERT_EQ(arr(Win.startp), (std::vector<Long>{1, 3}));
    DrawFEVector(pic);
    EXPECT_TRUE(messages().empty());
    data = dataArrows();
    ASSERT_EQ(data.size(), 4u);
    for (Long k = 3; k <= kNodes; ++k)
        expectArrow(data[static_cast<std::size_t>(k - 3)], nodeLon(k), nodeLat(k),
                    static_cast<float>(k), -0.5f * static_cast<float>(k));
}

TEST_F(MeshVectorTest, NodePositionsThatCannotBeHadDrawNoArrow) {
    fvMesh(kNodeDim);
    Data.nodeLonV.ReDim(1, kNodes); // filled for the window, then lost
    Data.nodeLatV.ReDim(1, kNodes);
    for (Long k = 1; k <= kNodes; ++k) {
        Data.nodeLonV(k) = nodeLon(k);
        Data.nodeLatV(k) = nodeLat(k);
    }
    ASSERT_TRUE(prepare());
    Data.nodeLonV.ReDim(1, 2);
    fake.fillResult = -1;
    DrawFEVector(pic);
    EXPECT_EQ(messages(), (std::vector<std::string>{"This file does not have node coordinates"}));
    EXPECT_TRUE(dataArrows().empty());
    EXPECT_EQ(texts().back(), "u & v  Scale=  10");
}

TEST_F(MeshVectorTest, EachItemOfAPairAcrossTwoFilesComesFromItsOwnSlot) {
    feMesh();
    pickPair(kU, kV, 1, 2);
    ASSERT_TRUE(prepare());
    DrawFEVector(pic);
    ASSERT_EQ(fake.reads.size(), 2u);
    EXPECT_EQ(fake.reads[0].slot, 1);
    EXPECT_EQ(fake.reads[1].slot, 2);
    const std::vector<Arrow> data = dataArrows();
    ASSERT_FALSE(data.empty());
    expectArrow(data[0], nodeLon(2), nodeLat(2), 2, 3);
    EXPECT_EQ(texts().back(), "u & v2  Scale=  10");
}

TEST_F(MeshVectorTest, AnimationRunsFromTheStepBoxUntilEsc) {
    feMesh();
    orderBoxes().SetStepText("1");
    Anim.CancelFlag = -1; // left from an Esc while nothing ran
    int pumps = 0;
    bool busy = true;
    ui.onDoEvents = [&] {
        busy = busy && IsBusy(); // no other load or plot may start from these events
        if (++pumps == 2) Anim.CancelFlag = -1;
    };
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawFEVectorTimed(pic), 3);
    EXPECT_TRUE(busy);
    EXPECT_FALSE(IsBusy());
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(LastMapCaption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(orderBoxes().StepText(), " 3");
    ASSERT_EQ(fake.reads.size(), 4u);
    EXPECT_EQ(fake.reads[0].start[0], 2);
    EXPECT_EQ(fake.reads[3].start[0], 3);
    EXPECT_EQ(lastFrameArrows().size(), 5u) << "nodes 2 to 6";
    EXPECT_EQ(texts().back(), "u & v  Scale=  10");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);

    // One step only: no pass; the legend and the footer stay; the start step comes back.
    fake.steps = 1;
    ui.onDoEvents = {};
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawFEVectorTimed(pic), 1);
    EXPECT_TRUE(fake.reads.empty());
    EXPECT_EQ(arrows().size(), 1u) << "the reference arrow";
    EXPECT_EQ(texts().back(), "u & v  Scale=  10");
}

TEST_F(MeshVectorTest, AFailedReadShowsTheWalkWhereTheLastStepLeftIt) {
    feMesh();
    orderBoxes().SetStepText("1");
    fake.failRead = 3; // u of the second step drawn
    ASSERT_TRUE(prepare());
    EXPECT_EQ(DrawFEVectorTimed(pic), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawFEVectorTimed] NetCDF Error");
    EXPECT_EQ(ui.boxes[0].text, "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound"
                                "\r\n\r\ni,j=  0  6\r\nstartp, count=  3  1\r\n"
                                "startp, count=  2  5\r\n");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_EQ(orderBoxes().StepText(), " 3");

    ui.boxes.clear();
    fake.failRead = 1;
    ASSERT_TRUE(prepare());
    DrawFEVector(pic);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "[DrawGridScalar] NetCDF Error");
    EXPECT_NE(texts().back(), "u & v  Scale=  10") << "no footer after a failed read";
}

} // namespace
