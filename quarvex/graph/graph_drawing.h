// Small drawing helpers the graph window's frames share.
#pragma once

#include "quarvex/graph/graph2.h"
#include "quarvex/runtime/surface.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace quarvex {

// A colour kept as a real number, rounded to the nearest whole colour value;
// anything that is not a colour (not a number, out of range) draws black.
inline uint32_t ColorValue(double color) {
    if (!std::isfinite(color) || color < 0 || color > 16777215.0) return 0;
    return static_cast<uint32_t>(std::lround(color));
}

// Text with its top-left corner at (x, y).
inline void PrintAt(qvrt::Surface& p, double x, double y, const QString& text) {
    p.SetCurrentX(x);
    p.SetCurrentY(y);
    p.Print(text);
}

inline void ApplyScaleWindow(qvrt::Surface& p, const ScaleWindowRect& w) {
    p.SetScaleLeft(w.Left);
    p.SetScaleTop(w.Top);
    p.SetScaleWidth(w.Width);
    p.SetScaleHeight(w.Height);
}

// Grows a 0-based array to hold index i, keeping its contents.
template <typename T>
void GrowTo(std::vector<T>& values, int i) {
    if (static_cast<int>(values.size()) <= i) values.resize(static_cast<size_t>(i) + 1);
}

// A plotted point that can be drawn: both coordinates are numbers.
inline bool Placeable(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

}  // namespace quarvex
