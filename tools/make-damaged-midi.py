#!/usr/bin/env python3
"""Writes the damaged Standard MIDI Files under tests/data/midi/, and RMID
files, whole and damaged.

Each file is named for its content or fault; tests/song/LoaderTest.cpp holds
the outcome expected of each. Running the script again gives the same bytes.
Usage: tools/make-damaged-midi.py [OUTPUT_DIR]
"""

import os
import struct
import sys

from smfbytes import vlq


def header(fmt=1, tracks=1, division=480):
    return b"MThd" + struct.pack(">IHHH", 6, fmt, tracks, division)


def chunk(body, length=None):
    return b"MTrk" + struct.pack(">I", len(body) if length is None else length) + body


def meta(delta, kind, payload):
    return vlq(delta) + bytes([0xFF, kind]) + vlq(len(payload)) + payload


END = meta(0, 0x2F, b"")
# Three stored events: note on, note off, end of track.
NOTES = bytes([0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x40]) + END


def files():
    yield "truncated-header", header()[:10]

    # The second note is cut off after its status byte by the end of the file.
    body = bytes([0x00, 0x90, 0x3C, 0x64, 0x60, 0x90, 0x3E])
    yield "truncated-event", header() + chunk(body, length=len(body) + 10)

    yield "truncated-track-header", header(tracks=2) + chunk(NOTES) + b"MTrk\x00\x00"

    # The chunk claims 4 GiB; its events run to the end of the file, so the
    # second declared track cannot be found.
    yield "huge-chunk-length", header(tracks=2) + chunk(NOTES, length=0xFFFFFFFF)

    yield "sysex-length-past-end", header() + chunk(
        NOTES[:8] + vlq(0) + bytes([0xF0]) + vlq(1000) + b"\x01\x02\x03\xF7")

    # A text whose length field promises 256 MiB.
    yield "meta-length-past-end", header() + chunk(
        NOTES[:8] + vlq(0) + bytes([0xFF, 0x01]) + vlq(0x0FFFFFFF) + b"lost text")

    # Five delta bytes: 2^32 + 1, which keeps its low 32 bits.
    yield "vlq-5-byte", header() + chunk(
        bytes([0x90, 0x80, 0x80, 0x80, 0x01, 0x90, 0x3C, 0x64, 0x10, 0x80, 0x3C, 0x40]) + END)

    # Running status does not carry over from the first track to the second.
    yield "data-byte-without-running-status", header(tracks=2) + chunk(NOTES) + chunk(
        bytes([0x00, 0x3C, 0x64]) + END)

    yield "zero-tracks", header(fmt=0, tracks=0)

    yield "fewer-tracks-than-declared", header(tracks=3) + chunk(NOTES) + chunk(NOTES)

    yield "division-zero", header(division=0) + chunk(NOTES)

    # A tempo of 0 before a real one in the first track; the second track's
    # only tempo is 0.
    yield "tempo-zero", header(tracks=2) + chunk(
        meta(0, 0x51, b"\x00\x00\x00") + meta(0, 0x51, b"\x07\xA1\x20") + NOTES) + chunk(
        meta(0, 0x51, b"\x00\x00\x00") + NOTES)

    yield "short-meta-payloads", header() + chunk(
        meta(0, 0x00, b"\x05") + meta(0, 0x51, b"\x07\xA1") + meta(0, 0x54, b"\x60\x00\x00\x00")
        + meta(0, 0x58, b"\x03\x02\x18") + meta(0, 0x59, b"\x01") + NOTES)

    # A Standard MIDI File in a RIFF file of form RMID, named .mid as such
    # files often are.
    smf = header() + chunk(NOTES)
    data = b"RMID" + b"data" + struct.pack("<I", len(smf)) + smf
    yield "riff-rmid", b"RIFF" + struct.pack("<I", len(data)) + data

    # An RMID file whose only chunk is an odd-sized list: no data chunk.
    data = b"RMID" + b"LIST" + struct.pack("<I", 3) + b"abc\0"
    yield "riff-rmid-without-data", b"RIFF" + struct.pack("<I", len(data)) + data

    # A RIFF file of another form.
    data = b"WAVE" + b"data" + struct.pack("<I", len(smf)) + smf
    yield "riff-wave", b"RIFF" + struct.pack("<I", len(data)) + data


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "tests", "data", "midi")
    os.makedirs(out_dir, exist_ok=True)
    for name, data in files():
        with open(os.path.join(out_dir, name + ".mid"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
