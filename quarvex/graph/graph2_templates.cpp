// Graph templates: loading a .kmt file into TemplateLines and drawing it.
// Not offered yet: the command and the drawing do nothing.
#include "quarvex/graph/graph2.h"

namespace quarvex {

void Graph2::LoadTemplate() {}

void Graph2::DrawTemplateLines() {}

}  // namespace quarvex
