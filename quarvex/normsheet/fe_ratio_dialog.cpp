#include "quarvex/normsheet/fe_ratio_dialog.h"

#include "quarvex/normsheet/norm3b.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace NORM3B {

FeRatio::FeRatio(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Set Iron Ratio"));
    setModal(true);
    Frame3D1 = new QGroupBox(this);
    Label1 = new QLabel(QStringLiteral("Enter FeO/Fe2O + FeO (0-1):"), Frame3D1);
    Text1 = new QLineEdit(Frame3D1);
    auto* entry = new QHBoxLayout(Frame3D1);
    entry->addWidget(Label1);
    entry->addWidget(Text1);
    Command3D1[0] = new QPushButton(QStringLiteral("OK"), this);
    Command3D1[1] = new QPushButton(QStringLiteral("Cancel"), this);
    Command3D1[0]->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int index = 0; index < 2; ++index) {
        buttons->addWidget(Command3D1[index]);
        connect(Command3D1[index], &QPushButton::clicked, this,
                qvrt::Guarded([this, index](bool) { Command3D1_Click(index); }));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame3D1);
    layout->addLayout(buttons);
    Form_Load();
}

void FeRatio::ShowModal(QWidget* parent) {
    FeRatio dialog(parent);
    dialog.exec();
}

void FeRatio::Form_Load() {
    adjustSize();
    qvrt::Host& host = qvrt::host();
    const double widthTwips = width() * host.TwipsPerPixelX();
    const double heightTwips = height() * host.TwipsPerPixelY();
    const double left = (host.ScreenWidthTwips() - widthTwips) / 2;
    const double top = (host.ScreenHeightTwips() - heightTwips) / 2;
    move(static_cast<int>(left / host.TwipsPerPixelX()), static_cast<int>(top / host.TwipsPerPixelY()));
    SheetIO().SetDialogCancelled(0);
    IronRatioSet = -1;
    IronRatio = 0;
}

void FeRatio::Command3D1_Click(int index) {
    SheetIO().SetDialogCancelled(0);
    if (index == 0) {
        // "0,6445" would read as 0 and turn all iron into Fe2O3.
        if (qvrt::HasDecimalComma(Text1->text())) {
            qvrt::host().MsgBox(QStringLiteral("Write the ratio with a decimal point (%1)")
                                    .arg(Text1->text().trimmed().replace(u',', u'.')),
                                qvrt::vbOKOnly, QStringLiteral("Incorrect Iron Ratio"));
            return;
        }
        IronRatio = static_cast<float>(qvrt::Val(Text1->text()));
        if (IronRatio < 0 || IronRatio > 1) {
            qvrt::host().MsgBox(QStringLiteral("Enter a value less than one"), qvrt::vbOKOnly,
                                QStringLiteral("Incorrect Iron Ratio"));
            return;
        }
        IronRatioSet = -1;
    } else {
        SheetIO().SetDialogCancelled(-1);
    }
    unloading_ = true;
    done(index == 0 ? Accepted : Rejected);
}

void FeRatio::closeEvent(QCloseEvent* event) {
    if (!unloading_) Command3D1_Click(1);
    QDialog::closeEvent(event);
}

void FeRatio::reject() {
    // Escape and the close box end here when no button did.
    if (!unloading_) {
        Command3D1_Click(1);
        return;
    }
    QDialog::reject();
}

}  // namespace NORM3B
