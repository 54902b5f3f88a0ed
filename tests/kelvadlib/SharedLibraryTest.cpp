// The library as the viewer loads it: libKelvadlib.so opened at run time, an object made by
// its factory, a dataset opened and read through the interface, the object deleted.
#include "kelvadlib/IKelvad.h"
#include "platform/Component.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <memory>
#include <string>

#ifndef KELVADLIB_PATH
#error "KELVADLIB_PATH: the path of libKelvadlib.so"
#endif

TEST(SharedLibraryTest, TheFactoryOfTheLoadedLibraryMakesWorkingObjects) {
    TempDir dir;
    NcBuilder nc(dir.file("grid.nc"));
    nc.unlimitedDim("time", 2);
    nc.dim("lat", 2);
    nc.dim("lon", 3);
    nc.var("time", NC_DOUBLE, {"time"}).att("units", "days since 2001-02-03").values({0.0, 1.0});
    nc.var("lat", NC_FLOAT, {"lat"}).values({-5.0f, 5.0f});
    nc.var("lon", NC_FLOAT, {"lon"}).values({100.0f, 101.0f, 102.0f});
    nc.var("speed", NC_FLOAT, {"time", "lat", "lon"})
        .values({1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f, 10.0f, 11.0f, 12.0f});
    const std::string path = nc.write();

    std::string error;
    void* symbol = FindFactory(KELVADLIB_PATH, "CreateKelvad", error);
    ASSERT_NE(symbol, nullptr) << error;
    // The library's own factory, not the copy this test program links.
    EXPECT_NE(symbol, reinterpret_cast<void*>(&CreateKelvad));
    const auto create = reinterpret_cast<IKelvad* (*)()>(symbol);

    {
        std::unique_ptr<IKelvad> k(create());
        ASSERT_NE(k, nullptr);
        std::unique_ptr<IKelvad> other(create());
        ASSERT_EQ(k->Initialize(path), 1) << k->ErrorMessage();
        EXPECT_EQ(k->GridType(), kGridRegular);
        EXPECT_EQ(k->StartTime(), "2001-02-03");
        EXPECT_EQ(k->variName(4), "speed");
        VArray<float> v;
        VArray<Long> startp(1, 3), countp(1, 3), stride(1, 3);
        startp(1) = 2, startp(2) = 1, startp(3) = 1;
        countp(1) = 1, countp(2) = 2, countp(3) = 2;
        stride(1) = 1, stride(2) = 1, stride(3) = 2;
        EXPECT_EQ(CLng(k->GetVarsAny(4, -1e35f, v, startp, countp, stride, 4)), 4);
        ASSERT_EQ(v.UBound(), 4);
        EXPECT_EQ(v(1), 7.0f);
        EXPECT_EQ(v(4), 12.0f);

        // Failures come back as values and texts, also across the library boundary.
        EXPECT_EQ(k->nVars(2), 0);
        EXPECT_EQ(k->ErrorMessage(), "[nVars] nNc out of range: 2");
        EXPECT_EQ(k->Initialize(dir.file("missing.nc")), -1);

        // Objects do not share slots.
        EXPECT_EQ(other->nVars(), 0);
    }
    CloseFactoryLibrary(KELVADLIB_PATH);
}
