// The save command of the order window: the "Save Options" menu, the target dialog, the
// append/overwrite/cancel question, the refusals (a target that is an open dataset, picks of
// other dimensions, formats without a writer yet), the success box and the load of the new
// file once the save is over, the subset window kept in "subsetpara" and brought back by
// "Subset from Ini", and "recount" on the order window's rows.
#include "tests/viewer/export/ExportFixture.h"

#include "runtime/Strings.h"
#include "tests/support/Watchdog.h"
#include "viewer/export/SaveFlow.h"
#include "viewer/export/SubsetWindow.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/URLList.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>

namespace {

using Strings = std::vector<std::string>;

const std::string kNcFilter = "NetCDF file(*.nc)|*.nc|All files(*.*)|*.*";

class SaveFlowTest : public ExportFixture {
protected:
    std::string grid, out;

    void SetUp() override {
        ExportFixture::SetUp();
        Opt.SaveFormat = kSaveSubsetNc;
        out = dir.file("out.nc");
    }

    void loadGrid() {
        grid = ExportGridFixture(dir.file("grid.nc"));
        load(grid);
    }

    // Selects the entries of the names and types the rows of the first one's dimensions.
    void choose(const Strings& names, const std::vector<std::array<Long, 3>>& rows = {}) {
        OrderFrm& f = order();
        f.List1->clearSelection();
        for (Long i = 0; i < f.ListCount(); ++i) {
            const std::string entry = f.ListText(i);
            for (const std::string& n : names)
                if (entry.substr(entry.find(':') + 2) == n) f.setSelected(i, true);
        }
        for (std::size_t d = 0; d < rows.size(); ++d) {
            f.Text5[d]->setText(qtText(Str(rows[d][0])));
            f.Text6[d]->setText(qtText(Str(rows[d][1])));
            f.Text7[d]->setText(qtText(Str(rows[d][2])));
        }
    }
    void saveClick() { order().Command1_Click(1); }
    static std::string localNc() { return GetString("local nc", "FilePath", Opt.IniFile); }
    static std::string subsetKey(const std::string& key) {
        return GetString(key, "subsetpara", Opt.IniFile);
    }
    static const std::vector<std::array<Long, 3>>& gridRows() {
        static const std::vector<std::array<Long, 3>> rows = {
            {{1, 5, 1}}, {{1, 3, 2}}, {{2, 6, 2}}, {{1, 8, 1}}};
        return rows;
    }
};

TEST_F(SaveFlowTest, TheSaveOptionsMenuMarksAndKeepsOneFormat) {
    loadGrid();
    OrderFrm& f = order();
    // The entries by their names, in the menu's order, with their captions.
    const std::pair<const char*, const char*> named[6] = {
        {"asOriginalNc", "as Original Nc"},
        {"asOrvNc", "as Orv Nc (sequential)"},
        {"asOrvCir", "as Orv Cir"},
        {"asOrvCsc", "as Orv Csc"},
        {"asXyuvText", "as x,y,u,v text"},
        {"asTimeSerText", "as date, u,v ( text, only for point time ser. file)"}};
    auto entry = [](OrderFrm& form, const char* name) {
        return form.findChild<QAction*>(QString::fromLatin1(name));
    };
    QAction* entries[6] = {};
    EXPECT_EQ(programText(f.Options->title()), "Save Options");
    ASSERT_EQ(f.Options->actions().size(), 6);
    for (int i = 0; i < 6; ++i) {
        entries[i] = entry(f, named[i].first);
        ASSERT_NE(entries[i], nullptr) << named[i].first;
        EXPECT_EQ(f.Options->actions()[i], entries[i]);
        EXPECT_EQ(programText(entries[i]->text()), named[i].second);
    }
    auto marks = [&] {
        std::vector<bool> checked;
        for (QAction* a : entries)
            checked.push_back(a->isChecked());
        return checked;
    };
    entry(f, "asXyuvText")->trigger();
    EXPECT_EQ(Opt.SaveFormat, kSaveXyuvText);
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, false, false, true, false}));
    EXPECT_NE(readFile(Opt.IniFile).find("SaveFormat= 5"), std::string::npos);
    entry(f, "asOriginalNc")->trigger();
    entry(f, "asOriginalNc")->trigger(); // a second click keeps it checked
    EXPECT_EQ(Opt.SaveFormat, kSaveSubsetNc);
    EXPECT_EQ(marks(), (std::vector<bool>{true, false, false, false, false, false}));

    // A window loaded with a format stored shows that one.
    UnloadOrderFrm();
    Opt.SaveFormat = kSaveTimeSer;
    OrderFrm& again = order();
    EXPECT_TRUE(entry(again, "asTimeSerText")->isChecked());
    EXPECT_FALSE(entry(again, "asOriginalNc")->isChecked());
}

