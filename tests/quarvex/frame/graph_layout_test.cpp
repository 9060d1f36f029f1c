// Graph windows and their dialogs as they open in the frame on a 1280 x 1024
// screen (the scripted host's), and the sheet a window's fit report names.
#include "quarvex/frame/frame_fixture.h"
#include "quarvex/graph/curvefit_dialog.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/graph/plot_setup_dialogs.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/graph/symbol_desc.h"
#include "quarvex/overlaydraw/graph_overlays.h"
#include "quarvex/runtime/painter_surface.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/recording_surface.h"
#include "quarvex/runtime/screen_fit.h"
#include "support/put_back.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <cmath>
#include <cstring>

using namespace quarvex;

namespace {

class GraphLayout : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        InstallGraphOverlays();
        start();
        host->fileAnswers.push_back(QStringLiteral(TEST_DATA_DIR "/graph/analyses.plt"));
        frame->MenuItem(QStringLiteral("mnuOpen"))->trigger();
        sheet = active();  // the second sheet; the first stays empty
    }
    void TearDown() override {
        Curvefit::RunModal = nullptr;
        Graph2Seams() = {};
        FrameTest::TearDown();
    }
    static void settle() { QApplication::processEvents(); }

    Graph2* plot(const char* kind, int16_t x, int16_t y, int16_t z) {
        XCol = x, YCol = y, ZCol = z;
        frame->ActivateChild(sheet);
        if (kind) {
            frame->MenuItem(QStringLiteral("mnuGraphOptions1"))->trigger();
            LoadedOptions()->Combo1->setEditText(QString::fromLatin1(kind));
            LoadedOptions()->Command3D1_Click();
        } else {
            frame->MenuItem(QStringLiteral("mnuGraphOptions2"))->trigger();
            LoadedSetUp()->Command3D1_Click(2);
            LoadedSetUp()->hide();
        }
        settle();
        return qobject_cast<Graph2*>(frame->ActiveForm());
    }

    // Every shown control lies whole inside the window, which lies whole
    // inside the frame, and none covers another.
    static void ExpectLaidOutWhole(Graph2& g) {
        QWidget* body = g.widget();
        const std::pair<const char*, QWidget*> parts[] = {{"Grid1", g.Grid1},       {"Label1", g.Label1},
                                                          {"Text1", g.Text1},       {"Picture1", g.Picture1},
                                                          {"Picture2", g.Picture2}, {"Picture3", g.Picture3},
                                                          {"Label3", g.Label3}};
        std::vector<QRect> shown;
        for (const auto& [name, w] : parts) {
            if (!w->isVisibleTo(body)) continue;
            const QRect r(w->mapTo(body, QPoint(0, 0)), w->size());
            EXPECT_TRUE(body->rect().contains(r)) << name;
            for (const QRect& o : shown) EXPECT_FALSE(r.intersects(o)) << name;
            shown.push_back(r);
        }
        EXPECT_TRUE(g.parentWidget()->rect().contains(g.geometry()));
    }

    // Scrolled to their ends, the key's bars show its last row and the end
    // of its name column.
    static void ExpectKeyReachable(Graph2& g) {
        ASSERT_TRUE(g.Picture2->isVisible() && g.HScroll1->isVisible() && g.VScroll1->isVisible());
        EXPECT_GE(g.Grid3->height(), g.Grid3->verticalHeader()->length());
        g.HScroll1->setValue(g.HScroll1->maximum());
        g.VScroll1->setValue(g.VScroll1->maximum());
        EXPECT_EQ(g.Grid3->geometry().right(), g.VScroll1->x() - 1);
        EXPECT_EQ(g.Grid3->geometry().bottom(), g.HScroll1->y() - 1);
        g.HScroll1->setValue(0);
        g.VScroll1->setValue(0);
        EXPECT_EQ(g.Grid3->pos(), QPoint(0, 0));
    }

    Main1* sheet = nullptr;
};

TEST_F(GraphLayout, ClassificationWindowsShowPictureTableAndKeyWholeAndTheirTablesToggle) {
    for (const auto& [kind, x, y, z] : {std::tuple{"QAPF-Plutonic", 5, 6, 7}, std::tuple{"TAS-Volcanic", 9, 10, 0}}) {
        SCOPED_TRACE(kind);
        Graph2* g = plot(kind, int16_t(x), int16_t(y), int16_t(z));
        ASSERT_EQ(g->DiagramType, QString::fromLatin1(kind));
        ExpectLaidOutWhole(*g);
        ExpectKeyReachable(*g);
        // Every filled column of the point table shows.
        EXPECT_LE(g->Grid1->columnViewportPosition(4) + g->Grid1->columnWidth(4), g->Grid1->viewport()->width());

        const int left = g->Picture1->x();
        g->mnuTables_Click();
        settle();
        EXPECT_FALSE(g->Picture2->isVisible() || g->Grid1->isVisible());
        EXPECT_NEAR(g->Picture1->x(), g->widget()->width() - g->Picture1->geometry().right() - 1, 1);
        g->mnuTables_Click();
        settle();
        EXPECT_EQ(g->Picture1->x(), left);
        ExpectKeyReachable(*g);
    }
    EXPECT_FALSE(plot("Ternary Plot", 5, 6, 7)->Picture2->isVisible());
}

