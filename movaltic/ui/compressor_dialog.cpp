#include "movaltic/ui/compressor_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <memory>

#include "movaltic/formats/avi_movie.h"
#include "movaltic/imaging/basic.h"
#include "movaltic/ui/ui_host.h"
#include "movaltic/ui/win_utils.h"

namespace movaltic {

TfmCompressor::TfmCompressor(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Select AVI Video Compression");
    cbCompressor = new QComboBox(this);
    for (const AviCompressor& c : AviCompressorList()) cbCompressor->addItem(c.name);
    sbQuality = new QSlider(Qt::Horizontal, this);
    sbQuality->setRange(0, 100);
    lblQuality = new QLabel(this);
    lblQuality->setMinimumWidth(30);
    chkKeyFrames = new QCheckBox("Key frame every", this);
    edKeyFrames = new QSpinBox(this);
    edKeyFrames->setRange(1, 9999);
    chkDataRate = new QCheckBox("Data rate", this);
    edDataRate = new QSpinBox(this);
    edDataRate->setRange(1, 999999);
    edDataRate->setSuffix(" KB/sec");

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Compressor:", this), 0, 0);
    grid->addWidget(cbCompressor, 0, 1, 1, 2);
    lblQualityTitle = new QLabel("Compression Quality:", this);
    grid->addWidget(lblQualityTitle, 1, 0);
    grid->addWidget(sbQuality, 1, 1);
    grid->addWidget(lblQuality, 1, 2);
    grid->addWidget(chkKeyFrames, 2, 0);
    grid->addWidget(edKeyFrames, 2, 1);
    grid->addWidget(new QLabel("frames", this), 2, 2);
    grid->addWidget(chkDataRate, 3, 0);
    grid->addWidget(edDataRate, 3, 1);

    btnOK = new QPushButton("OK", this);
    btnCancel = new QPushButton("Cancel", this);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(btnOK);
    row->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cbCompressor, &QComboBox::currentIndexChanged, this, [this] { CompressorChange(); });
    connect(sbQuality, &QSlider::valueChanged, this, [this](int v) { lblQuality->setText(QString::number(v)); });
    connect(chkKeyFrames, &QCheckBox::toggled, this, [this] { CompressorChange(); });
    connect(chkDataRate, &QCheckBox::toggled, this, [this] { CompressorChange(); });
    SetupDialogForm(this);
}

void TfmCompressor::CompressorChange() {
    const auto& list = AviCompressorList();
    int i = cbCompressor->currentIndex();
    if (i < 0 || size_t(i) >= list.size()) return;
    const AviCompressor& c = list[size_t(i)];
    // A greyed slider hardly differs from a live one: its caption and value
    // grey with it, so a compressor without a quality setting shows none.
    for (QWidget* w : std::initializer_list<QWidget*>{lblQualityTitle, sbQuality, lblQuality})
        w->setEnabled(c.hasQuality);
    chkKeyFrames->setEnabled(c.hasKeyFrames);
    edKeyFrames->setEnabled(c.hasKeyFrames && chkKeyFrames->isChecked());
    chkDataRate->setEnabled(c.hasDataRate);
    edDataRate->setEnabled(c.hasDataRate && chkDataRate->isChecked());
}

void TfmCompressor::ShowSettings(const AviCompressionSettings& s) {
    cbCompressor->setCurrentIndex(int(s.compressor));
    sbQuality->setValue(s.quality / 100);
    lblQuality->setText(QString::number(sbQuality->value()));
    chkKeyFrames->setChecked(s.keyFrameEvery > 0);
    edKeyFrames->setValue(s.keyFrameEvery > 0 ? s.keyFrameEvery : 15);
    chkDataRate->setChecked(s.dataRate > 0);
    edDataRate->setValue(s.dataRate > 0 ? s.dataRate : 300);
    CompressorChange();
}

AviCompressionSettings TfmCompressor::ReadSettings() const {
    AviCompressionSettings s;
    s.compressor = size_t(std::max(cbCompressor->currentIndex(), 0));
    s.quality = sbQuality->value() * 100;
    s.keyFrameEvery = chkKeyFrames->isChecked() ? edKeyFrames->value() : 0;
    s.dataRate = chkDataRate->isChecked() ? edDataRate->value() : 0;
    return s;
}

namespace {
TfmCompressor* gCompressor = nullptr;

// The AVI writer asks through this: the dialog starts from the settings it
// hands in and gives them back on OK.
bool ShowCompressorDialog(const AviCompressorRequest& request, AviCompressionSettings& settings) {
    TfmCompressor& dlg = fmCompressor();
    dlg.setWindowTitle(request.title);
    dlg.ShowSettings(settings);
    if (Ui().ExecDialog(dlg) != QDialog::Accepted) return false;
    settings = dlg.ReadSettings();
    return true;
}
}

void DestroyCompressorDialog() {
    delete gCompressor;
    gCompressor = nullptr;
}

TfmCompressor& fmCompressor() {
    if (!gCompressor) gCompressor = new TfmCompressor;
    return *gCompressor;
}

CompressorChoice AviCompressorChoice(int32_t width, int32_t height, int32_t bytesPerPixel) {
    CompressorChoice choice;
    SetAviCompressorDialog(ShowCompressorDialog);
    AviChooseCompressor(width, height, bytesPerPixel);
    if (ErrCode > 0) return choice;
    const size_t index = AviCompression.settings.compressor;
    // Also a compressor that cannot take frames of this depth at all.
    if (AviCompression.unsupported || !AviCompressorAccepts(index, bytesPerPixel)) {
        choice.unsupported = true;
        return choice;
    }
    choice.chosen = true;
    choice.outputBits = AviCompressorOutputBits(index, bytesPerPixel);
    return choice;
}

bool AviChoiceWrites(int32_t bytesPerPixel) {
    return !AviCompression.unsupported && AviCompressorAccepts(AviCompression.settings.compressor, bytesPerPixel);
}

int32_t AviOutputBits(int32_t bytesPerPixel) {
    int32_t stream = AviCompressorOutputBits(AviCompression.settings.compressor, bytesPerPixel);
    // A 16-bit stream counts as 15 bits, as the compressor choice counts it.
    if (stream == 16) stream = 15;
    const int32_t frames = bytesPerPixel == 1 ? 8 : bytesPerPixel == 2 ? 15 : 24;
    return std::min(frames, stream);
}

}  // namespace movaltic
