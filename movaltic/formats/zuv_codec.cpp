#include "movaltic/formats/zuv_codec.h"

#include <algorithm>
#include <cmath>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace movaltic {

namespace {

constexpr int kMaxRunPixels = 767;
constexpr int kMaxCopy = 767;
constexpr int kMaxUnchanged = 49089;  // 64 x 766 + 63 + 2: the longest long-form run
constexpr int kWindowRows = 12;
constexpr int kCacheSize = 1024;

// The coders give up once their output is no longer worth it.
int64_t GiveUpLimit(int64_t stripBytes) { return int64_t(std::nearbyint(0.95 * double(stripBytes))); }

// The window search keeps chains on several levels: a level's key is a hash
// of a position's first T bytes, so a candidate matching at least T bytes is
// always on the chain of the level T key.
constexpr int kLevels = 5;
constexpr int kLevelBytes[kLevels] = {16, 8, 4, 3, 2};
constexpr int kLevelKeyBits = 10;
constexpr int kLevelKeys = 1 << kLevelKeyBits;
constexpr int32_t kNoPosition = INT32_MIN;
// Cache string groups by least length; each is keyed by that many bytes.
constexpr int kCacheGroups = 3;
constexpr int kCacheGroupBytes[kCacheGroups] = {8, 4, 2};

inline uint64_t LoadWord(const uint8_t* s, int64_t available) {
    uint64_t v = 0;
    if (available >= 8)
        std::memcpy(&v, s, 8);
    else
        for (int64_t i = 0; i < available; ++i) v |= uint64_t(s[i]) << (8 * i);
    return v;
}

inline int HashWord(uint64_t v) { return int((v * 0x9E3779B97F4A7C15ull) >> (64 - kLevelKeyBits)); }

// The keys of one position: a hash of its first T bytes, meaningful when at
// least T bytes remain.
struct LevelKeys {
    uint64_t low, high;
    LevelKeys(const uint8_t* s, int64_t available)
        : low(LoadWord(s, available)), high(available >= 16 ? LoadWord(s + 8, 8) : 0) {}
    static constexpr uint64_t Mask(int bytes) { return bytes >= 8 ? ~0ull : (1ull << (8 * bytes)) - 1; }
    int key(int bytes) const {
        if (bytes <= 8) return HashWord(low & Mask(bytes));
        return HashWord(low ^ ((high & Mask(bytes - 8)) * 0xC2B2AE3D27D4EB4Full));
    }
};

// The tokens both coders write, in each coder's code widths: FAST codes are
// 9 or 10 bits, BEST codes 10 or 12 (BEST adds cache and window copies).
struct TokenCodes {
    uint32_t literal;  // prefix of a literal byte
    int literalBits;
    uint32_t row;      // prefix of a copy from the row above, length - 2
    int rowBits;
    int codeBits;      // unchanged bytes, runs, the end code
};
constexpr TokenCodes kFastCodes = {0x100, 9, 0x80, 9, 10};
constexpr TokenCodes kBestCodes = {0x300, 10, 0x100, 12, 12};

class TokenWriter {
public:
    TokenWriter(CodecBitWriter& w, const TokenCodes& c) : w_(w), c_(c) {}
    void Literal(uint8_t b) { CodecPutBits(w_, c_.literal | b, c_.literalBits); }
    // len bytes equal to the previous frame's: up to 65 in one code, more
    // with a length in 64-byte steps.
    void Unchanged(int len) {
        if (len <= 65) {
            CodecPutBits(w_, 0x180u + uint32_t(len - 2), c_.codeBits);
            return;
        }
        CodecPutBits(w_, 0x1C0u | uint32_t((len - 2) % 64), c_.codeBits);
        CodecPutLength(w_, (len + 62) / 64);
    }
    // A run of len bytes of the pixel at px: its first byte in the code, the
    // others after it (16-bit pixels high byte first; 24-bit b0, b2, b1).
    void Run(const uint8_t* px, int bpp, int len) {
        uint32_t first = px[0], rest = 0;
        if (bpp == 2) {
            first = px[1];
            rest = px[0];
        } else if (bpp == 3) {
            rest = (uint32_t(px[2]) << 8) | px[1];
        }
        CodecPutBits(w_, first, c_.codeBits);
        if (bpp == 2) CodecPutBits(w_, rest, 8);
        if (bpp == 3) CodecPutBits(w_, rest, 16);
        CodecPutLength(w_, len / bpp);
    }
    void Row(int len) { CodecPutBits(w_, c_.row + uint32_t(len - 2), c_.rowBits); }
    void End() { CodecPutBits(w_, 0x1C0, c_.codeBits); }

private:
    CodecBitWriter& w_;
    const TokenCodes& c_;
};

// A strip both coders take: 1 to 3 bytes per pixel, and a size whose coded
// length the int32 result can give.
bool StripFits(int64_t size, int bpp) { return size > 0 && size <= INT32_MAX && bpp >= 1 && bpp <= 3; }

// Forward byte-by-byte copy: an overlapping copy repeats bytes, which the
// coders rely on.
inline void CopyForward(uint8_t* dst, int64_t to, int64_t from, int64_t len) {
    if (from + len <= to) {
        std::memcpy(dst + to, dst + from, size_t(len));
    } else {
        for (int64_t i = 0; i < len; ++i) dst[to + i] = dst[from + i];
    }
}

inline void FillPixels(uint8_t* dst, const uint8_t* px, int bpp, int64_t count) {
    if (bpp == 1) {
        std::memset(dst, px[0], size_t(count));
        return;
    }
    for (int64_t i = 0; i < count; ++i) std::memcpy(dst + i * bpp, px, size_t(bpp));
}

// MSB-first reader over a bounded bit string; past the end it yields zero
// bits and overrun() turns true.
class BitReader {
public:
    BitReader(const uint8_t* s, size_t n) : src_(s), len_(n) {}
    inline uint32_t peek(int n) {
        if (count_ < n) refill();
        return uint32_t(buf_ >> (64 - n));
    }
    inline void consume(int n) {
        buf_ <<= n;
        count_ -= n;
    }
    inline uint32_t get(int n) {
        uint32_t v = peek(n);
        consume(n);
        return v;
    }
    int length() {
        uint32_t w = peek(16);
        int z = w ? __builtin_clz(w) - 16 : 16;
        if (z >= 7) {
            consume(16);
            return 256 + int(w & 0x1FF);
        }
        int bits = 2 * z + 2;
        consume(bits);
        return int(w >> (16 - bits));
    }
    bool overrun() const { return pos_ * 8 - size_t(count_) > len_ * 8; }

private:
    void refill() {
        while (count_ <= 56) {
            uint8_t b = pos_ < len_ ? src_[pos_] : 0;
            ++pos_;
            buf_ |= uint64_t(b) << (56 - count_);
            count_ += 8;
        }
    }
    const uint8_t* src_;
    size_t len_;
    size_t pos_ = 0;
    uint64_t buf_ = 0;
    int count_ = 0;
};

// Reads a run's pixel after its first byte; returns it in memory byte order.
inline void ReadRunPixel(BitReader& br, uint32_t first, int bpp, uint8_t* px) {
    if (bpp == 1) {
        px[0] = uint8_t(first);
    } else if (bpp == 2) {
        px[1] = uint8_t(first);
        px[0] = uint8_t(br.get(8));
    } else {
        px[0] = uint8_t(first);
        uint32_t rest = br.get(16);
        px[2] = uint8_t(rest >> 8);
        px[1] = uint8_t(rest);
    }
}

// Window code t for a copy from distance back d, or -1 when no code reaches
// it. The usual formula only fails for rows narrower than 65 bytes, where a
// search over the 24 row offsets finds a code if there is one.
int WindowCode(int64_t d, int64_t rb) {
    int64_t n = (d + rb - 65) / rb;
    if (d + rb - 65 >= 0) {
        int64_t x = n * rb - d;
        int64_t t = x < 0 ? 64 * n + x + 64 : 64 * n + 704 + x;
        if (t >= 0 && t < 1536) {
            int64_t k = t / 64, dd = t % 64;
            int64_t back = k < 12 ? 64 + k * rb - dd : (k - 11) * rb - dd;
            if (back == d) return int(t);
        }
    }
    for (int64_t k = 0; k < 24; ++k) {
        int64_t dd = k < 12 ? 64 + k * rb - d : (k - 11) * rb - d;
        if (dd >= 0 && dd < 64) return int(k * 64 + dd);
    }
    return -1;
}

}  // namespace