TEST_F(GraphLayout, TheCurveFitPanelTakesTheTablesPlaceWithAllItsColumns) {
    Graph2* g = plot(nullptr, 9, 11, 0);
    EXPECT_FALSE(g->Picture2->isVisible());
    ExpectLaidOutWhole(*g);
    Curvefit::RunModal = [](Curvefit& d) {
        d.Text1->setText(QStringLiteral("2"));
        d.Command3D1_Click(0);
    };
    g->mnuCurveFit_Click();
    settle();
    ASSERT_TRUE(g->Picture3->isVisible());
    ExpectLaidOutWhole(*g);
    EXPECT_LE(g->Grid2->horizontalHeader()->length(), g->Grid2->viewport()->width());
}

TEST_F(GraphLayout, DialogsOpenCentredAndClosingAGraphBringsBackTheSheetBefore) {
    const QPoint centre(640, 512);
    frame->MenuItem(QStringLiteral("mnuGraphOptions1"))->trigger();
    EXPECT_LE((LoadedOptions()->geometry().center() - centre).manhattanLength(), 4);
    LoadedOptions()->Command3D2_Click();
    frame->MenuItem(QStringLiteral("mnuGraphOptions2"))->trigger();
    settle();
    EXPECT_LE((LoadedSetUp()->geometry().center() - centre).manhattanLength(), 4);
    LoadedSetUp()->Command3D1_Click(1);

    Graph2* g = plot("QAPF-Plutonic", 5, 6, 7);
    // 5000 x 700 twips, scaled as the screen's 19200 x 15360 twips are to 9600 x 7200.
    SymbolDesc* legend = SymbolDesc::Show(frame);
    EXPECT_EQ(legend->pos(), QPoint(667, 100));
    legend->Command3D1_Click(2);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    legend = SymbolDesc::Show(frame);
    EXPECT_LE((legend->geometry().center() - centre).manhattanLength(), 4);
    legend->Command3D1_Click(2);

    g->mnuClose_Click();
    settle();
    EXPECT_EQ(frame->ActiveForm(), sheet);
}

TEST_F(GraphLayout, TheFitReportNamesTheSheetItsGraphWasDrawnFromNotTheOnePlottedSince) {
    Graph2* g = plot(nullptr, 9, 11, 0);
    Curvefit::RunModal = [](Curvefit& d) { d.Command3D1_Click(0); };
    g->mnuCurveFit_Click();
    const QString basalts = path(QStringLiteral("basalts.plt"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TEST_DATA_DIR "/graph/analyses.plt"), basalts));
    host->fileAnswers.push_back(basalts);
    frame->MenuItem(QStringLiteral("mnuOpen"))->trigger();
    sheet = active();
    plot(nullptr, 9, 11, 0);

    auto recording = std::make_unique<qvrt::RecordingPrinter>();
    const qvrt::RecordingPrinter& printer = *recording;
    qvrt::SetPrinter(std::move(recording));
    host->printerAnswers.push_back(true);
    g->SSCommand1_Click(0);
    std::vector<QString> named;
    for (const auto& op : printer.OpsOf(qvrt::DrawOp::Text))
        if (op.text.endsWith(QStringLiteral(".plt"))) named.push_back(op.text);
    qvrt::SetPrinter(nullptr);
    ASSERT_EQ(named.size(), 1u);
    EXPECT_TRUE(named[0].endsWith(QStringLiteral("/analyses.plt"))) << named[0].toStdString();
}

}  // namespace

TEST_F(GraphLayout, TileAndCascadeArrangeGraphsInsideTheFrameWhichKeepsItsGeometry) {
    for (int graphs : {1, 3, 12}) {
        SCOPED_TRACE(graphs);
        while (static_cast<int>(frame->mdiArea()->subWindowList().size()) < graphs + 2) plot(nullptr, 9, 11, 0);
        const QRect before = frame->geometry();
        const QRect room = frame->mdiArea()->viewport()->rect();
        for (const char* item : {"mnuTile", "mnuCascade"}) {
            frame->ActivateChild(sheet);
            frame->MenuItem(QString::fromLatin1(item))->trigger();
            settle();
            EXPECT_EQ(frame->geometry(), before) << item;
            for (QMdiSubWindow* w : frame->mdiArea()->subWindowList())
                EXPECT_TRUE(room.contains(w->geometry())) << item << " " << w->windowTitle().toStdString();
        }
    }
}

