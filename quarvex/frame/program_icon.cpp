#include "quarvex/frame/program_icon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

// The picture lives in this static library; the resource must be registered
// before first use wherever the library is linked, program or test.
static void registerPictureResource() { Q_INIT_RESOURCE(title1); }

namespace quarvex {

namespace {

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
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(background);
    QPainter p(&square);
    p.drawImage(QPoint((side - ink.width()) / 2, (side - ink.height()) / 2), picture.copy(ink));
    p.end();
    return QIcon(QPixmap::fromImage(square));
}

}  // namespace

QIcon ProgramIcon() {
    static const QIcon icon = makeProgramIcon();
    return icon;
}

}  // namespace quarvex
