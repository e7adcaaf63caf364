"""Byte helpers shared by the scripts that write Standard MIDI Files."""


def vlq(value):
    """A number as a variable-length quantity: 7 bits a byte, high bit set on all but the last."""
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))
