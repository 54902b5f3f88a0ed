// The bundled sample datasets, as the library sees them: each one is recognised as the grid
// layout it stands for, with the roles, sizes and time axis it was written with.
#include "kelvadlib/IKelvad.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// make-samples as the build made it.
fs::path makeSamplesTool() {
    return MAKE_SAMPLES_PATH;
}

class SamplesRecognitionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir();
        const fs::path tool = makeSamplesTool();
        if (!fs::exists(tool)) {
            problem_ =
                "make-samples not found at " + tool.string() + " (build target make-samples)";
            return;
        }
        const std::string command =
            "'" + tool.string() + "' '" + dir_->path().string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) problem_ = "make-samples failed";
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    void SetUp() override { ASSERT_TRUE(problem_.empty()) << problem_; }

    // A new object with the sample opened in slot 1.
    std::unique_ptr<IKelvad> open(const std::string& name) {
        std::unique_ptr<IKelvad> k(CreateKelvad());
        const Long slot = k->Initialize(dir_->file(name));
        EXPECT_EQ(slot, 1) << name << ": " << k->ErrorMessage();
        return k;
    }

    static TempDir* dir_;
    static std::string problem_;
};
TempDir* SamplesRecognitionTest::dir_ = nullptr;
std::string SamplesRecognitionTest::problem_;

TEST_F(SamplesRecognitionTest, RegularGlobalGrid) {
    auto k = open("regular_global.nc");
    EXPECT_EQ(k->GridType(), kGridRegular);
    EXPECT_EQ(k->nLon(), 72);
    EXPECT_EQ(k->nLat(), 36);
    EXPECT_EQ(k->kMax(), 3);
    EXPECT_EQ(k->nTime(), 12);
    EXPECT_EQ(k->lonlatOrder(), 2);
    EXPECT_FLOAT_EQ(k->westEnd(), -177.5f);
    EXPECT_FLOAT_EQ(k->eastEnd(), 177.5f);
    EXPECT_FLOAT_EQ(k->southEnd(), -87.5f);
    EXPECT_FLOAT_EQ(k->northEnd(), 87.5f);
    EXPECT_FLOAT_EQ(k->dLon(), 5.0f);
    EXPECT_TRUE(k->Dated());
    EXPECT_EQ(k->StartTime(), "2001-01-15");
    EXPECT_EQ(k->endTime(), "2001-12-15");
    EXPECT_EQ(k->dTimeSec(), 2623418); // 334 days over 11 steps, to the second
    EXPECT_EQ(k->Vector(), 1);
    EXPECT_EQ(k->waterUvId(), k->variNum("u"));
    EXPECT_EQ(k->waterVvId(), k->variNum("v"));
    EXPECT_EQ(k->waterTempvId(), k->variNum("temp"));
    EXPECT_EQ(k->Var1st(), k->variNum("temp"));

    // Land comes back as the no-value mark, the sea unpacked to degrees.
    VArray<float> values;
    const float noVal = -1e35f;
    const Variant valid = k->GetVarAny(k->variNum("temp"), noVal, values);
    const long total = 12L * 3 * 36 * 72;
    ASSERT_EQ(values.UBound() - values.LBound() + 1, total) << k->ErrorMessage();
    long marked = 0;
    for (Long n = values.LBound(); n <= values.UBound(); ++n) {
        if (values(n) == noVal) {
            ++marked;
            continue;
        }
        ASSERT_GE(values(n), -1.81f);
        ASSERT_LE(values(n), 31.0f);
    }
    EXPECT_GT(marked, total / 5);
    EXPECT_LT(marked, total / 2);
    EXPECT_EQ(valid.toLong(), total - marked);
}

TEST_F(SamplesRecognitionTest, BoundaryFittedCoastalGrid) {
    auto k = open("bfg_coastal.nc");
    EXPECT_EQ(k->GridType(), kGridBfg);
    EXPECT_EQ(k->iMax(), 40); // xpos
    EXPECT_EQ(k->jMax(), 24); // ypos
    EXPECT_EQ(k->lonlatOrder(), 2);
    EXPECT_EQ(k->nTime(), 25);
    EXPECT_EQ(k->StartTime(), "2004-03-15");
    EXPECT_EQ(k->endTime(), "2004-03-16");
    EXPECT_EQ(k->dTimeSec(), 3600);
    EXPECT_EQ(k->Vector(), 1);
    EXPECT_LT(k->westEnd(), k->eastEnd());
    EXPECT_LT(k->southEnd(), k->northEnd());
    EXPECT_GT(k->westEnd(), -72.0f);
    EXPECT_LT(k->eastEnd(), -68.0f);
}

TEST_F(SamplesRecognitionTest, FiniteElementMesh) {
    auto k = open("fe_mesh.nc");
    EXPECT_EQ(k->GridType(), kGridFeMesh);
    EXPECT_EQ(k->LLbyNodeOrEleement(), 1);
    EXPECT_EQ(k->nNodes(), 384);
    EXPECT_EQ(k->nElements(), 682);
    EXPECT_EQ(k->nSide(), 3);
    EXPECT_EQ(k->nTime(), 25);
    EXPECT_EQ(k->timeUnit(), "seconds");
    EXPECT_EQ(k->endTime(), "2004-03-16");
    EXPECT_EQ(k->dTimeSec(), 3600);
    EXPECT_EQ(k->Vector(), 1);

    VArray<Long> n1, n2, n3;
    ASSERT_EQ(k->FillNodeMesh(n1, n2, n3), 1) << k->ErrorMessage();
    ASSERT_EQ(n1.UBound(), 682);
    for (Long e = 1; e <= 682; ++e)
        for (Long n : {n1(e), n2(e), n3(e)}) {
            ASSERT_GE(n, 1);
            ASSERT_LE(n, 384);
        }
}

