#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <random>

#include "movaltic/formats/avi/avi_support.h"
#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/avi_riff.h"

namespace movaltic {
namespace {

using namespace avitest;

size_t IndexOf(const char* name) {
    const auto& list = AviCompressorList();
    for (size_t i = 0; i < list.size(); ++i)
        if (std::string(list[i].name) == name) return i;
    ADD_FAILURE() << "no compressor " << name;
    return 0;
}

void Choose(const char* name, int32_t keyEvery = 15, int32_t quality = 7500) {
    AviCompressionSettings s;
    s.compressor = IndexOf(name);
    s.keyFrameEvery = keyEvery;
    s.quality = quality;
    AviSetCompressor(s, 0, 0, 3);
}

// Colours that move from frame to frame, so that coders find both runs and
// changes; rough pictures for lossless coders, smooth ones for lossy coders.
void Paint(Picture& p, int frame, bool smooth = false) {
    imagerec& img = p.img;
    for (int32_t y = 0; y < img.height; ++y)
        for (int32_t x = 0; x < img.width; ++x) {
            uint8_t* px = img.pixels + (size_t(y) * img.width + x) * img.bytesPerPixel;
            const int r = smooth ? 40 + x * 3 + frame * 2 : (x * 5 + y * 3 + frame * 7) & 0xFF;
            const int g = smooth ? 200 - y * 4 - frame : 255 - r;
            const int b = smooth ? 100 + (x + y) * 2 : (x * 11 + frame * 13) & 0xFF;
            if (img.bytesPerPixel == 1) {
                px[0] = uint8_t(smooth ? (x + y) / 2 + frame : (x / 3 + y / 2 + frame) % 40);
            } else if (img.bytesPerPixel == 3) {
                px[0] = uint8_t(b);
                px[1] = uint8_t(g);
                px[2] = uint8_t(r);
            } else if (img.bitsPerPixel == 15) {
                PutLE16(px, uint16_t(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)));
            } else {
                PutLE16(px, uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)));
            }
        }
    for (int i = 0; i < 256; ++i) {
        img.palette[3 * i] = uint8_t(smooth ? i * 2 : i * 6);
        img.palette[3 * i + 1] = uint8_t(smooth ? 100 + i / 2 : i * 3);
        img.palette[3 * i + 2] = uint8_t(255 - i);
    }
}

class AviWrite : public TempDir {
protected:
    void TearDown() override {
        Choose("Full Frames (Uncompressed)");
        TempDir::TearDown();
    }
    std::vector<uint8_t> bytes(const std::string& name) {
        std::vector<uint8_t> f;
        EXPECT_TRUE(ReadWholeFile(path(name), f));
        return f;
    }
};

// ---- headers ----

