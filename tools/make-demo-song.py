#!/usr/bin/env python3
"""Writes res/demo.mid, the project's own demo song.

"Harbour Lights": a short piece in G major at 100 beats per minute, 24 bars
of 4/4 (about 58 seconds): piano, flute, bass and strings on channels 1-4,
drums on channel 10. Standard library only; the output is the same on every
run. Usage: tools/make-demo-song.py [OUTPUT]
"""

import os
import struct
import sys

from smfbytes import vlq

PPQN = 480
BAR = 4 * PPQN
TEMPO_US = 600000  # 100 beats per minute

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def pitch(name):
    """'F#5' -> MIDI key number (C4 = 60)."""
    base = NOTE_NAMES[name[0]]
    rest = name[1:]
    if rest.startswith("#"):
        base += 1
        rest = rest[1:]
    elif rest.startswith("b"):
        base -= 1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + base


class Track:
    def __init__(self, name, channel=None, program=None, volume=100, pan=64, reverb=40):
        self.events = []  # (tick, order, bytes)
        self.channel = channel
        self.meta(0, 0x03, name.encode("ascii"))
        if channel is not None:
            self.control(0, 7, volume)
            self.control(0, 10, pan)
            self.control(0, 91, reverb)
            if program is not None:
                self.events.append((0, 1, bytes([0xC0 | channel, program])))

    def meta(self, tick, kind, payload):
        self.events.append((tick, 0, bytes([0xFF, kind]) + vlq(len(payload)) + payload))

    def control(self, tick, number, value):
        self.events.append((tick, 1, bytes([0xB0 | self.channel, number, value])))

    def note(self, tick, key, length, velocity):
        # Note offs sort before note ons of the same tick.
        self.events.append((tick, 2, bytes([0x90 | self.channel, key, velocity])))
        self.events.append((tick + length, 0, bytes([0x80 | self.channel, key, 0x40])))

    def chunk(self, end_tick):
        body = bytearray()
        now = 0
        running = None
        for tick, _, data in sorted(self.events, key=lambda e: (e[0], e[1])):
            body += vlq(tick - now)
            now = tick
            # Channel messages repeat their status only when it changes.
            if data[0] < 0xF0 and data[0] == running:
                body += data[1:]
            else:
                body += data
                running = data[0] if data[0] < 0xF0 else None
        body += vlq(max(0, end_tick - now)) + b"\xFF\x2F\x00"
        return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


# One chord per bar: the structure of the piece.
INTRO = ["G", "Em", "C", "D"]
VERSE = ["G", "Em", "C", "D", "G", "Em", "C", "D"]
BRIDGE = ["Em", "C", "G", "D", "Am", "C", "D", "D"]
OUTRO = ["C", "D", "G", "G"]
CHORDS = INTRO + VERSE + BRIDGE + OUTRO
BARS = len(CHORDS)

# Piano voicings, bass roots and fifths, string pads.
VOICING = {
    "G": ["G3", "D4", "G4", "B4"], "Em": ["E3", "B3", "E4", "G4"], "C": ["C3", "G3", "C4", "E4"],
    "D": ["D3", "A3", "D4", "F#4"], "Am": ["A2", "E3", "A3", "C4"],
}
BASS = {"G": ("G2", "D2"), "Em": ("E2", "B1"), "C": ("C2", "G1"), "D": ("D2", "A1"), "Am": ("A1", "E2")}
PAD = {
    "G": ["B4", "D5", "G5"], "Em": ["B4", "E5", "G5"], "C": ["C5", "E5", "G5"], "D": ["A4", "D5", "F#5"],
    "Am": ["A4", "C5", "E5"],
}

# The tune, bar by bar, as (note, beats); "r" is a rest.
MELODY = {
    4: "D5 1, B4 .5, D5 .5, G5 1.5, F#5 .5",
    5: "E5 1.5, D5 .5, B4 1, G4 1",
    6: "C5 1, E5 1, G5 1, E5 .5, D5 .5",
    7: "D5 1.5, C5 .5, A4 1, F#4 1",
    8: "G4 .5, B4 .5, D5 1, G5 1, B5 1",
    9: "G5 1.5, F#5 .5, E5 1, B4 1",
    10: "C5 1, E5 .5, G5 .5, A5 1, G5 1",
    11: "F#5 1, E5 .5, F#5 .5, D5 2",
    12: "B5 1.5, A5 .5, G5 1, E5 1",
    13: "E5 1, G5 1, C6 1, B5 .5, A5 .5",
    14: "B5 1.5, A5 .5, G5 1, D5 1",
    15: "F#5 1, A5 1, D5 2",
    16: "C5 1, E5 1, A5 1.5, G5 .5",
    17: "G5 1, E5 1, C5 1, E5 1",
    18: "F#5 1.5, G5 .5, A5 1, F#5 1",
    19: "D5 3, r 1",
    20: "E5 1, D5 1, C5 1, E5 1",
    21: "D5 1.5, C5 .5, A4 1, F#4 1",
    22: "G4 4",
}


