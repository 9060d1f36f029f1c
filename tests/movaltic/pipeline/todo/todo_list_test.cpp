#include <gtest/gtest.h>

#include <deque>

#include "movaltic/pipeline/todo_list.h"
#include "movaltic/pipeline/todo/step_maker.h"

namespace movaltic {
namespace {

class ToDo : public ::testing::Test {
protected:
    void SetUp() override { ToDoList = todolist{}; }
};

TEST(OperationTable, HoldsSeventeenOperationsWithTheirFlags) {
    EXPECT_STREQ(fnlist[kOpGamma].name, "Gamma Correct.");
    EXPECT_EQ(fnlist[kOpGamma].decimals, 1);
    EXPECT_EQ(fnlist[kOpSaturation].paramCount, 1);
    EXPECT_EQ(fnlist[kOpEmboss].paletteCapable, 0);
    EXPECT_EQ(fnlist[kOpChaos].noMerge, 1);
    EXPECT_STREQ(fnlist[16].name, "Chaos");
}

TEST(OperationIndex, FindsTheNameAtTheStartOfAnyText) {
    EXPECT_EQ(OperationIndex("Brightness   R= +20,  G= +20,  B= +20"), 0);
    EXPECT_EQ(OperationIndex("find edges"), 10);
    EXPECT_EQ(OperationIndex("MIRROR HORIZONTAL"), 15);
    EXPECT_EQ(OperationIndex("Sharp"), -1);
    EXPECT_EQ(OperationIndex("Rotate"), -1);
    EXPECT_EQ(OperationIndex(""), -1);
}

TEST(StepText, ShowsNameAndSignedParameters) {
    EXPECT_EQ(StepText(Step(kOpBrightness, 20, 20, 20)), "Brightness   R= +20,  G= +20,  B= +20");
    EXPECT_EQ(StepText(Step(kOpSaturation, -50)), "Saturation   value=-50");
    EXPECT_EQ(StepText(Step(kOpGamma, 1.2, 1.2, 1.2)), "Gamma Correct.   R= +1.20,  G= +1.20,  B= +1.20");
    EXPECT_EQ(StepText(Step(kOpNegative)), "Negative");
    EXPECT_EQ(StepText(Step(kOpContrast, 0, -7.9, 3.99)), "Contrast   R= 0,  G= -7,  B= +3");
}

TEST(FormatParam, TruncatesWholeNumbersAndGivesTwoDecimals) {
    EXPECT_EQ(FormatParam(0, 12.7), "+12");
    EXPECT_EQ(FormatParam(0, -0.5), "0");
    EXPECT_EQ(FormatParam(1, 0.0), "0.00");
    EXPECT_EQ(FormatParam(1, 4.99), "+4.99");
}

TEST(StepFromName, ClearsTheUsedParameters) {
    steprec s = Step(kOpNegative, 5, 6, 7);
    ASSERT_TRUE(StepFromName("Adjust RGB", s));
    EXPECT_EQ(s.operation, kOpAdjustRGB);
    EXPECT_EQ(s.params[0], 0.0);
    EXPECT_EQ(s.params[2], 0.0);
    EXPECT_FALSE(StepFromName("Nothing", s));
}

TEST_F(ToDo, InsertPlacesStepsAndRefusesTheTwoHundredFiftyFirst) {
    ASSERT_TRUE(StepInsert(-1, Step(kOpBlur)));
    ASSERT_TRUE(StepInsert(-1, Step(kOpSoften)));
    ASSERT_TRUE(StepInsert(0, Step(kOpNegative)));
    ASSERT_TRUE(StepInsert(1, Step(kOpEmboss)));
    EXPECT_EQ(ToDoList.count, 4);
    EXPECT_EQ(ToDoList.entries[0].operation, kOpNegative);
    EXPECT_EQ(ToDoList.entries[1].operation, kOpEmboss);
    EXPECT_EQ(ToDoList.entries[2].operation, kOpBlur);
    EXPECT_EQ(ToDoList.entries[3].operation, kOpSoften);
    while (ToDoList.count < kMaxSteps) ASSERT_TRUE(StepInsert(-1, Step(kOpGrayscale)));
    EXPECT_FALSE(StepInsert(0, Step(kOpChaos, 3)));
    EXPECT_EQ(ToDoList.count, 250);
    EXPECT_EQ(ToDoList.entries[0].operation, kOpNegative);
    EXPECT_EQ(ToDoList.entries[249].operation, kOpGrayscale);
}

TEST_F(ToDo, InsertBeyondTheEndAppends) {
    StepInsert(-1, Step(kOpBlur));
    ASSERT_TRUE(StepInsert(7, Step(kOpSoften)));
    EXPECT_EQ(ToDoList.count, 2);
    EXPECT_EQ(ToDoList.entries[1].operation, kOpSoften);
}

TEST_F(ToDo, DeleteClosesTheGapAndIgnoresIndexesOutside) {
    StepInsert(-1, Step(kOpBlur));
    StepInsert(-1, Step(kOpSoften));
    StepInsert(-1, Step(kOpSharpen));
    StepDelete(-1);
    StepDelete(3);
    EXPECT_EQ(ToDoList.count, 3);
    StepDelete(0);
    EXPECT_EQ(ToDoList.count, 2);
    EXPECT_EQ(ToDoList.entries[0].operation, kOpSoften);
    StepDelete(1);
    EXPECT_EQ(ToDoList.count, 1);
    EXPECT_EQ(ToDoList.entries[0].operation, kOpSoften);
}

TEST_F(ToDo, RoundingGoesToTheEvenNeighbourOnHalves) {
    StepInsert(-1, Step(kOpBrightness, 2.5, -2.5, 3.5));
    StepInsert(-1, Step(kOpChaos, 10.4));
    RoundStepParams();
    EXPECT_EQ(ToDoList.entries[0].iparams[0], 2);
    EXPECT_EQ(ToDoList.entries[0].iparams[1], -2);
    EXPECT_EQ(ToDoList.entries[0].iparams[2], 4);
    EXPECT_EQ(ToDoList.entries[1].iparams[0], 10);
}

TEST_F(ToDo, MergingBrightnessAddsAndStaysInRange) {
    StepInsert(-1, Step(kOpBrightness, 10, 20, 60));
    StepInsert(-1, Step(kOpBrightness, 20, 20, 60));
    StepInsert(-1, Step(kOpBrightness, 30, 20, 60));
    MergeSteps(0, 1, 2);
    EXPECT_EQ(ToDoList.entries[2].params[0], 60);
    EXPECT_EQ(ToDoList.entries[2].params[1], 60);
    EXPECT_EQ(ToDoList.entries[2].params[2], 100);
}

TEST_F(ToDo, MergingGammaMultipliesAndContrastMultipliesFactors) {
    StepInsert(-1, Step(kOpGamma, 1.2, 2.0, 0.5));
    StepInsert(-1, Step(kOpGamma, 1.5, 2.0, 2.0));
    MergeSteps(0, 0, 1);
    EXPECT_DOUBLE_EQ(ToDoList.entries[1].params[0], 1.8);
    EXPECT_DOUBLE_EQ(ToDoList.entries[1].params[1], 4.0);
    EXPECT_DOUBLE_EQ(ToDoList.entries[1].params[2], 1.0);
    StepInsert(-1, Step(kOpContrast, 10, -50, 0));
    StepInsert(-1, Step(kOpContrast, 10, -50, 0));
    MergeSteps(2, 2, 3);
    EXPECT_EQ(ToDoList.entries[3].params[0], 21);
    EXPECT_EQ(ToDoList.entries[3].params[1], -75);
    EXPECT_EQ(ToDoList.entries[3].params[2], 0);
}

TEST(StepsMergeable, OnlyWhenOneStepDoesWhatTheRunDid) {
    EXPECT_TRUE(StepsMergeable(Step(kOpBrightness, 10, 0, -5), Step(kOpBrightness, 5, -3, -5)));
    EXPECT_FALSE(StepsMergeable(Step(kOpBrightness, 10, 0, 0), Step(kOpBrightness, -10, 0, 0)));
    EXPECT_FALSE(StepsMergeable(Step(kOpContrast, 50, 0, 0), Step(kOpContrast, 40, 0, 0)));
    EXPECT_TRUE(StepsMergeable(Step(kOpGamma, 2, 2, 2), Step(kOpGamma, 2, 2, 2)));
    EXPECT_FALSE(StepsMergeable(Step(kOpGamma, 2, 2, 2), Step(kOpGamma, 3, 1, 1)));
    EXPECT_FALSE(StepsMergeable(Step(kOpEmboss), Step(kOpEmboss)));
    EXPECT_FALSE(StepsMergeable(Step(kOpBlur), Step(kOpBlur)));
    EXPECT_FALSE(StepsMergeable(Step(kOpNegative), Step(kOpGrayscale)));
    EXPECT_TRUE(StepsMergeable(Step(kOpNegative), Step(kOpNegative)));
}

class ScriptedEditor : public ParamEditor {
public:
    struct Call {
        std::string caption, prompt;
        double values[3];
        double minimum, maximum;
    };
    std::vector<Call> calls;
    std::deque<std::vector<double>> answers;  // empty answer = Cancel

