// The font dialog "Fonts": a font name, a point size, bold, italic and one
// of fourteen colours, shown on a sample. Modal; it fills FontChoice and
// sets DialogCancelled on Cancel, and the caller copies what it needs.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

namespace quarvex {

class Font1 : public QDialog {
public:
    explicit Font1(QWidget* parent = nullptr);

    // Loads and shows the dialog modally; the caller then tests DialogCancelled.
    static void ShowModal(QWidget* parent = nullptr);
    // Tests answer the modal dialog here instead of a user: called with the
    // loaded dialog in place of running it.
    static inline std::function<void(Font1&)> RunModal;

    void Form_Load();
    void Combo1_Click();
    void Combo2_Click();
    void Check3D1_Click(int index);
    void Panel3D2_Click(int index);
    // 0 Cancel, 1 OK.
    void Command3D2_Click(int index);

    QGroupBox* Frame3D1 = nullptr;
    std::array<QLabel*, 2> Panel3D1{};  // "Fonts", "Size"
    QComboBox* Combo1 = nullptr;        // font name
    QComboBox* Combo2 = nullptr;        // point size
    std::array<QCheckBox*, 3> Check3D1{};  // "Bold", "Italic", "Underline"
    QLabel* Panel3D3 = nullptr;            // the sample
    QGroupBox* Frame3D2 = nullptr;
    std::array<QLabel*, 14> Panel3D2{};    // the colours
    std::array<class QPushButton*, 2> Command3D2{};  // 0 "Cancel", 1 "OK"

    int SelectedColourPanel = 0;

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void readControls();
    void fillSizes();
};

// The colour of each of the fourteen panels, red + 256 green + 65536 blue.
extern const std::array<uint32_t, 14> kFontPanelColors;

}  // namespace quarvex