TEST_F(GraphLayout, ThePlotPastTheLastGraphIndexIsAnOverflowAndNothingElseChanges) {
    GraphWindows.resize(32768);
    const auto children = frame->mdiArea()->subWindowList().size();
    plot(nullptr, 9, 11, 0);
    ASSERT_FALSE(host->boxes.empty());
    EXPECT_EQ(host->boxes.back().prompt, "OverflowCheck Data");
    EXPECT_EQ(host->boxes.back().title, "Plotting Error");
    EXPECT_EQ(GraphWindows.size(), 32768u);
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), children);
}

// On 1366 x 768 at 150 % (910 x 512 logical pixels) and at 200 % (683 x 384)
// the frame and the dialogs open inside the screen's available area, and a
// dialog too tall for it scrolls; on 1280 x 1024 they keep their places.
TEST_F(GraphLayout, WindowsOpenInsideASmallOrScaledScreen) {
    qvrt::InstallScreenFitting();
    plot("QAPF-Plutonic", 5, 6, 7);
    for (const QRect area : {QRect(0, 0, 910, 512), QRect(0, 0, 683, 384), QRect(0, 0, 1280, 1024)}) {
        SCOPED_TRACE(area.width());
        qvrt::SetAvailableAreaForTests(area);
        frame->hide();
        frame->show();
        frame->ActivateChild(sheet);
        frame->MenuItem(QStringLiteral("mnuGraphOptions2"))->trigger();
        settle();
        QWidget* setUp = LoadedSetUp();
        SymbolDesc* legend = SymbolDesc::Show(frame);
        settle();
        ASSERT_NE(setUp, nullptr);
        ASSERT_NE(legend, nullptr);
        for (QWidget* w : {static_cast<QWidget*>(frame.data()), setUp, static_cast<QWidget*>(legend)}) {
            EXPECT_TRUE(area.contains(w->frameGeometry())) << w->metaObject()->className();
            if (w != frame && w->sizeHint().height() > area.height()) {
                EXPECT_NE(w->findChild<QScrollArea*>(), nullptr) << w->metaObject()->className();
            }
        }
        legend->Command3D1_Click(2);
        LoadedSetUp()->Command3D1_Click(1);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    qvrt::SetAvailableAreaForTests({});
}

// Under a dark palette (white text) the grey headings of the point table and
// the field key keep dark text: a contrast of at least 4.5, as drawn.
TEST_F(GraphLayout, TheTablesHeadingsStayReadableOnADarkPalette) {
    const QPalette light = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(0x35, 0x35, 0x35)));
    Graph2* g = plot("QAPF-Plutonic", 5, 6, 7);
    auto luminance = [](QRgb c) {
        auto linear = [](int v) { return v <= 10 ? v / 3294.6 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c)) + 0.05;
    };
    for (const auto& [grid, row, col] : {std::tuple{g->Grid1, 0, 1}, {g->Grid1, 1, 0}, {g->Grid3, 0, 1}}) {
        const QImage shot = grid->viewport()->grab().toImage();
        const QRect cell = grid->visualRect(grid->model()->index(row, col)).adjusted(1, 1, -1, -1);
        const double back = luminance(shot.pixel(cell.topLeft()));
        double ink = back;  // the drawn colour farthest from the background
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (std::abs(luminance(shot.pixel(x, y)) - back) > std::abs(ink - back)) ink = luminance(shot.pixel(x, y));
        EXPECT_GE(std::max(ink, back) / std::min(ink, back), 4.5) << grid->TextMatrix(row, col).toStdString();
    }
    QApplication::setPalette(light);
}

// Waits, as long as a starved machine may need, for the window's place to
// have settled and been looked at; false if it never does.
// Hands the program an X11 note of that type about the window, as the
// window manager's arrive.
void Note(QWidget& w, unsigned char type) {
    unsigned char note[32] = {type};
    const quint32 id = quint32(w.internalWinId());
    std::memcpy(note + 8, &id, sizeof id);
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", note, &result);
}

bool Settled(QWidget& w) {
    return QTest::qWaitFor([&] { QApplication::processEvents(); return !qvrt::SettlingForTests(w); }, 60000);
}

