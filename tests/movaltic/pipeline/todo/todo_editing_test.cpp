#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <map>
#include <random>

#include "movaltic/imaging/operations.h"
#include "movaltic/pipeline/todo_editing.h"
#include "movaltic/pipeline/todo/step_maker.h"

namespace movaltic {
namespace {

// Answers every dialog with the queued values (an empty entry cancels).
class QueueEditor : public ParamEditor {
public:
    std::deque<std::vector<double>> answers;
    bool AskValue(const std::string&, const std::string&, double& value, double, double) override {
        return Answer(&value, 1);
    }
    bool AskRGB(const std::string&, double& r, double& g, double& b, double, double) override {
        double v[3] = {r, g, b};
        const bool ok = Answer(v, 3);
        r = v[0];
        g = v[1];
        b = v[2];
        return ok;
    }

private:
    bool Answer(double* v, int n) {
        if (answers.empty()) return false;
        std::vector<double> a = answers.front();
        answers.pop_front();
        if (a.empty()) return false;
        for (int i = 0; i < n; ++i) v[i] = a[size_t(i)];
        return true;
    }
};

class FakeView : public TodoListView {
public:
    std::vector<std::string> available, lines;
    std::string chosen;
    int32_t selected = -1;
    bool optimizeVisible = false;
    int previews = 0;
    int32_t inputBytes = 3;
    QueueEditor editor;

    void AddAvailableOperation(const std::string& name) override { available.push_back(name); }
    std::string SelectedAvailableOperation() const override { return chosen; }
    int32_t LineCount() const override { return int32_t(lines.size()); }
    void InsertLine(int32_t position, const std::string& text) override {
        ASSERT_GE(position, 0);
        ASSERT_LE(position, LineCount());
        lines.insert(lines.begin() + position, text);
    }
    void DeleteLine(int32_t index) override {
        ASSERT_GE(index, 0);
        ASSERT_LT(index, LineCount());
        lines.erase(lines.begin() + index);
    }
    void SetLineText(int32_t index, const std::string& text) override { lines.at(size_t(index)) = text; }
    int32_t SelectedLine() const override { return selected; }
    void SelectLine(int32_t index) override { selected = index; }
    void SetOptimizeVisible(bool visible) override { optimizeVisible = visible; }
    void BuildOutputPreview() override { ++previews; }
    int32_t InputBytesPerPixel() const override { return inputBytes; }
    ParamEditor& Editor() override { return editor; }
};

class Editing : public ::testing::Test {
protected:
    FakeView view;
    void SetUp() override { ToDoList = todolist{}; }

