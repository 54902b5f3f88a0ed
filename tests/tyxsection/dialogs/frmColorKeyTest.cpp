// The colour-key editor: its rows from the key and back, inserting and deleting, the automatic
// division, the ramp, the import, and the scrolling of long keys.
#include "tyxsection/dialogs/frmColorKey.h"
#include "gui/QtText.h"
#include "gui/Twips.h"
#include "runtime/Color.h"
#include "runtime/Text.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "tyxsection/ColorKey.h"
#include "tyxsection/dialogs/DialogKit.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr Long kRed = 0x0000FF;
constexpr Long kGreen = 0x00FF00;
constexpr Long kBlue = 0xFF0000;

struct Division {
    std::string low, high;
    Long color;
    bool operator==(const Division&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Division& d) {
    return os << d.low << " - " << d.high << " #" << std::hex << d.color << std::dec;
}

template <class W> W* child(QWidget& parent, const std::string& name) {
    W* w = parent.findChild<W*>(qtText(name));
    if (!w) throw std::runtime_error("no control " + name);
    return w;
}

void click(QWidget& parent, const std::string& name) {
    child<QPushButton>(parent, name)->click();
}

void type(QWidget& parent, const std::string& name, const std::string& text) {
    child<QLineEdit>(parent, name)->setText(qtText(text));
}

class frmColorKeyTest : public ::testing::Test {
protected:
    void SetUp() override { testApp(); }

    void key(const std::vector<std::vector<float>>& divisions) {
        NewColorKey(m);
        for (const auto& d : divisions)
            AddColorKey(m, d[0], d[1], static_cast<Long>(d[2]));
    }

    // The editor loaded, as Show loads it, without its modal loop.
    std::unique_ptr<frmColorKey> editor() {
        auto e = std::make_unique<frmColorKey>(m);
        e->Form_Load();
        return e;
    }

    static std::vector<Division> rowsOf(const frmColorKey& e) {
        std::vector<Division> out;
        for (const auto& r : e.rows())
            out.push_back(
                {programText(r.low->text()), programText(r.high->text()), r.color->Color()});
        return out;
    }

    std::vector<Division> keyRows() const {
        std::vector<Division> out;
        const ColorKeyRec& k = m.colour.ColorKey;
        for (Long i = 1; i <= k.count; ++i)
            out.push_back({CStr(k.low(i)), CStr(k.high(i)), k.color(i)});
        return out;
    }

    TempDir dir;
    InstalledScriptedUi ui;
    TyxModel m;
};

} // namespace

TEST_F(frmColorKeyTest, OpensWithTheKeyAndScrollsLongOnes) {
    key({{0, 1.5f, kRed}, {1.5f, 0.1f, kGreen}, {-2, 3e20f, kBlue}});
    auto e = editor();
    EXPECT_EQ(programText(e->windowTitle()), "Edit Legend");
    EXPECT_EQ(rowsOf(*e), (std::vector<Division>{
                              {"0", "1.5", kRed}, {"1.5", "0.1", kGreen}, {"-2", "3E+20", kBlue}}));
    EXPECT_TRUE(e->VScroll1->isHidden());
    EXPECT_EQ(e->WindowWidthTwips(), 4500);
    EXPECT_EQ(e->width(), 300);
    // Rows lie 375 twips apart.
    EXPECT_EQ(e->rows()[2].low->y(), wholePixelsFromTwips(30 + 750));
    EXPECT_EQ(child<QPushButton>(*e, "cmdDelete(2)")->toolTip().toStdString(), "Delete Division");
    EXPECT_EQ(child<QPushButton>(*e, "cmdAdd(1)")->text().toStdString(), "+");

    std::vector<std::vector<float>> eleven;
    for (int i = 0; i < 11; ++i)
        eleven.push_back({static_cast<float>(i), static_cast<float>(i + 1), 0});
    key(eleven);
    auto longer = editor();
    ASSERT_EQ(longer->RowCount(), 11);
    EXPECT_FALSE(longer->VScroll1->isHidden());
    EXPECT_EQ(longer->VScroll1->maximum(), 27);
    EXPECT_EQ(longer->WindowWidthTwips(), 4770);
    longer->VScroll1->setValue(20);
    EXPECT_EQ(longer->Frame2->y(), wholePixelsFromTwips(-200));
    longer->VScroll1->setValue(3);
    EXPECT_EQ(longer->Frame2->y(), wholePixelsFromTwips(-30));
    // Back to ten rows: no scroll bar, the rows at the top again.
    longer->cmdDelete_Click(0);
    EXPECT_TRUE(longer->VScroll1->isHidden());
    EXPECT_EQ(longer->Frame2->y(), 0);
    EXPECT_EQ(longer->WindowWidthTwips(), 4500);
}

