// Single image files of numbered sequences: TGA, PCX and BMP (also named
// .DIB and .RLE) read and written, GIF read only; and the movie probe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "movaltic/imaging/basic.h"

namespace movaltic {

enum ImageKind : int32_t { kImageNone = 0, kImageTGA = 1, kImagePCX = 2, kImageBMP = 3, kImageGIF = 6 };

// Upper-cased extension after the last dot, at most three letters; empty
// when the name has none.
std::string FileExtension(const std::string& fileName);

// Kind by the extension after the last dot (TGA, PCX, DIB/BMP/RLE, GIF).
ImageKind ImageKindOf(const std::string& fileName);

// What a file's header says about its picture.
struct ImageInfo {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 0;
    int32_t bitsPerPixel = 0;  // 15 for a 16-bit TGA, which is read as 24-bit
    bool topDown = false;
};

// Decoders over a whole file in memory. With image null only the header is
// checked and info filled. Return the ErrCode value (0 on success).
int32_t ReadTgaImage(const std::vector<uint8_t>& file, imagerec* image, ImageInfo& info);
int32_t ReadPcxImage(const std::vector<uint8_t>& file, imagerec* image, ImageInfo& info);
int32_t ReadBmpImage(const std::vector<uint8_t>& file, imagerec* image, ImageInfo& info);
int32_t ReadGifImage(const std::vector<uint8_t>& file, imagerec* image, ImageInfo& info);
int32_t ReadImage(ImageKind kind, const std::vector<uint8_t>& file, imagerec* image, ImageInfo& info);

// Encoders of an 8- or 24-bit image (a 16-bit one is written as 24-bit).
std::vector<uint8_t> WriteTgaImage(const imagerec& image, bool compress);
std::vector<uint8_t> WritePcxImage(const imagerec& image);
std::vector<uint8_t> WriteBmpImage(const imagerec& image);

// Reads one file into image, whose buffer must exist and be large enough.
void SeqReadFrame(const std::string& fileName, imagerec& image);
// Writes image as a file of the kind its extension names; compress asks for
// run-length TGA.
void SeqWriteFrame(const std::string& fileName, const imagerec& image, bool compress);

struct MovieDescription {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 0;
    int32_t bitsPerPixel = 0;
    int32_t frameCount = 0;
    int32_t soundRate = 0;  // AVI only; 0 without sound
    double frameRate = 0;
    std::string extension;  // three letters, upper case
};

// Describes any input the program accepts without reading its pictures.
void MovieProbe(const std::string& fileName, MovieDescription& description);

namespace image_detail {
// Shared by the format files.
std::vector<uint8_t> ExpandTo24(const imagerec& image);  // 2-byte pixels to B,G,R
// The rows of image in file order (bottomFirst: bottom row first), each
// pointing at width x bytes per pixel bytes.
std::vector<const uint8_t*> RowsInOrder(const imagerec& image, const uint8_t* pixels, int32_t bpp,
                                        bool bottomFirst);
}  // namespace image_detail

}  // namespace movaltic
