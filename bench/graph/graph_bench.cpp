// Speed of the graph windows: the first drawing of a 1,999-sample ternary
// plot with grid and tick marks and of a 15,000-sample XY plot, each from
// Plot to the window shown, and a full RedrawGraph of each; next to
// matplotlib drawing the same 15,000-point scatter to an image.
// Run by hand: bench_graph (offscreen by default).
// With "--screens DIR" (under xvfb-run) it instead opens tests/data/graph/
// analyses.plt from the menus, plots a ternary, a QAPF diamond, a TAS and an
// XY plot from the menus and the toolbar and saves a screenshot of each.
#include "quarvex/frame/mdi_form1.h"
#include "quarvex/frame/title1.h"
#include "quarvex/graph/curvefit_dialog.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/graph/plot_launcher.h"
#include "quarvex/graph/plot_setup_dialogs.h"
#include "quarvex/overlaydraw/graph_overlays.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/runtime/settings_store.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/graph_state.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace quarvex;

namespace {

double ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

void settle() {
    for (int k = 0; k < 5; ++k) QApplication::processEvents();
}

Main1* startFrame() {
    auto* splash = new Title1;
    splash->Form_Load();
    splash->Form_Click();
    return dynamic_cast<Main1*>(MDIForm1::Instance()->ActiveForm());
}

Graph2* lastGraph() { return qobject_cast<Graph2*>(GraphWindows.back().data()); }

// Each figure is the best of this many runs, matplotlib's too, so that a
// busy machine or a first-use cost (fonts, caches) does not decide it.
constexpr int kRuns = 5;

struct Timing {
    double first = 0, redraw = 0, read = 0;
};

// Closes a graph window and deletes it, as the running program's event loop
// would: processEvents alone never deletes a closed window, so each run
// would otherwise plot into memory the last one still holds.
void closeGraph(Graph2* g) {
    g->CloseGraph();
    settle();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Timing best(const Timing& a, const Timing& b) {
    return {std::min(a.first, b.first), std::min(a.redraw, b.redraw), std::min(a.read, b.read)};
}

Timing plotAndRedraw(Main1& sheet) {
    MDIForm1::Instance()->ActivateChild(&sheet);
    settle();
    QElapsedTimer t;
    t.start();
    MODULE21::ReadActiveGrid();
    const double read = ms(t);
    t.restart();
    MODULE21::PlotActiveData();
    settle();
    Timing timing{ms(t), 0, read};
    Graph2* g = lastGraph();
    constexpr int kRedraws = 10;
    t.restart();
    for (int k = 0; k < kRedraws; ++k) g->RedrawGraph();
    timing.redraw = ms(t) / kRedraws;
    closeGraph(g);
    return timing;
}

Timing bestOf(Main1& sheet) {
    Timing timing = plotAndRedraw(sheet);
    for (int k = 1; k < kRuns; ++k) timing = best(timing, plotAndRedraw(sheet));
    return timing;
}

// Best of kRuns, each drawing the scatter afresh into a new figure; -1 when
// the interpreter or matplotlib is missing.
double matplotlibScatter(int points) {
    QTemporaryDir dir;
    const QString script = QStringLiteral(
        "import time, random, matplotlib\n"
        "matplotlib.use('Agg')\n"
        "import matplotlib.pyplot as plt\n"
        "random.seed(1)\n"
        "x = [random.uniform(40, 80) for _ in range(%1)]\n"
        "y = [random.uniform(0, 16) for _ in range(%1)]\n"
        "best = None\n"
        "for k in range(%3):\n"
        "    t = time.perf_counter()\n"
        "    fig = plt.figure(figsize=(5.3, 5.3), dpi=96)\n"
        "    plt.scatter(x, y, s=12, marker='D')\n"
        "    fig.savefig('%2/scatter.png')\n"
        "    ms = (time.perf_counter() - t) * 1000\n"
        "    plt.close(fig)\n"
        "    best = ms if best is None else min(best, ms)\n"
        "print(best)\n")
                               .arg(points)
                               .arg(dir.path())
                               .arg(kRuns);
    QProcess p;
    // Debian's interpreter, which has python3-matplotlib.
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return -1;
    bool ok = false;
    const double result = p.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? result : -1;
}

int bench() {
    Main1* sheet = startFrame();
    qvrt::InstallScriptedHost();
    qvrt::SpreadGrid& grid = *sheet->Grid1;
    grid.setReDraw(false);
    const char* heads[] = {"Sample #", "Name", "Symbol", "Color", "A", "B", "C"};
    for (int c = 1; c <= 7; ++c) grid.SetText(c, 1, QString::fromLatin1(heads[c - 1]));
    auto fill = [&](int samples) {
        grid.setMaxRows(samples + 1);
        for (int r = 2; r <= samples + 1; ++r) {
            grid.SetText(1, r, QString::number(r - 1));
            grid.SetText(3, r, QString::number(r % 14 + 1));
            grid.SetText(4, r, QString::number(r % 13 + 1));
            grid.SetText(5, r, QString::number(5 + (r * 37) % 80));
            grid.SetText(6, r, QString::number(5 + (r * 53) % 70));
            grid.SetText(7, r, QString::number(1 + (r * 11) % 40));
        }
    };
    fill(1999);
    grid.setReDraw(true);
    sheet->Record().DiagramType = QStringLiteral("Ternary");
    PlotKind = QStringLiteral("Ternary Plot");
    ShowTickMarks = -1;
    const Timing ternary = bestOf(*sheet);

    fill(15000);
    sheet->Record().DiagramType = QStringLiteral("XY Plot");
    PlotKind = QStringLiteral("XY Plot");
    AutoScale = -1;
    const Timing xy = bestOf(*sheet);

    // The grid is a window switch: the first drawing of a gridded window is
    // the redraw after "Show Grid".
    fill(1999);
    sheet->Record().DiagramType = QStringLiteral("Ternary");
    PlotKind = QStringLiteral("Ternary Plot");
    double gridFirst = 0, gridRedraw = 0;
    for (int run = 0; run < kRuns; ++run) {
        MDIForm1::Instance()->ActivateChild(sheet);
        settle();
        MODULE21::PlotActiveData();
        settle();
        Graph2* g = lastGraph();
        QElapsedTimer t;
        t.start();
        g->MenuItem(QStringLiteral("mnuGrid"))->trigger();
        settle();
        const double first = ms(t);
        t.restart();
        for (int k = 0; k < 10; ++k) g->RedrawGraph();
        const double redraw = ms(t) / 10;
        gridFirst = run == 0 ? first : std::min(gridFirst, first);
        gridRedraw = run == 0 ? redraw : std::min(gridRedraw, redraw);
        closeGraph(g);
    }

    // Window > Tile with 50 small graph windows open, from the sheet; the
    // first click and the best of the later ones.
    fill(50);
    std::vector<Graph2*> tiled;
    for (int k = 0; k < 50; ++k) {
        MDIForm1::Instance()->ActivateChild(sheet);
        MODULE21::PlotActiveData();
        tiled.push_back(lastGraph());
    }
    settle();
    double tileFirst = 0, tileLater = 0;
    for (int run = 0; run <= kRuns; ++run) {
        MDIForm1::Instance()->ActivateChild(sheet);
        QElapsedTimer t;
        t.start();
        MDIForm1::Instance()->MenuItem(QStringLiteral("mnuTile"))->trigger();
        settle();
        if (run == 0) tileFirst = ms(t);
        else tileLater = run == 1 ? ms(t) : std::min(tileLater, ms(t));
    }
    for (Graph2* g : tiled) closeGraph(g);

    const double mpl = matplotlibScatter(15000);
    std::printf("%-52s %10s\n", "graph window (best of 5 runs)", "ms");
    std::printf("%-52s %10.1f\n", "Window > Tile, 50 graph windows: first", tileFirst);
    std::printf("%-52s %10.1f\n", "Window > Tile, 50 graph windows: after the first", tileLater);
    std::printf("%-52s %10.1f\n", "ternary 1,999 samples, ticks: Plot to shown", ternary.first);
    std::printf("%-52s %10.1f\n", "  reading the sheet alone (ReadActiveGrid)", ternary.read);
    std::printf("%-52s %10.1f\n", "ternary 1,999 samples, ticks: RedrawGraph", ternary.redraw);
    std::printf("%-52s %10.1f\n", "ternary 1,999 samples, ticks + grid: Show Grid", gridFirst);
    std::printf("%-52s %10.1f\n", "ternary 1,999 samples, ticks + grid: RedrawGraph", gridRedraw);
    std::printf("%-52s %10.1f\n", "XY 15,000 samples: Plot to shown", xy.first);
    std::printf("%-52s %10.1f\n", "  reading the sheet alone (ReadActiveGrid)", xy.read);
    std::printf("%-52s %10.1f\n", "XY 15,000 samples: RedrawGraph", xy.redraw);
    if (mpl > 0) {
        std::printf("%-52s %10.1f\n", "matplotlib 15,000-point scatter to PNG", mpl);
        std::printf("%-52s %10.2f\n", "XY Plot to shown / matplotlib", xy.first / mpl);
        std::printf("%-52s %10.2f\n", "XY RedrawGraph / matplotlib", xy.redraw / mpl);
    } else {
        std::printf("%-52s %10s\n", "matplotlib 15,000-point scatter to PNG", "absent");
    }
    return 0;
}

void shoot(const QString& dir, const char* name) {
    settle();
    QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                 dir + QLatin1Char('/') + QString::fromLatin1(name)});
}

