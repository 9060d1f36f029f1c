// The check behind "Optimize" (CheckToDoList without applying), run after
// every change of the to-do list, on lists of 50 steps; and one click of
// Optimize on the same lists. Each figure is the first run (which builds
// the Gamma Correct. tables a list needs for the first time) and the best of 200.
// Usage: movaltic_todo_check_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "movaltic/pipeline/todo_editing.h"

using namespace movaltic;

namespace {

constexpr int kSteps = 50;
constexpr int kRepeats = 200;

// No dialog is opened here; any would be cancelled.
class NoDialogs : public ParamEditor {
public:
    bool AskValue(const std::string&, const std::string&, double&, double, double) override { return false; }
    bool AskRGB(const std::string&, double&, double&, double&, double, double) override { return false; }
};

// The window without widgets: only the line count is kept.
class QuietView : public TodoListView {
public:
    int32_t lines = 0;
    void AddAvailableOperation(const std::string&) override {}
    std::string SelectedAvailableOperation() const override { return {}; }
    int32_t LineCount() const override { return lines; }
    void InsertLine(int32_t, const std::string&) override { ++lines; }
    void DeleteLine(int32_t) override { --lines; }
    void SetLineText(int32_t, const std::string&) override {}
    int32_t SelectedLine() const override { return -1; }
    void SelectLine(int32_t) override {}
    void SetOptimizeVisible(bool) override {}
    void BuildOutputPreview() override {}
    int32_t InputBytesPerPixel() const override { return 3; }
    ParamEditor& Editor() override { return dialogs; }
    NoDialogs dialogs;
};

steprec Step(int32_t op, double value) {
    steprec s;
    s.operation = op;
    for (int k = 0; k < 3; ++k) s.params[k] = value;
    return s;
}

struct List {
    const char* name;
    std::function<steprec(int)> step;  // step i of the list
};

void Fill(const List& list, QuietView& view) {
    ToDoList = todolist{};
    for (int i = 0; i < kSteps; ++i) StepInsert(-1, list.step(i));
    view.lines = ToDoList.count;
}

double Millis(const std::function<void()>& work, const std::function<void()>& prepare, double& first) {
    double best = 1e9;
    for (int r = 0; r < kRepeats; ++r) {
        prepare();
        const auto t0 = std::chrono::steady_clock::now();
        work();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        if (r == 0) first = ms;
        best = std::min(best, ms);
    }
    return best;
}

}  // namespace

int main() {
    const List lists[] = {
        {"50 x Brightness +1", [](int) { return Step(kOpBrightness, 1); }},
        {"runs of 5 Contrast +5, Gamma 0.90, Brightness +2",
         [](int i) {
             const int run = i / 5 % 3;
             return run == 0 ? Step(kOpContrast, 5) : run == 1 ? Step(kOpGamma, 0.9) : Step(kOpBrightness, 2);
         }},
        {"Gamma 1.01 to 1.40, then again (40 tables to build)",
         [](int i) { return Step(kOpGamma, 1.0 + 0.01 * (i % 40 + 1)); }},
        {"Brightness +1 x 9, Saturation +10, repeated",
         [](int i) { return i % 10 == 9 ? Step(kOpSaturation, 10) : Step(kOpBrightness, 1); }},
        {"49 x Brightness +1, Contrast +100 (every merge refused)",
         [](int i) { return i < kSteps - 1 ? Step(kOpBrightness, 1) : Step(kOpContrast, 100); }},
        {"Brightness and Contrast taking turns (nothing merges)",
         [](int i) { return Step(i % 2 ? kOpContrast : kOpBrightness, 3); }},
    };
    QuietView view;
    std::printf("%-58s %10s %10s %10s %10s %6s\n", "list of 50 steps", "check 1st", "check best", "click 1st",
                "click best", "left");  // left: steps after the click
    for (const List& list : lists) {
        double checkFirst = 0, clickFirst = 0;
        Fill(list, view);
        const double check = Millis([&view] { CheckToDoList(view, 0); }, [] {}, checkFirst);
        const double click = Millis([&view] { OptimizeToDoList(view); }, [&] { Fill(list, view); }, clickFirst);
        std::printf("%-58s %7.3f ms %7.3f ms %7.3f ms %7.3f ms %6d\n", list.name, checkFirst, check, clickFirst, click,
                    ToDoList.count);
    }
    return 0;
}