TEST_F(AviWrite, StreamHeaderHoldsRateScaleHandlerAndTheCroppedSize) {
    AviState s;
    AviCreate(s, path("h.avi"), 15);
    ASSERT_TRUE(s.writing);
    Picture p(322, 241, 3);
    Paint(p, 0);
    ErrCode = 0;
    AviWriteFrame(s, p.img);
    AviWriteFrame(s, p.img);
    AviClose(s);
    ASSERT_EQ(ErrCode, 0);
    auto f = bytes("h.avi");
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "RIFF");
    EXPECT_EQ(GetLE32(&f[4]), f.size() - 8);
    EXPECT_EQ(std::string(f.begin() + 8, f.begin() + 12), "AVI ");
    size_t avih = FindChunk(f, "avih");
    ASSERT_GT(avih, 0u);
    EXPECT_EQ(GetLE32(&f[avih]), 66667u);      // microseconds per frame
    EXPECT_EQ(GetLE32(&f[avih + 12]), 0x10u);  // has an index
    EXPECT_EQ(GetLE32(&f[avih + 16]), 2u);
    EXPECT_EQ(GetLE32(&f[avih + 24]), 1u);
    EXPECT_EQ(GetLE32(&f[avih + 32]), 320u);
    EXPECT_EQ(GetLE32(&f[avih + 36]), 240u);
    size_t strh = FindChunk(f, "strh");
    ASSERT_GT(strh, 0u);
    EXPECT_EQ(GetLE32(&f[strh - 4]), 56u);
    EXPECT_EQ(std::string(f.begin() + strh, f.begin() + strh + 8), "vidsDIB ");
    EXPECT_EQ(GetLE32(&f[strh + 20]), 66667u);    // scale = Round(1e6 / 15)
    EXPECT_EQ(GetLE32(&f[strh + 24]), 1000000u);  // rate
    EXPECT_EQ(GetLE32(&f[strh + 32]), 2u);        // length
    EXPECT_EQ(GetLE32(&f[strh + 36]), 320u * 240 * 3);
    EXPECT_EQ(GetLE32(&f[strh + 40]), 0u);        // quality, uncompressed
    EXPECT_EQ(GetLE16(&f[strh + 52]), 320);       // frame rectangle right
    EXPECT_EQ(GetLE16(&f[strh + 54]), 240);       // and bottom
    size_t strf = FindChunk(f, "strf");
    EXPECT_EQ(GetLE32(&f[strf - 4]), 40u);
    EXPECT_EQ(GetLE32(&f[strf]), 40u);
    EXPECT_EQ(GetLE32(&f[strf + 4]), 320u);
    EXPECT_EQ(GetLE32(&f[strf + 8]), 240u);
    EXPECT_EQ(GetLE16(&f[strf + 12]), 1);
    EXPECT_EQ(GetLE16(&f[strf + 14]), 24);
    EXPECT_EQ(GetLE32(&f[strf + 16]), 0u);
    EXPECT_EQ(GetLE32(&f[strf + 20]), 320u * 240 * 3);
    size_t idx = FindChunk(f, "idx1");
    ASSERT_GT(idx, 0u);
    EXPECT_EQ(GetLE32(&f[idx - 4]), 32u);
    EXPECT_EQ(std::string(f.begin() + idx, f.begin() + idx + 4), "00db");
    EXPECT_EQ(GetLE32(&f[idx + 4]), 0x10u);
    EXPECT_EQ(GetLE32(&f[idx + 8]), 4u);  // first chunk right after the 'movi' fourcc
    EXPECT_EQ(GetLE32(&f[idx + 12]), 320u * 240 * 3);
}

TEST(AviScale, FrameRatesGiveRoundedScalesAndZeroNeverDivides) {
    EXPECT_EQ(AviScaleFor(15), 66667u);
    EXPECT_EQ(AviScaleFor(25), 40000u);
    EXPECT_EQ(AviScaleFor(29.97), 33367u);
    EXPECT_EQ(AviScaleFor(0), 1000000u);
    EXPECT_EQ(AviScaleFor(-1), 1000000u);
    EXPECT_EQ(AviScaleFor(1e9), 1u);
}

TEST_F(AviWrite, A322By241FrameIsWrittenAsA320By240StreamFromItsFirstRows) {
    AviState s;
    AviCreate(s, path("crop.avi"), 10);
    Picture p(322, 241, 3);
    Paint(p, 3);
    AviWriteFrame(s, p.img);
    AviClose(s);
    AviOpen(s, path("crop.avi"));
    EXPECT_EQ(s.width, 320);
    EXPECT_EQ(s.height, 240);
    Picture out(320, 240, 3);
    AviReadFrame(s, out.img);
    // Top-down input: its first 240 rows, cut to 320 pixels.
    auto got = ToRgb(out.img);
    auto all = ToRgb(p.img);
    for (int y = 0; y < 240; ++y)
        ASSERT_TRUE(std::equal(got.begin() + y * 960, got.begin() + (y + 1) * 960, all.begin() + y * 966)) << y;
}

// ---- round trips ----

struct Trip {
    const char* compressor;
    int32_t bytes, bits;
    int32_t width, height;
    int32_t keyEvery;
    bool exact;
    bool keysExact = true;  // Video 1 and Cinepak place their key frames themselves
};

class AviRoundTrip : public AviWrite, public ::testing::WithParamInterface<Trip> {};

