// Least-squares curve fit of an XY plot: the degree dialog, the sort by X,
// the fit, the curve-fit panel with its table and the printed report.
#include "quarvex/graph/curvefit_dialog.h"
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/graphcore/curve_fit.h"
#include "quarvex/graphcore/lst_squares.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/state/data_table.h"
#include "quarvex/state/format_state.h"

#include <QDate>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTime>
#include <QVBoxLayout>
#include <cmath>

namespace quarvex {

namespace {

constexpr int kMinFitRows = 50;
constexpr int kListedSamples = 1999;

template <typename T>
void Permute(std::vector<T>& values, const std::vector<int>& order) {
    if (values.size() < order.size()) return;
    std::vector<T> sorted(values);
    for (size_t k = 1; k < order.size(); ++k) sorted[k] = values[size_t(order[k])];
    values.swap(sorted);
}

const QString kCoefficientFormat = QStringLiteral("###.0##");
const QString kDeviationFormat = QStringLiteral("######.0##");
const QString kFittedYFormat = QStringLiteral("#0.00");

// Whether a figure rounded by `pattern` still has four significant digits.
bool KeepsFourDigits(double rounded, const QString& pattern) {
    const auto decimals = pattern.size() - pattern.indexOf(u'.') - 1;
    return std::abs(rounded) >= std::pow(10.0, 3 - double(decimals));
}

// The panel and the report round a fitted figure as they always have where
// that leaves four significant digits; a smaller one is shown in full, as
// rounding would take its digits away (a slope of 0.0142 read 0.014). The
// figure kept by the window is never rounded, so redrawing draws the curve
// that was fitted.
float Shown(float value, const QString& pattern) {
    const double rounded = qvrt::Val(qvrt::Format(value, pattern));
    return KeepsFourDigits(rounded, pattern) ? float(rounded) : value;
}

QString DeviationText(float deviation) {
    const QString text = qvrt::Format(deviation, kDeviationFormat);
    return KeepsFourDigits(qvrt::Val(text), kDeviationFormat) ? text : qvrt::CStr(deviation);
}

void ReportFitError(const QString& text) {
    qvrt::host().MsgBox(text, qvrt::vbExclamation, QStringLiteral("Curve Fitting Error"));
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

// The half-printed report is discarded, so that it neither goes out with
// the next job nor holds that job to its own printer or file.
void ReportPrintError(const QString& text) {
    qvrt::Printer().KillDoc();
    qvrt::host().MsgBox(text, qvrt::vbExclamation, QStringLiteral("Print Error"));
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

}  // namespace

void Graph2::BuildCurveFitPanel() {
    auto* layout = new QVBoxLayout(Picture3);
    auto* values = new QGridLayout;
    for (int k = 0; k < 6; ++k) {
        Label4[size_t(k)] = new QLabel(QStringLiteral("Coef%1:").arg(k + 1), Picture3);
        Label4[size_t(k) + 6] = new QLabel(Picture3);
        values->addWidget(Label4[size_t(k)], k, 0);
        values->addWidget(Label4[size_t(k) + 6], k, 1);
    }
    Label4[15] = new QLabel(QStringLiteral("Standard Deviation:"), Picture3);
    Label5 = new QLabel(Picture3);
    values->addWidget(Label4[15], 6, 0);
    values->addWidget(Label5, 6, 1);
    Label4[16] = new QLabel(QStringLiteral("Degree of Curve Fit:"), Picture3);
    values->addWidget(Label4[16], 7, 0, 1, 2);
    layout->addLayout(values);
    Grid2 = new SimpleGrid(Picture3);
    Grid2->setObjectName(QStringLiteral("Grid2"));
    layout->addWidget(Grid2, 1);
    auto* buttons = new QHBoxLayout;
    const char* captions[2] = {"Print", "Close"};
    for (int i = 0; i < 2; ++i) {
        SSCommand1[size_t(i)] = new QPushButton(QString::fromLatin1(captions[i]), Picture3);
        buttons->addWidget(SSCommand1[size_t(i)]);
        connect(SSCommand1[size_t(i)], &QPushButton::clicked, this,
                qvrt::Guarded([this, i](bool) { SSCommand1_Click(i); }));
    }
    layout->addLayout(buttons);
}

void Graph2::SortSamplesByX() {
    const std::vector<int> order = graphcore::OrderByX(SampleCount, SampleX);
    Permute(SampleX, order);
    Permute(SampleSymbolChar, order);
    Permute(SampleLabel, order);
    Permute(SampleColour, order);
    Permute(SampleSymbol, order);
    Permute(SampleY, order);
}

void Graph2::Curvefit1() {
    try {
        Curvefit::ShowModal(this);
        if (DialogCancelled == -1) {
            DialogCancelled = 0;
            return;
        }
        const int m = CurveFitDegree;
        const int n = SampleCount;
        if (n < 1 || int(SampleX.size()) <= n || int(SampleY.size()) <= n) {
            ReportFitError(QStringLiteral("There are no samples to fit."));
            return;
        }
        // The fit runs on sorted copies first, so a fit that cannot be
        // formed leaves the window's samples and its curve as they were.
        const std::vector<int> order = graphcore::OrderByX(n, SampleX);
        std::vector<float> fitX(size_t(n) + 1, 0.0f), fitY(size_t(n) + 1, 0.0f);
        for (int i = 1; i <= n; ++i) {
            fitX[size_t(i)] = SampleX[size_t(order[size_t(i)])];
            fitY[size_t(i)] = SampleY[size_t(order[size_t(i)])];
        }
        std::vector<float> coefficients(size_t(m) + 3, 0.0f), fitted;
        float deviation = 0;
        int16_t terms = int16_t(m);
        try {
            LstSquares::PolyFit(n, fitX, fitY, terms, deviation, coefficients, fitted);
        } catch (const LstSquares::FitError& e) {
            ReportFitError(QString::fromStdString(e.what()));
            return;
        }

        CurveFitShown = -1;
        SortSamplesByX();
        FitCoefficients = coefficients;
        FitStdDeviation = deviation;
        FitDegree = int16_t(m);
        FittedY = std::move(fitted);

        Picture().Cls();
        DrawXYPlot();
        CurveFitDegree = int16_t(m);

        for (int k = 1; k <= m + 2 && k < 7; ++k)
            Label4[size_t(k) + 5]->setText(qvrt::CStr(Shown(FitCoefficients[size_t(k)], kCoefficientFormat)));
        Label5->setText(DeviationText(FitStdDeviation));
        Label4[16]->setText(QStringLiteral("Degree of Curve Fit: ") + QString::number(m));

        Grid2->SetRows(n + 1);
        Grid2->SetCols(4);
        if (Grid2->Rows() < kMinFitRows) Grid2->SetRows(kMinFitRows);
        Grid2->SetColWidth(0, int(std::lround(390 * ScreenScaleX)));
        Grid2->SetColWidth(1, int(std::lround(650 * ScreenScaleX)));
        Grid2->SetColWidth(2, int(std::lround(650 * ScreenScaleX)));
        Grid2->SetFixedRows(0);
        Grid2->SetFixedCols(0);
        Grid2->SetTextMatrix(0, 1, QStringLiteral("Sample #"));
        Grid2->SetTextMatrix(0, 2, QStringLiteral("X'"));
        Grid2->SetTextMatrix(0, 3, QStringLiteral("Y'"));
        for (int i = 1; i <= n; ++i)
            Grid2->SetRowTexts(i, 0,
                               {qvrt::CStr(i), SampleLabel[size_t(i)], qvrt::CStr(SampleX[size_t(i)]),
                                qvrt::CStr(Shown(FittedY[size_t(i)], kFittedYFormat))});
        Grid2->SetFixedRows(1);
        Grid2->SetFixedCols(1);
        Grid2->Refresh();

        Grid1->Refresh();
        Grid1->hide();
        Grid3->hide();
        Picture2->hide();
        HScroll1->hide();
        VScroll1->hide();
        Text1->hide();
        Label1->hide();
        quarvex::ShowTables = 0;
        Picture3->show();
        ShowTablesColumn(true);
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    } catch (const qvrt::RuntimeError& e) {
        ReportFitError(QString::fromStdString(e.description()));
    } catch (const std::exception& e) {
        ReportFitError(QString::fromStdString(e.what()));
    }
}

void Graph2::SSCommand1_Click(int index) {
    if (index == 0) PrintFitReport();
    else if (index == 1) CloseCurveFitPanel();
}

void Graph2::MeasurePrinterSymbols() {
    qvrt::PrinterSurface& pr = qvrt::Printer();
    auto measure = [&](const char* font, size_t first, size_t last) {
        pr.SetFontSize(9.75);
        pr.SetFontName(QString::fromLatin1(font));
        pr.SetFontSize(9.75);
        for (size_t s = first; s <= last; ++s) {
            const QString g = QString(QChar(SymbolChars[s]));
            SymbolCentringV[s] = static_cast<float>(-pr.TextHeight(g) / 2);
            SymbolCentringH[s] = static_cast<float>(pr.TextWidth(g) / 2);
        }
    };
    measure("Symbol", 1, 2);
    measure("WingDings", 3, 14);
}

void Graph2::PrintFitReport() {
    try {
        qvrt::PrinterSurface& pr = qvrt::Printer();
        CMDialog1.CancelError = true;
        CMDialog1.Flags = qvrt::kPrintJobDialogFlags;
        CMDialog1.Printer = pr.Device();
        const QString job = QStringLiteral("Least Squares Curve Fit - ") + Caption();
        pr.NameComingJob(job);
        CMDialog1.ShowPrinter();
        qvrt::host().SetMousePointer(qvrt::vbHourglass);
        // Nothing a diagram or table printed before left on the printer
        // moves the report's lines.
        pr.StartJob(job);
        // The printer's glyph metrics are in its own units: the screen's
        // come back afterwards, so marks and labels placed before the next
        // redraw still centre on their points.
        struct KeepCentring {
            Graph2& g;
            std::array<float, 20> v = g.SymbolCentringV, h = g.SymbolCentringH;
            ~KeepCentring() {
                g.SymbolCentringV = v;
                g.SymbolCentringH = h;
            }
        } keep{*this};
        MeasurePrinterSymbols();
        pr.Print();
        qvrt::host().SetMousePointer(qvrt::vbDefault);

        pr.SetFontName(QStringLiteral("Arial"));
        pr.SetFontSize(6);
        const QLocale locale = QLocale::system();
        pr.Print(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
        pr.Print(locale.toString(QTime::currentTime(), QLocale::LongFormat));
        pr.Print(SourceSheetCaption);
        pr.Print(QStringLiteral("Number of Points: ") + qvrt::CStr(int(SampleCount)));
        pr.SetFontSize(8);
        for (int k = 0; k < 3; ++k) pr.Print();
        // Up to the array's bound, which shows the one unfitted element too.
        for (int i = 1; i < int(FitCoefficients.size()); ++i)
            pr.Print(QStringLiteral("Coefficient ") + qvrt::CStr(i) + QStringLiteral(" = ") +
                     qvrt::CStr(Shown(FitCoefficients[size_t(i)], kCoefficientFormat)));
        pr.Print(QStringLiteral("Standard Deviation: ") + qvrt::CStr(FitStdDeviation));
        pr.Print(QStringLiteral("Degree of Curve Fit: ") + qvrt::CStr(int(FitDegree)));
        for (int k = 0; k < 3; ++k) pr.Print();
        for (const char* heading : {"Code", "Sample #", "X'"}) {
            pr.PrintKeep(QString::fromLatin1(heading));
            pr.NextZone();
        }
        pr.Print(QStringLiteral("Y'"));
        const int n = std::min<int>(SampleCount, int(FittedY.size()) - 1);
        for (int i = 1; i <= n; ++i) {
            pr.PrintKeep(qvrt::Str(i) + QLatin1Char(' '));
            pr.NextZone();
            pr.PrintKeep(SampleLabel.at(size_t(i)));
            pr.NextZone();
            pr.PrintKeep(qvrt::Str(SampleX.at(size_t(i))) + QLatin1Char(' '));
            pr.NextZone();
            pr.Print(qvrt::Str(Shown(FittedY[size_t(i)], kFittedYFormat)) + QLatin1Char(' '));
        }
        pr.EndDoc();
    } catch (const qvrt::RuntimeError& e) {
        if (e.number() == qvrt::ErrDialogCancelled) return;
        ReportPrintError(QString::fromStdString(e.description()));
    } catch (const std::exception& e) {
        ReportPrintError(QString::fromStdString(e.what()));
    }
}

void Graph2::CloseCurveFitPanel() {
    quarvex::ShowTables = -1;
    Grid1->show();
    Grid3->hide();
    Picture2->hide();
    HScroll1->hide();
    VScroll1->hide();
    Text1->show();
    Label1->show();
    Picture3->hide();
    ShowTablesColumn(true);
    // Only a table that was filled at creation is written again, and only
    // its listed rows: the samples stay in their sorted order.
    if (Grid1->Rows() <= 1 || SampleCount < 1) return;
    PointTableReady = 0;
    Grid1->SetFixedCols(0);
    Grid1->SetFixedRows(0);
    const int rows = std::min({int(SampleCount), kListedSamples, Grid1->Rows() - 1});
    for (int i = 1; i <= rows; ++i)
        Grid1->SetRowTexts(i, 0,
                           {qvrt::CStr(i), SampleLabel.at(size_t(i)), qvrt::CStr(SampleX.at(size_t(i))),
                            qvrt::CStr(SampleY.at(size_t(i)))});
    Grid1->SetFixedCols(1);
    Grid1->SetFixedRows(1);
    Grid1->Refresh();
    PointTableReady = 1;
}

}  // namespace quarvex
