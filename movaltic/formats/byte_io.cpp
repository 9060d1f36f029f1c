#include "movaltic/formats/byte_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

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

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
    out.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
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
