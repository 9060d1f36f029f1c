#include <gtest/gtest.h>

#include "movaltic/formats/avi/avi_support.h"
#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/avi_riff.h"
#include "movaltic/imaging/threads.h"

namespace movaltic {
namespace {

using namespace avitest;

// ---- files the ffmpeg command wrote (tests/data/avi/make_fixtures.sh) ----

struct ForeignCase {
    const char* file;
    int32_t bytesPerPixel;
    int32_t bitsPerPixel;
    double meanTolerance;  // 0: the pixels must be exact
    int maxTolerance;
};

class ForeignAvi : public ::testing::TestWithParam<ForeignCase> {};

TEST_P(ForeignAvi, ReadsEveryFrameWithThePixelsFfmpegDecodes) {
    const ForeignCase& c = GetParam();
    AviState s;
    ErrCode = -1;
    AviOpen(s, Fixture(std::string(c.file) + ".avi"));
    ASSERT_EQ(ErrCode, -1) << "a successful open leaves ErrCode alone";
    EXPECT_EQ(s.width, 32);
    EXPECT_EQ(s.height, 24);
    EXPECT_EQ(s.frames, 5);
    EXPECT_DOUBLE_EQ(s.frameRate, 10.0);
    EXPECT_EQ(s.bytesPerPixel, c.bytesPerPixel);
    EXPECT_EQ(s.bitsPerPixel, c.bitsPerPixel);
    std::vector<uint8_t> want;
    ASSERT_TRUE(ReadWholeFile(Fixture(std::string(c.file) + ".rgb"), want));
    ASSERT_EQ(want.size(), 5u * 32 * 24 * 3);
    Picture p(32, 24, 3);
    for (int i = 0; i < 5; ++i) {
        AviReadFrame(s, p.img);
        ASSERT_EQ(ErrCode, -1) << "frame " << i;
        EXPECT_EQ(p.img.bytesPerPixel, c.bytesPerPixel);
        std::vector<uint8_t> frame(want.begin() + i * 32 * 24 * 3, want.begin() + (i + 1) * 32 * 24 * 3);
        auto got = ToRgb(p.img);
        if (c.meanTolerance == 0) {
            ASSERT_EQ(got, frame) << "frame " << i;
        } else {
            EXPECT_LE(MeanAbsDiff(got, frame), c.meanTolerance) << "frame " << i;
            EXPECT_LE(MaxAbsDiff(got, frame), c.maxTolerance) << "frame " << i;
        }
    }
    EXPECT_TRUE(s.videoEnded);
    AviClose(s);
}

INSTANTIATE_TEST_SUITE_P(
    FfmpegWrote, ForeignAvi,
    ::testing::Values(ForeignCase{"ff_bgr24", 3, 24, 0, 0}, ForeignCase{"ff_pal8", 1, 8, 0, 0},
                      ForeignCase{"ff_msvideo1", 2, 15, 0, 0}, ForeignCase{"ff_cinepak", 3, 24, 1.5, 40},
                      ForeignCase{"ff_mjpeg", 3, 24, 1.5, 40}, ForeignCase{"ff_mjpeg_sound", 3, 24, 1.5, 40},
                      ForeignCase{"ff_bgr24_sound", 3, 24, 0, 0}),
    [](const ::testing::TestParamInfo<ForeignCase>& i) { return std::string(i.param.file).substr(3); });

// ---- codecs that hold pictures back: MPEG-4 with B-frames ----

constexpr int32_t kBfW = 64, kBfH = 48, kBfFrames = 12;
constexpr size_t kBfBytes = size_t(kBfW) * kBfH * 3;

// ffmpeg's pictures of ff_mpeg4_bframes.avi, in display order.
std::vector<std::vector<uint8_t>> BFramePictures() {
    std::vector<uint8_t> all;
    EXPECT_TRUE(ReadWholeFile(Fixture("ff_mpeg4_bframes.rgb"), all));
    EXPECT_EQ(all.size(), kBfFrames * kBfBytes);
    std::vector<std::vector<uint8_t>> out;
    for (size_t at = 0; at + kBfBytes <= all.size(); at += kBfBytes)
        out.emplace_back(all.begin() + long(at), all.begin() + long(at + kBfBytes));
    return out;
}

// Reads every frame of file and checks each against the picture it should
// show: near it as the other lossy codecs are, and nearer to it than to
// the pictures before and after, which differ from it little.
void ExpectPictures(const std::string& file, const std::vector<int>& order) {
    const auto want = BFramePictures();
    ASSERT_EQ(want.size(), size_t(kBfFrames));
    AviState s;
    ErrCode = -1;
    AviOpen(s, file);
    ASSERT_EQ(ErrCode, -1);
    EXPECT_EQ(s.width, kBfW);
    EXPECT_EQ(s.height, kBfH);
    EXPECT_EQ(s.frames, int32_t(order.size()));
    EXPECT_EQ(s.bytesPerPixel, 3);
    Picture p(kBfW, kBfH, 3);
    for (size_t i = 0; i < order.size(); ++i) {
        ASSERT_FALSE(s.videoEnded) << "frame " << i;
        AviReadFrame(s, p.img);
        ASSERT_EQ(ErrCode, -1) << "frame " << i;
        const auto got = ToRgb(p.img);
        const int k = order[i];
        const double own = MeanAbsDiff(got, want[size_t(k)]);
        EXPECT_LE(own, 1.5) << "frame " << i;
        EXPECT_LE(MaxAbsDiff(got, want[size_t(k)]), 40) << "frame " << i;
        if (k > 0) {
            EXPECT_LT(own, MeanAbsDiff(got, want[size_t(k) - 1])) << "frame " << i;
        }
        if (k + 1 < kBfFrames) {
            EXPECT_LT(own, MeanAbsDiff(got, want[size_t(k) + 1])) << "frame " << i;
        }
    }
    EXPECT_TRUE(s.videoEnded);
    AviClose(s);
}

TEST(AviBFrames, EveryFrameComesInDisplayOrderWithItsOwnPicture) {
    std::vector<int> order(kBfFrames);
    for (int i = 0; i < kBfFrames; ++i) order[size_t(i)] = i;
    ExpectPictures(Fixture("ff_mpeg4_bframes.avi"), order);
}

class AviBFrameDrops : public TempDir {};

// The B-frame fixture written again with an empty (dropped) chunk after
// each chunk numbered in dropsAfter, with its index.
std::vector<uint8_t> WithDroppedFrames(const std::vector<size_t>& dropsAfter) {
    AviReader r;
    EXPECT_TRUE(r.Open(Fixture("ff_mpeg4_bframes.avi")));
    EXPECT_GE(r.videoStream, 0);
    const AviReader::Stream& v = r.streams[size_t(r.videoStream)];
    const uint32_t frames = uint32_t(v.chunks.size() + dropsAfter.size());
    std::vector<uint8_t> hdrl, movi, index;
    size_t h = BeginList(hdrl, FourCC("hdrl"));
    uint8_t b[56] = {};
    AviMainHeader m;
    m.streams = 1;
    m.totalFrames = frames;
    m.width = kBfW;
    m.height = kBfH;
    m.Store(b);
    AppendChunk(hdrl, FourCC("avih"), b, 56);
    size_t strl = BeginList(hdrl, FourCC("strl"));
    AviStreamHeader sh = v.header;
    sh.length = frames;
    sh.Store(b);
    AppendChunk(hdrl, FourCC("strh"), b, 56);
    AppendChunk(hdrl, FourCC("strf"), v.format.data(), v.format.size());
    EndList(hdrl, strl);
    EndList(hdrl, h);

    size_t list = BeginList(movi, FourCC("movi"));
    auto add = [&](const std::vector<uint8_t>& data, uint32_t flags) {
        uint8_t e[16];
        PutLE32(e, FourCC("00dc"));
        PutLE32(e + 4, flags);
        PutLE32(e + 8, uint32_t(movi.size() - (list + 8)));
        PutLE32(e + 12, uint32_t(data.size()));
        index.insert(index.end(), e, e + 16);
        AppendChunk(movi, FourCC("00dc"), data.data(), data.size());
    };
    std::vector<uint8_t> data;
    for (size_t i = 0; i < v.chunks.size(); ++i) {
        EXPECT_TRUE(r.Read(v.chunks[i], data));
        add(data, v.chunks[i].flags);
        if (std::find(dropsAfter.begin(), dropsAfter.end(), i) != dropsAfter.end()) add({}, 0);
    }
    EndList(movi, list);

    std::vector<uint8_t> f = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '};
    f.insert(f.end(), hdrl.begin(), hdrl.end());
    f.insert(f.end(), movi.begin(), movi.end());
    AppendChunk(f, FourCC("idx1"), index.data(), index.size());
    PutLE32(&f[4], uint32_t(f.size() - 8));
    return f;
}

TEST_F(AviBFrameDrops, ADroppedFrameRepeatsThePictureShownBeforeIt) {
    // Dropped after the sixth chunk and after the last, where the held-back
    // pictures have only just come out.
    WriteWholeFile(path("drops.avi"), WithDroppedFrames({5, kBfFrames - 1}));
    ExpectPictures(path("drops.avi"), {0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9, 10, 11, 11});
}

void ExpectSoundCopied(const std::string& avi, const std::string& pcm, uint32_t rate, uint16_t align) {
    AviState s;
    AviOpen(s, Fixture(avi));
    ASSERT_TRUE(s.hasSound);
    EXPECT_EQ(s.soundRate, rate);
    std::vector<uint8_t> want, got;
    ASSERT_TRUE(ReadWholeFile(Fixture(pcm), want));
    Picture p(32, 24, 3);
    AviSoundBlock block;
    for (int i = 0; i < 5; ++i) {
        AviReadFrame(s, p.img);
        AviReadSound(s, block);
        ASSERT_TRUE(block.valid());
        EXPECT_EQ(block.data.size() % align, 0u);
        got.insert(got.end(), block.data.begin(), block.data.end());
    }
    ASSERT_LE(got.size(), want.size());
    EXPECT_TRUE(std::equal(got.begin(), got.end(), want.begin()));
    EXPECT_EQ(GetLE16(&block.format[0]), 1);  // PCM
    EXPECT_EQ(FourCCText(GetLE32(&block.streamInfo[0])), "auds");
    AviClose(s);
}

TEST(AviSound, BlocksCarryTheSoundBytesInOrderIn16BitSamples) {
    ExpectSoundCopied("ff_mjpeg_sound.avi", "ff_mjpeg_sound.pcm", 8000, 2);
}

TEST(AviSound, BlocksCarryTheSoundBytesInOrderIn8BitSamples) {
    ExpectSoundCopied("ff_bgr24_sound.avi", "ff_bgr24_sound.pcm", 8000, 1);
}

TEST(AviSound, AMovieWithoutSoundHasNoSoundStreamAndReadsNoBlock) {
    AviState s;
    AviOpen(s, Fixture("ff_bgr24.avi"));
    EXPECT_FALSE(s.hasSound);
    AviSoundBlock block;
    AviReadSound(s, block);
    EXPECT_FALSE(block.valid());
    EXPECT_TRUE(block.data.empty());
}

// ---- index, scan and odd layouts ----

class AviLayout : public TempDir {};

TEST_F(AviLayout, AFileWithoutIndexIsReadByScanningMovi) {
    std::vector<uint8_t> f;
    ASSERT_TRUE(ReadWholeFile(Fixture("ff_bgr24.avi"), f));
    size_t idx = FindChunk(f, "idx1");
    ASSERT_GT(idx, 8u);
    f.resize(idx - 8);
    WriteWholeFile(path("noindex.avi"), f);
    std::vector<uint8_t> want;
    ReadWholeFile(Fixture("ff_bgr24.rgb"), want);
    AviState s;
    AviOpen(s, path("noindex.avi"));
    ASSERT_EQ(s.frames, 5);
    Picture p(32, 24, 3);
    for (int i = 0; i < 5; ++i) {
        AviReadFrame(s, p.img);
        ASSERT_EQ(ToRgb(p.img), std::vector<uint8_t>(want.begin() + i * 2304, want.begin() + (i + 1) * 2304));
    }
}

TEST_F(AviLayout, AFileCutInsideMoviKeepsTheWholeFramesBeforeTheCut) {
    std::vector<uint8_t> f;
    ReadWholeFile(Fixture("ff_bgr24.avi"), f);
    size_t movi = FindChunk(f, "00dc");
    ASSERT_GT(movi, 0u);
    f.resize(movi + 2 * (2304 + 8) + 100);  // two frames and a piece of the third
    WriteWholeFile(path("cut.avi"), f);
    AviState s;
    ErrCode = 0;
    AviOpen(s, path("cut.avi"));
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(s.frames, 2);
}

// Without an index, the chunks past the movi list's given size are its
// streams' chunks that a killed writer had not counted yet: read up to the
// first chunk of anything else but JUNK.
TEST_F(AviLayout, WithoutIndexTheFramesPastTheMoviSizeAreReadUpToOtherChunks) {
    std::vector<uint8_t> f;
    ASSERT_TRUE(ReadWholeFile(Fixture("ff_bgr24.avi"), f));
    f.resize(FindChunk(f, "idx1") - 8);
    const size_t first = FindChunk(f, "00dc") - 8, frame = 2304 + 8;
    PutLE32(&f[first - 8], uint32_t(4 + 2 * frame));  // the movi list holds two of the five frames
    const std::pair<const char*, int> cases[] = {{"LIST", 3}, {"idx1", 3}, {"JUNK", 5}};
    for (const auto& [other, frames] : cases) {  // other: a chunk after the third frame
        SCOPED_TRACE(other);
        const std::string chunk = other + std::string("\4\0\0\0INFO", 8);
        std::vector<uint8_t> v = f;
        v.insert(v.begin() + ptrdiff_t(first + 3 * frame), chunk.begin(), chunk.end());
        WriteWholeFile(path("past.avi"), v);
        AviState s;
        ErrCode = 0;
        AviOpen(s, path("past.avi"));
        EXPECT_EQ(ErrCode, 0);
        EXPECT_EQ(s.frames, frames);
    }
}

// A hand-made 2 x 2 8-bit AVI: frames in 'rec ' lists, a palette change and
// a dropped (empty) frame.
std::vector<uint8_t> HandMadeAvi(bool withIndex) {
    std::vector<uint8_t> hdrl, movi, index;
    size_t h = BeginList(hdrl, FourCC("hdrl"));
    uint8_t b[56] = {};
    AviMainHeader m;
    m.streams = 1;
    m.Store(b);
    AppendChunk(hdrl, FourCC("avih"), b, 56);
    size_t strl = BeginList(hdrl, FourCC("strl"));
    AviStreamHeader sh;
    sh.type = FourCC("vids");
    sh.scale = 1;
    sh.rate = 5;
    sh.length = 3;
    sh.Store(b);
    AppendChunk(hdrl, FourCC("strh"), b, 56);
    std::vector<uint8_t> strf(40 + 1024, 0);
    PutLE32(&strf[0], 40);
    PutLE32(&strf[4], 2);
    PutLE32(&strf[8], 2);
    PutLE16(&strf[12], 1);
    PutLE16(&strf[14], 8);
    for (int i = 0; i < 256; ++i) strf[40 + 4 * i + 2] = uint8_t(i);  // red ramp (B, G, R, 0)
    AppendChunk(hdrl, FourCC("strf"), strf.data(), strf.size());
    EndList(hdrl, strl);
    EndList(hdrl, h);

    size_t list = BeginList(movi, FourCC("movi"));
    auto add = [&](const char* id, std::vector<uint8_t> data, bool inRec) {
        size_t rec = inRec ? BeginList(movi, FourCC("rec ")) : 0;
        uint8_t e[16];
        PutLE32(e, GetLE32(reinterpret_cast<const uint8_t*>(id)));
        PutLE32(e + 4, kAviKeyFrame);
        PutLE32(e + 8, uint32_t(movi.size() - (list + 8)));
        PutLE32(e + 12, uint32_t(data.size()));
        index.insert(index.end(), e, e + 16);
        AppendChunk(movi, GetLE32(e), data.data(), data.size());
        if (inRec) EndList(movi, rec);
    };
    add("00db", {1, 2, 0, 0, 3, 4, 0, 0}, true);  // rows padded to 4 bytes
    add("00db", {}, true);                        // dropped
    std::vector<uint8_t> pc = {3, 1, 0, 0, 10, 20, 30, 0};
    add("00pc", pc, false);
    add("00db", {3, 3, 0, 0, 3, 3, 0, 0}, true);
    EndList(movi, list);

    std::vector<uint8_t> f = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '};
    f.insert(f.end(), hdrl.begin(), hdrl.end());
    f.insert(f.end(), movi.begin(), movi.end());
    if (withIndex) AppendChunk(f, FourCC("idx1"), index.data(), index.size());
    PutLE32(&f[4], uint32_t(f.size() - 8));
    return f;
}

void ExpectHandMadeFrames(const std::string& file) {
    AviState s;
    ErrCode = 0;
    AviOpen(s, file);
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(s.frames, 3);
    EXPECT_DOUBLE_EQ(s.frameRate, 5.0);
    Picture p(2, 2, 1);
    AviReadFrame(s, p.img);
    EXPECT_EQ(p.img.topDown, 0);
    EXPECT_EQ(p.buf, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(p.img.palette[3 * 4], 4);
    AviReadFrame(s, p.img);  // dropped: the same picture again
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(p.buf, (std::vector<uint8_t>{1, 2, 3, 4}));
    AviReadFrame(s, p.img);
    EXPECT_EQ(p.buf, (std::vector<uint8_t>{3, 3, 3, 3}));
    EXPECT_EQ(p.img.palette[9], 10);  // entry 3 changed
    EXPECT_EQ(p.img.palette[10], 20);
    EXPECT_EQ(p.img.palette[11], 30);
    EXPECT_EQ(p.img.palette[12], 4);  // entry 4 as before
    EXPECT_TRUE(s.videoEnded);
}

TEST_F(AviLayout, RecListsPaletteChangesAndDroppedFramesAreReadThroughTheIndex) {
    WriteWholeFile(path("hand.avi"), HandMadeAvi(true));
    ExpectHandMadeFrames(path("hand.avi"));
}

TEST_F(AviLayout, RecListsPaletteChangesAndDroppedFramesAreReadByAScan) {
    WriteWholeFile(path("hand.avi"), HandMadeAvi(false));
    ExpectHandMadeFrames(path("hand.avi"));
}

TEST_F(AviLayout, IndexOffsetsFromTheFileStartAreAcceptedToo) {
    auto f = HandMadeAvi(true);
    size_t idx = FindChunk(f, "idx1");
    size_t moviFcc = 0;  // the 'movi' fourcc: every offset is made absolute
    for (size_t i = 12; i + 4 <= f.size(); ++i)
        if (std::memcmp(&f[i], "movi", 4) == 0) {
            moviFcc = i;
            break;
        }
    ASSERT_GT(moviFcc, 0u);
    for (size_t e = idx; e + 16 <= f.size(); e += 16) PutLE32(&f[e + 8], uint32_t(GetLE32(&f[e + 8]) + moviFcc));
    WriteWholeFile(path("abs.avi"), f);
    ExpectHandMadeFrames(path("abs.avi"));
}

// ---- bad input ----

TEST_F(AviLayout, FilesThatAreNoAviGive1000) {
    AviState s;
    ErrCode = 0;
    AviOpen(s, path("missing.avi"));
    EXPECT_EQ(ErrCode, kErrMemory);
    WriteWholeFile(path("text.avi"), std::vector<uint8_t>(200, 'x'));
    ErrCode = 0;
    AviOpen(s, path("text.avi"));
    EXPECT_EQ(ErrCode, kErrMemory);
    std::vector<uint8_t> f;
    ReadWholeFile(Fixture("ff_bgr24.avi"), f);
    f.resize(100);
    WriteWholeFile(path("head.avi"), f);
    ErrCode = 0;
    AviOpen(s, path("head.avi"));
    EXPECT_EQ(ErrCode, kErrMemory);
}

TEST_F(AviLayout, AnOversizedPictureIsRefused) {
    auto f = HandMadeAvi(true);
    size_t strf = FindChunk(f, "strf");
    PutLE32(&f[strf + 4], 1u << 30);
    WriteWholeFile(path("huge.avi"), f);
    AviState s;
    ErrCode = 0;
    AviOpen(s, path("huge.avi"));
    EXPECT_EQ(ErrCode, kErrMemory);
}

TEST_F(AviLayout, AFrameShorterThanItsPictureGives1000) {
    auto f = HandMadeAvi(true);
    size_t strf = FindChunk(f, "strf");
    PutLE32(&f[strf + 8], 20);  // 20 rows, but the chunks hold 2
    WriteWholeFile(path("short.avi"), f);
    AviState s;
    ErrCode = 0;
    AviOpen(s, path("short.avi"));
    ASSERT_EQ(ErrCode, 0);
    Picture p(2, 20, 1);
    AviReadFrame(s, p.img);
    EXPECT_EQ(ErrCode, kErrMemory);
}

TEST(AviReading, ATooSmallImageGives1000AndKeepsItsPixels) {
    AviState s;
    AviOpen(s, Fixture("ff_bgr24.avi"));
    Picture p(32, 23, 3);
    ErrCode = 0;
    AviReadFrame(s, p.img);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(p.buf, std::vector<uint8_t>(p.buf.size(), 0));
}

TEST(AviReading, ReadingPastTheLastFrameDoesNothing) {
    AviState s;
    AviOpen(s, Fixture("ff_pal8.avi"));
    Picture p(32, 24, 1);
    for (int i = 0; i < 5; ++i) AviReadFrame(s, p.img);
    std::fill(p.buf.begin(), p.buf.end(), 77);
    ErrCode = 0;
    AviReadFrame(s, p.img);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(p.buf, std::vector<uint8_t>(p.buf.size(), 77));
}

// ---- a damaged Motion JPEG frame ----

// The error and picture of every read until the reader reports the end.
std::vector<std::pair<int32_t, std::vector<uint8_t>>> ReadAll(const std::string& file, bool oneThread) {
    RefuseNewThreads(oneThread);
    AviState s;
    AviOpen(s, file);
    Picture p(640, 480, 3);
    std::vector<std::pair<int32_t, std::vector<uint8_t>>> reads;
    while (!s.videoEnded && reads.size() < 24) {
        ErrCode = 0;
        AviReadFrame(s, p.img);
        reads.emplace_back(ErrCode, ToRgb(p.img));
    }
    AviClose(s);
    RefuseNewThreads(false);
    return reads;
}

// Where a frame's scan ends early, the rows it lacks show what the stream's
// one decoder held: the frame before. The reader gives exactly that on any
// threads, for two frames in a row damaged at the start (the first is read
// alone) and in the middle of the movie.
class DamagedMotionJpeg : public TempDir {};

TEST_F(DamagedMotionJpeg, EveryReadGivesWhatOneDecoderGivesInOrder) {
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string file = path("camera.avi");
    const std::string cmd = "ffmpeg -v error -y -f lavfi -i testsrc2=size=640x480:rate=25 -frames:v 12 -c:v mjpeg "
                            "-q:v 3 -pix_fmt yuvj420p '" + file + "'";
    for (size_t damaged : {0, 6}) {
        SCOPED_TRACE(damaged);
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        ASSERT_TRUE(CutVideoScan(file, damaged, 0.4) && CutVideoScan(file, damaged + 1, 0.15));
        const auto one = ReadAll(file, true);
        ASSERT_EQ(one.size(), 12u);
        for (int run = 0; run < 3; ++run) EXPECT_TRUE(ReadAll(file, false) == one) << "run " << run;
    }
}

// ---- RLE8 ----

TEST(Rle8, KeyFramesCodeRunsLiteralsAndRowEnds) {
    const uint8_t pic[] = {7, 7, 7, 7, 1, 2, 3, 9,  // bottom row
                           5, 5, 5, 5, 5, 5, 5, 5};
    auto code = Rle8Encode(pic, nullptr, 8, 2);
    EXPECT_EQ(code, (std::vector<uint8_t>{4, 7, 0, 4, 1, 2, 3, 9, 0, 0, 8, 5, 0, 1}));
    std::vector<uint8_t> out(16, 0);
    Rle8Decode(code.data(), code.size(), out.data(), 8, 2);
    EXPECT_EQ(out, std::vector<uint8_t>(pic, pic + 16));
}

TEST(Rle8, DeltaFramesSkipUnchangedPixelsWithEscapes) {
    std::vector<uint8_t> prev(8 * 3, 1), cur = prev;
    cur[2 * 8 + 6] = 4;  // top row, x 6
    auto code = Rle8Encode(cur.data(), prev.data(), 8, 3);
    EXPECT_EQ(code, (std::vector<uint8_t>{0, 2, 6, 2, 1, 4, 1, 1, 0, 1}));
    std::vector<uint8_t> out = prev;
    Rle8Decode(code.data(), code.size(), out.data(), 8, 3);
    EXPECT_EQ(out, cur);
}

TEST(Rle8, HostileCodesStayInsideThePicture) {
    std::vector<uint8_t> pic(4 * 2 + 8, 0xAA);
    const uint8_t code[] = {200, 1, 0, 2, 250, 250, 0, 255, 1, 2, 3};
    Rle8Decode(code, sizeof code, pic.data(), 4, 2);
    EXPECT_EQ(std::vector<uint8_t>(pic.begin() + 8, pic.end()), std::vector<uint8_t>(8, 0xAA));
    EXPECT_EQ(pic[3], 1);
}

}  // namespace
}  // namespace movaltic
