// A UiHost for tests: answers message boxes and file dialogs from queues,
// runs each modal dialog through a script (or cancels it) and records what
// was shown.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "movaltic/ui/ui_host.h"

namespace uitest {

struct ShownBox {
    QString title, text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

class ScriptedHost : public movaltic::UiHost {
public:
    // A script gets the shown dialog; it presses its buttons itself. A dialog
    // still open after its script is cancelled.
    using Script = std::function<void(QDialog&)>;

    std::deque<QMessageBox::StandardButton> answers;  // default: the box's default button
    std::deque<Script> scripts;                       // default: Cancel
    std::deque<QString> openNames;                    // empty name: Cancel
    std::deque<std::pair<QString, int>> saveNames;    // name and filter index; empty: Cancel
    std::function<void()> onProcessEvents;

    std::vector<ShownBox> boxes;
    QStringList dialogs;  // window titles in the order shown
    int pumps = 0;

    QMessageBox::StandardButton MessageBox(const QString& title, const QString& text, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) override;
    int ExecDialog(QDialog& dialog) override;
    bool OpenFileDialog(const QString& title, const QString& filter, QString& fileName) override;
    bool SaveFileDialog(const QString& title, const QString& filter, int& filterIndex,
                        QString& fileName) override;
    void ProcessEvents() override;

    QStringList BoxTexts() const;
};

// Installs itself as the UiHost for the life of the object.
class HostScope {
public:
    HostScope();
    ~HostScope();
    ScriptedHost host;
};

}  // namespace uitest
