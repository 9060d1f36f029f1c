#include "quarvex/graphcore/curve_fit.h"
#include "quarvex/graphcore/lst_squares.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// 1-based arrays as the window keeps them.
std::vector<float> OneBased(const std::vector<double>& values) {
    std::vector<float> v{0.0f};
    for (double d : values) v.push_back(static_cast<float>(d));
    return v;
}

TEST(PolyFit, LineThroughThreePointsGivesTheReportedFigures) {
    const auto x = OneBased({1, 2, 3});
    const auto y = OneBased({1, 2, 2});
    int16_t degree = 1;
    float sd = -1;
    std::vector<float> coef(4, 0.0f), fitted;
    LstSquares::PolyFit(3, x, y, degree, sd, coef, fitted);
    EXPECT_EQ(degree, 2);
    EXPECT_NEAR(coef[1], 2.0 / 3.0, 1e-6);
    EXPECT_NEAR(coef[2], 0.5, 1e-6);
    EXPECT_EQ(coef[3], 0.0f);
    // Residual sum 1/6 over n - 1 = 2, not over n - m - 1.
    EXPECT_NEAR(sd, 0.288675, 1e-6);
    EXPECT_NEAR(fitted[1], 1.1667, 1e-4);
    EXPECT_NEAR(fitted[2], 1.6667, 1e-4);
    EXPECT_NEAR(fitted[3], 2.1667, 1e-4);
}

TEST(PolyFit, ExactDataGiveNoDeviation) {
    // A straight line, fitted at degree 1.
    auto x = OneBased({-2, 0, 1, 5, 7});
    auto y = OneBased({-1, 3, 5, 13, 17});
    int16_t degree = 1;
    float sd = -1;
    std::vector<float> coef(4, 0.0f), fitted;
    LstSquares::PolyFit(5, x, y, degree, sd, coef, fitted);
    EXPECT_NEAR(coef[1], 3.0, 1e-5);
    EXPECT_NEAR(coef[2], 2.0, 1e-5);
    EXPECT_NEAR(sd, 0.0, 1e-5);

    // Degree 4 through five points of distinct X passes through each.
    x = OneBased({0, 1, 2, 3, 4});
    y = OneBased({1, -1, 4, 0, 2});
    degree = 4;
    coef.assign(7, 0.0f);
    LstSquares::PolyFit(5, x, y, degree, sd, coef, fitted);
    EXPECT_EQ(degree, 5);
    for (int i = 1; i <= 5; ++i) EXPECT_NEAR(fitted[i], y[i], 2e-4);
    EXPECT_NEAR(sd, 0.0, 1e-4);
}

// NIST Statistical Reference Datasets, linear least squares, "Norris"
// (https://www.itl.nist.gov/div898/strd/lls/data/Norris.shtml): 36
// observations, certified B0 = -0.262323073774029, B1 = 1.00211681802045,
// residual sum of squares 26.6173985294224.
TEST(PolyFit, ReproducesTheNorrisCertifiedLine) {
    const auto x = OneBased({0.2,   337.4, 118.2, 884.6, 10.1,  226.5, 666.3, 996.3, 448.6,
                             777.0, 558.2, 0.4,   0.6,   775.5, 666.9, 338.0, 447.5, 11.6,
                             556.0, 228.1, 995.8, 887.6, 120.2, 0.3,   0.3,   556.8, 339.1,
                             887.2, 999.0, 779.0, 11.1,  118.3, 229.2, 669.1, 448.9, 0.5});
    const auto y = OneBased({0.1,   338.8, 118.1, 888.0, 9.2,   228.1, 668.5, 998.5, 449.1,
                             778.9, 559.2, 0.3,   0.1,   778.1, 668.8, 339.3, 448.9, 10.8,
                             557.7, 228.3, 998.0, 888.8, 119.6, 0.3,   0.6,   557.6, 339.3,
                             888.0, 998.5, 778.9, 10.2,  117.6, 228.9, 668.4, 449.2, 0.2});
    int16_t degree = 1;
    float sd = 0;
    std::vector<float> coef(4, 0.0f), fitted;
    LstSquares::PolyFit(36, x, y, degree, sd, coef, fitted);
    const double b0 = -0.262323073774029, b1 = 1.00211681802045;
    const double sdOverNMinus1 = std::sqrt(26.6173985294224 / 35.0);
    // Single precision: the slope to a few float steps; the intercept is
    // small beside Y values near 1000, so its absolute error is that of a
    // float at 1000 (about 6e-5) and its relative error correspondingly
    // larger.
    EXPECT_LT(std::abs((coef[2] - b1) / b1), 2e-6);
    EXPECT_LT(std::abs((coef[1] - b0) / b0), 2e-3);
    EXPECT_LT(std::abs((sd - sdOverNMinus1) / sdOverNMinus1), 1e-4);
    std::printf("Norris relative errors: B0 %.3g, B1 %.3g, deviation %.3g\n",
                std::abs((coef[1] - b0) / b0), std::abs((coef[2] - b1) / b1),
                std::abs((sd - sdOverNMinus1) / sdOverNMinus1));
}

