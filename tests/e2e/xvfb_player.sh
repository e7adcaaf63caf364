#!/usr/bin/env bash
# Uses the player window as a person would, on a virtual X display: start
# it with a song, click play, wait, click stop; hold Enter down in the
# settings dialog and Escape in the keyboard help (the X server repeats
# them, and the repeats must not reach the face, where they would close the
# player); close it with Escape. The capture must hold the start sequence
# and the song's first notes, the title must name the song, and the close
# must have written the registry.
set -euo pipefail
build=$1
export PYTHONPATH E2E_DIR
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
PYTHONPATH=$E2E_DIR
source "$E2E_DIR/window_session.bash"

# Without a display (none named, or one that cannot be reached) the player
# says what to use instead and ends with 1, not with the toolkit's abort.
for display in "" ":97"; do
  rc=0
  out=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" "$build/tabrino" 2>&1) || rc=$?
  [ "$rc" = 1 ] && [ "$out" = "tabrino: no display; use tabrino-play for playback without a window" ] \
    || { echo "without a display (\"$display\"): status $rc, \"$out\""; exit 1; }
done

if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is not installed: skipping the window test"
  exit 0
fi
make_work_dir
write_scale_song "$work/song.mid" 500000

cat >"$work/session.sh" <<'SH'
set -euo pipefail
build=$1; work=$2
source "$E2E_DIR/window_session.bash"
start_player "$build" "$work" "$work/song.mid"
xdotool mousemove --window "$window" 109 222 click 1
# Play until a few notes have gone out (the start sequence is 192 bytes, a
# note 3), however slowly the build under test runs.
for _ in $(seq 200); do
  [ "$(wc -l <"$work/capture.txt" 2>/dev/null || echo 0)" -gt 260 ] && break
  sleep 0.1
done
xdotool mousemove --window "$window" 40 222 click 1
sleep 0.3
import -window "$window" "$build/e2e-player.png"
for round in 1 2 3; do
  xdotool mousemove --window "$window" 100 165 click 1
  for _ in $(seq 50); do xdotool search --onlyvisible --name '^Settings$' >/dev/null 2>&1 && break; sleep 0.1; done
  xdotool keydown Return; sleep 1; xdotool keyup Return; sleep 0.3
  kill -0 "$pid" || { echo "Enter held in the settings dialog closed the player (round $round)"; exit 1; }
  xdotool key --window "$window" F1; sleep 0.5
  xdotool keydown Escape; sleep 1; xdotool keyup Escape; sleep 0.3
  kill -0 "$pid" || { echo "Escape held in the keyboard help closed the player (round $round)"; exit 1; }
done
close_player Escape "$work"
SH
run_session "$work/session.sh" "$build" "$work"

grep -Fxq '"DrumChannel"=hex(1):31,30,00' "$work/config/TabrinoCE/registry.reg" \
  || { echo "the close did not write the drum channel"; cat "$work/config/TabrinoCE/registry.reg"; exit 1; }

/usr/bin/python3 - "$work/capture.txt" <<'PY'
import sys
from capture import all_off, messages, start_sequence
messages = messages(sys.argv[1])
assert messages[:64] == start_sequence(), ("start sequence", messages[:64])
notes = [m[1] for m in messages[64:] if m[0] == 0x90 and m[2] > 0]
# The session played on until notes followed the start sequence.
assert len(notes) >= 4, ("too few notes", notes)
assert notes == [48 + i % 24 for i in range(len(notes))], ("notes out of order", notes)
assert messages[-48:] == all_off(), "the stop did not silence the output"
print("window session ok:", len(notes), "notes")
PY
