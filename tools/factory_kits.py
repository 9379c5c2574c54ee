"""Factory sound kits: twelve genre kits, each in ten characters (the plain kit, tight, boomy,
lo-fi, bright, dark, long, short, tuned up, tuned down), and eight special kits: 128 presets.

A kit is written as the knobs that differ from the neutral kit (every knob at its declared
default). A character is a rule applied on top of a kit; every value is clamped to 0..1.
"""

# The 58 sound knobs in preset order, with their declared defaults.
PARAMETERS = [
    ("AC Level", 0.5),
    ("BD Level", 0.5), ("BD Tone", 0.5), ("BD Decay", 0.5), ("BD Sweep", 0.5),
    ("SD Level", 0.5), ("SD Tone", 0.5), ("SD Decay", 0.5), ("SD Snappy", 0.5),
    ("LC Level", 0.5), ("LC Tunning", 0.5), ("LC Decay", 0.5),
    ("MC Level", 0.5), ("MC Tunning", 0.5), ("MC Decay", 0.5),
    ("HC Level", 0.5), ("HC Tunning", 0.5), ("HC Decay", 0.5),
    ("LT Level", 0.5), ("LT Tunning", 0.5), ("LT Decay", 0.5), ("LT Snappy", 1.0),
    ("MT Level", 0.5), ("MT Tunning", 0.5), ("MT Decay", 0.5), ("MT Snappy", 1.0),
    ("HT Level", 0.5), ("HT Tunning", 0.5), ("HT Decay", 0.5), ("HT Snappy", 1.0),
    ("CL Level", 0.5), ("CL Tunning", 0.5), ("CL Decay", 0.5),
    ("RS Level", 0.5), ("RS Tunning", 0.5), ("RS Decay", 0.5),
    ("MA Level", 0.5), ("MA Tone", 0.5),
    ("CP Level", 0.5), ("CP Tone", 0.5), ("CP Reverb", 1.0),
    ("CB Level", 0.5), ("CB Tunning", 0.5), ("CB Decay", 1.0),
    ("LG Level", 0.5), ("LG Depth", 1.0), ("LG Decay", 0.0), ("LG Sweep", 0.0),
    ("CY Level", 0.5), ("CY Tone", 0.5), ("CY Decay", 0.5),
    ("OH Level", 0.5), ("OH Tone", 0.5), ("OH Decay", 0.5),
    ("CH Level", 0.5), ("CH Tone", 0.5), ("CH Decay", 0.5), ("HH Filters Freq", 0.5),
]

TOMS_CONGAS = ["LC", "MC", "HC", "LT", "MT", "HT"]
TUNED = ["LC", "MC", "HC", "LT", "MT", "HT", "CL", "RS", "CB"]
DECAYS = ["BD Decay", "SD Decay", "LC Decay", "MC Decay", "HC Decay", "LT Decay", "MT Decay",
          "HT Decay", "CL Decay", "RS Decay", "CB Decay", "CY Decay", "OH Decay", "CH Decay"]
TONES = ["BD Tone", "SD Tone", "MA Tone", "CP Tone", "CY Tone", "OH Tone", "CH Tone"]

