#include "quarvex/frame/title1.h"

#include "quarvex/frame/mdi_form1.h"
#include "quarvex/runtime/fonts.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

namespace quarvex {

namespace {

constexpr double kSplashWidthTwips = 5655;
constexpr double kSplashHeightTwips = 4275;

QFont fontFor(const QString& name, double size) {
    if (auto face = qvrt::LookUpFont(name); face && face->kind == qvrt::FontKind::Text)
        return qvrt::MakeQFont(*face, size, false, false);
    QFont f;  // a name this machine has no stand-in for: the default face, same size
    f.setPointSizeF(size);
    return f;
}

}  // namespace

void ComputeScreenScale(float widthTwips, float heightTwips, double* scaleX, double* scaleY) {
    // 9700, not 9600: a screen a little wider than 640 pixels keeps factor 1.
    if (widthTwips > 9700) {
        *scaleX = static_cast<float>(widthTwips / 9600.0f);
        *scaleY = static_cast<float>(heightTwips / 7200.0f);
    } else {
        *scaleX = 1;
        *scaleY = 1;
    }
}

Title1::Title1(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    const double tx = qvrt::host().TwipsPerPixelX(), ty = qvrt::host().TwipsPerPixelY();
    setFixedSize(qRound(kSplashWidthTwips / tx), qRound(kSplashHeightTwips / ty));
    setFont(fontFor(QStringLiteral("MS Sans Serif"), 8.25));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xf4, 0xf1, 0xe8));
    pal.setColor(QPalette::WindowText, Qt::black);  // the light background keeps its dark text on any palette
    setPalette(pal);

    auto* layout = new QVBoxLayout(this);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(QPixmap(QStringLiteral(":/frame/title1.png")));
    Picture1->setAlignment(Qt::AlignCenter);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(fontFor(QStringLiteral("MS Serif"), 18));
    Label2->setAlignment(Qt::AlignCenter);
    layout->addWidget(Picture1, 1);
    layout->addWidget(Label2);
    // Clicks on the picture and label reach the splash itself.
    Picture1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Label2->setAttribute(Qt::WA_TransparentForMouseEvents);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] { qvrt::Guard([this] { Timer1_Timer(); }); });
}

void Title1::Form_Load() {
    qvrt::Host& h = qvrt::host();
    const double tx = h.TwipsPerPixelX(), ty = h.TwipsPerPixelY();
    const double screenW = h.ScreenWidthTwips(), screenH = h.ScreenHeightTwips();
    move(qRound((screenW / 2 - kSplashWidthTwips / 2) / tx), qRound((screenH / 2 - kSplashHeightTwips / 2) / ty));
    ScreenWidthTwips = static_cast<float>(screenW);
    ScreenHeightTwips = static_cast<float>(screenH);
    ComputeScreenScale(ScreenWidthTwips, ScreenHeightTwips, &ScreenScaleX, &ScreenScaleY);
    AutoScale = -1;
    SetDefaultColumnAssignment();
    DefaultColor = RGB(0, 0, 128);
    PlotFromMemory = 0;
    SheetCounter = 0;
    NoSampleLabels = -1;
    ResetWindowTables();
    WindowTable[0].Saved = 0;
    WindowTable[0].Modified = 0;
    CurrentDataWindow = 0;
    Label2->setText(QStringLiteral("Quarvex V1.0"));
    move(qRound((ScreenWidthTwips / 2 - kSplashWidthTwips / 2) / tx), y());
    {
        qvrt::HourglassPointer busy;
        Timer1->stop();  // no automatic time-out: the splash waits for the user
    }
}

void Title1::Form_Click() { unload(); }
void Title1::Form_KeyPress(int) { unload(); }
void Title1::Timer1_Timer() { unload(); }

void Title1::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Form_Unload();
    close();
}

void Title1::Form_Unload() {
    Timer1->stop();
    MDIForm1::ShowFrame();
}

void Title1::mousePressEvent(QMouseEvent*) { Form_Click(); }

void Title1::keyPressEvent(QKeyEvent* event) {
    // Only keys that type a character close the splash, as KeyPress did.
    if (!event->text().isEmpty() && event->text()[0].isPrint()) Form_KeyPress(event->text()[0].unicode());
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape ||
             event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Tab)
        Form_KeyPress(event->text().isEmpty() ? 13 : event->text()[0].unicode());
}

}  // namespace quarvex
