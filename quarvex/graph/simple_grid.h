// The simple grid of the graph window (point table, field-name key): a
// table of texts with one optional fixed header row and index column,
// addressed by row and column from 0 as TextMatrix did.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <vector>

namespace quarvex {

class SimpleGridModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int rows_ = 0, cols_ = 0, fixedRows_ = 0, fixedCols_ = 0;
    // Row-major, only as far as the last row written: a point table of
    // 15,000 rows lists 1,999, and the rows below stay empty.
    std::vector<QString> cells_;
    std::vector<Qt::Alignment> alignment_;
    void Resize(int rows, int cols);
    // The cell's text; empty outside the grid.
    QString Text(int row, int col) const;
    // The cell to write, made with the rows above it; row and col in the grid.
    QString& Cell(int row, int col);
    void Changed(int row, int col);
    void Reset() {
        beginResetModel();
        endResetModel();
    }
};

class SimpleGrid : public QTableView {
public:
    explicit SimpleGrid(QWidget* parent = nullptr);

    int Rows() const { return model_.rows_; }
    int Cols() const { return model_.cols_; }
    void SetRows(int rows);
    void SetCols(int cols);
    // The cell's text; empty outside the grid.
    QString TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const QString& text);
    // Writes a row in one piece from column col on (without a view update
    // per cell; call Refresh after a batch).
    void SetRowTexts(int row, int col, const QStringList& cells);
    void Refresh() { model_.Reset(); }
    void SetFixedRows(int n);
    void SetFixedCols(int n);
    // Width in twips of the screen.
    void SetColWidth(int col, int twips);
    // The width in twips a column needs to show `text` whole in this grid's font.
    int TwipsToShow(const QString& text) const;
    int ColWidth(int col) const;
    void SetColAlignment(int col, Qt::Alignment alignment);
    // Selects row's cells from col1 to col2.
    void SelectRow(int row, int col1, int col2);
    // The current row (-1 when there is none); SetRow makes row current in
    // column 1, as a click in it would.
    int Row() const { return currentIndex().row(); }
    void SetRow(int row);

private:
    SimpleGridModel model_;
};

}  // namespace quarvex
