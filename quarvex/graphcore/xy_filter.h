#pragma once

#include <functional>

// Narrowing an XY plot to its manual scale limits.
namespace MODULE21 {

struct XYLimits {
  float minX = 0, maxX = 0, minY = 0, maxY = 0;
};

// Keeps the samples 1..count strictly inside the limits (a sample on a limit,
// or one with a value that is not a number, is outside), in their order.
// For each kept sample whose position changes, moveSample(from, to) is
// called with to < from, lowest first, so the caller moves every value it
// keeps per sample (X, Y, Z, symbol, colour, label ...) and each point stays
// with its own. Returns the number kept.
int FilterXYRange(int count, const XYLimits& limits, const std::function<float(int)>& xAt,
                  const std::function<float(int)>& yAt,
                  const std::function<void(int from, int to)>& moveSample);

}  // namespace MODULE21
