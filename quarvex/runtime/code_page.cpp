#include "quarvex/runtime/code_page.h"

#include <algorithm>
#include <array>

namespace qvrt {

namespace {

// Bytes 0x80..0x9F; the rest of Windows-1252 is Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte of c, -1 when Windows-1252 has none.
int byteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c) return static_cast<int>(0x80 + i);
    return -1;
}

char encodeOne(char16_t c) {
    const int b = byteOf(c);
    return b < 0 ? '?' : static_cast<char>(b);
}

char16_t charOf(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b); }

// Decodes bytes into out's characters from `at` on, which out grows to hold.
void decodeAt(std::string_view bytes, QString& out, qsizetype at) {
    out.resize(at + static_cast<qsizetype>(bytes.size()));
    if (bytes.empty()) return;
    QChar* d = out.data() + at;
    for (unsigned char b : bytes) *d++ = QChar(charOf(b));
}

std::string_view wideText(std::string_view cell) { return cell.substr(1); }

}  // namespace

QString DecodeWindows1252(std::string_view bytes) {
    // No buffer for an empty cell: writing through data() would make one.
    if (bytes.empty()) return QString();
    QString out;
    DecodeWindows1252(bytes, out);
    return out;
}

void DecodeWindows1252(std::string_view bytes, QString& out) { decodeAt(bytes, out, 0); }

void AppendWindows1252(QStringView text, QByteArray& out) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* d = out.data() + start;
    const QChar* end = text.data() + text.size();
    for (const QChar* c = text.data(); c != end; ++c) {
        // A character beyond 16 bits comes as a surrogate pair: one '?' for both.
        if (c->isHighSurrogate() && c + 1 != end && c[1].isLowSurrogate()) ++c;
        *d++ = encodeOne(c->unicode());
    }
    out.resize(d - out.constData());
}

QByteArray EncodeWindows1252(QStringView text) {
    QByteArray out;
    AppendWindows1252(text, out);
    return out;
}

void AppendCellBytes(QStringView text, QByteArray& out) {
    const qsizetype start = out.size();
    if (text.isEmpty() || text.front() != QChar(kWideCellMark)) {
        out.resize(start + text.size());
        char* d = out.data() + start;
        bool fits = true;
        for (QChar c : text) {
            const int b = byteOf(c.unicode());
            if (b < 0) {
                fits = false;
                break;
            }
            *d++ = static_cast<char>(b);
        }
        if (fits) return;
        out.resize(start);
    }
    out.append(kWideCellMark);
    out.append(text.toUtf8());
}

QByteArray CellBytes(QStringView text) {
    QByteArray out;
    AppendCellBytes(text, out);
    return out;
}

void AppendCellBytesFromUtf8(std::string_view utf8, QByteArray& out) {
    const size_t n = utf8.size();
    // A text that begins with the mark takes the wide form whatever it holds.
    const bool marked = n > 0 && utf8[0] == kWideCellMark;
    if (!marked) {
        // Decoded straight into Windows-1252 while every character has a
        // byte there: no wide copy for the usual accented letters.
        const qsizetype start = out.size();
        size_t i = 0;
        while (i < n) {
            const unsigned char b = static_cast<unsigned char>(utf8[i]);
            if (b < 0x80) {
                out.append(static_cast<char>(b));
                ++i;
                continue;
            }
            const size_t len = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 0;
            if (len == 0 || i + len > n) break;
            char32_t c = b & (len == 2 ? 0x1F : 0x0F);
            bool ok = true;
            for (size_t k = 1; k < len; ++k) {
                const unsigned char t = static_cast<unsigned char>(utf8[i + k]);
                ok = ok && (t & 0xC0) == 0x80;
                c = (c << 6) | (t & 0x3F);
            }
            // Overlong forms and lone surrogates are no characters; byteOf refuses the latter.
            const int byte = ok && c >= (len == 2 ? 0x80u : 0x800u) ? byteOf(static_cast<char16_t>(c)) : -1;
            if (byte < 0) break;
            out.append(static_cast<char>(byte));
            i += len;
        }
        if (i == n) return;
        out.resize(start);
        if (QByteArrayView(utf8.data(), static_cast<qsizetype>(n)).isValidUtf8()) {
            out.append(kWideCellMark);
            out.append(utf8.data(), static_cast<qsizetype>(n));
            return;
        }
    }
    // Bytes that are no UTF-8 (after a byte-order mark) are read as Qt reads them.
    AppendCellBytes(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(n)), out);
}

QString DecodeCell(std::string_view cell) {
    QString out;
    if (!cell.empty()) DecodeCell(cell, out);
    return out;
}

void DecodeCell(std::string_view cell, QString& out) {
    if (!IsWideCell(cell)) return DecodeWindows1252(cell, out);
    const std::string_view text = wideText(cell);
    out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void AppendDecodedCell(std::string_view cell, QString& out) {
    if (IsWideCell(cell)) {
        const std::string_view text = wideText(cell);
        out.append(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        return;
    }
    decodeAt(cell, out, out.size());
}

void AppendCellUtf8(std::string_view cell, QByteArray& out) {
    if (IsWideCell(cell)) {
        const std::string_view text = wideText(cell);
        out.append(text.data(), static_cast<qsizetype>(text.size()));
        return;
    }
    const size_t n = cell.size();
    for (size_t i = 0; i < n; ++i) {
        size_t ascii = i;
        while (ascii < n && static_cast<unsigned char>(cell[ascii]) < 0x80) ++ascii;
        out.append(cell.data() + i, static_cast<qsizetype>(ascii - i));
        if (ascii == n) break;
        i = ascii;
        const char16_t c = charOf(static_cast<unsigned char>(cell[i]));
        if (c < 0x800) {
            out.append(static_cast<char>(0xC0 | (c >> 6)));
            out.append(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.append(static_cast<char>(0xE0 | (c >> 12)));
            out.append(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.append(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
}

}  // namespace qvrt
