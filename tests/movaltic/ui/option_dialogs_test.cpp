// The option dialogs on their own: what they show, when they read their
// controls back, the size dialog's rounding and the compressor choice.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>

#include "movaltic/ui/compressor_dialog.h"
#include "movaltic/ui/option_dialogs.h"
#include "scripted_host.h"

namespace {

using namespace movaltic;

SizeOptions SizeFor640x480Input(int w, int h) {
    SizeOptions v;
    v.width = w;
    v.height = h;
    v.inputWidth = 640;
    v.inputHeight = 480;
    v.input24 = 1;
    return v;
}

TEST(SizeDialog, ShrinkingRescalesAtTheBeginningAndEnlargingAtTheEnd) {
    TfmEditXY& xy = fmEditXY();
    xy.Values = SizeFor640x480Input(320, 240);
    xy.ShowValues();
    EXPECT_TRUE(xy.radAtStart->isChecked());
    xy.Values = SizeFor640x480Input(800, 600);
    xy.ShowValues();
    EXPECT_TRUE(xy.radAtEnd->isChecked());
    EXPECT_TRUE(xy.radResample->isChecked());
}

TEST(SizeDialog, FixedRatioGivesTheHeightAfterTheWidthIsLeft) {
    TfmEditXY& xy = fmEditXY();
    xy.Values = SizeFor640x480Input(320, 240);
    xy.ShowValues();
    xy.CheckBox1->setChecked(true);
    xy.Edit3->setText("1.333");
    xy.Edit1->setText("400");
    xy.Edit1Exit();
    EXPECT_EQ(xy.Values.height, 300);
    EXPECT_EQ(xy.Edit2->text(), "300");
    xy.Edit2->setText("150");
    xy.Edit3->setText("2");
    xy.Edit2Exit();
    EXPECT_EQ(xy.Values.width, 300);
    xy.CheckBox1->setChecked(false);
}

TEST(SizeDialog, WithoutFixedRatioLeavingAnEditKeepsTheOther) {
    TfmEditXY& xy = fmEditXY();
    xy.CheckBox1->setChecked(false);
    xy.Values = SizeFor640x480Input(320, 240);
    xy.ShowValues();
    xy.Edit1->setText("500");
    xy.Edit1Exit();
    EXPECT_EQ(xy.Values.height, 240);
}

TEST(SizeDialog, RatioOfZeroIsReadAsFourThirds) {
    TfmEditXY& xy = fmEditXY();
    xy.Values = SizeFor640x480Input(320, 240);
    xy.ShowValues();
    xy.Edit3->setText("0");
    xy.ReadValues();
    EXPECT_DOUBLE_EQ(xy.Values.ratio, 4.0 / 3.0);
}

TEST(SizeDialog, SmallSizesAreRaisedWhenReadAndLargeOnesCutWhenClosing) {
    uitest::HostScope scope;
    TfmEditXY& xy = fmEditXY();
    xy.Values = SizeFor640x480Input(320, 240);
    scope.host.scripts.push_back([&](QDialog&) {
        xy.Edit1->setText("5");
        xy.ReadValues();
        EXPECT_EQ(xy.Values.width, 16);
        xy.Edit1->setText("2000");
        xy.Edit2->setText("abc");
        xy.btnOK->click();
    });
    EXPECT_EQ(scope.host.ExecDialog(xy), QDialog::Accepted);
    EXPECT_EQ(xy.Values.width, 1600);
    EXPECT_EQ(xy.Values.height, 16);
}

TEST(SizeDialog, PresetsSetBothSizes) {
    TfmEditXY& xy = fmEditXY();
    xy.Values = SizeFor640x480Input(100, 100);
    xy.ShowValues();
    xy.Button3->click();
    EXPECT_EQ(xy.Edit1->text(), "400");
    EXPECT_EQ(xy.Edit2->text(), "300");
}

OutputOptions BmpOutput() {
    OutputOptions v;
    v.extension = "BMP";
    v.allow8 = v.allow24 = 1;
    v.width = 320;
    v.height = 240;
    v.bytesPerPixel = 3;
    v.bitsPerPixel = 24;
    return v;
}

TEST(OutputOptions, BmpOutputOffersNeitherSixteenBitsNorCompressionNorRate) {
    TfmOutOpt& dlg = fmOutOpt();
    dlg.Values = BmpOutput();
    dlg.FormShow();
    EXPECT_EQ(dlg.windowTitle(), "BMP Output Options");
    EXPECT_FALSE(dlg.RadioButton2->isEnabled());
    EXPECT_FALSE(dlg.btnCompr->isEnabled());
    EXPECT_FALSE(dlg.edFPS->isEnabled());
    EXPECT_FALSE(dlg.chkCompressed->isEnabled());
    EXPECT_EQ(dlg.InfoPanel->text(), "320x240");
}

TEST(OutputOptions, TgaOutputOffersCompressedVideo) {
    TfmOutOpt& dlg = fmOutOpt();
    OutputOptions v = BmpOutput();
    v.extension = "TGA";
    v.allowCompressed = 1;
    dlg.Values = v;
    dlg.FormShow();
    EXPECT_TRUE(dlg.chkCompressed->isEnabled());
}

TEST(OutputOptions, SinglePaletteIsOfferedOnlyForEightBits) {
    TfmOutOpt& dlg = fmOutOpt();
    dlg.Values = BmpOutput();
    dlg.FormShow();
    EXPECT_FALSE(dlg.chkSinglePal->isEnabled());
    dlg.RadioButton3->click();
    EXPECT_TRUE(dlg.chkSinglePal->isEnabled());
    dlg.RadioButton1->click();
    EXPECT_FALSE(dlg.chkSinglePal->isEnabled());
}

TEST(OutputOptions, SizeBeyondTheLimitsIsClampedWhenShown) {
    TfmOutOpt& dlg = fmOutOpt();
    OutputOptions v = BmpOutput();
    v.width = 4000;
    v.height = 3;
    dlg.Values = v;
    dlg.FormShow();
    EXPECT_EQ(dlg.InfoPanel->text(), "1600x16");
}

TEST(OutputOptions, CancelDiscardsTheControlsButKeepsANewSize) {
    uitest::HostScope scope;
    TfmOutOpt& dlg = fmOutOpt();
    dlg.Values = BmpOutput();
    dlg.Values.inputWidth = 320;
    dlg.Values.inputHeight = 240;
    scope.host.scripts.push_back([&](QDialog&) {
        dlg.RadioButton3->click();
        scope.host.scripts.push_back([](QDialog& d) {
            auto& xy = static_cast<TfmEditXY&>(d);
            xy.Button1->click();
            xy.btnOK->click();
        });
        dlg.btnRescale->click();
        dlg.btnCancel->click();
    });
    EXPECT_EQ(scope.host.ExecDialog(dlg), QDialog::Rejected);
    EXPECT_EQ(dlg.Values.width, 320);
    EXPECT_EQ(dlg.Values.height, 200);
    // Reading the controls before "Change..." took the 8-bit choice along.
    EXPECT_EQ(dlg.Values.bytesPerPixel, 1);
    EXPECT_EQ(scope.host.dialogs.at(1), "Change Output Movie Size");
}

TEST(OutputOptions, ChangedDepthMakesTheCompressorPending) {
    TfmOutOpt& dlg = fmOutOpt();
    OutputOptions v = BmpOutput();
    v.extension = "AVI";
    dlg.Values = v;
    dlg.FormShow();
    dlg.ReadControls();
    EXPECT_EQ(dlg.Values.compressorPending, 0);
    dlg.RadioButton3->click();
    dlg.ReadControls();
    EXPECT_EQ(dlg.Values.compressorPending, 1);
}

TEST(OutputOptions, AviOkAsksForTheCompressorOnlyWhilePending) {
    uitest::HostScope scope;
    TfmOutOpt& dlg = fmOutOpt();
    OutputOptions v = BmpOutput();
    v.extension = "AVI";
    v.compressorPending = 1;
    dlg.Values = v;
    scope.host.scripts.push_back([&](QDialog&) {
        scope.host.scripts.push_back([](QDialog& c) { static_cast<TfmCompressor&>(c).btnOK->click(); });
        dlg.btnOK->click();
    });
    scope.host.ExecDialog(dlg);
    EXPECT_EQ(scope.host.dialogs, QStringList({"AVI Output Options", "Select AVI Video Compression"}));
    EXPECT_EQ(dlg.Values.compressorPending, 0);

    scope.host.dialogs.clear();
    scope.host.scripts.push_back([&](QDialog&) { dlg.btnOK->click(); });
    scope.host.ExecDialog(dlg);
    EXPECT_EQ(scope.host.dialogs, QStringList({"AVI Output Options"}));
}

TEST(OutputOptions, CompressorThatCannotCodeTheFramesIsRefusedAndOfferedAgain) {
    uitest::HostScope scope;
    TfmOutOpt& dlg = fmOutOpt();
    OutputOptions v = BmpOutput();
    v.extension = "AVI";
    v.bytesPerPixel = 3;
    dlg.Values = v;
    dlg.FormShow();
    // A compressor that takes 8-bit frames only, for 24-bit frames.
    int rleIndex = -1;
    for (size_t i = 0; i < AviCompressorList().size(); ++i)
        if (!AviCompressorAccepts(i, 3) && AviCompressorAccepts(i, 1)) rleIndex = int(i);
    if (rleIndex < 0) GTEST_SKIP() << "every compressor takes 24-bit frames";
    scope.host.scripts.push_back([rleIndex](QDialog& c) {
        auto& comp = static_cast<TfmCompressor&>(c);
        comp.cbCompressor->setCurrentIndex(rleIndex);
        comp.btnOK->click();
    });
    scope.host.scripts.push_back([](QDialog& c) {
        auto& comp = static_cast<TfmCompressor&>(c);
        comp.cbCompressor->setCurrentIndex(0);
        comp.btnOK->click();
    });
    dlg.btnComprClick();
    EXPECT_EQ(scope.host.BoxTexts(), QStringList{"That compression is not supported."});
    EXPECT_EQ(scope.host.boxes.at(0).title, "Message");
    EXPECT_EQ(scope.host.dialogs.count("Select AVI Video Compression"), 2);
    EXPECT_EQ(dlg.Values.compressorPending, 0);
}

TEST(OutputOptions, ZuvCompressionSettingsAreTakenBackEvenOnCancel) {
    uitest::HostScope scope;
    TfmOutOpt& dlg = fmOutOpt();
    OutputOptions v = BmpOutput();
    v.extension = "ZUV";
    v.fast = 1;
    v.keyFrameInterval = 0;
    dlg.Values = v;
    dlg.FormShow();
    scope.host.scripts.push_back([](QDialog& d) {
        auto& z = static_cast<TfmZUVOpt&>(d);
        EXPECT_TRUE(z.radFast->isChecked());
        z.radBest->setChecked(true);
        z.Edit1->setText("10");
        z.btnCancel->click();
    });
    dlg.btnComprClick();
    EXPECT_EQ(dlg.Values.fast, 0);
    EXPECT_EQ(dlg.Values.keyFrameInterval, 10);
}

TEST(CompressorDialog, QualityOfAnUncompressedChoiceIsGreyedWithItsCaption) {
    TfmCompressor& dlg = fmCompressor();
    ASSERT_FALSE(AviCompressorList().at(0).hasQuality);
    dlg.ShowSettings(AviCompressionSettings{});
    EXPECT_FALSE(dlg.sbQuality->isEnabled());
    EXPECT_FALSE(dlg.lblQuality->isEnabled());
    EXPECT_FALSE(dlg.lblQualityTitle->isEnabled());
}

TEST(ZuvOptions, KeyFrameTextThatIsNoNumberKeepsTheOldValue) {
    uitest::HostScope scope;
    TfmZUVOpt& z = fmZUVOpt();
    z.Values.keyFrameInterval = 7;
    scope.host.scripts.push_back([](QDialog& d) {
        static_cast<TfmZUVOpt&>(d).Edit1->setText("many");
        static_cast<TfmZUVOpt&>(d).btnOK->click();
    });
    scope.host.ExecDialog(z);
    EXPECT_EQ(z.Values.keyFrameInterval, 7);
}

TEST(InputOptions, CancelResetsThePreviewFrameAndKeepsTheFrameCount) {
    uitest::HostScope scope;
    TfmInOpt& dlg = fmInOpt();
    dlg.Values = {20, 20, 1, 0};
    scope.host.scripts.push_back([](QDialog& d) {
        auto& in = static_cast<TfmInOpt&>(d);
        in.ScrollBar2->setValue(7);
        EXPECT_EQ(in.Edit2->text(), "7");
        in.Edit1->setText("5");
        in.btnCancel->click();
    });
    scope.host.ExecDialog(dlg);
    EXPECT_EQ(dlg.Values.framesToProcess, 20);
    EXPECT_EQ(dlg.Values.previewFrame, 1);
}

TEST(InputOptions, OkTakesTheTypedNumbersAndTypingDoesNotMoveTheBar) {
    uitest::HostScope scope;
    TfmInOpt& dlg = fmInOpt();
    dlg.Values = {20, 20, 1, 0};
    scope.host.scripts.push_back([](QDialog& d) {
        auto& in = static_cast<TfmInOpt&>(d);
        in.Edit1->setText("12");
        EXPECT_EQ(in.ScrollBar1->value(), 20);
        in.Edit2->setText("x");
        in.btnOK->click();
    });
    scope.host.ExecDialog(dlg);
    EXPECT_EQ(dlg.Values.framesToProcess, 12);
    EXPECT_EQ(dlg.Values.previewFrame, 1);
}

}  // namespace
