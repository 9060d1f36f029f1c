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

namespace {

void FixedDialog(QDialog* dialog, QVBoxLayout* layout) {
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetupDialogForm(dialog);
}

}  // namespace

// ---------------------------------------------------------------- input options

TfmInOpt::TfmInOpt(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Input Options");
    auto* layout = new QVBoxLayout(this);
    auto* g1 = new QGroupBox("Number of frames to process", this);
    Edit1 = new QLineEdit(g1);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, g1);
    auto* r1 = new QHBoxLayout(g1);
    r1->addWidget(Edit1);
    r1->addWidget(ScrollBar1, 1);
    auto* g2 = new QGroupBox("Preview frame", this);
    Edit2 = new QLineEdit(g2);
    ScrollBar2 = new QScrollBar(Qt::Horizontal, g2);
    auto* r2 = new QHBoxLayout(g2);
    r2->addWidget(Edit2);
    r2->addWidget(ScrollBar2, 1);
    for (QScrollBar* bar : {ScrollBar1, ScrollBar2}) {
        bar->setPageStep(10);
        bar->setMinimumWidth(200);
    }
    layout->addWidget(g1);
    layout->addWidget(g2);
    layout->addLayout(OkCancelRow(this, btnOK, btnCancel));
    connect(btnOK, &QPushButton::clicked, this, [this] {
        Values.accepted = 1;
        accept();
    });
    InstallNumericFilter(Edit1, false);
    // Typing does not move a bar; moving a bar shows its position.
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this](int v) { Edit1->setText(QString::number(v)); });
    connect(ScrollBar2, &QScrollBar::valueChanged, this, [this](int v) { Edit2->setText(QString::number(v)); });
    FixedDialog(this, layout);
}

void TfmInOpt::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfmInOpt::FormShow() {
    const QSignalBlocker b1(ScrollBar1), b2(ScrollBar2);
    Edit1->setText(QString::number(Values.framesToProcess));
    ScrollBar1->setRange(1, std::max(1, Values.frameCount));
    ScrollBar1->setValue(Values.framesToProcess);
    Edit2->setText(QString::number(Values.previewFrame));
    ScrollBar2->setRange(1, std::max(1, Values.frameCount));
    ScrollBar2->setValue(Values.previewFrame);
    Values.accepted = 0;
}

void TfmInOpt::FormClose() {
    if (Values.accepted) {
        Values.framesToProcess = IntOrDefault(Edit1->text(), Values.framesToProcess);
        Values.previewFrame = IntOrDefault(Edit2->text(), Values.previewFrame);
    } else {
        Values.previewFrame = 1;
    }
}

void TfmInOpt::done(int r) {
    FormClose();
    QDialog::done(r);
}

// ---------------------------------------------------------------- output options

