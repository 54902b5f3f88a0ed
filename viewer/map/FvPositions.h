#pragma once
// Where the values of a finite-volume variable lie, and the node positions that place those on
// the nodes. The loader fetches element positions (lonV/latV) for every finite-volume mesh, the
// node positions (nodeLonV/nodeLatV) only for the mesh outline; the read window, the scalar and
// the vector maps ask for them here when a node variable needs them.
#include "runtime/Types.h"

// Where the values of a finite-volume variable lie.
enum class FvLocation { None, Nodes, Elements };
// By the variable's last dimension (its own dataset slot): the node or the element dimension.
FvLocation FvLocationOf(Long nvar, Long slot);
// Node positions for the mesh of slot 1: refilled when nodeLonV/nodeLatV hold fewer than
// nNodes entries. False, after a box with the dataset's reason and with both arrays erased
// (the next draw asks again), when they cannot be had.
bool EnsureFvNodePositions();
// The node positions are written only here. Fills nodeLonV/nodeLatV (1 .. nodes, at least 1)
// with the main dataset's node positions in view units; the fill's result, below 0 on failure.
Long FillFvNodePositions(Long nodes);
// Lets go of the node positions: the next drawing that needs them asks again.
void DropFvNodePositions();
// The loader's mark of a mesh whose outline is off: positions not fetched (nodeLonV 0 .. 1),
// filled on demand by EnsureFvNodePositions.
void SkipFvNodePositions();
