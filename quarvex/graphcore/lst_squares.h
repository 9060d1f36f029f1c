// The least-squares polynomial of the curve fit, by orthonormal polynomials
// built with a three-term recurrence and turned into power-series
// coefficients at the end. The polynomials are built in double on X moved
// onto -1..1 and on Y less its mean, so that a fit at X = 1,000,000 or over
// the years 2000 to 2010 is as good as one near 0; what is handed back is
// in floats, as the window keeps its samples.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace LstSquares {

// Why a fit could not be formed. The message is meant for the user.
class FitError : public std::runtime_error {
public:
    enum class Kind { TooFewDistinctX, IllConditioned, Overflow };
    FitError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// Fits a polynomial of degree `degree` (1 or more) through points 1..n of
// x and y (element 0 unused). Coefficients(k) is the coefficient of
// x^(k-1), k = 1..degree+1; the vector grows to at least degree+2 elements
// and its other elements are left alone. fitted(i) becomes the fitted value
// at x(i) (n + 1 elements), summed from the orthonormal polynomials rather
// than from the power series, whose terms cancel far from X = 0. stdDev is
// the root of the sum of squares of fitted(i) - y(i) over n - 1: the
// deviation of the values the window draws. On return `degree` holds the
// number of coefficients (degree + 1).
//
// Refused before any output changes: fewer distinct X values than
// degree + 1 (TooFewDistinctX); X values so bunched beside their range that
// the fitted values could be off by more than a hundred-thousandth of Y's
// range (IllConditioned); values or coefficients beyond the float range
// (Overflow).
void PolyFit(int n, const std::vector<float>& x, const std::vector<float>& y, int16_t& degree,
             float& stdDev, std::vector<float>& coefficients, std::vector<float>& fitted);

// Number of different values among x(1..n).
int DistinctCount(int n, const std::vector<float>& x);

}  // namespace LstSquares
