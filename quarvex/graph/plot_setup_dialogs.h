// The two plot set-up dialogs: Options (ternary and diamond diagrams) and
// SetUp ("XY Options"). Both are shown not modal; their "Plot" buttons run
// the plot launcher.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace quarvex {

class Options : public QDialog {
public:
    explicit Options(QWidget* parent = nullptr);

    void Form_Load();
    void Command3D1_Click();  // "Plot"
    void Command3D4_Click();  // "OK"
    void Command3D2_Click();  // "Cancel"
    void SSCommand1_Click();  // "Symbols"

    QComboBox* Combo1 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text1[4] = {};
    QRadioButton* Label[2] = {};  // "none", "Sample #"

private:
    void Unload();
};

class SetUp : public QDialog {
public:
    explicit SetUp(QWidget* parent = nullptr);

    void Form_Load();
    void AutoO_Click();
    void ManualO_Click();
    // 0 "OK", 1 "Cancel", 2 "Plot".
    void Command3D1_Click(int index);
    void Command3D3_Click();  // "Symbols"

    QRadioButton* AutoO = nullptr;
    QRadioButton* ManualO = nullptr;
    QLineEdit *MaxXT = nullptr, *MaxYT = nullptr, *MinXT = nullptr, *MinYT = nullptr;
    QLineEdit *GraphTitleT = nullptr, *XTitleT = nullptr, *YTitleT = nullptr;
    QRadioButton* Label[2] = {};

private:
    // The manual limits, checked; false after the "Invalid Entry" box.
    bool ReadManualLimits();
};

// "Set Ternary Options...": a fresh Options dialog on the active sheet.
void ShowOptions();
// "Set XY Options...": the SetUp dialog, loaded on its first opening and
// kept (with its entries) until its Cancel.
void ShowSetUp();
// The dialog currently loaded, or null (tests).
Options* LoadedOptions();
SetUp* LoadedSetUp();

}  // namespace quarvex
