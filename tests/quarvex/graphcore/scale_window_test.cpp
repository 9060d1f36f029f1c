#include "quarvex/graphcore/scale_window.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr double kTol = 1e-3;

struct Window {
  MODULE21::ScaleWindowResult r;
  double margin;
};

Window Compute(double x1, double y1, double x2, double y2, double stretch, double margin,
               double a = 1, double b = 1) {
  Window w{{}, margin};
  w.r = MODULE21::ComputeScaleWindow(x1, y1, x2, y2, stretch, w.margin, a, b);
  return w;
}

TEST(ScaleWindow, TernaryFrameWithUpwardYAxis) {
  const auto w = Compute(0, 100, 100, 0, 1.18, 0.2);
  EXPECT_NEAR(w.r.width, 140, kTol);
  EXPECT_NEAR(w.r.height, -165.2, kTol);
  EXPECT_NEAR(w.r.top, 132.6, kTol);
  EXPECT_NEAR(w.r.left, -20, kTol);
  EXPECT_NEAR(w.margin, 0.4, 1e-12);
}

TEST(ScaleWindow, TernaryFrameWithDownwardYAxis) {
  const auto w = Compute(0, 0, 100, 100, 1.18, 0.2);
  EXPECT_NEAR(w.r.width, 140, kTol);
  EXPECT_NEAR(w.r.height, 165.2, kTol);
  EXPECT_NEAR(w.r.top, -32.6, kTol);
  EXPECT_NEAR(w.r.left, -20, kTol);
}

TEST(ScaleWindow, TasFrameHasNegativeHeightAndTopAboveReferenceCorner) {
  const auto w = Compute(35, 16, 77, 0, 1.31, 0.15);
  EXPECT_NEAR(w.r.width, 54.6, kTol);
  EXPECT_NEAR(w.r.height, -27.248, kTol);
  EXPECT_NEAR(w.r.top, 21.624, kTol);
  EXPECT_NEAR(w.r.left, 28.7, kTol);
}

TEST(ScaleWindow, DiamondStretchBelowOneWidensAndSurfaceRatioScalesTheRightTerm) {
  auto w = Compute(0, -100, 100, 100, 0.58, 0.1);
  EXPECT_NEAR(w.r.width, 206.8966, kTol);
  EXPECT_NEAR(w.r.height, 240, kTol);
  EXPECT_NEAR(w.r.top, -120, kTol);
  EXPECT_NEAR(w.r.left, -53.4483, kTol);

  w = Compute(0, -100, 100, 100, 0.58, 0.1, 2, 1);  // ratio 0.5: fx 2
  EXPECT_NEAR(w.r.width, 293.7931, kTol);
  EXPECT_NEAR(w.r.height, 240, kTol);
  EXPECT_NEAR(w.r.left, -96.8966, kTol);

  w = Compute(0, -100, 100, 100, 0.58, 0.1, 1, 2);  // ratio 2: fy 2
  EXPECT_NEAR(w.r.width, 206.8966, kTol);
  EXPECT_NEAR(w.r.height, 480, kTol);
  EXPECT_NEAR(w.r.top, -240, kTol);
  EXPECT_NEAR(w.r.left, -53.4483, kTol);
}

TEST(ScaleWindow, ScreenDiamondFrameFigures) {
  // The diamond frame's own call: margin 0.2.
  const auto w = Compute(0, -100, 100, 100, 0.58, 0.2);
  EXPECT_NEAR(w.r.width, 241.3793, kTol);
  EXPECT_NEAR(w.r.height, 280, kTol);
  EXPECT_NEAR(w.r.top, -140, kTol);
  EXPECT_NEAR(w.r.left, -70.6897, kTol);
}

TEST(ScaleWindow, MarginPassedTwiceIsDoubledTwice) {
  double margin = 0.2;
  MODULE21::ComputeScaleWindow(0, 0, 100, 100, 1, margin, 1, 1);
  const auto r = MODULE21::ComputeScaleWindow(0, 0, 100, 100, 1, margin, 1, 1);
  EXPECT_NEAR(margin, 0.8, 1e-12);
  EXPECT_NEAR(r.width, 180, kTol);  // 100 + 0.8 x 100
}

TEST(ScaleWindow, ZeroSurfaceOrStretchIsADivisionByZeroAfterTheMarginIsWritten) {
  double margin = 0.2;
  EXPECT_THROW(MODULE21::ComputeScaleWindow(0, 0, 1, 1, 1, margin, 0, 1), std::domain_error);
  EXPECT_NEAR(margin, 0.4, 1e-12);
  EXPECT_THROW(MODULE21::ComputeScaleWindow(0, 0, 1, 1, 1, margin, 1, 0), std::domain_error);
  EXPECT_THROW(MODULE21::ComputeScaleWindow(0, 0, 1, 1, 0, margin, 1, 1), std::domain_error);
}

}  // namespace
