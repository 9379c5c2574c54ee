#pragma once
// The step pattern: 18 rows (seventeen instruments, then the accent row) of 16 cells, with
// the length, resolution, swing and tempo a pattern plays at. Simple patterns and the parts
// of extended patterns share this record. Everything is stored by value so the audio thread
// can read any cell by index without allocating.

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlatek {

inline constexpr int kPatternRows = 18;      // BD .. CH, then AC
inline constexpr int kPatternSteps = 16;
inline constexpr int kAccentRow = 17;
inline constexpr int kPatternNameLength = 16;  // bytes, without the terminator

inline constexpr double kMinBpm = 30.0;
inline constexpr double kMaxBpm = 303.0;

// Two-letter row names in row order, as used for the row elements of pattern files.
inline constexpr const char* kRowNames[kPatternRows] = {"BD", "SD", "LC", "MC", "HC", "LT",
                                                        "MT", "HT", "CL", "RS", "MA", "CP",
                                                        "CB", "LG", "CY", "OH", "CH", "AC"};

// Cell values as operations read and write them: bit 0 = on, bit 1 = accent.
inline constexpr int kCellOff = 0;
inline constexpr int kCellOn = 1;
inline constexpr int kCellAccentOnly = 2;  // silent: the accent flag alone never triggers
inline constexpr int kCellAccented = 3;

struct StepCell {
    std::uint8_t on = 0;
    std::uint8_t accent = 0;

    int value() const { return (on ? kCellOn : 0) | (accent ? kCellAccentOnly : 0); }
};

// x clamped to 30..303 and rounded to the nearest tenth, halves up.
double roundedBpm(double x);
// x clamped to 0..1.
double clampedShuffle(double x);
// n when it is 3, 4, 6 or 8, else 4.
int validStepsPerBeat(int n);
// Copies `text` into a pattern-name buffer of kPatternNameLength + 1 bytes, always terminated:
// at most 16 bytes of whole UTF-8 characters. Control characters become blanks and bytes that
// are not UTF-8 are dropped, so that every stored name can be written to a file and read back.
void copyPatternName(char (&destination)[kPatternNameLength + 1], std::string_view text);
// The text held in a pattern-name buffer.
std::string_view patternName(const char (&name)[kPatternNameLength + 1]);

struct StepPattern {
    char name[kPatternNameLength + 1] = "Empty";
    std::int32_t length = kPatternSteps;
    double shuffle = 0.0;  // 0..1; every second step is delayed by shuffle * 0.8 of a step
    double bpm = 120.0;
    bool allowEmpty = false;  // length 0 allowed (a variation's second part)
    std::int32_t stepsPerBeat = 4;
    StepCell cells[kPatternRows][kPatternSteps] = {};

    int minLength() const { return allowEmpty ? 0 : 1; }

    void setName(std::string_view text) { copyPatternName(name, text); }
    void setLength(int n);
    void setShuffle(double x) { shuffle = clampedShuffle(x); }
    void setBpm(double x) { bpm = roundedBpm(x); }
    void setStepsPerBeat(int n) { stepsPerBeat = validStepsPerBeat(n); }

    // 0..3; 0 outside the rows and steps.
    int getCell(int row, int step) const;
    // Stores bit 0 as the on flag and bit 1 as the accent flag; in the accent row an on
    // step is always accented. Ignored outside the rows and steps.
    void setCell(int value, int row, int step);
    // Clears one row; a row outside 0..17 clears the whole pattern.
    void clearRow(int row);
    // Rotates steps 0..length-1 of a row: n > 0 moves them later (the last step wraps to
    // the front), n < 0 earlier. Cells at and beyond the length stay where they are.
    void rotateRow(int row, int n);
};

// Copies all 18 x 16 cells, applying the accent-row rule.
void copyCells(const StepPattern& source, StepPattern& destination);
// Copies length (clamped to the destination's minimum), name, resolution and all cells.
// The destination keeps its shuffle, tempo and allowEmpty.
void copyPattern(const StepPattern& source, StepPattern& destination);

// One character per played step: 'o' on, 'O' on and accented, '.' otherwise.
std::string encodeStepString(const StepPattern& pattern, int row);
// Reads up to 16 characters into the row: 'O' accented, 'o' on, anything else off. Steps
// beyond the text keep their cells.
void decodeStepString(std::string_view text, StepPattern& pattern, int row);

}  // namespace vorlatek