int64_t CodecFlushBits(CodecBitWriter& w) {
    while (w.pending >= 8) {
        w.pending -= 8;
        *w.out++ = uint8_t(w.acc >> w.pending);
    }
    if (w.pending > 0) {
        *w.out++ = uint8_t(w.acc << (8 - w.pending));
        w.pending = 0;
    }
    w.acc = 0;
    return w.out - w.start;
}

int CountEqualBytes(const uint8_t* a, const uint8_t* b, int limit) {
    int n = 0;
    while (n + 8 <= limit) {
        uint64_t x, y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y) return n + (__builtin_ctzll(x ^ y) >> 3);
        n += 8;
    }
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

int CountPixelRun(const uint8_t* p, int limitPixels, int bytesPerPixel) {
    if (limitPixels < 2) return 0;
    if (bytesPerPixel == 1) {
        if (p[1] != p[0]) return 0;
        // Equal pixels at distance 1 are the same as the bytes matching a one-byte shift.
        return 1 + CountEqualBytes(p + 1, p, limitPixels - 1);
    }
    if (std::memcmp(p, p + bytesPerPixel, size_t(bytesPerPixel)) != 0) return 0;
    int bytes = bytesPerPixel + CountEqualBytes(p + bytesPerPixel, p, (limitPixels - 1) * bytesPerPixel);
    return bytes - bytes % bytesPerPixel;
}

