#include "kelvadlib/Utils.h"

#include "platform/Profile.h"
#include "runtime/Strings.h"

#include <cmath>

std::string ComposeDebugLine(const std::string* items, std::size_t count) {
    if (count == 1) return Trim(items[0]);
    constexpr std::size_t kWidth = 1024;
    std::string line(kWidth, ' ');
    std::size_t column = 0; // 0-based start of the next item
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& t = items[i];
        for (std::size_t k = 0; k < t.size() && column + k < kWidth; ++k)
            line[column + k] = t[k];
        column += t.size() + 4;
    }
    return Trim(line);
}

std::string GetIniString(const std::string& file, const std::string& section,
                         const std::string& key) {
    return Trim(GetProfileString(section, key, "", file));
}

bool IsNanText(float value) {
    return !std::isfinite(value);
}
bool IsNanText(double value) {
    return !std::isfinite(value);
}

std::string PrintableOnly(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 32 && code <= 126) out += c;
    }
    return Trim(out);
}

std::string ErrorFrame(const std::string& tag, const RuntimeError& e) {
    return tag + "Error message (number " + CStr(static_cast<Long>(e.number())) + ")is:\r\n\"" +
           e.description() + "\"";
}
