#include "viewer/map/FvPositions.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/map/SharedState.h"

FvLocation FvLocationOf(Long nvar, Long slot) {
    const Long nd = Data.clsNC->variNarray(nvar, slot);
    if (nd < 1) return FvLocation::None;
    const Long did = Data.clsNC->variArrayDimID(nvar, nd, slot);
    if (did == Data.clsNC->nodedId(slot)) return FvLocation::Nodes;
    if (did == Data.clsNC->elemdId(slot)) return FvLocation::Elements;
    return FvLocation::None;
}

Long FillFvNodePositions(Long nodes) {
    Data.nodeLonV.ReDim(1, MaxL(1, nodes));
    Data.nodeLatV.ReDim(1, MaxL(1, nodes));
    Data.nodeLonV(1) = -1; // asks for the nodes, not the elements
    return View.Projection == 1
               ? Data.clsNC->FillLonLatRad(Data.nodeLonV, Data.nodeLatV, Data.nNcMain)
               : Data.clsNC->FillLonLatDeg(Data.nodeLonV, Data.nodeLatV, Data.nNcMain);
}

void DropFvNodePositions() {
    Data.nodeLonV.Erase();
    Data.nodeLatV.Erase();
}

void SkipFvNodePositions() {
    Data.nodeLonV.ReDim(0, 1);
}

bool EnsureFvNodePositions() {
    const Long n = Data.clsNC->nNodes(1);
    const bool filled = Data.nodeLonV.IsAllocated() && Data.nodeLonV.UBound() >= n &&
                        Data.nodeLatV.IsAllocated() && Data.nodeLatV.UBound() >= n;
    if (filled) return true;
    if (FillFvNodePositions(n) >= 0) return true;
    // Positions that were never filled would pile every node up at one corner.
    DropFvNodePositions();
    ui().MsgBox(Data.clsNC->ErrorMessage(), kOkOnly, kProgramTitle);
    return false;
}
