// Keeps a printer's choice across Qt's print dialog. On CUPS the dialog
// selects the default queue as it opens, whatever the printer was, a PDF
// file included, and gives the printer the queue's default paper unless its
// Properties dialog is opened and accepted. A dialog left as it came would
// so print elsewhere, or on other paper, than the job before.
// The dialog proposes a PDF file named after the job it sets up, every
// time: the file an earlier job wrote is not offered again, and Qt's
// dialog asks before Print replaces a file that exists. A job named after a
// file's path is seen by the dialog with the path's folders left out.
#pragma once

#include <QPageLayout>
#include <QPointer>
#include <QPrinter>
#include <QString>

class QDialog;
class QPrintDialog;

namespace qvrt {

// The PDF file a print dialog proposes for the printer's coming job (its
// document name): see PdfFileName. It goes in the folder of the PDF file
// the printer was last set to, while that folder exists; otherwise, as Qt
// has it, in the current folder when that lies in the home folder, else in
// the home folder. A printer set to a PDF file and named for no job keeps
// its file.
QString ProposedPdfFile(const QPrinter& printer);
// A job's name as a PDF file name: the folders of a path in it left out,
// "Sheet2-/data/oxides60.plt" as "Sheet2-oxides60.pdf" (its extension
// turned into ".pdf"), "print.pdf" for a job without a name. A name longer
// than maxBytes in the file system's encoding is shortened to fit, by whole
// characters before ".pdf".
QString PdfFileName(const QString& jobName, qsizetype maxBytes);

class KeptPrinter {
public:
    // Takes the printer's settings and gives it the job name the dialog is to
    // see; call before the dialog is made.
    explicit KeptPrinter(QPrinter& printer);
    // Shows the kept printer or PDF output, the PDF file proposed for this
    // job and the kept paper in the dialog and its Properties dialog.
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
    QString name_, file_, docName_, proposal_;
    QPageLayout layout_;
    bool shown_ = false;
    QPointer<QDialog> accepted_;  // a Properties dialog the user accepted
};

}  // namespace qvrt
