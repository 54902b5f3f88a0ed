// The object the viewer holds, reached only through IKelvad: every member's answer for a slot,
// variable, dimension, attribute or step out of range; a regular grid opened and read through
// it; and datasets in two slots answering each for itself.
#include "kelvadlib/IKelvad.h"
#include "runtime/Date.h"
#include "runtime/Text.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Results of every type as comparable texts.
std::string show(const std::string& s) {
    return "\"" + s + "\"";
}
// The type's letter before the value. Joined to a named string: "L" + CStr(v) makes GCC 12 warn
// of an overlapping copy that cannot happen.
std::string tagged(const char* tag, const std::string& value) {
    return tag + value;
}
std::string show(Long v) {
    return tagged("L", CStr(v));
}
std::string show(float v) {
    return tagged("S", CStr(v));
}
std::string show(double v) {
    return tagged("D", CStr(v));
}
std::string show(bool v) {
    return v ? "True" : "False";
}
std::string show(Date d) {
    return "Date" + CStr(d.serial);
}
std::string show(const Variant& v) {
    return v.IsEmpty() ? "Empty" : tagged("V", v.toString());
}

// An array the caller passes in, holding 1 To 2 with a mark in element 1.
template <class T> VArray<T> marked() {
    VArray<T> a(1, 2);
    a(1) = static_cast<T>(42);
    return a;
}
template <class T> std::string touched(const VArray<T>& a) {
    const bool same = a.Rank() == 1 && a.LBound() == 1 && a.UBound() == 2 &&
                      a(1) == static_cast<T>(42) && a(2) == static_cast<T>(0);
    return same ? "" : " (array touched)";
}
VArray<Long> longs(std::initializer_list<Long> values) {
    VArray<Long> a(1, static_cast<Long>(values.size()));
    Long i = 1;
    for (Long v : values)
        a(i++) = v;
    return a;
}

// A regular grid: time (unlimited) x lat x lon, a short temperature with scale, offset and
// fill, and a title. Variables 1 time, 2 lat, 3 lon, 4 temp; dimensions 0 time, 1 lat, 2 lon.
struct GridSpec {
    std::string timeUnits = "days since 2000-01-01";
    std::vector<double> times = {0, 1, 2};
    std::vector<float> lats = {-30, -10, 10, 30};
    std::vector<float> lons = {0, 10, 20, 30, 40};
};
std::string writeGrid(const std::string& path, const GridSpec& g = {}) {
    NcBuilder nc(path);
    const std::size_t nt = g.times.size(), nj = g.lats.size(), ni = g.lons.size();
    nc.unlimitedDim("time", nt);
    nc.dim("lat", nj);
    nc.dim("lon", ni);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", g.timeUnits).values(g.times);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values(g.lats);
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values(g.lons);
    std::vector<short> temp;
    for (std::size_t t = 0; t < nt; ++t)
        for (std::size_t j = 0; j < nj; ++j)
            for (std::size_t i = 0; i < ni; ++i)
                temp.push_back(static_cast<short>(100 * t + 10 * j + i));
    // One fill value inside the strided window read below.
    if (nt > 1 && nj > 2 && ni > 4) temp[1 * nj * ni + 2 * ni + 4] = -999;
    nc.var("temp", NC_SHORT, {"time", "lat", "lon"})
        .att("units", "degC")
        .att("long_name", "sea temperature")
        .att("scale_factor", 0.5)
        .att("add_offset", 10.0)
        .att("_FillValue", NC_SHORT, -999)
        .values(temp);
    nc.globalAtt("title", "Test grid");
    return nc.write();
}

std::unique_ptr<IKelvad> newKelvad() {
    return std::unique_ptr<IKelvad>(CreateKelvad());
}

// One member called with a slot number; its result as text.
struct SlotRow {
    const char* member;
    std::function<std::string(IKelvad&, Long)> call;
    std::string fallback;
};

#define GET(m, d)                                                                                  \
    SlotRow {                                                                                      \
#m, [](IKelvad & k, Long n) { return show(k.m(n)); }, show(d)                              \
    }
#define GET1(m, d)                                                                                 \
    SlotRow {                                                                                      \
#m, [](IKelvad & k, Long n) { return show(k.m(1, n)); }, show(d)                           \
    }
#define GET2(m, d)                                                                                 \
    SlotRow {                                                                                      \
#m, [](IKelvad & k, Long n) { return show(k.m(1, 1, n)); }, show(d)                        \
    }

const std::string kNone;
const Long kZero = 0, kMinus1 = -1;
const float kSingle0 = 0;
const double kDouble0 = 0;
const Date kDate0{};
const Variant kEmpty{};

