#include "sequencer/PatternLibrary.h"

namespace vorlatek {

StepPattern* PatternLibrary::simplePattern(int i) {
    return i >= 0 && i < kSimplePatternCount ? &simplePatterns[i] : nullptr;
}

const StepPattern* PatternLibrary::simplePattern(int i) const {
    return const_cast<PatternLibrary*>(this)->simplePattern(i);
}

ExtendedPattern* PatternLibrary::extendedPattern(int i) {
    return i >= 0 && i < kExtendedPatternCount ? &extendedPatterns[i] : nullptr;
}

const ExtendedPattern* PatternLibrary::extendedPattern(int i) const {
    return const_cast<PatternLibrary*>(this)->extendedPattern(i);
}

PatternVariation* PatternLibrary::variation(int i, int v) {
    ExtendedPattern* pattern = extendedPattern(i);
    return pattern ? pattern->variation(v) : nullptr;
}

const PatternVariation* PatternLibrary::variation(int i, int v) const {
    return const_cast<PatternLibrary*>(this)->variation(i, v);
}

StepPattern* PatternLibrary::part(int i, int v, int p) {
    PatternVariation* found = variation(i, v);
    return found ? found->part(p) : nullptr;
}

const StepPattern* PatternLibrary::part(int i, int v, int p) const {
    return const_cast<PatternLibrary*>(this)->part(i, v, p);
}

StepPattern* PatternLibrary::find(const PatternRef& ref) {
    switch (ref.kind) {
        case PatternRef::kSimple: return simplePattern(ref.index);
        case PatternRef::kExtended: return part(ref.index, ref.variation, ref.part);
        default: return nullptr;
    }
}

const StepPattern* PatternLibrary::find(const PatternRef& ref) const {
    return const_cast<PatternLibrary*>(this)->find(ref);
}

PatternRef PatternLibrary::refOf(const StepPattern* pattern) const {
    if (!pattern) return {};
    for (int i = 0; i < kSimplePatternCount; ++i)
        if (pattern == &simplePatterns[i]) return PatternRef::simple(i);
    for (int i = 0; i < kExtendedPatternCount; ++i)
        for (int v = 0; v < 2; ++v)
            for (int p = 0; p < 2; ++p)
                if (pattern == part(i, v, p)) return PatternRef::extended(i, v, p);
    return {};
}

}  // namespace vorlatek
