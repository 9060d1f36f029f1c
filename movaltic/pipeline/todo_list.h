// The user's to-do list: at most 250 steps applied to every frame in order,
// their texts, insertion and deletion, rounding and merging of parameters,
// and the editing of one step's parameters through the value dialogs.
#pragma once

#include <cstdint>
#include <string>

#include "movaltic/pipeline/operations_table.h"

namespace movaltic {

struct steprec {
    int32_t operation = 0;
    double params[6] = {};   // red, green, blue for three-parameter operations
    int32_t iparams[6] = {}; // rounded copies, refreshed by RoundStepParams
};

constexpr int32_t kMaxSteps = 250;

struct todolist {
    steprec entries[kMaxSteps];
    int32_t count = 0;
};
extern todolist ToDoList;

bool StepFromName(const std::string& text, steprec& step);
std::string FormatParam(int32_t decimals, double value);
std::string StepText(const steprec& step);
bool StepInsert(int32_t position, const steprec& step);
void StepDelete(int32_t index);
void RoundStepParams();
// Folds the parameters of entries first..last and of the target entry, in
// list order, into the target entry so that one step does what the run did:
// Brightness adds (held to -100..100, where it saturates anyway); Contrast
// and Gamma Correct. multiply their factors.
void MergeSteps(int32_t first, int32_t last, int32_t target);
// Whether step b may be folded into step a by their parameters: same
// operation, mergeable kind, same sign per channel for the percent
// operations, and a result within the dialog's range. Whether the folded
// step still gives the same picture is MergeRun's to tell.
bool StepsMergeable(const steprec& a, const steprec& b);
// Folds the parameters of one step into another of the same operation.
void MergeStepInto(steprec& target, const steprec& other);
// Operations whose second application undoes the first (Negative, flips).
bool StepIsInvolution(int32_t operation);

// A run of neighbouring steps folded into one, grown a step at a time, in
// the order MergeSteps folds them. A Brightness, Contrast or Gamma Correct.
// step joins only when the folded step maps every value 0..255 of each
// channel within 2 levels (what the rounding between two steps moves) of
// where the run maps it; these operations map each value on its own, so
// their tables tell it exactly.
class MergeRun {
public:
    explicit MergeRun(const steprec& first);
    // False, and nothing changes, when next does not fold in.
    bool Join(const steprec& next);

private:
    steprec merged_;
    uint8_t run_[3][256] = {};  // where the joined steps take each value, per channel
};

// The value dialogs, implemented by the window side (and by scripts in tests).
// Only an OK writes the values back and returns true.
class ParamEditor {
public:
    virtual ~ParamEditor() = default;
    virtual bool AskValue(const std::string& caption, const std::string& prompt, double& value,
                          double minimum, double maximum) = 0;
    virtual bool AskRGB(const std::string& caption, double& red, double& green, double& blue,
                        double minimum, double maximum) = 0;
};

bool EditOperationParams(steprec& step, ParamEditor& editor);

}  // namespace movaltic
