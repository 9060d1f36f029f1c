// The tables through which every child window of the frame is found. A data
// sheet's Tag is the decimal text of its index; index 0 belongs to no sheet.
// The tables only grow during a run: a closed sheet keeps its record.
#pragma once

#include <QMdiSubWindow>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <vector>

namespace quarvex {

class Main1;

struct WindowRecord {
    int16_t Modified = 0;
    int16_t Saved = 0;
    int16_t SaveCancelled = 0;
    int16_t IsOpen = 0;
    QString DiagramType;
};

inline std::vector<WindowRecord> WindowTable(1);
// Closed sheets are deleted; their entry then reads as null.
inline std::vector<QPointer<Main1>> DataWindows(1);
inline std::vector<QPointer<QMdiSubWindow>> GraphWindows(1);

inline int16_t CurrentDataWindow = 0;
inline int16_t SheetCounter = 0;
inline QString CurrentFileName;
inline int16_t SheetMaxRows = 15000;

// Back to the single element 0 each, counters 0 (start of a run, tests).
void ResetWindowTables();

// The record of a window by the number in its Tag; an empty or foreign tag
// (a graph window, no window) reaches element 0.
WindowRecord& RecordByTag(const QString& tag);

// The next index of WindowTable and DataWindows, both grown to it. More than
// 32767 sheets in one run overflow (error 6).
int16_t GrowWindowTables();

}  // namespace quarvex
