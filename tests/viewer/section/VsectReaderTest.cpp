#include "tests/viewer/section/VsectFixture.h"

#include "runtime/Text.h"
#include "viewer/map/SharedState.h"
#include "viewer/section/ModVsect.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

class VsectReaderTest : public VsectFixture {
protected:
    void SetUp() override {
        VsectFixture::SetUp();
        openDataset(WriteSectionFixture(dir.file("sect.nc")));
    }

    static Long readCurrent() {
        Long nvar = Vsect.VsectVars(Vsect.CurVsectVar).nvar;
        return ReadVSData(nvar);
    }
};

} // namespace

TEST_F(VsectReaderTest, ReadsEveryPointLevelAndStepOfTheSection) {
    // Points by (lon, lat) index: a corner whose bottom is missing, a middle point, and a
    // point missing at every depth.
    sectionVars({"sal", "temp"});
    Vsect.CurVsectVar = 2;
    sectionPoints({{1, 1}, {3, 2}, {5, 3}});
    // The map's read window and colour scheme are the map's own.
    Win.startp.ReDim(1, 2);
    Win.startp(1) = 7;
    Scale.col_opt = 2;
    Scale.ColorCode = 10;

    EXPECT_EQ(readCurrent(), 4); // three steps, plus one
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FLOAT_EQ(Vsect.VsectBottom, 100);
    ASSERT_EQ(Vsect.VsectValues.points(), 3);
    ASSERT_EQ(Vsect.VsectValues.levels(), 4);
    ASSERT_EQ(Vsect.VsectValues.steps(), 3);
    for (int t = 0; t < 3; ++t)
        for (int z = 0; z < 4; ++z) {
            SCOPED_TRACE(testing::Message() << "t " << t << " z " << z);
            EXPECT_FLOAT_EQ(Vsect.VsectValues(1, z + 1, t + 1),
                            z == 3 ? 0 : VsectValue(t, z, 0, 0));
            EXPECT_FLOAT_EQ(Vsect.VsectValues(2, z + 1, t + 1), VsectValue(t, z, 1, 2));
            EXPECT_FLOAT_EQ(Vsect.VsectValues(3, z + 1, t + 1), 0);
        }
    // The range covers the valid values only: the missing ones stay out of it.
    EXPECT_FLOAT_EQ(Vsect.VsectVars(2).vMin, 0);
    EXPECT_FLOAT_EQ(Vsect.VsectVars(2).vMax, VsectValue(2, 3, 1, 2));
    EXPECT_FLOAT_EQ(Vsect.VsectVars(1).vMax, 0); // the other record is not touched

    EXPECT_EQ(Win.startp.UBound(), 2);
    EXPECT_EQ(Win.startp(1), 7);
    EXPECT_FALSE(Win.scalarV.IsAllocated());
    EXPECT_EQ(Scale.col_opt, 2);
    EXPECT_EQ(Scale.ColorCode, 10);
}

