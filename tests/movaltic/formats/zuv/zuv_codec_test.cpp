#include "movaltic/formats/zuv_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace movaltic;

namespace {

// "0101 1..." (spaces ignored) as bytes, padded with zero bits.
std::vector<uint8_t> Bits(const std::string& text) {
    std::vector<uint8_t> out;
    int n = 0;
    for (char c : text) {
        if (c != '0' && c != '1') continue;
        if (n % 8 == 0) out.push_back(0);
        if (c == '1') out.back() |= uint8_t(0x80 >> (n % 8));
        ++n;
    }
    return out;
}

std::string Binary(uint32_t value, int bits) {
    std::string s;
    for (int i = bits - 1; i >= 0; --i) s += ((value >> i) & 1) ? '1' : '0';
    return s + " ";
}

std::vector<uint8_t> Packed(const std::vector<uint8_t>& out, int32_t length) {
    return std::vector<uint8_t>(out.begin(), out.begin() + length);
}

using PackFn = int32_t (*)(const uint8_t*, uint8_t*, const uint8_t*, bool, int, int, int);
using UnpackFn = bool (*)(const uint8_t*, size_t, uint8_t*, int, int, int);

// A picture with flat areas, gradients, repeated rows and some noise: every
// kind of token gets used.
std::vector<uint8_t> Picture(int width, int rows, int bpp, int shift, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> p(size_t(width) * rows * bpp);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < width; ++x)
            for (int b = 0; b < bpp; ++b) {
                uint8_t v;
                int xx = x + shift;
                if (y % 7 == 3)
                    v = p[(size_t(y - 1) * width + x) * bpp + b];
                else if (xx % 50 < 20)
                    v = uint8_t(40 * b + y / 4);
                else if (xx % 50 < 35)
                    v = uint8_t(xx * 3 + y + b * 11);
                else if (xx % 50 < 45)
                    v = uint8_t((xx / 3) % 4 * 60 + b);
                else
                    v = uint8_t(rng());
                p[(size_t(y) * width + x) * bpp + b] = v;
            }
    return p;
}

struct Coder {
    const char* name;
    PackFn pack;
    UnpackFn unpack;
};
const Coder kBest{"BEST", CodecPackStripBest, CodecUnpackStrip};
const Coder kFast{"FAST", CodecPackStripFast, CodecUnpackStripFast};

}  // namespace

TEST(ZuvBitWriter, WritesMostSignificantBitFirstAndPadsTheLastByte) {
    std::vector<uint8_t> out(16, 0xEE);
    CodecBitWriter w(out.data());
    CodecPutBits(w, 0x5, 3);
    CodecPutBits(w, 0x3FF, 10);
    EXPECT_EQ(CodecFlushBits(w), 2);
    EXPECT_EQ(Packed(out, 2), Bits("101 1111111111 000"));
}

TEST(ZuvBitWriter, CountsOnlyWholeStoredWordsAsWritten) {
    std::vector<uint8_t> out(16, 0);
    CodecBitWriter w(out.data());
    CodecPutBits(w, 0x7FFF, 15);
    CodecPutBits(w, 0xFFFF, 16);
    EXPECT_EQ(w.bytesStored(), 0);
    CodecPutBits(w, 0x1, 2);
    EXPECT_EQ(w.bytesStored(), 4);
    EXPECT_EQ(CodecFlushBits(w), 5);
    EXPECT_EQ(Packed(out, 5), Bits("111111111111111 1111111111111111 01"));
}

