// The value dialogs of the to-do list: one value (TfmEditInt1) and red, green,
// blue with "All together" (TfmEditRGB). Their values live in the globals
// below between uses; AskValue and AskRGB copy them back only on OK.
#pragma once

#include <QDialog>

#include "movaltic/pipeline/todo_list.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace movaltic {

extern double EditValue, EditMin, EditMax;
extern bool EditIntegerMode;
extern double EditRed, EditGreen, EditBlue;
extern double EditRGBMin, EditRGBMax;
extern double EditAll;
extern bool EditRGBIntegerMode;

class TfmEditInt1 : public QDialog {
    Q_OBJECT
public:
    explicit TfmEditInt1(QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLineEdit* Edit1;
    QScrollBar* ScrollBar1;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void ShowValue();  // on activation
    void ReadValue();  // on closing
    void ScrollBar1Change();
    void done(int r) override;

protected:
    void showEvent(QShowEvent* event) override;
};

class TfmEditRGB : public QDialog {
    Q_OBJECT
public:
    explicit TfmEditRGB(QWidget* parent = nullptr);

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QScrollBar* ScrollBar1;
    QScrollBar* ScrollBar2;
    QScrollBar* ScrollBar3;
    QScrollBar* ScrollBar4;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void ShowValues();
    void RefreshControls();
    void ReadValues();
    void done(int r) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetBarFromValue(QScrollBar* bar, double value);
    void SetEditFromBar(QLineEdit* edit, QScrollBar* bar);
    QString ValueToText(double value) const;
    void ColourBarChange(QScrollBar* bar, QLineEdit* edit);
    void ScrollBar4Change();
    void Edit4Change();

    bool setupGuard_ = false;
    bool refreshGuard_ = false;
};

// The one instance of each, created at program start.
TfmEditInt1& fmEditInt1();
TfmEditRGB& fmEditRGB();
void CreateParamDialogs();
void DestroyParamDialogs();

// The to-do list's parameter editor on top of the two dialogs.
class DialogParamEditor : public ParamEditor {
public:
    bool AskValue(const std::string& caption, const std::string& prompt, double& value, double minimum,
                  double maximum) override;
    bool AskRGB(const std::string& caption, double& red, double& green, double& blue, double minimum,
                double maximum) override;
};

}  // namespace movaltic
