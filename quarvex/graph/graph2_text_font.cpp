// The font and colour of new text labels, chosen in the font dialog.
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/state/graph_state.h"

namespace quarvex {

void Graph2::SelectTextFont() {
    if (!Graph2Seams().ShowFont1) return;
    FontChoice.TitleFlag = 0;
    Graph2Seams().ShowFont1();
    if (DialogCancelled == -1) {
        DialogCancelled = 0;
        return;
    }
    TextFont = {FontChoice.Name, FontChoice.Size, FontChoice.Bold, FontChoice.Italic};
    TextColor = FontChoice.Color;
    quarvex::TextColor = ColorValue(FontChoice.Color);
    qvrt::Surface& p = Picture();
    p.SetFontName(TextFont.Name);
    p.SetFontSize(TextFont.Size);
    p.SetFontBold(TextFont.Bold != 0);
    p.SetFontItalic(TextFont.Italic != 0);
    p.SetForeColor(ColorValue(TextColor));
}

}  // namespace quarvex
