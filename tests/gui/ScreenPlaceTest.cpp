// Where windows opened beside the map go: beside it and beside each other, never over the main
// window's controls while the screen has room, always inside the screen.
#include "gui/ScreenPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/QtTestApp.h"

namespace {

class ScreenPlaceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testApp(); }
    void SetUp() override {
        QScreen* screen = QGuiApplication::primaryScreen();
        ASSERT_NE(screen, nullptr);
        room = screen->availableGeometry();
        before = SetKeepClearArea({});
    }
    void TearDown() override {
        SetKeepClearArea(before);
        SetBesideAnchor(nullptr);
    }
    QRect room;
    KeepClearProvider before;
};

TEST_F(ScreenPlaceTest, BesideTheAnchorThenBesideTheOthers) {
    const QSize frame(120, 70);
    const QRect anchor(room.left(), room.top(), 100, 80);
    const QRect onRight(anchor.right() + 1, anchor.top(), 120, 80);
    const QRect below(anchor.left(), anchor.bottom() + 1, 100, 100);
    const QRect rightEdge(room.right() - 99, room.top() + 20, 100, 80);
    struct Case {
        const char* what;
        QRect anchor;
        std::vector<QRect> others;
        QRect clear;
        QPoint expected;
    };
    const Case cases[] = {
        {"room on the right", anchor, {}, {}, {anchor.right() + 1, anchor.top()}},
        {"no room on the right",
         rightEdge,
         {},
         {},
         {rightEdge.left() - frame.width(), rightEdge.top()}},
        {"the right taken: below the anchor",
         anchor,
         {onRight},
         {},
         {anchor.left(), anchor.bottom() + 1}},
        {"a map as wide as the screen: below it",
         QRect(room.left(), room.top(), room.width(), 80),
         {},
         {},
         {room.left(), room.top() + 80}},
        {"the right and below taken: beside the window on the right",
         anchor,
         {onRight, below},
         {},
         {onRight.right() + 1, onRight.top()}},
        {"the right taken, below held by the main window's controls: beside the window there",
         anchor,
         {onRight},
         QRect(room.left(), anchor.bottom() + 1, room.width(), 200),
         {onRight.right() + 1, onRight.top()}},
        {"the right taken and below the anchor too, the far right held by the controls: below "
         "the window on the right",
         anchor,
         {onRight, below},
         QRect(onRight.right() + 1, room.top(), room.width(), 200),
         {onRight.left(), onRight.bottom() + 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QRect clear = c.clear;
        SetKeepClearArea([clear] { return clear; });
        const QPoint at = BesidePosition(c.anchor, frame, c.others);
        EXPECT_EQ(at, c.expected);
        const QRect placed(at, frame);
        EXPECT_TRUE(room.contains(placed));
        EXPECT_FALSE(placed.intersects(c.anchor));
        for (const QRect& o : c.others)
            EXPECT_FALSE(placed.intersects(o));
    }

    // A frame larger than any free place still ends inside the screen.
    const QPoint at = BesidePosition(anchor, room.size(), {});
    EXPECT_TRUE(room.contains(QRect(at, room.size())));
}

// The windows that open beside the map (the order window, then the colour key) cover neither
// the map, nor each other, nor the main window's menus and entry, where the screen has room.
TEST_F(ScreenPlaceTest, WindowsPlacedBesideTheMapKeepClearOfItAndOfEachOther) {
    const QRect controls(room.left(), room.top(), room.width() / 2, 60);
    SetKeepClearArea([controls] { return controls; });
    auto map = std::make_unique<QWidget>();
    map->resize(160, 120);
    map->move(room.left(), controls.bottom() + 1);
    map->show();
    SetBesideAnchor(map.get());

    auto order = std::make_unique<QWidget>();
    order->resize(180, 200);
    order->move(room.topLeft()); // where a window system without a manager puts it: over all
    order->show();
    PlaceBesideAnchor(*order);
    auto key = std::make_unique<QWidget>();
    key->resize(120, 200);
    key->move(room.topLeft());
    key->show();
    PlaceBesideAnchor(*key);

    const QRect mapFrame = map->frameGeometry();
    const QRect orderFrame = order->frameGeometry();
    const QRect keyFrame = key->frameGeometry();
    for (const QRect& r : {orderFrame, keyFrame}) {
        EXPECT_TRUE(room.contains(r));
        EXPECT_FALSE(r.intersects(mapFrame));
        EXPECT_FALSE(r.intersects(controls));
    }
    EXPECT_FALSE(orderFrame.intersects(keyFrame));
    EXPECT_EQ(orderFrame.left(), mapFrame.right() + 1);

    // Closed and shown again, the key may take the order window's old place once it is gone.
    order.reset();
    key->hide();
    PlaceBesideAnchor(*key);
    EXPECT_EQ(key->frameGeometry().left(), mapFrame.right() + 1);

    // Without a map shown, a window only comes inside the screen.
    map->hide();
    key->move(room.right() - 10, room.top() + 70);
    PlaceBesideAnchor(*key);
    EXPECT_TRUE(room.contains(key->frameGeometry()));
}

} // namespace
