#pragma once
// What the own section window's tests share: the section state cleared before and after each
// test (the window unloaded first), a settings file, a dataset with levels and time opened as
// the viewer's dataset 1, and a section state filled by hand as nothing in the program fills it.
#include "tests/viewer/ViewerFixture.h"

#include "kelvadlib/IKelvad.h"
#include "tests/support/NcBuilder.h"
#include "viewer/map/SharedState.h"
#include "viewer/section/ModVsect.h"
#include "viewer/section/frmVsect.h"
#include "viewer/shell/MainOPaP.h"

#include <string>
#include <utility>
#include <vector>

// The value of temp at 0-based step t, depth z, latitude y, longitude x.
inline double VsectValue(int t, int z, int y, int x) {
    return t * 1000 + z * 100 + y * 10 + x;
}

// sect.nc: 3 daily steps, depths 0, 10, 50 and 100 m, 3 latitudes by 5 longitudes. temp (time,
// depth, lat, lon) holds VsectValue with the fill value at every depth of (lat 2, lon 4) and
// at the bottom of (lat 0, lon 0); sal the same plus 0.5; mask (lat, lon) has no levels and
// clim (depth, lat, lon) no time.
inline std::string WriteSectionFixture(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 3);
    nc.dim("depth", 4);
    nc.dim("lat", 3);
    nc.dim("lon", 5);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "days since 2001-01-01 00:00:00")
        .values({0.0, 1.0, 2.0});
    nc.var("depth", NC_FLOAT, {"depth"})
        .att("units", "m")
        .att("positive", "down")
        .values({0.0, 10.0, 50.0, 100.0});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({20.0, 21.0, 22.0});
    nc.var("lon", NC_FLOAT, {"lon"})
        .att("units", "degrees_east")
        .values({130.0, 131.0, 132.0, 133.0, 134.0});
    std::vector<double> temp, sal;
    for (int t = 0; t < 3; ++t)
        for (int z = 0; z < 4; ++z)
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x) {
                    const bool missing = (y == 2 && x == 4) || (y == 0 && x == 0 && z == 3);
                    temp.push_back(missing ? -999.0 : VsectValue(t, z, y, x));
                    sal.push_back(missing ? -999.0 : VsectValue(t, z, y, x) + 0.5);
                }
    nc.var("temp", NC_FLOAT, {"time", "depth", "lat", "lon"})
        .att("units", " degC ")
        .att("_FillValue", -999.0f)
        .values(temp);
    nc.var("sal", NC_FLOAT, {"time", "depth", "lat", "lon"})
        .att("units", "psu")
        .att("_FillValue", -999.0f)
        .values(sal);
    nc.var("mask", NC_INT, {"lat", "lon"}).values(std::vector<double>(15, 1.0));
    nc.var("clim", NC_FLOAT, {"depth", "lat", "lon"}).values(std::vector<double>(60, 4.0));
    return nc.write();
}

class VsectFixture : public ViewerFixture {
protected:
    void SetUp() override {
        ViewerFixture::SetUp();
        useSettings("[parameters]\r\nProjection=0\r\n");
    }

    // Opens the file as dataset 1 with its levels, as the loader leaves them.
    void openDataset(const std::string& path) {
        ASSERT_TRUE(NewKelvad());
        Data.nNcMain = Data.clsNC->Initialize(path);
        ASSERT_EQ(Data.nNcMain, 1) << Data.clsNC->ErrorMessage();
        const Long kMax = Data.clsNC->kMax();
        if (kMax > 0) {
            Data.vCoordV.ReDim(1, kMax);
            ASSERT_GE(Data.clsNC->FillvCoord(Data.vCoordV), 0);
        }
    }

    // The variable number of a name in dataset 1.
    static Long varNumber(const std::string& name) {
        for (Long n = 1; n <= Data.clsNC->nVars(); ++n)
            if (Data.clsNC->variName(n) == name) return n;
        return 0;
    }

    // Section variables of the given names (unread), the first current.
    static void sectionVars(const std::vector<std::string>& names) {
        Vsect.nVsectVars = static_cast<Long>(names.size());
        Vsect.VsectVars.ReDim(1, Vsect.nVsectVars);
        for (Long n = 1; n <= Vsect.nVsectVars; ++n) {
            VsectVarRec& r = Vsect.VsectVars(n);
            r.name = names[static_cast<std::size_t>(n - 1)];
            if (Data.clsNC) {
                r.nvar = varNumber(r.name);
                r.unit = Data.clsNC->variUnit(r.nvar);
            }
        }
        Vsect.CurVsectVar = 1;
    }

    // Section points at the given (i, j) grid indices.
    static void sectionPoints(const std::vector<std::pair<Long, Long>>& points) {
        Vsect.nVsectPoints = static_cast<Long>(points.size());
        Vsect.VsectPoints.ReDim(1, Vsect.nVsectPoints);
        for (Long p = 1; p <= Vsect.nVsectPoints; ++p)
            Vsect.VsectPoints(p) = {points[static_cast<std::size_t>(p - 1)].first,
                                    points[static_cast<std::size_t>(p - 1)].second};
    }

    // A read section without a dataset: levels at the given depths, values of step 1 from
    // value(p, k) (NoVal for none), one variable with the plot range given.
    static void filledSection(Long nPoints, const std::vector<double>& depths,
                              const std::function<float(Long, Long)>& value, float high, float low,
                              float step) {
        const auto kMax = static_cast<Long>(depths.size());
        Data.vCoordV.ReDim(1, kMax);
        for (Long k = 1; k <= kMax; ++k)
            Data.vCoordV(k) = depths[static_cast<std::size_t>(k - 1)];
        std::vector<std::pair<Long, Long>> points;
        for (Long p = 1; p <= nPoints; ++p)
            points.emplace_back(10 + p, 40);
        sectionPoints(points);
        Vsect.VsectValues.ReDim(nPoints, kMax, 2);
        for (Long p = 1; p <= nPoints; ++p)
            for (Long k = 1; k <= kMax; ++k)
                Vsect.VsectValues(p, k, 1) = value(p, k);
        Vsect.VsectBottom = static_cast<float>(depths.back());
        sectionVars({"temp"});
        VsectVarRec& r = Vsect.VsectVars(1);
        r.high = high;
        r.low = low;
        r.step = step;
        r.vMax = high;
        r.vMin = low;
        Vsect.ColorCode = 30;
    }

    // A path of n vertices on the map, one profile panel each at points 1 .. n.
    static void profilePanels(Long n) {
        View.SectionPathCount = n;
        if (n < 1) return;
        View.SectionPath.ReDim(1, n);
        Vsect.VsectProfileCells.ReDim(1, n);
        for (Long c = 1; c <= n; ++c)
            Vsect.VsectProfileCells(c) = c;
    }

    // The texts printed on a picture, in order.
    static std::vector<std::string> texts(const Picture& p) {
        std::vector<std::string> out;
        for (const DrawRecord& r : recordsOf(p, DrawKind::Print))
            out.push_back(r.text);
        return out;
    }
};
