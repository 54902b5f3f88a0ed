#include "viewer/vector/DrawFEVector.h"

#include "kelvadlib/IKelvad.h"
#include "viewer/map/GridKinds.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/VectorStages.h"
#include "viewer/map/VectorWalks.h"
#include "viewer/map/Vectors.h"

#include <exception>

namespace {

// Where the values of the pair lie: the position arrays their last dimension indexes. Null
// when they have none (a finite-volume variable on neither mesh dimension, or node positions
// that cannot be had).
struct MeshPoints {
    const VArray<float>* lon = nullptr;
    const VArray<float>* lat = nullptr;
};

MeshPoints meshPoints(const VectorFrame& vf) {
    const ValuePoints at =
        PointsOfValues(MapKindOf(Data.clsNC->GridType(1)), *Data.clsNC, vf.u, vf.uSlot);
    return {at.lon, at.lat};
}

// Both maps of a mesh start alike: the pair, its legend and scale, the reference arrow; then
// where its values lie.
MeshPoints beginMeshPair(RenderContext& rc, VectorFrame& vf) {
    BeginPair(rc, vf, Data.Picks(1), Data.Picks(2));
    PairLegend(vf, kKindZeroMagnitude);
    LoadVectorScale();
    ReferenceArrow(rc, vf);
    return meshPoints(vf);
}

} // namespace

void DrawFEVector(Picture& pic) {
    // Its read failures have always been titled so.
    RenderContext rc(pic, "[DrawGridScalar]");
    KeepPen pen(pic);
    if (!ScaleCheck(rc)) return;
    VectorFrame vf;
    try {
        const MeshPoints at = beginMeshPair(rc, vf);
        PinTimeAndLevel(rc, Data.CurTimeStep, Data.CurLevel);
        DateLabel(rc, Data.CurTimeStep);
        if (!DrawListArrowsStep(rc, vf, at.lon, at.lat, MissingPoint::Skip)) return;
        FinishPairFrame(rc, vf);
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), "[DrawFEVector]");
    }
}

Long DrawFEVectorTimed(Picture& pic) {
    RenderContext rc(pic, "[DrawFEVectorTimed]");
    KeepPen pen(pic);
    if (!ScaleCheck(rc)) return -1;
    VectorFrame vf;
    try {
        const MeshPoints at = beginMeshPair(rc, vf);
        return AnimateListArrows(rc, vf, at.lon, at.lat);
    } catch (const std::exception& e) {
        ShowErrorTail(rc, ErrorTailText(e), rc.tag);
        return -1;
    }
}
