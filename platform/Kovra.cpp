#include "platform/Kovra.h"
#include "platform/AtomicFile.h"
#include "platform/Component.h"
#include "platform/RegularFile.h"
#include "runtime/Date.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

// ---------------------------------------------------------------------------------------------
// Exist and day numbers

Long Exist(const std::string& path) {
    if (path.empty()) return kFalse;
    struct stat st {};
    if (::stat(NativePath(path).c_str(), &st) != 0) return kFalse;
    return S_ISDIR(st.st_mode) ? kFalse : kTrue;
}

namespace {

// The calendar repeats every 400 years; dates far from the years the date functions cover are
// moved by whole cycles into them and back.
constexpr std::int64_t kCycleYears = 400;
constexpr std::int64_t kCycleDays = 146097;
constexpr std::int64_t kBaseYear = 2000;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

bool readDigits(const std::string& s, std::size_t& i, std::int64_t& value, std::size_t maxDigits) {
    const std::size_t start = i;
    value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (i - start >= maxDigits) return false;
        value = value * 10 + (s[i] - '0');
        ++i;
    }
    return i > start;
}

} // namespace

Long Date2Num(const std::string& text) {
    std::size_t i = 0;
    std::int64_t month = 0, day = 0, year = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (!readDigits(text, i, month, 2) || i >= text.size() || text[i++] != '/') return 0;
    if (!readDigits(text, i, day, 2) || i >= text.size() || text[i++] != '/') return 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (!readDigits(text, i, year, 6)) return 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i != text.size()) return 0;
    if (negative) year = -year;

    const std::int64_t cycles = floorDiv(year - kBaseYear, kCycleYears);
    const int shiftedYear = static_cast<int>(year - cycles * kCycleYears);
    const double serial =
        DateSerial(shiftedYear, static_cast<int>(month), static_cast<int>(day)).serial;
    const std::int64_t days = static_cast<std::int64_t>(std::floor(serial)) + cycles * kCycleDays;
    if (days < std::numeric_limits<Long>::min() || days > std::numeric_limits<Long>::max())
        return 0;
    return static_cast<Long>(days);
}

std::string Num2Date(Long day) {
    // The day number of 2000-01-01 is 36526.
    constexpr std::int64_t kBaseDay = 36526;
    const std::int64_t cycles = floorDiv(static_cast<std::int64_t>(day) - kBaseDay, kCycleDays);
    const Date d(static_cast<double>(day - cycles * kCycleDays));
    const std::int64_t year = Year(d) + cycles * kCycleYears;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04lld", Month(d), Day(d),
                  static_cast<long long>(year));
    return buf;
}

// ---------------------------------------------------------------------------------------------
// File handles

namespace {

struct OpenFile {
    bool writing = false;
    int fd = -1;                     // reading
    std::unique_ptr<AtomicFile> out; // writing
    bool failed = false;             // a write failed: the temporary is gone
    std::int64_t pos = 0;
    std::int64_t size = 0;
};

class HandleTable {
public:
    ~HandleTable() {
        // Whatever is still open for writing when the program ends was never completed.
        for (auto& [h, f] : files_)
            release(f, false);
    }

    std::mutex mutex;

    Long add(OpenFile&& f) {
        do {
            next_ = next_ >= std::numeric_limits<Long>::max() ? 1 : next_ + 1;
        } while (files_.count(next_) != 0);
        files_.emplace(next_, std::move(f));
        return next_;
    }

    OpenFile& get(Long handle) {
        auto it = files_.find(handle);
        if (it == files_.end()) throw RuntimeError(err::BadFileNumber);
        return it->second;
    }

    // Closes and forgets handle; returns the error number of the commit (0 when none).
    int close(Long handle, bool keep) {
        auto it = files_.find(handle);
        if (it == files_.end()) throw RuntimeError(err::BadFileNumber);
        const int e = release(it->second, keep);
        files_.erase(it);
        return e;
    }

private:
    static int release(OpenFile& f, bool keep) {
        int e = 0;
        if (f.fd >= 0) {
            ::close(f.fd);
            f.fd = -1;
        }
        if (f.out) {
            if (keep && !f.failed)
                e = f.out->Commit();
            else
                f.out->Abandon();
            f.out.reset();
        }
        return e;
    }

    std::map<Long, OpenFile> files_;
    Long next_ = 0;
};

HandleTable& table() {
    static HandleTable t;
    return t;
}

void raiseWriteError(OpenFile& f, int e) {
    f.failed = true;
    if (f.out) f.out->Abandon();
    throw RuntimeError(e);
}

} // namespace

