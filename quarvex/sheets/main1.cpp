#include "quarvex/sheets/main1.h"

#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/clipboard_edit.h"
#include "quarvex/sheets/plt_file.h"
#include "quarvex/state/data_menus.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/program_state.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>

#include <algorithm>
#include <utility>

namespace quarvex {

namespace {

void setPanel(StatusPanel panel, const QString& text) {
    if (FrameInterface* f = TheFrame()) f->SetPanelText(panel, text);
}

void enableUndo(bool on) {
    if (FrameInterface* f = TheFrame()) f->SetUndoEnabled(on);
}

}  // namespace

Main1* Main1::Create() {
    auto* sheet = new Main1;
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    if (FrameInterface* f = TheFrame()) {
        f->AddChildWindow(sheet);
        sheet->Form_Load();
        sheet->show();
        f->ActivateChild(sheet);
    } else {
        sheet->Form_Load();
        sheet->show();
    }
    return sheet;
}

Main1::Main1(QWidget* parent) : qvrt::ChildForm(parent) {
    setWindowTitle(QStringLiteral("Unnamed"));
    Grid1 = new qvrt::SpreadGrid(this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    setWidget(Grid1);
    connectGrid();
}

Main1::~Main1() { QObject::disconnect(Grid1, nullptr, this, nullptr); }

void Main1::connectGrid() {
    using G = qvrt::SpreadGrid;
    connect(Grid1, &G::KeyDown, this, qvrt::Guarded([this](int k, int s) { Grid1_KeyDown(k, s); }));
    connect(Grid1, &G::KeyPress, this, qvrt::Guarded([this](int k) { Grid1_KeyPress(k); }));
    connect(Grid1, &G::Change, this, qvrt::Guarded([this](int c, int r) { Grid1_Change(c, r); }));
    connect(Grid1, &G::DblClick, this, qvrt::Guarded([this](int c, int r) { Grid1_DblClick(c, r); }));
    connect(Grid1, &G::EditMode, this,
            qvrt::Guarded([this](int c, int r, int m, bool ch) { Grid1_EditMode(c, r, m, ch); }));
    connect(Grid1, &G::Advance, this, qvrt::Guarded([this](bool next) { Grid1_Advance(next); }));
    connect(Grid1, &G::SelChange, this, qvrt::Guarded([this](int c1, int r1, int c2, int r2, int cc, int cr) {
                Grid1_SelChange(c1, r1, c2, r2, cc, cr);
            }));
    connect(Grid1, &G::LeaveCell, this,
            qvrt::Guarded([this](int c, int r, int nc, int nr) { Grid1_LeaveCell(c, r, nc, nr); }));
}

WindowRecord& Main1::Record() const { return RecordByTag(Tag); }

QString Main1::FileName() const {
    const QString caption = Caption();
    int dash = caption.indexOf(u'-');
    return dash < 0 ? QString() : caption.mid(dash + 1);
}

void Main1::SetFocus() {
    if (FrameInterface* f = TheFrame()) f->ActivateChild(this);
    Grid1->SetFocus();
}

void Main1::Form_Load() {
    try {
        qvrt::HourglassPointer busy;
        if (SheetCounter == 32767) qvrt::Raise(qvrt::ErrOverflow);
        ++SheetCounter;
        setCaption(QStringLiteral("Sheet%1-%2").arg(SheetCounter).arg(CurrentFileName));
        WindowTable.at(CurrentDataWindow).IsOpen = -1;
        // The whole sheet's font; the other two whole-sheet settings and the
        // grid-wide option of the original set-up have no counterpart here.
        Grid1->setRow(-1);
        Grid1->setCol(-1);
        Grid1->setFontName(QStringLiteral("MS Sans Serif"));
        Grid1->setFontSize(8.25);
        Grid1->setMaxCols(50);
        Grid1->setMaxRows(15000);
        SheetMaxRows = 15000;
        Grid1->setColWidth(0, 720);
        const int width = qvrt::CInt(ScreenScaleX * 1080);
        for (int c = 1; c <= 50; ++c) Grid1->setColWidth(c, width);
        Grid1->setRow(1);
        Grid1->setCol(1);
        // 8800 x 4800 twips were most of the 800 x 600 screen the sheet was
        // made for; a larger screen gives it the same share, as it gives the
        // frame, so that it shows as many columns. The frame keeps it inside.
        qvrt::Host& host = qvrt::host();
        const double tx = host.TwipsPerPixelX(), ty = host.TwipsPerPixelY();
        const double sx = std::max(1.0, host.ScreenWidthTwips() / 12000), sy = std::max(1.0, host.ScreenHeightTwips() / 9000);
        resize(qRound(8800 * sx / tx), qRound(4800 * sy / ty));
        if (FrameInterface* f = TheFrame()) f->PlaceNewSheet(this);
        else move(0, 0);
        Tag = QString::number(CurrentDataWindow);
        setPanel(StatusPanel::DiagramType, QStringLiteral("Not Defined"));
        Record().DiagramType = QStringLiteral("Not Defined");
        Grid1->setCol(1);
        Grid1->setRow(1);
        enableUndo(false);
    } catch (const qvrt::RuntimeError& e) {
        MsgBoxAnswer = static_cast<int16_t>(qvrt::host().MsgBox(QString::fromStdString(e.description()),
                                                               qvrt::vbExclamation,
                                                               QStringLiteral("Error Loading New Grid")));
    }
}

void Main1::Form_Activate() {
    setPanel(StatusPanel::DiagramType, Record().DiagramType);
    // The position panel shows this sheet's cell, not the last sheet's.
    setPanel(StatusPanel::CellPosition,
             QStringLiteral("ROW: %1  COL: %2").arg(Grid1->ActiveRow()).arg(Grid1->ActiveCol()));
}

bool Main1::Form_QueryUnload() {
    DialogCancelled = 0;
    CurrentFileName = Caption();
    bool cancel = false;
    WindowRecord& rec = Record();
    if (rec.Modified == -1) {
        // At Exit the sheets ask in turn: each comes forward so the user sees
        // which one the question is about.
        if (isMinimized()) showNormal();
        if (FrameInterface* f = TheFrame()) f->ActivateChild(this);
        const QString prompt = FileName().isEmpty()
                                   ? QStringLiteral("Save changes to unnamed file now?")
                                   : QStringLiteral("Save changes to %1 now?").arg(Caption());
        MsgBoxAnswer = static_cast<int16_t>(qvrt::host().MsgBox(
            prompt, qvrt::vbYesNoCancel + qvrt::vbExclamation, QStringLiteral("Save File?")));
        if (MsgBoxAnswer == qvrt::vbYes) {
            // The sheet the question named is the one saved, whichever is
            // active; a save that fails or is refused keeps it open.
            SetFocus();
            const bool saved = MODULE21::SaveDataFile(this);
            Record().SaveCancelled = 0;
            cancel = !saved;
        } else if (MsgBoxAnswer == qvrt::vbCancel) {
            cancel = true;
        }
    }
    if (DialogCancelled == -1) cancel = true;
    return cancel;
}

void Main1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    WindowRecord& rec = Record();
    rec.Modified = 0;
    rec.IsOpen = 0;
    bool anyOpen = false;
    for (const WindowRecord& r : WindowTable)
        if (r.IsOpen == -1) anyOpen = true;
    if (!anyOpen) MODULE21::DisableDataMenus();
}

void Main1::UnloadWithoutQuestion() {
    skipQuestion_ = true;
    close();
}

void Main1::closeEvent(QCloseEvent* event) {
    // A question or save that fails past its own handling (memory run out
    // in the middle) keeps the sheet open with its changes.
    bool keepOpen = !skipQuestion_;
    qvrt::Guard([&] {
        if (!skipQuestion_) keepOpen = Form_QueryUnload();
        if (!keepOpen) Form_Unload();
    });
    if (keepOpen) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

void Main1::Grid1_KeyDown(int keyCode, int shift) {
    // Shift, Ctrl and Alt go down for a shortcut or a menu, and a key the
    // grid gets with Ctrl or Alt held (a shortcut of a menu item that is
    // off) types nothing: none of them changes the sheet. A key that starts
    // or makes an edit marks it.
    using G = qvrt::SpreadGrid;
    const bool modifierOnly = keyCode == G::VkShift || keyCode == G::VkControl || keyCode == G::VkMenu;
    commandKey_ = !modifierOnly && (shift & (G::CtrlMask | G::AltMask)) != 0;
    if (!modifierOnly && !commandKey_) Record().Modified = -1;
    if (DataMenusEnabled == 0) MODULE21::EnableDataMenus();
    GridBusy = 0;
    if (keyCode == qvrt::SpreadGrid::VkReturn) EnterPressed = -1;
}

void Main1::Grid1_KeyPress(int) {
    // Ctrl+U with Undo off, Alt and a letter no menu takes: nothing is typed.
    if (std::exchange(commandKey_, false)) return;
    Record().Modified = -1;
    enableUndo(true);
}

// An edit that ended with a change marks the sheet whatever keys made it
// (a paste into the cell with Ctrl+V marks nothing as its keys go down).
void Main1::Grid1_Change(int, int) {
    Record().Modified = -1;
    enableUndo(true);
}

void Main1::Grid1_DblClick(int, int) { Record().Modified = -1; }

void Main1::Grid1_EditMode(int col, int row, int mode, bool) {
    Grid1->setReDraw(false);
    if (mode == 1) {
        Grid1->setCol(col);
        Grid1->setRow(row);
        UndoRecord = {col, col, row, row, Grid1->Text()};
        UndoSheetTag = Tag;
        EnterPressed = 0;
    } else if (mode == 0 && EnterPressed == -1) {
        int targetRow = row, targetCol = col;
        bool move = true;
        if (EnterMovesRight == -1) {
            if (Grid1->Col() != Grid1->MaxCols()) targetCol = col + 1;
        } else if (EnterMovesRight == 0) {
            if (Grid1->Row() == Grid1->MaxRows()) {
                Grid1->setMaxRows(Grid1->MaxRows() + 1);
                targetRow = Grid1->MaxRows();
            } else {
                targetRow = row + 1;
            }
        } else {
            move = false;
        }
        if (move) {
            Grid1->setRow(targetRow);
            Grid1->setCol(targetCol);
            Grid1->setAction(qvrt::SpreadGrid::ActionActiveCell);
        }
        EnterPressed = 0;
    } else if (mode == 0) {
        EnterPressed = 0;
    }
    enableUndo(true);
    Grid1->setReDraw(true);
}

void Main1::growAtLastRow() {
    const int col = Grid1->ActiveCol();
    Grid1->setMaxRows(Grid1->MaxRows() + 1);
    Grid1->setRow(Grid1->MaxRows());
    Grid1->setCol(col);
}

void Main1::Grid1_Advance(bool advanceNext) {
    if (advanceNext) growAtLastRow();
}

void Main1::Grid1_SelChange(int, int, int, int blockRow2, int, int) {
    if (blockRow2 == Grid1->MaxRows()) growAtLastRow();
}

void Main1::Grid1_LeaveCell(int, int, int newCol, int newRow) {
    if (GridBusy == 0 && newRow >= 1 && newCol >= 1)
        setPanel(StatusPanel::CellPosition, QStringLiteral("ROW: %1  COL: %2").arg(newRow).arg(newCol));
}

}  // namespace quarvex
