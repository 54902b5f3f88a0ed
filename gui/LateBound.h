#pragma once
// Late binding: members of a QObject called by name, as a host calls a control whose class it
// never sees. A member is a Q_INVOKABLE method or a Q_PROPERTY of the object's meta-object,
// found by its name without regard to letter case (the first that matches exactly wins);
// its dispatch id, where the class gives one, stands in its class info "DispId.<name>".
//
// Arguments and results are Variants. Each argument is converted to the parameter's type by
// the Variant conversions (a text that is no number raises 13, a number out of range 6);
// results come back as the Variant of their type: short Integer, int Long, float Single,
// double Double, text String, bool Boolean, an invalid QVariant Empty.
//
// Raised errors (RuntimeError): 91 without an object, 438 for a name that is no member,
// 450 for a wrong number of arguments or an assignment to a method or a read-only property,
// 13 for an argument or result of a type that cannot be converted.
#include "runtime/Types.h"
#include "runtime/Variant.h"

#include <string>
#include <vector>

class QObject;
class QVariant;

class LateBound {
public:
    explicit LateBound(QObject* object = nullptr) : object_(object) {}

    QObject* object() const { return object_; }
    void setObject(QObject* object) { object_ = object; }

    // Calls a method with the arguments; without arguments a property is read as well.
    Variant Call(const std::string& name, const std::vector<Variant>& args = {}) const;
    // Reads a property, or calls a method (so that a member read is the same whichever it is).
    Variant Get(const std::string& name, const std::vector<Variant>& args = {}) const;
    // Assigns a property.
    void Let(const std::string& name, const Variant& value) const;

    // The dispatch id the class gives the member; -1 when it gives none. 438 for a name
    // that is no member.
    Long DispId(const std::string& name) const;

private:
    QObject* object_ = nullptr;
};

// The conversions at the boundary, for hosts that hold QVariants themselves.
Variant VariantFromQt(const QVariant& value);
// The value converted to the meta-type (a QMetaType id); 13 when there is no conversion.
QVariant QtFromVariant(const Variant& value, int metaType);