// Every member that takes a slot number.
std::vector<SlotRow> slotRows() {
    return {
        {"GetAttVbyVarNumbyAttname",
         [](IKelvad& k, Long n) { return show(k.GetAttVbyVarNumbyAttname(1, "units", n)); },
         show(kNone)},
        {"TimePt",
         [](IKelvad& k, Long n) {
             Long nt1 = 7, nt2 = 8;
             float tw1 = 9, tw2 = 10;
             const Long r = k.TimePt(Variant(Date(36526.5)), nt1, nt2, tw1, tw2, n);
             return show(r) + (nt1 == 7 && nt2 == 8 && tw1 == 9 && tw2 == 10 ? "" : " (touched)");
         },
         show(kMinus1)},
        GET(FName, kNone),
        GET(westEnd, kSingle0),
        GET(eastEnd, kSingle0),
        GET(GridType, kZero),
        GET(UnLimDId, kZero),
        GET(nGatts, kZero),
        GET(Var1st, kZero),
        GET(DataType, kZero),
        GET(northEnd, kSingle0),
        GET(southEnd, kSingle0),
        GET(nTime, kZero),
        GET(nNodes, kZero),
        GET(nElements, kZero),
        GET(nCells, kZero),
        GET(nLon, kZero),
        GET(nLat, kZero),
        GET(nXysize, kZero),
        GET(nSide, kZero),
        GET(iMax, kZero),
        GET(jMax, kZero),
        GET(kMax, kZero),
        GET1(dimeName, kNone),
        GET1(dimeSize, kZero),
        GET1(dimeUnLimited, kZero),
        GET1(dimeType, kZero),
        GET(nDimes, kZero),
        GET(TimedId, kZero),
        GET(TimevId, kZero),
        GET(LeveldId, kZero),
        GET(LevelvId, kZero),
        GET(LondId, kZero),
        GET(lonvId, kZero),
        GET(LatdId, kZero),
        GET(latvId, kZero),
        GET(nodedId, kZero),
        GET(elemdId, kZero),
        GET(nCelldId, kZero),
        GET(iCelldId, kZero),
        GET(jCelldId, kZero),
        GET(kCelldId, kZero),
        GET(nVars, kZero),
        GET(nVarsCoord, kZero),
        GET(nVarsRecord, kZero),
        GET(nVarsFixed, kZero),
        GET1(variName, kNone),
        GET1(variType, kZero),
        GET1(variKind, kZero),
        GET2(variAttName, kNone),
        GET2(variAttValue, kNone),
        GET2(variAttType, kNone),
        GET1(variNarray, kZero),
        GET1(variNattri, kZero),
        GET1(variByteSize, kDouble0),
        GET1(variByteUnit, kZero),
        GET1(variUnit, kNone),
        GET1(variLongName, kNone),
        GET1(variScale, kNone),
        GET1(variMisnVal, kNone),
        GET1(variOffset, kNone),
        GET2(variArrayDimName, kNone),
        GET2(variArrayDimID, kZero),
        {"FillLonLatRad",
         [](IKelvad& k, Long n) {
             auto lon = marked<float>(), lat = marked<float>();
             return show(k.FillLonLatRad(lon, lat, n)) + touched(lon) + touched(lat);
         },
         show(kMinus1)},
        {"FillLonLatDeg",
         [](IKelvad& k, Long n) {
             auto lon = marked<float>(), lat = marked<float>();
             return show(k.FillLonLatDeg(lon, lat, n)) + touched(lon) + touched(lat);
         },
         show(kMinus1)},
        {"GetLonLatRad",
         [](IKelvad& k, Long n) {
             auto lon = marked<float>(), lat = marked<float>();
             const auto s = longs({1, 1}), e = longs({1, 1}), st = longs({1, 1});
             return show(k.GetLonLatRad(lon, lat, s, e, st, 1, n)) + touched(lon) + touched(lat);
         },
         show(kMinus1)},
        {"GetLonLatDeg",
         [](IKelvad& k, Long n) {
             auto lon = marked<float>(), lat = marked<float>();
             const auto s = longs({1, 1}), e = longs({1, 1}), st = longs({1, 1});
             return show(k.GetLonLatDeg(lon, lat, s, e, st, 1, n)) + touched(lon) + touched(lat);
         },
         show(kMinus1)},
        {"FillTime",
         [](IKelvad& k, Long n) {
             auto t = marked<double>();
             return show(k.FillTime(t, n)) + touched(t);
         },
         show(kMinus1)},
        {"FillOrvTime",
         [](IKelvad& k, Long n) {
             auto t = marked<Long>();
             return show(k.FillOrvTime(t, n, Date(36526))) + touched(t);
         },
         show(kMinus1)},
        {"FillvCoord",
         [](IKelvad& k, Long n) {
             auto z = marked<double>();
             return show(k.FillvCoord(z, n)) + touched(z);
         },
         show(kMinus1)},
        GET(StartTime, kNone),
        GET(StartTimeMin, kZero),
        GET(EpochDate, kDate0),
        GET(startDate, kDate0),
        GET(endDate, kDate0),
        GET(endTime, kNone),
        GET(endTimeMin, kZero),
        GET(TimePick, kZero),
        GET(timeUnit, kNone),
        GET(LevelPick, kZero),
        GET1(gAttName, kNone),
        GET1(gAttValue, kNone),
        GET1(gAttType, kZero),
        GET(lonlatOrder, kZero),
        GET1(variLonLatOrder, kZero),
        GET(dLon, kSingle0),
        GET(dLat, kSingle0),
        {"GetVarsAny",
         [](IKelvad& k, Long n) {
             auto v = marked<float>();
             const auto s = longs({1}), c = longs({1}), st = longs({1});
             return show(k.GetVarsAny(1, -1e35f, v, s, c, st, 1, n)) + touched(v);
         },
         show(kEmpty)},
        {"GetVaraAny",
         [](IKelvad& k, Long n) {
             auto v = marked<float>();
             const auto s = longs({1}), c = longs({1});
             return show(k.GetVaraAny(1, -1e35f, v, s, c, 1, n)) + touched(v);
         },
         show(kEmpty)},
        {"GetVarSShort",
         [](IKelvad& k, Long n) {
             auto v = marked<Integer>();
             const auto s = longs({1}), c = longs({1}), st = longs({1});
             return show(k.GetVarSShort(1, s, c, st, v, n)) + touched(v);
         },
         show(kEmpty)},
        {"GetVarSLong",
         [](IKelvad& k, Long n) {
             auto v = marked<Long>();
             const auto s = longs({1}), c = longs({1}), st = longs({1});
             return show(k.GetVarSLong(1, s, c, st, v, n)) + touched(v);
         },
         show(kEmpty)},
        {"GetVarSFloat",
         [](IKelvad& k, Long n) {
             auto v = marked<float>();
             const auto s = longs({1}), c = longs({1}), st = longs({1});
             return show(k.GetVarSFloat(1, s, c, st, v, n)) + touched(v);
         },
         show(kEmpty)},
        {"GetVarSDouble",
         [](IKelvad& k, Long n) {
             auto v = marked<double>();
             const auto s = longs({1}), c = longs({1}), st = longs({1});
             return show(k.GetVarSDouble(1, s, c, st, v, n)) + touched(v);
         },
         show(kEmpty)},
        {"DatePicked", [](IKelvad& k, Long n) { return show(k.DatePicked(1, n)); }, show(kNone)},
        {"ClosestTstep", [](IKelvad& k, Long n) { return show(k.ClosestTstep(Date(36526), n)); },
         show(kZero)},
        {"TstepByMin", [](IKelvad& k, Long n) { return show(k.TstepByMin(1000, n)); }, show(kZero)},
        {"indexOfDID", [](IKelvad& k, Long n) { return show(k.indexOfDID(1, 0, n)); }, show(kZero)},
        {"CloseNC",
         [](IKelvad& k, Long n) {
             k.CloseNC(n);
             return std::string("done");
         },
         "done"},
        GET(pickUVVariables, kEmpty),
        GET(waterUvId, kMinus1),
        GET(waterVvId, kMinus1),
        GET(windUvId, kMinus1),
        GET(windVvId, kMinus1),
        GET(waterTempvId, kMinus1),
        {"SetVector", [](IKelvad& k, Long n) { return show(k.SetVector(5, n)); }, show(kEmpty)},
        GET(Vector, kMinus1),
        GET(dTimeSec, kMinus1),
        GET1(vMax, kSingle0),
        GET1(vMin, kSingle0),
        {"FillNodeMesh",
         [](IKelvad& k, Long n) {
             auto a = marked<Long>(), b = marked<Long>(), c = marked<Long>();
             return show(k.FillNodeMesh(a, b, c, n)) + touched(a) + touched(b) + touched(c);
         },
         show(kMinus1)},
        {"variNum", [](IKelvad& k, Long n) { return show(k.variNum("temp", n)); }, show(kZero)},
        {"gAttValbyName", [](IKelvad& k, Long n) { return show(k.gAttValbyName("title", n)); },
         show(kNone)},
        GET1(DofTime, kZero),
        GET1(DofLevel, kZero),
        {"GLonOffSet", [](IKelvad& k, Long n) { return show(k.GLonOffSet(-180, 180, n)); },
         show(kSingle0)},
        GET(Dated, false),
        {"GetVarAny",
         [](IKelvad& k, Long n) {
             auto v = marked<float>();
             return show(k.GetVarAny(1, -1e35f, v, n)) + touched(v);
         },
         show(kEmpty)},
        {"GetVarDouble",
         [](IKelvad& k, Long n) {
             auto v = marked<double>();
             return show(k.GetVarDouble(1, v, n)) + touched(v);
         },
         show(kEmpty)},
        {"GetVarFloat",
         [](IKelvad& k, Long n) {
             auto v = marked<float>();
             return show(k.GetVarFloat(1, v, n)) + touched(v);
         },
         show(kEmpty)},
        {"GetVarLong",
         [](IKelvad& k, Long n) {
             auto v = marked<Long>();
             return show(k.GetVarLong(1, v, n)) + touched(v);
         },
         show(kEmpty)},
        {"GetVarShort",
         [](IKelvad& k, Long n) {
             auto v = marked<Integer>();
             return show(k.GetVarShort(1, v, n)) + touched(v);
         },
         show(kEmpty)},
        {"GetVar1Any",
         [](IKelvad& k, Long n) {
             double v = 42;
             const auto i = longs({1});
             return show(k.GetVar1Any(1, v, i, n)) + (v == 42 ? "" : " (touched)");
         },
         show(kEmpty)},
        GET(LLbyNodeOrEleement, kZero),
        GET(MovingdId, kMinus1),
        {"FillLonLatAt",
         [](IKelvad& k, Long n) {
             auto lon = marked<float>(), lat = marked<float>();
             return show(k.FillLonLatAt(lon, lat, 1, false, n)) + touched(lon) + touched(lat);
         },
         show(kMinus1)},
    };
}

