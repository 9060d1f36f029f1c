// The least-squares polynomial of the curve fit, by orthonormal polynomials
// built with a three-term recurrence and turned into power-series
// coefficients at the end. Single precision throughout, as the fit report
// has always shown it: every stored value is a float, each expression is
// evaluated wider.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace LstSquares {

// Why a fit could not be formed. The message is meant for the user.
class FitError : public std::runtime_error {
public:
    enum class Kind { TooFewDistinctX, DivisionByZero, Overflow };
    FitError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// Fits a polynomial of degree `degree` (1 or more) through points 1..n of
// x and y (element 0 unused). Coefficients(k) is the coefficient of
// x^(k-1), k = 1..degree+1; the vector grows to at least degree+2 elements
// and its other elements are left alone. stdDev is the root of the
// residual sum of squares over n - 1. On return `degree` holds the number
// of coefficients (degree + 1).
//
// Fewer distinct X values than degree + 1 leave the polynomial undefined:
// that is refused with TooFewDistinctX before anything is computed, so the
// outputs keep their values.
void PolyFit(int n, const std::vector<float>& x, const std::vector<float>& y, int16_t& degree,
             float& stdDev, std::vector<float>& coefficients);

// Number of different values among x(1..n).
int DistinctCount(int n, const std::vector<float>& x);

}  // namespace LstSquares
