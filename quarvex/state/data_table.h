// The data table and the sample arrays: every command that works on a
// sheet's data (plotting, sorting, printing, symbol assignment, coordinate
// conversion, the norm, the classification) reads the active sheet into
// them by the column assignment first. Sample i is grid row i + 1.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace quarvex {


// A table of cell texts indexed by column 0..50 and sample 0..n. Reaching
// outside it (a column above 50, a sample beyond the bound, or any cell of
// an erased table) raises Subscript out of range (9), as the arrays did.
// A sample keeps the columns up to the table's usual last one side by side
// with the other samples'; its cells further right are held apart, made
// when first reached, so that a table read from 20 columns of 15,000 rows
// neither builds nor frees 51 empty texts a row. A cell's place stays put
// until the table grows, shrinks, is erased or reordered.
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
    // Sample to takes every cell of sample from.
    void CopySample(int from, int to);
    // Samples 1..order.size() take, in columns first..last, the cells that
    // samples order[0], order[1], ... held.
    void ReorderSamples(const std::vector<int>& order, int firstColumn, int lastColumn);

private:
    using FarCells = std::array<QString, kLastColumn + 1>;
    // The cell when it exists, else null (an empty text).
    const QString* find(int column, int sample) const;
    void checkCell(int column, int sample) const;

    int width_ = kLastColumn + 1;
    std::vector<QString> near_;                   // sample-major, width_ columns a sample
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
// Caption of the sheet being printed or plotted.
inline QString SheetCaption;
// -1: the read numbers symbols and colours itself (symbol-major,
// respectively colour-major).
inline int16_t AutoSymbols = 0;
inline int16_t AutoColors = 0;

// Back to the start of a run (for tests).
void ResetDataTable();

}  // namespace quarvex
