// The .plt data file, free of widgets: one line per grid row from row 1 (the
// headings), cells from column 1 separated by tabs, lines ended by CR LF, in
// the Windows-1252 code page. Reading accepts CR LF, CR alone and LF alone,
// and a last line without an end.
#pragma once

#include "quarvex/runtime/safe_write.h"

#include <QByteArray>
#include <QString>
#include <string_view>
#include <vector>

namespace quarvex {

// Columns a line can fill; further fields of a line have no cells.
constexpr int kPltMaxFields = 50;

// The most lines a data file may have. Every row of a sheet costs memory
// however short its line, so a file of nothing but line ends could ask for
// gigabytes; at this many rows opening any file stays under 1 GB.
constexpr int kPltMaxRows = 1'000'000;
// The limit ReadDataFile applies: kPltMaxRows, lowered by tests.
int PltRowLimit();
void SetPltRowLimit(int rows);

// The number of lines SplitPltLines finds, fed in pieces as they are read.
class PltLineCounter {
public:
    void Feed(std::string_view bytes);
    // Lines ended so far; the whole count once the last piece is fed.
    long long Ended() const { return ended_; }
    long long Total() const { return ended_ + (open_ || held_ ? 1 : 0); }

private:
    // A file beginning with a UTF-16 mark has its lines counted in 16-bit
    // units (its CR LF is four bytes); every other file byte by byte.
    enum class Form { Unknown, Bytes, Utf16Le, Utf16Be };
    void character(char32_t c);

    long long ended_ = 0;
    bool afterCr_ = false;  // a line feed next belongs to that line end
    bool open_ = false;     // a line has begun and not ended
    Form form_ = Form::Unknown;
    bool held_ = false;  // a byte waits for the one after it
    unsigned char heldByte_ = 0;
};

// The lines of a file's bytes without their ends. An empty file has no
// lines; a file ending in a line end has no empty line after it.
std::vector<std::string_view> SplitPltLines(std::string_view bytes);

// A line cut after its 50th field, decoded: the text a grid row gets. (The
// sheet itself takes the line's bytes as they are, without this wide copy.)
QString DecodePltLine(std::string_view line);

// The byte order of a file that starts with a UTF-16 byte-order mark
// (spreadsheets' "Unicode text").
enum class Utf16 { No, LittleEnd, BigEnd };

// A data file as the sheet takes it. A file that starts with a UTF-8
// byte-order mark, or is valid UTF-8 and holds a byte above 127 (as Linux
// programs and spreadsheets write text), is UTF-8: its bytes come without
// the mark, and lineEnd is the end of its first line, which its saves keep.
// So is a file put together from UTF-8 and Windows-1252 text: one whose
// well-formed UTF-8 characters outnumber the bytes that belong to none;
// each such stray byte (after a UTF-8 mark too) comes as the UTF-8 of its
// Windows-1252 character. A file with a UTF-16 mark comes as UTF-8 too,
// with utf16 its byte order. Every other file is Windows-1252, taken byte
// for byte.
struct SheetText {
    QByteArray bytes;
    bool utf8 = false;  // bytes are UTF-8
    bool mark = false;
    Utf16 utf16 = Utf16::No;
    QByteArray lineEnd = "\r\n";
    int widestLine = 0;  // fields of the line with most
};
SheetText SheetTextFromFile(const QByteArray& file);

// The UTF-16 file, mark first, of a text given in UTF-8.
QByteArray Utf16FileBytes(QByteArrayView utf8, Utf16 order);

// Reads a whole data file. Raises the runtime's error for what went wrong:
// 53 File not found, 76 Path not found, 75 Path/File access error (no
// permission, a folder, a device rather than a file), 7 when too large or
// longer than PltRowLimit() lines (found while reading, before any row is
// made).
QByteArray ReadDataFile(const QString& path);

// Data files are replaced the way the grid saves itself: through a
// temporary file renamed over the old one (see the runtime's safe_write.h).
using qvrt::WriteFileReplacing;

}  // namespace quarvex
