#include "quarvex/runtime/printer.h"

#include "quarvex/runtime/errors.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include <cups/cups.h>

namespace qvrt {

namespace {

// One DrawWidth pixel on paper: thin lines stay visible and an axis of
// width 5 prints about 0.4 mm wide.
constexpr double kPaperPixelInches = 1.0 / 300;
// Millimetres, because the layout's points are whole numbers.
constexpr double kTwipsPerMillimetre = kTwipsPerInch / 25.4;

// Qt ends every PDF document with "startxref", the offset of its
// cross-reference table, and "%%EOF". A file cut short by a full disk lacks
// that tail, or, had a later write gone through, has no table at the offset.
bool PdfComplete(QFile& file) {
    constexpr qint64 kTailBytes = 64;
    const QByteArray start = "startxref", end = "%%EOF";
    const qint64 size = file.size();
    if (!file.seek(std::max<qint64>(0, size - kTailBytes))) return false;
    const QByteArray tail = file.read(kTailBytes).trimmed();
    const qsizetype at = tail.lastIndexOf(start);
    if (at < 0 || !tail.endsWith(end)) return false;
    const qsizetype from = at + start.size();
    bool number = false;
    const qint64 table = tail.sliced(from, tail.size() - end.size() - from).trimmed().toLongLong(&number);
    return number && table >= 0 && table < size && file.seek(table) && file.read(4) == "xref";
}

// Qt's CUPS backend sends a queue's document with cupsPrintFile when the
// document ends, on this thread, and drops the answer; that answer is still
// the thread's last CUPS status.
class CupsService : public PrintService {
public:
    QString Refusal(const QPrinter& printer) override {
        // A file is written here and never goes to the service.
        if (printer.outputFormat() != QPrinter::NativeFormat || !printer.outputFileName().isEmpty()) return {};
        const QString name = printer.printerName();
        if (name.isEmpty()) return QStringLiteral("no printer was chosen");
        if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) return {};
        const QString status = QString::fromUtf8(cupsLastErrorString());
        return Why(name.section(QLatin1Char('/'), 0, 0), status);
    }

private:
    // The status alone rarely says it plainly ("No such file or directory"
    // for a queue that went), so the queue itself is looked at.
    static QString Why(const QString& queue, const QString& status) {
        http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
        if (!http) return QStringLiteral("the print service is not running");
        QString why = status;
        if (cups_dest_t* dest = cupsGetNamedDest(http, queue.toLocal8Bit().constData(), nullptr)) {
            const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
            if (accepting && qstrcmp(accepting, "false") == 0) why = QStringLiteral("the printer is not accepting jobs");
            cupsFreeDests(1, dest);
        } else {
            why = QStringLiteral("the printer no longer exists");
        }
        httpClose(http);
        return why;
    }
};

std::unique_ptr<PrintService>& CurrentService() {
    static std::unique_ptr<PrintService> service;
    return service;
}

PrintService& Service() {
    auto& service = CurrentService();
    if (!service) service = std::make_unique<CupsService>();
    return *service;
}

}  // namespace

void SetPrintService(std::unique_ptr<PrintService> service) { CurrentService() = std::move(service); }

PrinterSurface::PrinterSurface() = default;

void PrinterSurface::StartJob(const QString& name) {
    ResetProperties();
    jobName_ = name;
    NameJob(name);
}

int PrinterSurface::FontCount() const { return int(AvailableFontNames().size()); }

QString PrinterSurface::Fonts(int index) const {
    const QStringList names = AvailableFontNames();
    if (index < 0 || index >= names.size()) Raise(ErrSubscript);
    return names[index];
}

QtPrinterSurface::QtPrinterSurface()
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      painter_(std::make_unique<QPainter>()),
      backend_(kPaperPixelInches) {}

QtPrinterSurface::QtPrinterSurface(const QString& pdfFile) : QtPrinterSurface() {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(pdfFile);
}

QtPrinterSurface::~QtPrinterSurface() {
    if (DocumentOpen()) painter_->end();
}

bool QtPrinterSurface::DocumentOpen() const { return painter_->isActive(); }

double QtPrinterSurface::Width() const {
    return std::round(printer_->pageLayout().fullRect(QPageLayout::Millimeter).width() * kTwipsPerMillimetre);
}

double QtPrinterSurface::Height() const {
    return std::round(printer_->pageLayout().fullRect(QPageLayout::Millimeter).height() * kTwipsPerMillimetre);
}

int QtPrinterSurface::Orientation() const {
    return printer_->pageLayout().orientation() == QPageLayout::Landscape ? vbPRORLandscape : vbPRORPortrait;
}

