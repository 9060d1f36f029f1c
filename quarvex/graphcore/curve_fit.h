// The steps of a window's curve fit around the polynomial itself: the
// order of the samples by X and the fitted value at a sample.
#pragma once

#include <vector>

namespace graphcore {

// Positions 1..n of x in ascending order of x, equal values in their
// present order (element 0 of the result is 0). This is the order the
// window's exchange sort leaves, reached in n log n.
std::vector<int> OrderByX(int n, const std::vector<float>& x);

// Sum over k = 1..terms of coefficients(k) * x^(k-1), the powers formed in
// double and the sum kept as a float.
float EvaluateFit(const std::vector<float>& coefficients, int terms, float x);

}  // namespace graphcore
