#pragma once
// XML form of patterns, sets and banks: element writers and readers, and the file savers.
//
// Writers build a new element tree and hand it to the caller, who attaches it to a parent or
// to a document (or frees it with xmlFreeNode). Readers take any node: a node that is not an
// element of the expected name is ignored, unknown attributes and children are skipped,
// numbers are clamped, and a missing attribute leaves the field as it was.

#include "sequencer/PatternLibrary.h"

#include <libxml/tree.h>

#include <cstddef>
#include <functional>
#include <string>

namespace vorlatek {

// Element writers.
xmlNodePtr writeSimplePattern(const StepPattern& pattern);
xmlNodePtr writePart(const StepPattern& part, int partNumber);            // 1 or 2
xmlNodePtr writeVariation(const PatternVariation& variation, int which);  // 0 = A, 1 = B
xmlNodePtr writeExtendedPattern(const ExtendedPattern& pattern);
xmlNodePtr writeSimpleBank(const PatternLibrary& store);
xmlNodePtr writeExtendedBank(const PatternLibrary& store);
// A set: the pattern `index` (left out when out of range) followed by `preset`, a
// `VorlatekPreset` element built by the caller that the set takes over (may be null).
xmlNodePtr writeSimpleSet(const PatternLibrary& store, int index, xmlNodePtr preset);
xmlNodePtr writeExtendedSet(const PatternLibrary& store, int index, xmlNodePtr preset);

// Element readers.
void readSimplePattern(const xmlNode* node, StepPattern& pattern);
void readPart(const xmlNode* node, StepPattern& part);  // a `Part1` or `Part2` element
void readVariation(const xmlNode* node, PatternVariation& variation);
void readExtendedPattern(const xmlNode* node, ExtendedPattern& pattern);
void readSimpleBank(const xmlNode* node, PatternLibrary& store);
void readExtendedBank(const xmlNode* node, PatternLibrary& store);

// Builds the `VorlatekPreset` element of the current preset for a set file.
using PresetElementBuilder = std::function<xmlNodePtr()>;

// Saves by the extension of `path` (compared without regard to case): .vsp / .vss / .vsb the
// simple pattern `simpleIndex`, its set, or the simple bank; .vep / .ves / .veb the extended
// pattern `extendedIndex`, its set, or the extended bank. Any other extension, or an empty
// path, writes nothing. The file is replaced atomically. Returns whether a file was written.
bool savePatternFile(const std::string& path, const PatternLibrary& store, int simpleIndex,
                     int extendedIndex, const PresetElementBuilder& buildPreset);

// Parses a document holding a simple or an extended pattern bank and reads it into the
// store. A document that does not parse, or whose root is neither bank, changes nothing.
// Returns whether a bank was read.
bool loadPatternBank(const void* data, std::size_t size, PatternLibrary& store);
bool loadPatternBankFile(const std::string& path, PatternLibrary& store);

}  // namespace vorlatek
