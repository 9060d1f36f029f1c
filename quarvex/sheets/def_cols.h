// The column assignment dialog "Define Columns": seven boxes, one per data
// role, checked and stored whenever the dialog closes, by OK, Cancel or the
// close box alike (Cancel keeps the edits too; users rely on it).
#pragma once

#include <QDialog>
#include <array>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace quarvex {

class DefCols : public QDialog {
public:
    // Shows the dialog modeless, loading it when it is not open and only
    // bringing it forward when it is.
    static DefCols* Show();
    // The open dialog, or null.
    static DefCols* Instance();

    explicit DefCols(QWidget* parent = nullptr);
    ~DefCols() override;

    QGroupBox* Frame3D1 = nullptr;
    // Sample, name, symbol, colour, top (X), left (Y), right.
    std::array<QLineEdit*, 7> Text1{};
    QPushButton* Command3D1 = nullptr;  // "OK"
    QPushButton* Command3D2 = nullptr;  // "Defaults"
    QPushButton* Command3D3 = nullptr;  // "Cancel"

    void Form_Load();
    void Command3D1_Click();
    void Command3D2_Click();
    void Command3D3_Click();
    // Checks and stores the entries; true when the unload must be cancelled.
    bool Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace quarvex
