#include "quarvex/runtime/safe_write.h"

#include "quarvex/runtime/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <string_view>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

// A temporary file of a save is named "." + the file's name + this + six
// random characters, so that one an interrupted save left (a crash, a power
// cut, kill -9) is known for this program's own and nothing else is taken
// for one.
constexpr char kTempTag[] = ".quarvex-save-";
constexpr size_t kTempRandom = 6;

// The temporaries' names up to their random part; a name too long to take
// the rest is cut.
QByteArray tempPrefix(QByteArray name) {
    constexpr qsizetype kNameMax = 255;
    const qsizetype room = kNameMax - 1 - qsizetype(sizeof kTempTag - 1) - qsizetype(kTempRandom);
    if (name.size() > room) name.truncate(room);
    return "." + name + kTempTag;
}

// Removes what interrupted saves of the file left in its folder: plain files
// of the user's with the temporaries' names that no save holds now (a save
// keeps its temporary file locked until it is renamed, and a lock dies with
// its process).
void removeLeftTemporaries(const QByteArray& folder, const QByteArray& prefix) {
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() != static_cast<size_t>(prefix.size()) + kTempRandom || !name.starts_with(prefix.constData()))
            continue;
        const QByteArray path = folder + "/" + entry->d_name;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat held {}, named {};
        // Still the file opened (the name was not given to another since) once it is locked.
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.constData(), &named) == 0 &&
            named.st_ino == held.st_ino && named.st_dev == held.st_dev)
            ::unlink(path.constData());
        ::close(fd);
    }
    ::closedir(dir);
}

// A new temporary file for a save, locked; -1 with errno when none can be made.
int makeTemporary(const QByteArray& folder, const QByteArray& prefix, QByteArray& path) {
    for (;;) {
        path = folder + "/" + prefix + QByteArray(kTempRandom, 'X');
        const int fd = ::mkstemp(path.data());
        if (fd < 0) return -1;
        ::flock(fd, LOCK_EX);
        // Taken for a left-over by another save in the moment before the lock: make another.
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        return fd;
    }
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

    const QByteArray folder = QFile::encodeName(target.absolutePath());
    const QByteArray prefix = tempPrefix(QFile::encodeName(target.fileName()));
    removeLeftTemporaries(folder, prefix);
    QByteArray temp;
    const int fd = makeTemporary(folder, prefix, temp);
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
    // The lock stays, through a second descriptor, until the rename is done.
    const int lock = ::dup(fd);
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.constData(), native.constData()) != 0) err = errno;
    if (err != 0) ::unlink(temp.constData());
    if (lock >= 0) ::close(lock);
    if (err != 0) RaiseFileErrno(err, path);
}

}  // namespace qvrt
