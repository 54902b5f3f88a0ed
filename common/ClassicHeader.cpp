#include "common/ClassicHeader.h"

#include "common/NcHttp.h"
#include "common/NetCDF.h"
#include "platform/RegularFile.h"

#include <netcdf.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

namespace {

constexpr uint64_t kSaturated = std::numeric_limits<uint64_t>::max();
// The first read of a file: most headers are a few kilobytes.
constexpr std::size_t kFirstRead = 64 * 1024;

constexpr uint32_t kTagDimension = 0x0A;
constexpr uint32_t kTagVariable = 0x0B;
constexpr uint32_t kTagAttribute = 0x0C;

uint64_t satAdd(uint64_t a, uint64_t b) {
    uint64_t r = 0;
    return __builtin_add_overflow(a, b, &r) ? kSaturated : r;
}
uint64_t satMul(uint64_t a, uint64_t b) {
    uint64_t r = 0;
    return __builtin_mul_overflow(a, b, &r) ? kSaturated : r;
}

// Bytes of one value of a type the version allows; 0 for any other.
uint64_t typeBytes(uint32_t type, int version) {
    if (type <= NC_DOUBLE) return static_cast<uint64_t>(NcTypeSize(static_cast<Long>(type)));
    if (version != 5) return 0;
    switch (type) {
    case NC_UBYTE:
        return 1;
    case NC_USHORT:
        return 2;
    case NC_UINT:
        return 4;
    case NC_INT64:
    case NC_UINT64:
        return 8;
    default:
        return 0;
    }
}

uint64_t padded(uint64_t n) {
    return (n + 3) & ~uint64_t{3};
}

// Ends the walk.
struct Stop {
    ClassicHeaderStatus status;
    std::string why;
    uint64_t needMore = 0;
};

Stop malformed(const std::string& what) {
    return Stop{ClassicHeaderStatus::Invalid, "malformed netCDF header: " + what};
}

class Walk {
public:
    Walk(const unsigned char* bytes, std::size_t avail, uint64_t fileSize, int version)
        : p_(bytes), avail_(avail), size_(fileSize), version_(version),
          sizeBytes_(version == 5 ? 8 : 4), offsetBytes_(version == 1 ? 4 : 8) {}

    uint64_t pos() const { return pos_; }
    uint64_t left() const { return size_ - pos_; }
    int sizeBytes() const { return sizeBytes_; }
    int offsetBytes() const { return offsetBytes_; }

    void need(uint64_t n) {
        if (n > left())
            throw Stop{ClassicHeaderStatus::Invalid, "the file is truncated: its " +
                                                         std::to_string(size_) +
                                                         " bytes end inside the header"};
        if (pos_ + n > avail_) throw Stop{ClassicHeaderStatus::NeedMore, {}, pos_ + n};
    }
    void skip(uint64_t n) {
        need(n);
        pos_ += n;
    }
    uint64_t unsignedOf(int width) {
        need(static_cast<uint64_t>(width));
        uint64_t v = 0;
        for (int i = 0; i < width; ++i)
            v = (v << 8) | p_[pos_ + static_cast<uint64_t>(i)];
        pos_ += static_cast<uint64_t>(width);
        return v;
    }
    uint32_t u32() { return static_cast<uint32_t>(unsignedOf(4)); }
    // A signed field that must not be negative: counts, lengths, ids.
    uint64_t nonNeg(const char* what) {
        return checkedSign(unsignedOf(sizeBytes_), sizeBytes_, what);
    }
    uint64_t offset(const char* what) {
        return checkedSign(unsignedOf(offsetBytes_), offsetBytes_, what);
    }

    // A count of elements that take at least minBytes each, checked against the bytes left.
    uint64_t count(const char* what, uint64_t minBytes) {
        const uint64_t n = nonNeg(what);
        if (n > left() / minBytes)
            throw malformed(std::to_string(n) + " " + what + " declared in a file of " +
                            std::to_string(size_) + " bytes");
        return n;
    }

    std::string name(const char* what) {
        const uint64_t n = nonNeg("name length");
        if (n > NC_MAX_NAME)
            throw malformed(std::string("a ") + what + " name is " + std::to_string(n) +
                            " bytes long (at most " + std::to_string(NC_MAX_NAME) + ")");
        need(padded(n));
        std::string s(reinterpret_cast<const char*>(p_ + pos_), static_cast<std::size_t>(n));
        pos_ += padded(n);
        return s;
    }

    // A list's tag and element count; 0 for an absent list.
    uint64_t listHead(uint32_t tag, const char* what, uint64_t minBytes) {
        const uint32_t t = u32();
        if (t == 0) {
            if (nonNeg(what) != 0)
                throw malformed(std::string("an absent list of ") + what + " with elements");
            return 0;
        }
        if (t != tag)
            throw malformed(std::string("the list of ") + what + " has tag " + std::to_string(t));
        return count(what, minBytes);
    }

