#!/usr/bin/env bash
# tabrino-play --remembered applies what the window remembers for a song,
# found by the hash of its bytes: the remembered tempo and transposition
# reach the capture port, and an option given goes before the memory.
# Without --remembered the command line alone counts.
set -euo pipefail
build=$1
export PYTHONPATH XDG_CONFIG_HOME
PYTHONPATH=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
XDG_CONFIG_HOME=$work/config

# One note of two beats at 120 beats a minute (a second), then the memory
# file with this song's record under its FNV-1a hash and another song's.
/usr/bin/python3 - "$work/song.mid" "$XDG_CONFIG_HOME/TabrinoCE" <<'PY'
import os, sys, mido
f = mido.MidiFile(ticks_per_beat=96)
t = mido.MidiTrack(); f.tracks.append(t)
t.append(mido.MetaMessage('set_tempo', tempo=500000, time=0))
t.append(mido.Message('note_on', channel=0, note=60, velocity=100, time=0))
t.append(mido.Message('note_off', channel=0, note=60, velocity=0, time=192))
f.save(sys.argv[1])
h = 0xcbf29ce484222325
for b in open(sys.argv[1], 'rb').read():
    h = ((h ^ b) * 0x100000001b3) & 0xffffffffffffffff
os.makedirs(sys.argv[2])
with open(sys.argv[2] + '/song-memory.txt', 'w') as m:
    m.write('TabrinoCE song memory 1\n\n[0123456789abcdef]\nTempo=60\n\n[%016x]\nTempo=240\nTranspose=-2\n' % h)
PY

# The note's pitch and how long until the next message (its note-off or the
# all-off at the song's end), in milliseconds.
note() {
  /usr/bin/python3 - "$1" <<'PY'
import sys
times, data = [], []
for line in open(sys.argv[1]):
    t, b = line.split()
    times.append(int(t)); data.append(int(b, 16))
for i in range(len(data) - 2):
    if data[i] == 0x90 and data[i + 2] > 0:
        print(data[i + 1], (times[i + 3] - times[i]) // 1000)
        break
PY
}

play() {
  local name=$1
  shift
  "$build/tools/tabrino-play" --port "capture:$work/$name.txt" "$@" "$work/song.mid" 2>"$work/$name.err" </dev/null \
    || { echo "tabrino-play $* failed"; cat "$work/$name.err"; exit 1; }
  note "$work/$name.txt"
}

read -r key ms < <(play remembered --remembered)
[ "$key" = 58 ] && [ "$ms" -lt 800 ] || { echo "--remembered: key $key for $ms ms"; exit 1; }
grep -q 'Tempo=240' "$work/remembered.err" || { echo "not told what was remembered"; cat "$work/remembered.err"; exit 1; }
read -r key ms < <(play plain)
[ "$key" = 60 ] && [ "$ms" -ge 900 ] || { echo "without --remembered: key $key for $ms ms"; exit 1; }
read -r key ms < <(play override --remembered --transpose 0)
[ "$key" = 60 ] && [ "$ms" -lt 800 ] || { echo "--remembered --transpose 0: key $key for $ms ms"; exit 1; }
echo "ok"
