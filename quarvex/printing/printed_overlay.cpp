// The printed classification overlays: one renderer over the diagrams'
// overlay tables, which carry the printed letter places, pens, fonts and key
// spellings beside the screen ones.
#include "quarvex/printing/graph_print.h"

#include "quarvex/overlays/overlay_table.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/surface.h"

#include <memory>

namespace quarvex::printing {

namespace {

using overlays::Diagram;
using overlays::Half;
using overlays::PaperKey;
using overlays::PaperLetterFont;
using overlays::Pen;
using overlays::StartFont;

// The dispatcher's 17 types; the two QAPF diagrams print over the diamond
// frame and are reached from the print job directly.
bool DispatchedType(const QString& type) {
    return type != QLatin1String("QAPF-Plutonic") && type != QLatin1String("QAPF-Volcanic");
}

// What the diagram-page steps leave for the key page, which prints in them
// whatever the job printed on the diagram page in between.
struct KeyPageState {
    QString fontName;
    bool bold = false;
    uint32_t color = 0;
};

void segments(qvrt::PrinterSurface& p, const Half& half) {
    bool dashing = false;
    for (const overlays::Segment& s : half.segments) {
        if (s.paper == Pen::None) continue;
        if (s.solidBefore) p.SetDrawStyle(qvrt::vbSolid);
        const bool dashed = s.paper == Pen::Dashed;
        if (dashed != dashing) {
            p.SetDrawStyle(dashed ? qvrt::vbDash : qvrt::vbSolid);
            dashing = dashed;
        }
        p.Line(s.x1, s.y1, s.x2, s.y2);
    }
    if (dashing) p.SetDrawStyle(qvrt::vbSolid);
}

void letters(qvrt::PrinterSurface& p, const Half& half) {
    const QString arial = QStringLiteral("Arial");
    switch (half.paperLetterFont) {
    case PaperLetterFont::Arial6:
        p.SetFontName(arial);
        p.SetFontSize(6);
        break;
    case PaperLetterFont::Arial6Bold:
        p.SetFontSize(6);
        p.SetFontName(arial);
        p.SetFontSize(6);
        p.SetFontBold(true);
        break;
    case PaperLetterFont::Size6:
        p.SetFontSize(6);
        break;
    }
    for (const overlays::Letter& l : half.letters) {
        const QString text = QString::fromLatin1(l.text);
        double x = l.paperX;
        if (l.place == overlays::Place::Centred) x -= p.TextWidth(text) / 2;
        p.SetCurrentX(x);
        p.SetCurrentY(l.paperY);
        p.Print(text);
    }
}

std::vector<QString> keyLines(const Diagram& d) {
    std::vector<QString> lines;
    for (const Half& half : d.halves)
        for (const overlays::KeyRow& row : half.keys) lines.push_back(QString::fromStdString(PaperKeyLine(row)));
    return lines;
}

void key(qvrt::PrinterSurface& p, const Diagram& d) {
    const std::vector<QString> lines = keyLines(d);
    if (d.paperKey == PaperKey::Positioned) {
        for (size_t n = 0; n < lines.size(); ++n) {
            p.SetCurrentX(d.keyX);
            p.SetCurrentY(double(d.keyY) + double(n) * double(d.keyStep));
            if (n == 0) {
                p.SetFontName(QStringLiteral("Arial"));
                p.SetFontSize(6);
            }
            p.Print(lines[n]);
        }
        return;
    }
    if (d.paperKey == PaperKey::Run) p.SetCurrentY(d.keyY);
    p.SetFontSize(6);
    for (int i = 0; i < d.keyEmptyLines; ++i) p.Print(QString());
    for (const QString& line : lines) p.Print(line);
}

void diagramPage(const Diagram& d, const PrintedGraph& g, KeyPageState* keep) {
    qvrt::PrinterSurface& p = qvrt::Printer();
    const uint32_t axes = PrinterColor(g.AxesColor);
    for (size_t i = 0; i < d.halves.size(); ++i) {
        const Half& half = d.halves[i];
        if (i == 0 || half.paperRecolour) p.SetForeColor(axes);
        if (half.paperFont != StartFont::None) p.SetFontName(QStringLiteral("Arial"));
        if (half.paperFont == StartFont::ArialBold) {
            p.SetFontBold(true);
            p.SetForeColor(axes);
        }
        if (g.ShowFieldLines == -1) {
            segments(p, half);
            if (d.solidAfterSegments && i + 1 == d.halves.size()) p.SetDrawStyle(qvrt::vbSolid);
        }
        if (g.ShowFieldLetters == -1) letters(p, half);
    }
    if (d.paperBlackKey) p.SetForeColor(0);
    if (d.paperKey == PaperKey::OwnPage) {
        *keep = {p.FontName(), p.FontBold(), p.ForeColor()};
        return;
    }
    if (g.FieldKeyChecked) key(p, d);
}

void keyPage(const Diagram& d, const PrintedGraph& g, const KeyPageState& keep) {
    if (!g.FieldKeyChecked) return;
    qvrt::PrinterSurface& p = qvrt::Printer();
    p.SetFontName(keep.fontName);
    p.SetFontBold(keep.bold);
    p.SetForeColor(keep.color);
    p.NewPage();
    p.Scale(-10, 0, 100, 100);
    p.SetFontSize(12);
    const QString legend = QStringLiteral("Legend");
    p.SetCurrentY(10);
    p.SetCurrentX(45 - p.TextWidth(legend) / 2);
    p.Print(legend);
    p.SetCurrentY(15);
    p.SetCurrentX(0);
    p.SetFontSize(8);
    for (const QString& line : keyLines(d)) p.Print(line);
}

}  // namespace

PrintedOverlay PrintedOverlayFor(const QString& diagramType, bool fromDispatcher) {
    const Diagram* d = overlays::FindDiagram(diagramType.toStdString());
    if (!d || (fromDispatcher && !DispatchedType(diagramType))) return {};
    auto keep = std::make_shared<KeyPageState>();
    PrintedOverlay overlay;
    overlay.diagramPage = [d, keep](PrintedGraph& g) { diagramPage(*d, g, keep.get()); };
    if (d->paperKey == PaperKey::OwnPage)
        overlay.keyPage = [d, keep](PrintedGraph& g) { keyPage(*d, g, *keep); };
    return overlay;
}

}  // namespace quarvex::printing
