#pragma once
// The current item read along the section: every level of every section cell at one time step,
// and the display range derived from the values.
#include "tyxsection/TyxModel.h"

// Reads variable nvar at time step itime (from 1) into SectData, MaxDepth and the range (max,
// min) of the item shown: one read per cell for a general path, one read for a section along a
// grid row or column. A variable without the time dimension reads the same at every step.
// Everything read replaces the values held only when the whole read
// succeeds. itime on success; -1 on failure (quietly for a step below 1, else with the reason
// in ErrorMessage). The file is closed again in every case.
Long ReadVSData(TyxModel& m, Long nvar, Long itime);

// Sets high, low and step of every item whose high equals its low from the range of its last
// read, once a read has seen a valid value of it; an item with a range widens it where the
// last read left it (a new path or step with colder water), and its step follows.
void SetItemScales(TyxModel& m);