TEST_F(SaveFlowTest, ANewSubsetIsWrittenRecordedAndOffered) {
    loadGrid();
    choose({"temp", "sal"}, gridRows());
    order().Text2->setText(qtText(dir.file("start.nc")));
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kNo}; // "Continue"
    saveClick();
    EXPECT_EQ(messages(), Strings{});
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].request.filter, kNcFilter);
    EXPECT_EQ(ui.fileDialogs[0].request.fileName, "start.nc");
    NcRead r(out);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.dims(), (Strings{"time*=5", "depth=2", "lat=3", "lon=8"}));
    EXPECT_EQ(localNc(), out);
    EXPECT_EQ(programText(order().Text2->text()), out);
    ASSERT_EQ(ui.shortBoxes.size(), 1u);
    const auto& box = ui.shortBoxes[0];
    EXPECT_EQ(box.caption, "Successful Sub-setting");
    EXPECT_EQ(box.text, "File made:\r\r\n\r\nfile   : " + out);
    EXPECT_EQ((Strings{box.button1, box.button2, box.button3}), (Strings{"Load", "Continue", ""}));
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(IsBusy());

    // The window saved, in "subsetpara".
    EXPECT_EQ(subsetKey("file 1"), grid);
    EXPECT_EQ(subsetKey("Start Time"), "1990 1 1 6 0"); // the reading trims the leading blank
    EXPECT_NE(readFile(Opt.IniFile).find("Start Time= 1990 1 1 6 0"), std::string::npos);
    EXPECT_EQ(subsetKey("End Time"), "1990 1 2 6 0");
    EXPECT_EQ(subsetKey("time"), "5 1 5 1");
    EXPECT_EQ(subsetKey("depth"), "3 1 2 2");
    EXPECT_EQ(subsetKey("lat"), "6 2 3 2");
    EXPECT_EQ(subsetKey("lon"), "8 1 8 1");
    EXPECT_EQ(subsetKey("North"), CStr(View.ViewExtent.North));
    EXPECT_EQ(subsetKey("East"), CStr(View.ViewExtent.West));
    EXPECT_EQ(subsetKey("West"), CStr(View.ViewExtent.East));
    // "Continue": the dataset stays.
    QCoreApplication::processEvents();
    EXPECT_EQ(Data.clsNC->FName(1), grid);
}

// An existing target: "Cancel" or a closed box keeps everything; "Append" to a file that is no
// subset says so and keeps it; "Overwrite" replaces it only once the new one is whole.
TEST_F(SaveFlowTest, AnExistingTargetIsAskedAbout) {
    loadGrid();
    choose({"temp"}, gridRows());
    writeFile("out.nc", "the old file");
    const std::string question = "File already exists:\r\r\n\r\nfile   : " + out;
    for (const int answer : {kCancel, 0}) {
        SCOPED_TRACE(answer);
        ui.boxes.clear();
        ui.shortBoxes.clear();
        ui.fileAnswers = {out};
        ui.shortMsgAnswers = {answer};
        saveClick();
        ASSERT_EQ(ui.shortBoxes.size(), 1u);
        // The question is asked once: the dialog itself does not ask about replacing.
        ASSERT_FALSE(ui.fileDialogs.empty());
        EXPECT_FALSE(ui.fileDialogs.back().request.confirmOverwrite);
        EXPECT_EQ(ui.shortBoxes[0].caption, "Sub-setting to local file");
        EXPECT_EQ(ui.shortBoxes[0].text, question);
        EXPECT_EQ(
            (Strings{ui.shortBoxes[0].button1, ui.shortBoxes[0].button2, ui.shortBoxes[0].button3}),
            (Strings{"Append", "Overwrite", "Cancel"}));
        EXPECT_EQ(messages(), Strings{});
        EXPECT_EQ(readFile(out), "the old file");
        EXPECT_EQ(localNc(), "");
    }
    ui.shortBoxes.clear();
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kYes};
    saveClick();
    EXPECT_EQ(messages(), Strings{"[AppendNc] clsNC.Initialize&(tobeAppeded$) failed\r\n\r\n" +
                                  std::string(nc_strerror(NC_ENOTNC))});
    EXPECT_EQ(readFile(out), "the old file");
    EXPECT_EQ(ui.shortBoxes.size(), 1u); // the question, and no success box

    // Overwrite with a row that cuts nothing: refused before the file is touched.
    ui.boxes.clear();
    order().Text5[2]->setText(qtText("7"));
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kNo};
    saveClick();
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1], "[Saving to local file] SubSetNcDomain() failed");
    EXPECT_EQ(readFile(out), "the old file");
    EXPECT_EQ(localNc(), out);

    ui.boxes.clear();
    order().Text5[2]->setText(qtText("2"));
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kNo, kNo};
    saveClick();
    EXPECT_EQ(messages(), Strings{});
    EXPECT_TRUE(NcRead(out).ok());
    EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "grid.nc", "out.nc"}));
}

