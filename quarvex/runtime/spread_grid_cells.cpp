#include "quarvex/runtime/spread_grid_cells.h"

#include "quarvex/runtime/code_page.h"

#include <algorithm>
#include <new>

namespace qvrt {

namespace {

// Packed entry: column (2 bytes, little end first; the top bit, free as
// columns are at most 32767, marks a cell as read from a file), length
// (7-bit groups, low first, high bit = more), then the bytes.
constexpr int kReadMark = 0x8000;

void putEntry(std::string& out, int col, std::string_view text, bool read = false) {
    col |= static_cast<int>(read) << 15;  // kReadMark
    out.push_back(static_cast<char>(col & 0xFF));
    out.push_back(static_cast<char>((col >> 8) & 0xFF));
    size_t n = text.size();
    do {
        unsigned char b = n & 0x7F;
        n >>= 7;
        if (n) b |= 0x80;
        out.push_back(static_cast<char>(b));
    } while (n);
    out.append(text);
}

// Reads the entry at pos and advances pos past it; true when it is marked as read.
bool nextEntry(const std::string& s, size_t& pos, int& col, std::string_view& text) {
    const unsigned char high = static_cast<unsigned char>(s[pos + 1]);
    col = static_cast<unsigned char>(s[pos]) | (high & 0x7F) << 8;
    pos += 2;
    size_t n = 0;
    int shift = 0;
    unsigned char b;
    do {
        b = static_cast<unsigned char>(s[pos++]);
        n |= static_cast<size_t>(b & 0x7F) << shift;
        shift += 7;
    } while (b & 0x80);
    text = std::string_view(s).substr(pos, n);
    pos += n;
    return high & (kReadMark >> 8);
}

// The same cells in two packed rows, whether marked as read or not.
bool sameCells(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0, j = 0; i < a.size();) {
        int ca, cb;
        std::string_view ta, tb;
        nextEntry(a, i, ca, ta);
        nextEntry(b, j, cb, tb);
        if (ca != cb || ta != tb) return false;
    }
    return true;
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Rows kept for sinceWatch: a few thousand edited rows; a save after more
// compares the whole sheet.
constexpr size_t kMaxOriginalBytes = 4 << 20;

}  // namespace

GridCells::GridCells(int cols, int rows) : cols_(std::clamp(cols, 1, kMaxCols)) {
    rows_.resize(static_cast<size_t>(std::max(rows, 1)));
}

void GridCells::setCols(int cols) {
    cols = std::clamp(cols, 1, kMaxCols);
    if (cols != cols_) ++changes_;
    if (cols < cols_) clear(cols + 1, 1, cols_, this->rows());
    cols_ = cols;
}

void GridCells::setRows(int rows) {
    const size_t want = static_cast<size_t>(std::max(rows, 1));
    if (want != rows_.size()) ++changes_;
    // Rows dropped that held cells when watched cannot come back as they were.
    for (size_t r = want; watching_ && !lost_ && r < rows_.size(); ++r) {
        const auto kept = originals_.find(r);
        if (!(kept != originals_.end() ? kept->second : rows_[r]).empty()) loseWatch();
    }
    if (watching_) originals_.erase(originals_.lower_bound(want), originals_.end());
    rows_.resize(want);
}

void GridCells::watch(bool on) {
    watching_ = on;
    lost_ = false;
    originals_.clear();
    originalBytes_ = 0;
}

void GridCells::keepOriginal(size_t r) {
    if (lost_ || originals_.count(r)) return;
    const std::string& s = rows_[r];
    if (originalBytes_ + s.size() > kMaxOriginalBytes) return loseWatch();
    try {
        originals_.emplace(r, s);
        originalBytes_ += s.size();
    } catch (const std::bad_alloc&) {
        loseWatch();  // the edit goes on; only a later save compares more
    }
}

void GridCells::loseWatch() {
    if (!watching_) return;
    lost_ = true;
    originals_.clear();
    originalBytes_ = 0;
}

GridCells::SinceWatch GridCells::sinceWatch() const {
    if (!watching_ || lost_) return SinceWatch::Unknown;
    for (const auto& [r, s] : originals_)
        if (!sameCells(rows_[r], s)) return SinceWatch::Changed;
    return SinceWatch::Same;
}

void GridCells::reserveRows(int rows) {
    const size_t want = static_cast<size_t>(std::max(rows, 1));
    if (want <= rows_.capacity()) return;
    // Half as much again at least: a sheet grown row by row at its end must
    // not be copied at every row.
    rows_.reserve(std::max(want, rows_.capacity() + rows_.capacity() / 2));
}

std::vector<GridCells::Entry> GridCells::unpack(const std::string& packed) {
    std::vector<Entry> entries;
    size_t pos = 0;
    while (pos < packed.size()) {
        Entry e;
        e.read = nextEntry(packed, pos, e.col, e.text);
        entries.push_back(e);
    }
    return entries;
}

void GridCells::pack(const std::vector<Entry>& entries, std::string& out) {
    std::string packed;
    for (const Entry& e : entries)
        if (!e.text.empty()) putEntry(packed, e.col, e.text, e.read);
    out = std::move(packed);
    if (out.capacity() > out.size() + 64) out.shrink_to_fit();
}

std::string_view GridCells::get(int col, int row) const {
    if (!inRange(col, row)) return {};
    const std::string& s = rows_[static_cast<size_t>(row - 1)];
    size_t pos = 0;
    while (pos < s.size()) {
        int c;
        std::string_view text;
        nextEntry(s, pos, c, text);
        if (c == col) return text;
        if (c > col) break;
    }
    return {};
}

void GridCells::getRow(int row, int lastCol, std::vector<std::string_view>& out) const {
    out.assign(static_cast<size_t>(std::max(lastCol, 0)) + 1, std::string_view());
    if (row < 1 || row > rows()) return;
    const int last = std::min(lastCol, cols_);
    const std::string& s = rows_[static_cast<size_t>(row - 1)];
    size_t pos = 0;
    while (pos < s.size()) {
        int c;
        std::string_view text;
        nextEntry(s, pos, c, text);
        if (c > last) break;
        if (c >= 1) out[static_cast<size_t>(c)] = text;
    }
}

void GridCells::set(int col, int row, std::string_view bytes) {
    if (!inRange(col, row)) return;
    ++changes_;
    if (watching_) keepOriginal(static_cast<size_t>(row - 1));
    std::string& s = rows_[static_cast<size_t>(row - 1)];
    // Text taken from this very row must be copied before the row changes.
    std::string copy;
    if (!s.empty() && bytes.data() >= s.data() && bytes.data() < s.data() + s.size()) {
        copy.assign(bytes);
        bytes = copy;
    }
    // Splice the one entry in place: cell-by-cell writes of a whole sheet
    // stay linear in the row's length.
    size_t pos = 0;
    while (pos < s.size()) {
        const size_t at = pos;
        int c;
        std::string_view text;
        nextEntry(s, pos, c, text);
        if (c < col) continue;
        std::string entry;
        if (!bytes.empty()) putEntry(entry, col, bytes, reading_);
        s.replace(at, c == col ? pos - at : 0, entry);
        return;
    }
    if (!bytes.empty()) putEntry(s, col, bytes, reading_);
}

void GridCells::setRun(int row, int col, const std::vector<std::string_view>& fields) {
    if (row < 1 || row > rows() || col > cols_ || fields.empty()) return;
    ++changes_;
    if (watching_) keepOriginal(static_cast<size_t>(row - 1));
    std::string& s = rows_[static_cast<size_t>(row - 1)];
    // The new texts may point into s itself (a cell copied onto its row), so
    // build the row from copies of the old entries.
    const std::string old = s;
    std::vector<Entry> entries = unpack(old);
    std::vector<Entry> merged;
    merged.reserve(entries.size() + fields.size());
    const int first = std::max(col, 1);
    const int last = std::min(col + static_cast<int>(fields.size()) - 1, cols_);
    size_t i = 0;
    for (; i < entries.size() && entries[i].col < first; ++i) merged.push_back(entries[i]);
    for (int c = first; c <= last; ++c) merged.push_back({c, reading_, fields[static_cast<size_t>(c - col)]});
    for (; i < entries.size(); ++i)
        if (entries[i].col > last) merged.push_back(entries[i]);
    pack(merged, s);
}

void GridCells::clear(int col1, int row1, int col2, int row2) {
    row1 = std::max(row1, 1);
    row2 = std::min(row2, rows());
    ++changes_;
    for (int r = row1; r <= row2; ++r) {
        std::string& s = rows_[static_cast<size_t>(r - 1)];
        if (s.empty()) continue;
        if (watching_) keepOriginal(static_cast<size_t>(r - 1));
        if (col1 <= 1 && col2 >= cols_) {
            std::string().swap(s);
            continue;
        }
        const std::string old = s;
        std::vector<Entry> entries = unpack(old);
        std::erase_if(entries, [&](const Entry& e) { return e.col >= col1 && e.col <= col2; });
        pack(entries, s);
    }
}

void GridCells::insertRow(int row) {
    if (row < 1 || row > rows()) return;
    ++changes_;
    loseWatch();
    rows_.pop_back();
    rows_.insert(rows_.begin() + (row - 1), std::string());
}

void GridCells::removeRow(int row) {
    if (row < 1 || row > rows()) return;
    ++changes_;
    loseWatch();
    rows_.erase(rows_.begin() + (row - 1));
    rows_.emplace_back();
}

qsizetype GridCells::count() const {
    qsizetype n = 0;
    for (const std::string& s : rows_) {
        size_t pos = 0;
        while (pos < s.size()) {
            int c;
            std::string_view text;
            nextEntry(s, pos, c, text);
            ++n;
        }
    }
    return n;
}

int GridCells::lastUsedRow() const {
    for (int r = rows(); r >= 1; --r)
        if (!rows_[static_cast<size_t>(r - 1)].empty()) return r;
    return 0;
}

QByteArray GridCells::tabText(bool utf8, std::string_view lineEnd, bool* wideMet, const CellTest& keepBytes) const {
    if (wideMet) *wideMet = false;
    const int last = lastUsedRow();
    qsizetype size = 0;
    for (int r = 0; r < last; ++r)
        size += static_cast<qsizetype>(rows_[static_cast<size_t>(r)].size() + lineEnd.size());
    QByteArray out;
    out.reserve(size);
    for (int r = 0; r < last; ++r) {
        const std::string& s = rows_[static_cast<size_t>(r)];
        size_t pos = 0;
        int at = 1;  // column the next field written belongs to
        while (pos < s.size()) {
            int c;
            std::string_view text;
            const bool read = nextEntry(s, pos, c, text);
            for (; at < c; ++at) out.append('\t');
            // ASCII is the same bytes either way: only other text read from a file is tested.
            if (utf8 && keepBytes && read && !IsWideCell(text) && (isAscii(text) || keepBytes(text))) {
                out.append(text.data(), static_cast<qsizetype>(text.size()));
            } else if (utf8) {
                AppendCellUtf8(text, out);
            } else if (IsWideCell(text)) {
                if (wideMet) *wideMet = true;
                return {};
            } else {
                out.append(text.data(), static_cast<qsizetype>(text.size()));
            }
        }
        out.append(lineEnd.data(), static_cast<qsizetype>(lineEnd.size()));
    }
    return out;
}

}  // namespace qvrt