TEST_F(frmColorKeyTest, AnEmptyKeyOpensWithOneRowAndOkStoresIt) {
    for (Long count : {0, -1}) {
        key({});
        m.colour.ColorKey.count = count;
        auto e = editor();
        EXPECT_EQ(rowsOf(*e), (std::vector<Division>{{"0", "0", ButtonFaceColor()}})) << count;
        e->cmdOK_Click();
        EXPECT_EQ(e->Result, 1);
        EXPECT_EQ(keyRows(), (std::vector<Division>{{"0", "0", ButtonFaceColor()}}));
    }
}

TEST_F(frmColorKeyTest, InsertCopiesARowAndDeleteDropsOne) {
    key({{0, 1, kRed}, {1, 2, kBlue}});
    auto e = editor();
    click(*e, "cmdAdd(0)");
    EXPECT_EQ(rowsOf(*e),
              (std::vector<Division>{{"0", "1", kRed}, {"0", "1", kRed}, {"1", "2", kBlue}}));
    type(*e, "fldLowRange(1)", "0.5");
    click(*e, "cmdDelete(0)");
    EXPECT_EQ(rowsOf(*e), (std::vector<Division>{{"0.5", "1", kRed}, {"1", "2", kBlue}}));
    click(*e, "cmdDelete(1)"); // the last row's own button
    click(*e, "cmdDelete(0)"); // the only row stays
    EXPECT_EQ(rowsOf(*e), (std::vector<Division>{{"0.5", "1", kRed}}));
    // A row made again answers to its name.
    click(*e, "cmdAdd(0)");
    type(*e, "fldHighRange(1)", "7");
    EXPECT_EQ(rowsOf(*e), (std::vector<Division>{{"0.5", "1", kRed}, {"0.5", "7", kRed}}));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(frmColorKeyTest, AutoDivisionSpreadsTheRowsOverTheRange) {
    key({{1, 2, kGreen}, {2, 3, kBlue}});
    auto e = editor();
    std::vector<std::string> shown;
    ui.dialogScripts.push_back([&](QDialog& d) {
        EXPECT_EQ(programText(d.windowTitle()), "Auto Division");
        for (const char* f : {"fldMinVal", "fldMaxVal", "fldDivisions"})
            shown.push_back(programText(child<QLineEdit>(d, f)->text()));
        type(d, "fldMinVal", "0");
        type(d, "fldMaxVal", "10");
        type(d, "fldDivisions", "4");
        click(d, "cmdOK");
    });
    click(*e, "cmdAutoDiv");
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "3", "2"}));
    EXPECT_EQ(rowsOf(*e), (std::vector<Division>{{"0", "2.5", kGreen},
                                                 {"2.5", "5", kBlue},
                                                 {"5", "7.5", kGreen},
                                                 {"7.5", "10", kGreen}}));

    // Downwards ranges still climb from the minimum.
    e->AutoDivide(10, 0, 2);
    EXPECT_EQ(rowsOf(*e), (std::vector<Division>{{"10", "15", kGreen}, {"15", "20", kBlue}}));

    // No divisions at all is refused, and the rows stay.
    ui.dialogScripts.push_back([&](QDialog& d) {
        type(d, "fldDivisions", "0.4");
        click(d, "cmdOK");
        EXPECT_EQ(ui.boxes.size(), 1u);
        EXPECT_TRUE(d.result() == 0); // still open
        click(d, "cmdCancel");
    });
    click(*e, "cmdAutoDiv");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "The number of divisions must be from 1 to 256.");
    EXPECT_EQ(rowsOf(*e).size(), 2u);
    e->AutoDivide(0, 1, 0);
    EXPECT_EQ(rowsOf(*e).size(), 2u);

    // The bound is stated in the dialog, and a number beyond it is refused the same way: a
    // number the editor cannot show at once never reaches it.
    ui.boxes.clear();
    ui.dialogScripts.push_back([&](QDialog& d) {
        auto* bound = d.findChild<QLabel*>("lblBound");
        ASSERT_NE(bound, nullptr);
        EXPECT_EQ(bound->text().toStdString(), "(1 to 256)");
        type(d, "fldDivisions", "100000");
        click(d, "cmdOK");
        EXPECT_TRUE(d.result() == 0);
        type(d, "fldDivisions", "256");
        click(d, "cmdOK");
    });
    click(*e, "cmdAutoDiv");
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(rowsOf(*e).size(), 256u);
    e->AutoDivide(0, 1, 257);
    EXPECT_EQ(rowsOf(*e).size(), 256u);
    e->AutoDivide(10, 20, 2);
    // Closed without a button: nothing either.
    click(*e, "cmdAutoDiv");
    EXPECT_EQ(rowsOf(*e), (std::vector<Division>{{"10", "15", kGreen}, {"15", "20", kBlue}}));
}

