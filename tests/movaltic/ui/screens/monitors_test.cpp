// Three monitors, the primary one in the middle (not at 0,0): the About box
// and the main window open on the primary one; every dialog opens centred on
// the main window's monitor, wherever the user has moved it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "movaltic/ui/about_box.h"
#include "movaltic/ui/compressor_dialog.h"
#include "movaltic/ui/main_window.h"
#include "movaltic/ui/option_dialogs.h"
#include "movaltic/ui/param_dialogs.h"
#include "movaltic/ui/progress_window.h"
#include "movaltic/ui/screen_fit.h"
#include "scripted_host.h"

namespace {

using namespace movaltic;

QString MonitorOf(const QWidget& w) {
    QScreen* screen = QGuiApplication::screenAt(w.frameGeometry().center());
    return screen ? screen->name() : "none";
}

TEST(Monitors, EveryWindowOpensOnItsMonitor) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->name(), "centre");
    uitest::HostScope scope;
    InstallScreenFitting();
    QString about;
    scope.host.scripts.push_back([&](QDialog& box) { about = MonitorOf(box); });
    TfmMain window;
    window.move(1200, 100);  // across two monitors before it shows
    window.show();
    EXPECT_EQ(about, "centre");
    EXPECT_EQ(MonitorOf(window), "centre");
    TfmSplash aboutBox(&window);
    const std::vector<std::function<QDialog&()>> dialogs = {
        fmInOpt, fmOutOpt, fmEditXY, fmZUVOpt, fmEditInt1, fmEditRGB, fmCompressor, [&]() -> QDialog& { return aboutBox; },
        [&]() -> QDialog& {
            window.ProgressShow();
            return fmPerc();
        }};
    for (QScreen* monitor : QGuiApplication::screens()) {  // centre, east, west
        const QRect area = monitor->availableGeometry();
        window.move(area.center() - window.rect().center());
        for (const auto& open : dialogs) {
            QDialog& dialog = open();
            dialog.show();
            SCOPED_TRACE((monitor->name() + ": " + dialog.windowTitle()).toStdString());
            EXPECT_TRUE(area.contains(dialog.frameGeometry()));
            EXPECT_LE((dialog.frameGeometry().center() - area.center()).manhattanLength(), 2);
            dialog.hide();
        }
    }
    fmPerc().CloseQuietly();
}

}  // namespace

int main(int argc, char** argv) {
    // Qt's offscreen platform takes its monitors from a file named on the
    // command line, so the environment of other tests stays as it is. It
    // orders them by name: "centre" comes first and is the primary one.
    QTemporaryDir dir;
    QFile config(dir.filePath("monitors.json"));
    if (!config.open(QIODevice::WriteOnly)) return 1;
    config.write(R"({"windowFrameMargins": false, "screens": [
        {"name": "centre", "x": 1280, "y": 0, "width": 1920, "height": 1080},
        {"name": "west", "x": 0, "y": 0, "width": 1280, "height": 1024},
        {"name": "east", "x": 3200, "y": 0, "width": 1280, "height": 1024}]})");
    config.close();
    std::vector<char*> args(argv, argv + argc);
    QByteArray platform = "-platform", offscreen = "offscreen:configfile=" + config.fileName().toLocal8Bit();
    args.push_back(platform.data());
    args.push_back(offscreen.data());
    int count = int(args.size());
    QApplication app(count, args.data());
    movaltic::CreateParamDialogs();
    movaltic::CreateOptionDialogs();
    movaltic::CreateProgressWindow();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
