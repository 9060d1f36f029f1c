// Telling the frame's windows apart: where new sheets open, which sheet a
// save question is about, the position panel, access keys and the icon.
#include "frame_fixture.h"

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
};

TEST_F(ChildWindows, NewSheetsCascadeFromTheActiveOneInsideTheFrameAndWrapAtItsEdge) {
    start();
    const QRect area = frame->mdiArea()->viewport()->rect();
    std::vector<Main1*> sheets{active()};
    for (int i = 0; i < 5; ++i) sheets.push_back(newSheet());
    for (size_t i = 1; i < sheets.size(); ++i) {
        EXPECT_GT(sheets[i]->x(), sheets[i - 1]->x());
        EXPECT_GT(sheets[i]->y(), sheets[i - 1]->y());
        EXPECT_TRUE(area.contains(sheets[i]->geometry())) << "sheet " << i + 1;
    }
    // From a sheet at the right edge the next wraps back, past every corner in use.
    sheets.back()->move(area.width() - sheets[0]->width() / 2 - 1, sheets.back()->y());
    QSet<QPoint> inUse;
    for (Main1* s : sheets) inUse.insert(s->pos());
    Main1* wrapped = newSheet();
    EXPECT_LT(wrapped->x(), sheets.back()->x());
    EXPECT_TRUE(area.contains(wrapped->geometry()));
    EXPECT_FALSE(inUse.contains(wrapped->pos()));
}

TEST_F(ChildWindows, AtExitEachUnsavedSheetComesForwardBeforeItsQuestion) {
    start();
    Main1* one = active();
    Main1* two = newSheet();
    newSheet();
    one->Record().Modified = -1;
    two->Record().Modified = -1;
    two->showMinimized();
    std::vector<Main1*> shown;
    host->onMsgBox = [&](const qvrt::ScriptedHost::Box&) {
        shown.push_back(active() && !active()->isMinimized() ? active() : nullptr);
    };
    host->msgBoxAnswers = {qvrt::vbNo, qvrt::vbCancel};
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(shown, (std::vector<Main1*>{one, two}));
}

TEST_F(ChildWindows, ThePositionPanelFollowsTheActiveSheet) {
    start();
    Main1* one = active();
    one->Grid1->setRow(5);
    one->Grid1->setCol(3);
    one->Grid1->setAction(qvrt::SpreadGrid::ActionActiveCell);
    newSheet();
    EXPECT_EQ(frame->Panel3D2->text(), "ROW: 1  COL: 1");
    frame->mdiArea()->setActiveSubWindow(one);
    EXPECT_EQ(frame->Panel3D2->text(), "ROW: 5  COL: 3");
}

TEST_F(ChildWindows, EveryMenuUsesEachAccessKeyOnce) {
    start();
    std::function<void(QMenu*)> check = [&](QMenu* menu) {
        QSet<QChar> keys;
        for (QAction* item : menu->actions()) {
            const QString caption = QString(item->text()).replace("&&", "");
            if (const qsizetype at = caption.indexOf(u'&'); at >= 0 && at + 1 < caption.size()) {
                const QChar key = caption[at + 1].toUpper();
                EXPECT_FALSE(keys.contains(key)) << caption.toStdString();
                keys.insert(key);
            }
            if (item->menu()) check(item->menu());
        }
    };
    for (QAction* top : frame->menuBar()->actions()) check(top->menu());
}

TEST_F(ChildWindows, TheWindowsCarryTheProgramIconLegibleAtTitleBarSize) {
    start();
    const qint64 key = ProgramIcon().cacheKey();
    EXPECT_EQ(frame->windowIcon().cacheKey(), key);
    EXPECT_EQ(active()->windowIcon().cacheKey(), key);
    EXPECT_EQ(QApplication::windowIcon().cacheKey(), key);  // dialogs and boxes
    // The diagram's lines and dots stand out at 16 pixels instead of fading.
    const QImage small = ProgramIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb bg = small.pixel(0, 0);
    int ink = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) {
            const QRgb c = small.pixel(x, y);
            ink += std::abs(qRed(c) - qRed(bg)) + std::abs(qGreen(c) - qGreen(bg)) + std::abs(qBlue(c) - qBlue(bg)) > 200;
        }
    EXPECT_GE(ink, 20);
}

}  // namespace