TEST_F(SaveFlowTest, AnOpenDatasetIsNeverTheTarget) {
    loadGrid();
    choose({"temp"}, gridRows());
    const std::string before = readFile(grid);
    for (const std::string& spelling : {grid, dir.file("./grid.nc")}) {
        ui.boxes.clear();
        ui.fileAnswers = {spelling};
        saveClick();
        EXPECT_EQ(messages(),
                  Strings{"[Saving to local file] This file is one of the open datasets; choose "
                          "another name:\r\n\r\nfile   : " +
                          spelling});
        EXPECT_TRUE(ui.shortBoxes.empty());
        EXPECT_TRUE(readFile(grid) == before);
        EXPECT_EQ(localNc(), "");
    }
}

// A FIFO or a device chosen as the target is refused at once, before any question; the save
// never waits on it nor puts a file in its place.
TEST_F(SaveFlowTest, AFifoOrADeviceIsNeverTheTarget) {
    loadGrid();
    choose({"temp"}, gridRows());
    const std::string fifo = dir.file("pipe.nc");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string(kEndlessDevice)}) {
        SCOPED_TRACE(path);
        ui.boxes.clear();
        ui.fileAnswers = {path};
        ReturnsWithin(std::chrono::seconds(1), "the save", [&] { saveClick(); });
        EXPECT_EQ(messages(), Strings{"[Saving to local file] The file could not be written:\r\n" +
                                      path + "\r\n\r\nPath/File access error"});
        EXPECT_TRUE(ui.shortBoxes.empty());
        EXPECT_EQ(localNc(), "");
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(folderNames(dir.path()), (Strings{"Pelorin.ini", "grid.nc", "pipe.nc"}));
}

TEST_F(SaveFlowTest, PicksOfOtherDimensionsAreRefused) {
    loadGrid();
    choose({"temp", "mask"});
    saveClick();
    EXPECT_EQ(messages(), Strings{"Only variables with the exact same array/dimension\r\n"
                                  "configurations can be saved a time.\r\n\r\nPlease reseclect"});
    EXPECT_TRUE(ui.fileDialogs.empty());
}

// Formats whose writers are still to come say so before any dialog; the CSC format makes its
// checks, takes the target and writes nothing.
TEST_F(SaveFlowTest, FormatsWithoutAWriterSaySo) {
    loadGrid();
    choose({"temp"}, gridRows());
    for (const Long format : {kSaveXyuvText}) {
        SCOPED_TRACE(format);
        ui.boxes.clear();
        Opt.SaveFormat = format;
        saveClick();
        EXPECT_EQ(messages(), Strings{kFormatNotAvailableText});
        EXPECT_TRUE(ui.fileDialogs.empty());
    }

    Opt.SaveFormat = kSaveCsc;
    ui.boxes.clear();
    saveClick();
    EXPECT_EQ(messages(),
              Strings{"You need to pick a pair of U and V items:\r\n\r\nPlease re-seclect"});
    ui.boxes.clear();
    choose({"temp", "sal"}, gridRows());
    const std::string csc = dir.file("out.CSC");
    ui.fileAnswers = {csc};
    saveClick();
    EXPECT_EQ(messages(), Strings{"[To_Csc] this part not written"});
    EXPECT_EQ(ui.fileDialogs.back().request.filter,
              "Orv CSC (ASCII) file(*.CSC)|*.CSC|All files(*.*)|*.*");
    EXPECT_FALSE(std::filesystem::exists(csc));
    EXPECT_EQ(localNc(), csc);
}

