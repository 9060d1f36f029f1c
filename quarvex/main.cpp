// Quarvex starts in its splash; closing the splash shows the main frame.
#include "quarvex/frame/frame_commands.h"
#include "quarvex/frame/session_end.h"
#include "quarvex/frame/title1.h"
#include "quarvex/graph/colors1.h"
#include "quarvex/graph/format_dialogs.h"
#include "quarvex/graph/symbols1.h"
#include "quarvex/normsheet/norm_sheet_adapter.h"
#include "quarvex/overlaydraw/graph_overlays.h"
#include "quarvex/printing/graph_window_print.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/screen_fit.h"
#include "quarvex/state/frame_interface.h"

int main(int argc, char** argv) {
    qvrt::GuardedApplication app(argc, argv);
    Q_INIT_RESOURCE(title1);  // the splash picture lives in the static frame library
    QApplication::setApplicationName(QStringLiteral("Quarvex"));
    QApplication::setQuitOnLastWindowClosed(false);  // the frame's unload ends the program
    NORM3B::InstallSheetAdapter();  // the norm reads and writes the real data sheets
    quarvex::InstallGraphOverlays();  // graph windows draw the classification overlays
    quarvex::printing::InstallGraphPrinting();  // graph windows print through the print job
    quarvex::InstallFormatDialogs();  // graph windows reach the font, title and legend dialogs
    quarvex::GraphDialogOpeners.Symbols1 = [] { quarvex::Symbols1::Show(quarvex::TheFrame()->FrameWindow()); };
    quarvex::GraphDialogOpeners.Colors1 = [] { quarvex::Colors1::Show(quarvex::TheFrame()->FrameWindow()); };
    qvrt::InstallScreenFitting();  // every window opens inside the screen, scaled or small
    quarvex::InstallSessionEndHandling();  // a logout asks the frame's questions; SIGTERM keeps the settings
    auto* splash = new quarvex::Title1;
    qvrt::Guard([&] { splash->Form_Load(); });
    splash->show();
    return QApplication::exec();
}
