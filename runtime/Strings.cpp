#include "runtime/Strings.h"
#include "runtime/RuntimeError.h"

namespace {
void require(bool ok) {
    if (!ok) throw RuntimeError(err::InvalidCall);
}
Long length(const std::string& s) {
    return static_cast<Long>(s.size());
}
} // namespace

std::string Left(const std::string& s, Long n) {
    require(n >= 0);
    return s.substr(0, static_cast<std::size_t>(n));
}

std::string Right(const std::string& s, Long n) {
    require(n >= 0);
    if (n >= length(s)) return s;
    return s.substr(s.size() - static_cast<std::size_t>(n));
}

std::string Mid(const std::string& s, Long start) {
    require(start >= 1);
    if (start > length(s)) return "";
    return s.substr(static_cast<std::size_t>(start - 1));
}

std::string Mid(const std::string& s, Long start, Long len) {
    require(start >= 1 && len >= 0);
    if (start > length(s)) return "";
    return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(len));
}

Long InStr(const std::string& s, const std::string& find) {
    return InStr(1, s, find);
}

Long InStr(Long start, const std::string& s, const std::string& find) {
    require(start >= 1);
    if (start > length(s)) return 0;
    if (find.empty()) return start;
    std::size_t p = s.find(find, static_cast<std::size_t>(start - 1));
    return p == std::string::npos ? 0 : static_cast<Long>(p + 1);
}

Long InStrRev(const std::string& s, const std::string& find, Long start) {
    require(start == -1 || start >= 1);
    if (start == -1) start = length(s);
    if (start > length(s)) return 0;
    if (find.empty()) return start;
    // The match must end at or before character start.
    if (static_cast<Long>(find.size()) > start) return 0;
    std::size_t p = s.rfind(find, static_cast<std::size_t>(start) - find.size());
    return p == std::string::npos ? 0 : static_cast<Long>(p + 1);
}

Long Len(const std::string& s) {
    return length(s);
}

std::string LTrim(const std::string& s) {
    std::size_t b = s.find_first_not_of(' ');
    return b == std::string::npos ? "" : s.substr(b);
}

std::string RTrim(const std::string& s) {
    std::size_t e = s.find_last_not_of(' ');
    return e == std::string::npos ? "" : s.substr(0, e + 1);
}

std::string Trim(const std::string& s) {
    return LTrim(RTrim(s));
}

std::string UCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string LCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::string Space(Long n) {
    return StringOf(n, ' ');
}

std::string StringOf(Long n, char ch) {
    require(n >= 0);
    return std::string(static_cast<std::size_t>(n), ch);
}

std::string Replace(const std::string& s, const std::string& find, const std::string& with) {
    if (find.empty()) return s;
    std::string r;
    std::size_t pos = 0;
    for (;;) {
        std::size_t p = s.find(find, pos);
        if (p == std::string::npos) break;
        r.append(s, pos, p - pos);
        r += with;
        pos = p + find.size();
    }
    r.append(s, pos, std::string::npos);
    return r;
}

std::string Chr(Long code) {
    require(code >= 0 && code <= 255);
    return std::string(1, static_cast<char>(static_cast<unsigned char>(code)));
}

Long Asc(const std::string& s) {
    require(!s.empty());
    return static_cast<unsigned char>(s[0]);
}
