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

namespace {

// The file a chain of links ends at; a link that is its own target, or a
// chain longer than the system follows, is an access error.
QFileInfo FinalTarget(const QString& path) {
    QFileInfo target(path);
    for (int hops = 0; target.isSymLink(); ++hops) {
        if (hops == 40) Raise(ErrPathFileAccess);
        target = QFileInfo(target.symLinkTarget());
    }
    return target;
}

// Over a file the folder lets no temporary file beside, in place: room for
// every byte is claimed first, so a full disk refuses the save before the
// old contents are touched.
void WriteInPlace(const QByteArray& native, const QByteArray& bytes, const QString& path) {
    const int fd = ::open(native.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) RaiseFileErrno(errno, path);
    int err = bytes.isEmpty() ? 0 : ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
    if (err == EOPNOTSUPP || err == EINVAL) err = 0;  // the file system cannot say in advance
    if (err == 0) err = writeAll(fd, bytes);
    if (err == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) err = errno;
    if (err == 0 && ::fsync(fd) != 0 && errno != EINVAL) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) RaiseFileErrno(err, path);
}

}  // namespace

void WriteFileReplacing(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) Raise(ErrInvalidFileName);
    if (QFile::encodeName(path).contains('\0')) Raise(ErrInvalidFileName);
    // Saving through links writes the file the last one points to and keeps them all.
    const QFileInfo target = FinalTarget(path);
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

    // The temporary name is the file's own with a dot and a suffix, or a
    // short one where that would be longer than a name may be.
    QByteArray name = QFile::encodeName(target.fileName());
    constexpr qsizetype kNameMax = 255;
    if (name.size() + 8 > kNameMax) name = "quarvex-save";
    QByteArray temp = QFile::encodeName(target.absolutePath()) + "/." + name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        const int made = errno;
        // A folder the user may not write (or a read-only mount) still lets
        // them save over a file they may write.
        if (exists && (made == EACCES || made == EPERM || made == EROFS)) return WriteInPlace(native, bytes, path);
        RaiseFileErrno(made, path);
    }
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