class KelvadComponentTest : public ::testing::Test {
protected:
    TempDir dir;
};

} // namespace

TEST_F(KelvadComponentTest, EveryMemberAnswersItsDefaultForASlotOutOfRange) {
    const std::vector<SlotRow> rows = slotRows();
    // With the members that take no slot (ErrorMessage, CloseAfterRead get and let, the 15
    // alias pairs, StrType, Initialize, StartEndDate, GetHeadOnly), these are all 162.
    ASSERT_EQ(rows.size(), 162u - 37u);

    const std::string grid = writeGrid(dir.file("grid.nc"));
    struct Case {
        bool opened; // one dataset in slot 1, and a header in the scratch slot 0
        Long nNc;
    };
    for (const Case c : {Case{false, 1}, Case{false, 0}, Case{true, 0}, Case{true, 2},
                         Case{true, -1}, Case{true, -2147483647 - 1}}) {
        auto k = newKelvad();
        if (c.opened) {
            ASSERT_EQ(k->Initialize(grid), 1);
            ASSERT_EQ(k->GetHeadOnly(grid), 1);
        }
        for (const SlotRow& row : rows) {
            std::string got;
            EXPECT_NO_THROW(got = row.call(*k, c.nNc)) << row.member;
            EXPECT_EQ(got, row.fallback) << row.member << " nNc=" << c.nNc;
            EXPECT_EQ(k->ErrorMessage(),
                      std::string("[") + row.member + "] nNc out of range:" + Str(c.nNc))
                << row.member << " nNc=" << c.nNc;
        }
        if (c.opened) {
            // Nothing of that reached slot 1.
            EXPECT_EQ(k->Vector(1), 0);
            EXPECT_EQ(k->GridType(1), kGridRegular);
        }
    }
}

