// The norm on the program's own data sheets: the data table that
// MODULE21.ReadActiveGrid fills, the frame's shared flags, and a new Main1
// for the result. The norm commands themselves are the launchers of the
// classification side.
#pragma once

#include "quarvex/normsheet/norm_sheet_io.h"
#include "quarvex/state/norm_state.h"

#include <QPointer>
#include <vector>

namespace quarvex {
class Main1;
}

namespace NORM3B {

class NormSheetAdapter : public NormSheetIO {
public:
    // Both norms ask for the count before they read a cell, with the sheet
    // they read still active: the oxide cells that the read left out (its
    // columns stop at HeadingCount) are taken from that sheet's grid here.
    int SampleCount() const override;
    QString DataCell(int sample, int column) const override;
    void SetDataCell(int sample, int column, const QString& text) override;
    int NameCol() const override;
    QString ColumnHeading(int index) const override;
    QString SheetHeading(int column) const override;
    void ResizeColumnHeadings(int last) override;
    void SetColumnHeading(int index, const QString& text) override;

    void SetComponents(int sample, float x, float y, float z, float f) override;
    void SetMaficInputs(const std::vector<float>& maficPercent, const std::vector<float>& anorthitePercent,
                        const std::vector<float>& olivinePercent) override;
    void SetDialogCancelled(int value) override;
    void SetSampleIndex(int value) override;

    void NewDataWindow() override;
    void SetGridReDraw(bool redraw) override;
    void SetGridLoading(int value) override;
    void SetGridText(int column, int row, const QString& text) override;
    void SetCurrentCellText(int column, int row, const QString& text) override;
    void MarkNewSheetModified() override;

private:
    quarvex::Main1& resultSheet() const;

    // The sheet the last NewDataWindow opened; null once it is closed.
    QPointer<quarvex::Main1> resultSheet_;
};

// Installs the adapter as the norms' sheet access; the running program does
// this once at start-up, before any norm can run.
void InstallSheetAdapter();

}  // namespace NORM3B
