#pragma once
// The patterns themselves, as plain values: 16 extended patterns (0..11 basic, 12..15
// intro/fill-in) and 96 simple patterns. The editor's store holds one library and the
// audio thread plays a copy of it, so a library is copied whole and never allocates.

#include "sequencer/ExtendedPattern.h"
#include "sequencer/StepPattern.h"

#include <cstdint>

namespace vorlatek {

inline constexpr int kExtendedPatternCount = 16;
inline constexpr int kBasicPatternCount = 12;  // extended patterns 12..15 are intro/fill-ins
inline constexpr int kSimplePatternCount = 96;

// Names one step pattern of a library: a simple pattern, or one part of one variation of an
// extended pattern. The default names nothing.
struct PatternRef {
    enum Kind : std::int8_t { kNone = 0, kSimple = 1, kExtended = 2 };
    Kind kind = kNone;
    std::int8_t variation = 0;  // extended: 0 = A, 1 = B
    std::int8_t part = 0;       // extended: 0 = first part, 1 = second part
    std::int8_t index = 0;  // up to 95: four bytes in all, no padding

    static PatternRef simple(int i) { return {kSimple, 0, 0, static_cast<std::int8_t>(i)}; }
    static PatternRef extended(int i, int v, int p) {
        return {kExtended, static_cast<std::int8_t>(v), static_cast<std::int8_t>(p), static_cast<std::int8_t>(i)};
    }
    bool operator==(const PatternRef&) const = default;
};

struct PatternLibrary {
    ExtendedPattern extendedPatterns[kExtendedPatternCount];
    StepPattern simplePatterns[kSimplePatternCount];

    // Pointers into the library, valid for its life; nullptr for an index out of range.
    StepPattern* simplePattern(int i);
    const StepPattern* simplePattern(int i) const;
    ExtendedPattern* extendedPattern(int i);
    const ExtendedPattern* extendedPattern(int i) const;
    PatternVariation* variation(int i, int v);  // v 0 = A, 1 = B
    const PatternVariation* variation(int i, int v) const;
    StepPattern* part(int i, int v, int p);  // p 0 = first part, 1 = second part
    const StepPattern* part(int i, int v, int p) const;

    // The pattern a reference names, or null.
    StepPattern* find(const PatternRef& ref);
    const StepPattern* find(const PatternRef& ref) const;
    // The reference of a pattern of this library; names nothing for any other pointer.
    PatternRef refOf(const StepPattern* pattern) const;
};

}  // namespace vorlatek
