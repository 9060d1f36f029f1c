// Movaltic: the About box at every start, then the main window until it closes.
#include <QApplication>

#include <csignal>

#include "movaltic/ui/forms.h"
#include "movaltic/ui/screen_fit.h"

int main(int argc, char** argv) {
    // Past the user's file size limit a write fails (EFBIG) and the job
    // stops with its message, rather than the program ending by the signal.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Movaltic");
    movaltic::InstallScreenFitting();  // every window opens inside the screen
    return movaltic::RunMovaltic();
}