TEST_F(SamplesRecognitionTest, FiniteVolumeMeshWithLayers) {
    auto k = open("fv_mesh.nc");
    EXPECT_EQ(k->GridType(), kGridFvMesh);
    EXPECT_EQ(k->LLbyNodeOrEleement(), 2);
    // Elements named lon/lat make it a finite-volume mesh; the node coordinates, found by
    // their units, take their place.
    EXPECT_EQ(k->lonvId(), k->variNum("node_lon"));
    EXPECT_EQ(k->latvId(), k->variNum("node_lat"));
    EXPECT_EQ(k->nElements(), 234);
    EXPECT_EQ(k->nNodes(), 140); // 700 nodes in columns of five
    EXPECT_EQ(k->kMax(), 4);
    EXPECT_EQ(k->nTime(), 13);
    EXPECT_EQ(k->endTime(), "2004-03-16");
    EXPECT_EQ(k->dTimeSec(), 7200);
    EXPECT_EQ(k->Vector(), 1);
    EXPECT_EQ(k->ErrorMessage().find("FV_dimensions"), std::string::npos);

    VArray<Long> n1, n2, n3;
    ASSERT_EQ(k->FillNodeMesh(n1, n2, n3), 1) << k->ErrorMessage();
    ASSERT_EQ(n1.UBound(), 234);
    for (Long e = 1; e <= 234; ++e)
        for (Long n : {n1(e), n2(e), n3(e)}) {
            ASSERT_GE(n, 1);
            ASSERT_LE(n, 140);
        }

    // Node positions on request (one per column), element positions otherwise: the mean of
    // each element's corners.
    VArray<float> nodeLon, nodeLat;
    nodeLon.ReDim(1, 140);
    nodeLon(1) = -1;
    ASSERT_EQ(k->FillLonLatDeg(nodeLon, nodeLat), 1) << k->ErrorMessage();
    ASSERT_EQ(nodeLon.LBound(), 1);
    ASSERT_EQ(nodeLon.UBound(), 140);
    ASSERT_EQ(nodeLat.UBound(), 140);
    for (Long n = 1; n <= 140; ++n) {
        ASSERT_GE(nodeLon(n), k->westEnd());
        ASSERT_LE(nodeLon(n), k->eastEnd());
        ASSERT_GE(nodeLat(n), k->southEnd());
        ASSERT_LE(nodeLat(n), k->northEnd());
    }
    EXPECT_GT(k->westEnd(), 12.0f);
    EXPECT_LT(k->eastEnd(), 13.0f);
    EXPECT_GT(k->southEnd(), 45.0f);
    EXPECT_LT(k->northEnd(), 46.0f);

    VArray<float> lon, lat;
    ASSERT_EQ(k->FillLonLatDeg(lon, lat), 1) << k->ErrorMessage();
    ASSERT_EQ(lon.UBound(), 234);
    ASSERT_EQ(lat.UBound(), 234);
    for (Long e = 1; e <= 234; ++e) {
        const Long a = n1(e), b = n2(e), c = n3(e);
        ASSERT_EQ(lon(e), static_cast<float>((double{nodeLon(a)} + nodeLon(b) + nodeLon(c)) / 3))
            << e;
        ASSERT_EQ(lat(e), static_cast<float>((double{nodeLat(a)} + nodeLat(b) + nodeLat(c)) / 3))
            << e;
    }
}

TEST_F(SamplesRecognitionTest, GmtGrid) {
    auto k = open("gmt_grid.nc");
    EXPECT_EQ(k->GridType(), kGridGmt);
    EXPECT_EQ(k->nLon(), 101);
    EXPECT_EQ(k->nLat(), 81);
    EXPECT_EQ(k->nXysize(), 101 * 81);
    EXPECT_FLOAT_EQ(k->westEnd(), 120.0f);
    EXPECT_FLOAT_EQ(k->eastEnd(), 130.0f);
    EXPECT_FLOAT_EQ(k->southEnd(), 20.0f);
    EXPECT_FLOAT_EQ(k->northEnd(), 28.0f);
    EXPECT_FLOAT_EQ(k->dLon(), 0.1f);
    EXPECT_EQ(k->waterTempvId(), k->variNum("z"));
    EXPECT_EQ(k->LevelvId(), k->variNum("z_range"));
}

TEST_F(SamplesRecognitionTest, StationList) {
    auto k = open("stations.nc");
    EXPECT_EQ(k->GridType(), kGridCells);
    EXPECT_EQ(k->nCells(), 36);
    EXPECT_EQ(k->nTime(), 31);
    EXPECT_EQ(k->StartTime(), "2005-07-01");
    EXPECT_EQ(k->endTime(), "2005-07-31");
    EXPECT_EQ(k->dTimeSec(), 86400);
    EXPECT_TRUE(k->Dated());
    EXPECT_EQ(k->Vector(), 1);
    EXPECT_EQ(k->Var1st(), k->variNum("temp"));
}

} // namespace
