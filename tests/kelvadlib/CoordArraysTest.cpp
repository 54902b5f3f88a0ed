// Coordinate arrays handed to the caller: every grid type in degrees and radians, the
// boundary-fitted orders, finite-volume node requests, the mesh corner table and the levels.
#include "kelvadlib/Kelvad.h"
#include "tests/support/DapServer.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/support/VArrayItems.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr double kFactor = 0.017453292222222222;

float rad(float degrees) {
    return static_cast<float>(static_cast<double>(degrees) * kFactor);
}

VArray<float> list(std::initializer_list<float> values) {
    VArray<float> a(1, static_cast<Long>(values.size()));
    Long i = 1;
    for (float v : values)
        a(i++) = v;
    return a;
}

Long resultOf(const Variant& v) {
    EXPECT_EQ(v.type(), Variant::Type::kInteger);
    return v.toLong();
}

// A Kelvad without alias file whose slots are set up by hand: the fills read only the record
// and its caches.
class CoordArraysTest : public ::testing::Test {
protected:
    CoordArraysTest() : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path());
    }
    ~CoordArraysTest() override { std::filesystem::current_path(old_); }

    NcfRec& slot(Long n) {
        if (!k.ncf.IsAllocated() || k.ncf.UBound() < n) k.ncf.ReDimPreserve(0, n);
        if (k.nNcMax < n) k.nNcMax = n;
        return k.ncf(n);
    }
    Long header(const std::string& path, Long n = 1) {
        k.nNcMax = n;
        return k.GetNCHeader(path, n);
    }

    TempDir dir;
    std::filesystem::path old_;
    Kelvad k;
};

TEST_F(CoordArraysTest, ListLayoutsCopyInDegreesAndScaleInRadians) {
    struct Case {
        Long gridType;
        Long nCells, nLon, nLat, nNodes; // the record's counts
        Long radLon, radLat;             // lengths the radian fill takes from them
    };
    // The caches hold 4 longitudes and 3 latitudes whatever the counts say: the degree fill
    // copies them, the radian fill dimensions from the counts.
    const Case cases[] = {
        {kGridCells, 3, 0, 0, 0, 3, 3},
        {kGridRegular, 0, 4, 3, 0, 4, 3},
        {kGridGmt, 0, 4, 3, 0, 4, 3},
        {kGridFeMesh, 0, 0, 0, 2, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gridType);
        NcfRec& r = slot(1);
        r.GridType = c.gridType;
        r.nCells = c.nCells;
        r.nLon = c.nLon;
        r.nLat = c.nLat;
        r.nNodes = c.nNodes;
        r.lonArr = list({180, 90, -45, 0});
        r.latArr = list({10, 20, 30});

        VArray<float> lon, lat;
        ASSERT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), 1);
        EXPECT_EQ(items(lon), items(r.lonArr));
        EXPECT_EQ(items(lat), items(r.latArr));
        EXPECT_EQ(lon.Rank(), 1);

        ASSERT_EQ(resultOf(k.doFill_LonLatRad(1, lon, lat)), 1);
        EXPECT_EQ(lon.LBound(), 1);
        EXPECT_EQ(lon.UBound(), c.radLon);
        EXPECT_EQ(lat.UBound(), c.radLat);
        for (Long i = 1; i <= c.radLon; ++i)
            EXPECT_EQ(lon(i), rad(r.lonArr(i)));
        for (Long i = 1; i <= c.radLat; ++i)
            EXPECT_EQ(lat(i), rad(r.latArr(i)));
    }
    // The program's factor, not pi / 180: 180 gives one step below the Single nearest pi.
    VArray<float> lon, lat;
    k.doFill_LonLatRad(1, lon, lat);
    EXPECT_EQ(std::bit_cast<uint32_t>(lon(1)), 0x40490FDAu);
    EXPECT_EQ(std::bit_cast<uint32_t>(lon(2)), 0x3FC90FDAu);
}

TEST_F(CoordArraysTest, RadiansBeyondTheCacheEndInTheHandler) {
    NcfRec& r = slot(1);
    r.GridType = kGridRegular;
    r.nLon = 5; // more than the cache holds
    r.nLat = 1;
    r.lonArr = list({1, 2});
    r.latArr = list({3});
    VArray<float> lon, lat;
    EXPECT_EQ(resultOf(k.doFill_LonLatRad(1, lon, lat)), -1);
    EXPECT_EQ(k.ErrorMessage,
              "[doFill_LonLatRad] Error(number 9)is:\r\n\"Subscript out of range\"");
    // A slot outside the records.
    EXPECT_EQ(resultOf(k.doFill_LonLatDeg(7, lon, lat)), -1);
    EXPECT_EQ(k.ErrorMessage,
              "[doFill_LonLatDeg] Error(number 9)is:\r\n\"Subscript out of range\"");
}

