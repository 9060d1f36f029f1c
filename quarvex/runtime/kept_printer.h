// Keeps a printer's choice across Qt's print dialog. On CUPS the dialog
// selects the default queue as it opens, whatever the printer was, a PDF
// file included, and gives the printer the queue's default paper unless its
// Properties dialog is opened and accepted. A dialog left as it came would
// so print elsewhere, or on other paper, than the job before.
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
    // Takes the printer's settings; call before the dialog is made.
    explicit KeptPrinter(QPrinter& printer);
    // Shows the kept printer or PDF file and paper in the dialog and its
    // Properties dialog.
    void Watch(QPrintDialog& dialog);
    // After the dialog: accepted, the paper stays unless the Properties
    // dialog chose another; cancelled, the printer is as it was.
    void Finish(bool accepted);

private:
    friend class KeptPrinterWatcher;
    void Shown(QPrintDialog& dialog);
    void PropertiesShown(QDialog& properties);

    QPrinter& printer_;
    QPrinter::OutputFormat format_;
    QString name_, file_;
    QPageLayout layout_;
    bool shown_ = false;
    QPointer<QDialog> accepted_;  // a Properties dialog the user accepted
};

}  // namespace qvrt
