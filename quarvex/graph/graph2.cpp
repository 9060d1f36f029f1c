// The graph window's controls, creation (Form_Load) and unload.
#include "quarvex/graph/frame_access.h"
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/painter_surface.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/graph_state.h"
#include "quarvex/state/window_tables.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

namespace quarvex {

namespace {

constexpr int kListedSamples = 1999;
constexpr int kMinTableRows = 50;

int Pixels(double twips) {
    const double perPixel = qvrt::host().TwipsPerPixelX();
    return int(std::lround(twips / (perPixel > 0 ? perPixel : 15)));
}

float ArrayValue(const SampleArray& a, int i) { return i <= a.Bound() ? a(i) : 0.0f; }

// General number text of a Single, as the forms wrote a value into a cell.
QString General(float value) { return qvrt::CStr(value); }

}  // namespace

Graph2::Graph2(QWidget* parent) : qvrt::ChildForm(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    BuildMenus();
    BuildToolbar();
    BuildCurveFitPanel();
    ConnectAnnotationEvents();
    ConnectPointTable();
}

Graph2::~Graph2() { delete menuBar_; }

qvrt::Surface& Graph2::Picture() {
    if (testSurface_) return *testSurface_;
    return Picture1->surface();
}

void Graph2::BuildControls() {
    auto* body = new QWidget;
    auto* outer = new QVBoxLayout(body);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    Toolbar1 = new QToolBar(body);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    outer->addWidget(Toolbar1);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(5, 5, 5, 5);
    outer->addLayout(row, 1);

    auto* tables = new QVBoxLayout;
    auto* pointsRow = new QHBoxLayout;
    Label2 = new QLabel(QStringLiteral("Points:"), body);
    Label3 = new QLabel(body);
    pointsRow->addWidget(Label2);
    pointsRow->addWidget(Label3, 1);
    tables->addLayout(pointsRow);
    Grid1 = new SimpleGrid(body);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setFixedWidth(230);
    tables->addWidget(Grid1, 1);
    Label1 = new QLabel(QStringLiteral("Label Text:"), body);
    Text1 = new QLineEdit(body);
    tables->addWidget(Label1);
    tables->addWidget(Text1);
    row->addLayout(tables);

    Picture1 = new qvrt::PictureBox(body);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    // Square, and as tall as the window leaves room for below its toolbar.
    Picture1->setFixedSize(390, 390);
    row->addWidget(Picture1, 0, Qt::AlignTop | Qt::AlignHCenter);

    Picture2 = new QWidget(body);
    auto* keyLayout = new QVBoxLayout(Picture2);
    keyLayout->setContentsMargins(0, 0, 0, 0);
    Grid3 = new SimpleGrid(Picture2);
    Grid3->setObjectName(QStringLiteral("Grid3"));
    keyLayout->addWidget(Grid3);
    HScroll1 = new QScrollBar(Qt::Horizontal, Picture2);
    VScroll1 = new QScrollBar(Qt::Vertical, Picture2);
    HScroll1->hide();
    VScroll1->hide();
    row->addWidget(Picture2, 1);

    Picture3 = new QWidget(body);
    Picture3->hide();
    row->addWidget(Picture3);
    row->addStretch();
    setWidget(body);
}

void Graph2::HideKeyTable() {
    Grid3->hide();
    Picture2->hide();
    HScroll1->hide();
    VScroll1->hide();
    Grid1->setFixedHeight(Picture1->height());
}

bool Graph2::Form_Load() {
    try {
        // Step 1: 9350 by 6950 twips, centred on the frame's client area.
        resize(Pixels(9350), Pixels(6950));
        ShowFieldLetters = 0;
        ShowFieldLines = 0;
        AxesColor = double(quarvex::DefaultColor);
        ShowTickMarks = quarvex::ShowTickMarks;
        DiagramSize = quarvex::DiagramSize;
        TextColor = double(quarvex::TextColor);
        auto copyFont = [](const FontRecord& f) { return WindowFont{f.Name, f.Bold, f.Size, f.Italic, f.Color}; };
        AxesTFont = copyFont(quarvex::AxesTFont);
        TitleFont = copyFont(quarvex::TitleFont);
        XAxisTitle = quarvex::XAxisTitle;
        YAxisTitle = quarvex::YAxisTitle;
        ScaleMaxY = quarvex::ScaleMaxY;
        ScaleMinY = quarvex::ScaleMinY;
        ScaleMaxX = quarvex::ScaleMaxX;
        ScaleMinX = quarvex::ScaleMinX;
        AutoScale = quarvex::AutoScale;
        for (size_t k = 1; k <= 4; ++k) AxisLabels[k] = quarvex::AxisLabels[k];

        const QString sheetKind = ActiveSheetKind();
        const bool xy = sheetKind == QStringLiteral("XY Plot");
        MenuItem(QStringLiteral("mnuUndo"))->setEnabled(false);
        if (xy) {
            MenuItem(QStringLiteral("mnuTickMarks"))->setEnabled(false);
            MenuItem(QStringLiteral("mnuGrid"))->setEnabled(true);
            MenuItem(QStringLiteral("mnuCurveFit"))->setEnabled(true);
        }

        PointLabelList.Clear();
        Label3->setText(QString::number(quarvex::SampleCount));
        InitSymbolTable();
        TextFont = {QStringLiteral("Arial"), 10, 0, 0};
        PointTableReady = 0;
        LastSelectedRow = 1;
        SampleCount = quarvex::SampleCount;
        ShowSampleNumbers = NoSampleLabels == 0 ? -1 : 0;

        SetSizeChecks();
        if (ShowTickMarks == 0) {
            MenuItem(QStringLiteral("mnuTickMarks"))->setChecked(false);
        } else {
            MenuItem(QStringLiteral("mnuTickMarks"))->setChecked(true);
            ShowTickMarks = -1;
        }

        DiagramTitle = GraphTitle;
        DiagramType = sheetKind;
        AssignSampleColours();
        FillPointTable();

        // Step 17: the plot set-up's kind names the diagram.
        if (PlotKind == QStringLiteral("Diamond Plot")) DiagramType = QStringLiteral("QAPF-Plutonic");
        else if (PlotKind == QStringLiteral("Ternary Plot")) DiagramType = QStringLiteral("Ternary");

        Picture().Cls();
        DrawFrameAndOverlay();
        if (DiagramType == QStringLiteral("XY Plot")) {
            HideKeyTable();
            MenuItem(QStringLiteral("mnuCurveFit"))->setEnabled(true);
        }
        MenuItem(QStringLiteral("mnuOpenTem"))->setEnabled(true);
        Picture3->hide();

        ApplyTablesLayout();

        // Step 21: "Sheet1-C:\DATA\ROCKS.PLT" gives "Plot-C:\DATA\ROCKS.PLT".
        for (int k = 1; k <= 9 && k <= SheetCaption.size(); ++k) {
            if (SheetCaption[k - 1] == QLatin1Char('-')) {
                SheetCaption = ActiveCaption().mid(k, 100);
                break;
            }
        }
        setCaption(QStringLiteral("Plot-") + SheetCaption);

        if (SampleCount > kListedSamples)
            qvrt::host().MsgBox(QStringLiteral("Note!  The Data Table contains 1999 samples.  Excess samples are "
                                               "plotted but not listed in the table."),
                                qvrt::vbInformation, QStringLiteral("Data Exceeds 1999"));
        return true;
    } catch (const std::exception& e) {
        const auto* rt = dynamic_cast<const qvrt::RuntimeError*>(&e);
        if (rt && rt->number() == qvrt::ErrInvalidProperty)
            qvrt::host().MsgBox(QStringLiteral("Symbol and/or Wingdings true type Fonts are missing on your system.  "
                                               "Reinstall these fonts from your Windows disks."),
                                qvrt::vbExclamation, QStringLiteral("Font Error"));
        else
            qvrt::host().MsgBox(QString::fromStdString(e.what()) + QStringLiteral("Check Data"), qvrt::vbExclamation,
                                QStringLiteral("Plotting Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
        CloseGraph();
        return false;
    }
}

void Graph2::FillPointTable() {
    const bool xyColumns = DiagramType == QStringLiteral("XY Plot") || DiagramType == QStringLiteral("TAS-Volcanic");
    Grid1->SetRows(2);
    Grid1->SetCols(7);
    Grid1->SetRows(SampleCount + 1);
    Grid1->SetColWidth(0, int(std::lround(390 * ScreenScaleX)));
    for (int c = 1; c <= 6; ++c) Grid1->SetColWidth(c, int(std::lround(650 * ScreenScaleX)));
    for (int c = 1; c <= 4; ++c) Grid1->SetColAlignment(c, Qt::AlignHCenter);
    Grid1->SetTextMatrix(0, 1, QStringLiteral("Sample #"));
    if (xyColumns) {
        Grid1->SetTextMatrix(0, 2, QStringLiteral("X"));
        Grid1->SetTextMatrix(0, 3, QStringLiteral("Y"));
    } else {
        Grid1->SetTextMatrix(0, 2, QStringLiteral("Top"));
        Grid1->SetTextMatrix(0, 3, QStringLiteral("Left"));
        Grid1->SetTextMatrix(0, 4, QStringLiteral("Right"));
    }

    // A plot without plagioclase ratios reads 0 for them.
    if (PlagRatio.Bound() < SampleCount) PlagRatio.Grow(SampleCount);
    const size_t n = size_t(std::max<int>(SampleCount, 0)) + 1;
    for (auto* v : {&SampleX, &SampleY, &SampleZ, &SampleF, &SamplePlagRatio}) v->assign(n, 0.0f);
    SampleSymbolChar.assign(n, 0);
    SampleSymbol.assign(n, 0);
    SampleLabel.assign(n, QString());
    const QString twoDecimals = QStringLiteral("#0.00");
    QString cell;
    for (int i = 1; i <= SampleCount; ++i) {
        const size_t k = size_t(i);
        SampleX[k] = ArrayValue(XValues, i);
        SampleY[k] = ArrayValue(YValues, i);
        SampleZ[k] = ArrayValue(ZValues, i);
        SampleF[k] = ArrayValue(FValues, i);
        SamplePlagRatio[k] = PlagRatio(i);
        // A symbol number outside 1..14 (or no number at all) plots as 1.
        const float symbol = SampleSymbols(i);
        if (!(symbol >= 1 && symbol <= 14)) SampleSymbols(i) = 1;
        SampleSymbol[k] = qvrt::CInt(SampleSymbols(i));
        if (SampleCol == 0) DataTable(0, i) = QString();
        // Read without making the table's own text of every sample's cell.
        DataTable.Peek(SampleCol, i, cell);
        SampleLabel[k] = qvrt::FixedString(cell, 12);
        if (i <= kListedSamples) {
            QStringList cells{QString::number(i), cell};
            if (xyColumns) {
                cells << General(XValues(i)) << General(YValues(i));
            } else {
                const float top = XValues(i) > 0 ? XValues(i) : ArrayValue(FValues, i);
                cells << qvrt::Format(top, twoDecimals) << qvrt::Format(YValues(i), twoDecimals)
                      << qvrt::Format(ArrayValue(ZValues, i), twoDecimals);
            }
            Grid1->SetRowTexts(i, 0, cells);
        }
    }
    Grid1->SetFixedRows(1);
    Grid1->SetFixedCols(1);
    if (Grid1->Rows() < kMinTableRows) Grid1->SetRows(kMinTableRows);
    Grid1->Refresh();
    Grid1->SelectRow(1, 1, Grid1->Cols() - 1);

    Grid3->SetRows(10);
    Grid3->SetCols(2);
    Grid3->setFixedHeight(Pixels(8000) / 2);
    Grid3->SetColWidth(0, int(std::lround(390 * ScreenScaleX)));
    Grid3->SetColWidth(1, int(std::lround(5460 * ScreenScaleX)));
    Grid3->SetFixedRows(1);
    Grid3->SetTextMatrix(0, 1, QStringLiteral("Rockname"));
    PointTableReady = 1;
}

void Graph2::ApplyTablesLayout() {
    QAction* tables = MenuItem(QStringLiteral("mnuTables"));
    if (quarvex::ShowTables == 0) {
        widget()->setStyleSheet(QStringLiteral("background: white;"));
        tables->setChecked(false);
        Grid1->hide();
        Grid3->hide();
        Picture2->hide();
        HScroll1->hide();
        VScroll1->hide();
        Text1->hide();
        Label1->hide();
        Label2->hide();
        Label3->hide();
    } else {
        widget()->setStyleSheet(QString());
        Grid1->setFixedHeight(Picture1->height());
        tables->setChecked(true);
        quarvex::ShowTables = -1;
        Grid3->hide();
        Picture2->hide();
        HScroll1->hide();
        VScroll1->hide();
        Grid1->show();
        Text1->show();
        Label1->show();
        Label2->show();
        Label3->show();
    }
}

void Graph2::SetSizeChecks() {
    const QString names[3] = {QStringLiteral("Small"), QStringLiteral("Medium"), QStringLiteral("Large")};
    for (const QString& name : names) {
        if (DiagramSize != name) continue;
        for (const QString& other : names)
            MenuItem(QStringLiteral("mnu") + other)->setChecked(other == name);
    }
}

void Graph2::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    quarvex::AutoScale = -1;
    PlotFromMemory = 0;
}

void Graph2::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
    qvrt::ChildForm::closeEvent(event);
}

void Graph2::CloseGraph() {
    Form_Unload();
    close();
}

}  // namespace quarvex
