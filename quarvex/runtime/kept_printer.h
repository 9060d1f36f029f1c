// Keeps a printer's choice across Qt's print dialog. On CUPS the dialog
// selects the default queue as it opens, whatever the printer was, a PDF
// file included, and gives the printer the queue's default paper unless its
// Properties dialog is opened and accepted. A dialog left as it came would
// so print elsewhere, or on other paper, than the job before.
// On X11 the dialog also proposes a PDF file named after the last job; a job
// named after a file's path would have it proposed in folders that do not
// exist, so the dialog sees the name with the path's folders left out.
#pragma once

#include <QPageLayout>
#include <QPointer>
#include <QPrinter>
#include <QString>

class QDialog;
class QPrintDialog;

namespace qvrt {

class KeptPrinter {
public:
    // Takes the printer's settings and gives it the job name the dialog is to
    // see; call before the dialog is made.
    explicit KeptPrinter(QPrinter& printer);
    // Shows the kept printer or PDF file and paper in the dialog and its
    // Properties dialog.
    void Watch(QPrintDialog& dialog);
    // After the dialog: accepted, the paper stays unless the Properties
    // dialog chose another; cancelled, the printer is as it was. Either way
    // the job keeps its name.
    void Finish(bool accepted);

private:
    friend class KeptPrinterWatcher;
    void Shown(QPrintDialog& dialog);
    void PropertiesShown(QDialog& properties);

    QPrinter& printer_;
    QPrinter::OutputFormat format_;
    QString name_, file_, docName_;
    QPageLayout layout_;
    bool shown_ = false;
    QPointer<QDialog> accepted_;  // a Properties dialog the user accepted
};

}  // namespace qvrt
