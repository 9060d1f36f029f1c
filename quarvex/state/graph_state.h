// Program-wide values of the plot set-up dialogs and the graph windows:
// what the next graph window copies when it is created.
#pragma once

#include <QString>
#include <cstdint>

namespace quarvex {

// Kind of diagram the next window draws first: "Ternary Plot", "Diamond
// Plot", the sheet's kind, or "XY Plot".
inline QString PlotKind;
inline QString GraphTitle;
inline QString XAxisTitle, YAxisTitle;
// Manual XY limits of the "XY Options" dialog.
inline float ScaleMinX = 0, ScaleMaxX = 0, ScaleMinY = 0, ScaleMaxY = 0;
// Index in GraphWindows of the window the latest launch created.
inline int16_t GraphCount = 0;
// -1 after the title dialog's OK stored a new title.
inline int16_t TitleChanged = 0;

// What the font dialog chose; TitleFlag -1 when it was chosen for a title.
struct FontChoiceRecord {
    QString Name;
    float Size = 0;
    int16_t Bold = 0;
    double Color = 0;
    int16_t Italic = 0;
    int16_t TitleFlag = 0;
    int16_t OtherFlag = 0;
};
inline FontChoiceRecord FontChoice;

// Back to the values of a fresh start.
void ResetGraphState();

}  // namespace quarvex
