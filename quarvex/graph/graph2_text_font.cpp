// The font of new text labels. Not offered yet: the command does nothing.
#include "quarvex/graph/graph2.h"

namespace quarvex {

void Graph2::SelectTextFont() {}

}  // namespace quarvex
