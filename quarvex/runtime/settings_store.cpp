#include "quarvex/runtime/settings_store.h"

#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/safe_write.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <map>
#include <vector>
#include <memory>

namespace qvrt {

namespace {

QString& overrideDir() {
    static QString dir;
    return dir;
}

QString groupKey(const QString& section, const QString& key) { return section + u'/' + key; }

// One open store per file, parsed once: Qt's own cache drops a large file
// and would parse it again for every key. A file changed behind the store's
// back since it was read is read afresh.
struct OpenStore {
    std::unique_ptr<QSettings> settings;
    qint64 size = -1;
    QDateTime modified;
    int batches = 0;
    // Values set while a batch lives, in order: section, key, value.
    std::vector<std::array<QString, 3>> pending;

    void NoteFile(const QString& path) {
        const QFileInfo info(path);
        size = info.exists() ? info.size() : -1;
        modified = info.lastModified();
    }
};

std::map<QString, OpenStore>& stores() {
    static std::map<QString, OpenStore> open;
    return open;
}

void closeStores() { stores().clear(); }

OpenStore& storeFor(const QString& path) {
    OpenStore& store = stores()[path];
    if (store.settings && store.batches == 0) {
        const QFileInfo info(path);
        if ((info.exists() ? info.size() : -1) != store.size || info.lastModified() != store.modified)
            store.settings.reset();
    }
    if (!store.settings) {
        // The stores must close while Qt still stands, not in static destruction.
        static const bool registered = [] {
            if (QCoreApplication::instance()) qAddPostRoutine(closeStores);
            return true;
        }();
        (void)registered;
        store.settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
        store.NoteFile(path);
    }
    return store;
}

// Writes what the store holds. A file that read with a format warning (a
// byte-order mark, a line that is no key) is still written whole; only a
// file that cannot be written fails.
void flush(OpenStore& store, const QString& path) {
    store.settings->sync();
    const bool failed = store.settings->status() == QSettings::AccessError;
    store.NoteFile(path);
    if (failed) Raise(ErrPathFileAccess);
}

// The lines Qt's INI writer gives the values, by section header: written
// through QSettings into a small file of their own, so that their escaping
// is exactly Qt's.
std::map<QByteArray, std::vector<QByteArray>> escapedLines(const std::vector<std::array<QString, 3>>& values) {
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("values.ini"));
    {
        QSettings s(small, QSettings::IniFormat);
        for (const auto& [section, key, value] : values) s.setValue(groupKey(section, key), value);
    }
    QFile file(small);
    if (!file.open(QIODevice::ReadOnly)) Raise(ErrPathFileAccess);
    std::map<QByteArray, std::vector<QByteArray>> lines;
    QByteArray section;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QByteArray t = line.trimmed();
        if (t.startsWith('[')) section = t;
        else if (t.contains('=')) lines[section].push_back(t);
    }
    return lines;
}

QByteArray keyOf(const QByteArray& line) { return line.left(line.indexOf('=')).trimmed(); }

// Puts the values into the file's text line for line: every other line (a
// byte-order mark, comments, lines that are no key, other programs' keys)
// stays byte for byte, and the file is not parsed whole, so a large store
// is written in the time it takes to copy it.
QByteArray spliced(const QByteArray& old, std::map<QByteArray, std::vector<QByteArray>> values) {
    QByteArray out;
    out.reserve(old.size() + 4096);
    QByteArray section;
    auto endSection = [&] {
        auto it = values.find(section);
        if (it == values.end()) return;
        for (const QByteArray& line : it->second) out += line + "\n";
        values.erase(it);
    };
    qsizetype from = 0;
    while (from < old.size()) {
        qsizetype end = old.indexOf('\n', from);
        end = end < 0 ? old.size() : end + 1;
        const QByteArray line = old.mid(from, end - from);
        QByteArray t = line.trimmed();
        if (from == 0 && t.startsWith("\xEF\xBB\xBF")) t = t.mid(3).trimmed();  // the mark stays, before the line
        from = end;
        if (t.startsWith('[') && t.endsWith(']')) {
            endSection();
            section = t;
        } else if (auto it = values.find(section); it != values.end() && t.contains('=')) {
            auto& lines = it->second;
            const QByteArray key = keyOf(t);
            auto hit = std::find_if(lines.begin(), lines.end(), [&](const QByteArray& l) { return keyOf(l) == key; });
            if (hit != lines.end()) {
                if (line.startsWith("\xEF\xBB\xBF")) out += "\xEF\xBB\xBF";
                out += *hit + (line.endsWith("\r\n") ? "\r\n" : "\n");
                lines.erase(hit);
                continue;
            }
        }
        if (line.trimmed().isEmpty() && values.count(section)) {
            endSection();  // before the blank line that ends the section
        }
        out += line;
        if (!line.endsWith('\n')) out += '\n';
    }
    endSection();
    for (const auto& [header, lines] : values) {
        out += "\n" + header + "\n";
        for (const QByteArray& line : lines) out += line + "\n";
    }
    return out;
}

}  // namespace

void SetSettingsDirectory(const QString& directory) {
    closeStores();
    overrideDir() = directory;
}

QString SettingsFilePath(const QString& application) {
    QString dir = overrideDir();
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(dir).filePath(application + QStringLiteral(".ini"));
}

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue) {
    const QVariant v = storeFor(SettingsFilePath(application)).settings->value(groupKey(section, key));
    return v.isValid() ? v.toString() : defaultValue;
}

void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value) {
    const QString path = SettingsFilePath(application);
    QDir().mkpath(QFileInfo(path).absolutePath());
    OpenStore& store = storeFor(path);
    if (store.batches > 0) {
        // A value the file already holds needs no write.
        const QVariant now = store.settings->value(groupKey(section, key));
        if (!now.isValid() || now.toString() != value) store.pending.push_back({section, key, value});
        return;
    }
    store.settings->setValue(groupKey(section, key), value);
    flush(store, path);
}

SettingsBatch::SettingsBatch(const QString& application) : path_(SettingsFilePath(application)) {
    ++storeFor(path_).batches;
}

SettingsBatch::~SettingsBatch() {
    if (committed_) return;
    // Left without Commit (a failure on the way): nothing is written.
    auto it = stores().find(path_);
    if (it == stores().end() || it->second.batches == 0) return;
    if (--it->second.batches == 0) it->second.pending.clear();
}

void SettingsBatch::Commit() {
    if (committed_) return;
    OpenStore& store = storeFor(path_);
    if (store.batches > 0) --store.batches;
    committed_ = true;
    if (store.batches > 0 || store.pending.empty()) return;
    const auto values = std::move(store.pending);
    store.pending.clear();
    QFile file(path_);
    if (!file.exists()) {
        for (const auto& [section, key, value] : values) store.settings->setValue(groupKey(section, key), value);
        flush(store, path_);
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) Raise(ErrPathFileAccess);
    const QByteArray old = file.readAll();
    file.close();
    WriteFileReplacing(path_, spliced(old, escapedLines(values)));
    store.settings.reset();  // read again, from what was written
}

}  // namespace qvrt
