// A running frame whose active sheet holds one classification diagram's
// components or oxide analyses, for the classification commands.
#pragma once

#include "quarvex/classifysheet/mafics.h"
#include "quarvex/frame/frame_fixture.h"
#include "quarvex/normsheet/norm_sheet_adapter.h"
#include "quarvex/sheets/heading_sets.h"
#include "quarvex/state/norm_state.h"

#include <QStringList>
#include <array>
#include <initializer_list>

namespace classifysheet {

// SiO2, TiO2, Al2O3, Fe2O3, FeO, MnO, MgO, CaO, Na2O, K2O, H2O+, H2O-, P2O5.
using Analysis = std::array<double, 13>;
inline const Analysis kBasalt = {49.20, 1.84, 15.74, 3.79, 7.13, 0.20, 6.73, 9.47, 2.91, 1.10, 0.95, 0.43, 0.35};
inline const Analysis kGranite = {72.04, 0.30, 14.42, 1.22, 1.68, 0.05, 0.71, 1.82, 3.69, 4.12, 0.64, 0.13, 0.12};
inline const Analysis kBoninite = {56.0, 0.25, 11.5, 1.5, 7.0, 0.15, 12.5, 8.0, 1.5, 0.6, 1.0, 0.0, 0.05};

class ClassifySheet : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        start();
        source = active();
        ASSERT_NE(source, nullptr);
        grid = source->Grid1;
        // A question the test did not expect must not wait for a user.
        quarvex::Mafics::RunModal = [](quarvex::Mafics& d) {
            ADD_FAILURE() << "unexpected Mafics dialog";
            d.reject();
        };
    }
    void TearDown() override {
        quarvex::Mafics::RunModal = nullptr;
        FrameTest::TearDown();
    }

    // Rows 2 onward: sample number, name and the components in columns 5 on.
    void WriteRows(std::initializer_list<std::initializer_list<double>> rows) {
        int row = 2;
        for (const auto& values : rows) {
            grid->SetText(1, row, QString::number(row - 1));
            grid->SetText(2, row, QStringLiteral("old name"));
            int column = 5;
            for (double v : values) grid->SetText(column++, row, QString::number(v));
            ++row;
        }
    }
    void WriteAnalysis(int sample, const Analysis& a) {
        grid->SetText(1, sample + 1, QString::number(sample));
        for (int entry = 1; entry <= 13; ++entry)
            grid->SetText(norm::kExtendedLayout.columns[entry], sample + 1, QString::number(a[entry - 1]));
    }

    quarvex::Main1* newest() const { return quarvex::DataWindows.back(); }
    int sheetCount() const { return static_cast<int>(quarvex::DataWindows.size()) - 1; }
    static QString Cell(const quarvex::Main1* sheet, int column, int row) { return sheet->Grid1->GetText(column, row); }
    static QStringList Row(const quarvex::Main1* sheet, int row, int from, int to) {
        QStringList out;
        for (int c = from; c <= to; ++c) out << Cell(sheet, c, row);
        return out;
    }

    quarvex::Main1* source = nullptr;
    qvrt::SpreadGrid* grid = nullptr;
};

}  // namespace classifysheet
