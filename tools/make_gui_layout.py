#!/usr/bin/env python3
"""Writes the GUI section of resources/settings.xml from the layout table in
tools/gui_layout.py. Everything else in the document stays as it is, byte for byte.

Usage: tools/make_gui_layout.py [output file, default: resources/settings.xml in place]
"""

import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from gui_layout import layout  # noqa: E402

SETTINGS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "settings.xml")
ROOT_END = "</VorlatekSettings>"
GUI_BLOCK = re.compile(r"  <GUI[ >].*?</GUI>\n", re.S)

# Attributes in the order they are written; a control writes those it has.
ORDER = ["name", "class", "param", "posX", "posY", "ofsX", "ofsY", "width", "height", "resID", "frames",
         "realButton", "mode", "chars", "fonts", "font", "fontcolor", "bgcolor", "align", "text"]


def fail(message):
    raise SystemExit("gui layout: " + message)


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def parameter_names(document):
    names = {}
    for index, name in re.findall(r'<param index="(\d+)" name="([^"]*)"', document):
        names[int(index)] = name
    if sorted(names) != list(range(len(names))) or len(names) < 58:
        fail("the VSTParameters section does not declare parameters 0..57")
    return [names[i] for i in range(len(names))]


def control_line(entry):
    unknown = set(entry) - set(ORDER)
    if unknown:
        fail("%s: unknown attributes %s" % (entry["name"], sorted(unknown)))
    attributes = "".join(' %s="%s"' % (key, escape(str(entry[key]))) for key in ORDER if key in entry)
    return "    <control%s/>" % attributes


def check(groups):
    seen = {}
    for _, controls in groups:
        for entry in controls:
            name = entry["name"]
            if len(name.encode("utf-8")) > 255 or len(entry.get("text", "").encode("utf-8")) > 255:
                fail("%s: name or text longer than 255 bytes" % name)
            if name in seen and seen[name] != entry:
                fail("%s: listed twice with different fields" % name)
            seen[name] = entry
    return seen


def gui_section(names):
    groups = layout(names)
    check(groups)
    lines = ["  <GUI>"]
    for comment, controls in groups:
        lines.append("    <!-- %s -->" % comment)
        lines.extend(control_line(entry) for entry in controls)
    lines.append("  </GUI>")
    return "\n".join(lines) + "\n"


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else SETTINGS
    with open(SETTINGS, encoding="utf-8") as f:
        document = f.read()
    section = gui_section(parameter_names(document))
    if GUI_BLOCK.search(document):
        document = GUI_BLOCK.sub(lambda _: section, document, count=1)
    else:
        if ROOT_END not in document:
            fail("settings.xml has no %s" % ROOT_END)
        document = document.replace(ROOT_END, section + ROOT_END, 1)
    with open(target, "w", encoding="utf-8") as f:
        f.write(document)


if __name__ == "__main__":
    main()
