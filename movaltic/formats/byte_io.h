// Little-endian field access and a bounded reader for the file formats.
// Every reader goes through ByteReader so a short or hostile file can only
// set its failure flag, never read past the data.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace movaltic {

inline uint16_t GetLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void PutLE16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void PutLE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}

// Reads from a memory block; any read past the end yields zeros and sets failed().
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteReader(const std::vector<uint8_t>& v) : ByteReader(v.data(), v.size()) {}

    size_t pos() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
    bool failed() const { return failed_; }
    bool atEnd() const { return pos_ >= size_; }

    void seek(size_t pos);
    void skip(size_t n);
    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int16_t s16() { return int16_t(u16()); }
    int32_t s32() { return int32_t(u32()); }
    // Copies n bytes into dst; on a short read copies what there is, zero-fills the rest.
    bool bytes(void* dst, size_t n);
    const uint8_t* here() const { return data_ + (pos_ < size_ ? pos_ : size_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool failed_ = false;
};

// Opens an input file to read ("rb"); nullptr, with errno set, when it cannot
// be opened or is no regular file (a folder, FIFO or device, also through a
// link), so that no reader waits on a FIFO or reads a device without end.
std::FILE* OpenInputFile(const std::string& path);

// Whole-file helpers. ReadWholeFile returns false when the file cannot be opened
// or read; WriteWholeFile when it cannot be created or fully written, and
// then it leaves no part of the file behind (errno tells why it failed).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data);

}  // namespace movaltic
