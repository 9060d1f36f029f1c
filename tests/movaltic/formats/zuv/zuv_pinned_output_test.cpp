// The coders' output is part of the file format: a faster search must choose
// the same tokens, down to which of several equal matches wins. These tests
// pin the exact bytes of short clips, so a change in any coded byte shows.
// The expected hashes were taken from the coders before their searches were
// sped up; a failure here means the coded bytes changed, not just the speed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/zuv_codec.h"
#include "movaltic/formats/zuv_file.h"

using namespace movaltic;

namespace {

uint64_t Fnv1a(const uint8_t* p, size_t n) {
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
    return h;
}

// A textured background panning two pixels a frame, with bands that repeat
// every 24 pixels and a box moving the other way: window copies from the
// rows above and from the left, cached strings, runs and unchanged runs all
// occur. Integer arithmetic only, so the picture is the same everywhere.
void PaintPan(std::vector<uint8_t>& buf, imagerec& img, int n) {
    const int w = img.width, h = img.height, bpp = img.bytesPerPixel;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < bpp; ++c) {
                const int X = x + 2 * n;
                int v;
                if ((y / 8) % 3 == 1)
                    v = (X % 24) * 9 + c * 5;
                else
                    v = (X * 5 + y * 3 + c * 70 + ((X * 7 + y * 13) % 11 == 0 ? 9 : 0)) / 4 +
                        (((X / 16 + y / 8) & 1) ? 40 : 0);
                if (x >= 60 - 3 * n && x < 72 - 3 * n && y >= 20 && y < 30) v = 200 + c;
                buf[(size_t(y) * w + x) * bpp + c] = uint8_t(v);
            }
    for (int i = 0; i < 768; ++i) img.palette[i] = uint8_t(i * 7 + n);
}

struct Clip {
    int width, height, bpp, fast, interval, smallStrips;
};

// Hash of the whole file of a 3-frame pan.
uint64_t HashOfPanFile(const Clip& clip, int64_t& fileSize) {
    const int w = clip.width, h = clip.height, frames = 3;
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("zuv_pinned_" + std::to_string(getpid()) + ".zuv"))
                                 .string();
    std::vector<uint8_t> buf(size_t(w) * h * size_t(clip.bpp));
    imagerec img;
    img.width = w;
    img.height = h;
    img.bytesPerPixel = clip.bpp;
    img.bitsPerPixel = 8 * clip.bpp;
    img.size = int32_t(buf.size());
    img.topDown = 1;
    img.pixels = buf.data();
    CodecState state;
    CodecFileCreate(state, file, w, h, clip.bpp, clip.fast, clip.interval, 25.0, clip.smallStrips, 0, 0);
    for (int n = 0; n < frames; ++n) {
        PaintPan(buf, img, n);
        CodecWriteFrame(state, img);
    }
    CodecFileClose(state);
    img.pixels = nullptr;
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(file, bytes));
    std::remove(file.c_str());
    fileSize = int64_t(bytes.size());
    return Fnv1a(bytes.data(), bytes.size());
}

}  // namespace

TEST(ZuvPinnedOutput, BestTrueColourPanKeepsItsExactBytes) {
    int64_t size = 0;
    EXPECT_EQ(HashOfPanFile({96, 64, 3, 0, 0, 0}, size), 0x12137e73c599651full);
    EXPECT_EQ(size, 10364);
}

TEST(ZuvPinnedOutput, BestTrueColourPanWithKeyFramesKeepsItsExactBytes) {
    int64_t size = 0;
    EXPECT_EQ(HashOfPanFile({96, 64, 3, 0, 2, 0}, size), 0x67fadfbc0e13cef0ull);
    EXPECT_EQ(size, 10376);
}

TEST(ZuvPinnedOutput, BestTrueColourPanInSmallStripsKeepsItsExactBytes) {
    int64_t size = 0;
    EXPECT_EQ(HashOfPanFile({200, 120, 3, 0, 0, 1}, size), 0x490ebae3e247e139ull);
    EXPECT_EQ(size, 18020);
}

TEST(ZuvPinnedOutput, BestPalettePanKeepsItsExactBytes) {
    int64_t size = 0;
    EXPECT_EQ(HashOfPanFile({96, 64, 1, 0, 0, 0}, size), 0x822f421b686e41d8ull);
    EXPECT_EQ(size, 12995);
}

TEST(ZuvPinnedOutput, BestHighColourPanKeepsItsExactBytes) {
    int64_t size = 0;
    EXPECT_EQ(HashOfPanFile({96, 64, 2, 0, 0, 0}, size), 0x6df8b85b3cdb187aull);
    EXPECT_EQ(size, 17496);
}

TEST(ZuvPinnedOutput, FastTrueColourPanKeepsItsExactBytes) {
    int64_t size = 0;
    EXPECT_EQ(HashOfPanFile({96, 64, 3, 1, 0, 0}, size), 0x7ca5eb126beb2fffull);
    EXPECT_EQ(size, 46974);
}

// Three symbols give many equally long matches in the window and the cache:
// which one wins decides the token, so the order of the search shows here.
TEST(ZuvPinnedOutput, BestStripOfFewSymbolsKeepsItsTieBreaking) {
    const int width = 70, rows = 20;
    std::vector<uint8_t> strip(size_t(width) * rows), previous(strip.size());
    uint32_t seed = 12345;
    for (size_t i = 0; i < strip.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        strip[i] = uint8_t((seed >> 16) % 3);
        previous[i] = (seed >> 24) % 4 == 0 ? uint8_t(7) : strip[i];
    }
    std::vector<uint8_t> out(strip.size() + 8192);
    int32_t key = CodecPackStripBest(strip.data(), out.data(), nullptr, false, 1, rows, width);
    ASSERT_GT(key, 0);
    EXPECT_EQ(Fnv1a(out.data(), size_t(key)), 0x1cde7de4b4e268c5ull);
    EXPECT_EQ(key, 510);
    int32_t delta = CodecPackStripBest(strip.data(), out.data(), previous.data(), true, 1, rows, width);
    ASSERT_GT(delta, 0);
    EXPECT_EQ(Fnv1a(out.data(), size_t(delta)), 0x078207f078c18637ull);
    EXPECT_EQ(delta, 434);
}
