#include "movaltic/ui/about_box.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "movaltic/formats/zuv_codec.h"
#include "movaltic/ui/image_draw.h"
#include "movaltic/ui/win_utils.h"

namespace movaltic {

void LoadAboutPicture(imagerec& frame) {
    ErrCode = 0;
    const int64_t bytes = int64_t(kAboutWidth) * kAboutHeight;
    if (!frame.pixels || frame.size < bytes || AboutPictureSize < 768) {
        ErrCode = kErrMemory;
        return;
    }
    std::memcpy(frame.palette, AboutPicture, 768);
    if (!CodecUnpackStrip(AboutPicture + 768, AboutPictureSize - 768, frame.pixels, kAboutWidth,
                          kAboutHeight, 1)) {
        ErrCode = kErrMemory;
        return;
    }
    frame.width = kAboutWidth;
    frame.height = kAboutHeight;
    frame.bytesPerPixel = 1;
    frame.bitsPerPixel = 8;
    frame.topDown = 0;
}

TfmSplash::TfmSplash(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Movaltic");
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(2);
    Image1 = new QLabel(panel);
    Image1->setFixedSize(kAboutWidth, kAboutHeight);
    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(2, 2, 2, 2);
    inner->addWidget(Image1);
    btnContinue = new QPushButton("Continue", this);
    btnContinue->setDefault(true);
    connect(btnContinue, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(btnContinue);
    row->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    imagerec frame;
    ImageCreate(frame, kAboutWidth, kAboutHeight, 1);
    if (frame.pixels) {
        LoadAboutPicture(frame);
        if (ErrCode == 0) {
            std::memcpy(AboutPalette, frame.palette, 768);
            Picture = QImage(kAboutWidth, kAboutHeight, QImage::Format_RGB32);
            Picture.fill(Qt::black);
            QPainter painter(&Picture);
            ImageDraw(frame, painter, 0, 0);
        }
    }
    ImageFree(frame);
    Image1->setPixmap(QPixmap::fromImage(Picture));
    SetupDialogForm(this);
}


}  // namespace movaltic
