// The plot launcher: the active data sheet into a new graph window.
#pragma once

namespace MODULE21 {

// Reads the active sheet (unless PlotFromMemory is set), checks, filters
// or normalises the samples and opens one new graph window.
void PlotActiveData();
// Keeps the samples strictly inside the manual XY limits; every value of a
// kept sample (X, Y, Z, F, symbol, colour, plagioclase ratio, table row)
// moves with it.
void FilterXYRange();

}  // namespace MODULE21
