#include "quarvex/frame/frame_fixture.h"
#include "quarvex/frame/session_end.h"
#include "quarvex/runtime/fonts.h"

#include <QDir>
#include <csignal>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>

using namespace quarvex;

TEST_F(FrameTest, AFirstRunWithAnEmptyStoreGetsTheDefaultColumn) {
    start();
    ASSERT_TRUE(frame);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(frame->mnuFileUpdate[i]->isVisible()) << i;
        EXPECT_EQ(frame->FileUpdateCaption(i), "");
    }
    EXPECT_EQ(SampleCol, 1);
    EXPECT_EQ(ColorCol, 4);
    EXPECT_EQ(int(XCol), 5);
    EXPECT_EQ(int(ZCol), 7);
    EXPECT_EQ(ColorPalette[2], RGB(0, 0, 255));
    EXPECT_EQ(ColorPalette[14], RGB(255, 128, 0));
    EXPECT_EQ(DefaultColor, 0u);  // the store's default replaces the splash's dark blue
    EXPECT_EQ(EnterMovesRight, 0);
    EXPECT_FALSE(frame->mnuGrid2[0]->isChecked());
    EXPECT_TRUE(frame->mnuGrid2[1]->isChecked());
    EXPECT_EQ(AxesTFont.Name, "Arial");
    EXPECT_EQ(AxesTFont.Bold, 0);
    EXPECT_FLOAT_EQ(TitleFont.Size, 16.0f);
    EXPECT_EQ(TitleFont.Bold, -1);
    EXPECT_EQ(ShowFieldLines, 0);
    EXPECT_EQ(frame->windowTitle(), "Quarvex V1.0");
    EXPECT_EQ(frame->Panel3D1->text(), "Not Defined");
    EXPECT_EQ(HelpFilePath, "Quarvex.HLP");
}

TEST_F(FrameTest, TheFirstSheetIsIndexOneCaptionedSheet1Dash) {
    start();
    Main1* sheet = active();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->Caption(), "Sheet1-");
    EXPECT_EQ(sheet->Tag, "1");
    EXPECT_EQ(WindowTable.size(), 2u);
    EXPECT_EQ(WindowTable[1].IsOpen, -1);
    EXPECT_EQ(WindowTable[1].DiagramType, "Not Defined");
    EXPECT_EQ(WindowTable[0].IsOpen, 0);
    EXPECT_EQ(DataWindows[1], sheet);
    EXPECT_EQ(DataMenusEnabled, -1);
    EXPECT_TRUE(frame->mnuSave->isEnabled());
    EXPECT_EQ(sheet->Grid1->MaxCols(), 50);
    EXPECT_EQ(sheet->Grid1->MaxRows(), 15000);
}

TEST_F(FrameTest, StoredValuesReplaceTheDefaultsAndBadOnesAreIgnored) {
    store("Options", "SampleCol", "9");
    store("Options", "NameCol", "many");
    store("Options", "Grid", "-1");
    store("Options", "XCol", "12");
    store("Options", "Size", "Large");
    store("Colors", "Color3", "255");
    store("Files", "File2", "/data/B&W.plt");
    store("Fonts", "AxesTFontSize", "8.25");
    start();
    EXPECT_EQ(SampleCol, 9);
    EXPECT_EQ(NameCol, 2);
    EXPECT_EQ(EnterMovesRight, -1);
    EXPECT_TRUE(frame->mnuGrid2[0]->isChecked());
    EXPECT_FALSE(frame->mnuGrid2[1]->isChecked());
    EXPECT_EQ(int(XCol), 12);
    EXPECT_EQ(DiagramSize, "Large");
    EXPECT_EQ(ColorPalette[3], 255u);
    EXPECT_FLOAT_EQ(AxesTFont.Size, 8.25f);
    EXPECT_EQ(frame->FileUpdateCaption(1), "/data/B&W.plt");
    EXPECT_EQ(frame->mnuFileUpdate[1]->text(), "/data/B&&W.plt");  // shown with its ampersand
}

