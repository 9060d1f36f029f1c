#include "movaltic/formats/flic.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "movaltic/formats/byte_io.h"

namespace movaltic {
namespace {

namespace fs = std::filesystem;

class Frame {
public:
    Frame(int32_t w, int32_t h) : bytes(size_t(w) * h) {
        img.pixels = bytes.data();
        img.width = w;
        img.height = h;
        img.bytesPerPixel = 1;
        img.bitsPerPixel = 8;
        img.size = int32_t(bytes.size());
        img.topDown = 1;
    }
    Frame(const Frame&) = delete;
    ~Frame() { img.pixels = nullptr; }
    uint8_t& at(int32_t x, int32_t y) { return bytes[size_t(y) * img.width + x]; }
    std::vector<uint8_t> bytes;
    imagerec img;
};

class FlicFiles : public ::testing::Test {
public:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("flic_test_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::vector<uint8_t> read(const std::string& p) {
        std::vector<uint8_t> v;
        EXPECT_TRUE(ReadWholeFile(p, v));
        return v;
    }
    fs::path dir;
};

void FillPattern(Frame& f, int seed) {
    std::mt19937 rng(seed);
    for (auto& b : f.bytes) b = uint8_t(rng() % 7);  // few colours: runs happen
    for (int i = 0; i < 256; ++i) {
        f.img.palette[i * 3] = uint8_t(i);
        f.img.palette[i * 3 + 1] = uint8_t(255 - i);
        f.img.palette[i * 3 + 2] = uint8_t(i * 3);
    }
}

// Frame chunks after the header: (offset, size, subchunk types).
struct ChunkInfo {
    size_t offset;
    uint32_t size;
    std::vector<uint16_t> types;
};
std::vector<ChunkInfo> Chunks(const std::vector<uint8_t>& file) {
    std::vector<ChunkInfo> out;
    size_t pos = 128;
    while (pos + 16 <= file.size()) {
        ChunkInfo c{pos, GetLE32(&file[pos]), {}};
        uint16_t n = GetLE16(&file[pos + 6]);
        size_t sub = pos + 16;
        for (int i = 0; i < n && sub + 6 <= file.size(); ++i) {
            c.types.push_back(GetLE16(&file[sub + 4]));
            sub += GetLE32(&file[sub]);
        }
        out.push_back(c);
        if (c.size < 16) break;
        pos += c.size;
    }
    return out;
}

// ---- header layout ----

TEST_F(FlicFiles, FlcHeaderHoldsTheFieldsAtTheirOffsets) {
    FlicState s;
    FlicCreate(s, path("clip.avi"), 320, 25, 240);
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(s.fileName, path("clip.FLC"));
    Frame f(320, 240);
    FillPattern(f, 1);
    FlicWriteFrame(s, f.img);
    f.at(5, 5) ^= 1;
    FlicWriteFrame(s, f.img);
    FlicClose(s);
    ASSERT_EQ(ErrCode, 0);
    auto file = read(path("clip.FLC"));
    ASSERT_GE(file.size(), 128u);
    EXPECT_EQ(GetLE32(&file[0]), file.size());
    EXPECT_EQ(GetLE16(&file[4]), 0xAF12);
    EXPECT_EQ(GetLE16(&file[6]), 2);
    EXPECT_EQ(GetLE16(&file[8]), 320);
    EXPECT_EQ(GetLE16(&file[10]), 240);
    EXPECT_EQ(GetLE16(&file[12]), 8);
    EXPECT_EQ(GetLE16(&file[14]), 3);
    EXPECT_EQ(GetLE32(&file[16]), 40u);
    EXPECT_EQ(GetLE16(&file[38]), 1);
    EXPECT_EQ(GetLE16(&file[40]), 1);
    EXPECT_EQ(GetLE32(&file[80]), 128u);
    auto chunks = Chunks(file);
    ASSERT_EQ(chunks.size(), 3u);  // two frames and the ring frame
    EXPECT_EQ(GetLE32(&file[84]), chunks[1].offset);
    for (size_t i : {20, 24, 28, 32, 36, 42, 60, 79, 88, 100, 127}) EXPECT_EQ(file[i], 0) << i;
}

TEST_F(FlicFiles, A320By200MovieIsFliWith64LevelColoursAndByteDeltas) {
    FlicState s;
    FlicCreate(s, path("small.flc"), 320, 25, 200);
    EXPECT_EQ(s.fileName, path("small.FLI"));
    Frame f(320, 200);
    FillPattern(f, 2);
    for (size_t i = 0; i < f.bytes.size(); ++i) f.bytes[i] = uint8_t(i / 16);  // runs: a byte run pays
    f.img.palette[3] = 0xFF;  // entry 1 red: written as 63
    FlicWriteFrame(s, f.img);
    f.at(10, 100) ^= 3;
    FlicWriteFrame(s, f.img);
    FlicClose(s);
    auto file = read(path("small.FLI"));
    EXPECT_EQ(GetLE16(&file[4]), 0xAF11);
    EXPECT_EQ(GetLE32(&file[16]), 3u);  // Round(70 / 25) = Round(2.8)
    auto chunks = Chunks(file);
    ASSERT_EQ(chunks.size(), 3u);
    ASSERT_EQ(chunks[0].types.size(), 2u);
    EXPECT_EQ(chunks[0].types[0], kFlicColor64);
    EXPECT_EQ(chunks[0].types[1], kFlicByteRun);
    const size_t colour = chunks[0].offset + 16;
    EXPECT_EQ(GetLE32(&file[colour]), 778u);
    EXPECT_EQ(GetLE16(&file[colour + 6]), 1);  // one packet
    EXPECT_EQ(file[colour + 8], 0);            // skip 0
    EXPECT_EQ(file[colour + 9], 0);            // count 0: all 256
    EXPECT_EQ(file[colour + 10 + 3], 63);
    EXPECT_EQ(chunks[1].types, std::vector<uint16_t>{kFlicByteDelta});
    const size_t delta = chunks[1].offset + 16 + 6;
    EXPECT_EQ(GetLE16(&file[delta]), 100);     // unchanged lines at the top
    EXPECT_EQ(GetLE16(&file[delta + 2]), 1);   // one line to the last change
}

TEST_F(FlicFiles, FlcFramesCarry256LevelColoursThenWordDeltas) {
    FlicState s;
    FlicCreate(s, path("w.flc"), 64, 10, 48);
    Frame f(64, 48);
    FillPattern(f, 3);
    FlicWriteFrame(s, f.img);
    f.at(1, 1) ^= 1;
    FlicWriteFrame(s, f.img);
    FlicClose(s);
    auto file = read(path("w.FLC"));
    EXPECT_EQ(GetLE32(&file[16]), 100u);
    auto chunks = Chunks(file);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].types[0], kFlicColor256);
    EXPECT_EQ(file[chunks[0].offset + 16 + 10 + 3], f.img.palette[3]);
    EXPECT_EQ(chunks[1].types, std::vector<uint16_t>{kFlicWordDelta});
}

