#include "movaltic/formats/avi_riff.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/types.h>
#include <unistd.h>

#include "movaltic/formats/byte_io.h"

namespace movaltic {

namespace {

constexpr uint32_t kRiff = FourCC("RIFF");
constexpr uint32_t kList = FourCC("LIST");
constexpr uint64_t kMaxHeaderList = 16u << 20;  // hdrl beyond this is not a real header
constexpr uint64_t kRiffLimit = 0xFFFFFFF0u;    // AVI 1.0: every offset fits 32 bits

uint64_t& TestLimit() {
    static uint64_t limit = 0;
    return limit;
}

uint64_t SizeLimit() { return TestLimit() ? TestLimit() : kRiffLimit; }

void (*&TestWriteHook())() {
    static void (*hook)() = nullptr;
    return hook;
}

}  // namespace

std::string FourCCText(uint32_t fcc) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) s[i] = char((fcc >> (8 * i)) & 0xFF);
    return s;
}

void AviMainHeader::Store(uint8_t* out) const {
    const uint32_t v[14] = {microSecPerFrame, maxBytesPerSec, paddingGranularity, flags, totalFrames,
                            initialFrames, streams, suggestedBufferSize, width, height, 0, 0, 0, 0};
    for (int i = 0; i < 14; ++i) PutLE32(out + 4 * i, v[i]);
}

AviStreamHeader AviStreamHeader::Load(const uint8_t* p, size_t n) {
    uint8_t b[56] = {};
    std::memcpy(b, p, std::min<size_t>(n, 56));
    AviStreamHeader h;
    h.type = GetLE32(b);
    h.handler = GetLE32(b + 4);
    h.flags = GetLE32(b + 8);
    h.priority = GetLE16(b + 12);
    h.language = GetLE16(b + 14);
    h.initialFrames = GetLE32(b + 16);
    h.scale = GetLE32(b + 20);
    h.rate = GetLE32(b + 24);
    h.start = GetLE32(b + 28);
    h.length = GetLE32(b + 32);
    h.suggestedBufferSize = GetLE32(b + 36);
    h.quality = int32_t(GetLE32(b + 40));
    h.sampleSize = GetLE32(b + 44);
    h.left = int16_t(GetLE16(b + 48));
    h.top = int16_t(GetLE16(b + 50));
    h.right = int16_t(GetLE16(b + 52));
    h.bottom = int16_t(GetLE16(b + 54));
    return h;
}

void AviStreamHeader::Store(uint8_t* out) const {
    PutLE32(out, type);
    PutLE32(out + 4, handler);
    PutLE32(out + 8, flags);
    PutLE16(out + 12, priority);
    PutLE16(out + 14, language);
    PutLE32(out + 16, initialFrames);
    PutLE32(out + 20, scale);
    PutLE32(out + 24, rate);
    PutLE32(out + 28, start);
    PutLE32(out + 32, length);
    PutLE32(out + 36, suggestedBufferSize);
    PutLE32(out + 40, uint32_t(quality));
    PutLE32(out + 44, sampleSize);
    PutLE16(out + 48, uint16_t(left));
    PutLE16(out + 50, uint16_t(top));
    PutLE16(out + 52, uint16_t(right));
    PutLE16(out + 54, uint16_t(bottom));
}

// ---- reading ----

AviReader::~AviReader() { Close(); }

void AviReader::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    fileSize_ = 0;
    streams.clear();
    moviLists_.clear();
    mainHeader = {};
    videoStream = audioStream = -1;
    usedIndex = false;
}

