#include "movaltic/formats/flic.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include <unistd.h>

#include "movaltic/formats/byte_io.h"

namespace movaltic {

namespace {

int64_t RoundEven(double x) { return static_cast<int64_t>(std::nearbyint(x)); }

// Writes one byte of a delta at a linear position of the picture; a word
// delta of an odd-width picture runs one byte past the end, which is dropped.
inline void PutPixel(uint8_t* pixels, int64_t total, int64_t pos, uint8_t v) {
    if (pos >= 0 && pos < total) pixels[pos] = v;
}

void ApplyColor(ByteReader& r, uint8_t* palette, bool sixBit) {
    uint16_t packets = r.u16();
    int index = 0;
    for (uint16_t p = 0; p < packets && !r.failed(); ++p) {
        index += r.u8();
        int count = r.u8();
        if (count == 0) count = 256;
        for (int k = 0; k < count && !r.failed(); ++k, ++index) {
            uint8_t rgb[3] = {r.u8(), r.u8(), r.u8()};
            if (r.failed() || index >= 256) continue;
            for (int c = 0; c < 3; ++c)
                palette[index * 3 + c] = sixBit ? uint8_t(std::min(255, rgb[c] * 4)) : rgb[c];
        }
    }
}

void ApplyWordDelta(ByteReader& r, uint8_t* pixels, int32_t width, int32_t height) {
    const int64_t total = int64_t(width) * height;
    uint16_t lines = r.u16();
    int64_t y = 0;
    for (uint16_t line = 0; line < lines && y < height && !r.failed(); ++line) {
        int32_t packets = -1;
        while (!r.failed()) {
            uint16_t word = r.u16();
            if (r.failed()) return;
            if ((word & 0xC000) == 0xC000) {
                // Skip lines; a hostile count may point past the picture.
                y += 0x10000 - word;
                if (y >= height) return;
            } else if ((word & 0xC000) == 0x8000) {
                // Last byte of an odd-width line, as other programs write it.
                PutPixel(pixels, total, y * width + width - 1, uint8_t(word));
            } else {
                packets = word;
                break;
            }
        }
        if (packets < 0) return;
        int64_t pos = y * width;
        for (int32_t p = 0; p < packets && !r.failed(); ++p) {
            pos += r.u8();
            int8_t count = int8_t(r.u8());
            if (r.failed()) return;
            if (count > 0) {
                for (int k = 0; k < count; ++k) {
                    uint8_t a = r.u8(), b = r.u8();
                    if (r.failed()) return;
                    PutPixel(pixels, total, pos++, a);
                    PutPixel(pixels, total, pos++, b);
                }
            } else if (count < 0) {
                uint8_t a = r.u8(), b = r.u8();
                if (r.failed()) return;
                for (int k = 0; k < -count; ++k) {
                    PutPixel(pixels, total, pos++, a);
                    PutPixel(pixels, total, pos++, b);
                }
            }
        }
        ++y;
    }
}

void ApplyByteDelta(ByteReader& r, uint8_t* pixels, int32_t width, int32_t height) {
    int32_t y = r.u16();
    uint16_t lines = r.u16();
    for (uint16_t line = 0; line < lines && y < height && !r.failed(); ++line, ++y) {
        uint8_t* row = pixels + int64_t(y) * width;
        int32_t packets = r.u8();
        int32_t x = 0;
        for (int32_t p = 0; p < packets && !r.failed(); ++p) {
            x += r.u8();
            int8_t count = int8_t(r.u8());
            if (count > 0) {
                for (int k = 0; k < count; ++k, ++x) {
                    uint8_t v = r.u8();
                    if (x < width && !r.failed()) row[x] = v;
                }
            } else if (count < 0) {
                uint8_t v = r.u8();
                if (r.failed()) return;
                for (int k = 0; k < -count; ++k, ++x)
                    if (x < width) row[x] = v;
            }
        }
    }
}

void ApplyByteRun(ByteReader& r, uint8_t* pixels, int32_t width, int32_t height) {
    for (int32_t y = 0; y < height && !r.failed(); ++y) {
        uint8_t* row = pixels + int64_t(y) * width;
        r.u8();  // packet count: rows are decoded until they are full instead
        int32_t x = 0;
        while (x < width && !r.failed()) {
            int8_t count = int8_t(r.u8());
            if (r.failed()) return;
            if (count > 0) {
                uint8_t v = r.u8();
                int n = std::min<int>(count, width - x);
                std::memset(row + x, v, n);
                x += count;
            } else if (count < 0) {
                for (int k = 0; k < -count; ++k, ++x) {
                    uint8_t v = r.u8();
                    if (x < width && !r.failed()) row[x] = v;
                }
            }
        }
    }
}

}  // namespace

FlicState::~FlicState() {
    if (file) std::fclose(file);
}

uint16_t FlicState::frames() const { return GetLE16(header + 6); }
uint16_t FlicState::width() const { return GetLE16(header + 8); }
uint16_t FlicState::height() const { return GetLE16(header + 10); }
uint16_t FlicState::depth() const { return GetLE16(header + 12); }
uint32_t FlicState::speed() const { return GetLE32(header + 16); }

bool FlicApplyFrame(const uint8_t* data, size_t size, int32_t subchunks, uint8_t* pixels, int32_t width,
                    int32_t height, uint8_t* palette, int32_t* chunksRead) {
    bool colour = false;
    int32_t read = 0;
    ByteReader r(data, size);
    for (int32_t i = 0; i < subchunks && r.remaining() >= 6; ++i) {
        size_t start = r.pos();
        uint32_t subSize = r.u32();
        uint16_t type = r.u16();
        if (subSize < 6) break;
        ++read;
        size_t body = std::min<size_t>(subSize - 6, r.remaining());
        ByteReader sub(r.here(), body);
        switch (type) {
            case kFlicColor256:
            case kFlicColor64:
                ApplyColor(sub, palette, type == kFlicColor64);
                colour = true;
                break;
            case kFlicWordDelta: ApplyWordDelta(sub, pixels, width, height); break;
            case kFlicByteDelta: ApplyByteDelta(sub, pixels, width, height); break;
            case kFlicBlack: std::memset(pixels, 0, size_t(width) * height); break;
            case kFlicByteRun: ApplyByteRun(sub, pixels, width, height); break;
            case kFlicCopy: sub.bytes(pixels, std::min<size_t>(body, size_t(width) * height)); break;
            default: break;
        }
        if (subSize > r.size() - start) break;
        r.seek(start + subSize);
    }
    if (chunksRead) *chunksRead = read;
    return colour;
}

namespace {

// Whether the frame chunk at lastAt, decoded after every chunk before it,
// gives frame 1's picture and palette again, as the ring frame does; frame 1
// itself is none. A file it cannot be told for (memory, a chunk that does not
// lead to lastAt) keeps the frame.
bool IsRingFrame(FlicState& state, int64_t lastAt) {
    if (state.framePixels == 0) return false;
    try {
        const int32_t width = state.width(), height = state.height();
        std::vector<uint8_t> pixels(size_t(state.framePixels)), first, data;
        uint8_t palette[768] = {}, firstPalette[768] = {};
        for (int64_t pos = 128; pos <= lastAt;) {
            uint8_t head[16];
            if (std::fseek(state.file, long(pos), SEEK_SET) != 0 || std::fread(head, 1, 16, state.file) != 16)
                return false;
            const uint32_t size = GetLE32(head);
            if (size < 16 || size > state.fileSize - pos) return false;
            if (GetLE16(head + 4) == kFlicFrameType) {
                data.resize(size - 16);
                if (!data.empty() && std::fread(data.data(), 1, data.size(), state.file) != data.size()) return false;
                FlicApplyFrame(data.data(), data.size(), GetLE16(head + 6), pixels.data(), width, height, palette);
                if (pos == lastAt)
                    return !first.empty() && pixels == first && std::memcmp(palette, firstPalette, 768) == 0;
                if (first.empty()) {
                    first = pixels;
                    std::memcpy(firstPalette, palette, 768);
                }
            }
            pos += size;
        }
    } catch (const std::bad_alloc&) {
    }
    return false;
}

// How many frame chunks from pos on, up to limit, the file holds whole;
// lastWhole (when given) receives the offset of the last. Past the size a
// header gives, a chunk of another kind ends them; in a file cut short they
// are stepped over as the reader does, and a last frame short of only its
// pad byte, as some writers leave it, is whole.
int32_t WholeFrames(FlicState& state, int64_t pos, int32_t limit, bool cut, int64_t* lastWhole) {
    int32_t frames = 0;
    while (frames < limit && pos + 16 <= state.fileSize) {
        uint8_t head[16];
        if (std::fseek(state.file, long(pos), SEEK_SET) != 0 || std::fread(head, 1, 16, state.file) != 16) break;
        const uint32_t size = GetLE32(head);
        const bool frame = GetLE16(head + 4) == kFlicFrameType;
        if ((!frame && !cut) || size < 16 || size > state.fileSize + (frame && cut) - pos) break;
        if (frame) {
            if (lastWhole) *lastWhole = pos;
            ++frames;
        }
        pos += size;
    }
    return frames;
}

}  // namespace

void FlicOpen(FlicState& state, const std::string& fileName) {
    ErrCode = kErrNone;
    FlicClose(state);
    state.frameCounter = 1;
    state.fileName = fileName;
    state.file = OpenInputFile(fileName);
    if (!state.file) {
        ErrCode = kErrOpen;
        return;
    }
    std::fseek(state.file, 0, SEEK_END);
    state.fileSize = std::ftell(state.file);
    std::fseek(state.file, 0, SEEK_SET);
    if (state.fileSize < 128 || std::fread(state.header, 1, 128, state.file) != 128 || state.depth() != 8) {
        ErrCode = kErrHeader;
        return;
    }
    state.fli = GetLE16(state.header + 4) == kFliMagic;
    state.framePixels = int64_t(state.width()) * state.height();
    state.position = 128;
    // A writer killed between a frame and the header that counts it leaves
    // whole frames past the size its header gives (other players show
    // them): they are frames of the movie too. Earlier writers marked the
    // header finished from the start, so the mark alone does not tell a
    // finished file: one killed while closing, after its ring frame but
    // before the header that counts it, ends in a whole frame that brings
    // back frame 1, and that one is no frame of the movie.
    const int64_t counted = GetLE32(state.header);
    if (counted >= 128 && counted < state.fileSize) {
        int64_t lastWhole = -1;
        uint32_t frames = state.frames();
        frames += WholeFrames(state, counted, 0xFFFF - frames, false, &lastWhole);
        if (lastWhole >= 0 && GetLE16(state.header + 14) == kFlicFinished && IsRingFrame(state, lastWhole))
            --frames;
        PutLE16(state.header + 6, uint16_t(frames));
    } else if (counted > state.fileSize) {
        // A copy or download stopped part-way holds the frames before the
        // cut, and no more.
        const int32_t held = WholeFrames(state, 128, state.frames(), true, nullptr);
        state.cutShort = held < state.frames();
        PutLE16(state.header + 6, uint16_t(held));
    }
    if (state.frames() == 0) state.endOfFile = true;
}

static void FlicReadFrameUnguarded(FlicState& state, imagerec& image) {
    ErrCode = kErrNone;
    if (state.endOfFile || !state.file || state.writing) return;
    const int32_t width = state.width(), height = state.height();
    if (!image.pixels || image.size < int64_t(width) * height) {
        ErrCode = kErrMemory;
        return;
    }
    while (true) {
        uint8_t head[16];
        if (state.position + 16 > state.fileSize || std::fseek(state.file, long(state.position), SEEK_SET) != 0 ||
            std::fread(head, 1, 16, state.file) != 16) {
            state.endOfFile = true;
            ErrCode = kErrMemory;
            return;
        }
        uint32_t size = GetLE32(head);
        uint16_t type = GetLE16(head + 4);
        const int64_t left = state.fileSize - state.position;
        if (size < 16 || (type != kFlicFrameType && int64_t(size) > left)) {
            state.endOfFile = true;
            ErrCode = kErrMemory;
            return;
        }
        if (type != kFlicFrameType) {
            state.position += size;
            continue;
        }
        // Other programs' files may end inside the last frame (most often
        // without the pad byte of an odd-length chunk): what the file holds
        // is decoded, and only a frame with nothing readable is refused.
        const bool cut = int64_t(size) > left;
        std::vector<uint8_t> data(size_t(std::min<int64_t>(size, left)) - 16);
        if (!data.empty() && std::fread(data.data(), 1, data.size(), state.file) != data.size()) {
            state.endOfFile = true;
            ErrCode = kErrMemory;
            return;
        }
        int32_t chunks = 0;
        state.paletteRead = FlicApplyFrame(data.data(), data.size(), GetLE16(head + 6), image.pixels, width,
                                           height, image.palette, &chunks);
        if (cut && chunks == 0) {
            state.endOfFile = true;
            ErrCode = kErrMemory;
            return;
        }
        state.position += size;
        break;
    }
    ++state.frameCounter;
    if (state.position >= state.fileSize || state.frameCounter > state.frames()) state.endOfFile = true;
    image.width = width;
    image.height = height;
    image.bytesPerPixel = 1;
    image.bitsPerPixel = 8;
    image.topDown = 1;
}

uint32_t FlicSpeedFor(bool fli, double frameRate) {
    if (!(frameRate > 0)) frameRate = 1;
    double speed = std::nearbyint((fli ? 70.0 : 1000.0) / frameRate);
    return speed > 4294967295.0 ? 0xFFFFFFFFu : uint32_t(speed);
}

double FlicFrameRate(const FlicState& state) {
    uint32_t speed = state.speed();
    if (speed == 0) return 0;
    return std::nearbyint((state.fli ? 700.0 : 10000.0) / speed) / 10.0;
}

// ---- writing ----

std::vector<uint8_t> FlicEncodeByteRun(const uint8_t* cur, int32_t width, int32_t height) {
    std::vector<uint8_t> out;
    out.reserve(size_t(width) * height / 2 + height);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = cur + int64_t(y) * width;
        size_t countAt = out.size();
        out.push_back(0);
        unsigned packets = 0;
        int32_t x = 0;
        while (x < width) {
            int32_t run = 1;
            while (x + run < width && run < 127 && row[x + run] == row[x]) ++run;
            if (run >= 2) {
                out.push_back(uint8_t(run));
                out.push_back(row[x]);
                x += run;
            } else {
                int32_t start = x, len = 0;
                while (x < width && len < 127) {
                    if (len > 0 && x + 1 < width && row[x + 1] == row[x]) break;
                    ++x;
                    ++len;
                }
                out.push_back(uint8_t(-len));
                out.insert(out.end(), row + start, row + start + len);
            }
            ++packets;
        }
        out[countAt] = uint8_t(packets);
    }
    return out;
}

