#include "sequencer/RowClipboard.h"

#include <algorithm>

namespace vorlatek {

void RowClipboard::copy(const StepPattern& pattern, const Rows& selected) {
    copied_ = selected;
    for (int row = 0; row < kPatternRows; ++row) {
        if (!copied_[static_cast<std::size_t>(row)]) continue;
        for (int step = 0; step < kPatternSteps; ++step)
            cells_[row][step] = static_cast<std::uint8_t>(pattern.getCell(row, step));
    }
    held_ = std::find(copied_.begin(), copied_.end(), true) != copied_.end();
}

void RowClipboard::paste(StepPattern& pattern, const Rows& selected) {
    const int rows = count();
    const auto single = static_cast<int>(std::find(copied_.begin(), copied_.end(), true) - copied_.begin());
    for (int row = 0; rows > 0 && row < kPatternRows; ++row) {
        // One row goes into every selected row; several go back where they came from.
        int from = -1;
        if (rows == 1 && selected[static_cast<std::size_t>(row)]) from = single;
        else if (rows > 1 && copied_[static_cast<std::size_t>(row)]) from = row;
        if (from < 0) continue;
        for (int step = 0; step < kPatternSteps; ++step) pattern.setCell(cells_[from][step], row, step);
    }
    clear();
}

void RowClipboard::clear() {
    held_ = false;
    copied_.fill(false);
}

int RowClipboard::count() const {
    return held_ ? static_cast<int>(std::count(copied_.begin(), copied_.end(), true)) : 0;
}

bool RowClipboard::holds(int row) const {
    return held_ && row >= 0 && row < kPatternRows && copied_[static_cast<std::size_t>(row)];
}

}  // namespace vorlatek
