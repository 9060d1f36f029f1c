#include "quarvex/frame/frame_fixture.h"
#include "quarvex/sheets/plt_file.h"
#include "quarvex/sheets/plt_format.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/painter_surface.h"

#include "quarvex/sheets/file_limits.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QStringEncoder>
#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

using namespace quarvex;

namespace {

QByteArray linesOf(int n) {
    QByteArray b;
    for (int i = 1; i <= n; ++i) b += QByteArray::number(i) + "\tx\r\n";
    return b;
}

}  // namespace

class PltFileTest : public FrameTest {
protected:
    Main1* load(const QString& p) {
        CurrentFileName = p;
        MODULE21::LoadDataFile();
        return active();
    }
};

TEST_F(PltFileTest, ALoadedSheetTakesTheNextIndexAndCarriesThePathInItsCaption) {
    writeAll(path("A.PLT"), "SiO2\tTiO2\r\n50.1\t1.2\r\n");
    start();
    frame->mnuNew_Click();
    Main1* sheet = load(path("A.PLT"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->Caption(), "Sheet3-" + path("A.PLT"));
    EXPECT_EQ(sheet->Tag, "3");
    EXPECT_EQ(sheet->Grid1->GetText(1, 1), "SiO2");
    EXPECT_EQ(sheet->Grid1->GetText(2, 2), "1.2");
    EXPECT_EQ(sheet->Record().Modified, 0);
    EXPECT_EQ(sheet->Record().Saved, 0);
    EXPECT_EQ(sheet->Record().IsOpen, -1);
    EXPECT_EQ(sheet->Record().DiagramType, "Not Defined");
    EXPECT_EQ(frame->FileUpdateCaption(0), path("A.PLT"));
    EXPECT_EQ(host->MousePointer(), qvrt::vbDefault);
    frame->mnuNew_Click();
    EXPECT_EQ(active()->Tag, "4");
}

TEST_F(PltFileTest, AFileOf15001LinesGivesASheetOf15001Rows) {
    writeAll(path("long.plt"), linesOf(15001));
    writeAll(path("full.plt"), linesOf(15000));
    start();
    Main1* sheet = load(path("long.plt"));
    EXPECT_EQ(sheet->Grid1->MaxRows(), 15001);
    EXPECT_EQ(sheet->Grid1->GetText(1, 15001), "15001");
    EXPECT_EQ(load(path("full.plt"))->Grid1->MaxRows(), 15000);
}

// The real limit (a million rows) is opened by the plt_file bench; here a
// lower one stands in for it.
TEST_F(PltFileTest, AFileLongerThanASheetMayBeIsRefusedBeforeAnySheetIsMade) {
    struct Limit {
        Limit() { SetPltRowLimit(20000); }
        ~Limit() { SetPltRowLimit(kPltMaxRows); }
    } limit;
    writeAll(path("over.plt"), linesOf(20000) + "last line without its end");
    writeAll(path("at.plt"), linesOf(20000));
    start();
    load(path("over.plt"));
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "The file has more than 20,000 lines, the most rows a sheet can hold.");
    EXPECT_EQ(host->boxes[0].title, "Open File Error");
    EXPECT_EQ(WindowTable.size(), 2u);
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(frame->FileUpdateCaption(0), "");
    EXPECT_EQ(host->MousePointer(), qvrt::vbDefault);

    Main1* sheet = load(path("at.plt"));
    EXPECT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(sheet->Grid1->MaxRows(), 20000);
    EXPECT_EQ(sheet->Grid1->GetText(1, 20000), "20000");
}

TEST_F(PltFileTest, AnEmptyFileGivesAnEmptySheetThatIsStillTheFirstRecentFile) {
    writeAll(path("empty.plt"), "");
    start();
    Main1* sheet = load(path("empty.plt"));
    EXPECT_EQ(sheet->Caption(), "Sheet2-" + path("empty.plt"));
    EXPECT_EQ(sheet->Grid1->MaxRows(), 15000);
    EXPECT_EQ(sheet->Grid1->CellCount(), 0);
    EXPECT_EQ(frame->FileUpdateCaption(0), path("empty.plt"));
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(PltFileTest, ReadsCrOnlyAndMixedLineEnds) {
    writeAll(path("cr.plt"), "a\rb\r\nc\nd");
    start();
    Main1* sheet = load(path("cr.plt"));
    EXPECT_EQ(sheet->Grid1->GetText(1, 1), "a");
    EXPECT_EQ(sheet->Grid1->GetText(1, 2), "b");
    EXPECT_EQ(sheet->Grid1->GetText(1, 3), "c");
    EXPECT_EQ(sheet->Grid1->GetText(1, 4), "d");
    EXPECT_EQ(sheet->Grid1->CellCount(), 4);
}

TEST_F(PltFileTest, TheFiftyFirstFieldHasNoCell) {
    QByteArray line;
    for (int i = 1; i <= 51; ++i) line += (i > 1 ? "\t" : "") + QByteArray::number(i);
    writeAll(path("wide.plt"), line + "\r\nshort\r\n");
    start();
    Main1* sheet = load(path("wide.plt"));
    EXPECT_EQ(sheet->Grid1->GetText(50, 1), "50");
    EXPECT_EQ(sheet->Grid1->CellCount(), 51);  // 50 of the wide line, 1 of the short one
    EXPECT_EQ(sheet->Grid1->GetText(2, 2), "");
}

TEST_F(PltFileTest, Windows1252BytesRoundTripUnchangedThroughOpenAndSave) {
    // Not UTF-8 (the last "\xe9" starts no sequence), so read as Windows-1252.
    QByteArray bytes("Fe\xe9\x80\x81\xe9\tx\x00y\r\n\r\n1\t\t3\r\n", 20);
    writeAll(path("w.plt"), bytes);
    start();
    Main1* sheet = load(path("w.plt"));
    EXPECT_EQ(sheet->Grid1->GetText(1, 1), QString::fromUtf8("Fe\xc3\xa9\xe2\x82\xac\xc2\x81\xc3\xa9"));
    host->fileAnswers = {path("copy.plt")};
    ASSERT_TRUE(MODULE21::SaveDataFileAs());
    EXPECT_EQ(readAll(path("copy.plt")), bytes);
}

TEST_F(PltFileTest, AMissingFileReportsOpenFileErrorAndMakesNoSheet) {
    start();
    load(path("gone.plt"));
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "File not found");
    EXPECT_EQ(host->boxes[0].title, "Open File Error");
    EXPECT_EQ(host->boxes[0].style, qvrt::vbExclamation);
    EXPECT_EQ(WindowTable.size(), 2u);
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(frame->FileUpdateCaption(0), "");
    EXPECT_EQ(host->MousePointer(), qvrt::vbDefault);
}

