// The ZUV options dialog (TfmZUVOpt).
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

TfmZUVOpt::TfmZUVOpt(QWidget* parent) : QDialog(parent) {
    setWindowTitle("ZUV Compression");
    auto* layout = new QVBoxLayout(this);
    auto* gMethod = new QGroupBox("Compression Method", this);
    radFast = new QRadioButton("FAST (while experimenting)", gMethod);
    radBest = new QRadioButton("BEST (for finalization)", gMethod);
    auto* rMethod = new QVBoxLayout(gMethod);
    rMethod->addWidget(radFast);
    rMethod->addWidget(radBest);
    chkDOS = new QCheckBox("Playable with Ortelan (in DOS)", this);
    auto* gKey = new QGroupBox("Key Frames", this);
    Edit1 = new QLineEdit(gKey);
    Edit1->setMaximumWidth(60);
    auto* rKey = new QHBoxLayout(gKey);
    rKey->addWidget(new QLabel("Key frame every", gKey));
    rKey->addWidget(Edit1);
    rKey->addWidget(new QLabel("frames", gKey));
    rKey->addStretch();
    layout->addWidget(gMethod);
    layout->addWidget(chkDOS);
    layout->addWidget(gKey);
    layout->addLayout(OkCancelRow(this, btnOK, btnCancel));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    FixedDialog(this, layout);
}

void TfmZUVOpt::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfmZUVOpt::FormShow() {
    radFast->setChecked(Values.fast);
    radBest->setChecked(!Values.fast);
    chkDOS->setChecked(Values.dosPlayable);
    Edit1->setText(QString::number(Values.keyFrameInterval));
}

void TfmZUVOpt::FormClose() {
    Values.fast = radFast->isChecked();
    Values.dosPlayable = chkDOS->isChecked();
    Values.keyFrameInterval = IntOrDefault(Edit1->text(), Values.keyFrameInterval);
}

void TfmZUVOpt::done(int r) {
    FormClose();
    QDialog::done(r);
}

}  // namespace movaltic
