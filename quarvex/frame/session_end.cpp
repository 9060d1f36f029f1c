#include "quarvex/frame/session_end.h"

#include "quarvex/frame/mdi_form1.h"
#include "quarvex/runtime/guard.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace quarvex {

namespace {

// A signal handler may only write to a descriptor; the event loop reads
// the other end and ends the program from there.
int gSignalPipe[2] = {-1, -1};
struct sigaction gPrevious {};
QSocketNotifier* gNotifier = nullptr;
QMetaObject::Connection gCommit;

void onSigterm(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gSignalPipe[0], &byte, 1);
}

void endBySignal() {
    char byte;
    [[maybe_unused]] const ssize_t got = ::read(gSignalPipe[1], &byte, 1);
    if (MDIForm1* frame = MDIForm1::Instance()) frame->EndBySignal();
    else QApplication::quit();
}

}  // namespace

void InstallSessionEndHandling() {
    if (gNotifier) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) return;
    gNotifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, qApp);
    QObject::connect(gNotifier, &QSocketNotifier::activated, qApp, [] { qvrt::Guard([] { endBySignal(); }); });
    struct sigaction action {};
    action.sa_handler = onSigterm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &gPrevious);

    gCommit = QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp, [](QSessionManager& manager) {
        MDIForm1* frame = MDIForm1::Instance();
        if (!frame || !manager.allowsInteraction()) return;
        bool ended = true;
        qvrt::Guard([&] { ended = frame->SessionCommitData(); });
        if (!ended) manager.cancel();
        manager.release();
    });
}

void RemoveSessionEndHandling() {
    if (!gNotifier) return;
    ::sigaction(SIGTERM, &gPrevious, nullptr);
    QObject::disconnect(gCommit);
    delete gNotifier;
    gNotifier = nullptr;
    ::close(gSignalPipe[0]);
    ::close(gSignalPipe[1]);
    gSignalPipe[0] = gSignalPipe[1] = -1;
}

}  // namespace quarvex