int32_t CodecPackStripFast(const uint8_t* src, uint8_t* output, const uint8_t* prev, bool compare, int bpp,
                           int rows, int width) {
    const int64_t rb = int64_t(width) * bpp;
    const int64_t size = rb * rows;
    if (!StripFits(size, bpp)) return 0;
    if (!prev) compare = false;
    const int64_t limit = GiveUpLimit(size);
    const int runCandidateMax = kMaxRunPixels * bpp - 1;
    CodecBitWriter w(output);
    TokenWriter tokens(w, kFastCodes);
    int64_t p = 0;
    while (p < size) {
        const int remaining = int(std::min<int64_t>(size - p, kMaxUnchanged));
        enum { Literal, Unchanged, Run, Row } kind = Literal;
        int len = 1;
        if (compare && remaining >= 2 && src[p] == prev[p] && src[p + 1] == prev[p + 1]) {
            kind = Unchanged;
            len = CountEqualBytes(src + p, prev + p, remaining);
        }
        if (len <= runCandidateMax) {
            int v = CountPixelRun(src + p, std::min(kMaxRunPixels, remaining / bpp), bpp);
            if (v > len) {
                kind = Run;
                len = v;
            }
        }
        if (len <= 65 && p >= rb && remaining >= 2 && src[p] == src[p - rb] && src[p + 1] == src[p - rb + 1]) {
            int e = CountEqualBytes(src + p, src + p - rb, std::min(65, remaining));
            if (e >= len) {
                kind = Row;
                len = e;
            }
        }
        switch (kind) {
        case Literal: tokens.Literal(src[p]); break;
        case Unchanged: tokens.Unchanged(len); break;
        case Run: tokens.Run(src + p, bpp, len); break;
        case Row: tokens.Row(len); break;
        }
        p += len;
        if (w.bytesStored() > limit) return 0;
    }
    tokens.End();
    return int32_t(CodecFlushBits(w));
}