std::vector<uint8_t> FlicEncodeByteDelta(const uint8_t* prev, const uint8_t* cur, int32_t width, int32_t height) {
    auto lineEqual = [&](int32_t y) {
        return std::memcmp(prev + int64_t(y) * width, cur + int64_t(y) * width, size_t(width)) == 0;
    };
    int32_t first = 0;
    while (first < height && lineEqual(first)) ++first;
    int32_t last = height - 1;
    while (last >= first && lineEqual(last)) --last;
    std::vector<uint8_t> out(4, 0);
    if (first >= height) return out;  // nothing changed: no coded lines
    PutLE16(out.data(), uint16_t(first));
    PutLE16(out.data() + 2, uint16_t(last - first + 1));
    for (int32_t y = first; y <= last; ++y) {
        size_t countAt = out.size();
        out.push_back(0);
        if (lineEqual(y)) continue;
        const uint8_t* c = cur + int64_t(y) * width;
        const uint8_t* p = prev + int64_t(y) * width;
        int32_t lastChanged = width - 1;
        while (c[lastChanged] == p[lastChanged]) --lastChanged;
        unsigned packets = 0;
        int32_t x = 0;
        while (x <= lastChanged) {
            int32_t left = width - x, skip = 0;
            if (left > 2)
                while (skip < 255 && skip < left - 1 && c[x + skip] == p[x + skip]) ++skip;
            x += skip;
            out.push_back(uint8_t(skip));
            if (x + 1 < width && c[x] == c[x + 1]) {
                int32_t n = 2;
                while (x + n < width && n < 127 && c[x + n] == c[x]) ++n;
                out.push_back(uint8_t(-n));
                out.push_back(c[x]);
                x += n;
            } else {
                int32_t start = x, n = 0;
                while (x <= lastChanged && n < 127) {
                    if (n > 0 && x + 1 < width && c[x + 1] == c[x]) break;
                    ++x;
                    ++n;
                }
                out.push_back(uint8_t(n));
                out.insert(out.end(), c + start, c + start + n);
            }
            ++packets;
        }
        out[countAt] = uint8_t(packets);
    }
    return out;
}

