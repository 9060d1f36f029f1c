// What the norm procedures use of the data sheets and the frame: the data
// table that MODULE21.ReadActiveGrid filled, the shared arrays the norms
// leave for the classifiers, DialogCancelled, and a new result sheet. The
// running program installs an adapter onto the sheet services; tests install
// a fake.
#pragma once

#include <QString>
#include <vector>

namespace NORM3B {

class NormSheetIO {
public:
    virtual ~NormSheetIO() = default;

    // DataTable and ColumnHeadings of the sheet just read. Samples and
    // columns are 1-based; a cell of any column 1 to 50 can be read, however
    // many headings the sheet has.
    virtual int SampleCount() const = 0;
    virtual QString DataCell(int sample, int column) const = 0;
    virtual void SetDataCell(int sample, int column, const QString& text) = 0;
    virtual int NameCol() const = 0;
    virtual QString ColumnHeading(int index) const = 0;
    // Row 1 of the sheet that was read, any column 1 to 50 (ColumnHeadings
    // stops at the first empty heading).
    virtual QString SheetHeading(int column) const = 0;
    // ColumnHeadings becomes 0 to last, keeping the entries that remain.
    virtual void ResizeColumnHeadings(int last) = 0;
    virtual void SetColumnHeading(int index, const QString& text) = 0;

    // XValues, YValues, ZValues, FValues of one sample.
    virtual void SetComponents(int sample, float x, float y, float z, float f) = 0;
    // MaficInputs, replaced as a whole (index 0 to the last computed sample).
    virtual void SetMaficInputs(const std::vector<float>& maficPercent, const std::vector<float>& anorthitePercent,
                                const std::vector<float>& olivinePercent) = 0;
    virtual void SetDialogCancelled(int value) = 0;
    virtual void SetSampleIndex(int value) = 0;

    // The result sheet: MODULE21.NewDataWindow, then the new active sheet's
    // Grid1 (ReDraw, cells by column and row, row 1 the headings),
    // GridLoading and its WindowTable Modified flag.
    virtual void NewDataWindow() = 0;
    virtual void SetGridReDraw(bool redraw) = 0;
    virtual void SetGridLoading(int value) = 0;
    // Grid1.SetText: writes a cell without moving the current cell.
    virtual void SetGridText(int column, int row, const QString& text) = 0;
    // Grid1.Row, Grid1.Col, then Grid1.Text: the cell becomes the current one.
    virtual void SetCurrentCellText(int column, int row, const QString& text) = 0;
    virtual void MarkNewSheetModified() = 0;
};

// The seam the procedures below use; null uninstalls. The caller keeps
// ownership.
void SetSheetIO(NormSheetIO* io);
NormSheetIO& SheetIO();

}  // namespace NORM3B
