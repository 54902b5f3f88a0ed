// The options dialog on the control's state: what it finds, what a click writes, and what
// Cancel puts back.
#include "tyxsection/dialogs/frmOptions.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"

#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

class frmOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        m.main.items.NumDrawAbleItems = 2;
        m.main.items.DrawAbleItem.ReDim(1, 2);
        m.main.items.DrawAbleItem(1).nvar = 4;
        m.main.items.DrawAbleItem(2).nvar = 7;
    }

    static void press(QDialog& d, const char* name) {
        d.findChild<QAbstractButton*>(name)->click();
    }

    InstalledScriptedUi ui;
    TyxModel m;
};

} // namespace

TEST_F(frmOptionsTest, CancelPutsBackEvenUnusualValues) {
    m.main.ViewStyle = 7;
    m.contour.ContourFlag = 3;
    m.main.SingleGraph = 5;
    m.main.Item_shown = 2;
    m.main.nvar_it = 7;
    ui.dialogScripts.push_back([&](QDialog& d) {
        // Found as a section with contour lines, which the dialog makes plain codes.
        EXPECT_TRUE(d.findChild<QRadioButton*>("optViewStyle(1)")->isChecked());
        EXPECT_EQ(m.main.ViewStyle, 2);
        EXPECT_EQ(m.contour.ContourFlag, 1);
        press(d, "optViewStyle(2)");
        EXPECT_EQ(m.main.SingleGraph, 1);
        EXPECT_EQ(m.contour.ContourFlag, 1); // a profile choice leaves it
        press(d, "cmdCancel");
    });
    frmOptions d(m);
    EXPECT_EQ(d.OpenOptionsForm(), -1);
    EXPECT_EQ(m.main.ViewStyle, 7);
    EXPECT_EQ(m.contour.ContourFlag, 3);
    EXPECT_EQ(m.main.SingleGraph, 5);
    EXPECT_EQ(m.main.Item_shown, 2);
    EXPECT_EQ(m.main.nvar_it, 7);
}

TEST_F(frmOptionsTest, WithoutAnItemTheFirstIsTaken) {
    m.main.ViewStyle = 1;
    m.main.SingleGraph = 1;
    m.main.Item_shown = 0;
    m.main.nvar_it = 9;
    ui.dialogScripts.push_back([&](QDialog& d) {
        EXPECT_TRUE(d.findChild<QRadioButton*>("optViewStyle(2)")->isChecked());
        press(d, "cmdOK");
    });
    EXPECT_EQ(ShowOptionsDialog(m), 1);
    EXPECT_EQ(m.main.Item_shown, 1);
    EXPECT_EQ(m.main.nvar_it, 9);

    // Cancelled, the item is none again; no item names no variable.
    m.main.Item_shown = 0;
    EXPECT_EQ(ShowOptionsDialog(m), -1); // closed at once: cancelled
    EXPECT_EQ(m.main.Item_shown, 0);
    EXPECT_EQ(m.main.nvar_it, 9);
}
