// An error raised in an event procedure: shown in a box, and the program goes on.
#include "viewer/map/ErrorBox.h"

#include "tests/viewer/ViewerFixture.h"

#include "runtime/RuntimeError.h"

#include <stdexcept>

namespace {

class ErrorBoxTest : public ViewerFixture {};

TEST_F(ErrorBoxTest, AnErrorInAnEventProcedureIsShownAndTheProgramGoesOn) {
    ui.SetMousePointer(kPointerHourglass);
    bool after = false;
    runEvent([] { throw RuntimeError(err::Subscript); });
    runEvent([] { throw std::runtime_error("disk full"); });
    runEvent([&] { after = true; });
    EXPECT_TRUE(after);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Run-time error '9':\r\n\r\nSubscript out of range");
    EXPECT_EQ(ui.boxes[0].title, kProgramTitle);
    EXPECT_EQ(ui.boxes[1].text, "Run-time error:\r\n\r\ndisk full");
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

} // namespace
