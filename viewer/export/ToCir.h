#pragma once
// The CIR file: a vector pair on a regular longitude/latitude grid as fixed-length binary
// records (little-endian). With NT time steps and an Imax x Jmax window, every record is
// R = 18 + 4 NT bytes and the file holds 3 + NT + Imax Jmax of them:
//   1  R, the record count, Imax, Jmax, Imax Jmax (Longs), zeros up to R
//   2  NT, 0, NT, 0, 0 (Longs), zeros
//   3  dx, dy, lon0, lat0 of the written cells in degrees (Singles), zeros
//   NT labels "nontide" & Str(k), blank-padded and cut to 10 characters, zeros
//   a cell record for j = 1 .. Jmax (outer), i = 1 .. Imax: the running cell number (Long),
//   10.0 (Single), i, j, 0, 0, 0 (Integers), then u and v of each step in thousandths
//   (Integers, rounded halves to even).
// Values in centimetres per second are written as metres per second; a missing value in either
// component writes the pair 0, 0.
#include "runtime/Types.h"
#include "viewer/export/SafeOutput.h"

#include <string>

struct SubsetDescription;

// Writes the CIR file of the description's two picks (u, then v) cut to it, at the
// current level. Everything is read and checked before the file is started: a failed read of
// either component, a value whose thousandths leave the Integer range, a grid that is not
// regular, a window of one row or one column, and a target that is one of the open datasets
// are refused with a message, and the target stays as it was. The file replaces the target
// only once every record and the close have succeeded. 1 when written, else -1.
Long To_Cir(SaveTarget target, const SubsetDescription& sd);
