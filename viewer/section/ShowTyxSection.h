#pragma once
// The section along the path drawn on the map: the current dataset and the path handed to the
// control on the host form, which opens, reads and draws the vertical section itself.
#include "runtime/Types.h"

#include <array>
#include <string>

// One division of a colour key: values v with low <= v < high take colour (Long RGB).
struct SectionKeyDivision {
    float low;
    float high;
    Long colour;
};

// The key every section gets: eleven divisions of 3 from 0 to 33, dark blue through near-white
// to dark red.
inline constexpr std::array<SectionKeyDivision, 11> DefaultSectionColorKey{{
    {0, 3, 0xBD0000},
    {3, 6, 0xF00000},
    {6, 9, 0xFF6464},
    {9, 12, 0xFF9696},
    {12, 15, 0xFFC8C8},
    {15, 18, 0xFFFAFA},
    {18, 21, 0xCBCBFF},
    {21, 24, 0x9797FF},
    {24, 27, 0x6363FF},
    {27, 30, 0xC8},
    {30, 33, 0xAE},
}};

// The colour-key file handed to the control: TEMPeRaTURE.KEW in the section resources' folder
// (the program's).
std::string SectionKeyFile();

// Draws the vertical section of the current dataset along SectionPath in the control of the
// host form, and shows the form: the variable picked in the order window when the control
// lists it (else the control's first item), at the step the map shows; the host's caption
// names the item and the step, and says which variable the first item stands in for. Nothing
// without a vertex. The control's own message is shown
// when it refuses the dataset, the path, the item or the drawing, and the run stops there; an
// error of the call itself (a member missing or refusing its arguments, no control) is shown
// as a run-time error. Either way the program goes on. Nothing either while a long command (or
// another section) runs: the section holds the busy guard itself while the control draws.
void ShowTyxSection();