std::vector<uint8_t> FlicEncodeWordDelta(const uint8_t* prev, const uint8_t* cur, int32_t width, int32_t height) {
    std::vector<uint8_t> out(2, 0);
    unsigned coded = 0;
    int32_t skipped = 0;
    const bool oddWidth = width & 1;
    auto word = [](const uint8_t* b, int32_t x) { return uint16_t(b[x] | (b[x + 1] << 8)); };
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* c = cur + int64_t(y) * width;
        const uint8_t* p = prev + int64_t(y) * width;
        if (std::memcmp(c, p, size_t(width)) == 0) {
            ++skipped;
            continue;
        }
        while (skipped > 0) {  // a skip word holds at most 16383 lines
            int32_t n = std::min(skipped, 16383);
            size_t at = out.size();
            out.resize(at + 2);
            PutLE16(out.data() + at, uint16_t(-n));
            skipped -= n;
        }
        size_t countAt = out.size();
        out.resize(countAt + 2);
        int32_t lastChanged = width - 1;
        while (c[lastChanged] == p[lastChanged]) --lastChanged;
        unsigned packets = 0;
        bool firstSkip = true;
        int32_t x = 0;
        while (x <= lastChanged) {
            int32_t left = width - x, skip = 0;
            if (c[x] == p[x] && left > 3) {
                while (skip < 255 && skip < left - 2 && c[x + skip] == p[x + skip]) ++skip;
                if (firstSkip && oddWidth && skip > 0) --skip;
                skip &= ~1;
            }
            firstSkip = false;
            x += skip;
            int32_t wordsLeft = (width - x + 1) / 2;
            out.push_back(uint8_t(skip));
            if (wordsLeft >= 2 && word(c, x) == word(c, x + 2)) {
                int32_t n = 2;
                while (n < wordsLeft && n < 127 && word(c, x + 2 * n) == word(c, x)) ++n;
                out.push_back(uint8_t(-n));
                out.push_back(c[x]);
                out.push_back(c[x + 1]);
                x += 2 * n;
            } else {
                int32_t start = x, n = 0;
                while (n < wordsLeft && n < 127 && x <= lastChanged) {
                    if (n > 0 && n + 1 < wordsLeft && word(c, x + 2) == word(c, x)) break;
                    x += 2;
                    ++n;
                }
                out.push_back(uint8_t(n));
                out.insert(out.end(), c + start, c + start + 2 * n);
            }
            ++packets;
        }
        PutLE16(out.data() + countAt, uint16_t(packets));
        ++coded;
    }
    PutLE16(out.data(), uint16_t(coded));
    return out;
}

