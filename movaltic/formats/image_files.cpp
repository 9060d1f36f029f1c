#include "movaltic/formats/image_files.h"
#include "movaltic/formats/ascii_case.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

#include "movaltic/formats/byte_io.h"

namespace movaltic {

std::string FileExtension(const std::string& fileName) {
    size_t slash = fileName.find_last_of('/');
    size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = fileName.substr(dot + 1, 3);
    return AsciiUpper(ext);
}

ImageKind ImageKindOf(const std::string& fileName) {
    std::string ext = FileExtension(fileName);
    if (ext == "TGA") return kImageTGA;
    if (ext == "PCX") return kImagePCX;
    if (ext == "DIB" || ext == "BMP" || ext == "RLE") return kImageBMP;
    if (ext == "GIF") return kImageGIF;
    return kImageNone;
}

int32_t ReadImage(ImageKind kind, const std::vector<uint8_t>& file, imagerec* image, ImageInfo& info) {
    switch (kind) {
    case kImageTGA:
        return ReadTgaImage(file, image, info);
    case kImagePCX:
        return ReadPcxImage(file, image, info);
    case kImageBMP:
        return ReadBmpImage(file, image, info);
    case kImageGIF:
        return ReadGifImage(file, image, info);
    default:
        return kErrExtension;
    }
}

void SeqReadFrame(const std::string& fileName, imagerec& image) {
    ErrCode = kErrNone;
    if (!image.pixels) {
        ErrCode = kErrNoBuffer;
        return;
    }
    ImageInfo info;
    ErrCode = image_detail::ReadImageFile(fileName, &image, info, kErrExtension);
}

namespace {

// A job killed part-way leaves no cut image under a name of the sequence:
// where the old image can be given up whole, the new one is written to a
// file of its own, nameless (O_TMPFILE) where the file system allows, else
// created under ".<name>.movaltic-XXXXXX", and renamed over the old one once
// whole. Elsewhere it is written in place, which keeps the file's other
// links, owner and mode.
constexpr char kTemporaryMark[] = ".movaltic-";
constexpr size_t kTemporaryLetters = 6;
// An earlier version created its temporaries under this longer name first;
// a kill could leave one of those too.
constexpr char kUnlockedEnd[] = ".new";

std::string RandomLetters() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::minstd_rand random(
        unsigned(std::random_device{}()) ^ unsigned(::getpid()) ^
        unsigned(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::string s;
    for (size_t i = 0; i < kTemporaryLetters; ++i) s += kLetters[random() % (sizeof kLetters - 1)];
    return s;
}

void Hook(void (*hook)()) {
    if (hook) hook();
}

bool PutAll(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        const ssize_t got = ::write(fd, p, n);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        n -= size_t(got);
    }
    return true;
}

bool WriteAll(int fd, const uint8_t* p, size_t n) {
    Hook(image_detail::writerHooks.beforeWrite);
    return PutAll(fd, p, n);
}

// Whether the disk took all that was written to fd. Network and FUSE disks
// (sshfs, NFS) take writes into a cache and tell only at close what they
// could not store: closing a copy of fd asks them while fd, and its lock,
// stay. No sync, so a local disk pays nothing. Such disks report a full
// disk as an I/O error: with less room left than the file, it is the full
// disk.
bool DiskTookAll(int fd, size_t size) {
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    int err = copy < 0 ? errno : 0;
    if (copy >= 0 && ::close(copy) != 0) err = errno;
    if (!err && image_detail::writerHooks.flushError) err = image_detail::writerHooks.flushError();
    if (!err) return true;
    struct statvfs vfs {};
    if (err != ENOSPC && err != EDQUOT && err != EFBIG && ::fstatvfs(fd, &vfs) == 0 && vfs.f_blocks != 0 &&
        uint64_t(vfs.f_bavail) * vfs.f_frsize < size)
        err = ENOSPC;
    errno = err;
    return false;
}

bool CloseKeepingErrno(int fd, bool ok) {
    const int err = errno;
    if (::close(fd) != 0 && ok) return false;
    errno = err;
    return ok;
}

// Disks that write every changed block anew (btrfs, bcachefs, ZFS): the
// blocks a file holds are no room for overwriting it.
bool CopiesOnWrite(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0) return false;
    const uint32_t type = uint32_t(fs.f_type);
    return type == 0x9123683E || type == 0xCA451A4E || type == 0x2FC12FC1;
}

// Room for size bytes in the open file st describes, taken before its old
// bytes are touched: reserved where the file system can, else checked
// against its free room and the user's file size limit. On a copy-on-write
// disk, whose free room tells too much (btrfs), the file is emptied first
// (emptyFirst), as the program always did, which gives its blocks back for
// the new bytes; only where its old bytes are kept to be put back
// (canEmpty), else the free room must hold them all.
bool ReserveRoom(int fd, const struct stat& st, size_t size, bool canEmpty, bool& emptyFirst) {
    emptyFirst = false;
    rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && size > limit.rlim_cur) {
        errno = EFBIG;
        return false;
    }
    if (size == 0) return true;
    const bool cow = CopiesOnWrite(fd);
    if (!cow) {
        // Only past the blocks the file holds: XFS takes room for the whole
        // range asked even where it is allocated already.
        const off_t from = uint64_t(st.st_blocks) * 512 >= uint64_t(st.st_size) ? st.st_size : 0;
        int rc = 0;
        if (off_t(size) > from) {
            do rc = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, from, off_t(size) - from);
            while (rc != 0 && errno == EINTR);
        }
        if (rc == 0) return true;
        if (errno == ENOSPC || errno == EDQUOT || errno == EFBIG) return false;
    }
    // Some file systems (FUSE, network ones) reserve nothing, or tell no room.
    struct statvfs vfs {};
    emptyFirst = cow && canEmpty;
    if (::fstatvfs(fd, &vfs) != 0 || vfs.f_blocks == 0) return true;
    const uint64_t room = uint64_t(::geteuid() == 0 && !cow ? vfs.f_bfree : vfs.f_bavail) * vfs.f_frsize;
    const uint64_t held = !cow || emptyFirst ? uint64_t(st.st_blocks) * 512 : 0;
    if (size <= held || size - held <= room) return true;
    errno = ENOSPC;
    return false;
}

