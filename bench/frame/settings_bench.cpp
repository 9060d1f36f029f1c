// Start to the first sheet, and Exit, with a 50 MB settings store (a store
// that other programs or a long history filled up). Run by hand:
// bench_settings (offscreen by default).
#include "quarvex/frame/mdi_form1.h"
#include "quarvex/frame/title1.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/runtime/settings_store.h"
#include "quarvex/state/program_state.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qvrt::GuardedApplication app(argc, argv);
    QTemporaryDir dir;
    qvrt::SetSettingsDirectory(dir.path());
    {
        QFile f(qvrt::SettingsFilePath(QStringLiteral("Quarvex")));
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write("[Files]\nFile1=/data/rocks.plt\n[Options]\nTables=0\n[History]\n");
        const QByteArray filler(90, 'x');
        for (int k = 0; f.size() < 50 * 1024 * 1024; ++k) f.write("Entry" + QByteArray::number(k) + "=" + filler + "\n");
    }
    qvrt::InstallScriptedHost();
    QElapsedTimer t;
    t.start();
    auto* splash = new quarvex::Title1;
    splash->Form_Load();
    splash->Form_Click();
    QApplication::processEvents();
    const double start = t.nsecsElapsed() / 1e6;
    t.restart();
    quarvex::MDIForm1::Instance()->close();
    const double exit = t.nsecsElapsed() / 1e6;
    std::printf("%-52s %10s\n", "50 MB settings store", "ms");
    std::printf("%-52s %10.1f\n", "start to the first sheet", start);
    std::printf("%-52s %10.1f\n", "Exit (settings written)", exit);
    std::printf("%-52s %10s\n", "recent file kept", qPrintable(quarvex::RecentFiles[1]));
    return 0;
}
