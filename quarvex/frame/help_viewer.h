// The program's own help viewer: the help file (HTML kept under the name
// the program has always asked for, "Quarvex.HLP") shown in a browser
// window, opened at a topic by the help commands' context numbers.
#pragma once

#include "quarvex/runtime/qt_host.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QTextBrowser;

namespace quarvex {

class HelpViewer : public QDialog {
public:
    // The open viewer, or null.
    static HelpViewer* Instance();
    // Shows the file (loading it when it is not the one shown) and acts on
    // one help command; false when the file cannot be read.
    static bool Open(const QString& path, int command, long data);
    static void CloseViewer();

    explicit HelpViewer(QWidget* parent = nullptr);

    bool Load(const QString& path);
    void Command(int command, long context);
    QTextBrowser* Browser() const { return browser_; }
    QLineEdit* SearchBox() const { return search_; }
    // Finds the next place holding the search box's text.
    void FindNext();

private:
    QString path_;
    QTextBrowser* browser_ = nullptr;
    QLineEdit* search_ = nullptr;
};

// A help command on a help file named without directory, found where the
// runtime looks for help files, in the viewer above; a file that cannot be
// found or read is reported in a box that names it and where it belongs.
void OpenHelp(const QString& helpFile, int command, long data);

// The running program's host, with help through OpenHelp.
class FrameHost : public qvrt::QtHost {
public:
    void Help(const QString& helpFile, int command, long data) override;
};

// Puts FrameHost in place of the plain Qt host; a test's scripted host stays.
void InstallHelpViewer();

}  // namespace quarvex
