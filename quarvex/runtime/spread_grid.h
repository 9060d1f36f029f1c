// The spreadsheet grid of the data sheets: a sparse cell store shown in a
// table view, driven through the members and events the sheet code names.
//
// Conventions of this class:
// - Properties are getter/setter pairs: `MaxRows()` reads, `setMaxRows(n)`
//   writes. Methods of the component keep their own names (`GetText`,
//   `SetText`, `SaveTabFile`, `SetFocus`); `setAction(code)` runs an action.
// - Data rows and columns count from 1. Row 0 is the column-letter row and
//   column 0 the row-number column: they hold no text, reads there give "",
//   writes there (and outside MaxCols x MaxRows) are ignored.
// - `Row`, `Col` are the current cell; -1 in `Row` (`Col`) spans every row
//   (column), so -1 in both addresses every cell. `Row2`, `Col2` are the far
//   corner of the block from `Row`, `Col`; corners may come in either order
//   and -1 in a corner spans all rows (columns) too.
// - `Clip` always works on the block `Row`..`Row2` x `Col`..`Col2`, whatever
//   `BlockMode` says (a load pastes each file line into a one-row block
//   without switching block mode on). Writing `Text` and action 12 address
//   the block in block mode and the current cell otherwise, so stale block
//   corners never clear cells the caller did not name.
// - Cell texts are kept as the user sees them, each as Windows-1252 bytes
//   where it fits that code page (the sheets' files are written in it) and
//   in UTF-8 only where it does not (the cell form of code_page.h): text
//   read from a Windows-1252 file is stored byte for byte as it was in the
//   file and written back unchanged. `TabFileBytes` / `SaveTabFile` write
//   Windows-1252 while every cell fits it, and the whole file in UTF-8 once
//   a cell holds a character Windows-1252 lacks, so that none is lost.
// - Block text (`Clip`): cells separated by a tab, every row ended by CR LF.
//   Pasting accepts CR LF, CR or LF between rows and a last row with or
//   without its line end. Files and Undo use this text as it stands; the
//   clipboard has its own form, quoted as spreadsheets quote it
//   (`ClipboardText`, `PasteClipboardText`, see clipboard_text.h).
// - Events come from what the user does (keys, mouse, editing) and from
//   moves of the active cell (`setAction(0)` raises LeaveCell). Cell writes
//   by program code raise none; a row or column change that removes a cell
//   being edited ends the edit first (EditMode 0).
#pragma once

#include "quarvex/runtime/spread_grid_cells.h"

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>
#include <string_view>
#include <vector>

class QAbstractItemView;

namespace qvrt {

class GridModel;
class GridView;

// What a cell keeps of a text the user types or pastes into it: a tab or
// line end would split the cell into fields or rows when the sheet is
// saved, so each becomes a blank.
QString TypedCellText(QString text);

class SpreadGrid : public QWidget {
    Q_OBJECT

public:
    // Codes for setAction.
    enum GridAction : int {
        ActionActiveCell = 0,  // makes the cell Col, Row the active cell
        ActionDeleteRow = 5,   // deletes row Row; the rows below move up, MaxRows stays
        ActionInsertRow = 7,   // inserts an empty row at Row; the rows below move down
                               // and the last row's cells drop off, MaxRows stays
        ActionClearText = 12,  // clears the text of the block
    };

    // Key codes of KeyDown (Windows virtual-key codes) that callers test.
    enum KeyCode : int {
        VkBack = 8, VkTab = 9, VkReturn = 13, VkShift = 16, VkControl = 17, VkMenu = 18,
        VkEscape = 27, VkSpace = 32, VkPrior = 33, VkNext = 34, VkEnd = 35, VkHome = 36,
        VkLeft = 37, VkUp = 38, VkRight = 39, VkDown = 40, VkInsert = 45, VkDelete = 46,
        VkF1 = 112,  // F1..F12 are 112..123; letters and digits are their upper-case codes
    };
    // Bits of the shift argument of KeyDown.
    enum ShiftBits : int { ShiftMask = 1, CtrlMask = 2, AltMask = 4 };

    explicit SpreadGrid(QWidget* parent = nullptr);
    ~SpreadGrid() override;

