// "Colors": the fourteen plot colours of ColorPalette; "Insert" writes the
// chosen colour's number into the colour column of the active sheet, and
// "Edit" changes the chosen palette colour through the colour dialog.
// Opened, not modal, from the frame's Options menu.
#pragma once

#include "quarvex/graph/palette_dialog.h"
#include "quarvex/runtime/common_dialog.h"

namespace quarvex {

class Colors1 : public PaletteDialog {
public:
    explicit Colors1(QWidget* parent = nullptr);
    static Colors1* Show(QWidget* parent = nullptr);
    static Colors1* Instance();

    void Form_Load();
    // 0 "Insert", 1 "OK", 2 "Edit".
    void Command3D1_Click(int index);

    qvrt::CommonDialog CMDialog1;

private:
    void paint(int panel, uint32_t color);
};

}  // namespace quarvex
