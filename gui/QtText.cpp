#include "gui/QtText.h"
#include <QComboBox>
#include <QStringDecoder>
#include <QVariant>

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

QString HeldBytes::hold(const std::string& bytes) {
    held_ = true;
    bytes_ = bytes;
    shown_ = qtText(bytes);
    return shown_;
}

std::string HeldBytes::of(const QString& shown) const {
    return holds(shown) ? bytes_ : programText(shown);
}

void addItemBytes(QComboBox& box, const std::string& bytes) {
    box.addItem(qtText(bytes),
                QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string itemBytes(const QComboBox& box, int index) {
    const QVariant data = box.itemData(index);
    if (data.typeId() != QMetaType::QByteArray) return programText(box.itemText(index));
    const QByteArray b = data.toByteArray();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}
