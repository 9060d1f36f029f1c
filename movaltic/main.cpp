// Movaltic: the About box at every start, then the main window until it closes.
#include <QApplication>

#include "movaltic/ui/forms.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Movaltic");
    return movaltic::RunMovaltic();
}
