#include "platform/AtomicFile.h"
#include "platform/Component.h"
#include "runtime/RuntimeError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kTempMark = ".tmp-";
// Slack between the system's boot time (whole seconds) and a process's start counted from it.
constexpr double kStartSlackSeconds = 2;
// Links followed before a target counts as a loop (the system's own limit).
constexpr int kMaxLinks = 40;

std::string folderForFiles(const std::string& target) {
    std::string folder = PathFolder(target);
    return folder.empty() ? "." : folder;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

mode_t newFileMode() {
    // The umask can only be read by setting it; put it back at once.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A file the user has made read-only. Judged by its mode bits as well as by the system's
// answer, since root may write anything and a rename over the file never asks.
bool readOnlyFile(const std::string& path, const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return false;
    if ((st.st_mode & 0222) == 0) return true;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// The temporaries this process has open, kept from the clean-up whatever their age. Held by
// name alone: the folder may be spelt in more than one way, and the names carry our pid and a
// part unique in their folder.
struct LiveTemporaries {
    std::mutex mutex;
    std::set<std::string> names;
};

LiveTemporaries& live() {
    static LiveTemporaries l;
    return l;
}

void addLive(const std::string& path) {
    std::lock_guard lock(live().mutex);
    live().names.insert(PathFileName(path));
}

void dropLive(const std::string& path) {
    std::lock_guard lock(live().mutex);
    live().names.erase(PathFileName(path));
}

bool isLive(const std::string& name) {
    std::lock_guard lock(live().mutex);
    return live().names.count(name) != 0;
}

bool isAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The writer's process id of a name made by AtomicFile::Open (".<name>.tmp-<pid>-XXXXXX"),
// or 0 when the name is not one of ours.
pid_t writerOf(const std::string& name) {
    constexpr std::size_t kRandom = 6;
    if (name.size() < kRandom + 2 || name[0] != '.') return 0;
    const std::size_t dash = name.size() - kRandom - 1;
    if (name[dash] != '-') return 0;
    for (std::size_t i = dash + 1; i < name.size(); ++i)
        if (!isAlnum(name[i])) return 0;
    std::size_t digits = dash;
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
        --digits;
    const std::size_t count = dash - digits;
    const std::size_t markLen = std::char_traits<char>::length(kTempMark);
    // At least one character of the target's name between the dot and the mark.
    if (count == 0 || count > 9 || digits < markLen + 2) return 0;
    if (name.compare(digits - markLen, markLen, kTempMark) != 0) return 0;
    pid_t pid = 0;
    for (std::size_t i = digits; i < dash; ++i)
        pid = pid * 10 + (name[i] - '0');
    return pid;
}

bool processGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// When the process pid started, in seconds since the epoch; false when the system does not
// say.
bool processStart(pid_t pid, double& started) {
    static const double bootTime = [] {
        std::FILE* f = std::fopen("/proc/stat", "r");
        if (f == nullptr) return -1.0;
        char line[512];
        double boot = -1;
        while (std::fgets(line, sizeof line, f) != nullptr) {
            unsigned long long b = 0;
            if (std::sscanf(line, "btime %llu", &b) == 1) {
                boot = static_cast<double>(b);
                break;
            }
        }
        std::fclose(f);
        return boot;
    }();
    if (bootTime < 0) return false;
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (f == nullptr) return false;
    char buf[1024];
    const std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = '\0';
    // The command name in parentheses may hold blanks and parentheses: count from the last ")".
    const char* p = std::strrchr(buf, ')');
    if (p == nullptr) return false;
    // After ")": state (field 3) ... starttime is field 22.
    unsigned long long ticks = 0;
    int field = 2;
    for (const char* q = p + 1; *q != '\0'; ++q) {
        if (*q != ' ') continue;
        if (++field == 22) {
            if (std::sscanf(q + 1, "%llu", &ticks) != 1) return false;
            const long hz = ::sysconf(_SC_CLK_TCK);
            if (hz <= 0) return false;
            started = bootTime + static_cast<double>(ticks) / static_cast<double>(hz);
            return true;
        }
    }
    return false;
}

// Whether the writer named in a temporary still runs. A process of that number that started
// after the temporary last changed is another one that has the number now: the writer made the
// file, so it ran before the file's last change.
bool writerRuns(pid_t pid, const struct stat& st) {
    if (processGone(pid)) return false;
    double started = 0;
    if (!processStart(pid, started)) return true;
    return started <= static_cast<double>(st.st_ctime) + kStartSlackSeconds;
}

} // namespace

void RemoveStaleTemporaries(const std::string& folder) {
    const std::string dir = folder.empty() ? "." : NativePath(folder);
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return;
    const pid_t self = ::getpid();
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        const pid_t pid = writerOf(name);
        if (pid <= 0) continue;
        const std::string path = PathJoin(dir, name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (isLive(name)) continue;
        // One of our own pid that we do not hold is a leftover of an earlier process that had
        // the same number. A writer still running keeps its temporary however long it waits
        // (behind a message box, on a slow remote read).
        if (pid == self || !writerRuns(pid, st)) stale.push_back(path);
    }
    ::closedir(d);
    for (const std::string& path : stale)
        ::unlink(path.c_str());
}

AtomicFile::~AtomicFile() {
    Abandon();
}

int AtomicFile::ErrorOfErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 61;
    case ENOENT:
    case ENOTDIR:
        return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return err::PermissionDenied;
    default:
        return err::PathFileAccess;
    }
}

