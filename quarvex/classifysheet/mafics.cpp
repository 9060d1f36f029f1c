#include "quarvex/classifysheet/mafics.h"

#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/state/classify_state.h"
#include "quarvex/state/data_table.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/norm_state.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvex {

namespace {

// The three arrays grow to the samples read, keeping their values.
void GrowMaficInputs() {
    const size_t size = static_cast<size_t>(std::max<int>(SampleCount, 0)) + 1;
    auto& m = NORM3B::MaficInputs;
    for (std::vector<float>* a : {&m.MaficPercent, &m.AnorthitePercent, &m.OlivinePercent})
        if (a->size() < size) a->resize(size, 0.0f);
}

void StoreRow(float mafic, float anorthite, float olivine) {
    const size_t row = static_cast<size_t>(MaficsRow);
    auto& m = NORM3B::MaficInputs;
    if (row >= m.MaficPercent.size()) return;
    m.MaficPercent[row] = mafic;
    m.AnorthitePercent[row] = anorthite;
    m.OlivinePercent[row] = olivine;
}

}  // namespace

Mafics::Mafics(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Compositions Required"));
    setModal(true);
    Frame1 = new QGroupBox(QStringLiteral("The following compositions are required to classify the rock"), this);
    Label1 = new QLabel(QStringLiteral("% Mafic minerals (volcanic and plutonic):"), Frame1);
    Label2[0] = new QLabel(QStringLiteral("Percentage of anorthite (plutonic rocks):"), Frame1);
    Label2[1] = new QLabel(QStringLiteral("% olivene (plutonic and alkali volcanic):"), Frame1);
    auto* entries = new QGridLayout(Frame1);
    QLabel* labels[] = {Label1, Label2[0], Label2[1]};
    for (int i = 0; i < 3; ++i) {
        Text1[i] = new QLineEdit(Frame1);
        entries->addWidget(labels[i], i, 0);
        entries->addWidget(Text1[i], i, 1);
    }
    Label3 = new QLabel(QStringLiteral("If ignore is selected, mafic rock types will not be classified correctly.  "
                                       "Use diagrams or manually classify. "),
                        this);
    Label3->setWordWrap(true);
    const char* captions[] = {"OK", "Ignore All", "Ignore"};
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int index = 0; index < 3; ++index) {
        SSCommand1[index] = new QPushButton(QString::fromLatin1(captions[index]), this);
        buttons->addWidget(SSCommand1[index]);
        connect(SSCommand1[index], &QPushButton::clicked, this,
                qvrt::Guarded([this, index](bool) { SSCommand1_Click(index); }));
    }
    SSCommand1[0]->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Label3);
    layout->addLayout(buttons);
}

void Mafics::ShowModal(QWidget* parent) {
    Mafics dialog(parent);
    dialog.Form_Load();
    if (RunModal) RunModal(dialog);
    else dialog.exec();
}

void Mafics::Form_Load() {
    adjustSize();
    qvrt::Host& host = qvrt::host();
    const double left = (host.ScreenWidthTwips() - width() * host.TwipsPerPixelX()) / 2;
    const double top = (host.ScreenHeightTwips() - height() * host.TwipsPerPixelY()) / 2;
    move(static_cast<int>(left / host.TwipsPerPixelX()), static_cast<int>(top / host.TwipsPerPixelY()));
    Frame1->setTitle(QStringLiteral("One or more of the following are required for Row # ") +
                     qvrt::CStr(MaficsRow + 1));
}

void Mafics::SSCommand1_Click(int index) {
    GrowMaficInputs();
    if (index == 0) {
        StoreRow(qvrt::CSng(qvrt::Val(Text1[0]->text())), qvrt::CSng(qvrt::Val(Text1[1]->text())),
                 qvrt::CSng(qvrt::Val(Text1[2]->text())));
        IgnoreAllMafics = 0;
    } else {
        // A row the user would not describe is taken as an ordinary rock:
        // 30 % mafic minerals, no anorthite, no olivine.
        StoreRow(30, 0, 0);
        if (index == 1) IgnoreAllMafics = -1;
    }
    unloading_ = true;
    done(index == 0 ? Accepted : Rejected);
}

void Mafics::reject() {
    if (!unloading_) {
        SSCommand1_Click(2);
        return;
    }
    QDialog::reject();
}

void Mafics::closeEvent(QCloseEvent* event) {
    if (!unloading_) SSCommand1_Click(2);
    QDialog::closeEvent(event);
}

}  // namespace quarvex
