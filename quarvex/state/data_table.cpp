#include "quarvex/state/data_table.h"

#include "quarvex/runtime/errors.h"

namespace quarvex {

namespace {

void checkIndex(int index, int bound) {
    if (index < 0 || index > bound) qvrt::Raise(qvrt::ErrSubscript);
}

}  // namespace

QString& TextTable::operator()(int column, int sample) {
    checkIndex(column, kLastColumn);
    checkIndex(sample, SampleBound());
    return rows_[static_cast<size_t>(sample)][static_cast<size_t>(column)];
}

const QString& TextTable::operator()(int column, int sample) const {
    checkIndex(column, kLastColumn);
    checkIndex(sample, SampleBound());
    return rows_[static_cast<size_t>(sample)][static_cast<size_t>(column)];
}

void TextTable::Grow(int lastSample) { rows_.resize(static_cast<size_t>(lastSample + 1)); }

void TextTable::ReorderSamples(const std::vector<int>& order, int firstColumn, int lastColumn) {
    std::vector<std::array<QString, kLastColumn + 1>> moved;
    moved.reserve(order.size());
    for (int from : order) moved.push_back(rows_.at(static_cast<size_t>(from)));
    for (size_t k = 0; k < moved.size(); ++k)
        for (int c = firstColumn; c <= lastColumn; ++c) (*this)(c, static_cast<int>(k) + 1) = std::move(moved[k][c]);
}

float& SampleArray::operator()(int index) {
    checkIndex(index, Bound());
    return values_[static_cast<size_t>(index)];
}

float SampleArray::operator()(int index) const {
    checkIndex(index, Bound());
    return values_[static_cast<size_t>(index)];
}

void ResetDataTable() {
    ColumnHeadings.clear();
    HeadingCount = 0;
    DataTable.Erase();
    for (SampleArray* a : {&XValues, &YValues, &ZValues, &FValues, &SampleSymbols, &SampleColors, &PlagRatio})
        a->Erase();
    SampleCount = 0;
    LastReadFailed = false;
    AutoSymbols = 0;
    AutoColors = 0;
}

}  // namespace quarvex
