#include "movaltic/formats/zuv_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/images/image_test_support.h"

using namespace movaltic;

namespace {

using image_test::Frame;

// A moving picture: a gradient background, a flat box that moves with the
// frame number, a little noise.
void Paint(Frame& f, int n, unsigned seed = 1) {
    std::mt19937 rng(seed + unsigned(n));
    const int bpp = f.img.bytesPerPixel;
    for (int y = 0; y < f.img.height; ++y)
        for (int x = 0; x < f.img.width; ++x) {
            uint8_t* p = f.buf.data() + (size_t(y) * f.img.width + x) * bpp;
            bool box = x >= 3 * n % f.img.width && x < 3 * n % f.img.width + 9 && y >= 2 && y < 12;
            for (int b = 0; b < bpp; ++b)
                p[b] = box ? uint8_t(200 + b) : uint8_t(x + 2 * y + 30 * b);
            if (x % 17 == 5 && y % 5 == 1) p[0] = uint8_t(rng());
        }
    for (int i = 0; i < 768; ++i) f.img.palette[i] = uint8_t(i * 3 + n / 4);
}

class ZuvFile : public ::testing::Test {
protected:
    std::string dir;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("zuv_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const std::string& name) const { return dir + "/" + name; }
    std::vector<uint8_t> bytes(const std::string& name) const {
        std::vector<uint8_t> v;
        ReadWholeFile(path(name), v);
        return v;
    }
};

struct Job {
    int width = 31, height = 17, bpp = 1;
    int fast = 0, interval = 0, frames = 5, small = 0;
    bool topDown = true;
};

// Writes a movie, reads it back and compares every frame.
void RoundTrip(const std::string& file, const Job& job) {
    CodecState w;
    CodecFileCreate(w, file, job.width, job.height, job.bpp, job.fast, job.interval, 25.0, job.small, 0, 0);
    ASSERT_EQ(ErrCode, 0);
    std::vector<std::vector<uint8_t>> written;
    for (int n = 0; n < job.frames; ++n) {
        Frame f(job.width, job.height, job.bpp, job.topDown);
        Paint(f, n);
        CodecWriteFrame(w, f.img);
        ASSERT_EQ(ErrCode, 0) << "frame " << n;
        // The reader gives top-down rows.
        std::vector<uint8_t> top(f.buf.size());
        const size_t rb = size_t(job.width) * job.bpp;
        for (int r = 0; r < job.height; ++r)
            std::memcpy(top.data() + r * rb, f.buf.data() + (job.topDown ? r : job.height - 1 - r) * rb, rb);
        written.push_back(top);
    }
    CodecFileClose(w);
    ASSERT_EQ(ErrCode, 0);

    CodecState r;
    CodecFileOpen(r, file);
    ASSERT_EQ(ErrCode, 0);
    Frame got(job.width, job.height, job.bpp);
    for (int n = 0; n < job.frames; ++n) {
        CodecReadFrame(r, got.img);
        ASSERT_EQ(ErrCode, 0) << "frame " << n;
        EXPECT_EQ(got.img.topDown, 1);
        EXPECT_EQ(got.img.bitsPerPixel, 8 * job.bpp);
        ASSERT_EQ(got.buf, written[size_t(n)]) << "frame " << n << " bpp " << job.bpp << " fast " << job.fast;
    }
    CodecReadFrame(r, got.img);
    EXPECT_EQ(ErrCode, kErrNoFrame);
    CodecFileClose(r);
}

int32_t Le32(const std::vector<uint8_t>& v, size_t at) { return int32_t(GetLE32(v.data() + at)); }

}  // namespace

TEST_F(ZuvFile, WritesTheHeaderBlockTableAndFirstIndexBlockAtFixedOffsets) {
    CodecState s;
    CodecFileCreate(s, path("a.zuv"), 3, 2, 1, 1, 10, 25.0, 0, 0, 0);
    ASSERT_EQ(ErrCode, 0);
    Frame f(3, 2, 1);
    Paint(f, 0);
    CodecWriteFrame(s, f.img);
    CodecWriteFrame(s, f.img);
    CodecFileClose(s);
    ASSERT_EQ(ErrCode, 0);
    auto v = bytes("a.zuv");
    const uint8_t head[64] = {'Z', 'U', 'V', 0x1A, 64, 0, 0, 0, 97, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0,
                              1,   0,   0,   0,    2,  0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x39, 0x40,
                              0,   0,   0,   0,    0,  0, 0, 0, 0,  0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_GE(v.size(), size_t(4160));
    EXPECT_EQ(0, std::memcmp(v.data(), head, 64));
    EXPECT_EQ(Le32(v, 64), 1088);
    for (int k = 1; k < 256; ++k) EXPECT_EQ(Le32(v, 64 + 4 * size_t(k)), 0);
    // Frame 1: offset right after index block 0, palette flag set.
    EXPECT_EQ(Le32(v, 1088), 4160);
    EXPECT_EQ(Le32(v, 1096), 1);
    const size_t f1 = 4160;
    const int32_t len1 = Le32(v, f1 + 12);
    EXPECT_EQ(Le32(v, 1092), len1);  // one small strip: the whole record is read at once
    const int32_t frameHead[] = {1, 16, 2};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Le32(v, f1 + 4 * size_t(i)), frameHead[i]);
    const int32_t paletteHead[] = {2, 16, 256, 0};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Le32(v, f1 + 16 + 4 * size_t(i)), paletteHead[i]);
    EXPECT_EQ(0, std::memcmp(v.data() + f1 + 32, f.img.palette, 768));
    const size_t pic = f1 + 16 + 784;
    const int32_t pictureHead[] = {4, 16, 1, 1};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Le32(v, pic + 4 * size_t(i)), pictureHead[i]);
    EXPECT_EQ(Le32(v, pic + 16), 5);
    EXPECT_EQ(Le32(v, pic + 20), 20);
    EXPECT_EQ(Le32(v, pic + 28), 2);  // rows
    EXPECT_EQ(int64_t(len1), int64_t(16 + 784 + 16 + 20) + Le32(v, pic + 24));
    // Frame 2 has the same palette: one chunk, flag clear.
    const size_t f2 = size_t(Le32(v, 1100));
    EXPECT_EQ(f2, f1 + size_t(len1));
    EXPECT_EQ(Le32(v, 1108), 0);
    EXPECT_EQ(Le32(v, f2 + 8), 1);
    EXPECT_EQ(Le32(v, f2 + 16), 4);
    EXPECT_EQ(v.size(), f2 + size_t(Le32(v, f2 + 12)));
}

