#include "platform/Profile.h"

#include "platform/AtomicFile.h"
#include "platform/Component.h"
#include "platform/RegularFile.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::size_t kMaxValue = 2047;
// Files whose parsed form is kept; more are rarely in use at once (settings, aliases).
constexpr std::size_t kCachedFiles = 8;

struct Line {
    std::string text; // without its line ending
    std::string end;  // "\r\n", "\n", "\r" or "" (a last line without one)
};

// A file's identity and state: a change of any of these is a change of the file.
struct Stamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    struct timespec mtime {};

    static Stamp of(const struct stat& st) {
        return {st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    }
    bool operator==(const Stamp& o) const {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec;
    }
};

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

// CR LF, LF and a lone CR each end a line.
std::vector<Line> splitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t at = content.find_first_of("\r\n", start);
        if (at == std::string::npos) {
            lines.push_back({content.substr(start), ""});
            break;
        }
        const bool crlf = content[at] == '\r' && at + 1 < content.size() && content[at + 1] == '\n';
        const std::size_t endLen = crlf ? 2 : 1;
        lines.push_back({content.substr(start, at - start), content.substr(at, endLen)});
        start = at + endLen;
    }
    return lines;
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

// A settings file parsed once: its lines as they stand (for writes) and the keys of the first
// section of each name (for reads).
struct Document {
    std::vector<Line> lines;
    std::vector<Parsed> parsed;
    struct Keys {
        ProfileSection keys;                            // in file order, duplicates too
        std::unordered_map<std::string, std::size_t> first; // UCase(name) -> index in keys
    };
    std::unordered_map<std::string, Keys> sections; // by UCase(name)

    explicit Document(const std::string& content) : lines(splitLines(content)) {
        parsed.reserve(lines.size());
        Keys* current = nullptr;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            parsed.push_back(parse(lines[i].text, i == 0));
            const Parsed& p = parsed.back();
            if (p.kind == Parsed::Section) {
                // Only the first section of a name counts.
                const auto [it, added] = sections.try_emplace(UCase(p.name));
                current = added ? &it->second : nullptr;
            } else if (p.kind == Parsed::Key && current != nullptr) {
                current->first.try_emplace(UCase(p.name), current->keys.size());
                current->keys.emplace_back(p.name, valueOf(lines[i].text, p.equals));
            }
        }
    }

    const Keys* section(const std::string& name) const {
        const auto it = sections.find(UCase(trim(name)));
        return it == sections.end() ? nullptr : &it->second;
    }
};

using DocumentPtr = std::shared_ptr<const Document>;

// Parsed files by path, each with the stamp of the file it was read from: a file is read again
// only when it has changed.
struct Cache {
    std::mutex mutex;
    std::unordered_map<std::string, std::pair<Stamp, DocumentPtr>> files;

    void put(const std::string& path, const Stamp& stamp, DocumentPtr doc) {
        std::lock_guard lock(mutex);
        if (files.size() >= kCachedFiles && files.count(path) == 0) files.clear();
        files[path] = {stamp, std::move(doc)};
    }
    void drop(const std::string& path) {
        std::lock_guard lock(mutex);
        files.erase(path);
    }
    DocumentPtr find(const std::string& path, const Stamp& stamp) {
        std::lock_guard lock(mutex);
        const auto it = files.find(path);
        if (it == files.end() || !(it->second.first == stamp)) return nullptr;
        return it->second.second;
    }
};

Cache& cache() {
    static Cache c;
    return c;
}

enum class ReadResult { Ok, Missing, Failed };

// The whole file and its stamp; Missing when there is no file, Failed when there is one we
// cannot read.
ReadResult readFile(const std::string& path, std::string& content, Stamp& stamp, bool& steady) {
    struct stat st {};
    const int e = ReadRegularFile(path, content, st);
    if (e == err::FileNotFound || e == err::PathNotFound) return ReadResult::Missing;
    if (e != 0) return ReadResult::Failed;
    stamp = Stamp::of(st);
    // A file changed while we read it is not kept: the next read takes it again.
    steady = ::stat(path.c_str(), &st) == 0 && Stamp::of(st) == stamp;
    return ReadResult::Ok;
}

// The parsed file at path, from the cache while the file is unchanged.
ReadResult load(const std::string& path, DocumentPtr& doc) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        doc = cache().find(path, Stamp::of(st));
        if (doc) return ReadResult::Ok;
    }
    std::string content;
    Stamp stamp;
    bool steady = false;
    const ReadResult r = readFile(path, content, stamp, steady);
    if (r != ReadResult::Ok) {
        cache().drop(path);
        doc = nullptr;
        return r;
    }
    doc = std::make_shared<const Document>(content);
    if (steady)
        cache().put(path, stamp, doc);
    else
        cache().drop(path);
    return r;
}

