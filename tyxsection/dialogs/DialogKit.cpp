#include "tyxsection/dialogs/DialogKit.h"
#include "gui/QtText.h"
#include "gui/Twips.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <cstdio>

void placeTwips(QWidget& w, Long left, Long top, Long width, Long height) {
    w.setGeometry(wholePixelsFromTwips(left), wholePixelsFromTwips(top),
                  wholePixelsFromTwips(width), wholePixelsFromTwips(height));
}

std::string arrayName(const char* name, Long index) {
    return std::string(name) + "(" + CStr(index) + ")";
}

void CenterForm(QWidget& form) {
    if (form.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QScreen* screen = form.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    // Halves are dropped, as the form's position is a whole number.
    form.move(area.left() + (area.width() - form.width()) / 2,
              area.top() + (area.height() - form.height()) / 2);
}

NumberEdit::NumberEdit(Kind kind, QWidget* parent) : QLineEdit(parent), kind_(kind) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setText("0");
}

double NumberEdit::Value() const {
    const double v = Val(programText(text()));
    return kind_ == Kind::Whole ? CLng(v) : v;
}

void NumberEdit::setValue(double v) {
    setText(qtText(kind_ == Kind::Whole ? CStr(CLng(v)) : CStr(v)));
}

void NumberEdit::setSingle(float v) {
    setText(qtText(CStr(v)));
}

Swatch::Swatch(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    setColor(ButtonFaceColor());
}

void Swatch::setColor(Long color) {
    color_ = color;
    setProperty("color", static_cast<int>(color));
    const auto c = static_cast<unsigned>(color);
    char css[96];
    std::snprintf(css, sizeof css, "background-color: #%02x%02x%02x; border: 1px solid black;",
                  c & 0xFFu, (c >> 8) & 0xFFu, (c >> 16) & 0xFFu);
    setStyleSheet(QString::fromLatin1(css));
}

Long ButtonFaceColor() {
    const QColor c = QApplication::palette().color(QPalette::Button);
    return static_cast<Long>(c.red() + 256 * c.green() + 65536 * c.blue());
}

QPushButton* addButton(QWidget& parent, const char* name, const char* caption, Long left, Long top,
                       Long width, Long height) {
    auto* b = new QPushButton(qtText(caption), &parent);
    b->setObjectName(name);
    placeTwips(*b, left, top, width, height);
    return b;
}

void SmallDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) return;
    QDialog::keyPressEvent(event);
}
