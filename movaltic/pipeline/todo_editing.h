// Editing the to-do list from the main window ("Available Operations" into
// "To Do List") and the check that offers "Optimize". The window implements
// TodoListView; the list logic lives here so it runs without widgets.
#pragma once

#include <cstdint>
#include <string>

#include "movaltic/pipeline/todo_list.h"

namespace movaltic {

class TodoListView {
public:
    virtual ~TodoListView() = default;
    // ListBox1, "Available Operations" (sorted by the list box itself).
    virtual void AddAvailableOperation(const std::string& name) = 0;
    virtual std::string SelectedAvailableOperation() const = 0;  // "" when none
    // ListBox2, "To Do List": one line per ToDoList entry.
    virtual int32_t LineCount() const = 0;
    virtual void InsertLine(int32_t position, const std::string& text) = 0;  // 0..LineCount()
    virtual void DeleteLine(int32_t index) = 0;
    virtual void SetLineText(int32_t index, const std::string& text) = 0;
    virtual int32_t SelectedLine() const = 0;  // -1 when none
    virtual void SelectLine(int32_t index) = 0;
    virtual void SetOptimizeVisible(bool visible) = 0;
    // Rebuilds the "After" preview.
    virtual void BuildOutputPreview() = 0;
    // Bytes per pixel of the input movie (palette-capable steps first for 1).
    virtual int32_t InputBytesPerPixel() const = 0;
    virtual ParamEditor& Editor() = 0;
};

void FillOperationList(TodoListView& view);
void ListInsertText(TodoListView& view, int32_t position, const std::string& text);
void AddStep(TodoListView& view, int32_t position);
void RemoveStep(TodoListView& view, int32_t index);
// The "Remove" button, popup entry and keys: removes the selected line,
// selects the line now at its place (or the last) and checks the list.
void RemoveSelectedStep(TodoListView& view);
void MoveStep(TodoListView& view, int32_t from, int32_t to);
void EditStepParams(TodoListView& view);
// apply 0: only shows or hides "Optimize"; apply 1: carries the changes out.
// Returns whether a rule applied.
bool CheckToDoList(TodoListView& view, uint8_t apply);
// btnOptimizeClick: apply, then check again.
void OptimizeToDoList(TodoListView& view);

}  // namespace movaltic
