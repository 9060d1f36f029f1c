#include "quarvex/graphcore/lst_squares.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace LstSquares {

namespace {

// A curve may be off by 1e-4 of Y's range; the conditioning estimate below
// is trusted to within a few times, so fits are refused at a tenth of that.
constexpr double kWorstError = 1e-5;

float ToFloat(double v) {
    const float f = static_cast<float>(v);
    if (!std::isfinite(f)) throw FitError(FitError::Kind::Overflow, "Overflow");
    return f;
}

}  // namespace

int DistinctCount(int n, const std::vector<float>& x) {
    std::vector<float> v(x.begin() + 1, x.begin() + 1 + n);
    std::sort(v.begin(), v.end());
    return static_cast<int>(std::unique(v.begin(), v.end()) - v.begin());
}

void PolyFit(int n, const std::vector<float>& x, const std::vector<float>& y, int16_t& degree,
             float& stdDev, std::vector<float>& coefficients, std::vector<float>& fitted) {
    const int m = degree;
    if (m < 1) throw std::invalid_argument("PolyFit: degree below 1");
    if (n < 0 || static_cast<int>(x.size()) <= n || static_cast<int>(y.size()) <= n)
        throw std::invalid_argument("PolyFit: fewer points than the count");
    for (int i = 1; i <= n; ++i)
        if (!std::isfinite(x[i]) || !std::isfinite(y[i])) throw FitError(FitError::Kind::Overflow, "Overflow");
    const int distinct = DistinctCount(n, x);
    if (distinct < m + 1) {
        throw FitError(FitError::Kind::TooFewDistinctX,
                       "A curve of degree " + std::to_string(m) + " needs at least " +
                           std::to_string(m + 1) + " different X values; these samples have " +
                           std::to_string(distinct) + ".");
    }

    // t = (x - centre) / half lies in -1..1; r is Y less its mean. Far from
    // 0 the recurrence on x itself cancels away all its digits.
    const auto [lo, hi] = std::minmax_element(x.begin() + 1, x.begin() + 1 + n);
    const double centre = (double(*lo) + *hi) / 2, half = (double(*hi) - *lo) / 2;
    double mean = 0;
    for (int i = 1; i <= n; ++i) mean += y[i];
    mean /= n;
    std::vector<double> t(n + 1), r(n + 1);
    for (int i = 1; i <= n; ++i) {
        t[i] = (x[i] - centre) / half;
        r[i] = y[i] - mean;
    }

    std::vector<double> p(n + 1, 0.0), q(n + 1, 0.0), fit(n + 1, 0.0);
    std::vector<double> a(m + 2, 0.0), b(m + 2, 0.0), c(m + 2, 0.0);
    double s = std::sqrt(double(n));
    for (int i = 1; i <= n; ++i) p[i] = 1 / s;
    double alpha = 0, cj = 0;
    for (int i = 1; i <= n; ++i) {
        alpha += p[i] * p[i] * t[i];
        cj += p[i] * r[i];
    }
    a[1] = 1 / s;
    c[1] = a[1] * cj;
    for (int i = 1; i <= n; ++i) fit[i] += p[i] * cj;
    // Sum of squares of every orthonormal polynomial's coefficients.
    double basisSquares = a[1] * a[1];

    for (int j = 2; j <= m + 1; ++j) {
        const double sPrev = s, alphaPrev = alpha;
        s = 0;
        for (int i = 1; i <= n; ++i) {
            const double prev = p[i];
            p[i] = (t[i] - alphaPrev) * p[i] - sPrev * q[i];
            q[i] = prev;
            s += p[i] * p[i];
        }
        s = std::sqrt(s);
        if (!(s > 0)) break;  // refused below: the estimate is infinite
        for (int i = 1; i <= n; ++i) p[i] /= s;
        alpha = 0;
        cj = 0;
        for (int i = 1; i <= n; ++i) {
            alpha += p[i] * p[i] * t[i];
            cj += r[i] * p[i];
        }
        // Downwards, so a[k - 1] is still the previous polynomial's.
        for (int k = j; k >= 1; --k) {
            const double prev = a[k];
            const double u = k >= 2 ? a[k - 1] : 0.0;
            a[k] = (u - alphaPrev * a[k] - sPrev * b[k]) / s;
            b[k] = prev;
            basisSquares += a[k] * a[k];
        }
        for (int i = 1; i <= n; ++i) fit[i] += p[i] * cj;
        for (int k = 1; k <= m + 1; ++k) c[k] += a[k] * cj;
    }

    // The powers of t at the samples are the orthonormal polynomials times
    // the inverse of their coefficients, so the product of the two norms
    // is the condition number of the fit; the fitted values are off by
    // about that many roundings of Y's range.
    double powerSquares = 0;
    for (int i = 1; i <= n; ++i)
        for (int k = 0; k <= m; ++k) powerSquares += std::pow(t[i], 2 * k);
    const double kappa = std::sqrt(powerSquares * basisSquares);
    if (!(s > 0) || !(kappa * std::numeric_limits<double>::epsilon() / 2 <= kWorstError)) {
        throw FitError(FitError::Kind::IllConditioned,
                       "A curve of degree " + std::to_string(m) +
                           " cannot be fitted accurately to these samples: some of their X values lie too "
                           "close together, beside the range of X, to fix its shape. Choose a lower degree.");
    }

    // Back to powers of x: first of (x - centre), then shifted by centre.
    c[1] += mean;
    std::vector<double> e(m + 1);
    for (int k = 0; k <= m; ++k) e[k] = c[k + 1] / std::pow(half, k);
    for (int i = 0; i < m; ++i)
        for (int k = m - 1; k >= i; --k) e[k] -= centre * e[k + 1];

    std::vector<float> values(n + 1, 0.0f), powers(m + 1);
    double squares = 0;
    for (int i = 1; i <= n; ++i) {
        values[i] = ToFloat(mean + fit[i]);
        const double d = double(values[i]) - y[i];
        squares += d * d;
    }
    for (int k = 0; k <= m; ++k) powers[k] = ToFloat(e[k]);

    // n - 1 whatever the degree: the report has always shown this figure.
    stdDev = ToFloat(std::sqrt(squares / (n - 1)));
    if (static_cast<int>(coefficients.size()) < m + 2) coefficients.resize(m + 2, 0.0f);
    std::copy(powers.begin(), powers.end(), coefficients.begin() + 1);
    fitted.swap(values);
    degree = static_cast<int16_t>(m + 1);
}

}  // namespace LstSquares
