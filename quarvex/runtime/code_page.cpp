#include "quarvex/runtime/code_page.h"

#include <array>

namespace qvrt {

namespace {

// Bytes 0x80..0x9F; the rest of Windows-1252 is Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeOne(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

QString DecodeWindows1252(std::string_view bytes) {
    // No buffer for an empty cell: writing through data() would make one.
    if (bytes.empty()) return QString();
    QString out;
    DecodeWindows1252(bytes, out);
    return out;
}

void DecodeWindows1252(std::string_view bytes, QString& out) {
    out.resize(static_cast<qsizetype>(bytes.size()));
    if (bytes.empty()) return;
    QChar* d = out.data();
    for (unsigned char b : bytes) *d++ = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
}

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

}  // namespace qvrt
