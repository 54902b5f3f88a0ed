#pragma once
// The user's mouse on the viewer's lists.
#include <QCoreApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <gtest/gtest.h>

// A left click on a list entry, as the mouse gives it: the entry scrolled into view, then press
// and release on it.
inline void ClickEntry(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr);
    list->scrollToItem(item);
    const QPoint p = list->visualItemRect(item).center();
    ASSERT_TRUE(list->viewport()->rect().contains(p)) << "entry " << row << " not shown";
    const QPointF local(p), global(list->viewport()->mapToGlobal(p));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &release);
}
