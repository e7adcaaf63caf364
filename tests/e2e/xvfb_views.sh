#!/usr/bin/env bash
# The lyrics and keyboard windows on a virtual X display, with the karaoke
# file tools/make-karaoke.py writes: both open at start-up where the
# settings file keeps them, follow the song as it plays (the sung words in
# their own colour, the sounding keys lit), Y in the player closes the lyrics,
# and the close keeps them closed and the keyboard open. Screenshots of both
# windows are left in the build folder (docs/ has copies).
set -euo pipefail
build=$1
source_dir=$2
export PYTHONPATH E2E_DIR
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
PYTHONPATH=$E2E_DIR
source "$E2E_DIR/window_session.bash"

if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "xvfb-run or xdotool is not installed: skipping the views test"
  exit 0
fi
make_work_dir
cp "$source_dir/tests/data/midi/ode-latin1.kar" "$work/song.kar"
# The windows above and below the player (240 x 268 at zoom 1, in the middle
# of a 1024 x 768 screen).
mkdir -p "$work/config/TabrinoCE"
/usr/bin/python3 - "$work/config/TabrinoCE/registry.reg" <<'PY'
import sys
def value(name, text):
    return '"%s"=hex(1):%s\n' % (name, ",".join("%02x" % b for b in text.encode() + b"\0"))
with open(sys.argv[1], "w") as f:
    f.write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n")
    f.write(value("LyricsWindow", "1 40 20 944 200") + value("KeyboardWindow", "1 40 560 944 170"))
    f.write(value("LyricsFontSize", "48"))
PY

cat >"$work/session.sh" <<'SH'
set -euo pipefail
build=$1; work=$2
source "$E2E_DIR/window_session.bash"
start_player "$build" "$work" "$work/song.kar"
find_view() {
  local id=
  for _ in $(seq 50); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "no $1 window"; exit 1; }
  echo "$id"
}
lyrics=$(find_view Lyrics)
keyboard=$(find_view Keyboard)
geometry() { xdotool getwindowgeometry "$1" | tr '\n' ' '; }
geometry "$lyrics" | grep -q "Position: 40,20 .*Geometry: 944x200" \
  || { echo "the lyrics window is not where it was kept: $(geometry "$lyrics")"; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --window "$window" space
# The first line starts two seconds in; its fourth syllable comes at 3.5 s.
for _ in $(seq 150); do
  [ "$(cat "$work/capture.txt" 2>/dev/null | grep -c ' 90$' || true)" -ge 4 ] && break
  sleep 0.1
done
sleep 1.7
import -window "$lyrics" "$build/e2e-lyrics.png"
import -window "$keyboard" "$build/e2e-keyboard.png"
import -window root "$build/e2e-views.png"
xdotool key --window "$window" space
xdotool key --window "$window" y
sleep 0.3
close_player ctrl+q "$work"
SH
run_session "$work/session.sh" "$build" "$work"

colours() { convert "$1" -format %c histogram:info:- ; }
colours "$build/e2e-lyrics.png" | grep -qi "#FFC800" || { echo "no sung words in the lyrics window"; exit 1; }
colours "$build/e2e-lyrics.png" | grep -qi "#FFFFFF" || { echo "no words to sing in the lyrics window"; exit 1; }
colours "$build/e2e-keyboard.png" | grep -qi "#FFFF00" || { echo "no key lit on the keyboard"; exit 1; }
settings="$work/config/TabrinoCE/registry.reg"
grep -q '^"LyricsWindow"=hex(1):30,20,34,30,20,32,30,' "$settings" \
  || { echo "the lyrics window was not kept closed in its place"; cat "$settings"; exit 1; }
grep -q '^"KeyboardWindow"=hex(1):31,20,' "$settings" \
  || { echo "the keyboard window was not kept open"; cat "$settings"; exit 1; }
echo "views ok"
