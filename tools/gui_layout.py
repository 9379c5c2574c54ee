"""The editor's layout: every control of the main panel and of the three windows, with its
class, tag, place, size and bitmap. tools/make_gui_layout.py writes it into the GUI section
of resources/settings.xml; the art program (resources/art/) reads it back from there to size
the bitmaps and to place the captions it prints on the backgrounds.

Positions are in pixels at scale 1, relative to the main panel (background 100) or to the
window that holds the control. A control without a tag is bound by its name: names that are
parameter names ("BD Level", "CH Mute") get that parameter's index, all others none.
"""

# Instruments in their order everywhere; AC, the accent, comes last where it takes part.
INSTRUMENTS = ["BD", "SD", "LC", "MC", "HC", "LT", "MT", "HT", "CL", "RS", "MA", "CP", "CB",
               "LG", "CY", "OH", "CH"]
ACCENT = "AC"

# The first (level) parameter of each instrument; an instrument's knobs run from there up to
# the next instrument's level. The last one, CH, ends with "HH Filters Freq" (57).
LEVEL_PARAMETERS = [1, 5, 9, 12, 15, 18, 22, 26, 30, 33, 36, 38, 41, 44, 48, 51, 54]
SOUND_PARAMETERS = 58

# Bitmap ids that do not follow the instrument order: the laser gun joined the per-instrument
# families of mute, solo, activity and select bitmaps after the cymbals and hi-hats.
MUTE_BITMAPS = [120 + i for i in range(13)] + [136, 133, 134, 135]
SOLO_BITMAPS = [140 + i for i in range(13)] + [156, 153, 154, 155]
ACTIVITY_BITMAPS = [160 + i for i in range(13)] + [176, 173, 174, 175]
ACTIVITY_ACCENT_BITMAP = 177
KNOB_MODE_BITMAPS = [181 + i for i in range(17)]
KNOB_MODE_ACCENT_BITMAP = 180
SELECT_BITMAPS = [201 + i for i in range(13)] + [217, 214, 215, 216]
SELECT_ACCENT_BITMAP = 200
ACCENT_KNOB_BITMAP = 300


def knob_bitmap(instrument, row):
    return 310 + 10 * instrument + row


# --- Main panel geometry ------------------------------------------------------------------

