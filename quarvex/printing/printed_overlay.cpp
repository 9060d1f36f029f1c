// The printed classification overlays: one renderer over the diagrams'
// overlay tables, which carry the printed letter places, pens, fonts and key
// spellings beside the screen ones.
#include "quarvex/printing/graph_print.h"

#include "quarvex/overlays/overlay_table.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/surface.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>
#include <vector>

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
// whatever the job printed on the diagram page in between: the font and
// colour, and the key lines that found no room on the diagram's page.
struct KeyPageState {
    QString fontName;
    double fontSize = 6;
    bool bold = false, italic = false;
    uint32_t color = 0;
    std::vector<QString> leftOver;

    void keep(const qvrt::PrinterSurface& p) {
        fontName = p.FontName();
        fontSize = p.FontSize();
        bold = p.FontBold();
        italic = p.FontItalic();
        color = p.ForeColor();
    }
    void restore(qvrt::PrinterSurface& p) const {
        p.SetFontName(fontName);
        p.SetFontSize(fontSize);
        p.SetFontBold(bold);
        p.SetFontItalic(italic);
        p.SetForeColor(color);
    }
};

// Where one key line prints: the top-left corner of its text.
struct Placed {
    double x, y;
};

// A key runs down the page one line below another. A line that would pass
// the foot of the page starts a new column beside the widest line so far,
// level with the key's first line, so that a reader goes on at the top of
// the next column as in a printed table. The first line stands at firstX,
// the others of the first column at nextX (where a new text line starts);
// step is the distance from one line's top to the next, signed like the
// scale. Gives the places of the lines that fit; the lines after them fit
// no column across the page.
std::vector<Placed> columns(const qvrt::PrinterSurface& p, std::span<const QString> lines, double firstX,
                            double nextX, double y, double step) {
    // Fractions of the page down and across, whichever way the scale runs.
    const auto down = [&p](double v) { return (v - p.ScaleTop()) / p.ScaleHeight(); };
    const auto across = [&p](double v) { return (v - p.ScaleLeft()) / p.ScaleWidth(); };
    constexpr double kSlack = 1e-9;
    const double lineDepth = std::fabs(p.TextHeight(QString()) / p.ScaleHeight());
    const double gap = p.TextWidth(QStringLiteral("MM"));
    const double columnTop = y;
    double x = firstX, columnRight = firstX;
    bool newColumn = false;
    std::vector<Placed> placed;
    for (size_t i = 0, row = 0; i < lines.size(); ++i, ++row) {
        double top = columnTop + double(row) * step;
        if (row > 0 && down(top) + lineDepth > 1 + kSlack) {
            x = nextX = columnRight + gap;
            row = 0;
            top = columnTop;
            newColumn = true;
        }
        const double width = p.TextWidth(lines[i]);
        if (down(top) + lineDepth > 1 + kSlack || (newColumn && across(x + width) > 1 + kSlack)) break;
        placed.push_back({x, top});
        columnRight = std::max(columnRight, x + width);
        x = nextX;
    }
    return placed;
}

// Prints a key in columns; returns the lines that fit no column.
std::vector<QString> printColumns(qvrt::PrinterSurface& p, std::span<const QString> lines, double firstX,
                                  double nextX, double y, double step) {
    const std::vector<Placed> placed = columns(p, lines, firstX, nextX, y, step);
    for (size_t i = 0; i < placed.size(); ++i) {
        p.SetCurrentX(placed[i].x);
        p.SetCurrentY(placed[i].y);
        p.Print(lines[i]);
    }
    return std::vector<QString>(lines.begin() + std::ptrdiff_t(placed.size()), lines.end());
}

// Whether key lines so placed would print over one of the texts.
bool crosses(const qvrt::PrinterSurface& p, std::span<const QString> lines, const std::vector<Placed>& placed,
             const std::vector<TextBox>& texts) {
    const auto overlap = [](double a1, double a2, double b1, double b2) {
        return std::min(std::max(a1, a2), std::max(b1, b2)) > std::max(std::min(a1, a2), std::min(b1, b2));
    };
    const double height = p.TextHeight(QString());
    for (size_t i = 0; i < placed.size(); ++i) {
        const double x1 = placed[i].x, x2 = x1 + p.TextWidth(lines[i]), y1 = placed[i].y, y2 = y1 + height;
        for (const TextBox& t : texts)
            if (overlap(x1, x2, t.x1, t.x2) && overlap(y1, y2, t.y1, t.y2)) return true;
    }
    return false;
}

