#include "quarvex/sheets/plt_format.h"

#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvex {

namespace {

// A sheet of 15,000 rows by 50 columns of ten characters is under 10 MB;
// anything far beyond that is not a data file.
constexpr qint64 kMaxDataFileBytes = 256LL * 1024 * 1024;

[[noreturn]] void raiseErrno(int err, const QString& path) {
    int number = qvrt::ErrorFromErrno(err);
    // A missing folder on the way is "Path not found", not "File not found".
    if (err == ENOENT && !QFileInfo(path).absoluteDir().exists()) number = qvrt::ErrPathNotFound;
    qvrt::Raise(number);
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() {
        int f = fd_;
        fd_ = -1;
        return f;
    }

private:
    int fd_;
};

// Writes every byte; the errno of a failure, else 0.
int writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (w < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += w;
    }
    return 0;
}

}  // namespace

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

QByteArray ReadDataFile(const QString& path) {
    if (path.isEmpty()) qvrt::Raise(qvrt::ErrFileNotFound);
    const QByteArray native = QFile::encodeName(path);
    if (native.contains('\0')) qvrt::Raise(qvrt::ErrInvalidFileName);
    Fd fd(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) raiseErrno(errno, path);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) raiseErrno(errno, path);
    // Folders and devices (a /dev/zero would never end) are not data files.
    if (!S_ISREG(st.st_mode)) qvrt::Raise(qvrt::ErrPathFileAccess);
    if (st.st_size > kMaxDataFileBytes)
        throw qvrt::RuntimeError(7, "The file is too large to open as a sheet.");
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        ssize_t got = ::read(fd.get(), buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR) continue;
            raiseErrno(errno, path);
        }
        if (got == 0) break;
        if (bytes.size() + got > kMaxDataFileBytes)
            throw qvrt::RuntimeError(7, "The file is too large to open as a sheet.");
        bytes.append(buf, got);
    }
    return bytes;
}

void WriteFileReplacing(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) qvrt::Raise(qvrt::ErrInvalidFileName);
    if (QFile::encodeName(path).contains('\0')) qvrt::Raise(qvrt::ErrInvalidFileName);
    // Saving through a link writes the file it points to and keeps the link.
    QFileInfo target(path);
    if (target.isSymLink()) target = QFileInfo(target.symLinkTarget());
    const QByteArray native = QFile::encodeName(target.absoluteFilePath());
    if (target.isDir()) qvrt::Raise(qvrt::ErrPathFileAccess);
    if (!target.absoluteDir().exists()) qvrt::Raise(qvrt::ErrPathNotFound);

    struct stat st {};
    const bool exists = ::stat(native.constData(), &st) == 0;
    // Anything but a plain file (a device such as /dev/full, a pipe) is
    // written in place: there is nothing to rename over.
    if (exists && !S_ISREG(st.st_mode)) {
        Fd fd(::open(native.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
        if (fd.get() < 0) raiseErrno(errno, path);
        if (int err = writeAll(fd.get(), bytes)) raiseErrno(err, path);
        if (::close(fd.release()) != 0) raiseErrno(errno, path);
        return;
    }
    // A file we may not write keeps its contents even though its folder
    // would let us replace it.
    if (exists && ::access(native.constData(), W_OK) != 0) raiseErrno(errno, path);

    QByteArray tmpl = QFile::encodeName(target.absolutePath()) + "/." +
                      QFile::encodeName(target.fileName()) + ".XXXXXX";
    Fd fd(::mkstemp(tmpl.data()));
    if (fd.get() < 0) raiseErrno(errno, path);
    const QByteArray tmpPath = tmpl;
    auto fail = [&](int err) {
        ::unlink(tmpPath.constData());
        raiseErrno(err, path);
    };
    if (int err = writeAll(fd.get(), bytes)) fail(err);
    if (::fsync(fd.get()) != 0 && errno != EINVAL) fail(errno);
    // The new file gets the old one's permissions, or the usual ones for a new file.
    mode_t mode = exists ? (st.st_mode & 07777) : 0666;
    if (!exists) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd.get(), mode);
    if (::close(fd.release()) != 0) fail(errno);
    if (::rename(tmpPath.constData(), native.constData()) != 0) fail(errno);
}

}  // namespace quarvex
