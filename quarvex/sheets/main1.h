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

    // A sheet opened from a file saves back in that file's form: its code
    // (Windows-1252, UTF-8 with or without a mark, UTF-16 in its byte order
    // with or without one) and its line ends, and, while unchanged, as the
    // file's very bytes. A Windows-1252 one that gains a character the code
    // page lacks is saved as UTF-8 from then on, as is a new sheet (which
    // has none of this: Windows-1252 with CR LF until then); its cells that
    // took UTF-8 text from the file byte for byte and are still as read then
    // keep those bytes (see SheetText::utf8Cells), so that this text is not
    // encoded a second time.
    struct FileForm {
        bool utf8 = false;  // UTF-8, or UTF-16 with utf16 set; else Windows-1252
        bool mark = false;
        QByteArray lineEnd = "\r\n";
        QByteArray file;           // the bytes as read
        quint64 cellChanges = 0;   // the grid's CellChanges right after reading them
        Utf16 utf16 = Utf16::No;
        // Read as Windows-1252: the cells that keep their bytes in UTF-8.
        std::function<bool(std::string_view)> utf8Cells;
    };
    std::optional<FileForm> SavedForm;
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
