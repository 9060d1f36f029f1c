#include "graph_fixture.h"

#include "quarvex/state/program_state.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace quarvex;

namespace {

class Templates : public test::GraphTest {
protected:
    QString file(const char* name, const QByteArray& text) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    QStringList boxes() const {
        QStringList out;
        for (const auto& b : host->boxes) out << b.prompt + " | " + b.title;
        return out;
    }
    QTemporaryDir dir;
};

TEST_F(Templates, TernarySegmentsAreDrawnInTheDefaultColourAndASecondLoadIsRefused) {
    graph->DiagramType = "Ternary";
    DefaultColor = 0x0000FF;
    host->fileAnswers.push_back(file("t.kmt", "0,50,50,100,0,0\r\n20,0,0,20,0,100\r\n\r\n  "));
    graph->mnuOpenTem_Click();
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(graph->TemplateLoaded, -1);
    EXPECT_EQ(host->dialogs.at(0).flags, 0x1802);
    const auto lines = Lines(0x0000FF, 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FLOAT_EQ(lines[0].x1, 50);
    EXPECT_FLOAT_EQ(lines[0].y1, 0);
    EXPECT_FLOAT_EQ(lines[0].x2, 50);
    EXPECT_FLOAT_EQ(lines[0].y2, 100);
    EXPECT_FLOAT_EQ(lines[1].x1, 10);
    EXPECT_FLOAT_EQ(lines[1].y1, 20);
    EXPECT_FLOAT_EQ(lines[1].x2, 90);
    EXPECT_FLOAT_EQ(lines[1].y2, 20);

    host->fileAnswers.push_back(file("u.kmt", "1,1,1,1,1,1\n"));
    graph->mnuOpenTem_Click();
    EXPECT_EQ(boxes(), QStringList({"A template is already opened | Cannot Load Template"}));
    EXPECT_EQ(graph->TemplateLineCount, 2);
}

TEST_F(Templates, ABadFileLeavesTheWindowAsItWasAndAnotherLoadMayFollow) {
    graph->DiagramType = "XY Plot";
    host->fileAnswers.push_back(file("bad.kmt", "1,2,3,4\n5,6,x,8\n"));
    graph->mnuOpenTem_Click();
    EXPECT_EQ(boxes(), QStringList({"Check the template file for incorrect format | Open File Error"}));
    EXPECT_EQ(graph->TemplateLineCount, 0);
    EXPECT_EQ(graph->TemplateLoaded, 0);

    // A folder is an access error; the file dialog comes back.
    host->boxes.clear();
    host->fileAnswers.push_back(dir.path());
    host->fileAnswers.push_back(file("xy.kmt", "-5,0,5,10"));
    graph->AxesColor = 0x00FF00;
    graph->mnuOpenTem_Click();
    EXPECT_EQ(boxes(), QStringList({"Path/File access error | Error"}));
    EXPECT_EQ(graph->TemplateLineCount, 1);
    ASSERT_EQ(Lines(0x00FF00, 0).size(), 1u);
    EXPECT_FLOAT_EQ(Lines(0x00FF00, 0)[0].x1, -5);
}

// A pipe would never end; asking for it again would not help either.
TEST_F(Templates, APipeIsRefusedAtOnceUnderOpenFileError) {
    graph->DiagramType = "XY Plot";
    const QString pipe = dir.filePath("pipe.kmt");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    host->fileAnswers.push_back(pipe);
    graph->mnuOpenTem_Click();
    EXPECT_EQ(boxes(), QStringList({"Path/File access error | Open File Error"}));
    EXPECT_EQ(host->dialogs.size(), 1u);
    EXPECT_EQ(graph->TemplateLoaded, 0);
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
}

TEST_F(Templates, OtherDiagramKindsAreRefusedAndDrawNone) {
    graph->DiagramType = "QAPF-Plutonic";
    graph->mnuOpenTem_Click();
    EXPECT_TRUE(host->dialogs.empty());
    EXPECT_EQ(host->boxes.size(), 1u);
    graph->TemplateLines.push_back({0, 50, 50, 100, 0, 0});
    graph->TemplateLineCount = 1;
    graph->DrawTemplateLines();
    EXPECT_TRUE(surface.OpsOf(qvrt::DrawOp::Line).empty());
}

}  // namespace
