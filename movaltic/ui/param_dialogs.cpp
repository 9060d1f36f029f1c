#include "movaltic/ui/param_dialogs.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>
#include <memory>

#include "movaltic/ui/ui_host.h"
#include "movaltic/ui/win_utils.h"

namespace movaltic {

double EditValue = 0, EditMin = 0, EditMax = 0;
bool EditIntegerMode = true;
double EditRed = 0, EditGreen = 0, EditBlue = 0;
double EditRGBMin = 0, EditRGBMax = 0;
double EditAll = 0;
bool EditRGBIntegerMode = true;

namespace {

bool IsWhole(double v) { return std::floor(v) == v; }

QScrollBar* MakeBar(QWidget* parent) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setPageStep(10);
    bar->setMinimumWidth(160);
    return bar;
}

}  // namespace

// ---------------------------------------------------------------- one value

TfmEditInt1::TfmEditInt1(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Edit parameter");
    GroupBox1 = new QGroupBox("Enter value", this);
    Edit1 = new QLineEdit("10", GroupBox1);
    Edit1->setMaximumWidth(80);
    ScrollBar1 = MakeBar(GroupBox1);
    auto* row = new QHBoxLayout(GroupBox1);
    row->addWidget(Edit1);
    row->addWidget(ScrollBar1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(OkCancelRow(this, btnOK, btnCancel));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    InstallNumericFilterLive(Edit1, [] { return !EditIntegerMode; });
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });
    SetupDialogForm(this);
}

void TfmEditInt1::showEvent(QShowEvent* event) {
    ShowValue();
    QDialog::showEvent(event);
    // Typing replaces the shown value, as the edit is entered.
    Edit1->setFocus();
    Edit1->selectAll();
}

void TfmEditInt1::ShowValue() {
    EditIntegerMode = IsWhole(EditMin) && IsWhole(EditMax);
    ClampReal(EditValue, EditMin, EditMax);
    const QSignalBlocker block(ScrollBar1);
    if (EditIntegerMode) {
        Edit1->setText(FixedText(EditValue, 0));
        ScrollBar1->setRange(RoundEven(EditMin), RoundEven(EditMax));
        ScrollBar1->setValue(RoundEven(EditValue));
    } else {
        Edit1->setText(FixedText(EditValue, 3));
        ScrollBar1->setRange(RoundEven(EditMin * 1000), RoundEven(EditMax * 1000));
        ScrollBar1->setValue(RoundEven(EditValue * 1000));
    }
}

void TfmEditInt1::ScrollBar1Change() {
    if (EditIntegerMode)
        Edit1->setText(QString::number(ScrollBar1->value()));
    else
        Edit1->setText(QString::number(ScrollBar1->value() * 0.001, 'g', 15));
}

void TfmEditInt1::ReadValue() {
    // The typed text decides; the bar only feeds the edit.
    EditValue = TextToReal(Edit1->text());
    ClampReal(EditValue, EditMin, EditMax);
}

void TfmEditInt1::done(int r) {
    ReadValue();
    QDialog::done(r);
}

// ---------------------------------------------------------------- red, green, blue

TfmEditRGB::TfmEditRGB(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Edit Parameters");
    auto* grid = new QGridLayout;
    QLineEdit** edits[4] = {&Edit1, &Edit2, &Edit3, &Edit4};
    QScrollBar** bars[4] = {&ScrollBar1, &ScrollBar2, &ScrollBar3, &ScrollBar4};
    const char* names[4] = {"Red", "Green", "Blue", "All together"};
    for (int i = 0; i < 4; ++i) {
        *edits[i] = new QLineEdit(this);
        (*edits[i])->setMaximumWidth(80);
        *bars[i] = MakeBar(this);
        int row = i < 3 ? i : 4;
        grid->addWidget(new QLabel(names[i], this), row, 0);
        grid->addWidget(*edits[i], row, 1);
        grid->addWidget(*bars[i], row, 2);
        InstallNumericFilterLive(*edits[i], [] { return !EditRGBIntegerMode; });
    }
    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    grid->addWidget(bevel, 3, 0, 1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(OkCancelRow(this, btnOK, btnCancel));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ColourBarChange(ScrollBar1, Edit1); });
    connect(ScrollBar2, &QScrollBar::valueChanged, this, [this] { ColourBarChange(ScrollBar2, Edit2); });
    connect(ScrollBar3, &QScrollBar::valueChanged, this, [this] { ColourBarChange(ScrollBar3, Edit3); });
    connect(ScrollBar4, &QScrollBar::valueChanged, this, [this] { ScrollBar4Change(); });
    connect(Edit4, &QLineEdit::textChanged, this, [this] { Edit4Change(); });
    SetupDialogForm(this);
}

void TfmEditRGB::showEvent(QShowEvent* event) {
    ShowValues();
    QDialog::showEvent(event);
    Edit1->setFocus();
    Edit1->selectAll();
}

