#!/usr/bin/env bash
# The speed trainer in the player window on a virtual X display: with the
# trainer on in the settings file (70 % up 10 % a pass), a loop over the
# first bar ([ Right ]) played with Space runs pass after pass; the face's
# badge and the title show the pass and the tempo box the tempo played. The
# screenshot of the running trainer is the README's.
set -euo pipefail
build=$1
export PYTHONPATH E2E_DIR
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
PYTHONPATH=$E2E_DIR
source "$E2E_DIR/window_session.bash"

if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "xvfb-run or xdotool is not installed: skipping the trainer test"
  exit 0
fi
make_work_dir
write_scale_song "$work/song.mid" 250000
mkdir -p "$work/config/TabrinoCE"
value=$(printf 'on=1 from=70 to=100 step=10 passes=1' | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n"SpeedTrainer"=hex(1):%s,00\n' "$value" \
  >"$work/config/TabrinoCE/registry.reg"

cat >"$work/session.sh" <<'SH'
set -euo pipefail
build=$1; work=$2
source "$E2E_DIR/window_session.bash"
start_player "$build" "$work" "$work/song.mid"
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --window "$window" --delay 50 bracketleft Right bracketright space
# Pass 3 (90 %) comes after two bars of 1.43 and 1.25 seconds.
for _ in $(seq 100); do
  xdotool getwindowname "$window" | grep -q 'Trainer pass 3: 90 %' && break
  sleep 0.1
done
xdotool getwindowname "$window" >"$work/title.txt"
import -window "$window" "$build/e2e-trainer.png"
xdotool key --window "$window" space
sleep 0.3
close_player ctrl+q "$work"
SH
run_session "$work/session.sh" "$build" "$work"
grep -q 'song.mid  \[Trainer pass 3: 90 % → 100 %\]$' "$work/title.txt" || { cat "$work/title.txt"; exit 1; }
echo "trainer session ok: $(cat "$work/title.txt")"
