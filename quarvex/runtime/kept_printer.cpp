#include "quarvex/runtime/kept_printer.h"

#include <QChildEvent>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPrintDialog>

namespace qvrt {

// Sees the dialog shown and its Properties dialog polished, which happens
// just before that one shows.
class KeptPrinterWatcher : public QObject {
public:
    KeptPrinterWatcher(KeptPrinter& kept, QPrintDialog& dialog) : QObject(&dialog), kept_(kept), dialog_(dialog) {
        dialog.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &dialog_) return false;
        if (event->type() == QEvent::Show) {
            kept_.Shown(dialog_);
        } else if (event->type() == QEvent::ChildPolished) {
            auto* properties = qobject_cast<QDialog*>(static_cast<QChildEvent*>(event)->child());
            if (properties && QLatin1String(properties->metaObject()->className()) == "QPrintPropertiesDialog")
                kept_.PropertiesShown(*properties);
        }
        return false;
    }

private:
    KeptPrinter& kept_;
    QPrintDialog& dialog_;
};

namespace {

// "Sheet2-/home/user/data/oxides60.plt" as "Sheet2-oxides60.plt": what
// comes before the path, and the file's name.
QString WithoutFolders(const QString& name) {
    const qsizetype first = name.indexOf(u'/');
    if (first < 0) return name;
    return name.left(first) + name.mid(name.lastIndexOf(u'/') + 1);
}

}  // namespace

KeptPrinter::KeptPrinter(QPrinter& printer)
    : printer_(printer),
      format_(printer.outputFormat()),
      name_(printer.printerName()),
      file_(printer.outputFileName()),
      docName_(printer.docName()),
      layout_(printer.pageLayout()) {
    // An open document's printer takes no new name, and sends that one.
    if (printer.printerState() != QPrinter::Active && docName_.contains(u'/'))
        printer.setDocName(WithoutFolders(docName_));
}

void KeptPrinter::Watch(QPrintDialog& dialog) { new KeptPrinterWatcher(*this, dialog); }

// The PDF entry is the printer list's last, there only once the dialog
// shows; choosing it brings the file name field in.
void KeptPrinter::Shown(QPrintDialog& dialog) {
    if (shown_) return;
    shown_ = true;
    if (format_ != QPrinter::PdfFormat) return;
    auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
    if (!printers || printers->count() == 0) return;
    printers->setCurrentIndex(printers->count() - 1);
    if (auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename")); file && !file_.isEmpty())
        file->setText(file_);
}

void KeptPrinter::PropertiesShown(QDialog& properties) {
    QObject::connect(&properties, &QDialog::accepted, &properties, [this, &properties] { accepted_ = &properties; });
    auto* sizes = properties.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
    if (!sizes) return;
    const QPageSize paper = layout_.pageSize();
    for (int i = 0; i < sizes->count(); ++i) {
        const QPageSize size = sizes->itemData(i).value<QPageSize>();
        if (size.isValid() && size.isEquivalentTo(paper)) {
            sizes->setCurrentIndex(i);
            return;
        }
    }
}

void KeptPrinter::Finish(bool accepted) {
    if (printer_.docName() != docName_ && printer_.printerState() != QPrinter::Active) printer_.setDocName(docName_);
    if (accepted) {
        if (!accepted_) printer_.setPageSize(layout_.pageSize());
        return;
    }
    if (format_ == QPrinter::NativeFormat && !name_.isEmpty()) {
        printer_.setPrinterName(name_);
    } else {
        printer_.setOutputFormat(format_);
        printer_.setOutputFileName(file_);
    }
    printer_.setPageLayout(layout_);
}

}  // namespace qvrt