namespace {

struct Subchunk {
    uint16_t type;
    std::vector<uint8_t> data;
};

void (*&TestWriteHook())() {
    static void (*hook)() = nullptr;
    return hook;
}

void FlicWrite(FlicState& state, const void* p, size_t n) {
    if (TestWriteHook()) TestWriteHook()();
    if (!state.writeFailed && n && std::fwrite(p, 1, n, state.file) != n) state.writeFailed = true;
}

Subchunk ColorChunk(bool fli, const uint8_t* palette) {
    Subchunk s{fli ? uint16_t(kFlicColor64) : uint16_t(kFlicColor256), std::vector<uint8_t>(4 + 768)};
    PutLE16(s.data.data(), 1);  // one packet: skip 0, count 0 = all 256 entries
    for (int i = 0; i < 768; ++i) s.data[4 + i] = fli ? uint8_t(palette[i] >> 2) : palette[i];
    return s;
}

// Codes cur (top-down, one spare byte at the end) against the previous frame
// or, without one, as a byte run; falls back to a plain copy when coding does
// not pay.
Subchunk PictureChunk(const FlicState& state, const uint8_t* cur, int32_t width, int32_t height) {
    const int64_t limit = RoundEven(0.95 * width * height);
    Subchunk s{};
    if (state.previous.empty()) {
        s = {kFlicByteRun, FlicEncodeByteRun(cur, width, height)};
        if (int64_t(s.data.size()) > limit) s = {};
    } else if (state.fli) {
        s = {kFlicByteDelta, FlicEncodeByteDelta(state.previous.data(), cur, width, height)};
        if (s.data.size() > 60000) s = {};
    } else {
        s = {kFlicWordDelta, FlicEncodeWordDelta(state.previous.data(), cur, width, height)};
        if (int64_t(s.data.size()) > limit) s = {};
    }
    if (s.type == 0) s = {kFlicCopy, std::vector<uint8_t>(cur, cur + int64_t(width) * height)};
    return s;
}

uint32_t FrameChunkSize(const std::vector<Subchunk>& subs) {
    uint32_t total = 16;
    for (const auto& s : subs) total += 6 + uint32_t((s.data.size() + 1) & ~size_t(1));
    return total;
}

void WriteFrameChunk(FlicState& state, const std::vector<Subchunk>& subs) {
    uint8_t head[16] = {};
    PutLE32(head, FrameChunkSize(subs));
    PutLE16(head + 4, kFlicFrameType);
    PutLE16(head + 6, uint16_t(subs.size()));
    FlicWrite(state, head, 16);
    for (const auto& s : subs) {
        uint8_t sh[6];
        size_t padded = (s.data.size() + 1) & ~size_t(1);  // chunks keep even sizes
        PutLE32(sh, uint32_t(6 + padded));
        PutLE16(sh + 4, s.type);
        FlicWrite(state, sh, 6);
        FlicWrite(state, s.data.data(), s.data.size());
        if (padded != s.data.size()) FlicWrite(state, "", 1);
    }
}

// Codes the next frame, given top-down with its palette; frame 1 and every
// frame whose palette differs from the last one coded carry a colour chunk.
std::vector<Subchunk> CodeFrame(FlicState& state, std::vector<uint8_t>& cur, const uint8_t* palette) {
    const int32_t width = state.width(), height = state.height();
    std::vector<Subchunk> subs;
    if (state.previous.empty() || std::memcmp(palette, state.lastPalette, 768) != 0) {
        subs.push_back(ColorChunk(state.fli, palette));
        std::memcpy(state.lastPalette, palette, 768);
    }
    subs.push_back(PictureChunk(state, cur.data(), width, height));
    state.previous.swap(cur);
    return subs;
}

// The header as the disk should hold it now, written past the stdio buffer
// once everything before it is flushed.
void PutHeader(FlicState& state) {
    if (TestWriteHook()) TestWriteHook()();
    if (!state.writeFailed &&
        (std::fflush(state.file) != 0 || ::pwrite(fileno(state.file), state.header, 128, 0) != 128))
        state.writeFailed = true;
}

void CloseFile(FlicState& state, bool report) {
    if (state.file && std::fclose(state.file) != 0 && report) state.writeFailed = true;
    state.file = nullptr;
}

}  // namespace

