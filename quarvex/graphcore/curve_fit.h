// The step of a window's curve fit before the polynomial itself: the order
// of the samples by X.
#pragma once

#include <vector>

namespace graphcore {

// Positions 1..n of x in ascending order of x, equal values in their
// present order (element 0 of the result is 0). This is the order the
// window's exchange sort leaves, reached in n log n.
std::vector<int> OrderByX(int n, const std::vector<float>& x);

}  // namespace graphcore
