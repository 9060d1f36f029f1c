// The main window: input and output movie lines, the two previews, the to-do
// list editor and the GO button. It is also the pipeline's host (message
// boxes, progress window, status bar, previews) and the to-do list's view.
#pragma once

#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QString>

#include "movaltic/pipeline/processing.h"
#include "movaltic/pipeline/todo_editing.h"
#include "movaltic/ui/param_dialogs.h"

class QMenu;
class QAction;
class QPushButton;

namespace movaltic {

// A label that reports clicks (the movie lines and the previews).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// "To Do List": accepts lines dragged from either list box and reports the
// line under the drop (-1 below the last line).
class ToDoListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ToDoListBox(QWidget* parent = nullptr);
signals:
    void dropped(QObject* source, int target);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

class TfmMain : public QMainWindow, public PipelineHost, public TodoListView {
    Q_OBJECT
public:
    explicit TfmMain(QWidget* parent = nullptr);
    ~TfmMain() override;

    QPushButton* btnInput;
    ClickLabel* lblInput;
    QPushButton* btnInputSet;
    QPushButton* btnOutput;
    ClickLabel* lblOutput;
    QPushButton* btnOutputSet;
    QLabel* Label3;
    ClickLabel* Image1;
    QLabel* Label4;
    ClickLabel* Image2;
    QLabel* Label1;
    ToDoListBox* ListBox2;
    QLabel* Label2;
    QListWidget* ListBox1;
    QPushButton* btnAdd;
    QPushButton* btnInsert;
    QPushButton* btnRemove;
    QPushButton* btnOptimize;
    QPushButton* btnBegin;
    QPushButton* btnQuit;
    QLabel* StatusBar1;
    QMenu* PopupMenu1;
    QAction* Editparameters1;
    QAction* Removeoperation1;

    static const char* const kOpenFilter;
    static const char* const kSaveFilter;
    int SaveFilterIndex = 2;

    // Procedures of the window.
    void MainFormInit();
    void SelectInput();
    void SelectOutput(bool ask);
    QString OutputFileName(const QString& chosen) const;
    void EditOutputSettings();
    void InputSettings();
    void ShowMovieInfo(bool reload);

    // Event handlers.
    void btnInputClick();
    void btnInputSetClick();
    void btnOutputClick();
    void btnOutputSetClick();
    void ListBox1DblClick();
    void btnInsertClick();
    void btnRemoveClick();
    void Editparameters1Click();
    void PopupMenu1Popup();
    void ListBox2DragDrop(QObject* source, int target);
    void btnOptimizeClick();
    void btnBeginClick();
    void btnQuitClick();

    // PipelineHost
    bool MessageBox(Box kind, const std::string& text) override;
    void ProcessMessages() override;
    void ProgressShow() override;
    void ProgressStart(const std::string& caption, int32_t frameCount) override;
    void ProgressFrame(int32_t n) override;
    void ProgressRate(int32_t frame, int64_t bytes, const std::string& timeText, double rate) override;
    void ProgressClose() override;
    void SetStatusText(const std::string& text) override;
    void SetOutputLabel(const std::string& text) override;
    void SetBusyCursor(bool busy) override;
    void DrawPreviews(const imagerec& before, const imagerec& after) override;

    // TodoListView
    void AddAvailableOperation(const std::string& name) override;
    std::string SelectedAvailableOperation() const override;
    int32_t LineCount() const override;
    void InsertLine(int32_t position, const std::string& text) override;
    void DeleteLine(int32_t index) override;
    void SetLineText(int32_t index, const std::string& text) override;
    int32_t SelectedLine() const override;
    void SelectLine(int32_t index) override;
    void SetOptimizeVisible(bool visible) override;
    void BuildOutputPreview() override;
    int32_t InputBytesPerPixel() const override;
    ParamEditor& Editor() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetRunning(bool running);
    void ClearPreviews();
    void ForgetInput();

    DialogParamEditor editor_;
    bool closePending_ = false;
    int busyCursor_ = 0;
};

}  // namespace movaltic
