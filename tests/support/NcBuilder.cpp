#include "tests/support/NcBuilder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error("NcBuilder: " + what);
}

// One overload per stored type, so that std::visit picks netCDF's call of the given type.
using Sizes = std::vector<std::size_t>;

int putAtt(int nc, int v, const char* n, nc_type, const std::string& x) {
    return nc_put_att_text(nc, v, n, x.size(), x.data());
}
int putAtt(int nc, int v, const char* n, nc_type, const std::vector<std::string>& x) {
    std::vector<const char*> p;
    for (const auto& s : x)
        p.push_back(s.c_str());
    return nc_put_att_string(nc, v, n, p.size(), p.data());
}
int putAtt(int nc, int v, const char* n, nc_type t, const std::vector<signed char>& x) {
    return nc_put_att_schar(nc, v, n, t, x.size(), x.data());
}
int putAtt(int nc, int v, const char* n, nc_type t, const std::vector<unsigned char>& x) {
    return nc_put_att_uchar(nc, v, n, t, x.size(), x.data());
}
int putAtt(int nc, int v, const char* n, nc_type t, const std::vector<short>& x) {
    return nc_put_att_short(nc, v, n, t, x.size(), x.data());
}
int putAtt(int nc, int v, const char* n, nc_type t, const std::vector<unsigned short>& x) {
    return nc_put_att_ushort(nc, v, n, t, x.size(), x.data());
}
int putAtt(int nc, int v, const char* n, nc_type t, const std::vector<int>& x) {
    return nc_put_att_int(nc, v, n, t, x.size(), x.data());
}
int putAtt(int nc, int v, const char* n, nc_type t, const std::vector<unsigned>& x) {
    return nc_put_att_uint(nc, v, n, t, x.size(), x.data());
}
int putAtt(int nc, int v, const char* n, nc_type t, const std::vector<long long>& x) {
    return nc_put_att_longlong(nc, v, n, t, x.size(), x.data());
}
int putAtt(int nc, int v, const char* n, nc_type t, const std::vector<unsigned long long>& x) {
    return nc_put_att_ulonglong(nc, v, n, t, x.size(), x.data());
}
int putAtt(int nc, int v, const char* n, nc_type t, const std::vector<float>& x) {
    return nc_put_att_float(nc, v, n, t, x.size(), x.data());
}
int putAtt(int nc, int v, const char* n, nc_type t, const std::vector<double>& x) {
    return nc_put_att_double(nc, v, n, t, x.size(), x.data());
}

