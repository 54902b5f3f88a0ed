#include "platform/RegularFile.h"
#include "platform/Component.h"
#include "runtime/RuntimeError.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

bool IsStreamFile(const struct stat& st) {
    return S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) || S_ISCHR(st.st_mode) ||
           S_ISBLK(st.st_mode);
}

int OpenErrorOfErrno(int error, const std::string& path) {
    switch (error) {
    case ENOENT: {
        const std::string folder = PathFolder(path);
        struct stat st {};
        if (!folder.empty() && (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
            return err::PathNotFound;
        return err::FileNotFound;
    }
    case ENOTDIR:
        return err::PathNotFound;
    case EACCES:
    case EPERM:
        return err::PermissionDenied;
    default:
        return err::PathFileAccess;
    }
}

int OpenRegularFile(const std::string& path, int& fd, struct stat& st) {
    fd = -1;
    st = {};
    if (path.empty()) return err::FileNotFound;
    // What is no file is refused before anything opens it: opening a device may already act.
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return err::PathFileAccess;
    // Non-blocking, so that a FIFO put in the file's place meanwhile cannot hold the open.
    const int opened = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (opened < 0) return OpenErrorOfErrno(errno, path);
    if (::fstat(opened, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(opened);
        return err::PathFileAccess;
    }
    fd = opened;
    return 0;
}

int ReadRegularFile(const std::string& path, std::string& content, struct stat& st) {
    content.clear();
    int fd = -1;
    if (const int e = OpenRegularFile(path, fd, st)) return e;
    const std::size_t size = static_cast<std::size_t>(std::max<off_t>(st.st_size, 0));
    std::string read(size, '\0');
    std::size_t at = 0;
    int e = 0;
    while (at < size) {
        const ssize_t n = ::pread(fd, read.data() + at, size - at, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            e = err::DeviceIO;
            break;
        }
        if (n == 0) break; // shrunk while read
        at += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (e != 0) return e;
    read.resize(at);
    content = std::move(read);
    return 0;
}

int ReadRegularFile(const std::string& path, std::string& content) {
    struct stat st {};
    return ReadRegularFile(path, content, st);
}

std::string RegularFileRefusal(const std::string& path, int error, const struct stat& st) {
    return path + ": " +
           (IsStreamFile(st) ? std::string("not a file but a FIFO, socket or device")
                             : ErrorText(error));
}
