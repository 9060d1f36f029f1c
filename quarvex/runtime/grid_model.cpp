#include "quarvex/runtime/grid_model.h"

#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/spread_grid.h"

#include <algorithm>

namespace qvrt {

namespace {
constexpr size_t kDisplayedChars = 1000;
}  // namespace

QString ColumnLetters(int col) {
    QString s;
    for (int n = col; n > 0; n = (n - 1) / 26) s.prepend(QChar(u'A' + (n - 1) % 26));
    return s;
}

GridModel::GridModel(GridCells& cells, QObject* parent) : QAbstractTableModel(parent), cells_(cells) {}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cells_.rows();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cells_.cols();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    std::string_view bytes = cells_.get(index.column() + 1, index.row() + 1);
    if (bytes.empty()) return role == Qt::EditRole ? QVariant(QString()) : QVariant();
    // No column shows more than its start; laying out a whole megabyte-long
    // cell at every paint would stall scrolling. The editor gets it all.
    if (role == Qt::DisplayRole) {
        if (!IsWideCell(bytes)) return DecodeWindows1252(bytes.substr(0, kDisplayedChars));
        return DecodeCell(bytes.substr(0, 4 * kDisplayedChars + 1)).left(kDisplayedChars);
    }
    return DecodeCell(bytes);
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const int col = index.column() + 1, row = index.row() + 1;
    const QByteArray bytes = CellBytes(TypedCellText(value.toString()));
    const std::string_view now(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (cells_.get(col, row) == now) return true;
    setCell(col, row, now);
    emit cellEdited(col, row);
    return true;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole) return {};
    return orientation == Qt::Horizontal ? QVariant(ColumnLetters(section + 1)) : QVariant(section + 1);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void GridModel::touched(int col1, int row1, int col2, int row2) {
    if (quiet_) {
        dirty_ = true;
        return;
    }
    col1 = std::max(col1, 1);
    row1 = std::max(row1, 1);
    col2 = std::min(col2, cells_.cols());
    row2 = std::min(row2, cells_.rows());
    if (col1 > col2 || row1 > row2) return;
    emit dataChanged(index(row1 - 1, col1 - 1), index(row2 - 1, col2 - 1), {Qt::DisplayRole, Qt::EditRole});
}

void GridModel::setCell(int col, int row, std::string_view bytes) {
    if (!cells_.inRange(col, row)) return;
    cells_.set(col, row, bytes);
    touched(col, row, col, row);
}

void GridModel::setRun(int row, int col, const std::vector<std::string_view>& fields) {
    if (fields.empty()) return;
    cells_.setRun(row, col, fields);
    touched(col, row, col + static_cast<int>(fields.size()) - 1, row);
}

void GridModel::clearBlock(int col1, int row1, int col2, int row2) {
    cells_.clear(col1, row1, col2, row2);
    touched(col1, row1, col2, row2);
}

void GridModel::insertRow(int row) {
    if (row < 1 || row > cells_.rows()) return;
    cells_.insertRow(row);
    touched(1, row, cells_.cols(), cells_.rows());
}

void GridModel::removeRow(int row) {
    if (row < 1 || row > cells_.rows()) return;
    cells_.removeRow(row);
    touched(1, row, cells_.cols(), cells_.rows());
}

void GridModel::setRows(int rows) {
    rows = std::max(rows, 1);
    const int old = cells_.rows();
    if (rows > old) {
        // Running out of memory between begin and end would leave the views
        // believing in rows the model never got.
        cells_.reserveRows(rows);
        beginInsertRows({}, old, rows - 1);
        cells_.setRows(rows);
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows({}, rows, old - 1);
        cells_.setRows(rows);
        endRemoveRows();
    }
}

void GridModel::setCols(int cols) {
    cols = std::clamp(cols, 1, GridCells::kMaxCols);
    const int old = cells_.cols();
    if (cols > old) {
        beginInsertColumns({}, old, cols - 1);
        cells_.setCols(cols);
        endInsertColumns();
    } else if (cols < old) {
        beginRemoveColumns({}, cols, old - 1);
        cells_.setCols(cols);
        endRemoveColumns();
    }
}

void GridModel::setQuiet(bool quiet) {
    quiet_ = quiet;
    if (!quiet_ && dirty_) {
        dirty_ = false;
        touched(1, 1, cells_.cols(), cells_.rows());
    }
}

}  // namespace qvrt
