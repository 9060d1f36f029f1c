#include "movaltic/ui/ui_host.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QStringList>

namespace movaltic {

namespace {
QtUiHost gQtHost;
UiHost* gUi = &gQtHost;
}  // namespace

UiHost& Ui() { return *gUi; }
void SetUiHost(UiHost* host) { gUi = host ? host : &gQtHost; }

QString QtFilterFromPairs(const QString& pairs) {
    QStringList parts = pairs.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << parts[i] + " (" + patterns + ")";
    }
    return out.join(";;");
}

QMessageBox::StandardButton QtUiHost::MessageBox(const QString& title, const QString& text,
                                                 QMessageBox::Icon icon,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    int r = box.exec();
    return QMessageBox::StandardButton(r);
}

int QtUiHost::ExecDialog(QDialog& dialog) { return dialog.exec(); }

bool QtUiHost::OpenFileDialog(const QString& title, const QString& filter, QString& fileName) {
    QString name = QFileDialog::getOpenFileName(QApplication::activeWindow(), title, fileName,
                                                QtFilterFromPairs(filter));
    if (name.isEmpty()) return false;
    fileName = name;
    return true;
}

bool QtUiHost::SaveFileDialog(const QString& title, const QString& filter, int& filterIndex,
                              QString& fileName) {
    QString qtFilter = QtFilterFromPairs(filter);
    QStringList filters = qtFilter.split(";;");
    QString selected = filterIndex >= 1 && filterIndex <= filters.size() ? filters[filterIndex - 1] : QString();
    // The window asks its own "Confirm" question about an existing file.
    QString name = QFileDialog::getSaveFileName(QApplication::activeWindow(), title, fileName, qtFilter,
                                                &selected, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return false;
    int index = filters.indexOf(selected);
    if (index >= 0) filterIndex = index + 1;
    fileName = name;
    return true;
}

void QtUiHost::ProcessEvents() { QApplication::processEvents(); }

}  // namespace movaltic
