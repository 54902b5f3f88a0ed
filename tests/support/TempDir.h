#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes out of scope.
#include <filesystem>
#include <random>
#include <string>

class TempDir {
public:
    TempDir() : TempDir(std::filesystem::temp_directory_path()) {}
    // Under base instead (a folder in memory, say, for a test that writes a file thousands of
    // times and would only wait on the disk).
    explicit TempDir(const std::filesystem::path& base) {
        namespace fs = std::filesystem;
        std::random_device rd;
        for (int tries = 0; tries < 100; ++tries) {
            auto p = base / ("pelorin-test-" + std::to_string(rd()));
            std::error_code ec;
            if (fs::create_directory(p, ec)) {
                path_ = p;
                return;
            }
        }
        throw std::runtime_error("TempDir: cannot create a temporary folder");
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of name inside the folder, as text.
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};