    void Add(const std::string& name, std::vector<double> values = {}, int32_t position = -1) {
        view.chosen = name;
        if (!values.empty()) view.editor.answers.push_back(values);
        AddStep(view, position);
    }
    std::vector<std::string> Ops() const {
        std::vector<std::string> out;
        for (int32_t i = 0; i < ToDoList.count; ++i) out.push_back(fnlist[ToDoList.entries[i].operation].name);
        return out;
    }
    // The list box must always show the list.
    void ExpectLinesMatchList() const {
        ASSERT_EQ(view.LineCount(), ToDoList.count);
        for (int32_t i = 0; i < ToDoList.count; ++i)
            EXPECT_EQ(view.lines[size_t(i)], StepText(ToDoList.entries[i])) << "line " << i;
    }
};

using Names = std::vector<std::string>;

TEST_F(Editing, FillsTheAvailableOperations) {
    FillOperationList(view);
    ASSERT_EQ(view.available.size(), 17u);
    EXPECT_EQ(view.available[4], "Gamma Correct.");
}

TEST_F(Editing, AddingAZeroBrightnessOffersOptimizeWhichRemovesIt) {
    Add("Brightness", {0, 0, 0});
    EXPECT_EQ(ToDoList.count, 1);
    EXPECT_EQ(view.lines[0], "Brightness   R= 0,  G= 0,  B= 0");
    EXPECT_EQ(view.previews, 1);
    EXPECT_TRUE(view.optimizeVisible);
    OptimizeToDoList(view);
    EXPECT_EQ(ToDoList.count, 0);
    EXPECT_TRUE(view.lines.empty());
}

TEST_F(Editing, CancelledOrRefusedAddsLeaveTheListAlone) {
    view.chosen = "Saturation";
    view.editor.answers.push_back({});
    AddStep(view, -1);
    EXPECT_EQ(ToDoList.count, 0);
    view.chosen = "";
    AddStep(view, -1);
    EXPECT_EQ(ToDoList.count, 0);
    for (int i = 0; i < kMaxSteps; ++i) Add(i % 2 ? "Blur" : "Soften");
    EXPECT_EQ(ToDoList.count, 250);
    const int previews = view.previews;
    Add("Negative");
    EXPECT_EQ(ToDoList.count, 250);
    EXPECT_EQ(view.LineCount(), 250);
    EXPECT_EQ(view.previews, previews);
}

TEST_F(Editing, InsertPutsTheStepBeforeTheSelectedLine) {
    Add("Blur");
    Add("Soften");
    Add("Negative", {}, 1);
    EXPECT_EQ(Ops(), (Names{"Blur", "Negative", "Soften"}));
    ExpectLinesMatchList();
}

TEST_F(Editing, RunsOfEqualStepsMergeIntoOne) {
    Add("Brightness", {10, 10, 10});
    Add("Brightness", {20, 20, 20});
    Add("Brightness", {30, 30, 30});
    EXPECT_TRUE(view.optimizeVisible);
    OptimizeToDoList(view);
    ASSERT_EQ(ToDoList.count, 1);
    EXPECT_EQ(view.lines[0], "Brightness   R= +60,  G= +60,  B= +60");
    EXPECT_FALSE(view.optimizeVisible);
    ExpectLinesMatchList();
}

TEST_F(Editing, FiltersAreNeverMerged) {
    Add("Blur");
    Add("Blur");
    Add("Emboss");
    Add("Emboss");
    EXPECT_FALSE(view.optimizeVisible);
    OptimizeToDoList(view);
    EXPECT_EQ(Ops(), (Names{"Blur", "Blur", "Emboss", "Emboss"}));
}

TEST_F(Editing, PairsOfNegativesAndFlipsCancel) {
    Add("Negative");
    Add("Negative");
    Add("Flip Vertical");
    Add("Flip Vertical");
    Add("Flip Vertical");
    Add("Flip Horizontal");
    Add("Flip Horizontal");
    Add("Grayscale");
    Add("Grayscale");
    Add("Grayscale");
    EXPECT_TRUE(view.optimizeVisible);
    OptimizeToDoList(view);
    EXPECT_EQ(Ops(), (Names{"Flip Vertical", "Grayscale"}));
    EXPECT_FALSE(view.optimizeVisible);
    ExpectLinesMatchList();
}

TEST_F(Editing, CancellingPairsLetsTheirNeighboursMerge) {
    Add("Brightness", {10, 10, 10});
    Add("Negative");
    Add("Negative");
    Add("Brightness", {5, 5, 5});
    OptimizeToDoList(view);
    ASSERT_EQ(ToDoList.count, 1);
    EXPECT_EQ(view.lines[0], "Brightness   R= +15,  G= +15,  B= +15");
}

TEST_F(Editing, OppositeBrightnessStepsStayApart) {
    // +100 then -100 clips everything to black; 0 would change nothing.
    Add("Brightness", {100, 100, 100});
    Add("Brightness", {-100, -100, -100});
    EXPECT_FALSE(view.optimizeVisible);
}

TEST_F(Editing, GammaStepsMergeByMultiplying) {
    Add("Gamma Correct.", {1.5, 2.0, 1.0});
    Add("Gamma Correct.", {2.0, 0.5, 1.0});
    OptimizeToDoList(view);
    ASSERT_EQ(ToDoList.count, 1);
    EXPECT_EQ(view.lines[0], "Gamma Correct.   R= +3.00,  G= +1.00,  B= +1.00");
    Add("Gamma Correct.", {2.0, 2.0, 2.0});
    EXPECT_FALSE(view.optimizeVisible);  // 3 x 2 would leave the range
}

// Every pair of grey Brightness, Contrast and Gamma Correct. steps, in the
// dialog's steps, on a 0..255 ramp: after Optimize each value lands within 2
// levels of where the pair took it, and a pair left apart is not offered.
TEST_F(Editing, OptimizeKeepsThePictureOfEveryPairOfValueSteps) {
    std::map<std::pair<int32_t, double>, std::array<uint8_t, 256>> maps;
    auto mapOf = [&maps](const steprec& s) {  // where the operation itself takes each grey
        auto [it, added] = maps.try_emplace({s.operation, s.params[0]});
        if (added) {
            imagerec ramp;
            ImageCreate(ramp, 256, 1, 3);
            for (int v = 0; v < 768; ++v) ramp.pixels[v] = uint8_t(v / 3);
            const double p = s.params[0];
            const int32_t n = int32_t(std::nearbyint(p));
            if (s.operation == kOpGamma) OpGamma(ramp, ramp, p, p, p);
            else (s.operation == kOpContrast ? OpContrast : OpBrightness)(ramp, ramp, n, n, n);
            for (int v = 0; v < 256; ++v) it->second[size_t(v)] = ramp.pixels[3 * v];
            ImageFree(ramp);
        }
        return it->second.data();
    };
    struct Range {
        int32_t op;
        int low, high;
        double scale;  // whole percents, or hundredths of a gamma
    } ranges[] = {{kOpBrightness, -100, 100, 1}, {kOpContrast, -100, 100, 1}, {kOpGamma, 1, 499, 100}};
    for (const Range& r : ranges) {
        int moved = 0, offered = 0, merged = 0;
        std::string firstMoved;
        for (int x = r.low; x <= r.high; ++x)
            for (int y = r.low; y <= r.high; ++y) {
                steprec a, b;
                a.operation = b.operation = r.op;
                for (int k = 0; k < 3; ++k) a.params[k] = x / r.scale, b.params[k] = y / r.scale;
                ToDoList = todolist{};
                StepInsert(-1, a);
                StepInsert(-1, b);
                view.lines.assign(2, std::string());
                const uint8_t *first = mapOf(a), *second = mapOf(b);
                OptimizeToDoList(view);
                const uint8_t* left[2] = {};
                for (int32_t i = 0; i < ToDoList.count; ++i) left[i] = mapOf(ToDoList.entries[i]);
                bool same = true;
                for (int v = 0; v < 256; ++v) {
                    int after = v;
                    for (int32_t i = 0; i < ToDoList.count; ++i) after = left[i][after];
                    same = same && std::abs(second[first[v]] - after) <= 2;
                }
                if (!same && moved++ == 0) firstMoved = std::to_string(x) + " then " + std::to_string(y);
                offered += ToDoList.count == 2 && view.optimizeVisible;
                merged += ToDoList.count == 1;
            }
        EXPECT_EQ(moved, 0) << fnlist[r.op].name << " pairs, the first " << firstMoved;
        EXPECT_EQ(offered, 0) << fnlist[r.op].name;
        EXPECT_GT(merged, 0) << fnlist[r.op].name;
    }
}

using Stretch = std::array<uint8_t, 768>;

// Where each stretch of per-channel steps of the list takes every value of
// each channel, by the frame operations themselves on a 0..255 ramp. Every
// other step ends a stretch, except the flips: they move no value, so the
// steps on both sides of a pair that Optimize removes form one stretch.
std::vector<Stretch> Stretches() {
    std::vector<Stretch> out;
    imagerec ramp;
    ImageCreate(ramp, 256, 1, 3);
    auto restart = [&ramp] {
        for (int v = 0; v < 768; ++v) ramp.pixels[v] = uint8_t(v / 3);
    };
    auto close = [&] {
        Stretch s;
        std::copy(ramp.pixels, ramp.pixels + 768, s.begin());
        out.push_back(s);
        restart();
    };
    restart();
    for (int32_t i = 0; i < ToDoList.count; ++i) {
        const steprec& s = ToDoList.entries[i];
        int32_t n[3];
        for (int k = 0; k < 3; ++k) n[k] = int32_t(std::nearbyint(s.params[k]));
        switch (s.operation) {
        case kOpBrightness: OpBrightness(ramp, ramp, n[0], n[1], n[2]); break;
        case kOpContrast: OpContrast(ramp, ramp, n[0], n[1], n[2]); break;
        case kOpAdjustRGB: OpAdjustRGB(ramp, ramp, n[0], n[1], n[2]); break;
        case kOpGamma: OpGamma(ramp, ramp, s.params[0], s.params[1], s.params[2]); break;
        case kOpNegative: OpNegative(ramp); break;
        case kOpFlipVertical:
        case kOpFlipHorizontal: break;
        default: close(); break;
        }
    }
    close();
    ImageFree(ramp);
    return out;
}

// Puts the list in, clicks Optimize once and returns the most any value of
// any channel of any stretch moved (256 when the stretches no longer line
// up). Also expects "Optimize" to have been offered exactly when the click
// changed the list.
int OptimizeOnce(FakeView& view, const std::vector<steprec>& steps, bool& changed) {
    ToDoList = todolist{};
    for (const steprec& s : steps) StepInsert(-1, s);
    view.lines.clear();
    for (const steprec& s : steps) view.lines.push_back(StepText(s));
    CheckToDoList(view, 0);
    const bool offered = view.optimizeVisible;
    const std::vector<Stretch> before = Stretches();
    OptimizeToDoList(view);
    changed = ToDoList.count != int32_t(steps.size());
    for (int32_t i = 0; !changed && i < ToDoList.count; ++i)
        changed = StepText(ToDoList.entries[i]) != StepText(steps[size_t(i)]);
    EXPECT_EQ(offered, changed);
    const std::vector<Stretch> after = Stretches();
    if (after.size() != before.size()) return 256;
    int moved = 0;
    for (size_t s = 0; s < before.size(); ++s)
        for (size_t v = 0; v < 768; ++v) moved = std::max(moved, std::abs(before[s][v] - after[s][v]));
    return moved;
}

// The merges of one click add up over a whole stretch of per-channel steps,
// and a strong step after them magnifies what they move: each list below
// moved 8 to 255 levels when every run was held only to itself.
TEST_F(Editing, OneOptimizeKeepsEveryStretchOfPerChannelStepsWithinTwoLevels) {
    auto times = [](int n, const steprec& s) { return std::vector<steprec>(size_t(n), s); };
    auto then = [](std::vector<steprec> a, const std::vector<steprec>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const steprec flip = Step(kOpFlipVertical), bright1 = Step(kOpBrightness, 1, 1, 1);
    const struct {
        const char* name;
        std::vector<steprec> steps;
    } cases[] = {
        {"20 x Brightness +1", times(20, bright1)},
        {"12 x Contrast +5", times(12, Step(kOpContrast, 5, 5, 5))},
        {"Contrast -1, -2, +100",
         {Step(kOpContrast, -1, -1, -1), Step(kOpContrast, -2, -2, -2), Step(kOpContrast, 100, 100, 100)}},
        {"3 x Brightness +5, Contrast +100",
         then(times(3, Step(kOpBrightness, 5, 5, 5)), {Step(kOpContrast, 100, 100, 100)})},
        {"Gamma 0.50, 0.50, 4.99",
         {Step(kOpGamma, 0.5, 0.5, 0.5), Step(kOpGamma, 0.5, 0.5, 0.5), Step(kOpGamma, 4.99, 4.99, 4.99)}},
        {"Brightness +1 around a pair of flips", then(then(times(3, bright1), {flip, flip}), times(3, bright1))},
        {"Brightness +1 around Saturation",
         then(then(times(10, bright1), {Step(kOpSaturation, 20)}), times(10, bright1))},
    };
    for (const auto& c : cases) {
        bool changed = false;
        EXPECT_LE(OptimizeOnce(view, c.steps, changed), 2) << c.name;
        ExpectLinesMatchList();
    }

    // Random lists, each stretch of them held the same way. Runs of one
    // operation with parameters of one sign are drawn often, so most lists
    // offer merges.
    std::mt19937 random(35);
    auto draw = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const int32_t perChannel[] = {kOpBrightness, kOpContrast, kOpNegative, kOpGamma, kOpAdjustRGB};
    int worst = 0, changedLists = 0;
    std::string worstList;
    for (int n = 0; n < 3000; ++n) {
        std::vector<steprec> steps;
        int sign[3];
        for (int& s : sign) s = draw(0, 1) ? 1 : -1;
        const int length = draw(2, 14);
        while (int(steps.size()) < length) {
            if (draw(0, 9) == 0) {
                steps.push_back(draw(0, 1) ? Step(kOpSaturation, draw(1, 50)) : Step(kOpBlur));
                continue;
            }
            const int32_t last = steps.empty() ? kOpBlur : steps.back().operation;
            const bool again = std::count(std::begin(perChannel), std::end(perChannel), last) && draw(0, 2) > 0;
            steprec s = Step(again ? last : perChannel[draw(0, 4)]);
            for (int k = 0; k < 3; ++k) {
                const int big = draw(0, 3) == 0;
                if (s.operation == kOpGamma) s.params[k] = (big ? draw(1, 499) : draw(50, 200)) / 100.0;
                else s.params[k] = sign[k] * (big ? draw(0, 100) : draw(0, 15));
            }
            steps.push_back(s);
        }
        bool changed = false;
        const int moved = OptimizeOnce(view, steps, changed);
        changedLists += changed;
        if (moved > worst) {
            worst = moved;
            worstList.clear();
            for (const steprec& s : steps) worstList += StepText(s) + "; ";
        }
    }
    EXPECT_LE(worst, 2) << worstList;
    EXPECT_GT(changedLists, 1000);
}

TEST_F(Editing, ChaosOfZeroIsNotANoOp) {
    Add("Chaos", {0});
    EXPECT_FALSE(view.optimizeVisible);
}

TEST_F(Editing, PaletteInputPutsPaletteStepsFirst) {
    view.inputBytes = 1;
    Add("Blur");
    Add("Sharpen");
    Add("Negative");
    EXPECT_TRUE(view.optimizeVisible);
    OptimizeToDoList(view);
    EXPECT_EQ(Ops(), (Names{"Negative", "Sharpen", "Blur"}));
    ExpectLinesMatchList();
    EXPECT_FALSE(view.optimizeVisible);
}

TEST_F(Editing, TrueColourInputKeepsTheOrder) {
    Add("Blur");
    Add("Sharpen");
    Add("Negative");
    EXPECT_FALSE(view.optimizeVisible);
    OptimizeToDoList(view);
    EXPECT_EQ(Ops(), (Names{"Blur", "Sharpen", "Negative"}));
}

TEST_F(Editing, DroppingALineMovesItBeforeTheDropTarget) {
    for (const char* n : {"Blur", "Soften", "Sharpen", "Find Edges", "Emboss"}) Add(n);
    MoveStep(view, 0, 3);
    EXPECT_EQ(Ops(), (Names{"Soften", "Sharpen", "Blur", "Find Edges", "Emboss"}));
    MoveStep(view, 0, -1);
    EXPECT_EQ(Ops(), (Names{"Sharpen", "Blur", "Find Edges", "Emboss", "Soften"}));
    MoveStep(view, 4, 0);
    EXPECT_EQ(Ops(), (Names{"Soften", "Sharpen", "Blur", "Find Edges", "Emboss"}));
    MoveStep(view, 2, 2);
    EXPECT_EQ(Ops(), (Names{"Soften", "Sharpen", "Blur", "Find Edges", "Emboss"}));
    ExpectLinesMatchList();
}

TEST_F(Editing, AFullListCanStillBeReordered) {
    for (int i = 0; i < kMaxSteps - 1; ++i) Add("Blur");
    Add("Soften");
    MoveStep(view, 249, 0);
    EXPECT_EQ(ToDoList.count, 250);
    EXPECT_EQ(Ops().front(), "Soften");
    ExpectLinesMatchList();
}

TEST_F(Editing, RemovingTheLastLineSelectsTheNewLastLine) {
    Add("Blur");
    Add("Soften");
    Add("Sharpen");
    view.selected = 2;
    RemoveSelectedStep(view);
    EXPECT_EQ(view.selected, 1);
    view.selected = 0;
    RemoveSelectedStep(view);
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(Ops(), (Names{"Soften"}));
    view.selected = -1;
    RemoveSelectedStep(view);
    EXPECT_EQ(ToDoList.count, 1);
    ExpectLinesMatchList();
}

TEST_F(Editing, EditingRewritesTheLineAndCancelKeepsTheValues) {
    Add("Saturation", {-50});
    view.selected = 0;
    view.editor.answers.push_back({25});
    EditStepParams(view);
    EXPECT_EQ(view.lines[0], "Saturation   value=+25");
    view.editor.answers.push_back({});
    EditStepParams(view);
    EXPECT_EQ(ToDoList.entries[0].params[0], 25);
    EXPECT_EQ(view.selected, 0);
}

TEST_F(Editing, AMergeToZeroIsRemovedByTheNextOptimize) {
    Add("Contrast", {0, 0, 0});
    Add("Contrast", {0, 0, 0});
    OptimizeToDoList(view);
    EXPECT_EQ(ToDoList.count, 0);
}

TEST_F(Editing, EmptyListKeepsTheButtonAsItIs) {
    view.optimizeVisible = true;
    EXPECT_FALSE(CheckToDoList(view, 0));
    EXPECT_TRUE(view.optimizeVisible);
}

}  // namespace
}  // namespace movaltic
