#pragma once
// Where a window comes back: a position stored on a larger screen, on another screen layout or
// at another device pixel ratio may lie beyond every screen's edge today.
#include <QMargins>
#include <QRect>

#include <functional>
#include <vector>

class QScreen;
class QWidget;

// The geometry (frame top-left, inside size) that puts a window wanted at `wanted` (frame
// top-left, inside size) with a frame of `frame` inside the free area of the screen that shows
// it: the screen under the centre of the wanted frame, else the one it overlaps most, else
// `fallback` (the primary screen when null). The size is cut to that area first; then the
// window is moved in by as little as it takes. `wanted` comes back unchanged without screens.
QRect FitOnScreen(const QRect& wanted, const QMargins& frame, const QScreen* fallback = nullptr);

// The part of the screen that windows opened beside others leave free where they can (the main
// window's menus and dataset entry), in screen coordinates: what the provider installed
// answers (a null rectangle while none is installed or it has nothing to keep free). Returns
// the provider replaced.
using KeepClearProvider = std::function<QRect()>;
KeepClearProvider SetKeepClearArea(KeepClearProvider provider);
QRect KeepClearArea();

// FitOnScreen, and then, where the frame would cover part of KeepClearArea(), moved clear of it
// (to its right, below, to its left or above it, by as little as it takes) when the screen has
// room for the whole frame there; otherwise left as FitOnScreen put it.
QRect PlaceOnScreen(const QRect& wanted, const QMargins& frame, const QScreen* fallback = nullptr);

// Where a window whose frame has size `frame` opens beside the window whose frame is `anchor`:
// on the anchor's right or left at its top, below or above it, else beside, below or above one
// of `others` (the frames of windows already open beside it), always inside the screen that
// shows the anchor.
// A place that covers KeepClearArea(), the anchor or one of `others` is passed over while
// another has room; the anchor and `others` are given up first, the main window's controls
// last. Where no place has room, against the screen's right edge.
QPoint BesidePosition(const QRect& anchor, const QSize& frame,
                      const std::vector<QRect>& others = {});

// The window that the windows placed by PlaceBesideAnchor open beside (the map), or none.
void SetBesideAnchor(const QWidget* anchor);
// Places window (shown, so that its frame is known) by BesidePosition beside the anchor while
// one is shown, clear of the other windows placed so before that are still shown; without a
// shown anchor where it is. Then PlaceOnScreen: it ends inside the screen either way.
void PlaceBesideAnchor(QWidget& window);

// The frame the window system gives window (none known before it is first shown).
QMargins FrameMarginsOf(const QWidget& window);
