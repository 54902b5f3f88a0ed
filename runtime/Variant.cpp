#include "runtime/Variant.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

bool Variant::IsNumber() const {
    Type t = type();
    return t == Type::kInteger || t == Type::kLong || t == Type::kSingle || t == Type::kDouble;
}

double Variant::toDouble() const {
    switch (type()) {
    case Type::kEmpty:
        return 0.0;
    case Type::kInteger:
        return std::get<Integer>(v_);
    case Type::kLong:
        return std::get<Long>(v_);
    case Type::kSingle:
        return std::get<float>(v_);
    case Type::kDouble:
        return std::get<double>(v_);
    case Type::kString:
        return CDbl(std::get<std::string>(v_));
    case Type::kDate:
        return std::get<Date>(v_).serial;
    case Type::kBoolean:
        return std::get<bool>(v_) ? -1.0 : 0.0;
    }
    return 0.0;
}

float Variant::toSingle() const {
    if (type() == Type::kSingle) return std::get<float>(v_);
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
    case Type::kEmpty:
        return "";
    case Type::kInteger:
        return CStr(std::get<Integer>(v_));
    case Type::kLong:
        return CStr(std::get<Long>(v_));
    case Type::kSingle:
        return CStr(std::get<float>(v_));
    case Type::kDouble:
        return CStr(std::get<double>(v_));
    case Type::kString:
        return std::get<std::string>(v_);
    case Type::kDate:
        return DateText(std::get<Date>(v_));
    case Type::kBoolean:
        return std::get<bool>(v_) ? "True" : "False";
    }
    return "";
}

Date Variant::toDate() const {
    switch (type()) {
    case Type::kDate:
        return std::get<Date>(v_);
    case Type::kString: {
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
    if (type() == Type::kBoolean) return std::get<bool>(v_);
    if (type() == Type::kString) {
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
    if (ta == T::kString && tb == T::kString) return a.toString() == b.toString();
    if (ta == T::kEmpty && tb == T::kEmpty) return true;
    if (ta == T::kString && tb == T::kEmpty) return a.toString().empty();
    if (ta == T::kEmpty && tb == T::kString) return b.toString().empty();
    return a.toDouble() == b.toDouble();
}
