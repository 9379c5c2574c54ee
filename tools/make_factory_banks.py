#!/usr/bin/env python3
"""Writes the factory banks compiled into the plug-in:

  resources/presets.vpb   128 sound kits (tools/factory_kits.py)
  resources/extended.veb  16 extended patterns (tools/factory_patterns.py)
  resources/simple.vsb    96 simple patterns, 40 programmed and the rest empty

The documents are written exactly as the plug-in writes them (indented by two spaces, "%f"
numbers, rows as step strings), so saving a freshly loaded factory bank reproduces the file.

Usage: tools/make_factory_banks.py [output folder, default: resources/ of this checkout]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from factory_kits import PARAMETERS, factory_presets  # noqa: E402
from factory_patterns import EXTENDED_BANK, SIMPLE_PATTERNS  # noqa: E402

ROWS = ["BD", "SD", "LC", "MC", "HC", "LT", "MT", "HT", "CL", "RS", "MA", "CP", "CB", "LG",
        "CY", "OH", "CH", "AC"]
SIMPLE_COUNT = 96
EXTENDED_COUNT = 16
FILL_IN_SLOTS = range(12, 16)
MAX_PATTERN_NAME = 16
MAX_PRESET_NAME = 23


class Writer:
    """Element tree text in the layout libxml2 produces for an indented document."""

    def __init__(self):
        self.lines = ['<?xml version="1.0" encoding="UTF-8"?>']
        self.depth = 0

    @staticmethod
    def attributes(attrs):
        def escape(text):
            return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
                    .replace('"', "&quot;").replace("\n", "&#10;").replace("\r", "&#13;")
                    .replace("\t", "&#9;"))
        return "".join(' %s="%s"' % (k, escape(v)) for k, v in attrs)

    def open(self, name, attrs=()):
        self.lines.append("  " * self.depth + "<%s%s>" % (name, self.attributes(attrs)))
        self.depth += 1

    def close(self, name):
        self.depth -= 1
        self.lines.append("  " * self.depth + "</%s>" % name)

    def empty(self, name, attrs=()):
        self.lines.append("  " * self.depth + "<%s%s/>" % (name, self.attributes(attrs)))

    def text(self, name, text):
        if not text:
            self.empty(name)
        else:
            self.lines.append("  " * self.depth + "<%s>%s</%s>" % (name, text, name))

    def result(self):
        return "\n".join(self.lines) + "\n"


def f(value):
    return "%f" % value


def check(condition, message):
    if not condition:
        raise SystemExit("factory content: " + message)


def step_rows(rows, length, where):
    """The 18 row texts of a pattern; AC steps that are on are always accented."""
    for name in rows:
        check(name in ROWS, "%s: unknown row %s" % (where, name))
    texts = []
    for name in ROWS:
        text = rows.get(name, "." * length)
        check(len(text) == length, "%s: row %s has %d steps, not %d" % (where, name, len(text), length))
        check(set(text) <= set(".oO"), "%s: row %s has other characters than . o O" % (where, name))
        if name == "AC":
            text = text.replace("o", "O")
        texts.append(text)
    return texts


def pattern_length(rows, where):
    lengths = {len(text) for text in rows.values()}
    check(len(lengths) == 1, "%s: rows of different lengths" % where)
    length = lengths.pop()
    check(1 <= length <= 16, "%s: length %d" % (where, length))
    return length


def write_rows(w, texts):
    for name, text in zip(ROWS, texts):
        w.text(name, text)


def check_name(name, limit):
    check(0 < len(name.encode("utf-8")) <= limit, "name %r longer than %d bytes" % (name, limit))


def check_tempo(bpm, shuffle, where):
    check(30 <= bpm <= 303 and round(bpm, 1) == bpm, "%s: tempo %r" % (where, bpm))
    check(0 <= shuffle <= 0.8, "%s: shuffle %r" % (where, shuffle))


def simple_bank():
    check(len(SIMPLE_PATTERNS) == 40, "%d programmed simple patterns" % len(SIMPLE_PATTERNS))
    names = [p["name"] for p in SIMPLE_PATTERNS]
    check(len(set(names)) == len(names), "duplicate simple pattern names")
    w = Writer()
    w.open("VorlatekSimplePatternBank")
    empty = {"name": "Empty", "bpm": 120.0, "shuffle": 0.0, "spb": 4, "rows": {"BD": "." * 16}}
    for index in range(SIMPLE_COUNT):
        p = SIMPLE_PATTERNS[index] if index < len(SIMPLE_PATTERNS) else empty
        where = "simple %d %s" % (index, p["name"])
        check_name(p["name"], MAX_PATTERN_NAME)
        check_tempo(p["bpm"], p["shuffle"], where)
        check(p["spb"] in (3, 4, 6, 8), where + ": steps per beat")
        length = pattern_length(p["rows"], where)
        w.open("VorlatekSimplePattern", [("name", p["name"]), ("length", str(length)),
                                         ("stepsPerBeat", str(p["spb"])), ("shuffle", f(p["shuffle"])),
                                         ("bpm", f(p["bpm"]))])
        write_rows(w, step_rows(p["rows"], length, where))
        w.close("VorlatekSimplePattern")
    w.close("VorlatekSimplePatternBank")
    return w.result()


def write_part(w, element, part, where, allow_empty):
    if part is None:
        check(allow_empty, where + ": missing first part")
        w.open(element, [("length", "0"), ("stepsPerBeat", "4")])
        write_rows(w, [""] * len(ROWS))
        w.close(element)
        return
    length = pattern_length(part["rows"], where)
    check(part["spb"] in (3, 4, 6, 8), where + ": steps per beat")
    w.open(element, [("length", str(length)), ("stepsPerBeat", str(part["spb"]))])
    write_rows(w, step_rows(part["rows"], length, where))
    w.close(element)


def extended_bank():
    check(len(EXTENDED_BANK) == EXTENDED_COUNT, "%d extended patterns" % len(EXTENDED_BANK))
    w = Writer()
    w.open("VorlatekExtendedPatternBank")
    for index, p in enumerate(EXTENDED_BANK):
        check_name(p["name"], MAX_PATTERN_NAME)
        is_fill = p["name"].startswith(("Intro", "Fill"))
        check(is_fill == (index in FILL_IN_SLOTS), "%s: intros and fill-ins belong in slots 12..15" % p["name"])
        w.open("VorlatekExtendedPattern", [("name", p["name"])])
        for label in ("A", "B"):
            v = p[label]
            where = "extended %d %s %s" % (index, p["name"], label)
            check_tempo(v["bpm"], v["shuffle"], where)
            w.open("Variation" + label, [("shuffle", f(v["shuffle"])), ("bpm", f(v["bpm"]))])
            write_part(w, "Part1", v["parts"][0], where + " part 1", False)
            write_part(w, "Part2", v["parts"][1], where + " part 2", True)
            w.close("Variation" + label)
        w.close("VorlatekExtendedPattern")
    w.close("VorlatekExtendedPatternBank")
    return w.result()


def preset_bank():
    presets = factory_presets()
    check(len(presets) == 128, "%d presets" % len(presets))
    check(len({name for name, _ in presets}) == 128, "duplicate preset names")
    check(len({tuple(v for _, v in values) for _, values in presets}) == 128, "presets that sound alike")
    w = Writer()
    w.open("VorlatekPresetBank")
    for name, values in presets:
        check_name(name, MAX_PRESET_NAME)
        check(len(values) == len(PARAMETERS) == 58, name + ": not 58 values")
        w.open("VorlatekPreset", [("name", name)])
        for knob, value in values:
            check(0.0 <= value <= 1.0, "%s: %s out of range" % (name, knob))
            w.empty("param", [("name", knob), ("value", f(value))])
        w.close("VorlatekPreset")
    w.close("VorlatekPresetBank")
    return w.result()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    for file_name, text in (("presets.vpb", preset_bank()), ("extended.veb", extended_bank()),
                            ("simple.vsb", simple_bank())):
        with open(os.path.join(out, file_name), "w", encoding="utf-8", newline="\n") as target:
            target.write(text)


if __name__ == "__main__":
    main()
