#pragma once
// Loading a dataset: the one road from the entry URL(0) to a dataset on screen (the dataset
// object clsNC, the summaries, the coordinate, mesh, time and level arrays, the extents and the
// zoom base, the preview and the map frame), and the time range of an entry without loading it.
#include "runtime/Types.h"

#include <string>

class IKelvad;

// Makes a dataset object. By default the factory of libKelvadlib.so beside the program.
using KelvadFactory = IKelvad* (*)();
// Replaces the factory (tests link the library and pass CreateKelvad); nullptr restores the
// library beside the program. Returns the factory replaced (nullptr for the default).
KelvadFactory SetKelvadFactory(KelvadFactory factory);
// The dataset library beside the program, which the default factory comes from.
std::string KelvadLibraryPath();

// Replaces clsNC by a new object (the previous one is released first); false, with the reason
// in a message box, when no object could be made (clsNC is then nothing).
bool NewKelvad();
// Releases clsNC: clsNC is nothing afterwards.
void ReleaseKelvad();

// Opens URL(0) in a new object (and SecondFile as slot 2 when UseSecond = 1) and prepares
// everything the windows read. Holds the busy guard and the hourglass pointer while it runs.
void LoadFile(Long UseSecond);
// Shows the time span of the entry of the main window's list box without loading it; leaves
// the viewer with no dataset object, and closes the map and order windows with the dataset.
void ShowTimeRange();
// True while LoadFile or ShowTimeRange runs (a second one is refused).
bool LoadRunning();

// Hand the alias lists of section "variable alias" of the settings file to clsNC: the
// coordinate lists (before opening), the vector and temperature lists (after).
void LoadCoordAliases();
void LoadVectorAliases();
