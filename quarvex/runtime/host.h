// What the program asks of the desktop: message boxes, the common dialogs,
// help, the clipboard, the screen and the mouse pointer, and starting another
// program. The running program uses QtHost; tests install a ScriptedHost that
// answers from a queue and records what was shown.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class QPrinter;

namespace qvrt {

// Message box styles and answers, with the forms' numbers.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum MsgBoxAnswerCode : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// The answer a box gives when the user closes it without choosing
// (Escape or the title bar's close): Cancel where there is one.
int DefaultCloseAnswer(int style);
// The answer of the box's first button.
int FirstButtonAnswer(int style);

// Mouse pointer shapes by their forms numbers.
enum MousePointerShape : int { vbDefault = 0, vbHourglass = 11 };

// WinHelp commands the program uses.
enum HelpCommand : int {
    HELP_CONTEXT = 1,
    HELP_QUIT = 2,
    HELP_CONTENTS = 3,
    HELP_HELPONHELP = 4,
    HELP_PARTIALKEY = 261,
};

enum class FileDialogKind { Open, Save };

// What a file dialog was asked to show; the forms' flags and "|"-separated filter.
struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    QString filter;      // "Quarvex file (*.plt)|*.plt|All Files (*.*)|*.*"
    int filterIndex = 1; // 1-based, as the forms counted
    long flags = 0;      // 4096 file must exist, 2048 path must exist, 2 overwrite prompt
    QString fileName;    // initial name
    QString defaultExt;
};

class Host {
public:
    virtual ~Host() = default;

    // Shows a message box; returns vbOK, vbCancel, vbYes, vbNo, ...
    virtual int MsgBox(const QString& prompt, int style, const QString& title) = 0;

    // A file dialog; false when the user cancelled. The chosen full path goes to *fileName.
    virtual bool FileDialog(const FileDialogRequest& request, QString* fileName) = 0;
    // The colour dialog on a colour red + 256 green + 65536 blue; false when cancelled.
    virtual bool ColorDialog(uint32_t* color, long flags) = 0;
    // The printer set-up (flags 64) or print dialog on the given printer, which
    // may be null when no printer is set up yet; false when cancelled.
    virtual bool PrinterDialog(QPrinter* printer, long flags) = 0;

    // WinHelp: the help file named without directory, one of HelpCommand, its data.
    virtual void Help(const QString& helpFile, int command, long data) = 0;

    virtual void ClipboardClear() = 0;
    virtual void ClipboardSetText(const QString& text) = 0;
    virtual QString ClipboardGetText() = 0;

    // The screen in twips (1/1440 inch) and twips per pixel.
    virtual double ScreenWidthTwips() = 0;
    virtual double ScreenHeightTwips() = 0;
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;

    // The screen's mouse pointer (vbDefault, vbHourglass).
    virtual void SetMousePointer(int shape) = 0;
    virtual int MousePointer() const = 0;

    // Starts a program by its path with arguments, directly and never
    // through a shell; false when it could not be started.
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;
};

// The host in use; a QtHost until SetHost installs another.
Host& host();
// Installs a host (tests: a ScriptedHost); null restores the QtHost.
void SetHost(std::unique_ptr<Host> newHost);

// The mouse pointer is set back to the default when this goes out of scope,
// also on an error, as every long step of the program does.
class HourglassPointer {
public:
    HourglassPointer() { host().SetMousePointer(vbHourglass); }
    ~HourglassPointer() { host().SetMousePointer(vbDefault); }
    HourglassPointer(const HourglassPointer&) = delete;
    HourglassPointer& operator=(const HourglassPointer&) = delete;
};

}  // namespace qvrt
