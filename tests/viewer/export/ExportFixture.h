#pragma once
// What the subset tests share: datasets loaded by the loader, the picks set by name, the
// order window's subset rows typed into the default export host, and the written files read
// back with netCDF-C itself.
#include "tests/viewer/OrderWinFixture.h"

#include "runtime/Text.h"
#include "viewer/export/ExportHost.h"
#include "viewer/export/SubsetDescription.h"

#include <netcdf.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// grid.nc: 5 six-hourly steps from 1990-01-01 06:00, 3 depths, 6 latitudes (stored as Double,
// with a Double fill value), 8 longitudes; temp (short, scaled, with a fill value, a valid range
// and a byte attribute) holds t * 1000 + z * 100 + y * 10 + x (0-based indices); sal (float,
// NaN fill) holds the same over 100 with NaN at every seventh value; mask(lat, lon) is an int.
// Global attributes of text, byte, double (two values) and int.
inline double GridValue(int t, int z, int y, int x) {
    return t * 1000 + z * 100 + y * 10 + x;
}

// The time axis's calendar, units and base-date attribute (time_origin) can be given.
inline std::string ExportGridFixture(const std::string& path, const std::string& calendar = "",
                                     const std::string& units = "hours since 1990-01-01 06:00:00",
                                     const std::string& origin = "") {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 5);
    nc.dim("depth", 3);
    nc.dim("lat", 6);
    nc.dim("lon", 8);
    auto& time = nc.var("time", NC_DOUBLE, {"time"});
    time.att("units_per_step", NC_SHORT, 6); // a number, whatever its name: not the units text
    time.att("units", units);
    if (!calendar.empty()) time.att("calendar", calendar);
    if (!origin.empty()) time.att("time_origin", origin);
    time.values({0.0, 6.0, 12.0, 18.0, 24.0});
    nc.var("depth", NC_FLOAT, {"depth"})
        .att("units", "m")
        .att("positive", "down")
        .values({0.0, 10.0, 20.0});
    nc.var("lat", NC_DOUBLE, {"lat"})
        .att("units", "degrees_north")
        .att("_FillValue", 9.96921e36)
        .values({10.0, 11.0, 12.0, 13.0, 14.0, 15.0});
    nc.var("lon", NC_FLOAT, {"lon"})
        .att("units", "degrees_east")
        .values({100.0, 101.0, 102.0, 103.0, 104.0, 105.0, 106.0, 107.0});
    std::vector<double> temp, sal;
    for (int t = 0; t < 5; ++t)
        for (int z = 0; z < 3; ++z)
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 8; ++x) {
                    temp.push_back(GridValue(t, z, y, x));
                    sal.push_back(sal.size() % 7 == 3 ? std::nan("") : GridValue(t, z, y, x) / 100);
                }
    nc.var("temp", NC_SHORT, {"time", "depth", "lat", "lon"})
        .att("long_name", "sea water temperature")
        .att("scale_factor", 0.01f)
        .att("add_offset", 20.0)
        .att("_FillValue", NC_SHORT, -32767)
        .att("valid_range", NC_SHORT, {-2000, 5000})
        .att("flag", NC_BYTE, {1, -2})
        .values(temp);
    nc.var("sal", NC_FLOAT, {"time", "depth", "lat", "lon"})
        .att("units", "psu")
        .att("_FillValue", std::nanf(""))
        .values(sal);
    nc.var("mask", NC_INT, {"lat", "lon"}).values(std::vector<double>(48, 1.0));
    nc.globalAtt("title", "export grid");
    nc.globalAtt("version", NC_BYTE, 3);
    nc.globalAtt("weights", {0.5, 0.25});
    nc.globalAtt("count", 7);
    return nc.write();
}

// The grid fixture rewritten under the dataset object that has it open: temp reads as before,
// while sal, now over the depths alone, fails any read of the window asked of the old sal.
inline void GridWithoutSal(const std::string& path) {
    NcBuilder nc(path);
    nc.unlimitedDim("time", 5);
    nc.dim("depth", 3);
    nc.dim("lat", 6);
    nc.dim("lon", 8);
    nc.var("time", NC_DOUBLE, {"time"}).values({0.0, 6.0, 12.0, 18.0, 24.0});
    nc.var("depth", NC_FLOAT, {"depth"}).values({0.0, 10.0, 20.0});
    nc.var("lat", NC_DOUBLE, {"lat"}).values(std::vector<double>(6, 1.0));
    nc.var("lon", NC_FLOAT, {"lon"}).values(std::vector<double>(8, 1.0));
    nc.var("temp", NC_SHORT, {"time", "depth", "lat", "lon"}).values(std::vector<double>(720, 1.0));
    nc.var("sal", NC_FLOAT, {"depth"}).values(std::vector<double>(3, 1.0));
    nc.write();
}