TEST_F(CoordArraysTest, UnknownGridTypeLeavesTheOutputs) {
    for (Long gt : {kGridNone, kGridFvMesh + 1, -1}) {
        NcfRec& r = slot(1);
        r.GridType = gt;
        VArray<float> lon = list({5}), lat = list({6});
        k.ErrorMessage.clear();
        EXPECT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), -1);
        EXPECT_EQ(k.ErrorMessage, "unknown file type");
        EXPECT_EQ(resultOf(k.doFill_LonLatRad(1, lon, lat)), -1);
        EXPECT_EQ(lon(1), 5.0f);
        EXPECT_EQ(lat(1), 6.0f);
    }
}

// Boundary-fitted grid, iMax 2 x jMax 3, caches 1..6 (latitudes 11..16).
class BoundaryFittedFill : public CoordArraysTest {
protected:
    NcfRec& grid(Long order, const std::string& firstDim) {
        NcfRec& r = slot(1);
        r.GridType = kGridBfg;
        r.iMax = 2;
        r.jMax = 3;
        r.lonlatOrder = order;
        r.lonArr = list({1, 2, 3, 4, 5, 6});
        r.latArr = list({11, 12, 13, 14, 15, 16});
        r.dime.ReDim(1, 2);
        r.dime(1).name = firstDim;
        r.dime(2).name = "gridj";
        return r;
    }
};

TEST_F(BoundaryFittedFill, GridiAlternatesBetweenTheTwoOrders) {
    NcfRec& r = grid(1, "gridi");
    VArray<float> lon, lat;
    ASSERT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), 1);
    ASSERT_EQ(lon.Rank(), 2);
    EXPECT_EQ(lon.UBound(1), 2);
    EXPECT_EQ(lon.UBound(2), 3);
    EXPECT_EQ(items(lon), (std::vector<float>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(lat(2, 3), 16.0f);
    EXPECT_EQ(r.lonlatOrder, 4);

    // The next fill writes the other order into the same arrays and switches back.
    ASSERT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), 1);
    EXPECT_EQ(lon(1, 1), 1.0f);
    EXPECT_EQ(lon(2, 1), 2.0f);
    EXPECT_EQ(lon(1, 2), 3.0f);
    EXPECT_EQ(lon(2, 2), 4.0f);
    EXPECT_EQ(lon(1, 3), 5.0f);
    EXPECT_EQ(lon(2, 3), 6.0f);
    EXPECT_EQ(lat(2, 3), 16.0f);
    EXPECT_EQ(r.lonlatOrder, 1);

    // Radians: the same layout, each value times the factor.
    ASSERT_EQ(resultOf(k.doFill_LonLatRad(1, lon, lat)), 1);
    EXPECT_EQ(lon(2, 1), rad(4));
    EXPECT_EQ(lat(1, 3), rad(13));
    EXPECT_EQ(r.lonlatOrder, 4);
}

TEST_F(BoundaryFittedFill, OtherOrdersAndNames) {
    // Only "gridi" exactly switches the order.
    NcfRec& r = grid(1, "GRIDI");
    VArray<float> lon, lat;
    ASSERT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), 1);
    EXPECT_EQ(r.lonlatOrder, 1);

    // Order 2: j first.
    grid(2, "y");
    ASSERT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), 1);
    EXPECT_EQ(lon.UBound(1), 3);
    EXPECT_EQ(lon.UBound(2), 2);
    EXPECT_EQ(lon(1, 2), 2.0f);
    EXPECT_EQ(lon(3, 1), 5.0f);

    // Order 0, and order 3 whose longitude variable has no order of its own, write nothing
    // and succeed.
    for (Long order : {0, 3}) {
        grid(order, "gridi");
        VArray<float> a = list({9}), b = list({8});
        EXPECT_EQ(resultOf(k.doFill_LonLatRad(1, a, b)), 1);
        EXPECT_EQ(a.Rank(), 1);
        EXPECT_EQ(a(1), 9.0f);
    }

    // Order 4 into arrays that the order-1 fill did not shape ends in the handler.
    grid(4, "gridi");
    VArray<float> a = list({1, 2}), b = list({1, 2});
    EXPECT_EQ(resultOf(k.doFill_LonLatDeg(1, a, b)), -1);
    EXPECT_EQ(k.ErrorMessage,
              "[doFill_LonLatDeg] Error(number 9)is:\r\n\"Subscript out of range\"");
}

TEST_F(BoundaryFittedFill, BothOrdersKeepTheLayoutOfTheLongitudeVariable) {
    // Variables of both orders (lonlatOrder 3): the arrays take the layout of the longitude
    // variable itself, and the dataset's order stays as it is, "gridi" or not.
    struct Case {
        Long lonOrder;
        Long ub1, ub2;
    };
    for (const Case c : {Case{1, 2, 3}, Case{2, 3, 2}}) {
        SCOPED_TRACE(c.lonOrder);
        NcfRec& r = grid(3, "gridi");
        r.vari.ReDim(1, 1);
        r.lon_vId = 1;
        r.vari(1).lonlatOrder = c.lonOrder;
        VArray<float> lon, lat;
        ASSERT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), 1);
        ASSERT_EQ(lon.Rank(), 2);
        EXPECT_EQ(lon.UBound(1), c.ub1);
        EXPECT_EQ(lon.UBound(2), c.ub2);
        EXPECT_EQ(lat.UBound(1), c.ub1);
        EXPECT_EQ(items(lon), (std::vector<float>{1, 2, 3, 4, 5, 6})) << "the caches' order";
        EXPECT_EQ(r.lonlatOrder, 3);
        if (c.lonOrder == 1) {
            EXPECT_EQ(lon(1, 3), 3.0f);
            EXPECT_EQ(lat(2, 1), 14.0f);
        } else {
            EXPECT_EQ(lon(1, 2), 2.0f);
            EXPECT_EQ(lat(3, 1), 15.0f);
        }
        ASSERT_EQ(resultOf(k.doFill_LonLatRad(1, lon, lat)), 1);
        EXPECT_EQ(lon.UBound(1), c.ub1);
        EXPECT_EQ(lon(2, 2), rad(c.lonOrder == 1 ? 5 : 4));
        EXPECT_EQ(r.lonlatOrder, 3);
    }
}

