#include "movaltic/formats/image_files.h"
#include "movaltic/formats/ascii_case.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
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

// An image is written under ".<name>.movaltic-XXXXXX" beside its name and
// renamed to it whole, so that a job killed part-way leaves no cut image
// under a name of the sequence.
constexpr char kTemporaryMark[] = ".movaltic-";
constexpr size_t kTemporaryLetters = 6;

int CreateTemporary(const std::string& folder, const std::string& name, std::string& temp) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::minstd_rand random(
        unsigned(std::random_device{}()) ^ unsigned(::getpid()) ^
        unsigned(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder + "." + name + kTemporaryMark;
        for (size_t i = 0; i < kTemporaryLetters; ++i) temp += kLetters[random() % (sizeof kLetters - 1)];
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        const ssize_t got = ::write(fd, p, n);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        n -= size_t(got);
    }
    return true;
}

bool WriteImageFile(const std::string& fileName, const std::vector<uint8_t>& data) {
    struct stat st {};
    const bool exists = ::lstat(fileName.c_str(), &st) == 0;
    // A device, a link or what is no file is written to in place, as ever.
    if (exists && !S_ISREG(st.st_mode)) return WriteWholeFile(fileName, data);
    const size_t slash = fileName.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
    std::string temp;
    const int fd = CreateTemporary(folder, fileName.substr(folder.size()), temp);
    // A folder that takes no new file may still let its files be rewritten.
    if (fd < 0) return WriteWholeFile(fileName, data);
    // Held while written: the next job over the same names removes only
    // what no running job holds.
    ::flock(fd, LOCK_EX);
    if (exists) ::fchmod(fd, st.st_mode & 07777);
    bool ok = WriteAll(fd, data.data(), data.size()) && ::rename(temp.c_str(), fileName.c_str()) == 0;
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        // No part of the image is left, nor the one it was to replace.
        ::unlink(temp.c_str());
        if (::lstat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(fileName.c_str());
        errno = err;
    }
    return ok;
}

}  // namespace

std::string SeqTemporaryImage(const std::string& name) {
    const size_t mark = sizeof kTemporaryMark - 1;
    if (name.size() < 2 + mark + kTemporaryLetters || name[0] != '.') return {};
    const size_t at = name.size() - kTemporaryLetters - mark;
    if (name.compare(at, mark, kTemporaryMark) != 0) return {};
    return name.substr(1, at - 1);
}

void SeqRemoveTemporary(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
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
        ErrCode = errno == ENOSPC || errno == EFBIG || errno == EDQUOT ? kErrWrite : kErrCreate;
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
