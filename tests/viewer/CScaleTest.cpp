#include "viewer/map/CScale.h"

#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "runtime/Color.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "viewer/map/ProgressBar.h"
#include "viewer/shell/FormColor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

Long rgb(Long r, Long g, Long b) {
    return r + 256 * g + 65536 * b;
}
constexpr Long kWhite = 0xFFFFFF;
constexpr Long kBlack = 0;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

class CScaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        ResetSharedState();
    }
    void TearDown() override {
        UnloadFormColor();
        ResetSharedState();
    }
    InstalledScriptedUi ui_;
};

struct SchemeCase {
    Long variant;
    float t;
    Long color;
};

// Components are rounded to the nearest whole number, halves to even: 127.5 gives 128 (not the
// 127 of a truncation), 191.25 gives 191; a component above 255 counts as 255.
TEST_F(CScaleTest, SingleHueRamp) {
    const SchemeCase cases[] = {
        {1, -1, rgb(0, 0, 0)},
        {2, -1, rgb(255, 0, 0)},
        {3, -1, rgb(0, 255, 0)},
        {4, -1, rgb(0, 0, 255)},
        {1, 0, kWhite},
        {2, 0, kWhite},
        {1, 0.5f, rgb(191, 191, 191)},
        {2, 0.5f, rgb(128, 191, 191)},
        {3, 0.5f, rgb(191, 128, 191)},
        {4, 0.5f, rgb(191, 191, 128)},
        {2, -0.5f, rgb(255, 191, 191)},
        {2, 1, kBlack},
        {4, 1, kBlack},
        {2, 1.5f, kBlack},
        {2, -1.01f, kBlack},
        {0, 0.5f, kBlack},
        {5, 0.5f, kBlack},
        {2, kNaN, kBlack},
    };
    for (const SchemeCase& c : cases) {
        Scale.col_opt = c.variant;
        EXPECT_EQ(ColorRampSingle(c.t), c.color) << "variant " << c.variant << " t " << c.t;
    }
}

TEST_F(CScaleTest, DivergingRamp) {
    const SchemeCase cases[] = {
        {0, -1, rgb(0, 0, 255)},
        {0, -0.5f, rgb(128, 128, 255)},
        {0, 0, kWhite},
        {0, 0.5f, rgb(255, 128, 128)},
        {0, 1, rgb(255, 0, 0)},
        {0, 1.5f, kBlack},
        {0, -1.5f, kBlack},
        {0, kNaN, kBlack},
        {3, 0.5f, rgb(255, 128, 128)},
    };
    for (const SchemeCase& c : cases) {
        Scale.col_opt = c.variant;
        EXPECT_EQ(ColorDiverging(c.t), c.color) << "t " << c.t;
    }
}

TEST_F(CScaleTest, ThreePartRamp) {
    const SchemeCase cases[] = {
        // GBR: three thirds, each from white.
        {0, -1, kWhite},
        {0, 0, kWhite},
        {0, 5e-8f, kWhite},
        {0, 0.2f, rgb(102, 255, 102)},
        {0, 0.33333334f, rgb(0, 255, 0)},
        {0, 0.5f, rgb(127, 127, 255)},
        {0, 0.6666667f, rgb(0, 0, 255)},
        {0, 0.9f, rgb(255, 76, 76)},
        {0, 1, rgb(255, 0, 0)},
        {0, 1.5f, kWhite},
        {0, kNaN, kWhite},
        // Grey.
        {1, 0.5f, rgb(128, 128, 128)},
        {1, 1, kBlack},
        {1, -0.5f, kWhite},
        // R, G, B: white to the channel, then to black.
        {2, 0.25f, rgb(255, 128, 128)},
        {2, 0.5f, rgb(255, 0, 0)},
        {2, 0.75f, rgb(128, 0, 0)},
        {2, 1, kBlack},
        {3, 0.25f, rgb(128, 255, 128)},
        {3, 0.75f, rgb(0, 128, 0)},
        {4, 0.25f, rgb(128, 128, 255)},
        {4, 0.75f, rgb(0, 0, 128)},
        {4, 1.5f, kWhite},
        {5, 0.5f, kWhite},
        {-1, 0.5f, kWhite},
    };
    for (const SchemeCase& c : cases) {
        Scale.col_opt = c.variant;
        EXPECT_EQ(ColorRampThirds(c.t), c.color) << "variant " << c.variant << " t " << c.t;
    }
}

