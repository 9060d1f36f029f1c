#include "quarvex/graph/plot_setup_dialogs.h"

#include "quarvex/graph/frame_access.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/graph/plot_launcher.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/graph_state.h"
#include "quarvex/state/window_tables.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace quarvex {

namespace {

QPointer<Options> optionsDialog;
QPointer<SetUp> setUpDialog;

QPushButton* Button(const char* caption, QWidget* parent, std::function<void()> handler) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    QObject::connect(b, &QPushButton::clicked, parent, [handler = std::move(handler)] {
        try {
            handler();
        } catch (const std::exception& e) {
            qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Error"));
            qvrt::host().SetMousePointer(qvrt::vbDefault);
        }
    });
    return b;
}

// Row 1 of the active sheet, from column 1 up to and including the first
// empty heading.
void ReadHeadingRow() {
    ColumnHeadings.assign(TextTable::kLastColumn + 1, QString());
    Main1& sheet = RequireActiveSheet();
    const int cols = std::min(sheet.Grid1->MaxCols(), TextTable::kLastColumn);
    for (int c = 1; c <= cols; ++c) {
        ColumnHeadings[size_t(c)] = sheet.Grid1->GetText(c, 1);
        if (ColumnHeadings[size_t(c)].isEmpty()) break;
    }
}

// After the dialog has its size, which it otherwise takes only when shown.
void CentreOnScreen(QWidget& w) {
    w.adjustSize();
    const double tx = qvrt::host().TwipsPerPixelX(), ty = qvrt::host().TwipsPerPixelY();
    if (tx <= 0 || ty <= 0) return;
    w.move(int(qvrt::host().ScreenWidthTwips() / tx * 0.5 - w.width() * 0.5),
           int(qvrt::host().ScreenHeightTwips() / ty * 0.5 - w.height() * 0.5));
}

void ReportLoadError(const std::exception& e, bool fontCheck) {
    const auto* rt = dynamic_cast<const qvrt::RuntimeError*>(&e);
    if (fontCheck && rt && rt->number() == qvrt::ErrInvalidProperty)
        qvrt::host().MsgBox(QStringLiteral("Symbol and/or Wingdings true type fonts are missing on your system.  "
                                           "Reinstall these fonts from your Windows disks."),
                            qvrt::vbExclamation, QStringLiteral("Font Error"));
    else
        qvrt::host().MsgBox(QStringLiteral("Check column headings"), qvrt::vbExclamation,
                            QStringLiteral("Options Error"));
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

QGroupBox* LabelsFrame(QWidget* parent, QRadioButton* (&label)[2]) {
    auto* frame = new QGroupBox(QStringLiteral("Labels"), parent);
    auto* l = new QHBoxLayout(frame);
    label[0] = new QRadioButton(QStringLiteral("none"), frame);
    label[1] = new QRadioButton(QStringLiteral("Sample #"), frame);
    l->addWidget(label[0]);
    l->addWidget(label[1]);
    // The choice of the last plot stands.
    label[NoSampleLabels == 0 ? 1 : 0]->setChecked(true);
    return frame;
}

void ShowSymbolDescriptions() {
    if (Graph2Seams().ShowSymbolDesc) Graph2Seams().ShowSymbolDesc(false);
}

}  // namespace

// --- Options --------------------------------------------------------------------

Options::Options(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Options"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);

    auto* frame1 = new QGroupBox(QStringLiteral("Diagram Type + Title"), this);
    auto* g1 = new QGridLayout(frame1);
    g1->addWidget(new QLabel(QStringLiteral("Diagram"), frame1), 0, 0);
    Combo1 = new QComboBox(frame1);
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    g1->addWidget(Combo1, 0, 1);
    g1->addWidget(new QLabel(QStringLiteral("Title"), frame1), 1, 0);
    Text3 = new QLineEdit(frame1);
    g1->addWidget(Text3, 1, 1);
    layout->addWidget(frame1);

    auto* frame4 = new QGroupBox(QStringLiteral("Axes"), this);
    auto* g4 = new QGridLayout(frame4);
    const char* captions[4] = {"Top:", "Left:", "Right:", "Bottom:"};
    for (int k = 0; k < 4; ++k) {
        g4->addWidget(new QLabel(QString::fromLatin1(captions[k]), frame4), k, 0);
        Text1[k] = new QLineEdit(frame4);
        g4->addWidget(Text1[k], k, 1);
    }
    layout->addWidget(frame4);
    layout->addWidget(LabelsFrame(this, Label));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button("Plot", this, [this] { Command3D1_Click(); }));
    buttons->addWidget(Button("OK", this, [this] { Command3D4_Click(); }));
    buttons->addWidget(Button("Cancel", this, [this] { Command3D2_Click(); }));
    buttons->addWidget(Button("Symbols", this, [this] { SSCommand1_Click(); }));
    layout->addLayout(buttons);
}

