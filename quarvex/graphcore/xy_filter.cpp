#include "quarvex/graphcore/xy_filter.h"

namespace MODULE21 {

int FilterXYRange(int count, const XYLimits& limits, const std::function<float(int)>& xAt,
                  const std::function<float(int)>& yAt,
                  const std::function<void(int from, int to)>& moveSample) {
  int kept = 0;
  for (int i = 1; i <= count; ++i) {
    const float x = xAt(i);
    const float y = yAt(i);
    if (limits.minX < x && x < limits.maxX && limits.minY < y && y < limits.maxY) {
      ++kept;
      if (kept != i) moveSample(i, kept);
    }
  }
  return kept;
}

}  // namespace MODULE21
