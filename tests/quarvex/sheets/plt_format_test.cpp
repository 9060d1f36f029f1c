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

// A UTF-16 file's lines are counted in units, as its text has them: a c
// with caron (0x010D) holds a CR byte and a CR LF is four bytes; a file
// beginning with only one byte of a mark is counted byte by byte.
TEST(PltFile, CountsTheLinesOfAUtf16FileAsItsTextHasThemInAnyPieces) {
    const QByteArray files[] = {
        QByteArray("\xFF\xFE" "a\0\r\0\n\0\x0D\x01\r\0\n\0", 14), QByteArray("\xFE\xFF\x01\x0D\0\n\x01\x0D", 8),
        QByteArray("\xFF\xFE" "x\0\r\0\x0A", 7), "\xFF\xFE", "\xFF", "\xFE\x0D\n", "\xFF\xFF\r\r",
    };
    for (const QByteArray& file : files) {
        const std::string_view bytes(file.constData(), static_cast<size_t>(file.size()));
        const SheetText text = SheetTextFromFile(file);
        const auto rows = static_cast<long long>(SplitPltLines(std::string_view(text.bytes.constData(), text.bytes.size())).size());
        for (size_t cut = 0; cut <= bytes.size(); ++cut) {
            quarvex::PltLineCounter counter;
            counter.Feed(bytes.substr(0, cut));
            counter.Feed(bytes.substr(cut));
            EXPECT_EQ(counter.Total(), rows) << file.toHex().constData() << " cut " << cut;
        }
    }
}

// What the sheet takes of a file: its form, and its text as cells are made from it.
TEST(PltFile, TakesAFileAsTheFormItsBytesShow) {
    const struct {
        QByteArray file;
        bool utf8;
        Utf16 utf16;
        QByteArray bytes;
        int widestLine;
    } cases[] = {
        // UTF-8 names and one Windows-1252 micro sign.
        {"\xC5\xBD\xC4\x8F\tSiO\xE2\x82\x82\t\xB5g", true, Utf16::No, "\xC5\xBD\xC4\x8F\tSiO\xE2\x82\x82\t\xC2\xB5g", 3},
        {"\xEF\xBB\xBF\xB5g\r\n", true, Utf16::No, "\xC2\xB5g\r\n", 1},
        // As many stray bytes as characters, or more: Windows-1252.
        {"Fe\xE9\x80\x81\xE9", false, Utf16::No, "Fe\xE9\x80\x81\xE9", 1},
        {"\x93\xC9T\xC9\x94", false, Utf16::No, "\x93\xC9T\xC9\x94", 1},
        {"\xC5\xBD\xED\xA0\x80", false, Utf16::No, "\xC5\xBD\xED\xA0\x80", 1},  // an encoded surrogate is no character
        // Units whose bytes are a tab or a line end are letters.
        {QByteArray("\xFF\xFE" "a\0\t\0\x09\x01\x0A\x01", 10), true, Utf16::LittleEnd, "a\t\xC4\x89\xC4\x8A", 2},
        {QByteArray("\xFE\xFF\0a\xD8\x3D\xDE\x00\0", 9), true, Utf16::BigEnd, "a\xF0\x9F\x98\x80\xEF\xBF\xBD", 1},
        {"\xFF\xFE", true, Utf16::LittleEnd, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toHex().constData());
        const SheetText text = SheetTextFromFile(c.file);
        EXPECT_EQ(text.utf8, c.utf8);
        EXPECT_EQ(text.utf16, c.utf16);
        EXPECT_EQ(text.bytes, c.bytes);
        EXPECT_EQ(text.widestLine, c.widestLine);
    }
}

// Written from the text it was read as, a UTF-16 file comes out as it was,
// a zero-width no-break space after its mark included.
TEST(PltFile, WritesAUtf16FileAsItWasRead) {
    const QByteArray files[] = {
        QByteArray("\xFF\xFE" "a\0\t\0\x0D\x01\r\0\n\0=\xD8\0\xDE", 16),
        QByteArray("\xFE\xFF\0a\0\n\xD8=\xDE\0", 10),
        QByteArray("\xFE\xFF\xFE\xFF\0x", 6),
        QByteArray("\xFF\xFE\xFF\xFE", 4),
    };
    for (const QByteArray& file : files) {
        const SheetText text = SheetTextFromFile(file);
        EXPECT_EQ(Utf16FileBytes(text.bytes, text.utf16), file) << file.toHex().constData();
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
