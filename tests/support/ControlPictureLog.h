#pragma once
// The section control's test hooks, reached by name as a host reaches the control: its
// pictures log what they draw ("recordPictures"), and the log ("pictureRecords") and image
// ("pictureImage") of each picture ("Picture1", "picSection", "picDateTime", "picContours")
// can be read. They are no dispatch members of the control.
#include "runtime/Types.h"

#include <QImage>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <gtest/gtest.h>

#include <string>
#include <vector>

// One record of a picture's log.
struct ControlDrawn {
    std::string kind; // "FilledBox", "Line", "Print", ...
    std::vector<double> at;
    Long color = 0;
    int drawWidth = 1;
    std::string text;
};

// The control's pictures log afresh from now on.
inline void RecordControlPictures(QObject* control) {
    ASSERT_TRUE(QMetaObject::invokeMethod(control, "recordPictures", Q_ARG(bool, true)));
}

// Every record in the log of picture, in order.
inline std::vector<ControlDrawn> ControlPictureRecords(QObject* control, const char* picture) {
    QVariantList list;
    EXPECT_TRUE(QMetaObject::invokeMethod(control, "pictureRecords",
                                          Q_RETURN_ARG(QVariantList, list),
                                          Q_ARG(QString, QString(picture))));
    std::vector<ControlDrawn> out;
    for (const QVariant& v : list) {
        const QVariantMap m = v.toMap();
        ControlDrawn d;
        d.kind = m["kind"].toString().toStdString();
        for (const QVariant& a : m["at"].toList())
            d.at.push_back(a.toDouble());
        d.color = m["color"].toInt();
        d.drawWidth = m["drawWidth"].toInt();
        d.text = m["text"].toString().toStdString();
        out.push_back(d);
    }
    return out;
}

inline QImage ControlImage(QObject* control, const char* picture) {
    QImage img;
    EXPECT_TRUE(QMetaObject::invokeMethod(control, "pictureImage", Q_RETURN_ARG(QImage, img),
                                          Q_ARG(QString, QString(picture))));
    return img;
}

// Long RGB of a pixel of an image.
inline Long RgbAt(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return qRed(p) + 256 * qGreen(p) + 65536 * qBlue(p);
}
