#include "quarvex/graph/curvefit_dialog.h"

#include "quarvex/graph/format_dialogs.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvex {

Curvefit::Curvefit(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Least Squares Curve Fit"));
    setModal(true);
    auto* frame = new QGroupBox(this);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(new QLabel(QStringLiteral("Enter degree of curve fit:"), frame));
    Text1 = new QLineEdit(frame);
    Text1->setMaximumWidth(60);
    row->addWidget(Text1);
    Command3D1[0] = new QPushButton(QStringLiteral("OK"), this);
    Command3D1[0]->setDefault(true);
    Command3D1[1] = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3D1[0]);
    buttons->addWidget(Command3D1[1]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    for (int i = 0; i < 2; ++i)
        connect(Command3D1[i], &QPushButton::clicked, this, qvrt::Guarded([this, i](bool) { Command3D1_Click(i); }));
}

void Curvefit::ShowModal(QWidget* parent) {
    Curvefit dialog(parent);
    dialog.Form_Load();
    if (RunModal) RunModal(dialog);
    else dialog.exec();
}

void Curvefit::Form_Load() {
    CentreDialog(*this);
    DialogCancelled = 0;
    Text1->setText(QStringLiteral("1"));
}

void Curvefit::Command3D1_Click(int index) {
    if (index == 0) {
        int degree = 0;
        try {
            degree = qvrt::CInt(qvrt::Val(Text1->text()));  // 2.5 -> 2, 2.6 -> 3
        } catch (const qvrt::RuntimeError&) {
            degree = 0;  // too large for an Integer: refused like any other
        }
        if (degree < 1 || degree > 4) {
            qvrt::host().MsgBox(QStringLiteral("Enter a value between 1 and 4"), qvrt::vbCritical,
                                QStringLiteral("Invalid Entry"));
            return;
        }
        CurveFitDegree = static_cast<int16_t>(degree);
        done(QDialog::Accepted);
    } else if (index == 1) {
        DialogCancelled = -1;
        done(QDialog::Rejected);
    }
}

void Curvefit::reject() { Command3D1_Click(1); }

}  // namespace quarvex
