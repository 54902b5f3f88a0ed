#include "gui/PictureWidget.h"
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/QtTestApp.h"

namespace {

class PictureWidgetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testApp(); }

    // Every event procedure call as one line of text.
    void listen(PictureWidget& w) {
        auto mouse = [this](const char* name) {
            return [this, name](int button, int shift, float x, float y) {
                calls.push_back(std::string(name) + " " + std::to_string(button) + " " +
                                std::to_string(shift) + " " + std::to_string(static_cast<int>(x)) +
                                " " + std::to_string(static_cast<int>(y)));
            };
        };
        w.onMouseDown = mouse("down");
        w.onMouseMove = mouse("move");
        w.onMouseUp = mouse("up");
        w.onDblClick = [this] { calls.push_back("dblclick"); };
        w.onKeyDown = [this](int key, int shift) {
            calls.push_back("keydown " + std::to_string(key) + " " + std::to_string(shift));
        };
        w.onKeyUp = [this](int key, int shift) {
            calls.push_back("keyup " + std::to_string(key) + " " + std::to_string(shift));
        };
        w.onResize = [this] { calls.push_back("resize"); };
    }

    static void send(QWidget& w, QEvent::Type type, QPointF at, Qt::MouseButton button,
                     Qt::MouseButtons held, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, at, w.mapToGlobal(at), button, held, mods);
        QCoreApplication::sendEvent(&w, &e);
    }

    std::vector<std::string> calls;
};

TEST_F(PictureWidgetTest, ResizingTheWidgetResizesThePictureAndReports) {
    PictureWidget w;
    listen(w);
    w.resize(120, 80);
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.picture().width(), 120);
    EXPECT_EQ(w.picture().height(), 80);
    w.picture().Line(0, 0, 10, 10, 0x0000FF, LineFlag::BF);
    calls.clear();
    w.resize(150, 60);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.picture().width(), 150);
    EXPECT_EQ(w.picture().height(), 60);
    EXPECT_EQ(w.picture().pixel(5, 5), 0x0000FF); // kept
    EXPECT_EQ(calls, std::vector<std::string>{"resize"});
}

TEST_F(PictureWidgetTest, ShowsThePictureAfterRefresh) {
    PictureWidget w;
    w.resize(60, 40);
    w.show();
    QCoreApplication::processEvents();
    w.picture().Line(10, 10, 30, 20, 0x00FF00, LineFlag::BF);
    w.picture().Refresh();
    QImage shown = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_GE(shown.width(), 60);
    EXPECT_EQ(shown.pixel(20, 15), qRgb(0, 255, 0));
    EXPECT_EQ(shown.pixel(5, 5), qRgb(255, 255, 255));
}

TEST_F(PictureWidgetTest, MouseEventsCarryButtonShiftAndScalePosition) {
    PictureWidget w;
    w.resize(200, 100);
    listen(w);
    send(w, QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    send(w, QEvent::MouseMove, {30, 40}, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    send(w, QEvent::MouseButtonRelease, {31, 41}, Qt::LeftButton, Qt::RightButton,
         Qt::ControlModifier);
    send(w, QEvent::MouseButtonPress, {5, 5}, Qt::MiddleButton, Qt::MiddleButton);
    EXPECT_EQ(calls, (std::vector<std::string>{"down 1 1 10 20", "move 3 0 30 40", "up 1 2 31 41",
                                               "down 4 0 5 5"}));
    // In twips the positions are 15 times the pixels.
    calls.clear();
    w.picture().setScaleMode(kScaleTwips);
    send(w, QEvent::MouseButtonPress, {10, 20}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(calls, std::vector<std::string>{"down 2 0 150 300"});
}

TEST_F(PictureWidgetTest, DoubleClickReplacesTheSecondPress) {
    PictureWidget w;
    w.resize(100, 100);
    listen(w);
    send(w, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    send(w, QEvent::MouseButtonRelease, {10, 10}, Qt::LeftButton, Qt::NoButton);
    send(w, QEvent::MouseButtonDblClick, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    send(w, QEvent::MouseButtonRelease, {10, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(calls, (std::vector<std::string>{"down 1 0 10 10", "up 1 0 10 10", "dblclick",
                                               "up 1 0 10 10"}));
}

TEST_F(PictureWidgetTest, KeysComeAsTheProgramsKeyCodes) {
    PictureWidget w;
    listen(w);
    struct Case {
        Qt::Key key;
        int code;
    };
    const Case cases[] = {{Qt::Key_Escape, 27}, {Qt::Key_Left, 37}, {Qt::Key_Up, 38},
                          {Qt::Key_Right, 39},  {Qt::Key_Down, 40}, {Qt::Key_A, 65},
                          {Qt::Key_5, 53},      {Qt::Key_F1, 112},  {Qt::Key_Return, 13}};
    for (const Case& c : cases) {
        calls.clear();
        QKeyEvent down(QEvent::KeyPress, c.key, Qt::ShiftModifier);
        QCoreApplication::sendEvent(&w, &down);
        QKeyEvent up(QEvent::KeyRelease, c.key, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &up);
        EXPECT_EQ(calls, (std::vector<std::string>{"keydown " + std::to_string(c.code) + " 1",
                                                   "keyup " + std::to_string(c.code) + " 0"}));
    }
    // A held key repeats its KeyDown but is released once.
    calls.clear();
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&w, &repeatUp);
    EXPECT_TRUE(calls.empty());
}

TEST_F(PictureWidgetTest, SetFocusGivesTheWidgetTheKeyboard) {
    PictureWidget w;
    w.resize(50, 50);
    w.show();
    w.activateWindow();
    QCoreApplication::processEvents();
    w.picture().SetFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.hasFocus());
}

TEST_F(PictureWidgetTest, SetFocusActivatesThePicturesWindow) {
    // The user clicked a command in another window; the drawing's SetFocus must take the keys.
    QWidget form;
    auto* w = new PictureWidget(&form);
    w->resize(50, 50);
    QWidget other;
    form.show();
    other.show();
    other.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(other.isActiveWindow());
    w->picture().SetFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isActiveWindow());
    EXPECT_TRUE(w->hasFocus());
}

} // namespace
