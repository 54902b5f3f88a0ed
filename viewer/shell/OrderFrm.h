#pragma once
// The order window ("Drawable Variables"): the list of drawable variables of the open datasets,
// the description of the one at the cursor, and the commands on the picked items: draw them for
// the current step and level, step to the next time step, animate through the time steps,
// erase the map, start a section path, change the vector scale, save the map picture, save the
// picks cut to the subset rows in the format chosen in "Save Options", recount the rows and
// bring back the stored subset window.
#include "runtime/Types.h"
#include "viewer/shell/FormFaces.h"

#include <QMainWindow>
#include <array>
#include <string>
#include <vector>

class QAction;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;

class OrderFrm : public QMainWindow, public OrderFrmFace {
    Q_OBJECT
public:
    OrderFrm();
    ~OrderFrm() override;

    // ---- Controls (and those of OrderFrmFace) ----------------------------------------------
    QGroupBox* Frame2 = nullptr;            // "Draw to Picture Box"
    std::array<QPushButton*, 4> Command1{}; // "Draw", "Save to local file", "Erase", "Section"
    std::array<QPushButton*, 2> Command6{}; // ">" next step, ">>" all steps from the step box
    std::array<QPushButton*, 2> Command5{}; // "<", ">" of the vector scale
    QLabel* label4 = nullptr;               // "v scale"
    std::array<QLabel*, 4> Label3{};        // "Time", "Level", "Range", "Picked"
    QGroupBox* Frame1 = nullptr;            // "Save to Local File"
    QLineEdit* Text2 = nullptr;             // target file of the save command
    QPushButton* Command2 = nullptr;        // "<": browse for the target
    QPushButton* Command4 = nullptr;        // "Append ?"
    std::array<QLabel*, 8> Label1{};        // 1..7: "Dimensions" .. "Stride", "Auto", "Manual"
    QPushButton* Command3 = nullptr;        // "recount"
    QLabel* Label2 = nullptr;               // "Transfer Size per variable"
    QAction* SaveBmp = nullptr;             // "Save Pic"
    QMenu* Options = nullptr;               // "Save Options": one save format checked
    // One entry per save format, in the registry's order (SaveFormats), named as the format's
    // control ("asOriginalNc", ...).
    std::vector<QAction*> asFormat;
    QAction* SubsetfromIni = nullptr; // "Subset from Ini"

    // ---- Event procedures -------------------------------------------------------------------
    void Form_Load();
    void List1_Click();
    void List1_DblClick();
    void Command1_Click(Integer Index);
    void Command6_Click(Integer Index);
    void Command5_Click(Integer Index);
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void SaveBmp_Click();
    void SubsetfromIni_Click();
    void asFormat_Click(Integer Index);

    // ---- List access (and that of OrderFrmFace) ---------------------------------------------
    void setListIndex(Long index); // moves the cursor without selecting; runs List1_Click
    // Selects item again when a click or Space just took it away and it is the list's only
    // entry.
    void keepOnePicked(QListWidgetItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The constructor's parts: the menu bar, the window's controls (its two frames built
    // apart), the event procedures.
    void buildMenus();
    void buildControls();
    QGroupBox* buildDrawFrame(QWidget* central);
    QGroupBox* buildSaveFrame(QWidget* central);
    void connectEvents();
    // Checks the entry of a save format and clears the others.
    void markSaveFormat(Long format);
    bool sized_ = false; // the first show fitted the window to its layout and the screen
};

// The form, made (and its Form_Load run) on first use, as any reference to it does.
OrderFrm& OrderFrmForm();
// True while the form is loaded (shown or hidden).
bool OrderFrmLoaded();
// Unloads the form (the map window does it as it closes; the main window at shut-down).
void UnloadOrderFrm();

// Rebuilds Picks and PickCount from the selected entries of the list, from the top down.
// False, after "Please select variable first", when nothing is selected (PickCount is then 0
// and Picks as it was).
bool BuildPicks();
// Sets CurTimeStep and CurLevel from the step and level boxes, rounded and clamped to the
// dataset's time steps and levels; a box of a dataset without that axis is not read.
void TakeStepAndLevel();
