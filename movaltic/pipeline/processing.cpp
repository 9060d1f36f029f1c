#include "movaltic/pipeline/processing.h"
#include "movaltic/formats/ascii_case.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "movaltic/imaging/depth.h"
#include "movaltic/imaging/operations.h"
#include "movaltic/imaging/palette.h"
#include "movaltic/imaging/rescale.h"
#include "movaltic/imaging/threads.h"
#include "movaltic/pipeline/job_settings.h"

namespace movaltic {

// ---------------------------------------------------------------- host

bool PipelineHost::MessageBox(Box kind, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n",
                 kind == Box::Error ? "Error" : kind == Box::Message ? "Message" : "Confirm",
                 text.c_str());
    return false;
}

void PipelineHost::ProgressStart(const std::string&, int32_t) { StopFlag = 0; }

namespace {
PipelineHost gQuietHost;
PipelineHost* gHost = &gQuietHost;
bool gBusy = false;

// Run time is measured on a monotonic clock: a change of the wall clock or
// midnight during a long job must not make it negative or wrap.
class MonoClock {
public:
    void Start() { start_ = std::chrono::steady_clock::now(); }
    int64_t ElapsedMs() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                     start_)
            .count();
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Splits milliseconds into the record ElapsedText formats; hours do not wrap
// at a day.
ClockRecord SplitMs(int64_t ms) {
    ClockRecord rec;
    rec.elapsed = double(ms);
    int64_t s = ms / 1000;
    rec.milliseconds = uint16_t(ms % 1000);
    rec.hours = uint16_t(std::min<int64_t>(s / 3600, 65535));
    rec.minutes = uint16_t((s / 60) % 60);
    rec.seconds = uint16_t(s % 60);
    return rec;
}

MonoClock RateClock;
int64_t LastRateUpdate = 0;

struct BusyGuard {
    bool previous;
    BusyGuard() : previous(gBusy) { gBusy = true; }
    ~BusyGuard() { gBusy = previous; }
};

// Only ever a file: a folder of the output's name is no broken movie.
void RemoveFile(const std::string& name) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(name, ec)) std::filesystem::remove(name, ec);
}

// What stood at the output's place before the writer opened it, so that a
// failed creation removes only a file the writer made or truncated, never
// one it could not open (a read-only file in a writable folder).
struct FileMark {
    bool exists = false;
    uintmax_t size = 0;
    std::filesystem::file_time_type time{};
};

FileMark MarkFile(const std::string& name) {
    FileMark mark;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(name, ec)) return mark;
    mark.size = std::filesystem::file_size(name, ec);
    if (ec) return mark;
    mark.time = std::filesystem::last_write_time(name, ec);
    mark.exists = !ec;
    return mark;
}

void RemoveIfWritten(const std::string& name, const FileMark& before) {
    const FileMark now = MarkFile(name);
    if (!now.exists) return;
    if (before.exists && before.size == now.size && before.time == now.time) return;
    RemoveFile(name);
}

bool SameFrameSize() {
    return InputMovie.width == OutputMovie.width && InputMovie.height == OutputMovie.height;
}

// Frames a pass reads and writes: frames past the movie's end cannot be read,
// so a typed count is held to it.
int32_t FramesOfTheJob() { return std::clamp(FramesToProcess, 0, std::max(InputMovie.frames, 0)); }

// The files of a movie: a container's one file (for an output, the one its
// writer really creates), or the first count files of a numbered sequence.
std::vector<std::string> MovieFiles(const movierec& movie, int32_t count) {
    if (movie.container)
        return {&movie == &OutputMovie ? CreatedFileName(*movie.name, movie.kind, movie.width, movie.height)
                                       : movie.name->GetFileName()};
    std::vector<std::string> files;
    oFlexName n;
    n.CopyFrom(*movie.name);
    const int32_t first = n.number;
    for (int32_t i = 0; i < count && int64_t(first) + i <= INT32_MAX; ++i) {
        n.number = first + i;
        files.push_back(n.GetFileName());
    }
    return files;
}

std::string Upper(std::string s) { return AsciiUpper(std::move(s)); }

// Whether writing the output would replace a file of the input: by name as
// SameMovieName compares them, or by the file itself (a link).
bool OutputWritesOverInput() {
    std::unordered_set<std::string> names;
    std::set<std::pair<dev_t, ino_t>> files;
    struct stat st {};
    for (const std::string& f : MovieFiles(InputMovie, InputMovie.container ? 1 : InputMovie.frames)) {
        names.insert(Upper(f));
        if (::stat(f.c_str(), &st) == 0) files.insert({st.st_dev, st.st_ino});
    }
    for (const std::string& f : MovieFiles(OutputMovie, FramesOfTheJob())) {
        if (names.count(Upper(f))) return true;
        if (::stat(f.c_str(), &st) == 0 && files.count({st.st_dev, st.st_ino})) return true;
    }
    return false;
}

}  // namespace

PipelineHost& Host() { return *gHost; }
void SetPipelineHost(PipelineHost* host) { gHost = host ? host : &gQuietHost; }

void ShowError(const std::string& text) { Host().MessageBox(PipelineHost::Box::Error, text); }
void ShowMessageBox(const std::string& text) { Host().MessageBox(PipelineHost::Box::Message, text); }
bool AskConfirm(const std::string& text) { return Host().MessageBox(PipelineHost::Box::Confirm, text); }

