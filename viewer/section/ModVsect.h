#pragma once
// The state of the viewer's own section window: the section points, the section variables, the
// values of the variable read last along the section for every level and time step, the
// section's length and the profile points, and the window's options (colour variant and
// scheme of its own, contour lines, axes). One object for the program, apart from the map's
// state: reading a section or loading the window changes neither the map's read window nor its
// colour scheme.
#include "runtime/Types.h"
#include "runtime/VArray.h"

#include <cstddef>
#include <string>
#include <vector>

// A section point: the 1-based horizontal grid indices in the dataset, i along the first
// horizontal axis (longitude), j along the second.
struct VsectPoint {
    Long i = 0;
    Long j = 0;
};

// One section variable. Both vMax and vMin 0 mark a variable not yet read.
struct VsectVarRec {
    float vMax = 0; // largest valid value read
    float vMin = 0; // smallest valid value read
    float high = 0; // plot range: value axis, colour bar, contour levels
    float low = 0;
    float step = 0; // contour interval and value tick step
    std::string unit;
    std::string name;
    Long nvar = 0; // the variable's number in the dataset (1-based)
};

// Values by section point p, level k and time step t, all 1-based; an index out of range
// raises RuntimeError(9).
class VsectCube {
public:
    void ReDim(Long points, Long levels, Long steps);
    void Erase() { *this = {}; }
    Long points() const { return np_; }
    Long levels() const { return nk_; }
    Long steps() const { return nt_; }
    float& operator()(Long p, Long k, Long t);
    float operator()(Long p, Long k, Long t) const;

private:
    std::size_t at(Long p, Long k, Long t) const;
    Long np_ = 0, nk_ = 0, nt_ = 0;
    std::vector<float> v_;
};

struct VsectState {
    // The section variables, in the order of the window's list.
    Long nVsectVars = 0;
    VArray<VsectVarRec> VsectVars; // 1 To nVsectVars
    Long CurVsectVar = 0;          // 1-based

    // The section points, in order along the section.
    Long nVsectPoints = 0;
    VArray<VsectPoint> VsectPoints; // 1 To nVsectPoints

    VsectCube VsectValues; // (point, level, step) of the variable read last
    float VsectBottom = 0; // vertical coordinate of the last level, set by every read
    double VsectLengthKm = 0;
    VArray<Long> VsectProfileCells; // the section point of each profile panel

    // Window options.
    Long VsectMode = 0; // what the picture shows: 0 nothing, 1 profiles, 2 section
    Long ConLinThk = 0; // contour line width in pixels
    Long ConLinCol = 0; // contour line colour
    Long ifDrawContour = 0;
    Long ifDrawHorizontalAxis = 0;
    Long ifDrawVerticalAxis = 0;
    Long ColorReverse = 0;
    Long col_opt = 0;      // colour variant of the window's pictures
    Long ColorCode = 0;    // colour scheme of the window's pictures (scheme = ColorCode / 10)
    float ColorBarMax = 0; // value at the right end of the colour bar

    void Reset() { *this = {}; }
};
extern VsectState Vsect;

// Reads variable nvar of dataset 1 at every section point, level and time step into
// VsectValues, sets VsectBottom and the data range (vMax, vMin) of the current variable. Values
// at or below the no-value mark stay 0 and stay out of the range. Result: the number of time
// steps plus one; -1 with a message when the dataset has no levels, the variable lacks the
// level or the time dimension, or a read fails (the values read before it stay).
Long ReadVSData(Long& nvar);

// The plot range and step of every section variable: derived from its data range while high
// equals low, then taken from key "item n" of section "items" of the settings file when it is
// there.
void SetVsectScales();

// The bitmap file to save to, from the save dialog started on key "BmpFile" of section "RUN"
// (written back when one is chosen); "" when cancelled.
std::string AskBmpFile();
