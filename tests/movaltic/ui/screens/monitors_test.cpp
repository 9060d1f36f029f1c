// Movaltic's windows on three monitors: the primary one in the middle (not
// at 0,0), a smaller one at each side. The main window opens on the primary
// monitor; every dialog opens centred on the main window's monitor, wherever
// the user has moved it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
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

QScreen* ScreenNamed(const char* name) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == QLatin1String(name)) return screen;
    return nullptr;
}

// The monitor holding the window's centre.
QString MonitorOf(const QWidget& w) {
    QScreen* screen = QGuiApplication::screenAt(w.frameGeometry().center());
    return screen ? screen->name() : QString("none");
}

class Monitors : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::screens().size(), 3);
        ASSERT_EQ(QGuiApplication::primaryScreen()->name(), QString("centre"));
        InstallScreenFitting();
        CreateParamDialogs();
        CreateOptionDialogs();
        CreateProgressWindow();
    }
    void TearDown() override {
        DestroyCompressorDialog();
        DestroyProgressWindow();
        DestroyOptionDialogs();
        DestroyParamDialogs();
    }
    uitest::HostScope scope;
};

// The About box at start and the main window open on the primary monitor,
// also when the main window was put across two monitors before it shows.
TEST_F(Monitors, TheMainWindowAndTheAboutBoxOpenOnThePrimaryMonitor) {
    QString about;
    scope.host.scripts.push_back([&](QDialog& box) { about = MonitorOf(box); });
    TfmMain window;
    window.move(1200, 100);  // across the west and the centre monitor
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(about, "centre");
    EXPECT_EQ(MonitorOf(window), "centre");
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(window.frameGeometry()));
}

// Each dialog opens centred on the monitor the main window is on, and
// inside its available area, whichever monitor that is and wherever the
// dialog was last.
TEST_F(Monitors, EveryDialogOpensCentredOnTheMainWindowsMonitor) {
    TfmMain window;
    window.show();
    QApplication::processEvents();
    TfmSplash about(&window);
    const std::vector<std::pair<const char*, std::function<QDialog&()>>> dialogs = {
        {"Input Options", [] () -> QDialog& { return fmInOpt(); }},
        {"AVI Output Options", [] () -> QDialog& { return fmOutOpt(); }},
        {"output size", [] () -> QDialog& { return fmEditXY(); }},
        {"ZUV Compression", [] () -> QDialog& { return fmZUVOpt(); }},
        {"Edit parameter", [] () -> QDialog& { return fmEditInt1(); }},
        {"Edit Parameters", [] () -> QDialog& { return fmEditRGB(); }},
        {"compressor", [] () -> QDialog& { return fmCompressor(); }},
        {"About", [&] () -> QDialog& { return about; }},
        {"progress", [&] () -> QDialog& {
             window.ProgressShow();
             return fmPerc();
         }},
    };
    fmOutOpt().Values.extension = "AVI";
    for (const char* monitor : {"east", "west", "centre", "east"}) {
        const QRect area = ScreenNamed(monitor)->availableGeometry();
        window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
        QApplication::processEvents();
        ASSERT_EQ(MonitorOf(window), monitor);
        for (const auto& [name, open] : dialogs) {
            SCOPED_TRACE(std::string(monitor) + ": " + name);
            QDialog& dialog = open();
            if (!dialog.isVisible()) dialog.show();
            QApplication::processEvents();
            const QRect frame = dialog.frameGeometry();
            EXPECT_EQ(MonitorOf(dialog), monitor);
            EXPECT_TRUE(area.contains(frame));
            EXPECT_LE((frame.center() - area.center()).manhattanLength(), 2);
            dialog.hide();
        }
    }
    fmPerc().CloseQuietly();
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString config = dir.filePath("monitors.json");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(R"({"windowFrameMargins": false, "screens": [
        {"name": "centre", "x": 1280, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "west", "x": 0, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "east", "x": 3200, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    // The monitors come from the command line, so the environment other
    // tests run in stays as it is.
    std::vector<char*> args(argv, argv + argc);
    QByteArray platform = "-platform", offscreen = "offscreen:configfile=" + config.toLocal8Bit();
    args.push_back(platform.data());
    args.push_back(offscreen.data());
    int count = int(args.size());
    QApplication app(count, args.data());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
