#include "quarvex/frame/startdb.h"

#include "quarvex/frame/mdi_form1.h"
#include "quarvex/sheets/modeless_dialog.h"
#include "quarvex/state/program_state.h"
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

namespace {

const QString kOpenFileError = QStringLiteral("Open File Error");

// The program is started hidden and with no arguments, directly (never
// through a shell, so nothing in the path is interpreted).
bool startProgram() { return qvrt::host().StartProgram(DatabasePath, {}); }

void exclamation(const QString& text, const QString& title) {
    qvrt::host().MsgBox(text, qvrt::vbExclamation, title);
}

}  // namespace

Startdb::Startdb(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Open Database"));
    auto* frame = new QGroupBox(this);
    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(new QLabel(QStringLiteral("Enter the path of The Corvane Database:"), frame));
    Text1 = new QLineEdit(frame);
    Text1->setMinimumWidth(320);
    inner->addWidget(Text1);
    const char* captions[3] = {"Browse...", "OK", "Cancel"};
    auto* buttons = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        Command3D1[i] = new QPushButton(QString::fromLatin1(captions[i]), this);
        Command3D1[i]->setAutoDefault(false);
        buttons->addWidget(Command3D1[i]);
        connect(Command3D1[i], &QPushButton::clicked, this, qvrt::Guarded([this, i](bool) { Command3D1_Click(i); }));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
}

void Startdb::Form_Load() {
    CentreOnScreen(*this, ScreenWidthTwips, ScreenHeightTwips);
    raise();
    Text1->setText(DatabasePath);
}

void Startdb::Command3D1_Click(int index) {
    // A button's action starts again after the errors the user can mend.
    for (;;) {
        try {
            if (index == 0) browse();
            else if (index == 1) acceptPath();
            else if (index == 2) {
                LaunchCancelled = -1;
                done(QDialog::Rejected);
            }
            return;
        } catch (const qvrt::RuntimeError& e) {
            switch (e.number()) {
            case qvrt::ErrDiskNotReady:
                MsgBoxAnswer = static_cast<int16_t>(
                    qvrt::host().MsgBox(QStringLiteral("Disk not ready.  Place diskette in correct drive."),
                                        qvrt::vbQuestion + qvrt::vbOKCancel, QStringLiteral("Error")));
                continue;
            case qvrt::ErrPathFileAccess:
                exclamation(QStringLiteral("Path/File access error"), QStringLiteral("Error"));
                continue;
            case qvrt::ErrInvalidFileName:
                exclamation(QStringLiteral("Filename is invalid.  Enter new filename."), QStringLiteral("Error"));
                continue;
            case qvrt::ErrDialogCancelled:
                return;
            default:
                exclamation(QString::fromStdString(e.description()), kOpenFileError);
                qvrt::host().SetMousePointer(qvrt::vbDefault);
                return;
            }
        }
    }
}

void Startdb::browse() {
    qvrt::CommonDialog local;
    MDIForm1* frame = MDIForm1::Instance();
    qvrt::CommonDialog& dlg = frame ? frame->CMDialog1 : local;
    dlg.CancelError = true;
    dlg.Flags = 0x1802;
    dlg.Filter = QStringLiteral("The Quarvex Database|Harnel.exe");
    dlg.ShowOpen();
    DatabasePath = dlg.FileName;
    // Browsing accepts only the upper-case spelling; typing either accepted
    // spelling into the box is what OK takes.
    if (!DatabasePath.endsWith(QStringLiteral("HARNEL.EXE"), Qt::CaseSensitive))
        exclamation(QStringLiteral("Enter a valid filename"), kOpenFileError);
    else
        Text1->setText(DatabasePath);
}

void Startdb::acceptPath() {
    DatabasePath = Text1->text();
    if (!DatabasePath.endsWith(QStringLiteral("Harnel.exe"), Qt::CaseSensitive) &&
        !DatabasePath.endsWith(QStringLiteral("HARNEL.EXE"), Qt::CaseSensitive)) {
        exclamation(QStringLiteral("Enter the location of Harnel.exe"), kOpenFileError);
        return;
    }
    done(QDialog::Accepted);
}

void StartDatabase() {
    try {
        if (startProgram()) return;
        Startdb dialog(MDIForm1::Instance());
        dialog.Form_Load();
        if (Startdb::RunModal) Startdb::RunModal(dialog);
        else dialog.exec();
        if (LaunchCancelled != -1) {
            startProgram();  // a second failure is not reported
            return;
        }
        LaunchCancelled = 0;
    } catch (const qvrt::RuntimeError& e) {
        exclamation(QString::fromStdString(e.description()), kOpenFileError);
    }
}

}  // namespace quarvex
