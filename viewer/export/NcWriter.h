#pragma once
// The netCDF calls of the file writers, each with its status tested. A call that fails throws
// NcFailure with the library's status, so that every writer has one netCDF failure exit and
// no status goes unread, the close's included. NcSource opens a dataset read-only beside the
// viewer's dataset object, for what must be copied exactly (attributes with their types).
#include <netcdf.h>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

class NcFailure : public std::runtime_error {
public:
    NcFailure(int status, const std::string& call, std::string target = {});
    int status() const noexcept { return status_; }
    // The call that failed ("nc_def_var temp").
    const std::string& call() const noexcept { return call_; }
    // The file the failing write was for, when known.
    const std::string& target() const noexcept { return target_; }
    // The library's message; a failure of the system under the library (a full disk, a file
    // too large) names the target too, since the message alone does not say which disk.
    std::string Text() const;

private:
    int status_;
    std::string call_;
    std::string target_;
};

// Throws NcFailure(status, call) unless status is NC_NOERR.
void NcCheck(int status, const std::string& call);

// A dataset opened read-only; closed when the object goes.
class NcSource {
public:
    explicit NcSource(const std::string& path);
    ~NcSource();
    NcSource(const NcSource&) = delete;
    NcSource& operator=(const NcSource&) = delete;

    int id() const { return id_; }
    const std::string& path() const { return path_; }
    // Number of attributes of variable var (NC_GLOBAL for the dataset's own).
    int attCount(int var) const;
    // Name of attribute a (from 0) of variable var.
    std::string attName(int var, int a) const;

private:
    int id_ = -1;
    std::string path_;
};

// A netCDF file being written. Every member tests its call's status. An object that goes
// without Close closes its file without looking at the status: the writer is on its failure
// exit and throws the file away.
class NcOut {
public:
    // A new classic-format file at path, replacing what is there.
    static NcOut Create(const std::string& path);
    // An existing file opened for writing, in data mode.
    static NcOut OpenForWrite(const std::string& path);

    NcOut(NcOut&& other) noexcept;
    NcOut& operator=(NcOut&&) = delete;
    NcOut(const NcOut&) = delete;
    ~NcOut();

    int id() const { return id_; }

    // A dimension; NC_UNLIMITED as len makes the unlimited one. Returns its id.
    int DefDim(const std::string& name, std::size_t len);
    // A variable over the dimension ids, slowest first. Returns its id.
    int DefVar(const std::string& name, nc_type type, const std::vector<int>& dims);
    void PutAttText(int var, const std::string& name, const std::string& text);
    // Numeric values converted by netCDF to type.
    void PutAttDouble(int var, const std::string& name, nc_type type,
                      const std::vector<double>& values);
    // Attribute name of variable srcVar of src, as it stands (type and values), onto var.
    void CopyAtt(int src, int srcVar, const std::string& name, int var);
    // No prefill of the variables with their fill values: for a writer that writes every value
    // (the library would otherwise write the whole file twice).
    void NoFill();
    void Redef();
    void EndDef();

    // Blocks of values: start and count per dimension of the variable (0-based starts).
    void PutVara(int var, const std::vector<std::size_t>& start,
                 const std::vector<std::size_t>& count, const short* values);
    void PutVara(int var, const std::vector<std::size_t>& start,
                 const std::vector<std::size_t>& count, const int* values);
    void PutVara(int var, const std::vector<std::size_t>& start,
                 const std::vector<std::size_t>& count, const float* values);
    void PutVara(int var, const std::vector<std::size_t>& start,
                 const std::vector<std::size_t>& count, const double* values);

    // Closes the file; its status is the last word on whether the file is whole.
    void Close();

private:
    explicit NcOut(int id) : id_(id) {}
    std::string nameOf(int var) const;
    int id_ = -1;
};
