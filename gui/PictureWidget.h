#pragma once
// The widget of a picture box: shows its Picture, keeps the picture the size of the widget,
// and hands mouse and key events to the form's event procedures (Picture1_MouseDown, ...).
// Positions come in the picture's scale units; buttons, shift states and key codes as the
// program knows them.
#include "gui/Picture.h"
#include <QWidget>
#include <functional>

// Mouse buttons and shift states of the event procedures.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;
constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

// Key codes the program tests.
constexpr int kKeyEscape = 27;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

class QKeyEvent;

// The program's key code of a Qt key; 0 for keys it has none for.
int keyCodeOfQtKey(int qtKey);

class PictureWidget : public QWidget {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent = nullptr);
    ~PictureWidget() override;

    Picture& picture() { return picture_; }
    const Picture& picture() const { return picture_; }

    // Event procedures. MouseDown and MouseUp get the button that changed; MouseMove gets
    // every button held.
    std::function<void(int button, int shift, float x, float y)> onMouseDown;
    std::function<void(int button, int shift, float x, float y)> onMouseMove;
    std::function<void(int button, int shift, float x, float y)> onMouseUp;
    std::function<void()> onDblClick;
    std::function<void(int keyCode, int shift)> onKeyDown;
    std::function<void(int keyCode, int shift)> onKeyUp;
    // After the picture took the widget's new size.
    std::function<void()> onResize;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    Picture picture_;
};
