#include "quarvex/sheets/plt_file.h"

#include "quarvex/runtime/common_dialog.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/sheets/plt_format.h"
#include "quarvex/state/data_menus.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QFileInfo>
#include <QMdiArea>

#include <algorithm>
#include <new>

namespace quarvex {

namespace {

const QString kDiskNotReady = QStringLiteral("Disk not ready.  Place diskette in correct drive.");
const QString kInvalidName = QStringLiteral("Filename is invalid.  Enter new filename.");

QString errorText(const qvrt::RuntimeError& e) { return QString::fromStdString(e.description()); }

int box(const QString& text, int style, const QString& title) {
    return qvrt::host().MsgBox(text, style, title);
}

// Runs a step, asking "Disk not ready" for error 71 and trying the step again
// on OK. False when the user answered Cancel; other errors pass through.
template <typename Step>
bool withDiskRetry(Step&& step) {
    for (;;) {
        try {
            step();
            return true;
        } catch (const qvrt::RuntimeError& e) {
            if (e.number() != qvrt::ErrDiskNotReady) throw;
            MsgBoxAnswer = static_cast<int16_t>(
                box(kDiskNotReady, qvrt::vbOKCancel + qvrt::vbQuestion, QStringLiteral("Error")));
            if (MsgBoxAnswer != qvrt::vbOK) return false;
        }
    }
}

bool sameFile(const QString& a, const QString& b) {
    if (a == b) return true;
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// What a save of the sheet writes.
struct SheetFile {
    QByteArray bytes;
    bool asRead = false;      // the bytes the file had when the sheet was read from it
    bool becameUtf8 = false;  // in UTF-8 for a character Windows-1252 lacks
};

// Whether the sheet's text in form is what it was right after it was read
// from form.file (found again only for a save after a change: an open
// costs nothing for it). Without the memory for that, the sheet counts as
// changed.
bool sameAsRead(const Main1& sheet, const Main1::FileForm& form, const QByteArray& text) {
    try {
        // A Windows-1252 file, or plain UTF-8, is the sheet's text as it stands.
        const bool asIs = !form.utf8 || (form.utf16 == Utf16::No && !form.mark && QByteArrayView(form.file).isValidUtf8());
        const QByteArray read = asIs ? form.file : SheetTextFromFile(form.file).bytes;
        const std::string_view end(form.lineEnd.constData(), static_cast<size_t>(form.lineEnd.size()));
        return qvrt::SpreadGrid::IsTabFileOf(text, std::string_view(read.constData(), static_cast<size_t>(read.size())),
                                             std::min(kPltMaxFields, sheet.Grid1->MaxCols()), form.utf8, end);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

SheetFile sheetFileOf(const Main1& sheet) {
    static const Main1::FileForm kNewSheet;
    const Main1::FileForm& form = sheet.SavedForm ? *sheet.SavedForm : kNewSheet;
    SheetFile out;
    const bool kept = !form.file.isEmpty();
    // Edited rows are compared with themselves as read; the whole sheet only
    // when that could not be kept track of (rows inserted, too many changed).
    const auto since = !kept ? qvrt::GridCells::SinceWatch::Changed
                       : sheet.Grid1->CellChanges() == form.cellChanges ? qvrt::GridCells::SinceWatch::Same
                                                                        : sheet.Grid1->CellsSinceWatch();
    if (since == qvrt::GridCells::SinceWatch::Same) {
        out.bytes = form.file;
        out.asRead = true;
        return out;
    }
    const std::string_view end(form.lineEnd.constData(), static_cast<size_t>(form.lineEnd.size()));
    // Cells still as read from a Windows-1252 file that hold its UTF-8 text stay so in UTF-8
    // rather than being encoded a second time.
    out.bytes = form.utf8 ? sheet.Grid1->TabFileBytesUtf8(end, form.utf8Cells)
                          : sheet.Grid1->TabFileBytes(&out.becameUtf8, end, form.utf8Cells);
    // Changed and changed back, the sheet still writes the file's own bytes.
    if (since == qvrt::GridCells::SinceWatch::Unknown && !out.becameUtf8 && sameAsRead(sheet, form, out.bytes)) {
        out.bytes = form.file;
        out.asRead = true;
    } else if (form.utf16 != Utf16::No) {
        out.bytes = Utf16FileBytes(out.bytes, form.utf16, form.mark);
    } else if (form.utf8 && form.mark) {
        out.bytes.prepend("\xEF\xBB\xBF");
    }
    return out;
}

// Saving over the file the sheet was opened from, when that had more
// columns than the sheet holds, leaves the rest out: only with the user's
// word. True when the save may go on (the sheet unchanged, it writes the
// file whole as it was).
bool mayLeaveOutColumns(const Main1& sheet, const QString& path) {
    if (sheet.WideFile.isEmpty() || !sameFile(sheet.WideFile, path) || sheetFileOf(sheet).asRead) return true;
    const QString prompt =
        QStringLiteral("%1 has %2 columns and this sheet only the first %3: saving over the file leaves out "
                       "columns %4 to %2.  Save anyway?\n\nCancel keeps the file whole (Save As writes the sheet "
                       "elsewhere).")
            .arg(path)
            .arg(sheet.WideFileColumns)
            .arg(kPltMaxFields)
            .arg(kPltMaxFields + 1);
    return box(prompt, qvrt::vbOKCancel + qvrt::vbExclamation, QStringLiteral("Save File")) == qvrt::vbOK;
}

// After a save to path: a wide file saved over is no longer wide, unless
// it was written back as it was.
void noteSaved(Main1& sheet, const QString& path, bool asRead) {
    if (!asRead && !sheet.WideFile.isEmpty() && sameFile(sheet.WideFile, path)) sheet.WideFile.clear();
}

Main1* activeSheet() {
    FrameInterface* f = TheFrame();
    return f ? dynamic_cast<Main1*>(f->ActiveForm()) : nullptr;
}

}  // namespace

std::array<QString, 4> RotateRecentFiles(const std::array<QString, 4>& old, const QString& f) {
    if (old[0] == f) return old;
    if (old[1] == f) return {old[1], old[0], old[2], old[3]};
    if (old[2] == f) return {old[2], old[0], old[1], old[3]};
    if (old[3] == f) return {old[3], old[0], old[1], old[2]};
    return {f, old[0], old[1], old[2]};
}

bool WriteSheetFile(Main1& sheet, const QString& path) {
    const SheetFile out = sheetFileOf(sheet);
    WriteFileReplacing(path, out.bytes);
    // The file now holds the sheet's text as it stands, which a later unchanged save writes again.
    if (!out.asRead && sheet.SavedForm) {
        sheet.SavedForm->file.clear();
        sheet.Grid1->WatchCells(false);
    }
    if (out.becameUtf8) {
        // Once the file is UTF-8 it stays so, whatever the sheet holds later;
        // cells read from a file go on being judged as they were.
        if (!sheet.SavedForm) sheet.SavedForm = Main1::FileForm{};
        sheet.SavedForm->utf8 = true;
    }
    return out.asRead;
}

void FillSheetFromPlt(Main1& sheet, const QByteArray& bytes, bool utf8) {
    qvrt::SpreadGrid* grid = sheet.Grid1;
    const auto lines = SplitPltLines(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    // The sheet is as long as the file when that is longer than a new sheet.
    if (static_cast<qsizetype>(lines.size()) > SheetMaxRows) grid->setMaxRows(static_cast<int>(lines.size()));
    int row = 0;
    for (std::string_view line : lines) {
        ++row;
        grid->setRow(row);
        grid->setRow2(row);
        grid->setCol(1);
        grid->setCol2(kPltMaxFields);
        grid->setClipBytes(line, utf8, true);
    }
}

}  // namespace quarvex

namespace MODULE21 {

using namespace quarvex;

void OpenDataFile() {
    FrameInterface* f = TheFrame();
    if (!f) return;
    for (;;) {
        try {
            qvrt::CommonDialog& dlg = f->CommonDialog();
            dlg.CancelError = true;
            dlg.Flags = 6146;
            dlg.Filter = QStringLiteral("Quarvex file (*.plt)|*.plt|All Files (*.*)|*.*");
            dlg.DefaultExt.clear();
            bool shown = withDiskRetry([&] { dlg.ShowOpen(); });
            if (!shown) continue;
            CurrentFileName = dlg.FileName;
            LoadDataFile();
            return;
        } catch (const qvrt::RuntimeError& e) {
            switch (e.number()) {
            case qvrt::ErrDialogCancelled: return;
            case qvrt::ErrPathFileAccess:
                box(QStringLiteral("Path/File access error"), qvrt::vbExclamation, QStringLiteral("Error"));
                continue;
            case qvrt::ErrInvalidFileName:
                box(kInvalidName, qvrt::vbExclamation, QStringLiteral("Error"));
                continue;
            default:
                qvrt::host().SetMousePointer(qvrt::vbDefault);
                box(errorText(e), qvrt::vbExclamation, QStringLiteral("Open File Error"));
                return;
            }
        }
    }
}

void OpenRecentFile(int index) {
    FrameInterface* f = TheFrame();
    if (!f || index < 0 || index > 3) return;
    CurrentFileName = f->RecentFileCaption(index);
    LoadDataFile();
}

void LoadDataFile() {
    QPointer<Main1> sheet;
    const QString path = CurrentFileName;
    try {
        // The whole file is read before a sheet exists, so a file that cannot
        // be read leaves no sheet behind that carries its name.
        QByteArray bytes;
        if (!withDiskRetry([&] { bytes = ReadDataFile(path); })) return;

        const int16_t n = GrowWindowTables();
        CurrentDataWindow = n;
        sheet = Main1::Create();
        DataWindows[n] = sheet;
        sheet->SetFocus();
        sheet->Tag = QString::number(n);
        WindowTable[n].IsOpen = -1;
        qvrt::HourglassPointer busy;
        sheet->Grid1->setReDraw(false);
        const SheetText text = SheetTextFromFile(bytes);
        FillSheetFromPlt(*sheet, text.bytes, text.utf8);
        // Kept to save back byte for byte only where that costs little memory.
        constexpr qsizetype kKeptBytes = 32 << 20;
        const bool keep = !bytes.isEmpty() && bytes.size() <= kKeptBytes;
        sheet->SavedForm = Main1::FileForm{text.utf8, text.mark, text.lineEnd, keep ? bytes : QByteArray(),
                                           sheet->Grid1->CellChanges(), text.utf16, text.utf8Cells};
        sheet->Grid1->WatchCells(keep);
        if (text.widestLine > kPltMaxFields) {
            sheet->WideFile = path;
            sheet->WideFileColumns = text.widestLine;
        }
        sheet->Grid1->SetFocus();
        sheet->Grid1->setRow(1);
        sheet->Grid1->setCol(1);
        CurrentFileName = path;
        RecentFilesUpdate();
        sheet->Grid1->setReDraw(true);
        WindowTable[n].Modified = 0;
        WindowTable[n].Saved = 0;
        EnableDataMenus();
        // Saved over the file, the sheet would leave out the columns past its last.
        if (text.widestLine > kPltMaxFields)
            box(QStringLiteral("%1 has %2 columns.  Only the first %3 are loaded: saving this sheet over the file "
                               "would leave out the rest.")
                    .arg(path)
                    .arg(text.widestLine)
                    .arg(kPltMaxFields),
                qvrt::vbExclamation, QStringLiteral("Open File"));
    } catch (const qvrt::RuntimeError& e) {
        qvrt::host().SetMousePointer(qvrt::vbDefault);
        if (sheet) {
            // What was read stays, but the sheet no longer names the file:
            // a later Save must not overwrite it with part of its contents.
            sheet->setCaption(sheet->Caption().left(sheet->Caption().indexOf(u'-') + 1));
            sheet->Record().Modified = -1;
            sheet->Grid1->setReDraw(true);
        }
        box(errorText(e), qvrt::vbExclamation, QStringLiteral("Open File Error"));
    } catch (const std::bad_alloc&) {
        qvrt::host().SetMousePointer(qvrt::vbDefault);
        if (sheet) sheet->UnloadWithoutQuestion();
        box(QString::fromStdString(qvrt::ErrorText(7)), qvrt::vbExclamation, QStringLiteral("Open File Error"));
    }
}

bool SaveDataFile(Main1* sheet) {
    if (!sheet) sheet = activeSheet();
    if (!sheet) return false;
    WindowRecord& rec = sheet->Record();
    try {
        CurrentFileName = sheet->FileName();
        rec.SaveCancelled = 0;
        if (CurrentFileName.isEmpty()) return SaveDataFileAs(sheet);
        if (!mayLeaveOutColumns(*sheet, CurrentFileName)) return false;
        bool asRead = false;
        {
            qvrt::HourglassPointer busy;
            // The flags change only once the file is written: a failed save
            // leaves the sheet marked as changed.
            asRead = WriteSheetFile(*sheet, CurrentFileName);
        }
        noteSaved(*sheet, CurrentFileName, asRead);
        sheet->Grid1->setVisible(true);
        rec.Modified = 0;
        rec.Saved = -1;
        rec.SaveCancelled = 0;
        return true;
    } catch (const qvrt::RuntimeError& e) {
        qvrt::host().SetMousePointer(qvrt::vbDefault);
        box(errorText(e), qvrt::vbExclamation, QStringLiteral("Save File Error"));
        return false;
    } catch (const std::bad_alloc&) {
        // The file is as it was and the sheet still marked changed.
        qvrt::host().SetMousePointer(qvrt::vbDefault);
        box(QString::fromStdString(qvrt::ErrorText(7)), qvrt::vbExclamation, QStringLiteral("Save File Error"));
        return false;
    }
}

bool SaveDataFileAs(Main1* sheet) {
    if (!sheet) sheet = activeSheet();
    FrameInterface* f = TheFrame();
    if (!sheet || !f) return false;
    const QString tag = sheet->Tag;
    for (;;) {
        try {
            qvrt::CommonDialog& dlg = f->CommonDialog();
            dlg.Flags = 2050;
            dlg.CancelError = true;
            dlg.Filter = QStringLiteral("Quarvex file (*.plt)|*.plt|Tab delim ASCII (*.*)|*.*");
            dlg.DefaultExt.clear();
            dlg.ShowSave();
            CurrentFileName = dlg.FileName;
            if (!mayLeaveOutColumns(*sheet, CurrentFileName)) continue;  // back to the dialog for another name
            RecordByTag(tag).Saved = -1;
            RecordByTag(tag).SaveCancelled = -1;
            bool asRead = false;
            bool written = withDiskRetry([&] {
                qvrt::HourglassPointer busy;
                asRead = WriteSheetFile(*sheet, CurrentFileName);
            });
            if (!written) continue;  // Cancel on "Disk not ready": back to the dialog
            noteSaved(*sheet, CurrentFileName, asRead);
            const QString caption = sheet->Caption();
            const int dash = caption.left(11).indexOf(u'-');
            sheet->setCaption(caption.left(dash + 1) + CurrentFileName);
            RecentFilesUpdate();
            RecordByTag(tag).Modified = 0;
            RecordByTag(tag).SaveCancelled = 0;
            return true;
        } catch (const qvrt::RuntimeError& e) {
            WindowRecord& rec = RecordByTag(tag);
            rec.Saved = -1;
            rec.SaveCancelled = -1;
            qvrt::host().SetMousePointer(qvrt::vbDefault);
            switch (e.number()) {
            case qvrt::ErrPathNotFound:
                box(QStringLiteral("Path not found. Enter correct path."), qvrt::vbExclamation,
                    QStringLiteral("Error"));
                continue;
            case qvrt::ErrInvalidFileName:
                box(kInvalidName, qvrt::vbExclamation, QStringLiteral("Save File Error"));
                continue;
            case qvrt::ErrPathFileAccess:
                box(QStringLiteral("Path/File access error"), qvrt::vbExclamation, QStringLiteral("Error"));
                continue;
            case qvrt::ErrDialogCancelled: DialogCancelled = -1; return false;
            default:
                box(errorText(e), qvrt::vbExclamation, QStringLiteral("Save File Error"));
                return false;
            }
        } catch (const std::bad_alloc&) {
            WindowRecord& rec = RecordByTag(tag);
            rec.Saved = -1;
            rec.SaveCancelled = -1;
            qvrt::host().SetMousePointer(qvrt::vbDefault);
            box(QString::fromStdString(qvrt::ErrorText(7)), qvrt::vbExclamation, QStringLiteral("Save File Error"));
            return false;
        }
    }
}

void RecentFilesUpdate() {
    FrameInterface* f = TheFrame();
    std::array<QString, 4> list;
    for (int i = 0; i < 4; ++i) list[i] = f ? f->RecentFileCaption(i) : RecentFiles[i + 1];
    list = RotateRecentFiles(list, CurrentFileName);
    for (int i = 0; i < 4; ++i) {
        RecentFiles[i + 1] = list[i];
        if (f) f->SetRecentFileCaption(i, list[i]);
    }
}

}  // namespace MODULE21
