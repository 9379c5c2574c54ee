#include "sequencer/StepPattern.h"

#include "sequencer/XmlDocument.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vorlatek {

namespace {

bool validRow(int row) { return row >= 0 && row < kPatternRows; }
bool validStep(int step) { return step >= 0 && step < kPatternSteps; }

// The number of steps a row operation may touch, whatever was written into `length`.
int playedSteps(const StepPattern& pattern) { return std::clamp<int>(pattern.length, 0, kPatternSteps); }

void storeCell(StepCell& cell, int row, int value) {
    cell.on = (value & kCellOn) ? 1 : 0;
    cell.accent = (value & kCellAccentOnly) ? 1 : 0;
    if (row == kAccentRow && cell.on) cell.accent = 1;
}

}  // namespace

double roundedBpm(double x) {
    if (!(x >= kMinBpm)) x = kMinBpm;  // also catches NaN
    if (x > kMaxBpm) x = kMaxBpm;
    return std::trunc(x * 10.0 + 0.5) * 0.1;
}

double clampedShuffle(double x) {
    if (!(x >= 0.0)) return 0.0;
    return x > 1.0 ? 1.0 : x;
}

int validStepsPerBeat(int n) { return (n == 3 || n == 4 || n == 6 || n == 8) ? n : 4; }

void copyPatternName(char (&destination)[kPatternNameLength + 1], std::string_view text) {
    xml::copyStorableText(destination, kPatternNameLength, text);
}

std::string_view patternName(const char (&name)[kPatternNameLength + 1]) {
    return std::string_view(name, strnlen(name, kPatternNameLength));
}

void StepPattern::setLength(int n) { length = std::clamp(n, minLength(), kPatternSteps); }

int StepPattern::getCell(int row, int step) const {
    if (!validRow(row) || !validStep(step)) return kCellOff;
    return cells[row][step].value();
}

void StepPattern::setCell(int value, int row, int step) {
    if (!validRow(row) || !validStep(step)) return;
    storeCell(cells[row][step], row, value);
}

void StepPattern::clearRow(int row) {
    if (validRow(row)) {
        std::fill(std::begin(cells[row]), std::end(cells[row]), StepCell{});
        return;
    }
    for (auto& r : cells) std::fill(std::begin(r), std::end(r), StepCell{});
}

void StepPattern::rotateRow(int row, int n) {
    const int steps = playedSteps(*this);
    if (!validRow(row) || steps < 2) return;
    const long long shift = static_cast<long long>(n) % steps;
    StepCell* first = cells[row];
    if (shift > 0)
        std::rotate(first, first + (steps - shift), first + steps);
    else if (shift < 0)
        std::rotate(first, first + (-shift), first + steps);
}

void copyPattern(const StepPattern& source, StepPattern& destination) {
    destination.setLength(source.length);
    destination.setName(patternName(source.name));
    destination.setStepsPerBeat(source.stepsPerBeat);
    copyCells(source, destination);
}

void copyCells(const StepPattern& source, StepPattern& destination) {
    for (int row = 0; row < kPatternRows; ++row)
        for (int step = 0; step < kPatternSteps; ++step)
            storeCell(destination.cells[row][step], row, source.cells[row][step].value());
}

std::string encodeStepString(const StepPattern& pattern, int row) {
    std::string text;
    if (!validRow(row)) return text;
    const int steps = playedSteps(pattern);
    text.reserve(static_cast<std::size_t>(steps));
    for (int step = 0; step < steps; ++step) {
        const int value = pattern.cells[row][step].value();
        text.push_back(value == kCellAccented ? 'O' : value == kCellOn ? 'o' : '.');
    }
    return text;
}

void decodeStepString(std::string_view text, StepPattern& pattern, int row) {
    if (!validRow(row)) return;
    const std::size_t count = std::min<std::size_t>(text.size(), kPatternSteps);
    for (std::size_t step = 0; step < count; ++step) {
        const char c = text[step];
        const int value = c == 'O' ? kCellAccented : c == 'o' ? kCellOn : kCellOff;
        storeCell(pattern.cells[row][step], row, value);
    }
}

}  // namespace vorlatek
