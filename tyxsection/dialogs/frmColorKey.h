#pragma once
// "Edit Legend": the control's colour key as rows of low bound, high bound and colour swatch,
// each with an insert ("+") and a delete ("X") button, in a frame that scrolls from eleven rows
// on. Auto Division, Color Ramp and Import fill the rows in one go. OK copies the rows into the
// key (refusing bounds beyond a Single first); Cancel and the close button leave the key as it
// was. Result is 0 when the editor loads, 1 after OK, -1 after Cancel.
#include "runtime/Types.h"
#include "tyxsection/TyxModel.h"

#include <QDialog>

#include <string>
#include <vector>

class NumberEdit;
class QFrame;
class QPushButton;
class QScrollBar;
class QWidget;
class Swatch;

class frmColorKey : public QDialog {
public:
    explicit frmColorKey(TyxModel& model, QWidget* parent = nullptr);

    Long Result = 0;

    // Loads the rows from the key and shows the editor modally.
    void Show();

    // One row: division index + 1.
    struct Row {
        NumberEdit* low = nullptr;
        NumberEdit* high = nullptr;
        Swatch* color = nullptr;
        QPushButton* del = nullptr;
        QPushButton* add = nullptr;
    };
    const std::vector<Row>& rows() const { return rows_; }
    Long RowCount() const { return static_cast<Long>(rows_.size()); }
    // The window's width in twips: wider while the scroll bar shows.
    Long WindowWidthTwips() const { return windowWidth_; }

    QPushButton* cmdImport = nullptr;
    QPushButton* cmdAutoDiv = nullptr;
    QPushButton* cmdColorRamp = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QWidget* Frame1 = nullptr; // the viewport
    QWidget* Frame2 = nullptr; // the rows, moved to scroll
    QScrollBar* VScroll1 = nullptr;

    // Event procedures.
    void Form_Load();
    void cmdAdd_Click(Long Index);
    void cmdDelete_Click(Long Index);
    void cmdAutoDiv_Click();
    void cmdColorRamp_Click();
    void cmdImport_Click();
    void lblColor_Click(Long Index);
    void VScroll1_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Procedures.
    void LoadColorKey();
    // False, with a box, when a bound lies beyond a Single: nothing is copied then.
    bool SaveColorKey();
    void OpenColorKey(const std::string& file);
    void ResetScrollbar();
    void ScrollDivisionFrame();
    void AutoDivide(double MinVal, double MaxVal, Long Divisions);
    void ApplyColorRamp(Long FirstColor, Long LastColor);

private:
    void createRow();
    void removeLastRow();
    void copyRow(Long to, Long from);
    void placeLines(Long right);

    TyxModel& m_;
    std::vector<Row> rows_;
    Long frame2Top_ = 0;    // twips
    Long frame2Height_ = 0; // twips
    Long PrevScroll = 0;    // twips
    Long windowWidth_ = 4500;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
};
