// The system code page of the sheets: files written on Windows are in
// Windows-1252. Every byte decodes to one character and encodes back to the
// same byte (the five bytes Windows-1252 leaves unassigned map to the C1
// control characters), so cell bytes survive an open and a save unchanged.
#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

namespace qvrt {

QString DecodeWindows1252(std::string_view bytes);
// The same into out, reusing its buffer.
void DecodeWindows1252(std::string_view bytes, QString& out);
// Characters outside Windows-1252 become '?', one for a character beyond
// 16 bits (a surrogate pair).
QByteArray EncodeWindows1252(QStringView text);
// Appends the encoding of text to out (saves an allocation per cell).
void AppendWindows1252(QStringView text, QByteArray& out);

// A cell as the sheets' grid keeps it: the Windows-1252 bytes of its text
// where every character has one (so the bytes of a Windows-1252 file are the
// cells as they stand), else kWideCellMark and the text in UTF-8. No cell
// holds a line feed (it ends a row in files and blocks), so the mark
// cannot be the start of a Windows-1252 cell; a text that begins with one
// all the same is kept in the wide form, so that it reads back as it was.
constexpr char kWideCellMark = '\n';
inline bool IsWideCell(std::string_view cell) { return !cell.empty() && cell.front() == kWideCellMark; }
void AppendCellBytes(QStringView text, QByteArray& out);
QByteArray CellBytes(QStringView text);
// The cell bytes of a field of a UTF-8 file (appended to out).
void AppendCellBytesFromUtf8(std::string_view utf8, QByteArray& out);
// A cell's text, into out or appended to it.
QString DecodeCell(std::string_view cell);
void DecodeCell(std::string_view cell, QString& out);
void AppendDecodedCell(std::string_view cell, QString& out);
// A cell's text in UTF-8, appended to out.
void AppendCellUtf8(std::string_view cell, QByteArray& out);

}  // namespace qvrt
