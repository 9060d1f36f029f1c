// Graph windows as they open in the frame on a 1280 x 1024 screen (the
// scripted host's): every shown table, box and panel lies whole inside the
// window and none covers another.
#include "quarvex/frame/frame_fixture.h"
#include "quarvex/graph/curvefit_dialog.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/graph/plot_setup_dialogs.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/graph/symbol_desc.h"
#include "quarvex/overlaydraw/graph_overlays.h"
#include "quarvex/runtime/painter_surface.h"
#include "quarvex/state/graph_state.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

using namespace quarvex;

namespace {

class GraphLayout : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        InstallGraphOverlays();
        start();
        settle();
        firstSheet = active();
        host->fileAnswers.push_back(QStringLiteral(TEST_DATA_DIR "/graph/analyses.plt"));
        frame->MenuItem(QStringLiteral("mnuOpen"))->trigger();
        settle();
        sheet = active();
    }
    void TearDown() override {
        Curvefit::RunModal = nullptr;
        Graph2Seams() = {};
        FrameTest::TearDown();
    }
    static void settle() {
        for (int k = 0; k < 3; ++k) QApplication::processEvents();
    }

    Graph2* plotTernary(const char* kind, int x, int y, int z) {
        XCol = int16_t(x);
        YCol = int16_t(y);
        ZCol = int16_t(z);
        frame->ActivateChild(sheet);
        frame->MenuItem(QStringLiteral("mnuGraphOptions1"))->trigger();
        LoadedOptions()->Combo1->setEditText(QString::fromLatin1(kind));
        LoadedOptions()->Command3D1_Click();
        settle();
        return qobject_cast<Graph2*>(frame->ActiveForm());
    }
    Graph2* plotXY() {
        XCol = 9;
        YCol = 11;
        frame->ActivateChild(sheet);
        frame->MenuItem(QStringLiteral("mnuGraphOptions2"))->trigger();
        LoadedSetUp()->Command3D1_Click(2);
        LoadedSetUp()->hide();
        settle();
        return qobject_cast<Graph2*>(frame->ActiveForm());
    }

    // The shown controls of the window in its own coordinates: each whole
    // inside it, no two overlapping.
    static void ExpectLaidOutWhole(Graph2& g) {
        QWidget* body = g.widget();
        const QRect client = body->rect();
        struct Part {
            const char* name;
            QWidget* w;
        };
        const Part parts[] = {{"Grid1", g.Grid1},       {"Label1", g.Label1},     {"Text1", g.Text1},
                              {"Picture1", g.Picture1}, {"Picture2", g.Picture2}, {"Picture3", g.Picture3},
                              {"Label3", g.Label3}};
        std::vector<std::pair<const char*, QRect>> shown;
        for (const Part& p : parts) {
            if (!p.w->isVisibleTo(body)) continue;
            const QRect r(p.w->mapTo(body, QPoint(0, 0)), p.w->size());
            EXPECT_TRUE(client.contains(r)) << p.name << " lies outside the window";
            for (const auto& [other, o] : shown) EXPECT_FALSE(r.intersects(o)) << p.name << " covers " << other;
            shown.emplace_back(p.name, r);
        }
        const QRect area = g.parentWidget()->rect();
        EXPECT_TRUE(area.contains(g.geometry())) << "the window opens partly outside the frame";
    }

    // Scrolled to their ends, the key's bars show its last row and the
    // right end of its widest name.
    static void ExpectKeyReachable(Graph2& g) {
        ASSERT_TRUE(g.Picture2->isVisible());
        ASSERT_TRUE(g.HScroll1->isVisible() && g.VScroll1->isVisible());
        EXPECT_GE(g.Grid3->width(), g.Grid3->horizontalHeader()->length());
        EXPECT_GE(g.Grid3->height(), g.Grid3->verticalHeader()->length());
        const int viewW = g.VScroll1->x(), viewH = g.HScroll1->y();
        g.HScroll1->setValue(g.HScroll1->maximum());
        g.VScroll1->setValue(g.VScroll1->maximum());
        EXPECT_LE(g.Grid3->x() + g.Grid3->width(), viewW);
        EXPECT_LE(g.Grid3->y() + g.Grid3->height(), viewH);
        EXPECT_GE(g.Grid3->y() + g.Grid3->height(), viewH - g.Grid3->verticalHeader()->defaultSectionSize());
        g.HScroll1->setValue(0);
        g.VScroll1->setValue(0);
        EXPECT_EQ(g.Grid3->pos(), QPoint(0, 0));
    }

    Main1* firstSheet = nullptr;
    Main1* sheet = nullptr;
};

