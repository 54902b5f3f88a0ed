#pragma once
// The shell's tests on the viewer's common ground: no modal loops, nothing opened on the
// desktop, and a shut-down that does not end the test program.
#include "tests/viewer/ViewerFixture.h"

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
#include "viewer/shell/Startup.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

class ShellFixture : public ViewerFixture {
protected:
    int ended = 0;                   // shut-downs that reached the end of the program
    std::vector<std::string> opened; // what was handed to the desktop

    void SetUp() override {
        ViewerFixture::SetUp();
        setEndProgramAction([this] { ++ended; });
        setModalRunner({});
        setDocumentOpener([this](const std::string& p) {
            opened.push_back(p);
            return true;
        });
    }

    void TearDown() override {
        ViewerFixture::TearDown();
        setEndProgramAction({});
        setModalRunner({});
        setDocumentOpener({});
    }

    // Starts with a settings file holding the given lines and a remembered list.
    void start(const std::string& extra = "[URL List]\nURLfile 1=/data/first.nc\n") {
        settings(extra);
        ASSERT_TRUE(Main({}, dir.path().string()));
        ui.boxes.clear();
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
        out.push_back(itemBytes(*c, i));
    return out;
}
