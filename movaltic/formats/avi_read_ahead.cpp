#include "movaltic/formats/avi_read_ahead.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "movaltic/imaging/threads.h"

namespace movaltic {

// ---- the next frame ahead ----

void DecodeAhead::Request() {
    pending_ = true;
    // Without the thread the frame is decoded at Take; a thread held back
    // for now is asked for again with a later frame.
    refused_ = !thread_.joinable();
    if (refused_ && !startRefused_) {
        refused_ = !StartThread(thread_, [this] { Loop(); });
        startRefused_ = refused_ && !NewThreadsHeld();
    }
    if (refused_) return;
    std::lock_guard<std::mutex> lock(m_);
    wanted_ = true;
    done_ = false;
    cv_.notify_all();
}

NextPicture DecodeAhead::Take() {
    if (!pending_ || refused_) {
        pending_ = false;
        return decode_();
    }
    pending_ = false;
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [this] { return done_; });
    done_ = false;
    return result_;
}

void DecodeAhead::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(m_);
        quit_ = true;
        cv_.notify_all();
    }
    thread_.join();
}

void DecodeAhead::Loop() {
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
        cv_.wait(lock, [this] { return wanted_ || quit_; });
        if (quit_) return;
        wanted_ = false;
        lock.unlock();
        NextPicture got;
        try {
            got = decode_();
        } catch (...) {  // memory ran out: the frame failed
            got = {NextPicture::Failed};
        }
        lock.lock();
        result_ = got;
        done_ = true;
        cv_.notify_all();
    }
}

// ---- frames decoded apart ----

