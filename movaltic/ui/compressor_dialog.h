// "Select AVI Video Compression": the compressor list of the AVI writer with
// its quality, key-frame and data-rate options. The choice serves every AVI
// output written until the next choice.
#pragma once

#include <QDialog>
#include <cstdint>

#include "movaltic/formats/avi_codec.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace movaltic {

class TfmCompressor : public QDialog {
    Q_OBJECT
public:
    explicit TfmCompressor(QWidget* parent = nullptr);

    QComboBox* cbCompressor;
    QLabel* lblQualityTitle;  // "Compression Quality:", greyed with the slider
    QSlider* sbQuality;
    QLabel* lblQuality;
    QCheckBox* chkKeyFrames;
    QSpinBox* edKeyFrames;
    QCheckBox* chkDataRate;
    QSpinBox* edDataRate;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void ShowSettings(const AviCompressionSettings& settings);
    AviCompressionSettings ReadSettings() const;
    void CompressorChange();
};

struct CompressorChoice {
    bool chosen = false;       // OK pressed on a compressor that can be used
    bool unsupported = false;  // OK pressed on one that cannot code these frames
    int32_t outputBits = 24;   // bit count of the chosen compressor's stream
};

// One offer of the dialog for frames of the given size and depth. ErrCode 0
// when a compressor was chosen, 1000 when the dialog was cancelled.
CompressorChoice AviCompressorChoice(int32_t width, int32_t height, int32_t bytesPerPixel);

// Whether the compressor in effect can write frames of that depth, and the
// colours (as bits per pixel) an AVI output of that depth then holds: the
// fewer of the frames' and the coded stream's.
bool AviChoiceWrites(int32_t bytesPerPixel);
int32_t AviOutputBits(int32_t bytesPerPixel);

TfmCompressor& fmCompressor();
void DestroyCompressorDialog();

}  // namespace movaltic
