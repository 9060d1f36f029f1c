#include "quarvex/runtime/scripted_host.h"

#include "quarvex/runtime/kept_printer.h"

namespace qvrt {

int ScriptedHost::MsgBox(const QString& prompt, int style, const QString& title) {
    boxes.push_back({prompt, style, title});
    if (onMsgBox) onMsgBox(boxes.back());
    if (msgBoxAnswers.empty()) return FirstButtonAnswer(style);
    int a = msgBoxAnswers.front();
    msgBoxAnswers.pop_front();
    return a;
}

bool ScriptedHost::FileDialog(const FileDialogRequest& request, QString* fileName) {
    dialogs.push_back({request.kind == FileDialogKind::Open ? QStringLiteral("Open") : QStringLiteral("Save"),
                       request.filter, request.flags});
    if (fileAnswers.empty()) return false;
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    if (!a) return false;
    *fileName = *a;
    return true;
}

bool ScriptedHost::ColorDialog(uint32_t* color, long flags) {
    dialogs.push_back({QStringLiteral("Color"), QString(), flags});
    if (colorAnswers.empty()) return false;
    auto a = colorAnswers.front();
    colorAnswers.pop_front();
    if (!a) return false;
    *color = *a;
    return true;
}

bool ScriptedHost::PrinterDialog(QPrinter* printer, long flags) {
    dialogs.push_back({QStringLiteral("Printer"), QString(), flags});
    proposedPdfFile = printer ? ProposedPdfFile(*printer) : QString();
    if (onPrinterDialog) onPrinterDialog(printer);
    if (printerAnswers.empty()) return false;
    bool a = printerAnswers.front();
    printerAnswers.pop_front();
    return a;
}

void ScriptedHost::Help(const QString& helpFile, int command, long) { helpCalls.emplace_back(command, helpFile); }

bool ScriptedHost::StartProgram(const QString& program, const QStringList& arguments) {
    startedPrograms.push_back(QStringList{program} + arguments);
    return startSucceeds;
}

ScriptedHost& InstallScriptedHost() {
    auto h = std::make_unique<ScriptedHost>();
    ScriptedHost& ref = *h;
    SetHost(std::move(h));
    return ref;
}

}  // namespace qvrt
