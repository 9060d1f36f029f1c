#include "quarvex/graphcore/curve_fit.h"
#include "quarvex/graphcore/lst_squares.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// 1-based arrays as the window keeps them.
std::vector<float> OneBased(std::initializer_list<double> values) {
    std::vector<float> v{0.0f};
    for (double d : values) v.push_back(static_cast<float>(d));
    return v;
}

TEST(PolyFit, LineThroughThreePointsGivesTheReportedFigures) {
    const auto x = OneBased({1, 2, 3});
    const auto y = OneBased({1, 2, 2});
    int16_t degree = 1;
    float sd = -1;
    std::vector<float> coef(4, 0.0f);
    LstSquares::PolyFit(3, x, y, degree, sd, coef);
    EXPECT_EQ(degree, 2);
    EXPECT_NEAR(coef[1], 2.0 / 3.0, 1e-6);
    EXPECT_NEAR(coef[2], 0.5, 1e-6);
    EXPECT_EQ(coef[3], 0.0f);
    // Residual sum 1/6 over n - 1 = 2, not over n - m - 1.
    EXPECT_NEAR(sd, 0.288675, 1e-6);
    EXPECT_NEAR(graphcore::EvaluateFit(coef, 2, 1.0f), 1.1667, 1e-4);
    EXPECT_NEAR(graphcore::EvaluateFit(coef, 2, 2.0f), 1.6667, 1e-4);
    EXPECT_NEAR(graphcore::EvaluateFit(coef, 2, 3.0f), 2.1667, 1e-4);
}

TEST(PolyFit, ExactDataGiveNoDeviation) {
    // A straight line, fitted at degree 1.
    auto x = OneBased({-2, 0, 1, 5, 7});
    auto y = OneBased({-1, 3, 5, 13, 17});
    int16_t degree = 1;
    float sd = -1;
    std::vector<float> coef(4, 0.0f);
    LstSquares::PolyFit(5, x, y, degree, sd, coef);
    EXPECT_NEAR(coef[1], 3.0, 1e-5);
    EXPECT_NEAR(coef[2], 2.0, 1e-5);
    EXPECT_NEAR(sd, 0.0, 1e-5);

    // Degree 4 through five points of distinct X passes through each.
    x = OneBased({0, 1, 2, 3, 4});
    y = OneBased({1, -1, 4, 0, 2});
    degree = 4;
    coef.assign(7, 0.0f);
    LstSquares::PolyFit(5, x, y, degree, sd, coef);
    EXPECT_EQ(degree, 5);
    for (int i = 1; i <= 5; ++i) EXPECT_NEAR(graphcore::EvaluateFit(coef, 5, x[i]), y[i], 2e-4);
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
    std::vector<float> coef(4, 0.0f);
    LstSquares::PolyFit(36, x, y, degree, sd, coef);
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

TEST(PolyFit, RefusesTooFewDistinctXAndLeavesTheOutputs) {
    const auto x = OneBased({1, 1, 2, 2});
    const auto y = OneBased({1, 2, 3, 4});
    int16_t degree = 2;
    float sd = 7.0f;
    std::vector<float> coef(5, 9.0f);
    try {
        LstSquares::PolyFit(4, x, y, degree, sd, coef);
        FAIL() << "fit of degree 2 on two distinct X accepted";
    } catch (const LstSquares::FitError& e) {
        EXPECT_EQ(e.kind(), LstSquares::FitError::Kind::TooFewDistinctX);
        EXPECT_NE(std::string(e.what()).find("at least 3 different X values"), std::string::npos);
    }
    EXPECT_EQ(degree, 2);
    EXPECT_EQ(sd, 7.0f);
    EXPECT_EQ(coef[1], 9.0f);

    // One sample cannot carry even a line.
    degree = 1;
    EXPECT_THROW(LstSquares::PolyFit(1, OneBased({3}), OneBased({4}), degree, sd, coef),
                 LstSquares::FitError);
}

TEST(OrderByX, SortsAscendingAndKeepsEqualXInOrder) {
    const auto x = OneBased({3, 1, 2, 1});
    EXPECT_EQ(graphcore::OrderByX(4, x), (std::vector<int>{0, 2, 4, 3, 1}));
}

}  // namespace
