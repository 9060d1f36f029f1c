// What the screen overlays need of the graph window's field-name key table
// Grid3: its row count, its height and its cells, and its offset inside the
// key panel, which the panel's scroll bars move.
#pragma once

#include <QString>

namespace quarvex {

class FieldKeyTable {
public:
    virtual ~FieldKeyTable() = default;
    virtual void SetRows(int rows) = 0;
    virtual void SetHeight(int twips) = 0;
    virtual void SetText(int row, int col, const QString& text) = 0;
    // Left and top of the table in the panel's units.
    virtual void SetLeft(double left) = 0;
    virtual void SetTop(double top) = 0;
};

}  // namespace quarvex