// Fits at `degree` expecting a refusal of `kind` whose message holds `why`,
// with every output left as it was.
void ExpectRefused(const std::vector<double>& xs, const std::vector<double>& ys, int degree,
                   LstSquares::FitError::Kind kind, const std::string& why) {
    int16_t terms = int16_t(degree);
    float sd = 7.0f;
    std::vector<float> coef(6, 9.0f), fitted{4.0f};
    try {
        LstSquares::PolyFit(int(xs.size()), OneBased(xs), OneBased(ys), terms, sd, coef, fitted);
        ADD_FAILURE() << "fit of degree " << degree << " accepted";
    } catch (const LstSquares::FitError& e) {
        EXPECT_EQ(e.kind(), kind);
        EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
    }
    EXPECT_EQ(terms, degree);
    EXPECT_EQ(sd, 7.0f);
    EXPECT_EQ(coef, std::vector<float>(6, 9.0f));
    EXPECT_EQ(fitted, std::vector<float>{4.0f});
}

TEST(PolyFit, RefusesTooFewDistinctXAndLeavesTheOutputs) {
    ExpectRefused({1, 1, 2, 2}, {1, 2, 3, 4}, 2, LstSquares::FitError::Kind::TooFewDistinctX,
                  "at least 3 different X values");
    // One sample cannot carry even a line.
    ExpectRefused({3}, {4}, 1, LstSquares::FitError::Kind::TooFewDistinctX, "at least 2 different X values");
}

// Three shapes of data the fit must meet whatever the offset of X: an
// Rb-Sr isochron near 0, a value by year, and X a million plus a count.
struct Shape {
    std::vector<double> x, y;
};
const Shape kIsochron{{0.1, 0.4, 0.9, 1.3, 1.8, 2.2, 2.7, 3.1, 3.6, 4.0, 4.5, 5.0},
                      {0.70495, 0.70916, 0.71629, 0.72192, 0.72908, 0.73474, 0.74183, 0.74755, 0.75459,
                       0.76031, 0.76742, 0.77448}};
const Shape kYears{{2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010},
                   {2.8, 3.1, 2.9, 3.3, 3.0, 3.2, 2.95, 3.05, 3.15, 2.85, 3.0}};
const Shape kMillion{{1e6, 1e6 + 1, 1e6 + 2, 1e6 + 3, 1e6 + 4, 1e6 + 5, 1e6 + 6, 1e6 + 7, 1e6 + 8, 1e6 + 9},
                     {3, 5.1, 6.9, 9.2, 11, 12.8, 15.1, 17, 19.2, 21}};

struct ReferenceFit {
    const Shape& shape;
    int degree;
    std::vector<double> coefficients;
    double deviation;
    double fitted[3];  // at the first, the middle and the last sample
};