TEST_F(CScaleTest, ValueToColorMapsTheRangeIntoTheScheme) {
    Scale.ColorCode = 30;
    Scale.col_opt = 0;
    Scale.ScaleMin = 0;
    Scale.ScaleMax = 10;
    EXPECT_EQ(ValueToColor(2), rgb(102, 255, 102));
    EXPECT_EQ(ValueToColor(5), rgb(127, 127, 255));
    EXPECT_EQ(ValueToColor(9), rgb(255, 76, 76));
    EXPECT_EQ(ValueToColor(10), rgb(255, 0, 0));
    EXPECT_EQ(ValueToColor(0), kWhite);
    EXPECT_EQ(ValueToColor(12), kWhite);

    Scale.ColorCode = 31; // same scheme, other key layout
    EXPECT_EQ(ValueToColor(2), rgb(102, 255, 102));
    Scale.ColorCode = 25; // diverging: values below the range show the blue half
    EXPECT_EQ(ValueToColor(-5), rgb(128, 128, 255));
    EXPECT_EQ(ValueToColor(5), rgb(255, 128, 128));
    Scale.ColorCode = 12;
    Scale.col_opt = 2;
    EXPECT_EQ(ValueToColor(5), rgb(128, 191, 191));

    Scale.ColorCode = 0; // never set: black
    EXPECT_EQ(ValueToColor(5), kBlack);
    Scale.ColorCode = 40;
    EXPECT_EQ(ValueToColor(5), kBlack);

    // No span: every value takes t = 0.
    Scale.ColorCode = 30;
    Scale.col_opt = 0;
    Scale.ScaleMax = Scale.ScaleMin = 3;
    EXPECT_EQ(ValueToColor(-100), kWhite);
    EXPECT_EQ(ValueToColor(100), kWhite);
    Scale.ColorCode = 20;
    EXPECT_EQ(ValueToColor(100), kWhite);
}

std::vector<const DrawRecord*> ofKind(const Picture& p, DrawKind k) {
    std::vector<const DrawRecord*> out;
    for (const DrawRecord& r : p.records())
        if (r.kind == k) out.push_back(&r);
    return out;
}

