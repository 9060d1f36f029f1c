// The graph window's controls, creation (Form_Load) and unload.
#include "quarvex/graph/frame_access.h"
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/graph/symbol_desc.h"
#include "quarvex/overlays/overlay_table.h"
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
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>

namespace quarvex {

namespace {

constexpr int kListedSamples = 1999;
constexpr int kMinTableRows = 50;

constexpr int kMargin = 5;  // 75 twips
// The screen the window's design size was made for: 800 x 600 pixels.
constexpr double kDesignScreenWidthTwips = 12000;
constexpr double kDesignScreenHeightTwips = 9000;

int Pixels(double twips) {
    const double perPixel = qvrt::host().TwipsPerPixelX();
    return int(std::lround(twips / (perPixel > 0 ? perPixel : 15)));
}

// The point table's "Sample #" column: its design width, or what its heading
// needs where a scaled font outgrows that.
int SampleColumnTwips(const SimpleGrid& grid) {
    return std::max(int(std::lround(650 * ScreenScaleX)), grid.TwipsToShow(QStringLiteral("Sample #")));
}

int PixelsY(double twips) {
    const double perPixel = qvrt::host().TwipsPerPixelY();
    return int(std::lround(twips / (perPixel > 0 ? perPixel : 15)));
}

// Title bar and border of a child window in the frame, which a window gets
// only once it is in the frame's area: measured once on a window that never
// shows.
QMargins SubWindowMargins() {
    static const QMargins margins = [] {
        QMdiArea area;
        return area.addSubWindow(new QWidget)->contentsMargins();
    }();
    return margins;
}

// The key panel tells the window when its size changes, so the bars stay
// along its edges.
class KeyPanel : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void()> onResize;

protected:
    void resizeEvent(QResizeEvent*) override {
        if (onResize) onResize();
    }
};

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

    // The picture stands at the left margin with the tables beside it; with
    // the tables hidden the two spacers share the width and centre it.
    row_ = new QHBoxLayout;
    row_->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    row_->setSpacing(kMargin);
    outer->addLayout(row_, 1);
    row_->addStretch(0);
    Picture1 = new qvrt::PictureBox(body);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedSize(390, 390);
    row_->addWidget(Picture1, 0, Qt::AlignTop);

    // One column beside the picture: the point table over its label box,
    // then the field key (or, after a fit, the curve-fit panel).
    tablesPane_ = new QWidget(body);
    auto* tables = new QVBoxLayout(tablesPane_);
    tables->setContentsMargins(0, 0, 0, 0);
    auto* pointsRow = new QHBoxLayout;
    Label2 = new QLabel(QStringLiteral("Points:"), tablesPane_);
    Label3 = new QLabel(tablesPane_);
    pointsRow->addWidget(Label2);
    pointsRow->addWidget(Label3, 1);
    tables->addLayout(pointsRow);
    Grid1 = new SimpleGrid(tablesPane_);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    tables->addWidget(Grid1, 1);
    Label1 = new QLabel(QStringLiteral("Label Text:"), tablesPane_);
    Text1 = new QLineEdit(tablesPane_);
    tables->addWidget(Label1);
    tables->addWidget(Text1);

    // The key table shows all its rows and columns; the panel clips it and
    // its two bars slide it: each bar's value, negated, is the key's Left
    // (Top) in the panel.
    auto* panel = new KeyPanel(tablesPane_);
    Picture2 = panel;
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Grid3 = new SimpleGrid(Picture2);
    Grid3->setObjectName(QStringLiteral("Grid3"));
    Grid3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    HScroll1 = new QScrollBar(Qt::Horizontal, Picture2);
    VScroll1 = new QScrollBar(Qt::Vertical, Picture2);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    keyCorner_ = new QWidget(Picture2);
    keyCorner_->setAutoFillBackground(true);
    panel->onResize = [this] { PlaceKeyScrollBars(); };
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int v) { Grid3->move(-v, Grid3->y()); });
    connect(VScroll1, &QScrollBar::valueChanged, this, [this](int v) { Grid3->move(Grid3->x(), -v); });
    tables->addWidget(Picture2, 1);

    Picture3 = new QWidget(tablesPane_);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->hide();
    tables->addWidget(Picture3, 1);
    row_->addWidget(tablesPane_, 1);
    row_->addStretch(0);
    setWidget(body);
}

bool Graph2::HasFieldKey() const { return overlays::FindDiagram(DiagramType.toStdString()) != nullptr; }

void Graph2::FitKeyTable() {
    Grid3->setFixedSize(Grid3->frameWidth() * 2 + Grid3->horizontalHeader()->length(),
                        Grid3->frameWidth() * 2 + Grid3->verticalHeader()->length());
    PlaceKeyScrollBars();
}

