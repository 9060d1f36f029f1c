// The About box: the program name in its caption and the stored picture.
#pragma once

#include <QDialog>
#include <QImage>
#include <cstddef>
#include <cstdint>

#include "movaltic/imaging/basic.h"

class QLabel;
class QPushButton;

namespace movaltic {

constexpr int32_t kAboutWidth = 400;
constexpr int32_t kAboutHeight = 240;

// The picture as the program stores it: a 768-byte R,G,B palette followed by
// the 400 x 240 one-byte pixels packed as one BEST strip, bottom row first.
extern const uint8_t AboutPicture[];
extern const size_t AboutPictureSize;

// Fills a frame created for 400 x 240 x 1 from the stored picture. ErrCode
// 1000 when the frame is too small or the stored strip does not unpack.
void LoadAboutPicture(imagerec& frame);

class TfmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfmSplash(QWidget* parent = nullptr);

    QLabel* Image1;
    QPushButton* btnContinue;
    uint8_t AboutPalette[768] = {};
    QImage Picture;  // what Image1 shows

    // Continue is also the cancel button: Esc closes the box with OK.
    void reject() override { accept(); }
};

}  // namespace movaltic
