"""The capture port's files as the end-to-end tests read them back."""


def messages(path):
    """The captured bytes as MIDI messages: tuples that each begin with a status byte."""
    out = []
    for line in open(path):
        b = int(line.split()[1], 16)
        if b >= 0x80 or not out:
            out.append([])
        out[-1].append(b)
    return [tuple(m) for m in out]


def all_off():
    """What silences every channel: all sound off, reset controllers, all notes off."""
    seq = []
    for n in range(16):
        seq += [(0xB0 + n, 120, 0), (0xB0 + n, 121, 0), (0xB0 + n, 123, 0)]
    return seq


def start_sequence():
    """What every start sends: the all-off, then each channel's volume (100 until the song sets one) at full master volume."""
    return all_off() + [(0xB0 + n, 7, 100) for n in range(16)]
