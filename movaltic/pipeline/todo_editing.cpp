#include "movaltic/pipeline/todo_editing.h"

#include <algorithm>
#include <utility>

namespace movaltic {

namespace {

bool HasParams(const steprec& s) { return fnlist[s.operation].paramCount > 0; }

bool IsZeroStep(const steprec& s) {
    // Chaos treats 0 as 1 pixel, so a Chaos step of 0 still scatters.
    if (!HasParams(s) || s.operation == kOpChaos) return false;
    for (int32_t k = 0; k < fnlist[s.operation].paramCount; ++k)
        if (s.params[k] != 0.0) return false;
    return true;
}

bool IsPaletteCapable(const steprec& s) { return fnlist[s.operation].paletteCapable != 0; }

void SwapSteps(TodoListView& view, int32_t i, int32_t j) {
    std::swap(ToDoList.entries[i], ToDoList.entries[j]);
    view.SetLineText(i, StepText(ToDoList.entries[i]));
    view.SetLineText(j, StepText(ToDoList.entries[j]));
}

// Length of the run at i that folds into one step (1 when nothing merges).
int32_t MergeableRun(int32_t i) {
    MergeRun run(ToDoList.entries[i]);
    int32_t j = i + 1;
    while (j < ToDoList.count && run.Join(ToDoList.entries[j])) ++j;
    return j - i;
}

}  // namespace

void FillOperationList(TodoListView& view) {
    for (const fnlistrec& op : fnlist) view.AddAvailableOperation(op.name);
}

void ListInsertText(TodoListView& view, int32_t position, const std::string& text) {
    const int32_t lines = view.LineCount();
    view.InsertLine(position < 0 || position >= lines ? lines : position, text);
}

void AddStep(TodoListView& view, int32_t position) {
    const std::string name = view.SelectedAvailableOperation();
    if (name.empty()) return;
    steprec step;
    if (!StepFromName(name, step)) return;
    if (!EditOperationParams(step, view.Editor())) return;
    if (!StepInsert(position, step)) return;
    ListInsertText(view, position, StepText(step));
    view.BuildOutputPreview();
    CheckToDoList(view, 0);
}

void RemoveStep(TodoListView& view, int32_t index) {
    if (index < 0 || index >= ToDoList.count) return;
    view.DeleteLine(index);
    StepDelete(index);
    view.BuildOutputPreview();
}

void RemoveSelectedStep(TodoListView& view) {
    const int32_t index = view.SelectedLine();
    if (index < 0 || index >= ToDoList.count) return;
    RemoveStep(view, index);
    if (ToDoList.count > 0) view.SelectLine(std::min(index, ToDoList.count - 1));
    CheckToDoList(view, 0);
}

void MoveStep(TodoListView& view, int32_t from, int32_t to) {
    if (from == to || from < 0 || from >= ToDoList.count) return;
    if (to >= ToDoList.count) to = -1;
    const steprec moved = ToDoList.entries[from];
    const std::string text = StepText(moved);
    // Taken out first, so a move towards the end lands before the drop target.
    view.DeleteLine(from);
    StepDelete(from);
    int32_t at = to < 0 ? ToDoList.count : (to > from ? to - 1 : to);
    StepInsert(at, moved);
    ListInsertText(view, at, text);
    view.BuildOutputPreview();
    CheckToDoList(view, 0);
}

void EditStepParams(TodoListView& view) {
    const int32_t index = view.SelectedLine();
    if (index < 0 || index >= ToDoList.count) return;
    // Edited on a copy: a cancelled dialog leaves the entry exactly as it was.
    steprec edited = ToDoList.entries[index];
    if (EditOperationParams(edited, view.Editor())) ToDoList.entries[index] = edited;
    view.SetLineText(index, StepText(ToDoList.entries[index]));
    view.BuildOutputPreview();
    CheckToDoList(view, 0);
    view.SelectLine(index);
}

bool CheckToDoList(TodoListView& view, uint8_t apply) {
    if (ToDoList.count == 0) return false;
    bool found = false;

    // 1. Steps whose parameters are all 0 do nothing.
    for (int32_t i = 0; i < ToDoList.count;) {
        if (IsZeroStep(ToDoList.entries[i])) {
            if (apply) {
                RemoveStep(view, i);
                continue;
            }
            found = true;
        }
        ++i;
    }

    // 2. On palette input, palette steps first: they then touch 256 colours
    //    instead of every pixel.
    if (view.InputBytesPerPixel() == 1) {
        int32_t P = 0, F = ToDoList.count;
        for (int32_t i = 0; i < ToDoList.count; ++i) {
            if (IsPaletteCapable(ToDoList.entries[i])) ++P;
            else if (F == ToDoList.count) F = i;
        }
        if (P > 0 && F < P) {
            found = true;
            if (apply) {
                for (int32_t i = 0; i < P;) {
                    while (i < P && IsPaletteCapable(ToDoList.entries[i])) ++i;
                    if (i >= P) break;
                    int32_t j = i + 1;
                    while (j < ToDoList.count && !IsPaletteCapable(ToDoList.entries[j])) ++j;
                    if (j >= ToDoList.count) break;
                    SwapSteps(view, i, j);
                }
            }
        }
    }

    // 3. Neighbouring equal steps fold into one where the one step keeps the
    //    picture; a pair of Negatives or of the same flip cancels out.
    for (int32_t i = 0; i < ToDoList.count - 1;) {
        const int32_t run = MergeableRun(i);
        if (run < 2) {
            ++i;
            continue;
        }
        found = true;
        if (!apply) {
            ++i;
            continue;
        }
        const int32_t op = ToDoList.entries[i].operation;
        if (StepIsInvolution(op) && run % 2 == 0) {
            for (int32_t k = 0; k < run; ++k) RemoveStep(view, i);
            i = std::max(i - 1, 0);  // the neighbours may now form a run
            continue;
        }
        const int32_t last = i + run - 1;
        if (HasParams(ToDoList.entries[last])) {
            MergeSteps(i, last - 1, last);
            view.SetLineText(last, StepText(ToDoList.entries[last]));
        }
        for (int32_t k = 0; k < run - 1; ++k) RemoveStep(view, i);
        ++i;
    }

    view.SetOptimizeVisible(found && apply == 0);
    return found;
}

void OptimizeToDoList(TodoListView& view) {
    CheckToDoList(view, 1);
    CheckToDoList(view, 0);
}

}  // namespace movaltic
