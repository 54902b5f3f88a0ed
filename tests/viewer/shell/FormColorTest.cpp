// The colour key window: its load from the colour scale, the scheme buttons and the range typed
// into its boxes.
#include "viewer/shell/FormColor.h"

#include "tests/viewer/ViewerFixture.h"

#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "viewer/map/CScale.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

constexpr Long kBlack = 0;

class FormColorTest : public ViewerFixture {};

// The release alone: the box's text is set by the test.
void releaseKey(QWidget* w, int key, const QString& text) {
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

TEST_F(FormColorTest, FormLoadFillsTheBoxesAndDrawsTheKey) {
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

TEST_F(FormColorTest, OptionClickAndTypedRange) {
    Scale.ScaleMin = 0;
    Scale.ScaleMax = 10;
    Scale.col_opt = 0;
    FormColor& f = FormColorForm();
    Picture& p = f.Picture1->picture();
    p.setRecording(true);

    f.Option1[2]->click();
    EXPECT_EQ(Scale.col_opt, 2);
    EXPECT_EQ(ui.doEventsCount, 1);
    auto boxes = recordsOf(p, DrawKind::FilledBox);
    ASSERT_EQ(boxes.size(), 51u);
    EXPECT_EQ(boxes[50].color,
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
    auto prints = recordsOf(p, DrawKind::Print);
    ASSERT_FALSE(prints.empty());
    EXPECT_EQ(prints[0].text, "0.00");
    // The boxes are not refilled and the ends not put in order.
    EXPECT_EQ(f.Text1[0]->text().toStdString(), "abc");
    EXPECT_EQ(Scale.ScaleMin, -2.5f);
    EXPECT_TRUE(ui.boxes.empty());

    // A number beyond a Single is an error shown in a box; the form goes on.
    f.Text1[0]->setText("1e39");
    releaseKey(f.Text1[0], Qt::Key_9, "9");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Run-time error '6':\r\n\r\nOverflow");
    EXPECT_EQ(Scale.ScaleMax, 0);
    f.Text1[0]->setText("7");
    releaseKey(f.Text1[0], Qt::Key_7, "7");
    EXPECT_EQ(Scale.ScaleMax, 7);
}

} // namespace