TEST_F(FlicFiles, FrameRateZeroIsWrittenAsOneFramePerSecond) {
    EXPECT_EQ(FlicSpeedFor(false, 0), 1000u);
    EXPECT_EQ(FlicSpeedFor(true, 0), 70u);
    EXPECT_EQ(FlicSpeedFor(false, -3), 1000u);
    EXPECT_EQ(FlicSpeedFor(false, 15), 67u);
    EXPECT_EQ(FlicSpeedFor(true, 25), 3u);
}

TEST_F(FlicFiles, FrameRateIsReadBackRoundedToTenths) {
    FlicState s;
    FlicCreate(s, path("r.flc"), 8, 15, 8);
    Frame f(8, 8);
    FlicWriteFrame(s, f.img);
    FlicClose(s);
    FlicOpen(s, path("r.FLC"));
    EXPECT_DOUBLE_EQ(FlicFrameRate(s), 14.9);  // speed 67 ms
    FlicClose(s);
}

// ---- frame count and ring frame ----

TEST_F(FlicFiles, AFileOfNFramesHoldsNPlusOneChunksAndSaysN) {
    FlicState s;
    FlicCreate(s, path("n.flc"), 17, 10, 9);
    Frame f(17, 9);
    for (int i = 0; i < 5; ++i) {
        FillPattern(f, 10 + i);
        FlicWriteFrame(s, f.img);
    }
    FlicClose(s);
    auto file = read(path("n.FLC"));
    EXPECT_EQ(GetLE16(&file[6]), 5);
    EXPECT_EQ(Chunks(file).size(), 6u);
}

TEST_F(FlicFiles, ZeroFramesGiveAValidHeaderOnlyFile) {
    FlicState s;
    FlicCreate(s, path("empty.flc"), 40, 25, 30);
    FlicClose(s);
    EXPECT_EQ(ErrCode, 0);
    auto file = read(path("empty.FLC"));
    ASSERT_EQ(file.size(), 128u);
    EXPECT_EQ(GetLE32(&file[0]), 128u);
    EXPECT_EQ(GetLE16(&file[6]), 0);
    FlicOpen(s, path("empty.FLC"));
    EXPECT_EQ(ErrCode, 0);
    Frame f(40, 30);
    f.bytes.assign(f.bytes.size(), 9);
    FlicReadFrame(s, f.img);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(f.bytes[0], 9);
    FlicClose(s);
}