std::string AtomicFile::ResolveTarget(const std::string& target) {
    std::string path = NativePath(target);
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= buf.size()) return path;
        const std::string link(buf.data(), static_cast<std::size_t>(n));
        if (link[0] == '/') {
            path = link;
        } else {
            // Relative to the link's own folder; the link text is taken as it stands.
            const std::size_t slash = path.rfind('/');
            path = slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
        }
    }
    return {};
}

int AtomicFile::CheckTarget(const std::string& target) {
    const std::string given = NativePath(target);
    if (given.empty() || given.back() == '/') return err::PathFileAccess;
    const std::string path = ResolveTarget(given);
    if (path.empty() || path.back() == '/') return err::PathFileAccess;
    if (!isFolder(folderForFiles(path))) return err::PathNotFound;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        // A folder, or a FIFO or device that a rename would put a plain file in place of.
        if (!S_ISREG(st.st_mode)) return err::PathFileAccess;
        if (readOnlyFile(path, st)) return err::PermissionDenied;
    }
    return 0;
}

int AtomicFile::Open(const std::string& target) {
    Abandon();
    const std::string given = NativePath(target);
    if (int e = CheckTarget(given)) return e;
    const std::string path = ResolveTarget(given);
    const std::string folder = folderForFiles(path);
    RemoveStaleTemporaries(folder);
    // The name is cut so that the temporary's stays within the system's limit of 255.
    std::string pattern = ".";
    pattern.append(PathFileName(path).substr(0, 200))
        .append(kTempMark)
        .append(std::to_string(::getpid()))
        .append("-XXXXXX");
    pattern = PathJoin(folder, pattern);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return ErrorOfErrno(errno);
    fd_ = fd;
    target_ = given;
    dest_ = path;
    temp_ = name.data();
    addLive(temp_);
    return 0;
}

int AtomicFile::WriteAt(std::int64_t pos, const void* data, std::size_t bytes) {
    if (fd_ < 0) return err::PathFileAccess;
    const char* p = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t n = ::pwrite(fd_, p, bytes, static_cast<off_t>(pos));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int e = n < 0 ? ErrorOfErrno(errno) : 61;
            Abandon();
            return e;
        }
        p += n;
        pos += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return 0;
}

bool AtomicFile::ReadAt(std::int64_t pos, void* data, std::size_t bytes) const {
    if (fd_ < 0) return false;
    char* p = static_cast<char*>(data);
    while (bytes > 0) {
        const ssize_t n = ::pread(fd_, p, bytes, static_cast<off_t>(pos));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        pos += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return true;
}

int AtomicFile::Commit() {
    if (fd_ < 0) return err::PathFileAccess;
    int e = 0;
    struct stat old {};
    const bool replacing = ::stat(dest_.c_str(), &old) == 0;
    // Made read-only while we wrote: still the user's to keep.
    if (replacing && readOnlyFile(dest_, old)) e = err::PermissionDenied;

    // A writer that made its own file at our name (the netCDF library may) left our
    // descriptor on the file it replaced: settle the one that will be renamed.
    int fd = fd_;
    fd_ = -1;
    struct stat mine {}, named {};
    if (e == 0 && ::fstat(fd, &mine) == 0 && ::lstat(temp_.c_str(), &named) == 0 &&
        (mine.st_ino != named.st_ino || mine.st_dev != named.st_dev)) {
        ::close(fd);
        fd = ::open(temp_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) e = ErrorOfErrno(errno);
    }
    if (e == 0 && fd >= 0) {
        // The system may refuse us the old owner and still grant the group; failing both,
        // the file is ours with the old mode.
        if (replacing && ::fchown(fd, old.st_uid, old.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        }
        const mode_t mode = replacing ? (old.st_mode & 07777) : newFileMode();
        if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) e = ErrorOfErrno(errno);
    }
    if (fd >= 0 && ::close(fd) != 0 && e == 0) e = ErrorOfErrno(errno);
    if (e == 0 && ::rename(temp_.c_str(), dest_.c_str()) != 0) {
        e = errno == EISDIR ? err::PathFileAccess : ErrorOfErrno(errno);
    }
    if (e != 0) ::unlink(temp_.c_str());
    dropLive(temp_);
    temp_.clear();
    return e;
}

void AtomicFile::Abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        dropLive(temp_);
        temp_.clear();
    }
}