TEST_P(AviRoundTrip, FramesComeBackAsTheyWereWritten) {
    const Trip& t = GetParam();
    Choose(t.compressor, t.keyEvery, 9000);
    AviState s;
    AviCreate(s, path("rt.avi"), 12);
    const int frames = 9;
    const int32_t sw = t.width / 4 * 4, sh = t.height / 4 * 4;
    std::vector<std::vector<uint8_t>> written;
    Picture p(t.width, t.height, t.bytes, t.bits);
    p.img.topDown = 0;
    for (int i = 0; i < frames; ++i) {
        Paint(p, i, !t.exact);
        if (t.bytes == 1 && i % 4 == 3) p.img.palette[3 * 5] ^= 0x80;  // a palette of its own
        ErrCode = 0;
        AviWriteFrame(s, p.img);
        ASSERT_EQ(ErrCode, 0) << "frame " << i;
        // What the stream should hold: bottom-up input, its first sh rows.
        Picture crop(sw, sh, t.bytes, t.bits);
        crop.img.topDown = 0;
        for (int32_t y = 0; y < sh; ++y)
            std::memcpy(&crop.buf[size_t(y) * sw * t.bytes], &p.buf[size_t(y) * t.width * t.bytes], size_t(sw) * t.bytes);
        std::memcpy(crop.img.palette, p.img.palette, 768);
        written.push_back(ToRgb(crop.img));
    }
    AviClose(s);
    ASSERT_EQ(ErrCode, 0);

    AviOpen(s, path("rt.avi"));
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(s.frames, frames);
    EXPECT_EQ(s.width, sw);
    EXPECT_EQ(s.height, sh);
    EXPECT_NEAR(s.frameRate, 12.0, 1e-3);
    Picture out(sw, sh, 3);
    for (int i = 0; i < frames; ++i) {
        AviReadFrame(s, out.img);
        ASSERT_EQ(ErrCode, 0) << "frame " << i;
        auto got = ToRgb(out.img);
        if (t.exact) {
            ASSERT_EQ(got, written[i]) << "frame " << i;
        } else {
            EXPECT_LE(MeanAbsDiff(got, written[i]), 12.0) << "frame " << i;
        }
    }
    AviClose(s);

    // Key frames where the interval puts them.
    if (t.keyEvery > 0 && t.keysExact) {
        auto f = bytes("rt.avi");
        size_t idx = FindChunk(f, "idx1");
        int frame = 0;
        for (size_t e = idx; e + 16 <= f.size(); e += 16) {
            if (std::memcmp(&f[e + 2], "pc", 2) == 0) continue;
            bool key = GetLE32(&f[e + 4]) & 0x10;
            EXPECT_EQ(key, frame % t.keyEvery == 0) << "frame " << frame;
            ++frame;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Compressors, AviRoundTrip,
    ::testing::Values(Trip{"Full Frames (Uncompressed)", 3, 24, 37, 23, 0, true},
                      Trip{"Full Frames (Uncompressed)", 1, 8, 37, 23, 0, true},
                      Trip{"Full Frames (Uncompressed)", 2, 15, 33, 19, 0, true},
                      Trip{"Full Frames (Uncompressed)", 2, 16, 33, 19, 0, false},
                      Trip{"RLE8 (Run-Length Encoding)", 1, 8, 41, 17, 4, true},
                      Trip{"RLE8 (Run-Length Encoding)", 1, 8, 40, 16, 0, true},
                      Trip{"FFV1 (lossless)", 3, 24, 37, 23, 4, true},
                      Trip{"FFV1 (lossless)", 1, 8, 36, 20, 3, true},
                      Trip{"HuffYUV (lossless)", 3, 24, 37, 23, 0, true},
                      Trip{"ZMBV (Zip Motion Blocks Video)", 1, 8, 37, 23, 3, true},
                      Trip{"ZMBV (Zip Motion Blocks Video)", 3, 24, 37, 23, 5, true},
                      Trip{"ZMBV (Zip Motion Blocks Video)", 2, 15, 37, 23, 5, true},
                      Trip{"Microsoft Video 1", 3, 24, 37, 23, 4, false, false},
                      Trip{"Microsoft Video 1", 2, 15, 36, 24, 4, false, false},
                      Trip{"Cinepak", 3, 24, 37, 23, 4, false, false},
                      Trip{"Motion JPEG", 3, 24, 37, 23, 0, false},
                      Trip{"Motion JPEG", 1, 8, 37, 23, 0, false},
                      Trip{"Motion JPEG", 3, 24, 640, 480, 0, false},  // converted on two threads
                      Trip{"MPEG-4", 3, 24, 40, 24, 4, false}),
    [](const ::testing::TestParamInfo<Trip>& i) {
        std::string n = std::string(i.param.compressor).substr(0, 5) + "_" + std::to_string(i.param.bits) + "bit_" +
                        std::to_string(i.index);
        for (char& c : n)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return n;
    });

TEST_F(AviWrite, A16BitFrameIsWrittenAs555) {
    AviState s;
    AviCreate(s, path("555.avi"), 10);
    Picture p(4, 4, 2, 16);
    for (int i = 0; i < 16; ++i) PutLE16(&p.buf[2 * i], 0xFFFF);  // white in 5-6-5
    PutLE16(&p.buf[0], 0x07E0);                                   // full green in 5-6-5
    AviWriteFrame(s, p.img);
    AviClose(s);
    auto f = bytes("555.avi");
    size_t strf = FindChunk(f, "strf");
    EXPECT_EQ(GetLE16(&f[strf + 14]), 16);
    EXPECT_EQ(GetLE32(&f[strf + 16]), 0u);
    size_t data = FindChunk(f, "00db");
    ASSERT_GT(data, 0u);
    // Top-down input: its first row is the stream's last.
    EXPECT_EQ(GetLE16(&f[data + 3 * 8]), 0x03E0);
    EXPECT_EQ(GetLE16(&f[data]), 0x7FFF);
}

TEST_F(AviWrite, EveryChangedPaletteIsWrittenAsAPaletteChange) {
    AviState s;
    AviCreate(s, path("pc.avi"), 10);
    Picture p(8, 4, 1);
    Paint(p, 0);
    AviWriteFrame(s, p.img);
    AviWriteFrame(s, p.img);  // same palette: no change
    p.img.palette[3 * 7 + 1] = 0x42;
    AviWriteFrame(s, p.img);
    AviClose(s);
    auto f = bytes("pc.avi");
    size_t strh = FindChunk(f, "strh");
    EXPECT_EQ(GetLE32(&f[strh + 8]), 0x10000u);
    size_t pc = FindChunk(f, "00pc");
    ASSERT_GT(pc, 0u);
    EXPECT_EQ(GetLE32(&f[pc - 4]), 4u + 1024);
    EXPECT_EQ(f[pc], 0);
    EXPECT_EQ(f[pc + 1], 0);  // 0: all 256 entries
    EXPECT_EQ(f[pc + 4 + 4 * 7 + 1], 0x42);
    EXPECT_EQ(FindChunk(f, "00pc", pc + GetLE32(&f[pc - 4])), 0u) << "only one change";
    AviOpen(s, path("pc.avi"));
    Picture out(8, 4, 1);
    AviReadFrame(s, out.img);
    EXPECT_EQ(out.img.palette[3 * 7 + 1], 3 * 7);
    AviReadFrame(s, out.img);
    AviReadFrame(s, out.img);
    EXPECT_EQ(out.img.palette[3 * 7 + 1], 0x42);
}

// ---- sound ----

TEST_F(AviWrite, SoundIsCopiedBlockByBlockWithItsWholeFormat) {
    AviState in, out;
    AviOpen(in, Fixture("ff_bgr24_sound.avi"));
    AviCreate(out, path("snd.avi"), in.frameRate);
    Picture p(32, 24, 3);
    AviSoundBlock block;
    std::vector<uint8_t> copied;
    for (int i = 0; i < in.frames; ++i) {
        AviReadFrame(in, p.img);
        AviReadSound(in, block);
        AviWriteFrame(out, p.img);
        AviWriteSound(out, block);
        copied.insert(copied.end(), block.data.begin(), block.data.end());
    }
    ErrCode = 0;
    AviClose(out);
    ASSERT_EQ(ErrCode, 0);
    AviOpen(out, path("snd.avi"));
    ASSERT_TRUE(out.hasSound);
    EXPECT_EQ(out.soundRate, in.soundRate);
    AviSoundBlock again;
    std::vector<uint8_t> read;
    for (int i = 0; i < out.frames; ++i) {
        AviReadFrame(out, p.img);
        AviReadSound(out, again);
        read.insert(read.end(), again.data.begin(), again.data.end());
    }
    EXPECT_EQ(again.format, block.format);
    EXPECT_EQ(read, copied);
    auto f = bytes("snd.avi");
    EXPECT_EQ(GetLE32(&f[FindChunk(f, "avih") + 12]), 0x110u);  // index, interleaved
}

TEST_F(AviWrite, NoSoundBlockGivesNoSoundStream) {
    AviState s;
    AviCreate(s, path("quiet.avi"), 10);
    Picture p(8, 8, 3);
    AviWriteFrame(s, p.img);
    AviSoundBlock none;
    AviWriteSound(s, none);
    AviClose(s);
    AviOpen(s, path("quiet.avi"));
    EXPECT_FALSE(s.hasSound);
}

// ---- failures ----

TEST_F(AviWrite, AFrameNarrowerThanFourPixelsCannotMakeAStream) {
    AviState s;
    AviCreate(s, path("thin.avi"), 10);
    Picture p(3, 8, 3);
    ErrCode = 0;
    AviWriteFrame(s, p.img);
    EXPECT_EQ(ErrCode, kErrAviStream);
}

TEST_F(AviWrite, Rle8RefusesAFrameOfMoreThan8Bits) {
    Choose("RLE8 (Run-Length Encoding)");
    AviState s;
    AviCreate(s, path("rle24.avi"), 10);
    Picture p(8, 8, 3);
    ErrCode = 0;
    AviWriteFrame(s, p.img);
    EXPECT_EQ(ErrCode, kErrAviCompressStart);
}

TEST_F(AviWrite, CreatingInAMissingFolderGives1000) {
    AviState s;
    ErrCode = 0;
    AviCreate(s, path("no/dir/x.avi"), 10);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_FALSE(s.writing);
}

TEST_F(AviWrite, AnExistingFileIsReplacedButADeviceIsNot) {
    WriteWholeFile(path("old.avi"), std::vector<uint8_t>(50000, 1));
    AviState s;
    ErrCode = 0;
    AviCreate(s, path("old.avi"), 10);
    EXPECT_EQ(ErrCode, 0);
    AviClose(s);
    EXPECT_LT(fs::file_size(path("old.avi")), 50000u);
    if (fs::exists("/dev/null")) {
        AviCreate(s, "/dev/null", 10);
        EXPECT_EQ(ErrCode, kErrMemory);
        EXPECT_TRUE(fs::exists("/dev/null"));
    }
}

TEST(AviWriterFile, AFailingHeaderOrIndexWriteIsReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    AviWriter w;
    ASSERT_TRUE(w.Create("/dev/full"));
    w.WriteChunk(FourCC("00db"), "abcd", 4, kAviKeyFrame);
    std::vector<uint8_t> hdrl;
    size_t at = BeginList(hdrl, FourCC("hdrl"));
    EndList(hdrl, at);
    EXPECT_FALSE(w.Finish(hdrl));
}

// ---- a writer killed part-way ----

int gWrites = 0, gKillAt = 0;  // gKillAt 0: count only

void CountOrKill() {
    if (++gWrites == gKillAt) std::raise(SIGKILL);
}

// Killed at each of its writes in turn, a job leaves a file whose head counts
// the frames its movi list holds and whose every whole frame is read.
TEST_F(AviWrite, AWriterKilledAtAnyWriteLeavesEveryWholeFrameReadable) {
    const auto writeMovie = [&](int killAt) {
        gWrites = 0;
        gKillAt = killAt;
        AviWriter::SetWriteHookForTests(CountOrKill);
        AviState in, out;
        AviOpen(in, Fixture("ff_bgr24_sound.avi"));
        AviCreate(out, path("k.avi"), in.frameRate);
        Picture p(32, 24, 3);
        AviSoundBlock block;
        for (int i = 0; i < in.frames; ++i) {
            AviReadFrame(in, p.img);
            AviReadSound(in, block);
            AviWriteFrame(out, p.img);
            AviWriteSound(out, block);
        }
        AviClose(out);
        AviWriter::SetWriteHookForTests(nullptr);
        return gWrites;
    };
    const int writes = writeMovie(0);
    ASSERT_GT(writes, 10);
    for (int k = 1; k <= writes; ++k) {
        SCOPED_TRACE("killed at write " + std::to_string(k));
        fs::remove(path("k.avi"));
        const pid_t child = fork();
        if (child == 0) _exit(writeMovie(k));
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        const std::vector<uint8_t> f = bytes("k.avi");
        if (f.empty()) continue;  // killed before anything reached the file
        AviReader r;
        ASSERT_TRUE(r.Open(path("k.avi")));
        const char kMovi[] = "movi";
        const size_t movi = size_t(std::search(f.begin(), f.end(), kMovi, kMovi + 4) - f.begin());
        uint32_t listed = 0;  // the frames inside the movi list's size
        for (const AviChunk& c : r.streams[0].chunks) listed += c.offset + c.size <= movi + GetLE32(&f[movi - 4]);
        EXPECT_EQ(GetLE32(&f[FindChunk(f, "avih") + 16]), listed);
        AviState s;
        ErrCode = 0;
        AviOpen(s, path("k.avi"));
        Picture p(32, 24, 3);
        for (int i = 0; i < s.frames && ErrCode == 0; ++i) AviReadFrame(s, p.img);
        EXPECT_EQ(ErrCode, 0);
    }
}

// ---- the compressor list and choice ----

TEST(AviCompressors, TheListOffersUncompressedFirstThenOurRle8AndFfmpegCoders) {
    const auto& list = AviCompressorList();
    ASSERT_GE(list.size(), 9u);
    EXPECT_STREQ(list[0].name, "Full Frames (Uncompressed)");
    EXPECT_EQ(FourCCText(list[0].handler), "DIB ");
    for (const char* n : {"Microsoft Video 1", "Cinepak", "Motion JPEG", "FFV1 (lossless)", "HuffYUV (lossless)",
                          "ZMBV (Zip Motion Blocks Video)", "MPEG-4", "RLE8 (Run-Length Encoding)"})
        EXPECT_GT(IndexOf(n) + 1, 0u) << n;
    EXPECT_TRUE(AviCompressorAccepts(IndexOf("RLE8 (Run-Length Encoding)"), 1));
    EXPECT_FALSE(AviCompressorAccepts(IndexOf("RLE8 (Run-Length Encoding)"), 3));
    EXPECT_TRUE(AviCompressorAccepts(IndexOf("Motion JPEG"), 3));
    EXPECT_EQ(AviCompressorOutputBits(IndexOf("Microsoft Video 1"), 1), 16);
    EXPECT_EQ(AviCompressorOutputBits(IndexOf("ZMBV (Zip Motion Blocks Video)"), 1), 8);
    EXPECT_EQ(AviCompressorOutputBits(0, 2), 16);
}

TEST(AviCompressors, ACancelledChoiceGives1000AndKeepsTheOldOne) {
    Choose("Cinepak");
    AviCompressorRequest seen;
    SetAviCompressorDialog([&](const AviCompressorRequest& r, AviCompressionSettings&) {
        seen = r;
        return false;
    });
    AviChooseCompressor(320, 240, 3);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_STREQ(seen.title, "Select AVI Video Compression");
    EXPECT_EQ(seen.width, 320);
    EXPECT_EQ(AviCompression.settings.compressor, IndexOf("Cinepak"));
    SetAviCompressorDialog(nullptr);
    Choose("Full Frames (Uncompressed)");
}

TEST(AviCompressors, AConfirmedChoiceSetsCompressingAndTheOutputFormat) {
    SetAviCompressorDialog([](const AviCompressorRequest&, AviCompressionSettings& s) {
        s.compressor = IndexOf("Microsoft Video 1");
        s.quality = 5000;
        return true;
    });
    AviChooseCompressor(64, 48, 1);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_TRUE(AviCompression.compressing);
    EXPECT_FALSE(AviCompression.unsupported);  // our Video 1 always codes 16 bits
    ASSERT_EQ(AviCompression.outputFormat.size(), 40u);
    EXPECT_EQ(GetLE16(&AviCompression.outputFormat[14]), 16);
    EXPECT_EQ(AviCompression.settings.quality, 5000);
    SetAviCompressorDialog([](const AviCompressorRequest&, AviCompressionSettings& s) {
        s.compressor = 0;
        return true;
    });
    AviChooseCompressor(64, 48, 1);
    EXPECT_FALSE(AviCompression.compressing);
    EXPECT_EQ(GetLE16(&AviCompression.outputFormat[14]), 8);
    SetAviCompressorDialog(nullptr);
}

TEST_F(AviWrite, ACompressedStreamNamesItsCompressorAndQuality) {
    Choose("Motion JPEG", 0, 6000);
    AviState s;
    AviCreate(s, path("mj.avi"), 25);
    Picture p(16, 16, 3);
    AviWriteFrame(s, p.img);
    AviClose(s);
    auto f = bytes("mj.avi");
    size_t strh = FindChunk(f, "strh");
    EXPECT_EQ(std::string(f.begin() + strh, f.begin() + strh + 8), "vidsMJPG");
    EXPECT_EQ(GetLE32(&f[strh + 40]), 6000u);
    EXPECT_GT(FindChunk(f, "00dc"), 0u);
}

// ---- other programs read our files ----

struct Interop {
    const char* compressor;
    int32_t bytes;
    bool exact;
};

class AviInterop : public AviWrite, public ::testing::WithParamInterface<Interop> {};

TEST_P(AviInterop, FfmpegDecodesOurFileToOurFrames) {
    if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg command";
    const Interop& t = GetParam();
    Choose(t.compressor, 3, 9000);
    AviState s;
    AviCreate(s, path("ours.avi"), 10);
    Picture p(36, 20, t.bytes);
    ErrCode = 0;
    for (int i = 0; i < 6; ++i) {
        Paint(p, i, !t.exact);
        if (t.bytes == 1 && i == 4) p.img.palette[3 * 2] = 0x11;
        AviWriteFrame(s, p.img);
        ASSERT_EQ(ErrCode, 0);
    }
    AviClose(s);
    std::vector<uint8_t> theirs;
    ASSERT_TRUE(FfmpegFrames(path("ours.avi"), path("ours.rgb"), theirs));
    ASSERT_EQ(theirs.size(), 6u * 36 * 20 * 3);
    AviOpen(s, path("ours.avi"));
    Picture out(36, 20, 3);
    for (int i = 0; i < 6; ++i) {
        AviReadFrame(s, out.img);
        auto ours = ToRgb(out.img);
        std::vector<uint8_t> frame(theirs.begin() + i * 2160, theirs.begin() + (i + 1) * 2160);
        if (t.exact) {
            ASSERT_EQ(ours, frame) << "frame " << i;
        } else {
            EXPECT_LE(MeanAbsDiff(ours, frame), 1.5) << "frame " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Compressors, AviInterop,
                         ::testing::Values(Interop{"Full Frames (Uncompressed)", 3, true},
                                           Interop{"Full Frames (Uncompressed)", 1, true},
                                           Interop{"RLE8 (Run-Length Encoding)", 1, true},
                                           Interop{"FFV1 (lossless)", 3, true},
                                           Interop{"HuffYUV (lossless)", 3, true},
                                           Interop{"ZMBV (Zip Motion Blocks Video)", 1, true},
                                           Interop{"Motion JPEG", 3, false}, Interop{"Microsoft Video 1", 3, true},
                                           Interop{"Cinepak", 3, false}, Interop{"MPEG-4", 3, false}),
                         [](const ::testing::TestParamInfo<Interop>& i) { return "case" + std::to_string(i.index); });

}  // namespace
}  // namespace movaltic