// "Append" to a subset file adds the picks in the cut the file records, and the window kept in
// "subsetpara" is that cut.
TEST_F(SaveFlowTest, AppendAddsThePicksInTheFilesCut) {
    loadGrid();
    choose({"temp"}, gridRows());
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kNo};
    saveClick();
    ASSERT_EQ(messages(), Strings{});
    choose({"sal"}, {{{1, 5, 1}}, {{1, 3, 1}}, {{1, 6, 1}}, {{1, 8, 1}}});
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kYes, kNo}; // "Append", then "Continue"
    saveClick();
    EXPECT_EQ(messages(), Strings{});
    ASSERT_EQ(ui.shortBoxes.size(), 3u);
    EXPECT_EQ(ui.shortBoxes[2].caption, "Successful Sub-setting");
    NcRead r(out);
    EXPECT_EQ(r.vars().back(), "sal(5:time,depth,lat,lon)");
    EXPECT_TRUE(SameValues(r.values("sal"),
                           NcRead(grid).values("sal", {0, 0, 1, 0}, {5, 2, 3, 8}, {1, 2, 2, 1})));
    EXPECT_EQ(subsetKey("depth"), "3 1 2 2");
    EXPECT_EQ(subsetKey("lat"), "6 2 3 2");
    EXPECT_FALSE(IsBusy());
}

// A boundary-fitted grid is saved by its own writer; "Append" to its subset is not available
// and leaves the file as it was.
TEST_F(SaveFlowTest, ABoundaryFittedSubsetIsWrittenWholeAndNeverAppended) {
    load(sample("bfg_coastal.nc"));
    choose({"zeta"}, {{{1, 25, 1}}, {{1, 24, 1}}, {{1, 40, 1}}});
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kNo};
    saveClick();
    EXPECT_EQ(messages(), Strings{});
    ASSERT_EQ(ui.shortBoxes.size(), 1u);
    EXPECT_EQ(ui.shortBoxes[0].caption, "Successful Sub-setting");
    EXPECT_EQ(NcRead(out).vars().back(), "zeta(5:time,ypos,xpos)");

    const std::string before = readFile(out);
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kYes};
    saveClick();
    EXPECT_EQ(messages(), Strings{kBfgAppendNotAvailableText});
    EXPECT_TRUE(readFile(out) == before);
    EXPECT_EQ(ui.shortBoxes.size(), 2u);
}

