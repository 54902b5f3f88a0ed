#include "platform/Profile.h"

#include "platform/AtomicFile.h"
#include "platform/Component.h"
#include "runtime/Strings.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kMaxValue = 2047;

struct Line {
    std::string text; // without its line ending
    std::string end;  // "\r\n", "\n" or "" (a last line without one)
};

enum class ReadResult { Ok, Missing, Failed };

// The whole file; Missing when there is no file, Failed when there is one we cannot read.
ReadResult readFile(const std::string& path, std::string& content) {
    content.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadResult::Failed;
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return ReadResult::Failed;
        }
        if (n == 0) break;
        content.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadResult::Ok;
}

std::vector<Line> splitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t nl = content.find('\n', start);
        if (nl == std::string::npos) {
            lines.push_back({content.substr(start), ""});
            break;
        }
        const bool cr = nl > start && content[nl - 1] == '\r';
        lines.push_back({content.substr(start, nl - start - (cr ? 1 : 0)), cr ? "\r\n" : "\n"});
        start = nl + 1;
    }
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string trim(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && isBlank(s[a]))
        ++a;
    while (b > a && isBlank(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

// Section and key names compare without regard to (ASCII) case.
bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && UCase(a) == UCase(b);
}

// What a line is to the profile reader.
struct Parsed {
    enum Kind { Other, Section, Key } kind = Other;
    std::string name;       // section or key name, trimmed
    std::size_t equals = 0; // position of the "=" in the line's text (keys)
};

Parsed parse(const std::string& raw, bool first) {
    std::string text = raw;
    // A byte order mark before the first line is not part of it.
    if (first && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    const std::size_t offset = raw.size() - text.size();
    Parsed p;
    const std::string t = trim(text);
    if (t.empty() || t[0] == ';') return p;
    if (t[0] == '[') {
        const std::size_t close = t.find(']');
        p.kind = Parsed::Section;
        p.name = trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return p;
    }
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos) return p;
    p.kind = Parsed::Key;
    p.name = trim(text.substr(0, eq));
    p.equals = eq + offset;
    return p;
}

std::string valueOf(const std::string& text, std::size_t equals) {
    std::string v = trim(text.substr(equals + 1));
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
        v = v.substr(1, v.size() - 2);
    if (v.size() > kMaxValue) v.resize(kMaxValue);
    return v;
}

bool hasLineBreak(const std::string& s) {
    return s.find_first_of("\r\n") != std::string::npos;
}

// Walks the keys of the first section named section, in file order, until visit returns true.
// False when the file cannot be read.
template <class Visit>
bool walkSection(const std::string& section, const std::string& file, Visit visit) {
    std::string content;
    if (file.empty() || readFile(NativePath(file), content) != ReadResult::Ok) return false;
    const std::string wantSection = trim(section);
    bool inSection = false, seen = false;
    const std::vector<Line> lines = splitLines(content);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Parsed p = parse(lines[i].text, i == 0);
        if (p.kind == Parsed::Section) {
            // Only the first section of a name counts.
            if (seen) break;
            inSection = sameName(p.name, wantSection);
            seen = inSection;
        } else if (p.kind == Parsed::Key && inSection) {
            if (visit(p.name, lines[i].text, p.equals)) break;
        }
    }
    return true;
}

} // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& def, const std::string& file) {
    const std::string wantKey = trim(key);
    std::string value = def;
    walkSection(section, file,
                [&](const std::string& name, const std::string& text, std::size_t equals) {
                    if (!sameName(name, wantKey)) return false;
                    value = valueOf(text, equals);
                    return true;
                });
    return value;
}

ProfileSection GetProfileSection(const std::string& section, const std::string& file) {
    ProfileSection keys;
    walkSection(section, file,
                [&](const std::string& name, const std::string& text, std::size_t equals) {
                    keys.emplace_back(name, valueOf(text, equals));
                    return false;
                });
    return keys;
}

Long WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) {
    const std::string wantSection = trim(section);
    const std::string wantKey = trim(key);
    // Texts that would read back as something else, or break the file's lines, are refused.
    if (file.empty() || wantKey.empty() || hasLineBreak(section) || hasLineBreak(key) ||
        hasLineBreak(value) || wantSection.find(']') != std::string::npos ||
        wantKey.find('=') != std::string::npos || wantKey[0] == '[' || wantKey[0] == ';')
        return 0;

    const std::string path = NativePath(file);
    std::string content;
    const ReadResult read = readFile(path, content);
    if (read == ReadResult::Failed) return 0;

    std::vector<Line> lines = splitLines(content);
    // Keep the file's line ending; a new file gets CR LF.
    std::string eol = "\r\n";
    for (const Line& l : lines)
        if (!l.end.empty()) {
            eol = l.end;
            break;
        }

    const std::string newLine = wantKey + "=" + value;
    bool inSection = false, done = false;
    std::size_t lastContent = 0;
    for (std::size_t i = 0; i < lines.size() && !done; ++i) {
        const Parsed p = parse(lines[i].text, i == 0);
        if (p.kind == Parsed::Section) {
            if (inSection) break;
            if (sameName(p.name, wantSection)) {
                inSection = true;
                lastContent = i;
            }
        } else if (inSection) {
            if (p.kind == Parsed::Key && sameName(p.name, wantKey)) {
                lines[i].text = lines[i].text.substr(0, p.equals + 1) + value;
                done = true;
            } else if (!trim(lines[i].text).empty()) {
                lastContent = i;
            }
        }
    }
    if (!done) {
        if (inSection) {
            // After the section's last line that is not blank.
            if (lines[lastContent].end.empty()) lines[lastContent].end = eol;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1,
                         Line{newLine, eol});
        } else {
            if (!lines.empty() && lines.back().end.empty()) lines.back().end = eol;
            lines.push_back({"[" + wantSection + "]", eol});
            lines.push_back({newLine, eol});
        }
    }

    std::string out;
    out.reserve(content.size() + newLine.size() + wantSection.size() + 8);
    for (const Line& l : lines)
        out += l.text + l.end;

    AtomicFile f;
    if (f.Open(path) != 0) return 0;
    if (f.WriteAt(0, out.data(), out.size()) != 0) return 0;
    return f.Commit() == 0 ? 1 : 0;
}
