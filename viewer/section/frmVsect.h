#pragma once
// The viewer's own section window "Vertical Section": one section variable at a time, its data
// and plot ranges, a coloured section or profile panels, colour, contour and axis options, and
// the picture saved as a bitmap. Its state is the section state (ModVsect.h); its options and
// place are kept in the settings file. No command of the program opens it.
#include "runtime/Types.h"

#include <QWidget>
#include <array>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class PictureWidget;

class frmVsect : public QWidget {
    Q_OBJECT
public:
    frmVsect();
    ~frmVsect() override;

    QGroupBox* Frame1 = nullptr;            // "Item Name": the variable's name and unit once chosen
    QComboBox* Combo1 = nullptr;            // the section variables
    QLabel* Label2 = nullptr;               // "Data"
    QLabel* Label3 = nullptr;               // "Plot"
    std::array<QLabel*, 3> Label1{};        // "Max=", "Min=", "Inc="
    std::array<QLineEdit*, 5> Text1{};      // data max, min; plot high, low, step
    QGroupBox* Frame2 = nullptr;            // "Draw"
    std::array<QPushButton*, 2> Command1{}; // "Section", "Profile"
    QPushButton* Command2 = nullptr;        // "<" normal, ">" reversed colour order
    QLineEdit* Text2 = nullptr;             // value at the right end of the colour bar
    PictureWidget* Picture2 = nullptr;      // the colour bar
    QGroupBox* Frame3 = nullptr;            // "Color Opt."
    std::array<QRadioButton*, 5> Option1{}; // "GBR", "Grey", "R", "G", "B"
    PictureWidget* Picture1 = nullptr;      // the section or the profiles
    QLabel* Label4 = nullptr;               // "max="

    QMenu* MainMenu = nullptr; // "&File"
    QAction* SaveBmp = nullptr;
    QMenu* OptionMenus = nullptr; // "&Options"
    QAction* DrawVerticalAxis = nullptr;
    QAction* DrawHorizontalAxis = nullptr;
    QMenu* ContourLine = nullptr;
    QAction* ContourLineOn = nullptr;
    QAction* ContourLineOff = nullptr;
    QAction* ContourLineColor = nullptr;
    QAction* ContourLineThickness = nullptr;

    // The inner size in twips: the window's area below its menu.
    float ScaleWidth() const;
    float ScaleHeight() const;
    // Top, Left, Width, Height in twips, as the settings keep them.
    void setTwipsGeometry(float top, float left, float width, float height);
    float TopTwips() const;
    float LeftTwips() const;
    float WidthTwips() const;
    float HeightTwips() const;

    // Runs the unload procedure (the options and the place go to the settings file); false,
    // without running it again, while it runs.
    bool runUnloadProcedure();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The constructor's parts: the menus, the controls of the strip at the top by group, and
    // what connects the menus and controls to the event procedures.
    void createMenus();
    void createItemFrame(int top);
    void createDrawControls(int top);
    void createColorOptions(int top);
    void connectMenus();
    void connectControls();

    // The unload procedure runs: resizes and closes meanwhile run no procedure of their own.
    bool unloading_ = false;
};

// The window, loaded (and its load procedure run) on first use.
frmVsect& frmVsectForm();
bool frmVsectLoaded();
// Unloads the window: its options and place go to the settings file.
void UnloadfrmVsect();

// The remembered place of the window, in twips.
struct VsectPlace {
    float top = 0, left = 0, width = 0, height = 0;
};
extern VsectPlace VsectLastPosition;
// Reads the place from section "position" (defaults, then each stored key held within the
// screen and a least size).
void GetMyLastPosition();
// Writes the window's place to section "position".
void PutMyLastPosition();

// Event procedures.
void frmVsect_Form_Load();
void frmVsect_Form_Resize();
void frmVsect_Form_Unload();
void frmVsect_Combo1_Click();
void frmVsect_Combo1_LostFocus();
void frmVsect_Text1_KeyUp(Integer Index);
void frmVsect_Command1_Click(Integer Index);
void frmVsect_Command2_Click();
void frmVsect_Option1_Click(Integer Index);
void frmVsect_Text2_Change();
void frmVsect_SaveBmp_Click();
void frmVsect_DrawHorizontalAxis_Click();
void frmVsect_DrawVerticalAxis_Click();
void frmVsect_ContourLineOn_Click();
void frmVsect_ContourLineOff_Click();
void frmVsect_ContourLineColor_Click();
void frmVsect_ContourLineThickness_Click();
