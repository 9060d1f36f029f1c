#include "quarvex/graph/colors1.h"

#include "quarvex/graph/format_dialogs.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/surface.h"
#include "quarvex/sheets/modeless_dialog.h"

#include <QGroupBox>
#include <QPointer>
#include <QPushButton>

namespace quarvex {

namespace {

QPointer<Colors1> gDialog;

void ShowColorError(const std::exception& e) {
    const auto* rt = dynamic_cast<const qvrt::RuntimeError*>(&e);
    if (rt && rt->number() == qvrt::ErrDialogCancelled) return;
    qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Color Error"));
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

}  // namespace

Colors1::Colors1(QWidget* parent) : PaletteDialog(QStringLiteral("Colors"), {"Insert", "OK", "Edit"}, parent) {
    std::array<QLabel*, 14> panels{};
    for (int i = 0; i < 14; ++i) {
        panels[i] = new QLabel(Frame3D1);
        panels[i]->setAutoFillBackground(true);
    }
    AddPanels(panels);
    for (int i = 0; i < 3; ++i)
        connect(Command3D1[i], &QPushButton::clicked, this, qvrt::Guarded([this, i](bool) { Command3D1_Click(i); }));
}

Colors1* Colors1::Show(QWidget* parent) { return ShowModeless(gDialog, parent); }

Colors1* Colors1::Instance() { return gDialog; }

void Colors1::paint(int panel, uint32_t color) {
    QPalette pal = Panel3D1[panel]->palette();
    pal.setColor(QPalette::Window, QColor(qvrt::RedOf(color), qvrt::GreenOf(color), qvrt::BlueOf(color)));
    Panel3D1[panel]->setPalette(pal);
}

void Colors1::Form_Load() {
    try {
        raise();
        CentreDialog(*this);
        ChosenNumber = 1;
        for (int i = 0; i < 14; ++i) paint(i, ColorPalette[i + 1]);
    } catch (const std::exception& e) {
        ShowColorError(e);
    }
}

void Colors1::Command3D1_Click(int index) {
    try {
        switch (index) {
        case 0:
            InsertChosen(ColorCol);
            break;
        case 1:
            close();
            break;
        case 2:
            CMDialog1.CancelError = true;
            CMDialog1.Color = ColorPalette[ChosenNumber];  // the colour being edited
            CMDialog1.ShowColor();
            // Graph windows made from now on take it; open ones keep theirs.
            ColorPalette[ChosenNumber] = CMDialog1.Color;
            paint(ChosenNumber - 1, CMDialog1.Color);
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        ShowColorError(e);
    }
}

}  // namespace quarvex