// By position, without the stream's shared offset: the sound is read while
// another thread reads the next frame's chunks.
bool AviReader::ReadAt(uint64_t offset, void* dst, size_t n) {
    if (!file_ || offset > fileSize_ || n > fileSize_ - offset) return false;
    auto* out = static_cast<uint8_t*>(dst);
    while (n > 0) {
        const ssize_t got = ::pread(fileno(file_), out, n, off_t(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        offset += uint64_t(got);
        n -= size_t(got);
    }
    return true;
}

bool AviReader::Read(const AviChunk& chunk, std::vector<uint8_t>& out, size_t maxBytes) {
    size_t n = std::min<size_t>(chunk.size, maxBytes);
    out.resize(n);
    return ReadAt(chunk.offset, out.data(), n);
}

bool AviReader::Open(const std::string& path) {
    Close();
    file_ = OpenInputFile(path);
    if (!file_) return false;
    fseeko(file_, 0, SEEK_END);
    fileSize_ = uint64_t(ftello(file_));
    uint8_t head[12];
    if (!ReadAt(0, head, 12) || GetLE32(head) != kRiff || GetLE32(head + 8) != FourCC("AVI ")) return false;

    uint64_t riffPos = 0;
    int riffCount = 0;
    uint64_t indexPos = 0;
    uint32_t indexSize = 0;
    bool haveHeader = false;
    while (riffPos + 12 <= fileSize_ && riffCount < 1024) {
        if (!ReadAt(riffPos, head, 12) || GetLE32(head) != kRiff) break;
        ++riffCount;
        const uint64_t riffEnd = std::min<uint64_t>(riffPos + 8 + GetLE32(head + 4), fileSize_);
        uint64_t pos = riffPos + 12;
        while (pos + 8 <= riffEnd) {
            uint8_t ck[12];
            if (!ReadAt(pos, ck, 8)) break;
            const uint32_t id = GetLE32(ck), size = GetLE32(ck + 4);
            const uint64_t end = std::min<uint64_t>(pos + 8 + uint64_t(size), riffEnd);
            if (id == kList && pos + 12 <= riffEnd && ReadAt(pos + 8, ck + 8, 4)) {
                const uint32_t type = GetLE32(ck + 8);
                if (type == FourCC("hdrl") && !haveHeader) haveHeader = ParseHeaderList(pos + 12, end);
                else if (type == FourCC("movi")) moviLists_.push_back({pos + 12, end});
            } else if (id == FourCC("idx1") && riffCount == 1) {
                indexPos = pos + 8;
                indexSize = uint32_t(end - (pos + 8));
            }
            pos += 8 + uint64_t(size) + (size & 1);
        }
        riffPos += 8 + uint64_t(GetLE32(head + 4)) + (GetLE32(head + 4) & 1);
    }
    if (!haveHeader) return false;
    for (size_t i = 0; i < streams.size(); ++i) {
        if (videoStream < 0 && streams[i].header.type == FourCC("vids")) videoStream = int(i);
        if (audioStream < 0 && streams[i].header.type == FourCC("auds")) audioStream = int(i);
    }
    // An idx1 covers only the first RIFF; files that go on in further RIFFs are scanned.
    if (indexSize >= 16 && riffCount == 1 && !moviLists_.empty() && ParseIndex(indexPos, indexSize)) {
        usedIndex = true;
    } else {
        for (auto& s : streams) s.chunks.clear();
        uint64_t stop = 0;
        for (const auto& m : moviLists_) stop = ScanMovi(m.first, m.second, 0, false);
        // A file whose writer was killed may hold chunks past the sizes its
        // head last gave (other players read them too): the last list goes
        // on over its streams' chunks to the end of the file.
        if (!moviLists_.empty() && stop >= moviLists_.back().second) ScanMovi(stop, fileSize_, 0, true);
    }
    return true;
}

bool AviReader::ParseHeaderList(uint64_t pos, uint64_t end) {
    if (end <= pos || end - pos > kMaxHeaderList) return false;
    std::vector<uint8_t> buf(size_t(end - pos));
    if (!ReadAt(pos, buf.data(), buf.size())) return false;
    bool haveMain = false;
    ByteReader r(buf);
    while (r.remaining() >= 8) {
        uint32_t id = r.u32(), size = r.u32();
        size_t start = r.pos();
        size_t n = std::min<size_t>(size, r.remaining());
        if (id == FourCC("avih")) {
            uint8_t b[56] = {};
            std::memcpy(b, r.here(), std::min<size_t>(n, 56));
            mainHeader.microSecPerFrame = GetLE32(b);
            mainHeader.flags = GetLE32(b + 12);
            mainHeader.totalFrames = GetLE32(b + 16);
            mainHeader.streams = GetLE32(b + 24);
            mainHeader.width = GetLE32(b + 32);
            mainHeader.height = GetLE32(b + 36);
            haveMain = true;
        } else if (id == kList && n >= 4 && GetLE32(r.here()) == FourCC("strl") && streams.size() < 100) {
            Stream s;
            ByteReader l(r.here() + 4, n - 4);
            while (l.remaining() >= 8) {
                uint32_t sid = l.u32(), ssize = l.u32();
                size_t sn = std::min<size_t>(ssize, l.remaining());
                if (sid == FourCC("strh")) s.header = AviStreamHeader::Load(l.here(), sn);
                else if (sid == FourCC("strf")) s.format.assign(l.here(), l.here() + sn);
                l.skip(std::min<size_t>(l.remaining(), size_t(ssize) + (ssize & 1)));
            }
            streams.push_back(std::move(s));
        }
        r.seek(std::min<size_t>(r.size(), start + size + (size & 1)));
    }
    return haveMain || !streams.empty();
}

// The stream of a "##dc", "##db", "##pc" or "##wb" chunk, -1 for any
// other chunk or a stream the headers do not have.
int AviReader::StreamOf(uint32_t id) const {
    const char c0 = char(id & 0xFF), c1 = char((id >> 8) & 0xFF);
    if (c0 < '0' || c0 > '9' || c1 < '0' || c1 > '9') return -1;
    const size_t n = size_t((c0 - '0') * 10 + (c1 - '0'));
    if (n >= streams.size()) return -1;
    const uint32_t kind = id >> 16;
    if (kind != (FourCC("00dc") >> 16) && kind != (FourCC("00db") >> 16) && kind != (FourCC("00pc") >> 16) &&
        kind != (FourCC("00wb") >> 16))
        return -1;
    return int(n);
}

void AviReader::AddChunk(uint32_t id, uint32_t flags, uint64_t offset, uint32_t size) {
    const int n = StreamOf(id);
    if (n >= 0) streams[size_t(n)].chunks.push_back({id, flags, offset, size});
}

bool AviReader::ParseIndex(uint64_t pos, uint32_t size) {
    std::vector<uint8_t> buf(size / 16 * 16);
    if (!ReadAt(pos, buf.data(), buf.size())) return false;
    // Offsets count from the 'movi' fourcc in most files, from the file start in some.
    const uint64_t moviFcc = moviLists_.front().first - 4;
    int64_t base = -1;
    for (size_t i = 0; i + 16 <= buf.size() && base < 0; i += 16) {
        uint32_t id = GetLE32(&buf[i]), off = GetLE32(&buf[i + 8]);
        if ((GetLE32(&buf[i + 4]) & kAviListEntry) || id == FourCC("rec ")) continue;
        uint8_t probe[4];
        if (ReadAt(moviFcc + off, probe, 4) && GetLE32(probe) == id) base = int64_t(moviFcc);
        else if (ReadAt(off, probe, 4) && GetLE32(probe) == id) base = 0;
        else return false;
    }
    if (base < 0) return false;
    size_t added = 0;
    for (size_t i = 0; i + 16 <= buf.size(); i += 16) {
        uint32_t id = GetLE32(&buf[i]), flags = GetLE32(&buf[i + 4]);
        uint64_t offset = uint64_t(base) + GetLE32(&buf[i + 8]) + 8;
        uint32_t n = GetLE32(&buf[i + 12]);
        if ((flags & kAviListEntry) || id == FourCC("rec ")) continue;
        if (offset > fileSize_ || n > fileSize_ - offset) continue;  // cut off by a truncated file
        AddChunk(id, flags, offset, n);
        ++added;
    }
    return added > 0;
}

uint64_t AviReader::ScanMovi(uint64_t pos, uint64_t end, int depth, bool pastList) {
    while (pos + 8 <= end) {
        uint8_t ck[12];
        if (!ReadAt(pos, ck, 8)) break;
        const uint32_t id = GetLE32(ck), size = GetLE32(ck + 4);
        if (id == kList) {
            if (pastList) break;
            if (pos + 12 <= end && ReadAt(pos + 8, ck + 8, 4) && GetLE32(ck + 8) == FourCC("rec ") && depth < 4)
                ScanMovi(pos + 12, std::min<uint64_t>(pos + 8 + uint64_t(size), end), depth + 1, false);
        } else {
            // Past the list only the chunks of its streams belong to it.
            if (pastList && StreamOf(id) < 0 && id != FourCC("JUNK")) break;
            if (pos + 8 + uint64_t(size) > end) break;  // a chunk cut off by the end of the file
            // Without an index every chunk counts as a key frame.
            AddChunk(id, kAviKeyFrame, pos + 8, size);
        }
        pos += 8 + uint64_t(size) + (size & 1);
    }
    return pos;
}

// ---- writing ----

void AviWriter::SetSizeLimitForTests(uint64_t bytes) { TestLimit() = bytes; }

void AviWriter::SetWriteHookForTests(void (*hook)()) { TestWriteHook() = hook; }

AviWriter::~AviWriter() { Abandon(); }

void AviWriter::Abandon() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool AviWriter::Create(const std::string& path) {
    Abandon();
    failed_ = begun_ = full_ = diskFull_ = sizeLimited_ = false;
    index_.clear();
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr;
}

bool AviWriter::Put(const void* p, size_t n) {
    if (failed_ || !file_) return false;
    if (TestWriteHook()) TestWriteHook()();
    if (n && std::fwrite(p, 1, n, file_) != n) failed_ = true;
    position_ += n;
    return !failed_;
}

bool AviWriter::Begin(const std::vector<uint8_t>* hdrl) {
    begun_ = true;
    moviStart_ = reserve_;
    // The file starts with a head for no chunks rather than zeros, in one
    // write, so that one killed before its first refresh is an AVI file of
    // no frames or nothing.
    std::vector<uint8_t> top;
    if (hdrl) top = Top(*hdrl, moviStart_ + 12, moviStart_ + 12);
    if (top.empty()) {
        top.assign(size_t(moviStart_ + 8), 0);
        PutLE32(&top[size_t(moviStart_)], kList);
    }
    top.resize(top.size() + 4);
    PutLE32(&top[top.size() - 4], FourCC("movi"));
    if (!PutAt(top.data(), top.size(), 0) || fseeko(file_, off_t(top.size()), SEEK_SET) != 0) failed_ = true;
    position_ = top.size();
    return !failed_;
}

bool AviWriter::WriteChunk(uint32_t id, const void* data, uint32_t size, uint32_t flags) {
    if ((!begun_ && !Begin(nullptr)) || failed_) return false;
    // Past what an AVI 1.0 file can address, with the index after it.
    if (position_ + 8 + uint64_t(size) + 16 * (index_.size() / 16 + 1) + 16 > SizeLimit()) {
        full_ = true;
        return false;
    }
    const uint64_t chunkStart = position_;
    uint8_t entry[16];
    PutLE32(entry, id);
    PutLE32(entry + 4, flags);
    PutLE32(entry + 8, uint32_t(position_ - (moviStart_ + 8)));
    PutLE32(entry + 12, size);
    index_.insert(index_.end(), entry, entry + 16);
    uint8_t head[8];
    PutLE32(head, id);
    PutLE32(head + 4, size);
    Put(head, 8);
    Put(data, size);
    if (size & 1) Put("", 1);
    // Flushed chunk by chunk, so that a failure is this chunk's.
    if (!failed_ && std::fflush(file_) != 0) failed_ = true;
    if (failed_) {
        const bool limited = errno == EFBIG;
        // The disk took only part of it: the chunk and its index entry go,
        // so that what came before can still be closed as a movie.
        index_.resize(index_.size() - 16);
        std::fflush(file_);
        if (ftruncate(fileno(file_), off_t(chunkStart)) == 0 && fseeko(file_, off_t(chunkStart), SEEK_SET) == 0) {
            position_ = chunkStart;
            failed_ = false;
            full_ = true;
            diskFull_ = true;
            sizeLimited_ = limited;
        }
        return false;
    }
    return true;
}

std::vector<uint8_t> AviWriter::Top(const std::vector<uint8_t>& hdrl, uint64_t moviEnd, uint64_t fileEnd) const {
    if (12 + hdrl.size() + 8 > moviStart_) return {};  // headers outgrew their space
    std::vector<uint8_t> top(size_t(moviStart_ + 8), 0);
    PutLE32(&top[0], kRiff);
    PutLE32(&top[4], uint32_t(fileEnd - 8));
    PutLE32(&top[8], FourCC("AVI "));
    std::memcpy(&top[12], hdrl.data(), hdrl.size());
    const size_t junk = 12 + hdrl.size();
    PutLE32(&top[junk], FourCC("JUNK"));
    PutLE32(&top[junk + 4], uint32_t(moviStart_ - junk - 8));
    PutLE32(&top[size_t(moviStart_)], kList);
    PutLE32(&top[size_t(moviStart_) + 4], uint32_t(moviEnd - moviStart_ - 8));
    return top;
}

bool AviWriter::PutAt(const uint8_t* p, size_t n, uint64_t offset) {
    while (n > 0) {
        if (TestWriteHook()) TestWriteHook()();
        const ssize_t got = ::pwrite(fileno(file_), p, n, off_t(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        offset += uint64_t(got);
        n -= size_t(got);
    }
    return true;
}

bool AviWriter::WriteTop(const std::vector<uint8_t>& hdrl, uint64_t moviEnd, uint64_t fileEnd) {
    const std::vector<uint8_t> top = Top(hdrl, moviEnd, fileEnd);
    // By position: the chunks go on at the end through the stream. One
    // write from the RIFF size to the movi size, so that a job killed
    // between two writes leaves no head counting other chunks than its
    // list holds.
    return !top.empty() && PutAt(top.data(), top.size(), 0);
}

void AviWriter::Refresh(const std::vector<uint8_t>& hdrl) {
    if (!file_ || failed_) return;
    if (!begun_) {
        Begin(&hdrl);
        return;
    }
    // Chunks are flushed as they are written, so everything up to position_
    // is in the file.
    WriteTop(hdrl, position_, position_);
}

bool AviWriter::Finish(const std::vector<uint8_t>& hdrl) {
    if (!file_) return false;
    if (!begun_) Begin(&hdrl);
    const uint64_t indexPos = position_;
    uint8_t head[8];
    PutLE32(head, FourCC("idx1"));
    PutLE32(head + 4, uint32_t(index_.size()));
    Put(head, 8);
    Put(index_.data(), index_.size());
    if (!failed_ && std::fflush(file_) != 0) failed_ = true;
    if (!failed_ && !WriteTop(hdrl, indexPos, position_)) failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

void AppendChunk(std::vector<uint8_t>& out, uint32_t id, const void* data, size_t size) {
    size_t at = out.size();
    out.resize(at + 8 + size + (size & 1), 0);
    PutLE32(&out[at], id);
    PutLE32(&out[at + 4], uint32_t(size));
    if (size) std::memcpy(&out[at + 8], data, size);
}

size_t BeginList(std::vector<uint8_t>& out, uint32_t type) {
    size_t at = out.size();
    out.resize(at + 12, 0);
    PutLE32(&out[at], kList);
    PutLE32(&out[at + 8], type);
    return at;
}

void EndList(std::vector<uint8_t>& out, size_t at) { PutLE32(&out[at + 4], uint32_t(out.size() - at - 8)); }

}  // namespace movaltic
