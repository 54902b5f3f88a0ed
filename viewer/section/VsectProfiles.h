#pragma once
// The profile picture of the own section window: one panel per vertex of the map's section
// path, side by side, each showing the current section variable at its section point against
// depth at the first time step, with frame, ticks, labels and a title naming the point.
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <string>

class Picture;

// All panels on pic. Nothing is drawn without a path vertex or a section point, or while a
// panel has no valid section point in VsectProfileCells.
void DrawVsectProfiles(Picture& pic);

// The place of panel (row, col) among rows x cols panels on pic: its height, width and top
// left. side puts the depth labels' wide margin left (-1) or right (1), or none (0).
void LayoutVsectProfilePanel(const Picture& pic, Long rows, Long cols, Long row, Long col,
                             float& height, float& width, float& left, float& top, Long side);

// A panel's frame, title, depth ticks (labelled left for depthSide -1, right for 1) and value
// ticks (labelled above for valueSide 1, below for -1). Depth ticks need a positive depthStep
// and a depth range, value ticks a positive step and a value range.
void DrawVsectProfileAxes(Picture& pic, float left, float width, float top, float height,
                          float high, float low, float step, Long valueSide, float depthTop,
                          float depthBottom, float depthStep, Long depthSide,
                          const std::string& title);

// The curve through points 1 .. m of xs (values) and ys (minus depths) in the panel. Nothing
// for fewer than two points or a panel without a value or depth range.
void DrawVsectProfileLine(Picture& pic, Long m, const VArray<float>& xs, const VArray<float>& ys,
                          float left, float width, float top, float height, float high, float low,
                          float depthTop, float depthBottom);
