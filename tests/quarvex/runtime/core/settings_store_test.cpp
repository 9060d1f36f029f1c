#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/settings_store.h"

#include "quarvex/sheets/file_limits.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>

using namespace qvrt;

namespace {

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(SettingsStore, AnAbsentKeyGivesTheDefaultAndAWrittenOneItsText) {
    QTemporaryDir dir;
    SetSettingsDirectory(dir.path());
    EXPECT_EQ(GetSetting("Quarvex", "Options", "SampleCol", "1"), "1");
    SaveSetting("Quarvex", "Options", "SampleCol", "9");
    SaveSetting("Quarvex", "Files", "File1", "/home/u/a b.plt");
    EXPECT_EQ(GetSetting("Quarvex", "Options", "SampleCol", "1"), "9");
    EXPECT_EQ(GetSetting("Quarvex", "Files", "File1"), "/home/u/a b.plt");
    // Other applications and sections are kept apart.
    EXPECT_EQ(GetSetting("Other", "Options", "SampleCol", "x"), "x");
    EXPECT_EQ(GetSetting("Quarvex", "Fonts", "SampleCol", "y"), "y");
    EXPECT_TRUE(QFile::exists(dir.filePath("Quarvex.ini")));
    SetSettingsDirectory(QString());
}

// Qt's INI form takes a plain [General] for the keys outside any section.
TEST(SettingsStore, ASectionNamedGeneralIsASectionLikeAnyOther) {
    QTemporaryDir dir;
    SetSettingsDirectory(dir.path());
    SaveSetting("Quarvex", "General", "Grid", "-1");
    EXPECT_EQ(GetSetting("Quarvex", "General", "Grid", "<absent>"), "-1");
    EXPECT_EQ(GetSetting("Quarvex", "", "Grid", "<absent>"), "<absent>");
    SetSettingsDirectory(QString());
}

TEST(SettingsStore, AStoreThatCannotBeWrittenRaisesPathFileAccessError) {
    SetSettingsDirectory("/proc/no-such-place");
    try {
        SaveSetting("Quarvex", "Options", "Grid", "0");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), ErrPathFileAccess);
    }
    SetSettingsDirectory(QString());
}

TEST(CodePage, EveryByteRoundTripsThroughWindows1252) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    QString text = DecodeWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC));  // euro sign
    EXPECT_EQ(text[0xE9], QChar(0xE9));    // e acute
    EXPECT_EQ(text[0x9C], QChar(0x153));   // oe
    EXPECT_EQ(EncodeWindows1252(text), QByteArray(all.data(), 256));
    EXPECT_EQ(EncodeWindows1252(QString::fromUtf8("\xe2\x88\x9e")), "?");  // infinity sign has no byte
}

TEST(SettingsStore, AnyTextComesBackAsItWasStored) {
    // Recent files are paths, and a path may hold what the INI form treats
    // specially: commas (lists), a leading '@' (typed values), quotes,
    // semicolons, leading and trailing blanks.
    QTemporaryDir dir;
    SetSettingsDirectory(dir.path());
    const QStringList texts = {
        "/home/u/a,b.plt", "@Variant(x).plt", "\"quoted\".plt", "/d/x;y#z.plt", "C:\\DATA\\A.PLT",
        "  lead and trail  ", QString::fromUtf8("/home/u/r\xc3\xa9sum\xc3\xa9 \xe2\x82\xac.plt"), "a=b [c]", "",
    };
    for (int i = 0; i < texts.size(); ++i) SaveSetting("Quarvex", "Files", QStringLiteral("File%1").arg(i), texts[i]);
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(GetSetting("Quarvex", "Files", QStringLiteral("File%1").arg(i), "<absent>"), texts[i]) << i;
    SetSettingsDirectory(QString());
}