imagerec WorkImageA, WorkImageB;
imagerec* CurrentImage = &WorkImageA;
imagerec* SpareImage = &WorkImageB;
int64_t BytesProcessed = 0;
imagerec PreviewImage;

bool PipelineBusy() { return gBusy; }

// ---------------------------------------------------------------- checks

bool SameMovieName(const oFlexName& a, const oFlexName& b) {
    if (Upper(a.GetName()) == Upper(b.GetName())) return true;
    // Linux names differ by case and can reach one file by links; writing
    // over the movie being read would destroy it.
    std::error_code ec;
    return std::filesystem::equivalent(a.GetFileName(), b.GetFileName(), ec) && !ec;
}

bool CheckInputOutput() {
    if (!InputMovie.name || !InputMovie.name->IsValid()) {
        ShowMessageBox("First select a valid INPUT movie or image file.");
        return false;
    }
    if (!OutputMovie.name || !OutputMovie.name->IsValid()) {
        ShowMessageBox("Please enter a valid OUTPUT file.");
        return false;
    }
    if (IsContainerKind(InputMovie.kind) && SameMovieName(*InputMovie.name, *OutputMovie.name)) {
        ShowMessageBox("Input and output movies cannot be the same.");
        return false;
    }
    return true;
}

bool CheckOutputFiles() {
    if (FramesOfTheJob() == 0) {
        ShowMessageBox("The number of frames to process is 0: there is nothing to write.");
        return false;
    }
    // Again here, not only where the names were taken: the frame count may
    // have grown since, and a number out of range would read or write files
    // the label does not name.
    for (const movierec* movie : {&InputMovie, &OutputMovie}) {
        const std::string fault = NumberedNameFault(*movie->name, FramesOfTheJob());
        if (!fault.empty()) {
            ShowMessageBox(fault);
            return false;
        }
    }
    // The input is read while the output is written: an input file written
    // over before it is read comes back already filtered, and one written over
    // after it was read is lost to the user.
    if (OutputWritesOverInput()) {
        ShowMessageBox("The OUTPUT would overwrite files of the INPUT movie.");
        return false;
    }
    return true;
}

bool NeedsPaletteReduction() {
    if (OutputMovie.bytesPerPixel > 1) return false;
    if (SinglePalette || InputMovie.bytesPerPixel > 1) return true;
    for (int32_t i = 0; i < ToDoList.count; ++i) {
        int32_t op = ToDoList.entries[i].operation;
        if (op >= 0 && op < kOperationCount && !fnlist[op].paletteCapable) return true;
    }
    // Resample always gives 24-bit frames; without a reduction such a frame
    // would reach an 8-bit writer.
    return UseResample && !SameFrameSize();
}

// ---------------------------------------------------------------- work images

namespace {

// The larger of the two movies' areas, taken whole, with one row more.
void WorkImageSize(int32_t& w, int32_t& h) {
    int64_t inArea = int64_t(InputMovie.width) * InputMovie.height;
    int64_t outArea = int64_t(OutputMovie.width) * OutputMovie.height;
    w = inArea >= outArea ? InputMovie.width : OutputMovie.width;
    h = (inArea >= outArea ? InputMovie.height : OutputMovie.height) + 1;
}

}  // namespace

void AllocWorkImages() {
    int32_t w = 0, h = 0;
    WorkImageSize(w, h);
    ImageCreate(WorkImageA, w, h, 3);
    if (ErrCode > 0) return;
    ImageCreate(WorkImageB, w, h, 3);
}

void FreeWorkImages() {
    ImageFree(WorkImageA);
    ImageFree(WorkImageB);
    CurrentImage = &WorkImageA;
    SpareImage = &WorkImageB;
}

void SwapFrameBuffers() { std::swap(CurrentImage, SpareImage); }

// ---------------------------------------------------------------- per frame