TEST(ZuvLengthCode, UsesTheTableForms) {
    struct Case {
        int value;
        std::string bits;
    } cases[] = {
        {2, "10"},
        {3, "11"},
        {4, "0 100"},
        {7, "0 111"},
        {8, "00 1000"},
        {31, "000 11111"},
        {64, "00000 1000000"},
        {255, "000000 11111111"},
        {256, "0000000 000000000"},
        {767, "0000000 111111111"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out(8, 0);
        CodecBitWriter w(out.data());
        CodecPutLength(w, c.value);
        int64_t n = CodecFlushBits(w);
        EXPECT_EQ(Packed(out, int32_t(n)), Bits(c.bits)) << c.value;
        EXPECT_EQ(LengthCodeBits(c.value), int(std::count_if(c.bits.begin(), c.bits.end(),
                                                              [](char ch) { return ch != ' '; })))
            << c.value;
    }
}

TEST(ZuvPixelRuns, CompareWholePixels) {
    const uint8_t words[] = {1, 2, 1, 2, 1, 3, 9};
    EXPECT_EQ(CountPixelRun(words, 3, 2), 4);
    const uint8_t triples[] = {5, 6, 7, 5, 6, 7, 5, 6, 7, 5, 6};
    EXPECT_EQ(CountPixelRun(triples, 3, 3), 9);
    EXPECT_EQ(CountPixelRun(triples, 2, 3), 6);
    const uint8_t differ[] = {1, 2, 2, 2};
    EXPECT_EQ(CountPixelRun(differ, 4, 1), 0);
    EXPECT_EQ(CountEqualBytes(words, triples, 7), 0);
    EXPECT_EQ(CountEqualBytes(triples, triples + 3, 8), 8);
}

TEST(ZuvBestCoder, CodesOneRepeatedByteAsRunsOfAtMost767Pixels) {
    std::vector<uint8_t> strip(1000, 7), out(1000 + 8192);
    int32_t n = CodecPackStripBest(strip.data(), out.data(), nullptr, false, 1, 1, 1000);
    std::string expect = Binary(0x007, 12) + "0000000 111111111 " + Binary(0x007, 12) + "000000 11101001 " +
                         Binary(0x1C0, 12);
    EXPECT_EQ(Packed(out, n), Bits(expect));
}

TEST(ZuvFastCoder, CodesOneRepeatedByteAsRunsOfAtMost767Pixels) {
    std::vector<uint8_t> strip(1000, 7), out(1000 + 8192);
    int32_t n = CodecPackStripFast(strip.data(), out.data(), nullptr, false, 1, 1, 1000);
    std::string expect = "00 00000111 0000000 111111111 00 00000111 000000 11101001 0111 000000";
    EXPECT_EQ(Packed(out, n), Bits(expect));
}

TEST(ZuvBestCoder, SendsRunPixelsInTheTokenByteOrder) {
    // 24-bit pixel b0=1 b1=2 b2=3 goes as b0, b2, b1; 16-bit as b1, b0.
    std::vector<uint8_t> rgb = {1, 2, 3, 1, 2, 3}, out(8192);
    int32_t n = CodecPackStripBest(rgb.data(), out.data(), nullptr, false, 3, 1, 2);
    EXPECT_EQ(Packed(out, n), Bits(Binary(1, 12) + Binary(3, 8) + Binary(2, 8) + "10" + Binary(0x1C0, 12)));
    std::vector<uint8_t> word = {0x34, 0x12, 0x34, 0x12, 0x34, 0x12};
    n = CodecPackStripBest(word.data(), out.data(), nullptr, false, 2, 1, 3);
    EXPECT_EQ(Packed(out, n), Bits(Binary(0x12, 12) + Binary(0x34, 8) + "11" + Binary(0x1C0, 12)));
}

TEST(ZuvBestCoder, CodesAStripEqualToThePreviousFrameAsUnchangedRunsOf49089Bytes) {
    std::mt19937 rng(1);
    std::vector<uint8_t> strip(100000), out(100000 + 8192);
    for (auto& b : strip) b = uint8_t(rng());
    int32_t n = CodecPackStripBest(strip.data(), out.data(), strip.data(), true, 1, 100, 1000);
    // 49,089 = 64 x 766 + 63 + 2; the rest 1,822 = 64 x 28 + 28 + 2.
    std::string run = Binary(0x1FF, 12) + "0000000 111111111 ";
    std::string expect = run + run + Binary(0x1C0 + 28, 12) + "000 11101 " + Binary(0x1C0, 12);
    EXPECT_EQ(Packed(out, n), Bits(expect));
}

TEST(ZuvFastCoder, CodesAStripEqualToThePreviousFrameAsUnchangedRunsOf49089Bytes) {
    std::mt19937 rng(2);
    std::vector<uint8_t> strip(100000), out(100000 + 8192);
    for (auto& b : strip) b = uint8_t(rng());
    int32_t n = CodecPackStripFast(strip.data(), out.data(), strip.data(), true, 1, 100, 1000);
    std::string run = "0111 111111 0000000 111111111 ";
    std::string expect = run + run + "0111 011100 000 11101 0111 000000";
    EXPECT_EQ(Packed(out, n), Bits(expect));
}

TEST(ZuvFastCoder, CopiesFromTheRowAboveWithANineBitToken) {
    std::vector<uint8_t> strip = {1, 2, 3, 4, 1, 2, 3, 4}, out(8192);
    int32_t n = CodecPackStripFast(strip.data(), out.data(), nullptr, false, 1, 2, 4);
    std::string expect = "1 00000001 1 00000010 1 00000011 1 00000100 010 000010 0111 000000";
    EXPECT_EQ(Packed(out, n), Bits(expect));
}

TEST(ZuvBestCoder, CopiesFromTheRowAboveWithATwelveBitToken) {
    std::vector<uint8_t> strip = {1, 2, 3, 4, 1, 2, 3, 4}, out(8192);
    int32_t n = CodecPackStripBest(strip.data(), out.data(), nullptr, false, 1, 2, 4);
    std::string expect = "11 00000001 11 00000010 11 00000011 11 00000100 " + Binary(254 + 4, 12) +
                         Binary(0x1C0, 12);
    EXPECT_EQ(Packed(out, n), Bits(expect));
}

TEST(ZuvCoders, GiveUpOnNoise) {
    std::mt19937 rng(3);
    std::vector<uint8_t> strip(64 * 30 * 3), out(strip.size() + 8192);
    for (auto& b : strip) b = uint8_t(rng());
    EXPECT_EQ(CodecPackStripBest(strip.data(), out.data(), nullptr, false, 3, 30, 64), 0);
    EXPECT_EQ(CodecPackStripFast(strip.data(), out.data(), nullptr, false, 3, 30, 64), 0);
}

TEST(ZuvBestDecoder, TakesWindowCopiesFromRowsAboveAndLeftAndRepeatsCachedStrings) {
    const int w = 100;
    std::vector<uint8_t> code(512, 0);
    CodecBitWriter bw(code.data());
    for (int i = 0; i < w; ++i) CodecPutBits(bw, 0x300u | uint32_t(i), 10);
    // k = 12: one row up and d = 5 bytes to the right.
    CodecPutBits(bw, 0x600 + 12 * 64 + 5, 12);
    CodecPutLength(bw, 10);
    // k = 0, d = 60: 64 - 60 = 4 bytes to the left in the same row.
    CodecPutBits(bw, 0x600 + 60, 12);
    CodecPutLength(bw, 4);
    // Cached string 0 is the first window copy: 10 bytes from position 100.
    CodecPutBits(bw, 0x200, 12);
    CodecPutBits(bw, 0x063, 12);  // run of byte 0x63 for the rest of the row
    CodecPutLength(bw, 76);
    CodecPutBits(bw, 0x1C0, 12);
    size_t n = size_t(CodecFlushBits(bw));

    std::vector<uint8_t> strip(2 * w, 0xAA);
    ASSERT_TRUE(CodecUnpackStrip(code.data(), n, strip.data(), w, 2, 1));
    std::vector<uint8_t> expect(2 * w);
    for (int i = 0; i < w; ++i) expect[size_t(i)] = uint8_t(i);
    for (int i = 0; i < 10; ++i) expect[size_t(100 + i)] = uint8_t(5 + i);
    for (int i = 0; i < 4; ++i) expect[size_t(110 + i)] = expect[size_t(106 + i)];
    for (int i = 0; i < 10; ++i) expect[size_t(114 + i)] = expect[size_t(100 + i)];
    for (int i = 124; i < 200; ++i) expect[size_t(i)] = 0x63;
    EXPECT_EQ(strip, expect);
}

TEST(ZuvDecoders, SkipUnchangedRunsLeavingThePreviousFrame) {
    std::vector<uint8_t> out(8192);
    std::vector<uint8_t> prev(300), cur(300);
    for (int i = 0; i < 300; ++i) prev[size_t(i)] = cur[size_t(i)] = uint8_t(i * 7);
    cur[150] = 1;
    for (const Coder& c : {kBest, kFast}) {
        int32_t n = c.pack(cur.data(), out.data(), prev.data(), true, 1, 3, 100);
        ASSERT_GT(n, 0) << c.name;
        EXPECT_LT(n, 20) << c.name;
        std::vector<uint8_t> dst = prev;
        ASSERT_TRUE(c.unpack(out.data(), size_t(n), dst.data(), 100, 3, 1)) << c.name;
        EXPECT_EQ(dst, cur) << c.name;
    }
}

TEST(ZuvCoders, KeyFramesNeverUseUnchangedRuns) {
    auto pic = Picture(120, 10, 3, 0, 4);
    std::vector<uint8_t> out(pic.size() + 8192);
    for (const Coder& c : {kBest, kFast}) {
        int32_t n = c.pack(pic.data(), out.data(), pic.data(), false, 3, 10, 120);
        ASSERT_GT(n, 0) << c.name;
        // A destination of other bytes comes out right only if nothing was skipped.
        std::vector<uint8_t> dst(pic.size(), 0x5A);
        ASSERT_TRUE(c.unpack(out.data(), size_t(n), dst.data(), 120, 10, 3)) << c.name;
        EXPECT_EQ(dst, pic) << c.name;
    }
}

TEST(ZuvCoders, RoundTripEveryDepthAndOddWidths) {
    for (const Coder& c : {kBest, kFast})
        for (int bpp = 1; bpp <= 3; ++bpp)
            for (int width : {1, 7, 33, 65, 200, 331}) {
                const int rows = 9;
                auto prev = Picture(width, rows, bpp, 0, 5);
                auto cur = Picture(width, rows, bpp, 2, 5);
                std::vector<uint8_t> out(cur.size() + 8192);
                for (bool compare : {false, true}) {
                    int32_t n = c.pack(cur.data(), out.data(), prev.data(), compare, bpp, rows, width);
                    if (n == 0) continue;  // stored plain: nothing to decode
                    std::vector<uint8_t> dst = prev;
                    ASSERT_TRUE(c.unpack(out.data(), size_t(n), dst.data(), width, rows, bpp))
                        << c.name << " bpp " << bpp << " width " << width;
                    EXPECT_EQ(dst, cur) << c.name << " bpp " << bpp << " width " << width << " compare " << compare;
                }
            }
}

TEST(ZuvBestCoder, FindsWindowMatchesInNarrowRows) {
    // Rows of 10 bytes: the usual code formula fails for a copy from 23 bytes
    // back, which still has a code (64 - 23 bytes right of 64 bytes back).
    std::vector<uint8_t> pic(10 * 40);
    for (size_t i = 0; i < pic.size(); ++i) pic[i] = uint8_t((i * i / 7 + i / 67) % 251);
    for (size_t i = 200; i < pic.size(); ++i) pic[i] = pic[i - 23];
    std::vector<uint8_t> out(pic.size() + 8192);
    int32_t n = CodecPackStripBest(pic.data(), out.data(), nullptr, false, 1, 40, 10);
    ASSERT_GT(n, 0);
    EXPECT_LT(n, 270);
    std::vector<uint8_t> dst(pic.size(), 0);
    ASSERT_TRUE(CodecUnpackStrip(out.data(), size_t(n), dst.data(), 10, 40, 1));
    EXPECT_EQ(dst, pic);
}

TEST(ZuvBestCoder, ReusesCachedStringsAcrossMoreThan1024Copies) {
    const int w = 256, rows = 60;
    std::vector<uint8_t> pic(size_t(w) * rows);
    std::mt19937 rng(9);
    std::vector<uint8_t> words(40 * 6);
    for (auto& b : words) b = uint8_t(rng());
    for (size_t i = 0; i < pic.size(); ++i) pic[i] = words[(i / 6 * 7 % 40) * 6 + i % 6];
    std::vector<uint8_t> out(pic.size() + 8192);
    int32_t n = CodecPackStripBest(pic.data(), out.data(), nullptr, false, 1, rows, w);
    ASSERT_GT(n, 0);
    std::vector<uint8_t> dst(pic.size(), 0);
    ASSERT_TRUE(CodecUnpackStrip(out.data(), size_t(n), dst.data(), w, rows, 1));
    EXPECT_EQ(dst, pic);
}

TEST(ZuvDecoders, RefuseTokensThatReachOutsideTheStrip) {
    std::vector<uint8_t> dst(40, 0);
    // Copy from the row above in the first row.
    auto rowAbove = Bits(Binary(254 + 4, 12) + Binary(0x1C0, 12));
    EXPECT_FALSE(CodecUnpackStrip(rowAbove.data(), rowAbove.size(), dst.data(), 10, 4, 1));
    auto fastRowAbove = Bits("010 000010 0111 000000");
    EXPECT_FALSE(CodecUnpackStripFast(fastRowAbove.data(), fastRowAbove.size(), dst.data(), 10, 4, 1));
    // A run longer than the strip.
    auto longRun = Bits(Binary(5, 12) + "00000 1000000" + Binary(0x1C0, 12));
    EXPECT_FALSE(CodecUnpackStrip(longRun.data(), longRun.size(), dst.data(), 10, 4, 1));
    auto fastLongRun = Bits("00 00000101 00000 1000000 0111 000000");
    EXPECT_FALSE(CodecUnpackStripFast(fastLongRun.data(), fastLongRun.size(), dst.data(), 10, 4, 1));
    // A window copy from before the strip's start.
    auto window = Bits("11 00000001 " + Binary(0x600 + 13 * 64, 12) + "10" + Binary(0x1C0, 12));
    EXPECT_FALSE(CodecUnpackStrip(window.data(), window.size(), dst.data(), 10, 4, 1));
    // A cached string that was never stored.
    auto cache = Bits(Binary(0x200 + 3, 12) + Binary(0x1C0, 12));
    EXPECT_FALSE(CodecUnpackStrip(cache.data(), cache.size(), dst.data(), 10, 4, 1));
    // An unchanged run past the end.
    auto skip = Bits(Binary(0x1C0 + 1, 12) + "10" + Binary(0x1C0, 12));
    EXPECT_FALSE(CodecUnpackStrip(skip.data(), skip.size(), dst.data(), 10, 4, 1));
}

TEST(ZuvDecoders, RefuseAStringThatEndsBeforeTheStripIsComplete) {
    std::vector<uint8_t> dst(40, 0);
    auto two = Bits("11 00000001 11 00000010");
    EXPECT_FALSE(CodecUnpackStrip(two.data(), two.size(), dst.data(), 10, 4, 1));
    EXPECT_FALSE(CodecUnpackStripFast(two.data(), 0, dst.data(), 10, 4, 1));
}

TEST(ZuvDecoders, StopAtTheEndCodeOnlyOnceTheStripIsComplete) {
    // 0x1C0 before the strip is full is an unchanged run (v = 2: 66 bytes).
    std::vector<uint8_t> dst(70, 9);
    auto code = Bits(Binary(0x1C0, 12) + "10 " + "11 00000001 11 00000010 11 00000011 11 00000100 " +
                     Binary(0x1C0, 12));
    ASSERT_TRUE(CodecUnpackStrip(code.data(), code.size(), dst.data(), 70, 1, 1));
    EXPECT_EQ(dst[65], 9);
    EXPECT_EQ(dst[66], 1);
    EXPECT_EQ(dst[69], 4);
}

TEST(ZuvDifferenceCoding, StoresEachByteAsItsChangeFromThePixelBefore) {
    const uint8_t px[] = {10, 20, 30, 15, 20, 25, 0, 255, 1};
    uint8_t diff[9], back[9];
    DeltaEncode24(px, diff, 3);
    const uint8_t expect[] = {10, 20, 30, 5, 0, 251, 241, 235, 232};
    EXPECT_EQ(0, std::memcmp(diff, expect, 9));
    DeltaDecode24(diff, back, 3);
    EXPECT_EQ(0, std::memcmp(back, px, 9));
}

TEST(ZuvRowReversal, SwapsRowsInPlace) {
    uint8_t buf[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    imagerec img;
    img.pixels = buf;
    img.width = 2;
    img.height = 3;
    img.bytesPerPixel = 2;
    img.size = 12;
    ImageFlipRows(img);
    const uint8_t expect[] = {9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4};
    EXPECT_EQ(0, std::memcmp(buf, expect, 12));
    img.pixels = nullptr;
}

namespace movaltic {
namespace {

// A strip of more than INT32_MAX bytes would code to a length the result
// cannot give: both coders refuse it before reading a byte.
TEST(ZuvCoders, BothRefuseAStripAboveTheInt32Range) {
    uint8_t tiny[16] = {}, out[64] = {};
    const int width = 65536, rows = 16384;  // x 3 bytes: 3 GiB
    EXPECT_EQ(CodecPackStripFast(tiny, out, tiny, true, 3, rows, width), 0);
    EXPECT_EQ(CodecPackStripBest(tiny, out, tiny, true, 3, rows, width), 0);
    EXPECT_GT(CodecPackStripFast(tiny, out, tiny, false, 1, 1, 16), 0);
}

}  // namespace
}  // namespace movaltic
