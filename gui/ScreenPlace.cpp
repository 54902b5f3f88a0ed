#include "gui/ScreenPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

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

QMargins FrameMarginsOf(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}