// A mesh has no subset writer: the format is refused before the user picks a file.
TEST_F(SaveFlowTest, AMeshIsRefusedBeforeTheFileDialog) {
    for (const char* mesh : {"fe_mesh.nc", "fv_mesh.nc"}) {
        SCOPED_TRACE(mesh);
        load(sample(mesh));
        choose({"zeta"});
        ui.boxes.clear();
        ui.fileAnswers = {out};
        saveClick();
        EXPECT_EQ(messages(), Strings{kFormatNotAvailableText});
        EXPECT_TRUE(ui.fileDialogs.empty());
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

// "Load" makes the new file the dataset, once the save has ended: the command has returned
// and let go of the old dataset before the load replaces it and closes the windows.
TEST_F(SaveFlowTest, LoadingTheNewFileWaitsForTheSaveToEnd) {
    loadGrid();
    PicFormForm().show();
    choose({"temp"}, gridRows());
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kYes};
    saveClick();
    EXPECT_EQ(messages(), Strings{});
    EXPECT_EQ(Data.clsNC->FName(1), grid); // not yet
    QCoreApplication::processEvents();
    ASSERT_NE(Data.clsNC, nullptr);
    EXPECT_EQ(Data.clsNC->FName(1), out);
    EXPECT_EQ(Opt.URL(0), out);
    EXPECT_EQ(mainForm().comboText(), out);
    EXPECT_EQ(std::count(Opt.URL.data(), Opt.URL.data() + Opt.URL.size(), out), 2); // 0 and 1
    EXPECT_FALSE(PicFormLoaded() && PicFormForm().isVisible());
    EXPECT_FALSE(OrderFrmLoaded());
}

// "Subset from Ini" brings back the view saved, in either projection, and the time window;
// without a window stored, or with one that is not valid, it says so and changes nothing.
TEST_F(SaveFlowTest, SubsetFromIniBringsBackTheSavedWindow) {
    loadGrid();
    View.ViewExtent = ViewRec{100, 120, -10, 10};
    order().SubsetfromIni->trigger();
    EXPECT_EQ(messages(), Strings{"[LoadSubsetExtent] The settings file holds no subset window:"
                                  "\r\n\r\nSave a subset first; its window is kept in section "
                                  "\"subsetpara\"."});
    EXPECT_EQ(View.ViewExtent.West, 100);

    choose({"temp"}, gridRows());
    ui.boxes.clear();
    ui.fileAnswers = {out};
    ui.shortMsgAnswers = {kNo};
    saveClick();
    ASSERT_EQ(messages(), Strings{});
    EXPECT_EQ(subsetKey("North"), "10");
    EXPECT_EQ(subsetKey("South"), "-10");
    EXPECT_EQ(subsetKey("East"), "100");
    EXPECT_EQ(subsetKey("West"), "120");

    View.ViewExtent = ViewRec{0, 1, 2, 3};
    const Long zooms = View.ZoomIndex;
    order().SubsetfromIni->trigger();
    EXPECT_EQ(messages(), Strings{});
    EXPECT_EQ(View.ViewExtent.West, 100);
    EXPECT_EQ(View.ViewExtent.East, 120);
    EXPECT_EQ(View.ViewExtent.South, -10);
    EXPECT_EQ(View.ViewExtent.North, 10);
    EXPECT_EQ(View.ZoomIndex, zooms + 1);
    EXPECT_TRUE(SubsetWin.Dated);
    // 1990-01-01 06:00 and a day later, in minutes since 2000-01-01.
    EXPECT_EQ(SubsetWin.SubsetStartMin, -(3652 * 1440 - 360));
    EXPECT_EQ(SubsetWin.SubsetEndMin, -(3651 * 1440 - 360));
    EXPECT_EQ(SubsetWin.SubsetStartYear, 1990);
    EXPECT_EQ(SubsetWin.SubsetStartHour, 6);

    View.Projection = 1;
    order().SubsetfromIni->trigger();
    EXPECT_EQ(View.ViewExtent.West, 100 * kDegToRad);
    EXPECT_EQ(View.ViewExtent.North, 10 * kDegToRad);
    View.Projection = 0;

    const std::pair<const char*, const char*> bad[] = {
        {"Start Time", " 2000 1 1 0"}, {"End Time", " 2000 1 x 0 0"}, {"North", "north"}};
    for (const auto& [key, value] : bad) {
        SCOPED_TRACE(key);
        const std::string kept = subsetKey(key);
        PutString(key, "subsetpara", Opt.IniFile, value);
        ui.boxes.clear();
        View.ViewExtent = ViewRec{0, 1, 2, 3};
        order().SubsetfromIni->trigger();
        EXPECT_EQ(messages(), Strings{"[LoadSubsetExtent] The subset window in the settings file "
                                      "is not valid:\r\n\r\n" +
                                      std::string(key) + "=" + Trim(value)});
        EXPECT_EQ(View.ViewExtent.West, 0);
        PutString(key, "subsetpara", Opt.IniFile, " " + kept);
    }

    // A dataset without dated times stores a window that has no place on a time axis.
    PutString("Start Time", "subsetpara", Opt.IniFile, " 0 0 0 0 0");
    order().SubsetfromIni->trigger();
    EXPECT_FALSE(SubsetWin.Dated);
    EXPECT_EQ(SubsetWin.SubsetStartMin, 0);
}

TEST_F(SaveFlowTest, RecountRewritesTheRowsOfTheCursorEntry) {
    loadGrid();
    OrderFrm& f = order();
    f.setListIndex(0); // temp
    f.Text5[0]->setText(qtText("0"));
    f.Text6[0]->setText(qtText("999"));
    f.Text7[0]->setText(qtText("2"));
    f.Text5[1]->setText(qtText("1"));
    f.Text6[1]->setText(qtText("3"));
    f.Text7[1]->setText(qtText("1"));
    f.Command3->click();
    EXPECT_EQ(programText(f.Text5[0]->text()), " 1");
    EXPECT_EQ(programText(f.Text6[0]->text()), " 5");
    EXPECT_EQ(programText(f.Text3[0]->text()), " 3");
    EXPECT_EQ(programText(f.Text3[1]->text()), " 3");
    // Two bytes a value, over 3 steps, 3 levels, the 6 x 8 grid of the view.
    EXPECT_EQ(programText(f.Text8->text()), "864bytes");
}

} // namespace