# Genre kits: knobs that differ from the neutral kit.
GENRE_KITS = [
    ("Studio", {
        "BD Level": 0.6, "BD Tone": 0.45, "BD Decay": 0.45, "BD Sweep": 0.4,
        "SD Tone": 0.5, "SD Snappy": 0.6, "SD Decay": 0.45, "CP Reverb": 0.6,
        "CY Decay": 0.6, "CH Decay": 0.4, "LT Snappy": 0.6, "MT Snappy": 0.6, "HT Snappy": 0.6}),
    ("Disco", {
        "BD Level": 0.65, "BD Tone": 0.55, "BD Decay": 0.35, "BD Sweep": 0.3,
        "SD Tone": 0.6, "SD Decay": 0.4, "SD Snappy": 0.7,
        "CP Level": 0.6, "CP Reverb": 0.4, "OH Decay": 0.45, "OH Level": 0.55,
        "CH Decay": 0.35, "CB Level": 0.45, "CB Decay": 0.6}),
    ("Electro", {
        "BD Level": 0.7, "BD Tone": 0.35, "BD Decay": 0.7, "BD Sweep": 0.7,
        "SD Tone": 0.7, "SD Snappy": 0.6, "SD Decay": 0.35,
        "CP Level": 0.65, "CP Reverb": 0.6, "CB Level": 0.5, "CB Decay": 0.5,
        "LG Level": 0.45, "LG Depth": 0.8, "LG Decay": 0.25, "LG Sweep": 0.4,
        "CH Decay": 0.3, "CH Tone": 0.6, "LT Snappy": 0.3, "HT Snappy": 0.3}),
    ("House", {
        "BD Level": 0.7, "BD Tone": 0.5, "BD Decay": 0.45, "BD Sweep": 0.35,
        "CP Level": 0.7, "CP Tone": 0.55, "CP Reverb": 0.5,
        "OH Decay": 0.35, "OH Tone": 0.55, "CH Tone": 0.6, "CH Decay": 0.3,
        "RS Level": 0.55, "RS Decay": 0.4, "HC Level": 0.45}),
    ("Techno", {
        "AC Level": 0.65, "BD Level": 0.75, "BD Tone": 0.6, "BD Decay": 0.55, "BD Sweep": 0.25,
        "SD Snappy": 0.55, "SD Decay": 0.3, "CP Reverb": 0.35, "CP Tone": 0.6,
        "CH Decay": 0.2, "CH Tone": 0.7, "HH Filters Freq": 0.6, "CY Decay": 0.6,
        "RS Tunning": 0.6, "CL Tunning": 0.6}),
    ("Hip-Hop", {
        "BD Level": 0.7, "BD Tone": 0.3, "BD Decay": 0.85, "BD Sweep": 0.75,
        "SD Tone": 0.35, "SD Snappy": 0.55, "SD Decay": 0.45,
        "CP Tone": 0.45, "CP Reverb": 0.55, "CH Decay": 0.35, "CH Tone": 0.4, "OH Decay": 0.5,
        "RS Level": 0.55}),
    ("Boom Bap", {
        "AC Level": 0.6, "BD Tone": 0.55, "BD Decay": 0.5, "BD Sweep": 0.3, "BD Level": 0.65,
        "SD Level": 0.6, "SD Tone": 0.8, "SD Snappy": 0.75, "SD Decay": 0.55,
        "RS Level": 0.6, "CH Tone": 0.35, "CH Decay": 0.4, "HH Filters Freq": 0.45}),
    ("Miami Bass", {
        "BD Level": 0.75, "BD Tone": 0.25, "BD Decay": 1.0, "BD Sweep": 0.9,
        "SD Snappy": 0.5, "CP Level": 0.6, "CP Reverb": 0.45, "CB Level": 0.55, "CB Decay": 0.55,
        "CH Decay": 0.3, "CH Tone": 0.55, "LT Decay": 0.7, "LT Tunning": 0.35}),
    ("Latin", {
        "BD Level": 0.5, "BD Decay": 0.4, "BD Tone": 0.5,
        "LC Level": 0.65, "LC Tunning": 0.45, "LC Decay": 0.55,
        "MC Level": 0.65, "MC Tunning": 0.5, "MC Decay": 0.55,
        "HC Level": 0.65, "HC Tunning": 0.55, "HC Decay": 0.5,
        "CB Level": 0.6, "CB Tunning": 0.55, "CB Decay": 0.45,
        "CL Level": 0.6, "CL Tunning": 0.55, "MA Level": 0.6, "MA Tone": 0.55,
        "LT Snappy": 0.4, "MT Snappy": 0.4, "HT Snappy": 0.4}),
    ("Reggae", {
        "BD Tone": 0.25, "BD Decay": 0.55, "BD Sweep": 0.45, "BD Level": 0.65,
        "SD Tone": 0.2, "SD Snappy": 0.35, "SD Decay": 0.25,
        "RS Level": 0.65, "RS Tunning": 0.45, "RS Decay": 0.55,
        "CH Tone": 0.4, "CH Decay": 0.45, "OH Decay": 0.4}),
    ("Funk", {
        "BD Tone": 0.6, "BD Decay": 0.3, "BD Sweep": 0.2,
        "SD Level": 0.6, "SD Tone": 0.65, "SD Snappy": 0.8, "SD Decay": 0.35,
        "CH Tone": 0.55, "CH Decay": 0.3, "OH Decay": 0.35, "CB Level": 0.4, "CB Decay": 0.4}),
    ("Rock", {
        "AC Level": 0.6, "BD Level": 0.65, "BD Tone": 0.7, "BD Decay": 0.4, "BD Sweep": 0.15,
        "SD Level": 0.65, "SD Tone": 0.55, "SD Snappy": 0.9, "SD Decay": 0.6,
        "LT Level": 0.6, "LT Decay": 0.65, "LT Snappy": 0.8, "LT Tunning": 0.4,
        "MT Level": 0.6, "MT Decay": 0.65, "MT Snappy": 0.8, "MT Tunning": 0.4,
        "HT Level": 0.6, "HT Decay": 0.65, "HT Snappy": 0.8, "HT Tunning": 0.4,
        "CY Level": 0.6, "CY Decay": 0.8, "CY Tone": 0.6, "OH Decay": 0.55}),
]


