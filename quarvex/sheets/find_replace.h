// Search > Find, Find Next and Replace: whole-cell matches in the active
// sheet, scanned left to right along the rows and down, from the cell after
// the start cell round to the start cell itself; and the modeless dialog
// "Search And Replace".
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace quarvex {

struct SearchState {
    QString FindText;
    // The find text in an 18-character field (padded or cut): a cell holding
    // exactly that matches too.
    QString ShortFindText = QString(18, u' ');
    QString ReplaceText;
    int16_t StartRow = 0;
    int16_t StartCol = 0;
    // -1 after the dialog's Cancel; a running scan stops at its next check.
    int16_t StopRequest = 0;
};
inline SearchState SearchRecord;

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
