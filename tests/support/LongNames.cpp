#include "tests/support/LongNames.h"

#include <hdf5.h>

bool AddLongNamedAttribute(const std::string& path, const std::string& var, const std::string& name,
                           int value) {
    const hid_t file = H5Fopen(path.c_str(), H5F_ACC_RDWR, H5P_DEFAULT);
    if (file < 0) return false;
    const hid_t at =
        var.empty() ? H5Gopen2(file, "/", H5P_DEFAULT) : H5Dopen2(file, var.c_str(), H5P_DEFAULT);
    bool ok = false;
    if (at >= 0) {
        const hid_t space = H5Screate(H5S_SCALAR);
        const hid_t att =
            H5Acreate2(at, name.c_str(), H5T_NATIVE_INT, space, H5P_DEFAULT, H5P_DEFAULT);
        ok = att >= 0 && H5Awrite(att, H5T_NATIVE_INT, &value) >= 0;
        if (att >= 0) H5Aclose(att);
        H5Sclose(space);
        if (var.empty())
            H5Gclose(at);
        else
            H5Dclose(at);
    }
    return H5Fclose(file) >= 0 && ok;
}

bool RenameToLongName(const std::string& path, const std::string& from, const std::string& name) {
    const hid_t file = H5Fopen(path.c_str(), H5F_ACC_RDWR, H5P_DEFAULT);
    if (file < 0) return false;
    const bool ok = H5Lmove(file, from.c_str(), file, name.c_str(), H5P_DEFAULT, H5P_DEFAULT) >= 0;
    return H5Fclose(file) >= 0 && ok;
}
