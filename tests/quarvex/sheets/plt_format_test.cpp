#include "quarvex/runtime/errors.h"
#include "quarvex/sheets/file_limits.h"
#include "quarvex/sheets/plt_format.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quarvex;
using Lines = std::vector<std::string_view>;

namespace {

int errorOf(auto&& f) {
    try {
        f();
    } catch (const qvrt::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(PltFile, SplitsLinesAtCrLfCrAloneAndLfAlone) {
    EXPECT_EQ(SplitPltLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitPltLines("a\rb\rc\r"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(SplitPltLines("a\nb\r\nc\rd"), (Lines{"a", "b", "c", "d"}));
}

TEST(PltFile, ReadsALastLineWithoutItsEnd) {
    EXPECT_EQ(SplitPltLines("a\r\nlast"), (Lines{"a", "last"}));
}

TEST(PltFile, AnEmptyFileHasNoLinesAndEmptyLinesCount) {
    EXPECT_TRUE(SplitPltLines("").empty());
    EXPECT_EQ(SplitPltLines("\r\n\r\nx\r\n"), (Lines{"", "", "x"}));
    EXPECT_EQ(SplitPltLines("\r\r"), (Lines{"", ""}));
}

// The count taken while reading must be the rows the sheet will get, also
// when a CR LF falls across two reads.
TEST(PltFile, CountsLinesAsTheSplitDoesInAnyPieces) {
    for (std::string_view text : {"", "a", "a\r\nb\r\n", "\r\r", "\n\n\r\n", "a\rb\nc\r\nd", "\r\n\r", "x\n"}) {
        for (size_t cut = 0; cut <= text.size(); ++cut) {
            quarvex::PltLineCounter counter;
            counter.Feed(text.substr(0, cut));
            counter.Feed(text.substr(cut));
            EXPECT_EQ(counter.Total(), static_cast<long long>(SplitPltLines(text).size())) << text << " cut " << cut;
        }
    }
}

// A file that may be UTF-16 without a mark (its first two bytes one zero
// and one not) has both counts until it is known which it is.
TEST(PltFile, CountsAFileThatMayBeUtf16InItsUnitsAndInItsBytes) {
    const std::string_view text("a\0\r\0\n\0b\0\r\0", 10);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        quarvex::PltLineCounter counter;
        counter.Feed(text.substr(0, cut));
        counter.Feed(text.substr(cut));
        EXPECT_EQ(counter.Total(true), 2) << cut;
        EXPECT_EQ(counter.Total(), 4) << cut;
        EXPECT_EQ(counter.Ended(), 2) << cut;
    }
}

// Where the code of a file is guessed: UTF-8 beside stray Windows-1252
// bytes only with four times as many different characters, as often, all
// in Latin text's scripts or a script the file writes in; UTF-16 without a
// mark only with its ASCII every other byte zero.
TEST(PltFile, GuessesACodeOnlyBeyondDoubt) {
    const QByteArray four = "\xC5\xBD\xC4\x8F\xC3\xA1\xE2\x82\x82";  // Ž ď á ₂
    const struct {
        const char* what;
        QByteArray file;
        bool utf8;
        Utf16 utf16;
    } cases[] = {
        {"four characters, one stray byte", four + "\t\xB5g", true, Utf16::No},
        {"three characters, one stray byte", "\xC5\xBD\xC4\x8F\xC3\xA1\t\xB5g", false, Utf16::No},
        {"two kinds of stray byte", four + "Krak\xC3\xB3w\t\xB5\xB0", false, Utf16::No},
        {"one stray byte twice", four + "\xB5\xB5", false, Utf16::No},
        {"a pair repeated counts once", QByteArray("\xC4\x96 1\t").repeated(8) + "Br\xFCnn", false, Utf16::No},
        {"an Arabic sign in Latin text", four + "\xD8\x96" "12\tBr\xFCnn", false, Utf16::No},
        {"Cyrillic text", "\xD0\x9E\xD0\xB1\xD1\x80\xD0\xB0\xD0\xB7\xD0\xB5\xD1\x86\t\xB5g", true, Utf16::No},
        {"a C1 control", four + "\xC2\x80\tBr\xFCnn", false, Utf16::No},
        {"UTF-16LE", QByteArray("A\0\x3D\xD8\x00\xDE\t\0", 8), true, Utf16::LittleEnd},
        {"an odd size", QByteArray("A\0B", 3), false, Utf16::No},
        {"U+0000", QByteArray("A\0\0\0", 4), false, Utf16::No},
        {"a lone surrogate", QByteArray("A\0\x00\xD8", 4), false, Utf16::No},
        {"mostly beyond U+00FF", QByteArray("A\0\x2D\x4E\x87\x65", 6), false, Utf16::No},
        {"a line end out of step", QByteArray("A\0B\n", 4), false, Utf16::No},
    };
    for (const auto& c : cases) {
        const SheetText text = SheetTextFromFile(c.file);
        EXPECT_EQ(text.utf8, c.utf8) << c.what;
        EXPECT_EQ(text.utf16, c.utf16) << c.what;
    }
}

TEST(PltFile, KeepsNulBytesInsideALine) {
    const std::string bytes("a\0b\tc\r\n", 7);
    auto lines = SplitPltLines(bytes);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string_view("a\0b\tc", 5));
    EXPECT_EQ(DecodePltLine(lines[0]), QString::fromUtf16(u"a\u0000b\tc", 5));
}

TEST(PltFile, ALineIsCutAfterItsFiftiethField) {
    std::string line;
    for (int i = 1; i <= 52; ++i) line += (i > 1 ? "\t" : "") + std::to_string(i);
    QString decoded = DecodePltLine(line);
    QStringList fields = decoded.split(u'\t');
    ASSERT_EQ(fields.size(), 50);
    EXPECT_EQ(fields.last(), "50");
    // Fifty fields exactly, the last one empty, stay fifty.
    std::string fifty(49, '\t');
    EXPECT_EQ(DecodePltLine(fifty).count(u'\t'), 49);
}

TEST(PltFile, DecodesWindows1252) {
    EXPECT_EQ(DecodePltLine("Fe\xe9\x80"), QString::fromUtf8("Fe\xc3\xa9\xe2\x82\xac"));
}

TEST(PltFile, HandlesAMegabyteLine) {
    std::string big(1 << 20, 'x');
    big += "\tend\r\nnext";
    auto lines = SplitPltLines(big);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(DecodePltLine(lines[0]).size(), (1 << 20) + 4);
}

class PltFileIo : public ::testing::Test {
protected:
    QString path(const QString& n) const { return dir.filePath(n); }
    void write(const QString& p, const QByteArray& b) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
    }
    QTemporaryDir dir;
};

TEST_F(PltFileIo, ReadsAFileWhole) {
    write(path("a.plt"), QByteArray("x\ty\r\n", 5));
    EXPECT_EQ(ReadDataFile(path("a.plt")), QByteArray("x\ty\r\n"));
}

TEST_F(PltFileIo, ReportsMissingFilesFoldersAndDevices) {
    EXPECT_EQ(errorOf([&] { ReadDataFile(path("none.plt")); }), qvrt::ErrFileNotFound);
    EXPECT_EQ(errorOf([&] { ReadDataFile(path("no/none.plt")); }), qvrt::ErrPathNotFound);
    EXPECT_EQ(errorOf([&] { ReadDataFile(dir.path()); }), qvrt::ErrPathFileAccess);
    EXPECT_EQ(errorOf([&] { ReadDataFile("/dev/full"); }), qvrt::ErrPathFileAccess);
    EXPECT_EQ(errorOf([&] { ReadDataFile("/dev/zero"); }), qvrt::ErrPathFileAccess);
    EXPECT_EQ(errorOf([&] { ReadDataFile(""); }), qvrt::ErrFileNotFound);
}

TEST_F(PltFileIo, ReportsAFileWithoutReadPermission) {
    write(path("secret.plt"), "x");
    ::chmod(QFile::encodeName(path("secret.plt")).constData(), 0);
    AsOrdinaryUser::openFolder(dir.path());
    AsOrdinaryUser user;
    if (!user.ok()) GTEST_SKIP() << "cannot run as an ordinary user here";
    EXPECT_EQ(errorOf([&] { ReadDataFile(path("secret.plt")); }), qvrt::ErrPathFileAccess);
}

TEST_F(PltFileIo, ReplacesAFileAndLeavesNoTemporaryFileBehind) {
    write(path("a.plt"), "old");
    ::chmod(QFile::encodeName(path("a.plt")).constData(), 0640);
    WriteFileReplacing(path("a.plt"), "new\r\n");
    QFile f(path("a.plt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "new\r\n");
    struct stat st {};
    ::stat(QFile::encodeName(path("a.plt")).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(PltFileIo, AFullDiskReportsDiskFullAndLeavesTheDeviceAlone) {
    EXPECT_EQ(errorOf([&] { WriteFileReplacing("/dev/full", "data\r\n"); }), qvrt::ErrDiskFull);
    struct stat st {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(PltFileIo, WritingIntoAMissingFolderOrOverAFolderFails) {
    EXPECT_EQ(errorOf([&] { WriteFileReplacing(path("no/a.plt"), "x"); }), qvrt::ErrPathNotFound);
    EXPECT_EQ(errorOf([&] { WriteFileReplacing(dir.path(), "x"); }), qvrt::ErrPathFileAccess);
    EXPECT_EQ(errorOf([&] { WriteFileReplacing("", "x"); }), qvrt::ErrInvalidFileName);
}

TEST_F(PltFileIo, AReadOnlyFileKeepsItsContents) {
    write(path("ro.plt"), "keep");
    ::chmod(QFile::encodeName(path("ro.plt")).constData(), 0444);
    AsOrdinaryUser::openFolder(dir.path());
    {
        AsOrdinaryUser user;
        if (!user.ok()) GTEST_SKIP() << "cannot run as an ordinary user here";
        EXPECT_EQ(errorOf([&] { WriteFileReplacing(path("ro.plt"), "x"); }), qvrt::ErrPathFileAccess);
    }
    EXPECT_EQ(ReadDataFile(path("ro.plt")), "keep");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(PltFileIo, AFileInAFolderWeMayNotWriteIsWrittenInPlaceOnlyWhenItFitsWhole) {
    // The file itself is writable, but no temporary file can be made beside it.
    write(path("f.plt"), "keep");
    ::chmod(QFile::encodeName(path("f.plt")).constData(), 0666);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
    int tooBig = 0;
    {
        AsOrdinaryUser user;
        if (!user.ok()) GTEST_SKIP() << "cannot run as an ordinary user here";
        EXPECT_EQ(errorOf([&] { WriteFileReplacing(path("f.plt"), "new"); }), 0);
        FileSizeLimit limit(4096);
        tooBig = errorOf([&] { WriteFileReplacing(path("f.plt"), QByteArray(64 * 1024, 'x')); });
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_EQ(tooBig, qvrt::ErrDiskFull);
    EXPECT_EQ(ReadDataFile(path("f.plt")), "new");
}

TEST_F(PltFileIo, ADiskThatFillsDuringTheWriteLeavesTheOldFileAndNoTemporaryFile) {
    write(path("a.plt"), "old\r\n");
    const QByteArray big(256 * 1024, 'x');
    int error = 0;
    {
        FileSizeLimit limit(64 * 1024);
        if (!limit.ok()) GTEST_SKIP() << "no file-size limit here";
        error = errorOf([&] { WriteFileReplacing(path("a.plt"), big); });
    }
    EXPECT_EQ(error, qvrt::ErrDiskFull);
    EXPECT_EQ(ReadDataFile(path("a.plt")), "old\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.plt"});
}

TEST_F(PltFileIo, SavingThroughALinkWritesItsTargetAndKeepsTheLink) {
    write(path("real.plt"), "old");
    ASSERT_TRUE(QFile::link(path("real.plt"), path("link.plt")));
    WriteFileReplacing(path("link.plt"), "new");
    EXPECT_TRUE(QFileInfo(path("link.plt")).isSymLink());
    EXPECT_EQ(ReadDataFile(path("real.plt")), "new");
}
