#include "quarvex/frame/about.h"

#include "quarvex/frame/mdi_form1.h"
#include "quarvex/sheets/modeless_dialog.h"
#include "quarvex/state/program_state.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvex {

namespace {

QPointer<About> gAbout;

// The program's picture: a ternary diagram with a few plotted samples,
// drawn here so the box needs no image file.
QPixmap aboutPicture() {
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF top(48, 10), left(8, 80), right(88, 80);
    QPainterPath triangle;
    triangle.moveTo(top);
    triangle.lineTo(right);
    triangle.lineTo(left);
    triangle.closeSubpath();
    p.fillPath(triangle, QColor(235, 242, 250));
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.drawPath(triangle);
    p.setPen(QPen(QColor(0, 0, 128), 1, Qt::DotLine));
    for (double t : {1.0 / 3, 2.0 / 3}) {
        const QPointF a = top + (left - top) * t, b = top + (right - top) * t;
        p.drawLine(a, b);
    }
    const QColor colors[] = {QColor(200, 0, 0), QColor(0, 128, 64), QColor(255, 128, 0), QColor(128, 0, 128)};
    const QPointF points[] = {{40, 50}, {55, 60}, {48, 38}, {30, 68}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colors[i]);
        p.drawEllipse(points[i], 4, 4);
    }
    return pixmap;
}

}  // namespace

QString About::AboutText() {
    return QStringLiteral(
        "Quarvex V1.0\r"
        "Plots, norms and classifies rock and mineral analyses.\r"
        "\r"
        "Ternary, diamond, XY and classification diagrams,\r"
        "norm calculations and rock names from your data sheets.\r"
        "\r"
        "Press F1 or use the Help menu for help.");
}

About* About::Show() { return ShowModeless(gAbout); }

About* About::Instance() { return gAbout; }

About::About(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Quarvex"));
    setModal(false);
    Picture1 = new QLabel(this);
    Picture1->setPixmap(aboutPicture());
    Picture1->setAlignment(Qt::AlignTop);
    Panel3D1 = new QLabel(this);
    Panel3D1->setFrameShape(QFrame::Panel);
    Panel3D1->setFrameShadow(QFrame::Sunken);
    Panel3D1->setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    Panel3D1->setMargin(8);
    Command3D1 = new QPushButton(QStringLiteral("OK"), this);
    Command3D1->setDefault(true);
    connect(Command3D1, &QPushButton::clicked, this, qvrt::Guarded([this](bool) { Command3D1_Click(); }));
    auto* top = new QHBoxLayout;
    top->addWidget(Picture1);
    top->addWidget(Panel3D1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Command3D1, 0, Qt::AlignHCenter);
}

void About::Form_Load() {
    qvrt::HourglassPointer busy;
    raise();
    caption_ = AboutText();
    // The panel shows the carriage returns as line breaks.
    Panel3D1->setText(QString(caption_).replace(u'\r', u'\n'));
    // Across on the width kept at start, down on the screen's height now.
    CentreOnScreen(*this, ScreenWidthTwips, qvrt::host().ScreenHeightTwips());
}

void About::Command3D1_Click() { close(); }

}  // namespace quarvex
