// The .plt data file, free of widgets: one line per grid row from row 1 (the
// headings), cells from column 1 separated by tabs, lines ended by CR LF, in
// the Windows-1252 code page. Reading accepts CR LF, CR alone and LF alone,
// and a last line without an end.
#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>
#include <vector>

namespace quarvex {

// Columns a line can fill; further fields of a line have no cells.
constexpr int kPltMaxFields = 50;

// The lines of a file's bytes without their ends. An empty file has no
// lines; a file ending in a line end has no empty line after it.
std::vector<std::string_view> SplitPltLines(std::string_view bytes);

// A line cut after its 50th field, decoded: the text pasted into a grid row.
QString DecodePltLine(std::string_view line);

// Reads a whole data file. Raises the runtime's error for what went wrong:
// 53 File not found, 76 Path not found, 75 Path/File access error (no
// permission, a folder, a device rather than a file), 7 when too large.
QByteArray ReadDataFile(const QString& path);

// Writes the bytes to path through a temporary file beside it that is
// renamed over it, so a failed write leaves the old file as it was. A target
// that is not a plain file (a device, a pipe) is written in place; a link is
// followed. Raises 61 Disk full, 75, 76, ... with the reason.
void WriteFileReplacing(const QString& path, const QByteArray& bytes);

}  // namespace quarvex
