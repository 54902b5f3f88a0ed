#pragma once
// What the tests of the dataset object's own operations share: index arrays written as lists,
// the elements of an array, whether a netCDF id is open, the message frame of a caught runtime
// error, an object with one slot read from a file, and three small files to open and close.
#include "kelvadlib/Kelvad.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

inline constexpr float kNoVal = -1e35f;
inline const std::string kCrLf = "\r\n";

inline VArray<Long> longs(std::initializer_list<Long> values) {
    VArray<Long> a(1, static_cast<Long>(values.size()));
    Long i = 1;
    for (Long v : values)
        a(i++) = v;
    return a;
}

template <class T> std::vector<T> elements(const VArray<T>& a) {
    return std::vector<T>(a.begin(), a.end());
}

inline bool isOpen(int ncid) {
    int n = 0;
    return ncid >= 0 && nc_inq_ndims(ncid, &n) == NC_NOERR;
}
inline bool isClosed(int ncid) {
    int n = 0;
    return nc_inq_ndims(ncid, &n) == NC_EBADID;
}

// The message of a runtime error caught in the procedure of the tag.
inline std::string frame(const std::string& tag, int number, const std::string& text) {
    return tag + "Error message (number " + std::to_string(number) + ")is:" + kCrLf + "\"" + text +
           "\"";
}

class KelvadFixture : public ::testing::Test {
protected:
    TempDir dir;
    Kelvad k;

    // Reads the header of path into slot 1, counted as Initialize counts it.
    void load(const std::string& path) {
        k.nNcMax = 1;
        ASSERT_EQ(k.GetNCHeader(path, 1), 1) << k.ErrorMessage;
    }
    Long varNum(const std::string& name) {
        for (Long v = 1; v <= k.ncf(1).nVars; ++v)
            if (k.ncf(1).vari(v).name == name) return v;
        throw std::runtime_error("no variable " + name);
    }
    int& ncid() { return k.ncf(1).ncid; }
};

// Three headers: a good one, one without dimensions and one with six dimensions.
class SmallFilesFixture : public ::testing::Test {
protected:
    SmallFilesFixture() {
        NcBuilder good(dir.file("good.nc"));
        good.dim("x", 2);
        good.var("x", NC_FLOAT, {"x"});
        goodPath = good.write();
        NcBuilder nodims(dir.file("nodims.nc"));
        nodims.globalAtt("title", "none");
        noDimsPath = nodims.write();
        NcBuilder six(dir.file("six.nc"));
        for (const char* d : {"a", "b", "c", "d", "e", "f"})
            six.dim(d, 1);
        six.var("v", NC_FLOAT, {"a", "b", "c", "d", "e", "f"});
        sixDimsPath = six.write();
    }
    TempDir dir;
    std::string goodPath, noDimsPath, sixDimsPath;
};
