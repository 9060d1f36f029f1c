#include "quarvex/sheets/plt_format.h"

#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/safe_write.h"

#include <QFile>

#include <algorithm>

#include <cerrno>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvex {

namespace {

// A sheet of 15,000 rows by 50 columns of ten characters is under 10 MB;
// anything far beyond that is not a data file.
constexpr qint64 kMaxDataFileBytes = 256LL * 1024 * 1024;

int rowLimit = kPltMaxRows;

[[noreturn]] void RaiseTooManyLines() {
    // "1,000,000": a bare run of zeros is hard to read at a glance.
    const std::string digits = std::to_string(rowLimit);
    std::string count;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) count += ',';
        count += digits[i];
    }
    throw qvrt::RuntimeError(7, "The file has more than " + count + " lines, the most rows a sheet can hold.");
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

int PltRowLimit() { return rowLimit; }
void SetPltRowLimit(int rows) { rowLimit = rows; }

void PltLineCounter::Feed(std::string_view bytes) {
    for (char ch : bytes) {
        if (afterCr_) {
            afterCr_ = false;
            if (ch == '\n') continue;
        }
        if (ch == '\r' || ch == '\n') {
            ++ended_;
            open_ = false;
            afterCr_ = ch == '\r';
        } else {
            open_ = true;
        }
    }
}

std::vector<std::string_view> SplitPltLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    const size_t n = bytes.size();
    for (size_t i = 0; i < n; ++i) {
        char ch = bytes[i];
        if (ch == '\r' || ch == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            if (ch == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < n) lines.push_back(bytes.substr(start));
    return lines;
}

QString DecodePltLine(std::string_view line) {
    size_t tabs = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t' && ++tabs == kPltMaxFields) {
            line = line.substr(0, i);
            break;
        }
    }
    return qvrt::DecodeWindows1252(line);
}

SheetText SheetTextFromFile(const QByteArray& file) {
    SheetText out;
    for (std::string_view line : SplitPltLines(std::string_view(file.constData(), static_cast<size_t>(file.size()))))
        out.widestLine = std::max(out.widestLine, static_cast<int>(std::count(line.begin(), line.end(), '\t')) + 1);
    const bool mark = file.startsWith("\xEF\xBB\xBF");
    const bool high = std::any_of(file.begin(), file.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
    out.bytes = file;
    if (mark || (high && QByteArrayView(file).isValidUtf8())) {
        out.utf8 = true;
        out.mark = mark;
        if (mark) out.bytes.remove(0, 3);
        const auto end = std::find_if(out.bytes.cbegin(), out.bytes.cend(), [](char c) { return c == '\r' || c == '\n'; });
        if (end != out.bytes.cend())
            out.lineEnd = *end == '\r' && end + 1 != out.bytes.cend() && end[1] == '\n' ? QByteArray("\r\n") : QByteArray(1, *end);
    }
    return out;
}

QByteArray ReadDataFile(const QString& path) {
    if (path.isEmpty()) qvrt::Raise(qvrt::ErrFileNotFound);
    const QByteArray native = QFile::encodeName(path);
    if (native.contains('\0')) qvrt::Raise(qvrt::ErrInvalidFileName);
    Fd fd(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) qvrt::RaiseFileErrno(errno, path);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) qvrt::RaiseFileErrno(errno, path);
    // Folders and devices (a /dev/zero would never end) are not data files.
    if (!S_ISREG(st.st_mode)) qvrt::Raise(qvrt::ErrPathFileAccess);
    if (st.st_size > kMaxDataFileBytes)
        throw qvrt::RuntimeError(7, "The file is too large to open as a sheet.");
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(st.st_size));
    PltLineCounter lines;
    char buf[1 << 16];
    for (;;) {
        ssize_t got = ::read(fd.get(), buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR) continue;
            qvrt::RaiseFileErrno(errno, path);
        }
        if (got == 0) break;
        if (bytes.size() + got > kMaxDataFileBytes)
            throw qvrt::RuntimeError(7, "The file is too large to open as a sheet.");
        bytes.append(buf, got);
        lines.Feed(std::string_view(buf, static_cast<size_t>(got)));
        if (lines.Ended() > rowLimit) RaiseTooManyLines();
    }
    if (lines.Total() > rowLimit) RaiseTooManyLines();
    return bytes;
}

}  // namespace quarvex