    // Number of data columns and rows. Raising adds empty ones at the end;
    // lowering drops the last ones with their texts. Values below 1 count as 1.
    int MaxCols() const;
    void setMaxCols(int cols);
    int MaxRows() const;
    void setMaxRows(int rows);

    // The current cell and the far corner of the block.
    int Row() const { return row_; }
    void setRow(int row) { row_ = row; }
    int Col() const { return col_; }
    void setCol(int col) { col_ = col; }
    int Row2() const { return row2_; }
    void setRow2(int row) { row2_ = row; }
    int Col2() const { return col2_; }
    void setCol2(int col) { col2_ = col; }

    // Text of the current cell. Writing with Row and Col -1, or with
    // BlockMode on, writes every addressed cell.
    QString Text() const;
    void setText(const QString& text);
    QString GetText(int col, int row) const;
    // The cell bytes (code_page.h's cell form) of columns 1..lastCol of a
    // row, read in one pass: out[c] holds GetText(c, row) in that form,
    // out[0] is empty. The views last until the grid changes.
    void GetRowBytes(int row, int lastCol, std::vector<std::string_view>& out) const;
    // The last row holding any text, 0 for an empty grid.
    int LastUsedRow() const;
    void SetText(int col, int row, const QString& text);

    // The block as text; assigning pastes the text's rows and fields into the
    // cells from Row, Col onward, cut at the block's far corner and at the
    // grid's edges. Block cells beyond the pasted text keep their texts.
    QString Clip() const;
    void setClip(const QString& text);
    // The same paste from a file's bytes without a wide copy on the way:
    // Windows-1252, or UTF-8 with utf8. With fromFile the cells are marked
    // as read from the file (see GridCells::setReading) until next written.
    void setClipBytes(std::string_view text, bool utf8 = false, bool fromFile = false);
    // The block as the clipboard takes it, and a paste of clipboard text
    // into it, quoted cells read as spreadsheets write them. An empty text
    // pastes nothing.
    QString ClipboardText() const;
    void PasteClipboardText(const QString& text);

    // The active (highlighted) cell; moved by the user or by action 0.
    int ActiveCol() const;
    int ActiveRow() const;

    // Runs one of the GridAction codes; other codes do nothing.
    void setAction(int action);

    bool BlockMode() const { return blockMode_; }
    void setBlockMode(bool on) { blockMode_ = on; }

    // The block the user selected (more than one cell, by dragging,
    // Shift-moves or a header click) and its corners; without one the
    // corners are the active cell's.
    bool IsBlockSelected() const;
    int SelBlockCol() const;
    int SelBlockCol2() const;
    int SelBlockRow() const;
    int SelBlockRow2() const;

    // Repainting; while off, cell changes are not painted. Turning it back on
    // paints once.
    bool ReDraw() const { return reDraw_; }
    void setReDraw(bool on);

    // Writes the cells as a tab-delimited data file: one line per row from
    // row 1, fields from column 1, CR LF after every line; trailing empty
    // cells of a row and trailing empty rows are not written. A file goes
    // through a temporary file beside it renamed over it (keeping its mode);
    // a link is followed, a device or pipe is written in place (see
    // WriteFileReplacing in safe_write.h). Raises RuntimeError (61 disk
    // full, 75 access or read-only file or folder, 76 path not found) and
    // then leaves an old file as it was.
    void SaveTabFile(const QString& path);
    // The same file contents, for callers that write the file themselves,
    // each line ended by lineEnd; *utf8 tells whether they came out in UTF-8
    // (as TabFileBytesUtf8 gives them with keepBytes).
    QByteArray TabFileBytes(bool* utf8 = nullptr, std::string_view lineEnd = "\r\n",
                            const GridCells::CellTest& keepBytes = {}) const;
    // The file contents in UTF-8 whatever the cells hold, each line ended by
    // lineEnd; a cell still as read from a file, held in Windows-1252 bytes
    // that keepBytes accepts, is written as those bytes (UTF-8 text that was
    // read as Windows-1252).
    QByteArray TabFileBytesUtf8(std::string_view lineEnd, const GridCells::CellTest& keepBytes = {}) const;
    // Whether bytes are what TabFileBytes (TabFileBytesUtf8 with utf8) would
    // give for a grid of cols columns whose rows from row 1 were each set
    // from one line of text by setClipBytes over all columns: found without
    // making that grid, and stopping at the first row that differs.
    static bool IsTabFileOf(QByteArrayView bytes, std::string_view text, int cols, bool utf8, std::string_view lineEnd);
    // Moves on at every change of a cell or of the number of rows or
    // columns: an equal count means the cells are as they were.
    quint64 CellChanges() const;
    // Whether the cells are still those of the last WatchCells(true), the
    // rows changed since then compared with themselves (GridCells::watch).
    void WatchCells(bool on);
    GridCells::SinceWatch CellsSinceWatch() const;