TEST_F(PltFileTest, AFolderOrADeviceIsNotOpenedAsASheet) {
    start();
    load(files.path());
    load("/dev/full");
    ASSERT_EQ(host->boxes.size(), 2u);
    EXPECT_EQ(host->boxes[0].prompt, "Path/File access error");
    EXPECT_EQ(host->boxes[1].title, "Open File Error");
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
}

TEST_F(PltFileTest, AnEmptyRecentEntryFailsBeforeAnySheetIsMade) {
    start();
    frame->mnuFileUpdate_Click(2);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Open File Error");
    EXPECT_EQ(WindowTable.size(), 2u);
}

TEST_F(PltFileTest, OpenUsesTheDialogAndACancelShowsNothing) {
    writeAll(path("o.plt"), "1\r\n");
    start();
    host->fileAnswers = {std::nullopt, path("o.plt")};
    frame->mnuOpen_Click();
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(WindowTable.size(), 2u);
    frame->mnuOpen_Click();
    ASSERT_EQ(host->dialogs.size(), 2u);
    EXPECT_EQ(host->dialogs[1].kind, "Open");
    EXPECT_EQ(host->dialogs[1].flags, 6146);
    EXPECT_EQ(host->dialogs[1].filter, "Quarvex file (*.plt)|*.plt|All Files (*.*)|*.*");
    EXPECT_EQ(active()->Caption(), "Sheet2-" + path("o.plt"));
}

TEST_F(PltFileTest, OpeningTheSameFileTwiceGivesTwoNumberedSheets) {
    writeAll(path("t.plt"), "1\r\n");
    start();
    EXPECT_EQ(load(path("t.plt"))->Caption(), "Sheet2-" + path("t.plt"));
    EXPECT_EQ(load(path("t.plt"))->Caption(), "Sheet3-" + path("t.plt"));
    EXPECT_EQ(frame->FileUpdateCaption(1), "");  // the list holds the name once
}

TEST_F(PltFileTest, SaveWritesTheFileInTheCaptionAndClearsModified) {
    writeAll(path("s.plt"), "a\tb\r\n");
    start();
    Main1* sheet = load(path("s.plt"));
    sheet->Grid1->SetText(3, 2, "c");
    sheet->Record().Modified = -1;
    frame->mnuSave_Click();
    EXPECT_EQ(readAll(path("s.plt")), "a\tb\r\n\t\tc\r\n");
    EXPECT_EQ(sheet->Record().Modified, 0);
    EXPECT_EQ(sheet->Record().Saved, -1);
    EXPECT_EQ(sheet->Caption(), "Sheet2-" + path("s.plt"));
    EXPECT_TRUE(host->dialogs.empty());
}

