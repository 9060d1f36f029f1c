// Windows on a desktop of two monitors: the primary, 1920 x 1080, at the
// right, and a 1280 x 1024 one at the left, at 0,0. Qt's offscreen platform
// is given the two screens by this binary's own main, so no other test sees them.
#include "quarvex/frame/about.h"
#include "quarvex/frame/frame_fixture.h"
#include "quarvex/graph/font1.h"
#include "quarvex/graph/format_dialogs.h"
#include "quarvex/graph/plot_setup_dialogs.h"
#include "quarvex/graph/symbol_desc.h"
#include "quarvex/graph/symbols1.h"
#include "quarvex/runtime/screen_fit.h"
#include "quarvex/sheets/def_cols.h"
#include "quarvex/sheets/find_replace.h"

#include <QAction>
#include <QScreen>
#include <QTemporaryFile>

#include <cstdlib>
#include <functional>

using namespace quarvex;

namespace {

QScreen* ScreenOf(const QWidget& w) { return QGuiApplication::screenAt(w.frameGeometry().center()); }

class TwoScreens : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        // The program's screen is the primary monitor's, as the Qt host measures it.
        host->screenWidthTwips = 1920 * host->twipsPerPixel;
        host->screenHeightTwips = 1080 * host->twipsPerPixel;
        qvrt::InstallScreenFitting();
        primary = QGuiApplication::primaryScreen();
        other = QGuiApplication::screenAt(QPoint(0, 0));
        ASSERT_EQ(QGuiApplication::screens().size(), 2);
        ASSERT_NE(primary, other);
    }
    void TearDown() override {
        Font1::RunModal = nullptr;
        FrameTest::TearDown();
    }
    static void settle() {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QScreen* primary = nullptr;
    QScreen* other = nullptr;
};

TEST_F(TwoScreens, TheSplashAndTheFrameOpenOnThePrimaryMonitorWhereverItLies) {
    auto* splash = new Title1;
    splash->Form_Load();
    splash->show();
    settle();
    EXPECT_EQ(ScreenOf(*splash), primary);
    EXPECT_LE((splash->frameGeometry().center() - primary->geometry().center()).manhattanLength(), 2);
    splash->Form_Click();
    frame = MDIForm1::Instance();
    settle();
    EXPECT_EQ(ScreenOf(*frame), primary);
    EXPECT_TRUE(primary->availableGeometry().contains(frame->frameGeometry()));
}

// Each dialog opens on the monitor of the frame it belongs to, inside it,
// with the frame on either monitor.
TEST_F(TwoScreens, EveryDialogOpensOnItsFramesMonitor) {
    start();
    settle();
    struct Placement {
        QScreen* screen = nullptr;
        QRect frame;
    };
    // Where a dialog opened; it is closed then.
    auto placed = [](QWidget* d) {
        settle();
        if (!d || !d->isVisible()) return Placement{};
        const Placement p{ScreenOf(*d), d->frameGeometry()};
        d->close();
        settle();
        return p;
    };
    Placement modal;
    Font1::RunModal = [&](Font1& d) {
        d.show();
        modal = placed(&d);
    };
    auto trigger = [&](const char* item) { frame->MenuItem(QString::fromLatin1(item))->trigger(); };
    const struct {
        const char* name;
        std::function<Placement()> open;
    } dialogs[] = {
        {"Search And Replace", [&] { trigger("mnuSearch1(2)"); return placed(ReplaceText::Instance()); }},
        {"Define Columns", [&] { return placed(DefCols::Show()); }},
        {"About", [&] { return placed(About::Show()); }},
        {"Options", [&] { trigger("mnuGraphOptions1"); return placed(LoadedOptions()); }},
        {"Symbols", [&] { return placed(Symbols1::Show(frame)); }},
        {"XY Options", [&] { trigger("mnuGraphOptions2"); return placed(LoadedSetUp()); }},
        {"Symbol Descriptions", [&] { return placed(SymbolDesc::Show(frame)); }},
        {"Fonts", [&] { Font1::ShowModal(frame); return modal; }},
    };
    for (QScreen* home : {other, primary}) {
        SCOPED_TRACE(home->name().toStdString());
        frame->move(home->availableGeometry().topLeft() + QPoint(40, 30));
        settle();
        ASSERT_EQ(ScreenOf(*frame), home);
        for (const auto& dialog : dialogs) {
            SCOPED_TRACE(dialog.name);
            const Placement p = dialog.open();
            EXPECT_EQ(p.screen, home);
            EXPECT_TRUE(home->availableGeometry().contains(p.frame));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryFile screens;
    if (!screens.open()) return 1;
    // The platform adds the screens in the order of their names, the first primary.
    screens.write(R"({"screens": [
        {"name": "1 primary", "x": 1280, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96},
        {"name": "2 left", "x": 0, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96}]})");
    screens.flush();
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.fileName()).toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