TEST_F(VsectReaderTest, RefusesWhatItCannotRead) {
    struct Case {
        std::string what, variable, message;
    };
    const Case cases[] = {
        {"no level dimension", "mask", "has no level dimension"},
        {"no time dimension", "clim", "has no time dimension"},
    };
    sectionPoints({{2, 2}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui.boxes.clear();
        sectionVars({c.variable});
        ASSERT_GT(Vsect.VsectVars(1).nvar, 0);
        EXPECT_EQ(readCurrent(), -1);
        const std::string text = std::string("[ReadVSData&] variable ") +
                                 CStr(Vsect.VsectVars(1).nvar) + " " + c.message;
        ASSERT_EQ(messages(), (std::vector<std::string>{text}));
        EXPECT_EQ(Vsect.VsectValues.points(), 0); // nothing changed
    }

    // A dataset without levels.
    const std::string flat = [&] {
        NcBuilder nc(dir.file("flat.nc"));
        nc.dim("lat", 2);
        nc.dim("lon", 2);
        nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({1.0, 2.0});
        nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({1.0, 2.0});
        nc.var("h", NC_FLOAT, {"lat", "lon"}).values({1.0, 2.0, 3.0, 4.0});
        return nc.write();
    }();
    ReleaseKelvad();
    openDataset(flat);
    ui.boxes.clear();
    sectionVars({"h"});
    EXPECT_EQ(readCurrent(), -1);
    EXPECT_EQ(messages(), (std::vector<std::string>{"[ReadVSData&] clsNC.kMax <= 0"}));
}

TEST_F(VsectReaderTest, AFailedReadShowsTheReadWindowAndKeepsWhatWasRead) {
    sectionVars({"temp"});
    sectionPoints({{2, 1}, {9, 1}}); // the second point lies beyond the 5 longitudes
    ui.SetMousePointer(kPointerHourglass);
    EXPECT_EQ(readCurrent(), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    const ScriptedUi::Box& box = ui.boxes[0];
    EXPECT_EQ(box.title, "[ReadVSData] NetCDF Error");
    EXPECT_EQ(box.style, kOkOnly + kCritical);
    const std::string tail =
        "\r\n\r\nnvar, tcount= " + Str(varNumber("temp")) + "  4\r\n" +
        "start, count, stride =  1  1  1\r\n" + "start, count, stride =  1  4  1\r\n" +
        "start, count, stride =  1  1  1\r\n" + "start, count, stride =  9  1  1\r\n";
    EXPECT_EQ(box.text, Data.clsNC->ErrorMessage() + tail);
    EXPECT_NE(Data.clsNC->ErrorMessage(), "");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    // The first point was read at the first step, and the range covers it.
    EXPECT_FLOAT_EQ(Vsect.VsectValues(1, 3, 1), VsectValue(0, 2, 0, 1));
    EXPECT_FLOAT_EQ(Vsect.VsectVars(1).vMax, VsectValue(0, 3, 0, 1));
    EXPECT_FLOAT_EQ(Vsect.VsectVars(1).vMin, VsectValue(0, 0, 0, 1));
}

TEST_F(VsectReaderTest, ScalesComeFromTheDataUnlessTheSettingsHoldThem) {
    struct Case {
        float vMin, vMax, high, low; // high and low as typed before
        float wantHigh, wantLow, wantStep;
    };
    const Case cases[] = {
        {10, 20, 0, 0, 20, 10, 2},                    // derived: a fifth of the range
        {0, 33, 0, 0, 33, 0, 6},                      // a step above 1 is rounded down
        {0, 4, 0, 0, 4, 0, 0.8f},                     // a step up to 1 is kept
        {0, 50, 30, 5, 30, 5, 0},                     // a typed range stays
        {1e35f, -1e35f, 0, 0, 1e35f, -1e35f, 0},      // nothing valid, a key of two numbers
        {1e35f, -1e35f, 0, 0, -1e35f, 1e35f, -4e34f}, // nothing valid, no key
    };
    const auto count = static_cast<Long>(std::size(cases));
    Vsect.nVsectVars = count;
    Vsect.VsectVars.ReDim(1, count);
    for (Long n = 1; n <= count; ++n) {
        const Case& c = cases[n - 1];
        VsectVarRec& r = Vsect.VsectVars(n);
        r.vMin = c.vMin;
        r.vMax = c.vMax;
        r.high = c.high;
        r.low = c.low;
    }
    // Key "item 5" (the record number in Str form) holds two numbers; "item6" is no key of
    // record 6.
    useSettings("[items]\r\nitem 5=1e35, -1e35\r\nitem6=7 8 9\r\n");
    SetVsectScales();
    for (Long n = 1; n <= count; ++n) {
        SCOPED_TRACE(n);
        const Case& c = cases[n - 1];
        const VsectVarRec& r = Vsect.VsectVars(n);
        EXPECT_FLOAT_EQ(r.high, c.wantHigh);
        EXPECT_FLOAT_EQ(r.low, c.wantLow);
        EXPECT_FLOAT_EQ(r.step, c.wantStep);
    }
    // The stored keys win every time the scales are set, over typed values too.
    useSettings("[items]\r\nitem 1=100;50;25\r\n");
    Vsect.VsectVars(1).high = 11;
    SetVsectScales();
    EXPECT_FLOAT_EQ(Vsect.VsectVars(1).high, 100);
    EXPECT_FLOAT_EQ(Vsect.VsectVars(1).low, 50);
    EXPECT_FLOAT_EQ(Vsect.VsectVars(1).step, 25);
}
