// The description of any input the program accepts, read from its header.
#include <cmath>

#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/flic.h"
#include "movaltic/formats/image_files.h"
#include "movaltic/formats/zuv_file.h"

namespace movaltic {

namespace {

// A described file must also give its first frame: a job learns at the probe,
// with the code the reader gives, what it would otherwise learn at frame 1.
// The buffer is the size of the job's work images (one spare row, 24 bits),
// so a picture too large for them is refused here as it would be there.
int32_t FirstFrameCode(const std::string& fileName, const MovieDescription& d) {
    imagerec img;
    ImageCreate(img, d.width, d.height + 1, 3);
    if (ErrCode > 0) return ErrCode;
    ErrCode = kErrNone;
    if (d.extension == "AVI") {
        AviState s;
        AviOpen(s, fileName);
        if (ErrCode <= 0) AviReadFrame(s, img);
        const int32_t code = ErrCode;
        AviClose(s);
        ErrCode = code;
    } else if (d.extension == "FLC" || d.extension == "FLI") {
        FlicState s;
        FlicOpen(s, fileName);
        if (ErrCode <= 0) FlicReadFrame(s, img);
        const int32_t code = ErrCode;
        FlicClose(s);
        ErrCode = code;
    } else if (d.extension == "ZUV") {
        CodecState s;
        CodecFileOpen(s, fileName);
        if (ErrCode <= 0) CodecReadFrame(s, img);
        const int32_t code = ErrCode;
        CodecFileClose(s);
        ErrCode = code;
    } else {
        SeqReadFrame(fileName, img);
    }
    const int32_t code = ErrCode > 0 ? ErrCode : kErrNone;
    ImageFree(img);
    return code;
}

void DescribeMovie(const std::string& fileName, MovieDescription& d) {
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

}  // namespace

void MovieProbe(const std::string& fileName, MovieDescription& d) {
    DescribeMovie(fileName, d);
    if (ErrCode > 0) return;
    // Movies are held to the pictures the image readers take, before any
    // frame is made for their first picture.
    if (int64_t(d.width) * d.height > kMaxFramePixels) {
        ErrCode = kErrMemory;
        return;
    }
    const int32_t described = ErrCode;
    // A movie of no frames has no first frame to read; the job reports it.
    const int32_t code = d.frameCount > 0 ? FirstFrameCode(fileName, d) : kErrNone;
    ErrCode = code != kErrNone ? code : described;
}

}  // namespace movaltic
