// Feeds arbitrary bytes to the AVI reader as a whole file (headers, index or
// scan, palette changes, our bitmap and RLE8 decoders, libavcodec and sound
// blocks), and to the RLE8 decoder alone.
#include <unistd.h>

#include <string>
#include <vector>

#include "movaltic/formats/avi_codec.h"
#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/byte_io.h"

extern "C" {
#include <libavutil/log.h>
}

using namespace movaltic;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fuzz_avi_" + std::to_string(getpid()) + ".avi";
    static const bool quiet = (av_log_set_level(AV_LOG_QUIET), true);
    (void)quiet;
    if (size >= 2) {
        int32_t w = 1 + data[0] % 48, h = 1 + data[1] % 48;
        std::vector<uint8_t> pic(size_t(w) * h, 0);
        Rle8Decode(data + 2, size - 2, pic.data(), w, h);
    }
    WriteWholeFile(path, std::vector<uint8_t>(data, data + size));
    AviState s;
    ErrCode = 0;
    AviOpen(s, path);
    // Keep pictures small so the fuzzer explores the codes, not allocations.
    if (ErrCode == 0 && int64_t(s.width) * s.height <= 512 * 512) {
        std::vector<uint8_t> buf(size_t(s.width) * s.height * 3 + 16);
        imagerec img;
        img.pixels = buf.data();
        img.size = int32_t(buf.size());
        AviSoundBlock block;
        for (int i = 0; i < 64 && !s.videoEnded; ++i) {
            AviReadFrame(s, img);
            AviReadSound(s, block);
        }
        img.pixels = nullptr;
    }
    AviClose(s);
    return 0;
}
