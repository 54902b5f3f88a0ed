#include "common/NcHttp.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char* const kTotalKey = "HTTP.TIMEOUT";
const char* const kConnectKey = "HTTP.CONNECTTIMEOUT";

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

// The key and value of a line that holds for every server; false for blank lines, comments
// and lines for one server ("[url]KEY=VALUE"). A key alone sets an empty value.
bool globalSetting(const std::string& line, std::string& key, std::string& value) {
    const std::string t = trimmed(line);
    if (t.empty() || t[0] == '#' || t[0] == '[') return false;
    const auto eq = t.find('=');
    key = trimmed(t.substr(0, eq));
    value = eq == std::string::npos ? std::string() : trimmed(t.substr(eq + 1));
    return !key.empty();
}

// The key and value of a line "[prefix]KEY=VALUE" meant for the servers whose URLs start with
// prefix; false for any other line.
bool scopedSetting(const std::string& line, std::string& prefix, std::string& key,
                   std::string& value) {
    const std::string t = trimmed(line);
    if (t.size() < 2 || t[0] != '[') return false;
    const auto close = t.find(']');
    if (close == std::string::npos) return false;
    prefix = trimmed(t.substr(1, close - 1));
    const std::string rest = trimmed(t.substr(close + 1));
    const auto eq = rest.find('=');
    key = trimmed(rest.substr(0, eq));
    value = eq == std::string::npos ? std::string() : trimmed(rest.substr(eq + 1));
    return !prefix.empty() && !key.empty();
}

// The URL without its scheme, so that a prefix given as "host:port/path" matches too.
std::string withoutScheme(const std::string& url) {
    const auto at = url.find("://");
    return at == std::string::npos ? url : url.substr(at + 3);
}

// netCDF-C takes an empty or unreadable value as 0, which is no limit.
Long seconds(const std::string& value) {
    const long n = std::strtol(value.c_str(), nullptr, 10);
    return n > 0 && n < 0x7fffffff ? static_cast<Long>(n) : 0;
}

// What the user's lines set, the last line of a key winning as in netCDF-C.
struct UserTimeouts {
    NcHttpTimeouts values;
    bool connect = false;
    bool total = false;
};

UserTimeouts userTimeouts(const std::vector<NcRcFile>& user) {
    UserTimeouts set;
    for (const NcRcFile& file : user) {
        for (const std::string& line : file.lines) {
            std::string key, value;
            if (!globalSetting(line, key, value)) continue;
            if (key == kConnectKey) {
                set.connect = true;
                set.values.connect = seconds(value);
            } else if (key == kTotalKey) {
                set.total = true;
                set.values.total = seconds(value);
            }
        }
    }
    return set;
}

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    // A FIFO or a device in an rc file's place would hold the read for ever.
    std::string content;
    if (ReadRegularFile(path, content) != 0) return false;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

// A name that changes with the text, so that two programs that need different texts at the
// same time never write over each other's file.
std::string nameFor(const std::string& text) {
    std::uint64_t h = 14695981039346656037ull; // FNV-1a
    for (const unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return std::string("ncrc-") + hex;
}

// A real folder (no link) that belongs to this user.
bool ownedFolder(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

// The folder made, and kept to this user: our file may carry what the user's rc files hold,
// passwords included. It and the folder above it must be ours, or another user could swap
// the file before netCDF-C reads it.
bool prepareFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!ownedFolder(folder) || !ownedFolder(folder.parent_path())) return false;
    return ::chmod(folder.c_str(), 0700) == 0;
}

bool sameText(const std::string& path, const std::string& text) {
    std::string held;
    return ReadRegularFile(path, held) == 0 && held == text;
}

bool writeWhole(const std::string& path, const std::string& text) {
    if (sameText(path, text)) return true;
    AtomicFile file;
    if (file.Open(path) != 0) return false;
    if (file.WriteAt(0, text.data(), text.size()) != 0) return false;
    return file.Commit() == 0;
}

} // namespace