// A boundary-fitted file of 4 (i) x 3 (j) nodes whose "zeta" is stored (time, j, i) and "u"
// (time, i, j), over coordinate variables stored (i, j) or (j, i): lon = 10 + i + 0.1 j,
// lat = 50 + j.
TEST_F(CoordArraysTest, AFileWithVariablesOfBothOrdersFillsItsCoordinates) {
    for (const bool coordsIFirst : {true, false}) {
        SCOPED_TRACE(coordsIFirst);
        const std::string name = coordsIFirst ? "mixed_ij.nc" : "mixed_ji.nc";
        NcBuilder nc(dir.file(name));
        nc.unlimitedDim("time", 2);
        nc.dim("ypos", 3);
        nc.dim("xpos", 4);
        const std::vector<std::string> coords = coordsIFirst
                                                    ? std::vector<std::string>{"xpos", "ypos"}
                                                    : std::vector<std::string>{"ypos", "xpos"};
        std::vector<double> lonValues, latValues;
        const int n1 = coordsIFirst ? 4 : 3, n2 = coordsIFirst ? 3 : 4;
        for (int p = 1; p <= n1; ++p)
            for (int q = 1; q <= n2; ++q) {
                const int i = coordsIFirst ? p : q, j = coordsIFirst ? q : p;
                lonValues.push_back(10 + i + 0.1 * j);
                latValues.push_back(50 + j);
            }
        nc.var("time", NC_DOUBLE, {"time"})
            .att("units", "hours since 2004-03-15 00:00:00")
            .values({0.0, 1.0});
        nc.var("lon", NC_FLOAT, coords).att("units", "degrees_east").values(lonValues);
        nc.var("lat", NC_FLOAT, coords).att("units", "degrees_north").values(latValues);
        nc.var("zeta", NC_FLOAT, {"time", "ypos", "xpos"});
        nc.var("u", NC_FLOAT, {"time", "xpos", "ypos"});
        const std::string path = nc.write();

        Kelvad kv;
        ASSERT_EQ(kv.Initialize(path), 1) << kv.ErrorMessage;
        const NcfRec& r = kv.ncf(1);
        ASSERT_EQ(r.GridType, kGridBfg);
        EXPECT_EQ(r.iMax, 4);
        EXPECT_EQ(r.jMax, 3);
        EXPECT_EQ(r.lonlatOrder, 3);
        EXPECT_EQ(r.vari(4).lonlatOrder, 2); // zeta
        EXPECT_EQ(r.vari(5).lonlatOrder, 1); // u

        VArray<float> lon, lat;
        ASSERT_EQ(resultOf(kv.doFill_LonLatDeg(1, lon, lat)), 1) << kv.ErrorMessage;
        ASSERT_EQ(lon.Rank(), 2);
        EXPECT_EQ(lon.UBound(1), n1);
        EXPECT_EQ(lon.UBound(2), n2);
        for (int i = 1; i <= 4; ++i)
            for (int j = 1; j <= 3; ++j) {
                const float x = coordsIFirst ? lon(i, j) : lon(j, i);
                const float y = coordsIFirst ? lat(i, j) : lat(j, i);
                EXPECT_EQ(x, static_cast<float>(10 + i + 0.1 * j)) << i << "," << j;
                EXPECT_EQ(y, static_cast<float>(50 + j)) << i << "," << j;
            }
        // A second fill gives the same arrays: no alternation.
        VArray<float> lon2, lat2;
        ASSERT_EQ(resultOf(kv.doFill_LonLatDeg(1, lon2, lat2)), 1);
        EXPECT_EQ(items(lon2), items(lon));
        EXPECT_EQ(r.lonlatOrder, 3);
    }
}

