// Copy, Cut and Paste of the active sheet's selected block (or active cell)
// through the text clipboard, and the one-level Undo of the sheets.
#pragma once

#include <QString>

namespace quarvex {

// The block this program last copied or cut; Paste without a selection
// fills a block of its size. All 0 until the first Copy or Cut.
struct ClipBlockCorners {
    int Col1 = 0, Col2 = 0, Row1 = 0, Row2 = 0;
};
inline ClipBlockCorners ClipBlock;

// The Tag of the sheet UndoRecord was taken from: Undo puts the block back
// there, whichever sheet is active when it is chosen.
inline QString UndoSheetTag;

// Switches the frame's Undo item (when there is a frame).
void EnableUndo(bool on);

}  // namespace quarvex

namespace MODULE21 {

// 0 Copy, 1 Cut, 2 Paste; any other index does nothing. Failures show
// "Edit Error".
void EditClipboard(int index);

// Edit > Undo: puts UndoRecord back into the sheet it came from. Failures
// show "Undo Error".
void UndoLastEdit();

}  // namespace MODULE21