// A writer killed after a frame but before the header that counts it leaves
// the header of the frame before: the whole frames past it are read all the
// same, as other players show them. So are they under the earlier writer's
// headers, marked finished from the start; killed after its ring frame but
// before the last header, it leaves the ring frame past it, which is none.
TEST_F(FlicFiles, FramesPastTheHeaderOfAKilledWriterAreRead) {
    FlicState s;
    FlicCreate(s, path("k.flc"), 23, 10, 11);
    std::fflush(s.file);  // the header as the first frame finds it
    std::vector<std::vector<uint8_t>> files{read(s.fileName)}, written;
    Frame f(23, 11);
    for (int i = 0; i < 3; ++i) {
        FillPattern(f, 40 + i);
        FlicWriteFrame(s, f.img);
        written.push_back(f.bytes);
        files.push_back(read(s.fileName));
    }
    const std::string name = s.fileName;
    FlicClose(s);
    files.push_back(read(name));  // and the ring frame
    for (const uint16_t flags : {uint16_t(0), kFlicFinished})
        for (size_t k = 1; k <= (flags ? 4u : 3u); ++k) {
            SCOPED_TRACE("killed before the header of frame " + std::to_string(k) + ", flags " +
                         std::to_string(flags));
            std::vector<uint8_t> bytes = files[k];
            std::memcpy(bytes.data(), files[k - 1].data(), 128);
            PutLE16(&bytes[14], flags);
            WriteWholeFile(path("cut.flc"), bytes);
            FlicOpen(s, path("cut.flc"));
            ASSERT_EQ(ErrCode, 0);
            EXPECT_EQ(s.frames(), std::min<size_t>(k, 3));
            Frame out(23, 11);
            for (size_t i = 0; i < std::min<size_t>(k, 3); ++i) {
                FlicReadFrame(s, out.img);
                EXPECT_EQ(out.bytes, written[i]) << i;
            }
            FlicClose(s);
        }
}

int gWrites = 0, gKillAt = 0;  // gKillAt 0: count only

void CountOrKill() {
    if (++gWrites == gKillAt) std::raise(SIGKILL);
}

