#include "quarvex/state/data_table.h"

#include "quarvex/runtime/errors.h"

#include <algorithm>

namespace quarvex {

namespace {

void checkIndex(int index, int bound) {
    if (index < 0 || index > bound) qvrt::Raise(qvrt::ErrSubscript);
}

}  // namespace

void TextTable::checkCell(int column, int sample) const {
    checkIndex(column, kLastColumn);
    checkIndex(sample, SampleBound());
}

const QString* TextTable::find(int column, int sample) const {
    checkCell(column, sample);
    const size_t i = static_cast<size_t>(sample);
    if (column < width_) return &near_[i * static_cast<size_t>(width_) + static_cast<size_t>(column)];
    return far_[i] ? &(*far_[i])[static_cast<size_t>(column)] : nullptr;
}

QString& TextTable::operator()(int column, int sample) {
    checkCell(column, sample);
    const size_t i = static_cast<size_t>(sample);
    if (column < width_) return near_[i * static_cast<size_t>(width_) + static_cast<size_t>(column)];
    if (!far_[i]) far_[i] = std::make_unique<FarCells>();
    return (*far_[i])[static_cast<size_t>(column)];
}

const QString& TextTable::operator()(int column, int sample) const {
    static const QString empty;
    const QString* cell = find(column, sample);
    return cell ? *cell : empty;
}

void TextTable::Grow(int lastSample) {
    const size_t samples = static_cast<size_t>(lastSample + 1);
    near_.resize(samples * static_cast<size_t>(width_));
    far_.resize(samples);
}

void TextTable::Reserve(int lastSample) {
    const size_t samples = static_cast<size_t>(lastSample) + 1;
    near_.reserve(samples * static_cast<size_t>(width_));
    far_.reserve(samples);
}

void TextTable::Erase(int usualLastColumn) {
    near_.clear();
    far_.clear();
    width_ = std::clamp(usualLastColumn, 0, kLastColumn) + 1;
}

void TextTable::CopySample(int from, int to) {
    checkCell(0, from);
    checkCell(0, to);
    if (from == to) return;
    const size_t w = static_cast<size_t>(width_);
    std::copy_n(near_.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(from) * w), w,
                near_.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(to) * w));
    const std::unique_ptr<FarCells>& source = far_[static_cast<size_t>(from)];
    far_[static_cast<size_t>(to)] = source ? std::make_unique<FarCells>(*source) : nullptr;
}

void TextTable::ReorderSamples(const std::vector<int>& order, int firstColumn, int lastColumn) {
    const size_t columns = static_cast<size_t>(std::max(lastColumn - firstColumn + 1, 0));
    std::vector<QString> moved;
    moved.reserve(order.size() * columns);
    for (int from : order)
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const QString* cell = find(c, from);
            moved.push_back(cell ? *cell : QString());
        }
    for (size_t k = 0; k < order.size(); ++k)
        for (int c = firstColumn; c <= lastColumn; ++c) {
            QString& text = moved[k * columns + static_cast<size_t>(c - firstColumn)];
            // An empty cell not yet made stays unmade.
            if (text.isEmpty() && !find(c, static_cast<int>(k) + 1)) continue;
            (*this)(c, static_cast<int>(k) + 1) = std::move(text);
        }
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
    PrintTable.Erase();
    for (SampleArray* a : {&XValues, &YValues, &ZValues, &FValues, &SampleSymbols, &SampleColors, &PlagRatio})
        a->Erase();
    SampleCount = 0;
    LastReadFailed = false;
    AutoSymbols = 0;
    AutoColors = 0;
}

}  // namespace quarvex
