// The text clipboard's form of a block, as spreadsheets write and read it:
// cells separated by tabs, rows by line ends, and a cell that begins with a
// double quote (or holds a tab or line end) put between double quotes, each
// quote inside doubled. Only the clipboard uses this form: files and Undo
// keep the grid's own block text, where every cell stands as it is.
#pragma once

#include <QString>
#include <QStringView>
#include <string_view>

namespace qvrt {

// Appends the text of one cell (the grid's cell bytes) in the clipboard's form.
void AppendClipboardCell(std::string_view cell, QString& out);

// The grid's block text of a clipboard text. A cell that
// begins with a quote runs to the quote that closes it before a tab, a line
// end or the end of the text; inside it doubled quotes become one and tabs
// and line ends become blanks, as typing makes them, so the block keeps its
// shape. A cell whose quote never closes is taken as it stands.
QString BlockTextFromClipboard(QStringView text);

}  // namespace qvrt
