#include "quarvex/graph/simple_grid.h"

#include "quarvex/runtime/host.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPalette>
#include <QStyle>
#include <cmath>

namespace quarvex {

int SimpleGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int SimpleGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant SimpleGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int r = index.row(), c = index.column();
    if (role == Qt::DisplayRole) return Text(r, c);
    // The fixed cells' grey comes with its own black text: a dark palette's
    // light text would hardly show on it.
    if (r < fixedRows_ || c < fixedCols_) {
        if (role == Qt::BackgroundRole) return QColor(0xC0, 0xC0, 0xC0);
        if (role == Qt::ForegroundRole) return QColor(Qt::black);
    }
    if (role == Qt::TextAlignmentRole && size_t(c) < alignment_.size())
        return QVariant::fromValue(alignment_[size_t(c)] | Qt::AlignVCenter);
    return {};
}

void SimpleGridModel::Resize(int rows, int cols) {
    beginResetModel();
    const size_t stored = cols_ > 0 ? cells_.size() / size_t(cols_) : 0;
    const size_t kept = std::min(stored, size_t(rows));
    std::vector<QString> next(kept * size_t(cols));
    for (size_t r = 0; r < kept; ++r)
        for (int c = 0; c < std::min(cols, cols_); ++c)
            next[r * size_t(cols) + size_t(c)] = std::move(cells_[r * size_t(cols_) + size_t(c)]);
    cells_ = std::move(next);
    rows_ = rows;
    cols_ = cols;
    alignment_.resize(size_t(cols), Qt::AlignLeft);
    endResetModel();
}

QString SimpleGridModel::Text(int row, int col) const {
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_) return {};
    const size_t i = size_t(row) * size_t(cols_) + size_t(col);
    return i < cells_.size() ? cells_[i] : QString();
}

QString& SimpleGridModel::Cell(int row, int col) {
    const size_t i = size_t(row) * size_t(cols_) + size_t(col);
    if (i >= cells_.size()) {
        // Room for the whole grid at once: only the rows written touch memory,
        // where growing by doubling would copy and touch fresh memory each time.
        if (cells_.capacity() <= i) cells_.reserve(size_t(rows_) * size_t(cols_));
        cells_.resize((size_t(row) + 1) * size_t(cols_));
    }
    return cells_[i];
}

void SimpleGridModel::Changed(int row, int col) {
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i);
}

SimpleGrid::SimpleGrid(QWidget* parent) : QTableView(parent) {
    setModel(&model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void SimpleGrid::SetRows(int rows) { model_.Resize(std::max(rows, 0), model_.cols_); }
void SimpleGrid::SetCols(int cols) { model_.Resize(model_.rows_, std::max(cols, 0)); }

QString SimpleGrid::TextMatrix(int row, int col) const { return model_.Text(row, col); }

void SimpleGrid::SetTextMatrix(int row, int col, const QString& text) {
    if (row < 0 || col < 0 || row >= model_.rows_ || col >= model_.cols_) return;
    model_.Cell(row, col) = text;
    model_.Changed(row, col);
}

void SimpleGrid::SetRowTexts(int row, int col, const QStringList& cells) {
    if (row < 0 || row >= model_.rows_) return;
    for (int k = 0; k < cells.size() && col + k < model_.cols_; ++k)
        if (col + k >= 0) model_.Cell(row, col + k) = cells[k];
}

void SimpleGrid::SetFixedRows(int n) {
    model_.fixedRows_ = n;
    model_.Reset();
}
void SimpleGrid::SetFixedCols(int n) {
    model_.fixedCols_ = n;
    model_.Reset();
}

void SimpleGrid::SetColWidth(int col, int twips) {
    const double perPixel = qvrt::host().TwipsPerPixelX();
    setColumnWidth(col, int(std::lround(twips / (perPixel > 0 ? perPixel : 15))));
}

int SimpleGrid::TwipsToShow(const QString& text) const {
    // The view leaves a margin either side of a cell's text and draws the
    // grid line inside the cell.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int pixels = fontMetrics().horizontalAdvance(text) + 2 * margin + (showGrid() ? 1 : 0);
    return int(std::lround(pixels * qvrt::host().TwipsPerPixelX()));
}

int SimpleGrid::ColWidth(int col) const {
    return int(std::lround(columnWidth(col) * qvrt::host().TwipsPerPixelX()));
}

void SimpleGrid::SetColAlignment(int col, Qt::Alignment alignment) {
    if (col < 0 || col >= model_.cols_) return;
    model_.alignment_[size_t(col)] = alignment;
}

void SimpleGrid::SelectRow(int row, int col1, int col2) {
    if (!selectionModel() || row >= model_.rows_ || col2 >= model_.cols_) return;
    selectionModel()->select(QItemSelection(model_.index(row, col1), model_.index(row, col2)),
                             QItemSelectionModel::ClearAndSelect);
}

void SimpleGrid::SetRow(int row) {
    if (row < 0 || row >= model_.rows_ || !selectionModel()) return;
    selectionModel()->setCurrentIndex(model_.index(row, std::min(1, model_.cols_ - 1)),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace quarvex