// Killed before each of its writes in turn, closing included, a writer
// leaves a file that reads as the whole frames it holds, the ring frame
// after the last one never read as one more.
TEST_F(FlicFiles, AWriterKilledAtAnyWriteLeavesItsWholeFramesAndNoMore) {
    struct Case {
        int32_t width, height;
        int frames;
    };
    for (const Case c : {Case{23, 11, 4}, Case{320, 200, 3}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        std::vector<std::vector<uint8_t>> written;
        const auto writeMovie = [&](int killAt) {
            gWrites = 0;
            gKillAt = killAt;
            FlicSetWriteHookForTests(CountOrKill);
            FlicState s;
            FlicCreate(s, path("k.flc"), c.width, 10, c.height);
            Frame f(c.width, c.height);
            written.clear();
            for (int i = 0; i < c.frames; ++i) {
                FillPattern(f, 70 + i);
                f.img.palette[5] = uint8_t(4 * i);  // every frame carries its colours
                FlicWriteFrame(s, f.img);
                written.push_back(f.bytes);
            }
            FlicClose(s);
            FlicSetWriteHookForTests(nullptr);
            return gWrites;
        };
        const int writes = writeMovie(0);
        const std::string file = path(c.width == 320 ? "k.FLI" : "k.FLC");
        ASSERT_EQ(Chunks(read(file)).size(), size_t(c.frames + 1));
        for (int k = 1; k <= writes; ++k) {
            SCOPED_TRACE("killed at write " + std::to_string(k));
            fs::remove(file);
            const pid_t child = fork();
            if (child == 0) _exit(writeMovie(k));
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
            const std::vector<uint8_t> bytes = read(file);
            if (bytes.size() < 128) continue;  // killed before the header reached the file
            size_t whole = 0;
            for (const ChunkInfo& chunk : Chunks(bytes)) whole += chunk.offset + chunk.size <= bytes.size();
            FlicState s;
            FlicOpen(s, file);
            ASSERT_EQ(ErrCode, 0);
            ASSERT_EQ(s.frames(), std::min<size_t>(whole, c.frames));
            Frame out(c.width, c.height);
            for (size_t i = 0; i < s.frames(); ++i) {
                FlicReadFrame(s, out.img);
                ASSERT_EQ(ErrCode, 0) << i;
                EXPECT_EQ(out.bytes, written[i]) << i;
                EXPECT_EQ(out.img.palette[5], 4 * i) << i;
            }
            EXPECT_TRUE(s.endOfFile);
        }
    }
}

// ---- round trips ----

void RoundTrip(FlicFiles& t, int32_t w, int32_t h, int frames, bool changePalette) {
    FlicState s;
    FlicCreate(s, t.path("rt.flc"), w, 12.5, h);
    ASSERT_EQ(ErrCode, 0);
    std::vector<std::vector<uint8_t>> written;
    std::vector<std::vector<uint8_t>> palettes;
    Frame f(w, h);
    FillPattern(f, 99);
    std::mt19937 rng(7);
    for (int i = 0; i < frames; ++i) {
        // Mostly small changes (deltas), now and then a whole new picture.
        if (i % 5 == 4) {
            FillPattern(f, 100 + i);
        } else {
            for (int k = 0; k < 1 + i * 3; ++k) f.bytes[rng() % f.bytes.size()] = uint8_t(rng() % 256);
            if (i % 3 == 1) std::memset(&f.at(0, int32_t(rng() % h)), int(rng() % 256), size_t(w));
        }
        if (changePalette && i % 2 == 1) f.img.palette[(i * 7) % 768] ^= 0x5C;
        FlicWriteFrame(s, f.img);
        ASSERT_EQ(ErrCode, 0);
        written.push_back(f.bytes);
        palettes.emplace_back(f.img.palette, f.img.palette + 768);
    }
    FlicClose(s);
    ASSERT_EQ(ErrCode, 0);

    FlicOpen(s, s.fileName.empty() ? t.path(w == 320 && h == 200 ? "rt.FLI" : "rt.FLC") : s.fileName);
    ASSERT_EQ(ErrCode, 0);
    ASSERT_EQ(s.frames(), frames);
    Frame out(w, h);
    for (int i = 0; i < frames; ++i) {
        FlicReadFrame(s, out.img);
        ASSERT_EQ(ErrCode, 0) << "frame " << i;
        ASSERT_EQ(out.bytes, written[i]) << "frame " << i;
        const bool fli = w == 320 && h == 200;
        for (int k = 0; k < 768; ++k) {
            uint8_t want = fli ? uint8_t(palettes[i][k] & 0xFC) : palettes[i][k];
            ASSERT_EQ(out.img.palette[k], want) << "frame " << i << " palette byte " << k;
        }
    }
    EXPECT_TRUE(s.endOfFile);
    FlicClose(s);
}

TEST_F(FlicFiles, FlcRoundTripsFramesOfEvenWidth) { RoundTrip(*this, 64, 40, 12, false); }
TEST_F(FlicFiles, FlcRoundTripsFramesOfOddWidth) { RoundTrip(*this, 33, 17, 12, false); }
TEST_F(FlicFiles, FlcRoundTripsAOnePixelWideMovie) { RoundTrip(*this, 1, 5, 6, false); }
TEST_F(FlicFiles, FliRoundTripsFrames) { RoundTrip(*this, 320, 200, 8, false); }
TEST_F(FlicFiles, EveryChangedPaletteIsCarriedAndReadBack) { RoundTrip(*this, 21, 11, 8, true); }
TEST_F(FlicFiles, FliCarriesChangedPalettesToo) { RoundTrip(*this, 320, 200, 4, true); }

TEST_F(FlicFiles, ABottomUpFrameIsWrittenTopRowFirst) {
    FlicState s;
    FlicCreate(s, path("bu.flc"), 4, 10, 3);
    Frame f(4, 3);
    f.img.topDown = 0;
    for (int y = 0; y < 3; ++y) std::memset(&f.at(0, y), 10 + y, 4);  // buffer row 0 is the bottom
    FlicWriteFrame(s, f.img);
    FlicClose(s);
    FlicOpen(s, path("bu.FLC"));
    Frame out(4, 3);
    FlicReadFrame(s, out.img);
    EXPECT_EQ(out.img.topDown, 1);
    EXPECT_EQ(out.at(0, 0), 12);
    EXPECT_EQ(out.at(3, 2), 10);
    FlicClose(s);
}

TEST_F(FlicFiles, ReadingPastTheLastFrameLeavesTheImageAlone) {
    FlicState s;
    FlicCreate(s, path("one.flc"), 6, 10, 4);
    Frame f(6, 4);
    FillPattern(f, 5);
    FlicWriteFrame(s, f.img);
    FlicClose(s);
    FlicOpen(s, path("one.FLC"));
    Frame out(6, 4);
    FlicReadFrame(s, out.img);
    EXPECT_TRUE(s.paletteRead);
    auto first = out.bytes;
    out.bytes.assign(out.bytes.size(), 200);
    FlicReadFrame(s, out.img);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(out.bytes, std::vector<uint8_t>(24, 200));
    FlicClose(s);
}

TEST_F(FlicFiles, ANoisyFrameFallsBackToACopyChunk) {
    FlicState s;
    FlicCreate(s, path("noise.flc"), 32, 10, 16);
    Frame f(32, 16);
    std::mt19937 rng(1);
    for (auto& b : f.bytes) b = uint8_t(rng());
    FlicWriteFrame(s, f.img);
    FlicClose(s);
    auto chunks = Chunks(read(path("noise.FLC")));
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks[0].types.back(), kFlicCopy);
}

