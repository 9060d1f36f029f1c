// Graph template files (.kmt): a stream of 16-bit integer fields separated
// by commas, blanks or line ends, six per segment for a ternary graph (top,
// left, right of each end point) and four for an XY plot (x1, y1, x2, y2).
// A file is read completely before the caller stores anything, so a bad
// file leaves the window as it was.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace graphcore {

inline constexpr int kTernaryTemplateFields = 6;
inline constexpr int kXYTemplateFields = 4;
// The window counts its segments in 16 bits.
inline constexpr int kMaxTemplateSegments = 32767;

// The fields of one record as the file gives them; an XY record uses the
// first four.
struct TemplateSegment {
    std::array<int16_t, 6> fields{};
};

enum class TemplateReadStatus {
    Ok,
    AccessError,  // missing, a folder or unreadable: nothing was read
    ReadError,    // not a plain file (a pipe, a device) or a read that failed
    FormatError,  // anything in the text that is not a whole set of records
};

struct TemplateReadResult {
    TemplateReadStatus status = TemplateReadStatus::Ok;
    std::vector<TemplateSegment> segments;
    std::string detail;  // what was wrong, for the log and the tests
};

// Reads records of `fieldsPerRecord` fields (6 or 4) up to the end of the
// text. Blank space and line ends after the last record are fine; a record
// cut short, a field that is not a number, a number outside -32768..32767
// after rounding to the nearest integer (halves to even), more than
// kMaxTemplateSegments records, or, on a ternary template, a negative
// component (a composition has none) are format errors. Numbers are read
// with a point whatever the locale. A stream that fails is a read error.
TemplateReadResult ParseTemplate(std::istream& in, int fieldsPerRecord);
// Reads only plain files: a pipe or a device could block or never end.
TemplateReadResult ReadTemplateFile(const std::string& path, int fieldsPerRecord);

struct TemplatePoint {
    float x = 0.0f;
    float y = 0.0f;
};

// Where a composition (top, left, right) lies on the ternary frame with
// corners (0, 0), (100, 0) and (50, 100): the top component directly, left
// and right only by their ratio. The sum is formed in 32 bits, so no pair
// of 16-bit components overflows it.
TemplatePoint TernaryTemplatePoint(int16_t top, int16_t left, int16_t right);

}  // namespace graphcore
