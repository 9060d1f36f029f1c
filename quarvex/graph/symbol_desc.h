// "Symbol Descriptions": the legend text of each of the fourteen plot
// symbols. Modeless from the plot set-up dialogs, modal from a graph
// window; OK stores the texts, Clear empties the boxes only, Cancel stores
// nothing.
#pragma once

#include <QDialog>
#include <QPoint>
#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quarvex {

class SymbolDesc : public QDialog {
public:
    explicit SymbolDesc(QWidget* parent = nullptr);
    ~SymbolDesc() override;

    // Modeless: loads the dialog when it is not open, else brings it forward.
    static SymbolDesc* Show(QWidget* parent = nullptr);
    static SymbolDesc* Instance();
    // Modal, from a graph window's "S&ymbol Descriptions...".
    static void ShowModal(QWidget* parent = nullptr);
    static inline std::function<void(SymbolDesc&)> RunModal;

    // Where a new graph window puts the dialog (screen pixels): the next
    // opening shows there instead of centred, until the dialog is closed.
    static void PlaceFor(QPoint topLeft);

    void Form_Load();
    // 0 "OK", 1 "Clear", 2 "Cancel".
    void Command3D1_Click(int index);

    QGroupBox* Frame3D2 = nullptr;
    std::array<QLabel*, 14> Label3{};     // the symbols
    std::array<QLineEdit*, 14> Text2{};   // their descriptions
    std::array<QPushButton*, 3> Command3D1{};
};

}  // namespace quarvex
