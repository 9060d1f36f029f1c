// A graph window drawing on a recording surface, with samples set directly
// in its state (as Form_Load would copy them).
#pragma once

#include "quarvex/graph/graph2.h"
#include "quarvex/runtime/recording_surface.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/state/reset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace quarvex::test {

struct Sample {
    float x = 0, y = 0, f = 0, ratio = 0;
    int symbol = 1;
    float colour = 0;
    const char* label = "";
};

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = &qvrt::InstallScriptedHost();
        ResetProgramState();
        graph = std::make_unique<Graph2>();
        graph->UseSurface(&surface);
        graph->InitSymbolTable();
        graph->AxesColor = 0x800000;
        graph->TitleFont = {QStringLiteral("Arial"), 1, 12, 0, 0};
        graph->AxesTFont = {QStringLiteral("Arial"), 0, 10, 0, 0};
        graph->DiagramTitle = QStringLiteral("Title");
        for (int k = 1; k <= 4; ++k) graph->AxisLabels[size_t(k)] = QStringLiteral("L%1").arg(k);
    }

    void SetSamples(const std::vector<Sample>& samples) {
        Graph2& g = *graph;
        const size_t n = samples.size() + 1;
        for (auto* v : {&g.SampleX, &g.SampleY, &g.SampleZ, &g.SampleF, &g.SamplePlagRatio, &g.SampleColour})
            v->assign(n, 0.0f);
        g.SampleSymbol.assign(n, 0);
        g.SampleSymbolChar.assign(n, 0);
        g.SampleLabel.assign(n, QString());
        for (size_t i = 1; i < n; ++i) {
            const Sample& s = samples[i - 1];
            g.SampleX[i] = s.x;
            g.SampleY[i] = s.y;
            g.SampleF[i] = s.f;
            g.SamplePlagRatio[i] = s.ratio;
            g.SampleSymbol[i] = int16_t(s.symbol);
            g.SampleColour[i] = s.colour;
            g.SampleLabel[i] = QString::fromLatin1(s.label).leftJustified(12, QLatin1Char(' '), true);
        }
        g.SampleCount = int16_t(samples.size());
    }

    std::vector<qvrt::DrawOp> Texts(const QString& text) const {
        std::vector<qvrt::DrawOp> out;
        for (const auto& op : surface.OpsOf(qvrt::DrawOp::Text))
            if (op.text == text) out.push_back(op);
        return out;
    }

    // Lines of one colour and draw style.
    std::vector<qvrt::DrawOp> Lines(uint32_t colour, int style) const {
        std::vector<qvrt::DrawOp> out;
        for (const auto& op : surface.OpsOf(qvrt::DrawOp::Line))
            if (op.color == colour && op.drawStyle == style) out.push_back(op);
        return out;
    }

    // The glyphs drawn (texts in a symbol face).
    std::vector<qvrt::DrawOp> Glyphs() const {
        std::vector<qvrt::DrawOp> out;
        for (const auto& op : surface.OpsOf(qvrt::DrawOp::Text))
            if (op.fontName == QStringLiteral("Symbol") || op.fontName.compare(QStringLiteral("Wingdings"), Qt::CaseInsensitive) == 0)
                out.push_back(op);
        return out;
    }

    void ExpectAllFinite() const {
        for (const auto& op : surface.Ops())
            ASSERT_TRUE(std::isfinite(op.x1) && std::isfinite(op.y1) && std::isfinite(op.x2) && std::isfinite(op.y2))
                << qvrt::Describe(op).toStdString();
    }

    qvrt::ScriptedHost* host = nullptr;
    qvrt::RecordingSurface surface{6000, 6000};
    std::unique_ptr<Graph2> graph;
};

}  // namespace quarvex::test
