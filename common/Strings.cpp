#include "common/Strings.h"

#include "common/Ui.h"
#include "platform/Component.h"
#include "platform/Kovra.h"
#include "platform/Profile.h"
#include "platform/RegularFile.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <string_view>
#include <vector>

namespace {

bool suppressPutMsg = false;

const char* const kProgramTitle = "Pelorin";

bool isBlank(const std::string& s) {
    return s.find_first_not_of(' ') == std::string::npos;
}

std::string::size_type lastSeparator(const std::string& path) {
    return path.find_last_of("\\/");
}

// The last component of a path: everything after its last separator.
std::string lastComponent(const std::string& path) {
    const auto sep = lastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

// The separator of the text from (1-based) position p on: tab before ";" before "," before
// the blank.
char chooseSeparator(std::string_view text, int64_t p) {
    const std::string_view part =
        p <= static_cast<int64_t>(text.size()) ? text.substr(static_cast<std::size_t>(p - 1)) : "";
    if (part.find('\t') != std::string_view::npos) return '\t';
    if (part.find(';') != std::string_view::npos) return ';';
    if (part.find(',') != std::string_view::npos) return ',';
    return ' ';
}

// Calls f(from, length) for each run of characters other than sep in text from offset `from`
// on, in order, until f returns false. One pass: every character is looked at once.
template <class F> void eachRun(std::string_view text, std::size_t from, char sep, F&& f) {
    while (from < text.size()) {
        const std::size_t q = std::min(text.find(sep, from), text.size());
        if (q > from && !f(from, q - from)) return;
        from = q + 1;
    }
}

Long findPiece(const std::string& text, Long n, Long& start, Long& end, bool wordsOnly) {
    if (text.empty() || n < 1) return 0;
    // Wider than Long: end may come in at its limit.
    int64_t p = int64_t{end} + 1;
    if (p < 1) p = 1;
    if (p > static_cast<int64_t>(text.size())) return 0;
    const char sep = wordsOnly ? ' ' : chooseSeparator(text, p);
    Long count = 0;
    Long length = 0;
    eachRun(text, static_cast<std::size_t>(p - 1), sep, [&](std::size_t from, std::size_t size) {
        start = static_cast<Long>(from + 1);
        end = static_cast<Long>(from + size);
        if (++count < n) return true;
        length = end - start + 1;
        return false;
    });
    return length;
}

// The n-th piece of text ("" when there is none).
std::string piece(const std::string& text, Long n, bool wordsOnly) {
    if (text.empty()) return {};
    Long start = 0;
    Long end = 0;
    const Long length = findPiece(text, n, start, end, wordsOnly);
    if (length <= 0) return {};
    return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}

// The text before its first line break.
std::string_view firstLine(std::string_view text) {
    return text.substr(0, std::min(text.find_first_of("\r\n"), text.size()));
}

// The absolute form of path with the folders that exist resolved (links, "." and "..").
bool resolvedPath(const std::string& path, std::filesystem::path& out) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    if (ec) return false;
    out = std::filesystem::weakly_canonical(absolute, ec);
    return !ec;
}

bool modificationTime(const std::string& name, struct timespec& t) {
    struct stat st {};
    if (::stat(NativePath(name).c_str(), &st) != 0) return false;
    t = st.st_mtim;
    return true;
}

} // namespace

std::string GetString(const std::string& key, const std::string& section, const std::string& file) {
    return GetProfileString(section, key, "", file);
}

void PutString(const std::string& key, const std::string& section, const std::string& file,
               const std::string& value) {
    if (WriteProfileString(section, key, value, file) != 0) return;
    if (suppressPutMsg) return;
    const std::string text = "[PutString] Item not written:\n"
                             "\n"
                             "file   : " +
                             file + "\nsection: " + section + "\nitem   : " + key +
                             "\nvalue  : " + value +
                             "\n"
                             "\n"
                             "Click 'Yes' to suppress further message";
    if (ui().MsgBox(text, kYesNoCancel, kProgramTitle) == kYes) suppressPutMsg = true;
}

bool PutMessagesSuppressed() {
    return suppressPutMsg;
}

void ResetPutMessages() {
    suppressPutMsg = false;
}

std::string FolderOf(const std::string& path) {
    if (isBlank(path)) return {};
    const auto sep = lastSeparator(path);
    if (sep == std::string::npos) return {};
    return path.substr(0, sep);
}

std::string GetFolderUpper(std::string& path) {
    path = Trim(path);
    if (path.empty()) return {};
    const auto sep = lastSeparator(path);
    if (sep == std::string::npos) return {};
    return UCase(path.substr(0, sep));
}

std::string FileNameOf(const std::string& path) {
    if (isBlank(path)) return {};
    const std::string component = lastComponent(path);
    const auto dot = component.find('.');
    if (dot == std::string::npos) return path;
    return Trim(component.substr(0, dot));
}

std::string FileExtensionOf(const std::string& path) {
    if (isBlank(path)) return {};
    const std::string component = lastComponent(path);
    const auto dot = component.find('.');
    if (dot == std::string::npos) return {};
    return Trim(component.substr(dot + 1));
}

