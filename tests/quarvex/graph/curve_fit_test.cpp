#include "graph_fixture.h"

#include "quarvex/graph/curvefit_dialog.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/state/format_state.h"

#include <QLabel>
#include <QLineEdit>

using namespace quarvex;

namespace {

class CurveFit : public test::GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        graph->DiagramType = "XY Plot";
        // X 3, 1, 2: the fit sorts them, with their Y and numbers.
        SetSamples({{3, 2, 0, 0, 3, 0xC0C0C0, "C"}, {1, 1, 0, 0, 1, 0x0000FF, "A"}, {2, 2, 0, 0, 2, 0x00FF00, "B"}});
        auto p = std::make_unique<qvrt::RecordingPrinter>();
        printer = p.get();
        qvrt::SetPrinter(std::move(p));
    }
    void TearDown() override {
        qvrt::SetPrinter(nullptr);
        Curvefit::RunModal = nullptr;
    }
    static void Answer(const char* degree) {
        Curvefit::RunModal = [degree](Curvefit& d) {
            d.Text1->setText(QString::fromLatin1(degree));
            d.Command3D1_Click(0);
        };
    }
    std::vector<QString> printed() const {
        std::vector<QString> out;
        for (const auto& op : printer->OpsOf(qvrt::DrawOp::Text)) out.push_back(op.text);
        return out;
    }
    qvrt::RecordingPrinter* printer = nullptr;
};

TEST_F(CurveFit, ADegreeOneFitSortsTheSamplesAndFillsThePanel) {
    Answer("1");
    graph->Curvefit1();
    EXPECT_EQ(graph->CurveFitShown, -1);
    EXPECT_EQ(graph->SampleX, (std::vector<float>{0, 1, 2, 3}));
    EXPECT_FLOAT_EQ(graph->FitCoefficients[1], 2.0f / 3);
    EXPECT_FLOAT_EQ(graph->FitCoefficients[2], 0.5f);
    EXPECT_NEAR(graph->FitStdDeviation, 0.288675, 1e-6);
    EXPECT_EQ(graph->FittedY, (std::vector<float>{0, 7.0f / 6, 10.0f / 6, 13.0f / 6}));
    EXPECT_EQ(CurveFitDegree, 1);
    EXPECT_EQ(graph->Label4[6]->text(), "0.6666667");
    EXPECT_NEAR(qvrt::Val(graph->Label5->text()), 0.288675, 5e-7);
    EXPECT_EQ(graph->Label4[16]->text(), "Degree of Curve Fit: 1");
    EXPECT_EQ(graph->Grid2->Rows(), 50);
    EXPECT_EQ(graph->Grid2->TextMatrix(3, 3), "2.166667");
    EXPECT_FALSE(graph->Picture3->isHidden());
}

TEST_F(CurveFit, AnIsochronShowsFourFiguresAndRedrawsTheCurveItFitted) {
    // 87Rb/86Sr against 87Sr/86Sr. The exact rational fit has a slope of
    // 0.0141991683, a deviation of 2.370656e-05 and 0.70492196 at X = 0.1.
    const float x[] = {0.1f, 0.4f, 0.9f, 1.3f, 1.8f, 2.2f, 2.7f, 3.1f, 3.6f, 4.0f, 4.5f, 5.0f};
    const float y[] = {0.70495f, 0.70916f, 0.71629f, 0.72192f, 0.72908f, 0.73474f,
                       0.74183f, 0.74755f, 0.75459f, 0.76031f, 0.76742f, 0.77448f};
    std::vector<test::Sample> samples;
    for (size_t i = 0; i < 12; ++i) samples.push_back({x[i], y[i], 0, 0, 3, 0, "S"});
    SetSamples(samples);
    Answer("1");
    surface.ClearOps();
    graph->Curvefit1();
    const auto fitted = surface.OpsOf(qvrt::DrawOp::Line);
    EXPECT_NEAR(qvrt::Val(graph->Label4[7]->text()), 0.0141991683, 5e-6);
    EXPECT_NEAR(qvrt::Val(graph->Label5->text()), 2.370656e-05, 5e-9);
    EXPECT_NEAR(qvrt::Val(graph->Grid2->TextMatrix(1, 3)), 0.70492196, 5e-5);

    host->printerAnswers.push_back(true);
    graph->SSCommand1_Click(0);
    const auto lines = printed();
    const auto firstX = std::find(lines.begin(), lines.end(), " .1 ");
    ASSERT_NE(firstX, lines.end());
    EXPECT_NEAR(qvrt::Val(firstX[1]), 0.70492196, 5e-5);
    const auto slope =
        std::find_if(lines.begin(), lines.end(), [](const QString& l) { return l.startsWith("Coefficient 2 = "); });
    ASSERT_NE(slope, lines.end());
    EXPECT_NEAR(qvrt::Val(slope->mid(16)), 0.0141991683, 5e-6);

    surface.ClearOps();
    graph->RedrawGraph();
    const auto redrawn = surface.OpsOf(qvrt::DrawOp::Line);
    ASSERT_EQ(redrawn.size(), fitted.size());
    for (size_t k = 0; k < fitted.size(); ++k) EXPECT_EQ(qvrt::Describe(redrawn[k]), qvrt::Describe(fitted[k]));
}

