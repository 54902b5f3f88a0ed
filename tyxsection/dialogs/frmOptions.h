#pragma once
// "Section View Options": a section with or without contour lines, or profiles in one graph or
// in one graph each. A click writes the choice into the control's state at once; OK keeps it,
// Cancel (also the window's close button, and Esc) puts back what the dialog found. Edit
// Legend opens the colour-key editor and saves an edited key to the dataset's KEW file.
#include "runtime/Types.h"
#include "tyxsection/TyxModel.h"

#include <QDialog>

#include <array>

class QGroupBox;
class QPushButton;
class QRadioButton;

class frmOptions : public QDialog {
public:
    explicit frmOptions(TyxModel& model, QWidget* parent = nullptr);

    Long Result = -1;

    // Shows the dialog modally: 1 after OK, -1 otherwise.
    Long OpenOptionsForm();

    QGroupBox* Frame1 = nullptr;
    // Index 0 section without contour lines, 1 with them, 2 profiles in one graph, 3 profiles
    // in separate graphs.
    std::array<QRadioButton*, 4> optViewStyle{};
    QPushButton* cmdLegend = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void optViewStyle_Click(Long Index);
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdLegend_Click();

    // The close button and Esc act as Cancel.
    void reject() override;

private:
    TyxModel& m_;
    bool closed_ = false; // OK or Cancel has run
    Long keptItem_ = 0, keptViewStyle_ = 0, keptContourFlag_ = 0, keptSingleGraph_ = 0;
};

// ShowOptions: a new options dialog, shown; its result (1 after OK).
Long ShowOptionsDialog(TyxModel& m);
