#pragma once
// The save command: from the order window's "Save to local file" to a finished file. It checks
// the picks, asks for the target (and, for a netCDF target that exists, whether to append to
// it, overwrite it or keep it), refuses a target that is one of the open datasets, keeps the
// target under "local nc", builds the subset description and runs the writer of the save
// format chosen in the "Save Options" menu. A netCDF subset written successfully records its
// window in the settings file and offers to load the new file, which is loaded once the save
// has let go of everything it held of the old dataset.
#include "runtime/Types.h"
#include "viewer/export/SafeOutput.h"

#include <span>
#include <string>

struct ExportKind;
struct SubsetDescription;

// The ids of the save formats (SaveFormat in the settings file), in the menu's order.
inline constexpr Long kSaveSubsetNc = 1;
inline constexpr Long kSaveOrvNc = 2;
inline constexpr Long kSaveCir = 3;
inline constexpr Long kSaveCsc = 4;
inline constexpr Long kSaveXyuvText = 5;
inline constexpr Long kSaveTimeSer = 6;

// The answers of the existing-target question, as the writers take them as their mode.
inline constexpr Long kSaveNew = 0;
inline constexpr Long kSaveAppend = 6;
inline constexpr Long kSaveOverwrite = 7;

// The plain message given when the chosen format has no writer for the picks.
inline constexpr const char* kFormatNotAvailableText =
    "Saving in this format is not available for this pick";
// A boundary-fitted subset is always written whole.
inline constexpr const char* kBfgAppendNotAvailableText =
    "Appending is not available for a boundary-fitted subset; the file is left as it was";

// One save format: everything the "Save Options" menu and the save command know of it. Both
// are built from the registry (SaveFormats), so a format is one entry and its writer.
struct SaveFormat {
    Long id;
    const char* control; // the name of its menu entry
    const char* caption; // the text of its menu entry
    const char* filter;  // the target dialog's filter
    // A netCDF target: the dialog does not ask about a file that exists; the save asks
    // "Append", "Overwrite" or "Cancel" itself and the writer takes the answer as its mode.
    bool asksAboutExisting = false;
    // Not null: the format takes a pair of components on a grid with longitude and latitude,
    // and the refusal names it so.
    const char* pairName = nullptr;
    // True for the grid kinds the format has a writer for.
    bool (*available)(const ExportKind& kind) = nullptr;
    // Not null: false for the grid kinds whose files are never appended to (the save says so
    // before anything is read); otherwise the writer answers an append itself.
    bool (*appendable)(const ExportKind& kind) = nullptr;
    // Writes the target (claimed by the save), in the mode asked (kSaveNew, kSaveAppend,
    // kSaveOverwrite), for the description and its picks; every message is the writer's own.
    void (*write)(const SaveTarget& target, Long mode, const SubsetDescription& sd) = nullptr;
};

// The registry, in the menu's order.
std::span<const SaveFormat> SaveFormats();
// The entry of id; nullptr when no format has it.
const SaveFormat* FindSaveFormat(Long id);

// True when the format has a writer for a dataset of gridType.
bool SaveFormatAvailable(Long format, Long gridType);

// The save command after the picks are built (Data.Picks): holds the busy guard while it
// runs; every refusal is a plain message and writes nothing.
void SaveCommand();

// The three-button box: kind 1 a subset made ("Load" 6, "Continue" 7), kind 3 a target that
// exists ("Append" 6, "Overwrite" 7, "Cancel" 2); 0 when it is closed.
Long ShowSubsetMsg(Long kind, const std::string& path);

// A subset netCDF file in the given mode (0 new, 7 overwrite, 6 append; the file is replaced
// only once the new one is whole); a grid kind without a subset writer is refused with a
// message. A boundary-fitted grid is written new in either of the first two. On success it
// records the window written in "subsetpara" (not for a boundary-fitted grid) and asks whether
// to load the file.
void SaveToLocal(const SaveTarget& target, Long mode, const SubsetDescription& sd);

// Saves in the cell layout in the same modes: makes sure the items are known (asking to add
// variable aliases while none is), writes the file, and on success records the window written
// in "subsetpara" and asks whether to load the file. A cell-layout file is never appended to.
void SaveToLocalOrv(const SaveTarget& target, Long mode, const SubsetDescription& sd);

// The CSC format: nothing is written.
void To_Csc(const std::string& path);