    void SetFocus();
    bool Visible() const { return !isHidden(); }

    // The cell font (one for the whole grid; the sheets only ever address
    // every cell). "MS Sans Serif" and "Small Fonts" show as DejaVu Sans,
    // "Arial" as Liberation Sans. Size in points.
    QString FontName() const { return fontName_; }
    void setFontName(const QString& name);
    double FontSize() const { return fontSize_; }
    void setFontSize(double points);

    // Column width in twips (1/1440 inch); column 0 is the row-number column.
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);

    // The table view inside, for key and mouse events in tests.
    QAbstractItemView* view() const;
    // Count of non-empty cells (for tests and benchmarks).
    qsizetype CellCount() const;

signals:
    // Editing: a typed character starts editing a cell with that character,
    // F2, Enter and a double click with the cell's text. Enter or a click
    // elsewhere stores the edit, Escape drops it, Tab stores it and moves
    // right. Enter does not move the cursor: the EditMode 0 handler does.
    //
    // The cursor is to move past the last cell (true, Down or Tab there) or
    // before the first (false, Up or Shift+Tab there). When a handler makes
    // room (raises MaxRows), the move is made afterwards.
    void Advance(bool advanceNext);
    // The user changed the text of a cell (an edit that ended with a change).
    void Change(int col, int row);
    void DblClick(int col, int row);
    // mode 1: editing of the cell starts (its text is still the old one);
    // mode 0: editing ends (the new text is already stored).
    void EditMode(int col, int row, int mode, bool changeMade);
    // A key went down in the grid, while editing too; emitted before the
    // grid acts on it. keyCode is a Windows virtual-key code (KeyCode).
    void KeyDown(int keyCode, int shift);
    // A character was typed (its Windows-1252 code; 13 for Enter, 8 for
    // Backspace, 27 for Escape).
    void KeyPress(int keyAscii);
    // The active cell moves from col, row to newCol, newRow.
    void LeaveCell(int col, int row, int newCol, int newRow);
    // button: 1 left, 2 right, 4 middle.
    void MouseUp(int button, int col, int row);
    // The user's block (more than one cell) changed; curCol, curRow is the
    // active cell. Moving the cursor with no block raises none.
    void SelChange(int blockCol, int blockRow, int blockCol2, int blockRow2, int curCol, int curRow);

private:
    friend class GridView;

    struct Rect {
        int col1, row1, col2, row2;
    };
    // The block Row..Row2 x Col..Col2, normalised and cut to the grid.
    Rect blockRect() const;
    // What Text and action 12 address: the block in block mode, else the
    // current cell (a whole row, column or grid for -1).
    Rect currentRect() const;
    // Bounding box of the user's selection, the active cell when none.
    Rect selectedRect() const;
    // The block's text, each cell as it stands or in the clipboard's form.
    QString blockText(bool forClipboard) const;
    void moveActive(int col, int row);
    void applyFont();
    void applyColWidth(int col);

    std::unique_ptr<GridCells> cells_;
    GridModel* model_ = nullptr;
    GridView* view_ = nullptr;
    int row_ = 0, col_ = 0, row2_ = 0, col2_ = 0;
    bool blockMode_ = false;
    bool reDraw_ = true;
    std::vector<int> colTwips_;
    QString fontName_ = QStringLiteral("MS Sans Serif");
    double fontSize_ = 8.25;
};

}  // namespace qvrt
