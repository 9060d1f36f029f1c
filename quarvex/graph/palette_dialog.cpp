#include "quarvex/graph/palette_dialog.h"

#include "quarvex/graph/format_dialogs.h"
#include "quarvex/runtime/guard.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvex {

PaletteDialog::PaletteDialog(const QString& caption, const std::vector<const char*>& buttons, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(caption);
    setModal(false);
    Frame3D1 = new QGroupBox(this);
    auto* row = new QHBoxLayout;
    for (const char* b : buttons) {
        Command3D1.push_back(new QPushButton(QString::fromLatin1(b), this));
        row->addWidget(Command3D1.back());
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame3D1);
    layout->addLayout(row);
}

void PaletteDialog::AddPanels(const std::array<QLabel*, 14>& panels) {
    auto* grid = new QGridLayout(Frame3D1);
    for (int i = 0; i < 14; ++i) {
        Panel3D1[i] = panels[i];
        Panel3D1[i]->setObjectName(QStringLiteral("Panel3D1(%1)").arg(i));
        Panel3D1[i]->setFixedSize(30, 30);
        Panel3D1[i]->setFrameStyle(QFrame::Panel | QFrame::Raised);
        Panel3D1[i]->setLineWidth(1);
        Panel3D1[i]->installEventFilter(this);
        grid->addWidget(Panel3D1[i], i / 7, i % 7);
    }
}

bool PaletteDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 14; ++i) {
            if (watched == Panel3D1[i]) {
                qvrt::Guard([&] { Panel3D1_Click(i); });
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PaletteDialog::Panel3D1_Click(int index) {
    Panel3D1[MarkedIndex]->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel3D1[MarkedIndex]->setLineWidth(1);
    Panel3D1[index]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel3D1[index]->setLineWidth(3);
    ChosenNumber = static_cast<int16_t>(index + 1);
    MarkedIndex = static_cast<int16_t>(index);
}

bool PaletteDialog::Marked(int index) const {
    return Panel3D1[index]->frameShadow() == QFrame::Sunken;
}

void PaletteDialog::InsertChosen(int column) {
    WriteToActiveSheet(column, QString::number(ChosenNumber));
}

}  // namespace quarvex