TEST_F(frmColorKeyTest, TheRampStepsFromTheFirstColourTowardsTheLast) {
    key({{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}});
    auto e = editor();
    ui.dialogScripts.push_back([](QDialog& d) { click(d, "cmdOK"); });
    click(*e, "cmdColorRamp");
    std::vector<Long> colours;
    for (const Division& d : rowsOf(*e))
        colours.push_back(d.color);
    EXPECT_EQ(colours, (std::vector<Long>{RGB(255, 0, 0), RGB(204, 0, 51), RGB(153, 0, 102),
                                          RGB(102, 0, 153), RGB(51, 0, 204)}));

    // Cancel, or the close button, leaves the colours.
    ui.dialogScripts.push_back([](QDialog& d) { click(d, "cmdCancel"); });
    click(*e, "cmdColorRamp");
    click(*e, "cmdColorRamp");
    EXPECT_EQ(rowsOf(*e)[1].color, RGB(204, 0, 51));

    // Steps that overshoot stay within the channel; one row takes the first colour.
    key(std::vector<std::vector<float>>(6, {0, 1, 0}));
    auto six = editor();
    six->ApplyColorRamp(RGB(9, 246, 0), RGB(0, 255, 0)); // steps of -2 and 2 for 1.5
    EXPECT_EQ(rowsOf(*six)[4].color, RGB(1, 254, 0));
    EXPECT_EQ(rowsOf(*six)[5].color, RGB(0, 255, 0));
    key({{0, 1, 0}});
    auto one = editor();
    one->ApplyColorRamp(kRed, kBlue);
    EXPECT_EQ(rowsOf(*one)[0].color, kRed);
}

TEST_F(frmColorKeyTest, ASwatchTakesTheChosenColour) {
    key({{0, 1, kRed}});
    auto e = editor();
    ui.colorAnswers = {kGreen, std::nullopt};
    click(*e, "lblColor(0)");
    click(*e, "lblColor(0)");
    EXPECT_EQ(ui.colorDialogs, (std::vector<Long>{kRed, kGreen}));
    EXPECT_EQ(rowsOf(*e)[0].color, kGreen);
}

