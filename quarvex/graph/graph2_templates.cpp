// Graph templates: a .kmt file of segments read into TemplateLines, drawn
// over a "Ternary" or "XY Plot" window at every redraw. The file is read
// whole before anything is stored, so a bad file leaves the window as it
// was and another load may be tried.
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/graphcore/kmt_template.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/surface.h"
#include "quarvex/state/program_state.h"

namespace quarvex {

namespace {

const QString kTernary = QStringLiteral("Ternary");
const QString kXYPlot = QStringLiteral("XY Plot");

}  // namespace

void Graph2::LoadTemplate() {
    qvrt::Host& h = qvrt::host();
    if (TemplateLoaded == -1) {
        h.MsgBox(QStringLiteral("A template is already opened"), qvrt::vbExclamation,
                 QStringLiteral("Cannot Load Template"));
        return;
    }
    // Only these two kinds have template records; any other kind would
    // read no fields and never reach the end of the file.
    const bool ternary = DiagramType == kTernary;
    if (!ternary && DiagramType != kXYPlot) {
        h.MsgBox(QStringLiteral("Templates can be opened only on Ternary and XY Plot graphs"),
                 qvrt::vbExclamation, QStringLiteral("Cannot Load Template"));
        return;
    }
    for (;;) {
        try {
            CMDialog1.CancelError = true;
            CMDialog1.Flags = 0x1802;
            CMDialog1.Filter = QStringLiteral("Template File(*.kmt)|*.kmt|All Files(*.*)|*.*|");
            CMDialog1.ShowOpen();
        } catch (const qvrt::RuntimeError& e) {
            if (e.number() == qvrt::ErrDialogCancelled) return;
            throw;
        }
        const graphcore::TemplateReadResult r = graphcore::ReadTemplateFile(
            CMDialog1.FileName.toStdString(),
            ternary ? graphcore::kTernaryTemplateFields : graphcore::kXYTemplateFields);
        if (r.status == graphcore::TemplateReadStatus::AccessError) {
            h.MsgBox(QStringLiteral("Path/File access error"), qvrt::vbExclamation, QStringLiteral("Error"));
            continue;  // the file dialog again
        }
        // A pipe, a device or a failed read: asking for the same file again
        // would not help.
        if (r.status == graphcore::TemplateReadStatus::ReadError) {
            h.MsgBox(QString::fromStdString(qvrt::ErrorText(qvrt::ErrPathFileAccess)), qvrt::vbExclamation,
                     QStringLiteral("Open File Error"));
            h.SetMousePointer(qvrt::vbDefault);
            return;
        }
        if (r.status == graphcore::TemplateReadStatus::FormatError) {
            h.MsgBox(QStringLiteral("Check the template file for incorrect format"), qvrt::vbExclamation,
                     QStringLiteral("Open File Error"));
            h.SetMousePointer(qvrt::vbDefault);
            return;
        }
        TemplateLines.assign(1, TemplateSegment{});
        for (const graphcore::TemplateSegment& s : r.segments) TemplateLines.push_back(s.fields);
        TemplateLineCount = static_cast<int16_t>(r.segments.size());
        DrawTemplateLines();
        TemplateLoaded = -1;
        return;
    }
}

void Graph2::DrawTemplateLines() {
    try {
        qvrt::Surface& p = Picture();
        p.SetForeColor(ColorValue(AxesColor));
        if (DiagramType == kTernary) {
            for (int i = 1; i <= TemplateLineCount; ++i) {
                const TemplateSegment& s = TemplateLines.at(i);
                const auto a = graphcore::TernaryTemplatePoint(s[0], s[1], s[2]);
                const auto b = graphcore::TernaryTemplatePoint(s[3], s[4], s[5]);
                // Ternary templates follow the program's default colour as
                // it stands at each drawing.
                p.Line(a.x, a.y, b.x, b.y, DefaultColor);
            }
        } else if (DiagramType == kXYPlot) {
            for (int i = 1; i <= TemplateLineCount; ++i) {
                const TemplateSegment& s = TemplateLines.at(i);
                p.Line(s[0], s[1], s[2], s[3]);
            }
        }
    } catch (const std::exception& e) {
        qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Template Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

}  // namespace quarvex
