#pragma once
// A Kelvad that finds no alias file, and datasets written from CDL into slot 1 by the header
// reader, for the tests of recognition, classification, vector choice and look-ups.
#include "kelvadlib/Kelvad.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

// Switches the current folder for its lifetime: declared before the Kelvad, so that the
// object's creation looks for the alias file in an empty folder.
class RecognitionFolder {
public:
    explicit RecognitionFolder(const std::filesystem::path& p)
        : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(p);
    }
    ~RecognitionFolder() { std::filesystem::current_path(old_); }
    RecognitionFolder(const RecognitionFolder&) = delete;
    RecognitionFolder& operator=(const RecognitionFolder&) = delete;

private:
    std::filesystem::path old_;
};

class RecognitionSlotBase : public ::testing::Test {
protected:
    TempDir dir;
    RecognitionFolder in{dir.path()};
    Kelvad k;

    // Writes "netcdf t { <body> }" and reads its header into slot 1.
    void loadCdl(const std::string& body, const std::string& name = "t.nc") {
        const std::string path = dir.file(name);
        writeCdl("netcdf t {\n" + body + "\n}\n", path);
        loadFile(path);
    }
    void loadFile(const std::string& path) {
        k.nNcMax = 1;
        ASSERT_EQ(k.GetNCHeader(path, 1), 1) << k.ErrorMessage;
    }
    NcfRec& rec() { return k.ncf(1); }
    // The number (from 1) of the variable of that name in slot 1.
    Long varNo(const std::string& name) {
        for (Long v = 1; v <= rec().nVars; ++v)
            if (rec().vari(v).name == name) return v;
        throw std::runtime_error("no variable " + name);
    }
    // The netCDF id of the dimension of that name in slot 1.
    Long dimId(const std::string& name) {
        for (Long d = 1; d <= rec().nDimes; ++d)
            if (rec().dime(d).name == name) return d - 1;
        throw std::runtime_error("no dimension " + name);
    }
};
