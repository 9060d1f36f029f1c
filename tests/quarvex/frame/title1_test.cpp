#include "quarvex/frame/frame_fixture.h"

#include <QLabel>

using namespace quarvex;

TEST(ScreenScale, FactorsStayOneUpTo9700TwipsWide) {
    double x = 0, y = 0;
    ComputeScreenScale(9600, 7200, &x, &y);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(y, 1.0);
    ComputeScreenScale(9700, 7275, &x, &y);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(y, 1.0);
    ComputeScreenScale(9701, 7200, &x, &y);
    EXPECT_NEAR(x, 9701.0 / 9600.0, 1e-6);
    EXPECT_NEAR(y, 1.0, 1e-6);
}

TEST(ScreenScale, CommonScreens) {
    double x = 0, y = 0;
    ComputeScreenScale(12000, 9000, &x, &y);
    EXPECT_NEAR(x, 1.25, 1e-6);
    EXPECT_NEAR(y, 1.25, 1e-6);
    ComputeScreenScale(15360, 11520, &x, &y);
    EXPECT_NEAR(x, 1.6, 1e-6);
    EXPECT_NEAR(y, 1.6, 1e-6);
}

TEST_F(FrameTest, TheSplashSetsTheDefaultsAndWaitsForTheUser) {
    host->screenWidthTwips = 12000;
    host->screenHeightTwips = 9000;
    SampleCol = 30;
    auto* splash = new Title1;
    splash->Form_Load();
    EXPECT_EQ(SampleCol, 1);
    EXPECT_EQ(int(ZCol), 7);
    EXPECT_EQ(AxisLabels[1], "A");
    EXPECT_EQ(AxisLabels[3], "C");
    EXPECT_EQ(DefaultColor, RGB(0, 0, 128));
    EXPECT_EQ(NoSampleLabels, -1);
    EXPECT_EQ(AutoScale, -1);
    EXPECT_FLOAT_EQ(ScreenWidthTwips, 12000.0f);
    EXPECT_NEAR(ScreenScaleX, 1.25, 1e-6);
    EXPECT_EQ(WindowTable.size(), 1u);
    EXPECT_EQ(splash->Label2->text(), "Quarvex V1.0");
    EXPECT_FALSE(splash->Timer1->isActive());
    EXPECT_EQ(MDIForm1::Instance(), nullptr);  // no frame until the user acts
    EXPECT_EQ(host->MousePointer(), qvrt::vbDefault);
    splash->Form_KeyPress('a');
    frame = MDIForm1::Instance();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(splash->Unloaded());
}

TEST_F(FrameTest, ASecondClickCannotShowTheFrameAgain) {
    auto* splash = new Title1;
    splash->Form_Load();
    splash->Form_Click();
    frame = MDIForm1::Instance();
    splash->Form_Click();
    EXPECT_EQ(MDIForm1::Instance(), frame.data());
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
