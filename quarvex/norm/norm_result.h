// What a norm run hands back: the result table, the headings of the items it
// kept, the per-sample values the classifiers read, and how it failed.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace norm {

// NormResults: one row per sample (row 0 is the norm's scratch row), one
// single-precision value per item, items 0 to items().
class NormTable {
public:
    NormTable() = default;
    NormTable(int samples, int items)
        : samples_(samples), items_(items),
          cells_(static_cast<size_t>(samples + 1) * static_cast<size_t>(items + 1), 0.0f) {}
    float& at(int sample, int item) { return cells_[index(sample, item)]; }
    float at(int sample, int item) const { return cells_[index(sample, item)]; }
    int samples() const { return samples_; }
    int items() const { return items_; }

private:
    size_t index(int sample, int item) const {
        return static_cast<size_t>(sample) * static_cast<size_t>(items_ + 1) + static_cast<size_t>(item);
    }
    int samples_ = 0;
    int items_ = 0;
    std::vector<float> cells_;
};

// Per-sample values for the norm-based classifiers, index = sample (index 0
// unused); as long as the rows computed before a failure.
struct SampleValues {
    // The four components: XValues, YValues, ZValues, FValues.
    std::vector<float> x, y, z, f;
    // MaficInputs.
    std::vector<float> maficPercent, anorthitePercent, olivinePercent;
    // NormSampleArrays; the extended norm fills only silicaPercent.
    std::vector<float> silicaPercent, pyroxenePercent, maficPlagioclasePercent;

    void Resize(int lastSample);
};

// Why a row could not be computed; the sheet side reports every failure with
// the same message, the reason is for the developer.
struct NormFailure {
    int sample = 0;
    std::string reason;
};

struct NormRun {
    NormTable results;                  // after compaction: items 1 to resultCols
    int resultRows = 0;                 // NormResultRows
    int resultCols = 0;                 // NormResultCols
    std::vector<std::string> headings;  // 1 to resultCols (entry 0 empty)
    std::vector<char> noAnalysis;       // 1 to samples: rows left without results
    SampleValues sampleValues;
    std::optional<NormFailure> failure;
};

// An empty run for count samples: a result table of items columns, resultCols
// of them shown until compaction, no sample values yet.
NormRun NewNormRun(int count, int items, int resultCols);

}  // namespace norm