TEST_F(PltFileTest, SavingASheetWithoutAFileOpensSaveAsAndACancelWritesNothing) {
    start();
    active()->Record().Modified = -1;
    frame->mnuSave_Click();
    ASSERT_EQ(host->dialogs.size(), 1u);
    EXPECT_EQ(host->dialogs[0].kind, "Save");
    EXPECT_EQ(host->dialogs[0].flags, 2050);
    EXPECT_EQ(host->dialogs[0].filter, "Quarvex file (*.plt)|*.plt|Tab delim ASCII (*.*)|*.*");
    EXPECT_EQ(active()->Record().Modified, -1);
    EXPECT_EQ(active()->Record().SaveCancelled, -1);
    EXPECT_EQ(DialogCancelled, -1);
    EXPECT_EQ(active()->Caption(), "Sheet1-");
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(PltFileTest, SaveAsRewritesThePathInTheCaptionAndKeepsTheName) {
    writeAll(path("OLD.PLT"), "old\r\n");
    start();
    frame->mnuNew_Click();
    frame->mnuNew_Click();
    Main1* sheet = load(path("OLD.PLT"));
    ASSERT_EQ(sheet->Caption(), "Sheet4-" + path("OLD.PLT"));
    host->fileAnswers = {path("NEW")};
    frame->mnuSaveAs_Click();
    EXPECT_EQ(sheet->Caption(), "Sheet4-" + path("NEW"));
    EXPECT_EQ(readAll(path("NEW")), "old\r\n");  // written without an extension added
    EXPECT_EQ(readAll(path("OLD.PLT")), "old\r\n");
    EXPECT_EQ(frame->FileUpdateCaption(0), path("NEW"));
    EXPECT_EQ(frame->FileUpdateCaption(1), path("OLD.PLT"));
    EXPECT_EQ(sheet->Record().Modified, 0);
    EXPECT_EQ(sheet->Record().SaveCancelled, 0);
    // Later saves go to the new file.
    sheet->Grid1->SetText(1, 1, "new");
    frame->mnuSave_Click();
    EXPECT_EQ(readAll(path("NEW")), "new\r\n");
}

TEST_F(PltFileTest, AFailedSaveReportsSaveFileErrorAndKeepsTheSheetModified) {
    start();
    Main1* sheet = active();
    sheet->setCaption("Sheet1-/dev/full");
    sheet->Grid1->SetText(1, 1, "x");
    sheet->Record().Modified = -1;
    EXPECT_FALSE(MODULE21::SaveDataFile());
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Disk full");
    EXPECT_EQ(host->boxes[0].title, "Save File Error");
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_EQ(host->MousePointer(), qvrt::vbDefault);
}

TEST_F(PltFileTest, SaveAsIntoAMissingFolderAsksAgain) {
    start();
    host->fileAnswers = {path("no/such/x.plt"), path("x.plt")};
    EXPECT_TRUE(MODULE21::SaveDataFileAs());
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Path not found. Enter correct path.");
    EXPECT_EQ(host->boxes[0].title, "Error");
    EXPECT_EQ(host->dialogs.size(), 2u);
    EXPECT_EQ(active()->Caption(), "Sheet1-" + path("x.plt"));
}

TEST_F(PltFileTest, SaveAsToAFullDiskReportsAndLeavesTheSheetUnsaved) {
    start();
    active()->Grid1->SetText(1, 1, "x");
    active()->Record().Modified = -1;
    host->fileAnswers = {QString("/dev/full")};
    EXPECT_FALSE(MODULE21::SaveDataFileAs());
    EXPECT_EQ(host->boxes.back().title, "Save File Error");
    EXPECT_EQ(active()->Record().SaveCancelled, -1);
    EXPECT_EQ(active()->Record().Modified, -1);
    EXPECT_EQ(active()->Caption(), "Sheet1-");
}

TEST(RecentFiles, RotatesAsTheListSays) {
    const std::array<QString, 4> l = {"a", "b", "c", "d"};
    EXPECT_EQ(RotateRecentFiles(l, "a"), l);
    EXPECT_EQ(RotateRecentFiles(l, "b"), (std::array<QString, 4>{"b", "a", "c", "d"}));
    EXPECT_EQ(RotateRecentFiles(l, "c"), (std::array<QString, 4>{"c", "a", "b", "d"}));
    EXPECT_EQ(RotateRecentFiles(l, "d"), (std::array<QString, 4>{"d", "a", "b", "c"}));
    EXPECT_EQ(RotateRecentFiles(l, "e"), (std::array<QString, 4>{"e", "a", "b", "c"}));
}

TEST(RecentFiles, LetterCaseMakesADifferentFile) {
    const std::array<QString, 4> l = {"/x/A.PLT", "b", "c", "d"};
    EXPECT_EQ(RotateRecentFiles(l, "/x/a.plt"), (std::array<QString, 4>{"/x/a.plt", "/x/A.PLT", "b", "c"}));
}

TEST_F(PltFileTest, OpeningTheThirdRecentFileMovesItToTheTop) {
    for (const char* n : {"1.plt", "2.plt", "3.plt"}) writeAll(path(n), "x\r\n");
    store("Files", "File1", path("1.plt"));
    store("Files", "File2", path("2.plt"));
    store("Files", "File3", path("3.plt"));
    store("Files", "File4", path("4.plt"));
    start();
    frame->mnuFileUpdate_Click(2);
    EXPECT_EQ(frame->FileUpdateCaption(0), path("3.plt"));
    EXPECT_EQ(frame->FileUpdateCaption(1), path("1.plt"));
    EXPECT_EQ(frame->FileUpdateCaption(2), path("2.plt"));
    EXPECT_EQ(frame->FileUpdateCaption(3), path("4.plt"));
    EXPECT_EQ(RecentFiles[1], path("3.plt"));
    EXPECT_EQ(active()->Caption(), "Sheet2-" + path("3.plt"));
}

TEST_F(PltFileTest, ALoadThatCannotGetASheetIndexReportsOverflowAndMakesNoSheet) {
    writeAll(path("a.plt"), "1\r\n");
    start();
    WindowTable.resize(32768);
    DataWindows.resize(32768);
    load(path("a.plt"));
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Overflow");
    EXPECT_EQ(host->boxes[0].title, "Open File Error");
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(frame->FileUpdateCaption(0), "");
}

TEST_F(PltFileTest, AMegabyteLineAndABinaryFileOpenWithoutHarm) {
    QByteArray big(1 << 20, 'x');
    writeAll(path("big.plt"), big + "\tend\r\n");
    QByteArray binary;
    for (int i = 0; i < 65536; ++i) binary += char((i * 7919) % 256);
    writeAll(path("bin.plt"), binary);
    start();
    Main1* sheet = load(path("big.plt"));
    EXPECT_EQ(sheet->Grid1->GetText(1, 1).size(), 1 << 20);
    EXPECT_EQ(sheet->Grid1->GetText(2, 1), "end");
    Main1* bin = load(path("bin.plt"));
    EXPECT_EQ(bin->Caption(), "Sheet3-" + path("bin.plt"));
    EXPECT_GT(bin->Grid1->CellCount(), 0);
    EXPECT_TRUE(host->boxes.empty());
}

// Files the user may not read or write, and writes that run out of room.
class PltFileLimitsTest : public PltFileTest {
protected:
    void SetUp() override {
        PltFileTest::SetUp();
        AsOrdinaryUser::openFolder(files.path());
    }
};

TEST_F(PltFileLimitsTest, AFileWithoutReadPermissionIsReportedAndMakesNoSheet) {
    writeAll(path("secret.plt"), "x\r\n");
    ::chmod(QFile::encodeName(path("secret.plt")).constData(), 0);
    start();
    {
        AsOrdinaryUser user;
        if (!user.ok()) GTEST_SKIP() << "cannot run as an ordinary user here";
        load(path("secret.plt"));
    }
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Path/File access error");
    EXPECT_EQ(host->boxes[0].title, "Open File Error");
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(frame->FileUpdateCaption(0), "");
}

TEST_F(PltFileLimitsTest, SavingOverAReadOnlyFileKeepsItAndTheChanges) {
    writeAll(path("ro.plt"), "old\r\n");
    ::chmod(QFile::encodeName(path("ro.plt")).constData(), 0444);
    start();
    Main1* sheet = load(path("ro.plt"));
    sheet->Grid1->SetText(1, 1, "new");
    sheet->Record().Modified = -1;
    {
        AsOrdinaryUser user;
        if (!user.ok()) GTEST_SKIP() << "cannot run as an ordinary user here";
        EXPECT_FALSE(MODULE21::SaveDataFile());
        // Save As onto it says so and asks again; a cancel then ends it.
        host->fileAnswers = {path("ro.plt"), std::nullopt};
        EXPECT_FALSE(MODULE21::SaveDataFileAs());
    }
    ASSERT_EQ(host->boxes.size(), 2u);
    EXPECT_EQ(host->boxes[0].prompt, "Path/File access error");
    EXPECT_EQ(host->boxes[0].title, "Save File Error");
    EXPECT_EQ(host->boxes[1].prompt, "Path/File access error");
    EXPECT_EQ(host->boxes[1].title, "Error");
    EXPECT_EQ(host->dialogs.size(), 2u);
    EXPECT_EQ(DialogCancelled, -1);
    EXPECT_EQ(readAll(path("ro.plt")), "old\r\n");
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_EQ(sheet->Grid1->GetText(1, 1), "new");
}

TEST_F(PltFileLimitsTest, ASaveThatRunsOutOfRoomKeepsTheOldFileAndTheSheetModified) {
    writeAll(path("a.plt"), "old\r\n");
    start();
    Main1* sheet = load(path("a.plt"));
    sheet->Grid1->SetText(1, 1, QString(200 * 1024, u'x'));
    sheet->Record().Modified = -1;
    {
        FileSizeLimit limit(64 * 1024);
        if (!limit.ok()) GTEST_SKIP() << "no file-size limit here";
        EXPECT_FALSE(MODULE21::SaveDataFile());
    }
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Disk full");
    EXPECT_EQ(host->boxes[0].title, "Save File Error");
    EXPECT_EQ(readAll(path("a.plt")), "old\r\n");
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.plt"});
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_EQ(host->MousePointer(), qvrt::vbDefault);
}

// A socket cannot be opened as a file (ENXIO), which the runtime reports as a
// drive that is not ready: the question box then decides between another try
// and giving up.
TEST_F(PltFileTest, DiskNotReadyOnOpeningAsksAndOkTriesAgain) {
    const QString sock = path("drive.sock");
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(sock);
    if (native.size() >= static_cast<qsizetype>(sizeof addr.sun_path)) GTEST_SKIP() << "temporary path too long";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    std::memcpy(addr.sun_path, native.constData(), static_cast<size_t>(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    start();
    host->msgBoxAnswers = {qvrt::vbOK, qvrt::vbCancel};
    load(sock);
    ::close(fd);
    ASSERT_EQ(host->boxes.size(), 2u);
    for (const auto& b : host->boxes) {
        EXPECT_EQ(b.prompt, "Disk not ready.  Place diskette in correct drive.");
        EXPECT_EQ(b.style, qvrt::vbOKCancel + qvrt::vbQuestion);
        EXPECT_EQ(b.title, "Error");
    }
    EXPECT_EQ(MsgBoxAnswer, qvrt::vbCancel);
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(WindowTable.size(), 2u);
    EXPECT_EQ(host->MousePointer(), qvrt::vbDefault);
}

TEST_F(PltFileTest, DiskNotReadyOnSaveAsRetriesOnOkAndCancelGoesBackToTheDialog) {
    // A pipe nobody reads refuses a writer (ENXIO): a drive that is not ready.
    const QString fifo = path("drive.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    writeAll(path("ok.plt"), "");
    start();
    active()->Grid1->SetText(1, 1, "v");
    active()->Record().Modified = -1;
    host->msgBoxAnswers = {qvrt::vbOK, qvrt::vbCancel};
    host->fileAnswers = {fifo, path("ok.plt")};
    EXPECT_TRUE(MODULE21::SaveDataFileAs());
    ASSERT_EQ(host->boxes.size(), 2u);
    EXPECT_EQ(host->boxes[0].prompt, "Disk not ready.  Place diskette in correct drive.");
    EXPECT_EQ(host->boxes[1].style, qvrt::vbOKCancel + qvrt::vbQuestion);
    EXPECT_EQ(host->dialogs.size(), 2u);
    EXPECT_EQ(readAll(path("ok.plt")), "v\r\n");
    EXPECT_EQ(active()->Caption(), "Sheet1-" + path("ok.plt"));
    EXPECT_EQ(active()->Record().Modified, 0);
}

// Saves that reach the file meant: a name as long as the system allows, a
// file behind two links, one in a folder the user may not write; and a
// bitmap replaced on a disk that fills up.
TEST_F(PltFileLimitsTest, SavesReachTheFileMeantAndABitmapThatCannotBeWrittenWholeLeavesTheOldOne) {
    const QString longName = QString(248, u'g') + QStringLiteral(".plt");
    ASSERT_TRUE(QDir(files.path()).mkdir("locked"));
    writeAll(path("locked/f.plt"), "old\r\n");
    ::chmod(QFile::encodeName(path("locked/f.plt")).constData(), 0666);
    ::chmod(QFile::encodeName(path("locked")).constData(), 0555);
    writeAll(path("real.plt"), "old\r\n");
    ASSERT_TRUE(QFile::link(path("real.plt"), path("link1.plt")));
    ASSERT_TRUE(QFile::link(path("link1.plt"), path("link2.plt")));
    writeAll(path(longName), "old\r\n");
    const struct {
        QString opened, written;
        bool asUser;
    } cases[] = {{path(longName), path(longName), false},
                 {path("link2.plt"), path("real.plt"), false},
                 {path("locked/f.plt"), path("locked/f.plt"), true}};
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opened.toStdString());
        Main1* sheet = load(c.opened);
        sheet->Grid1->SetText(1, 1, "new");
        sheet->Record().Modified = -1;
        {
            std::optional<AsOrdinaryUser> user;
            if (c.asUser && !user.emplace().ok()) continue;
            EXPECT_TRUE(MODULE21::SaveDataFile());
        }
        EXPECT_EQ(readAll(c.written), "new\r\n");
    }
    EXPECT_TRUE(QFileInfo(path("link1.plt")).isSymLink());
    EXPECT_TRUE(QFileInfo(path("link2.plt")).isSymLink());
    for (const auto& b : host->boxes) ADD_FAILURE() << b.title.toStdString() << ": " << b.prompt.toStdString();

    qvrt::PictureSurface picture(QSize(400, 400));
    writeAll(path("old.bmp"), "BM old bitmap");
    {
        FileSizeLimit limit(4096);
        if (!limit.ok()) GTEST_SKIP() << "no file-size limit here";
        try {
            picture.SavePicture(path("old.bmp"));
            ADD_FAILURE() << "a bitmap larger than the disk holds was saved";
        } catch (const qvrt::RuntimeError& e) {
            EXPECT_EQ(e.number(), qvrt::ErrDiskFull);
        }
    }
    EXPECT_EQ(readAll(path("old.bmp")), "BM old bitmap");
}

// Files as other programs write them (UTF-8 with and without a mark, LF
// line ends as on Linux, and Windows-1252): an unchanged save gives the
// file back byte for byte, an edit keeps every character, the mark and the
// line ends, and a reopened file shows what was saved.
TEST_F(PltFileTest, FilesKeepEveryCharacterThroughOpenEditSaveAndReopen) {
    const QByteArray utf8Text = "Sample\tSiO\xE2\x82\x82\t\xE2\x81\xB8\xE2\x81\xB7Sr/\xE2\x81\xB8\xE2\x81\xB6Sr\n"
                                "1\t\xC5\xBD\xC4\x8F\xC3\xA1r\t10000569\xEF\xBC\x8F" "2014\xEF\xBC\x88" "01\xEF\xBC\x89\n";
    const struct {
        const char* name;
        QByteArray file;
        QString edit;  // typed into cell (2, 3)
        QByteArray saved;
    } cases[] = {
        {"mark.plt", "\xEF\xBB\xBF" + utf8Text, QString::fromUtf8("T\u0159eb\u00ED\u010D"),
         "\xEF\xBB\xBF" + utf8Text + "\tT\xC5\x99" "eb\xC3\xAD\xC4\x8D\n"},
        {"plain.plt", utf8Text, QString::fromUtf8("\u00B0C"), utf8Text + "\t\xC2\xB0" "C\n"},
        {"cp1252.plt", "Sample\tT \xB0" "C\r\n1\tTelet\xEDn\r\n", QString::fromUtf8("\u00E9\u20AC"),
         "Sample\tT \xB0" "C\r\n1\tTelet\xEDn\r\n\t\xE9\x80\r\n"},
        {"gains.plt", "Sample\tT \xB0" "C\r\n1\tTelet\xEDn\r\n", QString::fromUtf8("SiO\u2082"),
         "Sample\tT \xC2\xB0" "C\r\n1\tTelet\xC3\xADn\r\n\tSiO\xE2\x82\x82\r\n"},
    };
    start();
    auto texts = [](Main1* sheet) {
        sheet->Grid1->setRow(1), sheet->Grid1->setCol(1), sheet->Grid1->setRow2(3), sheet->Grid1->setCol2(3);
        return sheet->Grid1->Clip();
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(path(c.name), c.file);
        Main1* sheet = load(path(c.name));
        ASSERT_TRUE(MODULE21::SaveDataFile());
        EXPECT_EQ(readAll(path(c.name)), c.file);
        sheet->Grid1->SetText(2, 3, c.edit);
        sheet->Record().Modified = -1;
        ASSERT_TRUE(MODULE21::SaveDataFile());
        EXPECT_EQ(readAll(path(c.name)), c.saved);
        const QString shown = texts(sheet);
        EXPECT_TRUE(shown.contains(c.edit));
        EXPECT_FALSE(shown.contains(u'?'));
        EXPECT_EQ(texts(load(path(c.name))), shown);
    }
    // A file once saved as UTF-8 stays so when the wide character goes again.
    active()->Grid1->SetText(2, 3, "x");
    ASSERT_TRUE(MODULE21::SaveDataFile());
    EXPECT_EQ(readAll(path("gains.plt")), "Sample\tT \xC2\xB0" "C\r\n1\tTelet\xC3\xADn\r\n\tx\r\n");
    EXPECT_TRUE(host->boxes.empty());
}

// Tables made elsewhere: UTF-8 names with one Windows-1252 byte (0xB5, the
// micro sign), a spreadsheet's UTF-16 "Unicode text" in either byte order
// (the big-endian one's first cell begins with a zero-width no-break space)
// and a script's UTF-16 without a mark, a Windows-1252 file with a byte
// pair that looks like UTF-8, mixed line ends, and ASCII. Each opens showing its characters, saves unchanged byte
// for byte, and after an edit saves every character once, in the file's
// own form with its line ends, and reopens with the row limit at its four
// lines: a UTF-16 file's lines are counted in its units, not its bytes.
TEST_F(PltFileTest, TablesMadeElsewhereOpenAsWrittenAndSaveInTheirOwnForm) {
    struct Limit {
        Limit() { SetPltRowLimit(4); }
        ~Limit() { SetPltRowLimit(kPltMaxRows); }
    } limit;
    const auto utf16 = [](const QString& text, QStringConverter::Encoding order, bool mark = true) {
        return QByteArray(QStringEncoder(order, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default)(text));
    };
    const QString le = QString::fromUtf8("Sample\tSiO\u2082\t\U0001F600\r\n\u017D\u010F\u00E1r\tKrak\u00F3w\t\u00B5g/g\r\n");
    const QString be = QChar(0xFEFF) + QString(le).replace("\r\n", "\n");
    const QByteArray mixed = "Sample\tSiO\xE2\x82\x82\r\n\xC5\xBD\xC4\x8F\xC3\xA1r\tKrak\xC3\xB3w\t\xB5g/g\r\n";
    const QString town = QString::fromUtf8("\u017D\u010F\u00E1r");
    const QString edit = QString::fromUtf8("T\u0159eb\u00ED\u010D");  // 0x010D holds a CR byte
    const struct {
        const char* name;
        QByteArray file;
        int col, row;
        QString shown;  // that cell right after opening
        QString edit;   // typed into cell (2, 4)
        QByteArray saved;
        QString reopened = shown;  // that cell once saved after the edit
        QString typed = {};        // typed into (1, 4) and pasted into (3, 4) beside the edit
    } cases[] = {
        {"mixed.plt", mixed, 1, 2, town, edit,
         QByteArray(mixed).replace("\xB5", "\xC2\xB5") + "\r\n\tT\xC5\x99" "eb\xC3\xAD\xC4\x8D\r\n"},
        {"le.plt", utf16(le, QStringConverter::Utf16LE), 3, 1, QString::fromUtf8("\U0001F600"), edit,
         utf16(le + "\r\n\t" + edit + "\r\n", QStringConverter::Utf16LE)},
        {"be.plt", utf16(be, QStringConverter::Utf16BE), 1, 2, town, edit,
         utf16(be + "\n\t" + edit + "\n", QStringConverter::Utf16BE)},
        // Two of the letters (0xC9 0x94) would be a UTF-8 character, the rest are Windows-1252's.
        {"cp1252.plt", "\x93\xC9T\xC9\x94\tM\xFC" "ller\r\n", 1, 1, QString::fromUtf8("\u201C\u00C9T\u00C9\u201D"),
         QString::fromUtf8("\u00E9"), "\x93\xC9T\xC9\x94\tM\xFC" "ller\r\n\r\n\r\n\t\xE9\r\n"},
        {"ascii.plt", "Sample\tSiO2\r\n1\t2\r\n", 2, 1, "SiO2", "x", "Sample\tSiO2\r\n1\t2\r\n\r\n\tx\r\n"},
        {"be_bare.plt", utf16(le, QStringConverter::Utf16BE, false), 2, 2, QString::fromUtf8("Krak\u00F3w"), edit,
         utf16(le + "\r\n\t" + edit + "\r\n", QStringConverter::Utf16BE, false)},
        // Most lines end in LF; a file of one line without an end gets CR LF.
        {"ends.plt", "a\r\nb\nc\n", 1, 3, "c", "x", "a\nb\nc\n\tx\n"},
        // Read as Windows-1252 (too few UTF-8 letters to be sure), edited with a letter that
        // code lacks: the UTF-8 text stays, the stray byte becomes its letter in UTF-8.
        {"stray.plt", "Name\tSiO2\nKrak\xC3\xB3w \xC5\x81\xC3\xB3" "dz\t50.1\nBr\xFCnn\t52.3\n", 1, 2,
         QString::fromUtf8("Krak\u00C3\u00B3w \u00C5\u0081\u00C3\u00B3" "dz"), QString::fromUtf8("\u03B4" "18O"),
         "Name\tSiO2\nKrak\xC3\xB3w \xC5\x81\xC3\xB3" "dz\t50.1\nBr\xC3\xBCnn\t52.3\n"
         "\xC3\x83\xC2\xA9\t\xCE\xB4" "18O\t\xC3\x83\xC2\xA9\n",
         QString::fromUtf8("Krak\u00F3w \u0141\u00F3" "dz"), QString::fromUtf8("\u00C3\u00A9")},
        // Two Cyrillic letters are too few to be text of that script, a third typed later
        // changes nothing: every save writes them as their Windows-1252 characters.
        {"cyrillic.plt", "\xD0\xB6\xD0\xB8\t\xB5g\r\n", 1, 1, QString::fromUtf8("\u00D0\u00B6\u00D0\u00B8"),
         QString::fromUtf8("\u0434\u4E2D"), "\xC3\x90\xC2\xB6\xC3\x90\xC2\xB8\t\xC2\xB5g\r\n\r\n\r\n\t\xD0\xB4\xE4\xB8\xAD\r\n"},
        // Windows-1252 text whose letters form UTF-8 by chance beside stray bytes, or of a script
        // foreign to the file (0xD8 0x96, U+0616), keeps its letters.
        {"pairs.plt", "\x93\xC9T\xC9\x94\t\xD8\x96" "12\r\n", 1, 1, QString::fromUtf8("\u201C\u00C9T\u00C9\u201D"),
         QString::fromUtf8("\u03B4"), "\xE2\x80\x9C\xC3\x89T\xC3\x89\xE2\x80\x9D\t\xC3\x98\xE2\x80\x93" "12\r\n\r\n\r\n\t\xCE\xB4\r\n"},
    };
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(path(c.name), c.file);
        Main1* sheet = load(path(c.name));
        EXPECT_EQ(sheet->Grid1->GetText(c.col, c.row), c.shown);
        sheet->Grid1->SetText(3, 5, "changed");
        sheet->Grid1->SetText(3, 5, "");  // and back: still the file's own bytes
        const int last = sheet->Grid1->LastUsedRow();
        const QString lastText = sheet->Grid1->GetText(1, last);
        sheet->Grid1->SetText(1, last, "changed");
        sheet->Grid1->SetText(1, last, lastText);
        ASSERT_TRUE(MODULE21::SaveDataFile());
        EXPECT_EQ(readAll(path(c.name)), c.file);
        sheet->Grid1->SetText(2, 4, c.edit);
        sheet->Grid1->SetText(1, 4, c.typed);
        sheet->Grid1->setRow(4), sheet->Grid1->setCol(3), sheet->Grid1->setRow2(4), sheet->Grid1->setCol2(3);
        sheet->Grid1->setClip(c.typed);
        sheet->Record().Modified = -1;
        ASSERT_TRUE(MODULE21::SaveDataFile());
        EXPECT_EQ(readAll(path(c.name)), c.saved);
        Main1* again = load(path(c.name));
        EXPECT_NE(again, sheet);  // not refused as too long
        EXPECT_EQ(again->Grid1->GetText(2, 4), c.edit);
        EXPECT_EQ(again->Grid1->GetText(c.col, c.row), c.reopened);
        EXPECT_EQ(again->Grid1->GetText(1, 4) + again->Grid1->GetText(3, 4), c.typed + c.typed);
        // Saved again, the text is written the same way, not encoded once more.
        sheet->Grid1->SetText(2, 4, c.edit);
        ASSERT_TRUE(MODULE21::SaveDataFile(sheet));
        EXPECT_EQ(readAll(path(c.name)), c.saved);
    }
}

// Saving over a file wider than a sheet asks first: Cancel writes nothing
// and keeps the sheet changed; OK writes the 50 columns, after which the
// file is no longer wider than the sheet and saves ask nothing. Unchanged,
// the sheet saves the file whole without asking.
TEST_F(PltFileTest, SavingOverAWiderFileAsksBeforeItsColumnsAreLeftOut) {
    QByteArray wide;
    for (int c = 1; c <= 60; ++c) wide += QByteArray::number(c) + (c < 60 ? "\t" : "\r\n");
    writeAll(path("wide.plt"), wide);
    start();
    Main1* sheet = load(path("wide.plt"));
    EXPECT_EQ(sheet->Grid1->GetText(50, 1), "50");
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_TRUE(host->boxes[0].prompt.contains("has 60 columns.  Only the first 50 are loaded")) << host->boxes[0].prompt.toStdString();
    ASSERT_TRUE(MODULE21::SaveDataFile());
    EXPECT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(readAll(path("wide.plt")), wide);

    sheet->Grid1->SetText(1, 1, "edited");
    sheet->Record().Modified = -1;
    host->msgBoxAnswers = {qvrt::vbCancel};
    EXPECT_FALSE(MODULE21::SaveDataFile());
    ASSERT_EQ(host->boxes.size(), 2u);
    EXPECT_EQ(host->boxes[1].title, "Save File");
    EXPECT_TRUE(host->boxes[1].prompt.contains("leaves out columns 51 to 60")) << host->boxes[1].prompt.toStdString();
    EXPECT_EQ(readAll(path("wide.plt")), wide);
    EXPECT_EQ(sheet->Record().Modified, -1);

    // Save As to another name asks nothing; back over the wide file it asks again.
    host->fileAnswers = {path("copy.plt")};
    ASSERT_TRUE(MODULE21::SaveDataFileAs());
    EXPECT_EQ(host->boxes.size(), 2u);
    host->fileAnswers = {path("wide.plt")};
    host->msgBoxAnswers = {qvrt::vbOK};
    ASSERT_TRUE(MODULE21::SaveDataFileAs());
    ASSERT_EQ(host->boxes.size(), 3u);
    EXPECT_TRUE(readAll(path("wide.plt")).startsWith("edited\t2\t"));
    EXPECT_EQ(readAll(path("wide.plt")).count('\t'), 49);
    ASSERT_TRUE(MODULE21::SaveDataFile());
    EXPECT_EQ(host->boxes.size(), 3u);
}

// A save killed part-way (here by the file-size signal, as kill -9 or a
// crash would) leaves its temporary file and the old file; the next save of
// the file removes the temporary and leaves none of its own.
TEST_F(PltFileTest, TheNextSaveRemovesWhatASaveKilledPartWayLeft) {
    writeAll(path("big.plt"), "old\r\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            qvrt::WriteFileReplacing(path("big.plt"), QByteArray(1 << 20, 'x'));
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
    const auto temporaries = [&] { return QDir(files.path()).entryList({".big.plt.*"}, QDir::Files | QDir::Hidden); };
    ASSERT_EQ(temporaries().size(), 1);
    EXPECT_EQ(readAll(path("big.plt")), "old\r\n");

    start();
    load(path("big.plt"))->Grid1->SetText(1, 1, "new");
    ASSERT_TRUE(MODULE21::SaveDataFile());
    EXPECT_EQ(readAll(path("big.plt")), "new\r\n");
    EXPECT_EQ(temporaries(), QStringList());
}

// Short of memory, Save, Save As and Yes to the close question say so and
// keep the file as it was, nothing beside it, and the sheet open and changed.
TEST_F(PltFileTest, ASaveShortOfMemoryReportsAndKeepsTheFileAndTheSheet) {
    writeAll(path("a.plt"), "old\r\n");
    start();
    Main1* sheet = load(path("a.plt"));
#if !defined(__SANITIZE_ADDRESS__)  // which reserves more address space than any limit leaves
    sheet->Grid1->SetText(1, 1, QString(16 << 20, u'x'));
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;  // the address space held now
    rlimit old{};
    ::getrlimit(RLIMIT_AS, &old);
    const rlimit tight{rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (4 << 20), old.rlim_max};
    const std::function<bool()> saves[] = {[] { return MODULE21::SaveDataFile(); },
                                           [] { return MODULE21::SaveDataFileAs(); }, [&] { return sheet->close(); }};
    for (const auto& save : saves) {
        sheet->Record().Modified = -1;
        host->fileAnswers = {path("b.plt")};
        host->msgBoxAnswers = {qvrt::vbYes};
        ::setrlimit(RLIMIT_AS, &tight);
        const bool saved = save();
        ::setrlimit(RLIMIT_AS, &old);
        EXPECT_FALSE(saved);
        EXPECT_EQ(host->boxes.back().prompt, "Out of memory");
        EXPECT_EQ(host->boxes.back().title, "Save File Error");
        EXPECT_EQ(readAll(path("a.plt")), "old\r\n");
        EXPECT_EQ(QDir(files.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.plt"});
        EXPECT_EQ(sheet->Record().Modified, -1);
    }
#endif
    // Memory that runs out at the question itself keeps the sheet too.
    sheet->Record().Modified = -1;
    host->onMsgBox = [](const auto&) { throw std::bad_alloc(); };
    EXPECT_FALSE(sheet->close());
    host->onMsgBox = nullptr;
    EXPECT_EQ(active(), sheet);
}
