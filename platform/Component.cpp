#include "platform/Component.h"

#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <unistd.h>

namespace {

// The loader's last error text on this thread, or fallback. The loader keeps that text in a
// block of its own per thread until it is asked a second time; asking again here frees it, so a
// thread that ends while the program exits leaves nothing behind.
std::string loaderError(const std::string& fallback) {
    const char* e = ::dlerror();
    std::string text = e != nullptr ? std::string(e) : fallback;
    ::dlerror();
    return text;
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

std::size_t lastSeparator(const std::string& path) {
    return path.find_last_of("/\\");
}

} // namespace

SharedLibrary::~SharedLibrary() {
    Close();
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept : handle_(other.handle_) {
    other.handle_ = nullptr;
}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

bool SharedLibrary::Open(const std::string& path, std::string& error) {
    Close();
    ::dlerror();
    handle_ = ::dlopen(NativePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        error = loaderError("cannot open " + path);
        return false;
    }
    return true;
}

void* SharedLibrary::Symbol(const std::string& symbol, std::string& error) const {
    if (handle_ == nullptr) {
        error = "no library is open";
        return nullptr;
    }
    ::dlerror();
    void* address = ::dlsym(handle_, symbol.c_str());
    if (address == nullptr) error = loaderError("symbol " + symbol + " not found");
    return address;
}

void SharedLibrary::Close() {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
        handle_ = nullptr;
    }
}

namespace {

// Never destroyed: factories may still be looked up while the program ends.
std::mutex& factoryMutex() {
    static auto* m = new std::mutex;
    return *m;
}

// Libraries opened by FindFactory stay loaded until CloseFactoryLibrary: the objects their
// factories made hold code of them. They are deliberately not closed at exit.
std::map<std::string, void*>& factoryLibraries() {
    static auto* libraries = new std::map<std::string, void*>;
    return *libraries;
}

// The handle of the library at path (a path as NativePath gives it), opened now when it is not
// yet; nullptr, with the loader's text in error, when it cannot be. The caller holds
// factoryMutex.
void* openFactoryLibrary(const std::string& path, const std::string& library, std::string& error) {
    auto& libraries = factoryLibraries();
    auto it = libraries.find(path);
    if (it != libraries.end()) return it->second;
    ::dlerror();
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = loaderError("cannot open " + library);
        return nullptr;
    }
    try {
        libraries.emplace(path, handle);
    } catch (...) {
        ::dlclose(handle);
        throw;
    }
    return handle;
}

} // namespace

void* FindFactory(const std::string& library, const std::string& symbol, std::string& error) {
    std::lock_guard lock(factoryMutex());
    void* handle = openFactoryLibrary(NativePath(library), library, error);
    if (handle == nullptr) return nullptr;
    ::dlerror();
    void* address = ::dlsym(handle, symbol.c_str());
    if (address == nullptr) error = loaderError("symbol " + symbol + " not found");
    return address;
}

void CloseFactoryLibrary(const std::string& library) {
    std::lock_guard lock(factoryMutex());
    auto& libraries = factoryLibraries();
    auto it = libraries.find(NativePath(library));
    if (it == libraries.end()) return;
    ::dlclose(it->second);
    libraries.erase(it);
}

std::string ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path().string();
}

std::string ModuleFolder(const void* address) {
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
    const std::string name = info.dli_fname;
    // The program itself is reported by the name it was started with, which need not be a
    // path: take its folder from /proc instead.
    if (name.empty() || name.find('/') == std::string::npos) return ProgramFolder();
    std::error_code ec;
    auto full = std::filesystem::canonical(name, ec);
    if (ec) return PathFolder(name);
    return full.parent_path().string();
}

std::string PathJoin(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (isSeparator(folder.back())) return folder + name;
    return folder + "/" + name;
}

std::string PathFolder(const std::string& path) {
    const std::size_t p = lastSeparator(path);
    if (p == std::string::npos) return {};
    if (p == 0) return path.substr(0, 1);
    return path.substr(0, p);
}

std::string PathFileName(const std::string& path) {
    const std::size_t p = lastSeparator(path);
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string NativePath(const std::string& path) {
    std::string out = path;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}
