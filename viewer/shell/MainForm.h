#pragma once
// The main window: the dataset entry with the remembered list, the second file, the time
// range, the five summaries, the preview of the grid points, the commands that open the map
// and order windows, the CDL dump, the alias dialog and the About box, and the option menus.
// Closing it is the program's only shut-down.
#include "gui/QtText.h"
#include "runtime/Types.h"
#include "viewer/shell/FormFaces.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <string>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRect;
class PictureWidget;

// The box of a Load refused while an animation or another long command runs.
inline constexpr const char* kLoadRefusedText =
    "The dataset was not loaded: a drawing or another command is still running.\r\n\r\n"
    "Stop the animation with Esc (or wait for the command to end), then click Load again.";

class MainForm : public QMainWindow, public MainFormFace {
    Q_OBJECT
public:
    MainForm();
    ~MainForm() override;

    // ---- Controls (and those of MainFormFace) ----------------------------------------------
    std::array<QLabel*, 2> lblFile{};   // "URL or NC File", "Secondary File"
    QPushButton* cmdBrowse = nullptr;   // file dialog without loading
    QPushButton* cmdLoad = nullptr;     // "Load"
    QPushButton* Command3 = nullptr;    // second file's name from Combo1
    QPushButton* cmdStartEnd = nullptr; // "<": the time range of Combo1's entry
    QLabel* label4 = nullptr;           // "Time"
    std::array<QLabel*, 5> Label1{};    // the summaries' titles
    QLabel* Label3 = nullptr;           // "Numbers prefixed are variable-order"
    QLabel* Label2 = nullptr;           // "Geographic Coverage"
    QPushButton* Command5 = nullptr;    // "About"

    // ---- Menus ------------------------------------------------------------------------------
    QAction* EditIni = nullptr;
    QMenu* Options = nullptr;
    QMenu* mnuURL = nullptr; // "URL" (the name URL is the remembered list's)
    QAction* Both = nullptr;
    QAction* httpOnly = nullptr;
    QAction* LocalOnly = nullptr;
    QMenu* mnuProjection = nullptr;
    QAction* Cartesian = nullptr;
    QAction* Marcator = nullptr;
    QMenu* GridPoint = nullptr;
    QAction* doShow = nullptr;
    QAction* Notshow = nullptr;
    QMenu* mnuMesh = nullptr;
    QAction* ShowMesh = nullptr;
    QAction* NoShowMesh = nullptr;
    QMenu* ArrowStyle = nullptr;
    QAction* ThinArrow = nullptr;
    QAction* PolyArrow = nullptr;
    QAction* FontArrow = nullptr;
    QMenu* CoastlineOpt = nullptr;
    QAction* ThinLine = nullptr;
    QAction* PolygonFill = nullptr;
    QAction* Aboutmenu = nullptr;

    // ---- Event procedures -------------------------------------------------------------------
    void Form_Load();
    void cmdLoad_Click();
    void cmdBrowse_Click();
    void Combo1_LostFocus();
    void Command3_Click();
    void cmdStartEnd_Click();
    void Command2_Click(Integer Index);
    void Command1_Click();
    void Command4_Click();
    void Command5_Click();
    void Picture1_KeyUp(Integer KeyCode, Integer Shift);
    void EditIni_Click();
    void Both_Click();
    void httpOnly_Click();
    void LocalOnly_Click();
    void Cartesian_Click();
    void Marcator_Click();
    void doShow_Click();
    void Notshow_Click();
    void ShowMesh_Click();
    void NoShowMesh_Click();
    void ThinArrow_Click();
    void PolyArrow_Click();
    void FontArrow_Click();
    void ThinLine_Click();
    void PolygonFill_Click();
    void Aboutmenu_Click();
    // The shut-down: writes the options and the list back, unloads the other windows and ends
    // the program (see setEndProgramAction).
    void Form_Unload(Integer& Cancel);

    // Comes back at the place stored at the last shut-down (section "position"), inside the
    // screen; nothing when none is stored.
    void restorePlace();
    // The frame's top down to the last row of the dataset entry (menus, entry, second file,
    // time), in screen coordinates; null while the window is not shown.
    QRect controlsArea() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The constructor's parts: the menu bar, the window's controls, the event procedures.
    void buildMenus();
    void buildControls();
    void connectEvents();
    void setButtonIcons();
    // Load while a long command runs: the entry goes back to the dataset loaded, and a box
    // says why nothing was loaded.
    void refuseLoad();

    bool unloaded_ = false;
    HeldBytes secondHeld_; // the bytes last put into Text3
};

// The main window, made (and its Form_Load run) on first use.
MainForm& mainForm();
// True while the main window exists.
bool mainFormLoaded();
// Destroys the main window without the shut-down (tests; the program ends through Form_Unload).
void UnloadMainForm();

// What the shut-down does last: by default it ends the event loop of the application.
// Tests put in an action of their own. Returns the action replaced.
std::function<void()> setEndProgramAction(std::function<void()> action);
