#include "quarvex/runtime/errors.h"

#include <cerrno>
#include <map>

namespace qvrt {

std::string ErrorText(int number) {
    static const std::map<int, std::string> texts = {
        {3, "Return without GoSub"},
        {5, "Invalid procedure call"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {14, "Out of string space"},
        {52, "Bad file name or number"},
        {53, "File not found"},
        {54, "Bad file mode"},
        {55, "File already open"},
        {57, "Device I/O error"},
        {58, "File already exists"},
        {61, "Disk full"},
        {62, "Input past end of file"},
        {67, "Too many files"},
        {68, "Device unavailable"},
        {70, "Permission denied"},
        {71, "Disk not ready"},
        {75, "Path/File access error"},
        {76, "Path not found"},
        {380, "Invalid property value"},
        {482, "Printer error"},
        {20477, "Invalid file name"},
        {32755, "Cancel was selected."},
    };
    auto it = texts.find(number);
    return it != texts.end() ? it->second : "Application-defined or object-defined error";
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, ErrorText(number)) {}

RuntimeError::RuntimeError(int number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

int ErrorFromErrno(int err) {
    switch (err) {
    case ENOENT: return ErrFileNotFound;
    case ENOTDIR: return ErrPathNotFound;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ErrDiskFull;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EBUSY: return ErrPathFileAccess;
    case ENOMEM: return 7;
    case ENAMETOOLONG:
    case EINVAL: return 52;
    case EMFILE:
    case ENFILE: return 67;
    case EEXIST: return 58;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM: return ErrDiskNotReady;
    default: return 57;  // Device I/O error
    }
}

void Raise(int number) { throw RuntimeError(number); }

void RaiseErrno(int err) { throw RuntimeError(ErrorFromErrno(err)); }

}  // namespace qvrt
