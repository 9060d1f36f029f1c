// The .plt data file, free of widgets: one line per grid row from row 1 (the
// headings), cells from column 1 separated by tabs, lines ended by CR LF, in
// the Windows-1252 code page (a file written elsewhere keeps its own code and
// line ends, see SheetText). Reading accepts CR LF, CR alone and LF alone,
// and a last line without an end.
#pragma once

#include "quarvex/runtime/safe_write.h"

#include <QByteArray>
#include <QString>
#include <functional>
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
    // Lines ended so far (the fewer of the two counts while the file may be
    // UTF-16 without a mark); the whole count once the last piece is fed.
    long long Ended() const;
    // utf16 tells whether a file that may be UTF-16 without a mark (its
    // first two bytes one zero and one not) is taken as such.
    long long Total(bool utf16 = false) const;

private:
    // A file beginning with a UTF-16 mark has its lines counted in 16-bit
    // units (its CR LF is four bytes); one that may be UTF-16 without a
    // mark both ways; every other file byte by byte.
    enum class Form { Unknown, Bytes, Utf16Le, Utf16Be, MaybeLe, MaybeBe };
    struct Ends {
        long long ended = 0;
        bool afterCr = false;  // a line feed next belongs to that line end
        bool open = false;     // a line has begun and not ended
        void character(char32_t c);
        long long total() const { return ended + (open ? 1 : 0); }
    };

    Ends bytes_, units_;
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

// The byte order of a UTF-16 file (spreadsheets' "Unicode text", which
// starts with a byte-order mark; some programs and scripts write none).
enum class Utf16 { No, LittleEnd, BigEnd };

// A data file as the sheet takes it, with the form its saves keep:
// - A file that starts with a UTF-8 byte-order mark, or is valid UTF-8 and
//   holds a byte above 127 (as Linux programs and spreadsheets write
//   text), is UTF-8: its bytes come without the mark.
// - A file put together from UTF-8 and Windows-1252 text is UTF-8 only
//   where that is beyond reasonable doubt (see the rule in plt_format.cpp):
//   its stray bytes (after a UTF-8 mark, all of them) come as the UTF-8 of
//   their Windows-1252 characters.
// - A file with a UTF-16 mark, or UTF-16 without one (an even size, no
//   U+0000, no lone surrogate, its first character and at least half of
//   all up to U+00FF, so that its ASCII text has every other byte zero,
//   and none with a tab or line end as its upper byte), comes as UTF-8
//   too, with utf16 its byte order.
// - Every other file is Windows-1252, taken byte for byte.
// lineEnd is the end most of its lines have (the first line's on a tie),
// CR LF for a file without one.
struct SheetText {
    QByteArray bytes;
    bool utf8 = false;  // bytes are UTF-8
    bool mark = false;  // the file starts with a byte-order mark
    Utf16 utf16 = Utf16::No;
    QByteArray lineEnd = "\r\n";
    int widestLine = 0;  // fields of the line with most
    // For a file read as Windows-1252 beyond ASCII: which of its cells hold
    // UTF-8 taken byte for byte, for a save of the sheet in UTF-8. Those
    // valid as UTF-8 beyond ASCII whose every character is one of the
    // scripts of the file, as the guess of the code takes them (at home in
    // Latin text, or of a script the file has three different characters
    // of). In the others the bytes are Windows-1252 characters, a pair that
    // forms a UTF-8 character by chance among them. Judged from the file as
    // read, so every save of the sheet judges a cell alike.
    std::function<bool(std::string_view)> utf8Cells;
};
SheetText SheetTextFromFile(const QByteArray& file);


// The UTF-16 file of a text given in UTF-8, the mark first with mark. One
// written without a mark gets one all the same where it would not be read
// back as UTF-16 (its first character beyond U+00FF, or most of them), so
// that no edit turns the file into text read as Windows-1252.
QByteArray Utf16FileBytes(QByteArrayView utf8, Utf16 order, bool mark = true);

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
