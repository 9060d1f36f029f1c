// The start-up splash: its load sets the program-wide defaults and the
// window tables; a click or a character key closes it, and closing it is
// the one place that shows the main frame.
#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace quarvex {

class Title1 : public QWidget {
public:
    explicit Title1(QWidget* parent = nullptr);

    QLabel* Picture1 = nullptr;
    QLabel* Label2 = nullptr;
    QTimer* Timer1 = nullptr;

    void Form_Load();
    void Form_Click();
    void Form_KeyPress(int keyAscii);
    void Timer1_Timer();
    void Form_Unload();

    bool Unloaded() const { return unloaded_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void unload();
    bool unloaded_ = false;
};

// The scale factors for a screen width and height in twips: width / 9600
// and height / 7200 for a screen wider than 9700 twips, else 1 and 1.
void ComputeScreenScale(float widthTwips, float heightTwips, double* scaleX, double* scaleY);

}  // namespace quarvex
