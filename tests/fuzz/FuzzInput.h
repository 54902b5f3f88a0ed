#pragma once
// What the fuzz targets share: the entry libFuzzer calls (and the replay's main calls in the
// normal test build), and a scratch folder for inputs the code under test reads from a path.
#include "tests/support/TempDir.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz {

// The folder lives as long as the process; every input overwrites the same file.
inline const std::string& scratchDir() {
    static TempDir dir;
    static const std::string path = dir.path().string();
    return path;
}

// Writes the input to name in the scratch folder and returns its path.
inline std::string writeInput(const std::uint8_t* data, std::size_t size, const std::string& name) {
    std::string path = scratchDir();
    path.append("/").append(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

} // namespace fuzz
