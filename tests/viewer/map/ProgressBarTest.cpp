// The progress strip along the bottom edge of a picture.
#include "viewer/map/ProgressBar.h"

#include "tests/viewer/ViewerFixture.h"

#include "gui/Picture.h"
#include "runtime/Color.h"

#include <gtest/gtest.h>

namespace {

constexpr Long kWhite = 0xFFFFFF;

class ProgressBarTest : public ViewerFixture {};

TEST_F(ProgressBarTest, ProgressStripPixels) {
    Picture pic(100, 20);
    pic.setDrawMode(kDrawInvert);
    DrawProgressBar(pic, 5, 10);
    EXPECT_EQ(pic.DrawMode(), kDrawInvert);
    EXPECT_EQ(pic.pixel(0, 19), QBColor(12));
    EXPECT_EQ(pic.pixel(49, 19), QBColor(12));
    EXPECT_EQ(pic.pixel(50, 19), kWhite) << "exactly the left half";
    EXPECT_EQ(pic.pixel(99, 19), kWhite);
    EXPECT_EQ(pic.pixel(10, 18), kWhite); // one unit high

    // A shorter step leaves the earlier red standing; no total clears the whole strip.
    DrawProgressBar(pic, 1, 10);
    EXPECT_EQ(pic.pixel(40, 19), QBColor(12));
    DrawProgressBar(pic, 10, 10);
    EXPECT_EQ(pic.pixel(99, 19), QBColor(12));
    DrawProgressBar(pic, 0, 0);
    for (int x : {0, 50, 99})
        EXPECT_EQ(pic.pixel(x, 19), kWhite);
    EXPECT_EQ(pic.DrawMode(), kDrawInvert);
}

} // namespace
