// The RIFF/AVI container: reading the headers, the chunk index (idx1, or a
// scan of the movi lists when there is none) and chunk data; writing an
// AVI 1.0 file with its headers, interleaved chunks and idx1.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace movaltic {

constexpr uint32_t FourCC(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | (uint32_t(uint8_t(s[1])) << 8) | (uint32_t(uint8_t(s[2])) << 16) |
           (uint32_t(uint8_t(s[3])) << 24);
}
std::string FourCCText(uint32_t fcc);

constexpr uint32_t kAviKeyFrame = 0x10;       // AVIIF_KEYFRAME
constexpr uint32_t kAviListEntry = 0x01;      // AVIIF_LIST
constexpr uint32_t kAviHasIndex = 0x10;       // AVIF_HASINDEX
constexpr uint32_t kAviIsInterleaved = 0x100; // AVIF_ISINTERLEAVED
constexpr uint32_t kAviPaletteChanges = 0x10000;  // AVISF_VIDEO_PALCHANGES

// Main AVI header ('avih', 56 bytes).
struct AviMainHeader {
    uint32_t microSecPerFrame = 0, maxBytesPerSec = 0, paddingGranularity = 0, flags = 0;
    uint32_t totalFrames = 0, initialFrames = 0, streams = 0, suggestedBufferSize = 0;
    uint32_t width = 0, height = 0;
    void Store(uint8_t* out) const;
};

// Stream header ('strh', 56 bytes), the stream information of a stream.
struct AviStreamHeader {
    uint32_t type = 0, handler = 0, flags = 0;
    uint16_t priority = 0, language = 0;
    uint32_t initialFrames = 0, scale = 0, rate = 0, start = 0, length = 0, suggestedBufferSize = 0;
    int32_t quality = 0;
    uint32_t sampleSize = 0;
    int16_t left = 0, top = 0, right = 0, bottom = 0;
    static AviStreamHeader Load(const uint8_t* p, size_t n);  // shorter headers are zero-extended
    void Store(uint8_t* out) const;
};

// One data chunk of a stream: its id ("00dc", "01wb", ...), its index
// flags, the file offset of its data and the data size.
struct AviChunk {
    uint32_t id = 0;
    uint32_t flags = 0;
    uint64_t offset = 0;
    uint32_t size = 0;
    // A "##pc" chunk: a new palette for the frames after it, no frame itself.
    bool paletteChange() const { return (id >> 16) == (FourCC("00pc") >> 16); }
};

class AviReader {
public:
    struct Stream {
        AviStreamHeader header;
        std::vector<uint8_t> format;  // the whole 'strf'
        std::vector<AviChunk> chunks; // in file order ("##pc" included for video)
    };

    AviReader() = default;
    AviReader(const AviReader&) = delete;
    AviReader& operator=(const AviReader&) = delete;
    ~AviReader();

    // False when the file cannot be opened or is no AVI file.
    bool Open(const std::string& path);
    void Close();

    // Reads a chunk's data, at most maxBytes; false when the file is short.
    bool Read(const AviChunk& chunk, std::vector<uint8_t>& out, size_t maxBytes = SIZE_MAX);
    // Reads n bytes at offset; false when the file is short.
    bool ReadAt(uint64_t offset, void* dst, size_t n);

    AviMainHeader mainHeader;
    std::vector<Stream> streams;
    int videoStream = -1;   // first "vids" stream
    int audioStream = -1;   // first "auds" stream
    bool usedIndex = false; // chunks came from idx1 rather than a scan

private:
    bool ParseHeaderList(uint64_t pos, uint64_t end);
    bool ParseIndex(uint64_t pos, uint32_t size);
    // Adds the chunks from pos to end and returns where it stopped; past
    // the movi list's own end (pastList) only over its streams' chunks.
    uint64_t ScanMovi(uint64_t pos, uint64_t end, int depth, bool pastList);
    int StreamOf(uint32_t id) const;
    void AddChunk(uint32_t id, uint32_t flags, uint64_t offset, uint32_t size);

    std::FILE* file_ = nullptr;
    uint64_t fileSize_ = 0;
    std::vector<std::pair<uint64_t, uint64_t>> moviLists_;  // data start, end
};

// Writes movi chunks as they come and the index at Finish. The header area
// before movi is reserved when the first chunk is written; Refresh fills it
// for the chunks so far, so that a file whose writer never finishes (killed,
// a crash, a power cut) still plays up to its last whole chunk.
class AviWriter {
public:
    AviWriter() = default;
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;
    ~AviWriter();

    bool Create(const std::string& path);
    // Space kept for the headers; must be called before the first chunk.
    void ReserveHeader(uint32_t bytes) { reserve_ = bytes; }
    bool WriteChunk(uint32_t id, const void* data, uint32_t size, uint32_t flags);
    // hdrl: the whole header list (LIST 'hdrl' with its head). False when it
    // does not fit the reserved space or any write fails.
    bool Finish(const std::vector<uint8_t>& hdrl);
    // The file's head (RIFF, hdrl, JUNK, movi list head) for the chunks
    // written so far, without an index; before the first chunk, it starts
    // the file. Leaves the writer as it was; a head that cannot be written
    // waits for the next call or for Finish.
    void Refresh(const std::vector<uint8_t>& hdrl);
    void Abandon();
    bool failed() const { return failed_; }
    // True once a chunk was refused because the file would pass the size an
    // AVI 1.0 file may have: what was written before stays whole, and
    // Finish closes the file with its index as usual.
    bool full() const { return full_; }
    // True when that was the disk running out rather than the AVI limit.
    bool diskFull() const { return diskFull_; }
    // True when that was the user's file size limit (writes failed with EFBIG).
    bool sizeLimited() const { return sizeLimited_; }
    // For tests: a smaller size limit than AVI 1.0's 4 GB (0 restores it).
    static void SetSizeLimitForTests(uint64_t bytes);
    // For tests: called before every write to the file (nullptr: none).
    static void SetWriteHookForTests(void (*hook)());
    uint32_t chunkCount() const { return uint32_t(index_.size() / 16); }

private:
    bool Put(const void* p, size_t n);
    // Starts the file: its head for no chunks from hdrl, or zeros without.
    bool Begin(const std::vector<uint8_t>* hdrl);
    // The bytes before the first chunk: headers, JUNK up to the movi list
    // and its head, for a movi list ending at moviEnd and a file at fileEnd;
    // empty when the headers do not fit.
    std::vector<uint8_t> Top(const std::vector<uint8_t>& hdrl, uint64_t moviEnd, uint64_t fileEnd) const;
    bool WriteTop(const std::vector<uint8_t>& hdrl, uint64_t moviEnd, uint64_t fileEnd);
    // Writes by position, past the stream.
    bool PutAt(const uint8_t* p, size_t n, uint64_t offset);

    std::FILE* file_ = nullptr;
    uint32_t reserve_ = 8192;
    bool begun_ = false;
    bool failed_ = false;
    bool full_ = false;
    bool diskFull_ = false;
    bool sizeLimited_ = false;
    uint64_t moviStart_ = 0;  // offset of the 'movi' list head
    uint64_t position_ = 0;
    std::vector<uint8_t> index_;
};

// Builders for header chunks.
void AppendChunk(std::vector<uint8_t>& out, uint32_t id, const void* data, size_t size);
// Appends a LIST head and returns where its size field is, for EndList.
size_t BeginList(std::vector<uint8_t>& out, uint32_t type);
void EndList(std::vector<uint8_t>& out, size_t at);

}  // namespace movaltic
