#pragma once
// The row clipboard of the pattern editor: whole instrument rows (16 cells each) copied
// from one pattern and pasted into the same or other rows of any pattern. One copied row
// goes into every selected row; several copied rows go back into their own rows.

#include "sequencer/StepPattern.h"

#include <array>
#include <cstdint>

namespace vorlatek {

class RowClipboard {
public:
    using Rows = std::array<bool, kPatternRows>;

    // Holds the selected rows of `pattern`; held() only when at least one row was selected.
    void copy(const StepPattern& pattern, const Rows& selected);
    // Writes the held rows into `pattern` (see above) and empties the clipboard.
    void paste(StepPattern& pattern, const Rows& selected);
    void clear();

    bool held() const { return held_; }
    // The number of rows held, and whether row `row` is one of them.
    int count() const;
    bool holds(int row) const;

private:
    bool held_ = false;
    Rows copied_{};
    std::uint8_t cells_[kPatternRows][kPatternSteps] = {};
};

}  // namespace vorlatek
