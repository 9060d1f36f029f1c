#include "quarvex/state/graph_state.h"

namespace quarvex {

void ResetGraphState() {
    PlotKind.clear();
    GraphTitle.clear();
    XAxisTitle.clear();
    YAxisTitle.clear();
    ScaleMinX = ScaleMaxX = ScaleMinY = ScaleMaxY = 0;
    GraphCount = 0;
    TitleChanged = 0;
    FontChoice = {};
}

}  // namespace quarvex