void FlicSetWriteHookForTests(void (*hook)()) { TestWriteHook() = hook; }

void FlicCreate(FlicState& state, const std::string& fileName, int32_t width, double frameRate, int32_t height) {
    ErrCode = kErrNone;
    FlicClose(state);
    ErrCode = kErrNone;
    state.fli = width == 320 && height == 200;
    std::string name = fileName;
    size_t slash = name.find_last_of("/\\");
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.erase(dot);
    name += state.fli ? ".FLI" : ".FLC";
    state.fileName = name;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) {
        ErrCode = kErrCreate;
        return;
    }
    state.file = std::fopen(name.c_str(), "wb");
    if (!state.file) {
        ErrCode = kErrCreate;
        return;
    }
    state.writing = true;
    state.framePixels = int64_t(width) * height;
    uint8_t* h = state.header;
    PutLE16(h + 4, state.fli ? kFliMagic : kFlcMagic);
    PutLE16(h + 8, uint16_t(width));
    PutLE16(h + 10, uint16_t(height));
    PutLE16(h + 12, 8);  // flags stay 0 (not finished) until the file is closed
    PutLE32(h + 16, FlicSpeedFor(state.fli, frameRate));
    PutLE16(h + 38, 1);
    PutLE16(h + 40, 1);
    PutLE32(h + 80, 128);
    PutLE32(h, 128);  // the file's size so far: the frames after it are read before it counts them
    FlicWrite(state, h, 128);
    if (state.writeFailed) ErrCode = kErrCreate;
}