# Instrument columns: 46.5 pixels apart, BD's mute at x 81; the accent's column is one to the
# left of BD (panel order: AC, BD .. CH).
def column_x(column):
    """Left edge of a column's mute button; column -1 is the accent."""
    return 81 + int((46.5 * column + 0.5) // 1)


OUT_NUM_Y, MUTE_Y, ACTIVITY_Y, KNOB_MODE_Y = 67, 80, 98, 123
KNOB_ROWS_Y = [138, 186, 235, 283]

# Sixteen step buttons between x 119 and 747, the length LEDs above them, and the eighteen
# select buttons in panel order below, over the same width.
STEP_LEFT, STEP_LAST, STEP_Y, STEP_SIZE = 119, 747, 497, (40, 42)
LENGTH_Y = 486
SELECT_Y, SELECT_RIGHT = 543, 788


def step_x(step):
    return STEP_LEFT + round(step * (STEP_LAST - STEP_LEFT) / 15)


def select_x(slot):
    return STEP_LEFT + round(slot * (SELECT_RIGHT - STEP_LEFT + 3) / 18)


# --- Table builders ------------------------------------------------------------------------

def control(name, cls, **fields):
    entry = {"name": name, "class": cls}
    entry.update(fields)
    return entry


def led(name, x, y, w, h, bitmap, tag=None):
    """A two-image button that is not a real button: an LED or a lamp that toggles."""
    fields = dict(posX=x, posY=y, width=w, height=h, resID=bitmap, frames=2, realButton="false")
    if tag is not None:
        fields["param"] = tag
    return control(name, "CNStateButton", **fields)


def mode_button(name, tag, x, y, w, h, bitmap, mode="onRelease", frames=4):
    """A real button (an up and a pressed image per state)."""
    fields = dict(param=tag, posX=x, posY=y, width=w, height=h, resID=bitmap, frames=frames)
    if mode != "onPress":
        fields["mode"] = mode
    return control(name, "CNStateButton", **fields)


def kick(name, tag, x, y, w, h, bitmap):
    return control(name, "CKickButton", param=tag, posX=x, posY=y, width=w, height=h, resID=bitmap)


def movie(name, x, y, w, h, bitmap, frames, tag=None):
    fields = dict(posX=x, posY=y, width=w, height=h, resID=bitmap, frames=frames)
    if tag is not None:
        fields["param"] = tag
    return control(name, "CExMovieBitmap", **fields)


def knob(name, x, y, w, h, bitmap, frames=31, tag=None):
    fields = dict(posX=x, posY=y, width=w, height=h, resID=bitmap, frames=frames)
    if tag is not None:
        fields["param"] = tag
    return control(name, "CAnimKnob", **fields)


def label(name, x, y, w, h, font, color, text="", align=None, tag=None, cls="CTextLabel", bgcolor=None):
    fields = dict(posX=x, posY=y, width=w, height=h, font=font, fontcolor=color)
    if tag is not None:
        fields = dict(param=tag, **fields)
    if bgcolor:
        fields["bgcolor"] = bgcolor
    if align:
        fields["align"] = align
    fields["text"] = text
    return control(name, cls, **fields)


# --- Main panel ----------------------------------------------------------------------------

def instrument_strip(parameter_names):
    out_nums = []
    mutes, solos, activity, knob_modes, knobs, selects = [], [], [], [], [], []
    for i, code in enumerate(INSTRUMENTS):
        x = column_x(i)
        mutes.append(led(code + " Mute", x, MUTE_Y, 19, 17, MUTE_BITMAPS[i]))
        solos.append(led(code + " Solo", x + 21, MUTE_Y, 19, 17, SOLO_BITMAPS[i]))
        out_nums.append(knob(code + " Out Num", x + 10, OUT_NUM_Y, 19, 13, 700, frames=17, tag=1250 + i))
    for column in range(-1, 17):
        x = column_x(column)
        width = column_x(column + 1) - x - 3
        code = ACCENT if column < 0 else INSTRUMENTS[column]
        index = 17 if column < 0 else column
        bitmap = ACTIVITY_ACCENT_BITMAP if column < 0 else ACTIVITY_BITMAPS[column]
        activity.append(movie(code + " Activity", x - 2, ACTIVITY_Y, width, 24, bitmap, 2, tag=1130 + index))
        bitmap = KNOB_MODE_ACCENT_BITMAP if column < 0 else KNOB_MODE_BITMAPS[column]
        knob_modes.append(movie(code + " Level Knob Mode", x + 11, KNOB_MODE_Y, 18, 11, bitmap, 2))
    # Knobs: the accent level, then each instrument's level and up to three more, top down.
    knobs.append(knob(parameter_names[0], column_x(-1) + 1, KNOB_ROWS_Y[0], 38, 38, ACCENT_KNOB_BITMAP))
    bounds = LEVEL_PARAMETERS + [SOUND_PARAMETERS]
    for i in range(len(INSTRUMENTS)):
        for row, parameter in enumerate(range(bounds[i], bounds[i + 1])):
            knobs.append(knob(parameter_names[parameter], column_x(i) + 1, KNOB_ROWS_Y[row], 38, 38,
                              knob_bitmap(i, row)))
    # Select buttons in panel order: the accent first.
    for slot in range(18):
        index = 17 if slot == 0 else slot - 1
        code = ACCENT if slot == 0 else INSTRUMENTS[index]
        bitmap = SELECT_ACCENT_BITMAP if slot == 0 else SELECT_BITMAPS[index]
        x = select_x(slot)
        selects.append(led(code + " Select", x, SELECT_Y, select_x(slot + 1) - x - 3, 22, bitmap, tag=1020 + index))
    return mutes, solos, out_nums, activity, knob_modes, knobs, selects


def pattern_section():
    c = []
    # Mode buttons and edit buttons: two rows of six slots at the right of the sequencer.
    slots = [574 + 52 * k for k in range(6)]
    row1, row2 = 344, 420
    c.append(mode_button("Pattern Write Mode", 1050, slots[0], row1, 40, 42, 500))
    c.append(mode_button("Pattern Auto Follow", 1051, slots[1], row1, 40, 42, 501))
    c.append(mode_button("Pattern Last Step", 1056, slots[2], row1, 40, 42, 506))
    c.append(mode_button("Pattern Rand Mode", 1052, slots[3], row1, 40, 42, 502))
    c.append(kick("Pattern Rand Undo", 1053, slots[4], row1 + 2, 40, 38, 503))
    c.append(kick("Pattern Prev", 1054, 282, 424, 40, 38, 504))
    c.append(kick("Pattern Next", 1055, 330, 424, 40, 38, 505))
    c.append(kick("Pattern Shift Left", 1058, slots[0], row2, 40, 38, 508))
    c.append(kick("Pattern Shift Right", 1059, slots[1], row2, 40, 38, 509))
    c.append(kick("Pattern Copy", 1060, slots[2], row2, 40, 38, 510))
    c.append(kick("Pattern Paste", 1061, slots[3], row2, 40, 38, 511))
    c.append(kick("Pattern Clear", 1062, slots[4], row2, 40, 38, 512))
    # The pattern number: four big digits, hundreds at the left; the name below them.
    c.append(movie("Pattern Num Digit 01", 352, 337, 26, 34, 513, 11, tag=1063))
    c.append(movie("Pattern Num Digit 1", 326, 337, 26, 34, 514, 13, tag=1064))
    c.append(movie("Pattern Num Digit 10", 299, 337, 27, 34, 515, 18, tag=1065))
    c.append(movie("Pattern Num Digit 100", 272, 337, 27, 34, 516, 5, tag=1066))
    c.append(control("Pattern Name", "CBitmapDisplay", param=1067, posX=270, posY=388, width=112, height=9,
                     resID=517, fonts=96, chars=16))
    # Variation and part: the buttons choose what is edited, the LEDs above show what plays.
    for k, (name, tag, bitmap, led_bitmap) in enumerate([
            ("Pattern Variation A", 1068, 518, 613), ("Pattern Variation B", 1069, 519, 614),
            ("Pattern Part 1", 1070, 520, 611), ("Pattern Part 2", 1071, 521, 612)]):
        x = 410 + 38 * k + (14 if k >= 2 else 0)
        c.append(mode_button(name, tag, x, 361, 33, 43, bitmap))
    steps = []
    for k in range(16):
        steps.append(mode_button("Step %d" % (k + 1), 1100 + k, step_x(k), STEP_Y, *STEP_SIZE, 550 + k,
                                 mode="onPress", frames=6))
    lengths = [movie("Patt Len %d" % (k + 1), step_x(k) + 9, LENGTH_Y, 22, 11, 760 + k, 2) for k in range(16)]
    return c, steps, lengths


def variation_leds():
    c = []
    for k, (name, bitmap) in enumerate([("Pattern Variation A Led", 613), ("Pattern Variation B Led", 614),
                                        ("Pattern Part 1 Led", 611), ("Pattern Part 2 Led", 612)]):
        x = 410 + 38 * k + (14 if k >= 2 else 0) + 8
        c.append(movie(name, x, 342, 17, 16, bitmap, 2))
    # Listed in the order the editor stacks them: the part LEDs first.
    return [c[2], c[3], c[0], c[1]]


def tempo_section():
    knobs = [
        knob("Master Volume", 764, 20, 38, 38, 602),
        knob("Tempo", 108, 347, 40, 40, 601, tag=1001),
        knob("Shuffle", 30, 348, 38, 38, 600, tag=1000),
    ]
    digits = [
        knob("Tempo Digit 01", 137, 401, 9, 12, 750, frames=11, tag=1150),
        knob("Tempo Digit 1", 128, 401, 9, 12, 751, frames=11, tag=1151),
        knob("Tempo Digit 10", 119, 401, 9, 12, 752, frames=11, tag=1152),
        knob("Tempo Digit 100", 110, 401, 9, 12, 753, frames=4, tag=1153),
    ]
    fill = knob("Measures Auto Fill In", 194, 349, 40, 38, 603, frames=6, tag=1200)
    transport = [
        kick("Start", 1201, 16, 494, 46, 50, 604),
        kick("Stop", 1202, 66, 494, 46, 50, 605),
        kick("Tap", 1203, 812, 496, 49, 45, 607),
    ]
    switches = [
        control("Basic Variation", "CHorizontalSwitch", param=1204, posX=410, posY=440, width=60, height=26,
                resID=609, frames=3),
        control("Intro FillIn Variation", "CHorizontalSwitch", param=1205, posX=500, posY=437, width=53,
                height=30, resID=610, frames=2),
    ]
    prescale = [led("Pattern Prescale %d" % (k + 1), 78 + 30 * k, 446, 17, 14, 616 + k, tag=1206 + k)
                for k in range(4)]
    return knobs, digits, fill, transport, switches, prescale


def top_bar():
    about = kick("About", 1210, 852, 21, 37, 36, 701)
    states = [led(name, 242 + 30 * k, 22, 26, 32, 702 + k, tag=1211 + k)
              for k, name in enumerate(["Internal Seq State", "External Sync State", "Free Mode",
                                        "Note Off State"])]
    learn = led("Midi Learn State", 584, 39, 19, 16, 706, tag=1215)
    presets = [kick("Prev Preset", 1218, 618, 20, 36, 39, 709),
               kick("Next Preset", 1219, 656, 20, 36, 39, 710),
               kick("Browse Preset", 1220, 694, 20, 36, 39, 711)]
    learn_desc = label("Midi Learn Desc", 452, 40, 112, 14, "kNormalFontSmall", "#FF0000", "Midi Learn")
    preset_name = label("Preset Name", 452, 22, 112, 14, "kNormalFontSmall", "#FF0000", tag=1221,
                        cls="CTextEdit", bgcolor="#780F1D")
    return about, states, learn, presets, learn_desc, preset_name


def main_panel(parameter_names):
    mutes, solos, out_nums, activity, knob_modes, knobs, selects = instrument_strip(parameter_names)
    pattern, steps, lengths = pattern_section()
    tempo_knobs, digits, fill, transport, switches, prescale = tempo_section()
    about, states, learn, presets, learn_desc, preset_name = top_bar()
    sections = [
        ("Mute and solo LEDs", mutes + solos),
        ("Output number displays", out_nums),
        ("Activity lamps and level-knob mode LEDs", activity + knob_modes),
        ("Sound knobs", knobs),
        ("Instrument select buttons", selects),
        ("Pattern buttons, digits and name", pattern),
        ("Step buttons and length LEDs", steps + lengths),
        ("Master, tempo and shuffle", tempo_knobs + digits + [fill]),
        ("Transport", transport),
        ("Play variations", switches + variation_leds() + prescale),
        ("Top bar", [about] + states + [learn] + presets + [learn_desc, preset_name]),
        # A reader keeps the last entry of a name: these second copies are the ones in force.
        ("Output number displays, again", out_nums),
    ]
    return sections


# --- Windows -------------------------------------------------------------------------------

BLACK = "#000000"
FIELD = "#FBF8F1"


def preset_manager():
    c = [control("Preset Manager", "CViewContainer", resID=10010),
         kick("Preset Manager Close", 12000, 671, 6, 27, 21, 11000),
         kick("Preset Manager Prev", 12007, 476, 219, 27, 21, 11001),
         kick("Preset Manager Next", 12008, 505, 219, 27, 21, 11003)]
    for j in range(4):
        c.append(mode_button("Preset Manager Page%d" % (j + 1), 12003 + j, 584 + 29 * j, 219, 27, 21,
                             11020 + j, mode="onPress"))
    radios, edits = [], []
    for k in range(32):
        column, row = divmod(k, 8)
        x, y = 8 + 175 * column, 38 + 22 * row
        radios.append(led("Preset Manager Radio %02d" % k, x, y + 1, 14, 13, 11030, tag=12020 + k))
        edits.append(label("Preset Manager Edit %02d" % k, x + 15, y, 150, 15, "kNormalFontSmall", BLACK,
                           align="kLeftText", tag=12060 + k, cls="CTextEdit"))
    return c + radios + edits


def about_window():
    return [control("About Window", "CViewContainer", resID=10012),
            kick("About Close", 11000, 367, 6, 27, 21, 11000),
            kick("About Settings", 11002, 327, 196, 67, 21, 11017),
            label("About Label Version", 96, 128, 290, 14, "kNormalFontVerySmall", BLACK, align="kLeftText"),
            label("About Label Plugin Path", 96, 148, 290, 14, "kNormalFontVerySmall", BLACK,
                  align="kLeftText")]


def settings_window():
    name = "Window Settings "
    c = [control("Window Settings", "CViewContainer", resID=10011),
         kick(name + "Close", 13000, 567, 6, 27, 21, 11000)]

    def radio(suffix, tag, x, y, ofs):
        entry = led(name + suffix, x, y, 14, 13, 11030, tag=tag)
        entry["ofsY"] = ofs
        return entry

    def checkbox(suffix, tag, x, y, ofs):
        entry = led(name + suffix, x, y, 14, 13, 11031, tag=tag)
        entry["ofsY"] = ofs
        return entry

    def grouped(entry, ofs):
        entry["ofsY"] = ofs
        return entry

    # Default banks and the MIDI CC map.
    resources = 48
    for row, (suffix, tag, browse, browse_tag) in enumerate([
            ("Presets", 13003, "Presets", 13007),
            ("Simple Patterns", 13004, "Simple Patterns", 13008),
            ("Extended Patterns", 13005, "Extended Patterns", 13009)]):
        y = 24 * row
        c.append(grouped(label(name + "Resources Edit " + suffix, 132, y + 3, 390, 15, "kNormalFontSmall", BLACK,
                               align="kLeftText", tag=tag, cls="CTextEdit", bgcolor=FIELD), resources))
        c.append(grouped(kick(name + "Button Browse " + browse, browse_tag, 530, y + 1, 27, 21, 11010), resources))
    c.append(grouped(kick(name + "Button Load MidiCC Map", 13011, 132, 73, 67, 21, 10060), resources))
    c.append(grouped(kick(name + "Button Save MidiCC Map", 13012, 205, 73, 67, 21, 10061), resources))

    # Outputs: master, instruments and trigger output, then the output of each instrument.
    outputs = 158
    c.append(checkbox("Outputs Checkbox Master Present", 13023, 14, 1, outputs))
    c.append(radio("Outputs Radio Master Type Mono", 13024, 190, 1, outputs))
    c.append(radio("Outputs Radio Master Type Stereo", 13025, 270, 1, outputs))
    c.append(radio("Outputs Radio Instr Type Mono", 13026, 190, 23, outputs))
    c.append(radio("Outputs Radio Instr Type Stereo", 13027, 270, 23, outputs))
    c.append(checkbox("Outputs Checkbox Trigger Present", 13030, 14, 45, outputs))
    c.append(radio("Outputs Radio Trigger CowBell", 13031, 190, 45, outputs))
    c.append(radio("Outputs Radio Trigger HandClap", 13032, 270, 45, outputs))
    c.append(radio("Outputs Radio Trigger Accent", 13033, 350, 45, outputs))
    for suffix, x, y, bitmap in [("Master Mono", 206, 0, 10050), ("Master Stereo", 286, 0, 10051),
                                 ("Trigger CowBell", 206, 44, 10052), ("Trigger HandClap", 286, 44, 10053),
                                 ("Trigger Accent", 366, 44, 10054)]:
        c.append(grouped(movie(name + "Outputs Bitmap %s Text" % suffix, x, y, 60, 15, bitmap, 1), outputs))
    c.append(grouped(kick(name + "Outputs Button Assigns Set Current", 13028, 450, 44, 67, 21, 11016), outputs))
    c.append(grouped(kick(name + "Outputs Button Assigns Reset", 13029, 521, 44, 67, 21, 11015), outputs))
    for i in range(17):
        c.append(grouped(label(name + "Outputs Label Assigns %02d" % i, 132 + 26 * i, 76, 22, 14, "kNormalFontSmall",
                               BLACK, text=str(i + 1), tag=13040 + i, bgcolor=FIELD), outputs))

    # Sequencer defaults: five choices of two.
    sequencer = 267
    for k, (first, second, tag) in enumerate([
            ("Int Seq Radio Sync With Host By Transport", "Int Seq Radio Sync With Host By Lowest Note", 13013),
            ("Int Seq Radio Int Seq State On", "Int Seq Radio Int Seq State Off", 13015),
            ("Int Seq Radio Int Sync State On", "Int Seq Radio Int Sync State Off", 13017),
            ("Int Seq Radio Host Mode State On", "Int Seq Radio Host Mode State Off", 13019),
            ("Int Seq Radio Note Off State On", "Int Seq Radio Note Off State Off", 13021)]):
        column, row = (0, k) if k < 3 else (1, k - 3)
        x = 132 if column == 0 else 446
        width = 110 if k == 0 else 60
        c.append(radio(first, tag, x, 1 + 22 * row, sequencer))
        c.append(radio(second, tag + 1, x + width, 1 + 22 * row, sequencer))

    buttons = 342
    c.append(grouped(kick(name + "Cancel", 13001, 446, 0, 67, 21, 11014), buttons))
    c.append(grouped(kick(name + "OK", 13002, 519, 0, 67, 21, 11013), buttons))
    return c


def windows():
    return [("Preset manager", preset_manager()),
            ("About window", about_window()),
            ("Settings window", settings_window())]


def layout(parameter_names):
    """The GUI section as (comment, controls) groups in document order."""
    return main_panel(parameter_names) + windows()
