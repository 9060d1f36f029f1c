#include "quarvex/sheets/plt_format.h"

#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/safe_write.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <bitset>
#include <map>
#include <memory>

#include <cerrno>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvex {

namespace {

// A sheet of 15,000 rows by 50 columns of ten characters is under 10 MB;
// anything far beyond that is not a data file.
constexpr qint64 kMaxDataFileBytes = 256LL * 1024 * 1024;

int rowLimit = kPltMaxRows;

[[noreturn]] void RaiseTooManyLines() {
    // "1,000,000": a bare run of zeros is hard to read at a glance.
    const std::string digits = std::to_string(rowLimit);
    std::string count;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) count += ',';
        count += digits[i];
    }
    throw qvrt::RuntimeError(7, "The file has more than " + count + " lines, the most rows a sheet can hold.");
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// The length of the well-formed UTF-8 character that starts the text, 0
// when none does (a stray byte).
size_t utf8Length(std::string_view t) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(t[k]); };
    const unsigned char b = at(0);
    size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the second byte's range
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0) lo = 0xA0;  // no overlong forms
        if (b == 0xED) hi = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (t.size() < len || at(1) < lo || at(1) > hi) return 0;
    for (size_t k = 2; k < len; ++k)
        if ((at(k) & 0xC0) != 0x80) return 0;
    return len;
}

// The script a character beyond ASCII is written in, as far as telling
// UTF-8 from Windows-1252 goes: 0 for the characters at home in any Latin
// text (Latin letters, Greek as science writes it, punctuation and
// symbols, and the four-byte characters a Windows-1252 letter followed by
// three symbols never forms), kNoText for C1 controls, which no text holds,
// else a number for the script.
constexpr int kNoText = -1;
int scriptOf(char32_t c) {
    if (c < 0xA0) return kNoText;
    if (c < 0x250 || (c >= 0x370 && c < 0x400) || (c >= 0x1E00 && c < 0x2C00) || c >= 0x10000) return 0;
    if (c < 0x530) return c < 0x300 ? 1 : c < 0x370 ? 2 : 3;  // IPA and modifiers, combining marks, Cyrillic
    if ((c >= 0x600 && c < 0x700) || (c >= 0x750 && c < 0x780) || (c >= 0x8A0 && c < 0x900)) return 4;  // Arabic
    if ((c >= 0x2E80 && c < 0xA000) || (c >= 0xF900 && c < 0xFB00) || (c >= 0xFF00 && c < 0xFFF0)) return 5;  // CJK
    if ((c >= 0xAC00 && c < 0xD7B0) || (c >= 0x1100 && c < 0x1200)) return 6;  // Hangul
    return 16 + static_cast<int>(c >> 7);  // a block of its own
}