TEST_F(frmColorKeyTest, ImportReadsTheFileBeforeItReplacesTheRows) {
    const std::string file = dir.file("keys.kew");
    std::ofstream(file) << "<section><variable name=\"salt\"><division><low>0</low><high>1</high>"
                           "<color>1</color></division></variable><variable name=\"temp\">"
                           "<division><low>1</low><high>2</high><color>255</color></division>"
                           "<division><low>2</low><high>3</high><color>65280</color></division>"
                           "<division><low>3</low><high>4.5</high><color>0</color></division>"
                           "<division><low>-1</low><high>0</high><color>16777215</color>"
                           "</division></variable><variable name=\"bad\"><division><low>5</low>"
                           "<high>6</high><color>1</color></division><division><low>6</low>"
                           "</division></variable></section>";
    key(std::vector<std::vector<float>>(7, {9, 10, kGreen}));
    auto e = editor();
    const auto before = rowsOf(*e);

    std::vector<std::string> listed;
    const auto choose = [&](const std::string& name) {
        return [&, name](QDialog& d) {
            EXPECT_EQ(programText(d.windowTitle()), "Available Variables");
            auto* list = child<QListWidget>(d, "lstVarNames");
            listed.clear();
            for (int i = 0; i < list->count(); ++i)
                listed.push_back(programText(list->item(i)->text()));
            const auto found = list->findItems(qtText(name), Qt::MatchExactly);
            if (!found.isEmpty()) list->setCurrentItem(found.front());
            click(d, "cmdOK");
        };
    };
    // Failures keep every row: the variable's divisions unreadable, no such variable, the
    // choice cancelled, the file dialog cancelled, a file that is not there.
    ui.fileAnswers = {file, file, file, "", dir.file("gone.kew")};
    ui.dialogScripts = {choose("bad"), choose("nothing"),
                        [](QDialog& d) { click(d, "cmdCancel"); }};
    for (int i = 0; i < 5; ++i)
        click(*e, "cmdImport");
    EXPECT_EQ(listed, (std::vector<std::string>{"salt", "temp", "bad"}));
    EXPECT_EQ(rowsOf(*e), before);
    EXPECT_EQ(ui.fileDialogs.size(), 5u);
    EXPECT_EQ(ui.fileDialogs[0].request.filter, "KEW Files(*.kew)|*.kew");
    EXPECT_TRUE(ui.boxes.empty());

    // A file whose variable has no name opens no choice.
    const std::string unnamed = dir.file("unnamed.kew");
    std::ofstream(unnamed) << "<section><variable/></section>";
    ui.fileAnswers = {unnamed};
    const int shown = ui.modalDialogs;
    click(*e, "cmdImport");
    EXPECT_EQ(ui.modalDialogs, shown);
    EXPECT_EQ(rowsOf(*e), before);

    // The variable's four divisions replace the seven rows.
    ui.fileAnswers = {file};
    ui.dialogScripts = {choose("temp")};
    click(*e, "cmdImport");
    EXPECT_EQ(rowsOf(*e),
              (std::vector<Division>{
                  {"1", "2", 255}, {"2", "3", 65280}, {"3", "4.5", 0}, {"-1", "0", 16777215}}));
    EXPECT_TRUE(e->VScroll1->isHidden());
}

TEST_F(frmColorKeyTest, OkRefusesBoundsBeyondASingleAndCancelKeepsTheKey) {
    key({{0, 1, kRed}, {1, 2, kBlue}});
    auto e = editor();
    type(*e, "fldHighRange(1)", "1e39");
    click(*e, "cmdOK");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Row 2: 1e39 lies outside the range of the key's values "
                                "(-3.402823E+38 to 3.402823E+38).");
    EXPECT_EQ(e->Result, 0);
    EXPECT_EQ(keyRows(), (std::vector<Division>{{"0", "1", kRed}, {"1", "2", kBlue}}));
    type(*e, "fldLowRange(0)", "-1e400"); // beyond a Double too
    type(*e, "fldHighRange(1)", "3.4e38");
    click(*e, "cmdOK");
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(e->Result, 0);

    type(*e, "fldLowRange(0)", "-0.5");
    click(*e, "cmdAdd(1)");
    click(*e, "cmdOK");
    EXPECT_EQ(e->Result, 1);
    EXPECT_EQ(keyRows(),
              (std::vector<Division>{
                  {"-0.5", "1", kRed}, {"1", "3.4E+38", kBlue}, {"1", "3.4E+38", kBlue}}));

    // Edits followed by Cancel leave the key as it was.
    auto again = editor();
    click(*again, "cmdDelete(0)");
    type(*again, "fldLowRange(0)", "8");
    click(*again, "cmdCancel");
    EXPECT_EQ(again->Result, -1);
    EXPECT_EQ(keyRows().size(), 3u);
    EXPECT_EQ(keyRows()[0].low, "-0.5");
}