// Finite-volume mesh: 4 nodes, 2 elements.
class FiniteVolumeFill : public CoordArraysTest {
protected:
    NcfRec& mesh(bool onNodes) {
        NcfRec& r = slot(1);
        r.GridType = kGridFvMesh;
        r.node_dId = 0;
        r.elem_dId = 1;
        r.lon_vId = 1;
        r.vari.ReDim(1, 1);
        r.vari(1).narray = 1;
        r.vari(1).arrayDimId(1) = onNodes ? 0 : 1;
        r.nNodes = 4;
        r.nElements = 2;
        if (onNodes) {
            r.lonArr = list({0, 3, 0, 6});
            r.latArr = list({0, 0, 3, 6});
            r.node1Arr = VArray<Long>(1, 2);
            r.node2Arr = VArray<Long>(1, 2);
            r.node3Arr = VArray<Long>(1, 2);
            r.node1Arr(1) = 1, r.node2Arr(1) = 2, r.node3Arr(1) = 3;
            r.node1Arr(2) = 2, r.node2Arr(2) = 4, r.node3Arr(2) = 3;
            r.nodeElemArr = VArray<Long>(1, 2);
            r.nodeElemArr(1) = 1, r.nodeElemArr(2) = 2;
        } else {
            r.lonArr = list({10, 20});
            r.latArr = list({-10, -20});
        }
        return r;
    }
};

TEST_F(FiniteVolumeFill, NodeCoordinatesOnRequestElseCentres) {
    NcfRec& r = mesh(true);
    VArray<float> lon(1, 4), lat;
    lon(1) = -1; // the request
    ASSERT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), 1);
    EXPECT_EQ(items(lon), items(r.lonArr));
    EXPECT_EQ(items(lat), items(r.latArr));

    lon(1) = -1;
    ASSERT_EQ(resultOf(k.doFill_LonLatRad(1, lon, lat)), 1);
    EXPECT_EQ(lon(2), rad(3));
    EXPECT_EQ(lat(4), rad(6));

    // Never dimensioned: no request, one centre per element.
    VArray<float> cLon, cLat;
    ASSERT_EQ(resultOf(k.doFill_LonLatDeg(1, cLon, cLat)), 1);
    EXPECT_EQ(items(cLon), (std::vector<float>{1, 3}));
    EXPECT_EQ(items(cLat), (std::vector<float>{1, 3}));
    ASSERT_EQ(resultOf(k.doFill_LonLatRad(1, cLon, cLat)), 1); // element 1 >= 0: no request
    EXPECT_EQ(cLon(2), rad(3));

    // A request through a two-dimensional array has no element 1 to read.
    VArray<float> grid(1, 2, 1, 2);
    EXPECT_EQ(resultOf(k.doFill_LonLatDeg(1, grid, cLat)), -1);
    EXPECT_NE(k.ErrorMessage.find("Error(number 9)"), std::string::npos);
}

// A quadrangle, split in two triangles, is placed at the mean of its four corners; a table of
// triangles never read places nothing.
TEST_F(FiniteVolumeFill, AQuadrangleIsPlacedAtItsFourCorners) {
    NcfRec& r = mesh(true);
    r.nElements = 1;
    r.node1Arr(2) = 1, r.node2Arr(2) = 4, r.node3Arr(2) = 3;
    r.node1Arr(1) = 1, r.node2Arr(1) = 2, r.node3Arr(1) = 4;
    r.nodeElemArr(2) = 1;
    VArray<float> lon, lat;
    ASSERT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), 1) << k.ErrorMessage;
    EXPECT_EQ(items(lon), (std::vector<float>{2.25f}));
    EXPECT_EQ(items(lat), (std::vector<float>{2.25f}));

    r.nElements = 2; // element 2 has no triangle
    EXPECT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), -1);
    EXPECT_NE(k.ErrorMessage.find("Error(number 9)"), std::string::npos);
    r.nodeElemArr.Erase();
    EXPECT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), -1);
    EXPECT_NE(k.ErrorMessage.find("Error(number 9)"), std::string::npos);
}

TEST_F(FiniteVolumeFill, ElementCoordinatesHaveNoNodes) {
    mesh(false);
    VArray<float> lon, lat;
    ASSERT_EQ(resultOf(k.doFill_LonLatDeg(1, lon, lat)), 1);
    EXPECT_EQ(items(lon), (std::vector<float>{10, 20}));
    ASSERT_EQ(resultOf(k.doFill_LonLatRad(1, lon, lat)), 1);
    EXPECT_EQ(lat(2), rad(-20));

    VArray<float> req = list({-1, 0}), keep = list({7});
    EXPECT_EQ(resultOf(k.doFill_LonLatDeg(1, req, keep)), -1);
    EXPECT_EQ(k.ErrorMessage, "This file does not have node coordinates");
    EXPECT_EQ(req(2), 0.0f);
    EXPECT_EQ(keep(1), 7.0f);
}

TEST_F(CoordArraysTest, EachSlotAnswersWithItsOwnCaches) {
    NcfRec& one = slot(1);
    one.GridType = kGridCells;
    one.nCells = 2;
    one.lonArr = list({1, 2});
    one.latArr = list({3, 4});
    NcfRec& two = slot(2);
    two.GridType = kGridCells;
    two.nCells = 1;
    two.lonArr = list({50});
    two.latArr = list({60});
    VArray<float> lon, lat;
    ASSERT_EQ(resultOf(k.doFill_LonLatRad(1, lon, lat)), 1);
    EXPECT_EQ(lon(2), rad(2));
    ASSERT_EQ(resultOf(k.doFill_LonLatDeg(2, lon, lat)), 1);
    EXPECT_EQ(items(lat), (std::vector<float>{60}));
}

