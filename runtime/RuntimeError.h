#pragma once
// A run-time error with the runtime's number and text. Handlers catch it, show or record the
// text, and carry on; nothing lets it escape a component's interface.
#include <stdexcept>
#include <string>

class RuntimeError : public std::runtime_error {
public:
    // The standard text of the number (see ErrorText).
    explicit RuntimeError(int number);
    RuntimeError(int number, const std::string& description);

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

private:
    int number_;
    std::string description_;
};

// The runtime's text for an error number: 6 "Overflow", 9 "Subscript out of range", ...
// An unknown number gives "Application-defined or object-defined error".
std::string ErrorText(int number);

// Error numbers the program raises and tests for.
namespace err {
constexpr int InvalidCall = 5;
constexpr int Overflow = 6;
constexpr int Subscript = 9;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int BadFileNumber = 52;
constexpr int FileNotFound = 53;
constexpr int FileAlreadyOpen = 55;
constexpr int DeviceIO = 57;
constexpr int DiskFull = 61;
constexpr int InputPastEnd = 62;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int ObjectNotSet = 91;
constexpr int NoSuchMember = 438;
constexpr int WrongArguments = 450;
} // namespace err
