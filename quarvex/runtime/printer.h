// The runtime's Printer object: a drawing surface whose units start as twips
// of the printable area, with the page size, orientation, the font list,
// NewPage and EndDoc. The document opens with the first thing drawn or
// printed (Print "" is enough) and is sent by EndDoc; a document left open
// by a failed job is sent with the next EndDoc or when the program ends.
// Any failure of the printer raises Printer error (482), a job the print
// service refused included; a PDF file that was not written whole raises
// Disk full (61) and is removed.
#pragma once

#include "quarvex/runtime/painter_surface.h"
#include "quarvex/runtime/surface.h"

#include <QString>
#include <memory>

class QPainter;
class QPrinter;

namespace qvrt {

enum PrinterOrientation : int { vbPRORPortrait = 1, vbPRORLandscape = 2 };

class PrinterSurface : public Surface {
public:
    // The page size in twips, whole numbers, as the paper lies in the
    // current orientation.
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual int Orientation() const = 0;
    virtual void SetOrientation(int orientation) = 0;
    // Ends the page and starts the next; the print position goes to the
    // top-left corner. The scale, font and pen stay.
    virtual void NewPage() = 0;
    // Ends the document and sends it; nothing happens when none is open.
    // A PDF file that does not hold the whole document afterwards (a full
    // disk) is removed and raises Disk full (61).
    virtual void EndDoc() = 0;
    // Discards the open document: nothing of it is sent, a PDF file being
    // written is removed, and the next drawing opens a new document.
    virtual void KillDoc() = 0;
    // The QPrinter behind this printer, for the printer set-up dialog
    // (CommonDialog::Printer); null for a printer that is not a Qt one.
    virtual QPrinter* Device() { return nullptr; }

    // Starts a print job named after what it prints: the print queue lists
    // it under that name. The scale, print position, font, colours, pen and
    // fill go back to a new printer's, so nothing an earlier job left
    // carries into this one; the printer, paper and orientation stay.
    void StartJob(const QString& name);
    QString JobName() const { return jobName_; }
    // Names the job the print dialog is about to set up, so that the PDF
    // file the dialog proposes is named after it too; StartJob follows.
    void NameComingJob(const QString& name) { NameJob(name); }

    // The fonts the printer offers (a font dialog's list); Fonts out of
    // 0 .. FontCount - 1 raises Subscript out of range (9).
    int FontCount() const;
    QString Fonts(int index) const;

protected:
    PrinterSurface();
    bool FlowsOverPages() const override { return true; }
    void StartFlowPage() override { NewPage(); }
    // Passes the job's name on to the device.
    virtual void NameJob(const QString&) {}

private:
    QString jobName_;
};

// What became of a document a printer handed to the system's print
// service: Qt sends it when the document ends and tells nothing of the
// answer.
class PrintService {
public:
    virtual ~PrintService() = default;
    // Asked right after `printer` sent a document: empty when the service
    // took the job (a job held on a paused queue too), else why it did not.
    virtual QString Refusal(const QPrinter& printer) = 0;
};

// The print service QtPrinterSurface asks; null goes back to the system's.
void SetPrintService(std::unique_ptr<PrintService> service);

// The printer on Qt: a system printer, or a PDF file.
class QtPrinterSurface : public PrinterSurface {
public:
    // The system's default printer.
    QtPrinterSurface();
    // Prints into a PDF file.
    explicit QtPrinterSurface(const QString& pdfFile);
    ~QtPrinterSurface() override;

    // Changes the set-up dialog makes while a document is open take effect
    // with the next document. A document that fails at any point (its start,
    // a new page, its end, the file check) or is killed leaves a new QPrinter
    // with the same settings here, so take the pointer afresh for each job.
    QPrinter* Device() override { return printer_.get(); }
    bool DocumentOpen() const;

    double Width() const override;
    double Height() const override;
    int Orientation() const override;
    void SetOrientation(int orientation) override;
    void NewPage() override;
    // A document the print service refuses raises Printer error (482)
    // saying so; the printer serves the next job as before.
    void EndDoc() override;
    void KillDoc() override;

protected:
    void NameJob(const QString& name) override;
    QSizeF DeviceSize() const override;
    QSizeF TwipsPerDeviceUnit() const override;
    QSizeF MeasureDevice(const QString& text) const override;
    double AverageCharWidthDevice() const override;
    void BeforeDrawing() override;
    void PaintLine(const LineOp& op) override;
    void PaintText(const TextOp& op) override;
    void PaintClear() override {}

private:
    void RenewPrinter();
    [[noreturn]] void FailJob(int number);
    void DiscardJob();
    QString PdfFile() const;
    void CheckPdfWritten();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    PainterBackend backend_;
};

// The program's one Printer; a QtPrinterSurface on the default printer until
// SetPrinter installs another (tests install a RecordingPrinter). The
// default one is released when the application object goes.
PrinterSurface& Printer();
// Installs a printer; null goes back to the default.
void SetPrinter(std::unique_ptr<PrinterSurface> printer);

}  // namespace qvrt
