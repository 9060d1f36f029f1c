// A host for tests: every box and dialog is answered from a queue and
// recorded, so a test states what the user answers and checks what was asked.
#pragma once

#include "quarvex/runtime/host.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace qvrt {

class ScriptedHost : public Host {
public:
    struct Box {
        QString prompt;
        int style;
        QString title;
    };
    struct Dialog {
        QString kind;  // "Open", "Save", "Color", "Printer"
        QString filter;
        long flags;
    };

    // Answers, consumed in order. An unanswered message box gives its first
    // button; an unanswered dialog is cancelled.
    std::deque<int> msgBoxAnswers;
    std::deque<std::optional<QString>> fileAnswers;   // nullopt: cancel
    std::deque<std::optional<uint32_t>> colorAnswers;
    std::deque<bool> printerAnswers;

    std::vector<Box> boxes;
    // Called as each box is shown, for a test that checks what the user sees then.
    std::function<void(const Box&)> onMsgBox;
    std::vector<Dialog> dialogs;
    // Called as each printer dialog is shown, with its printer (null for a
    // recording one), for a test that makes the user's choices there.
    std::function<void(QPrinter*)> onPrinterDialog;
    // The PDF file the last printer dialog proposed (see ProposedPdfFile),
    // set before onPrinterDialog runs; empty for a recording printer.
    QString proposedPdfFile;
    std::vector<std::pair<int, QString>> helpCalls;  // command, file
    std::vector<QStringList> startedPrograms;         // program then arguments
    bool startSucceeds = true;

    QString clipboard;
    double screenWidthTwips = 19200;   // 1280 x 1024 pixels at 15 twips a pixel
    double screenHeightTwips = 15360;
    double twipsPerPixel = 15;

    int MsgBox(const QString& prompt, int style, const QString& title) override;
    bool FileDialog(const FileDialogRequest& request, QString* fileName) override;
    bool ColorDialog(uint32_t* color, long flags) override;
    bool PrinterDialog(QPrinter* printer, long flags) override;
    void Help(const QString& helpFile, int command, long data) override;
    void ClipboardClear() override { clipboard.clear(); }
    void ClipboardSetText(const QString& text) override { clipboard = text; }
    QString ClipboardGetText() override { return clipboard; }
    double ScreenWidthTwips() override { return screenWidthTwips; }
    double ScreenHeightTwips() override { return screenHeightTwips; }
    double TwipsPerPixelX() override { return twipsPerPixel; }
    double TwipsPerPixelY() override { return twipsPerPixel; }
    void SetMousePointer(int shape) override { pointer = shape; }
    int MousePointer() const override { return pointer; }
    bool StartProgram(const QString& program, const QStringList& arguments) override;

    int pointer = vbDefault;
};

// Installs a fresh ScriptedHost as the host and returns it; the host lives
// until the next SetHost.
ScriptedHost& InstallScriptedHost();

}  // namespace qvrt
