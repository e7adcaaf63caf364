#!/usr/bin/env bash
# Plays a generated song with tabrino-play through the capture port and
# checks the bytes: the start sequence first, then every channel message of
# the file (but those at its last tick) with the output rules applied, and
# the all-off of the end. Then what a mistaken or failing port does: a song
# file named as the port is left as it was, a full device stops the player
# with exit status 3; a missing file is told once; numbers out of range are
# refused with theirs; a file URI names the file; --list-ports in both
# programs. Two signals within milliseconds still end with the all-off.
set -euo pipefail
build=$1
export PYTHONPATH
PYTHONPATH=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$work/song.mid" <<'PY'
import sys, mido
f = mido.MidiFile(ticks_per_beat=96)
t0 = mido.MidiTrack(); f.tracks.append(t0)
t0.append(mido.MetaMessage('set_tempo', tempo=250000, time=0))
t0.append(mido.MetaMessage('time_signature', numerator=3, denominator=4, time=0))
t0.append(mido.MetaMessage('set_tempo', tempo=1000000, time=96))
t0.append(mido.MetaMessage('end_of_track', time=0))
t1 = mido.MidiTrack(); f.tracks.append(t1)
t1.append(mido.Message('program_change', channel=0, program=19, time=0))
t1.append(mido.Message('control_change', channel=0, control=7, value=90, time=0))
t1.append(mido.Message('sysex', data=[0x7E, 0x7F, 0x09, 0x01], time=0))
for i in range(12):
    t1.append(mido.Message('note_on', channel=0, note=60 + i, velocity=100, time=0 if i == 0 else 12))
    t1.append(mido.Message('pitchwheel', channel=0, pitch=i * 100, time=12))
    t1.append(mido.Message('note_off', channel=0, note=60 + i, velocity=0, time=12))
t1.append(mido.Message('aftertouch', channel=0, value=40, time=1))
t2 = mido.MidiTrack(); f.tracks.append(t2)
t2.append(mido.Message('control_change', channel=9, control=7, value=50, time=0))
for i in range(16):
    t2.append(mido.Message('note_on', channel=9, note=36 + (i % 3), velocity=80, time=0 if i == 0 else 24))
    t2.append(mido.Message('note_on', channel=9, note=36 + (i % 3), velocity=0, time=0))
t2.append(mido.Message('control_change', channel=9, control=10, value=3, time=6))
t2.append(mido.Message('note_off', channel=9, note=40, velocity=0, time=20))
f.save(sys.argv[1])
PY

help=$("$build/tools/tabrino-play" --help)
grep -q -- "--port NAME" <<<"$help"
for program in "$build/tools/tabrino-play" "$build/tabrino"; do
  "$program" --list-ports >"$work/ports" 2>"$work/err"
  grep -q '^synth  ' "$work/ports" && grep -q '^none  ' "$work/ports" && grep -q '^capture:FILE  ' "$work/ports" \
    || { echo "$program --list-ports:"; cat "$work/ports" "$work/err"; exit 1; }
done

cp "$work/song.mid" "$work/kept.mid"
if "$build/tools/tabrino-play" --port "$work/kept.mid" "$work/song.mid" 2>"$work/err" </dev/null; then
  echo "a song file was taken as a port"; exit 1
fi
grep -q "is not a MIDI device" "$work/err" || { cat "$work/err"; exit 1; }
cmp "$work/song.mid" "$work/kept.mid"

rc=0
"$build/tools/tabrino-play" --port capture:/dev/full "$work/song.mid" 2>"$work/err" </dev/null || rc=$?
[ "$rc" = 3 ] || { echo "a full device ended with $rc"; cat "$work/err"; exit 1; }
grep -q "Port capture:/dev/full: write failed: No space left on device" "$work/err" || { cat "$work/err"; exit 1; }
# Each refused with exit status 2 and what it takes; --from must lie before
# the song's end (tick 421).
for refused in "--tempo fast:whole number" "--tempo 301:takes 30 to 300 beats per minute" \
  "--transpose -13:takes -12 to 12 semitones" "--from 421:takes a tick from 0 to 420"; do
  rc=0
  "$build/tools/tabrino-play" --port none ${refused%%:*} "$work/song.mid" 2>"$work/err" || rc=$?
  [ "$rc" = 2 ] && grep -q "${refused#*:}" "$work/err" || { echo "${refused%%:*}: status $rc"; cat "$work/err"; exit 1; }
