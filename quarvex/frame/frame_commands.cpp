#include "quarvex/frame/frame_commands.h"
#include "quarvex/sheets/new_data_window.h"

#include "quarvex/frame/mdi_form1.h"
#include "quarvex/normsheet/norm3b.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/common_dialog.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/sheets/clipboard_edit.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/sheets/plt_file.h"
#include "quarvex/sheets/row_editing.h"
#include "quarvex/sheets/table_print.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quarvex::FrameCommands {

namespace {

void open(const std::function<void()>& dialog) {
    if (dialog) dialog();
}

void help(int command, long data) { qvrt::host().Help(HelpFilePath, command, data); }

// The printer dialogs work on the frame's common dialog when there is a frame.
qvrt::CommonDialog& commonDialog() {
    static qvrt::CommonDialog local;
    MDIForm1* frame = MDIForm1::Instance();
    return frame ? frame->CMDialog1 : local;
}

}  // namespace

void ConvertToCoord(bool disableUndo) {
    if (!ActiveDataSheet()) return;
    qvrt::HourglassPointer busy;
    MODULE21::ReadActiveGridForCopy();
    // A failed read has been reported; nothing is converted into a new sheet.
    if (LastReadFailed) return;
    if (!MODULE21::NoDecimalCommas({XCol, YCol, ZCol, ZCol + 1}, QStringLiteral("Error Converting Data"))) return;
    MODULE21::NormalizeTernary();
    MODULE21::WriteCoordinates();
    if (disableUndo) EnableUndo(false);
}

void PlotDialog() {
    MDIForm1* frame = MDIForm1::Instance();
    qvrt::ChildForm* child = frame ? frame->ActiveForm() : nullptr;
    if (!child) throw qvrt::RuntimeError(91, "No window is open to plot from.");
    // A tag that is no number (a graph window has none) names no sheet: the
    // set-up dialog says that plotting needs one.
    bool numeric = false;
    child->Tag.trimmed().toDouble(&numeric);
    if (!numeric) {
        open(GraphDialogOpeners.Options);
        return;
    }
    const WindowRecord& record = RecordByTag(child->Tag);
    if (record.DiagramType == QStringLiteral("XY Plot")) open(GraphDialogOpeners.SetUp);
    else open(GraphDialogOpeners.Options);
}