// The advisory lock that serialises the writes of every process on one settings file: an
// exclusive flock on a lock file beside it, held from the read to the rename. The lock file
// goes again when its holder is done; a waiter that wakes on a lock file already gone tries
// again on the new one, so that two writers never hold locks on different files.
class WriteLock {
public:
    explicit WriteLock(const std::string& file) {
        const std::string dest = AtomicFile::ResolveTarget(file);
        if (dest.empty()) return;
        path_ = dest + ".lock";
        for (int tries = 0; tries < 1000; ++tries) {
            const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
            // No lock file where none can be made: the write itself fails there too.
            if (fd < 0) return;
            int r;
            do
                r = ::flock(fd, LOCK_EX);
            while (r != 0 && errno == EINTR);
            struct stat held {};
            struct stat named {};
            if (r == 0 && ::fstat(fd, &held) == 0 && ::lstat(path_.c_str(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                fd_ = fd;
                return;
            }
            ::close(fd);
            if (r != 0) return;
        }
    }
    ~WriteLock() {
        if (fd_ < 0) return;
        // Removed while still held: a waiter on it sees it gone and takes the next one.
        ::unlink(path_.c_str());
        ::close(fd_);
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

private:
    std::string path_;
    int fd_ = -1;
};

const Document::Keys* findSection(const std::string& section, const std::string& file,
                                  DocumentPtr& doc) {
    if (file.empty() || load(NativePath(file), doc) != ReadResult::Ok) return nullptr;
    return doc->section(section);
}

} // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& def, const std::string& file) {
    DocumentPtr doc;
    const Document::Keys* keys = findSection(section, file, doc);
    if (keys == nullptr) return def;
    const auto it = keys->first.find(UCase(trim(key)));
    return it == keys->first.end() ? def : keys->keys[it->second].second;
}

ProfileSection GetProfileSection(const std::string& section, const std::string& file) {
    DocumentPtr doc;
    const Document::Keys* keys = findSection(section, file, doc);
    return keys == nullptr ? ProfileSection{} : keys->keys;
}

namespace {

// Texts that would read back as something else, or break the file's lines, are refused.
bool writable(const std::string& section, const std::string& key, const std::string& value,
              const std::string& file) {
    const std::string wantSection = trim(section);
    const std::string wantKey = trim(key);
    return !(file.empty() || wantKey.empty() || hasLineBreak(section) || hasLineBreak(key) ||
             hasLineBreak(value) || wantSection.find(']') != std::string::npos ||
             wantKey.find('=') != std::string::npos || wantKey[0] == '[' || wantKey[0] == ';');
}

// The value put in place of the key's in the section, else after the section's last line that
// is not blank, else in a new section at the end. New lines take the file's line ending; a new
// file gets CR LF.
void setKeyLine(std::vector<Line>& lines, const std::vector<Parsed>& parsed,
                const std::string& wantSection, const std::string& wantKey,
                const std::string& value) {
    std::string eol = "\r\n";
    for (const Line& l : lines)
        if (!l.end.empty()) {
            eol = l.end;
            break;
        }
    std::string newLine = wantKey;
    newLine.append("=").append(value);
    bool inSection = false;
    std::size_t lastContent = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Parsed& p = parsed[i];
        if (p.kind == Parsed::Section) {
            if (inSection) break;
            if (sameName(p.name, wantSection)) {
                inSection = true;
                lastContent = i;
            }
        } else if (inSection) {
            if (p.kind == Parsed::Key && sameName(p.name, wantKey)) {
                lines[i].text = lines[i].text.substr(0, p.equals + 1) + value;
                return;
            }
            if (!trim(lines[i].text).empty()) lastContent = i;
        }
    }
    if (inSection) {
        if (lines[lastContent].end.empty()) lines[lastContent].end = eol;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1,
                     Line{newLine, eol});
        return;
    }
    if (!lines.empty() && lines.back().end.empty()) lines.back().end = eol;
    std::string header = "[";
    header.append(wantSection).append("]");
    lines.push_back({header, eol});
    lines.push_back({newLine, eol});
}

// The lines written over the file at path at once; what was written is what the next read
// finds. 1, or 0 when the write failed.
Long replaceFile(const std::string& path, const std::vector<Line>& lines) {
    std::string out;
    for (const Line& l : lines)
        out.append(l.text).append(l.end);
    AtomicFile f;
    if (f.Open(path) != 0) return 0;
    if (f.WriteAt(0, out.data(), out.size()) != 0) return 0;
    if (f.Commit() != 0) {
        cache().drop(path);
        return 0;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        cache().put(path, Stamp::of(st), std::make_shared<const Document>(out));
    else
        cache().drop(path);
    return 1;
}

} // namespace

Long WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) {
    if (!writable(section, key, value, file)) return 0;
    const std::string path = NativePath(file);
    // Another process may write the file between our read and our rename: the lock keeps its
    // keys and ours. Under it the file is read afresh, whatever the cache holds.
    const WriteLock lock(path);
    std::string content;
    Stamp stamp;
    bool steady = false;
    const ReadResult read = readFile(path, content, stamp, steady);
    if (read == ReadResult::Failed) return 0;
    std::vector<Line> lines;
    std::vector<Parsed> parsed;
    if (read == ReadResult::Ok) {
        const Document doc(content);
        lines = doc.lines;
        parsed = doc.parsed;
    }
    setKeyLine(lines, parsed, trim(section), trim(key), value);
    return replaceFile(path, lines);
}
