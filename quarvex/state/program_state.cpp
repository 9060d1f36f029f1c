#include "quarvex/state/program_state.h"

#include "quarvex/runtime/basic.h"

namespace quarvex {

ColumnNumber::ColumnNumber(int value) : text_(QString::number(value)) {}

ColumnNumber ColumnNumber::FromText(const QString& text) {
    ColumnNumber c;
    c.text_ = text;
    return c;
}

ColumnNumber::operator int() const { return qvrt::CInt(qvrt::Val(text_)); }

const std::array<uint32_t, 15> kDefaultPalette = {
    0,
    RGB(0, 0, 0), RGB(0, 0, 255), RGB(0, 192, 192), RGB(128, 255, 255), RGB(0, 128, 64),
    RGB(128, 0, 128), RGB(255, 255, 0), RGB(0, 0, 128), RGB(192, 192, 192), RGB(255, 0, 255),
    RGB(0, 255, 0), RGB(0, 128, 128), RGB(128, 0, 0), RGB(255, 128, 0),
};

const std::array<uint32_t, 15> kFactoryPalette = {
    0,
    RGB(0, 0, 0), RGB(0, 128, 64), RGB(0, 0, 255), RGB(128, 0, 128), RGB(0, 128, 128),
    RGB(128, 255, 255), RGB(128, 128, 64), RGB(0, 0, 128), RGB(255, 255, 0), RGB(192, 192, 192),
    RGB(255, 0, 255), RGB(0, 255, 0), RGB(128, 0, 0), RGB(128, 128, 128),
};

void SetDefaultColumnAssignment() {
    SampleCol = 1;
    NameCol = 2;
    SymbolCol = 3;
    ColorCol = 4;
    XCol = 5;
    YCol = 6;
    ZCol = 7;
    AxisLabels[1] = QStringLiteral("A");
    AxisLabels[2] = QStringLiteral("B");
    AxisLabels[3] = QStringLiteral("C");
}

void ResetFrameState() {
    ScreenWidthTwips = 0;
    ScreenHeightTwips = 0;
    ScreenScaleX = 1;
    ScreenScaleY = 1;
    AutoScale = -1;
    SetDefaultColumnAssignment();
    AxisLabels = {};  // the splash's load sets them
    DefaultColor = RGB(0, 0, 128);
    PlotFromMemory = 0;
    NoSampleLabels = -1;
    RecentFiles = {};
    DiagramSize = QStringLiteral("Medium");
    ShowFieldLetters = 0;
    EnterMovesRight = 0;
    ShowTables = -1;
    ShowTickMarks = -1;
    ShowFieldLines = 0;
    AxesTFont = {};
    TitleFont = {};
    ColorPalette = {};
    HelpFilePath.clear();
    MsgBoxAnswer = 0;
    DialogCancelled = 0;
    TextColor = 0;
    DataMenusEnabled = 0;
    GridBusy = 0;
    UndoRecord = {};
    DatabasePath.clear();
    LaunchCancelled = 0;
}

}  // namespace quarvex
