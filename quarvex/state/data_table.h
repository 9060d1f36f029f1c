// The data table and the sample arrays: every command that works on a
// sheet's data (plotting, sorting, printing, symbol assignment, coordinate
// conversion, the norm, the classification) reads the active sheet into
// them by the column assignment first. Sample i is grid row i + 1.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quarvex {


// A table of cell texts indexed by column 0..50 and sample 0..n. Reaching
// outside it (a column above 50, a sample beyond the bound, or any cell of
// an erased table) raises Subscript out of range (9), as the arrays did.
// A read keeps each cell as the sheet's cell bytes and makes its
// text when the cell is first reached: a plot of 15,000 samples reaches the
// sample-number column and no other, and the components are read as
// numbers straight from the bytes. Columns beyond the table's usual last
// one are held apart, made when first reached. A text, once made, stays
// where it is until the table is erased.
class TextTable {
public:
    static constexpr int kLastColumn = 50;

    QString& operator()(int column, int sample);
    const QString& operator()(int column, int sample) const;

    // Samples 0..lastSample afterwards, keeping the cells of those that stay.
    void Grow(int lastSample);
    // Room for samples 0..lastSample without moving the table as it grows.
    void Reserve(int lastSample);
    // No elements at all; the samples made afterwards keep columns
    // 0..usualLastColumn side by side (at least column 0, at most 50).
    void Erase(int usualLastColumn = kLastColumn);
    bool Erased() const { return far_.empty(); }
    // The upper sample bound, -1 when erased.
    int SampleBound() const { return static_cast<int>(far_.size()) - 1; }
    // Columns 1.. of sample take these texts in the grid's cell form
    // (bytes[0] is not used); the views need last only for the call.
    void SetBytes(int sample, const std::vector<std::string_view>& bytes);
    // The cell's text into out, without making the cell; raises as reaching
    // the cell does.
    void Peek(int column, int sample, QString& out) const;
    // Sample to takes every cell of sample from.
    void CopySample(int from, int to);
    // Samples 1..order.size() take, in columns first..last, the cells that
    // samples order[0], order[1], ... held.
    void ReorderSamples(const std::vector<int>& order, int firstColumn, int lastColumn);

private:
    // A cell of the usual columns: bytes_[at, at + size) until its text is
    // made, then made_[text - 1].
    struct Cell {
        uint32_t at = 0, size = 0, text = 0;
    };
    using FarCells = std::array<QString, kLastColumn + 1>;
    void checkCell(int column, int sample) const;
    Cell& usual(int column, int sample) const;
    std::string_view bytesOf(const Cell& cell) const;
    QString& text(Cell& cell) const;
    // The far cell when it has been made, else null (an empty text).
    const QString* findFar(int column, int sample) const;
    QString& far(int column, int sample);
    // to's cell := from's cell (both of the usual columns).
    void copyUsual(const Cell& from, Cell& to);

    int width_ = kLastColumn + 1;
    mutable std::vector<Cell> cells_;  // sample-major, width_ a sample
    std::string bytes_;
    mutable std::deque<QString> made_;            // never moves a text it holds
    std::vector<std::unique_ptr<FarCells>> far_;  // a sample's columns width_..50, null until reached
};

// A growable array of 32-bit floats indexed from 0; reaching past its
// bound (or into an erased array) raises Subscript out of range (9).
class SampleArray {
public:
    float& operator()(int index);
    float operator()(int index) const;
    void Grow(int last) { values_.resize(static_cast<size_t>(last + 1), 0.0f); }
    void Erase() { values_.clear(); }
    int Bound() const { return static_cast<int>(values_.size()) - 1; }

private:
    std::vector<float> values_;
};

// Texts of row 1 from column 1 up to and including the first empty one,
// then one empty element; element 0 is empty. Upper bound = size - 1.
inline std::vector<QString> ColumnHeadings;
inline int16_t HeadingCount = 0;
inline TextTable DataTable;
// The cells a table printout prints: columns 0..50 by samples, filled by
// ReadGridForPrint and erased when the printout is complete.
inline TextTable PrintTable;
inline SampleArray XValues, YValues, ZValues, FValues, SampleSymbols, SampleColors, PlagRatio;
inline int16_t SampleCount = 0;
// True when the last ReadActiveGrid failed (and reported it): the table
// holds nothing a command may write anywhere.
inline bool LastReadFailed = false;
// The sheet's grid row of each sample the last read took (sample i at i - 1).
inline std::vector<int> TableRows;
// Caption of the sheet being printed or plotted.
inline QString SheetCaption;
// -1: the read numbers symbols and colours itself (symbol-major,
// respectively colour-major).
inline int16_t AutoSymbols = 0;
inline int16_t AutoColors = 0;

// Back to the start of a run (for tests).
void ResetDataTable();

}  // namespace quarvex
