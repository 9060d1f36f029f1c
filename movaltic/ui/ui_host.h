// What the forms ask of the desktop: message boxes, modal dialogs, the file
// dialogs and the event pump. The running program uses QtUiHost; tests put a
// scripted host in its place that answers from a queue and records each ask.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;

namespace movaltic {

class UiHost {
public:
    virtual ~UiHost() = default;
    virtual QMessageBox::StandardButton MessageBox(const QString& title, const QString& text,
                                                   QMessageBox::Icon icon,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton) = 0;
    // Shows the dialog modally; returns its result (QDialog::Accepted or Rejected).
    virtual int ExecDialog(QDialog& dialog) = 0;
    // filter is in the "text|patterns|text|patterns" form; false when cancelled.
    virtual bool OpenFileDialog(const QString& title, const QString& filter, QString& fileName) = 0;
    // filterIndex is 1-based and is updated to the filter the user chose.
    virtual bool SaveFileDialog(const QString& title, const QString& filter, int& filterIndex,
                                QString& fileName) = 0;
    virtual void ProcessEvents() = 0;
};

class QtUiHost : public UiHost {
public:
    QMessageBox::StandardButton MessageBox(const QString& title, const QString& text,
                                           QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) override;
    int ExecDialog(QDialog& dialog) override;
    bool OpenFileDialog(const QString& title, const QString& filter, QString& fileName) override;
    bool SaveFileDialog(const QString& title, const QString& filter, int& filterIndex,
                        QString& fileName) override;
    void ProcessEvents() override;
};

// The host in use; a QtUiHost until another is set.
UiHost& Ui();
void SetUiHost(UiHost* host);

// "ZUV movie|*.zuv|AVI movie|*.avi" -> "ZUV movie (*.zuv);;AVI movie (*.avi)".
QString QtFilterFromPairs(const QString& pairs);

}  // namespace movaltic
