#include "quarvex/graph/settitle.h"

#include "quarvex/graph/font1.h"
#include "quarvex/graph/format_dialogs.h"
#include "quarvex/runtime/guard.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvex {

SETTITLE::SETTITLE(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Title"));
    setModal(true);
    Frame3D1 = new QGroupBox(this);
    auto* row = new QHBoxLayout(Frame3D1);
    row->addWidget(new QLabel(QStringLiteral("Title:"), Frame3D1));
    Text1 = new QLineEdit(Frame3D1);
    Text1->setMinimumWidth(260);
    row->addWidget(Text1);
    Command3D1 = new QPushButton(QStringLiteral("OK"), this);
    Command3D1->setDefault(true);
    Command3D2[0] = new QPushButton(QStringLiteral("Cancel"), this);
    Command3D2[1] = new QPushButton(QStringLiteral("Font"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3D1);
    buttons->addWidget(Command3D2[0]);
    buttons->addWidget(Command3D2[1]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame3D1);
    layout->addLayout(buttons);
    connect(Command3D1, &QPushButton::clicked, this, qvrt::Guarded([this](bool) { Command3D1_Click(); }));
    for (int i = 0; i < 2; ++i)
        connect(Command3D2[i], &QPushButton::clicked, this, qvrt::Guarded([this, i](bool) { Command3D2_Click(i); }));
}

void SETTITLE::ShowModal(QWidget* parent) {
    SETTITLE dialog(parent);
    dialog.Form_Load();
    if (RunModal) RunModal(dialog);
    else dialog.exec();
}

void SETTITLE::Form_Load() {
    raise();
    CentreDialog(*this);
    Text1->setText(GraphTitle);
}

void SETTITLE::Command3D1_Click() {
    TitleChanged = -1;
    GraphTitle = Text1->text();
    done(QDialog::Accepted);
}

void SETTITLE::Command3D2_Click(int index) {
    if (index == 0) {
        TitleChanged = 0;
        FontChoice.TitleFlag = 0;
        done(QDialog::Rejected);
    } else if (index == 1) {
        Font1::ShowModal(this);
        FontChoice.TitleFlag = -1;
        if (DialogCancelled == -1) {
            DialogCancelled = 0;
            FontChoice.TitleFlag = 0;
        }
    }
}

void SETTITLE::reject() { Command3D2_Click(0); }

}  // namespace quarvex
