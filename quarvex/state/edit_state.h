// What the sheets' editing commands keep between two commands: the last
// search, the block last copied or cut, and where Undo puts its block back.
#pragma once

#include <QString>
#include <cstdint>

namespace quarvex {

struct SearchState {
    QString FindText;
    // The find text in an 18-character field (padded or cut): a cell holding
    // exactly that matches too when the find text is no longer than 18.
    QString ShortFindText = QString(18, u' ');
    QString ReplaceText;
    // 32 bits: sheets opened from files run past row 32,767.
    int32_t StartRow = 0;
    int16_t StartCol = 0;
    // -1 after the dialog's Cancel; a running scan stops at its next check.
    int16_t StopRequest = 0;
};
inline SearchState SearchRecord;

// The block this program last copied or cut; Paste without a selection
// fills a block of its size. All 0 until the first Copy or Cut.
struct ClipBlockCorners {
    int Col1 = 0, Col2 = 0, Row1 = 0, Row2 = 0;
};
inline ClipBlockCorners ClipBlock;

// The Tag of the sheet UndoRecord was taken from: Undo puts the block back
// there, whichever sheet is active when it is chosen.
inline QString UndoSheetTag;

void ResetEditState();

}  // namespace quarvex
