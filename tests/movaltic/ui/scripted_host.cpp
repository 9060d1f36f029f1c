#include "scripted_host.h"

#include <QApplication>

namespace uitest {

QMessageBox::StandardButton ScriptedHost::MessageBox(const QString& title, const QString& text,
                                                     QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton) {
    boxes.push_back({title, text, icon, buttons, defaultButton});
    if (answers.empty()) return defaultButton;
    QMessageBox::StandardButton a = answers.front();
    answers.pop_front();
    return a;
}

int ScriptedHost::ExecDialog(QDialog& dialog) {
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    dialogs << dialog.windowTitle();
    if (!scripts.empty()) {
        Script s = std::move(scripts.front());
        scripts.pop_front();
        s(dialog);
    }
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
}

bool ScriptedHost::OpenFileDialog(const QString& title, const QString&, QString& fileName) {
    dialogs << title;
    if (openNames.empty()) return false;
    QString name = openNames.front();
    openNames.pop_front();
    if (name.isEmpty()) return false;
    fileName = name;
    return true;
}

bool ScriptedHost::SaveFileDialog(const QString& title, const QString&, int& filterIndex, QString& fileName) {
    dialogs << title;
    if (saveNames.empty()) return false;
    auto [name, index] = saveNames.front();
    saveNames.pop_front();
    if (name.isEmpty()) return false;
    fileName = name;
    if (index > 0) filterIndex = index;
    return true;
}

void ScriptedHost::ProcessEvents() {
    ++pumps;
    QApplication::processEvents();
    if (onProcessEvents) onProcessEvents();
}

QStringList ScriptedHost::BoxTexts() const {
    QStringList out;
    for (const ShownBox& b : boxes) out << b.text;
    return out;
}

HostScope::HostScope() { movaltic::SetUiHost(&host); }
HostScope::~HostScope() { movaltic::SetUiHost(nullptr); }

}  // namespace uitest
