#include "quarvex/runtime/settings_store.h"

#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/safe_write.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <set>
#include <vector>

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

// A key and text that Qt's INI form writes as they stand: ASCII letters,
// digits and the signs no INI reader takes for anything else.
bool plainIni(const QString& text, bool key) {
    if (!key && (text.startsWith(u'@') || text.startsWith(u' ') || text.endsWith(u' '))) return false;
    return std::all_of(text.begin(), text.end(), [key](QChar c) {
        if (c.isLetterOrNumber() && c.unicode() < 0x80) return true;
        if (key) return c == u'_' || c == u'-' || c == u'.';
        return c.unicode() >= 0x20 && c.unicode() < 0x7F && !QStringView(u";,=\"\\#").contains(c);
    });
}

// The header and key line Qt's INI writer gives one value: written through
// QSettings into a small file of its own, so that the escaping is exactly Qt's.
std::pair<QByteArray, QByteArray> qtEscaped(const std::array<QString, 3>& value) {
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("value.ini"));
    {
        QSettings s(small, QSettings::IniFormat);
        s.setValue(groupKey(value[0], value[1]), value[2]);
    }
    QFile file(small);
    if (!file.open(QIODevice::ReadOnly)) Raise(ErrPathFileAccess);
    std::pair<QByteArray, QByteArray> lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QByteArray t = line.trimmed();
        if (t.startsWith('[')) lines.first = t;
        else if (t.contains('=')) lines.second = t;
    }
    return lines;
}

// The lines Qt's INI writer gives the values, by section header, in the
// order written (the last of a key written twice). Plain texts stand as
// they are; any other is escaped by Qt itself.
std::map<QByteArray, std::vector<QByteArray>> escapedLines(const std::vector<std::array<QString, 3>>& values) {
    std::map<QByteArray, std::vector<QByteArray>> lines;
    std::set<QString> done;
    for (auto v = values.rbegin(); v != values.rend(); ++v) {
        if (!done.insert(groupKey((*v)[0], (*v)[1])).second) continue;
        // Qt writes a section named "general" as [%General]: a plain [General]
        // holds the keys outside any section.
        const bool general = (*v)[0].compare(u"general", Qt::CaseInsensitive) == 0;
        if (!general && plainIni((*v)[0], true) && plainIni((*v)[1], true) && plainIni((*v)[2], false)) {
            lines["[" + (*v)[0].toLatin1() + "]"].push_back(((*v)[1] + u'=' + (*v)[2]).toLatin1());
        } else {
            auto [header, line] = qtEscaped(*v);
            lines[header].push_back(line);
        }
    }
    for (auto& [header, keyLines] : lines) std::reverse(keyLines.begin(), keyLines.end());
    return lines;
}

QByteArrayView keyOf(QByteArrayView line) {
    const qsizetype equals = line.indexOf('=');
    return (equals < 0 ? line : line.first(equals)).trimmed();
}

// One line of a settings file: its bytes with their end, and what it is.
struct IniLine {
    QByteArrayView text;     // as in the file
    QByteArrayView trimmed;  // without blanks and, on the first line, the mark
    bool header() const { return trimmed.startsWith('[') && trimmed.endsWith(']'); }
    bool keyLine() const { return trimmed.contains('='); }
};

std::vector<IniLine> iniLines(const QByteArray& file) {
    std::vector<IniLine> lines;
    const QByteArrayView all(file);
    qsizetype from = 0;
    while (from < all.size()) {
        qsizetype end = all.indexOf('\n', from);
        end = end < 0 ? all.size() : end + 1;
        IniLine line{all.sliced(from, end - from), {}};
        line.trimmed = line.text.trimmed();
        if (from == 0 && line.trimmed.startsWith("\xEF\xBB\xBF")) line.trimmed = line.trimmed.sliced(3).trimmed();
        lines.push_back(line);
        from = end;
    }
    return lines;
}

