// "Title": the graph title and, through "Font", the title's font. Modal,
// from a graph window's "Set &Title..."; the caller takes the title when
// TitleChanged is -1 and the font when FontChoice.TitleFlag is -1.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace quarvex {

class SETTITLE : public QDialog {
public:
    explicit SETTITLE(QWidget* parent = nullptr);

    static void ShowModal(QWidget* parent = nullptr);
    static inline std::function<void(SETTITLE&)> RunModal;

    void Form_Load();
    void Command3D1_Click();           // "OK"
    void Command3D2_Click(int index);  // 0 "Cancel", 1 "Font"

    QGroupBox* Frame3D1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command3D1 = nullptr;
    std::array<QPushButton*, 2> Command3D2{};

    void reject() override;
};

}  // namespace quarvex
