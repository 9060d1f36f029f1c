// Table model over a grid's cells: model row i is data row i + 1 and model
// column j data column j + 1; the headers are the column letters and the row
// numbers.
#pragma once

#include "quarvex/runtime/spread_grid_cells.h"

#include <QAbstractTableModel>

namespace qvrt {

// "A".."Z", "AA".."AZ", "BA", ... for columns 1, 2, ...
QString ColumnLetters(int col);

class GridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit GridModel(GridCells& cells, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Cell writes by program code go through these so the views hear of
    // them, or, while quiet, only once when quiet ends.
    void setCell(int col, int row, std::string_view bytes);
    void setRun(int row, int col, const std::vector<std::string_view>& fields);
    void clearBlock(int col1, int row1, int col2, int row2);
    void insertRow(int row);
    void removeRow(int row);
    void setRows(int rows);
    void setCols(int cols);
    void setQuiet(bool quiet);

signals:
    // The user's edit stored a different text in the cell.
    void cellEdited(int col, int row);

private:
    void touched(int col1, int row1, int col2, int row2);

    GridCells& cells_;
    bool quiet_ = false;
    bool dirty_ = false;
};

}  // namespace qvrt
