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

// The largest picture, in pixels, the readers hand on (8192 x 8192, as many
// as the AVI decoder takes). A header claiming more is refused before a frame
// is made for it, so no input makes the program hold frames of gigabytes.
constexpr int64_t kMaxFramePixels = int64_t(1) << 26;

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
// run-length TGA. A new file, or the user's own file with no other link,
// reaches its name whole: it is written as a file of its own and renamed
// over the old one. Any other file is written in place, which keeps its
// links, owner and mode, and its old picture where the disk has no room for
// the new one; one the user may not write is refused.
void SeqWriteFrame(const std::string& fileName, const imagerec& image, bool compress);
// The image name a temporary of SeqWriteFrame (this version's or an earlier
// one's) stands for, from the temporary's name without folder; empty for any
// other name.
std::string SeqTemporaryImage(const std::string& name);
// Removes a temporary that a killed job left behind: only the user's own
// plain file that no job holds. Never waits.
void SeqRemoveTemporary(const std::string& path);

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
// For tests: write as on a file system without nameless files, and call
// beforeLock between a temporary's creation and its lock, beforeWrite before
// an image's bytes are written, beforeRename before its temporary is renamed;
// flushError, where the writer asks whether the disk took an image's bytes,
// gives the errno to fail with as a network disk does at close (0: none).
struct WriterHooks {
    bool noUnnamedFiles = false;
    void (*beforeLock)() = nullptr;
    void (*beforeWrite)() = nullptr;
    void (*beforeRename)() = nullptr;
    int (*flushError)() = nullptr;
};
extern WriterHooks writerHooks;

// Shared by the format files.

// Reads fileName whole and decodes it by its extension (with image null, the
// header only). kErrCreate when the file cannot be read, noReaderCode when
// no reader takes its extension, else the reader's code.
int32_t ReadImageFile(const std::string& fileName, imagerec* image, ImageInfo& info, int32_t noReaderCode);

// What a writer stores: the rows of image in file order (bottomFirst: bottom
// row first), each bpp x width bytes. A 16-bit image is widened to 24-bit
// B,G,R first, as no writer stores 2-byte pixels.
class RowsToWrite {
public:
    RowsToWrite(const imagerec& image, bool bottomFirst);
    RowsToWrite(const RowsToWrite&) = delete;  // rows may point into expanded_
    RowsToWrite& operator=(const RowsToWrite&) = delete;

private:
    std::vector<uint8_t> expanded_;

public:
    int32_t bpp;
    std::vector<const uint8_t*> rows;
};
}  // namespace image_detail

}  // namespace movaltic
