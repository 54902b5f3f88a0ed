#pragma once
// The animation of a boundary-fitted vector map and the mean of its period: the arrows of a u/v
// pair for the steps after the one in the order window's step box, up to the last, until Esc;
// then, on a cleared picture, the mean vector of every node over the steps drawn, and the same
// means written to average.uv in the folder of the settings file.
//
// average.uv has one line per node of the read window that had a vector (not zero) at one step
// at least, in the read's order, each ended by CR LF: the node's i ("000") and j (" 000"), its
// longitude (" 000.00000") and latitude ("  000.00000") in degrees, and the means of u and v
// times 100 ("  000.0" each; centimetres per second for components in metres or centimetres
// per second). A negative value takes a minus in place of the pattern's last blank; a value that
// shows as zero is written as a positive one.
#include "runtime/Types.h"

#include <string>

class Picture;

// Animates the pair Picks(1) (u), Picks(2) (v) at CurLevel, then draws the mean and writes
// average.uv (a failed write is reported; the drawing stands). The last step drawn (the start
// step when none); -1 without a map transform, for a u without a time dimension (after the
// message "Time dimension not found, or no timed file"), and after a read or run-time failure.
Long DrawBfgdVectorTimed(Picture& pic);

// One line of average.uv, CR LF included.
std::string AverageUvLine(Long i, Long j, float lon, float lat, float u, float v);
