#!/usr/bin/env bash
# Count-in, markers and the speed trainer of the command-line programs:
# tabrino-dump --markers lists the song's markers and cue points (the plain
# dump does not change), tabrino-play --from-marker starts at one, --count-in
# clicks a bar first and --speed-trainer prints each pass's tempo.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Four bars of 3/4 at 96 ticks a quarter, 240 beats per minute; a marker at bar 1,
# one inside bar 3's second beat (a Latin-1 name) and a cue point at bar 4;
# a note at every bar's start.
/usr/bin/python3 - "$work/song.mid" <<'PY'
import sys, mido
f = mido.MidiFile(ticks_per_beat=96, charset='latin1')
t = mido.MidiTrack(); f.tracks.append(t)
t.append(mido.MetaMessage('set_tempo', tempo=250000, time=0))
t.append(mido.MetaMessage('time_signature', numerator=3, denominator=4, time=0))
t.append(mido.MetaMessage('marker', text='Intro', time=0))
events = [(0, 'n', 60), (576, 'n', 62), (576 + 96 + 10, 'm', 'Refr\xe4in'), (864, 'n', 64), (864, 'c', 'Solo'),
          (1152, 'e', 0)]
now = 0
for tick, kind, value in sorted(events, key=lambda e: e[0]):
    delta, now = tick - now, tick
    if kind == 'n':
        t.append(mido.Message('note_on', note=value, velocity=100, time=delta))
    elif kind == 'm':
        t.append(mido.MetaMessage('marker', text=value, time=delta))
    elif kind == 'c':
        t.append(mido.MetaMessage('cue_marker', text=value, time=delta))
    else:
        t.append(mido.Message('note_off', note=64, velocity=0, time=delta))
f.save(sys.argv[1])
PY

"$build/tools/tabrino-dump" --markers "$work/song.mid" >"$work/markers.txt"
printf '%s\n' 'marker 0 1.1 "Intro"' 'marker 682 3.2 "Refräin"' 'cue 864 4.1 "Solo"' | diff - "$work/markers.txt"
"$build/tools/tabrino-dump" "$work/song.mid" | grep -q '^e 682 FF 00 00 06 7 ' || { echo "the dump changed"; exit 1; }

# Started at the marker inside bar 3's second beat: at the beat's start
# (tick 672, the third note at 864 follows), after a count-in bar of three
# clicks, accented first.
rc=0
"$build/tools/tabrino-play" --port none --from-marker Nowhere "$work/song.mid" 2>"$work/err" || rc=$?
[ "$rc" = 2 ] && grep -q 'Intro, Refräin, Solo' "$work/err" || { echo "unknown marker: $rc"; cat "$work/err"; exit 1; }
"$build/tools/tabrino-play" --port "capture:$work/play.txt" --from-marker "refräin" --count-in 1 "$work/song.mid" \
  </dev/null 2>"$work/err"
PYTHONPATH=$(cd "$(dirname "$0")" && pwd) /usr/bin/python3 - "$work/play.txt" <<'PY'
import sys
from capture import messages
notes = [m for m in messages(sys.argv[1]) if m[0] in (0x90, 0x99) and m[2] != 0]
assert notes == [(0x99, 37, 127), (0x99, 37, 63), (0x99, 37, 63), (0x90, 64, 100)], notes
PY

# The trainer on bar 2 (60 % up 20 % a pass to 100 %): each pass's tempo.
"$build/tools/tabrino-play" --port none --loop 2-3 --speed-trainer 60,100,20,1 "$work/song.mid" \
  >"$work/passes.txt" 2>"$work/err" </dev/null &
player=$!
for _ in $(seq 400); do
  [ "$(wc -l <"$work/passes.txt")" -ge 4 ] && break
  sleep 0.05
done
kill -INT "$player"
wait "$player" || true
head -4 "$work/passes.txt" | diff - <(printf '%s\n' 'pass 1: 144 bpm (60 %)' 'pass 2: 192 bpm (80 %)' \
  'pass 3: 240 bpm (100 %), the target' 'pass 4: 240 bpm (100 %), the target')