TEST_F(KelvadComponentTest, NumbersOutOfRangeWithinASlotAnswerTheDefaultWithAText) {
    auto k = newKelvad();
    ASSERT_EQ(k->Initialize(writeGrid(dir.file("grid.nc"))), 1);
    ASSERT_EQ(k->nVars(), 4);
    ASSERT_EQ(k->nDimes(), 3);
    ASSERT_EQ(k->nGatts(), 1);
    ASSERT_EQ(k->variNattri(4), 5);
    ASSERT_EQ(k->variNarray(4), 3);
    ASSERT_EQ(k->nTime(), 3);

    const auto s3 = longs({1, 1, 1}), c3 = longs({1, 1, 1});
    const auto s2 = longs({1, 1}), c2 = longs({1, 1});
    VArray<Long> grid2(1, 3, 1, 1); // three entries, but two-dimensional
    struct Row {
        const char* what;
        std::function<std::string(IKelvad&)> call;
        std::string fallback;
        std::string text;
    };
    const Row rows[] = {
        {"dimeName 0", [](IKelvad& nc) { return show(nc.dimeName(0)); }, show(kNone),
         "[dimeName] dimension number out of range: 0"},
        {"dimeSize nDimes+1", [](IKelvad& nc) { return show(nc.dimeSize(4)); }, show(kZero),
         "[dimeSize] dimension number out of range: 4"},
        {"variName 0", [](IKelvad& nc) { return show(nc.variName(0)); }, show(kNone),
         "[variName] variable number out of range: 0"},
        {"variScale nVars+1", [](IKelvad& nc) { return show(nc.variScale(5)); }, show(kNone),
         "[variScale] variable number out of range: 5"},
        {"variKind -1", [](IKelvad& nc) { return show(nc.variKind(-1)); }, show(kZero),
         "[variKind] variable number out of range:-1"},
        {"variAttName 0", [](IKelvad& nc) { return show(nc.variAttName(4, 0)); }, show(kNone),
         "[variAttName] attribute number out of range: 0"},
        {"variAttValue nattri+1", [](IKelvad& nc) { return show(nc.variAttValue(4, 6)); },
         show(kNone), "[variAttValue] attribute number out of range: 6"},
        {"variAttType past the record's 20",
         [](IKelvad& nc) { return show(nc.variAttType(4, 21)); }, show(kNone),
         "[variAttType] attribute number out of range: 21"},
        {"variAttName of variable 0", [](IKelvad& nc) { return show(nc.variAttName(0, 1)); },
         show(kNone), "[variAttName] variable number out of range: 0"},
        // The record has five places, but only narray of them are dimensions.
        {"variArrayDimID narray+1", [](IKelvad& nc) { return show(nc.variArrayDimID(4, 4)); },
         show(kZero), "[variArrayDimID] dimension number out of range: 4"},
        {"variArrayDimName 0", [](IKelvad& nc) { return show(nc.variArrayDimName(4, 0)); },
         show(kNone), "[variArrayDimName] dimension number out of range: 0"},
        {"gAttName 0", [](IKelvad& nc) { return show(nc.gAttName(0)); }, show(kNone),
         "[gAttName] attribute number out of range: 0"},
        {"gAttType nGatts+1", [](IKelvad& nc) { return show(nc.gAttType(2)); }, show(kZero),
         "[gAttType] attribute number out of range: 2"},
        {"GetAttVbyVarNumbyAttname nVars+1",
         [](IKelvad& nc) { return show(nc.GetAttVbyVarNumbyAttname(5, "units")); }, show(kNone),
         "[GetAttVbyVarNumbyAttname] variable number out of range: 5"},
        {"DofTime nVars+1", [](IKelvad& nc) { return show(nc.DofTime(5)); }, show(kZero),
         "[DofTime] variable number out of range: 5"},
        {"DofLevel 0", [](IKelvad& nc) { return show(nc.DofLevel(0)); }, show(kZero),
         "[DofLevel] variable number out of range: 0"},
        {"indexOfDID nVars+1", [](IKelvad& nc) { return show(nc.indexOfDID(5, 0)); }, show(kZero),
         "[indexOfDID] variable number out of range: 5"},
        {"GetVarsAny nvar 0",
         [&](IKelvad& nc) {
             auto v = marked<float>();
             return show(nc.GetVarsAny(0, -1e35f, v, s3, c3, c3, 1)) + touched(v);
         },
         show(kEmpty), "[GetVarsAny] variable number out of range: 0"},
        {"GetVarSFloat nvar nVars+1",
         [&](IKelvad& nc) {
             auto v = marked<float>();
             return show(nc.GetVarSFloat(5, s3, c3, c3, v)) + touched(v);
         },
         show(kEmpty), "[GetVarSFloat] variable number out of range: 5"},
        {"GetVarShort nvar nVars+1",
         [](IKelvad& nc) {
             auto v = marked<Integer>();
             return show(nc.GetVarShort(5, v)) + touched(v);
         },
         show(kEmpty), "[GetVarShort] variable number out of range: 5"},
        {"GetVarsAny start shorter than the rank",
         [&](IKelvad& nc) {
             auto v = marked<float>();
             return show(nc.GetVarsAny(4, -1e35f, v, s2, c3, c3, 1)) + touched(v);
         },
         show(kEmpty), "[GetVarsAny] startp shorter than the rank of the variable: 3"},
        {"GetVaraAny count shorter than the rank",
         [&](IKelvad& nc) {
             auto v = marked<float>();
             return show(nc.GetVaraAny(4, -1e35f, v, s3, c2, 1)) + touched(v);
         },
         show(kEmpty), "[GetVaraAny] countp shorter than the rank of the variable: 3"},
        {"GetVarSDouble stride shorter than the rank",
         [&](IKelvad& nc) {
             auto v = marked<double>();
             return show(nc.GetVarSDouble(4, s3, c3, c2, v)) + touched(v);
         },
         show(kEmpty), "[GetVarSDouble] stride shorter than the rank of the variable: 3"},
        {"GetVarSShort start of two dimensions",
         [&](IKelvad& nc) {
             auto v = marked<Integer>();
             return show(nc.GetVarSShort(4, grid2, c3, c3, v)) + touched(v);
         },
         show(kEmpty), "[GetVarSShort] startp shorter than the rank of the variable: 3"},
        {"GetVar1Any index shorter than the rank",
         [&](IKelvad& nc) {
             double v = 42;
             return show(nc.GetVar1Any(4, v, s2)) + (v == 42 ? "" : " (touched)");
         },
         show(kEmpty), "[GetVar1Any] indexp shorter than the rank of the variable: 3"},
        {"GetVar1Any without index array",
         [&](IKelvad& nc) {
             double v = 42;
             return show(nc.GetVar1Any(4, v, VArray<Long>())) + (v == 42 ? "" : " (touched)");
         },
         show(kEmpty), "[GetVar1Any] indexp shorter than the rank of the variable: 3"},
    };
    for (const Row& row : rows) {
        std::string got;
        EXPECT_NO_THROW(got = row.call(*k)) << row.what;
        EXPECT_EQ(got, row.fallback) << row.what;
        EXPECT_EQ(k->ErrorMessage(), row.text) << row.what;
    }
}

