#include "commands_fixture.h"

#include "quarvex/frame/help_viewer.h"

#include <QLineEdit>
#include <QTextBrowser>

using namespace quarvex;

class HelpViewerTest : public CommandsTest {
protected:
    void TearDown() override {
        HelpViewer::CloseViewer();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CommandsTest::TearDown();
    }
    const QString helpFile = QStringLiteral(SOURCE_DIR "/quarvex/frame/help/Quarvex.HLP");
};

TEST_F(HelpViewerTest, TheShippedHelpFileHasATopicForEveryMenuContext) {
    ASSERT_TRUE(HelpViewer::Open(helpFile, qvrt::HELP_CONTENTS, 0));
    const QString html = HelpViewer::Instance()->Browser()->toHtml();
    for (int context : {5, 10, 12, 15, 20, 25, 30, 35, 45, 50, 60, 65, 70, 72, 73, 80, 82, 84, 85, 95, 135, 250,
                        260, 262, 265, 270, 310})
        EXPECT_TRUE(html.contains(QStringLiteral("context-%1").arg(context))) << context;
    EXPECT_TRUE(html.contains("using-help"));
}

TEST_F(HelpViewerTest, AMissingHelpFileIsNotShown) {
    EXPECT_FALSE(HelpViewer::Open(QStringLiteral("/nonexistent/Quarvex.HLP"), qvrt::HELP_CONTENTS, 0));
    EXPECT_EQ(HelpViewer::Instance(), nullptr);
}

TEST_F(HelpViewerTest, SearchFindsAWordAndGoesRoundToTheTop) {
    ASSERT_TRUE(HelpViewer::Open(helpFile, qvrt::HELP_PARTIALKEY, 0));
    HelpViewer* v = HelpViewer::Instance();
    v->SearchBox()->setText("landscape");
    v->FindNext();
    EXPECT_EQ(v->Browser()->textCursor().selectedText(), "landscape");
    const int first = v->Browser()->textCursor().position();
    v->FindNext();
    EXPECT_EQ(v->Browser()->textCursor().position(), first);
}

TEST_F(HelpViewerTest, AHelpFileThatCannotBeFoundIsNamedInABox) {
    OpenHelp(QStringLiteral("Missing.HLP"), qvrt::HELP_CONTENTS, 0);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_TRUE(host->boxes[0].prompt.contains("Missing.HLP"));
    EXPECT_EQ(host->boxes[0].title, "Help");
    EXPECT_EQ(HelpViewer::Instance(), nullptr);
}

TEST_F(HelpViewerTest, ATestsScriptedHostIsNotReplaced) {
    InstallHelpViewer();
    EXPECT_EQ(&qvrt::host(), host);
}
