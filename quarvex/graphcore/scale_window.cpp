#include "quarvex/graphcore/scale_window.h"

#include <cmath>
#include <stdexcept>

namespace MODULE21 {

void ComputeScaleWindow(double x1, double y1, double x2, double y2, double stretch, double& margin,
                        double surfaceA, double surfaceB, float& width, float& height, float& top,
                        float& left) {
  margin *= 2;  // the doubled value is the total added across both sides
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double pw = dx + margin * dx;
  const double ph = dy + margin * dy;
  if (surfaceA == 0) throw std::domain_error("Division by zero");
  const double r = surfaceB / surfaceA;
  if (r == 0) throw std::domain_error("Division by zero");
  double fx = 1, fy = 1;
  if (r > 1) {
    fy = r;
  } else {
    fx = 1 / r;
  }
  if (stretch == 0) throw std::domain_error("Division by zero");
  double ex = 0, ey = 0;
  if (stretch > 1) {
    ey = stretch - 1;
  } else {
    ex = 1 / stretch - 1;
  }
  // fx scales only the stretch term, not the padded width itself.
  width = static_cast<float>(pw + fx * ex * pw);
  height = static_cast<float>(fy * (ph + ey * ph));
  // The excess is measured from the values as stored, in Single.
  const double excessY = std::fabs(double(height) / 2) - std::fabs(dy / 2);
  const double excessX = std::fabs(double(width) / 2) - std::fabs(dx / 2);
  top = static_cast<float>(dy > 0 ? y1 - excessY : y1 + excessY);
  left = static_cast<float>(dx < 0 ? x1 + excessX : x1 - excessX);
}

ScaleWindowResult ComputeScaleWindow(double x1, double y1, double x2, double y2, double stretch,
                                     double& margin, double surfaceA, double surfaceB) {
  ScaleWindowResult r;
  ComputeScaleWindow(x1, y1, x2, y2, stretch, margin, surfaceA, surfaceB, r.width, r.height, r.top,
                     r.left);
  return r;
}

}  // namespace MODULE21
