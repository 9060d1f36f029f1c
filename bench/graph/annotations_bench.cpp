// Speed of a graph window's redraw carrying 1,000 boxes, 1,000 lines and
// 1,000 text labels. Run by hand: bench_graph_annotations (offscreen).
// With "--screens DIR" (under xvfb-run) it instead opens tests/data/graph/
// analyses.plt, changes a symbol and a colour, plots an XY graph, sets a
// title in another font, draws a box, a line and a text, labels a point,
// loads a template and fits a curve, saving screenshots, and prints the fit
// report to DIR/fit_report.pdf.
#include "quarvex/frame/mdi_form1.h"
#include "quarvex/frame/title1.h"
#include "quarvex/graph/colors1.h"
#include "quarvex/graph/curvefit_dialog.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/graph/plot_launcher.h"
#include "quarvex/graph/plot_setup_dialogs.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/graph/symbols1.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/runtime/settings_store.h"
#include "quarvex/runtime/spread_grid.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/graph_state.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace quarvex;

namespace {

void settle() {
    for (int k = 0; k < 5; ++k) QApplication::processEvents();
}

Graph2* lastGraph() { return qobject_cast<Graph2*>(GraphWindows.back().data()); }

Main1* openAnalyses(qvrt::ScriptedHost& host) {
    auto* splash = new Title1;
    splash->Form_Load();
    splash->Form_Click();
    MDIForm1* frame = MDIForm1::Instance();
    host.fileAnswers.push_back(QStringLiteral(SOURCE_DIR "/tests/data/graph/analyses.plt"));
    frame->MenuItem(QStringLiteral("mnuOpen"))->trigger();
    settle();
    return dynamic_cast<Main1*>(frame->ActiveForm());
}

// SiO2 against MgO from the XY set-up dialog.
Graph2* plotXY(const char* title) {
    XCol = 9;
    YCol = 11;
    ZCol = 0;
    MDIForm1::Instance()->MenuItem(QStringLiteral("mnuGraphOptions2"))->trigger();
    SetUp* s = LoadedSetUp();
    s->GraphTitleT->setText(QString::fromLatin1(title));
    s->Command3D1_Click(2);
    settle();
    s->hide();
    return lastGraph();
}

int bench() {
    qvrt::ScriptedHost& host = qvrt::InstallScriptedHost();
    openAnalyses(host);
    Graph2* g = plotXY("Annotated");
    g->show();
    settle();
    const float x0 = g->PlotMinX, y0 = g->PlotMinY;
    const float dx = (g->PlotMaxX - x0) / 1000, dy = (g->PlotMaxY - y0) / 1000;
    for (int k = 0; k < 1000; ++k) {
        const float x = x0 + k * dx, y = y0 + k * dy;
        g->BoxList.Append({x, y, x + 20 * dx, y + 20 * dy});
        g->LineList.Append({x, y0, x0, y});
        g->TextLabelList.Append({QStringLiteral("label %1").arg(k), x, y, QStringLiteral("Arial"), 10, 0, 0, 0xFF});
    }
    constexpr int kRuns = 20;
    g->RedrawGraph();
    QElapsedTimer t;
    t.start();
    for (int k = 0; k < kRuns; ++k) g->RedrawGraph();
    const double redraw = double(t.nsecsElapsed()) / 1e6 / kRuns;
    std::printf("%-60s %8.1f ms\n", "RedrawGraph, 1,000 boxes + 1,000 lines + 1,000 text labels", redraw);
    return 0;
}

void shoot(const QString& dir, const char* name) {
    settle();
    QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                 dir + QLatin1Char('/') + QString::fromLatin1(name)});
}