static void FlicWriteFrameUnguarded(FlicState& state, const imagerec& image) {
    ErrCode = kErrNone;
    const int32_t width = state.width(), height = state.height();
    if (!state.writing || !state.file || !image.pixels || image.width != width || image.height != height ||
        image.bytesPerPixel != 1 || image.size < int64_t(width) * height) {
        ErrCode = kErrMemory;
        return;
    }
    // The file codes the top row first whichever way the frame is stored; one
    // spare byte lets the word delta of an odd width read its last word.
    std::vector<uint8_t> cur(size_t(width) * height + 1, 0);
    for (int32_t y = 0; y < height; ++y) {
        int32_t src = image.topDown ? y : height - 1 - y;
        std::memcpy(cur.data() + size_t(y) * width, image.pixels + size_t(src) * width, size_t(width));
    }
    const bool firstFrame = state.framesWritten == 0;
    if (firstFrame) {
        state.firstPixels = cur;
        std::memcpy(state.firstPalette, image.palette, 768);
    }
    WriteFrameChunk(state, CodeFrame(state, cur, image.palette));
    ++state.framesWritten;
    PutLE16(state.header + 6, uint16_t(state.framesWritten));
    const long end = std::ftell(state.file);
    if (firstFrame) PutLE32(state.header + 84, uint32_t(end));
    // The header for the frames so far, so that a file whose writer never
    // closes it (killed, a crash, a power cut) plays them; by position, as
    // the frames go on at the end. Close writes the finished header, then
    // the ring frame.
    PutLE32(state.header, uint32_t(end < 0 ? 0 : end));
    PutHeader(state);
    if (state.writeFailed) ErrCode = kErrWrite;
}

