#include "quarvex/graphcore/xy_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Samples {
  std::vector<float> x, y, symbol;
  std::vector<std::string> label;
  int count;
};

int Filter(Samples& s, const MODULE21::XYLimits& limits) {
  return MODULE21::FilterXYRange(
      s.count, limits, [&](int i) { return s.x[i]; }, [&](int i) { return s.y[i]; },
      [&](int from, int to) {
        s.x[to] = s.x[from];
        s.y[to] = s.y[from];
        s.symbol[to] = s.symbol[from];
        s.label[to] = s.label[from];
      });
}

TEST(XYFilter, KeptPointsKeepTheirOwnSymbolsAndLabelsInOrder) {
  Samples s{{0, 5, 50, 6, 7}, {0, 5, 5, 50, 6}, {0, 1, 2, 3, 4}, {"", "a", "b", "c", "d"}, 4};
  const int kept = Filter(s, {0, 10, 0, 10});
  ASSERT_EQ(kept, 2);
  EXPECT_FLOAT_EQ(s.x[1], 5);
  EXPECT_FLOAT_EQ(s.x[2], 7);
  EXPECT_FLOAT_EQ(s.y[2], 6);
  EXPECT_FLOAT_EQ(s.symbol[2], 4);
  EXPECT_EQ(s.label[2], "d");
  // Beyond the new count the values stay as they were.
  EXPECT_EQ(s.label[3], "c");
}

TEST(XYFilter, PointsOnALimitAndNotANumberAreOutside) {
  const float nan = std::nanf("");
  Samples s{{0, 0, 10, 5, nan, 5}, {0, 5, 5, 0, 5, 5}, {0, 1, 1, 1, 1, 9},
            {"", "", "", "", "", "e"}, 5};
  const int kept = Filter(s, {0, 10, 0, 10});
  ASSERT_EQ(kept, 1);
  EXPECT_FLOAT_EQ(s.symbol[1], 9);
  EXPECT_EQ(s.label[1], "e");
}

}  // namespace
