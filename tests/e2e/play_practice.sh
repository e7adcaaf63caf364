#!/usr/bin/env bash
# The practice options of tabrino-play through the capture port: --loop plays
# its bars over and over (each pass after the first begins with the all-off
# and the controller state at the loop start) until Ctrl-C; --mute and --solo
# keep every Note On of velocity 16 and up off the silenced channels.
set -euo pipefail
build=$1
export PYTHONPATH
PYTHONPATH=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Four bars of 4/4 at 96 ticks a quarter, half a second each. Channel 1: a
# modulation value and a note per bar; channel 2: a note per bar and a quiet
# one (velocity 10) a beat later.
/usr/bin/python3 - "$work/song.mid" <<'PY'
import sys, mido
f = mido.MidiFile(ticks_per_beat=96)
t0 = mido.MidiTrack(); f.tracks.append(t0)
t0.append(mido.MetaMessage('set_tempo', tempo=125000, time=0))
t1 = mido.MidiTrack(); f.tracks.append(t1)
t2 = mido.MidiTrack(); f.tracks.append(t2)
for bar in range(4):
    t1.append(mido.Message('control_change', channel=0, control=1, value=10 + bar, time=0 if bar == 0 else 192))
    t1.append(mido.Message('note_on', channel=0, note=60 + bar, velocity=100, time=0))
    t1.append(mido.Message('note_off', channel=0, note=60 + bar, velocity=0, time=192))
    t2.append(mido.Message('note_on', channel=1, note=70 + bar, velocity=100, time=0 if bar == 0 else 96))
    t2.append(mido.Message('note_on', channel=1, note=40, velocity=10, time=96))
    t2.append(mido.Message('note_off', channel=1, note=70 + bar, velocity=0, time=96))
    t2.append(mido.Message('note_off', channel=1, note=40, velocity=0, time=96))
f.save(sys.argv[1])
PY

for bad in "--loop 3-2" "--loop 9-10" "--mute 17" "--solo 1,2"; do
  rc=0
  # shellcheck disable=SC2086
  "$build/tools/tabrino-play" --port none $bad "$work/song.mid" 2>"$work/err" </dev/null || rc=$?
  [ "$rc" = 2 ] && [ -s "$work/err" ] || { echo "$bad ended with $rc"; cat "$work/err"; exit 1; }
done
# A render must end: it takes no loop, and writes no file.
rc=0
"$build/tools/tabrino-play" --render "$work/loop.wav" --loop 2-3 "$work/song.mid" 2>"$work/err" </dev/null || rc=$?
[ "$rc" = 2 ] && grep -q -- "--loop" "$work/err" && [ ! -e "$work/loop.wav" ] \
  || { echo "--render with --loop ended with $rc"; cat "$work/err"; exit 1; }

"$build/tools/tabrino-play" --port "capture:$work/solo.txt" --solo 1 "$work/song.mid" 2>"$work/err" </dev/null

"$build/tools/tabrino-play" --port "capture:$work/loop.txt" --loop 2-3 --mute 2 "$work/song.mid" \
  2>>"$work/err" </dev/null &
player=$!
# Three jumps back (three all-off groups after the start) make two whole
# passes after the first, however slowly the machine runs.
for _ in $(seq 1200); do
  resets=$(grep -c ' 79$' "$work/loop.txt" 2>/dev/null || true)
  [ "${resets:-0}" -gt 64 ] && break
  sleep 0.05
done
kill -INT "$player"
rc=0
wait "$player" || rc=$?
[ "$rc" = 130 ] || { echo "the loop ended with $rc"; cat "$work/err"; exit 1; }

/usr/bin/python3 - "$work/loop.txt" "$work/solo.txt" <<'PY'
import sys
from capture import all_off, messages, start_sequence

def loud_notes(got, channel):
    return [m for m in got if m[0] == 0x90 + channel and m[2] >= 16]

loop = messages(sys.argv[1])
assert loop[:64] == start_sequence(), loop[:64]
assert loop[-48:] == all_off(), "the interrupted loop did not stop cleanly"
# Bar 2: the controller state before it, then its own messages; the loud
# notes of channel 2 are not sent, its quiet one and its note-offs are.
one_pass = [(0xB0, 1, 10), (0xB0, 1, 11), (0x90, 61, 100), (0x91, 40, 10), (0x80, 61, 0), (0x81, 71, 0),
            (0x81, 40, 0)]
body = loop[64:-48]
passes = []
while body:
    assert body[:len(one_pass)] == one_pass[:len(body)], ("pass", len(passes), body[:len(one_pass)])
    passes.append(body[:len(one_pass)])
    body = body[len(one_pass):]
    if body:
        assert body[:48] == all_off(), ("no all-off after pass", len(passes), body[:48])
        body = body[48:]
assert sum(p == one_pass for p in passes) >= 3, len(passes)

solo = messages(sys.argv[2])
assert loud_notes(solo, 1) == [], "a solo let another channel's notes through"
assert len(loud_notes(solo, 0)) == 4, solo
print("practice ok")
PY