namespace {

// The frame steps on a pair of images of the caller's: cur holds the frame,
// spare takes a two-image step's result, then the two are exchanged.
void ApplyOperationTo(const steprec& step, imagerec*& curImage, imagerec*& spareImage) {
    imagerec& cur = *curImage;
    imagerec& spare = *spareImage;
    const int32_t* n = step.iparams;
    bool swap = false;
    switch (step.operation) {
    case kOpBrightness: OpBrightness(cur, cur, n[0], n[1], n[2]); break;
    case kOpContrast: OpContrast(cur, cur, n[0], n[1], n[2]); break;
    case kOpNegative: OpNegative(cur); break;
    case kOpGrayscale: OpGrayscale(cur, cur); break;
    case kOpGamma: OpGamma(cur, cur, step.params[0], step.params[1], step.params[2]); break;
    case kOpSaturation: OpSaturation(cur, cur, n[0]); break;
    case kOpAdjustRGB: OpAdjustRGB(cur, cur, n[0], n[1], n[2]); break;
    case kOpBlur: OpBlur(cur, spare); swap = true; break;
    case kOpSoften: OpSoften(cur, spare); swap = true; break;
    case kOpSharpen: OpSharpen(cur, spare); swap = true; break;
    case kOpFindEdges: OpFindEdges(cur, spare); swap = true; break;
    case kOpEmboss: OpEmboss(cur, spare); swap = true; break;
    case kOpFlipVertical: OpFlipVertical(cur); break;
    case kOpFlipHorizontal: OpFlipHorizontal(cur); break;
    case kOpMirrorVertical: OpMirrorVertical(cur, cur); break;
    case kOpMirrorHorizontal: OpMirrorHorizontal(cur, cur); break;
    case kOpChaos: OpChaos(cur, spare, n[0]); swap = true; break;
    default: break;
    }
    if (swap) std::swap(curImage, spareImage);
}

void RescaleTo(imagerec*& cur, imagerec*& spare) {
    if (SameFrameSize()) return;
    if (UseResample)
        ImageResample(*cur, *spare, OutputMovie.width, OutputMovie.height);
    else
        ImageResize(*cur, *spare, OutputMovie.width, OutputMovie.height);
    std::swap(cur, spare);
}

void ExpandHighColourTo(imagerec*& cur, imagerec*& spare) {
    if (cur->bytesPerPixel != 2) return;
    ImageConvertDepth(*cur, *spare, 3);
    std::swap(cur, spare);
}

// The palette steps share the one histogram, so they run in frame order on
// the pass's own thread; the plain depth conversion is the frame's alone.
void DepthStepTo(bool write, imagerec*& cur, imagerec*& spare) {
    if (PaletteReduction) {
        if (SinglePalette) {
            if (!write) {
                HistogramAddFrame(*cur);
                return;
            }
        } else {
            HistogramClear();
            HistogramAddFrame(*cur);
            PaletteChoose(256);
        }
        PaletteRemapFrame(*cur, *spare);
        std::swap(cur, spare);
        return;
    }
    if (cur->bytesPerPixel != OutputMovie.bytesPerPixel) {
        ImageConvertDepth(*cur, *spare, OutputMovie.bytesPerPixel);
        std::swap(cur, spare);
    }
}

}  // namespace

void ApplyOperation(const steprec& step) { ApplyOperationTo(step, CurrentImage, SpareImage); }
void RescaleStep() { RescaleTo(CurrentImage, SpareImage); }
void ExpandHighColour() { ExpandHighColourTo(CurrentImage, SpareImage); }
void DepthStep(bool write) { DepthStepTo(write, CurrentImage, SpareImage); }

void UpdateRateDisplay(int32_t done, int32_t total) {
    int64_t e = RateClock.ElapsedMs();
    if (e - LastRateUpdate < 1000) return;
    if (done == 0) done = 1;
    double remaining = double(total - done) * double(e) / double(done) * 0.001;
    if (remaining < 0) remaining = 0;
    ClockRecord rec = SplitMs(int64_t(remaining) * 1000);
    rec.milliseconds = 0;
    double fps = double(done) * 1000.0 / double(e);
    Host().ProgressRate(done, BytesProcessed, ElapsedText(rec), fps);
    LastRateUpdate = e;
}

// ---------------------------------------------------------------- frames in flight

namespace {

// One frame on its way through a pass: read into a pair of images of its
// own, worked on by one of the pool's threads, then taken in frame order by
// the pass, which writes it.
struct FrameSlot {
    imagerec a, b;
    imagerec* cur = &a;
    imagerec* spare = &b;
    AviSoundBlock sound;
    AviCodedFrame coded;  // for an output whose frames are coded apart
    int32_t index = -1;
    int32_t readErr = 0;
    int32_t stepsDone = 0;  // of the frame's own steps, so a frame whose work failed goes on from there
    bool workFailed = false;
    std::exception_ptr failure;
    enum class Stage { Free, Reading, Read, Working, Done } stage = Stage::Free;
};

// Reads frame `index` into the slot, as the pass reads it; its sound goes
// with it.
void ReadFrameInto(FrameSlot& slot, int32_t index) {
    slot.cur = &slot.a;
    slot.spare = &slot.b;
    slot.failure = nullptr;
    slot.coded.ready = false;
    slot.stepsDone = 0;
    slot.workFailed = false;
    try {
        MovieReadFrame(InputMovie, *slot.cur, index, slot.sound);
        slot.readErr = ErrCode;
        if (slot.readErr <= 0) {
            ExpandHighColourTo(slot.cur, slot.spare);
            slot.readErr = ErrCode;
        }
    } catch (...) {
        slot.failure = std::current_exception();
    }
}

// The steps of a frame that depend on that frame alone; with a coder, the
// coding of the finished frame too. A step that runs out of memory does so
// before it changes the image it reads, so the frame's work can go on from
// that step once memory is had.
void WorkFrame(FrameSlot& slot, bool write, AviFrameCoder* coder = nullptr) {
    if (slot.readErr > 0 || slot.failure) return;
    try {
        const int32_t steps = ToDoList.count;
        for (; slot.stepsDone < steps + 3; ++slot.stepsDone) {
            const int32_t s = slot.stepsDone;
            if (s == 0) {
                if (RescaleAtStart) RescaleTo(slot.cur, slot.spare);
            } else if (s <= steps) {
                ApplyOperationTo(ToDoList.entries[s - 1], slot.cur, slot.spare);
            } else if (s == steps + 1) {
                if (!RescaleAtStart) RescaleTo(slot.cur, slot.spare);
            } else if (!PaletteReduction) {
                DepthStepTo(write, slot.cur, slot.spare);
            }
        }
    } catch (...) {
        slot.failure = std::current_exception();
        slot.workFailed = true;
        return;
    }
    if (!coder) return;
    try {
        coder->Code(OutputMovie.states.avi, *slot.cur, slot.coded);
    } catch (...) {
        // Without memory to code it here, the writer codes the frame: the
        // same bytes, or the writer's own message.
        slot.coded.ready = false;
    }
}

bool OutOfMemory(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return true;
    } catch (...) {
        return false;
    }
}

