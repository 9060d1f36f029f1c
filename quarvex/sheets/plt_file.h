// Opening and saving the sheets' data files and the recent-file list.
#pragma once

#include <QString>
#include <array>

namespace quarvex {
class Main1;

// The recent-file list after f was opened or saved: f first, an entry equal
// to it (letter case counts) moved up, the last entry dropped when f is new.
// Entries 0 to 3.
std::array<QString, 4> RotateRecentFiles(const std::array<QString, 4>& list, const QString& f);

// Fills a sheet's grid from the bytes of a data file, Windows-1252 or
// (utf8) UTF-8 without its mark (one block paste per line, repainting off);
// the grid grows to the file's line count.
void FillSheetFromPlt(Main1& sheet, const QByteArray& bytes, bool utf8 = false);

// Writes a sheet's cells as a data file (the grid's tab-delimited layout) in
// the form of the file it was read from, replacing the file only once it is
// completely written. True when that was the file's own bytes, the sheet
// being unchanged since it was read.
bool WriteSheetFile(Main1& sheet, const QString& path);
}  // namespace quarvex

namespace MODULE21 {

// File > Open: the file dialog, then LoadDataFile.
void OpenDataFile();
// A recent-file entry of the File menu, index 0 to 3.
void OpenRecentFile(int index);
// Reads CurrentFileName into a new sheet.
void LoadDataFile();
// Writes the sheet (the active one when null) to the file in its caption,
// or runs Save As for a sheet without one. True when the file was written.
bool SaveDataFile(quarvex::Main1* sheet = nullptr);
// Asks for a name, writes the sheet there and puts the name in its caption.
// True when the file was written.
bool SaveDataFileAs(quarvex::Main1* sheet = nullptr);
// Puts CurrentFileName first in the recent-file list and menu.
void RecentFilesUpdate();

}  // namespace MODULE21
