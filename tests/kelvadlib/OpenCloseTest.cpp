// When a slot's dataset is open: the header read under CloseAfterRead, GetHeadOnly, CloseNC,
// the clean-up that closes every open record, and telling a server that did not answer.
#include "common/NcHttp.h"
#include "kelvadlib/Kelvad.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <type_traits>

namespace {

bool isOpen(int ncid) {
    int n = 0;
    return ncid >= 0 && nc_inq_ndims(ncid, &n) == NC_NOERR;
}
bool isClosed(int ncid) {
    int n = 0;
    return nc_inq_ndims(ncid, &n) == NC_EBADID;
}

class OpenCloseTest : public ::testing::Test {
protected:
    OpenCloseTest() {
        NcBuilder good(dir.file("good.nc"));
        good.dim("x", 2);
        good.var("x", NC_FLOAT, {"x"});
        goodPath = good.write();
        NcBuilder nodims(dir.file("nodims.nc"));
        nodims.globalAtt("title", "none");
        noDimsPath = nodims.write();
        NcBuilder six(dir.file("six.nc"));
        for (const char* d : {"a", "b", "c", "d", "e", "f"})
            six.dim(d, 1);
        six.var("v", NC_FLOAT, {"a", "b", "c", "d", "e", "f"});
        sixDimsPath = six.write();
    }
    TempDir dir;
    std::string goodPath, noDimsPath, sixDimsPath;
};

} // namespace

TEST_F(OpenCloseTest, HeaderReadLeavesTheDatasetOpenOrClosedByTheSwitch) {
    enum class Expect { Open, Closed, Unchanged };
    struct Case {
        Long closeAfterRead;
        const char* file; // "" for a path that does not exist
        Long result;
        Expect state;
    };
    const Case cases[] = {
        {0, "good", 1, Expect::Open},    {1, "good", 1, Expect::Closed},
        {2, "good", 1, Expect::Open},    {0, "nodims", -1, Expect::Open},
        {1, "nodims", -1, Expect::Open}, {1, "six", -1, Expect::Open},
        {0, "", -1, Expect::Unchanged},  {1, "", -1, Expect::Unchanged},
    };
    for (const auto& c : cases) {
        const std::string f = c.file;
        const std::string path = f == "good"     ? goodPath
                                 : f == "nodims" ? noDimsPath
                                 : f == "six"    ? sixDimsPath
                                                 : dir.file("missing.nc");
        Kelvad k;
        k.CloseAfterRead = c.closeAfterRead;
        // The slot already holds a dataset when the read starts.
        k.CloseAfterRead = 0;
        ASSERT_EQ(k.GetNCHeader(goodPath, 0), 1);
        const int before = k.ncf(0).ncid;
        k.CloseAfterRead = c.closeAfterRead;
        EXPECT_EQ(k.GetNCHeader(path, 0), c.result) << c.closeAfterRead << " " << f;
        const int after = k.ncf(0).ncid;
        switch (c.state) {
        case Expect::Open:
            EXPECT_TRUE(isOpen(after)) << c.closeAfterRead << " " << f;
            EXPECT_NE(after, before);
            EXPECT_TRUE(isClosed(before)); // the replaced id is not left open
            break;
        case Expect::Closed:
            EXPECT_EQ(after, -1) << c.closeAfterRead << " " << f;
            EXPECT_TRUE(isClosed(before));
            break;
        case Expect::Unchanged:
            EXPECT_EQ(after, before) << c.closeAfterRead << " " << f;
            EXPECT_TRUE(isOpen(after));
            break;
        }
    }
}

TEST_F(OpenCloseTest, GetHeadOnlyReadsSlotZeroAndLeavesCloseAfterReadSet) {
    Kelvad k;
    EXPECT_EQ(k.GetHeadOnly(goodPath), 1);
    EXPECT_EQ(k.CloseAfterRead, 1);
    EXPECT_EQ(k.nNcMax, 0);
    EXPECT_EQ(k.ncf.UBound(), 0);
    EXPECT_EQ(k.ncf(0).ncid, -1);
    EXPECT_EQ(k.ncf(0).nVars, 1);
    EXPECT_EQ(k.GetHeadOnly(dir.file("missing.nc")), -1);
    EXPECT_EQ(k.GetHeadOnly(""), -1);
    EXPECT_EQ(k.ErrorMessage, "Given file name is Empty");
}

TEST_F(OpenCloseTest, CloseNcClosesCountedSlotsOnly) {
    Kelvad k;
    k.nNcMax = 1;
    ASSERT_EQ(k.GetNCHeader(goodPath, 1), 1);
    ASSERT_EQ(k.GetNCHeader(goodPath, 0), 1);
    const int id1 = k.ncf(1).ncid;
    const int id0 = k.ncf(0).ncid;
    for (Long n : {0, -1, 2})
        k.CloseNC(n);
    EXPECT_TRUE(isOpen(id0));
    EXPECT_TRUE(isOpen(id1));
    k.CloseNC(1);
    EXPECT_EQ(k.ncf(1).ncid, -1);
    EXPECT_TRUE(isClosed(id1));
    k.CloseNC(1); // closing a closed slot changes nothing
    EXPECT_EQ(k.ncf(1).ncid, -1);
    EXPECT_EQ(k.ncf(1).FName, goodPath); // the record stays
    EXPECT_EQ(k.ReopenSlot(1), NC_NOERR);
    EXPECT_TRUE(isOpen(k.ncf(1).ncid));
}

TEST_F(OpenCloseTest, ReopenAndCloseFollowTheSwitch) {
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

TEST_F(OpenCloseTest, DoEraseArrayClosesEveryOpenRecord) {
    Kelvad k;
    k.nNcMax = 2;
    ASSERT_EQ(k.GetNCHeader(goodPath, 1), 1);
    ASSERT_EQ(k.GetNCHeader(goodPath, 2), 1);
    ASSERT_EQ(k.GetNCHeader(goodPath, 3), 1); // a spare slot past the count
    ASSERT_EQ(k.GetNCHeader(goodPath, 0), 1); // the scratch slot
    k.CloseNC(2);
    k.ncf(1).lonArr.ReDim(1, 3);
    const int ids[] = {k.ncf(0).ncid, k.ncf(1).ncid, k.ncf(3).ncid};
    for (int id : ids)
        ASSERT_TRUE(isOpen(id));
    k.DoEraseArray();
    for (int id : ids)
        EXPECT_TRUE(isClosed(id)) << id;
    EXPECT_FALSE(k.ncf.IsAllocated());
    EXPECT_EQ(k.nNcMax, 2);
    k.DoEraseArray(); // nothing left to close
    EXPECT_FALSE(k.ncf.IsAllocated());
}

TEST_F(OpenCloseTest, ReleasingTheObjectClosesItsDatasets) {
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
#include "kelvadlib/IKelvad.h"
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
