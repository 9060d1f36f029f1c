#include "quarvex/graphcore/lst_squares.h"

#include <algorithm>
#include <cmath>

namespace LstSquares {

namespace {

// Each running value is kept as a float after every step; the
// expressions themselves are formed in double, as the fit always did.
inline float F(double v) { return static_cast<float>(v); }

void CheckFinite(float v) {
    if (!std::isfinite(v)) throw FitError(FitError::Kind::Overflow, "Overflow");
}

float Divide(double num, float den) {
    if (den == 0.0f) throw FitError(FitError::Kind::DivisionByZero, "Division by zero");
    const float q = F(num / den);
    CheckFinite(q);
    return q;
}

}  // namespace

int DistinctCount(int n, const std::vector<float>& x) {
    std::vector<float> v(x.begin() + 1, x.begin() + 1 + n);
    std::sort(v.begin(), v.end());
    return static_cast<int>(std::unique(v.begin(), v.end()) - v.begin());
}

void PolyFit(int n, const std::vector<float>& x, const std::vector<float>& y, int16_t& degree,
             float& stdDev, std::vector<float>& coefficients) {
    const int m = degree;
    if (m < 1) throw std::invalid_argument("PolyFit: degree below 1");
    if (n < 0 || static_cast<int>(x.size()) <= n || static_cast<int>(y.size()) <= n)
        throw std::invalid_argument("PolyFit: fewer points than the count");
    const int distinct = DistinctCount(n, x);
    if (distinct < m + 1) {
        throw FitError(FitError::Kind::TooFewDistinctX,
                       "A curve of degree " + std::to_string(m) + " needs at least " +
                           std::to_string(m + 1) + " different X values; these samples have " +
                           std::to_string(distinct) + ".");
    }

    std::vector<float> p(n + 1, 0.0f), q(n + 1, 0.0f), fit(n + 1, 0.0f);
    std::vector<float> a(m + 2, 0.0f), b(m + 2, 0.0f), c(m + 2, 0.0f);
    if (static_cast<int>(coefficients.size()) < m + 2) coefficients.resize(m + 2, 0.0f);

    float s = F(std::sqrt(static_cast<double>(n)));
    for (int i = 1; i <= n; ++i) p[i] = Divide(1.0, s);
    float alpha = 0.0f, cj = 0.0f;
    for (int i = 1; i <= n; ++i) {
        alpha = F(double(alpha) + double(p[i]) * p[i] * x[i]);
        cj = F(double(cj) + double(p[i]) * y[i]);
    }
    a[1] = Divide(1.0, s);
    c[1] = F(double(a[1]) * cj);
    for (int i = 1; i <= n; ++i) fit[i] = F(double(fit[i]) + double(p[i]) * cj);

    float d = 0.0f;
    for (int j = 2; j <= m + 1; ++j) {
        const float sPrev = s;
        const float alphaPrev = alpha;
        s = 0.0f;
        for (int i = 1; i <= n; ++i) {
            const float t = p[i];
            p[i] = F((double(x[i]) - alphaPrev) * p[i] - double(sPrev) * q[i]);
            q[i] = t;
            s = F(double(s) + double(p[i]) * p[i]);
        }
        CheckFinite(s);
        s = F(std::sqrt(double(s)));
        for (int i = 1; i <= n; ++i) p[i] = Divide(p[i], s);
        alpha = 0.0f;
        cj = 0.0f;
        for (int i = 1; i <= n; ++i) {
            alpha = F(double(alpha) + double(p[i]) * p[i] * x[i]);
            cj = F(double(cj) + double(y[i]) * p[i]);
        }
        CheckFinite(alpha);
        CheckFinite(cj);
        // Downwards, so a[k - 1] is still the previous polynomial's.
        for (int k = j; k >= 1; --k) {
            const float t = a[k];
            const float u = k >= 2 ? a[k - 1] : 0.0f;
            a[k] = Divide(double(u) - double(alphaPrev) * a[k] - double(sPrev) * b[k], s);
            b[k] = t;
        }
        for (int i = 1; i <= n; ++i) fit[i] = F(double(fit[i]) + double(p[i]) * cj);
        for (int k = 1; k <= m + 1; ++k) {
            c[k] = F(double(c[k]) + double(a[k]) * cj);
            CheckFinite(c[k]);
        }
        float sum = 0.0f;
        for (int i = 1; i <= n; ++i) {
            const double r = double(fit[i]) - y[i];
            sum = F(double(sum) + r * r);
        }
        CheckFinite(sum);
        // n - 1 on every pass, whatever the degree: the report has always
        // shown this figure.
        d = F(std::sqrt(double(Divide(sum, F(n - 1)))));
    }
    for (int k = 1; k <= m + 1; ++k) coefficients[k] = c[k];
    stdDev = d;
    degree = static_cast<int16_t>(m + 1);
}

}  // namespace LstSquares
