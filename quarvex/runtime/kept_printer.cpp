#include "quarvex/runtime/kept_printer.h"

#include <QChildEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>

#include <algorithm>
#include <climits>
#include <unistd.h>

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

// Where Qt's dialog proposes a file when nothing else decides.
QString DefaultPdfFolder() {
    const QString home = QDir::homePath(), current = QDir::currentPath();
    return current == home || current.startsWith(home + u'/') ? current : home;
}

}  // namespace

QString PdfFileName(const QString& jobName, qsizetype maxBytes) {
    QString stem = WithoutFolders(jobName);
    const qsizetype dot = stem.lastIndexOf(u'.');
    if (dot >= 0 && dot + 1 < stem.size() &&
        std::none_of(stem.cbegin() + dot + 1, stem.cend(), [](QChar c) { return c.isSpace(); }))
        stem.truncate(dot);
    if (stem.isEmpty()) stem = QStringLiteral("print");
    const QString suffix = QStringLiteral(".pdf");
    QByteArray bytes = QFile::encodeName(stem);
    const qsizetype room = maxBytes - QFile::encodeName(suffix).size();
    if (bytes.size() <= room) return stem + suffix;
    // Cut at a character's first byte: a UTF-8 continuation byte is 10xxxxxx.
    qsizetype cut = std::max<qsizetype>(room, 0);
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
    bytes.truncate(cut);
    return QFile::decodeName(bytes) + suffix;
}

QString ProposedPdfFile(const QPrinter& printer) {
    QString folder;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        // No job to name a file after: the printer's file stays.
        if (printer.docName().isEmpty()) return printer.outputFileName();
        const QFileInfo kept(printer.outputFileName());
        if (kept.absoluteDir().exists()) folder = kept.absolutePath();
    }
    if (folder.isEmpty()) folder = DefaultPdfFolder();
    long nameMax = pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    if (nameMax <= 0) nameMax = NAME_MAX;
    return QDir(folder).filePath(PdfFileName(printer.docName(), nameMax));
}

KeptPrinter::KeptPrinter(QPrinter& printer)
    : printer_(printer),
      format_(printer.outputFormat()),
      name_(printer.printerName()),
      file_(printer.outputFileName()),
      docName_(printer.docName()),
      proposal_(ProposedPdfFile(printer)),
      layout_(printer.pageLayout()) {
    // An open document's printer takes no new name, and sends that one.
    if (printer.printerState() != QPrinter::Active && docName_.contains(u'/'))
        printer.setDocName(WithoutFolders(docName_));
}

void KeptPrinter::Watch(QPrintDialog& dialog) { new KeptPrinterWatcher(*this, dialog); }

// The PDF entry is the printer list's last, there only once the dialog
// shows; choosing it brings the file name field in. The field shows the
// proposal whichever printer is chosen, ready for a switch to a file.
void KeptPrinter::Shown(QPrintDialog& dialog) {
    if (shown_) return;
    shown_ = true;
    auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
    if (format_ == QPrinter::PdfFormat && printers && printers->count() > 0)
        printers->setCurrentIndex(printers->count() - 1);
    if (file) file->setText(proposal_);
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
