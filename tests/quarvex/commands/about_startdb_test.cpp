#include "commands_fixture.h"

#include "quarvex/frame/about.h"
#include "quarvex/frame/startdb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace quarvex;

class StartdbTest : public CommandsTest {
protected:
    void TearDown() override {
        Startdb::RunModal = nullptr;
        CommandsTest::TearDown();
    }
    // The dialog as the user meets it: its box's text on opening, then what
    // the script does.
    void answer(std::function<void(Startdb&)> script) {
        Startdb::RunModal = [this, script](Startdb& d) {
            shownPath = d.Text1->text();
            ++shown;
            script(d);
        };
    }
    QString shownPath;
    int shown = 0;
};

TEST_F(StartdbTest, AWorkingPathStartsTheProgramDirectlyWithoutArguments) {
    DatabasePath = "/opt/corvane/HARNEL.EXE";
    StartDatabase();
    ASSERT_EQ(host->startedPrograms.size(), 1u);
    EXPECT_EQ(host->startedPrograms[0], QStringList({"/opt/corvane/HARNEL.EXE"}));
    EXPECT_EQ(shown, 0);
}

TEST_F(StartdbTest, AFailedStartAsksForThePathWhichStartsEmptyAndTriesOnceMore) {
    host->startSucceeds = false;
    answer([](Startdb& d) {
        d.Text1->setText("/opt/Harnel.exe");
        d.Command3D1[1]->click();
    });
    StartDatabase();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(shownPath, "");
    EXPECT_EQ(DatabasePath, "/opt/Harnel.exe");
    ASSERT_EQ(host->startedPrograms.size(), 2u);
    EXPECT_EQ(host->startedPrograms[1].first(), "/opt/Harnel.exe");
    EXPECT_TRUE(host->boxes.empty());  // the second failure is not reported
}

TEST_F(StartdbTest, CancelMakesNoSecondStartAndClearsTheFlagForNextTime) {
    host->startSucceeds = false;
    answer([](Startdb& d) { d.Command3D1[2]->click(); });
    StartDatabase();
    EXPECT_EQ(host->startedPrograms.size(), 1u);
    EXPECT_EQ(LaunchCancelled, 0);
}

TEST_F(StartdbTest, OkRefusesMixedCaseAndKeepsTheTypedPathStored) {
    host->startSucceeds = false;
    bool stayedOpen = false;
    answer([&](Startdb& d) {
        d.Text1->setText("/opt/Harnel.EXE");
        d.Command3D1[1]->click();
        stayedOpen = d.result() != QDialog::Accepted;
        d.Command3D1[2]->click();
    });
    StartDatabase();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(boxTexts(), QStringList({"Enter the location of Harnel.exe | Open File Error"}));
    EXPECT_EQ(DatabasePath, "/opt/Harnel.EXE");
}

TEST_F(StartdbTest, BrowseFillsTheBoxOnlyForTheUpperCaseName) {
    host->startSucceeds = false;
    QString boxAfterMixed, boxAfterUpper;
    host->fileAnswers = {QString("/opt/Harnel.exe"), QString("/opt/HARNEL.EXE"), std::nullopt};
    answer([&](Startdb& d) {
        d.Command3D1[0]->click();
        boxAfterMixed = d.Text1->text();
        d.Command3D1[0]->click();
        boxAfterUpper = d.Text1->text();
        d.Command3D1[0]->click();  // cancelled: nothing changes, nothing shown
        d.Command3D1[2]->click();
    });
    StartDatabase();
    EXPECT_EQ(boxAfterMixed, "");
    EXPECT_EQ(boxAfterUpper, "/opt/HARNEL.EXE");
    EXPECT_EQ(boxTexts(), QStringList({"Enter a valid filename | Open File Error"}));
    EXPECT_EQ(DatabasePath, "/opt/HARNEL.EXE");
    ASSERT_EQ(host->dialogs.size(), 3u);
    EXPECT_EQ(host->dialogs[0].filter, "The Quarvex Database|Harnel.exe");
    EXPECT_EQ(host->dialogs[0].flags, 0x1802);
}

class AboutTest : public CommandsTest {
protected:
    void TearDown() override {
        if (About* a = About::Instance()) a->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CommandsTest::TearDown();
    }
};

TEST_F(AboutTest, ShowsTheNameAndVersionInLinesSeparatedByCarriageReturns) {
    About* a = About::Show();
    EXPECT_TRUE(a->Caption().startsWith("Quarvex V1.0\r"));
    EXPECT_FALSE(a->Caption().contains('\n'));
    EXPECT_TRUE(a->Panel3D1->text().startsWith("Quarvex V1.0\n"));
    EXPECT_FALSE(a->Picture1->pixmap().isNull());
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
    EXPECT_EQ(About::Show(), a);
    a->Command3D1->click();
    EXPECT_FALSE(a->isVisible());
}
