#include "viewer/shell/UserEditor.h"

#include <QStandardPaths>
#include <QString>

#include <cstdlib>
#include <sstream>

namespace {

std::string envText(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

// The full path of a program named on its own (searched on PATH) or by a path.
std::string findProgram(const std::string& name) {
    if (name.empty()) return {};
    const QString found = QStandardPaths::findExecutable(QString::fromStdString(name));
    return found.toStdString();
}

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A terminal emulator and the option before the command it runs.
struct Terminal {
    std::string program;
    std::vector<std::string> runOption;
};

Terminal findTerminal() {
    // The user's choice first; Debian's alternative for it next; then the common ones.
    for (const std::string& named : {envText("TERMINAL"), std::string("x-terminal-emulator")}) {
        const std::vector<std::string> w = words(named);
        if (w.empty()) continue;
        const std::string path = findProgram(w[0]);
        if (!path.empty()) {
            std::vector<std::string> option(w.begin() + 1, w.end());
            option.emplace_back("-e");
            return {path, option};
        }
    }
    const struct {
        const char* name;
        std::vector<std::string> option;
    } known[] = {
        {"gnome-terminal", {"--"}}, {"konsole", {"-e"}},       {"xfce4-terminal", {"-x"}},
        {"mate-terminal", {"-x"}},  {"lxterminal", {"-e"}},    {"terminator", {"-x"}},
        {"alacritty", {"-e"}},      {"kitty", {}},             {"foot", {}},
        {"urxvt", {"-e"}},          {"xterm", {"-e"}},
    };
    for (const auto& k : known) {
        const std::string path = findProgram(k.name);
        if (!path.empty()) return {path, k.option};
    }
    return {};
}

} // namespace

bool IsTerminalEditor(const std::vector<std::string>& command) {
    if (command.empty()) return false;
    static const char* const terminalOnly[] = {
        "vi",    "vim",   "vim.basic", "vim.tiny", "nvim", "view", "nano",  "rnano",
        "pico",  "ed",    "ex",        "joe",      "jed",  "jmacs", "jpico", "jstar",
        "mcedit", "micro", "ne",       "kak",      "hx",   "helix", "mg",   "zile",
        "vis",   "elvis", "nvi",       "emacs-nox", "editor", "sensible-editor",
    };
    const std::string name = baseName(command[0]);
    for (const char* t : terminalOnly)
        if (name == t) return true;
    // Emacs shows its own window unless told to stay in the terminal.
    if (name.rfind("emacs", 0) == 0)
        for (std::size_t i = 1; i < command.size(); ++i) {
            const std::string& a = command[i];
            if (a == "-nw" || a == "-t" || a == "--tty" || a == "--no-window-system") return true;
        }
    return false;
}

ProgramCommand UserEditorCommand(const std::string& file) {
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        std::vector<std::string> command = words(envText(variable));
        if (command.empty()) continue;
        const std::string path = findProgram(command[0]);
        if (path.empty()) continue;
        command[0] = path;
        command.push_back(file);
        if (!IsTerminalEditor(command))
            return {path, std::vector<std::string>(command.begin() + 1, command.end())};
        const Terminal terminal = findTerminal();
        if (terminal.program.empty()) continue; // nothing to show it in
        std::vector<std::string> args = terminal.runOption;
        args.insert(args.end(), command.begin(), command.end());
        return {terminal.program, args};
    }
    const std::string opener = findProgram("xdg-open");
    if (opener.empty()) return {};
    return {opener, {file}};
}
