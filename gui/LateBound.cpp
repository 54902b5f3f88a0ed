#include "gui/LateBound.h"
#include "gui/QtText.h"
#include "runtime/RuntimeError.h"

#include <QByteArray>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>
#include <QObject>
#include <QVariant>

#include <array>
#include <cstdlib>

namespace {

constexpr char kDispIdPrefix[] = "DispId.";

bool sameName(const QByteArray& a, const std::string& b, bool exact) {
    const QByteArray other(b.data(), static_cast<qsizetype>(b.size()));
    return a.compare(other, exact ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

// The dispatch id the class gives a member name; -1 when none.
Long dispIdOf(const QMetaObject& mo, const QByteArray& name) {
    const int index = mo.indexOfClassInfo(QByteArray(kDispIdPrefix + name).constData());
    if (index < 0) return -1;
    return static_cast<Long>(std::strtol(mo.classInfo(index).value(), nullptr, 0));
}

// A class that gives dispatch ids lists its interface with them: only the members named there
// can be reached, not the ones it inherits from Qt.
bool listsDispIds(const QMetaObject& mo) {
    for (int i = 0; i < mo.classInfoCount(); ++i)
        if (QByteArray(mo.classInfo(i).name()).startsWith(kDispIdPrefix)) return true;
    return false;
}

// The methods and the property of one name.
struct Member {
    std::vector<QMetaMethod> methods;
    QMetaProperty property;
    QByteArray name;
    bool found() const { return !methods.empty() || property.isValid(); }
};

Member findExact(const QMetaObject& mo, const std::string& name, bool exact) {
    Member m;
    for (int i = 0; i < mo.methodCount(); ++i) {
        const QMetaMethod method = mo.method(i);
        if (method.methodType() != QMetaMethod::Method || method.access() != QMetaMethod::Public)
            continue;
        if (!sameName(method.name(), name, exact)) continue;
        if (!m.methods.empty() && m.methods.front().name() != method.name()) continue;
        m.methods.push_back(method);
        m.name = method.name();
    }
    for (int i = 0; i < mo.propertyCount() && !m.property.isValid(); ++i) {
        const QMetaProperty p = mo.property(i);
        if (!sameName(p.name(), name, exact)) continue;
        if (!m.name.isEmpty() && m.name != p.name()) continue;
        m.property = p;
        m.name = p.name();
    }
    if (m.found() && listsDispIds(mo) && dispIdOf(mo, m.name) < 0) return {};
    return m;
}

// Names are found as a dispatch interface finds them: without regard to letter case.
Member find(const QObject* object, const std::string& name) {
    if (!object) throw RuntimeError(err::ObjectNotSet);
    const QMetaObject& mo = *object->metaObject();
    Member m = findExact(mo, name, true);
    if (!m.found()) m = findExact(mo, name, false);
    if (!m.found()) throw RuntimeError(err::NoSuchMember);
    return m;
}

Variant readProperty(const QObject* object, const QMetaProperty& p) {
    if (!p.isReadable()) throw RuntimeError(err::WrongArguments);
    return VariantFromQt(p.read(object));
}

Variant invoke(QObject* object, const std::vector<QMetaMethod>& methods,
               const std::vector<Variant>& args) {
    const QMetaMethod* chosen = nullptr;
    for (const QMetaMethod& m : methods)
        if (m.parameterCount() == static_cast<int>(args.size())) chosen = &m;
    constexpr std::size_t kMaxArgs = 10;
    if (!chosen || args.size() > kMaxArgs) throw RuntimeError(err::WrongArguments);
    const QMetaMethod& m = *chosen;

    // Every argument as a value of its parameter's type; a QVariant parameter takes the
    // QVariant itself.
    std::array<QVariant, kMaxArgs> values;
    std::array<QGenericArgument, kMaxArgs> generic;
    const QList<QByteArray> typeNames = m.parameterTypes();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const int type = m.parameterType(static_cast<int>(i));
        values[i] = QtFromVariant(args[i], type);
        const void* data = type == QMetaType::QVariant ? static_cast<const void*>(&values[i])
                                                       : values[i].constData();
        generic[i] = QGenericArgument(typeNames[static_cast<qsizetype>(i)].constData(), data);
    }

    const int returnType = m.returnType();
    QVariant result;
    QGenericReturnArgument ret;
    if (returnType == QMetaType::QVariant) {
        ret = QGenericReturnArgument(m.typeName(), &result);
    } else if (returnType != QMetaType::Void) {
        result = QVariant(QMetaType(returnType));
        ret = QGenericReturnArgument(m.typeName(), result.data());
    }
    if (!m.invoke(object, Qt::DirectConnection, ret, generic[0], generic[1], generic[2], generic[3],
                  generic[4], generic[5], generic[6], generic[7], generic[8], generic[9]))
        throw RuntimeError(err::TypeMismatch);
    return VariantFromQt(result);
}

} // namespace

Variant LateBound::Call(const std::string& name, const std::vector<Variant>& args) const {
    const Member m = find(object_, name);
    if (!m.methods.empty()) return invoke(object_, m.methods, args);
    if (!args.empty()) throw RuntimeError(err::WrongArguments);
    return readProperty(object_, m.property);
}

Variant LateBound::Get(const std::string& name, const std::vector<Variant>& args) const {
    const Member m = find(object_, name);
    if (m.property.isValid() && args.empty()) return readProperty(object_, m.property);
    if (m.methods.empty()) throw RuntimeError(err::WrongArguments);
    return invoke(object_, m.methods, args);
}

void LateBound::Let(const std::string& name, const Variant& value) const {
    const Member m = find(object_, name);
    if (!m.property.isValid() || !m.property.isWritable()) throw RuntimeError(err::WrongArguments);
    if (!m.property.write(object_, QtFromVariant(value, m.property.metaType().id())))
        throw RuntimeError(err::TypeMismatch);
}

Long LateBound::DispId(const std::string& name) const {
    const Member m = find(object_, name);
    return dispIdOf(*object_->metaObject(), m.name);
}

Variant VariantFromQt(const QVariant& value) {
    if (!value.isValid()) return Variant();
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return Variant(value.toBool());
    case QMetaType::Short:
        return Variant(static_cast<Integer>(value.value<short>()));
    case QMetaType::UShort:
        return Variant(value.value<unsigned short>());
    case QMetaType::Int:
        return Variant(static_cast<Long>(value.toInt()));
    case QMetaType::UInt:
        return Variant(value.toUInt());
    case QMetaType::LongLong:
        return Variant(value.toLongLong());
    case QMetaType::ULongLong:
        return Variant(value.toULongLong());
    case QMetaType::Float:
        return Variant(value.toFloat());
    case QMetaType::Double:
        return Variant(value.toDouble());
    case QMetaType::QString:
        return Variant(programText(value.toString()));
    case QMetaType::QByteArray: {
        const QByteArray b = value.toByteArray();
        return Variant(std::string(b.constData(), static_cast<std::size_t>(b.size())));
    }
    default:
        throw RuntimeError(err::TypeMismatch);
    }
}