void assign(int x, int y, int z) {
    XCol = x;
    YCol = y;
    ZCol = z;
}

// Run under xvfb-run -s "-screen 0 1280x1024x24": the frame and the windows
// stay at the size and place the program opens them. Besides the four plots
// it saves the diamond and the TAS window with their field lines and letters
// on, and the XY window with the curve-fit panel of a degree 2 fit.
int screens(const QString& dir) {
    InstallGraphOverlays();
    startFrame();
    MDIForm1* frame = MDIForm1::Instance();
    qvrt::ScriptedHost& host = qvrt::InstallScriptedHost();
    host.fileAnswers.push_back(QStringLiteral(SOURCE_DIR "/tests/data/graph/analyses.plt"));
    frame->MenuItem(QStringLiteral("mnuOpen"))->trigger();
    settle();
    qvrt::ChildForm* sheet = frame->ActiveForm();

    auto plotTernary = [&](const char* menuOrToolbar, const char* kind, const char* title) {
        frame->ActivateChild(sheet);
        settle();
        if (std::strcmp(menuOrToolbar, "toolbar") == 0) frame->Toolbar1_ButtonClick(QStringLiteral("Plot"));
        else frame->MenuItem(QStringLiteral("mnuGraphOptions1"))->trigger();
        Options* o = LoadedOptions();
        o->Combo1->setEditText(QString::fromLatin1(kind));
        o->Text3->setText(QString::fromLatin1(title));
        o->Command3D1_Click();
        settle();
    };
    auto withFields = [&](const char* name) {
        Graph2* g = lastGraph();
        g->ToggleFieldOverlay();
        shoot(dir, name);
        g->CloseGraph();
        settle();
    };
    assign(12, 13, 11);  // AFM: FeOt top, alkalis left, MgO right
    plotTernary("menu", "Ternary Plot", "AFM");
    lastGraph()->MenuItem(QStringLiteral("mnuGrid"))->trigger();
    shoot(dir, "ternary.png");

    assign(5, 6, 7);  // Q, A, P and F beside them
    plotTernary("toolbar", "Diamond Plot", "QAPF modes");
    shoot(dir, "diamond.png");
    withFields("qapf-plutonic-fields.png");

    assign(9, 10, 0);
    plotTernary("menu", "TAS-Volcanic", "Volcanic rocks");
    shoot(dir, "tas.png");
    withFields("tas-volcanic-fields.png");

    assign(9, 11, 0);
    frame->ActivateChild(sheet);
    settle();
    frame->MenuItem(QStringLiteral("mnuGraphOptions2"))->trigger();
    SetUp* s = LoadedSetUp();
    s->GraphTitleT->setText(QStringLiteral("MgO against silica"));
    s->Command3D1_Click(2);
    settle();

    s->hide();
    shoot(dir, "xy.png");
    Curvefit::RunModal = [](Curvefit& d) {
        d.Text1->setText(QStringLiteral("2"));
        d.Command3D1_Click(0);
    };
    lastGraph()->MenuItem(QStringLiteral("mnuCurveFit"))->trigger();
    shoot(dir, "xy-curvefit.png");
    Curvefit::RunModal = nullptr;
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
