// Program-wide values of the graph formatting dialogs: the legend texts of
// the plot symbols and the curve-fit degree (the font choice and the title
// flags live with the graph windows' state).
#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace quarvex {

// Legend text of plot symbol n in entry n (1 to 14 are edited).
inline std::array<QString, 21> SymbolDescriptions;

// The degree the curve-fit dialog accepted, 1 to 4.
inline int16_t CurveFitDegree = 0;

void ResetFormatState();

}  // namespace quarvex