TEST_F(CoordArraysTest, VerticalCoordinateCopy) {
    NcfRec& r = slot(1);
    r.kMax = 3;
    r.vCoordArr.ReDim(0, 3);
    r.vCoordArr(1) = 5;
    r.vCoordArr(2) = 10;
    r.vCoordArr(3) = 20.5;
    VArray<double> v;
    ASSERT_EQ(k.doFill_vCoord(1, v), 1);
    EXPECT_EQ(v.LBound(), 1);
    EXPECT_EQ(items(v), (std::vector<double>{5, 10, 20.5}));

    r.kMax = 0;
    EXPECT_EQ(k.doFill_vCoord(1, v), -1);
    EXPECT_EQ(k.ErrorMessage, "Error message (number 9)is:\r\n\"Subscript out of range\"");
    // A cache shorter than kMax.
    r.kMax = 4;
    EXPECT_EQ(k.doFill_vCoord(1, v), -1);
}

// ---- The corner table of a mesh ------------------------------------------------------------

struct MeshFile {
    Long nSide = 3;
    Long nElements = 1;
    std::vector<int> values; // in the variable's own order
    std::optional<int> startIndex = {};
    bool cornersFirst = false; // nv(three, nele), as FVCOM writes it; else nv(nele, three)
    Long rows = -1;            // size of the element dimension; -1: nElements
    std::optional<int> fill = {};
};

class NodeMeshTest : public CoordArraysTest {
protected:
    // A mesh file with node, nele and three (or six) dimensions and a connectivity variable
    // over nele and three; the record fields that recognition and classification would set
    // are set here.
    NcfRec& load(const MeshFile& m, Long nNodes, Long layers = 0) {
        NcBuilder nc(dir.file("mesh.nc"));
        nc.dim("node", static_cast<std::size_t>(nNodes * (layers + 1)));
        const Long rows = m.rows < 0 ? m.nElements : m.rows;
        nc.dim("nele", static_cast<std::size_t>(rows));
        nc.dim("three", static_cast<std::size_t>(m.nSide));
        nc.var("x", NC_FLOAT, {"node"});
        auto& nv = nc.var("nv", NC_INT,
                          m.cornersFirst ? std::vector<std::string>{"three", "nele"}
                                         : std::vector<std::string>{"nele", "three"});
        nv.values(m.values);
        if (m.startIndex) nv.att("start_index", NC_INT, *m.startIndex);
        if (m.fill) nv.att("_FillValue", NC_INT, *m.fill);
        nc.write();
        EXPECT_EQ(header(nc.path()), 1) << k.ErrorMessage;
        NcfRec& r = k.ncf(1);
        r.GridType = kGridFvMesh;
        r.node_dId = 0;
        r.elem_dId = 1;
        r.face_dId = 2;
        r.nSide = m.nSide;
        r.nElements = m.nElements;
        r.nNodes = nNodes;
        r.FV_layers = layers;
        r.vari(1).kind = 1;
        r.vari(2).kind = 2;
        return r;
    }
    // The header of a file written by hand, with the mesh fields of a three-corner table.
    NcfRec& table(const std::string& path, Long faceDId, Long nElements, Long nNodes) {
        EXPECT_EQ(header(path), 1) << k.ErrorMessage;
        NcfRec& r = k.ncf(1);
        r.face_dId = faceDId;
        r.nSide = 3;
        r.nElements = nElements;
        r.nNodes = nNodes;
        r.FV_layers = 0;
        return r;
    }
    std::vector<std::vector<Long>> corners() {
        std::vector<std::vector<Long>> out;
        for (Long n = n1.LBound(); n <= n1.UBound(); ++n)
            out.push_back({n1(n), n2(n), n3(n)});
        return out;
    }
    // Corner tables as an earlier dataset left them.
    void earlierTable() {
        for (VArray<Long>* a : {&n1, &n2, &n3}) {
            a->ReDim(1, 2);
            (*a)(1) = 42;
        }
    }
    bool tableCleared() const {
        return !n1.IsAllocated() && !n2.IsAllocated() && !n3.IsAllocated();
    }
    VArray<Long> n1, n2, n3;
};

