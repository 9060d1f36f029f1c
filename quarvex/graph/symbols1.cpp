#include "quarvex/graph/symbols1.h"

#include "quarvex/graph/format_dialogs.h"
#include "quarvex/runtime/fonts.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/modeless_dialog.h"

#include <QGroupBox>
#include <QPointer>
#include <QPushButton>

namespace quarvex {

namespace {
QPointer<Symbols1> gDialog;
}

Symbols1::Symbols1(QWidget* parent) : PaletteDialog(QStringLiteral("Symbols"), {"Insert", "OK"}, parent) {
    std::array<QLabel*, 14> panels{};
    for (int i = 0; i < 14; ++i) panels[i] = new SymbolLabel(i + 1, Frame3D1);
    AddPanels(panels);
    for (int i = 0; i < 2; ++i)
        connect(Command3D1[i], &QPushButton::clicked, this, qvrt::Guarded([this, i](bool) { Command3D1_Click(i); }));
}

Symbols1* Symbols1::Show(QWidget* parent) { return ShowModeless(gDialog, parent); }

Symbols1* Symbols1::Instance() { return gDialog; }

void Symbols1::Form_Load() {
    try {
        raise();
        CentreDialog(*this);
        // The panels draw the glyphs of the symbol faces; both must be known.
        qvrt::ResolveFont(QStringLiteral("Symbol"));
        qvrt::ResolveFont(QStringLiteral("WingDings"));
    } catch (const std::exception&) {
        qvrt::host().MsgBox(QStringLiteral("Symbol and/or Wingdings Fonts are missing on your system.  "
                                           "Reinstall these fonts from your Windows disks."),
                            qvrt::vbExclamation, QStringLiteral("Font Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

void Symbols1::Command3D1_Click(int index) {
    if (index == 0) InsertChosen(SymbolCol);
    else if (index == 1) close();
}

}  // namespace quarvex
