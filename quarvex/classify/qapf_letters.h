// The letters of the QAPF rule tables: the four apices and the mafic
// composition of the row.
#pragma once

#include "quarvex/classify/rule_table.h"

namespace classify::qapf {

inline constexpr Letter Q{kFirst};
inline constexpr Letter A{kSecond};  // read only by the ratio step
inline constexpr Letter P{kThird};   // after the ratio step: 100 P / (A + P)
inline constexpr Letter F{kFourth};
inline constexpr Letter M{kMafic};
inline constexpr Letter An{kAnorthite};
inline constexpr Letter Ol{kOlivine};

}  // namespace classify::qapf
