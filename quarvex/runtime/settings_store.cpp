#include "quarvex/runtime/settings_store.h"

#include "quarvex/runtime/errors.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace qvrt {

namespace {

QString& overrideDir() {
    static QString dir;
    return dir;
}

QString groupKey(const QString& section, const QString& key) { return section + u'/' + key; }

}  // namespace

void SetSettingsDirectory(const QString& directory) { overrideDir() = directory; }

QString SettingsFilePath(const QString& application) {
    QString dir = overrideDir();
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(dir).filePath(application + QStringLiteral(".ini"));
}

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue) {
    QSettings s(SettingsFilePath(application), QSettings::IniFormat);
    QVariant v = s.value(groupKey(section, key));
    return v.isValid() ? v.toString() : defaultValue;
}

void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value) {
    QString path = SettingsFilePath(application);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings s(path, QSettings::IniFormat);
    s.setValue(groupKey(section, key), value);
    s.sync();
    if (s.status() != QSettings::NoError) Raise(ErrPathFileAccess);
}

}  // namespace qvrt