// Every thread that allocates would otherwise get an allocator arena of its
// own, tens of MB of address space each; and frame-sized blocks, once freed,
// would be kept in them for the next. Both outlive the job. Under an
// address-space limit even one arena more is too many: it maps 64 MB whole
// (twice that while it is made), room the job's decoders may need later.
void BoundAllocator() {
#ifdef __GLIBC__
    static const bool bounded = [] {
        rlimit space{};
        const bool limited = getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur != RLIM_INFINITY;
        return mallopt(M_ARENA_MAX, limited ? 1 : 2) == 1 && mallopt(M_MMAP_THRESHOLD, 4 << 20) == 1;
    }();
    (void)bounded;
#endif
}

// The frames of a pass, read in order on a thread of their own and worked
// on by a pool of threads, a few frames ahead of the pass, which takes them
// in order. Memory is bounded by the slots, whatever the movie's length, and
// the slots by the frame's size. Where threads or memory for more than one
// frame cannot be had, each frame is read and worked when it is taken, on
// the pass's thread. No thread outlives the object.
class FramePipeline {
public:
    FramePipeline(int32_t frames, bool write) : frames_(frames), write_(write) {}
    ~FramePipeline() {
        Stop();
        for (auto& slot : slots_) {
            ImageFree(slot->a);
            ImageFree(slot->b);
        }
    }
    FramePipeline(const FramePipeline&) = delete;
    FramePipeline& operator=(const FramePipeline&) = delete;

    // The first slot's images, all a pass on one thread needs; false when
    // they do not fit in memory.
    bool Allocate(int32_t width, int32_t height) {
        width_ = width;
        height_ = height;
        return AddSlot();
    }

    // Once the movies are open and have what they need: more slots from the
    // memory left, and as many threads as those slots keep busy, for the
    // frames from `from` on.
    void StartThreads(int32_t from) {
        if (frames_ - from < 2) return;
        // Frames whose depth step is still to come are coded by the writer.
        codeApart_ = write_ && !PaletteReduction && OutputMovie.kind == kKindAVI &&
                     AviFrameCoder::CodesApart(OutputMovie.states.avi);
        const int32_t slots = PlannedSlots();
        if (slots < 3) return;
        BoundAllocator();
        while (int32_t(slots_.size()) < slots && AddSlot()) {
        }
        if (slots_.size() < 3) {
            FreeSpareSlots();
            return;
        }
        // The reader fills one slot while the others are worked on.
        const int32_t workers = std::min(Workers(), int32_t(slots_.size()) - 1);
        try {
            pool_.reserve(size_t(workers));
        } catch (const std::bad_alloc&) {
            FreeSpareSlots();
            return;
        }
        StartBandPool();
        for (int32_t i = 0; i < workers; ++i) {
            std::thread t;
            if (!StartThread(t, [this] { WorkLoop(); })) break;
            pool_.push_back(std::move(t));
        }
        if (pool_.empty() || !StartThread(reader_, [this, from] { ReadLoop(from); })) {
            Stop();
            FreeSpareSlots();
            return;
        }
        threaded_ = true;
    }

    // Frame index, read and worked on. Without threads, or once they were
    // stopped, the frames they read before are taken first, and each later
    // one is read and worked on here.
    FrameSlot& Take(int32_t index) {
        if (!threaded_) {
            FrameSlot* slot = Held(index);
            if (!slot) {
                for (auto& s : slots_)
                    if (!slot && s->stage == FrameSlot::Stage::Free) slot = s.get();
                if (!slot) slot = slots_.front().get();
                ReadFrameInto(*slot, index);
                slot->index = index;
            }
            slot->stage = FrameSlot::Stage::Done;
            WorkFrame(*slot, write_);
            return *slot;
        }
        FrameSlot* found = nullptr;
        {
            std::unique_lock<std::mutex> lock(m_);
            doneCv_.wait(lock, [&] { return (found = Held(index)) && found->stage == FrameSlot::Stage::Done; });
        }
        // A worker that ran out of memory: the threads end, giving back their
        // coders and stacks, and this one goes on with the frame where it
        // stopped, as the job on one thread would have worked it.
        if (found->workFailed && OutOfMemory(found->failure) && GoOnAlone()) {
            found->failure = nullptr;
            found->workFailed = false;
            WorkFrame(*found, write_);
        }
        return *found;
    }

    // The slot is free for a later frame.
    void Release(FrameSlot& slot) {
        std::lock_guard<std::mutex> lock(m_);
        slot.stage = FrameSlot::Stage::Free;
        slot.index = -1;
        freeCv_.notify_one();
    }