TfmOutOpt::TfmOutOpt(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Output Options");
    auto* layout = new QVBoxLayout(this);

    auto* gRes = new QGroupBox("Output resolution", this);
    InfoPanel = new QLabel(gRes);
    InfoPanel->setFrameShape(QFrame::Panel);
    InfoPanel->setFrameShadow(QFrame::Sunken);
    InfoPanel->setAlignment(Qt::AlignCenter);
    InfoPanel->setMinimumWidth(120);
    btnRescale = new QPushButton("Change...", gRes);
    auto* rRes = new QHBoxLayout(gRes);
    rRes->addWidget(InfoPanel, 1);
    rRes->addWidget(btnRescale);

    auto* gDepth = new QGroupBox("Color depth", this);
    RadioButton1 = new QRadioButton("24-bit  (max. 16777216 colors)", gDepth);
    RadioButton2 = new QRadioButton("16-bit  (max. 65536 colors)", gDepth);
    RadioButton3 = new QRadioButton("8-bit  (max. 256 colors)", gDepth);
    chkSinglePal = new QCheckBox("Reduce to single palette", gDepth);
    auto* rDepth = new QVBoxLayout(gDepth);
    rDepth->addWidget(RadioButton1);
    rDepth->addWidget(RadioButton2);
    rDepth->addWidget(RadioButton3);
    rDepth->addWidget(chkSinglePal);

    auto* gComp = new QGroupBox("Compression", this);
    chkCompressed = new QCheckBox("Compressed video", gComp);
    btnCompr = new QPushButton("Compression settings...", gComp);
    auto* rComp = new QHBoxLayout(gComp);
    rComp->addWidget(chkCompressed);
    rComp->addStretch();
    rComp->addWidget(btnCompr);

    auto* gSpeed = new QGroupBox("Playing speed", this);
    edFPS = new QLineEdit(gSpeed);
    edFPS->setMaximumWidth(70);
    auto* rSpeed = new QHBoxLayout(gSpeed);
    rSpeed->addWidget(new QLabel("Frame rate is", gSpeed));
    rSpeed->addWidget(edFPS);
    rSpeed->addWidget(new QLabel("frames per second", gSpeed));
    rSpeed->addStretch();

    auto* gSound = new QGroupBox("Sound", this);
    chkCopySound = new QCheckBox("Copy sound from source file (if possible)", gSound);
    auto* rSound = new QHBoxLayout(gSound);
    rSound->addWidget(chkCopySound);

    layout->addWidget(gRes);
    layout->addWidget(gDepth);
    layout->addWidget(gComp);
    layout->addWidget(gSpeed);
    layout->addWidget(gSound);
    layout->addLayout(OkCancelRow(this, btnOK, btnCancel));

    connect(RadioButton1, &QRadioButton::clicked, this, [this] { SinglePaletteRule(); });
    connect(RadioButton2, &QRadioButton::clicked, this, [this] { SinglePaletteRule(); });
    connect(RadioButton3, &QRadioButton::clicked, this, [this] { SinglePaletteRule(); });
    connect(btnRescale, &QPushButton::clicked, this, [this] { btnRescaleClick(); });
    connect(btnCompr, &QPushButton::clicked, this, [this] { btnComprClick(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    FixedDialog(this, layout);
}

void TfmOutOpt::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfmOutOpt::SinglePaletteRule() {
    chkSinglePal->setEnabled(Values.allowSinglePalette && RadioButton3->isEnabled() &&
                             RadioButton3->isChecked());
}

void TfmOutOpt::FormShow() {
    setWindowTitle(Values.extension + " Output Options");
    RadioButton1->setEnabled(Values.allow24);
    RadioButton2->setEnabled(Values.allow16);
    RadioButton3->setEnabled(Values.allow8);
    chkCompressed->setEnabled(Values.allowCompressed);
    btnCompr->setEnabled(Values.extension == "ZUV" || Values.extension == "AVI");
    edFPS->setEnabled(Values.frameRate > 0);
    ClampInt(Values.width, 16, 1600);
    ClampInt(Values.height, 16, 1200);
    ShowControls();
    busy_ = 0;
    shownWidth_ = Values.width;
    shownHeight_ = Values.height;
    shownBytes_ = Values.bytesPerPixel;
}

void TfmOutOpt::ShowControls() {
    InfoPanel->setText(QString("%1x%2").arg(Values.width).arg(Values.height));
    if (Values.bytesPerPixel == 1) RadioButton3->setChecked(true);
    if (Values.bytesPerPixel == 2) RadioButton2->setChecked(true);
    if (Values.bytesPerPixel == 3) RadioButton1->setChecked(true);
    chkCompressed->setChecked(Values.compressed);
    chkSinglePal->setChecked(Values.singlePalette);
    chkCopySound->setChecked(Values.copySound);
    edFPS->setText(QString::number(Values.frameRate, 'g', 15));
    SinglePaletteRule();
}

void TfmOutOpt::ReadControls() {
    if (RadioButton1->isChecked()) Values.bytesPerPixel = 3;
    else if (RadioButton2->isChecked()) Values.bytesPerPixel = 2;
    else if (RadioButton3->isChecked()) Values.bytesPerPixel = 1;
    // An AVI output keeps the 15 or 16 bits its compressor asked for.
    if (Values.extension != "AVI") Values.bitsPerPixel = 8 * Values.bytesPerPixel;
    Values.compressed = chkCompressed->isChecked();
    Values.singlePalette = chkSinglePal->isChecked();
    Values.copySound = chkCopySound->isChecked();
    Values.frameRate = TextToReal(edFPS->text());
    if (Values.width != shownWidth_ || Values.height != shownHeight_ || Values.bytesPerPixel != shownBytes_)
        Values.compressorPending = 1;
}

void TfmOutOpt::btnRescaleClick() {
    TfmEditXY& xy = fmEditXY();
    xy.setWindowTitle("Change Output Movie Size");
    xy.Values.width = Values.width;
    xy.Values.height = Values.height;
    xy.Values.inputWidth = Values.inputWidth;
    xy.Values.inputHeight = Values.inputHeight;
    xy.Values.input24 = Values.input24;
    ReadControls();
    xy.Values.output24 = Values.bytesPerPixel == 3;
    if (Ui().ExecDialog(xy) == QDialog::Accepted) {
        Values.width = xy.Values.width;
        Values.height = xy.Values.height;
        Values.useResample = xy.Values.useResample;
        Values.rescaleAtStart = xy.Values.rescaleAtStart;
    }
    ShowControls();
}

void TfmOutOpt::btnComprClick() { CompressionChoice(true); }

void TfmOutOpt::btnOKClick() {
    ReadControls();
    if (Values.compressorPending) CompressionChoice(false);
    accept();
}

void TfmOutOpt::CompressionChoice(bool askedExplicitly) {
    if (busy_) return;
    if (!askedExplicitly && Values.extension != "AVI") return;
    busy_ = 1;
    ReadControls();
    if (Values.extension == "ZUV") {
        TfmZUVOpt& zuv = fmZUVOpt();
        zuv.Values.fast = Values.fast;
        zuv.Values.dosPlayable = Values.dosPlayable;
        zuv.Values.keyFrameInterval = Values.keyFrameInterval;
        Ui().ExecDialog(zuv);
        Values.fast = zuv.Values.fast;
        Values.dosPlayable = zuv.Values.dosPlayable;
        Values.keyFrameInterval = zuv.Values.keyFrameInterval;
    } else {
        CompressorChoice choice;
        for (;;) {
            choice = AviCompressorChoice(Values.width, Values.height, Values.bytesPerPixel);
            if (!choice.unsupported) break;
            ShowFixedBox(FixedBox::Message, "That compression is not supported.");
        }
        if (choice.chosen) {
            Values.bitsPerPixel = choice.outputBits == 16 ? 15 : choice.outputBits;
            Values.bytesPerPixel = choice.outputBits == 8 ? 1 : 3;
            ShowControls();
            shownWidth_ = Values.width;
            shownHeight_ = Values.height;
            shownBytes_ = Values.bytesPerPixel;
            Values.compressorPending = 0;
        }
    }
    busy_ = 0;
}

// ---------------------------------------------------------------- output size

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

// ---------------------------------------------------------------- ZUV options

TfmZUVOpt::TfmZUVOpt(QWidget* parent) : QDialog(parent) {
    setWindowTitle("ZUV Compression");
    auto* layout = new QVBoxLayout(this);
    auto* gMethod = new QGroupBox("Compression Method", this);
    radFast = new QRadioButton("FAST (while experimenting)", gMethod);
    radBest = new QRadioButton("BEST (for finalization)", gMethod);
    auto* rMethod = new QVBoxLayout(gMethod);
    rMethod->addWidget(radFast);
    rMethod->addWidget(radBest);
    chkDOS = new QCheckBox("Playable with Ortelan (in DOS)", this);
    auto* gKey = new QGroupBox("Key Frames", this);
    Edit1 = new QLineEdit(gKey);
    Edit1->setMaximumWidth(60);
    auto* rKey = new QHBoxLayout(gKey);
    rKey->addWidget(new QLabel("Key frame every", gKey));
    rKey->addWidget(Edit1);
    rKey->addWidget(new QLabel("frames", gKey));
    rKey->addStretch();
    layout->addWidget(gMethod);
    layout->addWidget(chkDOS);
    layout->addWidget(gKey);
    layout->addLayout(OkCancelRow(this, btnOK, btnCancel));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    FixedDialog(this, layout);
}

void TfmZUVOpt::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfmZUVOpt::FormShow() {
    radFast->setChecked(Values.fast);
    radBest->setChecked(!Values.fast);
    chkDOS->setChecked(Values.dosPlayable);
    Edit1->setText(QString::number(Values.keyFrameInterval));
}

void TfmZUVOpt::FormClose() {
    Values.fast = radFast->isChecked();
    Values.dosPlayable = chkDOS->isChecked();
    Values.keyFrameInterval = IntOrDefault(Edit1->text(), Values.keyFrameInterval);
}

void TfmZUVOpt::done(int r) {
    FormClose();
    QDialog::done(r);
}

// ---------------------------------------------------------------- instances

namespace {
TfmInOpt* gInOpt = nullptr;
TfmOutOpt* gOutOpt = nullptr;
TfmEditXY* gEditXY = nullptr;
TfmZUVOpt* gZUVOpt = nullptr;
}  // namespace

void CreateOptionDialogs() {
    if (!gEditXY) gEditXY = new TfmEditXY;
    if (!gOutOpt) gOutOpt = new TfmOutOpt;
    if (!gZUVOpt) gZUVOpt = new TfmZUVOpt;
    if (!gInOpt) gInOpt = new TfmInOpt;
}

void DestroyOptionDialogs() {
    delete gInOpt;
    delete gOutOpt;
    delete gEditXY;
    delete gZUVOpt;
    gInOpt = nullptr;
    gOutOpt = nullptr;
    gEditXY = nullptr;
    gZUVOpt = nullptr;
}

TfmInOpt& fmInOpt() {
    CreateOptionDialogs();
    return *gInOpt;
}
TfmOutOpt& fmOutOpt() {
    CreateOptionDialogs();
    return *gOutOpt;
}
TfmEditXY& fmEditXY() {
    CreateOptionDialogs();
    return *gEditXY;
}
TfmZUVOpt& fmZUVOpt() {
    CreateOptionDialogs();
    return *gZUVOpt;
}

}  // namespace movaltic
