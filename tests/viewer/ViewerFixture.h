#pragma once
// What every viewer test starts from: the one Qt application, a scripted Ui installed for the
// test (its event pump can run a hook), a temporary folder, the dataset library linked in as the
// factory of the viewer's dataset objects, and the viewer's shared state cleared before and after
// the test: every window unloaded, the dataset object released, then ResetSharedState, and the
// order boxes and the save routines' host put back to their defaults. Whatever the test left
// queued in the event loop runs before the next test. Derived fixtures add the dataset object,
// the settings file and the pictures their tests need.
#include "common/Strings.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "viewer/export/ExportHost.h"
#include "viewer/map/CScale.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/FvBounds.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/section/OCXHost.h"
#include "viewer/section/frmVsect.h"
#include "viewer/shell/FormColor.h"
#include "viewer/shell/FormIJ.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/MainOPaP.h"
#include "viewer/shell/OrderFrm.h"
#include "viewer/shell/PicForm.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

// A scripted Ui whose event pump runs a hook (an Esc at step s, a look at the busy flag).
class PumpUi : public InstalledScriptedUi {
public:
    std::function<void()> onDoEvents;
    void DoEvents() override {
        ScriptedUi::DoEvents();
        if (onDoEvents) onDoEvents();
    }
};

class ViewerFixture : public ::testing::Test {
protected:
    TempDir dir;
    PumpUi ui;

    void SetUp() override {
        testApp();
        resetViewer();
        previousFactory_ = SetKelvadFactory(&CreateKelvad);
    }

    void TearDown() override {
        ui.onDoEvents = {};
        resetViewer();
        SetKelvadFactory(previousFactory_);
        // What the test left queued (a step waiting for a drawing's end) runs now, not in
        // the middle of the next test.
        QCoreApplication::processEvents();
    }

    // Unloads every window and puts the shared state back to what a fresh start has.
    static void resetViewer() {
        if (OrderFrmLoaded()) UnloadOrderFrm();
        if (PicFormLoaded()) UnloadPicForm();
        if (FormColorLoaded()) UnloadFormColor();
        if (FormIJLoaded()) UnloadFormIJ();
        if (OCXHostLoaded()) UnloadOCXHost();
        if (frmVsectLoaded()) UnloadfrmVsect();
        UnloadMainForm();
        ReleaseKelvad();
        ResetSharedState();
        setOrderBoxes(nullptr);
        defaultOrderBoxes() = MemoryOrderBoxes();
        setExportHost(nullptr);
        defaultExportHost() = MemoryExportHost();
    }

    // Points the viewer at a settings file holding text, in the temporary folder or in a folder
    // of that name inside it; returns the folder.
    std::string useSettings(const std::string& text, const std::string& folder = "") {
        const std::string where = folder.empty() ? dir.path().string() : dir.file(folder);
        std::filesystem::create_directories(where);
        Opt.IniFile = where + "/Pelorin.ini";
        std::ofstream(Opt.IniFile) << text;
        return where;
    }

    std::string writeFile(const std::string& name, const std::string& content) const {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The file opened through the dataset library kv as the main dataset, a grid of the given
    // type, with the positions of its values; the dataset's extent is the file's, and so is the
    // view. Fatal failures: call it under ASSERT_NO_FATAL_FAILURE.
    static void openThroughLibrary(IKelvad& kv, const std::string& path, Long gridType) {
        Data.clsNC = &kv;
        Data.nNcMain = kv.Initialize(path);
        ASSERT_EQ(Data.nNcMain, 1) << kv.ErrorMessage();
        ASSERT_EQ(kv.GridType(1), gridType);
        ASSERT_GE(kv.FillLonLatDeg(Data.lonV, Data.latV, 1), 0) << kv.ErrorMessage();
        Data.DataExtent = {kv.westEnd(1), kv.eastEnd(1), kv.southEnd(1), kv.northEnd(1)};
        View.ViewExtent = Data.DataExtent;
    }

    // The texts of the message boxes shown so far.
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& b : ui.boxes)
            out.push_back(b.text);
        return out;
    }

    // The primitives of one kind in a recording picture, in drawing order.
    static std::vector<DrawRecord> recordsOf(const Picture& p, DrawKind kind) {
        std::vector<DrawRecord> out;
        for (const DrawRecord& r : p.records())
            if (r.kind == kind) out.push_back(r);
        return out;
    }

private:
    KelvadFactory previousFactory_ = nullptr;
};
