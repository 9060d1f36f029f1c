// Feeds arbitrary bytes to the settings store as its file: keys read from
// it, then one key written back, which keeps every other line of the file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <string>

#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/settings_store.h"

using namespace qvrt;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    const QString dir = QString::fromStdString("/tmp/fuzz_settings_" + std::to_string(getpid()));
    QDir().mkpath(dir);
    SetSettingsDirectory(dir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString app = QStringLiteral("Fuzz");
    static const QString path = SettingsFilePath(app);
    static long runs = 0;
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    // A new time stamp every run, so the store reads the file again even
    // when it kept its size.
    const struct timespec times[2] = {{++runs, 0}, {runs, 0}};
    utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    try {
        for (const char* key : {"Left", "Top", "File1", "Width"}) (void)GetSetting(app, "Options", key);
        (void)GetSetting(app, "Recent Files", "File1", "none");
        SaveSetting(app, "Options", "Left", QString::number(runs));
    } catch (const RuntimeError&) {
        // A store that cannot be written: the program says so and goes on.
    }
    return 0;
}