QVariant QtFromVariant(const Variant& value, int metaType) {
    switch (metaType) {
    case QMetaType::Bool:
        return QVariant(value.toBool());
    case QMetaType::Short:
        return QVariant::fromValue(static_cast<short>(value.toInteger()));
    case QMetaType::Int:
        return QVariant(static_cast<int>(value.toLong()));
    case QMetaType::Float:
        return QVariant(value.toSingle());
    case QMetaType::Double:
        return QVariant(value.toDouble());
    case QMetaType::QString:
        return QVariant(qtText(value.toString()));
    case QMetaType::QByteArray: {
        const std::string s = value.toString();
        return QVariant(QByteArray(s.data(), static_cast<qsizetype>(s.size())));
    }
    case QMetaType::QVariant:
        // The Variant's own kind; a Date travels as its serial.
        switch (value.type()) {
        case Variant::Type::kEmpty:
            return QVariant();
        case Variant::Type::kInteger:
            return QtFromVariant(value, QMetaType::Short);
        case Variant::Type::kLong:
            return QtFromVariant(value, QMetaType::Int);
        case Variant::Type::kSingle:
            return QtFromVariant(value, QMetaType::Float);
        case Variant::Type::kString:
            return QtFromVariant(value, QMetaType::QString);
        case Variant::Type::kBoolean:
            return QtFromVariant(value, QMetaType::Bool);
        default:
            return QtFromVariant(value, QMetaType::Double);
        }
    default:
        throw RuntimeError(err::TypeMismatch);
    }
}
