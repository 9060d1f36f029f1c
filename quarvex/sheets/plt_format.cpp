#include "quarvex/sheets/plt_format.h"

#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/safe_write.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>

#include <cerrno>
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

// Whether a text that is not valid UTF-8 is UTF-8 but for a few stray
// bytes: its well-formed characters beyond ASCII outnumber the bytes that
// start none. A Windows-1252 text rarely has two bytes in a row that form
// a UTF-8 character (an upper-case accented letter before a symbol), and
// it has its other accented letters as stray bytes beside them.
bool mostlyUtf8(std::string_view t) {
    qsizetype wide = 0, stray = 0;
    for (size_t i = 0; i < t.size();) {
        if (static_cast<unsigned char>(t[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t len = utf8Length(t.substr(i));
        if (len == 0) {
            ++stray;
            ++i;
        } else {
            ++wide;
            i += len;
        }
    }
    return wide > stray;
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

}  // namespace

int PltRowLimit() { return rowLimit; }
void SetPltRowLimit(int rows) { rowLimit = rows; }

void PltLineCounter::character(char32_t c) {
    if (afterCr_) {
        afterCr_ = false;
        if (c == '\n') return;
    }
    if (c == '\r' || c == '\n') {
        ++ended_;
        open_ = false;
        afterCr_ = c == '\r';
    } else {
        open_ = true;
    }
}

void PltLineCounter::Feed(std::string_view bytes) {
    const size_t n = bytes.size();
    size_t i = 0;
    // The first two bytes tell whether the file is UTF-16.
    for (; form_ == Form::Unknown && i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (!held_ && (b == 0xFF || b == 0xFE)) {
            held_ = true;
            heldByte_ = b;
            continue;
        }
        form_ = held_ && heldByte_ == 0xFF && b == 0xFE   ? Form::Utf16Le
                : held_ && heldByte_ == 0xFE && b == 0xFF ? Form::Utf16Be
                                                          : Form::Bytes;
        if (form_ != Form::Bytes) {
            held_ = false;
            continue;
        }
        if (held_) character(heldByte_);
        held_ = false;
        character(b);
    }
    if (form_ == Form::Bytes) {
        // Every other file's bytes, counted here rather than through
        // character(): that call per byte makes a 3 MB file open half as slowly again.
        for (; i < n; ++i) {
            const char ch = bytes[i];
            if (afterCr_) {
                afterCr_ = false;
                if (ch == '\n') continue;
            }
            if (ch == '\r' || ch == '\n') {
                ++ended_;
                open_ = false;
                afterCr_ = ch == '\r';
            } else {
                open_ = true;
            }
        }
        return;
    }
    for (; i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (!held_) {
            held_ = true;
            heldByte_ = b;
            continue;
        }
        held_ = false;
        character(form_ == Form::Utf16Le ? heldByte_ | b << 8 : heldByte_ << 8 | b);
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
    out.utf16 = file.startsWith("\xFF\xFE") ? Utf16::LittleEnd : file.startsWith("\xFE\xFF") ? Utf16::BigEnd : Utf16::No;
    if (out.utf16 != Utf16::No) {
        out.utf8 = out.mark = true;
        out.bytes = utf8FromUtf16(QByteArrayView(file).sliced(2), out.utf16);
    } else {
        out.bytes = file;
        const bool high = std::any_of(file.begin(), file.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
        if (high) {
            out.mark = file.startsWith("\xEF\xBB\xBF");
            const std::string_view text = std::string_view(file.constData(), static_cast<size_t>(file.size())).substr(out.mark ? 3 : 0);
            if (QByteArrayView(file).isValidUtf8()) {
                out.utf8 = true;
                if (out.mark) out.bytes.remove(0, 3);
            } else if (out.mark || mostlyUtf8(text)) {
                out.utf8 = true;
                out.bytes = mendStrayBytes(text);
            }
        }
    }
    for (std::string_view line : SplitPltLines(std::string_view(out.bytes.constData(), static_cast<size_t>(out.bytes.size()))))
        out.widestLine = std::max(out.widestLine, static_cast<int>(std::count(line.begin(), line.end(), '\t')) + 1);
    if (out.utf8) {
        const auto end = std::find_if(out.bytes.cbegin(), out.bytes.cend(), [](char c) { return c == '\r' || c == '\n'; });
        if (end != out.bytes.cend())
            out.lineEnd = *end == '\r' && end + 1 != out.bytes.cend() && end[1] == '\n' ? QByteArray("\r\n") : QByteArray(1, *end);
    }
    return out;
}

QByteArray Utf16FileBytes(QByteArrayView utf8, Utf16 order) {
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
    if (lines.Total() > rowLimit) RaiseTooManyLines();
    return bytes;
}

}  // namespace quarvex