def add(values, names, amount):
    for name in names:
        values[name] += amount


def scale(values, names, factor):
    for name in names:
        values[name] *= factor


def toward_one(values, names, share):
    for name in names:
        values[name] += (1.0 - values[name]) * share


def tight(v):
    scale(v, DECAYS, 0.6)
    v["BD Sweep"] -= 0.15
    v["CP Reverb"] *= 0.5
    v["SD Snappy"] += 0.05


def boomy(v):
    v["BD Level"] += 0.1
    v["BD Decay"] += 0.3
    v["BD Tone"] -= 0.15
    v["BD Sweep"] += 0.25
    add(v, ["LT Decay", "MT Decay", "HT Decay", "LC Decay", "MC Decay", "HC Decay"], 0.2)
    add(v, ["LT Tunning", "MT Tunning", "HT Tunning"], -0.1)
    v["CP Reverb"] += 0.2


def lofi(v):
    add(v, TONES, -0.25)
    v["HH Filters Freq"] -= 0.2
    scale(v, DECAYS, 0.8)
    add(v, [i + " Tunning" for i in TUNED], -0.05)
    v["SD Snappy"] += 0.1
    v["AC Level"] += 0.15


def bright(v):
    add(v, TONES, 0.25)
    v["HH Filters Freq"] += 0.2
    v["SD Snappy"] += 0.15
    add(v, [i + " Snappy" for i in ["LT", "MT", "HT"]], 0.1)


def dark(v):
    add(v, TONES, -0.3)
    v["HH Filters Freq"] -= 0.25
    v["SD Snappy"] -= 0.15
    v["CY Decay"] += 0.1
    add(v, [i + " Snappy" for i in ["LT", "MT", "HT"]], -0.2)


def long_decay(v):
    toward_one(v, DECAYS, 0.5)
    v["CP Reverb"] += 0.3
    v["LG Decay"] += 0.3


def short_decay(v):
    scale(v, DECAYS, 0.4)
    v["CP Reverb"] *= 0.3


def tuned_up(v):
    add(v, [i + " Tunning" for i in TUNED], 0.25)
    v["BD Tone"] += 0.1
    v["SD Tone"] += 0.2
    v["CP Tone"] += 0.2
    v["HH Filters Freq"] += 0.15


