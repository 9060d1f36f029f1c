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

// Operations that take each value of a channel to a value of its own, the
// same for every pixel: Brightness, Contrast, Negative, Gamma Correct. and
// Adjust RGB. The steps of other kinds split a list into stretches of these.
bool StepIsPerChannel(int32_t operation);

// Where a stretch of per-channel steps takes each value 0..255 of each
// channel (red, green, blue); the empty stretch keeps every value.
struct ChannelMaps {
    uint8_t map[3][256];
    ChannelMaps();
    // As ApplyOperation applies the step; a step of another kind keeps every value.
    explicit ChannelMaps(const steprec& step);
    // This stretch followed by the next one.
    void Then(const ChannelMaps& next);
};

// A run of neighbouring steps folded into one, grown a step at a time, in
// the order MergeSteps folds them. Brightness, Contrast and Gamma Correct.
// fold only nearly, and a step after the run can magnify what they move:
// such a step joins only when the per-channel steps around the run, with the
// folded step in place of the run, still take every value of each channel
// within 2 levels (what the rounding between two steps moves) of where the
// stretch took it before any merge. Negative and the steps of other kinds
// fold exactly and join without that check.
class MergeRun {
public:
    // before: the per-channel steps in front of the run, up to a step of
    // another kind; target: the whole stretch before any merge.
    MergeRun(const steprec& first, const ChannelMaps& before, const ChannelMaps& target);
    // False, and nothing changes, when next does not fold in. after: the
    // per-channel steps behind next, up to a step of another kind.
    bool Join(const steprec& next, const ChannelMaps& after);

private:
    steprec merged_;
    const ChannelMaps* before_;
    const ChannelMaps* target_;
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
