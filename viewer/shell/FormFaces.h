#pragma once
// How the forms reach each other: the main window, the order window and the map window each
// show here what the others use of them, and register themselves (and how they are made on
// first use, as a reference to a form makes it). A form includes this rather than another
// form's header, so that no form calls back into the file of one that calls it.
#include "gui/QtText.h"
#include "runtime/Types.h"

#include <array>
#include <functional>
#include <string>

class Picture;
class PictureWidget;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// ---- The main window ------------------------------------------------------------------------

// What the load and the remembered list fill and read of the main window, and the dataset
// entry with the bytes it holds.
class MainFormFace {
public:
    QWidget* Window = nullptr;              // the window itself: the parent of its dialogs
    QComboBox* Combo1 = nullptr;            // editable: the dataset path or URL
    QLineEdit* Text3 = nullptr;             // the second file (V components)
    QLineEdit* Text2 = nullptr;             // time range
    std::array<QPlainTextEdit*, 5> Text1{}; // summaries (multi-line, read-only)
    PictureWidget* Picture1 = nullptr;      // preview of the dataset's points
    std::array<QPushButton*, 2> Command2{}; // "Plot", "Subset to local"
    QPushButton* Command1 = nullptr;        // "List CDL Header"
    QPushButton* Command4 = nullptr;        // "Alias Tool"

    // The text of Combo1's edit field (what the user typed or picked): the bytes of the entry
    // put there or picked from the list, whether or not they are UTF-8.
    std::string comboText() const;
    void setComboText(const std::string& text);
    // Opens a dataset as one typed into the entry: it becomes the entry, joins the remembered
    // list, and is loaded.
    void openDataset(const std::string& path);

protected:
    MainFormFace() = default;
    ~MainFormFace() = default;
    MainFormFace(const MainFormFace&) = delete;
    MainFormFace& operator=(const MainFormFace&) = delete;

    HeldBytes comboHeld_; // the bytes last put into Combo1's edit field
    // The load behind openDataset, which the main window sets (the load is its own).
    std::function<void(const std::string&)> openAsTyped_;
};

// The main window, made (and its Form_Load run) on first use.
MainFormFace& mainFormFace();
// The main window while it exists, else nullptr (nothing is made).
MainFormFace* loadedMainForm();

// ---- The order window -----------------------------------------------------------------------

// What the pick list fills and reads of the order window: its list and the boxes of the entry
// at the cursor.
class OrderFrmFace {
public:
    QListWidget* List1 = nullptr;       // the drawable variables; the selection is the picks
    QPlainTextEdit* Text1 = nullptr;    // description of the entry at the cursor
    std::array<QLineEdit*, 2> Text9{};  // range of the time and level dimensions
    std::array<QLineEdit*, 2> Text10{}; // the time step and the level to draw
    std::array<QLineEdit*, 4> Text4{};  // dimension names, one row per dimension
    std::array<QLineEdit*, 4> Text5{};  // start index
    std::array<QLineEdit*, 4> Text6{};  // end index
    std::array<QLineEdit*, 4> Text3{};  // count
    std::array<QLineEdit*, 4> Text7{};  // stride worked out for the view ("Auto")
    std::array<QLineEdit*, 4> Text11{}; // stride typed by the user ("Manual")
    QLineEdit* Text8 = nullptr;         // transfer size of one variable

    // ---- List access ------------------------------------------------------------------------
    // The entry at the cursor, -1 when none (the list's ListIndex).
    Long ListIndex() const;
    Long ListCount() const;
    std::string ListText(Long index) const;
    bool Selected(Long index) const;
    void setSelected(Long index, bool on);

protected:
    OrderFrmFace() = default;
    ~OrderFrmFace() = default;
    OrderFrmFace(const OrderFrmFace&) = delete;
    OrderFrmFace& operator=(const OrderFrmFace&) = delete;
};

// The order window, made (and its Form_Load run) on first use.
OrderFrmFace& orderFrmFace();
// Unloads the order window when it is loaded (the map window's unload does).
void CloseOrderWindow();

// ---- The map window -------------------------------------------------------------------------

// The picture of the map window, the surface of every map; the window is made (hidden) on first
// use.
Picture& MapPicture();

// ---- The forms' side ------------------------------------------------------------------------

// Each form registers itself while it exists (nullptr as it goes), and once how it is made.
void RegisterMainForm(MainFormFace* form);
void SetMainFormMaker(MainFormFace& (*make)());
void RegisterOrderFrm(OrderFrmFace* form);
void SetOrderFrmMakers(OrderFrmFace& (*make)(), void (*unload)());
void SetMapPictureMaker(Picture& (*make)());
