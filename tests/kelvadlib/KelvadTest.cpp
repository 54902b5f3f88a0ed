// The dataset object's own life: a slot closed and reopened by the CloseAfterRead switch, the
// datasets closed when the object goes, and telling a server that did not answer.
#include "tests/kelvadlib/KelvadFixture.h"

#include "common/NcHttp.h"
#include "kelvadlib/IKelvad.h"
#include "kelvadlib/Kelvad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>

namespace {

class KelvadTest : public SmallFilesFixture {};

} // namespace

TEST_F(KelvadTest, ReopenAndCloseFollowTheSwitch) {
    Kelvad k;
    k.nNcMax = 1;
    ASSERT_EQ(k.GetNCHeader(goodPath, 1), 1);
    for (Long car : {0, 2}) {
        k.CloseAfterRead = car;
        k.CloseIfAfterRead(1);
        EXPECT_TRUE(isOpen(k.ncf(1).ncid)) << car;
    }
    k.CloseAfterRead = 1;
    k.CloseIfAfterRead(1);
    EXPECT_EQ(k.ncf(1).ncid, -1);
    // A dataset that has gone away cannot be reopened: the status says why, ncid stays -1.
    std::filesystem::remove(goodPath);
    EXPECT_NE(k.ReopenSlot(1), NC_NOERR);
    EXPECT_EQ(k.ncf(1).ncid, -1);
}

TEST_F(KelvadTest, ReleasingTheObjectClosesItsDatasets) {
    auto k = std::make_unique<Kelvad>();
    k->nNcMax = 1;
    ASSERT_EQ(k->GetNCHeader(goodPath, 1), 1);
    ASSERT_EQ(k->GetNCHeader(noDimsPath, 0), -1); // left open by its failure
    const int id1 = k->ncf(1).ncid;
    const int id0 = k->ncf(0).ncid;
    k.reset();
    EXPECT_TRUE(isClosed(id1));
    EXPECT_TRUE(isClosed(id0));
    Kelvad empty; // an object that never opened anything ends quietly
}

// The public interface compiles on its own and can only be reached through the factory.
static_assert(std::is_abstract_v<IKelvad>);
static_assert(std::has_virtual_destructor_v<IKelvad>);

TEST(NoteNoAnswer, OnlyAUrlThatWaitedOutTheTimeOutCounts) {
    using namespace std::chrono;
    const std::string url = "http://127.0.0.1:9/x.nc";
    struct Case {
        const char* what;
        std::string name;
        double after;  // NoAnswerAfter
        double waited; // seconds before the call failed
        std::string message;
    };
    const Case cases[] = {
        {"waited out", url, 19.5, 20.2,
         "[Initialize] The server did not answer within 20 seconds: " + url},
        {"https, any case", "HTTPS://h/y", 9.5, 10,
         "[Initialize] The server did not answer "
         "within 10 seconds: HTTPS://h/y"},
        {"failed at once", url, 19.5, 0, "before"},
        {"a local file that was slow", "/data/x.nc", 19.5, 25, "before"},
        {"no time-out in force", url, 0, 300, "before"},
    };
    for (const Case& c : cases) {
        Kelvad k;
        k.NoAnswerAfter = c.after;
        k.ErrorMessage = "before";
        const auto start =
            steady_clock::now() - duration_cast<steady_clock::duration>(duration<double>(c.waited));
        EXPECT_EQ(k.NoteNoAnswer("[Initialize] ", c.name, start), c.message != "before") << c.what;
        EXPECT_EQ(k.ErrorMessage, c.message) << c.what;
    }
    // The shorter of the two time-outs in force, with half a second for the clock.
    const NcHttpTimeouts inForce = PrepareNcHttpTimeouts();
    if (inForce.connect > 0 && inForce.total > 0) {
        EXPECT_DOUBLE_EQ(Kelvad().NoAnswerAfter,
                         static_cast<double>(std::min(inForce.connect, inForce.total)) - 0.5);
    }
}
