#include "plugin/DrumMap.h"

#include "engine/Instrument.h"
#include "sequencer/XmlDocument.h"

#include <string>

namespace vorlatek {

DrumMap::DrumMap() {
    for (int n = 0; n < kNotes; ++n) entries_[n] = n % kInstrumentCount;
}

void DrumMap::set(int note, int instrument) {
    if (note < 0 || note >= kNotes) return;
    entries_[note] = instrument >= 0 && instrument < kInstrumentCount ? instrument : -1;
}

DrumNotes DrumMap::notes() const {
    DrumNotes notes{};
    for (int n = 0; n < kNotes; ++n) notes[static_cast<std::size_t>(n)] = static_cast<std::int8_t>(entries_[n]);
    return notes;
}

void DrumMap::read(const xmlNode* element) {
    if (!xml::isElement(element, "DrumMap")) return;
    entries_.fill(-1);
    xml::forEachChildElement(element, [&](xmlNodePtr assign) {
        if (!xml::isElement(assign, "assign")) return;
        int note = -1;
        int instrument = -1;
        xml::forEachAttribute(assign, [&](std::string_view attr, const std::string& text) {
            if (attr == "note") {
                if (auto v = xml::parseInt(text)) note = *v;
            } else if (attr == "instrument") {
                const int i = instrumentFromName(text);
                instrument = i < kInstrumentCount ? i : -1;
            }
        });
        if (note >= 0 && note < kNotes && instrument >= 0) entries_[note] = instrument;
    });
}

xmlNodePtr DrumMap::write() const {
    xmlNodePtr element = xml::newElement("DrumMap");
    for (int i = 0; i < kInstrumentCount; ++i)
        for (int n = 0; n < kNotes; ++n)
            if (entries_[n] == i) {
                xmlNodePtr assign = xml::addChildElement(element, "assign");
                xml::setAttribute(assign, "note", xml::formatInt(n));
                xml::setAttribute(assign, "instrument", kInstrumentNames[i]);
            }
    return element;
}

}  // namespace vorlatek
