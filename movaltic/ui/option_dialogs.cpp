// The four option dialogs' instances, made on first use.
#include "movaltic/ui/option_dialogs.h"

#include <QVBoxLayout>

#include "movaltic/ui/win_utils.h"

namespace movaltic {

void FixedDialog(QDialog* dialog, QVBoxLayout* layout) {
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetupDialogForm(dialog);
}

namespace {
TfmInOpt* gInOpt = nullptr;
TfmOutOpt* gOutOpt = nullptr;
TfmEditXY* gEditXY = nullptr;
TfmZUVOpt* gZUVOpt = nullptr;
}  // namespace

void CreateOptionDialogs() {
    if (!gEditXY) gEditXY = new TfmEditXY;
    if (!gOutOpt) gOutOpt = new TfmOutOpt;
    if (!gZUVOpt) gZUVOpt = new TfmZUVOpt;
    if (!gInOpt) gInOpt = new TfmInOpt;
}

void DestroyOptionDialogs() {
    delete gInOpt;
    delete gOutOpt;
    delete gEditXY;
    delete gZUVOpt;
    gInOpt = nullptr;
    gOutOpt = nullptr;
    gEditXY = nullptr;
    gZUVOpt = nullptr;
}

TfmInOpt& fmInOpt() {
    CreateOptionDialogs();
    return *gInOpt;
}
TfmOutOpt& fmOutOpt() {
    CreateOptionDialogs();
    return *gOutOpt;
}
TfmEditXY& fmEditXY() {
    CreateOptionDialogs();
    return *gEditXY;
}
TfmZUVOpt& fmZUVOpt() {
    CreateOptionDialogs();
    return *gZUVOpt;
}

}  // namespace movaltic
