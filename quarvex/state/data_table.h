// The data table and the sample arrays: every command that works on a
// sheet's data (plotting, sorting, printing, symbol assignment, coordinate
// conversion, the norm, the classification) reads the active sheet into
// them by the column assignment first. Sample i is grid row i + 1.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace quarvex {


// A table of cell texts indexed by column 0..50 and sample 0..n. Reaching
// outside it (a column above 50, a sample beyond the bound, or any cell of
// an erased table) raises Subscript out of range (9), as the arrays did.
class TextTable {
public:
    static constexpr int kLastColumn = 50;

    QString& operator()(int column, int sample);
    const QString& operator()(int column, int sample) const;

    // Samples 0..lastSample afterwards, keeping the cells of those that stay.
    void Grow(int lastSample);
    // Room for samples 0..lastSample without moving the table as it grows.
    void Reserve(int lastSample) { rows_.reserve(static_cast<size_t>(lastSample) + 1); }
    // No elements at all.
    void Erase() { rows_.clear(); }
    bool Erased() const { return rows_.empty(); }
    // The upper sample bound, -1 when erased.
    int SampleBound() const { return static_cast<int>(rows_.size()) - 1; }
    // Samples 1..order.size() take, in columns first..last, the cells that
    // samples order[0], order[1], ... held.
    void ReorderSamples(const std::vector<int>& order, int firstColumn, int lastColumn);

private:
    std::vector<std::array<QString, kLastColumn + 1>> rows_;
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
