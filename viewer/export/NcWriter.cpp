#include "viewer/export/NcWriter.h"

#include "common/ClassicHeader.h"
#include "common/NetCDF.h"

#include <utility>

namespace {

constexpr std::size_t kBufferSize = 4 << 20;

} // namespace

NcFailure::NcFailure(int status, const std::string& call, std::string target)
    : std::runtime_error(call + ": " + NcErrorText(status)), status_(status), call_(call),
      target_(std::move(target)) {}

std::string NcFailure::Text() const {
    // netCDF-C passes a failed system call's errno on as a positive status.
    if (status_ <= 0 || target_.empty()) return NcErrorText(status_);
    return NcErrorText(status_) + "\r\n\r\nfile   : " + target_;
}

void NcCheck(int status, const std::string& call) {
    if (status != NC_NOERR) throw NcFailure(status, call);
}

// ---- NcSource ------------------------------------------------------------------------------

NcSource::NcSource(const std::string& path) : path_(path) {
    NcCheck(NcOpenChecked(path, NC_NOWRITE, &id_), "nc_open " + path);
}

NcSource::~NcSource() {
    if (id_ >= 0) nc_close(id_);
}

int NcSource::attCount(int var) const {
    int n = 0;
    if (var == NC_GLOBAL)
        NcCheck(nc_inq_natts(id_, &n), "nc_inq_natts");
    else
        NcCheck(nc_inq_varnatts(id_, var, &n), "nc_inq_varnatts");
    return n;
}

std::string NcSource::attName(int var, int a) const {
    std::string name;
    NcCheck(NcAttName(id_, var, a, name), "nc_inq_attname");
    return name;
}

// ---- NcOut ---------------------------------------------------------------------------------

NcOut NcOut::Create(const std::string& path) {
    int id = -1;
    // The library's own buffer is a few kilobytes: a block of values goes out in far fewer
    // calls through a larger one.
    std::size_t buffer = kBufferSize;
    NcCheck(nc__create(path.c_str(), NC_CLOBBER, 0, &buffer, &id), "nc_create " + path);
    return NcOut(id);
}

NcOut NcOut::OpenForWrite(const std::string& path) {
    int id = -1;
    std::size_t buffer = kBufferSize;
    NcCheck(NcOpenChecked(path, NC_WRITE, &id, nullptr, &buffer), "nc_open " + path);
    return NcOut(id);
}

NcOut::NcOut(NcOut&& other) noexcept : id_(std::exchange(other.id_, -1)) {}

NcOut::~NcOut() {
    if (id_ >= 0) nc_close(id_);
}

std::string NcOut::nameOf(int var) const {
    if (var == NC_GLOBAL) return "(global)";
    std::string name;
    if (NcVarName(id_, var, name) != NC_NOERR) return "variable " + std::to_string(var);
    return name;
}

int NcOut::DefDim(const std::string& name, std::size_t len) {
    int dim = -1;
    NcCheck(nc_def_dim(id_, name.c_str(), len, &dim), "nc_def_dim " + name);
    return dim;
}

int NcOut::DefVar(const std::string& name, nc_type type, const std::vector<int>& dims) {
    int var = -1;
    NcCheck(nc_def_var(id_, name.c_str(), type, static_cast<int>(dims.size()), dims.data(), &var),
            "nc_def_var " + name);
    return var;
}

void NcOut::PutAttText(int var, const std::string& name, const std::string& text) {
    NcCheck(nc_put_att_text(id_, var, name.c_str(), text.size(), text.data()),
            "nc_put_att_text " + nameOf(var) + ":" + name);
}

void NcOut::PutAttDouble(int var, const std::string& name, nc_type type,
                         const std::vector<double>& values) {
    NcCheck(nc_put_att_double(id_, var, name.c_str(), type, values.size(), values.data()),
            "nc_put_att_double " + nameOf(var) + ":" + name);
}

void NcOut::CopyAtt(int src, int srcVar, const std::string& name, int var) {
    NcCheck(nc_copy_att(src, srcVar, name.c_str(), id_, var),
            "nc_copy_att " + nameOf(var) + ":" + name);
}

void NcOut::NoFill() {
    int before = 0;
    NcCheck(nc_set_fill(id_, NC_NOFILL, &before), "nc_set_fill");
}

void NcOut::Redef() {
    NcCheck(nc_redef(id_), "nc_redef");
}

void NcOut::EndDef() {
    NcCheck(nc_enddef(id_), "nc_enddef");
}

void NcOut::PutVara(int var, const std::vector<std::size_t>& start,
                    const std::vector<std::size_t>& count, const short* values) {
    NcCheck(nc_put_vara_short(id_, var, start.data(), count.data(), values),
            "nc_put_vara_short " + nameOf(var));
}

void NcOut::PutVara(int var, const std::vector<std::size_t>& start,
                    const std::vector<std::size_t>& count, const int* values) {
    NcCheck(nc_put_vara_int(id_, var, start.data(), count.data(), values),
            "nc_put_vara_int " + nameOf(var));
}

void NcOut::PutVara(int var, const std::vector<std::size_t>& start,
                    const std::vector<std::size_t>& count, const float* values) {
    NcCheck(nc_put_vara_float(id_, var, start.data(), count.data(), values),
            "nc_put_vara_float " + nameOf(var));
}

void NcOut::PutVara(int var, const std::vector<std::size_t>& start,
                    const std::vector<std::size_t>& count, const double* values) {
    NcCheck(nc_put_vara_double(id_, var, start.data(), count.data(), values),
            "nc_put_vara_double " + nameOf(var));
}

void NcOut::Close() {
    const int id = std::exchange(id_, -1);
    NcCheck(nc_close(id), "nc_close");
}
