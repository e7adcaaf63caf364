#!/usr/bin/env bash
# A GS song through tabrino-play: its reset and rhythm-part messages reach
# the capture port in place, before the first note, and the rhythm part's
# notes keep their keys under --transpose; --no-sysex leaves the messages
# out (and the part's notes are transposed); --reset gs sends the GS reset
# first and the song 50 ms later. The built-in synthesizer renders the
# rhythm part on channel 11 exactly as the drum channel 10, and without the
# message as something else.
set -euo pipefail
build=$1
export PYTHONPATH
PYTHONPATH=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
play="$build/tools/tabrino-play"

# One note on channel 1 and two on channel 11 (the GS rhythm part, whose
# key 38 is a snare) or, for the reference, on channel 10.
/usr/bin/python3 - "$work" <<'PY'
import sys, mido
def song(path, channel, sysex):
    f = mido.MidiFile(ticks_per_beat=96)
    t = mido.MidiTrack(); f.tracks.append(t)
    if sysex:
        t.append(mido.Message('sysex', data=[0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41], time=0))
        t.append(mido.Message('sysex', data=[0x41, 0x10, 0x42, 0x12, 0x40, 0x1A, 0x15, 0x02, 0x0F], time=0))
    t.append(mido.Message('note_on', channel=0, note=60, velocity=100, time=0))
    t.append(mido.Message('note_on', channel=channel, note=38, velocity=110, time=0))
    t.append(mido.Message('note_on', channel=channel, note=42, velocity=110, time=24))
    t.append(mido.Message('note_off', channel=0, note=60, velocity=0, time=96))
    t.append(mido.Message('note_off', channel=channel, note=38, velocity=0, time=0))
    t.append(mido.Message('note_off', channel=channel, note=42, velocity=0, time=0))
    t.append(mido.MetaMessage('end_of_track', time=96))
    f.save(path)
song(sys.argv[1] + '/gs.mid', 10, True)
song(sys.argv[1] + '/drums.mid', 9, False)
PY

"$play" --port "capture:$work/sysex.txt" --transpose 2 "$work/gs.mid" 2>"$work/err" </dev/null
"$play" --port "capture:$work/nosysex.txt" --transpose 2 --no-sysex "$work/gs.mid" 2>>"$work/err" </dev/null
"$play" --port "capture:$work/reset.txt" --reset gs --no-sysex "$work/gs.mid" 2>>"$work/err" </dev/null
rc=0
"$play" --port none --reset gs2 "$work/gs.mid" 2>"$work/bad" || rc=$?
[ "$rc" = 2 ] && grep -q 'takes none, gm, gm2, gs or xg, not "gs2"' "$work/bad" || { echo "--reset gs2: $rc"; cat "$work/bad"; exit 1; }

/usr/bin/python3 - "$work" <<'PY'
import sys
from capture import messages, start_sequence
work = sys.argv[1]
reset = [(0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41), (0xF7,)]
rhythm = [(0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x1A, 0x15, 0x02, 0x0F), (0xF7,)]
got = messages(work + '/sysex.txt')
assert got[:64] == start_sequence() and got[64:68] == reset + rhythm, got[:70]
assert got[68:71] == [(0x90, 62, 100), (0x9A, 38, 110), (0x9A, 42, 110)], got[68:71]
got = messages(work + '/nosysex.txt')
assert not any(m[0] in (0xF0, 0xF7) for m in got), got
assert got[64:67] == [(0x90, 62, 100), (0x9A, 40, 110), (0x9A, 44, 110)], got[64:67]
lines = [l.split() for l in open(work + '/reset.txt')]
got = messages(work + '/reset.txt')
assert got[64:66] == reset and got[66] == (0x90, 60, 100), got[64:67]
# The song waits 50 ms after the reset (its first note is due at its start).
last_reset_byte, first_note = int(lines[64 * 3 + 10][0]), int(lines[64 * 3 + 11][0])
assert first_note - last_reset_byte >= 49000, (last_reset_byte, first_note)
print("sysex capture ok")
PY

# Renders: the rhythm part on channel 11 as the drum channel 10, not
# without its message.
if ! "$play" --render "$work/gs.wav" "$work/gs.mid" 2>"$work/err"; then
  grep -q "SoundFont\|synthesizer" "$work/err" && { echo "no synthesizer: skipped"; exit 77; }
  cat "$work/err"; exit 1
fi
"$play" --render "$work/plain.wav" --no-sysex "$work/gs.mid"
"$play" --render "$work/drums.wav" "$work/drums.mid"
/usr/bin/python3 - "$work" <<'PY'
import sys, wave
def frames(path):
    with wave.open(path) as w:
        return w.readframes(w.getnframes())
work = sys.argv[1]
gs, plain, drums = (frames(f"{work}/{n}.wav") for n in ("gs", "plain", "drums"))
assert gs == drums, "the rhythm part does not sound as the drum channel"
assert plain != drums, "without the message channel 11 sounds as drums"
print("rhythm part rendered as drums")
PY
