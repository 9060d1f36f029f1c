// A norm's or a classification's result sheet opens beside its source sheet,
// never over it.
#include "classify_sheet_fixture.h"

#include <QAction>
#include <QMdiArea>

using namespace classifysheet;

namespace {

class ResultPlacement : public ClassifySheet {};

TEST_F(ResultPlacement, ResultSheetsOpenDownAndRightOfTheirSourceInsideTheFrame) {
    quarvex::HeadingSets::InsertOxideExtended();
    WriteAnalysis(1, kBasalt);
    WriteAnalysis(2, kGranite);
    const QRect area = frame->mdiArea()->viewport()->rect();

    host->msgBoxAnswers = {qvrt::vbNo};
    frame->MenuItem("mnuNormMode2")->trigger();
    ASSERT_EQ(sheetCount(), 2);
    quarvex::Main1* norm = newest();

    frame->mdiArea()->setActiveSubWindow(source);
    host->msgBoxAnswers = {qvrt::vbNo, qvrt::vbNo};
    frame->MenuItem("mnuClassifyFromNorm")->trigger();
    ASSERT_EQ(sheetCount(), 3);
    quarvex::Main1* names = newest();

    for (quarvex::Main1* result : {norm, names}) {
        EXPECT_GT(result->x(), source->x());
        EXPECT_GT(result->y(), source->y());
        EXPECT_TRUE(area.contains(result->geometry()));
    }
    EXPECT_NE(names->pos(), norm->pos()) << "the second result does not hide the first";
}

}  // namespace
