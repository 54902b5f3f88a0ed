#pragma once
// Loading shared objects at run time, and where the program and its libraries lie.
// Paths may use "\" or "/" between folders.
#include <string>

// A shared object opened with dlopen; closed when the object goes (or by Close).
class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;

    // Opens path (symbols resolved now, kept local). False with the loader's text in error.
    bool Open(const std::string& path, std::string& error);
    // The address of symbol, nullptr with the loader's text in error.
    void* Symbol(const std::string& symbol, std::string& error) const;
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }

private:
    void* handle_ = nullptr;
};

// Opens library (once; it stays loaded) and returns the address of its factory symbol, or
// nullptr with the reason in error.
void* FindFactory(const std::string& library, const std::string& symbol, std::string& error);
// Closes a library that FindFactory opened. Nothing made by its factory may be used after.
void CloseFactoryLibrary(const std::string& library);

// The folder of the running program (of /proc/self/exe), without a trailing "/".
std::string ProgramFolder();
// The folder of the shared object (or program) that contains address; "" when unknown.
std::string ModuleFolder(const void* address);

// Path text helpers: "\" and "/" both separate folders.
// folder and name joined with one "/" ("" folder gives name).
std::string PathJoin(const std::string& folder, const std::string& name);
// The text before the last separator; "" when there is none ("/" for a file in the root).
std::string PathFolder(const std::string& path);
// The text after the last separator (the whole path when there is none).
std::string PathFileName(const std::string& path);
// Every "\" turned into "/", for opening files on this system.
std::string NativePath(const std::string& path);
