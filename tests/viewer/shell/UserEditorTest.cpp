// Which program opens a file in the user's editor: VISUAL, EDITOR, the desktop's opener, and a
// terminal editor inside a terminal emulator, over a PATH of stand-in programs.
#include "viewer/shell/UserEditor.h"

#include "tests/support/EnvScope.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class UserEditorTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string bin = dir.file("bin");

    void SetUp() override { std::filesystem::create_directory(bin); }
    std::string program(const std::string& name) {
        const std::string path = bin + "/" + name;
        std::ofstream(path) << "#!/bin/sh\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
};

TEST_F(UserEditorTest, TheUsersEditorElseTheDesktopsOpener) {
    struct Case {
        const char* what;
        std::vector<const char*> programs; // on PATH
        const char *visual, *editor, *terminal;
        std::vector<std::string> expected; // program (in bin) and arguments; "F" is the file
    };
    const Case cases[] = {
        {"VISUAL first", {"gedit", "vim", "xdg-open"}, "gedit --new-window", "vim", nullptr,
         {"gedit", "--new-window", "F"}},
        {"VISUAL not found: EDITOR", {"kate", "xdg-open"}, "gone-editor", "kate", nullptr,
         {"kate", "F"}},
        {"neither set: the opener", {"gedit", "xdg-open"}, nullptr, nullptr, nullptr,
         {"xdg-open", "F"}},
        {"blank values count as unset", {"xdg-open"}, "  ", "", nullptr, {"xdg-open", "F"}},
        {"terminal editor in the Debian terminal", {"vim", "x-terminal-emulator", "xterm"},
         nullptr, "vim", nullptr, {"x-terminal-emulator", "-e", "BIN/vim", "F"}},
        {"terminal editor in the user's terminal", {"nano", "foot", "xterm"}, nullptr, "nano",
         "foot", {"foot", "-e", "BIN/nano", "F"}},
        {"terminal editor in a known terminal", {"nvim", "gnome-terminal"}, "nvim", nullptr,
         nullptr, {"gnome-terminal", "--", "BIN/nvim", "F"}},
        {"emacs -nw is a terminal editor", {"emacs", "xterm"}, "emacs -nw", nullptr, nullptr,
         {"xterm", "-e", "BIN/emacs", "-nw", "F"}},
        {"emacs alone shows its own window", {"emacs", "xterm"}, "emacs", nullptr, nullptr,
         {"emacs", "F"}},
        {"no terminal: the next editor", {"vim", "mousepad", "xdg-open"}, "vim", "mousepad",
         nullptr, {"mousepad", "F"}},
        {"no terminal, no other: the opener", {"vi", "xdg-open"}, nullptr, "vi", nullptr,
         {"xdg-open", "F"}},
        {"nothing at all", {}, "vim", nullptr, nullptr, {}},
    };
    const std::string file = dir.file("my settings.ini");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(bin);
        std::filesystem::create_directory(bin);
        for (const char* p : c.programs)
            program(p);
        EnvScope env({{"PATH", bin.c_str()},
                      {"VISUAL", c.visual},
                      {"EDITOR", c.editor},
                      {"TERMINAL", c.terminal}});
        const ProgramCommand got = UserEditorCommand(file);
        std::vector<std::string> expected;
        for (const std::string& e : c.expected)
            expected.push_back(e == "F"                 ? file
                               : e.rfind("BIN/", 0) == 0 ? bin + e.substr(3)
                                                         : e);
        if (expected.empty()) {
            EXPECT_EQ(got.program, "");
            continue;
        }
        EXPECT_EQ(got.program, bin + "/" + expected[0]);
        EXPECT_EQ(got.args, std::vector<std::string>(expected.begin() + 1, expected.end()));
    }
}

} // namespace