void Graph2::PlaceKeyScrollBars() {
    const int barH = HScroll1->sizeHint().height(), barW = VScroll1->sizeHint().width();
    const int viewW = std::max(Picture2->width() - barW, 0), viewH = std::max(Picture2->height() - barH, 0);
    HScroll1->setGeometry(0, viewH, viewW, barH);
    VScroll1->setGeometry(viewW, 0, barW, viewH);
    keyCorner_->setGeometry(viewW, viewH, barW, barH);
    // The bars' values are the key's Left and Top, negated; their ranges
    // reach the last column and the last row.
    HScroll1->setRange(0, std::clamp(Grid3->width() - viewW, 0, int(INT16_MAX)));
    HScroll1->setPageStep(std::max(viewW, 1));
    HScroll1->setSingleStep(20);
    VScroll1->setRange(0, std::clamp(Grid3->height() - viewH, 0, int(INT16_MAX)));
    VScroll1->setPageStep(std::max(viewH, 1));
    VScroll1->setSingleStep(Grid3->verticalHeader()->defaultSectionSize());
    HScroll1->raise();
    VScroll1->raise();
    keyCorner_->raise();
}

void Graph2::SetKeyTableShown(bool shown) {
    for (QWidget* w : std::initializer_list<QWidget*>{Grid3, Picture2, HScroll1, VScroll1}) w->setVisible(shown);
    if (shown) FitKeyTable();
}

void Graph2::HideKeyTable() {
    SetKeyTableShown(false);
}

// The opening size and place. The fixed 9350 x 6950 twips were made for an
// 800 x 600 screen, where they are most of it; on a larger screen the window
// takes the same share of it, and no more than the frame's client area,
// centred there so that it opens whole.
void Graph2::PlaceOnOpening() {
    qvrt::Host& h = qvrt::host();
    const double sx = std::max(1.0, h.ScreenWidthTwips() / kDesignScreenWidthTwips);
    const double sy = std::max(1.0, h.ScreenHeightTwips() / kDesignScreenHeightTwips);
    int w = Pixels(9350 * sx), ht = PixelsY(6950 * sy);
    QMdiArea* area = nullptr;
    if (QWidget* frame = DialogParent()) area = frame->findChild<QMdiArea*>();
    if (area) {
        const QSize room = area->viewport()->size();
        w = std::min(w, room.width());
        ht = std::min(ht, room.height());
        resize(w, ht);
        move(std::max((room.width() - w) / 2, 0), std::max((room.height() - ht) / 2, 0));
    } else {
        resize(w, ht);
        move(Pixels(h.ScreenWidthTwips() / 2) - w / 2, PixelsY(h.ScreenHeightTwips() / 2) - ht / 2);
    }

    // The picture is a square as tall as the window leaves room for below
    // its toolbar, and leaves the tables a column wide enough for the index,
    // "Sample #" and three value columns of the point table.
    const QMargins frame = SubWindowMargins();
    const int clientW = w - frame.left() - frame.right();
    const int clientH = ht - frame.top() - frame.bottom() - Toolbar1->sizeHint().height();
    const int column = Pixels(std::lround(390 * ScreenScaleX)) + Pixels(SampleColumnTwips(*Grid1)) +
                       3 * Pixels(std::lround(650 * ScreenScaleX)) +
                       Grid1->verticalScrollBar()->sizeHint().width() + 2 * Grid1->frameWidth();
    const int side = std::max(std::min(clientH - 2 * kMargin, clientW - 3 * kMargin - column), 100);
    Picture1->setFixedSize(side, side);
}

bool Graph2::Form_Load() {
    try {
        PlaceOnOpening();
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

        // Beside the new window's picture, where the legend texts are read.
        SymbolDesc::PlaceFor(QPoint(Pixels(5000 * ScreenScaleX), PixelsY(700 * ScreenScaleY)));
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
        SourceSheetCaption = SheetCaption;
        setCaption(QStringLiteral("Plot-") + SourceSheetCaption);

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
    Grid1->SetColWidth(1, SampleColumnTwips(*Grid1));
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
    Grid3->SetColWidth(0, int(std::lround(390 * ScreenScaleX)));
    Grid3->SetColWidth(1, int(std::lround(5460 * ScreenScaleX)));
    Grid3->SetFixedRows(1);
    Grid3->SetTextMatrix(0, 1, QStringLiteral("Rockname"));
    FitKeyTable();
    PointTableReady = 1;
}

void Graph2::ApplyTablesLayout() {
    QAction* tables = MenuItem(QStringLiteral("mnuTables"));
    if (quarvex::ShowTables == 0) {
        widget()->setStyleSheet(QStringLiteral("background: white; color: black;"));
        tables->setChecked(false);
        for (QWidget* w : std::initializer_list<QWidget*>{Grid1, Text1, Label1, Label2, Label3}) w->hide();
        SetKeyTableShown(false);
        ShowTablesColumn(false);
    } else {
        widget()->setStyleSheet(QString());
        tables->setChecked(true);
        quarvex::ShowTables = -1;
        for (QWidget* w : std::initializer_list<QWidget*>{Grid1, Text1, Label1, Label2, Label3}) w->show();
        // The field names are what a classification diagram is opened for:
        // their key stands beside it whenever the tables do.
        SetKeyTableShown(HasFieldKey() && Picture3->isHidden());
        ShowTablesColumn(true);
    }
}

void Graph2::ShowTablesColumn(bool shown) {
    tablesPane_->setVisible(shown);
    // Without the column the spacers either side share the width, which
    // centres the picture.
    row_->setStretch(0, shown ? 0 : 1);
    row_->setStretch(3, shown ? 0 : 1);
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