// The old bytes of the regular file open as fd, through an opening of its
// own (fd may be write-only); false where the user may not read them.
bool ReadOld(int fd, const struct stat& st, std::vector<uint8_t>& old) {
    const int in = ::open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    bool ok = true;
    try {
        old.resize(size_t(st.st_size));
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    for (size_t at = 0; ok && at < old.size();) {
        const ssize_t got = ::pread(in, old.data() + at, old.size() - at, off_t(at));
        if (got < 0 && errno == EINTR) continue;
        ok = got > 0;
        if (ok) at += size_t(got);
    }
    ::close(in);
    return ok;
}

// Writes data from the start of fd and cuts the file to its length; whether
// the disk took it all.
bool Rewrite(int fd, const std::vector<uint8_t>& data, bool hooked) {
    if (::lseek(fd, 0, SEEK_SET) != 0) return false;
    const bool put = hooked ? WriteAll(fd, data.data(), data.size()) : PutAll(fd, data.data(), data.size());
    return put && ::ftruncate(fd, off_t(data.size())) == 0 && DiskTookAll(fd, data.size());
}

// Writes over the file of that name, or creates it (existed: it was there),
// as the program always has. Opened without waiting, so that a FIFO no
// program reads is refused rather than waited on. A file keeps its old
// picture whole, on every link, unless the room for the new one was there:
// the new bytes go over the old ones and the file is cut to their length
// only after. Where the disk still fails them (an I/O error, a disk that
// tells only at close, a copy-on-write disk), the old bytes are put back; a
// file the job created is removed.
bool WriteInPlace(const std::string& fileName, bool existed, const std::vector<uint8_t>& data) {
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return CloseKeepingErrno(fd, false);
    if (!S_ISREG(st.st_mode)) return CloseKeepingErrno(fd, WriteAll(fd, data.data(), data.size()));
    // Kept from image to image: a new buffer for each costs more in page
    // faults than reading the old bytes into it; a huge one is let go.
    thread_local std::vector<uint8_t> old;
    const bool kept = existed && ReadOld(fd, st, old);
    bool emptyFirst = false;
    const bool touched = ReserveRoom(fd, st, data.size(), kept, emptyFirst);
    const bool ok = touched && (!emptyFirst || ::ftruncate(fd, 0) == 0) && Rewrite(fd, data, true);
    if (!ok) {
        const int err = errno;
        if (!existed) ::unlink(fileName.c_str());
        if (touched && kept) Rewrite(fd, old, false);
        errno = err;
    }
    if (old.capacity() > (32u << 20)) std::vector<uint8_t>().swap(old);
    return CloseKeepingErrno(fd, ok);
}

// Whether a new file renamed over the old one keeps all the old one had:
// no other link, the user's own, and no extended attributes such as an ACL
// (a security label every file has aside).
bool ReplaceableWhole(const std::string& fileName, const struct stat& st) {
    if (!S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != ::geteuid()) return false;
    const ssize_t size = ::llistxattr(fileName.c_str(), nullptr, 0);
    if (size <= 0) return true;
    std::string names(size_t(size), '\0');
    const ssize_t got = ::llistxattr(fileName.c_str(), names.data(), names.size());
    if (got < 0) return false;
    for (size_t at = 0; at < size_t(got);) {
        const std::string one(names.c_str() + at);
        if (one != "security.selinux") return false;
        at += one.size() + 1;
    }
    return true;
}

// A new file for fileName, locked before it has any name: nameless where
// the file system allows, else created under its hidden name and locked;
// while its job holds it, no clean-up takes it. -1 when the folder takes no
// new file.
int CreateLockedTemporary(const std::string& folder, const std::string& name, std::string& hidden) {
    hidden.clear();
    int fd = image_detail::writerHooks.noUnnamedFiles
                 ? -1
                 : ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0 || (!image_detail::writerHooks.noUnnamedFiles && errno != EOPNOTSUPP && errno != EISDIR &&
                    errno != EINVAL)) {
        if (fd >= 0) {
            Hook(image_detail::writerHooks.beforeLock);
            ::flock(fd, LOCK_EX);
        }
        return fd;
    }
    // Created exclusively under its hidden name: no rename with flags, which
    // FUSE file systems refuse, is needed.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = folder + "." + name + kTemporaryMark + RandomLetters();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return -1;
        Hook(image_detail::writerHooks.beforeLock);
        ::flock(fd, LOCK_EX);
        // Another job's clean-up may have removed it before the lock: the
        // name is then no longer this file's, and another is taken.
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && ::lstat(temp.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            hidden = temp;
            return fd;
        }
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// Gives the whole nameless file a hidden name beside the image.
bool NameTemporary(int fd, const std::string& folder, const std::string& name, std::string& hidden) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        hidden = folder + "." + name + kTemporaryMark + RandomLetters();
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, hidden.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno == ENOENT && ::linkat(fd, "", AT_FDCWD, hidden.c_str(), AT_EMPTY_PATH) == 0) return true;
        if (errno != EEXIST) break;
    }
    hidden.clear();
    return false;
}

