#include "quarvex/graph/colors1.h"
#include "quarvex/graph/curvefit_dialog.h"
#include "quarvex/graph/font1.h"
#include "quarvex/graph/format_dialogs.h"
#include "quarvex/graph/settitle.h"
#include "quarvex/graph/symbol_desc.h"
#include "quarvex/runtime/scripted_host.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace quarvex;

class FormatDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        host = &qvrt::InstallScriptedHost();
        ResetFormatState();
        DialogCancelled = 0;
        GraphTitle.clear();
    }
    void TearDown() override {
        Font1::RunModal = nullptr;
        SETTITLE::RunModal = nullptr;
        Curvefit::RunModal = nullptr;
        SymbolDesc::RunModal = nullptr;
        qvrt::SetHost(nullptr);
    }
    QStringList boxes() const {
        QStringList out;
        for (const auto& b : host->boxes) out << b.prompt + " | " + b.title;
        return out;
    }
    qvrt::ScriptedHost* host = nullptr;
};

TEST_F(FormatDialogs, FontOkWithoutClicksReturnsArial8AndThePresetColour) {
    FontChoice.Color = 0x123456;
    Font1::RunModal = [](Font1& d) {
        EXPECT_EQ(d.windowTitle(), "Fonts");
        EXPECT_EQ(d.Combo2->itemText(0), " 6");
        EXPECT_EQ(d.Combo2->count(), 10);
        EXPECT_EQ(d.Combo1->findText("Wingdings"), -1);  // draws no letters
        d.Check3D1[2]->setChecked(true);                 // underline: the sample only
        d.Command3D2[1]->click();
    };
    Font1::ShowModal();
    EXPECT_EQ(DialogCancelled, 0);
    EXPECT_EQ(FontChoice.Name, "Arial");
    EXPECT_FLOAT_EQ(FontChoice.Size, 8);
    EXPECT_EQ(FontChoice.Bold, 0);
    EXPECT_EQ(FontChoice.Italic, 0);
    EXPECT_EQ(FontChoice.Color, 0x123456);
}

TEST_F(FormatDialogs, FontSizesAndNamesThatCannotBeDrawnGetTheFontErrorBox) {
    Font1::RunModal = [](Font1& d) {
        d.Combo2->setEditText("big");  // no digits: size 0
        d.Combo2_Click();
        d.Command3D2[1]->click();  // refused, stays open
        EXPECT_EQ(d.result(), 0);
        d.Combo2->setEditText("12");
        d.Combo1->setEditText("No Such Face");
        d.Command3D2[1]->click();
        d.Combo1->setEditText("Arial");
        d.Panel3D2_Click(5);
        d.Command3D2[1]->click();
    };
    Font1::ShowModal();
    EXPECT_EQ(boxes(), QStringList({"This font is not available. Please select a True Type font | Font Error",
                                    "Please select a True Type font | Font Error",
                                    "Please select a True Type font | Font Error"}));
    EXPECT_FLOAT_EQ(FontChoice.Size, 12);
    EXPECT_EQ(FontChoice.Color, 255);  // panel 5 is red
}

TEST_F(FormatDialogs, FontCancelAfterClicksLeavesTheChoiceButSetsCancelled) {
    FontChoice.TitleFlag = -1;
    Font1::RunModal = [](Font1& d) {
        d.Check3D1[0]->click();
        d.Command3D2[0]->click();
    };
    Font1::ShowModal();
    EXPECT_EQ(DialogCancelled, -1);
    EXPECT_EQ(FontChoice.Bold, -1);
    EXPECT_EQ(FontChoice.TitleFlag, 0);
}