TEST_F(FrameTest, AnEnterDirectionOtherThanMinusOneOrZeroKeepsTheInitialCheck) {
    store("Options", "Grid", "5");
    start();
    EXPECT_EQ(EnterMovesRight, 5);
    EXPECT_TRUE(frame->mnuGrid2[0]->isChecked());
    EXPECT_FALSE(frame->mnuGrid2[1]->isChecked());
}

TEST_F(FrameTest, ExitWritesTheSettingsButNeverSize) {
    start();
    SampleCol = 11;
    XCol = ColumnNumber::FromText("8");
    DiagramSize = "Large";
    ShowFieldLines = -1;
    DefaultColor = RGB(1, 2, 3);
    AxesTFont.Size = 8.25f;
    RecentFiles[1] = "ignored: the menu is the list";
    frame->setFileUpdateCaption(0, "/a.plt");
    CurrentFileName = "/a.plt";
    MODULE21::RecentFilesUpdate();  // reads the menu back into the list
    frame->close();
    EXPECT_TRUE(frame.isNull() || frame->Ended());
    EXPECT_EQ(stored("Options", "SampleCol"), "11");
    EXPECT_EQ(stored("Options", "XCol"), "8");
    EXPECT_EQ(stored("Options", "Size"), "<absent>");
    EXPECT_EQ(stored("Options", "FieldLines"), "-1");
    EXPECT_EQ(stored("Options", "DefaultColor"), QString::number(RGB(1, 2, 3)));
    EXPECT_EQ(stored("Options", "Grid"), "0");
    EXPECT_EQ(stored("Fonts", "AxesTFontSize"), "8.25");
    EXPECT_EQ(stored("Fonts", "TitleFontSize"), "16");
    EXPECT_EQ(stored("Fonts", "TitleFont"), "Arial");
    EXPECT_EQ(stored("Files", "File1"), "/a.plt");
    EXPECT_EQ(stored("Colors", "Color14"), QString::number(RGB(255, 128, 0)));
    ASSERT_FALSE(host->helpCalls.empty());
    EXPECT_EQ(host->helpCalls.back(), std::make_pair(int(qvrt::HELP_QUIT), QString("Quarvex.HLP")));
}

TEST_F(FrameTest, TheNextRunStartsWithMediumAndFieldLinesOff) {
    store("Options", "FieldLines", "-1");
    start();
    EXPECT_EQ(DiagramSize, "Medium");
    EXPECT_EQ(ShowFieldLines, 0);
}

TEST_F(FrameTest, RestoreThenExitStoresTheFactoryValues) {
    store("Files", "File1", "/x.plt");
    store("Colors", "Color2", "7");
    start();
    host->msgBoxAnswers = {qvrt::vbOK};
    frame->mnuRestore_Click();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Restore all program settings to their factory settings?");
    EXPECT_EQ(host->boxes[0].title, "Restore Settings?");
    EXPECT_EQ(host->boxes[0].style, qvrt::vbOKCancel);
    EXPECT_EQ(MsgBoxAnswer, qvrt::vbOK);
    EXPECT_EQ(stored("Files", "File1"), "/x.plt");  // nothing written before the exit
    frame->close();
    EXPECT_EQ(stored("Fonts", "AxesTFontBold"), "-1");
    EXPECT_EQ(stored("Options", "DisplayLabels"), "-1");
    EXPECT_EQ(stored("Options", "FieldLines"), "-1");
    EXPECT_EQ(stored("Options", "Grid"), "0");
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(stored("Files", QString("File%1").arg(i)), "");
    EXPECT_EQ(stored("Colors", "Color2"), QString::number(RGB(0, 128, 64)));
    EXPECT_EQ(stored("Colors", "Color14"), QString::number(RGB(128, 128, 128)));
}

TEST_F(FrameTest, RestoreAnsweredCancelChangesNothing) {
    store("Options", "SampleCol", "9");
    start();
    host->msgBoxAnswers = {qvrt::vbCancel};
    frame->mnuRestore_Click();
    EXPECT_EQ(SampleCol, 9);
    EXPECT_EQ(MsgBoxAnswer, qvrt::vbCancel);
    EXPECT_EQ(SheetCounter, 1);
}