    // The threads stop; the frames they read stay to be taken, and the
    // slots holding none are given back. False where none ran.
    bool GoOnAlone() {
        if (!threaded_) return false;
        Stop();
        for (size_t k = slots_.size(); k-- > 1;) {
            if (slots_[k]->stage != FrameSlot::Stage::Free) continue;
            ImageFree(slots_[k]->a);
            ImageFree(slots_[k]->b);
            slots_.erase(slots_.begin() + std::ptrdiff_t(k));
        }
        return true;
    }

    // The threads stop after the frame each is on, and are joined.
    void Stop() {
        {
            std::lock_guard<std::mutex> lock(m_);
            stopping_ = true;
            freeCv_.notify_all();
            workCv_.notify_all();
        }
        if (reader_.joinable()) reader_.join();
        for (std::thread& t : pool_) t.join();
        pool_.clear();
        if (bands_) InstallBandPool(nullptr);
        bands_.reset();
        threaded_ = false;
    }

private:
    // The slot holding frame index, read or worked on; null when none.
    FrameSlot* Held(int32_t index) {
        for (auto& slot : slots_)
            if (slot->index == index && slot->stage != FrameSlot::Stage::Free) return slot.get();
        return nullptr;
    }

    // Beyond a few threads more only wait for the reader and the writer.
    static int32_t Workers() { return std::clamp(CoreCount() - 1, 1, 6); }

    // Large frames are few in flight: their rows are shared out among
    // threads of their own, so that the cores the frames leave idle work on
    // them. Smaller frames run faster a whole frame to a thread. Under an
    // address-space limit the threads' stacks are left to the frames.
    void StartBandPool() {
        constexpr int64_t kBandedFrameBytes = int64_t(2) << 20;
        if (int64_t(width_) * height_ * 3 < kBandedFrameBytes || CoreCount() < 2 || FramesInFlightLimited()) return;
        try {
            bands_ = std::make_unique<BandPool>(CoreCount() - 1);
        } catch (const std::bad_alloc&) {
            return;
        }
        if (bands_->helpers() > 0) InstallBandPool(bands_.get());
        else bands_.reset();
    }

    // One slot more; false, with nothing kept, where its memory is not had.
    bool AddSlot() {
        std::unique_ptr<FrameSlot> slot;
        try {
            slot = std::make_unique<FrameSlot>();
            slots_.reserve(slots_.size() + 1);
        } catch (const std::bad_alloc&) {
            return false;
        }
        ImageCreate(slot->a, width_, height_, 3);
        if (ErrCode <= 0) ImageCreate(slot->b, width_, height_, 3);
        if (ErrCode > 0) {
            ImageFree(slot->a);
            ImageFree(slot->b);
            return false;
        }
        slots_.push_back(std::move(slot));
        return true;
    }

    // Without threads one slot does the job.
    void FreeSpareSlots() {
        while (slots_.size() > 1) {
            ImageFree(slots_.back()->a);
            ImageFree(slots_.back()->b);
            slots_.pop_back();
        }
    }

    // Slots for the frame's size: each beyond the first holds a pair of
    // images and keeps a worker with its coder busy, all within the budget
    // for frames in flight. Even the largest frames get three (one read, two
    // worked on), about the memory of the one-thread job again, unless an
    // address-space limit leaves less.
    int32_t PlannedSlots() const {
        const int64_t image = int64_t(width_) * height_ * 3;
        const int64_t coder = codeApart_ ? 2 * int64_t(OutputMovie.width) * OutputMovie.height * 3 : 0;
        const int32_t most = Workers() + 2;
        const int32_t slots = 1 + CountWithin(FramesInFlightBudget() * 2 / 3, 2 * image + coder, 0, most - 1);
        return slots < 3 && !FramesInFlightLimited() ? 3 : slots;
    }

    void ReadLoop(int32_t from) {
        for (int32_t i = from; i < frames_; ++i) {
            FrameSlot* slot = nullptr;
            {
                std::unique_lock<std::mutex> lock(m_);
                freeCv_.wait(lock, [&] {
                    for (auto& s : slots_)
                        if (s->stage == FrameSlot::Stage::Free) slot = s.get();
                    return stopping_ || slot;
                });
                if (stopping_) return;
                slot->stage = FrameSlot::Stage::Reading;
                slot->index = i;
            }
            ReadFrameInto(*slot, i);
            std::lock_guard<std::mutex> lock(m_);
            // A frame that could not be read ends the reading, as it ends the pass.
            const bool failed = slot->readErr > 0 || slot->failure;
            slot->stage = failed ? FrameSlot::Stage::Done : FrameSlot::Stage::Read;
            if (failed) doneCv_.notify_one();
            else workCv_.notify_one();
            if (failed) return;
        }
    }

    // The read frame with the lowest index, under the lock; null when none.
    FrameSlot* NextToWork() {
        FrameSlot* next = nullptr;
        for (auto& s : slots_)
            if (s->stage == FrameSlot::Stage::Read && (!next || s->index < next->index)) next = s.get();
        return next;
    }

    void WorkLoop() {
        MarkWorkerThread();
        // Without a coder of its own (no memory for one), this thread leaves
        // the coding of its frames to the writer: the same bytes, later.
        std::unique_ptr<AviFrameCoder> coder;
        if (codeApart_ && MemoryGranted()) {
            try {
                coder = std::make_unique<AviFrameCoder>();
            } catch (const std::bad_alloc&) {
            }
        }
        for (;;) {
            FrameSlot* slot = nullptr;
            {
                std::unique_lock<std::mutex> lock(m_);
                workCv_.wait(lock, [&] { return stopping_ || (slot = NextToWork()) != nullptr; });
                if (stopping_) return;
                slot->stage = FrameSlot::Stage::Working;
            }
            WorkFrame(*slot, write_, coder.get());
            std::lock_guard<std::mutex> lock(m_);
            slot->stage = FrameSlot::Stage::Done;
            doneCv_.notify_one();
        }
    }