    void attributes(const std::string& owner) {
        const uint64_t n =
            listHead(kTagAttribute, "attributes", 2 * static_cast<uint64_t>(sizeBytes_) + 4);
        for (uint64_t i = 0; i < n; ++i) {
            const std::string att = name("attribute");
            const uint32_t type = u32();
            const uint64_t size = typeBytes(type, version_);
            if (size == 0)
                throw malformed("attribute " + owner + att + " has type " + std::to_string(type));
            const uint64_t values = nonNeg("attribute length");
            if (values > left() / size)
                throw malformed("attribute " + owner + att + " declares " + std::to_string(values) +
                                " values in a file of " + std::to_string(size_) + " bytes");
            skip(padded(values * size));
        }
    }

private:
    uint64_t checkedSign(uint64_t v, int width, const char* what) {
        if (v >> (width * 8 - 1)) throw malformed(std::string("a negative ") + what);
        return v;
    }

    const unsigned char* p_;
    uint64_t avail_;
    uint64_t size_;
    uint64_t pos_ = 4;
    int version_;
    int sizeBytes_;
    int offsetBytes_;
};

// The dimension list: each dimension's length (0 for the record dimension) and the index of
// the record dimension, -1 when there is none.
struct Dimensions {
    std::vector<uint64_t> length;
    int64_t record = -1;
};
Dimensions readDimensions(Walk& w) {
    const uint64_t sz = static_cast<uint64_t>(w.sizeBytes());
    Dimensions d;
    const uint64_t ndims = w.listHead(kTagDimension, "dimensions", 2 * sz);
    d.length.reserve(static_cast<std::size_t>(ndims));
    for (uint64_t i = 0; i < ndims; ++i) {
        const std::string dim = w.name("dimension");
        const uint64_t len = w.nonNeg("dimension length");
        if (len == 0) {
            if (d.record >= 0) throw malformed("a second record dimension, " + dim);
            d.record = static_cast<int64_t>(i);
        }
        d.length.push_back(len);
    }
    return d;
}

// One entry of the variable list, named var: its shape over the dimensions, attributes, type,
// and where its values begin.
ClassicVar readVariable(Walk& w, const Dimensions& dims, int version, const std::string& var) {
    const uint64_t sz = static_cast<uint64_t>(w.sizeBytes());
    const uint64_t ndims = dims.length.size();
    ClassicVar v;
    const uint64_t rank = w.count("dimensions of a variable", sz);
    if (rank > NC_MAX_VAR_DIMS)
        throw malformed("variable " + var + " has " + std::to_string(rank) +
                        " dimensions (at most " + std::to_string(NC_MAX_VAR_DIMS) + ")");
    v.shape.reserve(static_cast<std::size_t>(rank));
    for (uint64_t j = 0; j < rank; ++j) {
        const uint64_t id = w.nonNeg("dimension id");
        if (id >= ndims)
            throw malformed("variable " + var + " names dimension id " + std::to_string(id) +
                            " of " + std::to_string(ndims));
        if (static_cast<int64_t>(id) == dims.record) {
            if (j != 0)
                throw malformed("variable " + var + " has the record dimension after its first");
            v.record = true;
        }
        v.shape.push_back(dims.length[static_cast<std::size_t>(id)]);
    }
    w.attributes(var + ":");
    const uint32_t type = w.u32();
    v.type = static_cast<int>(type);
    v.valueBytes = typeBytes(type, version);
    if (v.valueBytes == 0) throw malformed("variable " + var + " has type " + std::to_string(type));
    w.unsignedOf(w.sizeBytes()); // vsize: recomputed from the shape, which it cannot hold for
                                 // large variables
    v.begin = w.offset("variable offset");
    v.bytes = v.valueBytes;
    for (std::size_t j = v.record ? 1 : 0; j < v.shape.size(); ++j)
        v.bytes = satMul(v.bytes, v.shape[j]);
    return v;
}

// The bytes of one record and the record count. One record holds each record variable's
// values padded to 4 bytes, unpadded when there is only one record variable; a stream still
// being written has the records that fit in the file.
void setRecords(ClassicLayout& layout, bool isStreaming, uint64_t rawRecs, uint64_t fileSize) {
    uint64_t recVars = 0, firstRecord = kSaturated;
    for (const ClassicVar& v : layout.vars) {
        if (!v.record) continue;
        ++recVars;
        layout.recordBytes = satAdd(layout.recordBytes, padded(std::min(v.bytes, kSaturated - 3)));
        firstRecord = std::min(firstRecord, v.begin);
    }
    if (recVars == 1)
        for (const ClassicVar& v : layout.vars)
            if (v.record) layout.recordBytes = v.bytes;
    if (isStreaming)
        layout.numrecs = recVars > 0 && layout.recordBytes > 0 && fileSize > firstRecord
                             ? (fileSize - firstRecord) / layout.recordBytes
                             : 0;
    else
        layout.numrecs = rawRecs;
}

// The file size the values need: each variable's values after the header and within what a
// file can hold.
uint64_t neededBytes(const ClassicLayout& layout, const std::vector<std::string>& names) {
    uint64_t needed = layout.headerBytes;
    for (std::size_t i = 0; i < layout.vars.size(); ++i) {
        const ClassicVar& v = layout.vars[i];
        if (v.begin < layout.headerBytes)
            throw malformed("the values of variable " + names[i] + " begin inside the header");
        uint64_t end = 0;
        if (!v.record)
            end = satAdd(v.begin, v.bytes);
        else if (layout.numrecs > 0)
            end = satAdd(satAdd(v.begin, satMul(layout.numrecs - 1, layout.recordBytes)), v.bytes);
        if (end == kSaturated)
            throw malformed("variable " + names[i] + " declares more values than a file can hold");
        needed = std::max(needed, end);
    }
    return needed;
}

ClassicHeaderStatus walkHeader(const unsigned char* bytes, std::size_t avail, uint64_t fileSize,
                               int version, ClassicLayout& out) {
    Walk w(bytes, avail, fileSize, version);
    ClassicLayout layout;
    layout.version = version;

    // Records: a count, or all ones while a stream is still being written.
    const uint64_t rawRecs = w.unsignedOf(w.sizeBytes());
    const uint64_t streaming = w.sizeBytes() == 8 ? kSaturated : 0xFFFFFFFFu;
    const bool isStreaming = rawRecs == streaming;
    if (!isStreaming && (rawRecs >> (w.sizeBytes() * 8 - 1)))
        throw malformed("a negative record count");

    const Dimensions dims = readDimensions(w);
    w.attributes("");

    const uint64_t sz = static_cast<uint64_t>(w.sizeBytes());
    const uint64_t minVar = 4 * sz + 8 + static_cast<uint64_t>(w.offsetBytes());
    const uint64_t nvars = w.listHead(kTagVariable, "variables", minVar);
    layout.vars.reserve(static_cast<std::size_t>(nvars));
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(nvars));
    for (uint64_t i = 0; i < nvars; ++i) {
        std::string var = w.name("variable");
        layout.vars.push_back(readVariable(w, dims, version, var));
        names.push_back(std::move(var));
    }
    layout.headerBytes = w.pos();
    setRecords(layout, isStreaming, rawRecs, fileSize);

