// A server that answers with more than was asked for, or that holds requests and then drops
// them: an open that makes its own request for the set-up's values refuses a body longer than
// the request can need at once, and the requests of one call share one stall limit.
//
// The binary's own rc file sets short time-outs: 10 s a request, and so 15 s for a call.
#include "tests/kelvadlib/http/ServedSamples.h"

namespace {

constexpr double kRequestLimit = 10; // HTTP.TIMEOUT below
constexpr double kCallLimit = 1.5 * kRequestLimit;

[[maybe_unused]] ::testing::Environment* const shortTimeouts = ::testing::AddGlobalTestEnvironment(
    new FreshHome("HTTP.TIMEOUT=10\nHTTP.CONNECTTIMEOUT=5\n"));

class ServerLimits : public ServedSamples {
protected:
    // Without the client's prefetching, the set-up asks for the coordinates itself.
    std::string url = server.url("regular_global.nc#noprefetch");
};

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
    expectNoAnswer(k->ErrorMessage(), "[Initialize] ", url);

    server.answer();
    EXPECT_EQ(k->Initialize(url), 1) << k->ErrorMessage();
}

// netCDF-C's DAP client drops the constraint it built for a read that timed out, and what it
// had compiled of a data answer cut short (from frames the leak check cannot always walk
// past the library); that memory is the library's to lose, not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:dcecreate\nleak:dceclone\nleak:libnetcdf.so\n";
}