Long FOpenAll(const std::string& path, Long mode, Long /*share*/, Long& handle) {
    handle = 0;
    const std::string p = NativePath(path);
    OpenFile f;
    if (mode == kOpenRead) {
        int fd = -1;
        struct stat st {};
        if (const int e = OpenRegularFile(p, fd, st)) return e;
        f.fd = fd;
        f.size = st.st_size;
    } else if (mode == kOpenWrite) {
        f.writing = true;
        f.out = std::make_unique<AtomicFile>();
        if (int e = f.out->Open(p)) return e;
    } else {
        return err::InvalidCall;
    }
    std::lock_guard lock(table().mutex);
    handle = table().add(std::move(f));
    return 0;
}

Long FCreate(const std::string& path) {
    return AtomicFile::CheckTarget(path);
}

void FSeek(Long handle, Long pos) {
    std::lock_guard lock(table().mutex);
    OpenFile& f = table().get(handle);
    if (pos < 0) throw RuntimeError(err::InvalidCall);
    if (!f.writing && pos > f.size) throw RuntimeError(err::InputPastEnd);
    f.pos = pos;
}

Long FLoc(Long handle) {
    std::lock_guard lock(table().mutex);
    const OpenFile& f = table().get(handle);
    if (f.pos > std::numeric_limits<Long>::max()) throw RuntimeError(err::Overflow);
    return static_cast<Long>(f.pos);
}

Long FLof(Long handle) {
    std::lock_guard lock(table().mutex);
    const OpenFile& f = table().get(handle);
    if (f.size > std::numeric_limits<Long>::max()) throw RuntimeError(err::Overflow);
    return static_cast<Long>(f.size);
}

Long FEof(Long handle) {
    std::lock_guard lock(table().mutex);
    const OpenFile& f = table().get(handle);
    return f.pos >= f.size ? kTrue : kFalse;
}

void FClose(Long handle) {
    if (handle <= 0) return;
    int e;
    {
        std::lock_guard lock(table().mutex);
        e = table().close(handle, true);
    }
    if (e != 0) throw RuntimeError(e);
}

void FAbandon(Long handle) {
    if (handle <= 0) return;
    std::lock_guard lock(table().mutex);
    table().close(handle, false);
}

void FGetBytes(Long handle, void* target, std::size_t bytes) {
    std::lock_guard lock(table().mutex);
    OpenFile& f = table().get(handle);
    if (bytes == 0) return;
    if (f.pos > f.size || bytes > static_cast<std::uint64_t>(f.size - f.pos))
        throw RuntimeError(err::InputPastEnd);
    if (f.writing) {
        if (f.failed || !f.out->ReadAt(f.pos, target, bytes)) throw RuntimeError(err::InputPastEnd);
    } else {
        char* p = static_cast<char*>(target);
        std::int64_t at = f.pos;
        std::size_t left = bytes;
        while (left > 0) {
            const ssize_t n = ::pread(f.fd, p, left, static_cast<off_t>(at));
            if (n < 0 && errno == EINTR) continue;
            // The file shrank under us, or the device failed.
            if (n == 0) throw RuntimeError(err::InputPastEnd);
            if (n < 0) throw RuntimeError(57);
            p += n;
            at += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    f.pos += static_cast<std::int64_t>(bytes);
}

void FPutBytes(Long handle, const void* source, std::size_t bytes) {
    std::lock_guard lock(table().mutex);
    OpenFile& f = table().get(handle);
    if (!f.writing) throw RuntimeError(err::PathFileAccess);
    if (f.failed) throw RuntimeError(err::PathFileAccess);
    if (bytes == 0) return;
    if (f.pos + static_cast<std::int64_t>(bytes) > std::numeric_limits<Long>::max())
        raiseWriteError(f, 61);
    if (int e = f.out->WriteAt(f.pos, source, bytes)) raiseWriteError(f, e);
    f.pos += static_cast<std::int64_t>(bytes);
    if (f.pos > f.size) f.size = f.pos;
}

void FGetA(Long handle, const ArrayDesc& desc, Long bytes) {
    const std::size_t n = kovra_detail::checkedCount(bytes, desc.bytes);
    if (n > 0 && desc.data == nullptr) throw RuntimeError(err::Subscript);
    FGetBytes(handle, desc.data, n);
}

void FPutA(Long handle, const ArrayDesc& desc, Long bytes) {
    const std::size_t n = kovra_detail::checkedCount(bytes, desc.bytes);
    if (n > 0 && desc.data == nullptr) throw RuntimeError(err::Subscript);
    FPutBytes(handle, desc.data, n);
}
