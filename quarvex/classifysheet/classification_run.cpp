#include "quarvex/classifysheet/classification_run.h"

#include "quarvex/classifysheet/mafics.h"
#include "quarvex/normsheet/norm3b.h"
#include "quarvex/normsheet/norm_sheet_adapter.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/state/classify_state.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/program_state.h"

#include <array>
#include <vector>

namespace quarvex::RockClassification {

namespace {

using namespace classify;

float At(const std::vector<float>& values, int index) {
    return index >= 0 && static_cast<size_t>(index) < values.size() ? values[static_cast<size_t>(index)] : 0.0f;
}

void LoadMaficInputs(Sample& s, int sample) {
    const auto& m = NORM3B::MaficInputs;
    s[kMafic] = At(m.MaficPercent, sample);
    s[kAnorthite] = At(m.AnorthitePercent, sample);
    s[kOlivine] = At(m.OlivinePercent, sample);
}

// The mafic-composition step: the dialog unless "Ignore All" was chosen, then
// the row's values as they stand (0 for a row never asked).
class DialogMafics final : public MaficSource {
public:
    int sample = 0;
    void Ask(Sample& s) override {
        MaficsRow = static_cast<float>(sample);
        if (IgnoreAllMafics == 0) Mafics::ShowModal(TheFrame() ? TheFrame()->FrameWindow() : nullptr);
        LoadMaficInputs(s, sample);
    }
};

void RaiseFault(MathFault fault) {
    if (fault == MathFault::DivisionByZero) qvrt::Raise(qvrt::ErrDivisionByZero);
    if (fault == MathFault::Overflow) qvrt::Raise(qvrt::ErrOverflow);
}

void StoreName(const Sample& s, int sample) {
    if (s.name) DataTable(NameCol, sample) = QString::fromLatin1(s.name);
}

Sample Components(int sample) {
    Sample s;
    s[kFirst] = XValues(sample);
    s[kSecond] = YValues(sample);
    s[kThird] = ZValues(sample);
    s[kFourth] = FValues(sample);
    return s;
}

void RunOnModalData(const ClassifierInfo& info) {
    MODULE21::ReadActiveGrid();
    // The read has reported its failure; nothing read is worth a sheet.
    if (LastReadFailed) return;
    if (!MODULE21::NoDecimalCommas({XCol, YCol, ZCol, ZCol + 1}, QStringLiteral("Error"))) return;
    MODULE21::NormalizeTernary();
    DialogMafics mafics;
    for (NORM3B::SampleIndex = 1; NORM3B::SampleIndex <= SampleCount; ++NORM3B::SampleIndex) {
        const int i = NORM3B::SampleIndex;
        Sample s = Components(i);
        LoadMaficInputs(s, i);
        mafics.sample = i;
        NameSample(info, s, mafics);
        RaiseFault(s.fault);
        if (info.ratioStep) ZValues(i) = s[kThird];
        StoreName(s, i);
    }
    MODULE21::WriteCoordinates();
}

// The oxides the norm-based rules compare, by their OxideColumns entries.
constexpr std::array<std::pair<int, Slot>, 5> kOxides = {
    {{1, kSiO2}, {2, kTiO2}, {7, kMgO}, {9, kNa2O}, {10, kK2O}}};

void RunOnNorm(const ClassifierInfo& info) {
    NORM3B::StoreOxideLayout(norm::kExtendedLayout);
    MODULE21::ReadActiveGridAnalyses(NORM3B::OxideColumnList());
    if (LastReadFailed) return;
    if (!MODULE21::NoDecimalCommas(NORM3B::OxideColumnList(), QStringLiteral("Error"))) return;
    NORM3B::InstallSheetAdapter();
    NORM3B::NormSheetIO& io = NORM3B::SheetIO();
    // The analysis as typed: the norm writes its own results over these
    // columns, and the oxide rules are about the rock, not the norm.
    const int count = io.SampleCount();
    std::vector<std::array<double, 5>> oxides(static_cast<size_t>(count) + 1);
    for (int i = 1; i <= count; ++i)
        for (size_t k = 0; k < kOxides.size(); ++k)
            oxides[static_cast<size_t>(i)][k] = qvrt::Val(io.DataCell(i, NORM3B::OxideColumns[kOxides[k].first]));

    NORM3B::CalcNorm(2);
    // A failed norm has said so; its half-computed arrays name nothing.
    if (DialogCancelled == -1) return;

    const auto& arrays = NORM3B::NormSampleArrays;
    NoMafics none;
    for (NORM3B::SampleIndex = 1; NORM3B::SampleIndex <= SampleCount; ++NORM3B::SampleIndex) {
        const int i = NORM3B::SampleIndex;
        Sample s = Components(i);
        LoadMaficInputs(s, i);
        s[kPyroxene] = At(arrays.PyroxenePercent, i);
        s[kMaficPlag] = At(arrays.MaficPlagioclasePercent, i);
        s[kSilica] = At(arrays.SilicaPercent, i);
        if (i <= count) {
            for (size_t k = 0; k < kOxides.size(); ++k) s.Oxide(kOxides[k].second) = oxides[static_cast<size_t>(i)][k];
            s.Oxide(kAlkalis) = s.Oxide(kNa2O) + s.Oxide(kK2O);
        }
        NameSample(info, s, none);
        RaiseFault(s.fault);
        ZValues(i) = s[kThird];
        StoreName(s, i);
    }
    NORM3B::ShowNormSheet();
}

}  // namespace

void RunClassifier(ClassifierId id) {
    const ClassifierInfo& info = Info(id);
    if (!info.hasBody) return;
    if (info.fromNorm) RunOnNorm(info);
    else RunOnModalData(info);
}

}  // namespace quarvex::RockClassification
