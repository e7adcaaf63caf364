#!/usr/bin/env bash
# The mixer on a virtual X display: X in the player opens it with a strip
# for each of the song's four channels, named after their tracks, and its
# levels move while the song plays; X closes it again and the close keeps
# its place, closed. A screenshot of the mixer beside the player is left in
# the build folder (docs/mixer.png is a copy).
set -euo pipefail
build=$1
export PYTHONPATH E2E_DIR
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
PYTHONPATH=$E2E_DIR
source "$E2E_DIR/window_session.bash"

if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "xvfb-run or xdotool is not installed: skipping the mixer test"
  exit 0
fi
make_work_dir
/usr/bin/python3 - "$work/band.mid" <<'PY'
import sys, mido
f = mido.MidiFile(ticks_per_beat=96)
for channel, (name, program, low) in enumerate([("Vocal", 52, 67), ("Piano", 0, 55), ("Bass", 33, 36), ("Strings", 48, 60)]):
    t = mido.MidiTrack(); f.tracks.append(t)
    t.append(mido.MetaMessage('track_name', name=name, time=0))
    t.append(mido.Message('program_change', channel=channel, program=program, time=0))
    for i in range(64):
        t.append(mido.Message('note_on', channel=channel, note=low + i % 7, velocity=100, time=0))
        t.append(mido.Message('note_off', channel=channel, note=low + i % 7, velocity=0, time=48))
f.save(sys.argv[1])
PY

cat >"$work/session.sh" <<'SH'
set -euo pipefail
build=$1; work=$2
source "$E2E_DIR/window_session.bash"
start_player "$build" "$work" "$work/band.mid"
xdotool windowfocus --sync "$window" 2>/dev/null || true
# xdotool presses X through the X server while the player has the keyboard,
# but sends the release to the player's window directly once the mixer has
# taken the keyboard: the server would go on repeating X into the mixer
# until the key is let go there too.
press_x() { xdotool key --window "$window" x; xdotool keyup x 2>/dev/null || true; }
press_x
mixer=
for _ in $(seq 50); do
  mixer=$(xdotool search --onlyvisible --name '^Mixer$' 2>/dev/null | head -1 || true)
  [ -n "$mixer" ] && break
  sleep 0.1
done
[ -n "$mixer" ] || { echo "X opened no mixer"; exit 1; }
xdotool windowmove "$mixer" 10 310
xdotool windowmove "$window" 10 10
xdotool key --window "$window" space
# Emphasis on the piano (the second strip's button), while it plays.
sleep 0.5
xdotool mousemove --window "$mixer" 617 79 click 1
sleep 1
import -window "$mixer" "$build/e2e-mixer.png"
import -window root -crop 840x480+5+5 "$build/e2e-mixer-beside.png"
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --window "$window" space
press_x
sleep 0.5
[ -z "$(xdotool search --onlyvisible --name '^Mixer$' 2>/dev/null || true)" ] || { echo "X left the mixer open"; exit 1; }
close_player ctrl+q "$work"
SH
run_session "$work/session.sh" "$build" "$work"

# The click sent the volumes at once: the piano full, the others at 30 %.
stream=$(awk '{print $2}' "$work/capture.txt" | tr '\n' ' ')
for message in "B0 07 1E" "B1 07 64" "B2 07 1E" "B3 07 1E"; do
  [[ $stream == *"$message"* ]] || { echo "no $message after the emphasis"; exit 1; }
done
# Four strips and their level bars: the mixer is taller than its header.
height=$(identify -format %h "$build/e2e-mixer.png")
[ "$height" -gt 80 ] || { echo "the mixer is $height pixels tall"; exit 1; }
settings="$work/config/TabrinoCE/registry.reg"
grep -q '^"MixerWindow"=hex(1):30,20,' "$settings" \
  || { echo "the mixer was not kept closed in its place"; cat "$settings"; exit 1; }
echo "mixer window ok"
