// The XY set-up dialog's checks of the manual limits.
#include "quarvex/graph/plot_setup_dialogs.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/state/graph_state.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/reset.h"
#include "quarvex/state/window_tables.h"

#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace quarvex {
namespace {

TEST(SetUpDialog, ManualLimitsThatAreNoNumbersOrOutOfOrderAreRefused) {
    qvrt::ScriptedHost& host = qvrt::InstallScriptedHost();
    ResetProgramState();
    quarvex::SetUp dialog;
    dialog.ManualO->setChecked(true);
    dialog.ManualO_Click();
    ScaleMaxX = 7;
    const char* entries[][4] = {{"0", "abc", "0", "5"}, {"0", "NaN", "0", "5"}, {"0", "1e40", "0", "5"},
                                {"5", "5", "0", "5"},   {"0", "10", "6", "-1"}};
    for (const auto& e : entries) {
        host.boxes.clear();
        dialog.MinXT->setText(QString::fromLatin1(e[0]));
        dialog.MaxXT->setText(QString::fromLatin1(e[1]));
        dialog.MinYT->setText(QString::fromLatin1(e[2]));
        dialog.MaxYT->setText(QString::fromLatin1(e[3]));
        dialog.Command3D1_Click(2);
        ASSERT_EQ(host.boxes.size(), 1u) << e[1];
        EXPECT_EQ(host.boxes[0].title, QStringLiteral("Invalid Entry"));
    }
    EXPECT_FLOAT_EQ(ScaleMaxX, 7);
    EXPECT_NE(PlotKind, QStringLiteral("XY Plot"));

    host.boxes.clear();
    dialog.MaxYT->setText(QStringLiteral("12.5"));
    dialog.Command3D1_Click(2);  // stored, then the launcher finds no sheet
    EXPECT_FLOAT_EQ(ScaleMaxY, 12.5f);
    EXPECT_EQ(AutoScale, 0);
    EXPECT_EQ(PlotKind, QStringLiteral("XY Plot"));
    EXPECT_EQ(RecordByTag(QString()).DiagramType, QStringLiteral("XY Plot"));
}

}  // namespace
}  // namespace quarvex
