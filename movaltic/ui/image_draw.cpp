#include "movaltic/ui/image_draw.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <cstdlib>
#include <cstring>

namespace movaltic {

QImage DibToQImage(const DibPicture& dib) {
    const int height = std::abs(dib.height);
    if (!dib.bits || dib.width < 1 || height < 1) return QImage();
    QImage::Format format;
    switch (dib.bitCount) {
    case 8: format = QImage::Format_Indexed8; break;
    case 16: format = QImage::Format_RGB555; break;
    case 24: format = QImage::Format_BGR888; break;
    default: return QImage();
    }
    QImage image(dib.width, height, format);
    if (image.isNull()) return image;
    const int rowBytes = dib.width * dib.bitCount / 8;
    const bool topDown = dib.height < 0;
    for (int y = 0; y < height; ++y) {
        const int src = topDown ? y : height - 1 - y;
        std::memcpy(image.scanLine(y), dib.bits + int64_t(src) * dib.stride, size_t(rowBytes));
    }
    if (dib.bitCount == 8) {
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i)
            table[i] = qRgb(dib.colorTable[4 * i + 2], dib.colorTable[4 * i + 1], dib.colorTable[4 * i]);
        image.setColorTable(table);
    }
    return image;
}

void QtFrameSink::SetDIBitsToDevice(int32_t x, int32_t y, const DibPicture& dib) {
    QImage image = DibToQImage(dib);
    if (!image.isNull()) painter_.drawImage(x, y, image);
}

QImage FrameToQImage(const imagerec& frame) {
    DibPicture dib;
    if (!ImageToDib(frame, false, dib)) return QImage();
    return DibToQImage(dib);
}

void ImageDraw(const imagerec& frame, QPainter& painter, int x, int y) {
    QtFrameSink sink(painter);
    ImageDraw(frame, static_cast<FrameSink&>(sink), x, y);
}

void DrawPreviewCentered(const imagerec& frame, QImage& canvas) {
    QPainter painter(&canvas);
    painter.fillRect(canvas.rect(), QApplication::palette().color(QPalette::Button));
    int x = (canvas.width() - frame.width) / 2;
    int y = (canvas.height() - frame.height) / 2;
    ImageDraw(frame, painter, x < 0 ? 0 : x, y < 0 ? 0 : y);
}

}  // namespace movaltic