TEST_F(KelvadComponentTest, ATimeStepOutOfRangeAnswersTheDefaultAndLeavesErrorMessageAlone) {
    auto k = newKelvad();
    ASSERT_EQ(k->Initialize(writeGrid(dir.file("grid.nc"))), 1);
    ASSERT_EQ(k->nTime(), 3);
    ASSERT_NE(k->DatePicked(3), "");
    // A failure's text, which the label requests below must not replace.
    ASSERT_EQ(k->variName(9), "");
    const std::string failure = k->ErrorMessage();
    ASSERT_EQ(failure, "[variName] variable number out of range: 9");
    for (const Long nt : {0, -1, 4, 2147483647}) {
        EXPECT_EQ(k->DatePicked(nt), "") << nt;
        EXPECT_EQ(k->ErrorMessage(), failure) << nt;
    }
    // A slot out of range is still reported.
    EXPECT_EQ(k->DatePicked(1, 2), "");
    EXPECT_EQ(k->ErrorMessage(), "[DatePicked] nNc out of range: 2");
}

TEST_F(KelvadComponentTest, MembersWithoutASlot) {
    auto k = newKelvad();
    EXPECT_EQ(k->ErrorMessage(), "");
    EXPECT_EQ(k->StrType(4), "int ");
    EXPECT_EQ(k->StrType(0), "NAT ");
    EXPECT_EQ(k->StrType(7), "???");
    EXPECT_EQ(k->StrType(-1), "???");

    EXPECT_EQ(k->CloseAfterRead(), 0);
    k->CloseAfterRead(2);
    EXPECT_EQ(k->CloseAfterRead(), 2);

    // A let merges into the list: present words (in any case) are not repeated, new ones are
    // appended upper-cased, and the list never loses a word.
    const std::string lon = k->lonaKa();
    k->lonaKa("LON");
    EXPECT_EQ(k->lonaKa(), lon);
    k->lonaKa("x_lon nav_lon");
    EXPECT_EQ(k->lonaKa(), lon + " X_LON NAV_LON");
    k->lonaKa("");
    EXPECT_EQ(k->lonaKa(), lon + " X_LON NAV_LON");

    // Each list has its own pair of members.
    using Get = std::string (IKelvad::*)();
    using Let = void (IKelvad::*)(const std::string&);
    const struct {
        Get get;
        Let let;
    } pairs[] = {
        {&IKelvad::tempaKa, &IKelvad::tempaKa},       {&IKelvad::waterUaKa, &IKelvad::waterUaKa},
        {&IKelvad::waterVaKa, &IKelvad::waterVaKa},   {&IKelvad::windUaKa, &IKelvad::windUaKa},
        {&IKelvad::windVaKa, &IKelvad::windVaKa},     {&IKelvad::lataKa, &IKelvad::lataKa},
        {&IKelvad::ixaKa, &IKelvad::ixaKa},           {&IKelvad::jyaKa, &IKelvad::jyaKa},
        {&IKelvad::timeaKa, &IKelvad::timeaKa},       {&IKelvad::levelaKa, &IKelvad::levelaKa},
        {&IKelvad::cellaKa, &IKelvad::cellaKa},       {&IKelvad::nodeaKa, &IKelvad::nodeaKa},
        {&IKelvad::elementaKa, &IKelvad::elementaKa}, {&IKelvad::faceaKa, &IKelvad::faceaKa},
    };
    for (const auto& p : pairs) {
        const std::string before = ((*k).*p.get)();
        EXPECT_FALSE(before.empty());
        ((*k).*p.let)("zz_new,yy_new");
        EXPECT_EQ(((*k).*p.get)(), before + " ZZ_NEW YY_NEW");
    }
    EXPECT_EQ(k->lonaKa(), lon + " X_LON NAV_LON"); // untouched by the others
    // None of that is a failure.
    EXPECT_EQ(k->ErrorMessage(), "");

    // The set-up members report instead of raising.
    std::string first = "x", last = "y";
    EXPECT_EQ(k->Initialize(""), -1);
    EXPECT_EQ(k->ErrorMessage(), "Given file name is Empty");
    EXPECT_EQ(k->GetHeadOnly(dir.file("missing.nc")), -1);
    EXPECT_NE(k->ErrorMessage().find("Unable to open "), std::string::npos);
    EXPECT_EQ(k->StartEndDate(dir.file("missing.nc"), first, last), -1);
    EXPECT_EQ(first, "");
    EXPECT_EQ(last, "");
    EXPECT_EQ(k->nTime(), 0); // still no slot
}

