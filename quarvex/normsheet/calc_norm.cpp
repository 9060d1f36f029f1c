// Running a norm on the data table: reading the oxide cells, handing the
// rows to the numeric core and writing its results back for the result
// sheet and the classifiers.
#include "quarvex/normsheet/norm3b.h"

#include "quarvex/norm/extended_norm.h"
#include "quarvex/norm/oxide_headings.h"
#include "quarvex/norm/standard_norm.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/grid_model.h"
#include "quarvex/runtime/host.h"

#include <array>

namespace NORM3B {

namespace {

NormSheetIO* installedIO = nullptr;

const QString kResultFormat = QStringLiteral("##0.00");

// A cell read as the forms read numbers; a number too large for any
// analysis ends the run as an overflow would have.
double OxideValue(const NormSheetIO& io, int sample, int entry) {
    const int column = OxideColumns[entry];
    if (column <= 0) return 0;
    return qvrt::Val(io.DataCell(sample, column));
}

norm::IronChoice CurrentIronChoice() { return {IronRatioSet == -1, IronRatio}; }

// The norms read fixed columns. A column headed with another input or with
// the total means the sheet is laid out for something else, and reading it
// anyway gives a plainly wrong norm; any other heading (or none) is taken as
// the user's own name for the oxide.
bool LayoutFits(NormSheetIO& io, const int* entries, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const int entry = entries[i];
        const int column = OxideColumns[entry];
        if (column <= 0) continue;
        const QString found = io.SheetHeading(column);
        QString blankless;
        for (QChar c : found)
            if (!c.isSpace()) blankless += c;
        if (!norm::NamesOtherThan(blankless.toStdString(), entry)) continue;
        // The grid's header shows the letters, the heading sets speak of numbers.
        qvrt::host().MsgBox(QStringLiteral("Column %1 (%2) is headed \"%3\", but the norm reads %4 there.")
                                .arg(column)
                                .arg(qvrt::ColumnLetters(column), found.trimmed(),
                                     QString::fromLatin1(norm::OxideHeading(entry))),
                            qvrt::vbExclamation, QStringLiteral("Error Calculating Norm"));
        io.SetDialogCancelled(-1);
        qvrt::host().SetMousePointer(qvrt::vbDefault);
        return false;
    }
    return true;
}

void ReportFailure(NormSheetIO& io) {
    qvrt::host().MsgBox(QStringLiteral("Check for incorrect data"), qvrt::vbExclamation,
                        QStringLiteral("Error Calculating Norm"));
    io.SetDialogCancelled(-1);
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

// Leaves the run's table and per-sample values where the classifiers and the
// result sheet read them; also after a failure, as far as the run got.
void StoreRun(NormSheetIO& io, norm::NormRun& run, bool extended) {
    const norm::SampleValues& sv = run.sampleValues;
    const int computed = static_cast<int>(sv.maficPercent.size()) - 1;
    for (int r = 1; r <= computed; ++r) io.SetComponents(r, sv.x[r], sv.y[r], sv.z[r], sv.f[r]);
    io.SetMaficInputs(sv.maficPercent, sv.anorthitePercent, sv.olivinePercent);
    NormSampleArrays.SilicaPercent = sv.silicaPercent;
    if (!extended) {
        NormSampleArrays.PyroxenePercent = sv.pyroxenePercent;
        NormSampleArrays.MaficPlagioclasePercent = sv.maficPlagioclasePercent;
    }
    NormResultRows = run.resultRows;
    NormResultCols = run.resultCols;
    NormResults = std::move(run.results);
}

// Headings and texts of the kept items; a row without an analysis stays
// empty rather than showing zeros it never had.
void WriteResultTexts(NormSheetIO& io, const norm::NormRun& run) {
    io.ResizeColumnHeadings(NormResultCols + 4);
    for (int k = 1; k <= NormResultCols; ++k) {
        io.SetColumnHeading(k + 4, QString::fromLatin1(run.headings[k].c_str()));
    }
    const int count = io.SampleCount();
    for (int r = 1; r <= count; ++r) {
        const bool empty = run.noAnalysis[r] != 0;
        for (int k = 1; k <= NormResultCols; ++k) {
            io.SetDataCell(r, k + 4, empty ? QString() : qvrt::Format(NormResults.at(r, k), kResultFormat));
        }
    }
}

}  // namespace

void SetSheetIO(NormSheetIO* io) { installedIO = io; }

NormSheetIO& SheetIO() {
    if (!installedIO) throw qvrt::RuntimeError(qvrt::ErrInvalidProperty, "No data sheet for the norm");
    return *installedIO;
}

void CalcNorm(const int& mode) {
    NormSheetIO& io = SheetIO();
    static constexpr std::array<int, 13> kEntries = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    if (!LayoutFits(io, kEntries.data(), kEntries.size())) return;
    const int count = io.SampleCount();
    std::vector<norm::StandardInputs> rows(static_cast<size_t>(count));
    norm::NormRun run;
    try {
        for (int r = 1; r <= count; ++r) {
            if (io.NameCol() > 0) io.SetDataCell(r, io.NameCol(), QString());
            for (int entry = 1; entry <= 13; ++entry) rows[r - 1][entry - 1] = OxideValue(io, r, entry);
        }
    } catch (const qvrt::RuntimeError&) {
        ReportFailure(io);
        return;
    }
    io.SetSampleIndex(count + 1);
    run = norm::CalcStandardNorm(rows, mode, CurrentIronChoice());
    StoreRun(io, run, false);
    if (run.failure) {
        ReportFailure(io);
        return;
    }
    WriteResultTexts(io, run);
    IronRatioSet = 0;
}

void CalcNormExtended(const int& mode) {
    NormSheetIO& io = SheetIO();
    if (!LayoutFits(io, norm::kExtendedEntries.data(), norm::kExtendedEntries.size())) return;
    const int count = io.SampleCount();
    io.ResizeColumnHeadings(4 + norm::ExTotal);
    for (int k = norm::ExQ; k <= norm::ExTotal; ++k) {
        io.SetColumnHeading(k + 4, QString::fromLatin1(norm::ExtendedHeading(k)));
    }
    std::vector<norm::ExtendedInputs> rows(static_cast<size_t>(count));
    try {
        for (int r = 1; r <= count; ++r) {
            for (size_t i = 0; i < norm::kExtendedEntries.size(); ++i) {
                rows[r - 1][i] = OxideValue(io, r, norm::kExtendedEntries[i]);
            }
        }
    } catch (const qvrt::RuntimeError&) {
        ReportFailure(io);
        return;
    }
    io.SetSampleIndex(count + 1);
    norm::NormRun run = norm::CalcExtendedNorm(rows, mode, CurrentIronChoice());
    StoreRun(io, run, true);
    if (run.failure) {
        ReportFailure(io);
        return;
    }
    WriteResultTexts(io, run);
    IronRatioSet = 0;
}

}  // namespace NORM3B
