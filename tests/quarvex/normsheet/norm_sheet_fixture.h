// A running frame whose active sheet holds oxide analyses in the extended
// heading layout, with the norms reading it through the sheet adapter.
#pragma once

#include "quarvex/frame/frame_fixture.h"
#include "quarvex/sheets/heading_sets.h"
#include "quarvex/normsheet/norm3b.h"
#include "quarvex/normsheet/norm_sheet_adapter.h"
#include "quarvex/sheets/data_table.h"

#include <QStringList>
#include <array>

namespace normsheet {

// SiO2, TiO2, Al2O3, Fe2O3, FeO, MnO, MgO, CaO, Na2O, K2O, H2O+, H2O-, P2O5.
using Analysis = std::array<double, 13>;
inline const Analysis kBasalt = {49.20, 1.84, 15.74, 3.79, 7.13, 0.20, 6.73, 9.47, 2.91, 1.10, 0.95, 0.43, 0.35};

// The basalt's standard norm, mode 2, as worked out by hand for the norm
// core: the kept items and their texts.
inline const QStringList kBasaltHeadings = {"ap", "or", "ab", "an", "il", "mt", "ol", "di",
                                            "hy", "Total", "A", "M", "F", "Q", "M", "L"};
inline const QStringList kBasaltTexts = {"0.75",   "6.64",  "26.70", "27.23", "2.62",  "4.05",
                                         "1.98",   "14.77", "15.26", "100.00", "18.16", "30.48",
                                         "51.36",  "48.06", "22.88", "29.06"};

class NormOnSheet : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        NORM3B::InstallSheetAdapter();
        start();
        source = active();
        ASSERT_NE(source, nullptr);
        grid = source->Grid1;
    }
    void TearDown() override {
        NORM3B::SetSheetIO(nullptr);
        FrameTest::TearDown();
    }

    // Row 1 as Options > Insert Oxide Headings (extended) writes it.
    void WriteHeadings() { quarvex::HeadingSets::InsertOxideExtended(); }
    // Sample i in grid row i + 1: its number, name and the 13 oxides of the
    // standard norm in their columns.
    void WriteAnalysis(int sample, const Analysis& a, const QString& name = QStringLiteral("rock")) {
        grid->SetText(1, sample + 1, QString::number(sample));
        grid->SetText(2, sample + 1, name);
        for (int entry = 1; entry <= 13; ++entry)
            grid->SetText(norm::kExtendedLayout.columns[entry], sample + 1, QString::number(a[entry - 1]));
    }

    // The newest sheet, which a norm command opens for its result.
    quarvex::Main1* newest() const { return quarvex::DataWindows.back(); }
    int sheetCount() const { return static_cast<int>(quarvex::DataWindows.size()) - 1; }
    // Grid row of a sheet, columns from..to.
    static QStringList RowTexts(const quarvex::Main1* sheet, int row, int from, int to) {
        QStringList out;
        for (int c = from; c <= to; ++c) out << sheet->Grid1->GetText(c, row);
        return out;
    }

    quarvex::Main1* source = nullptr;
    qvrt::SpreadGrid* grid = nullptr;
};

}  // namespace normsheet