// The second file: u (Double, with a valid_max) and temp over the grid fixture's dimensions,
// declared in another order there; lonLength other than 8 gives it a longitude the main
// dataset lacks.
inline std::string SecondFile(const std::string& path, std::size_t lonLength = 8) {
    NcBuilder nc(path);
    nc.dim("lon", lonLength);
    nc.dim("lat", 6);
    nc.dim("depth", 3);
    nc.unlimitedDim("time", 5);
    const std::size_t n = 5 * 3 * 6 * lonLength;
    std::vector<double> u(n);
    for (std::size_t i = 0; i < n; ++i)
        u[i] = static_cast<double>(i) / 4;
    nc.var("u", NC_DOUBLE, {"time", "depth", "lat", "lon"})
        .att("units", "m/s")
        .att("valid_max", 60.0)
        .values(u);
    nc.var("temp", NC_FLOAT, {"time", "depth", "lat", "lon"}).values(std::vector<double>(n, 1));
    return nc.write();
}

// A netCDF file read back through the library itself.
class NcRead {
public:
    explicit NcRead(const std::string& path) { ok_ = nc_open(path.c_str(), NC_NOWRITE, &id_) == 0; }
    ~NcRead() {
        if (ok_) nc_close(id_);
    }
    NcRead(const NcRead&) = delete;
    NcRead& operator=(const NcRead&) = delete;

    bool ok() const { return ok_; }
    int id() const { return id_; }
    int format() const {
        int f = -1;
        nc_inq_format(id_, &f);
        return f;
    }

    // Dimension names in id order, and lengths ("time*" for the unlimited one).
    std::vector<std::string> dims() const {
        int n = 0, unlimited = -1;
        nc_inq_ndims(id_, &n);
        nc_inq_unlimdim(id_, &unlimited);
        std::vector<std::string> out;
        for (int d = 0; d < n; ++d) {
            char name[NC_MAX_NAME + 1] = {};
            std::size_t len = 0;
            nc_inq_dim(id_, d, name, &len);
            out.push_back(std::string(name) + (d == unlimited ? "*" : "") + "=" +
                          std::to_string(len));
        }
        return out;
    }
    // "name(type:dim,dim)" for every variable in id order.
    std::vector<std::string> vars() const {
        int n = 0;
        nc_inq_nvars(id_, &n);
        std::vector<std::string> out;
        for (int v = 0; v < n; ++v) {
            char name[NC_MAX_NAME + 1] = {};
            nc_type type = NC_NAT;
            int nd = 0;
            int dims[NC_MAX_VAR_DIMS] = {};
            nc_inq_var(id_, v, name, &type, &nd, dims, nullptr);
            std::string s = std::string(name) + "(" + std::to_string(type) + ":";
            for (int d = 0; d < nd; ++d) {
                char dn[NC_MAX_NAME + 1] = {};
                nc_inq_dimname(id_, dims[d], dn);
                if (d) s += ',';
                s.append(dn);
            }
            out.push_back(s + ")");
        }
        return out;
    }
    int var(const std::string& name) const {
        int v = -2;
        if (nc_inq_varid(id_, name.c_str(), &v) != NC_NOERR) return -2;
        return v;
    }
    // Attribute names of a variable ("" for the global ones) in order.
    std::vector<std::string> attNames(const std::string& owner) const {
        const int v = owner.empty() ? NC_GLOBAL : var(owner);
        int n = 0;
        if (v == NC_GLOBAL)
            nc_inq_natts(id_, &n);
        else
            nc_inq_varnatts(id_, v, &n);
        std::vector<std::string> out;
        for (int a = 0; a < n; ++a) {
            char name[NC_MAX_NAME + 1] = {};
            nc_inq_attname(id_, v, a, name);
            out.push_back(name);
        }
        return out;
    }
    nc_type attType(const std::string& owner, const std::string& name) const {
        nc_type t = NC_NAT;
        nc_inq_atttype(id_, owner.empty() ? NC_GLOBAL : var(owner), name.c_str(), &t);
        return t;
    }
    std::string attText(const std::string& owner, const std::string& name) const {
        const int v = owner.empty() ? NC_GLOBAL : var(owner);
        std::size_t len = 0;
        if (nc_inq_attlen(id_, v, name.c_str(), &len) != NC_NOERR) return "(none)";
        std::string s(len, '\0');
        nc_get_att_text(id_, v, name.c_str(), s.data());
        return s;
    }
    std::vector<double> attValues(const std::string& owner, const std::string& name) const {
        const int v = owner.empty() ? NC_GLOBAL : var(owner);
        std::size_t len = 0;
        if (nc_inq_attlen(id_, v, name.c_str(), &len) != NC_NOERR) return {};
        std::vector<double> out(len);
        nc_get_att_double(id_, v, name.c_str(), out.data());
        return out;
    }
    // The whole variable, or a strided part of it (0-based starts), as Doubles.
    std::vector<double> values(const std::string& name, std::vector<std::size_t> start = {},
                               std::vector<std::size_t> count = {},
                               std::vector<std::ptrdiff_t> stride = {}) const {
        const int v = var(name);
        int nd = 0;
        nc_inq_varndims(id_, v, &nd);
        int dims[NC_MAX_VAR_DIMS] = {};
        nc_inq_vardimid(id_, v, dims);
        if (start.empty()) {
            start.assign(static_cast<std::size_t>(nd), 0);
            for (int d = 0; d < nd; ++d) {
                std::size_t len = 0;
                nc_inq_dimlen(id_, dims[d], &len);
                count.push_back(len);
            }
            stride.assign(static_cast<std::size_t>(nd), 1);
        }
        std::size_t n = 1;
        for (std::size_t c : count)
            n *= c;
        std::vector<double> out(n);
        if (n > 0)
            nc_get_vars_double(id_, v, start.data(), count.data(), stride.data(), out.data());
        return out;
    }

private:
    int id_ = -1;
    bool ok_ = false;
};

