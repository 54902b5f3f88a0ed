#include "common/CMDialog.h"
#include "platform/Component.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace {
const std::string kNcFilter = "NetCDF file(*.nc)|*.nc|All files(*.*)|*.*";

// A dialog that fails the way a cancelled dialog control did.
class FailingUi : public ScriptedUi {
public:
    std::string OpenFileDialog(const FileDialogRequest&) override { throw RuntimeError(32755); }
    bool ColorDialog(Long&) override { throw RuntimeError(32755); }
};
} // namespace

TEST(CMDialog, OpenWithEmptyPathStartsAtTheProgramFolder) {
    InstalledScriptedUi ui;
    ui.fileAnswers = {"/data/chosen.nc"};
    std::string path;
    EXPECT_EQ(ShowOpenDlg(path, kNcFilter), "/data/chosen.nc");

    const std::string programFolder = ProgramFolder();
    EXPECT_EQ(path, programFolder); // the caller's variable receives it
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    const auto& call = ui.fileDialogs[0];
    EXPECT_EQ(call.kind, ScriptedUi::DialogKind::Open);
    // The program folder itself, with no file name proposed.
    EXPECT_EQ(call.request.initDir, programFolder);
    EXPECT_EQ(call.request.fileName, "");
    EXPECT_EQ(call.request.filter, kNcFilter);
    EXPECT_EQ(call.request.filterIndex, 1);
    EXPECT_TRUE(call.request.mustExist);
    EXPECT_FALSE(call.request.confirmOverwrite);
    EXPECT_EQ(ui.doEventsCount, 1);
}

TEST(CMDialog, SaveStartsOnTheGivenFileAndCancelGivesEmpty) {
    InstalledScriptedUi ui;
    std::string path = "/data/run.v2/out.sub.nc";
    EXPECT_EQ(ShowSaveDlg(path, "BMP files|*.BMP"), ""); // no answer queued: cancel
    EXPECT_EQ(path, "/data/run.v2/out.sub.nc");
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    const auto& call = ui.fileDialogs[0];
    EXPECT_EQ(call.kind, ScriptedUi::DialogKind::Save);
    EXPECT_EQ(call.request.initDir, "/data/run.v2");
    EXPECT_EQ(call.request.fileName, "out.sub.nc");
    EXPECT_EQ(call.request.filter, "BMP files|*.BMP");
    EXPECT_FALSE(call.request.mustExist);
    EXPECT_TRUE(call.request.confirmOverwrite);
    EXPECT_EQ(ui.doEventsCount, 1);

    path = "C:\\runs\\model.nc";
    ui.fileAnswers = {"/tmp/x.nc"};
    EXPECT_EQ(ShowSaveDlg(path, kNcFilter), "/tmp/x.nc");
    EXPECT_EQ(ui.fileDialogs[1].request.initDir, "C:\\runs");
    EXPECT_EQ(ui.fileDialogs[1].request.fileName, "model.nc");

    // A caller with its own question about an existing file has the dialog ask nothing.
    EXPECT_EQ(ShowSaveDlg(path, kNcFilter, false), "");
    EXPECT_FALSE(ui.fileDialogs[2].request.confirmOverwrite);
}

TEST(CMDialog, ColourDialogOpensOnTheLastChoiceAndCancelGivesBlack) {
    InstalledScriptedUi ui;
    const Long orange = 64 + 256 * 128 + 65536 * 255;
    ui.colorAnswers = {orange, std::nullopt};
    EXPECT_EQ(PickColorDlg(), orange);
    EXPECT_EQ(PickColorDlg(), 0); // cancelled
    EXPECT_EQ(PickColorDlg(), 0); // out of answers: cancelled
    ASSERT_EQ(ui.colorDialogs.size(), 3u);
    EXPECT_EQ(ui.colorDialogs[1], orange);
    EXPECT_EQ(ui.colorDialogs[2], orange); // a cancel keeps the control's colour
    EXPECT_EQ(ui.doEventsCount, 3);
}

TEST(CMDialog, ARuntimeErrorInTheDialogGivesTheCancelResult) {
    FailingUi ui;
    ScopedUi guard(ui);
    std::string path = "/data/a.nc";
    EXPECT_EQ(ShowOpenDlg(path, kNcFilter), "");
    EXPECT_EQ(PickColorDlg(), 0);
    EXPECT_EQ(ui.doEventsCount, 2);
}
