#include "sequencer/PatternStore.h"

#include <algorithm>
#include <ctime>

namespace vorlatek {

PatternStore::PatternStore(const RandomThresholds* thresholds)
    : generator_(1234), thresholds_(thresholds ? thresholds : &ownThresholds_) {
    generator_.seed(static_cast<std::uint32_t>(std::time(nullptr)));
    // No random result yet: every rank unset.
    for (auto& row : randomRank_) std::fill(std::begin(row), std::end(row), -1.0f);
}

RandomThinning PatternStore::thinning() const {
    RandomThinning view;
    view.active = randActive_;
    view.pattern = refOf(randomised_);
    std::copy(std::begin(randomisedRows_), std::end(randomisedRows_), view.rows);
    for (int row = 0; row < kPatternRows; ++row)
        std::copy(std::begin(randomRank_[row]), std::end(randomRank_[row]), view.rank[row]);
    return view;
}

}  // namespace vorlatek
