// Frames onto the screen. The imaging side turns a frame into a
// device-independent bitmap (ImageToDib) and hands it to a FrameSink; the
// sink here paints it with Qt: 8-bit pictures as indexed images with their
// colour table, 24-bit as B,G,R, 16-bit as the 15-bit layout.
#pragma once

#include <QImage>

#include "movaltic/imaging/basic.h"

class QPainter;

namespace movaltic {

// A true-colour Qt canvas: never palette-based.
class QtFrameSink : public FrameSink {
public:
    explicit QtFrameSink(QPainter& painter) : painter_(painter) {}
    bool UsesPalette() const override { return false; }
    void RealisePalette(const uint8_t*) override {}
    void SetDIBitsToDevice(int32_t x, int32_t y, const DibPicture& dib) override;

private:
    QPainter& painter_;
};

// The picture of a bitmap, the right way up; null for an unknown bit count.
QImage DibToQImage(const DibPicture& dib);
// A null image when the frame has no pixels.
QImage FrameToQImage(const imagerec& frame);
// Draws the frame with its top-left corner at (x, y). Nothing without pixels.
void ImageDraw(const imagerec& frame, QPainter& painter, int x, int y);
// The preview boxes: the canvas filled with the button-face colour and the
// frame centred in it (offsets below 0 taken as 0).
void DrawPreviewCentered(const imagerec& frame, QImage& canvas);

}  // namespace movaltic
