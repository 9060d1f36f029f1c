// The input options dialog (TfmInOpt).
#include "movaltic/ui/option_dialogs.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <memory>

#include "movaltic/imaging/basic.h"
#include "movaltic/ui/compressor_dialog.h"
#include "movaltic/ui/ui_host.h"
#include "movaltic/ui/win_utils.h"

namespace movaltic {

TfmInOpt::TfmInOpt(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Input Options");
    auto* layout = new QVBoxLayout(this);
    auto* g1 = new QGroupBox("Number of frames to process", this);
    Edit1 = new QLineEdit(g1);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, g1);
    auto* r1 = new QHBoxLayout(g1);
    r1->addWidget(Edit1);
    r1->addWidget(ScrollBar1, 1);
    auto* g2 = new QGroupBox("Preview frame", this);
    Edit2 = new QLineEdit(g2);
    ScrollBar2 = new QScrollBar(Qt::Horizontal, g2);
    auto* r2 = new QHBoxLayout(g2);
    r2->addWidget(Edit2);
    r2->addWidget(ScrollBar2, 1);
    for (QScrollBar* bar : {ScrollBar1, ScrollBar2}) {
        bar->setPageStep(10);
        bar->setMinimumWidth(200);
    }
    layout->addWidget(g1);
    layout->addWidget(g2);
    layout->addLayout(OkCancelRow(this, btnOK, btnCancel));
    connect(btnOK, &QPushButton::clicked, this, [this] {
        Values.accepted = 1;
        accept();
    });
    InstallNumericFilter(Edit1, false);
    // Typing does not move a bar; moving a bar shows its position.
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this](int v) { Edit1->setText(QString::number(v)); });
    connect(ScrollBar2, &QScrollBar::valueChanged, this, [this](int v) { Edit2->setText(QString::number(v)); });
    FixedDialog(this, layout);
}

void TfmInOpt::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfmInOpt::FormShow() {
    const QSignalBlocker b1(ScrollBar1), b2(ScrollBar2);
    Edit1->setText(QString::number(Values.framesToProcess));
    ScrollBar1->setRange(1, std::max(1, Values.frameCount));
    ScrollBar1->setValue(Values.framesToProcess);
    Edit2->setText(QString::number(Values.previewFrame));
    ScrollBar2->setRange(1, std::max(1, Values.frameCount));
    ScrollBar2->setValue(Values.previewFrame);
    Values.accepted = 0;
}

void TfmInOpt::FormClose() {
    if (Values.accepted) {
        Values.framesToProcess = IntOrDefault(Edit1->text(), Values.framesToProcess);
        Values.previewFrame = IntOrDefault(Edit2->text(), Values.previewFrame);
    } else {
        Values.previewFrame = 1;
    }
}

void TfmInOpt::done(int r) {
    FormClose();
    QDialog::done(r);
}

}  // namespace movaltic
