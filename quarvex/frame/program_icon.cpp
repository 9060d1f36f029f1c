#include "quarvex/frame/program_icon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstdlib>

// The picture lives in this static library; the resource must be registered
// before first use wherever the library is linked, program or test.
static void registerPictureResource() { Q_INIT_RESOURCE(title1); }

namespace quarvex {

namespace {

// A picture of thin lines and small dots, scaled down by averaging, fades
// into its background at title-bar size. Each icon pixel takes instead the
// colour in its part of the picture that stands out most from the background.
QImage reduceKeepingInk(const QImage& picture, QRgb background, int side) {
    auto distance = [background](QRgb c) {
        return std::abs(qRed(c) - qRed(background)) + std::abs(qGreen(c) - qGreen(background)) +
               std::abs(qBlue(c) - qBlue(background));
    };
    QImage out(side, side, QImage::Format_ARGB32);
    const int from = picture.width();
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            QRgb best = background;
            const int x0 = x * from / side, x1 = std::max(x0 + 1, (x + 1) * from / side);
            const int y0 = y * from / side, y1 = std::max(y0 + 1, (y + 1) * from / side);
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    if (distance(picture.pixel(sx, sy)) > distance(best)) best = picture.pixel(sx, sy);
            out.setPixel(x, y, best);
        }
    }
    return out;
}

QIcon makeProgramIcon() {
    registerPictureResource();
    const QImage picture =
        QImage(QStringLiteral(":/frame/title1.png")).convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull()) return {};
    // The drawing is what differs from the picture's background; the margins
    // around it would only shrink it further in a title bar.
    const QRgb background = picture.pixel(0, 0);
    QRect ink;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != background) ink |= QRect(x, y, 1, 1);
    if (ink.isEmpty()) ink = picture.rect();
    const int side = std::max(ink.width(), ink.height());
    QImage square(side, side, QImage::Format_ARGB32);
    square.fill(background);
    QPainter p(&square);
    p.drawImage(QPoint((side - ink.width()) / 2, (side - ink.height()) / 2), picture.copy(ink));
    p.end();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(QPixmap::fromImage(reduceKeepingInk(square, background, size)));
    icon.addPixmap(QPixmap::fromImage(square));
    return icon;
}

}  // namespace

QIcon ProgramIcon() {
    static const QIcon icon = makeProgramIcon();
    return icon;
}

}  // namespace quarvex
