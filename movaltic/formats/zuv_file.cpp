#include "movaltic/formats/zuv_file.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/zuv_codec.h"

namespace movaltic {

namespace {

constexpr int32_t kFrameHeadType = 1;
constexpr int32_t kPaletteChunkType = 2;
constexpr int32_t kPictureChunkType = 4;
constexpr int32_t kStripEntryType = 5;
constexpr int32_t kHeadBytes = 16;
constexpr int32_t kStripEntryBytes = 20;
constexpr int32_t kPaletteChunkBytes = kHeadBytes + 768;

// The largest frame the 32-bit offsets and lengths can describe with room
// for the heads and the decoders' slack.
constexpr int64_t kMaxFrameBytes = 0x7FFFFFFF - (1 << 20);

bool ReadAt(FILE* f, int64_t offset, void* dst, size_t n) {
    if (offset < 0 || std::fseek(f, long(offset), SEEK_SET) != 0) return false;
    return std::fread(dst, 1, n, f) == n;
}

bool WriteAt(FILE* f, int64_t offset, const void* src, size_t n) {
    if (std::fseek(f, long(offset), SEEK_SET) != 0) return false;
    return n == 0 || std::fwrite(src, 1, n, f) == n;
}

void EncodeIndex(const CodecIndexEntry* index, uint8_t* out) {
    for (int i = 0; i < 256; ++i) {
        PutLE32(out + 12 * i, uint32_t(index[i].offset));
        PutLE32(out + 12 * i + 4, uint32_t(index[i].firstRead));
        PutLE32(out + 12 * i + 8, uint32_t(index[i].flags));
    }
}

void DecodeIndex(const uint8_t* in, CodecIndexEntry* index) {
    for (int i = 0; i < 256; ++i) {
        index[i].offset = int32_t(GetLE32(in + 12 * i));
        index[i].firstRead = int32_t(GetLE32(in + 12 * i + 4));
        index[i].flags = int32_t(GetLE32(in + 12 * i + 8));
    }
}

bool ReadIndexBlock(CodecState& s, int32_t block) {
    int32_t offset = s.blockTable[block];
    uint8_t raw[kZuvIndexBlockBytes];
    if (offset <= 0 || !ReadAt(s.file.get(), offset, raw, sizeof raw)) return false;
    DecodeIndex(raw, s.index);
    s.indexBlock = block;
    return true;
}

bool WriteIndexBlock(CodecState& s) {
    uint8_t raw[kZuvIndexBlockBytes];
    EncodeIndex(s.index, raw);
    return WriteAt(s.file.get(), s.blockTable[s.indexBlock], raw, sizeof raw);
}

// The header and block table.
bool WriteHead(CodecState& s) {
    uint8_t start[kZuvFirstIndexOffset];
    EncodeCodecHeader(s.header, start);
    for (int i = 0; i < 256; ++i) PutLE32(start + kZuvBlockTableOffset + 4 * i, uint32_t(s.blockTable[i]));
    return WriteAt(s.file.get(), 0, start, sizeof start);
}

struct StripEntry {
    int32_t stored;
    int32_t rows;
    bool coded;
};

}  // namespace

void EncodeCodecHeader(const CodecHeader& h, uint8_t out[64]) {
    std::memcpy(out, h.magic, 4);
    PutLE32(out + 4, uint32_t(h.headerLength));
    PutLE32(out + 8, uint32_t(h.version));
    PutLE32(out + 12, uint32_t(h.width));
    PutLE32(out + 16, uint32_t(h.height));
    PutLE32(out + 20, uint32_t(h.bytesPerPixel));
    PutLE32(out + 24, uint32_t(h.codingFlags));
    PutLE32(out + 28, uint32_t(h.frameCount));
    PutLE32(out + 32, uint32_t(h.keyFrameInterval));
    uint64_t rate;
    std::memcpy(&rate, &h.frameRate, 8);
    PutLE32(out + 36, uint32_t(rate));
    PutLE32(out + 40, uint32_t(rate >> 32));
    PutLE32(out + 44, uint32_t(h.reserved1));
    PutLE32(out + 48, uint32_t(h.reserved2));
    PutLE32(out + 52, uint32_t(h.reserved3));
    PutLE32(out + 56, uint32_t(h.smallStrips));
    PutLE32(out + 60, uint32_t(h.replacedFrames));
}

CodecHeader DecodeCodecHeader(const uint8_t in[64]) {
    CodecHeader h;
    std::memcpy(h.magic, in, 4);
    h.headerLength = int32_t(GetLE32(in + 4));
    h.version = int32_t(GetLE32(in + 8));
    h.width = int32_t(GetLE32(in + 12));
    h.height = int32_t(GetLE32(in + 16));
    h.bytesPerPixel = int32_t(GetLE32(in + 20));
    h.codingFlags = int32_t(GetLE32(in + 24));
    h.frameCount = int32_t(GetLE32(in + 28));
    h.keyFrameInterval = int32_t(GetLE32(in + 32));
    uint64_t rate = uint64_t(GetLE32(in + 36)) | (uint64_t(GetLE32(in + 40)) << 32);
    std::memcpy(&h.frameRate, &rate, 8);
    h.reserved1 = int32_t(GetLE32(in + 44));
    h.reserved2 = int32_t(GetLE32(in + 48));
    h.reserved3 = int32_t(GetLE32(in + 52));
    h.smallStrips = int32_t(GetLE32(in + 56));
    h.replacedFrames = int32_t(GetLE32(in + 60));
    return h;
}

int32_t CodecStripRows(int64_t rowBytes, int32_t height, bool smallStrips) {
    if (!smallStrips || rowBytes <= 0) return height;
    // A row wider than a small strip still goes one row per strip.
    int64_t rows = std::max<int64_t>(1, kZuvSmallStripBytes / rowBytes);
    return int32_t(std::min<int64_t>(rows, height));
}

void CodecFileOpen(CodecState& state, const std::string& fileName) {
    ErrCode = kErrNone;
    state = CodecState{};
    state.file.reset(OpenInputFile(fileName));
    if (!state.file) {
        ErrCode = kErrOpen;
        return;
    }
    uint8_t raw[kZuvHeaderLength];
    if (std::fread(raw, 1, 8, state.file.get()) != 8 || std::memcmp(raw, "ZUV\x1A", 4) != 0) {
        state = CodecState{};
        ErrCode = kErrMagic;
        return;
    }
    // Only the 64-byte header is ever written; a longer or shorter one is
    // refused like an unknown version.
    int32_t headerLength = int32_t(GetLE32(raw + 4));
    if (std::fread(raw + 8, 1, kZuvHeaderLength - 8, state.file.get()) != kZuvHeaderLength - 8) {
        state = CodecState{};
        ErrCode = kErrRead;
        return;
    }
    CodecHeader h = DecodeCodecHeader(raw);
    if (h.version != kZuvVersion || headerLength != kZuvHeaderLength) {
        state = CodecState{};
        ErrCode = kErrVersion;
        return;
    }
    const int64_t frameBytes = int64_t(h.width) * h.height * h.bytesPerPixel;
    if (h.width <= 0 || h.height <= 0 || h.bytesPerPixel < 1 || h.bytesPerPixel > 3 || frameBytes > kMaxFrameBytes) {
        state = CodecState{};
        ErrCode = kErrVersion;
        return;
    }
    uint8_t table[1024];
    if (std::fread(table, 1, sizeof table, state.file.get()) != sizeof table) {
        state = CodecState{};
        ErrCode = kErrRead;
        return;
    }
    for (int i = 0; i < 256; ++i) state.blockTable[i] = int32_t(GetLE32(table + 4 * i));
    state.header = h;
    state.frameBytes = frameBytes;
    state.nextFrame = 1;
    state.differenceCoding = (h.codingFlags & kZuvDifference) != 0 && h.bytesPerPixel == 3;
    // A file that was never closed has a zero count and no index on disk.
    state.endOfFile = h.frameCount < 1;
    if (!state.endOfFile && !ReadIndexBlock(state, 0)) {
        state = CodecState{};
        ErrCode = kErrRead;
        return;
    }
}

void CodecReadFrame(CodecState& s, imagerec& image) {
    ErrCode = kErrNone;
    if (!s.file || s.writing) {
        ErrCode = kErrRead;
        return;
    }
    const CodecHeader& h = s.header;
    image.width = h.width;
    image.height = h.height;
    image.bytesPerPixel = h.bytesPerPixel;
    image.bitsPerPixel = 8 * h.bytesPerPixel;
    image.topDown = 1;
    if (s.endOfFile) {
        ErrCode = kErrNoFrame;
        return;
    }
    if (s.nextFrame > kZuvMaxFrames) {
        s.endOfFile = true;
        ErrCode = kErrNoFrame;
        return;
    }
    if (!image.pixels || image.size < s.frameBytes) {
        ErrCode = kErrMemory;
        return;
    }
    const int32_t n = s.nextFrame;
    const int32_t block = (n - 1) / 256;
    if (block != s.indexBlock && !ReadIndexBlock(s, block)) {
        ErrCode = kErrRead;
        return;
    }
    const CodecIndexEntry entry = s.index[(n - 1) % 256];
    const int64_t capacity = s.frameBytes + kZuvReadSlack;
    if (entry.offset <= 0 || entry.firstRead < kHeadBytes || entry.firstRead > capacity) {
        ErrCode = kErrRead;
        return;
    }
    try {
        if (int64_t(s.buffer.size()) < capacity) s.buffer.assign(size_t(capacity), 0);
        if (s.differenceCoding && s.difference.empty()) s.difference.assign(size_t(s.frameBytes), 0);
    } catch (const std::bad_alloc&) {
        ErrCode = kErrMemory;
        return;
    }
    uint8_t* buf = s.buffer.data();
    if (!ReadAt(s.file.get(), entry.offset, buf, size_t(entry.firstRead))) {
        ErrCode = kErrRead;
        return;
    }

    ByteReader in(buf, size_t(entry.firstRead));
    const int32_t type = in.s32(), headLength = in.s32(), chunks = in.s32();
    in.s32();  // total length: the strips say where their data lies
    if (type != kFrameHeadType || headLength != kHeadBytes || chunks < 1 || chunks > 2) {
        ErrCode = kErrRead;
        return;
    }
    const int64_t rowBytes = int64_t(h.width) * h.bytesPerPixel;
    const bool fast = (h.codingFlags & kZuvFast) != 0;
    bool paletteRead = false;
    bool pictureDone = false;
    for (int32_t c = 0; c < chunks; ++c) {
        const int32_t chunkType = in.s32(), chunkHead = in.s32(), count = in.s32(), fourth = in.s32();
        if (in.failed() || chunkHead != kHeadBytes || pictureDone) {
            ErrCode = kErrRead;
            return;
        }
        if (chunkType == kPaletteChunkType) {
            const int32_t first = fourth;
            if (count < 0 || first < 0 || count > 256 || first > 256 - count || in.remaining() < size_t(3 * count)) {
                ErrCode = kErrRead;
                return;
            }
            in.bytes(image.palette + 3 * first, size_t(3 * count));
            paletteRead = true;
        } else if (chunkType == kPictureChunkType) {
            const int32_t strips = count, leading = fourth;
            if (strips < 1 || strips > h.height || leading < 0 || leading > strips ||
                in.remaining() < size_t(kStripEntryBytes) * size_t(strips)) {
                ErrCode = kErrRead;
                return;
            }
            std::vector<StripEntry> table(static_cast<size_t>(strips));
            int64_t rowsTotal = 0;
            for (auto& e : table) {
                const int32_t et = in.s32(), el = in.s32();
                e.stored = in.s32();
                e.rows = in.s32();
                const int32_t coded = in.s32();
                rowsTotal += e.rows;
                if (et != kStripEntryType || el != kStripEntryBytes || e.stored < 0 || e.rows < 1 ||
                    rowsTotal > h.height || (coded != 0 && coded != 1) ||
                    (coded == 0 && int64_t(e.stored) != e.rows * rowBytes) || e.stored > capacity) {
                    ErrCode = kErrRead;
                    return;
                }
                e.coded = coded == 1;
            }
            // Strip data follows the table back to back; the leading strips
            // are in the buffer already, the rest is read in groups.
            int64_t dataPos = int64_t(in.pos());
            int64_t fileNext = int64_t(entry.offset) + dataPos;
            int64_t available = entry.firstRead;
            int64_t rowOffset = 0;
            for (int32_t i = 0; i < strips; ++i) {
                const StripEntry& e = table[size_t(i)];
                if (i >= leading && dataPos + e.stored > available) {
                    // Read as many following strips as fit the buffer.
                    int64_t group = 0;
                    for (int32_t j = i; j < strips && group + table[size_t(j)].stored <= capacity; ++j)
                        group += table[size_t(j)].stored;
                    if (!ReadAt(s.file.get(), fileNext, buf, size_t(group))) {
                        ErrCode = kErrRead;
                        return;
                    }
                    dataPos = 0;
                    available = group;
                }
                if (dataPos + e.stored > available) {
                    ErrCode = kErrRead;
                    return;
                }
                const uint8_t* data = buf + dataPos;
                const int64_t stripBytes = e.rows * rowBytes;
                uint8_t* pixels = image.pixels + rowOffset;
                if (!e.coded) {
                    std::memcpy(pixels, data, size_t(stripBytes));
                    // Keep the differences of what a stored strip shows, which is
                    // what the writer compares the next frame against.
                    if (s.differenceCoding)
                        DeltaEncode24(pixels, s.difference.data() + rowOffset, stripBytes / 3);
                } else {
                    uint8_t* target = s.differenceCoding ? s.difference.data() + rowOffset : pixels;
                    bool ok = fast ? CodecUnpackStripFast(data, size_t(e.stored), target, h.width, e.rows,
                                                          h.bytesPerPixel)
                                   : CodecUnpackStrip(data, size_t(e.stored), target, h.width, e.rows,
                                                      h.bytesPerPixel);
                    if (!ok) {
                        ErrCode = kErrRead;
                        return;
                    }
                    if (s.differenceCoding) DeltaDecode24(target, pixels, stripBytes / 3);
                }
                dataPos += e.stored;
                fileNext += e.stored;
                rowOffset += stripBytes;
            }
            pictureDone = true;
        } else {
            ErrCode = kErrRead;
            return;
        }
    }
    if (!pictureDone) {
        ErrCode = kErrRead;
        return;
    }
    s.paletteRead = paletteRead;
    ++s.nextFrame;
    if (s.nextFrame > h.frameCount) s.endOfFile = true;
}

void CodecFileCreate(CodecState& s, const std::string& fileName, int32_t width, int32_t height,
                     int32_t bytesPerPixel, int32_t fast, int32_t keyFrameInterval, double frameRate,
                     int32_t smallStrips, int32_t reserved1, int32_t reserved2) {
    ErrCode = kErrNone;
    s = CodecState{};
    const int64_t frameBytes = int64_t(width) * height * bytesPerPixel;
    if (width <= 0 || height <= 0 || bytesPerPixel < 1 || bytesPerPixel > 3 || frameBytes > kMaxFrameBytes) {
        ErrCode = kErrCreate;
        return;
    }
    s.file.reset(std::fopen(fileName.c_str(), "w+b"));
    if (!s.file) {
        ErrCode = kErrCreate;
        return;
    }
    CodecHeader& h = s.header;
    h.width = width;
    h.height = height;
    h.bytesPerPixel = bytesPerPixel;
    h.codingFlags = (fast ? kZuvFast : 0) | (bytesPerPixel == 3 && !fast ? kZuvDifference : 0);
    h.keyFrameInterval = keyFrameInterval;
    h.frameRate = frameRate;
    h.reserved1 = reserved1;
    h.reserved2 = reserved2;
    h.smallStrips = (smallStrips || frameBytes <= kZuvSmallStripBytes) ? 1 : 0;

    std::vector<uint8_t> start(size_t(kZuvFirstIndexOffset + kZuvIndexBlockBytes), 0);
    EncodeCodecHeader(h, start.data());
    if (std::fwrite(start.data(), 1, start.size(), s.file.get()) != start.size()) {
        s = CodecState{};
        ErrCode = kErrWrite;
        return;
    }
    s.blockTable[0] = kZuvFirstIndexOffset;
    s.indexBlock = 0;
    s.frameBytes = frameBytes;
    s.nextFrame = 1;
    s.writing = true;
    s.differenceCoding = (h.codingFlags & kZuvDifference) != 0;
    try {
        s.previous.assign(size_t(frameBytes), 0);
        s.source.assign(size_t(frameBytes), 0);
        s.buffer.assign(size_t(frameBytes + kZuvReadSlack), 0);
        if (s.differenceCoding) s.difference.assign(size_t(frameBytes), 0);
    } catch (const std::bad_alloc&) {
        s = CodecState{};
        ErrCode = kErrMemory;
    }
}

void CodecWriteFrame(CodecState& s, const imagerec& image) {
    if (!s.file || !s.writing) {
        ErrCode = kErrWrite;
        return;
    }
    CodecHeader& h = s.header;
    const int32_t n = s.nextFrame;
    // Frames go in order, except that a file of key frames alone may take one
    // again; the 16-bit block numbers end at frame 65,536.
    if ((h.keyFrameInterval != 1 && n <= h.frameCount) || n < 1 || n > kZuvMaxFrames) {
        ErrCode = kErrFrameRefused;
        return;
    }
    if (!image.pixels || image.width != h.width || image.height != h.height ||
        image.bytesPerPixel != h.bytesPerPixel || image.size < s.frameBytes) {
        ErrCode = kErrMemory;
        return;
    }
    FILE* f = s.file.get();
    const int32_t block = (n - 1) / 256;
    if (block != s.indexBlock) {
        if (!WriteIndexBlock(s)) {
            ErrCode = kErrWrite;
            return;
        }
        if (s.blockTable[block] != 0) {
            if (!ReadIndexBlock(s, block)) {
                ErrCode = kErrWrite;
                return;
            }
        } else {
            if (std::fseek(f, 0, SEEK_END) != 0) {
                ErrCode = kErrWrite;
                return;
            }
            s.blockTable[block] = int32_t(std::ftell(f));
            std::fill(std::begin(s.index), std::end(s.index), CodecIndexEntry{});
            s.indexBlock = block;
            if (!WriteIndexBlock(s)) {
                ErrCode = kErrWrite;
                return;
            }
        }
    }
    if (std::fseek(f, 0, SEEK_END) != 0) {
        ErrCode = kErrWrite;
        return;
    }
    const int64_t recordOffset = std::ftell(f);
    if (recordOffset <= 0 || recordOffset > 0x7FFFFFFF) {
        ErrCode = kErrWrite;
        return;
    }
    CodecIndexEntry& entry = s.index[(n - 1) % 256];

    const bool withPalette = n == 1 || std::memcmp(image.palette, s.lastPalette, 768) != 0;
    const int64_t rowBytes = int64_t(h.width) * h.bytesPerPixel;
    const int32_t stripRows = CodecStripRows(rowBytes, h.height, h.smallStrips != 0);
    const int32_t strips = (h.height + stripRows - 1) / stripRows;
    const int64_t headsBytes = kHeadBytes + (withPalette ? kPaletteChunkBytes : 0) + kHeadBytes +
                               int64_t(kStripEntryBytes) * strips;

    // Code from a top-down copy so the caller's image stays as it was.
    uint8_t* src = s.source.data();
    if (image.topDown) {
        std::memcpy(src, image.pixels, size_t(s.frameBytes));
    } else {
        for (int32_t r = 0; r < h.height; ++r)
            std::memcpy(src + r * rowBytes, image.pixels + int64_t(h.height - 1 - r) * rowBytes, size_t(rowBytes));
    }

    const bool key = n == 1 || (h.keyFrameInterval > 0 && (n - 1) % h.keyFrameInterval == 0);
    uint8_t* out = s.buffer.data();
    bool differences = s.differenceCoding;
    if (differences && n == 1) {
        // Keep difference coding only when it shortens the leading rows.
        int32_t rows = s.frameBytes > 65536 ? int32_t(std::max<int64_t>(1, 65536 / rowBytes)) : stripRows;
        rows = std::min(rows, h.height);
        const int64_t testBytes = rows * rowBytes;
        int64_t plain = CodecPackStripBest(src, out, nullptr, false, 3, rows, h.width);
        if (plain == 0) plain = s.frameBytes;
        DeltaEncode24(src, s.difference.data(), testBytes / 3);
        int64_t diff = CodecPackStripBest(s.difference.data(), out, nullptr, false, 3, rows, h.width);
        if (diff == 0) diff = s.frameBytes;
        if (diff >= plain) {
            differences = false;
            s.differenceCoding = false;
            std::vector<uint8_t>().swap(s.difference);
            h.codingFlags = 0;
        }
    }
    const bool fast = (h.codingFlags & kZuvFast) != 0;
    const uint8_t* coded = src;
    if (differences) {
        for (int32_t i = 0; i < strips; ++i) {
            int64_t off = int64_t(i) * stripRows * rowBytes;
            int32_t rows = std::min(stripRows, h.height - i * stripRows);
            DeltaEncode24(src + off, s.difference.data() + off, rows * rowBytes / 3);
        }
        coded = s.difference.data();
    }

    std::vector<uint8_t>& rec = s.record;
    try {
        rec.assign(size_t(headsBytes), 0);
        rec.reserve(size_t(headsBytes + s.frameBytes));
    } catch (const std::bad_alloc&) {
        ErrCode = kErrMemory;
        return;
    }
    const int64_t firstReadLimit = h.smallStrips ? kZuvSmallStripBytes : s.frameBytes + kZuvReadSlack;
    int64_t firstRead = headsBytes;
    int32_t leading = 0;
    bool counting = firstRead <= firstReadLimit;
    const int64_t tableAt = headsBytes - int64_t(kStripEntryBytes) * strips;
    for (int32_t i = 0; i < strips; ++i) {
        const int64_t off = int64_t(i) * stripRows * rowBytes;
        const int32_t rows = std::min(stripRows, h.height - i * stripRows);
        const int64_t stripBytes = rows * rowBytes;
        const uint8_t* prev = key ? nullptr : s.previous.data() + off;
        int32_t len = fast ? CodecPackStripFast(coded + off, out, prev, !key, h.bytesPerPixel, rows, h.width)
                           : CodecPackStripBest(coded + off, out, prev, !key, h.bytesPerPixel, rows, h.width);
        const bool isCoded = len > 0;
        if (isCoded)
            rec.insert(rec.end(), out, out + len);
        else
            rec.insert(rec.end(), src + off, src + off + stripBytes);
        const int32_t stored = isCoded ? len : int32_t(stripBytes);
        uint8_t* e = rec.data() + tableAt + int64_t(kStripEntryBytes) * i;
        PutLE32(e, kStripEntryType);
        PutLE32(e + 4, kStripEntryBytes);
        PutLE32(e + 8, uint32_t(stored));
        PutLE32(e + 12, uint32_t(rows));
        PutLE32(e + 16, isCoded ? 1 : 0);
        if (counting && firstRead + stored <= firstReadLimit) {
            firstRead += stored;
            ++leading;
        } else {
            counting = false;
        }
    }

    uint8_t* p = rec.data();
    PutLE32(p, kFrameHeadType);
    PutLE32(p + 4, kHeadBytes);
    PutLE32(p + 8, withPalette ? 2 : 1);
    PutLE32(p + 12, uint32_t(rec.size()));
    p += kHeadBytes;
    if (withPalette) {
        PutLE32(p, kPaletteChunkType);
        PutLE32(p + 4, kHeadBytes);
        PutLE32(p + 8, 256);
        PutLE32(p + 12, 0);
        std::memcpy(p + kHeadBytes, image.palette, 768);
        p += kPaletteChunkBytes;
    }
    PutLE32(p, kPictureChunkType);
    PutLE32(p + 4, kHeadBytes);
    PutLE32(p + 8, uint32_t(strips));
    PutLE32(p + 12, uint32_t(leading));

    if (recordOffset + int64_t(rec.size()) > 0x7FFFFFFF ||
        std::fwrite(rec.data(), 1, rec.size(), f) != rec.size()) {
        ErrCode = kErrWrite;
        return;
    }
    if (h.keyFrameInterval != 1) std::memcpy(s.previous.data(), coded, size_t(s.frameBytes));
    if (withPalette) std::memcpy(s.lastPalette, image.palette, 768);
    if (entry.offset != 0) ++h.replacedFrames;
    entry.offset = int32_t(recordOffset);
    entry.firstRead = int32_t(firstRead);
    entry.flags = withPalette ? 1 : 0;
    h.frameCount = std::max(h.frameCount, n);
    ++s.nextFrame;
    // The frame's index entry and the header with its count go to the file
    // now, so that a file whose writer never closes it (killed, a crash, a
    // power cut) keeps its frames so far. Close writes the same bytes again.
    uint8_t e[12];
    PutLE32(e, uint32_t(entry.offset));
    PutLE32(e + 4, uint32_t(entry.firstRead));
    PutLE32(e + 8, uint32_t(entry.flags));
    const int64_t entryAt = int64_t(s.blockTable[block]) + 12 * ((n - 1) % 256);
    if (!WriteAt(f, entryAt, e, 12) || !WriteHead(s) || std::fflush(f) != 0 || std::fseek(f, 0, SEEK_END) != 0)
        ErrCode = kErrWrite;
}

void CodecFileClose(CodecState& s) {
    ErrCode = kErrNone;
    if (s.file && s.writing) {
        bool ok = WriteIndexBlock(s);
        ok = WriteHead(s) && ok;
        // A failed close is a failed file.
        ok = std::fclose(s.file.release()) == 0 && ok;
        if (!ok) ErrCode = kErrWrite;
    }
    s = CodecState{};
}

}  // namespace movaltic
