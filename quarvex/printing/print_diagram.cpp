#include "quarvex/printing/graph_print.h"

#include "quarvex/runtime/common_dialog.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/fonts.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/printer.h"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace quarvex::printing {

namespace {

// A ternary template point (top, left, right percentages) on the page. The
// left and right shares are summed as 16-bit integers; a point without
// either share, negative ones cancelling out included, lies on the left edge.
std::pair<double, double> ternaryPoint(int top, int left, int right) {
    const int sum = left + right;
    if (sum < -32768 || sum > 32767) qvrt::Raise(qvrt::ErrOverflow);
    float r = 0;
    if (!(left < 1 && right < 1) && sum != 0) r = static_cast<float>(double(right) / sum * 100);
    const double x = (100.0 - top) * double(r) / 100.0 + top * 0.5;
    return {x, double(top)};
}

void replayDrawings(PrintedGraph& g, qvrt::PrinterSurface& p) {
    const uint32_t axes = PrinterColor(g.AxesColor);
    p.SetForeColor(axes);
    for (size_t i = 1; i < g.BoxList.size(); ++i) {
        const PrintBox& b = g.BoxList[i];
        p.Line(b.x1, b.y1, b.x2, b.y2, axes, qvrt::LineShape::Box);
    }
    for (size_t i = 1; i < g.LineList.size(); ++i) {
        const PrintLine& l = g.LineList[i];
        p.Line(l.x1, l.y1, l.x2, l.y2, axes);
    }
    for (size_t i = 1; i < g.TextLabelList.size(); ++i) {
        const PrintTextLabel& t = g.TextLabelList[i];
        p.SetFontName(qvrt::DrawableTextFont(t.fontName));
        p.SetFontSize(t.fontSize);
        p.SetFontBold(t.bold != 0);
        p.SetFontItalic(t.italic != 0);
        p.SetForeColor(static_cast<uint32_t>(t.color));
        p.SetCurrentX(t.x);
        p.SetCurrentY(t.y);
        p.Print(t.text);
    }
    if (g.DiagramType == QLatin1String("XY Plot")) {
        // In the printer's colour of the moment: the last text label's, as
        // the template always printed.
        for (size_t i = 1; i < g.TemplateLines.size(); ++i) {
            const TemplateRecord& t = g.TemplateLines[i];
            p.Line(t[0], t[1], t[2], t[3]);
        }
    } else if (g.DiagramType == QLatin1String("Ternary")) {
        for (size_t i = 1; i < g.TemplateLines.size(); ++i) {
            const TemplateRecord& t = g.TemplateLines[i];
            const auto [x1, y1] = ternaryPoint(t[0], t[1], t[2]);
            const auto [x2, y2] = ternaryPoint(t[3], t[4], t[5]);
            p.Line(x1, y1, x2, y2, g.DefaultColor);
        }
    }
}

}  // namespace

void PrintDiagram(PrintedGraph& g) {
    qvrt::PrinterSurface& p = qvrt::Printer();
    try {
        qvrt::CommonDialog dialog;
        dialog.CancelError = true;
        dialog.Flags = qvrt::kPrintJobDialogFlags;
        dialog.Printer = p.Device();
        p.NameComingJob(g.Caption);
        dialog.ShowPrinter();
        qvrt::host().SetMousePointer(qvrt::vbHourglass);
        // Nothing an earlier job left on the printer carries into this one.
        FreshPrinterState(p, g.Caption);
        MeasurePrinterSymbols(g);
        p.Print(QString());
        p.SetFontTransparent(true);
        p.SetFillStyle(qvrt::vbFSTransparent);
        if (g.PrintSymbolLegendChecked) ListUsedSymbols(g);

        const QString& type = g.DiagramType;
        PrintedOverlay overlay;
        if (type == QLatin1String("TAS-Volcanic")) {
            PrintTASFrame(g);
            overlay = PrintedOverlayFor(type, false);
        } else if (type == QLatin1String("XY Plot")) {
            PrintXYPlot(g);
        } else if (type == QLatin1String("QAPF-Plutonic") || type == QLatin1String("QAPF-Volcanic")) {
            PrintDiamondFrame(g);
            overlay = PrintedOverlayFor(type, false);
        } else {
            PrintTernaryFrame(g);
            overlay = PrintedOverlayFor(type, true);
        }
        if (overlay.diagramPage) overlay.diagramPage(g);

        replayDrawings(g, p);
        if (overlay.keyPage) overlay.keyPage(g);
        if (g.PrintSymbolLegendChecked) PrintSymbolLegend(g);
        p.EndDoc();
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    } catch (const std::exception& e) {
        int number = qvrt::ErrPrinter;
        QString text;
        if (const auto* runtime = dynamic_cast<const qvrt::RuntimeError*>(&e)) {
            number = runtime->number();
            text = QString::fromStdString(runtime->description());
        } else if (dynamic_cast<const std::out_of_range*>(&e)) {
            number = qvrt::ErrSubscript;
        } else if (dynamic_cast<const std::domain_error*>(&e)) {
            number = qvrt::ErrDivisionByZero;
        }
        if (number == qvrt::ErrDialogCancelled) return;
        if (text.isEmpty()) text = QString::fromStdString(qvrt::ErrorText(number));
        // A failed job leaves no half-printed document behind to be sent
        // with the next one.
        try {
            p.KillDoc();
        } catch (const qvrt::RuntimeError&) {
        }
        qvrt::host().MsgBox(text, qvrt::vbExclamation, QStringLiteral("Print Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

}  // namespace quarvex::printing