def piano(track):
    pattern = [0, 1, 2, 3, 2, 1, 2, 3]
    for bar, chord in enumerate(CHORDS):
        keys = [pitch(n) for n in VOICING[chord]]
        start = bar * BAR
        if bar >= BARS - 2:
            # The last two bars hold the final chord.
            if bar == BARS - 2:
                for i, k in enumerate(keys):
                    track.note(start + i * 40, k, 2 * BAR - i * 40, 70)
            continue
        for step, index in enumerate(pattern):
            velocity = 76 if step % 4 == 0 else 62 if step % 2 == 0 else 54
            track.note(start + step * PPQN // 2, keys[index], PPQN // 2 - 10, velocity)


def flute(track):
    for bar, line in MELODY.items():
        tick = bar * BAR
        for item in line.split(","):
            name, beats = item.split()
            length = int(float(beats) * PPQN)
            if name != "r":
                accent = 96 if tick % BAR == 0 else 84
                track.note(tick, pitch(name), length - 20, accent)
            tick += length


def bass(track):
    for bar, chord in enumerate(CHORDS):
        root, fifth = (pitch(n) for n in BASS[chord])
        start = bar * BAR
        if bar >= BARS - 2:
            if bar == BARS - 2:
                track.note(start, root, 2 * BAR - 20, 100)
            continue
        nxt = pitch(BASS[CHORDS[bar + 1]][0])
        # Root, root on the "and" of two, fifth, and a step into the next root.
        approach = nxt - 1 if nxt > root else nxt + 2 if nxt < root else fifth
        if approach == root:
            approach = fifth
        for beat, key, length, velocity in ((0, root, 1.5, 104), (1.5, root, .5, 86), (2, fifth, 1, 96),
                                            (3, approach, 1, 88)):
            track.note(start + int(beat * PPQN), key, int(length * PPQN) - 30, velocity)


def strings(track):
    for bar, chord in enumerate(CHORDS):
        if bar < len(INTRO):
            continue
        length = 2 * BAR if bar == BARS - 2 else BAR
        if bar == BARS - 1:
            continue
        for k in PAD[chord]:
            track.note(bar * BAR, pitch(k), length - 30, 58)


KICK, SNARE, HAT, OPEN_HAT, CRASH, TOM_LOW, TOM_MID, TOM_HIGH = 36, 38, 42, 46, 49, 45, 47, 50


def drums(track):
    fills = {len(INTRO) + len(VERSE) - 1, BARS - 5}
    for bar in range(BARS):
        start = bar * BAR
        if bar == BARS - 2:
            track.note(start, CRASH, PPQN, 100)
            track.note(start, KICK, PPQN // 4, 110)
            continue
        if bar == BARS - 1:
            continue
        if bar in (len(INTRO), len(INTRO) + len(VERSE)):
            track.note(start, CRASH, PPQN, 96)
        intro = bar < len(INTRO)
        for step in range(8):
            tick = start + step * PPQN // 2
            if bar in fills and step >= 4:
                tom = (TOM_HIGH, TOM_HIGH, TOM_MID, TOM_LOW)[step - 4]
                track.note(tick, tom, PPQN // 4, 90 + 4 * (step - 4))
                continue
            open_hat = step == 7 and bar % 2 == 1 and not intro
            track.note(tick, OPEN_HAT if open_hat else HAT, PPQN // 4, 70 if step % 2 == 0 else 52)
            if step in (0, 4) or (step == 5 and not intro):
                track.note(tick, KICK, PPQN // 4, 108 if step == 0 else 96)
            if step in (2, 6) and not intro:
                track.note(tick, SNARE, PPQN // 4, 100)


def song():
    end = BARS * BAR
    conductor = Track("Harbour Lights")
    conductor.meta(0, 0x02, b"TabrinoCE demo song, free to use with the program")
    conductor.meta(0, 0x58, bytes([4, 2, 24, 8]))
    conductor.meta(0, 0x59, bytes([1, 0]))
    conductor.meta(0, 0x51, TEMPO_US.to_bytes(3, "big"))

    parts = [
        (Track("Piano", 0, 0, volume=92, pan=54, reverb=50), piano),
        (Track("Flute", 1, 73, volume=104, pan=70, reverb=60), flute),
        (Track("Bass", 2, 33, volume=108, pan=64, reverb=20), bass),
        (Track("Strings", 3, 48, volume=72, pan=84, reverb=80), strings),
        (Track("Drums", 9, 0, volume=96, pan=64, reverb=30), drums),
    ]
    for track, write in parts:
        write(track)
    tracks = [conductor] + [t for t, _ in parts]
    data = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), PPQN)
    for t in tracks:
        data += t.chunk(end)
    return data


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "demo.mid")
    with open(out, "wb") as f:
        f.write(song())


if __name__ == "__main__":
    main()
