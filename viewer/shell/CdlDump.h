#pragma once
// The header of the loaded dataset as CDL text in temp.cdl, opened in the user's editor.
#include "runtime/Types.h"

#include <functional>
#include <string>
#include <vector>

// Where the dump goes: temp.cdl in the folder of the settings file in use (beside the program
// when no settings file is known).
std::string CdlFilePath();

// The dump's text for slot nNc of clsNC, every line ended by CR LF.
std::string CdlText(Long nNc);

// Reads the header of URL(0) and writes the dump of the loaded main dataset. 1 when written;
// -1 when the header could not be read (no message, the old dump stays), or when the dump file
// is one of the open datasets or could not be written (reported in a message box; nothing is
// written).
Integer Make_CDL();

// Starts the editor of "NotePad" ("FilePath") on the dump, asking for the editor when the
// stored one is missing.
void OpenCdlInEditor();

// Starts the user's text editor, the program in "NotePad" ("FilePath"), on file. A missing
// editor is asked for with an open-file box that lists programs and the choice stored (a
// cancelled box starts nothing); nothing is started when file does not exist. An editor that
// cannot be started is reported in a message box naming it, headed by tag ("[OpenCdlInEditor]").
void OpenInEditor(const std::string& file, const std::string& tag);
// Opens file in the editor of the user's desktop (UserEditorCommand: VISUAL, EDITOR, else
// xdg-open), asking nothing; nothing when file does not exist. An editor that cannot be started
// is reported as OpenInEditor reports it.
void OpenInUserEditor(const std::string& file, const std::string& tag);

// Starts program with its arguments, without waiting; false when it could not be started.
using ProgramLauncher =
    std::function<bool(const std::string& program, const std::vector<std::string>& args)>;
// Replaces the launcher of the editor (tests); returns the one replaced. An empty launcher
// restores the default, which starts a detached process.
ProgramLauncher SetEditorLauncher(ProgramLauncher launcher);
