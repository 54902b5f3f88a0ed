#include "tests/viewer/section/VsectFixture.h"

#include "common/Strings.h"
#include "gui/PictureWidget.h"
#include "gui/QtText.h"
#include "gui/Twips.h"
#include "runtime/Text.h"
#include "viewer/map/SharedState.h"
#include "viewer/section/ModVsect.h"
#include "viewer/section/frmVsect.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class frmVsectTest : public VsectFixture {
protected:
    static std::string text(const QLineEdit* box) { return programText(box->text()); }
    static std::string setting(const char* key, const char* section) {
        return GetString(key, section, Opt.IniFile);
    }

    // The dataset, with the section variables temp and sal along three points.
    void readySection() {
        openDataset(WriteSectionFixture(dir.file("sect.nc")));
        sectionVars({"temp", "sal"});
        sectionPoints({{1, 1}, {3, 2}, {4, 3}});
        profilePanels(2);
    }

    static std::vector<std::string> folderNames(const std::string& folder) {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

} // namespace

TEST_F(frmVsectTest, ThePlaceComesFromTheSettingsWithinTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const float screenW = static_cast<float>(twipsFromPixels(screen.width()));
    const float screenH = static_cast<float>(twipsFromPixels(screen.height()));
    struct Case {
        std::string keys;
        float top, left, width, height;
    };
    const Case cases[] = {
        {"", 0, 0, 9000, 3000},
        {"Vsect top=600\r\nVsect left=900\r\nVsect width=7500\r\nVsect height=4500\r\n", 600, 900,
         7500, 4500},
        {"Vsect top=-15\r\nVsect left=-300\r\nVsect width=150\r\nVsect height=50\r\n", 0, 0, 200,
         100},
        {"Vsect top=9999999\r\nVsect left=9999999\r\n", screenH, screenW, 9000, 3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        useSettings("[position]\r\n" + c.keys);
        GetMyLastPosition();
        EXPECT_FLOAT_EQ(VsectLastPosition.top, c.top);
        EXPECT_FLOAT_EQ(VsectLastPosition.left, c.left);
        EXPECT_FLOAT_EQ(VsectLastPosition.width, c.width);
        EXPECT_FLOAT_EQ(VsectLastPosition.height, c.height);
    }
    // The window takes the place at its load.
    useSettings("[position]\r\n" + cases[1].keys);
    const frmVsect& f = frmVsectForm();
    EXPECT_EQ(programText(f.windowTitle()), "Vertical Section");
    EXPECT_FLOAT_EQ(f.TopTwips(), 600);
    EXPECT_FLOAT_EQ(f.LeftTwips(), 900);
    EXPECT_FLOAT_EQ(f.WidthTwips(), 7500);
    EXPECT_FLOAT_EQ(f.HeightTwips(), 4500);
}

TEST_F(frmVsectTest, OptionsAreKeptAcrossUnloadAndLoad) {
    useSettings("[parameters]\r\nConLinThk=0\r\nConLinCol=255\r\ncol_opt=3\r\n"
                "ifDrawHorizontalAxis=1\r\nifDrawContour=1\r\n");
    Scale.col_opt = 1;
    Scale.ColorCode = 20;
    frmVsect& f = frmVsectForm();
    EXPECT_EQ(Vsect.ConLinThk, 2); // a thickness below 1 becomes 2
    EXPECT_EQ(Vsect.ConLinCol, 255);
    EXPECT_EQ(Vsect.col_opt, 3);
    EXPECT_EQ(Vsect.ColorCode, 30);
    EXPECT_TRUE(f.Option1[3]->isChecked());
    EXPECT_TRUE(f.DrawHorizontalAxis->isChecked());
    EXPECT_FALSE(f.DrawVerticalAxis->isChecked());
    EXPECT_TRUE(f.ContourLineOn->isChecked());
    EXPECT_FALSE(f.ContourLineOff->isChecked());
    EXPECT_EQ(Vsect.VsectMode, 1);
    // The map's colour scheme is the map's.
    EXPECT_EQ(Scale.col_opt, 1);
    EXPECT_EQ(Scale.ColorCode, 20);

    // The user changes every option through the window.
    ui.inputAnswers.push_back(std::string("5 pixels"));
    f.ContourLineThickness->trigger();
    ASSERT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].prompt, "Specify Contour Line Thickness in pixels");
    EXPECT_EQ(ui.inputs[0].defaultValue, "2");
    ui.colorAnswers.push_back(Long{0x00FF00});
    f.ContourLineColor->trigger();
    f.ContourLineOn->trigger(); // on to off
    EXPECT_FALSE(f.ContourLineOn->isChecked());
    EXPECT_TRUE(f.ContourLineOff->isChecked());
    f.DrawHorizontalAxis->trigger();
    f.DrawVerticalAxis->trigger();
    EXPECT_FALSE(f.DrawHorizontalAxis->isChecked());
    EXPECT_TRUE(f.DrawVerticalAxis->isChecked());
    f.Option1[4]->click();
    f.move(wholePixelsFromTwips(1500), wholePixelsFromTwips(750));
    EXPECT_EQ(Vsect.ConLinThk, 5);
    EXPECT_EQ(Vsect.ConLinCol, 0x00FF00);
    EXPECT_EQ(Vsect.ifDrawContour, 0);
    EXPECT_EQ(Vsect.ifDrawHorizontalAxis, 0);
    EXPECT_EQ(Vsect.ifDrawVerticalAxis, 1);
    EXPECT_EQ(Vsect.col_opt, 4);

    UnloadfrmVsect();
    EXPECT_FALSE(frmVsectLoaded());
    EXPECT_EQ(setting("ConLinThk", "parameters"), "5");
    EXPECT_EQ(setting("ConLinCol", "parameters"), "65280");
    EXPECT_EQ(setting("col_opt", "parameters"), "4");
    EXPECT_EQ(setting("ifDrawHorizontalAxis", "parameters"), "0");
    EXPECT_EQ(setting("ifDrawVerticalAxis", "parameters"), "1");
    EXPECT_EQ(setting("ifDrawContour", "parameters"), "0");
    // The place in Str form, top, left, height, width.
    const std::string file = readFile(Opt.IniFile);
    std::size_t last = 0;
    for (const char* line :
         {"Vsect top= 750", "Vsect left= 1500", "Vsect height= 3000", "Vsect width= 9000"}) {
        const std::size_t at = file.find(line);
        ASSERT_NE(at, std::string::npos) << line << "\n" << file;
        EXPECT_GT(at, last) << line;
        last = at;
    }

    Vsect.Reset();
    frmVsect& again = frmVsectForm();
    EXPECT_EQ(Vsect.ConLinThk, 5);
    EXPECT_EQ(Vsect.ConLinCol, 0x00FF00);
    EXPECT_EQ(Vsect.ifDrawContour, 0);
    EXPECT_EQ(Vsect.ifDrawVerticalAxis, 1);
    EXPECT_TRUE(again.Option1[4]->isChecked());
    EXPECT_FALSE(again.ContourLineOn->isChecked());
    EXPECT_FLOAT_EQ(again.LeftTwips(), 1500);

    // A cancelled thickness box and colour dialog give 0; the next load makes the thickness 2.
    again.ContourLineThickness->trigger();
    again.ContourLineColor->trigger();
    EXPECT_EQ(Vsect.ConLinThk, 0);
    EXPECT_EQ(Vsect.ConLinCol, 0);
    UnloadfrmVsect();
    frmVsectForm();
    EXPECT_EQ(Vsect.ConLinThk, 2);
    EXPECT_TRUE(messages().empty());
}

