#include "quarvex/runtime/qt_host.h"

#include "quarvex/runtime/kept_printer.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QUrl>

#include <vector>

namespace qvrt {

namespace {

QWidget* dialogParent() { return QApplication::activeWindow(); }

// Gives the focus back to the window that had it once a modal box or dialog
// closes; without a window manager nobody else would.
class RestoreActiveWindow {
public:
    RestoreActiveWindow() : window_(QApplication::activeWindow()) {}
    ~RestoreActiveWindow() {
        if (window_) window_->activateWindow();
    }

private:
    QPointer<QWidget> window_;
};

}  // namespace

int TitleBarWidth(const QString& title) {
    QFont font = QApplication::font();
    font.setBold(true);
    if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * 1.25);
    else font.setPixelSize(qRound(font.pixelSize() * 1.25));
    const QFontMetrics fm(font);
    return fm.horizontalAdvance(title) + 6 * fm.height();
}

int QtHost::MsgBox(const QString& prompt, int style, const QString& title) {
    RestoreActiveWindow restore;
    QMessageBox box(dialogParent());
    box.setText(prompt);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
    switch (style & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct Button { QMessageBox::StandardButton qt; int answer; };
    std::vector<Button> buttons;
    switch (style & 7) {
    case vbOKCancel: buttons = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbAbortRetryIgnore:
        buttons = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
        break;
    case vbYesNoCancel:
        buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNo: buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
    case vbRetryCancel: buttons = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
    default: buttons = {{QMessageBox::Ok, vbOK}}; break;
    }
    for (const auto& b : buttons) box.addButton(b.qt);
    box.setDefaultButton(buttons.front().qt);
    // Qt sizes a box by its text and its own guess at the title; a window
    // manager's larger title font then cuts the title short ("Save F... Error").
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(TitleBarWidth(box.windowTitle()), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    QApplication::setOverrideCursor(Qt::ArrowCursor);  // an hourglass must not hide the question
    box.exec();
    QApplication::restoreOverrideCursor();
    auto* clicked = box.clickedButton();
    for (const auto& b : buttons)
        if (clicked == box.button(b.qt)) return b.answer;
    return DefaultCloseAnswer(style);
}

QStringList QtNameFilters(const QString& formsFilter) {
    QStringList parts = formsFilter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        int paren = desc.indexOf(u'(');
        if (paren >= 0) desc = desc.left(paren).trimmed();
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (auto& p : patterns)
            if (p.trimmed() == u"*.*") p = QStringLiteral("*");
        out << QStringLiteral("%1 (%2)").arg(desc, patterns.join(u' '));
    }
    return out;
}

bool QtHost::FileDialog(const FileDialogRequest& request, QString* fileName) {
    RestoreActiveWindow restore;
    QFileDialog dlg(dialogParent(), request.title);
    const QStringList filters = QtNameFilters(request.filter);
    dlg.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dlg.selectNameFilter(filters[request.filterIndex - 1]);
    if (request.kind == FileDialogKind::Open) {
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode((request.flags & 4096) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    } else {
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        if (!(request.flags & 2)) dlg.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!request.defaultExt.isEmpty()) dlg.setDefaultSuffix(request.defaultExt);
    if (!request.fileName.isEmpty()) dlg.selectFile(request.fileName);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    bool ok = dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty();
    QApplication::restoreOverrideCursor();
    if (ok) *fileName = QDir::toNativeSeparators(dlg.selectedFiles().constFirst());
    return ok;
}

bool QtHost::ColorDialog(uint32_t* color, long) {
    RestoreActiveWindow restore;
    QColor start(*color & 0xFF, (*color >> 8) & 0xFF, (*color >> 16) & 0xFF);
    QColor c = QColorDialog::getColor(start, dialogParent());
    if (!c.isValid()) return false;
    *color = static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
             (static_cast<uint32_t>(c.blue()) << 16);
    return true;
}

namespace {

// Qt's print dialog on CUPS shows its page range group even without the
// page-range option, since the print server could pick the pages; a job
// that asks for no page numbers hides the group once the dialog is shown.
// As the set-up form it prints nothing: it is titled so, and its button says OK.
class PrintDialog : public QPrintDialog {
public:
    PrintDialog(QPrinter* printer, QWidget* parent, bool noPageNumbers, bool setUp)
        : QPrintDialog(printer, parent), noPageNumbers_(noPageNumbers), setUp_(setUp) {}

    void setVisible(bool visible) override {
        QPrintDialog::setVisible(visible);
        if (!visible) return;
        if (noPageNumbers_)
            if (auto* range = findChild<QWidget*>(QStringLiteral("gbPrintRange"))) range->hide();
        if (!setUp_) return;
        setWindowTitle(QStringLiteral("Print Setup"));
        if (auto* buttons = findChild<QDialogButtonBox*>())
            if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
    }

private:
    bool noPageNumbers_;
    bool setUp_;
};

}  // namespace

bool QtHost::PrinterDialog(QPrinter* printer, long flags) {
    RestoreActiveWindow restore;
    static QPrinter fallback;
    QPrinter* p = printer ? printer : &fallback;
    // The set-up form (64) is the print dialog here too, without pages or a
    // selection to pick: the printer, a real one or a PDF file, is chosen
    // there, and a page set-up alone leaves a machine without a printer
    // nothing to print on.
    const bool setUp = (flags & 64) != 0;
    const bool noSelection = setUp || (flags & 4);
    const bool noPageNumbers = setUp || (flags & 8);
    KeptPrinter kept(*p);
    PrintDialog dlg(p, dialogParent(), noPageNumbers, setUp);
    kept.Watch(dlg);
    // PD_NOSELECTION and PD_NOPAGENUMS: the job prints what it prints, so
    // it offers neither a selection nor pages to pick. Printing to a PDF
    // file stays whatever the flags say: on Linux it is how most people
    // print.
    if (noSelection) dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (noPageNumbers) {
        dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    }
    const bool accepted = dlg.exec() == QDialog::Accepted;
    kept.Finish(accepted);
    return accepted;
}

QString FindHelpFile(const QString& helpFile) {
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& dir : {QDir::currentPath(), appDir, appDir + QStringLiteral("/../share/quarvex")}) {
        QFileInfo fi(QDir(dir), helpFile);
        if (fi.isFile()) return fi.absoluteFilePath();
    }
    return QString();
}

void QtHost::Help(const QString& helpFile, int command, long) {
    if (command == HELP_QUIT) return;  // no help window of ours stays open
    QString path = FindHelpFile(helpFile);
    if (path.isEmpty()) {
        MsgBox(QStringLiteral("Cannot find the help file %1.").arg(helpFile), vbExclamation,
               QStringLiteral("Help"));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtHost::ClipboardClear() { QApplication::clipboard()->clear(); }
void QtHost::ClipboardSetText(const QString& text) { QApplication::clipboard()->setText(text); }
QString QtHost::ClipboardGetText() { return QApplication::clipboard()->text(); }

static QScreen* screen() { return QGuiApplication::primaryScreen(); }

double QtHost::TwipsPerPixelX() {
    QScreen* s = screen();
    return s ? 1440.0 / s->logicalDotsPerInchX() : 15.0;
}
double QtHost::TwipsPerPixelY() {
    QScreen* s = screen();
    return s ? 1440.0 / s->logicalDotsPerInchY() : 15.0;
}
double QtHost::ScreenWidthTwips() {
    QScreen* s = screen();
    return s ? s->size().width() * TwipsPerPixelX() : 9600.0;
}
double QtHost::ScreenHeightTwips() {
    QScreen* s = screen();
    return s ? s->size().height() * TwipsPerPixelY() : 7200.0;
}

void QtHost::SetMousePointer(int shape) {
    if (shape == pointer_) return;
    if (pointer_ != vbDefault) QApplication::restoreOverrideCursor();
    if (shape != vbDefault) QApplication::setOverrideCursor(Qt::WaitCursor);
    pointer_ = shape;
}

bool QtHost::StartProgram(const QString& program, const QStringList& arguments) {
    if (program.isEmpty()) return false;
    return QProcess::startDetached(program, arguments);
}

}  // namespace qvrt
