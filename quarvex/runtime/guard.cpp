#include "quarvex/runtime/guard.h"

#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"

#include <csignal>

namespace qvrt {

namespace {

// Reporting must not itself throw out of the guard.
void showSafely(const QString& text) {
    try {
        host().SetMousePointer(vbDefault);
        host().MsgBox(text, vbExclamation, QStringLiteral("Error"));
    } catch (...) {
    }
}

}  // namespace

void ReportUncaught(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e)) {
        showSafely(QString::fromStdString(ErrorText(7)));
        return;
    }
    showSafely(QString::fromUtf8(e.what()));
}

void ReportUncaughtUnknown() { showSafely(QString::fromStdString(ErrorText(0))); }

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {
    std::signal(SIGXFSZ, SIG_IGN);
}

bool GuardedNotify(QApplication& app, QObject* receiver, QEvent* event) {
    try {
        return app.QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportUncaught(e);
    } catch (...) {
        ReportUncaughtUnknown();
    }
    return false;
}

}  // namespace qvrt
