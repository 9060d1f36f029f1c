#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/settings_store.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qvrt;

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