TEST_F(FormatDialogs, TitleDialogTakesTheTitleAndAFontOnlyWhenTheFontDialogWasNotCancelled) {
    GraphTitle = "Old";
    Font1::RunModal = [](Font1& d) { d.Command3D2[0]->click(); };
    SETTITLE::RunModal = [](SETTITLE& d) {
        EXPECT_EQ(d.Text1->text(), "Old");
        d.Command3D2[1]->click();
        EXPECT_EQ(FontChoice.TitleFlag, 0);
        EXPECT_EQ(DialogCancelled, 0);
        Font1::RunModal = [](Font1& f) { f.Command3D2[1]->click(); };
        d.Command3D2[1]->click();
        EXPECT_EQ(FontChoice.TitleFlag, -1);
        d.Text1->setText("Basalts");
        d.Command3D1->click();
    };
    SETTITLE::ShowModal();
    EXPECT_EQ(TitleChanged, -1);
    EXPECT_EQ(GraphTitle, "Basalts");

    SETTITLE::RunModal = [](SETTITLE& d) {
        d.Text1->setText("Not this");
        d.Command3D2[0]->click();
    };
    SETTITLE::ShowModal();
    EXPECT_EQ(TitleChanged, 0);
    EXPECT_EQ(FontChoice.TitleFlag, 0);
    EXPECT_EQ(GraphTitle, "Basalts");
}

TEST_F(FormatDialogs, SymbolDescriptionsClearEmptiesTheBoxesOnlyUntilOk) {
    SymbolDescriptions[3] = "Granite";
    SymbolDesc::RunModal = [](SymbolDesc& d) {
        EXPECT_EQ(d.Text2[2]->text(), "Granite");
        d.Command3D1[1]->click();
        d.Command3D1[2]->click();
    };
    SymbolDesc::ShowModal();
    EXPECT_EQ(SymbolDescriptions[3], "Granite");
    SymbolDesc::RunModal = [](SymbolDesc& d) {
        d.Command3D1[1]->click();
        d.Text2[13]->setText("Gabbro");
        d.Command3D1[0]->click();
    };
    SymbolDesc::ShowModal();
    EXPECT_EQ(SymbolDescriptions[3], "");
    EXPECT_EQ(SymbolDescriptions[14], "Gabbro");
}

TEST_F(FormatDialogs, CurveFitDegreeRoundsHalvesToEvenAndRefusesTheRest) {
    const std::pair<const char*, int> accepted[] = {{"2.6", 3}, {"2.5", 2}, {"4", 4}, {" 1x", 1}};
    for (const auto& [text, degree] : accepted) {
        Curvefit::RunModal = [text = text](Curvefit& d) {
            EXPECT_EQ(d.Text1->text(), "1");
            d.Text1->setText(text);
            d.Command3D1[0]->click();
        };
        Curvefit::ShowModal();
        EXPECT_EQ(CurveFitDegree, degree) << text;
    }
    EXPECT_TRUE(host->boxes.empty());
    for (const char* bad : {"0", "5", "word", "", "4.6", "-0.6", "1e9"}) {
        host->boxes.clear();
        CurveFitDegree = 9;
        Curvefit::RunModal = [bad](Curvefit& d) {
            d.Text1->setText(bad);
            d.Command3D1[0]->click();
            d.Command3D1[1]->click();
        };
        Curvefit::ShowModal();
        EXPECT_EQ(boxes(), QStringList({"Enter a value between 1 and 4 | Invalid Entry"})) << bad;
        EXPECT_EQ(host->boxes[0].style, qvrt::vbCritical);
        EXPECT_EQ(CurveFitDegree, 9);
        EXPECT_EQ(DialogCancelled, -1);
    }
}

TEST_F(FormatDialogs, ColourEditChangesThePaletteEntryAndACancelIsSilent) {
    ColorPalette[3] = 0x00FF00;
    Colors1* d = Colors1::Show();
    EXPECT_EQ(d->ChosenNumber, 1);
    d->Panel3D1_Click(2);
    EXPECT_TRUE(d->Marked(2));
    d->Panel3D1_Click(4);
    EXPECT_FALSE(d->Marked(2));
    d->Panel3D1_Click(2);
    host->colorAnswers.push_back(std::nullopt);
    d->Command3D1[2]->click();
    EXPECT_EQ(ColorPalette[3], 0x00FF00u);
    host->colorAnswers.push_back(0x0000FFu);
    d->Command3D1[2]->click();
    EXPECT_EQ(ColorPalette[3], 0x0000FFu);
    EXPECT_EQ(d->Panel3D1[2]->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_TRUE(host->boxes.empty());
    d->Command3D1[1]->click();
}