// A window manager that frames the window long after it is shown (a busy
// machine) gets it fitted again with each frame: the title bar stays on screen.
// (The area lies away from the screen's corner, where the offscreen platform
// keeps a window 2 pixels in, as no fit can then have it.)
TEST_F(GraphLayout, TheFrameIsFittedAgainWhenItsWindowManagerFrameArrives) {
    qvrt::InstallScreenFitting();
    const QRect area(40, 30, 683, 384);
    qvrt::SetAvailableAreaForTests(area);
    qvrt::SetFrameMarginsForTests(QMargins());
    frame->hide();
    frame->show();
    for (const QMargins extent : {QMargins(1, 25, 1, 1), QMargins(4, 40, 4, 4)}) {
        qvrt::SetFrameMarginsForTests(extent);
        QMoveEvent framed(frame->pos(), frame->pos());  // as the platform reports the framing
        QApplication::sendEvent(frame, &framed);
        EXPECT_TRUE(Settled(*frame));
        EXPECT_TRUE(area.contains(frame->geometry().marginsAdded(extent))) << extent.top();
    }
    qvrt::SetFrameMarginsForTests(std::nullopt);
    qvrt::SetAvailableAreaForTests({});
}

// A window manager on a busy machine frames the window late, telling of it
// only by its X11 note (no Qt event), and puts the window back where it
// stood unframed (title bar above the screen) after the fits. Once its place
// settles the frame is inside, unless every fit was undone: then the window
// manager has its way after three. A window the user moves once it has
// settled stays where the user put it, also back from its icon.
TEST_F(GraphLayout, ALateFramedWindowIsFittedOnceItsPlaceSettles) {
    const QMargins extent(4, 40, 4, 4);
    qvrt::InstallScreenFitting();
    const QRect area(40, 30, 683, 384);
    qvrt::SetAvailableAreaForTests(area);
    for (const auto& [putBacks, inside] : {std::pair{2, true}, std::pair{3, false}}) {
        SCOPED_TRACE(putBacks);
        qvrt::SetFrameMarginsForTests(QMargins());
        frame->hide();
        frame->setGeometry(area);
        frame->show();
        ASSERT_TRUE(Settled(*frame));
        qvrt::SetFrameMarginsForTests(extent);
        {
            PutBack manager(*frame, area.topLeft(), putBacks);
            Note(*frame, 21);  // X11's note that the window was put into a frame
            ASSERT_TRUE(QTest::qWaitFor([&] { return manager.done == putBacks; }, 60000));
        }
        ASSERT_TRUE(Settled(*frame));
        EXPECT_EQ(area.contains(frame->geometry().marginsAdded(extent)), inside);
        const QRect moved(area.topLeft() - QPoint(30, 20), frame->size());
        frame->setGeometry(moved);
        ASSERT_TRUE(Settled(*frame));
        EXPECT_EQ(frame->geometry(), moved);
        // Back from its icon, X11's note of the mapping coming after, it stays there too.
        QWindowStateChangeEvent restored(Qt::WindowMinimized);
        QApplication::sendEvent(frame, &restored);
        Note(*frame, 19);
        ASSERT_TRUE(Settled(*frame));
        EXPECT_EQ(frame->geometry(), moved);
        // With its monitor gone meanwhile, it comes back inside the one left of it, which showed 34 pixels of it.
        frame->showMinimized();
        qvrt::SetAvailableAreaForTests(area.translated(-area.width(), 0));
        frame->showNormal();
        ASSERT_TRUE(Settled(*frame));
        EXPECT_EQ(frame->geometry().marginsAdded(extent), area.translated(-area.width(), 0));
        qvrt::SetAvailableAreaForTests(area);
    }
    qvrt::SetFrameMarginsForTests(std::nullopt);
    qvrt::SetAvailableAreaForTests({});
}

// Fitted before its frame came, the window manager keeping the frame's corner
// where the window's stood: the frame and the too tall Symbol Descriptions
// are fitted again with it.
TEST_F(GraphLayout, AWindowFittedBeforeItsFrameCameIsFittedWithIt) {
    const QMargins extent(4, 40, 4, 4);
    const QRect area(40, 30, 683, 384);
    qvrt::InstallScreenFitting();
    qvrt::SetAvailableAreaForTests(area);
    for (const bool dialog : {false, true}) {
        qvrt::SetFrameMarginsForTests(QMargins());
        QWidget* w = dialog ? static_cast<QWidget*>(SymbolDesc::Show(frame)) : (frame->hide(), frame->show(), frame.data());
        ASSERT_TRUE(Settled(*w));
        qvrt::SetFrameMarginsForTests(extent);
        w->move(w->pos() + QPoint(extent.left(), extent.top()));
        ASSERT_TRUE(Settled(*w));
        EXPECT_TRUE(area.contains(w->geometry().marginsAdded(extent))) << dialog;
    }
    qvrt::SetFrameMarginsForTests(std::nullopt);
    qvrt::SetAvailableAreaForTests({});
}
