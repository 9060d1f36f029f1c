// Windows on two monitors, the primary (1920 x 1080) at the right of a
// 1280 x 1024 one at 0,0, as ctest gives them to Qt's offscreen platform.
#include "quarvex/frame/frame_fixture.h"
#include "quarvex/graph/plot_setup_dialogs.h"
#include "quarvex/graph/symbol_desc.h"
#include "quarvex/runtime/screen_fit.h"
#include "quarvex/sheets/find_replace.h"

#include <QAction>
#include <QScreen>

#include <functional>

using namespace quarvex;

TEST_F(FrameTest, TheFrameOpensOnThePrimaryMonitorAndEachDialogOnItsFramesMonitor) {
    if (QGuiApplication::screens().size() != 2) GTEST_SKIP() << "needs the two screens ctest gives";
    host->screenWidthTwips = 1920 * host->twipsPerPixel;  // the primary's, as the Qt host measures it
    host->screenHeightTwips = 1080 * host->twipsPerPixel;
    qvrt::InstallScreenFitting();
    auto inside = [](QWidget* w, QScreen* s) {
        QApplication::processEvents();
        return w && w->isVisible() && s->availableGeometry().contains(w->frameGeometry());
    };
    start();
    EXPECT_TRUE(inside(frame, QGuiApplication::primaryScreen()));
    auto item = [&](const char* name) { frame->MenuItem(QString::fromLatin1(name))->trigger(); };
    // One of each way the forms centre a dialog on the screen.
    const std::pair<const char*, std::function<QWidget*()>> dialogs[] = {
        {"Search And Replace", [&]() -> QWidget* { item("mnuSearch1(2)"); return ReplaceText::Instance(); }},
        {"XY Options", [&]() -> QWidget* { item("mnuGraphOptions2"); return LoadedSetUp(); }},
        {"Symbol Descriptions", [&]() -> QWidget* { return SymbolDesc::Show(frame); }},
    };
    for (QScreen* home : QGuiApplication::screens()) {
        frame->move(home->availableGeometry().topLeft() + QPoint(40, 30));
        for (const auto& [name, open] : dialogs) {
            QWidget* d = open();
            EXPECT_TRUE(inside(d, home)) << name << " on " << home->name().toStdString();
            if (d) d->close();
        }
    }
}
