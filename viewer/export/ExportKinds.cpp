#include "viewer/export/ExportKinds.h"

#include "viewer/map/SharedState.h"

namespace {

constexpr const char* kMeshText = "[to_txt] GridType case = 4 not ready";

constexpr ExportKind kUnknown = {.gridType = kGridNone,
                                 .textRefusal = "[to_txt] Unknown GridType:"};

constexpr ExportKind kKinds[] = {
    {.gridType = kGridCells,
     .subsetCuts = true,
     .lonCount = &IKelvad::nCells,
     .latCount = &IKelvad::nCells,
     .textRefusal = "[to_txt] GridType case = 1 not ready",
     .subsetNc = true,
     .orvNc = true},
    {.gridType = kGridRegular,
     .subsetCuts = true,
     .lonCount = &IKelvad::nLon,
     .latCount = &IKelvad::nLat,
     .lonLatAxes = true,
     .textRefusal = "[to_txt] GridType case = 2 not ready",
     .subsetNc = true,
     .orvNc = true,
     .cir = true},
    {.gridType = kGridBfg,
     .subsetCuts = true,
     .wholeGrid = true,
     .subsetNc = true,
     .xyuvText = true},
    // The description of a mesh is not written yet.
    {.gridType = kGridFeMesh,
     .subsetRefusal = "[SubSetNcDomain] not ready for fe mesh type",
     .textRefusal = kMeshText},
    {.gridType = kGridFvMesh,
     .subsetRefusal = "[SubSetNcDomain] not ready for fe mesh type",
     .textRefusal = kMeshText},
    {.gridType = kGridGmt,
     .subsetCuts = true,
     .lonCount = &IKelvad::nLon,
     .latCount = &IKelvad::nLat,
     .gmtLayout = true,
     .textRefusal = "[to_txt] GridType case = 5 not ready",
     .gmtPointText = true,
     .subsetNc = true,
     .xyuvText = true},
};

} // namespace

const ExportKind& ExportKindOf(Long gridType) {
    for (const ExportKind& kind : kKinds)
        if (kind.gridType == gridType) return kind;
    return kUnknown;
}

const ExportKind& MainExportKind() {
    return Data.clsNC != nullptr ? ExportKindOf(Data.clsNC->GridType(1)) : kUnknown;
}