void Options::Form_Load() {
    try {
        ColumnHeadings.assign(TextTable::kLastColumn + 1, QString());
        CentreOnScreen(*this);
        Text3->setText(GraphTitle);
        ReadHeadingRow();
        const int cols[4] = {XCol, YCol, ZCol, ZCol + 1};
        for (int k = 0; k < 4; ++k) {
            AxisLabels[size_t(k) + 1] = HeadingAt(cols[k]);
            Text1[k]->setText(AxisLabels[size_t(k) + 1]);
        }
        QString kind = ActiveSheetKind();
        if (kind == QStringLiteral("XY Plot")) kind = QStringLiteral("Not Defined");
        Combo1->addItem(QStringLiteral("Ternary Plot"));
        Combo1->addItem(QStringLiteral("Diamond Plot"));
        Combo1->setEditText(kind);
    } catch (const std::exception& e) {
        ReportLoadError(e, true);
    }
}

void Options::Unload() { close(); }

void Options::Command3D1_Click() {
    raise();
    qvrt::host().SetMousePointer(qvrt::vbHourglass);
    WindowRecord& record = RecordByTag(ActiveTag());
    record.DiagramType = Combo1->currentText();
    for (size_t k = 1; k <= 4; ++k) AxisLabels[k] = Text1[k - 1]->text();
    PlotKind = Combo1->currentText();
    if (PlotKind.isEmpty() || PlotKind == QStringLiteral("Not Defined")) {
        qvrt::host().MsgBox(QStringLiteral("Select a Diagram"), qvrt::vbCritical, QStringLiteral("No Diagram Selected"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
        return;
    }
    GraphTitle = Text3->text();
    qvrt::host().SetMousePointer(qvrt::vbDefault);
    SetDiagramPanel(record.DiagramType);
    NoSampleLabels = Label[0]->isChecked() ? -1 : 0;
    Unload();
    MODULE21::PlotActiveData();
}

void Options::Command3D4_Click() {
    for (size_t k = 1; k <= 4; ++k) AxisLabels[k] = Text1[k - 1]->text();
    WindowRecord& record = RecordByTag(ActiveTag());
    record.DiagramType = Combo1->currentText();
    GraphTitle = Text3->text();
    SetDiagramPanel(record.DiagramType);
    NoSampleLabels = Label[0]->isChecked() ? -1 : 0;
    Unload();
}

void Options::Command3D2_Click() { Unload(); }
void Options::SSCommand1_Click() { ShowSymbolDescriptions(); }

// --- SetUp ----------------------------------------------------------------------

SetUp::SetUp(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("XY Options"));
    auto* layout = new QVBoxLayout(this);

    auto* frame1 = new QGroupBox(QStringLiteral("Scale Type"), this);
    auto* f1 = new QHBoxLayout(frame1);
    AutoO = new QRadioButton(QStringLiteral("Automatic Scaling"), frame1);
    ManualO = new QRadioButton(QStringLiteral("Manual Scaling"), frame1);
    f1->addWidget(AutoO);
    f1->addWidget(ManualO);
    connect(AutoO, &QRadioButton::clicked, this, [this] { AutoO_Click(); });
    connect(ManualO, &QRadioButton::clicked, this, [this] { ManualO_Click(); });
    layout->addWidget(frame1);

    auto* scale = new QGroupBox(QStringLiteral("Scale"), this);
    auto* g = new QGridLayout(scale);
    g->addWidget(new QLabel(QStringLiteral("    X axis        Y axis "), scale), 0, 1, 1, 2);
    g->addWidget(new QLabel(QStringLiteral("Max:"), scale), 1, 0);
    g->addWidget(new QLabel(QStringLiteral("Min:"), scale), 2, 0);
    MaxXT = new QLineEdit(scale);
    MaxYT = new QLineEdit(scale);
    MinXT = new QLineEdit(scale);
    MinYT = new QLineEdit(scale);
    g->addWidget(MaxXT, 1, 1);
    g->addWidget(MaxYT, 1, 2);
    g->addWidget(MinXT, 2, 1);
    g->addWidget(MinYT, 2, 2);
    layout->addWidget(scale);

    auto* titles = new QGroupBox(QStringLiteral("Titles"), this);
    auto* t = new QGridLayout(titles);
    t->addWidget(new QLabel(QStringLiteral("Graph:"), titles), 0, 0);
    t->addWidget(new QLabel(QStringLiteral("X Axis:"), titles), 1, 0);
    t->addWidget(new QLabel(QStringLiteral("Y Axis:"), titles), 2, 0);
    GraphTitleT = new QLineEdit(titles);
    XTitleT = new QLineEdit(titles);
    YTitleT = new QLineEdit(titles);
    t->addWidget(GraphTitleT, 0, 1);
    t->addWidget(XTitleT, 1, 1);
    t->addWidget(YTitleT, 2, 1);
    layout->addWidget(titles);
    layout->addWidget(LabelsFrame(this, Label));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button("OK", this, [this] { Command3D1_Click(0); }));
    buttons->addWidget(Button("Cancel", this, [this] { Command3D1_Click(1); }));
    buttons->addWidget(Button("Plot", this, [this] { Command3D1_Click(2); }));
    buttons->addWidget(Button("Symbols", this, [this] { Command3D3_Click(); }));
    layout->addLayout(buttons);
}

