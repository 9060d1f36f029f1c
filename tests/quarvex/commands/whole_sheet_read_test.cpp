// Every command reads the sheet's whole data, as published tables lay it
// out: a first sample with many empty cells, rows without coordinates and
// blank lines between groups; and a number written with a decimal comma is
// refused by name before anything is written.
#include "commands_fixture.h"

#include "quarvex/classifysheet/norm_launchers.h"
#include "quarvex/frame/frame_commands.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/graph/plot_launcher.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/normsheet/fe_ratio_dialog.h"
#include "quarvex/sheets/sort_samples.h"
#include "quarvex/state/norm_state.h"

#include <QLineEdit>

using namespace quarvex;

namespace {

class WholeSheetRead : public CommandsTest {
protected:
    int sheets() const { return static_cast<int>(frame->mdiArea()->subWindowList().size()); }
    Graph2* plot(const char* kind, int16_t x, int16_t y, int16_t z) {
        XCol = x, YCol = y, ZCol = z;
        sheet->Record().DiagramType = QString::fromLatin1(kind);
        frame->ActivateChild(sheet);
        MODULE21::PlotActiveData();
        return qobject_cast<Graph2*>(frame->ActiveForm());
    }
};

// Rows 2..7: a first sample whose cells F..P are empty, a row without the
// plotted values, a blank line, and three more samples; Y in column AU.
const QStringList kTable = {
    "Sample #\tName\tSymbol\tColor\tSiO2\tTiO2\tAl2O3",
    "1\tfirst\t\t\t70.1",
    "2\tno values\t\t\t\t\t",
    "",
    "3\tthird\t\t\t65.2\t0.5\t15.1",
    "4\tfourth\t\t\t60.3\t0.7\t16.2",
    "5\tfifth\t\t\t55.4\t0.9\t17.3",
};

TEST_F(WholeSheetRead, PlotsAndSymbolsTakeEverySampleAndEveryColumnWhereverItStands) {
    fill(kTable);
    grid().SetText(47, 1, "Y");
    const struct {
        int row;
        const char* y;
    } ys[] = {{2, "25"}, {5, "30"}, {6, "30"}, {7, "38"}};
    for (const auto& v : ys) grid().SetText(47, v.row, v.y);

    // XY: Y against SiO2, from column AU; the row without values and the blank line are no points.
    Graph2* xy = plot("XY Plot", 5, 47, 0);
    ASSERT_NE(xy, nullptr);
    EXPECT_EQ(SampleCount, 4);
    EXPECT_EQ(TableRows, (std::vector<int>{2, 5, 6, 7}));
    EXPECT_FLOAT_EQ(YValues(1), 25);
    EXPECT_FLOAT_EQ(YValues(4), 38);
    EXPECT_EQ(xy->Grid1->TextMatrix(4, 1), "5");  // the point table shows each sample's own number
    EXPECT_TRUE(host->boxes.empty());

    // Ternary: SiO2, TiO2, Al2O3 of the four samples that have them.
    frame->ActivateChild(sheet);
    ASSERT_NE(plot("Ternary", 5, 6, 7), nullptr);
    EXPECT_EQ(SampleCount, 4);

    // Assign Symbols numbers the samples in their own rows and leaves the others.
    frame->ActivateChild(sheet);
    XCol = 5, YCol = 6, ZCol = 7;
    FrameCommands::AssignSymbols();
    EXPECT_EQ(rowText(2, 4), "1\tfirst\t1\t1");
    EXPECT_EQ(rowText(3, 4), "2\tno values\t\t");
    EXPECT_EQ(rowText(4, 4), "\t\t\t");
    EXPECT_EQ(rowText(7, 4), "5\tfifth\t4\t1");
}

TEST_F(WholeSheetRead, ANumberWithADecimalCommaStopsEachCommandBeforeItWritesAndNamesTheCell) {
    const struct {
        const char* what;
        const char* cell;  // written into E3
        std::function<void()> run;
        const char* title;
    } cases[] = {
        {"XY plot", "59,98", [this] { plot("XY Plot", 5, 6, 0); }, "Plotting Error"},
        {"Convert", "1,037", [] { FrameCommands::ConvertToCoord(false); }, "Error Converting Data"},
        {"Sort", "0,5 ppm", [] { MODULE21::SortBySample(); }, "Sort Error"},
        {"Norm", "59,98", [] { RockClassification::RunNormCalculation(); }, "Calculation Error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host->boxes.clear();
        fill({"Sample #\tName\tSymbol\tColor\tSiO2\tTiO2\tAl2O3", "1\ta\t1\t1\t50.1\t1.2\t15.3",
              "2\tb\t1\t1\t60.2\t0.8\t14.1"});
        SampleCol = std::string(c.what) == "Sort" ? 5 : 1;
        grid().SetText(5, 3, QString::fromLatin1(c.cell));
        frame->ActivateChild(sheet);
        host->msgBoxAnswers = {qvrt::vbNo};
        const int before = sheets();
        c.run();
        EXPECT_EQ(sheets(), before);
        ASSERT_FALSE(host->boxes.empty());
        EXPECT_EQ(host->boxes.back().title, c.title);
        EXPECT_TRUE(host->boxes.back().prompt.startsWith(QStringLiteral("Cell E3 holds \"%1\"").arg(c.cell)))
            << host->boxes.back().prompt.toStdString();
        EXPECT_EQ(cell(5, 3), c.cell);
    }

    NORM3B::FeRatio ratio;
    ratio.Form_Load();
    ratio.show();
    ratio.Text1->setText("0,6445");
    ratio.Command3D1_Click(0);
    EXPECT_EQ(host->boxes.back().title, "Incorrect Iron Ratio");
    EXPECT_TRUE(ratio.isVisible());
    EXPECT_EQ(NORM3B::IronRatio, 0.0f);
}

}  // namespace
