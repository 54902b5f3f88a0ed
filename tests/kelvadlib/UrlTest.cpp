// A dataset served over OPeNDAP by tools/dapserve on 127.0.0.1 opens through Initialize like the
// local file: the same header, the same grid type and time axis, and strided slices equal to the
// local file's values.
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/Variant.h"
#include "tests/support/DapServer.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

struct Slice {
    Long count[4];
    Long stride[4];
};

class UrlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir();
        const std::string command =
            std::string(MAKE_SAMPLES_PATH) + " '" + dir_->path().string() + "' > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        server_ = new DapServer(DAPSERVE_PATH, dir_->path().string());
    }
    static void TearDownTestSuite() {
        delete server_;
        delete dir_;
        server_ = nullptr;
        dir_ = nullptr;
    }

    static std::unique_ptr<IKelvad> open(const std::string& path) {
        std::unique_ptr<IKelvad> k(CreateKelvad());
        EXPECT_EQ(k->Initialize(path), 1) << path << ": " << k->ErrorMessage();
        return k;
    }

    static TempDir* dir_;
    static DapServer* server_;
};

TempDir* UrlTest::dir_ = nullptr;
DapServer* UrlTest::server_ = nullptr;

TEST_F(UrlTest, HeaderGridTypeAndTimeAxisMatchTheLocalFile) {
    auto local = open(dir_->file("regular_global.nc"));
    auto remote = open(server_->url("regular_global.nc"));

    EXPECT_EQ(remote->GridType(), kGridRegular);
    EXPECT_EQ(remote->GridType(), local->GridType());
    EXPECT_EQ(remote->nVars(), local->nVars());
    EXPECT_EQ(remote->nLon(), local->nLon());
    EXPECT_EQ(remote->nLat(), local->nLat());
    EXPECT_EQ(remote->kMax(), local->kMax());
    EXPECT_EQ(remote->nTime(), local->nTime());
    EXPECT_EQ(remote->StartTime(), local->StartTime());
    EXPECT_EQ(remote->endTime(), local->endTime());
    EXPECT_FLOAT_EQ(remote->westEnd(), local->westEnd());
    EXPECT_FLOAT_EQ(remote->eastEnd(), local->eastEnd());
    for (const char* name : {"temp", "u", "v"})
        EXPECT_EQ(remote->variNum(name), local->variNum(name)) << name;
}

TEST_F(UrlTest, StridedSlicesEqualTheLocalValues) {
    auto local = open(dir_->file("regular_global.nc"));
    // Without prefetching, the client asks the server for each hyperslab.
    auto remote = open(server_->url("regular_global.nc#noprefetch"));
    const Long nvar = local->variNum("temp");
    ASSERT_GT(nvar, 0);
    ASSERT_EQ(local->variNarray(nvar), 4);

    const Slice slices[] = {
        {{1, 1, local->nLat(), local->nLon()}, {1, 1, 1, 1}},
        {{3, 2, 6, 10}, {4, 2, 5, 7}},
        {{12, 3, 3, 3}, {1, 1, 10, 20}},
    };
    for (const Slice& s : slices) {
        VArray<Long> start(1, 4), count(1, 4), stride(1, 4);
        Long n = 1;
        for (Long d = 1; d <= 4; ++d) {
            start(d) = 1;
            count(d) = s.count[d - 1];
            stride(d) = s.stride[d - 1];
            n *= count(d);
        }
        VArray<float> a, b;
        const Variant ra = local->GetVarsAny(nvar, -1e35f, a, start, count, stride, n);
        const Variant rb = remote->GetVarsAny(nvar, -1e35f, b, start, count, stride, n);
        ASSERT_EQ(CLng(rb), CLng(ra)) << remote->ErrorMessage();
        ASSERT_GT(CLng(ra), 0) << local->ErrorMessage();
        ASSERT_EQ(b.size(), a.size());
        for (Long i = LBound(a); i <= UBound(a); ++i)
            ASSERT_EQ(b(i), a(i)) << "value " << i;
    }
}

TEST_F(UrlTest, AMissingDatasetFailsWithTheLibrarysText) {
    std::unique_ptr<IKelvad> k(CreateKelvad());
    EXPECT_EQ(k->Initialize(server_->url("no-such-file.nc")), -1);
    EXPECT_NE(k->ErrorMessage().find("NetCDF"), std::string::npos) << k->ErrorMessage();
}

} // namespace