namespace {

// What a picture keeps of the pictures before it, read from the head of a
// Motion JPEG chunk up to its scan.
struct JpegHead {
    bool alone = false;  // a plain baseline picture with its quantisation tables
    bool huffman = false;  // all four Huffman tables of its own (else the defaults)
    bool restarts = false;  // a restart interval of its own
    unsigned components = 0;  // of the frame
    size_t scan = 0;  // where the scan's header starts
};

JpegHead ReadJpegHead(const uint8_t* p, size_t n) {
    JpegHead head;
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) return head;
    bool dqt = false, sof = false;
    unsigned tables = 0;  // a bit per Huffman class and table
    size_t at = 2;
    while (at + 4 <= n) {
        if (p[at] != 0xFF) return head;
        const uint8_t marker = p[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const size_t length = size_t(p[at + 2]) << 8 | p[at + 3];
        if (length < 2 || at + 2 + length > n) return head;
        const uint8_t* seg = p + at + 4;
        const size_t segBytes = length - 2;
        switch (marker) {
            case 0xDA:  // the scan: all that matters came before it
                head.alone = dqt && sof && (tables == 0 || tables == 0xF);
                head.huffman = tables != 0;
                head.scan = at;
                return head;
            case 0xDB: dqt = true; break;
            case 0xC0:
            case 0xC1:
                sof = segBytes >= 6;
                head.components = sof ? seg[5] : 0;
                break;
            case 0xDD: head.restarts = true; break;
            case 0xFE: break;  // a comment
            case 0xE0:
                // AVI1 with two fields to a chunk joins them: not plain.
                if (segBytes >= 5 && std::memcmp(seg, "AVI1", 4) == 0 && seg[4] != 0) return head;
                break;
            case 0xC4:
                for (size_t k = 0; k < segBytes;) {
                    const unsigned cls = seg[k] >> 4, id = seg[k] & 15;
                    if (cls > 1 || id > 1 || k + 17 > segBytes) return head;
                    size_t codes = 0;
                    for (size_t i = 1; i <= 16; ++i) codes += seg[k + i];
                    tables |= 1u << (cls * 2 + id);
                    k += 17 + codes;
                }
                break;
            default: return head;  // anything else might carry over
        }
        at += 2 + length;
    }
    return head;
}

// Whether a chunk is a whole picture by its markers: one scan that takes
// every component, followed by the picture's end or nothing. A second scan
// or another table after the first may leave parts of the picture, or the
// tables of frames after it, as the decoder held them.
bool OneScanPicture(const std::vector<uint8_t>& chunk) {
    const uint8_t* p = chunk.data();
    const size_t n = chunk.size();
    const JpegHead head = ReadJpegHead(p, n);
    if (!head.alone) return false;
    size_t at = head.scan;
    if (at + 5 > n || p[at + 4] != head.components) return false;
    at += 2 + (size_t(p[at + 2]) << 8 | p[at + 3]);
    // The coded data runs to the first marker other than a restart; a 0xFF
    // followed by 0 is a data byte, one followed by 0xFF a fill byte.
    while (at < n) {
        const void* ff = std::memchr(p + at, 0xFF, n - at);
        if (!ff) return true;
        at = size_t(static_cast<const uint8_t*>(ff) - p) + 1;
        if (at >= n) return true;
        const uint8_t marker = p[at];
        if (marker == 0xFF || marker == 0 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        return marker == 0xD9;
    }
    return true;
}

}  // namespace

bool StreamDecodesApart(AviReader& reader, const AviVideoDecoder& decoder, const AviReader::Stream& video,
                        size_t maxChunk) {
    if (!decoder.decodesJpeg() || video.chunks.empty()) return false;
    std::vector<uint8_t> bytes(2048);
    size_t huffman = 0, restarts = 0;
    for (const AviChunk& c : video.chunks) {
        if (c.paletteChange() || c.size == 0 || c.size > maxChunk) return false;
        const size_t n = std::min<size_t>(c.size, bytes.size());
        if (!reader.ReadAt(c.offset, bytes.data(), n)) return false;
        const JpegHead head = ReadJpegHead(bytes.data(), n);
        if (!head.alone) return false;
        huffman += head.huffman;
        restarts += head.restarts;
    }
    const size_t all = video.chunks.size();
    return (huffman == 0 || huffman == all) && (restarts == 0 || restarts == all);
}

bool ApartDecoding::Start(int32_t count, const AviVideoDecoder& stream) {
    size_t started = 0;
    try {
        lanes_ = std::vector<Lane>(size_t(count));
        for (size_t k = 0; k < lanes_.size(); ++k) {
            Lane& lane = lanes_[k];
            lane.next = first_ + k;
            if (!lane.decoder.Open(video_.format, video_.header.handler)) break;
            lane.decoder.SetDepthOf(stream);
            lane.decoder.FailDamagedFrames();
            if (!StartThread(lane.thread, [this, &lane] { Decode(lane); })) break;
            ++started;
        }
    } catch (const std::bad_alloc&) {
    }
    if (started == lanes_.size() && started > 0) return true;
    // Lanes must cover the frames in turn: with fewer, none.
    StopLanes();
    return false;
}

ApartDecoding::Taken ApartDecoding::Take(imagerec& image) {
    if (first_ + taken_ >= video_.chunks.size()) return End;
    Lane& lane = lanes_[taken_ % lanes_.size()];
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [&] { return lane.ready; });
    // The lane's decoder holds the picture and waits meanwhile.
    if (!lane.ok || !lane.decoder.Fits(image) || !lane.decoder.Decode({}, image)) return InOrder;
    ++taken_;
    lane.ready = false;
    cv_.notify_all();
    return Given;
}

void ApartDecoding::Decode(Lane& lane) {
    std::vector<uint8_t> chunk;
    for (; lane.next < video_.chunks.size(); lane.next += lanes_.size()) {
        bool ok = false;
        try {
            ok = reader_.Read(video_.chunks[lane.next], chunk) && OneScanPicture(chunk) &&
                 lane.decoder.Send(chunk) && lane.decoder.HasPicture() && lane.decoder.PreparePicture();
        } catch (...) {  // memory ran out: the frame failed
            ok = false;
        }
        std::unique_lock<std::mutex> lock(m_);
        lane.ok = ok;
        lane.ready = true;
        cv_.notify_all();
        cv_.wait(lock, [&] { return !lane.ready || quit_; });
        if (quit_) return;
    }
}

void ApartDecoding::StopLanes() {
    {
        std::lock_guard<std::mutex> lock(m_);
        quit_ = true;
        cv_.notify_all();
    }
    for (Lane& lane : lanes_)
        if (lane.thread.joinable()) lane.thread.join();
}

}  // namespace movaltic