TEST_F(FlicFiles, WriterRefusesFramesOfAnotherSizeOrDepth) {
    FlicState s;
    FlicCreate(s, path("bad.flc"), 8, 10, 8);
    Frame small(8, 7);
    FlicWriteFrame(s, small.img);
    EXPECT_EQ(ErrCode, kErrMemory);
    Frame wide(8, 8);
    wide.img.bytesPerPixel = 3;
    FlicWriteFrame(s, wide.img);
    EXPECT_EQ(ErrCode, kErrMemory);
    FlicClose(s);
}

TEST_F(FlicFiles, CreatingInAMissingFolderFailsWithCode2) {
    FlicState s;
    FlicCreate(s, path("no/such/dir/x.flc"), 8, 10, 8);
    EXPECT_EQ(ErrCode, kErrCreate);
}

TEST_F(FlicFiles, ErrorsOfTheFinalHeaderWriteAreReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    FlicState s;  // set up by hand: FlicCreate would rename the file
    s.file = std::fopen("/dev/full", "wb");
    ASSERT_NE(s.file, nullptr);
    s.writing = true;
    PutLE16(s.header + 8, 8);
    PutLE16(s.header + 10, 8);
    Frame f(8, 8);
    FlicWriteFrame(s, f.img);
    FlicClose(s);
    EXPECT_EQ(ErrCode, kErrWrite);
}

// ---- encoders, exact bytes ----

TEST(FlicCoding, ByteRunCodesRunsAndLiteralsPerRow) {
    const uint8_t row[] = {5, 5, 5, 1, 2, 3, 7, 7};
    auto out = FlicEncodeByteRun(row, 8, 1);
    EXPECT_EQ(out, (std::vector<uint8_t>{3, 3, 5, 0xFD, 1, 2, 3, 2, 7}));
}

TEST(FlicCoding, IdenticalFramesGiveAWordDeltaWithNoCodedLines) {
    std::vector<uint8_t> a(10 * 4 + 1, 3);
    EXPECT_EQ(FlicEncodeWordDelta(a.data(), a.data(), 10, 4), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(FlicEncodeByteDelta(a.data(), a.data(), 10, 4), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(FlicCoding, WordDeltaSkipsUnchangedLinesWithANegativeWord) {
    std::vector<uint8_t> prev(8 * 4 + 1, 0), cur = prev;
    cur[2 * 8 + 4] = 9;  // line 2, byte 4
    auto out = FlicEncodeWordDelta(prev.data(), cur.data(), 8, 4);
    // 1 coded line; skip 2 lines; 1 packet: skip 4 bytes, copy 1 word (9, 0)
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 0, 0xFE, 0xFF, 1, 0, 4, 1, 9, 0}));
}

TEST(FlicCoding, WordDeltaRepeatsEqualWords) {
    std::vector<uint8_t> prev(8 + 1, 0), cur(8 + 1, 0);
    for (int i = 0; i < 8; ++i) cur[i] = uint8_t(i % 2 ? 2 : 1);
    auto out = FlicEncodeWordDelta(prev.data(), cur.data(), 8, 1);
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 0, 1, 0, 0, 0xFC, 1, 2}));
}

// ---- decoding other programs' codes and hostile data ----

