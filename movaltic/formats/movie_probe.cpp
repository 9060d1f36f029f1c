// The description of any input the program accepts, read from its header.
#include <cmath>

#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/flic.h"
#include "movaltic/formats/image_files.h"
#include "movaltic/formats/zuv_file.h"

namespace movaltic {


void MovieProbe(const std::string& fileName, MovieDescription& d) {
    ErrCode = kErrNone;
    d = MovieDescription{};
    d.extension = FileExtension(fileName);
    if (d.extension == "AVI") {
        AviState s;
        AviOpen(s, fileName);
        if (ErrCode <= 0) {
            d.width = s.width;
            d.height = s.height;
            d.bytesPerPixel = s.bytesPerPixel;
            d.bitsPerPixel = s.bitsPerPixel;
            d.frameCount = s.frames;
            d.soundRate = int32_t(s.soundRate);
            d.frameRate = std::nearbyint(10 * s.frameRate) / 10;
        }
        int32_t openCode = ErrCode;
        AviClose(s);
        if (openCode > 0) ErrCode = openCode;
    } else if (d.extension == "FLC" || d.extension == "FLI") {
        FlicState s;
        FlicOpen(s, fileName);
        if (ErrCode <= 0) {
            d.width = s.width();
            d.height = s.height();
            d.bytesPerPixel = 1;
            d.bitsPerPixel = 8;
            d.frameCount = s.frames();
            d.frameRate = FlicFrameRate(s);
        }
        int32_t openCode = ErrCode;
        FlicClose(s);
        if (openCode > 0) ErrCode = openCode;
    } else if (d.extension == "ZUV") {
        CodecState s;
        CodecFileOpen(s, fileName);
        if (ErrCode <= 0) {
            d.width = s.header.width;
            d.height = s.header.height;
            d.bytesPerPixel = s.header.bytesPerPixel;
            d.bitsPerPixel = 8 * s.header.bytesPerPixel;
            d.frameCount = s.header.frameCount;
            d.frameRate = s.header.frameRate;
        }
        int32_t openCode = ErrCode;
        CodecFileClose(s);
        if (openCode > 0) ErrCode = openCode;
    } else {
        ImageInfo info;
        int32_t code = image_detail::ReadImageFile(fileName, nullptr, info, kErrHeader);
        if (code != kErrNone) {
            ErrCode = code;
            return;
        }
        d.width = info.width;
        d.height = info.height;
        d.bytesPerPixel = info.bytesPerPixel;
        d.bitsPerPixel = info.bitsPerPixel == 15 ? 15 : 8 * info.bytesPerPixel;
        d.frameCount = 1;
    }
}

}  // namespace movaltic
