// A print job on the recording printer (10000 x 15000 twips, so r = 1.5)
// with the scripted host answering the print dialog.
#pragma once

#include "quarvex/printing/graph_print.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/recording_surface.h"
#include "quarvex/runtime/scripted_host.h"

#include <gtest/gtest.h>

namespace quarvex::printing {

class PrintJob : public ::testing::Test {
protected:
    void SetUp() override {
        host = &qvrt::InstallScriptedHost();
        auto recording = std::make_unique<qvrt::RecordingPrinter>(10000, 15000);
        printer = recording.get();
        qvrt::SetPrinter(std::move(recording));
    }
    void TearDown() override {
        qvrt::SetPrinter(nullptr);
        qvrt::SetHost(nullptr);
    }

    // One sample of the given symbol at a diagram point.
    static void AddSample(PrintedGraph& g, int symbol, float x, float y) {
        static const int chars[] = {0, 196, 197, 117, 164, 165, 171, 173, 176, 177, 181, 178, 120, 179, 119};
        ++g.SampleCount;
        g.SampleX.push_back(x);
        g.SampleY.push_back(y);
        g.SampleSymbol.push_back(static_cast<int16_t>(symbol));
        g.SampleSymbolChar.push_back(static_cast<int16_t>(chars[symbol]));
        g.SampleColour.push_back(255);
        g.SampleLabel.push_back(QStringLiteral("%1").arg(g.SampleCount, -12));
        g.PointX.push_back(x);
        g.PointY.push_back(y);
    }

    void Print(PrintedGraph& g) {
        host->printerAnswers.push_back(true);
        PrintDiagram(g);
    }

    std::vector<qvrt::DrawOp> TextsOn(int page) const {
        std::vector<qvrt::DrawOp> out;
        for (const auto& op : printer->OpsOf(qvrt::DrawOp::Text))
            if (op.page == page && !op.text.isEmpty()) out.push_back(op);
        return out;
    }

    qvrt::ScriptedHost* host = nullptr;
    qvrt::RecordingPrinter* printer = nullptr;
};

}  // namespace quarvex::printing
