// The output size dialog (TfmEditXY).
#include "movaltic/ui/option_dialogs.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <memory>

#include "movaltic/imaging/basic.h"
#include "movaltic/ui/compressor_dialog.h"
#include "movaltic/ui/ui_host.h"
#include "movaltic/ui/win_utils.h"

namespace movaltic {

TfmEditXY::TfmEditXY(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Change Output Movie Size");
    auto* layout = new QVBoxLayout(this);
    auto* gSize = new QGroupBox("New output size (in pixels)", this);
    Edit1 = new QLineEdit(gSize);
    Edit2 = new QLineEdit(gSize);
    CheckBox1 = new QCheckBox("&Use fixed aspect ratio", gSize);
    Edit3 = new QLineEdit("1.333", gSize);
    Button1 = new QPushButton("320x200", gSize);
    Button2 = new QPushButton("320x240", gSize);
    Button3 = new QPushButton("400x300", gSize);
    Button4 = new QPushButton("640x480", gSize);
    auto* gridSize = new QGridLayout(gSize);
    auto* lw = new QLabel("&Width", gSize);
    auto* lh = new QLabel("&Height", gSize);
    lw->setBuddy(Edit1);
    lh->setBuddy(Edit2);
    gridSize->addWidget(lw, 0, 0);
    gridSize->addWidget(Edit1, 0, 1);
    gridSize->addWidget(lh, 1, 0);
    gridSize->addWidget(Edit2, 1, 1);
    gridSize->addWidget(CheckBox1, 2, 0, 1, 2);
    gridSize->addWidget(Edit3, 3, 1);
    gridSize->addWidget(Button1, 0, 2);
    gridSize->addWidget(Button2, 1, 2);
    gridSize->addWidget(Button3, 2, 2);
    gridSize->addWidget(Button4, 3, 2);

    auto* gWhen = new QGroupBox("When to rescale", this);
    radAtStart = new QRadioButton("At the beginning", gWhen);
    radAtEnd = new QRadioButton("At the end", gWhen);
    auto* rWhen = new QVBoxLayout(gWhen);
    rWhen->addWidget(radAtStart);
    rWhen->addWidget(radAtEnd);
    auto* gHow = new QGroupBox("Scaling method", this);
    radResample = new QRadioButton("Resample", gHow);
    radResize = new QRadioButton("Resize", gHow);
    auto* rHow = new QVBoxLayout(gHow);
    rHow->addWidget(radResample);
    rHow->addWidget(radResize);
    auto* row = new QHBoxLayout;
    row->addWidget(gWhen);
    row->addWidget(gHow);

    layout->addWidget(gSize);
    layout->addLayout(row);
    layout->addLayout(OkCancelRow(this, btnOK, btnCancel));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    InstallNumericFilter(Edit1, false);
    InstallNumericFilter(Edit2, false);
    InstallNumericFilter(Edit3, true);
    for (QLineEdit* e : {Edit1, Edit2, Edit3}) e->installEventFilter(this);
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Preset(320, 200); });
    connect(Button2, &QPushButton::clicked, this, [this] { Preset(320, 240); });
    connect(Button3, &QPushButton::clicked, this, [this] { Preset(400, 300); });
    connect(Button4, &QPushButton::clicked, this, [this] { Preset(640, 480); });
    FixedDialog(this, layout);
}

bool TfmEditXY::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == Edit1) Edit1Exit();
        else if (watched == Edit2) Edit2Exit();
        else if (watched == Edit3) Edit3Exit();
    }
    return QDialog::eventFilter(watched, event);
}

void TfmEditXY::showEvent(QShowEvent* event) {
    ShowValues();
    QDialog::showEvent(event);
}

void TfmEditXY::ShowValues() {
    SizeOptions& v = Values;
    if (v.width < 1) v.width = 1;
    if (v.height < 1) v.height = 1;
    Edit1->setText(QString::number(v.width));
    Edit2->setText(QString::number(v.height));
    v.ratio = double(v.width) / double(v.height);
    if (CheckBox1->isChecked()) Edit3->setText(FixedText(v.ratio, 3));
    // Shrink before the to-do list (fewer pixels to filter), enlarge after it.
    v.useResample = v.input24 || v.output24;
    v.rescaleAtStart = int64_t(v.inputWidth) * v.inputHeight > int64_t(v.width) * v.height;
    radAtStart->setChecked(v.rescaleAtStart);
    radAtEnd->setChecked(!v.rescaleAtStart);
    radResample->setChecked(v.useResample);
    radResize->setChecked(!v.useResample);
}

void TfmEditXY::ReadValues() {
    SizeOptions& v = Values;
    v.width = IntOrDefault(Edit1->text(), -1);
    if (v.width < 16) v.width = 16;
    v.height = IntOrDefault(Edit2->text(), -1);
    if (v.height < 16) v.height = 16;
    v.ratio = TextToReal(Edit3->text());
    if (v.ratio < 0.001) v.ratio = 4.0 / 3.0;
    v.rescaleAtStart = radAtStart->isChecked();
    v.useResample = radResample->isChecked();
}

void TfmEditXY::Recalculate(Keep keep) {
    ReadValues();
    if (CheckBox1->isChecked()) {
        if (keep == Keep::Width)
            Values.height = RoundEven(Values.width / Values.ratio);
        else
            Values.width = RoundEven(Values.height * Values.ratio);
    }
    ShowValues();
}

void TfmEditXY::Edit1Exit() { Recalculate(Keep::Width); }
void TfmEditXY::Edit2Exit() { Recalculate(Keep::Height); }
void TfmEditXY::Edit3Exit() { Recalculate(Keep::Width); }

void TfmEditXY::CheckBox1Click() {
    if (CheckBox1->isChecked()) Recalculate(Keep::Width);
}

void TfmEditXY::Preset(int width, int height) {
    Values.width = width;
    Values.height = height;
    ShowValues();
}

void TfmEditXY::FormDeactivate() {
    ReadValues();
    ClampInt(Values.width, 16, 1600);
    ClampInt(Values.height, 16, 1200);
}

void TfmEditXY::done(int r) {
    FormDeactivate();
    QDialog::done(r);
}

}  // namespace movaltic
