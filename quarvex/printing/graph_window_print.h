// Printing wired to the graph window: its "Print Diagram..." command and the
// toolbar's Print run the print job over the window's state.
#pragma once

namespace quarvex {
class Graph2;
}

namespace quarvex::printing {

// What the job reads of the window, copied for one job.
struct PrintedGraph;
PrintedGraph PrintInputsOf(const Graph2& window);
// The page-fit members the job wrote, back into the window. The glyph
// centring is not among them: the window's screen centring stays its own.
void StorePageFit(Graph2& window, const PrintedGraph& g);

// Installs the graph window's print seam; called once at start-up.
void InstallGraphPrinting();

}  // namespace quarvex::printing
