#pragma once
// What the benchmarks share: the clock, the loading of a dataset into the shared state the way
// the program's loader sets it up for a map, and the picking of a variable.
#include "bench/BenchClock.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/VArray.h"
#include "viewer/map/CScale.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"

#include <cstdio>
#include <string>

namespace bench {

// The mesh maps draw their colour key as in the program, here on a picture of the colour
// window's size.
inline Picture& keyPicture() {
    static Picture key(140, 450);
    return key;
}

// Opens path as the main dataset the way the loader sets up the shared state for a map.
inline bool load(IKelvad& nc, const std::string& path) {
    ResetSharedState();
    Data.clsNC = &nc;
    Data.nNcMain = nc.Initialize(path);
    if (Data.nNcMain < 1) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), nc.ErrorMessage().c_str());
        return false;
    }
    View.Projection = 0;
    View.LonPeriod = 360;
    if (nc.FillLonLatDeg(Data.lonV, Data.latV, Data.nNcMain) < 0) return false;
    Data.DataExtent = {nc.westEnd(Data.nNcMain), nc.eastEnd(Data.nNcMain),
                       nc.southEnd(Data.nNcMain), nc.northEnd(Data.nNcMain)};
    View.ViewExtent = Data.DataExtent;
    Data.CurTimeStep = 1;
    Data.CurLevel = 1;
    return true;
}

inline void pick(Long nv, Long nd) {
    Data.Picks.ReDim(1, 1);
    Data.Picks(1) = PickItem{nv, nd, Data.nNcMain};
    Data.PickCount = 1;
}

// The first variable that lies on the horizontal grid, picked as the order window would.
inline bool pickScalar(IKelvad& nc) {
    for (Long nv = 1; nv <= nc.nVars(Data.nNcMain); ++nv) {
        if (nc.variLonLatOrder(nv, Data.nNcMain) > 0 && nc.variNarray(nv, Data.nNcMain) >= 3) {
            pick(nv, nc.variNarray(nv, Data.nNcMain));
            return true;
        }
    }
    return false;
}

// The first time-dependent variable whose last dimension is the given mesh dimension.
inline bool pickMeshScalar(IKelvad& nc, Long meshDim) {
    for (Long nv = 1; nv <= nc.nVars(Data.nNcMain); ++nv) {
        const Long nd = nc.variNarray(nv, Data.nNcMain);
        if (nd >= 2 && nc.variArrayDimID(nv, nd, Data.nNcMain) == meshDim &&
            nc.indexOfDID(nv, nc.TimedId(Data.nNcMain), Data.nNcMain) > 0) {
            pick(nv, nd);
            return true;
        }
    }
    return false;
}

// Every stride box of the order window set to text ("" for the default strides).
inline void setStrides(const std::string& text) {
    for (auto& s : defaultOrderBoxes().strides) {
        s.clear();
        s.append(text);
    }
}

} // namespace bench
