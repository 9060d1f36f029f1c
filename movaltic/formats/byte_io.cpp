#include "movaltic/formats/byte_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace movaltic {

void ByteReader::seek(size_t pos) {
    if (pos > size_) {
        failed_ = true;
        pos_ = size_;
    } else {
        pos_ = pos;
    }
}

void ByteReader::skip(size_t n) {
    if (n > remaining()) {
        failed_ = true;
        pos_ = size_;
    } else {
        pos_ += n;
    }
}

uint8_t ByteReader::u8() {
    if (pos_ >= size_) {
        failed_ = true;
        return 0;
    }
    return data_[pos_++];
}

uint16_t ByteReader::u16() {
    if (remaining() < 2) {
        failed_ = true;
        pos_ = size_;
        return 0;
    }
    uint16_t v = GetLE16(data_ + pos_);
    pos_ += 2;
    return v;
}

uint32_t ByteReader::u32() {
    if (remaining() < 4) {
        failed_ = true;
        pos_ = size_;
        return 0;
    }
    uint32_t v = GetLE32(data_ + pos_);
    pos_ += 4;
    return v;
}

bool ByteReader::bytes(void* dst, size_t n) {
    size_t have = remaining() < n ? remaining() : n;
    if (have) std::memcpy(dst, data_ + pos_, have);
    if (have < n) {
        std::memset(static_cast<uint8_t*>(dst) + have, 0, n - have);
        failed_ = true;
    }
    pos_ += have;
    return have == n;
}

std::FILE* OpenInputFile(const std::string& path) {
    // Opened without waiting, then asked what it is: a FIFO with no writer
    // would hold a plain open forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    int err = 0;
    if (::fstat(fd, &st) != 0) err = errno;
    else if (!S_ISREG(st.st_mode)) err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) err = errno;
    std::FILE* f = err ? nullptr : ::fdopen(fd, "rb");
    if (!f) {
        if (!err) err = errno;
        ::close(fd);
        errno = err;
    }
    return f;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
    out.clear();
    FILE* f = OpenInputFile(path);
    if (!f) return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    int err = ok ? 0 : errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        // A cut-off image is refused by every reader: none is left (a
        // device of that name stays).
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) std::remove(path.c_str());
        errno = err;
    }
    return ok;
}

}  // namespace movaltic