    const uint64_t needed = neededBytes(layout, names);
    layout.neededBytes = needed;
    if (needed > fileSize)
        throw Stop{ClassicHeaderStatus::Invalid,
                   "the file is truncated: " + std::to_string(fileSize) + " of " +
                       std::to_string(needed) + " bytes"};
    out = std::move(layout);
    return ClassicHeaderStatus::Valid;
}

bool refuse(const std::string& path, const std::string& why, std::string& message) {
    message = path + ": " + why;
    NoteNcFileRefusal(message);
    return false;
}

// Reads [from, to) of the file at fd into buf; the count read (short at the file's end).
std::size_t readRange(int fd, std::vector<unsigned char>& buf, std::size_t from, std::size_t to) {
    buf.resize(to);
    std::size_t at = from;
    while (at < to) {
        const ssize_t n = pread(fd, buf.data() + at, to - at, static_cast<off_t>(at));
        if (n <= 0) break;
        at += static_cast<std::size_t>(n);
    }
    buf.resize(at);
    return at;
}

} // namespace

ClassicHeaderStatus CheckClassicHeader(const unsigned char* bytes, std::size_t avail,
                                       uint64_t fileSize, std::string& why, ClassicLayout* layout,
                                       uint64_t* needMore) {
    avail = static_cast<std::size_t>(std::min<uint64_t>(avail, fileSize));
    if (avail < 4 || bytes[0] != 'C' || bytes[1] != 'D' || bytes[2] != 'F')
        return ClassicHeaderStatus::NotClassic;
    const int version = bytes[3];
    if (version != 1 && version != 2 && version != 5) return ClassicHeaderStatus::NotClassic;
    try {
        ClassicLayout walked;
        walkHeader(bytes, avail, fileSize, version, walked);
        if (layout != nullptr) *layout = std::move(walked);
        return ClassicHeaderStatus::Valid;
    } catch (const Stop& s) {
        why = s.why;
        if (needMore != nullptr) *needMore = s.needMore;
        return s.status;
    }
}

