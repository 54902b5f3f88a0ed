// The netCDF entry points the program calls, each bound on its first call to the one of the
// netCDF that the dataset library links. Built into the program alone (the tests and the
// libraries link netCDF as usual), and hidden, so that no other object binds to them.
#include "viewer/LateNetcdf.h"

#include "platform/Component.h"

#include <netcdf.h>

#include <atomic>
#include <mutex>

namespace {

std::mutex& lateMutex() {
    static auto* m = new std::mutex;
    return *m;
}

std::string& libraryPath() {
    static auto* path = new std::string;
    return *path;
}

// Why netCDF could not be reached, for nc_strerror; never freed (the text may be asked for
// while the program ends).
std::string& lastError() {
    static auto* text = new std::string;
    return *text;
}

void* findSymbol(const char* name) {
    std::lock_guard lock(lateMutex());
    std::string error = "no library named";
    void* address = libraryPath().empty() ? nullptr : FindFactory(libraryPath(), name, error);
    if (address == nullptr) lastError() = "The netCDF library could not be loaded (" + error + ")";
    return address;
}

// The netCDF function name, bound once it is found; a call that finds no netCDF tries again
// next time.
template <class Fn> Fn bound(std::atomic<Fn>& slot, const char* name) {
    Fn fn = slot.load(std::memory_order_acquire);
    if (fn == nullptr) {
        fn = reinterpret_cast<Fn>(findSymbol(name));
        if (fn != nullptr) slot.store(fn, std::memory_order_release);
    }
    return fn;
}

} // namespace

void SetLateNetcdfLibrary(const std::string& path) {
    std::lock_guard lock(lateMutex());
    libraryPath() = path;
}

#define PELORIN_LATE_NC(name, params, args)                                                        \
    __attribute__((visibility("hidden"))) int name params {                                        \
        static std::atomic<decltype(&::name)> slot{nullptr};                                       \
        auto fn = bound(slot, #name);                                                              \
        return fn != nullptr ? fn args : NC_ENOTBUILT;                                             \
    }

extern "C" {

__attribute__((visibility("hidden"))) const char* nc_strerror(int status) {
    static std::atomic<decltype(&::nc_strerror)> slot{nullptr};
    auto fn = bound(slot, "nc_strerror");
    if (fn != nullptr) return fn(status);
    std::lock_guard lock(lateMutex());
    return lastError().c_str();
}

PELORIN_LATE_NC(nc_open, (const char* path, int mode, int* ncidp), (path, mode, ncidp))
PELORIN_LATE_NC(nc__open, (const char* path, int mode, size_t* chunksizehintp, int* ncidp),
                (path, mode, chunksizehintp, ncidp))
PELORIN_LATE_NC(nc__create,
                (const char* path, int cmode, size_t initialsz, size_t* chunksizehintp, int* ncidp),
                (path, cmode, initialsz, chunksizehintp, ncidp))
PELORIN_LATE_NC(nc_close, (int ncid), (ncid))
PELORIN_LATE_NC(nc_redef, (int ncid), (ncid))
PELORIN_LATE_NC(nc_enddef, (int ncid), (ncid))
PELORIN_LATE_NC(nc_set_fill, (int ncid, int fillmode, int* old_modep), (ncid, fillmode, old_modep))
PELORIN_LATE_NC(nc_inq, (int ncid, int* ndimsp, int* nvarsp, int* nattsp, int* unlimdimidp),
                (ncid, ndimsp, nvarsp, nattsp, unlimdimidp))
PELORIN_LATE_NC(nc_inq_natts, (int ncid, int* nattsp), (ncid, nattsp))
PELORIN_LATE_NC(nc_inq_dim, (int ncid, int dimid, char* name, size_t* lenp),
                (ncid, dimid, name, lenp))
PELORIN_LATE_NC(nc_inq_dimlen, (int ncid, int dimid, size_t* lenp), (ncid, dimid, lenp))
PELORIN_LATE_NC(nc_inq_var,
                (int ncid, int varid, char* name, nc_type* xtypep, int* ndimsp, int* dimidsp,
                 int* nattsp),
                (ncid, varid, name, xtypep, ndimsp, dimidsp, nattsp))
PELORIN_LATE_NC(nc_inq_varname, (int ncid, int varid, char* name), (ncid, varid, name))
PELORIN_LATE_NC(nc_inq_varndims, (int ncid, int varid, int* ndimsp), (ncid, varid, ndimsp))
PELORIN_LATE_NC(nc_inq_vardimid, (int ncid, int varid, int* dimidsp), (ncid, varid, dimidsp))
PELORIN_LATE_NC(nc_inq_varnatts, (int ncid, int varid, int* nattsp), (ncid, varid, nattsp))
PELORIN_LATE_NC(nc_inq_att, (int ncid, int varid, const char* name, nc_type* xtypep, size_t* lenp),
                (ncid, varid, name, xtypep, lenp))
PELORIN_LATE_NC(nc_inq_attname, (int ncid, int varid, int attnum, char* name),
                (ncid, varid, attnum, name))
PELORIN_LATE_NC(nc_def_dim, (int ncid, const char* name, size_t len, int* idp),
                (ncid, name, len, idp))
PELORIN_LATE_NC(nc_def_var,
                (int ncid, const char* name, nc_type xtype, int ndims, const int* dimidsp,
                 int* varidp),
                (ncid, name, xtype, ndims, dimidsp, varidp))
PELORIN_LATE_NC(nc_copy_att,
                (int ncid_in, int varid_in, const char* name, int ncid_out, int varid_out),
                (ncid_in, varid_in, name, ncid_out, varid_out))
PELORIN_LATE_NC(nc_get_att_text, (int ncid, int varid, const char* name, char* ip),
                (ncid, varid, name, ip))
PELORIN_LATE_NC(nc_get_att_double, (int ncid, int varid, const char* name, double* ip),
                (ncid, varid, name, ip))
PELORIN_LATE_NC(nc_get_att_string, (int ncid, int varid, const char* name, char** ip),
                (ncid, varid, name, ip))
PELORIN_LATE_NC(nc_put_att_text,
                (int ncid, int varid, const char* name, size_t len, const char* op),
                (ncid, varid, name, len, op))
PELORIN_LATE_NC(nc_put_att_double,
                (int ncid, int varid, const char* name, nc_type xtype, size_t len,
                 const double* op),
                (ncid, varid, name, xtype, len, op))
PELORIN_LATE_NC(nc_get_var_double, (int ncid, int varid, double* ip), (ncid, varid, ip))
PELORIN_LATE_NC(nc_put_vara_double,
                (int ncid, int varid, const size_t* startp, const size_t* countp, const double* op),
                (ncid, varid, startp, countp, op))
PELORIN_LATE_NC(nc_put_vara_float,
                (int ncid, int varid, const size_t* startp, const size_t* countp, const float* op),
                (ncid, varid, startp, countp, op))
PELORIN_LATE_NC(nc_put_vara_int,
                (int ncid, int varid, const size_t* startp, const size_t* countp, const int* op),
                (ncid, varid, startp, countp, op))
PELORIN_LATE_NC(nc_put_vara_short,
                (int ncid, int varid, const size_t* startp, const size_t* countp, const short* op),
                (ncid, varid, startp, countp, op))
PELORIN_LATE_NC(nc_free_string, (size_t len, char** data), (len, data))

} // extern "C"