// Computed outside the program with python's fractions module: the float
// values of X and Y above fitted exactly by the normal equations in
// rational arithmetic, the deviation over n - 1, then rounded for print.
const ReferenceFit kReferenceFits[] = {
    {kIsochron, 1, {0.703502047, 0.0141991683}, 2.370656e-05, {0.70492196, 0.73474022, 0.77449789}},
    {kIsochron, 2, {0.703503047, 0.0141978731, 2.58612232e-07}, 2.369966e-05, {0.70492284, 0.73473962, 0.77449888}},
    {kIsochron, 3, {0.70351858, 0.0141551158, 2.18965687e-05, -2.84243985e-06},
     2.224108e-05, {0.70493431, 0.73473555, 0.77448627}},
    {kIsochron, 4, {0.703525124, 0.0141242451, 5.02633795e-05, -1.15874777e-05, 8.56554744e-07},
     2.202918e-05, {0.70493804, 0.73473842, 0.77448985}},
    {kYears, 1, {-0.618187037, 0.00181818442}, 0.1521363, {3.0181818, 3.0272727, 3.0363636}},
    {kYears, 2, {-32797.9545, 32.717447, -0.00815851094}, 0.1320398, {2.8958041, 3.1088578, 2.913986}},
    {kYears, 3, {-13262785, 19828.2677, -9.88126546, 0.00164141429}, 0.1255791, {2.8367132, 3.1088578, 2.9730769}},
    {kYears, 4, {-2.60308524e+09, 5186572.41, -3875.2839, 1.28689716, -0.000160256327},
     0.1251572, {2.8251748, 3.0973194, 2.9615384}},
    {kMillion, 1, {-2004239.46, 2.00424247}, 0.1245058, {3.010909, 11.027879, 21.049091}},
    {kMillion, 2, {2.27074313e+09, -4543.47004, 0.00227272691}, 0.1232829, {3.0381817, 11.009697, 21.076364}},
    {kMillion, 3, {-1.16543843e+14, 349632225, -349.632922, 0.00011654454},
     0.123264, {3.0352448, 11.010536, 21.079301}},
    {kMillion, 4, {-1.10724795e+21, 4.42897174e+15, -6.64342754e+09, 4428.93164, -0.0011072279},
     0.1137981, {2.9874126, 10.962704, 21.031469}},
};

TEST(PolyFit, MatchesExactFitsWhateverTheOffsetOfX) {
    for (const ReferenceFit& ref : kReferenceFits) {
        const std::vector<double>& ys = ref.shape.y;
        SCOPED_TRACE("X from " + std::to_string(ref.shape.x[0]) + ", degree " + std::to_string(ref.degree));
        const int n = int(ys.size());
        const double spread = *std::max_element(ys.begin(), ys.end()) - *std::min_element(ys.begin(), ys.end());
        int16_t degree = int16_t(ref.degree);
        float sd = 0;
        std::vector<float> coef(7, 0.0f), fitted;
        LstSquares::PolyFit(n, OneBased(ref.shape.x), OneBased(ys), degree, sd, coef, fitted);
        ASSERT_EQ(degree, ref.degree + 1);
        const int at[3] = {1, (n + 1) / 2, n};
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(fitted[at[k]], ref.fitted[k], 1e-4 * spread) << "sample " << at[k];
        for (int k = 0; k <= ref.degree; ++k)
            EXPECT_NEAR(coef[size_t(k) + 1], ref.coefficients[size_t(k)], 1e-6 * std::abs(ref.coefficients[size_t(k)]))
                << "x^" << k;
        // The deviation of the float values handed back, which is what the window draws.
        EXPECT_NEAR(sd, ref.deviation, 1e-5 * spread);
    }
}

TEST(PolyFit, RefusesXBunchedTooCloselyForTheDegree) {
    // Five analyses a float step or two apart and one far off: a parabola
    // is found, a cubic's shape between the five is lost to rounding.
    const std::vector<double> x{5, 5.0000005, 5.000001, 5.0000015, 5.000002, 50}, y{1, 1.2, 0.9, 1.1, 1, 3};
    int16_t degree = 2;
    float sd = 0;
    std::vector<float> coef(4, 0.0f), fitted;
    LstSquares::PolyFit(6, OneBased(x), OneBased(y), degree, sd, coef, fitted);
    ExpectRefused(x, y, 3, LstSquares::FitError::Kind::IllConditioned, "too close together");
}

TEST(OrderByX, SortsAscendingAndKeepsEqualXInOrder) {
    const auto x = OneBased({3, 1, 2, 1});
    EXPECT_EQ(graphcore::OrderByX(4, x), (std::vector<int>{0, 2, 4, 3, 1}));
}

}  // namespace
