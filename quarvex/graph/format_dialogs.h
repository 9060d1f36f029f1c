// What the formatting dialogs share: where they stand on the screen and the
// label that shows one plot symbol.
#pragma once

#include "quarvex/state/format_state.h"
#include "quarvex/state/graph_state.h"
#include "quarvex/state/program_state.h"

#include <QLabel>

namespace quarvex {

// Installs the font, title and symbol-description dialogs where the graph
// windows and the plot set-up dialogs open them.
void InstallFormatDialogs();

// Brings a dialog to its size and centres it on the start-up screen.
void CentreDialog(QWidget& dialog);

// Writes text into the given column of the active data sheet's current
// row and moves the current cell one row down (not past the last row),
// marking the sheet modified and disabling the frame's Undo. Nothing
// happens for column 0, on the heading row or without a data sheet.
void WriteToActiveSheet(int column, const QString& text);

// A panel showing plot symbol 1 to 14 as the graphs draw it.
class SymbolLabel : public QLabel {
public:
    SymbolLabel(int symbol, QWidget* parent);
    int symbol() const { return symbol_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int symbol_;
};

}  // namespace quarvex