TEST_F(GraphLayout, ClassificationWindowsOpenWithPictureTablesAndKeyWhole) {
    for (const auto& [kind, x, y, z] : {std::tuple{"QAPF-Plutonic", 5, 6, 7}, std::tuple{"TAS-Volcanic", 9, 10, 0}}) {
        SCOPED_TRACE(kind);
        Graph2* g = plotTernary(kind, x, y, z);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->DiagramType, QString::fromLatin1(kind));
        ExpectLaidOutWhole(*g);
        ExpectKeyReachable(*g);
        EXPECT_EQ(g->Grid3->TextMatrix(1, 0), QStringLiteral("A."));
        // Every filled column of the point table shows beside the picture.
        EXPECT_LE(g->Grid1->horizontalHeader()->sectionViewportPosition(4) + g->Grid1->columnWidth(4),
                  g->Grid1->viewport()->width());
    }
}

TEST_F(GraphLayout, TheCurveFitPanelTakesTheTablesPlaceAndShowsItsColumns) {
    Graph2* g = plotXY();
    ASSERT_NE(g, nullptr);
    EXPECT_FALSE(g->Picture2->isVisible());
    ExpectLaidOutWhole(*g);
    Curvefit::RunModal = [](Curvefit& d) {
        d.Text1->setText(QStringLiteral("2"));
        d.Command3D1_Click(0);
    };
    g->mnuCurveFit_Click();
    settle();
    ASSERT_TRUE(g->Picture3->isVisible());
    EXPECT_FALSE(g->Grid1->isVisible());
    EXPECT_FALSE(g->Picture2->isVisible());
    ExpectLaidOutWhole(*g);
    EXPECT_LE(g->Grid2->horizontalHeader()->length(), g->Grid2->viewport()->width());
    g->SSCommand1_Click(1);
    settle();
    EXPECT_TRUE(g->Grid1->isVisible());
    ExpectLaidOutWhole(*g);
}

TEST_F(GraphLayout, HidingTheTablesCentresThePictureAndShowingThemBringsTheKeyBack) {
    Graph2* g = plotTernary("QAPF-Plutonic", 5, 6, 7);
    ASSERT_NE(g, nullptr);
    const int left = g->Picture1->x();
    g->mnuTables_Click();
    settle();
    EXPECT_FALSE(g->Picture2->isVisible());
    EXPECT_FALSE(g->Grid1->isVisible());
    const int right = g->widget()->width() - g->Picture1->geometry().right() - 1;
    EXPECT_NEAR(g->Picture1->x(), right, 1);
    g->mnuTables_Click();
    settle();
    EXPECT_EQ(g->Picture1->x(), left);
    ExpectLaidOutWhole(*g);
    ExpectKeyReachable(*g);

    Graph2* plain = plotTernary("Ternary Plot", 5, 6, 7);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->DiagramType, QStringLiteral("Ternary"));
    EXPECT_FALSE(plain->Picture2->isVisible());
    EXPECT_TRUE(plain->Grid1->isVisible());
}

}  // namespace

namespace {

TEST_F(GraphLayout, ClosingAGraphOrCancellingTheXYSetUpBringsBackTheSheetBeforeIt) {
    ASSERT_NE(firstSheet, sheet);
    Graph2* g = plotTernary("QAPF-Plutonic", 5, 6, 7);
    ASSERT_NE(g, nullptr);
    g->mnuClose_Click();
    settle();
    EXPECT_EQ(frame->ActiveForm(), sheet);

    frame->MenuItem(QStringLiteral("mnuGraphOptions2"))->trigger();
    settle();
    LoadedSetUp()->Command3D1_Click(1);
    settle();
    EXPECT_EQ(frame->ActiveForm(), sheet);
}

}  // namespace

namespace {

TEST_F(GraphLayout, SetUpDialogsOpenCentredAndTheLegendTextsBesideANewGraph) {
    const QPoint screenCentre(640, 512);
    frame->MenuItem(QStringLiteral("mnuGraphOptions1"))->trigger();
    settle();
    EXPECT_LE((LoadedOptions()->geometry().center() - screenCentre).manhattanLength(), 4);
    LoadedOptions()->Command3D2_Click();
    frame->MenuItem(QStringLiteral("mnuGraphOptions2"))->trigger();
    settle();
    EXPECT_LE((LoadedSetUp()->geometry().center() - screenCentre).manhattanLength(), 4);
    LoadedSetUp()->Command3D1_Click(1);

    Graph2* g = plotTernary("QAPF-Plutonic", 5, 6, 7);
    ASSERT_NE(g, nullptr);
    // 5000 x 700 twips, scaled as the screen's 19200 x 15360 twips are to 9600 x 7200.
    SymbolDesc* legend = SymbolDesc::Show(frame);
    EXPECT_EQ(legend->pos(), QPoint(667, 100));
    legend->Command3D1_Click(2);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    legend = SymbolDesc::Show(frame);
    EXPECT_LE((legend->geometry().center() - screenCentre).manhattanLength(), 4);
    legend->Command3D1_Click(2);
}

}  // namespace
