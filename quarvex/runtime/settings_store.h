// The per-user settings store: text values by application, section and key,
// kept between runs in an INI file "<application>.ini" in the user's config
// folder ($XDG_CONFIG_HOME where that is an absolute path, else ~/.config).
#pragma once

#include <QString>

namespace qvrt {

// The stored text, or defaultValue when the key is absent.
QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue = QString());
// Stores the text, creating the key when needed (at every place the file
// holds it). A store that cannot be written raises Disk full (61) when out
// of room, else Path/File access error (75). The file is read once and
// kept open; a file changed by another program since is read again.
void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value);

// Writes made while a batch lives are kept in memory and reach the file
// once, at Commit (which raises as SaveSetting does), so a large store is
// not rewritten for every key.
class SettingsBatch {
public:
    explicit SettingsBatch(const QString& application);
    ~SettingsBatch();
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;
    void Commit();

private:
    QString path_;
    bool committed_ = false;
};

// The file that holds an application's settings.
QString SettingsFilePath(const QString& application);
// Tests point the store at a folder of their own; empty restores the default.
void SetSettingsDirectory(const QString& directory);

}  // namespace qvrt