// Doubles compared as equal when both are NaN.
inline bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
    return true;
}

// Runs check in a child process whose files cannot grow beyond limit bytes: true when the child
// ended normally and check returned true there.
template <class Check> bool InChildWithFileLimit(rlim_t limit, Check&& check) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &r);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

class ExportFixture : public OrderWinFixture {
protected:
    // The picks by name: "temp" from the main dataset, "2:temp" from the second file.
    static void pick(const std::vector<std::string>& names) {
        Data.PickCount = static_cast<Long>(names.size());
        Data.Picks.ReDim(1, Data.PickCount);
        for (Long i = 1; i <= Data.PickCount; ++i) {
            std::string name = names[static_cast<std::size_t>(i - 1)];
            Long slot = 1;
            if (name.rfind("2:", 0) == 0) {
                slot = 2;
                name = name.substr(2);
            }
            PickItem& p = Data.Picks(i);
            p.datasetIndex = slot;
            p.varNumber = Data.clsNC->variNum(name, slot);
            p.narray = Data.clsNC->variNarray(p.varNumber, slot);
        }
    }
    // Row d of the subset rows (1-based), as typed.
    static void row(Long d, const std::string& start, const std::string& end,
                    const std::string& step) {
        defaultExportHost().rows[static_cast<std::size_t>(d - 1)] = {start, end, step, ""};
    }
    static void row(Long d, Long start, Long end, Long step) {
        row(d, Str(start), Str(end), Str(step));
    }
    // Every row of the first pick over its whole dimension.
    static void wholeRows() {
        const PickItem& p = Data.Picks(1);
        for (Long d = 1; d <= p.narray && d <= 4; ++d) {
            const Long id = Data.clsNC->variArrayDimID(p.varNumber, d, p.datasetIndex);
            row(d, 1, Data.clsNC->dimeSize(id + 1, p.datasetIndex), 1);
        }
    }
    static std::string fileBytes(const std::string& path) { return readFile(path); }
    // The names in a folder, sorted.
    static std::vector<std::string> folderNames(const std::filesystem::path& folder) {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};