done
# A missing file is told once: the reason and the file.
rc=0
"$build/tools/tabrino-play" "$work/missing.mid" 2>"$work/err" || rc=$?
[ "$rc" = 1 ] && [ "$(cat "$work/err")" = "$(printf 'Cannot open the file: No such file or directory\n%s' "$work/missing.mid")" ] \
  || { echo "a missing file: status $rc"; cat "$work/err"; exit 1; }
"$build/tools/tabrino-play" --port none --from 400 "file://$work/song.mid" 2>"$work/err" || { cat "$work/err"; exit 1; }

"$build/tools/tabrino-play" --port "capture:$work/out.txt" "$work/song.mid" 2>"$work/err" </dev/null
"$build/tools/tabrino-play" --port "capture:$work/transposed.txt" --transpose 2 "$work/song.mid" 2>>"$work/err" </dev/null

# Ctrl-C, the hang-up of the terminal and a termination request each stop
# playback through the player thread before the program exits with 128 + the
# signal's number: the capture ends with the all-off. A second signal right
# after the first (a closed terminal, `timeout`) changes nothing. The signal
# goes once playback has clearly begun (past the 64 messages of the start
# sequence), however slowly the build under test starts.
for signal in INT:130 HUP:129 TERM:143; do
  name=${signal%:*}
  "$build/tools/tabrino-play" --port "capture:$work/interrupted-$name.txt" "$2/res/demo.mid" \
    2>>"$work/err" </dev/null &
  player=$!
  for _ in $(seq 600); do
    [ "$(wc -l 2>/dev/null <"$work/interrupted-$name.txt" || echo 0)" -gt 300 ] && break
    sleep 0.05
  done
  kill -"$name" "$player"
  kill -TERM "$player" 2>/dev/null || true
  rc=0
  wait "$player" || rc=$?
  # Sent within microseconds, either signal may be the one that starts the
  # stop and gives the status.
  [ "$rc" = "${signal#*:}" ] || [ "$rc" = 143 ] || { echo "run stopped by SIG$name ended with $rc"; exit 1; }
done

/usr/bin/python3 - "$work/song.mid" "$work/out.txt" "$work/transposed.txt" "$work"/interrupted-*.txt <<'PY'
import sys, mido
from collections import Counter
from capture import all_off, messages, start_sequence

def expected(song, transpose):
    f = mido.MidiFile(song)
    events = []
    for track in f.tracks:
        tick = 0
        for m in track:
            tick += m.time
            if not m.is_meta:
                events.append((tick, list(m.bytes())))
    last = max(t for t, _ in events)
    result = Counter()
    for tick, b in events:
        if tick >= last:
            continue
        # A system-exclusive message reads back as its F0 part and its F7.
        if b[0] == 0xF0:
            result[tuple(b[:-1])] += 1
            result[(0xF7,)] += 1
            continue
        status = b[0]
        kind, channel = status & 0xF0, status & 0x0F
        if kind in (0x80, 0x90) and channel != 9:
            b[1] = max(0, min(127, b[1] + transpose))
        result[tuple(b)] += 1
    return result, last

for path, transpose in ((sys.argv[2], 0), (sys.argv[3], 2)):
    got = messages(path)
    assert got[:64] == start_sequence(), ("start sequence", got[:64])
    assert got[-48:] == all_off(), ("final all-off", got[-48:])
    want, last = expected(sys.argv[1], transpose)
    body = Counter(got[64:-48])
    assert body == want, ("messages differ", sorted((body - want).items()), sorted((want - body).items()))
assert len(sys.argv) == 7, sys.argv
for path in sys.argv[4:]:
    got = messages(path)
    assert len(got) > 112 and got[-48:] == all_off(), (path, "interrupted run did not stop cleanly")
print("capture ok")
PY