TEST_F(FrameTest, RestoreNumbersTheNextSheetOneAgainWhileItsIndexGoesOn) {
    start();
    frame->mnuNew_Click();
    host->msgBoxAnswers = {qvrt::vbOK};
    frame->mnuRestore_Click();
    frame->mnuNew_Click();
    EXPECT_EQ(active()->Caption(), "Sheet1-");
    EXPECT_EQ(active()->Tag, "3");
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 3);
}

TEST_F(FrameTest, CancellingOneSheetsQuestionAtExitKeepsTheProgramAndWritesNothing) {
    start();
    WindowTable[1].Modified = -1;
    host->msgBoxAnswers = {qvrt::vbCancel};
    EXPECT_FALSE(frame->close());
    ASSERT_FALSE(frame.isNull());
    EXPECT_FALSE(frame->Ended());
    EXPECT_FALSE(storeExists());
    EXPECT_EQ(WindowTable[1].IsOpen, -1);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Save changes to unnamed file now?");
}

TEST_F(FrameTest, AtShutdownYesSavesTheSheetTheQuestionNames) {
    writeAll(path("one.plt"), "one\r\n");
    writeAll(path("two.plt"), "two\r\n");
    start();
    CurrentFileName = path("one.plt");
    MODULE21::LoadDataFile();
    Main1* one = active();
    CurrentFileName = path("two.plt");
    MODULE21::LoadDataFile();
    Main1* two = active();
    ASSERT_NE(one, two);
    one->Grid1->SetText(1, 1, "ONE");
    two->Grid1->SetText(1, 1, "TWO");
    one->Record().Modified = -1;
    two->Record().Modified = -1;
    frame->mdiArea()->setActiveSubWindow(two);  // the other sheet is active when the first is asked
    host->msgBoxAnswers = {qvrt::vbYes, qvrt::vbYes};
    frame->close();
    EXPECT_EQ(readAll(path("one.plt")), "ONE\r\n");
    EXPECT_EQ(readAll(path("two.plt")), "TWO\r\n");
    EXPECT_TRUE(frame.isNull() || frame->Ended());
}

TEST_F(FrameTest, NoAtShutdownDiscardsTheChangesAndTheProgramEndsWritingTheSettings) {
    writeAll(path("n.plt"), "old\r\n");
    start();
    CurrentFileName = path("n.plt");
    MODULE21::LoadDataFile();
    active()->Grid1->SetText(1, 1, "new");
    active()->Record().Modified = -1;
    host->msgBoxAnswers = {qvrt::vbNo};
    frame->close();
    EXPECT_TRUE(frame.isNull() || frame->Ended());
    EXPECT_EQ(host->boxes.size(), 1u);  // only the changed sheet asks
    EXPECT_EQ(readAll(path("n.plt")), "old\r\n");
    EXPECT_EQ(stored("Files", "File1"), path("n.plt"));
}

TEST_F(FrameTest, AFailedSaveAtShutdownKeepsTheProgramRunning) {
    start();
    active()->setCaption("Sheet1-/no/such/folder/x.plt");
    WindowTable[1].Modified = -1;
    host->msgBoxAnswers = {qvrt::vbYes};
    frame->close();
    ASSERT_FALSE(frame.isNull());
    EXPECT_FALSE(frame->Ended());
    EXPECT_EQ(WindowTable[1].IsOpen, -1);
    EXPECT_EQ(WindowTable[1].Modified, -1);
    EXPECT_EQ(host->boxes.back().title, "Save File Error");
    EXPECT_FALSE(storeExists());
}

