// The settings reader and writer on a settings file of any content: reads of a few keys and
// sections, then a write that must read back as written.
#include "tests/fuzz/FuzzInput.h"

#include "platform/Profile.h"

#include <cctype>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = fuzz::writeInput(data, size, "Pelorin.ini");
    (void)GetProfileString("Settings", "CoastFile", "", file);
    (void)GetProfileString("", "", "none", file);
    (void)GetProfileSection("Settings", file);
    const ProfileSection recent = GetProfileSection("Recent", file);

    // The value to write is taken from the input's first bytes, kept to letters and digits so
    // that no trimming or quoting rule applies to it.
    std::string value;
    for (std::size_t i = 0; i < size && value.size() < 12; ++i)
        if (std::isalnum(data[i])) value.push_back(static_cast<char>(data[i]));
    if (value.empty()) value.push_back('x');
    for (const char* section : {"Settings", "Added"}) {
        if (WriteProfileString(section, "FuzzKey", value, file) != 1) continue;
        if (GetProfileString(section, "FuzzKey", "", file) != value) std::abort();
        // A write into one section leaves the others as they were.
        if (GetProfileSection("Recent", file) != recent) std::abort();
    }
    return 0;
}