std::string ChangeExtension(const std::string& name, const std::string& extension) {
    // A dataset opened by URL has no file beside it to derive a name from.
    if (IsURL(name)) return {};
    // Only the last component's dot counts: a folder may hold dots too.
    const auto sep = lastSeparator(name);
    const auto dot = name.find('.', sep == std::string::npos ? 0 : sep + 1);
    if (dot == std::string::npos) return name + "." + extension;
    return Trim(name.substr(0, dot + 1)) + extension;
}

bool IsURL(const std::string& text) {
    std::size_t p = text.find_first_not_of(' ');
    if (p == std::string::npos) return false;
    // netCDF-C's prefix form: "[mode=dap2]", "[log]", ... before the URL itself.
    while (p < text.size() && text[p] == '[') {
        const auto close = text.find(']', p);
        if (close == std::string::npos) return false;
        p = close + 1;
    }
    // scheme = letter *(letter / digit / "+" / "-" / "."); one letter would be a drive.
    const std::size_t start = p;
    if (p >= text.size() || !std::isalpha(static_cast<unsigned char>(text[p]))) return false;
    while (p < text.size()) {
        const auto c = static_cast<unsigned char>(text[p]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') break;
        ++p;
    }
    return p - start >= 2 && text.compare(p, 3, "://") == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    if (isBlank(a) || isBlank(b) || IsURL(a) || IsURL(b)) return false;
    const std::string pa = NativePath(a);
    const std::string pb = NativePath(b);
    // One file however it is reached: its device and inode.
    struct stat sa {};
    struct stat sb {};
    const bool hasA = ::stat(pa.c_str(), &sa) == 0;
    const bool hasB = ::stat(pb.c_str(), &sb) == 0;
    if (hasA && hasB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (hasA != hasB) return false;
    // Neither exists: the paths themselves, with what exists of them resolved.
    std::filesystem::path ca, cb;
    return resolvedPath(pa, ca) && resolvedPath(pb, cb) && ca == cb;
}

Long FindToken(const std::string& text, Long n, Long& start, Long& end) {
    return findPiece(text, n, start, end, false);
}

Long FindWord(const std::string& text, Long n, Long& start, Long& end) {
    return findPiece(text, n, start, end, true);
}

std::string GetToken(const std::string& text, Long n) {
    return piece(text, n, false);
}

double GetTokenValue(const std::string& text, Long n) {
    const std::string token = piece(text, n, false);
    return token.empty() ? 0.0 : Val(token);
}

double GetWord(const std::string& text, Long n) {
    const std::string word = piece(text, n, true);
    return word.empty() ? 0.0 : Val(word);
}

Long CountTokens(const std::string& text) {
    const std::string_view line = firstLine(text);
    Long count = 0;
    eachRun(line, 0, chooseSeparator(line, 1), [&](std::size_t, std::size_t) {
        ++count;
        return true;
    });
    return count;
}

std::vector<std::string_view> Tokens(const std::string& text) {
    std::vector<std::string_view> tokens;
    const std::string_view all(text);
    eachRun(all, 0, chooseSeparator(all, 1), [&](std::size_t from, std::size_t size) {
        tokens.push_back(all.substr(from, size));
        return true;
    });
    return tokens;
}

std::vector<std::string_view> ListTokens(const std::string& text) {
    std::vector<std::string_view> tokens = Tokens(text);
    const auto n = static_cast<std::size_t>(CountTokens(text));
    if (tokens.size() > n) tokens.resize(n);
    return tokens;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    // ASCII letters only, as UCase folds them.
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) return false;
    }
    return true;
}

Long FileExistsOpen(const std::string& fileName) {
    // A FIFO or a device named here would hold the open, so it is refused as a folder is.
    int fd = -1;
    struct stat st {};
    if (const int e = OpenRegularFile(NativePath(fileName), fd, st)) return -e;
    ::close(fd);
    return 1;
}

bool ExistFile(const std::string& name) {
    if (isBlank(name)) return false;
    return Exist(name) != kFalse;
}

Long CompareFileDates(const std::string& file1, const std::string& file2) {
    struct timespec t1 {};
    struct timespec t2 {};
    const bool missing1 = FileExistsOpen(file1) != 1 || !modificationTime(file1, t1);
    const bool missing2 = FileExistsOpen(file2) != 1 || !modificationTime(file2, t2);
    if (missing1 && missing2) return -3;
    if (missing1) return -1;
    if (missing2) return -2;
    if (t1.tv_sec != t2.tv_sec) return t1.tv_sec > t2.tv_sec ? 1 : 2;
    if (t1.tv_nsec != t2.tv_nsec) return t1.tv_nsec > t2.tv_nsec ? 1 : 2;
    return 3;
}

Long SettingLongOf(const std::string& text) {
    try {
        const double v = Val(text);
        if (!std::isfinite(v) || v < -2147483648.5 || v > 2147483647.5) return 0;
        return CLng(v);
    } catch (const RuntimeError&) {
        return 0;
    }
}