TEST_F(FrameTest, TheFrameOpensMaximisedOnAScreen9600TwipsWideAndNormalAbove) {
    host->screenWidthTwips = 9600;
    host->screenHeightTwips = 7200;
    start();
    EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
    delete frame.data();
    ResetProgramState();
    host->screenWidthTwips = 9601;
    start();
    EXPECT_FALSE(frame->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(frame->size(), QSize(620, 433));  // 9300 by 6500 twips at 15 twips a pixel
}

TEST_F(FrameTest, EnterDirectionMenuKeepsExactlyOneCheck) {
    start();
    frame->mnuGrid2_Click(0);
    EXPECT_EQ(EnterMovesRight, -1);
    frame->mnuGrid2_Click(1);
    EXPECT_EQ(EnterMovesRight, 0);
    EXPECT_FALSE(frame->mnuGrid2[0]->isChecked());
    EXPECT_TRUE(frame->mnuGrid2[1]->isChecked());
}

TEST_F(FrameTest, TheFileMenuCarriesItsItemsWithTheirShortcuts) {
    start();
    EXPECT_EQ(frame->mnuSaveAs->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    EXPECT_EQ(frame->mnuExit->shortcut(), QKeySequence(Qt::Key_F7));
    EXPECT_EQ(frame->mnuClose->shortcut(), QKeySequence(Qt::Key_F11));
    EXPECT_EQ(frame->MenuItem("mnuSave"), frame->mnuSave);
    EXPECT_EQ(frame->MenuItem("mnuNoSuchItem"), nullptr);
}

// "S&ort" and "&Options" share Alt+O: O pressed again while Sort is open
// moves on to Options (Qt alone kept Sort open), so Options too is reached
// from the keyboard. In Options, O is its own item's key.
TEST_F(FrameTest, ASharedAccessKeyPressedAgainOpensTheNextMenuCarryingIt) {
    start();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame, 60000));  // as long as a busy machine may take
    const QMenu* sort = frame->MenuItem("mnuSort")->menu();
    const QMenu* options = frame->MenuItem("mnuOptions")->menu();
    QTest::keyClick(frame, Qt::Key_O, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), sort);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_O);
    EXPECT_EQ(QApplication::activePopupWidget(), options);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
}

// A store brought from another machine: a byte-order mark, a line that is
// no key, a font this machine lacks and sizes no font dialog gives. It is
// read for what it holds; a logout's question can be cancelled; SIGTERM
// writes it back whole, without a box.
TEST_F(FrameTest, AForeignStoreIsReadForWhatItHoldsAndSigtermWritesItBack) {
    QDir().mkpath(settingsDir.path());
    writeAll(qvrt::SettingsFilePath("Quarvex"),
             "\xEF\xBB\xBF[Files]\nFile1=/data/rocks.plt\nnot a key\n[Options]\nTables=0\n"
             "[Fonts]\nAxesTFont=No Such Font Anywhere\nAxesTFontSize=5000\nTitleFontSize=-12\n");
    start();
    EXPECT_EQ(RecentFiles[1], "/data/rocks.plt");
    EXPECT_EQ(ShowTables, 0);
    EXPECT_TRUE(qvrt::LookUpFont(AxesTFont.Name).has_value()) << AxesTFont.Name.toStdString();
    EXPECT_EQ(AxesTFont.Size, 10.0f);
    EXPECT_EQ(TitleFont.Size, 16.0f);

    active()->Record().Modified = -1;
    host->msgBoxAnswers = {qvrt::vbCancel};
    EXPECT_FALSE(frame->SessionCommitData());
    EXPECT_FALSE(frame->Ended());

    InstallSessionEndHandling();
    ::raise(SIGTERM);
    static_cast<void>(QTest::qWaitFor([&] { return frame->Ended(); }, 60000));  // checked below
    RemoveSessionEndHandling();
    EXPECT_TRUE(frame->Ended());
    EXPECT_EQ(host->boxes.size(), 1u);  // only the logout's question
    EXPECT_EQ(stored("Files", "File1"), "/data/rocks.plt");
    EXPECT_EQ(stored("Options", "Tables"), "0");
    EXPECT_EQ(stored("Fonts", "AxesTFontSize"), "10");
    // Written back whole: the mark, the odd line and one section of each name.
    const QByteArray file = readAll(qvrt::SettingsFilePath("Quarvex"));
    EXPECT_TRUE(file.startsWith("\xEF\xBB\xBF[Files]"));
    EXPECT_TRUE(file.contains("\nnot a key\n"));
    EXPECT_EQ(file.count("[Files]"), 1);
}
