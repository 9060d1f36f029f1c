// Copy, Cut and Paste of the active sheet's selected block (or active cell)
// through the text clipboard, and the one-level Undo of the sheets.
#pragma once

#include "quarvex/state/edit_state.h"

#include <QString>

namespace quarvex {

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
