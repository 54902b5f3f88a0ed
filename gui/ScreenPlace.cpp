#include "gui/ScreenPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

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

} // namespace

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

QMargins FrameMarginsOf(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}
