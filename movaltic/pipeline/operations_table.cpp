#include "movaltic/pipeline/operations_table.h"
#include "movaltic/formats/ascii_case.h"

#include <cctype>

namespace movaltic {

const fnlistrec fnlist[kOperationCount] = {
    {"Brightness", 3, 0, 0, 1},
    {"Contrast", 3, 0, 0, 1},
    {"Negative", 0, 0, 0, 1},
    {"Grayscale", 0, 0, 0, 1},
    {"Gamma Correct.", 3, 1, 0, 1},
    {"Saturation", 1, 0, 1, 1},
    {"Adjust RGB", 3, 0, 1, 1},
    {"Blur", 0, 0, 1, 0},
    {"Soften", 0, 0, 1, 0},
    {"Sharpen", 0, 0, 1, 0},
    {"Find Edges", 0, 0, 1, 0},
    {"Emboss", 0, 0, 0, 0},
    {"Flip Vertical", 0, 0, 0, 1},
    {"Flip Horizontal", 0, 0, 0, 1},
    {"Mirror Vertical", 0, 0, 0, 1},
    {"Mirror Horizontal", 0, 0, 0, 1},
    {"Chaos", 1, 0, 1, 1},
};

int32_t OperationIndex(const std::string& text) {
    for (int32_t i = 0; i < kOperationCount; ++i) {
        const std::string name = fnlist[i].name;
        if (name.size() > text.size()) continue;
        bool match = true;
        for (size_t k = 0; k < name.size() && match; ++k)
            match = AsciiUpper(name[k]) == AsciiUpper(text[k]);
        if (match) return i;
    }
    return -1;
}

}  // namespace movaltic
