#pragma once
// What is chosen of the dataset (Data): the step and level in force, the picks, the second file
// and the vector components, written only through these. The loader, the order window and the
// savers choose; the drawings and writers read. The dataset's own part (its object, slots,
// coordinates and mesh) is the loader's and the mesh modules'.
#include "viewer/map/SharedState.h"

#include <string>
#include <utility>

// 1-based; 0 before any step is chosen.
inline void SetTimeStep(Long step) {
    Data.CurTimeStep = step;
}
inline void SetLevel(Long level) {
    Data.CurLevel = level;
}
// No pick in force (the picks last made stay behind the count).
inline void ClearPicks() {
    Data.PickCount = 0;
}
// picks (1 .. count) become the picks in force.
inline void SetPicks(VArray<PickItem> picks) {
    Data.Picks = std::move(picks);
    Data.PickCount = Data.Picks.UBound();
}
// The path or URL of the second (V-component) file of the next load.
inline void SetSecondFile(const std::string& path) {
    Data.SecondFile = path;
}
// The u and v variables of the current or of the wind in the main dataset.
inline void SetWaterComponents(Long u, Long v) {
    Data.water_U_vId = u;
    Data.water_V_vId = v;
}
inline void SetWindComponents(Long u, Long v) {
    Data.wind_U_vId = u;
    Data.wind_V_vId = v;
}
