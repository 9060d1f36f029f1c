// The movies a job reads and writes: numbered file names, kinds by extension,
// and the dispatch of open, create, read, write and close to the format units.
#pragma once

#include <cstdint>
#include <string>

#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/flic.h"
#include "movaltic/formats/zuv_file.h"
#include "movaltic/imaging/basic.h"

namespace movaltic {

// A file name split around its last group of digits, so that FRAME001.BMP,
// FRAME002.BMP ... are one movie: raise `number` and call GetName.
class oFlexName {
public:
    std::string folder;     // directory with a trailing "/", empty when none
    std::string stem;       // file name before the last digit group
    std::string tail;       // what follows the last digit group, before the extension
    std::string extension;  // upper-cased, with its dot: ".BMP"; empty when none
    int32_t number = 0;     // value of the last digit group
    int32_t digits = 0;     // width of that group, 0 when the name has none
    std::string fullName;   // the absolute path given to SetName

    void SetName(const std::string& path);
    // The rebuilt name with the upper-case extension: for display, kinds and
    // name comparison.
    std::string GetName() const;
    // The rebuilt name with the extension as the user typed it. Linux file names
    // are case-sensitive, so files are opened and created by this one.
    std::string GetFileName() const;
    void CopyFrom(const oFlexName& other);
    bool IsValid() const;
    // False when the digit group is too long for a 32-bit number: `number`
    // then reads 0 and the group is rebuilt as typed, so the name stands for
    // the one file typed (a movie such as rec_20240101120000.avi) and never
    // for the files of a numbered sequence.
    bool NumberReadable() const { return !numberUnreadable_; }

private:
    std::string typedExtension_;  // the extension as typed, with its dot
    std::string typedDigits_;     // the digit group as typed, when it reads as no number
    bool numberUnreadable_ = false;
    std::string Build(const std::string& ext) const;
};

// Reader and writer states of the formats, one set per movie.
struct MovieFormatStates {
    CodecState zuv;
    FlicState flic;
    AviState avi;
};

enum MovieKind : uint8_t {
    kKindOther = 0,
    kKindZUV = 1,
    kKindAVI = 2,
    kKindFLC = 3,
    kKindFLI = 4,
    kKindBMP = 5,
    kKindDIB = 6,
    kKindRLE = 7,
    kKindTGA = 8,
    kKindPCX = 9,
};

struct movierec {
    oFlexName* name = nullptr;
    uint8_t kind = 0;
    uint8_t container = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 0;
    int32_t bitsPerPixel = 0;
    int32_t frames = 0;
    double frameRate = 0;
    uint8_t compressed = 0;
    MovieFormatStates states;  // reader or writer state of the movie's format
    imagerec frame;            // ZUV and FLIC decode here: their frames are changes to the one before
};

// The sound of the frame just read from an AVI input, written with that
// frame to an AVI output.
extern AviSoundBlock SoundBlock;

extern movierec InputMovie;
extern movierec OutputMovie;

// Creates the two records' names (empty) and clears their fields; frees them.
void MoviesInit();
void MoviesFree();
void MovieReset(movierec& movie);

// Why a name cannot stand for `files` numbered files, as a message; empty
// when it can. A ZUV, AVI or FLIC movie is its one file, whatever digits its
// name holds; for image files the digit group must read as a number and the
// last file's number must not pass 2147483647.
std::string NumberedNameFault(const oFlexName& name, int32_t files);

uint8_t OutputKindOf(const std::string& fileName);

// The output size a larger input opens with: scaled down to fit 1600x1200
// whole, keeping its shape (1920x1080 gives 1600x900); a smaller one as it is.
void FitDefaultOutputSize(int32_t& width, int32_t& height);
bool IsContainerKind(uint8_t kind);

// All report through ErrCode and show no message.
void MovieInspect(movierec& movie);
void MovieOpen(movierec& movie);
void MovieCreate(movierec& movie);
void MovieReadFrame(movierec& movie, imagerec& image, int32_t index);
// The same with the frame's sound into a block of the caller's.
void MovieReadFrame(movierec& movie, imagerec& image, int32_t index, AviSoundBlock& sound);
// MovieReadFrame without the sound: the previews read pictures only.
void MovieReadPicture(movierec& movie, imagerec& image, int32_t index);
void MovieWriteFrame(movierec& movie, imagerec& image, int32_t index);
// The same with the frame's sound from a block of the caller's and, for an
// AVI, the frame coded already (null: the writer codes it).
void MovieWriteFrame(movierec& movie, imagerec& image, int32_t index, const AviSoundBlock& sound,
                     const AviCodedFrame* coded);
void MovieClose(movierec& movie);
// Whether the open movie ends before the frames its file says it has: its
// frames are the ones it holds, and a job over all of them says it ended early.
bool MovieEndedEarly(const movierec& movie);

std::string DescribeMovie(const movierec& movie);
// Widens a numbered output's digits to hold its last number, then shows the
// output line in the main window.
void UpdateOutputLabel();
void FixFlicExtension();

// The file the writer of a movie of this kind and size really creates for the
// name. The FLIC writer names its file .FLI (320 x 200) or .FLC (any other
// size) in upper case, whatever was typed; the other writers take the name as
// typed. On a case-sensitive disk "anim.flc" typed may thus write "anim.FLC".
std::string CreatedFileName(const oFlexName& name, uint8_t kind, int32_t width, int32_t height);

}  // namespace movaltic
