// Sparse cell texts of a spreadsheet grid, free of widgets. Each row keeps
// its non-empty cells packed in one byte string (column, length, bytes), so
// an empty row costs one empty string and a 15,000-row sheet of short
// numbers a few megabytes. Rows and columns count from 1.
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qvrt {

class GridCells {
public:
    // Columns are stored in 16 bits.
    static constexpr int kMaxCols = 32767;

    GridCells(int cols, int rows);

    int cols() const { return cols_; }
    int rows() const { return static_cast<int>(rows_.size()); }
    // Growing adds empty columns (rows); shrinking drops the last ones.
    void setCols(int cols);
    void setRows(int rows);
    // Room for `rows` rows, so that growing to them cannot fail part-way.
    void reserveRows(int rows);

    bool inRange(int col, int row) const { return col >= 1 && col <= cols_ && row >= 1 && row <= rows(); }
    // "" outside the grid.
    std::string_view get(int col, int row) const;
    // Cells 1..lastCol of row in one pass over the row: out[c] is get(c, row)
    // (out[0] and cells outside the grid stay "").
    void getRow(int row, int lastCol, std::vector<std::string_view>& out) const;
    // Ignored outside the grid.
    void set(int col, int row, std::string_view bytes);
    // Sets row's cells from col onward to fields (cut at the last column).
    void setRun(int row, int col, const std::vector<std::string_view>& fields);
    // Empties the cells of the rectangle (clipped to the grid).
    void clear(int col1, int row1, int col2, int row2);

    // Empty row at row; the rows from there move down and the last drops off.
    void insertRow(int row);
    // Row removed; the rows below move up and the last row becomes empty.
    void removeRow(int row);

    // Number of non-empty cells.
    qsizetype count() const;
    // Last row holding a cell, 0 when none.
    int lastUsedRow() const;

    // Moves on at every change of a cell or of the number of rows or
    // columns: equal counts mean the same cells.
    quint64 changes() const { return changes_; }

    // While on, the cells set are marked as read from a file; any later
    // write of a cell (set, run, clear) leaves it unmarked, while a moved
    // row keeps its marks. Only a marked cell may keep its bytes in tabText.
    void setReading(bool on) { reading_ = on; }

    // From watch() on, the first change of each row keeps the row as it
    // was, so that sinceWatch() tells the cells put back from cells changed
    // without a look at the rest. Rows inserted or removed, or more rows
    // changed than kept cheaply, make it Unknown.
    enum class SinceWatch { Unknown, Same, Changed };
    void watch(bool on);
    SinceWatch sinceWatch() const;

    using CellTest = std::function<bool(std::string_view)>;
    // Rows 1..lastUsedRow as tab-delimited lines, each ended by lineEnd,
    // each without its trailing empty cells: the cells' Windows-1252 bytes,
    // or with utf8 their texts in UTF-8, except that a cell still as read
    // (see setReading), held in Windows-1252 bytes that keepBytes accepts
    // (UTF-8 text taken byte for byte), is written as its bytes. A wide cell
    // (see code_page.h) has no Windows-1252 form: that text stops at it,
    // empty, with *wideMet set.
    QByteArray tabText(bool utf8 = false, std::string_view lineEnd = "\r\n", bool* wideMet = nullptr,
                       const CellTest& keepBytes = {}) const;

private:
    struct Entry {
        int col;
        bool read;  // marked as read from a file
        std::string_view text;
    };
    // The packed row's cells in column order.
    static std::vector<Entry> unpack(const std::string& packed);
    static void pack(const std::vector<Entry>& entries, std::string& out);
    // Keeps row r (from 0), while watching, as it is before its first change.
    void keepOriginal(size_t r);
    // Gives up the rows kept: the cells can no longer be told from those watched.
    void loseWatch();

    int cols_;
    std::vector<std::string> rows_;
    quint64 changes_ = 0;
    bool reading_ = false;
    bool watching_ = false, lost_ = false;
    std::map<size_t, std::string> originals_;  // rows as they were when watched
    size_t originalBytes_ = 0;
};

}  // namespace qvrt
