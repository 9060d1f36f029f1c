// Movaltic: the About box at every start, then the main window until it closes.
#include <QApplication>

#include "movaltic/ui/forms.h"
#include "movaltic/ui/screen_fit.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Movaltic");
    movaltic::InstallScreenFitting();  // every window opens inside the screen
    return movaltic::RunMovaltic();
}
