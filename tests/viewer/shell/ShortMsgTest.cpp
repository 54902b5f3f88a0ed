// The three-button message form: its answers and its captions.
#include "viewer/shell/ShortMsg.h"

#include "tests/viewer/ViewerFixture.h"

#include <QLabel>

#include <utility>
#include <vector>

namespace {

class ShortMsgTest : public ViewerFixture {};

TEST_F(ShortMsgTest, AnswersAsTheUiDoes) {
    const std::vector<std::pair<int, Long>> cases = {{kYes, 6}, {kNo, 7}, {kCancel, 2}, {0, 0}};
    for (const auto& [scripted, expected] : cases) {
        ui.shortMsgAnswers.push_back(scripted);
        EXPECT_EQ(ShowShortMsg("Successful Sub-setting", "File made:", "Load", "Continue", ""),
                  expected);
        EXPECT_EQ(Opt.ShortMsgAnswer, expected);
    }
    ASSERT_EQ(ui.shortBoxes.size(), 4u);
    const ScriptedUi::ShortBox& b = ui.shortBoxes[0];
    EXPECT_EQ(b.caption, "Successful Sub-setting");
    EXPECT_EQ(b.text, "File made:");
    EXPECT_EQ(b.button1, "Load");
    EXPECT_EQ(b.button2, "Continue");
    EXPECT_EQ(b.button3, ""); // hidden

    // The form filled by hand, with its designer captions.
    ShortMsg form;
    form.Label1->setText("File already exists:");
    Opt.ShortMsgAnswer = 0;
    ui.shortMsgAnswers.push_back(kNo);
    EXPECT_EQ(form.Show(), 7);
    EXPECT_EQ(ui.shortBoxes.back().button1, "Overwrite");
    EXPECT_EQ(ui.shortBoxes.back().button2, "Append");
    EXPECT_EQ(ui.shortBoxes.back().button3, "Cancel");
}

} // namespace