def tuned_down(v):
    add(v, [i + " Tunning" for i in TUNED], -0.25)
    v["SD Tone"] -= 0.2
    v["CP Tone"] -= 0.2
    v["HH Filters Freq"] -= 0.15


CHARACTERS = [
    ("", None),
    ("Tight", tight),
    ("Boomy", boomy),
    ("Lo-Fi", lofi),
    ("Bright", bright),
    ("Dark", dark),
    ("Long Decay", long_decay),
    ("Short Decay", short_decay),
    ("Tuned Up", tuned_up),
    ("Tuned Down", tuned_down),
]

# Special kits, complete as they are.
SPECIAL_KITS = [
    ("Init Kit", {}),
    ("Sub Drop", {
        "BD Level": 0.8, "BD Tone": 0.2, "BD Decay": 1.0, "BD Sweep": 1.0,
        "SD Tone": 0.3, "SD Decay": 0.6, "CP Reverb": 0.8, "CH Decay": 0.3}),
    ("Conga Line", {
        "BD Level": 0.4, "BD Decay": 0.3, "LC Level": 0.75, "MC Level": 0.75, "HC Level": 0.75,
        "LC Decay": 0.7, "MC Decay": 0.65, "HC Decay": 0.6, "LC Tunning": 0.35,
        "HC Tunning": 0.65, "CL Level": 0.65, "MA Level": 0.65, "CB Level": 0.55}),
    ("Laser Show", {
        "LG Level": 0.75, "LG Depth": 0.9, "LG Decay": 0.5, "LG Sweep": 0.6,
        "BD Decay": 0.6, "BD Sweep": 0.8, "CP Reverb": 0.7, "CH Tone": 0.75}),
    ("Clap Heaven", {
        "CP Level": 0.8, "CP Reverb": 1.0, "CP Tone": 0.6, "RS Level": 0.6,
        "SD Snappy": 0.8, "SD Decay": 0.7, "OH Decay": 0.6}),
    ("Metal Hats", {
        "HH Filters Freq": 0.85, "CH Tone": 0.8, "CH Decay": 0.6, "OH Tone": 0.8,
        "OH Decay": 0.75, "CY Tone": 0.8, "CY Decay": 0.9, "CY Level": 0.6}),
    ("Cowbell Fever", {
        "CB Level": 0.75, "CB Tunning": 0.6, "CB Decay": 0.7, "CL Level": 0.6,
        "CL Tunning": 0.7, "MA Level": 0.55, "BD Decay": 0.4}),
    ("Tiny Clicks", {
        "BD Decay": 0.05, "BD Tone": 0.8, "BD Sweep": 0.0, "SD Decay": 0.05, "SD Tone": 0.9,
        "LC Decay": 0.05, "MC Decay": 0.05, "HC Decay": 0.05, "LT Decay": 0.05,
        "MT Decay": 0.05, "HT Decay": 0.05, "CL Decay": 0.1, "RS Decay": 0.1,
        "CB Decay": 0.1, "CP Reverb": 0.0, "CY Decay": 0.1, "OH Decay": 0.1, "CH Decay": 0.05,
        "HH Filters Freq": 0.8}),
]


def neutral():
    return {name: value for name, value in PARAMETERS}


def build_kit(overrides, character=None):
    values = neutral()
    for name, value in overrides.items():
        if name not in values:
            raise ValueError("unknown knob " + name)
        values[name] = value
    if character:
        character(values)
    return [(name, round(min(1.0, max(0.0, values[name])), 6)) for name, _ in PARAMETERS]


def factory_presets():
    presets = []
    for kit, overrides in GENRE_KITS:
        for character_name, character in CHARACTERS:
            name = kit + (" " + character_name if character_name else "")
            presets.append((name, build_kit(overrides, character)))
    for name, overrides in SPECIAL_KITS:
        presets.append((name, build_kit(overrides)))
    return presets
