#include "quarvex/printing/graph_print.h"

#include "quarvex/graphcore/scale_window.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/fonts.h"
#include "quarvex/runtime/printer.h"

#include <cmath>
#include <stdexcept>

namespace quarvex::printing {

uint32_t PrinterColor(double colorNumber) {
    // nearbyint rounds half to even in the default rounding mode.
    const double rounded = std::nearbyint(colorNumber);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) qvrt::Raise(qvrt::ErrOverflow);
    return static_cast<uint32_t>(static_cast<int32_t>(rounded));
}

void ApplyFont(qvrt::PrinterSurface& p, const PrintFont& font) {
    p.SetFontName(qvrt::DrawableTextFont(font.name));  // as on screen, for a font since removed
    p.SetFontSize(font.size);
    p.SetFontBold(font.bold != 0);
    p.SetFontItalic(font.italic != 0);
    p.SetForeColor(PrinterColor(font.color));
}

QString GlyphText(int code) { return QString(QChar(static_cast<char16_t>(code & 0xFFFF))); }

bool FrameMargin(const QString& diagramSize, double large, double medium, double small, double* margin) {
    if (diagramSize == QLatin1String("Large")) *margin = large;
    else if (diagramSize == QLatin1String("Medium")) *margin = medium;
    else if (diagramSize == QLatin1String("Small")) *margin = small;
    else return false;
    return true;
}

void FitPage(PrintedGraph& g, qvrt::PrinterSurface& p, double x1, double y1, double x2, double y2, double aspect,
             const double* margin) {
    double width = p.ScaleWidth();
    double height = p.ScaleHeight();
    if (width == 0) qvrt::Raise(qvrt::ErrDivisionByZero);
    if (static_cast<float>(height / width) < 1.0f) {
        width = std::round(p.Width());
        height = std::round(p.Height());
    }
    g.SurfaceSize[0] = static_cast<float>(width);
    g.SurfaceSize[1] = static_cast<float>(height);
    if (!margin) return;

    // A page wider than tall would stretch the window across it. Fit the
    // diagram as on the same page turned upright instead, and widen x about
    // the centre so a unit keeps its upright length on paper in both
    // directions: the diagram keeps its proportions, and keys printed below
    // or beside it stay on the page as they do upright.
    const bool wide = height < width;
    double m = *margin;
    float w = 0, h = 0, top = 0, left = 0;
    try {
        MODULE21::ComputeScaleWindow(x1, y1, x2, y2, aspect, m, wide ? height : width, wide ? width : height, w, h,
                                     top, left);
    } catch (const std::domain_error&) {
        qvrt::Raise(qvrt::ErrDivisionByZero);
    }
    if (wide && height > 0) {
        const double centre = double(left) + double(w) / 2;
        const double turn = width / height;
        w = static_cast<float>(double(w) * turn * turn);
        left = static_cast<float>(centre - double(w) / 2);
    }
    g.ScaleWindow[0] = left;
    g.ScaleWindow[1] = top;
    g.ScaleWindow[2] = w;
    g.ScaleWindow[3] = h;
    p.Scale(left, top, double(left) + double(w), double(top) + double(h));
}

void FreshPrinterState(qvrt::PrinterSurface& p, const QString& jobName) {
    p.StartJob(jobName);
    p.SetFontName(QStringLiteral("Arial"));
    p.SetFontSize(10);
}

}  // namespace quarvex::printing
