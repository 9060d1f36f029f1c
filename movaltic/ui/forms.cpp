#include "movaltic/ui/forms.h"

#include <QApplication>

#include "movaltic/ui/compressor_dialog.h"
#include "movaltic/ui/main_window.h"
#include "movaltic/ui/option_dialogs.h"
#include "movaltic/ui/param_dialogs.h"
#include "movaltic/ui/progress_window.h"

namespace movaltic {

int RunMovaltic() {
    int result = 0;
    {
        TfmMain main;
        CreateParamDialogs();
        CreateOptionDialogs();
        CreateProgressWindow();
        main.show();
        result = QApplication::exec();
    }
    DestroyCompressorDialog();
    DestroyProgressWindow();
    DestroyOptionDialogs();
    DestroyParamDialogs();
    return result;
}

}  // namespace movaltic
