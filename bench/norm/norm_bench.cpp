// Speed of the norm on 15,000 samples: the numeric core alone (both norms,
// both modes), and the whole command on sheet grids: read the grid into the
// data table, compute, write the result into a new grid. Run by hand:
// bench_norm (offscreen by default).
#include "quarvex/norm/extended_norm.h"
#include "quarvex/norm/norm3b.h"
#include "quarvex/norm/standard_norm.h"
#include "quarvex/runtime/spread_grid.h"

#include <QApplication>
#include <QElapsedTimer>

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

// The data table and result sheet on two grids, as the sheet services
// will offer them.
class GridSheetIO : public NORM3B::NormSheetIO {
public:
    GridSheetIO(qvrt::SpreadGrid& source, qvrt::SpreadGrid& result) : source_(source), result_(result) {}

    // What MODULE21.ReadActiveGrid does for the norm: row 1 into the headings, each row below into the table.
    void Read(int rows) {
        headings_.assign(51, QString());
        for (int c = 1; c <= 50; ++c) headings_[c] = source_.GetText(c, 1);
        table_.assign(static_cast<size_t>(rows) + 1, std::array<QString, 51>{});
        for (int r = 1; r <= rows; ++r) {
            for (int c = 1; c <= 25; ++c) table_[r][c] = source_.GetText(c, r + 1);
        }
    }

    int SampleCount() const override { return static_cast<int>(table_.size()) - 1; }
    QString DataCell(int sample, int column) const override { return table_[sample][column]; }
    void SetDataCell(int sample, int column, const QString& text) override { table_[sample][column] = text; }
    int NameCol() const override { return 2; }
    QString ColumnHeading(int index) const override { return headings_[index]; }
    void ResizeColumnHeadings(int last) override { headings_.resize(static_cast<size_t>(last) + 1); }
    void SetColumnHeading(int index, const QString& text) override { headings_[index] = text; }
    void SetComponents(int, float, float, float, float) override {}
    void SetMaficInputs(const std::vector<float>&, const std::vector<float>&, const std::vector<float>&) override {}
    void SetDialogCancelled(int) override {}
    void SetSampleIndex(int) override {}
    void NewDataWindow() override {}
    void SetGridReDraw(bool redraw) override { result_.setReDraw(redraw); }
    void SetGridLoading(int) override {}
    void SetGridText(int column, int row, const QString& text) override { result_.SetText(column, row, text); }
    void SetCurrentCellText(int column, int row, const QString& text) override {
        result_.setRow(row);
        result_.setCol(column);
        result_.setText(text);
    }
    void MarkNewSheetModified() override {}

private:
    qvrt::SpreadGrid& source_;
    qvrt::SpreadGrid& result_;
    std::vector<QString> headings_;
    std::vector<std::array<QString, 51>> table_;
};

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

    qvrt::SpreadGrid source;
    source.setMaxRows(kSamples + 1);
    source.setMaxCols(50);
    const char* headings[] = {"Sample #", "Rockname", "Symbol", "Color", "SiO2", "TiO2", "Al2O3", "Fe2O3",
                              "FeO",      "MnO",      "MgO",    "CaO",   "Na2O", "K2O",  "P2O5",  "H2O+", "H2O-"};
    for (int c = 1; c <= 17; ++c) source.SetText(c, 1, headings[c - 1]);
    NORM3B::StoreOxideLayout(norm::kShortLayout);
    for (int r = 1; r <= kSamples; ++r) {
        source.SetText(1, r + 1, QString::number(r));
        source.SetText(2, r + 1, QStringLiteral("rock"));
        for (int entry = 1; entry <= 13; ++entry) {
            source.SetText(NORM3B::OxideColumns[entry], r + 1, QString::number(standard[r - 1][entry - 1], 'f', 2));
        }
    }
    double best = 1e30;
    for (int i = 0; i < 3; ++i) {
        qvrt::SpreadGrid result;
        result.setMaxRows(kSamples + 1);
        result.setMaxCols(50);
        GridSheetIO io(source, result);
        NORM3B::SetSheetIO(&io);
        QElapsedTimer timer;
        timer.start();
        io.Read(kSamples);
        NORM3B::CalcNorm(3);
        NORM3B::ShowNormSheet();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
        NORM3B::SetSheetIO(nullptr);
    }
    std::printf("whole command on grids (read, standard norm mode 3, result grid), best of 3: %.1f ms\n", best);
    return 0;
}
