#pragma once
// What the section tests share: the mouse on the map picture as Qt delivers it, and the test
// hooks of the section control (its pictures' logs and images), reached by name as the host
// reaches the control.
#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "runtime/Types.h"
#include "tests/support/ControlPictureLog.h"
#include "viewer/shell/PicForm.h"

#include <QApplication>
#include <QImage>
#include <QMetaObject>
#include <QMouseEvent>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

// One event of the left button (or a move with it held) at a point of the map picture, in the
// picture's units.
inline void SendMapMouse(QEvent::Type type, float x, float y, bool held = true) {
    QWidget* w = PicFormForm().Picture1;
    const Picture& pic = PicFormForm().Picture1->picture();
    const QPointF p(pic.toPixel(x), pic.toPixel(y));
    const bool down = held && type != QEvent::MouseButtonRelease;
    QMouseEvent e(type, p, w->mapToGlobal(p),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
// A click: a press and a release.
inline void ClickMap(float x, float y) {
    SendMapMouse(QEvent::MouseButtonPress, x, y);
    SendMapMouse(QEvent::MouseButtonRelease, x, y);
}
// A double click: a click, then the double click and its release.
inline void DoubleClickMap(float x, float y) {
    ClickMap(x, y);
    SendMapMouse(QEvent::MouseButtonDblClick, x, y);
    SendMapMouse(QEvent::MouseButtonRelease, x, y);
}

// The records of one kind ("FilledBox", "Print", ...) in the log of picture.
inline std::vector<ControlDrawn> ControlRecords(QWidget* control, const char* picture,
                                                const std::string& kind) {
    std::vector<ControlDrawn> out;
    for (const ControlDrawn& d : ControlPictureRecords(control, picture))
        if (d.kind == kind) out.push_back(d);
    return out;
}
// The texts printed in a picture, in order.
inline std::vector<std::string> ControlPrinted(QWidget* control, const char* picture) {
    std::vector<std::string> out;
    for (const ControlDrawn& d : ControlRecords(control, picture, "Print"))
        out.push_back(d.text);
    return out;
}
