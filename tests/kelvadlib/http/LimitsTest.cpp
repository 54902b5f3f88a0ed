// A server that answers with more than was asked for, or that holds requests and then drops
// them: an open that makes its own request for the set-up's values refuses a body longer than
// the request can need at once, and the requests of one call share one stall limit.
//
// netCDF-C reads its HTTP settings once per process, at its first call: this binary runs with
// a home of its own whose rc file sets short time-outs (10 s a request, and so 15 s for a
// call), before the dataset object makes the first netCDF call.
#include "kelvadlib/IKelvad.h"
#include "tests/support/DapServer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kRequestLimit = 10; // HTTP.TIMEOUT below
constexpr double kCallLimit = 1.5 * kRequestLimit;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class ShortTimeouts : public ::testing::Environment {
public:
    void SetUp() override {
        home_ = std::make_unique<TempDir>();
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(home_->path());
        ::setenv("HOME", home_->path().c_str(), 1);
        for (const char* name : {"NCRCENV_RC", "NCRCENV_HOME", "NCRCENV_IGNORE", "XDG_CACHE_HOME"})
            ::unsetenv(name);
        std::ofstream(home_->file(".ncrc")) << "HTTP.TIMEOUT=10\nHTTP.CONNECTTIMEOUT=5\n";
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        home_.reset();
    }

private:
    std::unique_ptr<TempDir> home_;
    std::filesystem::path old_;
};

[[maybe_unused]] ::testing::Environment* const shortTimeouts =
    ::testing::AddGlobalTestEnvironment(new ShortTimeouts);

class ServerLimits : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        data_ = new TempDir();
        const std::string command =
            std::string(MAKE_SAMPLES_PATH) + " '" + data_->path().string() + "' > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    static void TearDownTestSuite() {
        delete data_;
        data_ = nullptr;
    }

    // The first dataset object of the process sets the time-outs, before any netCDF call.
    std::unique_ptr<IKelvad> k{CreateKelvad()};
    DapServer server{DAPSERVE_PATH, data_->path().string()};
    // Without the client's prefetching, the set-up asks for the coordinates itself.
    std::string url = server.url("regular_global.nc#noprefetch");
    static TempDir* data_;
};

TempDir* ServerLimits::data_ = nullptr;

} // namespace

TEST_F(ServerLimits, ABodyLongerThanTheRequestCanNeedIsRefusedAtOnce) {
    ASSERT_NE(k, nullptr);
    // 2 GiB streamed as fast as they are taken: with their length declared, then without.
    for (const bool declared : {true, false}) {
        SCOPED_TRACE(declared ? "declared" : "undeclared");
        server.floodData(declared);
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(k->Initialize(url), -1);
        // Well before a single request's time-out: nothing went on reading the flood.
        EXPECT_LT(secondsSince(start), kRequestLimit * 0.8);
        const std::string message = k->ErrorMessage();
        EXPECT_EQ(message.rfind("[FetchSetUpValues] The server's answer is longer than the ", 0), 0u)
            << message;
        EXPECT_TRUE(message.ends_with(": " + url)) << message;
    }
    server.answer();
    EXPECT_EQ(k->Initialize(url), 1) << k->ErrorMessage();
}

TEST_F(ServerLimits, RequestsHeldAndDroppedShareTheCallsLimit) {
    ASSERT_NE(k, nullptr);
    // Each data request is held for most of a request's time-out and then closed: the
    // set-up's own request fails that way, and the reads that would follow through netCDF-C
    // could wait as long again each. The call ends within its one limit instead.
    server.dropData(8);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(k->Initialize(url), -1);
    EXPECT_LT(secondsSince(start), kCallLimit);
    const std::string message = k->ErrorMessage();
    EXPECT_EQ(message.rfind("[Initialize] The server did not answer within ", 0), 0u) << message;
    EXPECT_TRUE(message.ends_with(" seconds: " + url)) << message;

    server.answer();
    EXPECT_EQ(k->Initialize(url), 1) << k->ErrorMessage();
}

// netCDF-C's DAP client drops the constraint it built for a read that timed out; that memory
// is the library's to lose, not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:dcecreate\nleak:dceclone\nleak:libnetcdf.so\n";
}
