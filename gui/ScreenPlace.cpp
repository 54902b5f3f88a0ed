#include "gui/ScreenPlace.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

const QScreen* screenShowing(const QRect& frameRect, const QScreen* fallback) {
    if (QScreen* s = QGuiApplication::screenAt(frameRect.center())) return s;
    const QScreen* best = nullptr;
    long long bestArea = 0;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect common = s->geometry().intersected(frameRect);
        const long long area = static_cast<long long>(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = s;
        }
    }
    if (best) return best;
    return fallback ? fallback : QGuiApplication::primaryScreen();
}

// The start of a span of length `length` at `at`, moved into [low, low + room).
int moveIn(int at, int length, int low, int room) {
    return std::max(low, std::min(at, low + room - length));
}

KeepClearProvider& keepClear() {
    static KeepClearProvider provider;
    return provider;
}

// The anchor of PlaceBesideAnchor and the windows it placed beside it.
struct Beside {
    QPointer<const QWidget> anchor;
    std::vector<QPointer<const QWidget>> placed;
};

Beside& beside() {
    static Beside state;
    return state;
}

} // namespace

KeepClearProvider SetKeepClearArea(KeepClearProvider provider) {
    return std::exchange(keepClear(), std::move(provider));
}

QRect KeepClearArea() {
    return keepClear() ? keepClear()() : QRect();
}

QRect FitOnScreen(const QRect& wanted, const QMargins& frame, const QScreen* fallback) {
    const QRect frameRect(wanted.topLeft(), wanted.size().grownBy(frame));
    const QScreen* screen = screenShowing(frameRect, fallback);
    if (!screen) return wanted;
    const QRect room = screen->availableGeometry();
    const QSize inside = wanted.size().boundedTo(room.size().shrunkBy(frame));
    const QSize outside = inside.grownBy(frame);
    return QRect(QPoint(moveIn(wanted.x(), outside.width(), room.x(), room.width()),
                        moveIn(wanted.y(), outside.height(), room.y(), room.height())),
                 inside);
}

QRect PlaceOnScreen(const QRect& wanted, const QMargins& frame, const QScreen* fallback) {
    const QRect fitted = FitOnScreen(wanted, frame, fallback);
    const QRect clear = KeepClearArea();
    const QSize outside = fitted.size().grownBy(frame);
    const QRect frameRect(fitted.topLeft(), outside);
    if (clear.isEmpty() || !frameRect.intersects(clear)) return fitted;
    const QScreen* screen = screenShowing(frameRect, fallback);
    if (!screen) return fitted;
    const QRect room = screen->availableGeometry();
    const auto across = [&](int at) { return moveIn(at, outside.width(), room.x(), room.width()); };
    const auto down = [&](int at) { return moveIn(at, outside.height(), room.y(), room.height()); };
    const QPoint tries[] = {
        {clear.right() + 1, down(fitted.y())},
        {across(fitted.x()), clear.bottom() + 1},
        {clear.left() - outside.width(), down(fitted.y())},
        {across(fitted.x()), clear.top() - outside.height()},
    };
    QPoint best = fitted.topLeft();
    int bestMove = INT_MAX;
    for (const QPoint& at : tries) {
        const QRect r(at, outside);
        if (!room.contains(r) || r.intersects(clear)) continue;
        const int move = std::abs(at.x() - fitted.x()) + std::abs(at.y() - fitted.y());
        if (move < bestMove) {
            bestMove = move;
            best = at;
        }
    }
    return QRect(best, fitted.size());
}

QPoint BesidePosition(const QRect& anchor, const QSize& frame, const std::vector<QRect>& others) {
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return anchor.topRight() + QPoint(1, 0);
    const QRect room = screen->availableGeometry();
    const auto down = [&](int at) { return moveIn(at, frame.height(), room.y(), room.height()); };
    const auto across = [&](int at) { return moveIn(at, frame.width(), room.x(), room.width()); };
    std::vector<QPoint> tries{{anchor.right() + 1, down(anchor.top())},
                              {anchor.left() - frame.width(), down(anchor.top())},
                              {across(anchor.left()), anchor.bottom() + 1},
                              {across(anchor.left()), anchor.top() - frame.height()}};
    for (const QRect& o : others) {
        tries.push_back({o.right() + 1, down(o.top())});
        tries.push_back({o.left() - frame.width(), down(o.top())});
        tries.push_back({across(o.left()), o.bottom() + 1});
        tries.push_back({across(o.left()), o.top() - frame.height()});
    }
    const QRect clear = KeepClearArea();
    const auto covers = [&](const QRect& r, int strictness) {
        if (strictness >= 1 && !clear.isEmpty() && r.intersects(clear)) return true;
        if (strictness >= 2 && r.intersects(anchor)) return true;
        if (strictness >= 3)
            for (const QRect& o : others)
                if (r.intersects(o)) return true;
        return false;
    };
    for (int strictness = 3; strictness >= 0; --strictness)
        for (const QPoint& at : tries) {
            const QRect r(at, frame);
            if (room.contains(r) && !covers(r, strictness)) return at;
        }
    return {std::max(room.right() - frame.width() + 1, room.left()), down(anchor.top())};
}

void SetBesideAnchor(const QWidget* anchor) {
    beside().anchor = anchor;
}

void PlaceBesideAnchor(QWidget& window) {
    Beside& s = beside();
    const QMargins frame = FrameMarginsOf(window);
    QPoint at = window.pos();
    if (s.anchor && s.anchor->isVisible()) {
        std::vector<QRect> others;
        for (const QPointer<const QWidget>& w : s.placed)
            if (w && w != &window && w->isVisible()) others.push_back(w->frameGeometry());
        at = BesidePosition(s.anchor->frameGeometry(), window.size().grownBy(frame), others);
    }
    std::erase_if(s.placed, [&](const QPointer<const QWidget>& w) { return !w || w == &window; });
    s.placed.emplace_back(&window);
    const QRect placed = PlaceOnScreen(QRect(at, window.size()), frame, window.screen());
    if (placed.size() != window.size()) window.resize(placed.size());
    if (placed.topLeft() != window.pos()) window.move(placed.topLeft());
}

QMargins FrameMarginsOf(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}