    const int32_t frames_;
    const bool write_;
    int32_t width_ = 0, height_ = 0;
    std::vector<std::unique_ptr<FrameSlot>> slots_;
    std::vector<std::thread> pool_;
    std::unique_ptr<BandPool> bands_;
    std::thread reader_;
    std::mutex m_;
    // The reader waits for a free slot, the pool for work, the pass for a
    // finished frame.
    std::condition_variable freeCv_, workCv_, doneCv_;
    bool stopping_ = false;
    bool threaded_ = false;
    bool codeApart_ = false;
};

}  // namespace

// ---------------------------------------------------------------- passes

bool ProcessFrames(bool write, const std::string& caption) {
    BusyGuard busy;
    PipelineHost& host = Host();
    const int32_t frames = FramesOfTheJob();

    StopFlag = 0;
    host.ProgressShow();
    host.ProgressStart(caption, frames);

    int32_t width = 0, height = 0;
    WorkImageSize(width, height);
    // What the reader's and writer's coders take on one thread, about two
    // frames of each movie, is kept from threads' stacks under a memory limit.
    const int64_t coders =
        2 * 3 * (int64_t(InputMovie.width) * InputMovie.height + int64_t(OutputMovie.width) * OutputMovie.height);
    struct Reserve {
        explicit Reserve(int64_t bytes) { ReserveForJob(bytes); }
        ~Reserve() { ReserveForJob(0); }
    } reserve(coders);
    // Under a memory limit the first frame goes alone, as on one thread:
    // the coders take what they keep and what they take for a while per
    // frame (FFV1's packet buffer is hundreds of MB of address space), and
    // that is kept from the threads and slots planned after it. No thread
    // helps it, not even for a half of its rescaling: its stack and arena
    // would stay mapped for good. Without a limit the threads start at
    // once, so that the writer's coder and the workers' do not all hold a
    // frame's buffers at the start.
    const bool firstAlone = MemoryRoom() != INT64_MAX;
    NoNewThreads alone(firstAlone);
    FramePipeline pipeline(frames, write);
    ErrCode = 0;
    if (!pipeline.Allocate(width, height)) {
        if (ErrCode <= 0) ErrCode = kErrMemory;
        ShowError("Error opening input movie.");
        host.ProgressClose();
        return false;
    }

    MovieOpen(InputMovie);
    if (ErrCode > 0) {
        ShowError("Error opening input movie.");
        MovieClose(InputMovie);
        host.ProgressClose();
        return false;
    }
    if (write) {
        // The FLIC writer picks its own upper-case extension: the file it
        // creates may not be the one of the name as typed.
        const std::string created =
            CreatedFileName(*OutputMovie.name, OutputMovie.kind, OutputMovie.width, OutputMovie.height);
        const FileMark before = MarkFile(created);
        MovieCreate(OutputMovie);
        if (ErrCode > 0) {
            ShowError("Error creating output movie.");
            // A half-made file is no movie: leave none.
            MovieClose(OutputMovie);
            if (IsContainerKind(OutputMovie.kind)) RemoveIfWritten(created, before);
            MovieClose(InputMovie);
            host.ProgressClose();
            return false;
        }
        // The sound is read for the time the frames play in the output, so
        // that each frame's sound is at hand when the frame is written (an
        // AVI writer takes a rate of 0 as one frame a second).
        if (InputMovie.kind == kKindAVI && OutputMovie.kind == kKindAVI)
            InputMovie.states.avi.outputFrameRate = OutputMovie.frameRate > 0 ? OutputMovie.frameRate : 1;
    }

    BytesProcessed = 0;
    LastRateUpdate = 0;
    const int64_t frameBytes =
        int64_t(InputMovie.width) * InputMovie.height * InputMovie.bytesPerPixel;
    RoundStepParams();
    RateClock.Start();

    bool failed = false;
    // A write that failed fails the close as well: one failure, one box.
    bool writeFailed = false;
    // The output reached its limit (the AVI size, a full disk): what was
    // written before stays, closed as a movie where its format allows.
    int32_t limit = 0;
    int32_t framesWritten = 0;
    auto finish = [&]() {
        bool result = !StopFlag && !failed;
        // The threads read the input: they end first.
        pipeline.Stop();
        host.ProgressClose();
        MovieClose(InputMovie);
        if (write) {
            ErrCode = 0;
            MovieClose(OutputMovie);
            const std::string name = OutputMovie.name->GetFileName();
            const std::string kept = "the first " + std::to_string(framesWritten) + " frame(s) are in " + name;
            if (ErrCode > 0) {
                // The header or index did not reach the disk: the file is no
                // movie, so it is not left behind looking like one.
                if (limit == kErrWrite)
                    ShowError("The disk is full: " + name + " could not be closed as a movie and was removed.");
                else if (!writeFailed)
                    ShowError("Error saving output frame.");
                if (IsContainerKind(OutputMovie.kind)) RemoveFile(name);
                result = false;
            } else if (limit == kErrAviFull) {
                ShowError("AVI files stop at 4 GB: " + kept + ", which plays; the rest were not written.");
            } else if (limit == kErrWrite) {
                ShowError(IsContainerKind(OutputMovie.kind)
                              ? "The disk is full: " + kept + ", which plays; the rest were not written."
                              : "The disk is full: the " + std::to_string(framesWritten) +
                                    " image(s) written before are whole; the rest were not written.");
            } else if (!result && framesWritten == 0 && IsContainerKind(OutputMovie.kind)) {
                // Stopped before its first frame: some containers (AVI) are
                // no movie without one, so none is left.
                RemoveFile(OutputMovie.name->GetFileName());
            }
        }
        return result;
    };

    try {
        if (!firstAlone) pipeline.StartThreads(0);
        for (int32_t i = 0; i < frames; ++i) {
            BytesProcessed += frameBytes;
            FrameSlot& frame = pipeline.Take(i);
            if (frame.failure) {
                // Memory that ran out on a frame fails it with the pass's
                // message, as a reader or writer reports it.
                if (!OutOfMemory(frame.failure)) std::rethrow_exception(frame.failure);
                ShowError(write ? "Error saving output frame." : "Error loading input frame.");
                writeFailed = write;
                StopFlag = 1;
                break;
            }
            // The window's stop points of the frame, in their order: after the
            // read, after each step and after the depth step.
            host.ProcessMessages();
            if (StopFlag) break;
            if (frame.readErr > 0) {
                ShowError("Error loading input frame.");
                StopFlag = 1;
                break;
            }
            bool stopped = false;
            for (int32_t s = 0; s < ToDoList.count && !stopped; ++s) {
                host.ProcessMessages();
                stopped = StopFlag != 0;
            }
            if (stopped) break;
            if (PaletteReduction) DepthStepTo(write, frame.cur, frame.spare);
            host.ProcessMessages();
            if (StopFlag) break;
            if (write) {
                host.FrameReady(i, *frame.cur);
                ErrCode = 0;
                MovieWriteFrame(OutputMovie, *frame.cur, i, frame.sound, &frame.coded);
                // The coder could not be opened or ran out of memory with the
                // frames in flight: once the threads gave theirs back, it is
                // tried again, as the job on one thread would have coded it.
                if ((ErrCode == kErrAviCompressStart || ErrCode == kErrAviNoFrame) && pipeline.GoOnAlone()) {
                    ErrCode = 0;
                    MovieWriteFrame(OutputMovie, *frame.cur, i, frame.sound, &frame.coded);
                }
                // An AVI closes with its index, a sequence keeps its whole images.
                if (ErrCode == kErrAviFull ||
                    (ErrCode == kErrWrite && (OutputMovie.kind == kKindAVI || !IsContainerKind(OutputMovie.kind)))) {
                    limit = ErrCode;
                    StopFlag = 1;
                    break;
                }
                if (ErrCode > 0) {
                    ShowError("Error saving output frame.");
                    writeFailed = true;
                    StopFlag = 1;
                    break;
                }
                ++framesWritten;
            }
            pipeline.Release(frame);
            host.ProgressFrame(i + 1);
            if (i == 0 && firstAlone) {
                alone.Release();
                ReserveForJob(std::max(coders, PeakAboveNow()));
                pipeline.StartThreads(1);
            }
            UpdateRateDisplay(i + 1, frames);
        }
        // The frames past the end of a movie cut short cannot be read: a pass
        // over all it holds reports them as the first such frame would.
        if (!StopFlag && frames == InputMovie.frames && MovieEndedEarly(InputMovie)) {
            ShowError("Error loading input frame.");
            StopFlag = 1;
        }
    } catch (...) {
        failed = true;
        finish();
        throw;
    }
    return finish();
}

