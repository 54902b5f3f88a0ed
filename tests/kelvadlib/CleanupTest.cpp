// When a slot's dataset is open: the header read under CloseAfterRead, GetHeadOnly, CloseNC, and
// the clean-up that closes every open record.
#include "tests/kelvadlib/KelvadFixture.h"

#include "kelvadlib/Kelvad.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <filesystem>

namespace {

class CleanupTest : public SmallFilesFixture {};

} // namespace

TEST_F(CleanupTest, HeaderReadLeavesTheDatasetOpenOrClosedByTheSwitch) {
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

TEST_F(CleanupTest, GetHeadOnlyReadsSlotZeroAndLeavesTheOtherSlotsOpen) {
    Kelvad k;
    k.nNcMax = 1;
    ASSERT_EQ(k.GetNCHeader(goodPath, 1), 1) << k.ErrorMessage;
    const int held = k.ncf(1).ncid;
    ASSERT_GE(held, 0);
    EXPECT_EQ(k.GetHeadOnly(goodPath), 1);
    EXPECT_EQ(k.CloseAfterRead, 0);
    // A read of the set-up dataset after the header read takes the handle it holds.
    VArray<float> values;
    EXPECT_GE(CLng(k.do_get_var_any(1, 1, -1e35f, values)), 0) << k.ErrorMessage;
    EXPECT_EQ(k.ncf(1).ncid, held);
    k.CloseAfterRead = 1;
    EXPECT_EQ(k.GetHeadOnly(goodPath), 1);
    EXPECT_EQ(k.CloseAfterRead, 1);
    EXPECT_EQ(k.nNcMax, 1);
    EXPECT_EQ(k.ncf(0).ncid, -1);
    EXPECT_EQ(k.ncf(0).nVars, 1);
    EXPECT_EQ(k.GetHeadOnly(dir.file("missing.nc")), -1);
    EXPECT_EQ(k.GetHeadOnly(""), -1);
    EXPECT_EQ(k.ErrorMessage, "Given file name is Empty");
}

TEST_F(CleanupTest, CloseNcClosesCountedSlotsOnly) {
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

TEST_F(CleanupTest, DoEraseArrayClosesEveryOpenRecord) {
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
