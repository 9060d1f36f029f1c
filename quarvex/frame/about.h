// Help > About: the program's picture, its name and version, and OK.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace quarvex {

class About : public QDialog {
public:
    // Shows the box modeless; an open one is brought forward.
    static About* Show();
    static About* Instance();

    explicit About(QWidget* parent = nullptr);

    QLabel* Picture1 = nullptr;
    QLabel* Panel3D1 = nullptr;
    QPushButton* Command3D1 = nullptr;  // "OK"

    void Form_Load();
    void Command3D1_Click();

    // The panel's text; lines separated by a carriage return alone.
    QString Caption() const { return caption_; }

    // The box's text and picture, the same every time.
    static QString AboutText();

private:
    QString caption_;
};

}  // namespace quarvex
