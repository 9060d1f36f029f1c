#include "quarvex/graph/format_dialogs.h"

#include "quarvex/graph/font1.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/graph/settitle.h"
#include "quarvex/graph/symbol_desc.h"
#include "quarvex/runtime/glyphs.h"
#include "quarvex/runtime/spread_grid.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/runtime/host.h"

#include <QPainter>

namespace quarvex {

namespace {
QWidget* DialogParent() { return TheFrame() ? TheFrame()->FrameWindow() : nullptr; }
}  // namespace

void InstallFormatDialogs() {
    GraphSeams& seams = Graph2Seams();
    seams.ShowFont1 = [] { Font1::ShowModal(DialogParent()); };
    seams.ShowSETTITLE = [] { SETTITLE::ShowModal(DialogParent()); };
    seams.ShowSymbolDesc = [](bool modal) {
        if (modal) SymbolDesc::ShowModal(DialogParent());
        else SymbolDesc::Show(DialogParent());
    };
}

void CentreDialog(QWidget& dialog) {
    dialog.adjustSize();
    const double tx = qvrt::host().TwipsPerPixelX(), ty = qvrt::host().TwipsPerPixelY();
    dialog.move(qRound(ScreenWidthTwips / 2 / tx - dialog.width() / 2.0),
                qRound(ScreenHeightTwips / 2 / ty - dialog.height() / 2.0));
}

void WriteToActiveSheet(int column, const QString& text) {
    if (column < 1) return;
    Main1* sheet = ActiveDataSheet();
    if (!sheet) return;
    qvrt::SpreadGrid& grid = *sheet->Grid1;
    const int row = grid.ActiveRow();
    if (row <= 1) return;  // the headings
    grid.SetText(column, row, text);
    if (row < grid.MaxRows()) {
        grid.setCol(column);
        grid.setRow(row + 1);
        grid.setAction(qvrt::SpreadGrid::ActionActiveCell);
    }
    sheet->Record().Modified = -1;
    if (FrameInterface* f = TheFrame()) f->SetUndoEnabled(false);
}

SymbolLabel::SymbolLabel(int symbol, QWidget* parent) : QLabel(parent), symbol_(symbol) {
    setMinimumSize(28, 28);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
}

void SymbolLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    const qvrt::PlotGlyph& g = qvrt::PlotGlyphs().at(symbol_ - 1);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height()) * 0.7;
    const QRectF cell(width() / 2.0 - side / 2, height() / 2.0 - side * qvrt::kGlyphCellHeightEm / 2, side,
                      side * qvrt::kGlyphCellHeightEm);
    qvrt::PaintGlyph(painter, g.face, g.code, cell, palette().color(QPalette::WindowText), false);
}

}  // namespace quarvex
