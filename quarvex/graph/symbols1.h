// "Symbols": the fourteen plot symbols; "Insert" writes the chosen symbol's
// number into the symbol column of the active sheet. Opened, not modal,
// from the frame's Options menu.
#pragma once

#include "quarvex/graph/palette_dialog.h"

namespace quarvex {

class Symbols1 : public PaletteDialog {
public:
    explicit Symbols1(QWidget* parent = nullptr);
    // Loads the dialog when it is not open, else brings it forward.
    static Symbols1* Show(QWidget* parent = nullptr);
    static Symbols1* Instance();

    void Form_Load();
    // 0 "Insert", 1 "OK".
    void Command3D1_Click(int index);
};

}  // namespace quarvex
