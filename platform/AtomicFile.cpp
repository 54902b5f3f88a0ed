#include "platform/AtomicFile.h"
#include "platform/Component.h"
#include "runtime/RuntimeError.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

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

} // namespace

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

int AtomicFile::CheckTarget(const std::string& target) {
    const std::string path = NativePath(target);
    if (path.empty() || path.back() == '/') return err::PathFileAccess;
    if (!isFolder(folderForFiles(path))) return err::PathNotFound;
    if (isFolder(path)) return err::PathFileAccess;
    return 0;
}

int AtomicFile::Open(const std::string& target) {
    Abandon();
    const std::string path = NativePath(target);
    if (int e = CheckTarget(path)) return e;
    const std::string leaf = PathFileName(path);
    std::string pattern = PathJoin(folderForFiles(path), "." + leaf + ".tmp-XXXXXX");
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return ErrorOfErrno(errno);
    fd_ = fd;
    target_ = path;
    temp_ = name.data();
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
    struct stat old {};
    const mode_t mode = ::stat(target_.c_str(), &old) == 0 ? (old.st_mode & 07777) : newFileMode();
    int e = 0;
    if (::fchmod(fd_, mode) != 0 || ::fsync(fd_) != 0) e = ErrorOfErrno(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && e == 0) e = ErrorOfErrno(errno);
    if (e == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) {
        e = errno == EISDIR ? err::PathFileAccess : ErrorOfErrno(errno);
    }
    if (e != 0) ::unlink(temp_.c_str());
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
        temp_.clear();
    }
}
