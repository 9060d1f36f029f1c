// "Least Squares Curve Fit": asks the degree, 1 to 4, of a window's curve
// fit. Modal; OK stores CurveFitDegree, Cancel sets DialogCancelled.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QLineEdit;
class QPushButton;

namespace quarvex {

class Curvefit : public QDialog {
public:
    explicit Curvefit(QWidget* parent = nullptr);

    static void ShowModal(QWidget* parent = nullptr);
    static inline std::function<void(Curvefit&)> RunModal;

    void Form_Load();
    // 0 "OK", 1 "Cancel".
    void Command3D1_Click(int index);

    QLineEdit* Text1 = nullptr;
    std::array<QPushButton*, 2> Command3D1{};

    void reject() override;
};

}  // namespace quarvex
