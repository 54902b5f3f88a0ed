#pragma once
// Where a window comes back: a position stored on a larger screen, on another screen layout or
// at another device pixel ratio may lie beyond every screen's edge today.
#include <QMargins>
#include <QRect>

class QScreen;
class QWidget;

// The geometry (frame top-left, inside size) that puts a window wanted at `wanted` (frame
// top-left, inside size) with a frame of `frame` inside the free area of the screen that shows
// it: the screen under the centre of the wanted frame, else the one it overlaps most, else
// `fallback` (the primary screen when null). The size is cut to that area first; then the
// window is moved in by as little as it takes. `wanted` comes back unchanged without screens.
QRect FitOnScreen(const QRect& wanted, const QMargins& frame, const QScreen* fallback = nullptr);

// The frame the window system gives window (none known before it is first shown).
QMargins FrameMarginsOf(const QWidget& window);