void TfmEditRGB::ShowValues() {
    EditRGBIntegerMode = IsWhole(EditRGBMin) && IsWhole(EditRGBMax);
    ClampReal(EditRed, EditRGBMin, EditRGBMax);
    ClampReal(EditGreen, EditRGBMin, EditRGBMax);
    ClampReal(EditBlue, EditRGBMin, EditRGBMax);
    setupGuard_ = true;
    const double scale = EditRGBIntegerMode ? 1 : 100;
    for (QScrollBar* bar : {ScrollBar1, ScrollBar2, ScrollBar3, ScrollBar4})
        bar->setRange(RoundEven(EditRGBMin * scale), RoundEven(EditRGBMax * scale));
    EditAll = 0;
    refreshGuard_ = false;
    RefreshControls();
    setupGuard_ = false;
}

QString TfmEditRGB::ValueToText(double value) const {
    return EditRGBIntegerMode ? FixedText(value, 0) : FixedText(value, 2);
}

void TfmEditRGB::SetBarFromValue(QScrollBar* bar, double value) {
    bar->setValue(EditRGBIntegerMode ? RoundEven(value) : RoundEven(value * 100));
}

void TfmEditRGB::SetEditFromBar(QLineEdit* edit, QScrollBar* bar) {
    edit->setText(EditRGBIntegerMode ? FixedText(bar->value(), 0) : FixedText(bar->value() * 0.01, 2));
}

void TfmEditRGB::RefreshControls() {
    if (refreshGuard_) return;
    refreshGuard_ = true;
    SetBarFromValue(ScrollBar1, EditRed);
    SetEditFromBar(Edit1, ScrollBar1);
    SetBarFromValue(ScrollBar2, EditGreen);
    SetEditFromBar(Edit2, ScrollBar2);
    SetBarFromValue(ScrollBar3, EditBlue);
    SetEditFromBar(Edit3, ScrollBar3);
    Edit4->setText(ValueToText(EditAll));
    SetBarFromValue(ScrollBar4, EditAll);
    refreshGuard_ = false;
}

void TfmEditRGB::ColourBarChange(QScrollBar* bar, QLineEdit* edit) { SetEditFromBar(edit, bar); }

void TfmEditRGB::ScrollBar4Change() {
    if (setupGuard_) return;
    SetEditFromBar(Edit4, ScrollBar4);
    EditAll = TextToReal(Edit4->text());
    EditRed = EditGreen = EditBlue = EditAll;
    RefreshControls();
}

void TfmEditRGB::Edit4Change() {
    if (setupGuard_) return;
    const QString text = Edit4->text();
    Edit1->setText(text);
    Edit2->setText(text);
    Edit3->setText(text);
}

void TfmEditRGB::ReadValues() {
    EditRed = TextToReal(Edit1->text());
    EditGreen = TextToReal(Edit2->text());
    EditBlue = TextToReal(Edit3->text());
    ClampReal(EditRed, EditRGBMin, EditRGBMax);
    ClampReal(EditGreen, EditRGBMin, EditRGBMax);
    ClampReal(EditBlue, EditRGBMin, EditRGBMax);
}

void TfmEditRGB::done(int r) {
    ReadValues();
    QDialog::done(r);
}

// ---------------------------------------------------------------- instances

namespace {
// Live from program start to its end; DestroyParamDialogs runs before the
// application object goes (a widget must not outlive it).
TfmEditInt1* gEditInt1 = nullptr;
TfmEditRGB* gEditRGB = nullptr;
}  // namespace

void CreateParamDialogs() {
    if (!gEditInt1) gEditInt1 = new TfmEditInt1;
    if (!gEditRGB) gEditRGB = new TfmEditRGB;
}

void DestroyParamDialogs() {
    delete gEditInt1;
    delete gEditRGB;
    gEditInt1 = nullptr;
    gEditRGB = nullptr;
}

TfmEditInt1& fmEditInt1() {
    CreateParamDialogs();
    return *gEditInt1;
}

TfmEditRGB& fmEditRGB() {
    CreateParamDialogs();
    return *gEditRGB;
}

bool DialogParamEditor::AskValue(const std::string& caption, const std::string& prompt, double& value,
                                 double minimum, double maximum) {
    TfmEditInt1& dlg = fmEditInt1();
    dlg.setWindowTitle(QString::fromStdString(caption));
    dlg.GroupBox1->setTitle(QString::fromStdString(prompt));
    EditValue = value;
    EditMin = minimum;
    EditMax = maximum;
    if (Ui().ExecDialog(dlg) != QDialog::Accepted) return false;
    value = EditValue;
    return true;
}

bool DialogParamEditor::AskRGB(const std::string& caption, double& red, double& green, double& blue,
                               double minimum, double maximum) {
    TfmEditRGB& dlg = fmEditRGB();
    dlg.setWindowTitle(QString::fromStdString(caption));
    EditRed = red;
    EditGreen = green;
    EditBlue = blue;
    EditRGBMin = minimum;
    EditRGBMax = maximum;
    if (Ui().ExecDialog(dlg) != QDialog::Accepted) return false;
    red = EditRed;
    green = EditGreen;
    blue = EditBlue;
    return true;
}

}  // namespace movaltic