// Settings files as users' machines have them. The value written is the
// one the next start reads, wherever the file holds its key; everything
// else stays byte for byte; what interrupted saves left beside the file
// goes, and nothing else does.
TEST(SettingsStore, WhatTheExitWritesIsWhatTheNextStartReads) {
    const struct {
        const char* what;
        QByteArray file, written;
        QStringList beside, left;  // files beside it before, and those that stay
    } cases[] = {
        {"a section twice", "[Options]\nGrid=0\n; mine\n[Other]\nx=1\n[Options]\nGrid=0\nTables=-1\n",
         "[Options]\nGrid=-1\n; mine\n[Other]\nx=1\n[Options]\nGrid=-1\nTables=-1\n", {}, {}},
        {"a key twice, after a mark", "\xEF\xBB\xBF[Options]\r\nGrid=0\r\nGrid=0\r\n",
         "\xEF\xBB\xBF[Options]\r\nGrid=-1\r\nGrid=-1\r\n", {}, {}},
        {"a key the file lacks joins its section's last occurrence", "[Options]\nTables=0\n\n[Options]\nSize=Large\n\n[x]\n",
         "[Options]\nTables=0\n\n[Options]\nSize=Large\nGrid=-1\n\n[x]\n", {}, {}},
        {"no file yet", "", "[Options]\nGrid=-1\n", {}, {}},
        {"a CR LF file's section", "[Options]\r\nTables=0\r\n\r\n[x]\r\n",
         "[Options]\r\nTables=0\r\nGrid=-1\r\n\r\n[x]\r\n", {}, {}},
        {"a CR LF file without the section, its last line unended", "\xEF\xBB\xBF[x]\r\ny=1",
         "\xEF\xBB\xBF[x]\r\ny=1\r\n\r\n[Options]\r\nGrid=-1\r\n", {}, {}},
        {"temporary files", "[Options]\nGrid=0\n", "[Options]\nGrid=-1\n",
         {".Quarvex.ini.quarvex-save-Ab12Cd", ".Quarvex.ini.Ab12Cd", ".Quarvex.ini.quarvex-save-locked"},
         {".Quarvex.ini.Ab12Cd", ".Quarvex.ini.quarvex-save-locked"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath("Quarvex.ini");
        if (!c.file.isEmpty()) writeAll(path, c.file);
        std::vector<int> held;
        for (const QString& name : c.beside) {
            writeAll(dir.filePath(name), "left");
            // A save still under way holds its temporary file locked.
            if (name.endsWith("locked")) {
                held.push_back(::open(QFile::encodeName(dir.filePath(name)).constData(), O_RDONLY));
                ::flock(held.back(), LOCK_EX);
            }
        }
        SetSettingsDirectory(dir.path());
        SettingsBatch batch("Quarvex");
        SaveSetting("Quarvex", "Options", "Grid", "-1");
        batch.Commit();
        for (int fd : held) ::close(fd);
        EXPECT_EQ(readAll(path), c.written);
        SetSettingsDirectory(dir.path());
        EXPECT_EQ(GetSetting("Quarvex", "Options", "Grid"), "-1");
        QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        left.removeOne("Quarvex.ini");
        EXPECT_EQ(left, c.left);
    }
    SetSettingsDirectory(QString());
}

TEST(SettingsStore, ARelativeConfigHomeIsIgnoredAndAFullDiskSaysSo) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char* config : {"settings", "", "/abs/conf"}) {
        qputenv("XDG_CONFIG_HOME", config);
        SetSettingsDirectory(QString());
        EXPECT_EQ(SettingsFilePath("Quarvex"),
                  *config == '/' ? QString("/abs/conf/Quarvex.ini") : home.path() + "/.config/Quarvex.ini")
            << config;
    }
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);

    QTemporaryDir dir;
    SetSettingsDirectory(dir.path());
    {
        FileSizeLimit limit(4);
        ASSERT_TRUE(limit.ok());
        try {
            SaveSetting("Quarvex", "Options", "Grid", "-1");
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), ErrDiskFull);
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    SetSettingsDirectory(QString());
}
