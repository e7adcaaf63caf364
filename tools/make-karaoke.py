#!/usr/bin/env python3
"""Writes tests/data/midi/ode-latin1.kar: a karaoke file as .kar files are
made, for the tests of the lyrics and keyboard views and for the README's
screenshots.

Track 0 holds the "@K", "@V" and "@I" lines; track 1, named "Words", the
"@L" line, three "@T" title lines and the words as text events, one a
syllable, sung with the melody's notes: "\\" begins a paragraph (a verse),
"/" a line, and a syllable that ends a word keeps its space. The text is
Latin-1, as in most .kar files. Tracks 2 to 4 play the melody (channel 1),
a bass (channel 2) and drums (channel 10). Running the script again gives
the same bytes.
Usage: tools/make-karaoke.py [OUTPUT_FILE]
"""

import os
import struct
import sys

from smfbytes import vlq

DIVISION = 480
Q = DIVISION
BAR = 4 * Q

E4, F4, G4, D4, C4 = 64, 65, 67, 62, 60
# Two halves of the tune, each four bars: (note, length in quarters x 2).
FIRST = [(E4, 2), (E4, 2), (F4, 2), (G4, 2), (G4, 2), (F4, 2), (E4, 2), (D4, 2),
         (C4, 2), (C4, 2), (D4, 2), (E4, 2), (E4, 3), (D4, 1), (D4, 4)]
SECOND = FIRST[:12] + [(D4, 3), (C4, 1), (C4, 4)]

VERSES = [
    ["\\Freu", "de, ", "schö", "ner ", "Göt", "ter", "fun", "ken, ",
     "/Toch", "ter ", "aus ", "E", "ly", "si", "um, ",
     "/Wir ", "be", "tre", "ten ", "feu", "er", "trun", "ken, ",
     "/Himm", "li", "sche, ", "dein ", "Hei", "lig", "tum!"],
    ["\\Dei", "ne ", "Zau", "ber ", "bin", "den ", "wie", "der, ",
     "/was ", "die ", "Mo", "de ", "streng ", "ge", "teilt; ",
     "/al", "le ", "Men", "schen ", "wer", "den ", "Brü", "der, ",
     "/wo ", "dein ", "sanf", "ter ", "Flü", "gel ", "weilt."],
]


def text(kind, words):
    data = words.encode("latin-1")
    return bytes([0xFF, kind]) + vlq(len(data)) + data


def track(events):
    """events: (tick, bytes) in any order; sorted by tick, stably."""
    body = b""
    now = 0
    for tick, data in sorted(events, key=lambda e: e[0]):
        body += vlq(tick - now) + data
        now = tick
    body += vlq(0) + bytes([0xFF, 0x2F, 0x00])
    return b"MTrk" + struct.pack(">I", len(body)) + body


def song():
    header = [(0, text(0x01, line)) for line in
              ("@KMIDI KARAOKE FILE", "@V0100", "@IGesungen für TabrinoCE")]
    tempo = [(0, bytes([0xFF, 0x51, 0x03]) + (500000).to_bytes(3, "big")),
             (0, bytes([0xFF, 0x58, 0x04, 4, 2, 24, 8]))]
    words = [(0, text(0x03, "Words"))]
    words += [(0, text(0x01, line)) for line in
              ("@LGERM", "@TOde an die Freude", "@TFriedrich Schiller", "@TLudwig van Beethoven")]
    melody = [(0, text(0x03, "Melody")), (0, bytes([0xC0, 0]))]
    bass = [(0, text(0x03, "Bass")), (0, bytes([0xC1, 32]))]
    drums = [(0, text(0x03, "Drums"))]

    tick = BAR  # a bar of drums and bass before the singing
    for verse in VERSES:
        syllables = iter(verse)
        for note, length in FIRST + SECOND:
            words.append((tick, text(0x01, next(syllables))))
            end = tick + length * Q // 2
            melody += [(tick, bytes([0x90, note, 100])), (end - 10, bytes([0x80, note, 64]))]
            tick = end
    last = tick
    for bar in range(0, last // BAR):
        root = 48 if bar % 2 == 0 else 43
        for half in (0, 2 * Q):
            at = bar * BAR + half
            bass += [(at, bytes([0x91, root, 90])), (at + 2 * Q - 10, bytes([0x81, root, 64]))]
        for beat in range(4):
            at = bar * BAR + beat * Q
            drums += [(at, bytes([0x99, 42, 70])), (at + Q // 2, bytes([0x89, 42, 64]))]
            if beat % 2 == 0:
                drums += [(at, bytes([0x99, 36, 110])), (at + Q // 2, bytes([0x89, 36, 64]))]
    tracks = [header + tempo, words, melody, bass, drums]
    return (b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), DIVISION)
            + b"".join(track(t) for t in tracks))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "tests", "data", "midi", "ode-latin1.kar")
    with open(out, "wb") as f:
        f.write(song())


if __name__ == "__main__":
    main()
