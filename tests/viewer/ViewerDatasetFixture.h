#pragma once
// What the loader, summary, dump and preview tests share on the viewer's common ground: a
// settings file in the temporary folder (or in a folder of a given name inside it), an empty
// remembered list, and one small dataset whose every summary line and dump line is known.
#include "tests/viewer/ViewerFixture.h"

#include "kelvadlib/IKelvad.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "viewer/map/SharedState.h"
#include "viewer/shell/MainOPaP.h"

#include <fstream>
#include <iterator>
#include <string>
#include <utility>

class ViewerDatasetFixture : public ViewerFixture {
protected:
    explicit ViewerDatasetFixture(std::string settingsFolder = "")
        : settingsName_(std::move(settingsFolder)) {}

    void SetUp() override {
        ViewerFixture::SetUp();
        folder_ = useSettings("[parameters]\r\nProjection=0\r\n", settingsName_);
        Opt.URL.ReDim(0, 0);
    }

    const std::string& settingsFolder() const { return folder_; }

private:
    std::string settingsName_, folder_;
};

// sst.nc: a 4 x 3 grid a quarter degree by one degree, two hourly records, a record
// variable, a fixed one, a scalar without attributes and one global attribute.
inline std::string WriteSmallFixture(const std::string& path) {
    NcBuilder nc(path);
    nc.dim("lon", 4);
    nc.dim("lat", 3);
    nc.unlimitedDim("time", 2);
    nc.var("lon", NC_FLOAT, {"lon"})
        .att("units", "degrees_east")
        .values({120.0, 120.25, 120.5, 120.75});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({10.0, 11.0, 12.0});
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 2000-01-01 00:00:00")
        .values({0.0, 1.0});
    nc.var("sst", NC_SHORT, {"time", "lat", "lon"})
        .att("long_name", "sea surface temperature")
        .att("scale_factor", 0.01f)
        .att("valid_range", NC_SHORT, {-500, 4000})
        .values(std::vector<double>(24, 1500.0));
    nc.var("h", NC_FLOAT, {"lat", "lon"}).values(std::vector<double>(12, 10.0));
    nc.var("crs", NC_INT).values({0});
    nc.globalAtt("title", "small \"quoted\" fixture");
    return nc.write();
}
