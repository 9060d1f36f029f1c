#include "quarvex/classifysheet/norm_launchers.h"

#include "quarvex/normsheet/fe_ratio_dialog.h"
#include "quarvex/normsheet/norm3b.h"
#include "quarvex/normsheet/norm_sheet_adapter.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/program_state.h"

namespace quarvex::RockClassification {

namespace {

enum class Layout { Extended, Short, AsStored };

struct Launcher {
    bool notice;
    bool extendedNorm;
    int mode;
    Layout layout;
    bool dataCheck;
    bool resultSheet;
    bool disablesUndo;
};

constexpr Launcher kCalculation2{true, true, 2, Layout::Extended, true, true, true};
constexpr Launcher kCalculation2Weight{true, true, 3, Layout::Extended, true, true, true};
constexpr Launcher kCalculation{false, false, 3, Layout::Extended, true, true, true};
constexpr Launcher kMode2{false, false, 2, Layout::Extended, true, true, true};
constexpr Launcher kMode4{false, false, 4, Layout::AsStored, false, true, false};
constexpr Launcher kNoSheet{false, false, 3, Layout::Short, false, false, false};

void Launch(const Launcher& l) {
    NORM3B::InstallSheetAdapter();
    qvrt::Host& host = qvrt::host();
    // Every launcher starts clean, so no run inherits an earlier dialog's
    // cancel or iron ratio.
    DialogCancelled = 0;
    NORM3B::IronRatioSet = 0;
    NORM3B::IronRatio = 0;
    if (l.notice)
        host.MsgBox(QStringLiteral("This norm calculates extra components including pyrite, calcite and zircon.  "
                                   "Cl, F, S, SO3, Cr2O3 and ZRO2 are used in this calculation if available"),
                    qvrt::vbOKOnly + qvrt::vbInformation, QStringLiteral("Norm Calculation 2"));
    MsgBoxAnswer = static_cast<int16_t>(
        host.MsgBox(QStringLiteral("Adjust Fe2O3/FeO ratio?"), qvrt::vbYesNoCancel, QStringLiteral("Norm Options")));
    if (MsgBoxAnswer == qvrt::vbCancel) return;
    if (MsgBoxAnswer == qvrt::vbYes) NORM3B::FeRatio::ShowModal(TheFrame() ? TheFrame()->FrameWindow() : nullptr);
    if (DialogCancelled == -1) return;
    if (l.layout == Layout::Extended) NORM3B::StoreOxideLayout(norm::kExtendedLayout);
    if (l.layout == Layout::Short) NORM3B::StoreOxideLayout(norm::kShortLayout);
    MODULE21::ReadActiveGridAnalyses(NORM3B::OxideColumnList());
    if (LastReadFailed) return;
    if (!MODULE21::NoDecimalCommas(NORM3B::OxideColumnList(), QStringLiteral("Calculation Error"))) return;
    if (l.dataCheck && SampleCount < 1) {
        host.MsgBox(QStringLiteral("Insufficient data points"), qvrt::vbExclamation, QStringLiteral("Calculation Error"));
        host.SetMousePointer(qvrt::vbDefault);
        return;
    }
    if (l.extendedNorm) NORM3B::CalcNormExtended(l.mode);
    else NORM3B::CalcNorm(l.mode);
    // A failed norm has reported itself; its part-table is no result.
    if (DialogCancelled == -1) return;
    if (!l.resultSheet) return;
    NORM3B::ShowNormSheet();
    if (l.disablesUndo && TheFrame()) TheFrame()->SetUndoEnabled(false);
}

}  // namespace

void RunNormCalculation2() { Launch(kCalculation2); }
void RunNormCalculation2Weight() { Launch(kCalculation2Weight); }
void RunNormCalculation() { Launch(kCalculation); }
void RunNormMode2() { Launch(kMode2); }
void RunNormMode4() { Launch(kMode4); }
void RunNormNoSheet() { Launch(kNoSheet); }

}  // namespace quarvex::RockClassification