int screens(const QString& dir) {
    qvrt::ScriptedHost& host = qvrt::InstallScriptedHost();
    Main1* sheet = openAnalyses(host);
    MDIForm1* frame = MDIForm1::Instance();
    frame->setGeometry(0, 0, 1280, 1000);
    frame->showMaximized();
    settle();

    // Sample 3 gets symbol 9 and colour 4, which becomes orange.
    qvrt::SpreadGrid& grid = *sheet->Grid1;
    auto activate = [&](int col) {
        grid.setCol(col);
        grid.setRow(4);
        grid.setAction(qvrt::SpreadGrid::ActionActiveCell);
    };
    activate(3);
    Symbols1::Show(frame);
    Symbols1::Instance()->Panel3D1_Click(8);
    Symbols1::Instance()->Command3D1_Click(0);
    Symbols1::Instance()->Command3D1_Click(1);
    activate(4);
    Colors1::Show(frame);
    host.colorAnswers.push_back(0x0080FF);
    Colors1::Instance()->Panel3D1_Click(3);
    Colors1::Instance()->Command3D1_Click(2);
    Colors1::Instance()->Command3D1_Click(0);
    Colors1::Instance()->Command3D1_Click(1);
    settle();

    frame->ActivateChild(sheet);
    settle();
    Graph2* g = plotXY("MgO against silica");
    g->showMaximized();
    settle();

    // A title in Liberation Serif, bold italic 14.
    Graph2Seams().ShowSETTITLE = [] {
        GraphTitle = QStringLiteral("Fitted MgO trend");
        TitleChanged = -1;
        FontChoice = {QStringLiteral("Liberation Serif"), 14, -1, 0x000080, -1, -1, 0};
    };
    g->mnuTitle_Click();

    // A box, a line and a text in the diagram's user units.
    const float mx = (g->PlotMinX + g->PlotMaxX) / 2, my = (g->PlotMinY + g->PlotMaxY) / 2;
    const float w = (g->PlotMaxX - g->PlotMinX) / 10, h = (g->PlotMaxY - g->PlotMinY) / 10;
    g->BoxDraw1();
    g->Picture1_MouseDown(1, 0, mx + w, my + 2 * h);
    g->Picture1_MouseMove(1, 0, mx + 3 * w, my + 3.5f * h);
    g->Picture1_MouseUp(1, 0, mx + 3 * w, my + 3.5f * h);
    g->LineDraw1();
    g->Picture1_MouseDown(1, 0, mx - 3 * w, my - 3 * h);
    g->Picture1_MouseUp(1, 0, mx + w, my + 2 * h);
    g->TextColor = 0x008000;
    g->InsertText1();
    g->Picture1_MouseDown(1, 0, mx - 3.5f * w, my - 3.4f * h);
    g->Picture1_MouseUp(1, 0, mx - 3.5f * w, my - 3.4f * h);
    for (QChar c : QStringLiteral("Primitive melts")) g->Picture1_KeyPress(c.unicode());

    // Sample 5 labelled from the point table; sample 3 marked.
    g->Grid1->SetRow(5);
    g->Text1->setText(QStringLiteral("Trachyandesite"));
    g->Grid1_DblClick();
    g->Text1->clear();
    g->Grid1->SetRow(3);
    shoot(dir, "annotated.png");

    // A template of two guide lines.
    QFile kmt(dir + QStringLiteral("/guides.kmt"));
    kmt.open(QIODevice::WriteOnly);
    kmt.write("45,15,75,0\r\n52,0,52,20\r\n");
    kmt.close();
    host.fileAnswers.push_back(kmt.fileName());
    g->mnuOpenTem_Click();

    // A fit of degree 2; then the whole window again (grid on).
    Curvefit::RunModal = [](Curvefit& d) {
        d.Text1->setText(QStringLiteral("2"));
        d.Command3D1_Click(0);
    };
    g->Curvefit1();
    g->mnuGrid_Click();
    shoot(dir, "fitted.png");

    qvrt::SetPrinter(std::make_unique<qvrt::QtPrinterSurface>(dir + QStringLiteral("/fit_report.pdf")));
    host.printerAnswers.push_back(true);
    g->SSCommand1_Click(0);
    qvrt::SetPrinter(nullptr);
    for (const auto& box : host.boxes)
        std::printf("box: %s | %s\n", qPrintable(box.title), qPrintable(box.prompt));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool shots = argc == 3 && std::strcmp(argv[1], "--screens") == 0;
    if (!shots) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qvrt::GuardedApplication app(argc, argv);
    QTemporaryDir settings;
    qvrt::SetSettingsDirectory(settings.path());
    return shots ? screens(QString::fromLocal8Bit(argv[2])) : bench();
}