std::vector<uint8_t> Sub(uint16_t type, std::vector<uint8_t> data) {
    std::vector<uint8_t> out(6);
    PutLE32(out.data(), uint32_t(6 + data.size()));
    PutLE16(out.data() + 4, type);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

TEST(FlicDecoding, LastByteWordSetsTheLastPixelOfAnOddLine) {
    std::vector<uint8_t> pic(3 * 2, 0);
    uint8_t pal[768] = {};
    // 1 line; last-byte word 0x8000|0x44; then 1 packet: skip 0, copy 1 word (1,2)
    auto sub = Sub(kFlicWordDelta, {1, 0, 0x44, 0x80, 1, 0, 0, 1, 1, 2});
    FlicApplyFrame(sub.data(), sub.size(), 1, pic.data(), 3, 2, pal);
    EXPECT_EQ(pic, (std::vector<uint8_t>{1, 2, 0x44, 0, 0, 0}));
}

TEST(FlicDecoding, LineSkipsPastThePictureStopTheDelta) {
    std::vector<uint8_t> pic(4 * 4, 7);
    uint8_t pal[768] = {};
    auto sub = Sub(kFlicWordDelta, {2, 0, 0x00, 0xC0, 1, 0, 0, 0x81, 1, 2});  // skip 16384 lines
    FlicApplyFrame(sub.data(), sub.size(), 1, pic.data(), 4, 4, pal);
    EXPECT_EQ(pic, std::vector<uint8_t>(16, 7));
}

TEST(FlicDecoding, PacketsRunningPastARowOrThePictureAreClipped) {
    std::vector<uint8_t> pic(4 * 2 + 8, 7);  // guard bytes after the picture
    uint8_t pal[768] = {};
    // word delta: skip 1 line, 1 packet: skip 2, repeat (5,6) 127 times
    auto wd = Sub(kFlicWordDelta, {1, 0, 0xFF, 0xFF, 1, 0, 2, 0x81, 5, 6});
    FlicApplyFrame(wd.data(), wd.size(), 1, pic.data(), 4, 2, pal);
    EXPECT_EQ(std::vector<uint8_t>(pic.begin() + 8, pic.end()), std::vector<uint8_t>(8, 7));
    EXPECT_EQ(pic[6], 5);
    // byte delta: line 1, 1 line, 1 packet: skip 3, repeat 9 x 100
    auto bd = Sub(kFlicByteDelta, {1, 0, 1, 0, 1, 3, 0x9C, 9});
    FlicApplyFrame(bd.data(), bd.size(), 1, pic.data(), 4, 2, pal);
    EXPECT_EQ(pic[7], 9);
    EXPECT_EQ(std::vector<uint8_t>(pic.begin() + 8, pic.end()), std::vector<uint8_t>(8, 7));
    // byte run: a run of 100 in a 4-wide row
    auto br = Sub(kFlicByteRun, {1, 100, 3, 1, 0xFF, 4});
    FlicApplyFrame(br.data(), br.size(), 1, pic.data(), 4, 2, pal);
    EXPECT_EQ(pic[0], 3);
    EXPECT_EQ(pic[4], 4);
    EXPECT_EQ(std::vector<uint8_t>(pic.begin() + 8, pic.end()), std::vector<uint8_t>(8, 7));
}

TEST(FlicDecoding, ColourPacketsBeyondEntry255AreIgnored) {
    std::vector<uint8_t> pic(4, 0);
    uint8_t pal[768] = {};
    std::vector<uint8_t> data = {1, 0, 254, 4};
    for (int i = 0; i < 12; ++i) data.push_back(uint8_t(10 + i));
    auto sub = Sub(kFlicColor256, data);
    EXPECT_TRUE(FlicApplyFrame(sub.data(), sub.size(), 1, pic.data(), 2, 2, pal));
    EXPECT_EQ(pal[254 * 3], 10);
    EXPECT_EQ(pal[255 * 3 + 2], 15);
}

TEST(FlicDecoding, SixtyFourLevelColoursAreMultipliedByFour) {
    std::vector<uint8_t> pic(4, 0);
    uint8_t pal[768] = {};
    auto sub = Sub(kFlicColor64, {1, 0, 2, 1, 63, 1, 0});
    FlicApplyFrame(sub.data(), sub.size(), 1, pic.data(), 2, 2, pal);
    EXPECT_EQ(pal[6], 252);
    EXPECT_EQ(pal[7], 4);
}

TEST(FlicDecoding, BlackClearsTheFrame) {
    std::vector<uint8_t> pic(6, 9);
    uint8_t pal[768] = {};
    auto sub = Sub(kFlicBlack, {});
    FlicApplyFrame(sub.data(), sub.size(), 1, pic.data(), 3, 2, pal);
    EXPECT_EQ(pic, std::vector<uint8_t>(6, 0));
}

TEST_F(FlicFiles, OpenReportsMissingFilesAndOtherDepths) {
    FlicState s;
    FlicOpen(s, path("missing.flc"));
    EXPECT_EQ(ErrCode, kErrOpen);
    std::vector<uint8_t> h(128, 0);
    PutLE16(&h[4], 0xAF12);
    PutLE16(&h[12], 16);
    WriteWholeFile(path("d16.flc"), h);
    FlicOpen(s, path("d16.flc"));
    EXPECT_EQ(ErrCode, kErrHeader);
    WriteWholeFile(path("short.flc"), std::vector<uint8_t>(40, 0));
    FlicOpen(s, path("short.flc"));
    EXPECT_EQ(ErrCode, kErrHeader);
}

std::vector<uint8_t> HeaderFor(uint16_t w, uint16_t h, uint16_t frames) {
    std::vector<uint8_t> file(128, 0);
    PutLE16(&file[4], 0xAF12);
    PutLE16(&file[6], frames);
    PutLE16(&file[8], w);
    PutLE16(&file[10], h);
    PutLE16(&file[12], 8);
    return file;
}

// Every size a header can give opens with its whole pixel count; a frame
// too large to hold is then refused when it is made.
TEST_F(FlicFiles, HeaderSizesUpTo65535SquaredOpenAndTooLargeFramesAreRefused) {
    const struct {
        uint16_t w, h;
        bool held;
    } cases[] = {{4, 4, true}, {320, 200, true}, {65215, 65335, false}, {65535, 65535, false}, {65535, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        WriteWholeFile(path("size.flc"), HeaderFor(c.w, c.h, 1));
        FlicState s;
        FlicOpen(s, path("size.flc"));
        ASSERT_EQ(ErrCode, 0);
        EXPECT_EQ(s.framePixels, int64_t(c.w) * c.h);
        imagerec img;
        ImageCreate(img, s.width(), s.height(), 1);
        EXPECT_EQ(ErrCode == 0, c.held);
        ImageFree(img);
    }
}

TEST_F(FlicFiles, AFrameCutBeforeItsFirstChunkGives1000) {
    auto file = HeaderFor(4, 4, 1);
    std::vector<uint8_t> chunk(16 + 3, 0);  // three bytes: no whole subchunk head
    PutLE32(&chunk[0], 5000);
    PutLE16(&chunk[4], 0xF1FA);
    PutLE16(&chunk[6], 1);
    file.insert(file.end(), chunk.begin(), chunk.end());
    WriteWholeFile(path("trunc.flc"), file);
    FlicState s;
    FlicOpen(s, path("trunc.flc"));
    ASSERT_EQ(ErrCode, 0);
    Frame f(4, 4);
    FlicReadFrame(s, f.img);
    EXPECT_EQ(ErrCode, kErrMemory);
    FlicReadFrame(s, f.img);  // and stays finished
    EXPECT_EQ(ErrCode, 0);
}

TEST_F(FlicFiles, AFrameCutInsideAChunkIsDecodedAsFarAsTheFileGoes) {
    auto file = HeaderFor(4, 2, 2);
    auto black = Sub(kFlicBlack, {});
    auto copy = Sub(kFlicCopy, {1, 2, 3, 4, 5, 6, 7, 8});
    std::vector<uint8_t> head(16, 0);
    PutLE32(&head[0], uint32_t(16 + black.size() + copy.size()));
    PutLE16(&head[4], 0xF1FA);
    PutLE16(&head[6], 2);
    file.insert(file.end(), head.begin(), head.end());
    file.insert(file.end(), black.begin(), black.end());
    file.insert(file.end(), copy.begin(), copy.end() - 3);  // the last three pixels are missing
    WriteWholeFile(path("cut.flc"), file);
    FlicState s;
    FlicOpen(s, path("cut.flc"));
    Frame f(4, 2);
    std::fill(f.bytes.begin(), f.bytes.end(), 9);
    FlicReadFrame(s, f.img);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(f.bytes, (std::vector<uint8_t>{1, 2, 3, 4, 5, 0, 0, 0}));
    EXPECT_EQ(s.frameCounter, 2);
    EXPECT_TRUE(s.endOfFile);
}

TEST_F(FlicFiles, AFliWithoutThePadByteOfItsLastChunkPlays) {
    // Written by tests/data/flic/make_fixtures.py; Pillow shows the same indexes.
    const std::string data = std::string(TEST_DATA_DIR) + "/flic/";
    std::vector<uint8_t> indexes, file;
    ASSERT_TRUE(ReadWholeFile(data + "no_pad.idx", indexes));
    ASSERT_TRUE(ReadWholeFile(data + "no_pad.fli", file));
    FlicState s;
    FlicOpen(s, data + "no_pad.fli");
    ASSERT_EQ(ErrCode, 0);
    ASSERT_EQ(int64_t(GetLE32(&file[128])), int64_t(file.size()) - 128 + 1);  // one byte short
    Frame f(128, 128);
    FlicReadFrame(s, f.img);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_TRUE(s.paletteRead);
    EXPECT_EQ(f.bytes, indexes);
    EXPECT_EQ(f.img.palette[3 * 200], 200);
    EXPECT_TRUE(s.endOfFile);
}

TEST_F(FlicFiles, AChunkOfSizeZeroEndsTheReadInsteadOfLooping) {
    auto file = HeaderFor(4, 4, 3);
    file.resize(file.size() + 32, 0);
    WriteWholeFile(path("zero.flc"), file);
    FlicState s;
    FlicOpen(s, path("zero.flc"));
    Frame f(4, 4);
    FlicReadFrame(s, f.img);
    EXPECT_EQ(ErrCode, kErrMemory);
}

TEST_F(FlicFiles, ChunksOfOtherTypesAreSkipped) {
    auto file = HeaderFor(2, 1, 1);
    std::vector<uint8_t> prefix(20, 0xEE);
    PutLE32(&prefix[0], 20);
    PutLE16(&prefix[4], 0xF100);
    file.insert(file.end(), prefix.begin(), prefix.end());
    auto copy = Sub(kFlicCopy, {4, 5});
    std::vector<uint8_t> head(16, 0);
    PutLE32(&head[0], uint32_t(16 + copy.size()));
    PutLE16(&head[4], 0xF1FA);
    PutLE16(&head[6], 1);
    file.insert(file.end(), head.begin(), head.end());
    file.insert(file.end(), copy.begin(), copy.end());
    WriteWholeFile(path("prefix.flc"), file);
    FlicState s;
    FlicOpen(s, path("prefix.flc"));
    Frame f(2, 1);
    FlicReadFrame(s, f.img);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(f.bytes, (std::vector<uint8_t>{4, 5}));
    EXPECT_TRUE(s.endOfFile);
}

TEST_F(FlicFiles, ReaderRefusesATooSmallImage) {
    FlicState s;
    FlicCreate(s, path("big.flc"), 10, 10, 10);
    Frame f(10, 10);
    FlicWriteFrame(s, f.img);
    FlicClose(s);
    FlicOpen(s, path("big.FLC"));
    Frame small(5, 5);
    FlicReadFrame(s, small.img);
    EXPECT_EQ(ErrCode, kErrMemory);
}

}  // namespace
}  // namespace movaltic

