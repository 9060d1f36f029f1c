// Printing a graph window: the print job and everything it puts on paper
// (frames, samples, the user's drawings, template lines, the symbol legend).
// Every procedure prints on the runtime's Printer.
#pragma once

#include "quarvex/printing/printed_graph.h"

#include <QString>
#include <functional>

namespace qvrt {
class PrinterSurface;
}

namespace quarvex::printing {

// The whole print job of one graph window: printer dialog, diagram page,
// the key page of a QAPF diagram, the legend page, EndDoc. Errors never
// leave it: a cancelled dialog prints nothing, any other failure shows one
// "Print Error" box and discards the document.
void PrintDiagram(PrintedGraph& g);

// Half widths and heights of the 14 glyphs in the printer's current units.
void MeasurePrinterSymbols(PrintedGraph& g);

void ListUsedSymbols(PrintedGraph& g);
void PrintSymbolLegend(PrintedGraph& g);

// The frame printers: each fits the page by DiagramSize, prints its frame,
// the samples, their numbers and the point labels, and leaves the printer in
// diagram units. The three diagram frames report their own failures ("Font
// Error", "Plotting Error") and return; the XY plot's go to the job.
void PrintTernaryFrame(PrintedGraph& g);
void PrintDiamondFrame(PrintedGraph& g);
void PrintTASFrame(PrintedGraph& g);
void PrintXYPlot(PrintedGraph& g);

// The printed classification overlay of one diagram, in two pieces: what
// goes on the diagram page, and the key page of the QAPF diagrams, which
// the job prints after the user's drawings. Both are empty for a type
// without an overlay; fromDispatcher leaves out the two QAPF types, which
// the ternary frame's dispatcher never reaches.
struct PrintedOverlay {
    std::function<void(PrintedGraph&)> diagramPage;
    std::function<void(PrintedGraph&)> keyPage;
};
PrintedOverlay PrintedOverlayFor(const QString& diagramType, bool fromDispatcher);

// --- helpers the printers share --------------------------------------------

// A colour number held as a float, rounded to the nearest whole number
// (ties to even) as it goes to the printer.
uint32_t PrinterColor(double colorNumber);
// Name, size, bold, italic and colour of a window font record.
void ApplyFont(qvrt::PrinterSurface& p, const PrintFont& font);
// The one-character text of a glyph code.
QString GlyphText(int code);
// The page margin of a frame by the window's DiagramSize; false when the
// size is none of "Large", "Medium", "Small" (exactly so spelled), in which
// case the frame prints in the printer's current units.
bool FrameMargin(const QString& diagramSize, double large, double medium, double small, double* margin);
// Reads the printing surface into SurfaceSize (the page's own size when the
// surface reads wider than tall) and, with a margin, fits the diagram
// extents to it and sets the printer's scale. On a page wider than tall the
// window is computed as for an upright page and widened in x about its
// centre, so the diagram keeps its proportions and keys stay on the page.
void FitPage(PrintedGraph& g, qvrt::PrinterSurface& p, double x1, double y1, double x2, double y2, double aspect,
             const double* margin);
// Starts the job named `jobName` on a printer reset from what an earlier
// job may have left (scale, font, colours, pen, fill and transparency), in
// 10-point Arial.
void FreshPrinterState(qvrt::PrinterSurface& p, const QString& jobName);

}  // namespace quarvex::printing