TEST_F(frmVsectTest, TheListReadsAVariableOnceAndTheBoxesEditTheCurrentOne) {
    readySection();
    Vsect.CurVsectVar = 0;
    frmVsect& f = frmVsectForm();
    // The load picks the first variable and reads it.
    EXPECT_EQ(Vsect.CurVsectVar, 1);
    ASSERT_EQ(f.Combo1->count(), 2);
    EXPECT_EQ(programText(f.Combo1->itemText(1)), "sal");
    EXPECT_EQ(programText(f.Frame1->title()), "temp (degC)");
    const VsectVarRec& temp = Vsect.VsectVars(1);
    EXPECT_FLOAT_EQ(temp.vMax, VsectValue(2, 3, 2, 3));
    EXPECT_FLOAT_EQ(temp.vMin, 0);
    EXPECT_EQ(text(f.Text1[0]), Format(temp.vMax, "#.000"));
    EXPECT_EQ(text(f.Text1[2]), Format(temp.high, "#.000"));
    EXPECT_EQ(text(f.Text1[4]), Format(temp.step, "#.000"));
    EXPECT_FLOAT_EQ(Vsect.VsectValues(2, 1, 1), VsectValue(0, 0, 1, 2));

    // A variable not read yet is read and made current at its click.
    f.Combo1->setCurrentIndex(1);
    frmVsect_Combo1_Click();
    EXPECT_EQ(Vsect.CurVsectVar, 2);
    EXPECT_FLOAT_EQ(Vsect.VsectValues(2, 1, 1), VsectValue(0, 0, 1, 2) + 0.5f);
    EXPECT_EQ(programText(f.Frame1->title()), "sal (psu)");

    // Back to a variable read before: the boxes only; it becomes current, and is read again,
    // once the list loses the focus.
    f.Combo1->setCurrentIndex(0);
    frmVsect_Combo1_Click();
    EXPECT_EQ(Vsect.CurVsectVar, 2);
    EXPECT_EQ(programText(f.Frame1->title()), "temp (degC)");
    EXPECT_FLOAT_EQ(Vsect.VsectValues(2, 1, 1), VsectValue(0, 0, 1, 2) + 0.5f);
    frmVsect_Combo1_LostFocus();
    EXPECT_EQ(Vsect.CurVsectVar, 1);
    EXPECT_FLOAT_EQ(Vsect.VsectValues(2, 1, 1), VsectValue(0, 0, 1, 2));

    // Typing into the plot row sets the current record at each key release; the data row
    // changes nothing.
    f.Text1[4]->setText(qtText("12.5"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_5, Qt::NoModifier, qtText("5"));
    QCoreApplication::sendEvent(f.Text1[4], &release);
    EXPECT_FLOAT_EQ(Vsect.VsectVars(1).step, 12.5f);
    f.Text1[2]->setText(qtText("77"));
    frmVsect_Text1_KeyUp(2);
    EXPECT_FLOAT_EQ(Vsect.VsectVars(1).high, 77);
    const float vMax = Vsect.VsectVars(1).vMax;
    f.Text1[0]->setText(qtText("1"));
    frmVsect_Text1_KeyUp(0);
    EXPECT_FLOAT_EQ(Vsect.VsectVars(1).vMax, vMax);
    EXPECT_TRUE(messages().empty());
}

TEST_F(frmVsectTest, TheButtonsDrawAndTheResizeRedraws) {
    readySection();
    Vsect.VsectLengthKm = 300;
    frmVsect& f = frmVsectForm();
    f.show(); // a hidden window hears of its resizes only once shown
    Picture& pic = f.Picture1->picture();
    Picture& bar = f.Picture2->picture();
    pic.setRecording(true);
    bar.setRecording(true);

    f.Command1[0]->click();
    EXPECT_EQ(Vsect.VsectMode, 2);
    EXPECT_FALSE(recordsOf(pic, DrawKind::FilledBox).empty());
    EXPECT_EQ(recordsOf(bar, DrawKind::FilledBox).size(), 31u);
    // The bar's top value went to its box without drawing the bar once more.
    EXPECT_EQ(text(f.Text2), Str(Vsect.VsectVars(1).high));
    EXPECT_EQ(recordsOf(bar, DrawKind::Cls).size(), 1u);

    // A resize clears the picture and draws the section again at the new size.
    pic.clearRecords();
    f.resize(700, 400);
    ASSERT_FALSE(pic.records().empty());
    EXPECT_EQ(pic.records().front().kind, DrawKind::Cls);
    EXPECT_FALSE(recordsOf(pic, DrawKind::FilledBox).empty());
    EXPECT_EQ(pic.width(), 700);

    // The profiles: one panel per path vertex.
    pic.clearRecords();
    f.Command1[1]->click();
    EXPECT_EQ(Vsect.VsectMode, 1);
    EXPECT_EQ(recordsOf(pic, DrawKind::Box).size(), 2u);

    // The colour order button, and a value typed for the bar.
    bar.clearRecords();
    f.Command2->click();
    EXPECT_EQ(Vsect.ColorReverse, 1);
    EXPECT_EQ(programText(f.Command2->text()), ">");
    f.Command2->click();
    EXPECT_EQ(Vsect.ColorReverse, 0);
    EXPECT_EQ(programText(f.Command2->text()), "<");
    EXPECT_EQ(recordsOf(bar, DrawKind::FilledBox).size(), 62u);
    bar.clearRecords();
    f.Text2->setText(qtText("31"));
    EXPECT_FLOAT_EQ(Vsect.ColorBarMax, 31);
    EXPECT_EQ(texts(bar).back(), "31.>");
    bar.clearRecords();
    f.Text2->setText(qtText("0"));
    EXPECT_TRUE(bar.records().empty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(frmVsectTest, TheBitmapIsSavedWholeOrNotAtAll) {
    readySection();
    frmVsect& f = frmVsectForm();
    f.Command1[0]->click();

    const std::string good = dir.file("section.bmp");
    ui.fileAnswers.push_back(good);
    f.SaveBmp->trigger();
    EXPECT_TRUE(messages().empty());
    QImage saved(QString::fromStdString(good), "BMP");
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), f.Picture1->picture().image());
    EXPECT_EQ(setting("BmpFile", "RUN"), good);
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].request.filter, "Bmp file(*.bmp)|*.bmp");

    // A file that cannot grow beyond a few hundred bytes: the save fails, says so, and the
    // old file stays as it was, with nothing else beside it.
    const std::string old = writeFile("old.bmp", "the old picture");
    const std::vector<std::string> before = folderNames(dir.path().string());
    ui.fileAnswers.push_back(old);
    {
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        rlimit small = limit;
        small.rlim_cur = 300;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        f.SaveBmp->trigger();
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previous);
    }
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.rfind("[SaveBmp] Unable to write " + old + "\r\n", 0), 0u)
        << ui.boxes[0].text;
    EXPECT_EQ(readFile(old), "the old picture");
    EXPECT_EQ(folderNames(dir.path().string()), before);

    // The open dataset is never replaced; a cancelled dialog saves nothing.
    ui.boxes.clear();
    ui.fileAnswers.push_back(Data.clsNC->FName());
    const std::string dataset = readFile(Data.clsNC->FName());
    f.SaveBmp->trigger();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("one of the open datasets"), std::string::npos);
    EXPECT_EQ(readFile(Data.clsNC->FName()), dataset);
    ui.boxes.clear();
    f.SaveBmp->trigger();
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(frmVsectTest, WithoutSectionVariablesTheWindowOpensEmpty) {
    frmVsect& f = frmVsectForm();
    EXPECT_EQ(f.Combo1->count(), 0);
    f.Command1[0]->click();
    f.Command1[1]->click();
    f.Text1[2]->setText(qtText("5"));
    frmVsect_Text1_KeyUp(2);
    frmVsect_Combo1_LostFocus();
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(f.Picture1->picture().image().pixelColor(10, 10) == QColor(Qt::white));
}