enum class Replaced { Done, Failed, InPlace };

// The new image through a file of its own renamed over the old one (st,
// when exists). InPlace when the new file could not be made like the old.
Replaced WriteThroughTemporary(const std::string& fileName, bool exists, const struct stat& st,
                               const std::vector<uint8_t>& data) {
    const size_t slash = fileName.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
    const std::string name = fileName.substr(folder.size());
    std::string hidden;
    const int fd = CreateLockedTemporary(folder, name, hidden);
    // A folder that takes no new file may still let its files be rewritten.
    if (fd < 0) return Replaced::InPlace;
    auto giveUp = [&](Replaced result) {
        const int err = errno;
        if (!hidden.empty()) ::unlink(hidden.c_str());
        ::close(fd);
        errno = err;
        return result;
    };
    if (exists) {
        struct stat now {};
        if (::fstat(fd, &now) != 0) return giveUp(Replaced::Failed);
        // The old file's group, where the user may give it; else in place.
        if (now.st_gid != st.st_gid && ::fchown(fd, uid_t(-1), st.st_gid) != 0) return giveUp(Replaced::InPlace);
        if (::fchmod(fd, st.st_mode & 07777) != 0) return giveUp(Replaced::InPlace);
    }
    // What the disk could not take shows before the image has its name.
    if (!WriteAll(fd, data.data(), data.size()) || !DiskTookAll(fd, data.size())) return giveUp(Replaced::Failed);
    if (hidden.empty() && !NameTemporary(fd, folder, name, hidden)) return giveUp(Replaced::Failed);
    Hook(image_detail::writerHooks.beforeRename);
    if (::rename(hidden.c_str(), fileName.c_str()) != 0)
        return giveUp(errno == EXDEV || errno == EBUSY || errno == EPERM ? Replaced::InPlace : Replaced::Failed);
    // Held until after the rename: while the hidden name exists, its job holds it.
    return CloseKeepingErrno(fd, true) ? Replaced::Done : Replaced::Failed;
}

bool WriteImageFile(const std::string& fileName, const std::vector<uint8_t>& data) {
    struct stat st {};
    const bool exists = ::lstat(fileName.c_str(), &st) == 0;
    // A device, a FIFO, a link or a folder is written to in place, as ever.
    if (exists && !S_ISREG(st.st_mode)) return WriteInPlace(fileName, true, data);
    // An image the user may not write stays as it is.
    if (exists && ::faccessat(AT_FDCWD, fileName.c_str(), W_OK, AT_EACCESS) != 0) return false;
    if (!exists || ReplaceableWhole(fileName, st)) {
        const Replaced r = WriteThroughTemporary(fileName, exists, st, data);
        if (r != Replaced::InPlace) return r == Replaced::Done;
    }
    return WriteInPlace(fileName, exists, data);
}

}  // namespace

