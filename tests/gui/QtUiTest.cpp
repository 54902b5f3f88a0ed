#include "gui/QtUi.h"
#include "tests/support/TempDir.h"
#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

namespace {

class QtUiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testApp(); }
    void TearDown() override {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

    // Runs act on the modal dialog once it is up.
    static void whenModal(std::function<void(QWidget*)> act) {
        auto* timer = new QTimer;
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [timer, act] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                timer->stop();
                timer->deleteLater();
                act(w);
            }
        });
        timer->start();
    }
};

TEST_F(QtUiTest, FiltersBecomeQtNameFilters) {
    struct Case {
        std::string filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"BMP files|*.BMP", {"BMP files (*.BMP)"}},
        {"NetCDF files|*.nc;*.cdf|All files|*.*", {"NetCDF files (*.nc *.cdf)", "All files (*.*)"}},
        {"Key files (*.kew)|*.kew", {"Key files (*.kew) (*.kew)"}},
        {"Text|*.txt; *.dat|", {"Text (*.txt *.dat)"}},
        {"Anything", {"Anything (*)"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qtNameFilters(c.filter), c.expected) << c.filter;
}

TEST_F(QtUiTest, FileDialogIsSetUpFromTheRequest) {
    TempDir dir;
    FileDialogRequest req;
    req.initDir = dir.path().string();
    req.fileName = "subset.nc";
    req.filter = "NetCDF files|*.nc;*.cdf|All files|*.*";
    req.filterIndex = 2;
    req.confirmOverwrite = true;
    QFileDialog save;
    setUpFileDialog(save, req, true);
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(save.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_FALSE(save.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_FALSE(save.filter() & QDir::CaseSensitive);
    EXPECT_EQ(save.nameFilters().size(), 2);
    EXPECT_EQ(save.selectedNameFilter(), "All files (*.*)");
    EXPECT_EQ(QDir(save.directory()).canonicalPath(),
              QDir(QString::fromStdString(req.initDir)).canonicalPath());

    req.filterIndex = 7; // out of range: the first
    req.mustExist = true;
    QFileDialog open;
    setUpFileDialog(open, req, false);
    EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(open.selectedNameFilter(), "NetCDF files (*.nc *.cdf)");
}

TEST_F(QtUiTest, FileDialogMatchesNamesWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"UPPER.NC", "lower.nc", "Mixed.Cdf", "notes.txt"})
        std::ofstream(dir.file(name)) << "x";
    FileDialogRequest req;
    req.initDir = dir.path().string();
    req.filter = "NetCDF files|*.nc;*.cdf";
    QFileDialog dialog;
    setUpFileDialog(dialog, req, false);
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    QString root = QString::fromStdString(req.initDir);
    QModelIndex parent = model->index(root);
    QElapsedTimer t;
    t.start();
    while (model->rowCount(parent) < 3 && t.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        parent = model->index(root);
    }
    auto shown = [&](const char* name) {
        QModelIndex i = model->index(QString::fromStdString(dir.file(name)));
        return i.isValid() && (model->flags(i) & Qt::ItemIsEnabled) &&
               model->rowCount(parent) > 0 && i.parent() == parent && [&] {
                   for (int r = 0; r < model->rowCount(parent); ++r)
                       if (model->index(r, 0, parent) == i) return true;
                   return false;
               }();
    };
    EXPECT_TRUE(shown("UPPER.NC"));
    EXPECT_TRUE(shown("lower.nc"));
    EXPECT_TRUE(shown("Mixed.Cdf"));
    EXPECT_FALSE(shown("notes.txt"));
}

TEST_F(QtUiTest, MousePointerIsSetNotStacked) {
    QtUi u;
    u.SetMousePointer(kPointerHourglass);
    u.SetMousePointer(kPointerHourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(u.MousePointer(), kPointerHourglass);
    u.SetMousePointer(kPointerDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(u.MousePointer(), kPointerDefault);

    u.SetMousePointer(kPointerHourglass);
    u.SetMousePointer(kPointerCross);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor(); // one override only
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Another part of Qt's stack is cleared too: 0 means the default pointer.
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    u.SetMousePointer(kPointerDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(QtUiTest, MsgBoxAnswersWithTheButtonPressed) {
    QtUi u;
    struct Case {
        int style;
        QMessageBox::StandardButton press;
        int answer;
    };
    const Case cases[] = {
        {kYesNo + kQuestion, QMessageBox::No, kNo},
        {kYesNoCancel, QMessageBox::Yes, kYes},
        {kYesNoCancel + kExclamation, QMessageBox::Cancel, kCancel},
        {kOkCancel + kCritical, QMessageBox::Ok, kOk},
        {kOkOnly + kInformation, QMessageBox::Ok, kOk},
    };
    for (const Case& c : cases) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            icon = box->icon();
            box->button(c.press)->click();
        });
        EXPECT_EQ(u.MsgBox("Save the subset?", c.style, "[Test]"), c.answer) << c.style;
        QMessageBox::Icon want = (c.style & 0x70) == kQuestion      ? QMessageBox::Question
                                 : (c.style & 0x70) == kCritical    ? QMessageBox::Critical
                                 : (c.style & 0x70) == kExclamation ? QMessageBox::Warning
                                 : (c.style & 0x70) == kInformation ? QMessageBox::Information
                                                                    : QMessageBox::NoIcon;
        EXPECT_EQ(icon, want);
    }
    // Closed without a button: Cancel where the box has one.
    whenModal([](QWidget* w) { w->close(); });
    EXPECT_EQ(u.MsgBox("x", kOkCancel, ""), kCancel);
}

TEST_F(QtUiTest, ShortMsgAnswersSixSevenTwoOrZero) {
    QtUi u;
    const int answers[] = {kYes, kNo, kCancel};
    for (int i = 0; i < 3; ++i) {
        whenModal([i](QWidget* w) {
            auto* b = w->findChild<QPushButton*>(QStringLiteral("button%1").arg(i + 1));
            ASSERT_NE(b, nullptr);
            b->click();
        });
        EXPECT_EQ(u.ShortMsg("File exists", "Append?", "Append", "Overwrite", "Cancel"),
                  answers[i]);
    }
    // An empty caption hides its button; closing the form answers 0.
    bool third = true;
    QString title;
    whenModal([&](QWidget* w) {
        third = w->findChild<QPushButton*>(QStringLiteral("button3")) != nullptr;
        title = w->windowTitle();
        w->close();
    });
    EXPECT_EQ(u.ShortMsg("Successful Sub-setting", "File made:", "Load", "Continue", ""), 0);
    EXPECT_FALSE(third);
    EXPECT_EQ(title, "Successful Sub-setting");
}

TEST_F(QtUiTest, ColorDialogAndInputBoxConvertTheirValues) {
    QtUi u;
    Long color = 0x0000FF; // red
    QColor opened;
    whenModal([&](QWidget* w) {
        auto* d = qobject_cast<QColorDialog*>(w);
        ASSERT_NE(d, nullptr);
        opened = d->currentColor();
        d->setCurrentColor(QColor(10, 20, 30));
        d->accept();
    });
    EXPECT_TRUE(u.ColorDialog(color));
    EXPECT_EQ(opened, QColor(255, 0, 0));
    EXPECT_EQ(color, 10 + 256 * 20 + 65536 * 30);

    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    Long kept = 5;
    EXPECT_FALSE(u.ColorDialog(kept));
    EXPECT_EQ(kept, 5);

    std::string value = "10";
    QString shown;
    whenModal([&](QWidget* w) {
        auto* d = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(d, nullptr);
        shown = d->textValue();
        d->setTextValue(QStringLiteral("25"));
        d->accept();
    });
    EXPECT_TRUE(u.InputBox("Scale", "vscale", value));
    EXPECT_EQ(shown, "10");
    EXPECT_EQ(value, "25");
    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(u.InputBox("Scale", "vscale", value));
    EXPECT_EQ(value, "25");
}

TEST_F(QtUiTest, DoEventsRunsPendingEvents) {
    QtUi u;
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    u.DoEvents();
    EXPECT_TRUE(ran);
}

} // namespace