bool CheckClassicFile(const std::string& path, std::string& message, ClassicLayout* layout) {
    if (layout != nullptr) *layout = ClassicLayout{};
    // A FIFO or a device would hold an open for reading until a writer comes, or read for
    // ever: what is no file is refused before anything opens it.
    struct stat st {};
    int fd = -1;
    if (const int e = OpenRegularFile(path, fd, st)) {
        if (!IsStreamFile(st)) return true; // missing, a folder, unreadable: netCDF-C says so
        message = RegularFileRefusal(path, e, st);
        NoteNcFileRefusal(message);
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};

    uint64_t size = static_cast<uint64_t>(st.st_size);
    std::vector<unsigned char> buf;
    const std::size_t first = static_cast<std::size_t>(std::min<uint64_t>(size, kFirstRead));
    std::size_t avail = readRange(fd, buf, 0, first);
    if (avail < first) size = avail; // shrunk while read
    for (;;) {
        std::string why;
        uint64_t needed = 0;
        ClassicLayout walked;
        switch (CheckClassicHeader(buf.data(), avail, size, why, &walked, &needed)) {
        case ClassicHeaderStatus::NotClassic:
            return true;
        case ClassicHeaderStatus::Valid:
            if (layout != nullptr) *layout = std::move(walked);
            return true;
        case ClassicHeaderStatus::Invalid:
            return refuse(path, why, message);
        case ClassicHeaderStatus::NeedMore:
            break;
        }
        // Grow by doubling, so that the walks together stay linear in the header's size.
        const uint64_t next =
            std::min<uint64_t>(size, std::max<uint64_t>(needed, 2 * uint64_t{avail}));
        const std::size_t want = static_cast<std::size_t>(next);
        const std::size_t got = readRange(fd, buf, avail, want);
        if (got < want) size = got;
        avail = got;
    }
}

int NcOpenChecked(const std::string& path, int mode, int* ncid, ClassicLayout* layout,
                  std::size_t* bufrsize) {
    if (layout != nullptr) *layout = ClassicLayout{};
    if (!IsNcUrl(path)) {
        std::string message;
        if (!CheckClassicFile(path, message, layout)) return kNcFileRefused;
    }
    if (bufrsize != nullptr) return nc__open(path.c_str(), mode, bufrsize, ncid);
    return nc_open(path.c_str(), mode, ncid);
}

uint64_t ClassicReadEnd(const ClassicLayout& layout, int varid, const std::size_t* start,
                        const std::size_t* count, const std::ptrdiff_t* stride) {
    if (varid < 0 || static_cast<std::size_t>(varid) >= layout.vars.size()) return 0;
    const ClassicVar& v = layout.vars[static_cast<std::size_t>(varid)];
    uint64_t record = 0, index = 0;
    for (std::size_t i = 0; i < v.shape.size(); ++i) {
        if (count[i] == 0) return 0;
        const uint64_t step = stride != nullptr ? static_cast<uint64_t>(stride[i]) : 1;
        const uint64_t last = satAdd(start[i], satMul(count[i] - 1, step));
        if (i == 0 && v.record) {
            if (last >= layout.numrecs) return 0;
            record = last;
            continue;
        }
        if (last >= v.shape[i]) return 0;
        index = satAdd(satMul(index, v.shape[i]), last);
    }
    const uint64_t within = satMul(satAdd(index, 1), v.valueBytes);
    return satAdd(satAdd(v.begin, satMul(record, layout.recordBytes)), within);
}

int CheckClassicRead(const ClassicLayout* layout, const std::string& path, int varid,
                     const std::size_t* start, const std::size_t* count,
                     const std::ptrdiff_t* stride) {
    if (layout == nullptr || layout->version == 0) return NC_NOERR;
    const uint64_t end = ClassicReadEnd(*layout, varid, start, count, stride);
    if (end == 0) return NC_NOERR;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return NC_NOERR;
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    if (size >= end) return NC_NOERR;
    std::string message;
    refuse(path,
           "the file is truncated: " + std::to_string(size) + " of " + std::to_string(end) +
               " bytes",
           message);
    return kNcFileRefused;
}

int CheckClassicRead(const ClassicLayout* layout, const std::string& path, int varid) {
    if (layout == nullptr || varid < 0 || static_cast<std::size_t>(varid) >= layout->vars.size())
        return NC_NOERR;
    const ClassicVar& v = layout->vars[static_cast<std::size_t>(varid)];
    std::vector<std::size_t> start(v.shape.size(), 0), count(v.shape.size());
    for (std::size_t i = 0; i < v.shape.size(); ++i)
        count[i] = static_cast<std::size_t>(i == 0 && v.record ? layout->numrecs : v.shape[i]);
    return CheckClassicRead(layout, path, varid, start.data(), count.data(), nullptr);
}