TEST_F(NodeMeshTest, CornersFromTheConnectivityVariable) {
    struct Case {
        const char* what;
        Long nNodes, layers;
        std::vector<std::vector<Long>> expected;
        MeshFile file; // last: before expected, GCC 12 warns falsely of a use after free here
    };
    const Case cases[] = {
        {"0-based numbers become 1-based", 3, 0, {{1, 2, 3}}, {3, 1, {0, 1, 2}}},
        {"start_index 1", 5, 0, {{1, 2, 3}, {2, 4, 3}}, {3, 2, {1, 2, 3, 2, 4, 3}, 1}},
        {"start_index 0 holds even without a 0", 4, 0, {{2, 3, 4}}, {3, 1, {1, 2, 3}, 0}},
        {"no 0 and the node count reached: from 1",
         4,
         0,
         {{1, 2, 3}, {2, 4, 3}},
         {3, 2, {1, 2, 3, 2, 4, 3}}},
        {"no 0, the last nodes unused: from 1", 5, 0, {{1, 2, 3}}, {3, 1, {1, 2, 3}}},
        {"a 0 and short of the node count: from 0", 5, 0, {{1, 3, 4}}, {3, 1, {0, 2, 3}}},
        {"corners by elements, as FVCOM writes nv",
         4,
         0,
         {{1, 2, 3}, {2, 4, 3}},
         {3, 2, {1, 2, 2, 4, 3, 3}, 1, true}},
        {"corners by elements counted from 1 without the attribute",
         4,
         0,
         {{1, 2, 3}, {2, 4, 3}},
         {3, 2, {1, 2, 2, 4, 3, 3}, {}, true}},
        {"columns of layers fold onto their node", 5, 4, {{3, 4, 5}}, {3, 1, {10, 15, 20}}},
        {"columns counted from 1", 5, 4, {{3, 4, 5}}, {3, 1, {11, 16, 21}, 1}},
        {"six corners: the first three",
         9,
         0,
         {{1, 2, 3}, {7, 8, 9}},
         {6, 2, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}},
        {"six corners by elements",
         9,
         0,
         {{1, 2, 3}, {7, 8, 9}},
         {6, 2, {0, 6, 1, 7, 2, 8, 3, 9, 4, 10, 5, 11}, {}, true}},
        {"truncated toward zero", 1, 4, {{1, 1, 1}}, {3, 1, {-1, 0, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        load(c.file, c.nNodes, c.layers);
        ASSERT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), 1) << k.ErrorMessage;
        EXPECT_EQ(corners(), c.expected);
        EXPECT_GE(k.ncf(1).ncid, 0); // left open
    }
}

// Tables of four corners, as SCHISM and D-Flow FM write them: a row padded after three corners
// is a triangle, a quadrangle gives two triangles along its diagonal from the first corner, and
// each triangle knows its element.
TEST_F(NodeMeshTest, FourCornersGiveTrianglesOfTheirElements) {
    struct Case {
        const char* what;
        Long nNodes;
        std::vector<std::vector<Long>> expected;
        std::vector<Long> elements;
        MeshFile file;
    };
    const std::vector<std::vector<Long>> mixed = {{1, 2, 5}, {1, 5, 4}, {2, 3, 5}, {3, 6, 5}};
    const std::vector<Long> mixedFrom = {1, 1, 2, 3};
    const Case cases[] = {
        {"padded with _FillValue, from 1",
         4,
         {{1, 2, 3}, {2, 4, 3}},
         {1, 2},
         {4, 2, {1, 2, 3, -999, 2, 4, 3, -999}, 1, false, -1, -999}},
        {"padded with -1, from 0, no _FillValue",
         4,
         {{1, 2, 3}, {2, 4, 3}},
         {1, 2},
         {4, 2, {0, 1, 2, -1, 1, 3, 2, -1}, 0}},
        {"padded with -1 under a _FillValue of -1, from 1",
         4,
         {{1, 2, 3}, {2, 4, 3}},
         {1, 2},
         {4, 2, {1, 2, 3, -1, 2, 4, 3, -1}, 1, false, -1, -1}},
        {"padded, numbering guessed from 0",
         4,
         {{1, 2, 3}, {2, 4, 3}},
         {1, 2},
         {4, 2, {0, 1, 2, -1, 1, 3, 2, -1}}},
        {"padded, numbering guessed from 1 past a large fill",
         4,
         {{1, 2, 3}, {2, 4, 3}},
         {1, 2},
         {4, 2, {1, 2, 3, 99999, 2, 4, 3, 99999}, {}, false, -1, 99999}},
        {"a quadrangle and two triangles, from 1",
         6,
         mixed,
         mixedFrom,
         {4, 3, {1, 2, 5, 4, 2, 3, 5, -999, 3, 6, 5, -999}, 1, false, -1, -999}},
        {"a quadrangle and two triangles, from 0",
         6,
         mixed,
         mixedFrom,
         {4, 3, {0, 1, 4, 3, 1, 2, 4, -1, 2, 5, 4, -1}, 0}},
        {"corners by elements",
         6,
         mixed,
         mixedFrom,
         {4, 3, {1, 2, 3, 2, 3, 6, 5, 5, 5, 4, -999, -999}, 1, true, -1, -999}},
        {"a fourth corner repeating the third", 4, {{1, 2, 3}}, {1}, {4, 1, {1, 2, 3, 3}, 1}},
        {"a 0 after corners from 1", 4, {{1, 2, 3}}, {1}, {4, 1, {1, 2, 3, 0}, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        load(c.file, c.nNodes);
        VArray<Long> from;
        ASSERT_EQ(k.doFill_NodeMesh(1, n1, n2, n3, &from), 1) << k.ErrorMessage;
        EXPECT_EQ(corners(), c.expected);
        EXPECT_EQ(items(from), c.elements);
        ASSERT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), 1); // the elements need not be asked for
        EXPECT_EQ(corners(), c.expected);
    }

    // Padding stands only for a fourth corner; a bad fourth corner fails as any other.
    const MeshFile bad[] = {{4, 1, {1, 2, -999, -999}, 1, false, -1, -999},
                            {4, 1, {1, 2, 3, 7}, 1}};
    for (const MeshFile& m : bad) {
        load(m, 4);
        earlierTable();
        VArray<Long> from = VArray<Long>(1, 1);
        EXPECT_EQ(k.doFill_NodeMesh(1, n1, n2, n3, &from), -1);
        EXPECT_EQ(k.ErrorMessage.rfind("[doFill_NodeMesh] Node number ", 0), 0u) << k.ErrorMessage;
        EXPECT_TRUE(tableCleared());
        EXPECT_FALSE(from.IsAllocated());
    }
}

TEST_F(NodeMeshTest, NodeNumbersOutsideTheMeshFailAndClearTheTable) {
    struct Case {
        std::vector<int> values;
        Long layers;
        std::optional<int> startIndex;
    };
    // -1 with no layers is node 0; 3 is node 4 of a 3-node mesh; a 0 below start_index 1.
    const Case cases[] = {
        {{-1, 0, 1}, 0, {}}, {{0, 1, 3}, 0, {}}, {{0, 1, 9}, 2, {}}, {{0, 1, 2}, 0, 1}};
    for (const Case& c : cases) {
        load({3, 1, c.values, c.startIndex}, 3, c.layers);
        earlierTable();
        EXPECT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), -1);
        EXPECT_EQ(k.ErrorMessage.rfind("[doFill_NodeMesh] Node number ", 0), 0u) << k.ErrorMessage;
        EXPECT_TRUE(tableCleared());
    }
}