int32_t CodecPackStripBest(const uint8_t* src, uint8_t* output, const uint8_t* prev, bool compare, int bpp,
                           int rows, int width) {
    const int64_t rb = int64_t(width) * bpp;
    const int64_t size = rb * rows;
    if (!StripFits(size, bpp)) return 0;
    if (!prev) compare = false;
    const int64_t limit = GiveUpLimit(size);
    const int64_t reach = kWindowRows * rb;
    const int blocks = int((rb + 63) / 64);

    // Window chains: per level and column block, chain heads keyed by a hash
    // of a position's first T bytes, and per position the next older one on
    // its chain. The link rings are indexed by position modulo a power of two
    // larger than the window (or the strip), so a position still inside the
    // window has its links intact and anything older ends a chain.
    int64_t ring = 1;
    while (ring <= std::min(reach, size)) ring <<= 1;
    const int64_t ringMask = ring - 1;
    // heads[block][level][key]; links[slot][level].
    std::vector<int32_t> heads(size_t(blocks) * kLevels * kLevelKeys, kNoPosition);
    std::unique_ptr<int32_t[]> links(new int32_t[size_t(ring) * kLevels]);

    // Cache chains, newest first, by insertion number; an entry whose slot
    // was taken by a newer one ends its chain. Strings of 8 bytes or more,
    // of 4 to 7 and of 2 or 3 lie on separate chains keyed by their first 8,
    // 4 or 2 bytes: a string that matches shares that many bytes with the
    // position, and one group holds only strings longer than the next.
    int32_t cPos[kCacheSize], cLen[kCacheSize], cNext[kCacheSize];
    std::vector<int32_t> cHeads(size_t(kCacheGroups) * kLevelKeys, -1);
    int32_t cached = 0;  // entries inserted so far

    int64_t linkCol = 0;  // column of the next position to link
    int64_t linked = 0;   // positions below this are linked (or too old to matter)
    // Links every position before upTo into the window chains, in order.
    // Only the last 12 rows can ever be found, so positions older than that
    // are skipped; linking waits for the next search, which saves the work
    // under long unchanged runs.
    const auto linkUpTo = [&](int64_t upTo) {
        int64_t from = std::max(linked, upTo - reach);
        if (from != linked) linkCol = from % rb;
        for (int64_t q = from; q < upTo; ++q) {
            int32_t* blockHeads = heads.data() + (linkCol >> 6) * kLevels * kLevelKeys;
            int32_t* slotLinks = links.get() + (q & ringMask) * kLevels;
            const LevelKeys keys(src + q, size - q);
            const auto link = [&](int lv, int key) {
                int32_t& head = blockHeads[lv * kLevelKeys + key];
                slotLinks[lv] = head;
                head = int32_t(q);
            };
            if (size - q >= kLevelBytes[0]) {
                [&]<size_t... L>(std::index_sequence<L...>) {
                    (link(int(L), keys.key(kLevelBytes[L])), ...);
                }(std::make_index_sequence<kLevels>{});
            } else {
                for (int lv = 0; lv < kLevels; ++lv)
                    // A position too near the end for T bytes never matches T.
                    if (size - q >= kLevelBytes[lv]) link(lv, keys.key(kLevelBytes[lv]));
            }
            if (++linkCol == rb) linkCol = 0;
        }
        linked = upTo;
    };

    CodecBitWriter w(output);
    TokenWriter tokens(w, kBestCodes);
    int64_t p = 0;
    int64_t col = 0;  // p mod rb
    while (p < size) {
        const int64_t remaining = size - p;
        enum { Literal, Unchanged, Run, Cache, Window, Row } kind = Literal;
        int len = 1;
        int score = 0;
        int arg = 0;  // cache slot or window code

        if (compare && remaining >= 2) {
            int t = CountEqualBytes(src + p, prev + p, int(std::min<int64_t>(remaining, kMaxUnchanged)));
            if (t >= 2) {
                int v = (t + 62) / 64;
                int s = 8 * t - 12 - (v > 1 ? LengthCodeBits(v) : 0);
                if (s > score) {
                    kind = Unchanged;
                    len = t;
                    score = s;
                }
            }
        }
        if (len < kMaxRunPixels * bpp) {
            int maxPixels = int(std::min<int64_t>(kMaxRunPixels, remaining / bpp));
            int v = CountPixelRun(src + p, maxPixels, bpp);
            if (v > 0) {
                int s = 8 * v - 8 * bpp - 4 - LengthCodeBits(v / bpp);
                if (s > score) {
                    kind = Run;
                    len = v;
                    score = s;
                }
            }
        }
        if (len < 768 && remaining >= 2) {
            // The string counted last is the newest of the longest that
            // match; the groups are searched longest first.
            const LevelKeys keys(src + p, remaining);
            int counted = 0;
            for (int g = 0; g < kCacheGroups && counted == 0; ++g) {
                if (remaining < kCacheGroupBytes[g]) continue;
                for (int32_t n = cHeads[size_t(g * kLevelKeys + keys.key(kCacheGroupBytes[g]))];
                     n >= 0 && n >= cached - kCacheSize; n = cNext[n & (kCacheSize - 1)]) {
                    const int e = n & (kCacheSize - 1);
                    const int l = cLen[e];
                    if (l <= remaining && l > counted && l >= len && src[cPos[e] + l - 1] == src[p + l - 1] &&
                        CountEqualBytes(src + cPos[e], src + p, l) == l) {
                        counted = l;
                        int s = 8 * l - 12;
                        if (s > score) {
                            kind = Cache;
                            len = l;
                            score = s;
                            arg = e;
                        }
                    }
                }
            }

            if (p > 0) {
                linkUpTo(p);
                // The copy found is the first candidate, in the order left
                // block, own block, right block, each newest first, of those
                // that match longest, when that is at least firstNeed bytes.
                // Every candidate matching at least T bytes is on the level-T
                // chain in that same order, so the levels are searched
                // longest first, a lower one only when no longer match exists.
                const int maxLen = int(std::min<int64_t>(kMaxCopy, remaining));
                const int firstNeed = std::max(len - 1, 1) + 1;
                const int64_t oldest = std::max<int64_t>(p - reach, 0);
                int bestP = 0;
                int64_t bestQ = -1;
                int searched[3];
                bool filtered[3];
                int nSearched = 0;
                const int64_t cols[3] = {((col - 64) % rb + rb) % rb, col, (col + 63) % rb};
                for (int bi = 0; bi < 3; ++bi) {
                    const int block = int(cols[bi] >> 6);
                    bool seen = false;
                    for (int s = 0; s < nSearched; ++s) seen |= searched[s] == block;
                    if (seen) continue;
                    // The own block lies wholly within the 64-column reach.
                    filtered[nSearched] = rb > 128 && bi != 1;
                    searched[nSearched++] = block;
                }
                int bound = maxLen;  // no candidate matches longer
                for (int lv = 0; lv < kLevels && bestP == 0; ++lv) {
                    const int levelBytes = kLevelBytes[lv];
                    if (levelBytes > maxLen) continue;
                    int m = std::max(firstNeed, levelBytes) - 1;
                    if (m >= bound) break;
                    const int32_t* levelHead = heads.data() + lv * kLevelKeys + keys.key(levelBytes);
                    const int32_t* levelLinks = links.get() + lv;
                    for (int bi = 0; bi < nSearched && m < bound; ++bi) {
                        for (int64_t q = levelHead[searched[bi] * kLevels * kLevelKeys]; q >= oldest;) {
                            const int64_t older = levelLinks[(q & ringMask) * kLevels];
                            if (filtered[bi]) {
                                int64_t delta = q % rb - col + 64;
                                if (delta < 0) delta += rb;
                                if (delta >= rb) delta -= rb;
                                if (delta >= 128) {
                                    q = older;
                                    continue;
                                }
                            }
                            const int need = m + 1;
                            if (src[q + need - 1] == src[p + need - 1] &&
                                CountEqualBytes(src + q, src + p, need - 1) == need - 1) {
                                bestP = need + CountEqualBytes(src + q + need, src + p + need, maxLen - need);
                                bestQ = q;
                                m = bestP;
                                if (m >= bound) break;
                            }
                            q = older;
                        }
                    }
                    if (firstNeed >= levelBytes) break;
                    bound = levelBytes - 1;
                }
                if (bestP >= 2) {
                    int t = WindowCode(p - bestQ, rb);
                    int s = 8 * bestP - 12 - LengthCodeBits(bestP);
                    if (t >= 0 && s > score) {
                        kind = Window;
                        len = bestP;
                        score = s;
                        arg = t;
                    }
                }
            }

            if (p >= rb) {
                int e = CountEqualBytes(src + p, src + p - rb, int(std::min<int64_t>(129, remaining)));
                if (e >= 2 && 8 * e - 12 > score) {
                    kind = Row;
                    len = e;
                    score = 8 * e - 12;
                }
            }
        }

        switch (kind) {
        case Literal: tokens.Literal(src[p]); break;
        case Unchanged: tokens.Unchanged(len); break;
        case Run: tokens.Run(src + p, bpp, len); break;
        case Cache:
            CodecPutBits(w, uint32_t(0x200 + arg), 12);
            break;
        case Window: {
            CodecPutBits(w, uint32_t(0x600 + arg), 12);
            CodecPutLength(w, len);
            const int slot = cached & (kCacheSize - 1);
            const int g = len >= 8 ? 0 : len >= 4 ? 1 : 2;
            int32_t& head = cHeads[size_t(g * kLevelKeys + LevelKeys(src + p, remaining).key(kCacheGroupBytes[g]))];
            cPos[slot] = int32_t(p);
            cLen[slot] = len;
            cNext[slot] = head;
            head = cached++;
            break;
        }
        case Row: tokens.Row(len); break;
        }

        const int64_t next = p + len;
        if (next >= size) break;
        if (w.bytesStored() > limit) return 0;
        p = next;
        col = p % rb;
    }
    tokens.End();
    return int32_t(CodecFlushBits(w));
}

