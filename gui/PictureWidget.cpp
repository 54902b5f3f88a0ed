#include "gui/PictureWidget.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

int buttonCode(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return kLeftButton;
    case Qt::RightButton:
        return kRightButton;
    case Qt::MiddleButton:
        return kMiddleButton;
    default:
        return 0;
    }
}

int buttonsHeld(Qt::MouseButtons bs) {
    int code = 0;
    if (bs & Qt::LeftButton) code |= kLeftButton;
    if (bs & Qt::RightButton) code |= kRightButton;
    if (bs & Qt::MiddleButton) code |= kMiddleButton;
    return code;
}

int shiftState(Qt::KeyboardModifiers m) {
    int code = 0;
    if (m & Qt::ShiftModifier) code |= kShiftMask;
    if (m & Qt::ControlModifier) code |= kCtrlMask;
    if (m & Qt::AltModifier) code |= kAltMask;
    return code;
}

} // namespace

int keyCodeOfQtKey(int k) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return 65 + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return 48 + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return kKeyEscape;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return kKeyLeft;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Right:
        return kKeyRight;
    case Qt::Key_Down:
        return kKeyDown;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent), picture_(width(), height()) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    picture_.setRefreshHook([this] {
        if (isVisible())
            repaint();
        else
            update();
    });
    picture_.setChangedHook([this] { update(); });
    picture_.setFocusHook([this] {
        // Giving a picture the focus brings its window forward as the active one, so that a
        // key (Esc during an animation) reaches the picture and not the window clicked last.
        QWidget* top = window();
        if (top->isVisible() && !top->isActiveWindow()) top->activateWindow();
        setFocus(Qt::OtherFocusReason);
    });
}

PictureWidget::~PictureWidget() {
    picture_.setRefreshHook({});
    picture_.setChangedHook({});
    picture_.setFocusHook({});
}

QSize PictureWidget::sizeHint() const {
    return QSize(320, 240);
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, picture_.image());
    // What lies beyond the picture (a widget larger than its picture for a moment).
    QRect img(0, 0, picture_.width(), picture_.height());
    QColor back = QColor::fromRgb(pixelOfColor(picture_.BackColor()));
    if (width() > img.width()) p.fillRect(img.width(), 0, width() - img.width(), height(), back);
    if (height() > img.height())
        p.fillRect(0, img.height(), img.width(), height() - img.height(), back);
    picture_.markShown();
}

void PictureWidget::resizeEvent(QResizeEvent*) {
    picture_.resize(width(), height());
    if (onResize) onResize();
}

void PictureWidget::mousePressEvent(QMouseEvent* e) {
    int b = buttonCode(e->button());
    if (onMouseDown && b)
        onMouseDown(b, shiftState(e->modifiers()),
                    static_cast<float>(picture_.toUnits(e->position().x())),
                    static_cast<float>(picture_.toUnits(e->position().y())));
}

void PictureWidget::mouseMoveEvent(QMouseEvent* e) {
    if (onMouseMove)
        onMouseMove(buttonsHeld(e->buttons()), shiftState(e->modifiers()),
                    static_cast<float>(picture_.toUnits(e->position().x())),
                    static_cast<float>(picture_.toUnits(e->position().y())));
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* e) {
    int b = buttonCode(e->button());
    if (onMouseUp && b)
        onMouseUp(b, shiftState(e->modifiers()),
                  static_cast<float>(picture_.toUnits(e->position().x())),
                  static_cast<float>(picture_.toUnits(e->position().y())));
}

// The second press of a double click is the double click alone: no MouseDown for it, as the
// form's procedures expect (down, up, double click, up).
void PictureWidget::mouseDoubleClickEvent(QMouseEvent*) {
    if (onDblClick) onDblClick();
}

void PictureWidget::keyPressEvent(QKeyEvent* e) {
    int code = keyCodeOfQtKey(e->key());
    if (!code) {
        QWidget::keyPressEvent(e);
        return;
    }
    if (onKeyDown) onKeyDown(code, shiftState(e->modifiers()));
}

void PictureWidget::keyReleaseEvent(QKeyEvent* e) {
    int code = keyCodeOfQtKey(e->key());
    if (!code || e->isAutoRepeat()) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    if (onKeyUp) onKeyUp(code, shiftState(e->modifiers()));
}
