// The user's annotations of a graph window (boxes, lines, typed text
// labels and point labels), kept so every redraw and print can draw them
// again, with the flags that say which list the next undo shortens.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace graphcore {

// A list counts its entries in 16 bits.
inline constexpr int kMaxAnnotations = 32767;

// A box (corners) or a line (end points) in the diagram's user coordinates:
// the press point, then the release point.
struct Segment {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TextLabel {
    std::string text;  // UTF-8
    float x = 0, y = 0;
    std::string fontName;
    float fontSize = 0;
    int16_t bold = 0, italic = 0;
    uint32_t color = 0;
};

struct PointLabel {
    std::string text;
    uint32_t color = 0;
    float x = 0, y = 0;  // top-left corner of the text
};

// Entries 1..Count(); the 1-based index is how every caller names them.
template <typename Entry>
class AnnotationList {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Full() const { return Count() >= kMaxAnnotations; }
    const Entry& operator()(int index) const { return entries_.at(index - 1); }
    Entry& operator()(int index) { return entries_.at(index - 1); }
    // False, with nothing stored, when the list is full.
    bool Append(Entry entry) {
        if (Full()) return false;
        entries_.push_back(std::move(entry));
        return true;
    }
    void RemoveLast() {
        if (!entries_.empty()) entries_.pop_back();
    }
    void Clear() { entries_.clear(); }

private:
    std::vector<Entry> entries_;
};

// Which lists the next undo shortens; -1 set, 0 clear.
struct DrawKindFlags {
    int16_t PointLabel = 0, Box = 0, Line = 0, Text = 0;
};

enum class AnnotationTool { Box, Line, Text };

struct Annotations {
    AnnotationList<Segment> BoxList;
    AnnotationList<Segment> LineList;
    AnnotationList<TextLabel> TextLabelList;
    AnnotationList<PointLabel> PointLabelList;
    DrawKindFlags LastDrawKind;
    // The armed tool; at most one is -1.
    int16_t BoxDrawMode = 0, LineDrawMode = 0, TextInsertMode = 0;

    // Arms a tool. Arming the box or text tool leaves the point-label flag
    // as it was, so an undo right after also takes the last point label.
    void Arm(AnnotationTool tool);
    // A committed box, line or text label names only its own list.
    void Committed(AnnotationTool tool);
    // A point label names only the point labels and disarms the line and
    // text tools; the box tool stays armed.
    void PointLabelPlaced();

    // Removes the last entry of every list whose flag is set (box, line,
    // text, point label); the flags stay, so the next undo goes on with the
    // same lists.
    void Undo();
    // Empties all four lists; the flags stay.
    void DeleteAll();
    bool Empty() const;

    // Places a new, empty text label; false when the list is full.
    bool PlaceText(TextLabel label);
    // The label typing extends: the one placed last, until an undo or
    // Delete All, after which typing starts a new label. Null when there is
    // none.
    TextLabel* TypingTarget();

private:
    int typingTarget_ = 0;
};

}  // namespace graphcore
