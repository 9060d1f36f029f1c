// Program-wide values of the graph formatting dialogs: the font the font
// dialog chose, the legend texts of the plot symbols, the title dialog's
// answer and the curve-fit degree.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace quarvex {

// Filled by the font dialog, field by field as the user clicks; never reset
// as a whole between dialogs.
struct FontChoiceRecord {
    QString Name;
    float Size = 0;
    int16_t Bold = 0;
    double Color = 0;  // red + 256 green + 65536 blue
    int16_t Italic = 0;
    // -1 between the title dialog's "Font" and the title command taking it.
    int16_t TitleChosen = 0;
};
inline FontChoiceRecord FontChoice;

// Legend text of plot symbol n in entry n (1 to 14 are edited).
inline std::array<QString, 21> SymbolDescriptions;

// -1 after the title dialog's OK, 0 after its Cancel.
inline int16_t TitleAccepted = 0;

// The diagram title new graph windows copy; the title dialog edits it.
inline QString GraphTitle;

// The degree the curve-fit dialog accepted, 1 to 4.
inline int16_t CurveFitDegree = 0;

void ResetFormatState();

}  // namespace quarvex
