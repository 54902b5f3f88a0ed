#include "common/Ui.h"
#include "tests/support/ScriptedUi.h"

#include <gtest/gtest.h>

TEST(Ui, SilentUiAnswersEveryBoxWithItsDefault) {
    Ui* before = setUi(nullptr);
    EXPECT_EQ(ui().MsgBox("x", kOkOnly + kCritical, "t"), kOk);
    EXPECT_EQ(ui().MsgBox("x", kOkCancel, "t"), kCancel);
    EXPECT_EQ(ui().MsgBox("x", kYesNoCancel + kQuestion, "t"), kCancel);
    EXPECT_EQ(ui().MsgBox("x", kYesNo, "t"), kNo);
    EXPECT_EQ(ui().ShortMsg("c", "t", "Append", "Overwrite", "Cancel"), 0);
    EXPECT_EQ(ui().OpenFileDialog({}), "");
    Long color = 5;
    EXPECT_FALSE(ui().ColorDialog(color));
    std::string value = "d";
    EXPECT_FALSE(ui().InputBox("p", "t", value));
    ui().SetMousePointer(kPointerHourglass);
    EXPECT_EQ(ui().MousePointer(), kPointerHourglass);
    ui().SetMousePointer(kPointerDefault);
    setUi(before);
}

TEST(Ui, GuardInstallsAndRestores) {
    Ui& before = ui();
    {
        ScriptedUi first;
        ScopedUi g1(first);
        EXPECT_EQ(&ui(), &first);
        {
            InstalledScriptedUi second;
            EXPECT_EQ(&ui(), &second);
        }
        EXPECT_EQ(&ui(), &first);
    }
    EXPECT_EQ(&ui(), &before);
}

TEST(Ui, ScriptedUiAnswersInOrderThenDefaultsAndRecords) {
    InstalledScriptedUi s;
    s.msgBoxAnswers = {kYes};
    s.shortMsgAnswers = {kNo};
    s.inputAnswers = {std::string("typed"), std::nullopt};
    EXPECT_EQ(ui().MsgBox("a", kYesNo, "T"), kYes);
    EXPECT_EQ(ui().MsgBox("b", kYesNo, "T"), kNo);
    EXPECT_EQ(ui().MsgBox("c", kOkOnly, "T"), kOk);
    EXPECT_EQ(ui().ShortMsg("cap", "q", "1", "2", "3"), kNo);
    EXPECT_EQ(ui().ShortMsg("cap", "q", "1", "2", "3"), kCancel);
    std::string value = "default";
    EXPECT_TRUE(ui().InputBox("p", "t", value));
    EXPECT_EQ(value, "typed");
    EXPECT_FALSE(ui().InputBox("p", "t", value));
    EXPECT_EQ(value, "typed");
    ui().SetMousePointer(kPointerHourglass);
    ui().SetMousePointer(kPointerDefault);
    ui().DoEvents();

    ASSERT_EQ(s.boxes.size(), 3u);
    EXPECT_EQ(s.boxes[1].text, "b");
    EXPECT_EQ(s.boxes[1].style, kYesNo);
    EXPECT_EQ(s.boxes[1].title, "T");
    EXPECT_EQ(s.shortBoxes.size(), 2u);
    ASSERT_EQ(s.inputs.size(), 2u);
    EXPECT_EQ(s.inputs[0].defaultValue, "default");
    EXPECT_EQ(s.pointerChanges, (std::vector<int>{kPointerHourglass, kPointerDefault}));
    EXPECT_EQ(s.doEventsCount, 1);
}
