// What the frame's menu items and toolbar buttons do beyond calling another
// module's operation: coordinate conversion, the plot dialog choice, the
// symbol switches, printer set-up, help, and the frame operations no menu
// reaches. The frame's handlers call these.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QAction;
class QLabel;
class QMdiArea;

namespace quarvex {

// The set-up and formatting dialogs of the graph windows, installed by the
// graph module; an item whose dialog is not installed does nothing.
struct GraphDialogs {
    std::function<void()> Options;   // ternary plot set-up
    std::function<void()> SetUp;     // XY plot set-up
    std::function<void()> Symbols1;  // symbol palette
    std::function<void()> Colors1;   // colour palette
};
inline GraphDialogs GraphDialogOpeners;

namespace FrameCommands {

// Read, normalise, and write the coordinates into a new sheet; the menu's
// version also disables Undo. Nothing happens without a data sheet.
void ConvertToCoord(bool disableUndo);
// The toolbar's "Plot": SetUp for an "XY Plot" sheet, Options otherwise.
// Raises when the active child is no data sheet (the toolbar reports it).
void PlotDialog();
// Runs the command of a toolbar button by its key; an error that the
// command does not handle itself shows in a box titled "Error".
void ToolbarButtonClick(const QString& key);

// Options > Symbols.
void AssignSymbols();
void AutoSymbolsClick(QAction& item);
// Colour-major automatic numbering of the active sheet.
void AssignColors();

// Frame operations that no menu reaches.
void ShowToolbarHint(int16_t index, QLabel& panel);
void ShowPlotOptions();
void ReplotFromMemory();
void ShowHelpIndex();
void PrepareNormColumns(int16_t index);

// File > Print Setup: the printer set-up dialog on the program's printer.
void PrintSetup();

// Help menu and F1.
void HelpContents();
void HelpSearch();
void HelpHowTo();
void HelpContext(int contextId);

// Window > Arrange Icons: minimised child windows in a row along the foot.
void ArrangeIcons(QMdiArea& area);

// Window > Tile and Cascade, inside the client area as it is: the frame keeps
// its size and place whatever the child windows' own least sizes.
void TileWindows(QMdiArea& area);
void CascadeWindows(QMdiArea& area);

}  // namespace FrameCommands
}  // namespace quarvex