// The text's bytes beyond ASCII: onChar(c) for each well-formed UTF-8
// character, onStray(byte) for each other byte. False as soon as one of
// them returns false.
template <typename OnChar, typename OnStray>
bool eachUtf8(std::string_view t, OnChar&& onChar, OnStray&& onStray) {
    for (size_t i = 0; i < t.size();) {
        const auto b = static_cast<unsigned char>(t[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        const size_t len = utf8Length(t.substr(i));
        if (len == 0) {
            if (!onStray(b)) return false;
            ++i;
            continue;
        }
        char32_t c = b & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) c = c << 6 | (static_cast<unsigned char>(t[i + k]) & 0x3F);
        if (!onChar(c)) return false;
        i += len;
    }
    return true;
}

// Different characters of each script among chars.
using ScriptCounts = std::map<int, int>;
ScriptCounts scriptCounts(const std::map<char32_t, qsizetype>& chars) {
    ScriptCounts scripts;
    for (const auto& [c, n] : chars) ++scripts[scriptOf(c)];
    return scripts;
}

// A character of Latin text, or of a script the text has at least three
// different characters of (text written in it).
bool ofTextScript(char32_t c, const ScriptCounts& scripts) {
    const int script = scriptOf(c);
    if (script == 0) return true;
    const auto found = scripts.find(script);
    return script != kNoText && found != scripts.end() && found->second >= 3;
}

// Whether a text that is not valid UTF-8 is UTF-8 with a few stray
// Windows-1252 bytes beyond reasonable doubt. Windows-1252 text has byte
// pairs that form UTF-8 characters by chance (a capital accented letter
// before a symbol: "Ø–" is U+0616, "Ä°" is "İ") and UTF-8 typed into it by
// mistake ("MÃ©"), with its other accented letters stray bytes beside them.
// So the UTF-8 characters must be varied, in the scripts of the text, and
// far more than the doubts:
// - a character counts once however often it comes (a column of "Ø–12" is
//   one pair again and again), for the varied count;
// - a character of a script other than those at home in Latin text counts
//   only where the file has at least three different ones of that script
//   (text written in it); otherwise it is a doubt, as a stray byte is;
// - at least four different characters, four times as many as the
//   different doubts, and four times as many occurrences as theirs.
// Doubt goes to Windows-1252: read so, a UTF-8 file shows garbled letters
// but keeps its bytes through an edit and a save, while a Windows-1252
// file read as UTF-8 would have its stray bytes rewritten. scripts gets the
// counts of the text's scripts.
bool mostlyUtf8(std::string_view t, ScriptCounts& scripts) {
    std::map<char32_t, qsizetype> chars;  // well-formed characters and their counts
    std::bitset<256> strayKinds;
    qsizetype strays = 0;
    eachUtf8(
        t, [&](char32_t c) { return ++chars[c], true; },
        [&](unsigned char b) {
            ++strays;
            strayKinds.set(b);
            return true;
        });
    scripts = scriptCounts(chars);
    qsizetype kinds = 0, count = 0, doubtKinds = static_cast<qsizetype>(strayKinds.count()), doubts = strays;
    for (const auto& [c, n] : chars) {
        if (ofTextScript(c, scripts)) {
            ++kinds;
            count += n;
        } else {
            ++doubtKinds;
            doubts += n;
        }
    }
    return kinds >= 4 && kinds >= 4 * doubtKinds && count >= 4 * doubts;
}

// The cells that hold UTF-8 in a text of these scripts, see SheetText::utf8Cells.
std::function<bool(std::string_view)> utf8CellsOf(ScriptCounts scripts) {
    return [scripts = std::make_shared<const ScriptCounts>(std::move(scripts))](std::string_view cell) {
        bool beyondAscii = false;
        return eachUtf8(
                   cell, [&](char32_t c) { return beyondAscii = true, ofTextScript(c, *scripts); },
                   [](unsigned char) { return false; }) &&
               beyondAscii;
    };
}

// The text in UTF-8, each stray byte taken as its Windows-1252 character.
QByteArray mendStrayBytes(std::string_view t) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(t.size() + t.size() / 16));
    for (size_t i = 0; i < t.size();) {
        size_t ascii = i;
        while (ascii < t.size() && static_cast<unsigned char>(t[ascii]) < 0x80) ++ascii;
        out.append(t.data() + i, static_cast<qsizetype>(ascii - i));
        if (ascii == t.size()) break;
        i = ascii;
        const size_t len = utf8Length(t.substr(i));
        if (len) {
            out.append(t.data() + i, static_cast<qsizetype>(len));
            i += len;
        } else {
            // A byte above 127 is no cell mark: AppendCellUtf8 takes it as Windows-1252.
            qvrt::AppendCellUtf8(t.substr(i, 1), out);
            ++i;
        }
    }
    return out;
}

QByteArray utf8FromUtf16(QByteArrayView units, Utf16 order) {
    // Stateless: an odd last byte becomes a replacement character rather
    // than vanishing; a second mark at the start is text and stays.
    QStringDecoder decode(order == Utf16::LittleEnd ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                          QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    const QString text = decode(units);
    return text.toUtf8();
}

// The byte order of a UTF-16 file without a mark: an even size, no U+0000
// and no lone surrogate, its first character and at least half of all up to
// U+00FF. Its ASCII text has every other byte zero, which Windows-1252 and
// UTF-8 text never has, and its first character, one byte zero and one not,
// tells the order. Nor may a character have a tab, CR or LF as its upper
// byte (U+09xx, U+0Axx, U+0Dxx): those are what an 8-bit file with NUL
// bytes in it shows when read so, its tabs and line ends out of step.
Utf16 utf16WithoutMark(std::string_view f) {
    if (f.size() < 2 || f.size() % 2 != 0) return Utf16::No;
    const auto at = [&](size_t k) { return static_cast<unsigned char>(f[k]); };
    const Utf16 order = at(0) != 0 && at(1) == 0 ? Utf16::LittleEnd : at(0) == 0 && at(1) != 0 ? Utf16::BigEnd : Utf16::No;
    if (order == Utf16::No) return order;
    const size_t low = order == Utf16::LittleEnd ? 0 : 1;
    size_t narrow = 0;
    bool pairOpen = false;  // a high surrogate waits for its low one
    for (size_t i = 0; i < f.size(); i += 2) {
        const unsigned unit = at(i + low) | at(i + 1 - low) << 8;
        const unsigned upper = unit >> 8;
        if (unit == 0 || upper == '\t' || upper == '\n' || upper == '\r') return Utf16::No;
        const bool lowHalf = unit >= 0xDC00 && unit < 0xE000;
        if (lowHalf != pairOpen) return Utf16::No;
        pairOpen = unit >= 0xD800 && unit < 0xDC00;
        if (unit < 0x100) ++narrow;
    }
    return !pairOpen && 2 * narrow >= f.size() / 2 ? order : Utf16::No;
}

// The line end most of the text's lines have, the first line's on a tie,
// CR LF where there is none. A file with mixed line ends edited and saved
// gets this one throughout: the fewest of its lines change.
QByteArray usualLineEnd(QByteArrayView t) {
    static const std::array<QByteArray, 3> ends = {"\r\n", "\r", "\n"};
    // Found with memchr rather than byte by byte: this runs at every open.
    const char* const begin = t.data();
    const char* const end = begin + t.size();
    const auto each = [&](char c, auto&& found) {
        for (const char* p = begin; p < end; ++p) {
            p = static_cast<const char*>(std::memchr(p, c, static_cast<size_t>(end - p)));
            if (!p) break;
            found(p);
        }
    };
    qsizetype crs = 0, lfs = 0, crlfs = 0;
    const char *firstCr = end, *firstLf = end;
    each('\r', [&](const char* p) {
        if (!crs++) firstCr = p;
    });
    each('\n', [&](const char* p) {
        if (!lfs++) firstLf = p;
        if (p > begin && p[-1] == '\r') ++crlfs;
    });
    if (crs + lfs == 0) return ends[0];
    const std::array<qsizetype, 3> counts = {crlfs, crs - crlfs, lfs - crlfs};
    size_t best = firstCr < firstLf ? (firstCr + 1 == firstLf ? 0 : 1) : 2;
    for (size_t k = 0; k < ends.size(); ++k)
        if (counts[k] > counts[best]) best = k;
    return ends[best];
}

}  // namespace