TEST_F(NodeMeshTest, BadShapesAreRefusedAndClearTheTable) {
    struct Case {
        const char* what;
        MeshFile file;
        const char* message;
    };
    const Case cases[] = {
        {"more elements than the mesh",
         {3, 2, {0, 1, 2, 2, 1, 0, 0, 1, 2, 2, 1, 0}, {}, false, 4},
         "nv is 4 x 3, not 2 elements x 3 nodes"},
        {"fewer elements than the mesh",
         {3, 2, {0, 1, 2}, {}, false, 1},
         "nv is 1 x 3, not 2 elements x 3 nodes"},
        {"corners by elements, too few elements",
         {3, 2, {0, 1, 2}, {}, true, 1},
         "nv is 3 x 1, not 2 elements x 3 nodes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        load(c.file, 3);
        earlierTable();
        EXPECT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), -1);
        EXPECT_EQ(k.ErrorMessage,
                  std::string("[doFill_NodeMesh] Node connection variable ") + c.message);
        EXPECT_TRUE(tableCleared());
    }

    // Over the nodes-per-element dimension alone: one element only.
    NcBuilder nc(dir.file("one.nc"));
    nc.dim("three", 3);
    nc.var("nv", NC_INT, {"three"}).values(std::vector<int>{2, 0, 1});
    NcfRec& r = table(nc.write(), 0, 1, 3);
    r.vari(1).kind = 2;
    ASSERT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), 1) << k.ErrorMessage;
    EXPECT_EQ(corners(), (std::vector<std::vector<Long>>{{3, 1, 2}}));
    r.nElements = 2;
    EXPECT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), -1);
    EXPECT_EQ(k.ErrorMessage,
              "[doFill_NodeMesh] Node connection variable nv is 3, not 2 elements x 3 nodes");
    EXPECT_TRUE(tableCleared());
}

TEST_F(NodeMeshTest, MissingDimensionOrVariable) {
    NcfRec& r = load({3, 1, {0, 1, 2}}, 3);
    r.face_dId = -1;
    earlierTable();
    EXPECT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), -1);
    EXPECT_EQ(k.ErrorMessage, "[doFill_NodeMesh] Node connection dimension not set: ");
    EXPECT_TRUE(tableCleared());
    r.face_dId = 2;
    for (Long nSide : {0, 2}) { // no triangle with fewer than three corners
        r.nSide = nSide;
        EXPECT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), -1);
        EXPECT_EQ(k.ErrorMessage, "[doFill_NodeMesh] Node connection dimension not set: ");
    }

    // A record variable over the dimension is never taken.
    r.nSide = 3;
    r.vari(2).kind = 3;
    earlierTable();
    EXPECT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), -1);
    EXPECT_EQ(k.ErrorMessage, "[doFill_NodeMesh] Node connection varable not found: ");
    EXPECT_TRUE(tableCleared());

    // More than two dimensions fails, even after a good match.
    r.vari(1).kind = 2; // a good match first ...
    r.vari(1).narray = 2;
    r.vari(1).arrayDimId(1) = 1;
    r.vari(1).arrayDimId(2) = 2;
    r.vari(2).kind = 2; // ... then one of three dimensions
    r.vari(2).narray = 3;
    r.vari(2).arrayDimId(3) = 0;
    earlierTable();
    EXPECT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), -1);
    EXPECT_EQ(k.ErrorMessage, "[doFill_NodeMesh] ncf(nNc).vari(n).narray > 2 ");
    EXPECT_TRUE(tableCleared());
}

