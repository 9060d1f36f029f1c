// The data sheet window: one grid of 50 columns by 15,000 rows (growing at
// its end) inside the frame. Its caption "Sheet" & n & "-" & path is the only
// record of its file; its Tag is its index into the window tables.
#pragma once

#include "quarvex/runtime/child_form.h"
#include "quarvex/runtime/spread_grid.h"
#include "quarvex/sheets/plt_format.h"
#include "quarvex/state/window_tables.h"

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace quarvex {

class Main1 : public qvrt::ChildForm {
public:
    // A new sheet in the frame (or alone, without a frame, in tests), shown:
    // its load step has run with CurrentDataWindow and CurrentFileName.
    static Main1* Create();

    explicit Main1(QWidget* parent = nullptr);
    ~Main1() override;

    qvrt::SpreadGrid* Grid1 = nullptr;
    int16_t EnterPressed = 0;

    // The sheet's record in WindowTable, by its Tag.
    WindowRecord& Record() const;
    // The file named in the caption: the whole text after its first "-".
    QString FileName() const;

    void SetFocus();

    // A sheet opened from a UTF-8 or UTF-16 file (or once saved as UTF-8)
    // saves back in that form, with the mark where the file had one and its
    // line ends, and, while unchanged, as the file's very bytes.
    struct UnicodeOrigin {
        bool mark = false;
        QByteArray lineEnd = "\r\n";
        QByteArray file;        // the bytes as read
        QByteArray sheetBytes;  // the sheet's own UTF-8 text right after reading it
        Utf16 utf16 = Utf16::No;
    };
    std::optional<UnicodeOrigin> UnicodeFile;
    // The file the sheet was opened from had more columns than a sheet
    // holds: saving over it asks first. Empty once it has been saved over.
    QString WideFile;
    int WideFileColumns = 0;

    // Event procedures.
    void Form_Load();
    void Form_Activate();
    // The close question; true when the window must stay open.
    bool Form_QueryUnload();
    void Form_Unload();
    void Grid1_KeyDown(int keyCode, int shift);
    void Grid1_KeyPress(int keyAscii);
    void Grid1_Change(int col, int row);
    void Grid1_DblClick(int col, int row);
    void Grid1_EditMode(int col, int row, int mode, bool changeMade);
    void Grid1_Advance(bool advanceNext);
    void Grid1_SelChange(int blockCol, int blockRow, int blockCol2, int blockRow2, int curCol, int curRow);
    void Grid1_LeaveCell(int col, int row, int newCol, int newRow);

    // Unloads the sheet without its question (the frame has already asked).
    void UnloadWithoutQuestion();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void growAtLastRow();
    void connectGrid();

    bool unloaded_ = false;
    bool skipQuestion_ = false;
    // The key that went down last was held with Ctrl or Alt: its character,
    // if any, is no typing.
    bool commandKey_ = false;
};

}  // namespace quarvex
