// Telling the frame's windows apart: where new sheets open, which sheet a
// save question is about, the position panel, access keys and the icon.
#include "frame_fixture.h"

#include "quarvex/frame/about.h"
#include "quarvex/frame/program_icon.h"
#include "quarvex/sheets/new_data_window.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

using namespace quarvex;

namespace {

class ChildWindows : public FrameTest {
protected:
    Main1* newSheet() {
        MODULE21::NewDataWindow();
        return active();
    }
    QRect clientArea() const { return frame->mdiArea()->viewport()->rect(); }
};

TEST_F(ChildWindows, NewSheetsCascadeFromTheActiveOneInsideTheFrame) {
    start();
    Main1* first = active();
    EXPECT_EQ(first->pos(), QPoint(0, 0));
    const QSize design = first->size();
    std::vector<Main1*> sheets{first};
    for (int i = 0; i < 5; ++i) sheets.push_back(newSheet());
    QSet<QPair<int, int>> corners;
    for (size_t i = 0; i < sheets.size(); ++i) {
        const QRect g = sheets[i]->geometry();
        EXPECT_TRUE(clientArea().contains(g)) << "sheet " << i + 1;
        EXPECT_GE(g.width(), design.width() / 2);
        EXPECT_GE(g.height(), design.height() / 2);
        corners.insert({g.x(), g.y()});
        if (i > 0) {  // down and right of the sheet active when it opened
            EXPECT_GT(g.x(), sheets[i - 1]->x());
            EXPECT_GT(g.y(), sheets[i - 1]->y());
        }
    }
    EXPECT_EQ(corners.size(), 6) << "no sheet opens exactly over another";

    // From a sheet at the edge of the cascade the next wraps back to the top
    // left, past the corners in use, and stays inside the frame.
    frame->mdiArea()->setActiveSubWindow(sheets.back());
    sheets.back()->move(clientArea().width() - design.width() / 2 - 1, sheets.back()->y());
    QSet<QPair<int, int>> inUse;
    for (Main1* s : sheets) inUse.insert({s->x(), s->y()});
    Main1* wrapped = newSheet();
    EXPECT_LT(wrapped->x(), sheets.back()->x());
    EXPECT_TRUE(clientArea().contains(wrapped->geometry()));
    EXPECT_FALSE(inUse.contains({wrapped->x(), wrapped->y()}));
}

TEST_F(ChildWindows, AtExitEachUnsavedSheetComesForwardBeforeItsQuestion) {
    start();
    Main1* one = active();
    Main1* two = newSheet();
    Main1* three = newSheet();
    one->Record().Modified = -1;
    two->Record().Modified = -1;
    two->showMinimized();
    frame->mdiArea()->setActiveSubWindow(three);
    std::vector<Main1*> activeAtQuestion;
    std::vector<bool> minimisedAtQuestion;
    host->onMsgBox = [&](const qvrt::ScriptedHost::Box&) {
        activeAtQuestion.push_back(active());
        minimisedAtQuestion.push_back(active() && active()->isMinimized());
    };
    host->msgBoxAnswers = {qvrt::vbNo, qvrt::vbCancel};
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(activeAtQuestion, (std::vector<Main1*>{one, two}));
    EXPECT_EQ(minimisedAtQuestion, (std::vector<bool>{false, false}));
    EXPECT_EQ(host->boxes.size(), 2u) << "the unchanged sheet asks nothing";
}

TEST_F(ChildWindows, ThePositionPanelFollowsTheActiveSheet) {
    start();
    Main1* one = active();
    one->Grid1->setRow(5);
    one->Grid1->setCol(3);
    one->Grid1->setAction(qvrt::SpreadGrid::ActionActiveCell);
    Main1* two = newSheet();
    EXPECT_EQ(frame->Panel3D2->text(), "ROW: 1  COL: 1");
    frame->mdiArea()->setActiveSubWindow(one);
    EXPECT_EQ(frame->Panel3D2->text(), "ROW: 5  COL: 3");
    frame->mdiArea()->setActiveSubWindow(two);
    EXPECT_EQ(frame->Panel3D2->text(), "ROW: 1  COL: 1");
}

// Alt plus a letter must reach one item; a letter used twice in a menu
// makes the user press it again to reach the second.
TEST_F(ChildWindows, EveryMenuUsesEachAccessKeyOnce) {
    start();
    std::function<void(QMenu*)> check = [&](QMenu* menu) {
        QSet<QChar> keys;
        for (QAction* item : menu->actions()) {
            const QString caption = item->text();
            for (qsizetype i = caption.indexOf(u'&'); i >= 0 && i + 1 < caption.size();
                 i = caption.indexOf(u'&', i + 2)) {
                if (caption[i + 1] == u'&') continue;
                const QChar key = caption[i + 1].toUpper();
                EXPECT_FALSE(keys.contains(key)) << menu->title().toStdString() << ": "
                                                 << caption.toStdString();
                keys.insert(key);
                break;
            }
            if (item->menu()) check(item->menu());
        }
    };
    for (QAction* top : frame->menuBar()->actions())
        if (top->menu()) check(top->menu());
    EXPECT_EQ(frame->MenuItem("mnuClassifyFromNorm")->text(), "Classify &from Norm...");
}

TEST_F(ChildWindows, TheProgramsWindowsCarryItsIconLegibleAtTitleBarSize) {
    start();
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    const qint64 key = icon.cacheKey();
    EXPECT_EQ(frame->windowIcon().cacheKey(), key);
    EXPECT_EQ(active()->windowIcon().cacheKey(), key);
    EXPECT_EQ(About::Show()->windowIcon().cacheKey(), key);
    About::Instance()->close();

    // The diagram's lines and dots survive at 16 pixels instead of fading
    // into the background.
    const QImage small = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(small.size(), QSize(16, 16));
    const QRgb background = small.pixel(0, 0);
    int ink = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb c = small.pixel(x, y);
            if (std::abs(qRed(c) - qRed(background)) + std::abs(qGreen(c) - qGreen(background)) +
                    std::abs(qBlue(c) - qBlue(background)) > 200)
                ++ink;
        }
    EXPECT_GE(ink, 20);
}

}  // namespace
