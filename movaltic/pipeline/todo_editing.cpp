#include "movaltic/pipeline/todo_editing.h"

#include <algorithm>
#include <utility>
#include <vector>

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

// Rule 3 keeps, per entry, where the entry takes each value of each channel
// (now) and where the steps it stands for took them when the rule began
// (was); both stay the identity for steps of other kinds.
struct EntryMaps {
    ChannelMaps now, was;
};

// The stretch of per-channel entries first..last that rule 3 checks a merge
// against: where the stretch took each value when the rule began (target),
// and where its entries take it now in front of and behind each entry.
// Built once for a stretch and again only when the list has changed, so a
// check that merges nothing looks at every entry's tables a few times only.
struct StretchMaps {
    int32_t first = 0, last = -1;  // empty: to be built
    ChannelMaps target;
    std::vector<ChannelMaps> before;  // [k - first]: entries first..k-1
    std::vector<ChannelMaps> after;   // [k - first]: entries k+1..last

    void Build(int32_t i, const std::vector<EntryMaps>& maps) {
        const steprec* e = ToDoList.entries;
        first = last = i;
        while (first > 0 && StepIsPerChannel(e[first - 1].operation)) --first;
        while (last + 1 < ToDoList.count && StepIsPerChannel(e[last + 1].operation)) ++last;
        const size_t n = size_t(last - first + 1);
        target = ChannelMaps();
        before.assign(n, ChannelMaps());
        after.assign(n, ChannelMaps());
        for (size_t k = 0; k < n; ++k) {
            target.Then(maps[size_t(first) + k].was);
            if (k > 0) {
                before[k] = before[k - 1];
                before[k].Then(maps[size_t(first) + k - 1].now);
            }
        }
        for (size_t k = n - 1; k > 0; --k) {
            after[k - 1] = maps[size_t(first) + k].now;
            after[k - 1].Then(after[k]);
        }
    }
};

// Length of the run at i that folds into one step (1 when nothing merges).
// A per-channel run is held to what its whole stretch did before this
// Optimize, so merges elsewhere in the stretch count against it too.
int32_t MergeableRun(int32_t i, const std::vector<EntryMaps>& maps, StretchMaps& stretch) {
    const steprec* e = ToDoList.entries;
    if (i + 1 >= ToDoList.count || !StepsMergeable(e[i], e[i + 1])) return 1;
    if (!StepIsPerChannel(e[i].operation)) {
        static const ChannelMaps kKeep;
        MergeRun run(e[i], kKeep, kKeep);
        int32_t j = i + 1;
        while (j < ToDoList.count && run.Join(e[j], kKeep)) ++j;
        return j - i;
    }
    if (i < stretch.first || i > stretch.last) stretch.Build(i, maps);
    const int32_t first = stretch.first;
    MergeRun run(e[i], stretch.before[size_t(i - first)], stretch.target);
    int32_t j = i + 1;
    while (j <= stretch.last && run.Join(e[j], stretch.after[size_t(j - first)])) ++j;
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
    std::vector<EntryMaps> maps(size_t(ToDoList.count));
    for (int32_t i = 0; i < ToDoList.count; ++i)
        if (StepIsPerChannel(ToDoList.entries[i].operation))
            maps[size_t(i)].now = maps[size_t(i)].was = ChannelMaps(ToDoList.entries[i]);
    StretchMaps stretch;
    auto remove = [&view, &maps, &stretch](int32_t i) {
        RemoveStep(view, i);
        maps.erase(maps.begin() + i);
        stretch.last = -1;
    };
    for (int32_t i = 0; i < ToDoList.count - 1;) {
        const int32_t run = MergeableRun(i, maps, stretch);
        if (run < 2) {
            ++i;
            continue;
        }
        found = true;
        if (!apply) break;  // the button shows all the same
        const int32_t op = ToDoList.entries[i].operation;
        if (StepIsInvolution(op) && run % 2 == 0) {
            for (int32_t k = 0; k < run; ++k) remove(i);
            i = std::max(i - 1, 0);  // the neighbours may now form a run
            continue;
        }
        const int32_t last = i + run - 1;
        if (HasParams(ToDoList.entries[last])) {
            MergeSteps(i, last - 1, last);
            view.SetLineText(last, StepText(ToDoList.entries[last]));
        }
        EntryMaps& merged = maps[size_t(last)];
        for (int32_t k = last - 1; k >= i; --k) {
            ChannelMaps was = maps[size_t(k)].was;
            was.Then(merged.was);
            merged.was = was;
        }
        if (StepIsPerChannel(op)) merged.now = ChannelMaps(ToDoList.entries[last]);
        for (int32_t k = 0; k < run - 1; ++k) remove(i);
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