// Memory running out is reported like every other failure, never thrown.
void FlicReadFrame(FlicState& state, imagerec& image) {
    try {
        FlicReadFrameUnguarded(state, image);
    } catch (const std::bad_alloc&) {
        ErrCode = kErrMemory;
    }
}

// Memory running out is reported like every other failure, never thrown.
void FlicWriteFrame(FlicState& state, const imagerec& image) {
    try {
        FlicWriteFrameUnguarded(state, image);
    } catch (const std::bad_alloc&) {
        ErrCode = kErrMemory;
    }
}

void FlicClose(FlicState& state) {
    if (state.writing && state.file) {
        ErrCode = kErrNone;
        // The ring frame brings a looping player from the last frame back to the first.
        std::vector<Subchunk> ring;
        if (state.framesWritten > 0) {
            std::vector<uint8_t> first = state.firstPixels;
            ring = CodeFrame(state, first, state.firstPalette);
        }
        // The finished header goes first, with the size the ring frame will
        // give the file: a writer killed after it leaves a file that counts
        // its frames, never one that shows the ring frame as one more.
        PutLE16(state.header + 6, uint16_t(state.framesWritten));
        PutLE16(state.header + 14, kFlicFinished);
        const long end = std::ftell(state.file);
        PutLE32(state.header, uint32_t(end < 0 ? 0 : end) + (ring.empty() ? 0 : FrameChunkSize(ring)));
        PutHeader(state);
        if (!ring.empty()) WriteFrameChunk(state, ring);
        CloseFile(state, true);
        if (state.writeFailed) ErrCode = kErrWrite;
    } else {
        CloseFile(state, false);
    }
    std::memset(state.header, 0, sizeof state.header);
    state.fileName.clear();
    state.fli = state.writing = state.endOfFile = state.paletteRead = state.writeFailed = state.cutShort = false;
    state.frameCounter = 1;
    state.framePixels = 0;
    state.fileSize = state.position = 0;
    state.previous.clear();
    state.firstPixels.clear();
    std::memset(state.lastPalette, 0, 768);
    std::memset(state.firstPalette, 0, 768);
    state.framesWritten = 0;
}

}  // namespace movaltic