TEST_F(NodeMeshTest, TheLastMatchingVariableWins) {
    NcBuilder nc(dir.file("two.nc"));
    nc.dim("node", 9);
    nc.dim("nele", 1);
    nc.dim("three", 3);
    nc.var("nv1", NC_INT, {"nele", "three"}).values(std::vector<int>{0, 1, 2});
    nc.var("nv2", NC_INT, {"three", "nele"}).values(std::vector<int>{0, 7, 8});
    NcfRec& r = table(nc.write(), 2, 1, 9);
    r.vari(1).kind = 2;
    r.vari(2).kind = 2;
    ASSERT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), 1) << k.ErrorMessage;
    EXPECT_EQ(corners(), (std::vector<std::vector<Long>>{{1, 8, 9}}));
}

TEST_F(NodeMeshTest, NetcdfFailuresCloseTheSlot) {
    // A dataset that cannot be opened again: the netCDF text, the slot closed, no table.
    NcfRec& r = load({3, 1, {0, 1, 2}}, 3);
    k.CloseSlot(1);
    r.FName = dir.file("gone.nc");
    earlierTable();
    EXPECT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), -1);
    EXPECT_EQ(k.ErrorMessage.rfind("[doFill_NodeMesh] NetCDF Error: ", 0), 0u);
    EXPECT_GT(k.ErrorMessage.size(), std::string("[doFill_NodeMesh] NetCDF Error: ").size());
    EXPECT_EQ(r.ncid, -1);
    EXPECT_TRUE(tableCleared());

    // A closed slot is reopened by its name and left open.
    r.FName = dir.file("mesh.nc");
    ASSERT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), 1) << k.ErrorMessage;
    EXPECT_GE(r.ncid, 0);
    k.CloseAfterRead = 1;
    k.CloseSlot(1);
    ASSERT_EQ(k.doFill_NodeMesh(1, n1, n2, n3), 1);
    EXPECT_GE(r.ncid, 0);
}

// A mesh served over OPeNDAP, each read asked of the server on its own ("#noprefetch"): the
// connectivity of every element comes in one request, stored elements first (ADCIRC) or
// corners first (FVCOM).
TEST_F(NodeMeshTest, TheTableIsOneRequestOverOpendap) {
    const Long nElements = 300;
    const std::string log = dir.file("requests.log");
    setenv("DAPSERVE_LOG", log.c_str(), 1);
    DapServer server(DAPSERVE_PATH, dir.path().string());
    unsetenv("DAPSERVE_LOG");

    for (const bool cornersFirst : {false, true}) {
        SCOPED_TRACE(cornersFirst);
        const std::string name = cornersFirst ? "fvcom.nc" : "adcirc.nc";
        NcBuilder nc(dir.file(name));
        nc.dim("node", nElements + 2);
        nc.dim("nele", static_cast<std::size_t>(nElements));
        nc.dim("nvert", 3);
        std::vector<double> lon, lat;
        for (Long i = 0; i < nElements + 2; ++i) {
            lon.push_back(0.1 * i);
            lat.push_back(i % 2);
        }
        // Element e (from 0) has the nodes e + 1, e + 2, e + 3, counted from 1.
        std::vector<int> nv;
        for (Long p = 0; p < 3 * nElements; ++p) {
            const Long e = cornersFirst ? p % nElements : p / 3;
            const Long c = cornersFirst ? p / nElements : p % 3;
            nv.push_back(static_cast<int>(e + c + 1));
        }
        nc.var("lon", NC_FLOAT, {"node"}).att("units", "degrees_east").values(lon);
        nc.var("lat", NC_FLOAT, {"node"}).att("units", "degrees_north").values(lat);
        nc.var("nv", NC_INT,
               cornersFirst ? std::vector<std::string>{"nvert", "nele"}
                            : std::vector<std::string>{"nele", "nvert"})
            .att("start_index", NC_INT, 1)
            .values(nv);
        nc.write();

        Kelvad kv;
        ASSERT_EQ(kv.Initialize(server.url(name + "#noprefetch")), 1) << kv.ErrorMessage;
        ASSERT_EQ(kv.ncf(1).GridType, kGridFeMesh);
        VArray<Long> a, b, c;
        ASSERT_EQ(kv.doFill_NodeMesh(1, a, b, c), 1) << kv.ErrorMessage;
        ASSERT_EQ(a.UBound(), nElements);
        for (Long e = 1; e <= nElements; ++e) {
            ASSERT_EQ(a(e), e) << e;
            ASSERT_EQ(b(e), e + 1) << e;
            ASSERT_EQ(c(e), e + 2) << e;
        }

        std::ifstream in(log);
        std::string line;
        int tableRequests = 0, requests = 0;
        while (std::getline(in, line)) {
            ++requests;
            // Alone or among the other values of the set-up.
            if (line.find(name + ".dods?") != std::string::npos &&
                (line.find("?nv") != std::string::npos || line.find(",nv") != std::string::npos))
                ++tableRequests;
        }
        EXPECT_EQ(tableRequests, 1) << "of " << requests << " requests";
    }
}

} // namespace
