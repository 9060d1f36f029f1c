#include "movaltic/pipeline/todo_list.h"

#include <algorithm>
#include <climits>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "movaltic/imaging/operations.h"

namespace movaltic {

todolist ToDoList;

bool StepFromName(const std::string& text, steprec& step) {
    const int32_t op = OperationIndex(text);
    if (op < 0) return false;
    step.operation = op;
    for (int32_t k = 0; k < fnlist[op].paramCount; ++k) step.params[k] = 0.0;
    return true;
}

// By the C locale's rules whatever the user's: a Turkish or German desktop
// would otherwise show "+1,50".
std::string FormatParam(int32_t decimals, double value) {
    char buf[64];
    const double shown = decimals == 0 ? std::trunc(value) : value;
    const auto end = std::to_chars(buf, buf + sizeof buf, shown == 0.0 ? 0.0 : shown, std::chars_format::fixed,
                                   decimals == 0 ? 0 : 2)
                         .ptr;
    std::string text(buf, end);
    if (text == "-0.00") text = "0.00";
    return (value > 0 ? "+" : "") + text;
}

std::string StepText(const steprec& step) {
    if (step.operation < 0 || step.operation >= kOperationCount) return {};
    const fnlistrec& op = fnlist[step.operation];
    static const char* const kRGB[3] = {"R= ", "G= ", "B= "};
    std::string text = op.name;
    for (int32_t k = 0; k < op.paramCount; ++k) {
        text += k == 0 ? "   " : ",  ";
        text += op.paramCount == 3 ? kRGB[k] : "value=";
        text += FormatParam(op.decimals, step.params[k]);
    }
    return text;
}

bool StepInsert(int32_t position, const steprec& step) {
    if (ToDoList.count >= kMaxSteps) return false;
    // Past the end counts as appending, so no entry is ever left undefined.
    if (position >= 0 && position < ToDoList.count) {
        for (int32_t i = ToDoList.count; i > position; --i) ToDoList.entries[i] = ToDoList.entries[i - 1];
        ToDoList.entries[position] = step;
    } else {
        ToDoList.entries[ToDoList.count] = step;
    }
    ToDoList.count += 1;
    return true;
}

void StepDelete(int32_t index) {
    if (index < 0 || index >= ToDoList.count) return;
    for (int32_t i = index; i + 1 < ToDoList.count; ++i) ToDoList.entries[i] = ToDoList.entries[i + 1];
    ToDoList.count -= 1;
}

namespace {

int32_t RoundParam(double value) {
    const double v = std::nearbyint(value);  // halves to even
    return v > 2147483647.0 ? INT32_MAX : (v < -2147483648.0 ? INT32_MIN : int32_t(v));
}

}  // namespace

void RoundStepParams() {
    for (int32_t i = 0; i < ToDoList.count; ++i) {
        steprec& s = ToDoList.entries[i];
        if (s.operation < 0 || s.operation >= kOperationCount) continue;
        for (int32_t k = 0; k < fnlist[s.operation].paramCount; ++k) s.iparams[k] = RoundParam(s.params[k]);
    }
}

namespace {

// Contrast stretches (or squeezes) around the middle by 1 + p/100 per step.
double ContrastFactor(double p) { return 1.0 + p / 100.0; }

// A gamma below 0.01 is the identity table; it folds as a factor of 1.
bool GammaIsIdentity(double g) { return !(g * 100.0 >= 1.0); }

}  // namespace

void MergeStepInto(steprec& t, const steprec& s) {
    if (t.operation < 0 || t.operation >= kOperationCount || s.operation != t.operation) return;
    const int32_t n = fnlist[t.operation].paramCount;
    for (int32_t k = 0; k < n; ++k) {
        double& a = t.params[k];
        const double b = s.params[k];
        switch (t.operation) {
        case kOpBrightness:
            a = std::clamp(a + b, -100.0, 100.0);
            break;
        case kOpContrast:
            a = std::nearbyint((ContrastFactor(a) * ContrastFactor(b) - 1.0) * 100.0);
            a = std::clamp(a, -100.0, 100.0);
            break;
        case kOpGamma:
            if (GammaIsIdentity(a)) a = b;
            else if (!GammaIsIdentity(b)) a = std::nearbyint(a * b * 100.0) / 100.0;
            break;
        default:
            a += b;
            break;
        }
    }
}

bool StepIsInvolution(int32_t operation) {
    return operation == kOpNegative || operation == kOpFlipVertical || operation == kOpFlipHorizontal;
}

bool StepsMergeable(const steprec& a, const steprec& b) {
    if (a.operation != b.operation || a.operation < 0 || a.operation >= kOperationCount) return false;
    const fnlistrec& op = fnlist[a.operation];
    // Emboss twice is a stronger relief, not one relief.
    if (op.noMerge || a.operation == kOpEmboss) return false;
    for (int32_t k = 0; k < op.paramCount; ++k) {
        const double x = a.params[k], y = b.params[k];
        switch (a.operation) {
        case kOpBrightness:
            // Opposite signs do not cancel once the first step has clipped.
            if ((x > 0 && y < 0) || (x < 0 && y > 0)) return false;
            break;
        case kOpContrast:
            if ((x > 0 && y < 0) || (x < 0 && y > 0)) return false;
            if (ContrastFactor(x) * ContrastFactor(y) > 2.0 + 1e-9) return false;
            break;
        case kOpGamma:
            if (!GammaIsIdentity(x) && !GammaIsIdentity(y)) {
                const double g = x * y;
                if (g < 0.01 - 1e-9 || g > 4.99 + 1e-9) return false;
            }
            break;
        default:
            return false;
        }
    }
    return true;
}

void MergeSteps(int32_t first, int32_t last, int32_t target) {
    if (target < 0 || target >= ToDoList.count) return;
    steprec& t = ToDoList.entries[target];
    if (t.operation < 0 || t.operation >= kOperationCount) return;
    first = std::max(first, 0);
    last = std::min(last, ToDoList.count - 1);
    // In list order, as MergeRun checked it: Contrast and Gamma Correct.
    // round each fold, so another order can give another step.
    steprec folded = t;
    bool started = false;
    for (int32_t j = std::min(first, target); j <= std::max(last, target); ++j) {
        if (j != target && (j < first || j > last)) continue;
        if (started) MergeStepInto(folded, ToDoList.entries[j]);
        else folded = ToDoList.entries[j];
        started = true;
    }
    std::copy(std::begin(folded.params), std::end(folded.params), std::begin(t.params));
}

namespace {

// The operations whose folded step only comes near the run it stands for.
bool FoldsNearly(int32_t operation) {
    return operation == kOpBrightness || operation == kOpContrast || operation == kOpGamma;
}

// A gamma's table depends only on its hundredths; those of the dialog's
// range are kept once built, since the list is checked after every change.
void GammaTableOf(double gamma, uint8_t* table) {
    static uint8_t kept[500][256];
    static bool built[500] = {};
    const int32_t a = GammaHundredths(gamma);
    if (a >= 500) {
        GammaTable(gamma, table);
        return;
    }
    if (!built[a]) GammaTable(gamma, kept[a]);
    built[a] = true;
    std::memcpy(table, kept[a], 256);
}

// Channel k's table as ApplyOperation applies the step: the percent
// operations take the rounded parameter, Gamma Correct. the real one.
void StepChannelTable(const steprec& s, int32_t k, uint8_t* table) {
    switch (s.operation) {
    case kOpBrightness: ChannelTable(BrightnessTable, RoundParam(s.params[k]), table); break;
    case kOpContrast: ChannelTable(ContrastTable, RoundParam(s.params[k]), table); break;
    case kOpAdjustRGB: ChannelTable(AdjustTable, RoundParam(s.params[k]), table); break;
    case kOpGamma: GammaTableOf(s.params[k], table); break;
    case kOpNegative:
        for (int v = 0; v < 256; ++v) table[v] = uint8_t(255 - v);
        break;
    default: IdentityTable(table); break;
    }
}

}  // namespace

bool StepIsPerChannel(int32_t operation) {
    return FoldsNearly(operation) || operation == kOpNegative || operation == kOpAdjustRGB;
}

ChannelMaps::ChannelMaps() {
    for (auto& channel : map) IdentityTable(channel);
}

ChannelMaps::ChannelMaps(const steprec& step) {
    for (int32_t k = 0; k < 3; ++k) StepChannelTable(step, k, map[k]);
}

void ChannelMaps::Then(const ChannelMaps& next) {
    for (int32_t k = 0; k < 3; ++k)
        for (int v = 0; v < 256; ++v) map[k][v] = next.map[k][map[k][v]];
}

MergeRun::MergeRun(const steprec& first, const ChannelMaps& before, const ChannelMaps& target)
    : merged_(first), before_(&before), target_(&target) {}

bool MergeRun::Join(const steprec& next, const ChannelMaps& after) {
    if (!StepsMergeable(merged_, next)) return false;
    steprec folded = merged_;
    MergeStepInto(folded, next);
    if (FoldsNearly(next.operation)) {
        uint8_t one[256];
        for (int32_t k = 0; k < 3; ++k) {
            StepChannelTable(folded, k, one);
            const uint8_t *in = before_->map[k], *out = after.map[k], *was = target_->map[k];
            for (int v = 0; v < 256; ++v)
                if (std::abs(int(out[one[in[v]]]) - int(was[v])) > 2) return false;
        }
    }
    merged_ = folded;
    return true;
}

bool EditOperationParams(steprec& step, ParamEditor& editor) {
    double* p = step.params;
    switch (step.operation) {
    case kOpBrightness:
        return editor.AskRGB("Brightness (in percents)", p[0], p[1], p[2], -100, 100);
    case kOpContrast:
        return editor.AskRGB("Contrast (in percents)", p[0], p[1], p[2], -100, 100);
    case kOpGamma:
        if (p[0] == 0) p[0] = p[1] = p[2] = 1.2;
        return editor.AskRGB("Gamma Correction", p[0], p[1], p[2], 0.01, 4.99);
    case kOpSaturation:
        return editor.AskValue("Saturation", "Percents", p[0], -100, 100);
    case kOpAdjustRGB:
        return editor.AskRGB("Adjust RGB (in percents)", p[0], p[1], p[2], -100, 100);
    case kOpChaos:
        return editor.AskValue("Chaos", "Pixels (1..10)", p[0], 1, 10);
    default:
        return true;
    }
}

}  // namespace movaltic
