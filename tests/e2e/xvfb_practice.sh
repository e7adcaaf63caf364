#!/usr/bin/env bash
# Practises with the player window on a virtual X display, with the real
# keyboard and menu: mute channel 1 with its key, set a loop over the first
# two bars with [ Right Right ], switch the metronome on from the right-click
# menu, play from the start (Home, Space) until the loop has come round,
# stop with Space and quit with Ctrl+Q. The capture must hold no sounding
# note of channel 1, metronome clicks, and the loop's cut back to its start.
set -euo pipefail
build=$1
export PYTHONPATH E2E_DIR
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
PYTHONPATH=$E2E_DIR
source "$E2E_DIR/window_session.bash"

if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "xvfb-run or xdotool is not installed: skipping the practice test"
  exit 0
fi
make_work_dir
write_scale_song "$work/song.mid" 250000

cat >"$work/session.sh" <<'SH'
set -euo pipefail
build=$1; work=$2
source "$E2E_DIR/window_session.bash"
start_player "$build" "$work" "$work/song.mid"
xdotool windowfocus --sync "$window" 2>/dev/null || true
keys() { xdotool key --window "$window" --delay 50 "$@"; sleep 0.2; }
keys 1 bracketleft Right Right bracketright
# The menu: Open, Recent files, Playlist, Loop, Metronome.
xdotool mousemove --window "$window" 120 200 click 3
sleep 0.5
xdotool key --delay 100 Down Down Down Down Down Return
sleep 0.3
import -window "$window" "$build/e2e-practice.png"
keys Home space
# Two bars at 240 beats per minute take two seconds; play on until the
# capture shows the loop's cut, however slowly the build under test runs.
for _ in $(seq 150); do
  [ "$(grep -c ' 7B$' "$work/capture.txt" 2>/dev/null || echo 0)" -ge 32 ] && break
  sleep 0.1
done
keys space
sleep 0.3
close_player ctrl+q "$work"
SH
run_session "$work/session.sh" "$build" "$work"

/usr/bin/python3 - "$work/capture.txt" <<'PY'
import sys
from capture import all_off, messages, start_sequence
messages = messages(sys.argv[1])
assert messages[:64] == start_sequence(), ("start sequence", messages[:64])
played = messages[64:]
sounding = [m for m in played if m[0] & 0xF0 == 0x90 and m[2] >= 16]
assert sounding, "nothing sounded"
assert all(m[0] == 0x99 for m in sounding), ("a muted channel sounded", [m for m in sounding if m[0] != 0x99][:4])
clicks = [m for m in sounding if m[1] == 37]
assert len(clicks) >= 8, ("too few metronome clicks", len(clicks))
# The loop's jump back cuts with the all-off, before the stop's own.
cuts = sum(1 for i in range(len(played)) if played[i:i + 48] == all_off())
assert cuts >= 2, ("no cut at the loop's end", cuts)
assert played[-48:] == all_off(), "the stop did not silence the output"
print("practice session ok:", len(clicks), "clicks,", cuts - 1, "loop cuts")
PY
