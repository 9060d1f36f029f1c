// Pieces the printed frames share: the sample glyphs, the sample numbers,
// the point labels and the frames' own error report.
#pragma once

#include "quarvex/printing/printed_graph.h"

#include <functional>

namespace qvrt {
class PrinterSurface;
}

namespace quarvex::printing {

// The centring entry of a symbol number; outside 0..19 raises Subscript
// out of range, as the window's arrays did.
float CentringV(const PrintedGraph& g, int symbol);
float CentringH(const PrintedGraph& g, int symbol);

// Glyph of each sample at (PointX, PointY), centred on it, in its colour.
void PrintSampleGlyphs(PrintedGraph& g, qvrt::PrinterSurface& p);
// Each sample's number from the glyph's right edge; the vertical offset is
// added (top of the glyph) or, with below set, subtracted (its bottom).
void PrintSampleNumbers(const PrintedGraph& g, qvrt::PrinterSurface& p, bool below);
void PrintPointLabels(const PrintedGraph& g, qvrt::PrinterSurface& p);
// What every diagram frame prints over its glyphs: the sample numbers and
// the point labels, in 6-point Arial in the diagram colour.
void PrintSampleMarks(const PrintedGraph& g, qvrt::PrinterSurface& p, uint32_t axes, bool below);

// Runs the body of a diagram frame: error 380 is reported as the text
// font's "Font Error", any other failure as "Plotting Error"; either way
// the pointer goes back to default and the job goes on.
void RunFrame(const PrintedGraph& g, const std::function<void()>& body);

}  // namespace quarvex::printing
