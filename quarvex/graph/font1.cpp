#include "quarvex/graph/font1.h"

#include "quarvex/graph/format_dialogs.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/fonts.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/surface.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvex {

const std::array<uint32_t, 14> kFontPanelColors = {
    RGB(0, 0, 0),     RGB(0, 255, 255), RGB(0, 128, 128), RGB(0, 0, 255),   RGB(0, 64, 128),
    RGB(255, 0, 0),   RGB(255, 0, 255), RGB(255, 255, 0), RGB(128, 255, 128), RGB(0, 128, 0),
    RGB(0, 64, 0),    RGB(127, 127, 127), RGB(128, 0, 0), RGB(128, 0, 128),
};

namespace {

constexpr int kSizes[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18};
const QString kFontError = QStringLiteral("Font Error");

// Raises Invalid property value (380) for what no surface can draw text
// in: an unknown name, a symbol face, or a size outside (0, 2160].
qvrt::FontFace CheckDrawable(const QString& name, double size) {
    const qvrt::FontFace face = qvrt::ResolveFont(name);
    if (face.kind != qvrt::FontKind::Text) qvrt::Raise(qvrt::ErrInvalidProperty);
    if (!(size > 0 && size <= 2160)) qvrt::Raise(qvrt::ErrInvalidProperty);
    return face;
}

void ShowFontError(const std::exception& e, const QString& invalidPropertyText) {
    const auto* rt = dynamic_cast<const qvrt::RuntimeError*>(&e);
    if (rt && rt->number() == qvrt::ErrDialogCancelled) return;
    const QString text = rt && rt->number() == qvrt::ErrInvalidProperty ? invalidPropertyText
                                                                         : QString::fromStdString(e.what());
    qvrt::host().MsgBox(text, qvrt::vbExclamation, kFontError);
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

// Every event of the dialog ends in one handler with its own message for
// a font that cannot be drawn.
template <typename F>
void Trapped(const QString& invalidPropertyText, F&& step) {
    try {
        step();
    } catch (const std::exception& e) {
        ShowFontError(e, invalidPropertyText);
    }
}

const QString kRefreshMessage = QStringLiteral("This font is not available. Please select a True Type font");
const QString kButtonMessage = QStringLiteral("Please select a True Type font");

}  // namespace

Font1::Font1(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Fonts"));
    setModal(true);
    Frame3D1 = new QGroupBox(this);
    auto* upper = new QGridLayout(Frame3D1);
    Panel3D1[0] = new QLabel(QStringLiteral("Fonts"), Frame3D1);
    Panel3D1[1] = new QLabel(QStringLiteral("Size"), Frame3D1);
    Combo1 = new QComboBox(Frame3D1);
    Combo1->setEditable(true);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo2 = new QComboBox(Frame3D1);
    Combo2->setEditable(true);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    const char* checks[3] = {"Bold", "Italic", "Underline"};
    for (int i = 0; i < 3; ++i) Check3D1[i] = new QCheckBox(QString::fromLatin1(checks[i]), Frame3D1);
    Panel3D3 = new QLabel(Frame3D1);
    Panel3D3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel3D3->setAlignment(Qt::AlignCenter);
    Panel3D3->setMinimumSize(160, 48);
    upper->addWidget(Panel3D1[0], 0, 0);
    upper->addWidget(Panel3D1[1], 0, 1);
    upper->addWidget(Combo1, 1, 0);
    upper->addWidget(Combo2, 1, 1);
    auto* checkRow = new QHBoxLayout;
    for (QCheckBox* c : Check3D1) checkRow->addWidget(c);
    upper->addLayout(checkRow, 2, 0, 1, 2);
    upper->addWidget(Panel3D3, 3, 0, 1, 2);

    Frame3D2 = new QGroupBox(this);
    auto* colours = new QGridLayout(Frame3D2);
    for (int i = 0; i < 14; ++i) {
        Panel3D2[i] = new QLabel(Frame3D2);
        Panel3D2[i]->setObjectName(QStringLiteral("Panel3D2(%1)").arg(i));
        Panel3D2[i]->setFixedSize(22, 22);
        Panel3D2[i]->setAutoFillBackground(true);
        Panel3D2[i]->setFrameStyle(QFrame::Panel | QFrame::Raised);
        Panel3D2[i]->installEventFilter(this);
        colours->addWidget(Panel3D2[i], i / 7, i % 7);
    }
    Command3D2[0] = new QPushButton(QStringLiteral("Cancel"), this);
    Command3D2[1] = new QPushButton(QStringLiteral("OK"), this);
    Command3D2[1]->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command3D2[1]);
    buttons->addWidget(Command3D2[0]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame3D1);
    layout->addWidget(Frame3D2);
    layout->addLayout(buttons);

    connect(Combo1, &QComboBox::activated, this, qvrt::Guarded([this](int) { Combo1_Click(); }));
    connect(Combo2, &QComboBox::activated, this, qvrt::Guarded([this](int) { Combo2_Click(); }));
    for (int i = 0; i < 3; ++i)
        connect(Check3D1[i], &QCheckBox::clicked, this, qvrt::Guarded([this, i](bool) { Check3D1_Click(i); }));
    for (int i = 0; i < 2; ++i)
        connect(Command3D2[i], &QPushButton::clicked, this, qvrt::Guarded([this, i](bool) { Command3D2_Click(i); }));
}