TEST_F(CurveFit, EachWindowKeepsItsOwnFitAndARefusedFitChangesNothing) {
    Answer("1");
    graph->Curvefit1();
    const std::vector<float> mine = graph->FittedY;
    Graph2 other;
    qvrt::RecordingSurface otherSurface;
    other.UseSurface(&otherSurface);
    other.SampleX = other.SampleY = other.SampleColour = {0, 1, 30};
    other.SampleSymbol = other.SampleSymbolChar = {0, 1, 1};
    other.SampleLabel = {"", "x", "y"};
    other.SampleCount = 2;
    other.AxesTFont = other.TitleFont = graph->AxesTFont;
    other.Curvefit1();
    EXPECT_EQ(other.FittedY.size(), 3u);
    EXPECT_EQ(graph->FittedY, mine);
    EXPECT_TRUE(host->boxes.empty());
    // Three X values cannot carry a cubic.
    Answer("3");
    graph->Curvefit1();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Curve Fitting Error");
    EXPECT_EQ(graph->FittedY, mine);
    EXPECT_EQ(graph->FitDegree, 1);
}

TEST_F(CurveFit, TheReportShowsTheUnfittedCoefficientAndTheFittedTable) {
    Answer("2");
    graph->SampleX = {0, 3, 1, 2};
    graph->SampleY = {0, 9, 1, 4};
    graph->Curvefit1();
    host->printerAnswers.push_back(true);
    const auto screenCentring = graph->SymbolCentringH;
    graph->SSCommand1_Click(0);
    EXPECT_EQ(graph->SymbolCentringH, screenCentring);  // marks still centre after printing
    const auto lines = printed();
    auto has = [&](const QString& t) { return std::find(lines.begin(), lines.end(), t) != lines.end(); };
    EXPECT_TRUE(has("Number of Points: 3"));
    EXPECT_TRUE(has("Coefficient 3 = 1"));
    EXPECT_TRUE(has("Coefficient 4 = 0"));
    EXPECT_FALSE(has("Coefficient 5 = 0"));
    EXPECT_TRUE(has("Degree of Curve Fit: 2"));
    EXPECT_TRUE(has(" 9 "));  // the last row's fitted y

    // A cancelled printer dialog prints nothing and says nothing.
    printer->ClearOps();
    graph->SSCommand1_Click(0);
    EXPECT_TRUE(printed().empty());
    EXPECT_TRUE(host->boxes.empty());

    // Close writes back only a table that was filled, in sorted order.
    graph->SSCommand1_Click(1);
    EXPECT_EQ(graph->Grid1->Rows(), 0);
    graph->Grid1->SetRows(50);
    graph->Grid1->SetCols(7);
    graph->SSCommand1_Click(1);
    EXPECT_EQ(graph->Grid1->TextMatrix(3, 1).trimmed(), "C");
    EXPECT_EQ(graph->Grid1->TextMatrix(4, 1), "");
    EXPECT_TRUE(graph->Picture3->isHidden());
}

}  // namespace