int PltRowLimit() { return rowLimit; }
void SetPltRowLimit(int rows) { rowLimit = rows; }

void PltLineCounter::Ends::character(char32_t c) {
    if (afterCr) {
        afterCr = false;
        if (c == '\n') return;
    }
    if (c == '\r' || c == '\n') {
        ++ended;
        open = false;
        afterCr = c == '\r';
    } else {
        open = true;
    }
}

long long PltLineCounter::Ended() const {
    if (form_ == Form::MaybeLe || form_ == Form::MaybeBe) return std::min(bytes_.ended, units_.ended);
    return form_ == Form::Utf16Le || form_ == Form::Utf16Be ? units_.ended : bytes_.ended;
}

long long PltLineCounter::Total(bool utf16) const {
    if (form_ == Form::Unknown) return held_ ? 1 : 0;  // a file of one byte
    const bool units = form_ == Form::Utf16Le || form_ == Form::Utf16Be ||
                       (utf16 && (form_ == Form::MaybeLe || form_ == Form::MaybeBe));
    // A byte left over (an odd size) is a character of a UTF-16 file.
    return units ? units_.ended + (units_.open || held_ ? 1 : 0) : bytes_.total();
}

void PltLineCounter::Feed(std::string_view bytes) {
    const size_t n = bytes.size();
    size_t i = 0;
    // The first two bytes tell whether the file is, or may be, UTF-16.
    for (; form_ == Form::Unknown && i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (!held_) {
            held_ = true;
            heldByte_ = b;
            continue;
        }
        held_ = false;
        const unsigned char a = heldByte_;
        form_ = a == 0xFF && b == 0xFE   ? Form::Utf16Le
                : a == 0xFE && b == 0xFF ? Form::Utf16Be
                : a != 0 && b == 0       ? Form::MaybeLe
                : a == 0 && b != 0       ? Form::MaybeBe
                                         : Form::Bytes;
        if (form_ == Form::Utf16Le || form_ == Form::Utf16Be) continue;
        bytes_.character(a);
        bytes_.character(b);
        if (form_ != Form::Bytes) units_.character(form_ == Form::MaybeLe ? a | b << 8 : a << 8 | b);
    }
    if (form_ == Form::Bytes) {
        // Every other file's bytes, counted here rather than through
        // character(): that call per byte makes a 3 MB file open half as slowly again.
        Ends e = bytes_;
        for (; i < n; ++i) {
            const char ch = bytes[i];
            if (e.afterCr) {
                e.afterCr = false;
                if (ch == '\n') continue;
            }
            if (ch == '\r' || ch == '\n') {
                ++e.ended;
                e.open = false;
                e.afterCr = ch == '\r';
            } else {
                e.open = true;
            }
        }
        bytes_ = e;
        return;
    }
    const bool both = form_ == Form::MaybeLe || form_ == Form::MaybeBe;
    const bool little = form_ == Form::Utf16Le || form_ == Form::MaybeLe;
    for (; i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (both) bytes_.character(b);
        if (!held_) {
            held_ = true;
            heldByte_ = b;
            continue;
        }
        held_ = false;
        units_.character(little ? heldByte_ | b << 8 : heldByte_ << 8 | b);
    }
}