void QtPrinterSurface::SetOrientation(int orientation) {
    if (orientation != vbPRORPortrait && orientation != vbPRORLandscape) Raise(ErrInvalidProperty);
    printer_->setPageOrientation(orientation == vbPRORLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void QtPrinterSurface::BeforeDrawing() {
    if (DocumentOpen()) return;
    if (painter_->begin(printer_.get())) return;
    RenewPrinter();
    Raise(ErrPrinter);
}

// A QPrinter whose document failed to start stays active for good: it
// refuses every later document and every change the printer dialog makes.
// A new one with the same printer, file and page takes its place.
void QtPrinterSurface::RenewPrinter() {
    const QPrinter& old = *printer_;
    auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (old.outputFormat() == QPrinter::NativeFormat) fresh->setPrinterName(old.printerName());
    else fresh->setOutputFormat(old.outputFormat());
    // An empty name would turn a PDF printer back into the system's one.
    if (!old.outputFileName().isEmpty()) fresh->setOutputFileName(old.outputFileName());
    fresh->setPageLayout(old.pageLayout());
    fresh->setCopyCount(old.copyCount());
    fresh->setCollateCopies(old.collateCopies());
    fresh->setColorMode(old.colorMode());
    fresh->setDuplex(old.duplex());
    fresh->setFullPage(old.fullPage());
    fresh->setDocName(old.docName());
    fresh->setCreator(old.creator());
    printer_ = std::move(fresh);
}

QString QtPrinterSurface::PdfFile() const {
    return printer_->outputFormat() == QPrinter::PdfFormat ? printer_->outputFileName() : QString();
}

// Ends the document without sending it, removes what it wrote of a PDF
// file and puts a fresh printer with the same settings in place: an aborted
// or failed QPrinter writes nothing more, so it must not serve the next job.
// Only a plain file is removed: the name may be a device such as /dev/null.
void QtPrinterSurface::DiscardJob() {
    if (DocumentOpen()) {
        printer_->abort();
        painter_->end();
    }
    const QString path = PdfFile();
    if (!path.isEmpty() && QFileInfo(path).isFile()) QFile::remove(path);
    RenewPrinter();
    HomePosition();
}

// A PDF job fails part-way only when its file stops taking what it writes.
void QtPrinterSurface::FailJob(int number) {
    const bool toFile = !PdfFile().isEmpty();
    DiscardJob();
    Raise(toFile && number == ErrPrinter ? ErrDiskFull : number);
}

// Qt says nothing of a PDF file it could not write, so what reached the
// disk is read back.
void QtPrinterSurface::CheckPdfWritten() {
    const QString path = PdfFile();
    if (path.isEmpty()) return;
    const QFileInfo info(path);
    if (!info.exists()) FailJob(ErrPathFileAccess);  // its folder went while the job ran
    if (!info.isFile()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || PdfComplete(file)) return;
    file.close();
    FailJob(ErrDiskFull);
}

void QtPrinterSurface::NewPage() {
    BeforeDrawing();
    if (!printer_->newPage()) FailJob(ErrPrinter);
    HomePosition();
}

void QtPrinterSurface::EndDoc() {
    const bool open = DocumentOpen();
    const bool ended = !open || painter_->end();
    if (!ended) FailJob(ErrPrinter);
    HomePosition();
    if (!open) return;
    CheckPdfWritten();
    const QString refusal = Service().Refusal(*printer_);
    if (refusal.isEmpty()) return;
    const QString name = printer_->printerName();
    const QString to = name.isEmpty() ? QStringLiteral("the printer") : QStringLiteral("the printer \"%1\"").arg(name);
    throw RuntimeError(ErrPrinter, QStringLiteral("The print job did not reach %1: %2.").arg(to, refusal).toStdString());
}

void QtPrinterSurface::NameJob(const QString& name) {
    // A QPrinter takes no new name while its document is open.
    if (!DocumentOpen()) printer_->setDocName(name);
}

void QtPrinterSurface::KillDoc() {
    if (DocumentOpen()) DiscardJob();
    HomePosition();
}

QSizeF QtPrinterSurface::DeviceSize() const {
    return printer_->pageLayout().paintRectPixels(printer_->resolution()).size();
}

QSizeF QtPrinterSurface::TwipsPerDeviceUnit() const {
    const double unit = kTwipsPerInch / printer_->resolution();
    return {unit, unit};
}

QSizeF QtPrinterSurface::MeasureDevice(const QString& text) const {
    return backend_.Measure(*this, *printer_, text);
}

double QtPrinterSurface::AverageCharWidthDevice() const { return backend_.AverageCharWidth(*this, *printer_); }

void QtPrinterSurface::PaintLine(const LineOp& op) { backend_.PaintLine(*painter_, *this, *printer_, op); }

void QtPrinterSurface::PaintText(const TextOp& op) { backend_.PaintText(*painter_, *this, *printer_, op); }

// --- the program's Printer ---------------------------------------------

namespace {

std::unique_ptr<PrinterSurface>& CurrentPrinter() {
    static std::unique_ptr<PrinterSurface> printer;
    return printer;
}

void ReleasePrinter() { CurrentPrinter().reset(); }

}  // namespace

PrinterSurface& Printer() {
    auto& printer = CurrentPrinter();
    if (!printer) {
        printer = std::make_unique<QtPrinterSurface>();
        // A QPrinter must not outlive the application (static destruction
        // runs after it): finish any open document while Qt still stands.
        if (QCoreApplication::instance()) qAddPostRoutine(ReleasePrinter);
    }
    return *printer;
}

void SetPrinter(std::unique_ptr<PrinterSurface> printer) { CurrentPrinter() = std::move(printer); }

}  // namespace qvrt