    bool AskValue(const std::string& caption, const std::string& prompt, double& value,
                  double minimum, double maximum) override {
        calls.push_back({caption, prompt, {value, 0, 0}, minimum, maximum});
        return Answer(&value, 1);
    }
    bool AskRGB(const std::string& caption, double& red, double& green, double& blue,
                double minimum, double maximum) override {
        calls.push_back({caption, "", {red, green, blue}, minimum, maximum});
        double v[3] = {red, green, blue};
        const bool ok = Answer(v, 3);
        red = v[0];
        green = v[1];
        blue = v[2];
        return ok;
    }

private:
    bool Answer(double* v, int n) {
        if (answers.empty() || answers.front().empty()) {
            if (!answers.empty()) answers.pop_front();
            return false;
        }
        for (int i = 0; i < n; ++i) v[i] = answers.front()[size_t(i)];
        answers.pop_front();
        return true;
    }
};

TEST(EditOperationParams, OpensTheRightDialogWithItsRange) {
    ScriptedEditor ed;
    ed.answers = {{-20, 5, 7}, {3}, {}};
    steprec b = Step(kOpContrast);
    ASSERT_TRUE(EditOperationParams(b, ed));
    EXPECT_EQ(ed.calls[0].caption, "Contrast (in percents)");
    EXPECT_EQ(ed.calls[0].minimum, -100);
    EXPECT_EQ(b.params[0], -20);
    steprec c = Step(kOpChaos);
    ASSERT_TRUE(EditOperationParams(c, ed));
    EXPECT_EQ(ed.calls[1].caption, "Chaos");
    EXPECT_EQ(ed.calls[1].prompt, "Pixels (1..10)");
    EXPECT_EQ(ed.calls[1].minimum, 1);
    EXPECT_EQ(ed.calls[1].maximum, 10);
    EXPECT_EQ(c.params[0], 3);
    steprec s = Step(kOpSaturation, 40);
    EXPECT_FALSE(EditOperationParams(s, ed));
    EXPECT_EQ(ed.calls[2].prompt, "Percents");
    EXPECT_EQ(s.params[0], 40);
}

TEST(EditOperationParams, NewGammaStartsAtOnePointTwo) {
    ScriptedEditor ed;
    ed.answers = {{1.2, 1.2, 1.2}};
    steprec g = Step(kOpGamma);
    ASSERT_TRUE(EditOperationParams(g, ed));
    EXPECT_EQ(ed.calls[0].caption, "Gamma Correction");
    EXPECT_EQ(ed.calls[0].values[0], 1.2);
    EXPECT_EQ(ed.calls[0].values[2], 1.2);
    EXPECT_EQ(ed.calls[0].minimum, 0.01);
    EXPECT_EQ(ed.calls[0].maximum, 4.99);
    EXPECT_EQ(StepText(g), "Gamma Correct.   R= +1.20,  G= +1.20,  B= +1.20");
}

TEST(EditOperationParams, OperationsWithoutParametersNeedNoDialog) {
    ScriptedEditor ed;
    steprec n = Step(kOpFlipHorizontal);
    EXPECT_TRUE(EditOperationParams(n, ed));
    EXPECT_TRUE(ed.calls.empty());
}

}  // namespace
}  // namespace movaltic
