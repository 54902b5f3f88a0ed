// The small dialogs of the colour-key editor and what every dialog of the control shares: the
// values in and out, Result at load, OK, Cancel and the close button, and the centring.
#include "gui/QtText.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "tyxsection/dialogs/DialogKit.h"
#include "tyxsection/dialogs/frmAutoDiv.h"
#include "tyxsection/dialogs/frmColorRamp.h"
#include "tyxsection/dialogs/frmVarName.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

class SmallDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { testApp(); }

    // Runs the script on the next dialog shown.
    void next(std::function<void(QDialog&)> script) { ui.dialogScripts.push_back(script); }

    static void click(QDialog& d, const char* name) { d.findChild<QPushButton*>(name)->click(); }
    static std::string field(QDialog& d, const char* name) {
        return programText(d.findChild<QLineEdit*>(name)->text());
    }

    TempDir dir;
    InstalledScriptedUi ui;
};

} // namespace

TEST_F(SmallDialogsTest, AutoDivisionShowsAndReturnsItsValues) {
    frmAutoDiv d;
    EXPECT_EQ(d.Result, 0);
    d.MinVal = 0;
    d.MaxVal = 33;
    d.Divisions = 11;
    std::vector<std::string> shown;
    next([&](QDialog& dialog) {
        for (const char* f : {"fldMinVal", "fldMaxVal", "fldDivisions"})
            shown.push_back(field(dialog, f));
        // Escape answers no button.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &escape);
        EXPECT_EQ(dialog.result(), 0);
        click(dialog, "cmdOK");
    });
    d.Show();
    EXPECT_EQ(shown, (std::vector<std::string>{"0", "33", "11"}));
    EXPECT_EQ(d.Result, 1);
    EXPECT_EQ(d.MinVal, 0);
    EXPECT_EQ(d.MaxVal, 33);
    EXPECT_EQ(d.Divisions, 11);

    // Typed values come back as read; a half rounds to even.
    frmAutoDiv typed;
    next([&](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("fldMinVal")->setText("12abc");
        dialog.findChild<QLineEdit*>("fldMaxVal")->setText("-1.5e2");
        dialog.findChild<QLineEdit*>("fldDivisions")->setText("2.5");
        click(dialog, "cmdOK");
    });
    typed.Show();
    EXPECT_EQ(typed.MinVal, 12);
    EXPECT_EQ(typed.MaxVal, -150);
    EXPECT_EQ(typed.Divisions, 2);

    // Cancel keeps the values given; the close button leaves Result at 0.
    frmAutoDiv cancelled;
    cancelled.Divisions = 4;
    next([&](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("fldDivisions")->setText("9");
        click(dialog, "cmdCancel");
    });
    cancelled.Show();
    EXPECT_EQ(cancelled.Result, -1);
    EXPECT_EQ(cancelled.Divisions, 4);
    frmAutoDiv closed;
    closed.Show();
    EXPECT_EQ(closed.Result, 0);

    // Counts that make no key are refused and the dialog stays open.
    for (const char* count : {"0", "-3", "40000", "1e300"}) {
        frmAutoDiv refused;
        ui.boxes.clear();
        next([&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>("fldDivisions")->setText(count);
            click(dialog, "cmdOK");
        });
        refused.Show();
        EXPECT_EQ(refused.Result, 0) << count;
        ASSERT_EQ(ui.boxes.size(), 1u) << count;
        EXPECT_EQ(ui.boxes[0].title, "Auto Division");
    }
}

TEST_F(SmallDialogsTest, TheVariableChoiceListsTheFileInOrder) {
    const std::string file = dir.file("keys.kew");
    std::ofstream(file) << "<?xml version=\"1.0\"?><section><variable name=\"temp\"/>"
                           "<variable name=\"salt\"/><variable name=\"temp\"/></section>";
    frmVarName d;
    d.filename = file;
    std::vector<std::string> listed;
    next([&](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>("lstVarNames");
        for (int i = 0; i < list->count(); ++i)
            listed.push_back(programText(list->item(i)->text()));
        click(dialog, "cmdOK"); // nothing chosen
    });
    d.Show();
    EXPECT_EQ(listed, (std::vector<std::string>{"temp", "salt", "temp"}));
    EXPECT_EQ(d.Result, 1);
    EXPECT_EQ(d.varname, "");

    frmVarName chosen;
    chosen.filename = file;
    next([&](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>("lstVarNames");
        list->setCurrentRow(1);
        click(dialog, "cmdOK");
    });
    chosen.Show();
    EXPECT_EQ(chosen.varname, "salt");

    for (bool cancel : {true, false}) {
        frmVarName other;
        other.filename = dir.file("missing.kew");
        next([&](QDialog& dialog) {
            EXPECT_EQ(dialog.findChild<QListWidget*>("lstVarNames")->count(), 0);
            if (cancel) click(dialog, "cmdCancel");
        });
        other.Show();
        EXPECT_EQ(other.Result, -1);
    }
}

TEST_F(SmallDialogsTest, TheRampDialogOffersRedToBlue) {
    frmColorRamp d;
    next([](QDialog& dialog) { click(dialog, "cmdOK"); });
    d.Show();
    EXPECT_EQ(d.Result, 1);
    EXPECT_EQ(d.FirstColor, 0xFF);
    EXPECT_EQ(d.LastColor, 0xFF0000);

    frmColorRamp picked;
    ui.colorAnswers = {0x00FF00, std::nullopt};
    next([](QDialog& dialog) {
        click(dialog, "lblLastColor");
        click(dialog, "lblFirstColor"); // cancelled
        EXPECT_EQ(dialog.findChild<QPushButton*>("lblLastColor")->property("color").toInt(),
                  0x00FF00);
        click(dialog, "cmdOK");
    });
    picked.Show();
    EXPECT_EQ(ui.colorDialogs, (std::vector<Long>{0xFF0000, 0xFF}));
    EXPECT_EQ(picked.FirstColor, 0xFF);
    EXPECT_EQ(picked.LastColor, 0x00FF00);

    frmColorRamp cancelled;
    next([](QDialog& dialog) { click(dialog, "cmdCancel"); });
    cancelled.Show();
    EXPECT_EQ(cancelled.Result, -1);
    frmColorRamp closed;
    closed.Show();
    EXPECT_EQ(closed.Result, -1);
}

TEST_F(SmallDialogsTest, DialogsCentreThemselvesUnlessMaximised) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QDialog d;
    d.setFixedSize(screen.width() - 41, screen.height() - 21);
    d.move(3, 3);
    CenterForm(d);
    EXPECT_EQ(d.pos(), QPoint(screen.left() + 20, screen.top() + 10));

    QDialog big;
    big.move(7, 9);
    big.setWindowState(Qt::WindowMaximized);
    const QPoint before = big.pos();
    CenterForm(big);
    EXPECT_EQ(big.pos(), before);
}