bool CodecUnpackStrip(const uint8_t* source, size_t sourceLength, uint8_t* dst, int width, int rows, int bpp) {
    if (width <= 0 || rows <= 0 || bpp < 1 || bpp > 3) return false;
    const int64_t rb = int64_t(width) * bpp;
    const int64_t size = rb * rows;
    int64_t cPos[kCacheSize];
    int32_t cLen[kCacheSize];
    int cacheSlot = 0;
    int cacheFilled = 0;
    BitReader br(source, sourceLength);
    int64_t d = 0;
    for (;;) {
        if (br.overrun()) return false;
        uint32_t c = br.peek(12);
        if (c >= 0xC00) {
            if (d >= size) return false;
            dst[d++] = uint8_t(c >> 2);
            br.consume(10);
            continue;
        }
        br.consume(12);
        if (c < 0x100) {
            uint8_t px[3];
            ReadRunPixel(br, c, bpp, px);
            int64_t n = int64_t(br.length()) * bpp;
            if (d + n > size) return false;
            FillPixels(dst + d, px, bpp, n / bpp);
            d += n;
        } else if (c < 0x180) {
            int64_t len = int64_t(c) - 254;
            if (d < rb || d + len > size) return false;
            CopyForward(dst, d, d - rb, len);
            d += len;
        } else if (c < 0x1C0) {
            int64_t len = int64_t(c) - 382;
            if (d + len > size) return false;
            d += len;
        } else if (c < 0x200) {
            if (d == size) return true;
            int64_t len = 64 * int64_t(br.length() - 1) + (c - 0x1C0) + 2;
            if (d + len > size) return false;
            d += len;
        } else if (c < 0x600) {
            int n = int(c - 0x200);
            if (n >= cacheFilled) return false;
            int64_t len = cLen[n];
            if (d + len > size) return false;
            CopyForward(dst, d, cPos[n], len);
            d += len;
        } else {
            int64_t t = c - 0x600;
            int64_t k = t >> 6, dd = t & 63;
            int64_t from = k < 12 ? d - (64 + k * rb) + dd : d - (k - 11) * rb + dd;
            int64_t len = br.length();
            if (from < 0 || from >= d || d + len > size) return false;
            CopyForward(dst, d, from, len);
            cPos[cacheSlot] = d;
            cLen[cacheSlot] = int32_t(len);
            cacheSlot = (cacheSlot + 1) % kCacheSize;
            cacheFilled = std::max(cacheFilled, cacheSlot == 0 ? kCacheSize : cacheSlot);
            d += len;
        }
    }
}