TEST_F(CScaleTest, ColorLegendLayouts) {
    Scale.ScaleMin = 0;
    Scale.ScaleMax = 10;
    Scale.ColorCode = 30;
    Picture& p = FormColorForm().Picture1->picture();
    ASSERT_EQ(p.width(), 140);
    ASSERT_EQ(p.height(), 450);
    p.setRecording(true);
    const float x1 = 140.0f / 5;
    const float h = 450.0f / 55;

    struct Case {
        Long code;
        std::size_t boxes;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {30,
         51,
         {"10.00", "9.02", "8.04", "7.06", "6.08", "5.10", "4.12", "3.14", "2.16", "1.18", "0.00"}},
        {10,
         51,
         {"10.00", "9.02", "8.04", "7.06", "6.08", "5.10", "4.12", "3.14", "2.16", "1.18", "0.00"}},
        {31,
         0,
         {"10.00", "9.02", "8.04", "7.06", "6.08", "5.10", "4.12", "3.14", "2.16", "1.18", "0.00"}},
        {20, 51, {"9.22", "8.24", "7.25", "6.27", "5.29", "4.31", "3.33", "2.35", "1.37", "0.39"}},
        {0, 0, {}},
        {21, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Scale.ColorCode = c.code;
        Scale.col_opt = 0;
        p.clearRecords();
        DrawColorLegend();
        ASSERT_FALSE(p.records().empty());
        EXPECT_EQ(p.records()[0].kind, DrawKind::Cls);
        EXPECT_EQ(ofKind(p, DrawKind::FilledBox).size(), c.boxes);
        auto prints = ofKind(p, DrawKind::Print);
        ASSERT_EQ(prints.size(), c.labels.size());
        for (std::size_t i = 0; i < prints.size(); ++i) {
            EXPECT_EQ(prints[i]->text, c.labels[i]);
            EXPECT_EQ(prints[i]->color, kBlack);
            EXPECT_FLOAT_EQ(static_cast<float>(prints[i]->at[0]), 2 * x1 + x1 / 2);
        }
    }

    // Boxes of code 30 run down from the top colour of the range.
    Scale.ColorCode = 30;
    p.clearRecords();
    DrawColorLegend();
    auto boxes = ofKind(p, DrawKind::FilledBox);
    ASSERT_EQ(boxes.size(), 51u);
    EXPECT_EQ(boxes[0]->color, rgb(255, 0, 0));
    EXPECT_EQ(boxes[50]->color, ValueToColor(10 - 50 * (10.0f / 51)));
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0]->at[0]), x1);
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0]->at[1]), h);
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[0]->at[2]), 2 * x1);
    EXPECT_FLOAT_EQ(static_cast<float>(boxes[50]->at[3]), 52 * h);
    auto prints = ofKind(p, DrawKind::Print);
    EXPECT_FLOAT_EQ(static_cast<float>(prints[0]->at[1]), h - h / 2);
    EXPECT_EQ(p.pixel(static_cast<int>(x1) + 5, static_cast<int>(h) + 3), rgb(255, 0, 0));

    // An empty range: white boxes and equal labels, the last one the lower end.
    Scale.ScaleMax = Scale.ScaleMin = 2.5f;
    p.clearRecords();
    DrawColorLegend();
    for (const DrawRecord* b : ofKind(p, DrawKind::FilledBox))
        EXPECT_EQ(b->color, kWhite);
    for (const DrawRecord* t : ofKind(p, DrawKind::Print))
        EXPECT_EQ(t->text, "2.50");
}

TEST_F(CScaleTest, ProgressStripPixels) {
    Picture pic(100, 20);
    pic.setDrawMode(kDrawInvert);
    DrawProgressBar(pic, 5, 10);
    EXPECT_EQ(pic.DrawMode(), kDrawInvert);
    EXPECT_EQ(pic.pixel(0, 19), QBColor(12));
    EXPECT_EQ(pic.pixel(49, 19), QBColor(12));
    EXPECT_EQ(pic.pixel(50, 19), kWhite) << "exactly the left half";
    EXPECT_EQ(pic.pixel(99, 19), kWhite);
    EXPECT_EQ(pic.pixel(10, 18), kWhite); // one unit high

    // A shorter step leaves the earlier red standing; no total clears the whole strip.
    DrawProgressBar(pic, 1, 10);
    EXPECT_EQ(pic.pixel(40, 19), QBColor(12));
    DrawProgressBar(pic, 10, 10);
    EXPECT_EQ(pic.pixel(99, 19), QBColor(12));
    DrawProgressBar(pic, 0, 0);
    for (int x : {0, 50, 99})
        EXPECT_EQ(pic.pixel(x, 19), kWhite);
    EXPECT_EQ(pic.DrawMode(), kDrawInvert);
}