void RunProcessing() {
    if (PipelineBusy()) return;
    if (!CheckInputOutput()) return;
    UpdateOutputLabel();
    if (!CheckOutputFiles()) return;
    PaletteReduction = NeedsPaletteReduction() ? 1 : 0;
    MonoClock clock;
    clock.Start();
    if (PaletteReduction && SinglePalette) {
        HistogramAlloc();
        if (ProcessFrames(false, "Processing (step 1 of 2)...")) {
            PaletteChoose(256);
            ProcessFrames(true, "Processing (step 2 of 2)...");
        }
        HistogramFree();
    } else {
        if (PaletteReduction) HistogramAlloc();
        ProcessFrames(true, "Processing...");
        if (PaletteReduction) HistogramFree();
    }
    int64_t ms = clock.ElapsedMs();
    ClockRecord rec = SplitMs(ms);
    uint64_t seconds = uint64_t(ms / 1000);
    Host().SetStatusText("Processing time: " + ElapsedText(rec) + " (" +
                         NumToText(uint32_t(std::min<uint64_t>(seconds, UINT32_MAX)), 100) +
                         " seconds)");
    BuildInputPreview();
    BuildOutputPreview();
#ifdef __GLIBC__
    // The allocator keeps what the job freed for later use: given back, a
    // window idles near the size it had before the job.
    malloc_trim(0);
#endif
}

// ---------------------------------------------------------------- previews

