#include "movaltic/pipeline/movie.h"
#include "movaltic/formats/ascii_case.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "movaltic/formats/image_files.h"
#include "movaltic/pipeline/job_settings.h"
#include "movaltic/pipeline/processing.h"

namespace movaltic {

namespace fs = std::filesystem;

namespace {

std::string Upper(std::string s) { return AsciiUpper(std::move(s)); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void oFlexName::SetName(const std::string& path) {
    folder.clear();
    stem.clear();
    tail.clear();
    extension.clear();
    typedExtension_.clear();
    typedDigits_.clear();
    numberUnreadable_ = false;
    number = 0;
    digits = 0;
    fullName.clear();
    if (path.empty()) return;

    std::error_code ec;
    fs::path p = fs::absolute(fs::path(path), ec);
    if (ec) p = fs::path(path);
    p = p.lexically_normal();
    fullName = p.string();

    std::string dir = p.parent_path().string();
    if (!dir.empty() && dir.back() != '/') dir += '/';
    folder = dir;

    std::string file = p.filename().string();
    // "name." has an empty extension, ".profile" has none: both as the
    // filesystem library splits them.
    typedExtension_ = p.extension().string();
    extension = Upper(typedExtension_);
    stem = file.substr(0, file.size() - typedExtension_.size());

    size_t p1 = stem.size();
    while (p1 > 0 && !IsDigit(stem[p1 - 1])) --p1;
    if (p1 == 0) return;  // no digit
    tail = stem.substr(p1);
    size_t q = p1;
    while (q > 0 && IsDigit(stem[q - 1])) --q;
    digits = int32_t(p1 - q);
    int64_t value = 0;
    for (size_t i = q; i < p1; ++i) {
        value = value * 10 + (stem[i] - '0');
        if (value > INT32_MAX) {
            value = 0;
            numberUnreadable_ = true;
            typedDigits_ = stem.substr(q, p1 - q);
            break;
        }
    }
    number = int32_t(value);
    stem.erase(q);
}

std::string oFlexName::Build(const std::string& ext) const {
    std::string s = folder + stem;
    if (digits > 0) {
        if (numberUnreadable_) {
            // No number to count from: the digits are part of the one name typed.
            s += typedDigits_;
        } else {
            std::string n = std::to_string(number < 0 ? 0 : number);
            if (int32_t(n.size()) < digits) n.insert(0, size_t(digits) - n.size(), '0');
            s += n;
        }
        s += tail;
    }
    return s + ext;
}

std::string oFlexName::GetName() const { return Build(extension); }

std::string oFlexName::GetFileName() const {
    // A changed upper-case extension (FixFlicExtension, an appended default)
    // no longer matches what was typed; then the upper-case one is the name.
    return Build(Upper(typedExtension_) == extension ? typedExtension_ : extension);
}

void oFlexName::CopyFrom(const oFlexName& other) { *this = other; }

bool oFlexName::IsValid() const { return !stem.empty() || digits > 0; }

std::string NumberedNameFault(const oFlexName& name, int32_t files) {
    // A movie file's digits are no frame number: cameras and recorders name
    // movies by date and time, far past 2147483647.
    if (IsContainerKind(OutputKindOf(name.GetName()))) return {};
    const std::string typed = fs::path(name.fullName).filename().string();
    if (!name.NumberReadable())
        return "The number in " + typed + " is too large to read (file numbers go up to 2147483647).";
    if (name.digits > 0 && files > 1 && int64_t(name.number) + files - 1 > INT32_MAX)
        return "The " + std::to_string(files) + " frames from " + typed + " would be numbered past 2147483647.";
    return {};
}

uint8_t OutputKindOf(const std::string& fileName) {
    std::string ext = Upper(fs::path(fileName).extension().string());
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    static const char* const kNames[] = {"ZUV", "AVI", "FLC", "FLI", "BMP", "DIB", "RLE", "TGA", "PCX"};
    for (int i = 0; i < 9; ++i)
        if (ext == kNames[i]) return uint8_t(i + 1);
    return kKindOther;
}

void FitDefaultOutputSize(int32_t& width, int32_t& height) {
    constexpr double kMaxWidth = 1600, kMaxHeight = 1200;
    if (width <= kMaxWidth && height <= kMaxHeight) return;
    if (width <= 0 || height <= 0) return;
    const double scale = std::min(kMaxWidth / width, kMaxHeight / height);
    width = std::max(int32_t(16), int32_t(std::lround(width * scale)));
    height = std::max(int32_t(16), int32_t(std::lround(height * scale)));
}

bool IsContainerKind(uint8_t kind) { return kind >= 1 && kind <= 4; }

}  // namespace movaltic

// ---------------------------------------------------------------- records

namespace movaltic {

movierec InputMovie;
movierec OutputMovie;

namespace {
oFlexName* gInputName = nullptr;
oFlexName* gOutputName = nullptr;

bool SameDescription(const MovieDescription& a, const MovieDescription& b) {
    return a.width == b.width && a.height == b.height && a.bytesPerPixel == b.bytesPerPixel &&
           a.bitsPerPixel == b.bitsPerPixel && a.frameCount == b.frameCount && a.soundRate == b.soundRate &&
           a.frameRate == b.frameRate && a.extension == b.extension;
}

// Reads and writes of one numbered file: the number is raised by the frame
// index for the call and put back afterwards. A number past the 32-bit range
// (or one that could not be read) names no file of the movie, so the call
// does not go to any file.
struct NumberRaise {
    oFlexName& name;
    int32_t saved;
    bool named;
    NumberRaise(oFlexName& n, int32_t index)
        : name(n), saved(n.number), named(n.NumberReadable() && int64_t(n.number) + index <= INT32_MAX) {
        if (named) n.number += index;
    }
    ~NumberRaise() { name.number = saved; }
};

// Whether image (a name without folder) is one of the names the sequence
// writes: the typed one, or its stem, a number of exactly its digits (more
// only once the numbers outgrow them, never with a leading zero), its tail
// and its extension as typed. x0001.bmp and x00001.bmp are two sequences.
bool OfTheSequence(const oFlexName& name, const std::string& typed, const std::string& image) {
    if (image == typed) return true;
    if (name.digits <= 0 || !name.NumberReadable()) return false;
    const std::string end = name.tail + fs::path(typed).extension().string();
    if (image.size() < name.stem.size() + size_t(name.digits) + end.size() ||
        image.compare(0, name.stem.size(), name.stem) != 0 ||
        image.compare(image.size() - end.size(), end.size(), end) != 0)
        return false;
    const std::string number = image.substr(name.stem.size(), image.size() - end.size() - name.stem.size());
    if (!std::all_of(number.begin(), number.end(), IsDigit)) return false;
    return number.size() == size_t(name.digits) || number[0] != '0';
}

// Where the file system has no nameless files, a job killed while writing an
// image of a sequence leaves it under a temporary name; the next job over
// the same sequence removes it, whatever the number.
void RemoveKilledJobsTemporaries(const oFlexName& name) {
    const std::string typed = fs::path(name.GetFileName()).filename().string();
    std::error_code ec;
    for (fs::directory_iterator it(name.folder.empty() ? "." : name.folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string file = it->path().filename().string();
        const std::string image = SeqTemporaryImage(file);
        if (!image.empty() && OfTheSequence(name, typed, image)) SeqRemoveTemporary(it->path().string());
    }
}

}  // namespace

void MovieReset(movierec& movie) {
    if (movie.name) movie.name->SetName("");
    movie.kind = 0;
    movie.container = 0;
    movie.width = movie.height = 0;
    movie.bytesPerPixel = movie.bitsPerPixel = 0;
    movie.frames = 0;
    movie.frameRate = 0;
    movie.compressed = 0;
}

void MoviesInit() {
    if (!gInputName) gInputName = new oFlexName;
    if (!gOutputName) gOutputName = new oFlexName;
    InputMovie.name = gInputName;
    OutputMovie.name = gOutputName;
    MovieReset(InputMovie);
    MovieReset(OutputMovie);
}

void MoviesFree() {
    MovieClose(InputMovie);
    MovieClose(OutputMovie);
    InputMovie.name = nullptr;
    OutputMovie.name = nullptr;
    delete gInputName;
    delete gOutputName;
    gInputName = gOutputName = nullptr;
}

// ---------------------------------------------------------------- inspect

void MovieInspect(movierec& movie) {
    // A sequence whose number is too long to read has no next file to probe.
    if (!NumberedNameFault(*movie.name, 1).empty()) {
        ErrCode = kErrOpen;
        movie.name->SetName("");
        return;
    }
    oFlexName probe;
    probe.CopyFrom(*movie.name);
    MovieDescription first;
    MovieProbe(probe.GetFileName(), first);
    if (ErrCode > 0) {
        movie.name->SetName("");
        return;
    }
    movie.kind = OutputKindOf(probe.GetName());
    movie.container = IsContainerKind(movie.kind) ? 1 : 0;
    movie.width = first.width;
    movie.height = first.height;
    movie.bytesPerPixel = first.bytesPerPixel;
    movie.bitsPerPixel = first.bitsPerPixel;
    movie.frames = first.frameCount;
    movie.frameRate = first.frameRate;
    if (movie.container) return;
    Host().SetBusyCursor(true);
    // The sequence runs while the next number names a file of the same
    // description; the first missing or different file ends it. A file there
    // that cannot be read is a frame all the same, so that the job reports it
    // when it comes to it rather than the movie ending before it unsaid; a
    // folder, FIFO or device of that name is no image and ends it unread.
    while (probe.digits > 0 && probe.number < INT32_MAX) {
        ++probe.number;
        const std::string file = probe.GetFileName();
        std::error_code ec;
        if (!fs::is_regular_file(file, ec)) break;
        MovieDescription next;
        MovieProbe(file, next);
        if (ErrCode <= 0 && !SameDescription(first, next)) break;
        ++movie.frames;
    }
    ErrCode = 0;
    Host().SetBusyCursor(false);
}

// ---------------------------------------------------------------- dispatch

AviSoundBlock SoundBlock;

void MovieOpen(movierec& movie) {
    ErrCode = 0;
    const std::string file = movie.name->GetFileName();
    switch (movie.kind) {
    case kKindZUV:
        CodecFileOpen(movie.states.zuv, file);
        if (ErrCode > 0) return;
        ImageCreate(movie.frame, movie.width, movie.height, movie.bytesPerPixel);
        break;
    case kKindAVI:
        if (&movie == &InputMovie) SoundBlock = AviSoundBlock();
        AviOpen(movie.states.avi, file);
        break;
    case kKindFLC:
    case kKindFLI:
        FlicOpen(movie.states.flic, file);
        if (ErrCode > 0) return;
        ImageCreate(movie.frame, movie.width, movie.height, 1);
        break;
    default:
        break;
    }
}

void MovieCreate(movierec& movie) {
    ErrCode = 0;
    const std::string file = movie.name->GetFileName();
    switch (movie.kind) {
    case kKindZUV:
        CodecFileCreate(movie.states.zuv, file, movie.width, movie.height, movie.bytesPerPixel,
                        FastCompression ? 1 : 0, KeyFrameInterval, movie.frameRate, DosPlayable, 0, 0);
        break;
    case kKindAVI:
        AviCreate(movie.states.avi, file, movie.frameRate);
        break;
    case kKindFLC:
    case kKindFLI:
        FlicCreate(movie.states.flic, file, movie.width, movie.frameRate, movie.height);
        // The FLIC writer names the file .FLI or .FLC by its size; the movie
        // is then known by the name the file really has.
        if (ErrCode <= 0 && !movie.states.flic.fileName.empty() && movie.states.flic.fileName != file)
            movie.name->SetName(movie.states.flic.fileName);
        break;
    default:
        RemoveKilledJobsTemporaries(*movie.name);
        break;
    }
}

void MovieReadPicture(movierec& movie, imagerec& image, int32_t index) {
    ErrCode = 0;
    switch (movie.kind) {
    case kKindZUV:
        CodecReadFrame(movie.states.zuv, movie.frame);
        if (ErrCode > 0) return;
        ImageCopy(movie.frame, image);
        break;
    case kKindAVI:
        AviReadFrame(movie.states.avi, image);
        break;
    case kKindFLC:
    case kKindFLI:
        FlicReadFrame(movie.states.flic, movie.frame);
        if (ErrCode > 0) return;
        ImageCopy(movie.frame, image);
        break;
    default: {
        NumberRaise raise(*movie.name, index);
        if (raise.named) SeqReadFrame(movie.name->GetFileName(), image);
        else ErrCode = kErrOpen;
        break;
    }
    }
}

void MovieReadFrame(movierec& movie, imagerec& image, int32_t index) {
    MovieReadFrame(movie, image, index, SoundBlock);
}

void MovieReadFrame(movierec& movie, imagerec& image, int32_t index, AviSoundBlock& sound) {
    MovieReadPicture(movie, image, index);
    if (ErrCode <= 0 && movie.kind == kKindAVI && CopySound) AviReadSound(movie.states.avi, sound);
}

void MovieWriteFrame(movierec& movie, imagerec& image, int32_t index) {
    MovieWriteFrame(movie, image, index, SoundBlock, nullptr);
}

void MovieWriteFrame(movierec& movie, imagerec& image, int32_t index, const AviSoundBlock& sound,
                     const AviCodedFrame* coded) {
    switch (movie.kind) {
    case kKindZUV:
        CodecWriteFrame(movie.states.zuv, image);
        break;
    case kKindAVI:
        AviWriteFrame(movie.states.avi, image, coded);
        if (ErrCode <= 0 && CopySound) AviWriteSound(movie.states.avi, sound);
        break;
    case kKindFLC:
    case kKindFLI:
        FlicWriteFrame(movie.states.flic, image);
        break;
    default: {
        NumberRaise raise(*movie.name, index);
        if (raise.named) SeqWriteFrame(movie.name->GetFileName(), image, movie.compressed != 0);
        else ErrCode = kErrCreate;
        break;
    }
    }
}

void MovieClose(movierec& movie) {
    switch (movie.kind) {
    case kKindZUV:
        if (movie.states.zuv.file) CodecFileClose(movie.states.zuv);
        break;
    case kKindAVI:
        AviClose(movie.states.avi);
        break;
    case kKindFLC:
    case kKindFLI:
        if (movie.states.flic.file) FlicClose(movie.states.flic);
        break;
    default:
        break;
    }
    if (movie.kind == kKindZUV || movie.kind == kKindFLC || movie.kind == kKindFLI) ImageFree(movie.frame);
}

bool MovieEndedEarly(const movierec& movie) {
    return (movie.kind == kKindFLC || movie.kind == kKindFLI) && movie.states.flic.cutShort;
}

// ---------------------------------------------------------------- labels

std::string DescribeMovie(const movierec& movie) {
    std::string name = movie.name ? movie.name->GetName() : std::string();
    size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::string colours;
    switch (movie.bitsPerPixel) {
    case 8: colours = "256 colors, "; break;
    case 15: colours = "32k colors, "; break;
    case 16: colours = "64k colors, "; break;
    case 24: colours = "16M colors, "; break;
    default: break;
    }
    return name + ", " + std::to_string(movie.width) + "x" + std::to_string(movie.height) + ", " + colours +
           std::to_string(movie.frames) + " frame(s)";
}

void UpdateOutputLabel() {
    if (!InputMovie.name || !OutputMovie.name) return;
    if (!InputMovie.name->IsValid() || !OutputMovie.name->IsValid() || OutputMovie.container) return;
    if (OutputMovie.frames > 1) {
        int64_t last = int64_t(OutputMovie.name->number) + OutputMovie.frames - 1;
        int32_t width = int32_t(std::to_string(last).size());
        if (OutputMovie.name->digits < width) OutputMovie.name->digits = width;
    }
    Host().SetOutputLabel(DescribeMovie(OutputMovie));
}

void FixFlicExtension() {
    if (!OutputMovie.name) return;
    oFlexName& n = *OutputMovie.name;
    const bool fliSize = OutputMovie.width == 320 && OutputMovie.height == 200;
    if (OutputMovie.kind == kKindFLI && !fliSize) n.extension = ".FLC";
    if (OutputMovie.kind == kKindFLC && fliSize) n.extension = ".FLI";
    OutputMovie.kind = OutputKindOf(n.GetName());
}

std::string CreatedFileName(const oFlexName& name, uint8_t kind, int32_t width, int32_t height) {
    if (kind != kKindFLC && kind != kKindFLI) return name.GetFileName();
    oFlexName flic;
    flic.CopyFrom(name);
    flic.extension = width == 320 && height == 200 ? ".FLI" : ".FLC";
    return flic.GetName();
}

}  // namespace movaltic