// The release alone: the box's text is set by the test.
void releaseKey(QWidget* w, int key, const QString& text) {
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

TEST_F(CScaleTest, FormLoadFillsTheBoxesAndDrawsTheKey) {
    Scale.ScaleMax = 1.5f;
    Scale.ScaleMin = 20; // reversed: the boxes show them in order
    Scale.col_opt = 2;
    EXPECT_FALSE(FormColorLoaded());
    FormColor& f = FormColorForm();
    EXPECT_TRUE(FormColorLoaded());
    EXPECT_EQ(f.windowTitle().toStdString(), "Elevation(m)");
    EXPECT_EQ(f.Text1[0]->text().toStdString(), " 20");
    EXPECT_EQ(f.Text1[1]->text().toStdString(), " 1.5");
    EXPECT_TRUE(f.Option1[2]->isChecked());
    EXPECT_EQ(Scale.ColorCode, 30);
    // The key is drawn at load: the first label stands right of the middle, near the top.
    bool inked = false;
    for (int x = 70; x < 140; ++x)
        for (int y = 0; y < 20; ++y)
            inked = inked || f.Picture1->picture().pixel(x, y) == kBlack;
    EXPECT_TRUE(inked);
    EXPECT_EQ(Scale.ScaleMax, 1.5f);
    EXPECT_EQ(Scale.ScaleMin, 20);

    // A code set before the load stays.
    UnloadFormColor();
    EXPECT_FALSE(FormColorLoaded());
    Scale.ColorCode = 20;
    Scale.col_opt = 9; // a variant without a button marks none
    FormColor& g = FormColorForm();
    EXPECT_EQ(Scale.ColorCode, 20);
    for (QRadioButton* o : g.Option1)
        EXPECT_FALSE(o->isChecked());

    // Referring to the key loads the form.
    UnloadFormColor();
    DrawColorLegend();
    EXPECT_TRUE(FormColorLoaded());
}

TEST_F(CScaleTest, OptionClickAndTypedRange) {
    Scale.ScaleMin = 0;
    Scale.ScaleMax = 10;
    Scale.col_opt = 0;
    FormColor& f = FormColorForm();
    Picture& p = f.Picture1->picture();
    p.setRecording(true);

    f.Option1[2]->click();
    EXPECT_EQ(Scale.col_opt, 2);
    EXPECT_EQ(ui_.doEventsCount, 1);
    auto boxes = ofKind(p, DrawKind::FilledBox);
    ASSERT_EQ(boxes.size(), 51u);
    EXPECT_EQ(boxes[50]->color,
              ValueToColor(Scale.ScaleMax - 50 * (Scale.ScaleMax - Scale.ScaleMin) / 51));

    // Every key released in a range box takes the box's number at once.
    f.Text1[0]->setText("4");
    releaseKey(f.Text1[0], Qt::Key_4, "4");
    EXPECT_EQ(Scale.ScaleMax, 4);
    f.Text1[1]->setText("-2.5");
    releaseKey(f.Text1[1], Qt::Key_Period, ".");
    EXPECT_EQ(Scale.ScaleMin, -2.5f);
    p.clearRecords();
    f.Text1[0]->setText("abc");
    releaseKey(f.Text1[0], Qt::Key_C, "c");
    EXPECT_EQ(Scale.ScaleMax, 0);
    auto prints = ofKind(p, DrawKind::Print);
    ASSERT_FALSE(prints.empty());
    EXPECT_EQ(prints[0]->text, "0.00");
    // The boxes are not refilled and the ends not put in order.
    EXPECT_EQ(f.Text1[0]->text().toStdString(), "abc");
    EXPECT_EQ(Scale.ScaleMin, -2.5f);
    EXPECT_TRUE(ui_.boxes.empty());

    // A number beyond a Single is an error shown in a box; the form goes on.
    f.Text1[0]->setText("1e39");
    releaseKey(f.Text1[0], Qt::Key_9, "9");
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, "Run-time error '6':\r\n\r\nOverflow");
    EXPECT_EQ(Scale.ScaleMax, 0);
    f.Text1[0]->setText("7");
    releaseKey(f.Text1[0], Qt::Key_7, "7");
    EXPECT_EQ(Scale.ScaleMax, 7);
}

} // namespace
