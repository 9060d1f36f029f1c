// The host of the running program: Qt's message boxes and dialogs.
#pragma once

#include "quarvex/runtime/host.h"

namespace qvrt {

class QtHost : public Host {
public:
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    bool FileDialog(const FileDialogRequest& request, QString* fileName) override;
    bool ColorDialog(uint32_t* color, long flags) override;
    bool PrinterDialog(QPrinter* printer, long flags) override;
    void Help(const QString& helpFile, int command, long data) override;
    void ClipboardClear() override;
    void ClipboardSetText(const QString& text) override;
    QString ClipboardGetText() override;
    double ScreenWidthTwips() override;
    double ScreenHeightTwips() override;
    double TwipsPerPixelX() override;
    double TwipsPerPixelY() override;
    void SetMousePointer(int shape) override;
    int MousePointer() const override { return pointer_; }
    bool StartProgram(const QString& program, const QStringList& arguments) override;

private:
    int pointer_ = vbDefault;
};

// "Quarvex file (*.plt)|*.plt|All Files (*.*)|*.*" as Qt name filters;
// "*.*" becomes "*" so files without an extension are listed too.
QStringList QtNameFilters(const QString& formsFilter);

// The width a window needs for its whole title in a window manager's title
// bar: the title in a bold, larger face than the program's, beside the
// window's icon and its three buttons.
int TitleBarWidth(const QString& title);

// Where a help file named without directory is looked for: the current
// folder, the program's folder and its ../share/quarvex. Empty when absent.
QString FindHelpFile(const QString& helpFile);

}  // namespace qvrt
