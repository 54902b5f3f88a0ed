#pragma once
// The busy guard of the long commands. A load, a plot or a save lets window events run, so a
// click could start another load, plot or save on a dataset half set up or replaced. A long
// command holds a BusyGuard while it runs; the event procedures that load, plot or save test
// IsBusy() first and refuse when it is set. Guards nest: a long command may call another (a
// save that loads the file it made). Esc, window moves and the arrow-key pans are not refused;
// what must not disturb a drawing under way waits for its end (WhenIdle).
#include "viewer/map/SharedState.h"

#include <functional>

// True while any long command holds a guard.
bool IsBusy();
// Runs action (as an event procedure) once no long command holds a guard: at once when none
// does, else from the event loop after the last guard has gone.
void WhenIdle(std::function<void()> action);

class BusyGuard {
public:
    BusyGuard();
    ~BusyGuard();
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
};

// True when the viewer holds a dataset object with its main dataset in slot 1. After a failed
// load or a time-range query there is none, and the map and order windows' commands do
// nothing.
inline bool DatasetReady() {
    return Data.clsNC != nullptr && Data.nNcMain >= 1;
}