TEST_F(ZuvFile, SplitsA640By480TrueColourFrameIntoFifteenSmallStrips) {
    EXPECT_EQ(CodecStripRows(1920, 480, true), 34);
    EXPECT_EQ(CodecStripRows(1920, 480, false), 480);
    CodecState s;
    CodecFileCreate(s, path("big.zuv"), 640, 480, 3, 1, 0, 30.0, 1, 0, 0);
    Frame f(640, 480, 3);
    Paint(f, 0);
    CodecWriteFrame(s, f.img);
    CodecFileClose(s);
    ASSERT_EQ(ErrCode, 0);
    auto v = bytes("big.zuv");
    const size_t pic = 4160 + 16 + 784;
    EXPECT_EQ(Le32(v, pic + 8), 15);
    int64_t stored = 0;
    for (size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(Le32(v, pic + 16 + 20 * i + 12), i < 14 ? 34 : 4);
        stored += Le32(v, pic + 16 + 20 * i + 8);
    }
    // Leading strips are those whose running length stays within 65,520 bytes.
    const int32_t leading = Le32(v, pic + 12);
    int64_t firstRead = 16 + 784 + 16 + 300;
    for (int32_t i = 0; i < leading; ++i) firstRead += Le32(v, pic + 16 + 20 * size_t(i) + 8);
    EXPECT_EQ(Le32(v, 1092), firstRead);
    EXPECT_LE(firstRead, 65520);
    EXPECT_EQ(v.size(), size_t(4160 + 16 + 784 + 16 + 300 + stored));
}

