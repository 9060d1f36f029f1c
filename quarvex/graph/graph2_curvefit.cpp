// Least-squares curve fit of an XY plot. Not offered yet: the command does
// nothing.
#include "quarvex/graph/graph2.h"

namespace quarvex {

void Graph2::Curvefit1() {}

}  // namespace quarvex
