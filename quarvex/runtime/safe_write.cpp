#include "quarvex/runtime/safe_write.h"

#include "quarvex/runtime/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qvrt {

namespace {

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

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

void RaiseFileErrno(int err, const QString& path) {
    int number = ErrorFromErrno(err);
    if (err == ENOENT && !QFileInfo(path).absoluteDir().exists()) number = ErrPathNotFound;
    Raise(number);
}

void WriteFileReplacing(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) Raise(ErrInvalidFileName);
    if (QFile::encodeName(path).contains('\0')) Raise(ErrInvalidFileName);
    // Saving through a link writes the file it points to and keeps the link.
    QFileInfo target(path);
    if (target.isSymLink()) target = QFileInfo(target.symLinkTarget());
    const QByteArray native = QFile::encodeName(target.absoluteFilePath());
    if (target.isDir()) Raise(ErrPathFileAccess);
    if (!target.absoluteDir().exists()) Raise(ErrPathNotFound);

    struct stat st {};
    const bool exists = ::stat(native.constData(), &st) == 0;
    // Anything but a plain file (a device such as /dev/full, a pipe) is
    // written in place: renaming a file over it would replace the device.
    if (exists && !S_ISREG(st.st_mode)) {
        const int fd = ::open(native.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) RaiseFileErrno(errno, path);
        int err = writeAll(fd, bytes);
        if (::close(fd) != 0 && err == 0) err = errno;
        if (err != 0) RaiseFileErrno(err, path);
        return;
    }
    // A read-only file stays as it is, although its folder would let a
    // rename replace it.
    if (exists && ::access(native.constData(), W_OK) != 0) Raise(ErrPathFileAccess);

    QByteArray temp = QFile::encodeName(target.absolutePath()) + "/." +
                      QFile::encodeName(target.fileName()) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) RaiseFileErrno(errno, path);
    // The new file gets the old one's permissions, or the usual ones for a new file.
    ::fchmod(fd, exists ? (st.st_mode & 07777) : (0666 & ~currentUmask()));
    int err = writeAll(fd, bytes);
    // Some file systems cannot sync; that alone is no reason to fail.
    if (err == 0 && ::fsync(fd) != 0 && errno != EINVAL) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.constData(), native.constData()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.constData());
        RaiseFileErrno(err, path);
    }
}

}  // namespace qvrt
