#include "quarvex/state/data_table.h"

#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"

#include <algorithm>
#include <limits>

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

TextTable::Cell& TextTable::usual(int column, int sample) const {
    return cells_[static_cast<size_t>(sample) * static_cast<size_t>(width_) + static_cast<size_t>(column)];
}

std::string_view TextTable::bytesOf(const Cell& cell) const {
    return std::string_view(bytes_).substr(cell.at, cell.size);
}

QString& TextTable::text(Cell& cell) const {
    if (cell.text == 0) {
        made_.push_back(qvrt::DecodeCell(bytesOf(cell)));
        cell.text = static_cast<uint32_t>(made_.size());
    }
    return made_[cell.text - 1];
}

const QString* TextTable::findFar(int column, int sample) const {
    const std::unique_ptr<FarCells>& row = far_[static_cast<size_t>(sample)];
    return row ? &(*row)[static_cast<size_t>(column)] : nullptr;
}

QString& TextTable::far(int column, int sample) {
    std::unique_ptr<FarCells>& row = far_[static_cast<size_t>(sample)];
    if (!row) row = std::make_unique<FarCells>();
    return (*row)[static_cast<size_t>(column)];
}

QString& TextTable::operator()(int column, int sample) {
    checkCell(column, sample);
    return column < width_ ? text(usual(column, sample)) : far(column, sample);
}

const QString& TextTable::operator()(int column, int sample) const {
    static const QString empty;
    checkCell(column, sample);
    if (column < width_) return text(usual(column, sample));
    const QString* cell = findFar(column, sample);
    return cell ? *cell : empty;
}

void TextTable::Peek(int column, int sample, QString& out) const {
    checkCell(column, sample);
    if (column >= width_) {
        const QString* cell = findFar(column, sample);
        out = cell ? *cell : QString();
        return;
    }
    const Cell& cell = usual(column, sample);
    if (cell.text != 0) out = made_[cell.text - 1];
    else qvrt::DecodeCell(bytesOf(cell), out);
}

void TextTable::SetBytes(int sample, const std::vector<std::string_view>& bytes) {
    for (size_t c = 1; c < bytes.size(); ++c) {
        const int column = static_cast<int>(c);
        checkCell(column, sample);
        if (column >= width_) {
            far(column, sample) = qvrt::DecodeCell(bytes[c]);
            continue;
        }
        Cell& cell = usual(column, sample);
        if (cell.text != 0) {
            made_[cell.text - 1] = qvrt::DecodeCell(bytes[c]);
            continue;
        }
        // Offsets are 32-bit; a table that would pass 4 GB of text is out of string space.
        if (bytes_.size() + bytes[c].size() > std::numeric_limits<uint32_t>::max())
            qvrt::Raise(qvrt::ErrOutOfStringSpace);
        cell.at = static_cast<uint32_t>(bytes_.size());
        cell.size = static_cast<uint32_t>(bytes[c].size());
        bytes_.append(bytes[c]);
    }
}

void TextTable::Grow(int lastSample) {
    const size_t samples = static_cast<size_t>(lastSample + 1);
    cells_.resize(samples * static_cast<size_t>(width_));
    far_.resize(samples);
}

void TextTable::Reserve(int lastSample) {
    const size_t samples = static_cast<size_t>(lastSample) + 1;
    cells_.reserve(samples * static_cast<size_t>(width_));
    far_.reserve(samples);
}

void TextTable::Erase(int usualLastColumn) {
    cells_.clear();
    std::string().swap(bytes_);
    made_.clear();
    far_.clear();
    width_ = std::clamp(usualLastColumn, 0, kLastColumn) + 1;
}

void TextTable::copyUsual(const Cell& from, Cell& to) {
    if (&from == &to) return;
    if (from.text == 0 && to.text == 0) {
        to = from;
        return;
    }
    QString& target = text(to);
    if (from.text != 0) target = made_[from.text - 1];
    else qvrt::DecodeCell(bytesOf(from), target);
}

void TextTable::CopySample(int from, int to) {
    checkCell(0, from);
    checkCell(0, to);
    if (from == to) return;
    for (int c = 0; c < width_; ++c) copyUsual(usual(c, from), usual(c, to));
    const std::unique_ptr<FarCells>& source = far_[static_cast<size_t>(from)];
    std::unique_ptr<FarCells>& target = far_[static_cast<size_t>(to)];
    // Into the cells the target has, so that no text it made moves.
    if (target) *target = source ? *source : FarCells{};
    else if (source) target = std::make_unique<FarCells>(*source);
}

void TextTable::ReorderSamples(const std::vector<int>& order, int firstColumn, int lastColumn) {
    // Taken first: a sample may be both a source and a target.
    struct Taken {
        Cell cell;
        QString text;
    };
    const size_t columns = static_cast<size_t>(std::max(lastColumn - firstColumn + 1, 0));
    std::vector<Taken> moved;
    moved.reserve(order.size() * columns);
    for (int from : order)
        for (int c = firstColumn; c <= lastColumn; ++c) {
            checkCell(c, from);
            if (c < width_) {
                const Cell& cell = usual(c, from);
                moved.push_back({cell, cell.text != 0 ? made_[cell.text - 1] : QString()});
            } else {
                const QString* far = findFar(c, from);
                moved.push_back({Cell{}, far ? *far : QString()});
            }
        }
    for (size_t k = 0; k < order.size(); ++k)
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const int to = static_cast<int>(k) + 1;
            Taken& taken = moved[k * columns + static_cast<size_t>(c - firstColumn)];
            checkCell(c, to);
            if (c >= width_) {
                // An empty cell not yet made stays unmade.
                if (!taken.text.isEmpty() || findFar(c, to)) far(c, to) = std::move(taken.text);
                continue;
            }
            Cell& target = usual(c, to);
            if (taken.cell.text == 0 && target.text == 0) target = taken.cell;
            else if (taken.cell.text != 0) text(target) = std::move(taken.text);
            else text(target) = qvrt::DecodeCell(bytesOf(taken.cell));
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
    TableRows.clear();
    AutoSymbols = 0;
    AutoColors = 0;
}

}  // namespace quarvex
