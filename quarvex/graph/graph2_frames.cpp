// The ternary, diamond and TAS frames: scale, outline, title, labels, ticks,
// grid and the samples as coloured glyphs.
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/graphcore/scale_window.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/fonts.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/surface.h"

#include <QScrollBar>
#include <cmath>

namespace quarvex {

namespace {

constexpr uint32_t kGridGrey = qvrt::RGB(150, 150, 150);

const QString kFontsMissing = QStringLiteral(
    "Symbol and/or Wingdings true type Fonts are missing on your system.  Reinstall these fonts from your "
    "Windows disks.");
const QString kFontsMissingLower = QStringLiteral(
    "Symbol and/or Wingdings true type fonts are missing on your system.  Reinstall these fonts from your "
    "Windows disks.");

}  // namespace

void Graph2::ReportFrameError(const std::exception& e, bool lowerCaseFonts) {
    const auto* rt = dynamic_cast<const qvrt::RuntimeError*>(&e);
    if (rt && rt->number() == qvrt::ErrInvalidProperty)
        qvrt::host().MsgBox(lowerCaseFonts ? kFontsMissingLower : kFontsMissing, qvrt::vbExclamation,
                            QStringLiteral("Font Error"));
    else
        qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Plotting Error"));
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

void Graph2::SetSmallFont() {
    qvrt::Surface& p = Picture();
    p.SetFontSize(6);
    p.SetFontName(QStringLiteral("Small Fonts"));
    p.SetFontBold(false);
    p.SetFontSize(6);
}

void Graph2::SetWindowFont(const WindowFont& font) {
    qvrt::Surface& p = Picture();
    // A graph's own font may have left this machine since it was chosen.
    p.SetFontName(qvrt::DrawableTextFont(font.Name));
    p.SetFontSize(font.Size);
    p.SetFontBold(font.Bold != 0);
    p.SetFontItalic(font.Italic != 0);
    p.SetForeColor(ColorValue(font.Color));
}

void Graph2::DrawSampleGlyph(int i, double x, double y) {
    qvrt::Surface& p = Picture();
    const int s = SampleSymbol.at(size_t(i));
    p.SetFontBold(false);
    p.SetFontSize(9.75);
    p.SetFontName(s < 3 ? QStringLiteral("Symbol") : QStringLiteral("Wingdings"));
    AssignSymbolChars(i);
    p.SetFontSize(9.75);
    if (s < 0 || s > 19) qvrt::Raise(qvrt::ErrSubscript);
    p.SetCurrentX(x - SymbolCentringH[size_t(s)]);
    p.SetCurrentY(SymbolCentringV[size_t(s)] + y);
    p.SetForeColor(ColorValue(SampleColour.at(size_t(i))));
    p.Print(QString(QChar(SampleSymbolChar.at(size_t(i)))));
}

// --- Ternary ----------------------------------------------------------------

void Graph2::DrawTernaryFrame() {
    try {
        qvrt::Surface& p = Picture();
        if (DiagramType == QStringLiteral("Ternary")) {
            HideKeyTable();
        }
        p.SetFontName(QStringLiteral("Arial"));
        p.SetForeColor(ColorValue(AxesColor));
        const bool fap =
            DiagramType == QStringLiteral("FAP-Volcanic") || DiagramType == QStringLiteral("FAP-Plutonic");
        DiagramExtents = {0, fap ? 0.0f : 100.0f, 100, fap ? 100.0 : 0.0};
        double margin = 0.2;
        MODULE21::ComputeScaleWindow(DiagramExtents.X, DiagramExtents.Y, DiagramExtents.W, DiagramExtents.H, 1.18,
                                     margin, 1, 1, ScaleWindow.Width, ScaleWindow.Height, ScaleWindow.Top,
                                     ScaleWindow.Left);
        ApplyScaleWindow(p, ScaleWindow);

        p.Line(0, 0, 100, 0);
        p.Line(0, 0, 50, 100);
        p.Line(50, 100, 100, 0);

        SetWindowFont(TitleFont);
        {
            const double h = p.TextHeight(DiagramTitle), w = p.TextWidth(DiagramTitle);
            PrintAt(p, 50 - w / 2, (fap ? -10 : 110) - h, DiagramTitle);
        }

        SetWindowFont(AxesTFont);
        {
            const QString& top = AxisLabels[1];
            PrintAt(p, 50 - p.TextWidth(top) / 2, fap ? 102 : 101 - p.TextHeight(top), top);
            for (int k = 2; k <= 3; ++k) {
                const QString& label = AxisLabels[size_t(k)];
                const double y = fap ? -2 - p.TextHeight(label) : -2;
                PrintAt(p, (k == 2 ? 0 : 100) - p.TextWidth(label) / 2, y, label);
            }
        }
        p.SetForeColor(ColorValue(AxesColor));
        if (fap) p.SetFontItalic(false);

        if (ShowTickMarks == -1) {
            for (int i = 10; i <= 90; i += 10) {
                const double h = i / 2.0;
                p.Line(h, i, h - 1.3, i);
                p.Line(h, i, h - 0.5, i + 1.2);
                p.Line(100 - h, i, 100 - h + 1.3, i);
                p.Line(100 - h, i, 100 - h + 0.5, i + 1.2);
                p.Line(i, 0, i + 0.5, -1.5);
                p.Line(i, 0, i - 0.5, -1.5);
                SetSmallFont();
                if (i == 50) {
                    const QString fifty = QStringLiteral("50");
                    PrintAt(p, h - p.TextWidth(fifty) - 2, i - p.TextHeight(QStringLiteral("I")) / 2, fifty);
                    PrintAt(p, 100 - h + 2, i - p.TextHeight(QStringLiteral("5")) / 2, fifty);
                    PrintAt(p, i - p.TextWidth(fifty) / 2, fap ? -6 : -3, fifty);
                }
            }
        }

        if (ShowGrid == -1) {
            p.SetDrawStyle(qvrt::vbDot);
            p.SetForeColor(kGridGrey);
            for (int i = 10; i <= 90; i += 10) p.Line(i, 0, 50 + i / 2.0, 100 - i);
            for (int i = 90; i >= 10; i -= 10) p.Line(i, 0, i / 2.0, i);
            for (int i = 10; i <= 90; i += 10) p.Line(i / 2.0, i, 100 - i / 2.0, i);
            p.SetDrawStyle(qvrt::vbSolid);
            p.SetForeColor(ColorValue(AxesColor));
        }

        if (PlotFromMemory != 0) return;
        MeasureSymbols();
        for (int i = 1; i <= SampleCount; ++i) {
            GrowTo(PointX, i);
            GrowTo(PointY, i);
            const double x = SampleX.at(size_t(i));
            const double r = SamplePlagRatio.at(size_t(i));
            PointX[size_t(i)] = static_cast<float>(r / 100 * (100 - x) + x / 2);
            PointY[size_t(i)] = static_cast<float>(x);
            // A sample whose components summed to 0 (or overflowed) has no place.
            if (!Placeable(PointX[size_t(i)], PointY[size_t(i)])) continue;
            DrawSampleGlyph(i, PointX[size_t(i)], PointY[size_t(i)]);
            if (ShowSampleNumbers == -1) {
                const int s = SampleSymbol[size_t(i)];
                p.SetCurrentX(SymbolCentringH[size_t(s)] + PointX[size_t(i)]);
                p.SetCurrentY(SymbolCentringV[size_t(s)] + PointY[size_t(i)]);
                SetSmallFont();
                p.SetForeColor(ColorValue(AxesColor));
                p.Print(SampleLabel.at(size_t(i)));
            }
        }
    } catch (const std::exception& e) {
        ReportFrameError(e, true);
    }
}

// --- Diamond ----------------------------------------------------------------

void Graph2::DrawDiamondFrame() {
    try {
        qvrt::Surface& p = Picture();
        DiagramExtents = {0, -100, 100, 100};
        double margin = 0.2;
        MODULE21::ComputeScaleWindow(0, -100, 100, 100, 0.58, margin, 1, 1, ScaleWindow.Width, ScaleWindow.Height,
                                     ScaleWindow.Top, ScaleWindow.Left);
        ApplyScaleWindow(p, ScaleWindow);

        SetWindowFont(TitleFont);
        PrintAt(p, 50 - p.TextWidth(DiagramTitle) / 2, -115 - p.TextHeight(DiagramTitle), DiagramTitle);

        SetWindowFont(AxesTFont);
        {
            const QString* l = AxisLabels.data();
            PrintAt(p, 50 - p.TextWidth(l[1]) / 2, -102 - p.TextHeight(l[1]), l[1]);
            PrintAt(p, -2 - p.TextWidth(l[2]), -p.TextHeight(l[2]) / 2, l[2]);
            PrintAt(p, 102, -p.TextHeight(l[3]) / 2, l[3]);
            PrintAt(p, 50 - p.TextWidth(l[4]) / 2, 102, l[4]);
        }

        p.SetForeColor(ColorValue(AxesColor));
        p.Line(0, 0, 100, 0);
        p.Line(0, 0, 50, 100);
        p.Line(50, 100, 100, 0);
        p.SetFontBold(false);
        p.SetFontItalic(false);

        // The Q half lies at negative y; the "50" marks stand 3 off its
        // edges and 4 off the F half's.
        auto ticks = [&](int sign, double offset) {
            for (int i = 10; i <= 90; i += 10) {
                const double h = i / 2.0, y = sign * i;
                p.Line(h, y, h - 2.5, y);
                p.Line(h, y, h - 1.5, y + sign * 3);
                p.Line(100 - h, y, 102.5 - h, y);
                p.Line(100 - h, y, 101.5 - h, y + sign * 3);
                SetSmallFont();
                if (i == 50) {
                    const QString fifty = QStringLiteral("50");
                    const double top = y - p.TextHeight(fifty) / 2;
                    PrintAt(p, 25 - p.TextWidth(fifty) - offset, top, fifty);
                    PrintAt(p, 100 + offset - h, top, fifty);
                }
            }
        };
        if (ShowTickMarks == -1) ticks(-1, 3);
        p.Line(0, 0, 50, -100);
        p.Line(50, -100, 100, 0);
        if (ShowTickMarks == -1) ticks(1, 4);

        auto grid = [&](int sign) {
            p.SetDrawStyle(qvrt::vbDot);
            p.SetForeColor(kGridGrey);
            for (int i = 10; i <= 90; i += 10) p.Line(i, 0, 50 + i / 2.0, sign * (100 - i));
            for (int i = 90; i >= 10; i -= 10) p.Line(i, 0, i / 2.0, sign * i);
            for (int i = 10; i <= 90; i += 10) p.Line(100 - i / 2.0, sign * i, i / 2.0, sign * i);
            p.SetDrawStyle(qvrt::vbSolid);
        };
        if (ShowGrid == -1) {
            grid(1);
            grid(-1);
        }

        if (PlotFromMemory != 0) return;
        MeasureSymbols();
        for (int i = 1; i <= SampleCount; ++i) {
            GrowTo(PointX, i);
            GrowTo(PointY, i);
            const double q = SampleX.at(size_t(i));
            const double r = SamplePlagRatio.at(size_t(i));
            if (q != 0) {
                PointX[size_t(i)] = static_cast<float>((100 - q) * r / 100 + q / 2);
                PointY[size_t(i)] = static_cast<float>(-q);
            } else {
                const double f = SampleF.at(size_t(i));
                PointX[size_t(i)] = static_cast<float>((100 - f) * r / 100 + f / 2);
                PointY[size_t(i)] = static_cast<float>(f);
            }
            if (!Placeable(PointX[size_t(i)], PointY[size_t(i)])) continue;
            DrawSampleGlyph(i, PointX[size_t(i)], PointY[size_t(i)]);
            if (ShowSampleNumbers == -1) {
                const int s = SampleSymbol[size_t(i)];
                p.SetCurrentX(PointX[size_t(i)] + SymbolCentringH[size_t(s)] / 2);
                p.SetCurrentY(PointY[size_t(i)] - SymbolCentringV[size_t(s)]);
                SetSmallFont();
                p.SetForeColor(ColorValue(AxesColor));
                p.Print(SampleLabel.at(size_t(i)));
            }
        }
    } catch (const std::exception& e) {
        ReportFrameError(e, false);
    }
}

// --- TAS --------------------------------------------------------------------

void Graph2::DrawTASFrame() {
    try {
        qvrt::Surface& p = Picture();
        double margin = 0.15;
        MODULE21::ComputeScaleWindow(35, 16, 77, 0, 1.31, margin, 1, 1, ScaleWindow.Width, ScaleWindow.Height,
                                     ScaleWindow.Top, ScaleWindow.Left);
        ApplyScaleWindow(p, ScaleWindow);

        SetWindowFont(TitleFont);
        PrintAt(p, 56 - p.TextWidth(DiagramTitle) / 2, 18 - p.TextHeight(DiagramTitle), DiagramTitle);

        SetWindowFont(AxesTFont);
        PrintAt(p, 35, 17 - p.TextHeight(QStringLiteral("N")) / 2, AxisLabels[2]);
        PrintAt(p, 57 - p.TextWidth(AxisLabels[1]) / 2, -1.5, AxisLabels[1]);

        p.SetDrawWidth(3);
        p.SetForeColor(ColorValue(AxesColor));
        p.Line(35, 0, 77, 0);
        p.Line(35, 0, 35, 16);
        p.SetDrawWidth(1);

        p.SetFontBold(false);
        p.SetFontItalic(false);
        p.SetFontName(QStringLiteral("Small Fonts"));
        p.SetFontSize(6);

        for (int v = 1; v <= 16; ++v) p.Line(35, v, 34.5, v);
        for (int i = 2; i <= 16; i += 2) {
            const double w = p.TextWidth(i < 10 ? QStringLiteral("1") : QStringLiteral("10"));
            PrintAt(p, 33.8 - w, i - p.TextHeight(QStringLiteral("1")) / 2, qvrt::Format(i, QStringLiteral("#0")));
        }
        TasTickValue = 35;
        for (int v = 0; v <= 20; ++v) {
            const int x = 37 + 2 * v;
            TasTickValue = int16_t(x);
            TasTickPositions[size_t(v)] = x;
            p.Line(x, 0, x, -0.3);
            p.SetCurrentY(-0.45);
            if (v % 2 == 0) {
                TasTickOffset = static_cast<float>(0.75 * p.TextWidth(QStringLiteral("37")));
                p.SetCurrentX(x - TasTickOffset);
                p.Print(qvrt::Str(x));
            }
        }

        if (ShowGrid == -1) {
            p.SetDrawStyle(qvrt::vbDot);
            p.SetForeColor(kGridGrey);
            for (int i = 1; i <= 16; ++i) p.Line(35, i, 77, i);
            for (int i = 35; i <= 77; i += 2) p.Line(i, 0, i, 16);
            p.SetDrawStyle(qvrt::vbSolid);
        }

        if (PlotFromMemory != 0) return;
        MeasureSymbols();
        for (int i = 1; i <= SampleCount; ++i) {
            GrowTo(PointX, i);
            GrowTo(PointY, i);
            PointX[size_t(i)] = SampleX.at(size_t(i));
            PointY[size_t(i)] = SampleY.at(size_t(i));
            if (!Placeable(PointX[size_t(i)], PointY[size_t(i)])) continue;
            DrawSampleGlyph(i, PointX[size_t(i)], PointY[size_t(i)]);
            if (ShowSampleNumbers == -1) {
                const int s = SampleSymbol[size_t(i)];
                p.SetCurrentX(PointX[size_t(i)] + SymbolCentringH[size_t(s)]);
                p.SetCurrentY(PointY[size_t(i)] + SymbolCentringV[size_t(s)]);
                SetSmallFont();
                p.SetForeColor(ColorValue(AxesColor));
                p.Print(SampleLabel.at(size_t(i)));
            }
        }
    } catch (const std::exception& e) {
        ReportFrameError(e, true);
    }
}

}  // namespace quarvex
