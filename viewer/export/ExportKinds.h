#pragma once
// What the save and subset code does for each grid kind, in one table: the subset description,
// the vector text and the save formats look up the main dataset's kind once and read its entry,
// so a new kind is one entry here. The table is plain data (no writer is named in it), so every
// unit of the layer may read it without any of them reaching back up.
#include "kelvadlib/IKelvad.h"
#include "runtime/Types.h"

struct ExportKind {
    Long gridType = kGridNone;

    // The subset description. False: it stops at the dimensions, after subsetRefusal when
    // there is one; true: it takes the cuts and the coordinates.
    bool subsetCuts = false;
    const char* subsetRefusal = nullptr;
    // The counts of the whole longitude and latitude positions (the axes' lengths, or the
    // number of cells for both); null where the positions are the grid points of i and j.
    Long (IKelvad::*lonCount)(Long nNc) = nullptr;
    Long (IKelvad::*latCount)(Long nNc) = nullptr;
    // The longitude and the latitude are dimensions of their own, cut by their rows; the CIR
    // file takes them as its columns and rows.
    bool lonLatAxes = false;
    // Every grid point is saved: the i and j dimensions keep their lengths, the subset file is
    // written whole by its own writer, never appended to, and its window is not recorded.
    bool wholeGrid = false;
    // Ranges and spacing described over "side", the values in one "xysize" vector (taken whole),
    // and no longitude, latitude or cell dimension to expect.
    bool gmtLayout = false;

    // The vector text: written when textRefusal is null, else refused with it. One pick of a
    // grid with gmtPointText is written as the GMT point text instead.
    const char* textRefusal = nullptr;
    bool gmtPointText = false;

    // The save formats that have a writer for the kind (the others are everywhere or nowhere).
    bool subsetNc = false; // "as Original Nc", in the source's structure
    bool orvNc = false;    // the cell layout
    bool cir = false;      // CIR cells
    bool xyuvText = false; // the vector text
};

// The entry of gridType; an unknown type (kGridNone included) gets the entry that every save
// refuses or skips.
const ExportKind& ExportKindOf(Long gridType);

// The entry of the main dataset (Data.clsNC); the unknown one while none is open.
const ExportKind& MainExportKind();