// Puts the values into the file's text line for line: every other line (a
// byte-order mark, comments, lines that are no key, other programs' keys)
// stays byte for byte, and the file is not parsed whole, so a large store
// is written in the time it takes to copy it. A key the file holds more
// than once (a section or a key written twice, by a script or another
// program) gets the value at every place, since the last is the one read;
// a key the file lacks goes at the end of its section's last occurrence.
// Lines added end as the file's first line does, so a CR LF file stays one.
QByteArray spliced(const QByteArray& old, const std::map<QByteArray, std::vector<QByteArray>>& values) {
    std::map<QByteArray, std::map<QByteArray, QByteArray>> byKey;  // section, key: line
    for (const auto& [header, keyLines] : values)
        for (const QByteArray& l : keyLines) byKey[header][keyOf(l).toByteArray()] = l;
    // Where the sections written stand, and which of their keys the file holds.
    const std::vector<IniLine> lines = iniLines(old);
    std::map<QByteArray, int> occurrences;
    std::map<QByteArray, std::set<QByteArray>> present;
    const std::map<QByteArray, QByteArray>* keys = nullptr;
    QByteArray section;
    for (const IniLine& line : lines) {
        if (line.header()) {
            section = line.trimmed.toByteArray();
            auto it = byKey.find(section);
            keys = it == byKey.end() ? nullptr : &it->second;
            if (keys) ++occurrences[section];
        } else if (keys && line.keyLine()) {
            present[section].insert(keyOf(line.trimmed).toByteArray());
        }
    }
    auto missing = values;  // the keys still to add, by section
    for (auto& [header, keyLines] : missing)
        std::erase_if(keyLines, [&, &h = header](const QByteArray& l) { return present[h].count(keyOf(l).toByteArray()) > 0; });

    const qsizetype firstEnd = old.indexOf('\n');
    const QByteArray eol = firstEnd > 0 && old[firstEnd - 1] == '\r' ? "\r\n" : "\n";
    QByteArray out;
    out.reserve(old.size() + 4096);
    std::map<QByteArray, int> seen;
    section.clear();
    keys = nullptr;
    auto addMissing = [&] {
        if (!keys || seen[section] != occurrences[section]) return;
        auto it = missing.find(section);
        if (it == missing.end()) return;
        for (const QByteArray& l : it->second) out += l + eol;
        missing.erase(it);
    };
    for (const IniLine& line : lines) {
        if (line.header()) {
            addMissing();
            section = line.trimmed.toByteArray();
            auto it = byKey.find(section);
            keys = it == byKey.end() ? nullptr : &it->second;
            if (keys) ++seen[section];
        } else if (keys && line.keyLine()) {
            auto hit = keys->find(keyOf(line.trimmed).toByteArray());
            if (hit != keys->end()) {
                if (line.text.startsWith("\xEF\xBB\xBF")) out += "\xEF\xBB\xBF";
                out += hit->second + (line.text.endsWith("\r\n") ? "\r\n" : "\n");
                continue;
            }
        } else if (line.trimmed.isEmpty()) {
            addMissing();  // before the blank line that ends the section
        }
        out += line.text;
        if (!line.text.endsWith('\n')) out += eol;
    }
    addMissing();
    for (const auto& [header, keyLines] : missing) {
        if (keyLines.empty()) continue;
        if (!out.isEmpty()) out += eol;
        out += header + eol;
        for (const QByteArray& l : keyLines) out += l + eol;
    }
    return out;
}

// Writes the values into the file (made when missing) in one replacement.
// A full disk is Disk full (61); anything else that keeps the store from
// being written is Path/File access error (75).
void writeValues(const QString& path, const std::vector<std::array<QString, 3>>& values) {
    QFile file(path);
    QByteArray old;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) Raise(ErrPathFileAccess);
        old = file.readAll();
        file.close();
    }
    try {
        WriteFileReplacing(path, spliced(old, escapedLines(values)));
    } catch (const RuntimeError& e) {
        if (e.number() == ErrDiskFull) throw;
        Raise(ErrPathFileAccess);
    }
}

}  // namespace

void SetSettingsDirectory(const QString& directory) {
    closeStores();
    overrideDir() = directory;
}

QString SettingsFilePath(const QString& application) {
    QString dir = overrideDir();
    if (dir.isEmpty()) {
        // As the desktop's rules have it: a relative (or empty) XDG_CONFIG_HOME
        // is ignored, else the store would move with the working folder.
        dir = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (dir.isEmpty() || QDir::isRelativePath(dir)) dir = QDir::homePath() + QStringLiteral("/.config");
    }
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
    writeValues(path, {{section, key, value}});
    store.settings.reset();  // read again, from what was written
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
    writeValues(path_, values);
    store.settings.reset();  // read again, from what was written
}

}  // namespace qvrt