void PreviewInit() { ImageCreate(PreviewImage, kPreviewBox, kPreviewBox, 3); }
void PreviewFree() { ImageFree(PreviewImage); }

void FitPreviewSize(int32_t& w, int32_t& h, int32_t box) {
    ErrCode = 0;
    double rw = double(w) / box, rh = double(h) / box;
    if (!(rw > 0) || !(rh > 0)) {
        ErrCode = 1;
        return;
    }
    if (rw > rh) {
        w = box;
        h = int32_t(h / rw);
    } else {
        h = box;
        w = int32_t(w / rh);
    }
    // A very wide or tall movie still shows a line, never an empty picture.
    w = std::max(w, 1);
    h = std::max(h, 1);
}

void ExpandToTrueColour(imagerec& frame) {
    if (int64_t(frame.size) < int64_t(frame.width) * frame.height * 3) {
        ErrCode = 1;
        return;
    }
    imagerec tmp;
    ImageCreate(tmp, frame.width, frame.height, 3);
    if (ErrCode > 0) return;
    ImageConvertDepth(frame, tmp, 3);
    ImageCopy(tmp, frame);
    ImageFree(tmp);
}

void BuildInputPreview() {
    if (!PreviewImage.pixels) PreviewInit();
    if (!InputMovie.name || !InputMovie.name->IsValid()) {
        PreviewImage.width = 16;
        PreviewImage.height = 16;
        PreviewImage.bytesPerPixel = 3;
        PreviewImage.bitsPerPixel = 24;
        FillBytes(PreviewImage.pixels, 768, 0);
        return;
    }
    PipelineHost& host = Host();
    host.SetBusyCursor(true);
    bool failed = false;
    int32_t w = InputMovie.width, h = InputMovie.height;
    // A typed preview frame past the end shows the last frame.
    const int32_t want = std::clamp(PreviewFrame, 1, std::max(InputMovie.frames, 1));
    if (InputMovie.frames < 1 || w < 1 || h < 1) {
        failed = true;
    } else {
        // A movie record of its own, so the job's reader states stay untouched.
        movierec probe;
        probe.name = InputMovie.name;
        probe.kind = InputMovie.kind;
        probe.container = InputMovie.container;
        probe.width = w;
        probe.height = h;
        probe.bytesPerPixel = InputMovie.bytesPerPixel;
        probe.bitsPerPixel = InputMovie.bitsPerPixel;
        probe.frames = InputMovie.frames;
        probe.frameRate = InputMovie.frameRate;
        imagerec tmp;
        ImageCreate(tmp, w, h, probe.kind == kKindFLC || probe.kind == kKindFLI ? 1 : 3);
        if (ErrCode > 0) {
            failed = true;
        } else {
            ErrCode = 0;
            MovieOpen(probe);
            if (ErrCode > 0) {
                failed = true;
            } else if (IsContainerKind(probe.kind)) {
                for (int32_t i = 0; i < want; ++i) {
                    MovieReadPicture(probe, tmp, i);
                    if (ErrCode != 0) break;
                }
                failed = ErrCode > 0;
            } else {
                MovieReadPicture(probe, tmp, want - 1);
                failed = ErrCode > 0;
            }
            MovieClose(probe);
            if (ErrCode > 0) failed = true;
        }
        if (!failed) {
            w = tmp.width;
            h = tmp.height;
            FitPreviewSize(w, h, kPreviewBox);
            failed = ErrCode > 0;
        }
        if (!failed) {
            if (tmp.bytesPerPixel == 2) ExpandToTrueColour(tmp);
            failed = ErrCode > 0;
        }
        if (!failed) ImageResample(tmp, PreviewImage, w, h);
        ImageFree(tmp);
    }
    if (failed) {
        InputMovie.name->SetName("");
        ShowError("Error opening first frame.");
    }
    host.SetBusyCursor(false);
}

void BuildOutputPreview() {
    if (!InputMovie.name || !InputMovie.name->IsValid() || PipelineBusy()) return;
    if (!PreviewImage.pixels) return;
    BusyGuard busy;
    PipelineHost& host = Host();
    host.SetBusyCursor(true);
    RoundStepParams();
    ImageCreate(WorkImageA, kPreviewBox, kPreviewBox, 3);
    ImageCreate(WorkImageB, kPreviewBox, kPreviewBox, 3);
    CurrentImage = &WorkImageA;
    SpareImage = &WorkImageB;
    if (WorkImageA.pixels && WorkImageB.pixels) {
        ImageCopy(PreviewImage, *CurrentImage);
        for (int32_t s = 0; s < ToDoList.count; ++s) ApplyOperation(ToDoList.entries[s]);
        if (host.DcUsesPalette()) {
            HistogramAlloc();
            HistogramClear();
            HistogramAddFrame(PreviewImage);
            HistogramAddFrame(*CurrentImage);
            PaletteChoose(256);
            PaletteRemapFrame(*CurrentImage, *SpareImage);
            PaletteRemapFrame(PreviewImage, *CurrentImage);
            HistogramFree();
            host.DrawPreviews(*CurrentImage, *SpareImage);
        } else {
            host.DrawPreviews(PreviewImage, *CurrentImage);
        }
    }
    FreeWorkImages();
    host.SetBusyCursor(false);
}

}  // namespace movaltic
