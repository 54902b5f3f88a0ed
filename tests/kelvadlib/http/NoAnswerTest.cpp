// A server that stops answering: an open or a read of its URLs gives up within half a minute
// with a text that names the URL, and the object goes on working once the server is back. The
// binary runs with our own time-outs (no rc file).
#include "tests/kelvadlib/http/ServedSamples.h"

#include "runtime/Convert.h"
#include "runtime/Variant.h"

namespace {

[[maybe_unused]] ::testing::Environment* const freshHome =
    ::testing::AddGlobalTestEnvironment(new FreshHome);

using NoAnswer = ServedSamples;

} // namespace

TEST_F(NoAnswer, AnOpenGivesUpWithinHalfAMinute) {
    ASSERT_NE(k, nullptr);
    // The server takes the connection and says nothing.
    server.stall();
    const std::string quiet = "http://127.0.0.1:" + std::to_string(server.port()) + "/x.nc";
    Clock::time_point start = Clock::now();
    EXPECT_EQ(k->Initialize(quiet), -1);
    EXPECT_LT(secondsSince(start), 30.0);
    expectNoAnswer(k->ErrorMessage(), "[Initialize] ", quiet);

    // The header comes, then no data: the set-up stops at its first read rather than wait
    // once for each coordinate.
    server.answer();
    server.stallData();
    const std::string url = server.url("regular_global.nc");
    start = Clock::now();
    EXPECT_EQ(k->Initialize(url), -1);
    EXPECT_LT(secondsSince(start), 30.0);
    expectNoAnswer(k->ErrorMessage(), "[Initialize] ", url);

    server.answer();
    EXPECT_EQ(k->Initialize(url), 1) << k->ErrorMessage();
    EXPECT_EQ(k->GridType(), kGridRegular);
}

TEST_F(NoAnswer, AReadGivesUpWithinHalfAMinute) {
    ASSERT_NE(k, nullptr);
    const std::string url = server.url("regular_global.nc#noprefetch");
    ASSERT_EQ(k->Initialize(url), 1) << k->ErrorMessage();
    const Long nvar = k->variNum("temp");
    ASSERT_GT(nvar, 0);
    ASSERT_EQ(k->variNarray(nvar), 4);
    VArray<Long> first(1, 4), count(1, 4), stride(1, 4);
    for (Long d = 1; d <= 4; ++d) {
        first(d) = 1;
        count(d) = d <= 2 ? 1 : 3;
        stride(d) = 1;
    }
    VArray<float> values;
    server.stall();
    const Clock::time_point start = Clock::now();
    const Variant stalled = k->GetVarsAny(nvar, -1e35f, values, first, count, stride, 9);
    EXPECT_LT(secondsSince(start), 30.0);
    EXPECT_LT(CLng(stalled), 0);
    expectNoAnswer(k->ErrorMessage(), "[GetVarsAny] ", url);

    // The server is back: the slot opens its dataset again and reads what the file holds.
    server.answer();
    const Long got = CLng(k->GetVarsAny(nvar, -1e35f, values, first, count, stride, 9));
    std::unique_ptr<IKelvad> local(CreateKelvad());
    ASSERT_EQ(local->Initialize(data_->file("regular_global.nc")), 1);
    VArray<float> expected;
    EXPECT_EQ(got, CLng(local->GetVarsAny(nvar, -1e35f, expected, first, count, stride, 9)));
    ASSERT_EQ(values.size(), expected.size());
    for (Long i = LBound(values); i <= UBound(values); ++i)
        EXPECT_EQ(values(i), expected(i)) << i;
}

TEST_F(NoAnswer, AStalledBodyAfterItsDdsEndsTheCallWithinHalfAMinute) {
    ASSERT_NE(k, nullptr);
    // Every data answer brings its DDS and then nothing: the set-up's own request for all
    // coordinates (no prefetching by the client), then a read through the client.
    const std::string batched = server.url("regular_global.nc#noprefetch");
    server.stallBody();
    Clock::time_point start = Clock::now();
    EXPECT_EQ(k->Initialize(batched), -1);
    EXPECT_LT(secondsSince(start), 30.0);
    expectNoAnswer(k->ErrorMessage(), "[Initialize] ", batched);

    server.answer();
    const std::string url = server.url("regular_global.nc");
    ASSERT_EQ(k->Initialize(url), 1) << k->ErrorMessage();
    const Long nvar = k->variNum("temp");
    ASSERT_GT(nvar, 0);
    VArray<Long> first(1, 4), count(1, 4);
    for (Long d = 1; d <= 4; ++d) {
        first(d) = 1;
        count(d) = d <= 2 ? 1 : 3;
    }
    VArray<float> values;
    server.stallBody();
    start = Clock::now();
    EXPECT_LT(CLng(k->GetVaraAny(nvar, -1e35f, values, first, count, 9)), 0);
    EXPECT_LT(secondsSince(start), 30.0);
    expectNoAnswer(k->ErrorMessage(), "[GetVaraAny] ", url);
}

// netCDF-C's DAP client drops the constraint it built for a read that timed out, and what it
// had compiled of a data answer cut short (from frames the leak check cannot always walk
// past the library); that memory is the library's to lose, not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:dcecreate\nleak:dceclone\nleak:libnetcdf.so\n";
}
