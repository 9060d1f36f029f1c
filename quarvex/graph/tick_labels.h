// The texts of an XY axis's tick labels, shared by the screen and the
// printed plot so the two always read alike.
#pragma once

#include <QString>
#include <vector>

namespace quarvex {

// The labels of an axis's eleven ticks, first + i * interval for i = 0 to 9
// and then last, in that order. They read "##0.00" whenever that tells
// every tick apart, as the axes always did. Otherwise they take the fewest
// further decimals that do; an axis whose values all lie below 1E-4, or
// reach 1E7, where the program writes numbers with an exponent, reads
// "1.5E-06" instead, with the fewest mantissa decimals that tell its ticks
// apart.
std::vector<QString> AxisTickLabels(double first, double interval, double last);

}  // namespace quarvex
