// Search > Find, Find Next and Replace: whole-cell matches in the active
// sheet, scanned left to right along the rows and down, from the cell after
// the start cell round to the start cell itself; and the modeless dialog
// "Search And Replace".
#pragma once

#include "quarvex/state/edit_state.h"

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace quarvex {

// Sets the find text and its short form.
void SetFindText(const QString& text);

class ReplaceText : public QDialog {
public:
    // Shows the dialog modeless; an open one is only brought forward.
    static ReplaceText* Show();
    static ReplaceText* Instance();

    explicit ReplaceText(QWidget* parent = nullptr);

    QLineEdit* Text1 = nullptr;  // "Find What:"
    QLineEdit* Text2 = nullptr;  // "Replace With:"
    // 0 "Find", 1 "Replace", 2 "Replace All", 3 "Cancel".
    std::array<QPushButton*, 4> Command3D1{};

    void Form_Load();
    void Command3D1_Click(int index);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Replace and Replace All: both texts into SearchRecord.
    void takeReplaceTexts();
};

}  // namespace quarvex

namespace MODULE21 {

// The Search menu: 0 Find..., 1 Find Next, 2 Replace...
void SearchMenu(int index);
// The next matching cell after the start cell becomes the active cell.
void FindNext();
// Replaces every matching cell and reports how many.
void ReplaceAll();

}  // namespace MODULE21
