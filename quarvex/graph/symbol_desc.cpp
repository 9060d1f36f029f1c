#include "quarvex/graph/symbol_desc.h"

#include "quarvex/graph/format_dialogs.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/sheets/modeless_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

namespace quarvex {

namespace {
QPointer<SymbolDesc> gDialog;
std::optional<QPoint> gPlace;
}

SymbolDesc::SymbolDesc(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Symbol Descriptions"));
    Frame3D2 = new QGroupBox(this);
    auto* grid = new QGridLayout(Frame3D2);
    grid->addWidget(new QLabel(QStringLiteral("Type"), Frame3D2), 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Description"), Frame3D2), 0, 2);
    for (int i = 0; i < 14; ++i) {
        grid->addWidget(new QLabel(QString::number(i + 1), Frame3D2), i + 1, 0);
        Label3[i] = new SymbolLabel(i + 1, Frame3D2);
        grid->addWidget(Label3[i], i + 1, 1);
        Text2[i] = new QLineEdit(Frame3D2);
        Text2[i]->setObjectName(QStringLiteral("Text2(%1)").arg(i));
        Text2[i]->setMinimumWidth(220);
        grid->addWidget(Text2[i], i + 1, 2);
    }
    const char* captions[3] = {"OK", "Clear", "Cancel"};
    auto* buttons = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        Command3D1[i] = new QPushButton(QString::fromLatin1(captions[i]), this);
        buttons->addWidget(Command3D1[i]);
        connect(Command3D1[i], &QPushButton::clicked, this, qvrt::Guarded([this, i](bool) { Command3D1_Click(i); }));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame3D2);
    layout->addLayout(buttons);
}

// Closing unloads the dialog, and a later opening centres it again.
SymbolDesc::~SymbolDesc() { gPlace.reset(); }

void SymbolDesc::PlaceFor(QPoint topLeft) {
    gPlace = topLeft;
    if (gDialog) gDialog->move(topLeft);
}

SymbolDesc* SymbolDesc::Show(QWidget* parent) { return ShowModeless(gDialog, parent); }

SymbolDesc* SymbolDesc::Instance() { return gDialog; }

void SymbolDesc::ShowModal(QWidget* parent) {
    SymbolDesc dialog(parent);
    dialog.setModal(true);
    dialog.Form_Load();
    if (RunModal) RunModal(dialog);
    else dialog.exec();
}

void SymbolDesc::Form_Load() {
    raise();
    CentreDialog(*this);
    if (gPlace) move(*gPlace);
    for (int i = 0; i < 14; ++i) Text2[i]->setText(SymbolDescriptions[i + 1]);
}

void SymbolDesc::Command3D1_Click(int index) {
    switch (index) {
    case 0:
        for (int i = 0; i < 14; ++i) SymbolDescriptions[i + 1] = Text2[i]->text();
        close();
        break;
    case 1:
        for (QLineEdit* box : Text2) box->clear();
        break;
    case 2:
        close();
        break;
    default:
        break;
    }
}

}  // namespace quarvex