void SetUp::Form_Load() {
    try {
        ColumnHeadings.assign(TextTable::kLastColumn + 1, QString());
        CentreOnScreen(*this);
        AutoO->setChecked(true);
        AutoO_Click();
        ReadHeadingRow();
        XTitleT->setText(HeadingAt(XCol));
        YTitleT->setText(HeadingAt(YCol));
        GraphTitleT->setText(GraphTitle);
    } catch (const std::exception& e) {
        ReportLoadError(e, false);
    }
}

void SetUp::AutoO_Click() {
    for (QLineEdit* box : {MaxXT, MinXT, MaxYT, MinYT}) {
        box->setEnabled(false);
        box->setStyleSheet(QStringLiteral("background: #C0C0C0; color: black;"));
    }
}

void SetUp::ManualO_Click() {
    for (QLineEdit* box : {MaxXT, MinXT, MaxYT, MinYT}) {
        box->setEnabled(true);
        box->setStyleSheet(QStringLiteral("background: #FFFFFF; color: black;"));
    }
}

bool SetUp::ReadManualLimits() {
    float values[4] = {};
    QLineEdit* boxes[4] = {MinXT, MaxXT, MinYT, MaxYT};
    for (int k = 0; k < 4; ++k) {
        bool ok = false;
        const double v = QLocale::c().toDouble(boxes[k]->text().trimmed(), &ok);
        values[k] = static_cast<float>(v);
        if (!ok || !std::isfinite(values[k])) {
            qvrt::host().MsgBox(QStringLiteral("Each scale limit must be a number."), qvrt::vbExclamation,
                                QStringLiteral("Invalid Entry"));
            boxes[k]->setFocus();
            return false;
        }
    }
    if (!(values[0] < values[1]) || !(values[2] < values[3])) {
        qvrt::host().MsgBox(QStringLiteral("Each minimum must be below its maximum."), qvrt::vbExclamation,
                            QStringLiteral("Invalid Entry"));
        return false;
    }
    ScaleMinX = values[0];
    ScaleMaxX = values[1];
    ScaleMinY = values[2];
    ScaleMaxY = values[3];
    return true;
}

void SetUp::Command3D1_Click(int index) {
    if (index == 0) {
        hide();
        return;
    }
    if (index == 1) {
        close();
        deleteLater();
        return;
    }
    NoSampleLabels = Label[0]->isChecked() ? -1 : 0;
    const int16_t autoScale = AutoO->isChecked() ? -1 : 0;
    // The limits are checked before anything is stored, so a refused entry
    // leaves the previous plot settings as they were.
    if (autoScale == 0 && !ReadManualLimits()) return;
    AutoScale = autoScale;
    GraphTitle = GraphTitleT->text();
    XAxisTitle = XTitleT->text();
    YAxisTitle = YTitleT->text();
    AxisLabels[1] = XTitleT->text();
    RecordByTag(ActiveTag()).DiagramType = QStringLiteral("XY Plot");
    PlotKind = QStringLiteral("XY Plot");
    MODULE21::PlotActiveData();
}

void SetUp::Command3D3_Click() { ShowSymbolDescriptions(); }

// --- Openers --------------------------------------------------------------------

namespace {

// Plotting needs a data sheet as the active child window.
bool RequireSheetForPlot() {
    if (ActiveDataSheet()) return true;
    qvrt::host().MsgBox(QStringLiteral("Make a data sheet the active window to plot its samples."),
                        qvrt::vbExclamation, QStringLiteral("Plotting Error"));
    return false;
}

}  // namespace

void ShowOptions() {
    if (!RequireSheetForPlot()) return;
    if (optionsDialog) optionsDialog->close();
    optionsDialog = new Options(DialogParent());
    optionsDialog->Form_Load();
    optionsDialog->show();
}

void ShowSetUp() {
    if (!RequireSheetForPlot()) return;
    if (!setUpDialog) {
        setUpDialog = new SetUp(DialogParent());
        setUpDialog->setAttribute(Qt::WA_DeleteOnClose);
        setUpDialog->Form_Load();
    }
    setUpDialog->show();
    setUpDialog->raise();
}

Options* LoadedOptions() { return optionsDialog; }
SetUp* LoadedSetUp() { return setUpDialog; }

}  // namespace quarvex