bool CodecUnpackStripFast(const uint8_t* source, size_t sourceLength, uint8_t* dst, int width, int rows, int bpp) {
    if (width <= 0 || rows <= 0 || bpp < 1 || bpp > 3) return false;
    const int64_t rb = int64_t(width) * bpp;
    const int64_t size = rb * rows;
    BitReader br(source, sourceLength);
    int64_t d = 0;
    for (;;) {
        if (br.overrun()) return false;
        uint32_t c = br.peek(10);
        if (c & 0x200) {
            if (d >= size) return false;
            dst[d++] = uint8_t(c >> 1);
            br.consume(9);
        } else if (c < 0x100) {
            br.consume(10);
            uint8_t px[3];
            ReadRunPixel(br, c, bpp, px);
            int64_t n = int64_t(br.length()) * bpp;
            if (d + n > size) return false;
            FillPixels(dst + d, px, bpp, n / bpp);
            d += n;
        } else if ((c >> 7) == 2) {
            br.consume(9);
            int64_t len = ((c >> 1) & 63) + 2;
            if (d < rb || d + len > size) return false;
            CopyForward(dst, d, d - rb, len);
            d += len;
        } else if ((c >> 6) == 6) {
            br.consume(10);
            int64_t len = (c & 63) + 2;
            if (d + len > size) return false;
            d += len;
        } else {
            br.consume(10);
            if (d == size) return true;
            int64_t len = 64 * int64_t(br.length() - 1) + (c & 63) + 2;
            if (d + len > size) return false;
            d += len;
        }
    }
}

