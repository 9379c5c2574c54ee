"""Factory sound kits: twelve genre kits, each in ten characters (the plain kit, tight, boomy,
lo-fi, bright, dark, long, short, tuned up, tuned down), and eight special kits: 128 presets.

A kit is written as the knobs that differ from the neutral kit (every knob at its declared
default). A character is a rule applied on top of a kit; every value is clamped to 0..1.

Gain staging. The Level knobs of every kit were set from measurements of the kit itself, at
the default master volume: each voice's accented hit, read as its loudest momentary loudness
(EBU R128, 400 ms), sits a set number of LU under the kit's bass drum, which reads -22 LUFS.
The usual mix, in LU under the bass drum:

    snare -2, clap -5, rim shot -8, toms -3, congas -5, claves -9, maracas -10, cow bell -7,
    laser -6, cymbal -7, open hi-hat -6, closed hi-hat -10

and each kit moves a few of these:

    Disco: open hi-hat -4, closed hi-hat -9
    Electro: clap -3, laser -5, cow bell -6, toms -4
    House: clap -4, open hi-hat -4, closed hi-hat -8, congas -6
    Techno: closed hi-hat -8, open hi-hat -5, rim shot -7, claves -8
    Hip-Hop: snare -1, clap -3, closed hi-hat -11
    Boom Bap: snare -1, rim shot -7
    Miami Bass: clap -3, cow bell -6
    Latin: congas -2, cow bell -5, claves -6, maracas -8, snare -3, closed hi-hat -11
    Reggae: rim shot -2, snare -3, open hi-hat -7
    Funk: snare -1, closed hi-hat -9, open hi-hat -7
    Rock: snare -1, toms -1, cymbal -5, open hi-hat -5
    Conga Line: congas +1, claves -4, maracas -6, cow bell -4
    Laser Show: laser +1
    Clap Heaven: clap 0, snare -1, rim shot -5
    Metal Hats: closed hi-hat -5, open hi-hat -3, cymbal -2
    Cowbell Fever: cow bell 0, claves -3, maracas -6

Two limits come first: no knob above 0.9 (the cow bell, the quietest voice, and in some kits
the closed hi-hat stay there), and the noisy and bright voices peak no higher than -7 dBFS
(snare, clap, maracas) or -6.5 dBFS (hi-hats, cymbal) over a dozen accented strikes: each
strike of noise peaks differently, and patterns stack them.

A voice's output is proportional to its Level knob: moving a knob from a to b moves that
voice by 20*log10(b/a) dB exactly. A character changes how long or how bright voices sound,
and with that how loud they are; LEVEL_MATCH gives, per character and voice, the level
change that keeps the voice as loud as in the plain kit (the average change the character
makes across the twelve genre kits). So every kit keeps its balance, and a pattern plays
about equally loud on every kit. The plug-in's tests measure the result from renders and
print every figure with VORLATEK_PRINT_FACTORY_LEVELS=1.
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

TUNED = ["LC", "MC", "HC", "LT", "MT", "HT", "CL", "RS", "CB"]
DECAYS = ["BD Decay", "SD Decay", "LC Decay", "MC Decay", "HC Decay", "LT Decay", "MT Decay",
          "HT Decay", "CL Decay", "RS Decay", "CB Decay", "CY Decay", "OH Decay", "CH Decay"]
TONES = ["BD Tone", "SD Tone", "MA Tone", "CP Tone", "CY Tone", "OH Tone", "CH Tone"]
HAT_TONES = ["OH Tone", "CH Tone"]

# Genre kits: knobs that differ from the neutral kit, then the levels.
GENRE_KITS = [
    ("Studio", {"BD Tone": 0.45, "BD Decay": 0.45, "BD Sweep": 0.4, "SD Tone": 0.5,
        "SD Snappy": 0.6, "SD Decay": 0.45, "CP Reverb": 0.6, "CY Decay": 0.6, "CH Decay": 0.4,
        "LT Snappy": 0.6, "MT Snappy": 0.6, "HT Snappy": 0.6,
        "BD Level": 0.44, "SD Level": 0.42, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.40, "MT Level": 0.47, "HT Level": 0.50,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.31, "CP Level": 0.30,
        "CB Level": 0.85, "LG Level": 0.56, "CY Level": 0.50, "OH Level": 0.39,
        "CH Level": 0.73}),
    ("Disco", {"BD Tone": 0.55, "BD Decay": 0.35, "BD Sweep": 0.3, "SD Tone": 0.6,
        "SD Decay": 0.4, "SD Snappy": 0.7, "CP Reverb": 0.4, "OH Decay": 0.45,
        "CH Decay": 0.35, "CB Decay": 0.75,
        "BD Level": 0.52, "SD Level": 0.37, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.39, "MT Level": 0.45, "HT Level": 0.48,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.31, "CP Level": 0.31,
        "CB Level": 0.87, "LG Level": 0.56, "CY Level": 0.49, "OH Level": 0.51,
        "CH Level": 0.72}),
    ("Electro", {"BD Tone": 0.35, "BD Decay": 0.7, "BD Sweep": 0.7, "SD Tone": 0.7,
        "SD Snappy": 0.6, "SD Decay": 0.35, "CP Reverb": 0.6, "CB Decay": 0.5, "LG Depth": 0.8,
        "LG Decay": 0.25, "LG Sweep": 0.4, "CH Decay": 0.3, "CH Tone": 0.6, "LT Snappy": 0.3,
        "HT Snappy": 0.3,
        "BD Level": 0.29, "SD Level": 0.44, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.35, "MT Level": 0.40, "HT Level": 0.43,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.32, "CP Level": 0.35,
        "CB Level": 0.90, "LG Level": 0.73, "CY Level": 0.49, "OH Level": 0.40,
        "CH Level": 0.86}),
    ("House", {"BD Tone": 0.5, "BD Decay": 0.45, "BD Sweep": 0.35, "CP Tone": 0.55,
        "CP Reverb": 0.5, "OH Decay": 0.35, "OH Tone": 0.55, "CH Tone": 0.6, "CH Decay": 0.3,
        "RS Decay": 0.4,
        "BD Level": 0.44, "SD Level": 0.48, "LC Level": 0.25, "MC Level": 0.46,
        "HC Level": 0.41, "LT Level": 0.39, "MT Level": 0.45, "HT Level": 0.50,
        "CL Level": 0.39, "RS Level": 0.63, "MA Level": 0.29, "CP Level": 0.26,
        "CB Level": 0.82, "LG Level": 0.56, "CY Level": 0.50, "OH Level": 0.64,
        "CH Level": 0.90}),
    ("Techno", {"BD Tone": 0.6, "BD Decay": 0.55, "BD Sweep": 0.25, "SD Snappy": 0.55,
        "SD Decay": 0.3, "CP Reverb": 0.35, "CP Tone": 0.6, "CH Decay": 0.2, "CH Tone": 0.6,
        "HH Filters Freq": 0.6, "CY Decay": 0.6, "RS Tunning": 0.6, "CL Tunning": 0.6,
        "BD Level": 0.39, "SD Level": 0.48, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.40, "MT Level": 0.49, "HT Level": 0.51,
        "CL Level": 0.43, "RS Level": 0.66, "MA Level": 0.30, "CP Level": 0.30,
        "CB Level": 0.85, "LG Level": 0.56, "CY Level": 0.41, "OH Level": 0.40,
        "CH Level": 0.88}),
    ("Hip-Hop", {"BD Tone": 0.3, "BD Decay": 0.85, "BD Sweep": 0.75, "SD Tone": 0.35,
        "SD Snappy": 0.55, "SD Decay": 0.45, "CP Tone": 0.45, "CP Reverb": 0.55,
        "CH Decay": 0.35, "CH Tone": 0.4, "OH Decay": 0.5,
        "BD Level": 0.26, "SD Level": 0.45, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.38, "MT Level": 0.47, "HT Level": 0.52,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.31, "CP Level": 0.34,
        "CB Level": 0.78, "LG Level": 0.56, "CY Level": 0.49, "OH Level": 0.39,
        "CH Level": 0.45}),
    ("Boom Bap", {"BD Tone": 0.55, "BD Decay": 0.5, "BD Sweep": 0.3, "SD Tone": 0.8,
        "SD Snappy": 0.75, "SD Decay": 0.55, "CH Tone": 0.35, "CH Decay": 0.4,
        "HH Filters Freq": 0.45,
        "BD Level": 0.41, "SD Level": 0.33, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.39, "MT Level": 0.47, "HT Level": 0.47,
        "CL Level": 0.39, "RS Level": 0.68, "MA Level": 0.31, "CP Level": 0.32,
        "CB Level": 0.85, "LG Level": 0.56, "CY Level": 0.54, "OH Level": 0.41,
        "CH Level": 0.49}),
    ("Miami Bass", {"BD Tone": 0.25, "BD Decay": 0.8, "BD Sweep": 0.9, "SD Snappy": 0.5,
        "CP Reverb": 0.45, "CB Decay": 0.55, "CH Decay": 0.3, "CH Tone": 0.55, "LT Decay": 0.7,
        "LT Tunning": 0.35,
        "BD Level": 0.26, "SD Level": 0.49, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.31, "MT Level": 0.48, "HT Level": 0.48,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.30, "CP Level": 0.36,
        "CB Level": 0.90, "LG Level": 0.56, "CY Level": 0.50, "OH Level": 0.39,
        "CH Level": 0.84}),
    ("Latin", {"BD Decay": 0.4, "BD Tone": 0.5, "LC Tunning": 0.45, "LC Decay": 0.55,
        "MC Tunning": 0.5, "MC Decay": 0.55, "HC Tunning": 0.55, "HC Decay": 0.5,
        "CB Tunning": 0.55, "CB Decay": 0.6, "CL Tunning": 0.55, "MA Tone": 0.55,
        "LT Snappy": 0.4, "MT Snappy": 0.4, "HT Snappy": 0.4,
        "BD Level": 0.44, "SD Level": 0.48, "LC Level": 0.37, "MC Level": 0.69,
        "HC Level": 0.65, "LT Level": 0.40, "MT Level": 0.48, "HT Level": 0.49,
        "CL Level": 0.55, "RS Level": 0.61, "MA Level": 0.43, "CP Level": 0.33,
        "CB Level": 0.90, "LG Level": 0.56, "CY Level": 0.49, "OH Level": 0.38,
        "CH Level": 0.46}),
    ("Reggae", {"BD Tone": 0.25, "BD Decay": 0.55, "BD Sweep": 0.45, "SD Tone": 0.2,
        "SD Snappy": 0.35, "SD Decay": 0.25, "RS Tunning": 0.45, "RS Decay": 0.55,
        "CH Tone": 0.4, "CH Decay": 0.45, "OH Decay": 0.4,
        "BD Level": 0.38, "SD Level": 0.70, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.40, "MT Level": 0.49, "HT Level": 0.50,
        "CL Level": 0.39, "RS Level": 0.65, "MA Level": 0.30, "CP Level": 0.29,
        "CB Level": 0.81, "LG Level": 0.56, "CY Level": 0.50, "OH Level": 0.38,
        "CH Level": 0.52}),
    ("Funk", {"BD Tone": 0.6, "BD Decay": 0.3, "BD Sweep": 0.2, "SD Tone": 0.65,
        "SD Snappy": 0.8, "SD Decay": 0.35, "CH Tone": 0.55, "CH Decay": 0.3, "OH Decay": 0.35,
        "CB Decay": 0.8,
        "BD Level": 0.58, "SD Level": 0.32, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.40, "MT Level": 0.49, "HT Level": 0.48,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.30, "CP Level": 0.32,
        "CB Level": 0.87, "LG Level": 0.56, "CY Level": 0.49, "OH Level": 0.39,
        "CH Level": 0.87}),
    ("Rock", {"BD Tone": 0.7, "BD Decay": 0.4, "BD Sweep": 0.15, "SD Tone": 0.55,
        "SD Snappy": 0.9, "SD Decay": 0.6, "LT Decay": 0.65, "LT Snappy": 0.8,
        "LT Tunning": 0.4, "MT Decay": 0.65, "MT Snappy": 0.8, "MT Tunning": 0.4,
        "HT Decay": 0.65, "HT Snappy": 0.8, "HT Tunning": 0.4, "CY Decay": 0.8, "CY Tone": 0.6,
        "OH Decay": 0.55,
        "BD Level": 0.49, "SD Level": 0.28, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.41, "MT Level": 0.49, "HT Level": 0.51,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.32, "CP Level": 0.32,
        "CB Level": 0.86, "LG Level": 0.56, "CY Level": 0.60, "OH Level": 0.43,
        "CH Level": 0.64}),
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
    # The hi-hats' high-passes sit near the top of the band already: opening them further
    # would thin the hats out rather than brighten them.
    add(v, [t for t in TONES if t not in HAT_TONES], 0.25)
    add(v, HAT_TONES, 0.1)
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
    # The cow bell loses most of its body when tuned far down; it goes down a little only.
    add(v, [i + " Tunning" for i in TUNED if i != "CB"], -0.25)
    v["CB Tunning"] -= 0.1
    v["SD Tone"] -= 0.2
    v["CP Tone"] -= 0.2
    v["HH Filters Freq"] -= 0.15


# Level changes in dB, per voice, that keep each voice of a character as loud as it is in the
# plain kit: shorter notes come up, longer and brighter ones go down.
LEVEL_MATCH = {
    "Tight": {"BD": 3.0, "SD": 1.0, "LC": 2.5, "MC": 2.5, "HC": 2.5, "LT": 2.5, "MT": 2.5, "HT": 2.5,
              "CL": 2.5, "RS": 1.0, "CB": 2.0, "OH": 1.5, "CH": 1.5},
    "Boomy": {"BD": -3.0, "LC": -2.5, "MC": -2.5, "HC": -2.5, "LT": -2.0, "MT": -2.0, "HT": -2.5},
    "Lo-Fi": {"BD": 1.5, "LC": 1.5, "MC": 1.5, "HC": 1.5, "LT": 1.5, "MT": 1.5, "HT": 1.0, "CL": 1.5,
              "MA": -2.0, "CP": 3.0, "CB": 1.5, "CY": 2.0, "OH": -2.0, "CH": -3.0},
    "Bright": {"SD": -2.0, "MA": 2.0, "CP": -2.5, "CY": -5.0, "CH": 1.0},
    "Dark": {"SD": 2.0, "MA": -2.5, "CP": 3.5, "CY": 2.5, "OH": -3.5, "CH": -4.5},
    "Long Decay": {"BD": -2.5, "SD": -3.5, "LC": -3.0, "MC": -3.0, "HC": -3.0, "LT": -2.5, "MT": -3.0,
                   "HT": -3.0, "CL": -3.0, "LG": -4.0, "OH": -1.5, "CH": -3.0},
    "Short Decay": {"BD": 4.5, "SD": 2.5, "LC": 3.5, "MC": 3.5, "HC": 3.5, "LT": 3.5, "MT": 3.5,
                    "HT": 3.5, "CL": 3.5, "RS": 1.5, "CB": 4.0, "OH": 2.5, "CH": 2.0},
    "Tuned Up": {"CP": -2.0, "CY": -2.5, "OH": -1.0, "CH": -1.0},
    "Tuned Down": {"CP": 2.0, "CB": 1.5, "CY": 1.5, "OH": 1.5},
}

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

# Special kits, complete as they are: knobs, then levels.
SPECIAL_KITS = [
    ("Init Kit", {
        "BD Level": 0.40, "SD Level": 0.48, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.40, "MT Level": 0.47, "HT Level": 0.48,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.29, "CP Level": 0.34,
        "CB Level": 0.80, "LG Level": 0.56, "CY Level": 0.49, "OH Level": 0.39,
        "CH Level": 0.55}),
    ("Sub Drop", {"BD Tone": 0.2, "BD Decay": 1.0, "BD Sweep": 1.0, "SD Tone": 0.3,
        "SD Decay": 0.6, "CP Reverb": 0.8, "CH Decay": 0.3,
        "BD Level": 0.23, "SD Level": 0.46, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.39, "MT Level": 0.48, "HT Level": 0.49,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.31, "CP Level": 0.24,
        "CB Level": 0.84, "LG Level": 0.56, "CY Level": 0.50, "OH Level": 0.39,
        "CH Level": 0.62}),
    ("Conga Line", {"BD Decay": 0.3, "LC Decay": 0.7, "MC Decay": 0.65, "HC Decay": 0.6,
        "LC Tunning": 0.35, "HC Tunning": 0.65,
        "BD Level": 0.48, "SD Level": 0.48, "LC Level": 0.43, "MC Level": 0.84,
        "HC Level": 0.79, "LT Level": 0.39, "MT Level": 0.47, "HT Level": 0.48,
        "CL Level": 0.70, "RS Level": 0.61, "MA Level": 0.55, "CP Level": 0.33,
        "CB Level": 0.90, "LG Level": 0.56, "CY Level": 0.49, "OH Level": 0.38,
        "CH Level": 0.55}),
    ("Laser Show", {"LG Depth": 0.9, "LG Decay": 0.5, "LG Sweep": 0.6, "BD Decay": 0.6,
        "BD Sweep": 0.8, "CP Reverb": 0.7, "CH Tone": 0.75,
        "BD Level": 0.32, "SD Level": 0.48, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.39, "MT Level": 0.49, "HT Level": 0.47,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.30, "CP Level": 0.36,
        "CB Level": 0.81, "LG Level": 0.77, "CY Level": 0.49, "OH Level": 0.39,
        "CH Level": 0.90}),
    ("Clap Heaven", {"CP Reverb": 1.0, "CP Tone": 0.6, "SD Snappy": 0.8, "SD Decay": 0.7,
        "OH Decay": 0.6,
        "BD Level": 0.39, "SD Level": 0.29, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.39, "MT Level": 0.47, "HT Level": 0.50,
        "CL Level": 0.39, "RS Level": 0.77, "MA Level": 0.31, "CP Level": 0.28,
        "CB Level": 0.82, "LG Level": 0.56, "CY Level": 0.49, "OH Level": 0.35,
        "CH Level": 0.54}),
    ("Metal Hats", {"HH Filters Freq": 0.85, "CH Tone": 0.8, "CH Decay": 0.6, "OH Tone": 0.8,
        "OH Decay": 0.75, "CY Tone": 0.8, "CY Decay": 0.9,
        "BD Level": 0.40, "SD Level": 0.48, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.40, "MT Level": 0.47, "HT Level": 0.50,
        "CL Level": 0.39, "RS Level": 0.61, "MA Level": 0.32, "CP Level": 0.30,
        "CB Level": 0.80, "LG Level": 0.56, "CY Level": 0.51, "OH Level": 0.67,
        "CH Level": 0.90}),
    ("Cowbell Fever", {"CB Tunning": 0.6, "CB Decay": 0.7, "CL Tunning": 0.7, "BD Decay": 0.4,
        "BD Level": 0.46, "SD Level": 0.48, "LC Level": 0.27, "MC Level": 0.52,
        "HC Level": 0.46, "LT Level": 0.41, "MT Level": 0.47, "HT Level": 0.49,
        "CL Level": 0.76, "RS Level": 0.61, "MA Level": 0.47, "CP Level": 0.26,
        "CB Level": 0.90, "LG Level": 0.56, "CY Level": 0.49, "OH Level": 0.39,
        "CH Level": 0.56}),
    ("Tiny Clicks", {"BD Decay": 0.25, "BD Tone": 0.65, "BD Sweep": 0.0, "SD Decay": 0.2,
        "SD Tone": 0.9, "LC Decay": 0.12, "MC Decay": 0.12, "HC Decay": 0.12, "LT Decay": 0.12,
        "MT Decay": 0.12, "HT Decay": 0.12, "CL Decay": 0.1, "RS Decay": 0.1, "CB Decay": 0.25,
        "CP Reverb": 0.0, "CY Decay": 0.1, "OH Decay": 0.1, "CH Decay": 0.1,
        "HH Filters Freq": 0.8,
        "BD Level": 0.65, "SD Level": 0.49, "LC Level": 0.47, "MC Level": 0.89,
        "HC Level": 0.79, "LT Level": 0.66, "MT Level": 0.77, "HT Level": 0.80,
        "CL Level": 0.68, "RS Level": 0.74, "MA Level": 0.31, "CP Level": 0.27,
        "CB Level": 0.90, "LG Level": 0.56, "CY Level": 0.31, "OH Level": 0.51,
        "CH Level": 0.62}),
]


# The laser's declared knobs give a click of a millisecond or two; every kit starts from a
# short zap instead, so that the laser is heard whichever kit plays it.
LASER = {"LG Depth": 0.7, "LG Decay": 0.35, "LG Sweep": 0.35}


def neutral():
    values = {name: value for name, value in PARAMETERS}
    values.update(LASER)
    return values


def match_levels(values, changes):
    for voice, db in changes.items():
        values[voice + " Level"] *= 10.0 ** (db / 20.0)


def build_kit(overrides, character=None, character_name=""):
    values = neutral()
    for name, value in overrides.items():
        if name not in values:
            raise ValueError("unknown knob " + name)
        values[name] = value
    if character:
        character(values)
        match_levels(values, LEVEL_MATCH[character_name])
    return [(name, round(min(1.0, max(0.0, values[name])), 6)) for name, _ in PARAMETERS]


def factory_presets():
    presets = []
    for kit, overrides in GENRE_KITS:
        for character_name, character in CHARACTERS:
            name = kit + (" " + character_name if character_name else "")
            presets.append((name, build_kit(overrides, character, character_name)))
    for name, overrides in SPECIAL_KITS:
        presets.append((name, build_kit(overrides)))
    return presets
