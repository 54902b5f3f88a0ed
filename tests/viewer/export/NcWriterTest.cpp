// The writers' own opens of existing files: a file cut short is refused with its path and sizes
// before netCDF-C reads it, both for copying attributes from it and for appending to it.
#include "viewer/export/NcWriter.h"
#include "common/ClassicHeader.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <filesystem>
#include <functional>
#include <string>

TEST(NcWriter, FileCutShortIsRefusedWithItsPathAndSizes) {
    TempDir dir;
    NcBuilder nc(dir.file("subset.nc"));
    nc.unlimitedDim("time", 2);
    nc.var("time", NC_DOUBLE, {"time"}).values({0.0, 1.0});
    const std::string path = nc.write();
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size - 4);
    const std::string reason = path + ": the file is truncated: " + std::to_string(size - 4) +
                               " of " + std::to_string(size) + " bytes";

    const std::function<void()> opens[] = {[&] { NcSource source(path); },
                                           [&] { NcOut::OpenForWrite(path); }};
    for (const auto& open : opens) {
        try {
            open();
            ADD_FAILURE() << "opened";
        } catch (const NcFailure& f) {
            EXPECT_EQ(f.status(), kNcFileRefused);
            EXPECT_EQ(std::string(f.what()), "nc_open " + path + ": " + reason);
        }
    }
}