std::vector<NcRcFile> UserNcRcFiles() {
    std::vector<NcRcFile> files;
    if (std::getenv("NCRCENV_IGNORE") != nullptr) return files;
    std::vector<std::string> paths;
    const std::string named = env("NCRCENV_RC");
    if (!named.empty()) {
        paths.push_back(named);
    } else {
        std::string home = env("NCRCENV_HOME");
        if (home.empty()) home = env("HOME");
        std::error_code ec;
        const std::string cwd = fs::current_path(ec).string();
        for (const std::string& folder : {home, cwd}) {
            if (folder.empty()) continue;
            for (const char* name : {".ncrc", ".daprc", ".dodsrc"})
                paths.push_back((fs::path(folder) / name).string());
        }
    }
    for (const std::string& path : paths) {
        NcRcFile file{path, {}};
        if (readLines(path, file.lines)) files.push_back(std::move(file));
    }
    return files;
}

std::string MergedNcRc(const std::vector<NcRcFile>& user, NcHttpTimeouts& inForce) {
    const UserTimeouts set = userTimeouts(user);
    inForce = set.values;
    if (set.connect && set.total) return {};
    std::string text =
        "# HTTP time-outs for Pelorin, then the lines of the rc files it stands for\n";
    if (!set.connect) {
        inForce.connect = kNcConnectTimeout;
        text += std::string(kConnectKey) + "=" + std::to_string(kNcConnectTimeout) + "\n";
    }
    if (!set.total) {
        inForce.total = kNcTotalTimeout;
        text += std::string(kTotalKey) + "=" + std::to_string(kNcTotalTimeout) + "\n";
    }
    for (const NcRcFile& file : user) {
        text += "# " + file.path + "\n";
        for (const std::string& line : file.lines)
            text += line + "\n";
    }
    return text;
}

std::string NcRcFolder() {
    const std::string cache = env("XDG_CACHE_HOME");
    if (!cache.empty() && cache[0] == '/') return (fs::path(cache) / "pelorin" / "netcdf").string();
    const std::string home = env("HOME");
    if (!home.empty() && home[0] == '/')
        return (fs::path(home) / ".cache" / "pelorin" / "netcdf").string();
    std::error_code ec;
    fs::path temp = fs::temp_directory_path(ec);
    if (ec) temp = "/tmp";
    return (temp / ("pelorin-" + std::to_string(::geteuid())) / "netcdf").string();
}

NcHttpTimeouts PrepareNcHttpTimeoutsIn(const std::string& folder) {
    try {
        if (std::getenv("NCRCENV_IGNORE") != nullptr) return {};
        const std::vector<NcRcFile> user = UserNcRcFiles();
        NcHttpTimeouts inForce;
        const std::string text = MergedNcRc(user, inForce);
        if (text.empty()) return inForce;
        const fs::path dir(folder);
        const std::string path = (dir / nameFor(text)).string();
        // Without our file the user's own settings are all there is.
        if (!prepareFolder(dir) || !writeWhole(path, text) ||
            ::setenv("NCRCENV_RC", path.c_str(), 1) != 0)
            return userTimeouts(user).values;
        return inForce;
    } catch (...) {
        // Without our file the user's settings stay as they are; nothing else depends on it.
        return {};
    }
}

NcHttpTimeouts PrepareNcHttpTimeouts() {
    static const NcHttpTimeouts inForce = PrepareNcHttpTimeoutsIn(NcRcFolder());
    return inForce;
}

std::string NcRcValue(const std::vector<NcRcFile>& files, const std::string& key,
                      const std::string& url) {
    std::string found;
    for (const NcRcFile& file : files) {
        for (const std::string& line : file.lines) {
            std::string prefix, k, value;
            if (globalSetting(line, k, value)) {
                if (k == key) found = value;
            } else if (scopedSetting(line, prefix, k, value) && k == key) {
                if (url.rfind(prefix, 0) == 0 ||
                    withoutScheme(url).rfind(withoutScheme(prefix), 0) == 0)
                    found = value;
            }
        }
    }
    return found;
}

bool IsNcUrl(const std::string& name) {
    auto startsWith = [&name](const std::string& lead) {
        if (name.size() < lead.size()) return false;
        for (std::size_t i = 0; i < lead.size(); ++i) {
            const char c = name[i];
            if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != lead[i])
                return false;
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

double NcCallStallLimit(const NcHttpTimeouts& inForce) {
    return 1.5 * static_cast<double>(inForce.total > 0 ? inForce.total : kNcTotalTimeout);
}
