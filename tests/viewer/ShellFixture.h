#pragma once
// The common ground of the shell's tests: a fresh shared state, a scripted Ui, a temporary
// folder for settings files and datasets, no modal loops, nothing opened on the desktop, and a
// shut-down that does not end the test program.
#include "common/Strings.h"
#include "kelvadlib/IKelvad.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/SharedState.h"
#include "viewer/shell/FormColor.h"
#include "viewer/shell/FormShow.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/MainOPaP.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class ShellFixture : public ::testing::Test {
protected:
    TempDir dir;
    InstalledScriptedUi ui;
    int ended = 0;                   // shut-downs that reached the end of the program
    std::vector<std::string> opened; // what was handed to the desktop

    void SetUp() override {
        testApp();
        resetAll();
        SetKelvadFactory(&CreateKelvad);
        setEndProgramAction([this] { ++ended; });
        setModalRunner({});
        setDocumentOpener([this](const std::string& p) {
            opened.push_back(p);
            return true;
        });
    }

    void TearDown() override {
        resetAll();
        SetKelvadFactory(nullptr);
        setEndProgramAction({});
        setModalRunner({});
        setDocumentOpener({});
    }

    static void resetAll() {
        UnloadMainForm();
        if (FormColorLoaded()) UnloadFormColor();
        ReleaseKelvad();
        ResetSharedState();
        SuppressPutMsg = false;
    }

    std::string writeFile(const std::string& name, const std::string& content) const {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // A settings file with a coastline that exists, plus the given lines.
    std::string settings(const std::string& extra = "", const std::string& name = "Pelorin.ini") {
        const std::string coast = writeFile("coast.bdm", "coast");
        return writeFile(name, "[coast lines]\ncoastline 1=" + coast + "\n" + extra);
    }

    static std::string ini(const std::string& key, const std::string& section) {
        return GetString(key, section, Opt.IniFile);
    }

    // The remembered list in memory, URL(1) to URL(nURL).
    static std::vector<std::string> remembered() {
        std::vector<std::string> out;
        for (Long i = 1; i <= Opt.nURL; ++i)
            out.push_back(Opt.URL(i));
        return out;
    }

    // The items of the main window's list box.
    static std::vector<std::string> comboItems();
};

#include "gui/QtText.h"
#include <QComboBox>

inline std::vector<std::string> ShellFixture::comboItems() {
    std::vector<std::string> out;
    QComboBox* c = mainForm().Combo1;
    for (int i = 0; i < c->count(); ++i)
        out.push_back(programText(c->itemText(i)));
    return out;
}