TEST_F(KelvadComponentTest, OpensARegularGridAndReadsItThroughTheInterface) {
    const std::string path = writeGrid(dir.file("grid.nc"));
    auto k = newKelvad();
    ASSERT_EQ(k->Initialize(path), 1) << k->ErrorMessage();

    // Header fields; a call without a slot number reaches slot 1.
    EXPECT_EQ(k->FName(), path);
    EXPECT_EQ(k->FName(1), path);
    EXPECT_EQ(k->nDimes(), 3);
    EXPECT_EQ(k->dimeName(1), "time");
    EXPECT_EQ(k->dimeSize(3), 5);
    EXPECT_EQ(k->dimeUnLimited(1), 1);
    EXPECT_EQ(k->dimeUnLimited(2), 0);
    EXPECT_EQ(k->dimeType(2), 0);
    EXPECT_EQ(k->UnLimDId(), 0);
    EXPECT_EQ(k->DataType(), 0);
    EXPECT_EQ(k->nVars(), 4);
    EXPECT_EQ(k->variName(4), "temp");
    EXPECT_EQ(k->variNum("TEMP"), 4);
    EXPECT_EQ(k->variNum("none"), 0);
    EXPECT_EQ(k->variType(4), NC_SHORT);
    EXPECT_EQ(k->variNarray(4), 3);
    EXPECT_EQ(k->variArrayDimName(4, 2), "lat");
    EXPECT_EQ(k->variArrayDimID(4, 3), 2);
    EXPECT_EQ(k->variUnit(4), "degC");
    EXPECT_EQ(k->variLongName(4), "sea temperature");
    EXPECT_EQ(k->variScale(4), "0.5");
    EXPECT_EQ(k->variOffset(4), "10");
    EXPECT_EQ(k->variMisnVal(4), "-999");
    EXPECT_EQ(k->variScale(2), "1"); // no scale attribute
    EXPECT_EQ(k->variByteUnit(4), 2);
    EXPECT_EQ(k->variByteSize(4), 2.0 * 3 * 4 * 5);
    EXPECT_EQ(k->variAttName(4, 3), "scale_factor");
    EXPECT_EQ(k->variAttType(4, 3), "6");
    EXPECT_EQ(k->GetAttVbyVarNumbyAttname(4, "UNITS"), "degC");
    EXPECT_EQ(k->GetAttVbyVarNumbyAttname(0, "Title"), "Test grid");
    EXPECT_EQ(k->gAttValbyName("TITLE"), "Test grid");
    EXPECT_EQ(k->nGatts(), 1);
    EXPECT_EQ(k->gAttName(1), "title");
    EXPECT_EQ(k->gAttValue(1), "Test grid");
    EXPECT_EQ(k->gAttType(1), NC_CHAR);

    // Recognition and classification.
    EXPECT_EQ(k->GridType(), kGridRegular);
    EXPECT_EQ(k->nLon(), 5);
    EXPECT_EQ(k->nLat(), 4);
    EXPECT_EQ(k->lonvId(), 3);
    EXPECT_EQ(k->latvId(), 2);
    EXPECT_EQ(k->LondId(), 2);
    EXPECT_EQ(k->LatdId(), 1);
    EXPECT_EQ(k->TimedId(), 0);
    EXPECT_EQ(k->TimevId(), 1);
    EXPECT_EQ(k->TimePick(), 1);
    EXPECT_EQ(k->LevelPick(), -1);
    EXPECT_EQ(k->kMax(), 0);
    EXPECT_EQ(k->Var1st(), 4);
    EXPECT_EQ(k->variKind(1), 1);
    EXPECT_EQ(k->variKind(4), 3);
    EXPECT_EQ(k->nVarsCoord(), 3);
    EXPECT_EQ(k->nVarsRecord(), 1);
    EXPECT_EQ(k->lonlatOrder(), 2);
    EXPECT_EQ(k->variLonLatOrder(4), 2);
    EXPECT_EQ(k->DofTime(4), 1);
    EXPECT_EQ(k->DofLevel(4), 0);
    EXPECT_EQ(k->indexOfDID(4, 2), 3);
    EXPECT_EQ(k->indexOfDID(4, -1), 0);
    EXPECT_EQ(k->LLbyNodeOrEleement(), 0);
    EXPECT_EQ(k->Vector(), 0);
    EXPECT_EQ(k->waterUvId(), -1);

    // Extents.
    EXPECT_EQ(k->westEnd(), 0.0f);
    EXPECT_EQ(k->eastEnd(), 40.0f);
    EXPECT_EQ(k->southEnd(), -30.0f);
    EXPECT_EQ(k->northEnd(), 30.0f);
    EXPECT_EQ(k->dLon(), 10.0f);
    EXPECT_EQ(k->dLat(), 20.0f);
    EXPECT_EQ(k->GLonOffSet(0, 40), 0.0f);
    VArray<float> lon, lat;
    ASSERT_EQ(k->FillLonLatDeg(lon, lat), 1);
    ASSERT_EQ(lon.UBound(), 5);
    EXPECT_EQ(lon(5), 40.0f);
    EXPECT_EQ(lat(1), -30.0f);

    // Time axis and labels.
    EXPECT_EQ(k->nTime(), 3);
    EXPECT_EQ(k->timeUnit(), "days");
    EXPECT_TRUE(k->Dated());
    EXPECT_EQ(k->EpochDate(), DateSerial(2000, 1, 1));
    EXPECT_EQ(k->StartTime(), "2000-01-01");
    EXPECT_EQ(k->endTime(), "2000-01-03");
    EXPECT_EQ(k->startDate(), DateSerial(2000, 1, 1));
    EXPECT_EQ(k->endDate(), DateSerial(2000, 1, 3));
    EXPECT_EQ(k->endTimeMin() - k->StartTimeMin(), 2 * 1440);
    EXPECT_EQ(k->dTimeSec(), 86400);
    EXPECT_EQ(k->DatePicked(2), "2000-01-02");
    EXPECT_EQ(k->ClosestTstep(Date(DateSerial(2000, 1, 2).serial + 0.3)), 2);
    EXPECT_EQ(k->TstepByMin(k->StartTimeMin() + 1500), 2);
    Long nt1 = 0, nt2 = 0;
    float tw1 = 0, tw2 = 0;
    EXPECT_EQ(k->TimePt(Variant(Date(DateSerial(2000, 1, 2).serial + 0.25)), nt1, nt2, tw1, tw2),
              1);
    EXPECT_EQ(nt1, 2);
    EXPECT_EQ(nt2, 3);
    EXPECT_FLOAT_EQ(tw1, 0.75f);
    EXPECT_FLOAT_EQ(tw2, 0.25f);
    VArray<double> times;
    ASSERT_EQ(k->FillTime(times), 1);
    EXPECT_EQ(times(3), 2.0);

    // A strided read: step 2, latitudes 1 and 3, longitudes 1, 3 and 5; one fill value.
    VArray<float> v;
    const auto startp = longs({2, 1, 1}), countp = longs({1, 2, 3}), stride = longs({1, 2, 2});
    const float noVal = -1e35f;
    const Variant n = k->GetVarsAny(4, noVal, v, startp, countp, stride, 6);
    EXPECT_EQ(CLng(n), 5) << k->ErrorMessage();
    ASSERT_EQ(v.UBound(), 6);
    const float expected[] = {60, 61, 62, 70, 71, noVal};
    for (Long i = 1; i <= 6; ++i)
        EXPECT_EQ(v(i), expected[i - 1]) << i;
    EXPECT_EQ(k->vMax(4), 71.0f);
    EXPECT_EQ(k->vMin(4), 60.0f);
    EXPECT_EQ(k->vMax(3), 0.0f); // the range belongs to the variable read
    // The same slice raw, in its own type.
    VArray<Integer> raw(1, 6);
    EXPECT_EQ(CLng(k->GetVarSShort(4, startp, countp, stride, raw)), 1);
    EXPECT_EQ(raw(6), -999);
    double one = 0;
    EXPECT_EQ(CLng(k->GetVar1Any(4, one, longs({3, 4, 5}))), 1);
    EXPECT_EQ(one, (200 + 30 + 4) * 0.5 + 10);

    // The vector choice can be set and looked for again.
    k->SetVector(5);
    EXPECT_EQ(k->Vector(), 5);
    EXPECT_EQ(CLng(k->pickUVVariables()), 1); // the temperature, but no pair
    EXPECT_EQ(k->Vector(), 0);
    EXPECT_EQ(k->waterTempvId(), 4);

    // A closed slot keeps answering and reopens for a read.
    k->CloseNC();
    EXPECT_EQ(k->nVars(), 4);
    EXPECT_EQ(CLng(k->GetVarsAny(4, noVal, v, startp, countp, stride, 6)), 5);
}

