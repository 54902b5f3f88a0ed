#include "runtime/Variant.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

bool Variant::IsNumber() const {
    Type t = type();
    return t == Type::Integer || t == Type::Long || t == Type::Single || t == Type::Double;
}

double Variant::toDouble() const {
    switch (type()) {
    case Type::Empty:
        return 0.0;
    case Type::Integer:
        return std::get<Integer>(v_);
    case Type::Long:
        return std::get<Long>(v_);
    case Type::Single:
        return std::get<float>(v_);
    case Type::Double:
        return std::get<double>(v_);
    case Type::String:
        return CDbl(std::get<std::string>(v_));
    case Type::Date:
        return std::get<Date>(v_).serial;
    case Type::Boolean:
        return std::get<bool>(v_) ? -1.0 : 0.0;
    }
    return 0.0;
}

float Variant::toSingle() const {
    if (type() == Type::Single) return std::get<float>(v_);
    return CSng(toDouble());
}

Long Variant::toLong() const {
    return CLng(toDouble());
}
Integer Variant::toInteger() const {
    return CInt(toDouble());
}

std::string Variant::toString() const {
    switch (type()) {
    case Type::Empty:
        return "";
    case Type::Integer:
        return CStr(std::get<Integer>(v_));
    case Type::Long:
        return CStr(std::get<Long>(v_));
    case Type::Single:
        return CStr(std::get<float>(v_));
    case Type::Double:
        return CStr(std::get<double>(v_));
    case Type::String:
        return std::get<std::string>(v_);
    case Type::Date:
        return DateText(std::get<Date>(v_));
    case Type::Boolean:
        return std::get<bool>(v_) ? "True" : "False";
    }
    return "";
}

Date Variant::toDate() const {
    switch (type()) {
    case Type::Date:
        return std::get<Date>(v_);
    case Type::String: {
        const std::string& s = std::get<std::string>(v_);
        Date d;
        if (ParseDate(s, d)) return d;
        return Date(CDbl(s));
    }
    default:
        return Date(toDouble());
    }
}

bool Variant::toBool() const {
    if (type() == Type::Boolean) return std::get<bool>(v_);
    if (type() == Type::String) {
        const std::string& s = std::get<std::string>(v_);
        std::string u;
        for (char c : s)
            if (c != ' ') u.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
        if (u == "TRUE") return true;
        if (u == "FALSE") return false;
    }
    return toDouble() != 0.0;
}

bool operator==(const Variant& a, const Variant& b) {
    using T = Variant::Type;
    T ta = a.type(), tb = b.type();
    if (ta == T::String && tb == T::String) return a.toString() == b.toString();
    if (ta == T::Empty && tb == T::Empty) return true;
    if (ta == T::String && tb == T::Empty) return a.toString().empty();
    if (ta == T::Empty && tb == T::String) return b.toString().empty();
    return a.toDouble() == b.toDouble();
}
