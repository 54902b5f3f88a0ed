#pragma once
// The user's own text editor, as the desktop knows it: the program of VISUAL, else of EDITOR,
// else the desktop's opener (xdg-open), which hands the file to the editor the desktop
// associates with text.
#include <string>
#include <vector>

struct ProgramCommand {
    std::string program; // a full path; "" when nothing can open the file
    std::vector<std::string> args;
};

// The command that opens file in the user's editor. VISUAL and EDITOR hold a program with its
// options ("emacs -nw"), found on PATH; one that is not found is passed over. A terminal editor
// (vi, nano, ...) runs inside a terminal emulator (TERMINAL, x-terminal-emulator, or a known
// one on PATH); with no terminal emulator it cannot show itself and is passed over too.
ProgramCommand UserEditorCommand(const std::string& file);

// True when the command line of an editor (its program first) runs in a terminal.
bool IsTerminalEditor(const std::vector<std::string>& command);