bool Font1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 14; ++i) {
            if (watched == Panel3D2[i]) {
                qvrt::Guard([&] { Panel3D2_Click(i); });
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Font1::ShowModal(QWidget* parent) {
    Font1 dialog(parent);
    dialog.Form_Load();
    if (RunModal) RunModal(dialog);
    else dialog.exec();
}

void Font1::Form_Load() {
    Trapped(kRefreshMessage, [&] {
        raise();
        DialogCancelled = 0;
        CentreDialog(*this);
        Combo1->setEditText(QStringLiteral("Arial"));
        Combo2->setEditText(QStringLiteral("8"));
        // Underline only changes the sample, so it is left out of the tab order.
        Check3D1[2]->setFocusPolicy(Qt::ClickFocus);
        for (int i = 0; i < 14; ++i) {
            QPalette pal = Panel3D2[i]->palette();
            const uint32_t c = kFontPanelColors[i];
            pal.setColor(QPalette::Window, QColor(qvrt::RedOf(c), qvrt::GreenOf(c), qvrt::BlueOf(c)));
            Panel3D2[i]->setPalette(pal);
        }
        // Only faces that draw letters: the symbol faces hold plot symbols.
        for (const QString& name : qvrt::AvailableFontNames()) {
            const auto face = qvrt::LookUpFont(name);
            if (face && face->kind == qvrt::FontKind::Text) Combo1->addItem(name);
        }
        Combo1->setEditText(QStringLiteral("Arial"));
        fillSizes();
        Combo2->setEditText(QStringLiteral("8"));
    });
}

// The sizes of the list; a family that does not scale offers only the
// sizes it has.
void Font1::fillSizes() {
    Combo2->clear();
    const auto face = qvrt::LookUpFont(Combo1->currentText());
    QList<int> own;
    if (face && !face->family.isEmpty() && !QFontDatabase::isSmoothlyScalable(face->family))
        own = QFontDatabase::pointSizes(face->family);
    for (int size : kSizes) {
        if (own.isEmpty() || own.contains(size)) Combo2->addItem(QStringLiteral(" %1").arg(size));
    }
}

void Font1::readControls() {
    FontChoice.Name = Combo1->currentText();
    FontChoice.Size = static_cast<float>(qvrt::Val(Combo2->currentText()));
    FontChoice.Bold = Check3D1[0]->isChecked() ? -1 : 0;
    FontChoice.Italic = Check3D1[1]->isChecked() ? -1 : 0;
}

void Font1::refresh() {
    readControls();
    const qvrt::FontFace face = CheckDrawable(FontChoice.Name, FontChoice.Size);
    QFont font = qvrt::MakeQFont(face, FontChoice.Size, FontChoice.Bold != 0, FontChoice.Italic != 0);
    font.setUnderline(Check3D1[2]->isChecked());
    Panel3D3->setFont(font);
    const auto c = static_cast<uint32_t>(std::llround(FontChoice.Color));
    // The sample shows the text as the white diagram will: a dark palette's
    // background would hide a dark font colour.
    Panel3D3->setStyleSheet(QStringLiteral("color: rgb(%1, %2, %3); background: white;")
                                .arg(qvrt::RedOf(c))
                                .arg(qvrt::GreenOf(c))
                                .arg(qvrt::BlueOf(c)));
    Panel3D3->setText(QStringLiteral("Sample"));
}

void Font1::Combo1_Click() {
    Trapped(kRefreshMessage, [&] {
        const QString size = Combo2->currentText();
        fillSizes();
        Combo2->setEditText(size);
        refresh();
    });
}

void Font1::Combo2_Click() { Trapped(kRefreshMessage, [&] { refresh(); }); }

void Font1::Check3D1_Click(int) { Trapped(kRefreshMessage, [&] { refresh(); }); }

void Font1::Panel3D2_Click(int index) {
    Trapped(kRefreshMessage, [&] {
        Panel3D2[SelectedColourPanel]->setFrameStyle(QFrame::Panel | QFrame::Raised);
        Panel3D2[index]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        Panel3D2[index]->setLineWidth(3);
        if (SelectedColourPanel != index) Panel3D2[SelectedColourPanel]->setLineWidth(1);
        SelectedColourPanel = index;
        FontChoice.Color = kFontPanelColors[index];
        refresh();
    });
}

void Font1::Command3D2_Click(int index) {
    Trapped(kButtonMessage, [&] {
        if (index == 1) {
            readControls();
            // A size of 0 or a name no surface can draw would fail later in
            // every drawing of the caller; it is refused here instead.
            CheckDrawable(FontChoice.Name, FontChoice.Size);
            done(QDialog::Accepted);
        } else if (index == 0) {
            DialogCancelled = -1;
            FontChoice.TitleFlag = 0;
            done(QDialog::Rejected);
        }
    });
}

// Escape and the close box count as Cancel.
void Font1::reject() { Command3D2_Click(0); }

}  // namespace quarvex
