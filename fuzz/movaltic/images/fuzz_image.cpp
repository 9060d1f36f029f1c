// Feeds arbitrary bytes to one still-picture reader: the header check alone,
// then a decode into a buffer exactly as large as the header asks for, made
// as the program makes its frames (so only sizes it refuses are left out).
// Built once per reader, FUZZ_READER naming it (ReadBmpImage, ReadGifImage, ...).
#include <cstdint>
#include <vector>

#include "movaltic/formats/image_files.h"

using namespace movaltic;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    ImageInfo info;
    if (FUZZ_READER(file, nullptr, info) != 0) return 0;
    imagerec img;
    ImageCreate(img, info.width, info.height, info.bytesPerPixel);
    if (ErrCode == 0) FUZZ_READER(file, &img, info);
    ImageFree(img);
    return 0;
}
