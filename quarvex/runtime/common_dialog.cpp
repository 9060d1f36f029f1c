#include "quarvex/runtime/common_dialog.h"

#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"

namespace qvrt {

void CommonDialog::cancelled() {
    if (CancelError) Raise(ErrDialogCancelled);
}

static void showFile(CommonDialog& d, FileDialogKind kind) {
    FileDialogRequest req;
    req.kind = kind;
    req.title = d.DialogTitle;
    req.filter = d.Filter;
    req.filterIndex = d.FilterIndex;
    req.flags = d.Flags;
    req.fileName = d.FileName;
    req.defaultExt = d.DefaultExt;
    QString chosen;
    if (host().FileDialog(req, &chosen)) {
        // A name the file system cannot hold is the dialog's "invalid file name".
        if (chosen.isEmpty() || chosen.contains(QChar(0))) Raise(ErrInvalidFileName);
        d.FileName = chosen;
        return;
    }
    d.FileName.clear();
    if (d.CancelError) Raise(ErrDialogCancelled);
}

void CommonDialog::ShowOpen() { showFile(*this, FileDialogKind::Open); }
void CommonDialog::ShowSave() { showFile(*this, FileDialogKind::Save); }

void CommonDialog::ShowColor() {
    uint32_t c = Color;
    if (host().ColorDialog(&c, Flags)) {
        Color = c;
        return;
    }
    cancelled();
}

void CommonDialog::ShowPrinter() {
    if (host().PrinterDialog(Printer, Flags)) return;
    cancelled();
}

}  // namespace qvrt
