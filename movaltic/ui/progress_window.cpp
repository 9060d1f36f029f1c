#include "movaltic/ui/progress_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <memory>

#include "movaltic/pipeline/job_settings.h"
#include "movaltic/ui/win_utils.h"

namespace movaltic {

TfmPerc::TfmPerc(QWidget* parent) : QDialog(parent) {
    setModal(false);
    auto* grid = new QGridLayout;
    auto addRow = [&](int row, const char* text, QLabel*& value) {
        grid->addWidget(new QLabel(text, this), row, 0);
        value = new QLabel(this);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(120);
        grid->addWidget(value, row, 1);
    };
    addRow(0, "Number of frames to process:", lblItems);
    addRow(1, "Currently processing frame:", lblCurrent);
    PercBar = new QProgressBar(this);
    PercBar->setTextVisible(false);
    grid->addWidget(PercBar, 2, 0, 1, 2);
    addRow(3, "Megabytes processed:", lblMega);
    addRow(4, "Frames per second:", lblRate);
    addRow(5, "Time to completion:", lblTime);
    Stop = new QPushButton("Cancel", this);
    connect(Stop, &QPushButton::clicked, this, [this] { StopClick(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Stop);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetupDialogForm(this);
}

void TfmPerc::StopClick() { reject(); }

void TfmPerc::FormClose() { StopFlag = 1; }

void TfmPerc::CloseQuietly() {
    quiet_ = true;
    if (isVisible()) QDialog::done(QDialog::Rejected);
    quiet_ = false;
}

void TfmPerc::done(int r) {
    if (!quiet_) FormClose();
    QDialog::done(r);
}

void TfmPerc::closeEvent(QCloseEvent* event) {
    if (!quiet_) FormClose();
    QDialog::closeEvent(event);
}

QString OneDecimalText(double value) {
    double rounded = std::round(value * 10.0) / 10.0;
    bool negative = rounded < 0;
    if (negative) rounded = -rounded;
    qint64 whole = qint64(std::floor(rounded));
    int tenth = int(std::lround((rounded - double(whole)) * 10.0));
    if (tenth == 10) {
        ++whole;
        tenth = 0;
    }
    QString digits = QString::number(whole);
    for (int i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, ',');
    return (negative ? "-" : "") + digits + "." + QString::number(tenth);
}

namespace {
TfmPerc* gPerc = nullptr;
}

void CreateProgressWindow() {
    if (!gPerc) gPerc = new TfmPerc;
}

void DestroyProgressWindow() {
    delete gPerc;
    gPerc = nullptr;
}

TfmPerc& fmPerc() {
    CreateProgressWindow();
    return *gPerc;
}

void ProgressStart(const QString& caption, int32_t frameCount) {
    StopFlag = 0;
    TfmPerc& w = fmPerc();
    w.setWindowTitle(caption);
    w.PercBar->setRange(0, std::max(frameCount, 0));
    w.lblItems->setText(QString::number(frameCount));
    ProgressFrame(0);
    ProgressRate(1, 0, "please wait...", 0);
}

void ProgressFrame(int32_t n) { fmPerc().PercBar->setValue(n); }

void ProgressRate(int32_t frame, int64_t bytes, const QString& timeText, double rate) {
    TfmPerc& w = fmPerc();
    w.lblCurrent->setText(QString::number(frame));
    w.lblMega->setText(OneDecimalText(double(bytes) / 1048576.0));
    w.lblRate->setText(OneDecimalText(rate));
    w.lblTime->setText(timeText);
}

}  // namespace movaltic
