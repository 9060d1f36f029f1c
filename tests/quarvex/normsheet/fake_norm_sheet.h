// A data table and result sheet in memory, standing where the data sheets
// stand for the norm procedures.
#pragma once

#include "quarvex/normsheet/norm3b.h"
#include "quarvex/runtime/errors.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace normtest {

class FakeNormSheet : public NORM3B::NormSheetIO {
public:
    // DataTable (sample 1.., column 0 to 50) and ColumnHeadings.
    std::vector<std::array<QString, 51>> table{1};
    std::vector<QString> headings{""};
    int nameCol = 2;
    std::map<int, std::array<float, 4>> components;
    std::vector<float> maficPercent, anorthitePercent, olivinePercent;
    int dialogCancelled = 0;
    int sampleIndex = 0;

    // The result sheet.
    int newSheets = 0;
    std::map<std::pair<int, int>, QString> grid;  // (column, row)
    bool redraw = true;
    int gridLoading = 0;
    bool modified = false;
    std::pair<int, int> currentCell{1, 1};  // (column, row)
    // Throws from SetGridText at this row when set.
    int failAtRow = 0;

    int AddSample() {
        table.emplace_back();
        return static_cast<int>(table.size()) - 1;
    }
    int SampleCount() const override { return static_cast<int>(table.size()) - 1; }
    QString DataCell(int sample, int column) const override { return table.at(sample).at(column); }
    void SetDataCell(int sample, int column, const QString& text) override { table.at(sample).at(column) = text; }
    int NameCol() const override { return nameCol; }
    QString ColumnHeading(int index) const override {
        return index < static_cast<int>(headings.size()) ? headings[index] : QString();
    }
    QString SheetHeading(int column) const override { return ColumnHeading(column); }
    void ResizeColumnHeadings(int last) override { headings.resize(static_cast<size_t>(last) + 1); }
    void SetColumnHeading(int index, const QString& text) override { headings.at(index) = text; }
    void SetComponents(int sample, float x, float y, float z, float f) override { components[sample] = {x, y, z, f}; }
    void SetMaficInputs(const std::vector<float>& mafic, const std::vector<float>& anorthite,
                        const std::vector<float>& olivine) override {
        maficPercent = mafic;
        anorthitePercent = anorthite;
        olivinePercent = olivine;
    }
    void SetDialogCancelled(int value) override { dialogCancelled = value; }
    void SetSampleIndex(int value) override { sampleIndex = value; }
    void NewDataWindow() override {
        ++newSheets;
        grid.clear();
        modified = false;
    }
    void SetGridReDraw(bool value) override { redraw = value; }
    void SetGridLoading(int value) override { gridLoading = value; }
    void SetGridText(int column, int row, const QString& text) override {
        if (failAtRow != 0 && row == failAtRow) qvrt::Raise(qvrt::ErrSubscript);
        grid[{column, row}] = text;
    }
    void SetCurrentCellText(int column, int row, const QString& text) override {
        SetGridText(column, row, text);
        currentCell = {column, row};
    }
    void MarkNewSheetModified() override { modified = true; }

    QString Grid(int column, int row) const {
        auto it = grid.find({column, row});
        return it == grid.end() ? QString() : it->second;
    }
    // The result headings from column 5 on.
    QStringList ResultHeadings() const {
        QStringList out;
        for (size_t i = 5; i < headings.size(); ++i) out << headings[i];
        return out;
    }
};

}  // namespace normtest