std::vector<std::string_view> SplitPltLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    const size_t n = bytes.size();
    for (size_t i = 0; i < n; ++i) {
        char ch = bytes[i];
        if (ch == '\r' || ch == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            if (ch == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < n) lines.push_back(bytes.substr(start));
    return lines;
}

QString DecodePltLine(std::string_view line) {
    size_t tabs = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t' && ++tabs == kPltMaxFields) {
            line = line.substr(0, i);
            break;
        }
    }
    return qvrt::DecodeWindows1252(line);
}

SheetText SheetTextFromFile(const QByteArray& file) {
    SheetText out;
    const std::string_view all(file.constData(), static_cast<size_t>(file.size()));
    out.utf16 = file.startsWith("\xFF\xFE") ? Utf16::LittleEnd : file.startsWith("\xFE\xFF") ? Utf16::BigEnd : Utf16::No;
    out.mark = out.utf16 != Utf16::No;
    if (!out.mark) out.utf16 = utf16WithoutMark(all);
    if (out.utf16 != Utf16::No) {
        out.utf8 = true;
        out.bytes = utf8FromUtf16(QByteArrayView(file).sliced(out.mark ? 2 : 0), out.utf16);
    } else {
        out.bytes = file;
        const bool high = std::any_of(file.begin(), file.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
        if (high) {
            out.mark = file.startsWith("\xEF\xBB\xBF");
            const std::string_view text = all.substr(out.mark ? 3 : 0);
            ScriptCounts scripts;
            if (QByteArrayView(file).isValidUtf8()) {
                out.utf8 = true;
                if (out.mark) out.bytes.remove(0, 3);
            } else if (out.mark || mostlyUtf8(text, scripts)) {
                out.utf8 = true;
                out.bytes = mendStrayBytes(text);
            } else {
                out.utf8Cells = utf8CellsOf(std::move(scripts));
            }
        }
    }
    for (std::string_view line : SplitPltLines(std::string_view(out.bytes.constData(), static_cast<size_t>(out.bytes.size()))))
        out.widestLine = std::max(out.widestLine, static_cast<int>(std::count(line.begin(), line.end(), '\t')) + 1);
    out.lineEnd = usualLineEnd(out.bytes);
    return out;
}

QByteArray Utf16FileBytes(QByteArrayView utf8, Utf16 order, bool mark) {
    // A zero-width no-break space that begins the first cell is text, not a mark to drop.
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    const QString text = decode(utf8);
    QByteArray out(2 * (text.size() + 1), Qt::Uninitialized);
    char* d = out.data();
    const bool little = order == Utf16::LittleEnd;
    auto put = [&](char16_t unit) {
        d[little ? 0 : 1] = static_cast<char>(unit & 0xFF);
        d[little ? 1 : 0] = static_cast<char>(unit >> 8);
        d += 2;
    };
    put(0xFEFF);
    for (QChar c : text) put(c.unicode());
    if (!mark) {
        const QByteArray bare = out.sliced(2);
        if (bare.isEmpty()) return bare;
        if (utf16WithoutMark(std::string_view(bare.constData(), static_cast<size_t>(bare.size()))) == order) return bare;
    }
    return out;
}

QByteArray ReadDataFile(const QString& path) {
    if (path.isEmpty()) qvrt::Raise(qvrt::ErrFileNotFound);
    const QByteArray native = QFile::encodeName(path);
    if (native.contains('\0')) qvrt::Raise(qvrt::ErrInvalidFileName);
    Fd fd(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) qvrt::RaiseFileErrno(errno, path);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) qvrt::RaiseFileErrno(errno, path);
    // Folders and devices (a /dev/zero would never end) are not data files.
    if (!S_ISREG(st.st_mode)) qvrt::Raise(qvrt::ErrPathFileAccess);
    if (st.st_size > kMaxDataFileBytes)
        throw qvrt::RuntimeError(7, "The file is too large to open as a sheet.");
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(st.st_size));
    PltLineCounter lines;
    char buf[1 << 16];
    for (;;) {
        ssize_t got = ::read(fd.get(), buf, sizeof buf);
        if (got < 0) {
            if (errno == EINTR) continue;
            qvrt::RaiseFileErrno(errno, path);
        }
        if (got == 0) break;
        if (bytes.size() + got > kMaxDataFileBytes)
            throw qvrt::RuntimeError(7, "The file is too large to open as a sheet.");
        bytes.append(buf, got);
        lines.Feed(std::string_view(buf, static_cast<size_t>(got)));
        if (lines.Ended() > rowLimit) RaiseTooManyLines();
    }
    if (lines.Total(utf16WithoutMark(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))) != Utf16::No) >
        rowLimit)
        RaiseTooManyLines();
    return bytes;
}

}  // namespace quarvex