TEST_F(KelvadComponentTest, EachSlotKeepsItsOwnCoordinatesAndTimeAxis) {
    GridSpec a;
    GridSpec b;
    b.timeUnits = "hours since 2010-06-01 00:00:00";
    b.times = {0, 6};
    b.lats = {50, 55, 60};
    b.lons = {100, 105, 110, 115, 120, 125};
    auto k = newKelvad();
    ASSERT_EQ(k->Initialize(writeGrid(dir.file("a.nc"), a)), 1);
    ASSERT_EQ(k->Initialize(writeGrid(dir.file("b.nc"), b)), 2);

    // Slot 1 answers for its own dataset after slot 2 was set up.
    EXPECT_EQ(k->DatePicked(2, 1), "2000-01-02");
    EXPECT_EQ(k->DatePicked(2, 2), "2010-06-01 06:00:00");
    EXPECT_EQ(k->ClosestTstep(DateSerial(2000, 1, 3), 1), 3);
    EXPECT_EQ(k->ClosestTstep(Date(DateSerial(2010, 6, 1).serial + 0.2), 2), 2);
    VArray<double> t;
    ASSERT_EQ(k->FillTime(t, 1), 1);
    ASSERT_EQ(t.UBound(), 3);
    EXPECT_EQ(t(2), 1.0);
    VArray<Long> orv;
    ASSERT_EQ(k->FillOrvTime(orv, 1), 3);
    EXPECT_EQ(orv(1), k->StartTimeMin(1));
    EXPECT_EQ(orv(3) - orv(1), 2 * 1440);
    VArray<float> lon, lat;
    ASSERT_EQ(k->FillLonLatDeg(lon, lat, 1), 1);
    ASSERT_EQ(lon.UBound(), 5);
    EXPECT_EQ(lon(2), 10.0f);
    EXPECT_EQ(lat(4), 30.0f);
    ASSERT_EQ(k->FillLonLatDeg(lon, lat, 2), 1);
    ASSERT_EQ(lon.UBound(), 6);
    EXPECT_EQ(lon(2), 105.0f);
    EXPECT_EQ(k->eastEnd(1), 40.0f);
    EXPECT_EQ(k->eastEnd(2), 125.0f);
}