// The edge of the texts furthest down the page.
double footOf(const qvrt::PrinterSurface& p, const std::vector<TextBox>& texts) {
    double foot = texts.front().y1;
    for (const TextBox& t : texts)
        for (const double y : {t.y1, t.y2})
            if ((y - foot) / p.ScaleHeight() > 0) foot = y;
    return foot;
}

// Key lines that found no room go on pages of their own, in columns from
// the top-left corner, in the font and colour of the key.
void printLeftOver(qvrt::PrinterSurface& p, std::vector<QString> lines) {
    while (!lines.empty()) {
        p.NewPage();
        std::vector<QString> rest =
            printColumns(p, lines, p.ScaleLeft(), p.ScaleLeft(), p.ScaleTop(), p.TextHeight(QString()));
        // A line taller than the page still prints, on a page of its own.
        if (rest.size() == lines.size()) {
            p.SetCurrentX(p.ScaleLeft());
            p.SetCurrentY(p.ScaleTop());
            p.Print(rest.front());
            rest.erase(rest.begin());
        }
        lines = std::move(rest);
    }
}

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

// The key on the diagram's page. A key placed line by line keeps its own
// place and spacing where they read, as on an upright A4 or Letter page.
// Where the diagram prints smaller (narrower paper, a page lying wide) the
// lines stand one line of their font apart instead, or they would
// overprint; and a key that would cross the frame's texts beneath the axis
// starts below them.
std::vector<QString> key(qvrt::PrinterSurface& p, const Diagram& d, const PrintedGraph& g) {
    const std::vector<QString> lines = keyLines(d);
    if (d.paperKey == PaperKey::Positioned) {
        p.SetCurrentX(d.keyX);
        p.SetCurrentY(d.keyY);
        p.SetFontName(QStringLiteral("Arial"));
        p.SetFontSize(6);
        // Arial's ink, from the top of its parentheses to the foot of its
        // descenders, takes 0.94 of its size: closer lines touch.
        constexpr double kInkHeight = 0.94;
        double step = d.keyStep;
        if (std::fabs(step) < kInkHeight * std::fabs(p.PointsHeight(p.FontSize())))
            step = std::copysign(std::fabs(p.TextHeight(QString())), step);
        double top = d.keyY;
        if (crosses(p, lines, columns(p, lines, d.keyX, d.keyX, top, step), g.TextsBelowAxis))
            top = footOf(p, g.TextsBelowAxis);
        return printColumns(p, lines, d.keyX, d.keyX, top, step);
    }
    double x = p.CurrentX();
    double y = d.paperKey == PaperKey::Run ? double(d.keyY) : p.CurrentY();
    p.SetFontSize(6);
    const double step = p.TextHeight(QString());
    for (int i = 0; i < d.keyEmptyLines; ++i) {
        p.SetCurrentX(x);
        p.SetCurrentY(y);
        p.Print(QString());
        x = p.ScaleLeft();
        y += step;
    }
    return printColumns(p, lines, x, p.ScaleLeft(), y, step);
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
    keep->leftOver.clear();
    if (d.paperKey == PaperKey::OwnPage) {
        keep->keep(p);
        return;
    }
    if (!g.FieldKeyChecked) return;
    keep->leftOver = key(p, d, g);
    if (!keep->leftOver.empty()) keep->keep(p);
}

// The rest of a key that did not fit the diagram's page.
void keyContinued(const KeyPageState& keep) {
    if (keep.leftOver.empty()) return;
    qvrt::PrinterSurface& p = qvrt::Printer();
    keep.restore(p);
    printLeftOver(p, keep.leftOver);
}

void keyPage(const Diagram& d, const PrintedGraph& g, const KeyPageState& keep) {
    if (!g.FieldKeyChecked) return;
    qvrt::PrinterSurface& p = qvrt::Printer();
    keep.restore(p);
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
    const std::vector<QString> lines = keyLines(d);
    printLeftOver(p, printColumns(p, lines, 0, p.ScaleLeft(), 15, p.TextHeight(QString())));
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
    else
        overlay.keyPage = [keep](PrintedGraph&) { keyContinued(*keep); };
    return overlay;
}

}  // namespace quarvex::printing
