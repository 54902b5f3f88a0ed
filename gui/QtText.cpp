#include "gui/QtText.h"
#include <QStringDecoder>

QString qtText(const std::string& text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!utf8.hasError()) return s;
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string programText(const QString& text) {
    QByteArray b = text.toUtf8();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}