void DeltaEncode24(const uint8_t* source, uint8_t* destination, int64_t pixelCount) {
    uint8_t b = 0, g = 0, r = 0;
    for (int64_t i = 0; i < pixelCount; ++i) {
        const uint8_t* s = source + 3 * i;
        uint8_t* d = destination + 3 * i;
        uint8_t nb = s[0], ng = s[1], nr = s[2];
        d[0] = uint8_t(nb - b);
        d[1] = uint8_t(ng - g);
        d[2] = uint8_t(nr - r);
        b = nb;
        g = ng;
        r = nr;
    }
}

void DeltaDecode24(const uint8_t* source, uint8_t* destination, int64_t pixelCount) {
    uint8_t b = 0, g = 0, r = 0;
    for (int64_t i = 0; i < pixelCount; ++i) {
        const uint8_t* s = source + 3 * i;
        uint8_t* d = destination + 3 * i;
        b = uint8_t(b + s[0]);
        g = uint8_t(g + s[1]);
        r = uint8_t(r + s[2]);
        d[0] = b;
        d[1] = g;
        d[2] = r;
    }
}

void SwapBytes(uint8_t* a, uint8_t* b, size_t count) { std::swap_ranges(a, a + count, b); }

void ImageFlipRows(imagerec& image) {
    if (!image.pixels || image.height < 2) return;
    const size_t rb = size_t(image.width) * size_t(image.bytesPerPixel);
    for (int32_t r = 0, s = image.height - 1; r < s; ++r, --s)
        SwapBytes(image.pixels + size_t(r) * rb, image.pixels + size_t(s) * rb, rb);
}

}  // namespace movaltic
