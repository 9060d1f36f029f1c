// The output options dialog (TfmOutOpt): depth, palette, rescaling and compression.
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

#include "movaltic/formats/avi_movie.h"
#include "movaltic/imaging/basic.h"
#include "movaltic/ui/compressor_dialog.h"
#include "movaltic/ui/ui_host.h"
#include "movaltic/ui/win_utils.h"

namespace movaltic {

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
        // A refused choice is already in effect when it is refused: a Cancel
        // after it puts back the compressor that was in effect before.
        const AviCompressionChoice before = AviCompression;
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
        } else {
            AviCompression = before;
            // The depth goes back with it when that compressor cannot write
            // the new one; when it cannot write either, the main window
            // drops the output rather than let GO fail.
            if (!AviChoiceWrites(Values.bytesPerPixel) && AviChoiceWrites(shownBytes_)) {
                Values.bytesPerPixel = shownBytes_;
                ShowControls();
            }
        }
    }
    busy_ = 0;
}

}  // namespace movaltic
