// What "Symbols" and "Colors" have in common: fourteen panels in a frame,
// one of them marked by a click, and "Insert", which writes the chosen
// number into the active sheet's current row and moves down a row.
#pragma once

#include <QDialog>
#include <QLabel>
#include <array>
#include <vector>

class QGroupBox;
class QPushButton;

namespace quarvex {

class PaletteDialog : public QDialog {
public:
    QGroupBox* Frame3D1 = nullptr;
    std::array<QLabel*, 14> Panel3D1{};
    std::vector<QPushButton*> Command3D1;  // 0 "Insert", 1 "OK", (2 "Edit")

    int16_t ChosenNumber = 0;
    int16_t MarkedIndex = 0;

    void Panel3D1_Click(int index);
    // Whether panel i shows the selection mark.
    bool Marked(int index) const;

protected:
    PaletteDialog(const QString& caption, const std::vector<const char*>& buttons, QWidget* parent);
    // Places the panels made by the dialog into the frame and wires them.
    void AddPanels(const std::array<QLabel*, 14>& panels);
    // Writes ChosenNumber into the given column of the active sheet's
    // current row (nothing for column 0, the heading row or no sheet).
    void InsertChosen(int column);

    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace quarvex
