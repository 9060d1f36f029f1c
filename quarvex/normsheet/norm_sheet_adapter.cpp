#include "quarvex/normsheet/norm_sheet_adapter.h"
#include "quarvex/sheets/new_data_window.h"

#include "quarvex/normsheet/norm3b.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <algorithm>
#include <array>

namespace NORM3B {

namespace {

constexpr int kObjectNotSet = 91;

void StoreComponent(quarvex::SampleArray& values, int sample, float value) {
    if (sample > values.Bound()) values.Grow(sample);
    values(sample) = value;
}

}  // namespace

int NormSheetAdapter::SampleCount() const {
    return quarvex::SampleCount;
}

QString NormSheetAdapter::DataCell(int sample, int column) const { return quarvex::DataTable(column, sample); }

void NormSheetAdapter::SetDataCell(int sample, int column, const QString& text) {
    quarvex::DataTable(column, sample) = text;
}

int NormSheetAdapter::NameCol() const { return quarvex::NameCol; }

QString NormSheetAdapter::ColumnHeading(int index) const { return quarvex::HeadingAt(index); }

// The norms run with the sheet they read still active.
QString NormSheetAdapter::SheetHeading(int column) const {
    const quarvex::Main1* sheet = quarvex::ActiveDataSheet();
    return sheet ? sheet->Grid1->GetText(column, 1) : quarvex::HeadingAt(column);
}

void NormSheetAdapter::ResizeColumnHeadings(int last) {
    quarvex::ColumnHeadings.resize(static_cast<size_t>(std::max(last, 0)) + 1);
}

void NormSheetAdapter::SetColumnHeading(int index, const QString& text) {
    if (index < 0 || index >= static_cast<int>(quarvex::ColumnHeadings.size())) qvrt::Raise(qvrt::ErrSubscript);
    quarvex::ColumnHeadings[static_cast<size_t>(index)] = text;
}

void NormSheetAdapter::SetComponents(int sample, float x, float y, float z, float f) {
    StoreComponent(quarvex::XValues, sample, x);
    StoreComponent(quarvex::YValues, sample, y);
    StoreComponent(quarvex::ZValues, sample, z);
    StoreComponent(quarvex::FValues, sample, f);
}

void NormSheetAdapter::SetMaficInputs(const std::vector<float>& maficPercent,
                                      const std::vector<float>& anorthitePercent,
                                      const std::vector<float>& olivinePercent) {
    MaficInputs = {maficPercent, anorthitePercent, olivinePercent};
}

void NormSheetAdapter::SetDialogCancelled(int value) { quarvex::DialogCancelled = static_cast<int16_t>(value); }

void NormSheetAdapter::SetSampleIndex(int value) { SampleIndex = value; }

void NormSheetAdapter::NewDataWindow() {
    resultSheet_ = nullptr;
    MODULE21::NewDataWindow();
    resultSheet_ = quarvex::DataWindows.back();
    // A new sheet has 15,000 rows; a longer result must not lose its last rows.
    qvrt::SpreadGrid& grid = *resultSheet().Grid1;
    if (grid.MaxRows() < NormResultRows + 1) grid.setMaxRows(NormResultRows + 1);
}

void NormSheetAdapter::SetGridReDraw(bool redraw) { resultSheet().Grid1->setReDraw(redraw); }

// The sheets' cell-leave handler knows this flag as GridBusy.
void NormSheetAdapter::SetGridLoading(int value) { quarvex::GridBusy = static_cast<int16_t>(value); }

void NormSheetAdapter::SetGridText(int column, int row, const QString& text) {
    resultSheet().Grid1->SetText(column, row, text);
}

void NormSheetAdapter::SetCurrentCellText(int column, int row, const QString& text) {
    qvrt::SpreadGrid& grid = *resultSheet().Grid1;
    grid.setRow(row);
    grid.setCol(column);
    grid.setText(text);
}

void NormSheetAdapter::MarkNewSheetModified() { quarvex::MarkModified(resultSheet()); }

quarvex::Main1& NormSheetAdapter::resultSheet() const {
    if (!resultSheet_) throw qvrt::RuntimeError(kObjectNotSet, "Object variable or With block variable not set");
    return *resultSheet_;
}

void InstallSheetAdapter() {
    static NormSheetAdapter adapter;
    SetSheetIO(&adapter);
}

}  // namespace NORM3B
