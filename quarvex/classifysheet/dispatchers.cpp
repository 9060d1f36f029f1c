#include "quarvex/classifysheet/dispatchers.h"

#include "quarvex/classify/rock_group.h"
#include "quarvex/classifysheet/classification_run.h"
#include "quarvex/normsheet/fe_ratio_dialog.h"
#include "quarvex/normsheet/norm_sheet_adapter.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/state/classify_state.h"
#include "quarvex/state/data_table.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/norm_state.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

namespace quarvex::RockClassification {

namespace {

constexpr int kObjectNotSet = 91;

// MaficInputs (and SilicaPercent after a norm) back to the single element 0.
void ShrinkMaficInputs(bool silicaToo) {
    auto& m = NORM3B::MaficInputs;
    for (std::vector<float>* a : {&m.MaficPercent, &m.AnorthitePercent, &m.OlivinePercent}) a->assign(1, 0.0f);
    if (silicaToo) NORM3B::NormSampleArrays.SilicaPercent.assign(1, 0.0f);
}

void ReportError(const std::exception& e) {
    qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Error"));
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

void ReportNoClassifier(const QString& kind) {
    const auto kinds = classify::RockGroupKinds();
    QString list;
    for (size_t i = 0; i < kinds.size(); ++i) {
        if (i > 0) list += i + 1 == kinds.size() ? QStringLiteral(" and ") : QStringLiteral(", ");
        list += QString::fromLatin1(kinds[i].data(), static_cast<qsizetype>(kinds[i].size()));
    }
    qvrt::host().MsgBox(QStringLiteral("This sheet is \"%1\": nothing was classified.  Classify Rock Group names the "
                                       "samples of %2 sheets only.")
                            .arg(kind, list),
                        qvrt::vbExclamation, QStringLiteral("Select a Rockgroup"));
}

}  // namespace

void ClassifyRockGroup() {
    try {
        IgnoreAllMafics = 0;
        if (!TheFrame() || !TheFrame()->ActiveForm())
            throw qvrt::RuntimeError(kObjectNotSet, "Object variable or With block variable not set");
        const QString kind = RecordByTag(ActiveTag()).DiagramType;
        MsgBoxAnswer = static_cast<int16_t>(qvrt::host().MsgBox(
            QStringLiteral("This Option is only Available for QAPF Plutonic, Volcanic and Charnockite Rockgroups.  "
                           "Is a QAPF Plutonic, Volcanic or Charnockite Rockgroup Selected?"),
            qvrt::vbOKCancel + qvrt::vbQuestion, QStringLiteral("Select a Rockgroup")));
        if (MsgBoxAnswer == qvrt::vbCancel) return;
        // A run reads only the answers given in it.
        ShrinkMaficInputs(false);
        const auto classifiers = classify::RockGroupClassifiers(kind.toStdString());
        for (classify::ClassifierId id : classifiers) RunClassifier(id);
        // The question above was answered OK, so the user expects a sheet.
        if (classifiers.empty()) ReportNoClassifier(kind);
        ShrinkMaficInputs(false);
        DataTable.Erase();
    } catch (const std::exception& e) {
        ReportError(e);
    }
}

void ClassifyFromNorm() {
    try {
        NORM3B::InstallSheetAdapter();
        NORM3B::IronRatioSet = 0;
        NORM3B::IronRatio = 0;
        IgnoreAllMafics = 0;
        DialogCancelled = 0;
        qvrt::Host& host = qvrt::host();
        MsgBoxAnswer = static_cast<int16_t>(
            host.MsgBox(QStringLiteral("Adjust Fe2O3/FeO ratio?"), qvrt::vbYesNoCancel, QStringLiteral("Norm Options")));
        if (MsgBoxAnswer == qvrt::vbCancel) return;
        if (MsgBoxAnswer == qvrt::vbYes) {
            NORM3B::FeRatio::ShowModal(TheFrame() ? TheFrame()->FrameWindow() : nullptr);
            if (DialogCancelled == -1) return;
        }
        MsgBoxAnswer = static_cast<int16_t>(host.MsgBox(
            QStringLiteral("This option is only available for rocks belonging to the QAPF classification system.  "
                           "Select Yes to classify plutonic rocks or no to classify volcanic rocks"),
            qvrt::vbYesNoCancel + qvrt::vbQuestion, QStringLiteral("Select a Rockgroup")));
        ShrinkMaficInputs(true);
        if (auto id = classify::FromNormClassifier(MsgBoxAnswer)) RunClassifier(*id);
        ShrinkMaficInputs(true);
        DataTable.Erase();
    } catch (const std::exception& e) {
        ReportError(e);
    }
}

}  // namespace quarvex::RockClassification
