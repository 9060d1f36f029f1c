// Mafics: the modal dialog "Compositions Required" that asks for the mafic
// mineral, anorthite and olivine percentages of one row when a classifier's
// rule splits by them.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quarvex {

class Mafics : public QDialog {
public:
    explicit Mafics(QWidget* parent = nullptr);

    // Loads the dialog for MaficsRow and shows it modally.
    static void ShowModal(QWidget* parent = nullptr);

    void Form_Load();
    // 0 "OK", 1 "Ignore All", 2 "Ignore".
    void SSCommand1_Click(int index);

    QGroupBox* Frame1;
    QLabel* Label1;
    std::array<QLabel*, 2> Label2;
    std::array<QLineEdit*, 3> Text1;
    QLabel* Label3;
    std::array<QPushButton*, 3> SSCommand1;

    // Tests answer the modal dialog here instead of a user: called with the
    // loaded dialog in place of running it.
    static inline std::function<void(Mafics&)> RunModal;

    // Escape and the close box count as "Ignore" for the row.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool unloading_ = false;
};

}  // namespace quarvex