TEST_F(ZuvFile, AFrameOfAtMost65520BytesIsOneStripEitherWay) {
    for (int small : {0, 1}) {
        CodecState s;
        CodecFileCreate(s, path("s.zuv"), 364, 60, 3, 1, 0, 30.0, small, 0, 0);  // 65,520 bytes
        EXPECT_EQ(s.header.smallStrips, 1);
        Frame f(364, 60, 3);
        Paint(f, 0);
        CodecWriteFrame(s, f.img);
        CodecFileClose(s);
        auto v = bytes("s.zuv");
        EXPECT_EQ(Le32(v, 4160 + 800 + 8), 1);
    }
}

TEST_F(ZuvFile, Frame257StartsASecondIndexBlockAtTheEndOfTheFile) {
    CodecState s;
    CodecFileCreate(s, path("long.zuv"), 4, 2, 1, 1, 0, 30.0, 0, 0, 0);
    Frame f(4, 2, 1);
    int64_t endBefore257 = 0;
    for (int n = 1; n <= 258; ++n) {
        Paint(f, n);
        if (n == 257) endBefore257 = std::ftell(s.file.get());
        CodecWriteFrame(s, f.img);
        ASSERT_EQ(ErrCode, 0);
    }
    CodecFileClose(s);
    auto v = bytes("long.zuv");
    EXPECT_EQ(Le32(v, 28), 258);
    EXPECT_EQ(Le32(v, 68), endBefore257);
    EXPECT_EQ(Le32(v, size_t(endBefore257)), endBefore257 + 3072);  // frame 257's record follows its block

    CodecState r;
    CodecFileOpen(r, path("long.zuv"));
    Frame got(4, 2, 1);
    for (int n = 1; n <= 258; ++n) {
        CodecReadFrame(r, got.img);
        ASSERT_EQ(ErrCode, 0) << n;
        Paint(f, n);
        ASSERT_EQ(got.buf, f.buf) << n;
        ASSERT_EQ(0, std::memcmp(got.img.palette, f.img.palette, 768)) << n;
    }
    CodecFileClose(r);
}

TEST_F(ZuvFile, CodesKeyFramesByTheInterval) {
    struct Case {
        int interval;
        std::vector<int> keys;
    } cases[] = {{0, {1}}, {10, {1, 11, 21}}, {1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}}};
    for (const Case& c : cases) {
        CodecState s;
        CodecFileCreate(s, path("k.zuv"), 64, 20, 1, 0, c.interval, 30.0, 0, 0, 0);
        Frame f(64, 20, 1);
        Paint(f, 0);
        for (int n = 1; n <= 25; ++n) CodecWriteFrame(s, f.img);
        CodecFileClose(s);
        auto v = bytes("k.zuv");
        // An unchanged frame codes in a few bytes unless it is a key frame.
        std::vector<int> keys;
        for (int n = 1; n <= 25; ++n) {
            size_t rec = size_t(Le32(v, 1088 + 12 * size_t(n - 1)));
            if (Le32(v, rec + 12) > 100 + (n == 1 ? 784 : 0)) keys.push_back(n);
        }
        EXPECT_EQ(keys, c.keys) << "interval " << c.interval;
    }
}

TEST_F(ZuvFile, RoundTripsEveryDepthBothCodersAndIntervals) {
    for (int bpp = 1; bpp <= 3; ++bpp)
        for (int fast : {0, 1})
            for (int interval : {0, 1, 3}) {
                Job job;
                job.bpp = bpp;
                job.fast = fast;
                job.interval = interval;
                job.frames = 7;
                RoundTrip(path("rt.zuv"), job);
            }
}

TEST_F(ZuvFile, RoundTripsSmallStripsOddWidthsAndBottomUpImages) {
    Job job;
    job.width = 333;
    job.height = 150;
    job.bpp = 3;
    job.small = 1;
    job.frames = 4;
    job.interval = 2;
    RoundTrip(path("odd.zuv"), job);
    job.fast = 1;
    job.topDown = false;
    RoundTrip(path("odd.zuv"), job);
    job.width = 1;
    job.height = 3;
    job.bpp = 2;
    RoundTrip(path("one.zuv"), job);
}

