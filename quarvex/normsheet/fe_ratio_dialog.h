// FeRatio: the modal dialog that asks for the FeO/(FeO + Fe2O3) ratio the
// norm is to re-split the iron by.
#pragma once

#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace NORM3B {

class FeRatio : public QDialog {
    Q_OBJECT
public:
    explicit FeRatio(QWidget* parent = nullptr);

    // Shows the dialog modally; the caller then tests DialogCancelled.
    static void ShowModal(QWidget* parent = nullptr);

    void Form_Load();
    // 0 OK, 1 Cancel.
    void Command3D1_Click(int index);

    QGroupBox* Frame3D1;
    QLabel* Label1;
    QLineEdit* Text1;
    std::array<QPushButton*, 2> Command3D1;

    // Escape ends here; it counts as Cancel.
    void reject() override;

protected:
    // The close box counts as Cancel.
    void closeEvent(QCloseEvent* event) override;

private:
    bool unloading_ = false;
};

}  // namespace NORM3B
