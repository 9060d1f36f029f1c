// Feeds arbitrary bytes to one still-picture reader: the header check alone,
// then a decode into a buffer exactly as large as the header asks for. Built
// once per reader, FUZZ_READER naming it (ReadBmpImage, ReadGifImage, ...).
#include <cstdint>
#include <vector>

#include "movaltic/formats/image_files.h"

using namespace movaltic;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    ImageInfo info;
    if (FUZZ_READER(file, nullptr, info) != 0) return 0;
    const int64_t bytes = int64_t(info.width) * info.height * info.bytesPerPixel;
    // Keep pictures small so the fuzzer explores codes, not allocations.
    if (bytes > (int64_t(1) << 22)) return 0;
    std::vector<uint8_t> buf(static_cast<size_t>(bytes));
    imagerec img;
    img.pixels = buf.data();
    img.size = int32_t(bytes);
    FUZZ_READER(file, &img, info);
    img.pixels = nullptr;
    return 0;
}