TEST_F(ZuvFile, RoundTripsFramesWithStripsBeyondTheFirstRead) {
    // Noise cannot be coded: every strip is stored plain, and most lie beyond
    // the 65,520 bytes read first.
    CodecState s;
    CodecFileCreate(s, path("noise.zuv"), 200, 400, 3, 0, 0, 30.0, 1, 0, 0);
    Frame f(200, 400, 3);
    std::mt19937 rng(7);
    for (auto& b : f.buf) b = uint8_t(rng());
    CodecWriteFrame(s, f.img);
    Paint(f, 1);
    CodecWriteFrame(s, f.img);
    CodecFileClose(s);
    CodecState r;
    CodecFileOpen(r, path("noise.zuv"));
    Frame got(200, 400, 3);
    CodecReadFrame(r, got.img);
    CodecReadFrame(r, got.img);
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(got.buf, f.buf);
    CodecFileClose(r);
}

TEST_F(ZuvFile, LeavesTheCallersImageAsItWas) {
    CodecState s;
    CodecFileCreate(s, path("c.zuv"), 20, 10, 3, 0, 0, 30.0, 0, 0, 0);
    Frame f(20, 10, 3, false);
    Paint(f, 0);
    std::vector<uint8_t> before = f.buf;
    CodecWriteFrame(s, f.img);
    EXPECT_EQ(f.buf, before);
    EXPECT_EQ(f.img.topDown, 0);
    CodecFileClose(s);
}

TEST_F(ZuvFile, KeepsDifferenceCodingOnlyWhenItCodesShorter) {
    // A smooth gradient codes shorter as differences; a flat colour does not.
    CodecState s;
    CodecFileCreate(s, path("g.zuv"), 64, 8, 3, 0, 0, 30.0, 0, 0, 0);
    EXPECT_EQ(s.header.codingFlags, 2);
    Frame g(64, 8, 3);
    for (size_t i = 0; i < g.buf.size(); ++i) g.buf[i] = uint8_t(i / 3 * 5 + i % 3);
    CodecWriteFrame(s, g.img);
    CodecFileClose(s);
    EXPECT_EQ(Le32(bytes("g.zuv"), 24), 2);

    CodecFileCreate(s, path("flat.zuv"), 64, 8, 3, 0, 0, 30.0, 0, 0, 0);
    Frame flat(64, 8, 3);
    for (size_t i = 0; i < flat.buf.size(); ++i) flat.buf[i] = uint8_t(90 + i % 3);
    CodecWriteFrame(s, flat.img);
    CodecFileClose(s);
    EXPECT_EQ(Le32(bytes("flat.zuv"), 24), 0);

    CodecFileCreate(s, path("fast.zuv"), 64, 8, 3, 1, 0, 30.0, 0, 0, 0);
    EXPECT_EQ(s.header.codingFlags, 1);
    CodecFileClose(s);
}

TEST_F(ZuvFile, ReportsOpenFailuresByCode) {
    CodecState s;
    CodecFileOpen(s, path("missing.zuv"));
    EXPECT_EQ(ErrCode, kErrOpen);
    WriteWholeFile(path("bad.zuv"), std::vector<uint8_t>(2000, 'x'));
    CodecFileOpen(s, path("bad.zuv"));
    EXPECT_EQ(ErrCode, kErrMagic);
    WriteWholeFile(path("short.zuv"), {'Z', 'U'});
    CodecFileOpen(s, path("short.zuv"));
    EXPECT_EQ(ErrCode, kErrMagic);

    Job job;
    job.frames = 2;
    RoundTrip(path("ok.zuv"), job);
    auto v = bytes("ok.zuv");
    auto version = v;
    PutLE32(version.data() + 8, 96);
    WriteWholeFile(path("v.zuv"), version);
    CodecFileOpen(s, path("v.zuv"));
    EXPECT_EQ(ErrCode, kErrVersion);
    WriteWholeFile(path("t.zuv"), std::vector<uint8_t>(v.begin(), v.begin() + 40));
    CodecFileOpen(s, path("t.zuv"));
    EXPECT_EQ(ErrCode, kErrRead);
    EXPECT_FALSE(s.file);
}

