// A running frame with one empty sheet, and helpers to fill and read it.
#pragma once

#include "quarvex/frame/frame_fixture.h"
#include "quarvex/sheets/data_table.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QStringList>
#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class CommandsTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        start();
        sheet = active();
        ASSERT_NE(sheet, nullptr);
    }

    qvrt::SpreadGrid& grid(quarvex::Main1* s = nullptr) const { return *(s ? s : sheet)->Grid1; }

    // Rows of tab-separated cells from row 1, column 1.
    void fill(const QStringList& rows, quarvex::Main1* s = nullptr) {
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList cells = rows[r].split(u'\t');
            for (int c = 0; c < cells.size(); ++c) grid(s).SetText(c + 1, r + 1, cells[c]);
        }
    }
    QString cell(int col, int row, quarvex::Main1* s = nullptr) const { return grid(s).GetText(col, row); }
    // Cells of one row, columns 1..n, joined by tabs.
    QString rowText(int row, int n, quarvex::Main1* s = nullptr) const {
        QStringList out;
        for (int c = 1; c <= n; ++c) out << cell(c, row, s);
        return out.join(u'\t');
    }

    void moveTo(int col, int row, quarvex::Main1* s = nullptr) {
        grid(s).setCol(col);
        grid(s).setRow(row);
        grid(s).setAction(qvrt::SpreadGrid::ActionActiveCell);
    }
    void selectBlock(int col1, int row1, int col2, int row2, quarvex::Main1* s = nullptr) {
        QAbstractItemView* v = grid(s).view();
        moveTo(col1, row1, s);
        QItemSelection sel(v->model()->index(row1 - 1, col1 - 1), v->model()->index(row2 - 1, col2 - 1));
        v->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
    }

    QStringList boxTexts() const {
        QStringList out;
        for (const auto& b : host->boxes) out << b.prompt + " | " + b.title;
        return out;
    }

    quarvex::Main1* sheet = nullptr;
};
