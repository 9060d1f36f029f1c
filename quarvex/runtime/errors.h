// Run-time errors of the forms runtime: one exception type carrying the
// original error number, so handlers can test Err.Number as the forms did.
#pragma once

#include <stdexcept>
#include <string>

namespace qvrt {

enum ErrorNumber : int {
    ErrOverflow = 6,
    ErrSubscript = 9,
    ErrDivisionByZero = 11,
    ErrTypeMismatch = 13,
    ErrOutOfStringSpace = 14,
    ErrFileNotFound = 53,
    ErrDiskFull = 61,
    ErrDiskNotReady = 71,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
    ErrInvalidProperty = 380,
    ErrPrinter = 482,
    ErrInvalidFileName = 20477,
    ErrDialogCancelled = 32755,
};

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, const std::string& description);
    int number() const { return number_; }
    // The runtime's standard text for the number ("Division by zero", ...).
    std::string description() const { return what(); }

private:
    int number_;
};

// Standard text for an error number; "Application-defined or object-defined error" when unknown.
std::string ErrorText(int number);

// Maps a C errno value onto the runtime error number the forms reported for it.
int ErrorFromErrno(int err);

[[noreturn]] void Raise(int number);
[[noreturn]] void RaiseErrno(int err);

}  // namespace qvrt