int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::string& x) {
    return nc_put_vara_text(nc, v, s.data(), c.data(), x.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::vector<std::string>& x) {
    std::vector<const char*> p;
    for (const auto& e : x)
        p.push_back(e.c_str());
    return nc_put_vara_string(nc, v, s.data(), c.data(), p.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::vector<signed char>& x) {
    return nc_put_vara_schar(nc, v, s.data(), c.data(), x.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::vector<unsigned char>& x) {
    return nc_put_vara_uchar(nc, v, s.data(), c.data(), x.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::vector<short>& x) {
    return nc_put_vara_short(nc, v, s.data(), c.data(), x.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::vector<unsigned short>& x) {
    return nc_put_vara_ushort(nc, v, s.data(), c.data(), x.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::vector<int>& x) {
    return nc_put_vara_int(nc, v, s.data(), c.data(), x.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::vector<unsigned>& x) {
    return nc_put_vara_uint(nc, v, s.data(), c.data(), x.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::vector<long long>& x) {
    return nc_put_vara_longlong(nc, v, s.data(), c.data(), x.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c,
            const std::vector<unsigned long long>& x) {
    return nc_put_vara_ulonglong(nc, v, s.data(), c.data(), x.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::vector<float>& x) {
    return nc_put_vara_float(nc, v, s.data(), c.data(), x.data());
}
int putVals(int nc, int v, const Sizes& s, const Sizes& c, const std::vector<double>& x) {
    return nc_put_vara_double(nc, v, s.data(), c.data(), x.data());
}

// The dataset being created; closed on every path, and the file removed unless complete.
class Creation {
public:
    Creation(const std::string& path, int mode) : path_(path) {
        check(nc_create(path.c_str(), mode, &id_), "cannot create " + path);
        open_ = true;
    }
    ~Creation() {
        if (open_) {
            nc_abort(id_);
            std::error_code ec;
            std::filesystem::remove(path_, ec);
        }
    }
    int id() const { return id_; }
    void check(int status, const std::string& what) {
        if (status != NC_NOERR) fail(what + ": " + nc_strerror(status));
    }
    void close() {
        open_ = false;
        int status = nc_close(id_);
        if (status != NC_NOERR) {
            std::error_code ec;
            std::filesystem::remove(path_, ec);
            fail("cannot close " + path_ + ": " + nc_strerror(status));
        }
    }

private:
    std::string path_;
    int id_ = -1;
    bool open_ = false;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

NcBuilder::Var& NcBuilder::Var::setData(ncb::Data data, std::size_t count) {
    if (count != size_)
        fail("variable " + name_ + " holds " + std::to_string(size_) + " values, given " +
             std::to_string(count));
    data_ = std::move(data);
    hasData_ = true;
    return *this;
}

NcBuilder::Var& NcBuilder::Var::text(const std::string& bytes) {
    if (bytes.size() > size_)
        fail("variable " + name_ + " holds " + std::to_string(size_) + " characters, given " +
             std::to_string(bytes.size()));
    std::string padded = bytes;
    padded.resize(size_, '\0');
    return setData(std::move(padded), size_);
}

NcBuilder::Var& NcBuilder::Var::strings(const std::vector<std::string>& v) {
    return setData(v, v.size());
}

NcBuilder::NcBuilder(std::string path, NcFormat format) : path_(std::move(path)), format_(format) {}

int NcBuilder::addDim(const std::string& name, std::size_t size, bool unlimited) {
    dims_.push_back(Dim{name, size, unlimited});
    return static_cast<int>(dims_.size()) - 1;
}

int NcBuilder::dim(const std::string& name, std::size_t size) {
    return addDim(name, size, size == NC_UNLIMITED);
}

int NcBuilder::unlimitedDim(const std::string& name, std::size_t records) {
    return addDim(name, records, true);
}

NcBuilder::Var& NcBuilder::var(const std::string& name, nc_type type,
                               const std::vector<std::string>& dims) {
    std::vector<int> ids;
    std::size_t size = 1;
    for (const auto& d : dims) {
        int id = -1;
        for (std::size_t i = 0; i < dims_.size(); ++i)
            if (dims_[i].name == d) id = static_cast<int>(i);
        if (id < 0) fail("variable " + name + ": no dimension named " + d);
        ids.push_back(id);
        size *= dims_[id].size;
    }
    vars_.emplace_back(new Var(name, type, std::move(ids), size, static_cast<int>(vars_.size())));
    return *vars_.back();
}

const std::string& NcBuilder::write() {
    int mode = NC_CLOBBER;
    if (format_ == NcFormat::Offset64) mode |= NC_64BIT_OFFSET;
    if (format_ == NcFormat::Cdf5) mode |= NC_64BIT_DATA;
    if (format_ == NcFormat::Netcdf4) mode |= NC_NETCDF4;
    Creation nc(path_, mode);

    auto putAtts = [&](int varid, const auto& atts, const std::string& owner) {
        for (const ncb::Att& a : atts) {
            int status = std::visit(
                [&](const auto& x) { return putAtt(nc.id(), varid, a.name.c_str(), a.type, x); },
                a.data);
            nc.check(status, "attribute " + owner + a.name);
        }
    };

    for (const Dim& d : dims_) {
        int id;
        nc.check(nc_def_dim(nc.id(), d.name.c_str(), d.unlimited ? NC_UNLIMITED : d.size, &id),
                 "dimension " + d.name);
    }
    for (const auto& p : vars_) {
        const Var& v = *p;
        int id;
        nc.check(nc_def_var(nc.id(), v.name_.c_str(), v.type_, static_cast<int>(v.dims_.size()),
                            v.dims_.data(), &id),
                 "variable " + v.name_);
        putAtts(id, v.atts(), v.name_ + ":");
    }
    putAtts(NC_GLOBAL, globals_.atts(), ":");
    nc.check(nc_enddef(nc.id()), "end of definitions");

    for (const auto& p : vars_) {
        const Var& v = *p;
        Sizes start(v.dims_.size(), 0), count, last;
        bool empty = false;
        for (int d : v.dims_) {
            count.push_back(dims_[d].size);
            empty = empty || dims_[d].size == 0;
            last.push_back(dims_[d].size == 0 ? 0 : dims_[d].size - 1);
        }
        if (v.hasData_) {
            if (empty) continue;
            int status = std::visit(
                [&](const auto& x) { return putVals(nc.id(), v.id_, start, count, x); }, v.data_);
            nc.check(status, "values of " + v.name_);
            continue;
        }
        // A record variable without values: its fill value in the last element stretches it
        // over all the records, as if every record had been written.
        bool record = false;
        for (int d : v.dims_)
            record = record || dims_[d].unlimited;
        if (!record || empty) continue;
        int status;
        if (v.type_ == NC_STRING) {
            const char* blank = "";
            status = nc_put_var1_string(nc.id(), v.id_, last.data(), &blank);
        } else {
            alignas(8) unsigned char fill[8] = {};
            status = nc_inq_var_fill(nc.id(), v.id_, nullptr, fill);
            if (status == NC_NOERR) status = nc_put_var1(nc.id(), v.id_, last.data(), fill);
        }
        nc.check(status, "records of " + v.name_);
    }
    nc.close();
    return path_;
}

void writeCdl(const std::string& cdl, const std::string& path, NcFormat format) {
    const std::string cdlPath = path + ".cdl";
    const std::string logPath = path + ".ncgen.log";
    struct Cleanup {
        std::string a, b;
        ~Cleanup() {
            std::error_code ec;
            std::filesystem::remove(a, ec);
            std::filesystem::remove(b, ec);
        }
    } cleanup{cdlPath, logPath};
    {
        std::ofstream out(cdlPath, std::ios::binary);
        out << cdl;
        if (!out.flush()) fail("cannot write " + cdlPath);
    }
    const char* kind = format == NcFormat::Classic    ? "classic"
                       : format == NcFormat::Offset64 ? "64-bit offset"
                       : format == NcFormat::Cdf5     ? "cdf5"
                                                      : "nc4";
    std::vector<std::string> args{"ncgen", "-k", kind, "-o", path, cdlPath};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid;
    int err = posix_spawnp(&pid, "ncgen", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err == ENOENT) fail("ncgen is not on the PATH (it comes with netcdf-bin)");
    if (err != 0) fail(std::string("cannot run ncgen: ") + std::strerror(err));
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) fail(std::string("waiting for ncgen: ") + std::strerror(errno));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        fail("ncgen failed for " + path + ": " + readAll(logPath));
    }
}
