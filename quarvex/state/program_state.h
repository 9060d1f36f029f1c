// Program-wide values of the frame: the start-up defaults of the splash, the
// values kept in the settings store, and the flags the frame's windows share.
// Flags are 16-bit, -1 true and 0 false; colours red + 256 green + 65536 blue.
#pragma once

#include "quarvex/state/reset.h"

#include <QString>
#include <array>
#include <cstdint>

namespace quarvex {

// A column number kept as the text the settings store gave ("XCol"); every
// use reads it as a number.
class ColumnNumber {
public:
    ColumnNumber(int value = 0);
    static ColumnNumber FromText(const QString& text);
    operator int() const;
    const QString& text() const { return text_; }

private:
    QString text_;
};

struct FontRecord {
    QString Name;
    int16_t Bold = 0;
    float Size = 0;
    int16_t Italic = 0;
    double Color = 0;
};

// One-level undo block of the sheets: columns, rows and previous contents.
struct UndoBlock {
    int Col1 = 0, Col2 = 0, Row1 = 0, Row2 = 0;
    QString Contents;
};

// Start-up defaults (splash).
inline float ScreenWidthTwips = 0;
inline float ScreenHeightTwips = 0;
inline double ScreenScaleX = 1;
inline double ScreenScaleY = 1;
inline int16_t AutoScale = -1;
inline int16_t SampleCol = 1;
inline int16_t NameCol = 2;
inline int16_t SymbolCol = 3;
inline int16_t ColorCol = 4;
inline ColumnNumber XCol = 5;
inline ColumnNumber YCol = 6;
inline ColumnNumber ZCol = 7;
inline std::array<QString, 6> AxisLabels;  // entries 1 to 5
inline uint32_t DefaultColor = 0x800000;   // dark blue
inline int16_t PlotFromMemory = 0;
inline int16_t NoSampleLabels = -1;

// Values of the settings store.
inline std::array<QString, 5> RecentFiles;  // entries 1 to 4, most recent first
inline QString DiagramSize = QStringLiteral("Medium");
inline int16_t ShowFieldLetters = 0;
inline int16_t EnterMovesRight = 0;  // -1 Enter moves right, 0 down
inline int16_t ShowTables = -1;
inline int16_t ShowTickMarks = -1;
inline int16_t ShowFieldLines = 0;
inline FontRecord AxesTFont;
inline FontRecord TitleFont;
inline std::array<uint32_t, 19> ColorPalette{};  // entries 1 to 14 are the plot colours

// Other frame state.
inline QString HelpFilePath;
inline int16_t MsgBoxAnswer = 0;
inline int16_t DialogCancelled = 0;
inline uint32_t TextColor = 0;
inline int16_t DataMenusEnabled = 0;
inline int16_t GridBusy = 0;
inline UndoBlock UndoRecord;

// The palette of a first run (no "Color1" .. "Color14" stored) and the one
// Restore All Settings gives; two different palettes.
extern const std::array<uint32_t, 15> kDefaultPalette;
extern const std::array<uint32_t, 15> kFactoryPalette;

constexpr uint32_t RGB(int r, int g, int b) {
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

// The column assignment 1 to 7 and the axis labels "A", "B", "C" of a
// fresh start and of Restore All Settings.
void SetDefaultColumnAssignment();

// Full path of the database program; empty at every start, set only by
// the "Open Database" dialog, not kept in the settings.
inline QString DatabasePath;
// -1 when that dialog was left with Cancel; the launch reads and clears it.
inline int16_t LaunchCancelled = 0;

// The frame's values above back to their state before the splash's load.
void ResetFrameState();

}  // namespace quarvex