void ToolbarButtonClick(const QString& key) {
    try {
        if (key == QStringLiteral("New")) MODULE21::NewDataWindow();
        else if (key == QStringLiteral("Open")) MODULE21::OpenDataFile();
        else if (key == QStringLiteral("Save")) MODULE21::SaveDataFile();
        else if (key == QStringLiteral("Delete Row")) MODULE21::DeleteGridRow();
        else if (key == QStringLiteral("Insert Row")) MODULE21::InsertGridRow();
        else if (key == QStringLiteral("Convert")) ConvertToCoord(false);
        else if (key == QStringLiteral("Plot")) PlotDialog();
        else if (key == QStringLiteral("Print")) MODULE21::PrintDataTable();
    } catch (const std::exception& e) {
        qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

void AssignSymbols() {
    if (!ActiveDataSheet()) return;
    AutoColors = 0;
    AutoSymbols = -1;
    MODULE21::ReadActiveGrid();
    if (!LastReadFailed) MODULE21::WriteTableToGrid(true);
}

void AutoSymbolsClick(QAction& item) {
    const bool on = !item.isChecked();
    item.setChecked(on);
    AutoSymbols = on ? -1 : 0;
}

void AssignColors() {
    AutoColors = -1;
    AutoSymbols = 0;
    if (!ActiveDataSheet()) return;
    MODULE21::ReadActiveGrid();
    if (!LastReadFailed) MODULE21::WriteTableToGrid(true);
}

void ShowToolbarHint(int16_t index, QLabel& panel) {
    static const char* const kHints[] = {
        "Creates a new file", "Opens a data file",  "Saves a data file", "Deletes an entire row",
        "Inserts an entire row", "Converts to XYZ Coordinates", "Plots data", "Prints data",
    };
    if (index < 0 || index > 7) return;
    panel.setText(QString::fromLatin1(kHints[index]));
}

void ShowPlotOptions() {
    PlotFromMemory = 0;
    PlotDialog();
}

void ReplotFromMemory() {
    PlotFromMemory = -1;
    open(GraphDialogOpeners.Options);
}

void ShowHelpIndex() { HelpContext(250); }

void PrepareNormColumns(int16_t) {
    NORM3B::OxideColumns = norm::kExtendedLayout.columns;
    NORM3B::OxideTotalColumn = norm::kExtendedLayout.total;
    MODULE21::ReadActiveGridAnalyses(NORM3B::OxideColumnList());
}

void PrintSetup() {
    try {
        qvrt::CommonDialog& dialog = commonDialog();
        dialog.CancelError = true;
        dialog.Flags = 64;
        qvrt::PrinterSurface& printer = qvrt::Printer();
        dialog.Printer = printer.Device();
        // A PDF file chosen here is proposed after what the active window
        // prints next, not after what was printed before.
        const FrameInterface* frame = TheFrame();
        const qvrt::ChildForm* child = frame ? frame->ActiveForm() : nullptr;
        printer.NameComingJob(child ? child->Caption() : QString());
        dialog.ShowPrinter();
    } catch (const qvrt::RuntimeError& e) {
        if (e.number() == qvrt::ErrDialogCancelled) return;
        qvrt::host().MsgBox(QString::fromStdString(e.description()), qvrt::vbExclamation,
                            QStringLiteral("Print Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

void HelpContents() { help(qvrt::HELP_CONTENTS, 0); }
void HelpSearch() { help(qvrt::HELP_PARTIALKEY, 0); }
void HelpHowTo() { help(qvrt::HELP_HELPONHELP, 0); }
void HelpContext(int contextId) { help(qvrt::HELP_CONTEXT, contextId); }

void ArrangeIcons(QMdiArea& area) {
    int x = 0;
    for (QMdiSubWindow* w : area.subWindowList()) {
        if (!w->isMinimized()) continue;
        w->move(x, area.viewport()->height() - w->height());
        x += w->width();
    }
}

namespace {

std::vector<QMdiSubWindow*> ArrangedWindows(QMdiArea& area) {
    std::vector<QMdiSubWindow*> out;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::CreationOrder))
        if (w->isVisible() && !w->isMinimized()) out.push_back(w);
    return out;
}

// A window that cannot shrink to its place keeps its least size and is moved
// back inside the area as far as it fits there.
void PlaceInside(QMdiSubWindow& w, const QRect& place, const QSize& room) {
    if (w.isMaximized()) w.showNormal();
    w.setGeometry(place);
    const int x = std::max(std::min(w.x(), room.width() - w.width()), 0);
    const int y = std::max(std::min(w.y(), room.height() - w.height()), 0);
    if (x != w.x() || y != w.y()) w.move(x, y);
}

}  // namespace

void TileWindows(QMdiArea& area) {
    const std::vector<QMdiSubWindow*> windows = ArrangedWindows(area);
    if (windows.empty()) return;
    // Horizontal tiling: up to three windows stacked one above the other at
    // the full width; more fill a grid whose rows run across.
    const int n = static_cast<int>(windows.size());
    const int cols = n <= 3 ? 1 : static_cast<int>(std::floor(std::sqrt(double(n))));
    const int rows = (n + cols - 1) / cols;
    const QSize room = area.viewport()->size();
    for (int i = 0; i < n; ++i) {
        const int col = i / rows, row = i % rows;
        // The last column may hold fewer windows; they share its height.
        const int inCol = std::min(rows, n - col * rows);
        const int x0 = room.width() * col / cols, x1 = room.width() * (col + 1) / cols;
        const int y0 = room.height() * row / inCol, y1 = room.height() * (row + 1) / inCol;
        PlaceInside(*windows[static_cast<size_t>(i)], QRect(x0, y0, x1 - x0, y1 - y0), room);
    }
}

void CascadeWindows(QMdiArea& area) {
    const std::vector<QMdiSubWindow*> windows = ArrangedWindows(area);
    if (windows.empty()) return;
    const QSize room = area.viewport()->size();
    const QStyle* style = area.style();
    const int step = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.front()) +
                     style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, windows.front());
    // Each window is as large as the area leaves once every offset is taken;
    // a row that would leave it less than half the area starts again at the top.
    const int n = static_cast<int>(windows.size());
    const int perRun = std::max(1, std::min(n, std::min(room.width(), room.height()) / 2 / std::max(step, 1)));
    const QSize size(std::max(room.width() - step * (perRun - 1), 1), std::max(room.height() - step * (perRun - 1), 1));
    for (int i = 0; i < n; ++i) {
        const int k = i % perRun;
        PlaceInside(*windows[static_cast<size_t>(i)], QRect(QPoint(k * step, k * step), size), room);
        windows[static_cast<size_t>(i)]->raise();
    }
}

}  // namespace quarvex::FrameCommands
