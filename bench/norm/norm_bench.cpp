// Speed of the norm on 15,000 samples: the numeric core alone (both norms,
// both modes), and the whole norm command on a data sheet of the frame:
// read the sheet into the data table, compute, write the result sheet. Run
// by hand: bench_norm (offscreen by default).
#include "quarvex/classifysheet/norm_launchers.h"
#include "quarvex/frame/mdi_form1.h"
#include "quarvex/norm/extended_norm.h"
#include "quarvex/norm/standard_norm.h"
#include "quarvex/normsheet/norm3b.h"
#include "quarvex/normsheet/norm_sheet_adapter.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/runtime/settings_store.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/heading_sets.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/sheets/new_data_window.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kSamples = 15000;
constexpr int kRuns = 7;

// Basalt, granite, nephelinite, peridotite and boninite, each varied a
// little so no two rows are alike.
std::vector<norm::StandardInputs> StandardRows() {
    const norm::StandardInputs rocks[] = {
        {49.20, 1.84, 15.74, 3.79, 7.13, 0.20, 6.73, 9.47, 2.91, 1.10, 0.95, 0.43, 0.35},
        {72.04, 0.30, 14.42, 1.22, 1.68, 0.05, 0.71, 1.82, 3.69, 4.12, 0.64, 0.13, 0.12},
        {40.60, 2.66, 14.33, 5.48, 6.17, 0.26, 6.39, 11.89, 4.79, 3.46, 1.65, 0.54, 1.07},
        {43.54, 0.81, 3.99, 2.51, 9.84, 0.21, 34.02, 3.46, 0.56, 0.25, 0.60, 0.0, 0.05},
        {57.50, 0.15, 11.00, 1.50, 7.00, 0.15, 12.50, 8.00, 1.50, 0.60, 1.00, 0.20, 0.03}};
    std::vector<norm::StandardInputs> rows(kSamples);
    for (int i = 0; i < kSamples; ++i) {
        rows[i] = rocks[i % 5];
        for (double& v : rows[i]) v *= 1.0 + 0.001 * ((i * 7919) % 41 - 20);
    }
    return rows;
}

std::vector<norm::ExtendedInputs> ExtendedRows(const std::vector<norm::StandardInputs>& standard) {
    std::vector<norm::ExtendedInputs> rows(standard.size());
    for (size_t i = 0; i < standard.size(); ++i) {
        const auto& s = standard[i];
        rows[i] = {s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7], s[8], s[9], s[12], 0.2, 0.05, 0.06, 0.1, 0.02, 0.05, 0.03};
    }
    return rows;
}

template <typename F>
double BestMs(F&& run) {
    double best = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const auto standard = StandardRows();
    const auto extended = ExtendedRows(standard);

    std::printf("norm core, %d samples, best of %d:\n", kSamples, kRuns);
    for (int mode : {2, 3}) {
        const double ms = BestMs([&] { norm::CalcStandardNorm(standard, mode, {}); });
        std::printf("  standard norm, mode %d: %.2f ms\n", mode, ms);
    }
    for (int mode : {2, 3}) {
        const double ms = BestMs([&] { norm::CalcExtendedNorm(extended, mode, {}); });
        std::printf("  extended norm, mode %d: %.2f ms\n", mode, ms);
    }

    // The whole command as the frame runs it, answering No to the iron
    // question; the source sheet is grown to hold every sample.
    QTemporaryDir settings;
    qvrt::SetSettingsDirectory(settings.path());
    qvrt::ScriptedHost& host = qvrt::InstallScriptedHost();
    quarvex::ResetProgramState();
    quarvex::MDIForm1* frame = quarvex::MDIForm1::ShowFrame();
    NORM3B::InstallSheetAdapter();
    MODULE21::NewDataWindow();
    quarvex::Main1* source = quarvex::DataWindows.back();
    qvrt::SpreadGrid& grid = *source->Grid1;
    grid.setMaxRows(kSamples + 1);
    quarvex::HeadingSets::InsertOxideExtended();
    for (int r = 1; r <= kSamples; ++r) {
        grid.SetText(1, r + 1, QString::number(r));
        grid.SetText(2, r + 1, QStringLiteral("rock"));
        for (int entry = 1; entry <= 13; ++entry) {
            grid.SetText(norm::kExtendedLayout.columns[entry], r + 1,
                         QString::number(standard[r - 1][entry - 1], 'f', 2));
        }
    }
    for (bool useExtended : {false, true}) {
        double best = 1e30;
        for (int i = 0; i < 3; ++i) {
            source->SetFocus();
            host.msgBoxAnswers = {qvrt::vbOK, qvrt::vbNo};
            if (!useExtended) host.msgBoxAnswers.pop_front();
            QElapsedTimer timer;
            timer.start();
            useExtended ? quarvex::RockClassification::RunNormCalculation2Weight()
                        : quarvex::RockClassification::RunNormCalculation();
            best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
            quarvex::Main1* result = quarvex::DataWindows.back();
            if (result == source || result->Grid1->GetText(5, kSamples + 1).isEmpty()) {
                std::printf("the norm command wrote no result sheet\n");
                return 1;
            }
            result->UnloadWithoutQuestion();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        std::printf("whole command (read sheet, %s norm mode 3, result sheet), best of 3: %.1f ms\n",
                    useExtended ? "useExtended" : "standard", best);
    }
    source->UnloadWithoutQuestion();
    delete frame;
    return 0;
}
