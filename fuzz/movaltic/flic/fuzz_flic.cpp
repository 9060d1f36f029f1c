// Feeds arbitrary bytes to the FLI/FLC reader: once as a whole file through
// FlicOpen/FlicReadFrame, once as a bare frame chunk on a small picture.
// Whole files may announce any size: the frame buffer is made as the job
// makes it, so only pictures the program itself refuses are left out.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/flic.h"
#include "movaltic/formats/image_files.h"

using namespace movaltic;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fuzz_flic_" + std::to_string(getpid()) + ".flc";
    if (size >= 12) {
        // Keep pictures small so the fuzzer explores codes, not allocations.
        int32_t w = 1 + data[0] % 64, h = 1 + data[1] % 64;
        std::vector<uint8_t> pic(size_t(w) * h, 0);
        uint8_t pal[768];
        FlicApplyFrame(data + 2, size - 2, 1 + data[1] % 4, pic.data(), w, h, pal);
    }
    if (size >= 128) {
        WriteWholeFile(path, std::vector<uint8_t>(data, data + size));
        FlicState s;
        FlicOpen(s, path);
        // The probe refuses larger pictures before the job makes a frame.
        if (ErrCode == 0 && int64_t(s.width()) * s.height() <= kMaxFramePixels) {
            imagerec img;
            ImageCreate(img, s.width(), s.height(), 1);
            if (ErrCode == 0)
                for (int i = 0; i < 1000 && !s.endOfFile && ErrCode <= 0; ++i) FlicReadFrame(s, img);
            ImageFree(img);
        }
        FlicClose(s);
    }
    return 0;
}