TEST_F(ZuvFile, RefusesHostileIndexEntriesWithAReadError) {
    Job job;
    job.frames = 2;
    RoundTrip(path("ok.zuv"), job);
    const auto v = bytes("ok.zuv");
    Frame got(job.width, job.height, job.bpp);
    auto expectReadError = [&](std::vector<uint8_t> file, int frame, const char* what) {
        WriteWholeFile(path("h.zuv"), file);
        CodecState s;
        CodecFileOpen(s, path("h.zuv"));
        ASSERT_EQ(ErrCode, 0) << what;
        for (int n = 1; n < frame; ++n) CodecReadFrame(s, got.img);
        CodecReadFrame(s, got.img);
        EXPECT_EQ(ErrCode, kErrRead) << what;
        CodecFileClose(s);
    };
    // A frame count beyond the frames written: the index entry is 0.
    auto more = v;
    PutLE32(more.data() + 28, 3);
    expectReadError(more, 3, "count beyond the index");
    auto zero = v;
    PutLE32(zero.data() + 1088 + 12, 0);
    expectReadError(zero, 2, "offset 0");
    auto longRead = v;
    PutLE32(longRead.data() + 1088 + 4, 31 * 17 + 8193);
    expectReadError(longRead, 1, "first read beyond the frame size");
    auto past = v;
    PutLE32(past.data() + 1088, int32_t(v.size()) - 4);
    expectReadError(past, 1, "record past the end of the file");
    auto strips = v;
    PutLE32(strips.data() + 4160 + 800 + 8, 1000);
    expectReadError(strips, 1, "more strips than rows");
    auto rows = v;
    PutLE32(rows.data() + 4160 + 800 + 16 + 12, 18);
    expectReadError(rows, 1, "strip rows beyond the frame");
    auto code = v;
    for (size_t i = 4160 + 800 + 36; i < 4160 + size_t(Le32(v, 4172)); ++i) code[i] = 0;
    expectReadError(code, 1, "strip data that overruns the frame");
    auto block = v;
    PutLE32(block.data() + 64, 0);
    WriteWholeFile(path("h.zuv"), block);
    CodecState s;
    CodecFileOpen(s, path("h.zuv"));
    EXPECT_EQ(ErrCode, kErrRead) << "index block offset 0";
}

TEST_F(ZuvFile, RefusesFramesOutOfOrderUnlessEveryFrameIsAKeyFrame) {
    for (int interval : {0, 1}) {
        CodecState s;
        CodecFileCreate(s, path("o.zuv"), 4, 4, 1, 1, interval, 30.0, 0, 0, 0);
        Frame f(4, 4, 1);
        CodecWriteFrame(s, f.img);
        CodecWriteFrame(s, f.img);
        ErrCode = 0;
        s.nextFrame = 2;
        CodecWriteFrame(s, f.img);
        EXPECT_EQ(ErrCode, interval == 1 ? 0 : kErrFrameRefused);
        CodecFileClose(s);
        auto v = bytes("o.zuv");
        EXPECT_EQ(Le32(v, 60), interval == 1 ? 1 : 0);  // replaced frames
        EXPECT_EQ(Le32(v, 28), 2);
    }
}

TEST_F(ZuvFile, ReportsCreateAndWriteFailures) {
    CodecState s;
    CodecFileCreate(s, path("no/such/dir.zuv"), 4, 4, 1, 0, 0, 30.0, 0, 0, 0);
    EXPECT_EQ(ErrCode, kErrCreate);
    CodecFileCreate(s, "/dev/full", 4, 4, 1, 0, 0, 30.0, 0, 0, 0);
    EXPECT_EQ(ErrCode, kErrWrite);
    EXPECT_FALSE(s.file);
}

TEST_F(ZuvFile, ReadsNothingIntoAnImageTooSmallForTheFrame) {
    Job job;
    job.frames = 1;
    RoundTrip(path("ok.zuv"), job);
    CodecState r;
    CodecFileOpen(r, path("ok.zuv"));
    Frame small(4, 4, 1);
    CodecReadFrame(r, small.img);
    EXPECT_EQ(ErrCode, kErrMemory);
    CodecFileClose(r);
}