TEST_F(KelvadComponentTest, OpensAnXarrayClimatologyWithInt64TimesInANoleapYearZero) {
    // As xarray writes a monthly climatology: netCDF-4, int64 days since year 0, noleap.
    NcBuilder nc(dir.file("clim.nc"), NcFormat::Netcdf4);
    nc.dim("time", 12);
    nc.dim("lat", 2);
    nc.dim("lon", 3);
    nc.var("time", NC_INT64, {"time"})
        .att("units", "days since 0000-01-01 00:00:00")
        .att("calendar", "noleap")
        .values(std::vector<double>{15, 45, 74, 105, 135, 166, 196, 227, 258, 288, 319, 349});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({-10.0f, 10.0f});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({0.0f, 10.0f, 20.0f});
    nc.var("sst", NC_FLOAT, {"time", "lat", "lon"})
        .att("units", "degC")
        .values(std::vector<double>(72, 20.0));
    const std::string path = nc.write();

    auto k = newKelvad();
    ASSERT_EQ(k->Initialize(path), 1) << k->ErrorMessage();
    // ncdump -t: "0000-01-16", "0000-02-15", "0000-03-16", ... "0000-12-16".
    EXPECT_EQ(k->StartTime(), "0000-01-16");
    EXPECT_EQ(k->endTime(), "0000-12-16");
    EXPECT_EQ(k->DatePicked(2), "0000-02-15");
    EXPECT_EQ(k->DatePicked(3), "0000-03-16");
    EXPECT_TRUE(k->Dated());
    EXPECT_EQ(k->endTimeMin() - k->StartTimeMin(), (349 - 15) * 1440);
    VArray<Long> orv;
    ASSERT_EQ(k->FillOrvTime(orv), 12);
    for (Long i = 2; i <= 12; ++i)
        EXPECT_GT(orv(i), orv(i - 1)) << i;
    EXPECT_EQ(k->TstepByMin(orv(3) + 60), 3);

    // The first and last date of the file, from its first and last value alone.
    std::string first, last;
    EXPECT_EQ(k->StartEndDate(path, first, last), 1);
    EXPECT_EQ(first, "0000-01-16");
    EXPECT_EQ(last, "0000-12-16");
}

TEST_F(KelvadComponentTest, AMonthlyAxisLongerThanAYearAnswersThroughTheInterface) {
    // Sixteen months since a date: a monthly axis without dates, run on past its first year.
    GridSpec g;
    g.timeUnits = "months since 2000-01-01";
    g.times.clear();
    for (int i = 0; i < 16; ++i)
        g.times.push_back(i);
    auto k = newKelvad();
    ASSERT_EQ(k->Initialize(writeGrid(dir.file("monthly.nc"), g)), 1) << k->ErrorMessage();
    EXPECT_EQ(k->nTime(), 16);
    EXPECT_EQ(k->DatePicked(16), "Month 15");

    Long nt1 = 0, nt2 = 0;
    float tw1 = 0, tw2 = 0;
    EXPECT_EQ(k->TimePt(Variant(DateSerial(2003, 12, 20)), nt1, nt2, tw1, tw2), 1)
        << k->ErrorMessage();
    EXPECT_EQ(nt1, 12);
    EXPECT_EQ(nt2, 13);
    EXPECT_FLOAT_EQ(tw1, 12.0f / 31);
    EXPECT_EQ(k->ClosestTstep(DateSerial(2003, 12, 20)), 13);
    EXPECT_EQ(k->ClosestTstep(DateSerial(2003, 2, 10)), 2);

    VArray<Long> orv;
    ASSERT_EQ(k->FillOrvTime(orv, 1, DateSerial(2003, 6, 15)), 16);
    const auto minutes = [](int y, int m) {
        return static_cast<Long>(DateSerial(y, m, 1).serial) * 1440;
    };
    EXPECT_EQ(orv(13), minutes(2004, 1));
    EXPECT_EQ(orv(16), minutes(2004, 4));
}
