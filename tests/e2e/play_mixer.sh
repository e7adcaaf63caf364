#!/usr/bin/env bash
# tabrino-play's mixer options: --emphasis and --minus-one scale each
# channel's controller 7 as the capture port shows (the song's own volumes
# too), a channel out of range is refused, and --render-parts writes an
# emphasis and a minus-one track for every channel with notes.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Two tracks, half a second: "Melody" on channel 1 (its volume 100 at the
# start), an unnamed bass on channel 2.
/usr/bin/python3 - "$work/song.mid" <<'PY'
import sys, mido
f = mido.MidiFile(ticks_per_beat=96)
t1 = mido.MidiTrack(); f.tracks.append(t1)
t1.append(mido.MetaMessage('track_name', name='Melody', time=0))
t1.append(mido.Message('control_change', channel=0, control=7, value=100, time=0))
t1.append(mido.Message('note_on', channel=0, note=72, velocity=100, time=0))
t1.append(mido.Message('note_off', channel=0, note=72, velocity=0, time=96))
t2 = mido.MidiTrack(); f.tracks.append(t2)
t2.append(mido.Message('program_change', channel=1, program=32, time=0))
t2.append(mido.Message('note_on', channel=1, note=36, velocity=100, time=0))
t2.append(mido.Message('note_off', channel=1, note=36, velocity=0, time=96))
f.save(sys.argv[1])
PY

play() { "$build/tools/tabrino-play" "$@" "$work/song.mid" 2>"$work/err" </dev/null; }
# The controller 7 messages of a capture, one "STATUS VALUE" a line.
volumes() { awk '{print $2}' "$1" | tr '\n' ' ' | grep -oE 'B[0-9A-F] 07 [0-9A-F]{2}' | awk '{print $1, $3}'; }

play --port "capture:$work/emphasis.txt" --emphasis 2,20
# The start's broadcast (the second channel full, the others at 20 % of
# 100), then the song's own 100 on channel 1 at 20 %.
expected="B0 14
B1 64
B2 14"
[ "$(volumes "$work/emphasis.txt" | head -3)" = "$expected" ] || { volumes "$work/emphasis.txt" | head -3; exit 1; }
[ "$(volumes "$work/emphasis.txt" | sed -n 17p)" = "B0 14" ] || { echo "the song's volume is not scaled"; exit 1; }
play --port "capture:$work/minus.txt" --minus-one 1
[ "$(volumes "$work/minus.txt" | sed -n '1p;2p;17p' | tr '\n' ' ')" = "B0 00 B1 64 B0 00 " ] \
  || { volumes "$work/minus.txt" | head -17; exit 1; }

for bad in "--emphasis 17" "--emphasis 2,101" "--minus-one 0" "--render-parts $work/p --emphasis 2"; do
  rc=0
  # shellcheck disable=SC2086
  play --port none $bad || rc=$?
  [ "$rc" = 2 ] && [ -s "$work/err" ] || { echo "$bad ended with $rc"; cat "$work/err"; exit 1; }
done

if [ ! -e /usr/share/sounds/sf2/TimGM6mb.sf2 ]; then
  echo "no SoundFont: the renders are not tried"
  exit 0
fi
play --render-parts "$work/parts" --tempo 200 >"$work/out"
ls "$work/parts" >"$work/files"
diff - "$work/files" <<'LIST'
01-Melody-emphasis.wav
01-Melody-minus-one.wav
02-Acoustic_Bass-emphasis.wav
02-Acoustic_Bass-minus-one.wav
LIST
[ "$(wc -l <"$work/out")" = 4 ] || { cat "$work/out"; exit 1; }
echo "mixer options ok"
