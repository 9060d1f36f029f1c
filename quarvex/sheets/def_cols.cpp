#include "quarvex/sheets/def_cols.h"

#include "quarvex/sheets/modeless_dialog.h"
#include "quarvex/state/program_state.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvex {

namespace {

QPointer<DefCols> gDialog;

constexpr const char* kLabels[7] = {
    "Sample No. in Col:", "Name in Col:", "Symbol in Col:", "Color in Col:",
    "Top Value (or X) in Col:", "Left Value (or Y) in Col:", "Right Value in Col:",
};

// A box's number by the leading-number rule; a number too large for any
// column counts as out of range.
bool boxNumber(const QLineEdit* box, double* value) {
    try {
        *value = qvrt::Val(box->text());
        return *value >= 0 && *value <= 50;
    } catch (const qvrt::RuntimeError&) {
        return false;
    }
}

}  // namespace

DefCols* DefCols::Show() { return ShowModeless(gDialog); }

DefCols* DefCols::Instance() { return gDialog; }

DefCols::DefCols(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Define Columns"));
    setModal(false);
    Frame3D1 = new QGroupBox(this);
    auto* form = new QFormLayout(Frame3D1);
    for (int i = 0; i < 7; ++i) {
        Text1[i] = new QLineEdit(Frame3D1);
        Text1[i]->setObjectName(QStringLiteral("Text1(%1)").arg(i));
        Text1[i]->setMaximumWidth(60);
        form->addRow(QString::fromLatin1(kLabels[i]), Text1[i]);
    }
    Command3D2 = new QPushButton(QStringLiteral("Defaults"), this);
    Command3D1 = new QPushButton(QStringLiteral("OK"), this);
    Command3D3 = new QPushButton(QStringLiteral("Cancel"), this);
    Command3D1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command3D2, Command3D1, Command3D3}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame3D1);
    layout->addLayout(buttons);
    connect(Command3D1, &QPushButton::clicked, this, qvrt::Guarded([this](bool) { Command3D1_Click(); }));
    connect(Command3D2, &QPushButton::clicked, this, qvrt::Guarded([this](bool) { Command3D2_Click(); }));
    connect(Command3D3, &QPushButton::clicked, this, qvrt::Guarded([this](bool) { Command3D3_Click(); }));
}

DefCols::~DefCols() = default;

void DefCols::Form_Load() {
    CentreOnScreen(*this, ScreenWidthTwips, ScreenHeightTwips);
    Text1[0]->setText(qvrt::CStr(SampleCol));
    Text1[1]->setText(qvrt::CStr(NameCol));
    Text1[2]->setText(qvrt::CStr(SymbolCol));
    Text1[3]->setText(qvrt::CStr(ColorCol));
    Text1[4]->setText(XCol.text());
    Text1[5]->setText(YCol.text());
    Text1[6]->setText(ZCol.text());
}

void DefCols::Command3D2_Click() {
    SampleCol = 1;
    NameCol = 2;
    SymbolCol = 3;
    ColorCol = 4;
    XCol = 5;
    YCol = 6;
    ZCol = 7;
    for (int i = 0; i < 7; ++i) Text1[i]->setText(QString::number(i + 1));
}

void DefCols::Command3D1_Click() { close(); }
void DefCols::Command3D3_Click() { close(); }

bool DefCols::Form_Unload() {
    std::array<double, 7> values{};
    for (int i = 0; i < 7; ++i) {
        if (!boxNumber(Text1[i], &values[i])) {
            qvrt::host().MsgBox(QStringLiteral("Enter a number between 0 and 50"), qvrt::vbExclamation,
                                QStringLiteral("Error"));
            return true;
        }
    }
    SampleCol = qvrt::CInt(values[0]);
    NameCol = qvrt::CInt(values[1]);
    SymbolCol = qvrt::CInt(values[2]);
    ColorCol = qvrt::CInt(values[3]);
    // The value columns keep a fraction as entered; each use rounds it.
    XCol = ColumnNumber::FromText(qvrt::CStr(values[4]));
    YCol = ColumnNumber::FromText(qvrt::CStr(values[5]));
    ZCol = ColumnNumber::FromText(qvrt::CStr(values[6]));
    return false;
}

void DefCols::closeEvent(QCloseEvent* event) {
    bool cancel = true;
    qvrt::Guard([&] { cancel = Form_Unload(); });
    if (cancel) {
        event->ignore();
        return;
    }
    // Closed is unloaded: the next Show loads a fresh dialog with the values now in force.
    if (gDialog == this) gDialog = nullptr;
    event->accept();
}

}  // namespace quarvex
