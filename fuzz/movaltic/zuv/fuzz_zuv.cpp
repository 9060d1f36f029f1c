// Feeds arbitrary bytes to the ZUV reader: as bare BEST and FAST strips on a
// small picture, and as a whole file read frame by frame. The same bytes, as
// a picture, go through both coders, which must give them back unchanged.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/zuv_codec.h"
#include "movaltic/formats/zuv_file.h"

using namespace movaltic;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fuzz_zuv_" + std::to_string(getpid()) + ".zuv";
    if (size >= 3) {
        const int w = 1 + data[0] % 80, rows = 1 + data[1] % 16, bpp = 1 + data[2] % 3;
        std::vector<uint8_t> strip(size_t(w) * rows * bpp, 0);
        CodecUnpackStrip(data + 3, size - 3, strip.data(), w, rows, bpp);
        CodecUnpackStripFast(data + 3, size - 3, strip.data(), w, rows, bpp);
    }
    if (size >= 4) {
        const int w = 1 + data[0] % 150, bpp = 1 + data[1] % 3;
        const size_t rb = size_t(w) * bpp;
        const int rows = int(std::max<size_t>(1, (size - 3) / rb));
        std::vector<uint8_t> cur(rb * rows), prev(rb * rows), out(rb * rows + 8192);
        for (size_t i = 0; i < cur.size(); ++i) {
            cur[i] = data[3 + i % (size - 3)];
            prev[i] = (data[2] & 1) ? cur[i] : uint8_t(cur[i] + (i % 7 == 0));
        }
        const bool compare = data[2] & 2;
        for (bool fast : {false, true}) {
            int32_t n = fast ? CodecPackStripFast(cur.data(), out.data(), prev.data(), compare, bpp, rows, w)
                             : CodecPackStripBest(cur.data(), out.data(), prev.data(), compare, bpp, rows, w);
            if (n == 0) continue;
            std::vector<uint8_t> back = prev;
            bool ok = fast ? CodecUnpackStripFast(out.data(), size_t(n), back.data(), w, rows, bpp)
                           : CodecUnpackStrip(out.data(), size_t(n), back.data(), w, rows, bpp);
            if (!ok || back != cur) std::abort();
        }
    }
    if (size >= 64 && GetLE32(data + 12) <= 512 && GetLE32(data + 16) <= 512) {
        WriteWholeFile(path, std::vector<uint8_t>(data, data + size));
        CodecState s;
        CodecFileOpen(s, path);
        if (ErrCode == 0) {
            std::vector<uint8_t> buf(size_t(s.frameBytes));
            imagerec img;
            img.pixels = buf.data();
            img.size = int32_t(buf.size());
            for (int i = 0; i < 300 && !s.endOfFile; ++i) {
                CodecReadFrame(s, img);
                if (ErrCode > 0) break;
            }
            img.pixels = nullptr;
        }
        CodecFileClose(s);
    }
    return 0;
}