namespace movaltic {
namespace {

// ---- other programs read our files ----

bool HaveFfmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

std::vector<uint8_t> Rgb(const Frame& f) {
    std::vector<uint8_t> out;
    for (uint8_t i : f.bytes) out.insert(out.end(), f.img.palette + 3 * i, f.img.palette + 3 * i + 3);
    return out;
}

void FfmpegReadsOurFile(FlicFiles& t, int32_t w, int32_t h) {
    if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg command";
    FlicState s;
    FlicCreate(s, t.path("ours.flc"), w, 10, h);
    const std::string name = s.fileName;
    Frame f(w, h);
    FillPattern(f, 4);
    std::vector<std::vector<uint8_t>> want;
    std::mt19937 rng(3);
    for (int i = 0; i < 6; ++i) {
        for (int k = 0; k < 40; ++k) f.bytes[rng() % f.bytes.size()] = uint8_t(rng() % 9);
        if (i == 3) f.img.palette[3 * 2] ^= 0x44;
        FlicWriteFrame(s, f.img);
        Frame shown(w, h);
        shown.bytes = f.bytes;
        std::memcpy(shown.img.palette, f.img.palette, 768);
        if (w == 320 && h == 200)
            for (auto& c : shown.img.palette) c &= 0xFC;
        want.push_back(Rgb(shown));
    }
    FlicClose(s);
    std::string raw = t.path("ours.rgb");
    std::string cmd = "ffmpeg -v error -y -i '" + name + "' -f rawvideo -pix_fmt rgb24 '" + raw + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::vector<uint8_t> theirs = t.read(raw);
    const size_t frame = size_t(w) * h * 3;
    ASSERT_GE(theirs.size(), 6 * frame);
    // ffmpeg widens 64-level colours with their top bits (63 -> 255); we multiply by 4.
    const int tolerance = w == 320 && h == 200 ? 3 : 0;
    for (int i = 0; i < 6; ++i)
        for (size_t k = 0; k < frame; ++k)
            ASSERT_LE(std::abs(int(theirs[i * frame + k]) - int(want[i][k])), tolerance) << "frame " << i << " byte " << k;
}

TEST_F(FlicFiles, FfmpegDecodesOurFlcToOurFrames) { FfmpegReadsOurFile(*this, 64, 30); }
TEST_F(FlicFiles, FfmpegDecodesOurFliToOurFrames) { FfmpegReadsOurFile(*this, 320, 200); }

}  // namespace
}  // namespace movaltic