namespace image_detail {
WriterHooks writerHooks;
}  // namespace image_detail

std::string SeqTemporaryImage(const std::string& name) {
    const size_t mark = sizeof kTemporaryMark - 1, unlocked = sizeof kUnlockedEnd - 1;
    size_t end = name.size();
    if (end > unlocked && name.compare(end - unlocked, unlocked, kUnlockedEnd) == 0) end -= unlocked;
    if (end < 2 + mark + kTemporaryLetters || name[0] != '.') return {};
    const size_t at = end - kTemporaryLetters - mark;
    if (name.compare(at, mark, kTemporaryMark) != 0) return {};
    return name.substr(1, at - 1);
}

void SeqRemoveTemporary(const std::string& path) {
    // Only the user's own plain file, looked at before it is opened so that
    // nothing else is opened, nor waited on.
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != ::geteuid()) return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    // A job holds its temporary for as long as it has this name; one no job
    // holds was left by a killed one.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == named.st_dev && st.st_ino == named.st_ino &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 && st.st_dev == named.st_dev &&
        st.st_ino == named.st_ino)
        ::unlink(path.c_str());
    ::close(fd);
}

void SeqWriteFrame(const std::string& fileName, const imagerec& image, bool compress) {
    ErrCode = kErrNone;
    std::string ext = FileExtension(fileName);
    // Refused before anything is created, so no empty file is left behind.
    if ((ext != "TGA" && ext != "PCX" && ext != "BMP" && ext != "DIB") || !image.pixels || image.width <= 0 ||
        image.height <= 0 || image.bytesPerPixel < 1 || image.bytesPerPixel > 3 || image.size < image.frameBytes()) {
        ErrCode = kErrMemory;
        return;
    }
    std::vector<uint8_t> data;
    try {
        if (ext == "TGA")
            data = WriteTgaImage(image, compress);
        else if (ext == "PCX")
            data = WritePcxImage(image);
        else
            data = WriteBmpImage(image);
    } catch (const std::bad_alloc&) {
        ErrCode = kErrMemory;
        return;
    }
    if (!WriteImageFile(fileName, data))
        ErrCode = errno == EFBIG ? kErrFileLimit : errno == ENOSPC || errno == EDQUOT ? kErrWrite : kErrCreate;
}

namespace image_detail {

int32_t ReadImageFile(const std::string& fileName, imagerec* image, ImageInfo& info, int32_t noReaderCode) {
    std::vector<uint8_t> file;
    if (!ReadWholeFile(fileName, file)) return kErrCreate;
    ImageKind kind = ImageKindOf(fileName);
    if (kind == kImageNone) return noReaderCode;
    return ReadImage(kind, file, image, info);
}

namespace {

std::vector<uint8_t> ExpandTo24(const imagerec& image) {
    const int64_t pixels = int64_t(image.width) * image.height;
    std::vector<uint8_t> out(size_t(pixels * 3));
    const bool is565 = image.bitsPerPixel == 16;
    for (int64_t i = 0; i < pixels; ++i) {
        uint16_t v = GetLE16(image.pixels + 2 * i);
        uint8_t* o = out.data() + 3 * i;
        o[0] = uint8_t((v & 31) << 3);
        if (is565) {
            o[1] = uint8_t(((v >> 5) & 63) << 2);
            o[2] = uint8_t(((v >> 11) & 31) << 3);
        } else {
            o[1] = uint8_t(((v >> 5) & 31) << 3);
            o[2] = uint8_t(((v >> 10) & 31) << 3);
        }
    }
    return out;
}

std::vector<const uint8_t*> RowsInOrder(const imagerec& image, const uint8_t* pixels, int32_t bpp,
                                        bool bottomFirst) {
    const int64_t rowBytes = int64_t(image.width) * bpp;
    std::vector<const uint8_t*> rows(size_t(image.height));
    const bool reverse = bottomFirst == (image.topDown != 0);
    for (int32_t r = 0; r < image.height; ++r) {
        int32_t memRow = reverse ? image.height - 1 - r : r;
        rows[size_t(r)] = pixels + memRow * rowBytes;
    }
    return rows;
}

}  // namespace

RowsToWrite::RowsToWrite(const imagerec& image, bool bottomFirst) : bpp(image.bytesPerPixel) {
    const uint8_t* pixels = image.pixels;
    if (bpp == 2) {
        expanded_ = ExpandTo24(image);
        pixels = expanded_.data();
        bpp = 3;
    }
    rows = RowsInOrder(image, pixels, bpp, bottomFirst);
}

}  // namespace image_detail

}  // namespace movaltic
